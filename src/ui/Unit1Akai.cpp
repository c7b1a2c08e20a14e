// Akai mode of TForm1, and opening what the program was started with. In Akai mode the Explorer tree holds
// the partitions of the chosen disc (a drive, or an image opened as one) and the file list its volumes.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QListWidget>
#include <QMessageBox>
#include <QTreeWidget>

#include "convert/AkaiDisc.h"
#include "convert/BankLoader.h"
#include "convert/FolderFiles.h"
#include "convert/FolderKinds.h"
#include "core/Host.h"
#include "formats/common/InputFile.h"
#include "ui/Unit1.h"
#include "ui/ViewPictures.h"

namespace quorvane::ui {

namespace {

constexpr int kPartitionRole = Qt::UserRole + 1;

bool IsDiscImage(const QString& path) {
    const std::string name = path.toStdString();
    return HasExtension(name, ".iso") || HasExtension(name, ".img") || HasExtension(name, ".bin") ||
           HasExtension(name, ".cue");
}

} // namespace

void TForm1::LeaveFormatItems() {
    for (QAction* choice : formatGroup_->actions())
        choice->setChecked(false);
    for (QAction* item : controls_.scsiDrives)
        item->setChecked(false);
}

void TForm1::SelectAkaiDriveClick(uint32_t drive) {
    LeaveFormatItems();
    if (drive < controls_.scsiDrives.size())
        controls_.scsiDrives[drive]->setChecked(true);
    SetSourceFormat(SourceFormat::Akai);
    ResetDisplay();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SelectAkaiDrive(workspace_, drive);
    QApplication::restoreOverrideCursor();
    FillPartitionTree();
}

void TForm1::FillPartitionTree() {
    const bool suppressed = changesSuppressed_;
    changesSuppressed_ = true;
    treeView1_->clear();
    const AkaiState& akai = workspace_.akai;
    for (uint32_t p = 0; p < akai.PartitionCount; ++p) {
        auto* node = new QTreeWidgetItem(treeView1_, {QString::fromStdString(PartitionText(akai, p))});
        node->setData(0, kPartitionRole, p);
        node->setIcon(0, FolderPicture(folderPicture::kCdRom));
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    }
    changesSuppressed_ = suppressed;
}

bool TForm1::OpenDiscImage(const QString& path) {
    const quorvane::SourceFormat previousFormat = sourceFormat_;
    const QString previousFolder = CurrentFolder();
    std::string error;
    const int found = OpenAkaiDisc(workspace_, path.toStdString(), &error);
    if (found < 0) {
        ShowMessage("Cannot open " + path.toStdString() + ": " + error, kMessageCaption,
                    MessageIcon::Warning);
        return false;
    }
    if (found == 0 && previousFormat != SourceFormat::Akai) {
        // Not an Akai disc: the browser goes back to the format and folder it showed, and says why.
        SetSourceFormat(previousFormat);
        if (previousFolder.isEmpty() || !SelectFolder(previousFolder))
            FillDriveTree();
        else
            ListFolder();
        SetTitle(kNotAkaiCdrom);
        ShowMessage(path.toStdString() +
                        "\r\n\r\nNo Akai S1000/S3000 partition was found on this disc image.",
                    kMessageCaption, MessageIcon::Warning);
        return false;
    }
    LeaveFormatItems();
    SetSourceFormat(SourceFormat::Akai);
    ResetDisplay();
    if (found == 0)
        SetTitle(kNotAkaiCdrom);
    FillPartitionTree();
    if (treeView1_->topLevelItemCount() > 0)
        treeView1_->setCurrentItem(treeView1_->topLevelItem(0));
    return true;
}

void TForm1::AkaiImageClick() {
    QFileDialog dialog(this, "Open Akai Disc Image", QString::fromStdString(workspace_.settings.LastDir),
                       "Disc images (*.iso *.img *.bin *.cue);;All files (*)");
    dialog.setObjectName("AkaiImageDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    OpenDiscImage(dialog.selectedFiles().front());
}

void TForm1::OpenPath(const QString& path) {
    const QFileInfo info(path);
    auto refuse = [&](const char* why) {
        ShowMessage(path.toStdString() + "\r\n\r\n" + why, kMessageCaption, MessageIcon::Warning);
    };
    if (!info.exists()) {
        refuse("This file or folder does not exist.");
        return;
    }
    if (info.isDir()) {
        // A folder opens in the listing that has something to show in it: a folder of samples in audio-file
        // mode, a folder of banks in their format.
        if (sourceFormat_ != SourceFormat::Akai) {
            const FolderListing current = sourceFormat_ == SourceFormat::Dls ? FolderListing::Gigas
                                          : sourceFormat_ == SourceFormat::AudioFile
                                              ? FolderListing::AudioFiles
                                              : FolderListing::SoundFonts;
            const FolderListing wanted =
                ListingForFolder(KindsInFolder(info.absoluteFilePath().toStdString() + "/"), current);
            if (wanted != current)
                SoundFormatClick(wanted == FolderListing::Gigas        ? controls_.menuGig
                                 : wanted == FolderListing::AudioFiles ? controls_.menuAllAudioFiles
                                                                       : controls_.menuSf2);
        }
        SelectFolder(info.absoluteFilePath());
        return;
    }
    const std::string name = info.fileName().toStdString();
    const QString folder = info.absolutePath();
    if (HasExtension(name, ".wav") || HasExtension(name, ".aif") || HasExtension(name, ".aiff") ||
        HasExtension(name, ".aifc")) {
        auto* item = HasExtension(name, ".wav") ? controls_.menuWave : controls_.menuAiff;
        SoundFormatClick(item);
        if (!SelectFolder(folder))
            return;
        const QString caption = info.fileName();
        for (QTreeWidgetItemIterator it(treeList_); *it; ++it) {
            if ((*it)->text(0) == caption) {
                treeList_->setCurrentItem(*it);
                break;
            }
        }
        return;
    }
    if (IsDiscImage(path)) {
        OpenDiscImage(info.absoluteFilePath());
        return;
    }
    InputFile probe;
    const std::string file = info.absoluteFilePath().toStdString();
    const std::optional<quorvane::SourceFormat> format =
        probe.Open(file) ? SourceFormatOfFile(probe, file) : std::nullopt;
    if (!format || !IsReadFromFile(*format)) {
        refuse("This is not a bank, audio file or disc image the program reads.");
        return;
    }
    SoundFormatClick(format == SourceFormat::Dls   ? controls_.menuGig
                     : format == SourceFormat::Sfz ? controls_.menuSfz
                                                   : controls_.menuSf2);
    if (!SelectFolder(folder))
        return;
    const std::string wanted = info.completeBaseName().toStdString();
    const auto& list = workspace_.loader.fileList;
    for (size_t row = 0; row < list.size(); ++row) {
        if (list[row].text == wanted) {
            listBox1_->setCurrentRow(static_cast<int>(row));
            LoadEntry(static_cast<int>(row));
            return;
        }
    }
}

} // namespace quorvane::ui
