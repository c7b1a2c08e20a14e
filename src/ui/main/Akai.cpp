#include "ui/main/Akai.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileDialog>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "convert/AkaiDisc.h"
#include "ui/ViewPictures.h"

namespace quorvane::ui {

AkaiController::AkaiController(Workspace& workspace, Host& host, std::function<SourceFormat()> shownFormat,
                               const Widgets& widgets, QObject* parent)
    : QObject(parent), workspace_(workspace), host_(host), shownFormat_(std::move(shownFormat)),
      widgets_(widgets) {
    for (size_t target = 0; target < widgets_.drives.size(); ++target)
        connect(widgets_.drives[target], &QAction::triggered, this,
                [this, target] { SelectAkaiDriveClick(static_cast<uint32_t>(target)); });
    connect(widgets_.openImage, &QAction::triggered, this, &AkaiController::AkaiImageClick);
}

void AkaiController::LeaveFormatItems() {
    for (QAction* choice : widgets_.formatItems->actions())
        choice->setChecked(false);
    for (QAction* item : widgets_.drives)
        item->setChecked(false);
}

void AkaiController::SelectAkaiDriveClick(uint32_t drive) {
    LeaveFormatItems();
    if (drive < widgets_.drives.size())
        widgets_.drives[drive]->setChecked(true);
    emit AkaiModeEntered();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SelectAkaiDrive(workspace_, drive);
    QApplication::restoreOverrideCursor();
    FillPartitionTree();
}

void AkaiController::FillPartitionTree() {
    // The tree is filled by the program: its selection changes list nothing.
    const QSignalBlocker quiet(widgets_.explorer);
    widgets_.explorer->clear();
    const AkaiState& akai = workspace_.akai;
    for (uint32_t p = 0; p < akai.PartitionCount; ++p) {
        auto* node = new QTreeWidgetItem(widgets_.explorer, {QString::fromStdString(PartitionText(akai, p))});
        node->setData(0, kPartitionRole, p);
        node->setIcon(0, FolderPicture(folderPicture::kCdRom));
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    }
}

bool AkaiController::OpenDiscImage(const QString& path) {
    const bool wasAkai = shownFormat_() == SourceFormat::Akai;
    std::string error;
    const int found = OpenAkaiDisc(workspace_, path.toStdString(), &error);
    if (found < 0) {
        host_.ShowMessage("Cannot open " + path.toStdString() + ": " + error, kMessageCaption,
                          MessageIcon::Warning);
        return false;
    }
    if (found == 0 && !wasAkai) {
        // Not an Akai disc: the browser goes back to the format and folder it showed, and says why.
        emit DiscRefused();
        host_.SetTitle(kNotAkaiCdrom);
        host_.ShowMessage(path.toStdString() +
                              "\r\n\r\nNo Akai S1000/S3000 partition was found on this disc image.",
                          kMessageCaption, MessageIcon::Warning);
        return false;
    }
    LeaveFormatItems();
    emit AkaiModeEntered();
    if (found == 0)
        host_.SetTitle(kNotAkaiCdrom);
    FillPartitionTree();
    if (widgets_.explorer->topLevelItemCount() > 0)
        widgets_.explorer->setCurrentItem(widgets_.explorer->topLevelItem(0));
    return true;
}

void AkaiController::AkaiImageClick() {
    QFileDialog dialog(widgets_.window, "Open Akai Disc Image",
                       QString::fromStdString(workspace_.settings.LastDir),
                       "Disc images (*.iso *.img *.bin *.cue);;All files (*)");
    dialog.setObjectName("AkaiImageDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    OpenDiscImage(dialog.selectedFiles().front());
}

} // namespace quorvane::ui
