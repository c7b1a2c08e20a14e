#include "ui/main/Browser.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QTreeWidget>

#include "convert/AkaiDisc.h"
#include "convert/AudioFolder.h"
#include "convert/BankFolder.h"
#include "convert/FolderBrowse.h"
#include "convert/FolderFiles.h"
#include "convert/ViewSelection.h"
#include "ui/Unit6.h"
#include "ui/ViewPictures.h"
#include "ui/main/Akai.h"
#include "ui/main/Auditioning.h"
#include "ui/main/BankViews.h"
#include "ui/main/QuietChanges.h"
#include "ui/main/Saving.h"

namespace quorvane::ui {

namespace {

constexpr int kPathRole = Qt::UserRole;

int RootPicture(RootKind kind) {
    switch (kind) {
    case RootKind::CdRom:
        return folderPicture::kCdRom;
    case RootKind::Network:
        return folderPicture::kNetwork;
    case RootKind::Removable:
        return folderPicture::kFloppy;
    case RootKind::Fixed:
        break;
    }
    return folderPicture::kDrive;
}

QString PathOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, kPathRole).toString() : QString();
}

} // namespace

BrowserController::BrowserController(Workspace& workspace, Host& host, BankViewsController& views,
                                     AuditioningController& auditioning, SavingController& saving,
                                     std::function<SourceFormat()> shownFormat, const Widgets& widgets,
                                     QObject* parent)
    : QObject(parent), workspace_(workspace), host_(host), views_(views), auditioning_(auditioning),
      saving_(saving), shownFormat_(std::move(shownFormat)), widgets_(widgets) {
    QTreeWidget* explorer = widgets_.explorer;
    QListWidget* list = widgets_.fileList;
    explorer->setContextMenuPolicy(Qt::CustomContextMenu);
    ScrollSideways(explorer);
    connect(explorer, &QTreeWidget::itemExpanded, this, &BrowserController::TreeView1Expanding);
    connect(explorer, &QTreeWidget::itemCollapsed, this, &BrowserController::TreeView1Collapsed);
    connect(explorer, &QTreeWidget::currentItemChanged, this, [this] { ListFolder(); });
    connect(explorer, &QTreeWidget::customContextMenuRequested, this,
            &BrowserController::TreeView1ContextMenu);
    connect(list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { LoadEntry(widgets_.fileList->row(item)); });
    connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
        // Keyboard moves load the entry too; a click already did.
        if (!changesSuppressed_ && row >= 0 && QApplication::mouseButtons() == Qt::NoButton)
            LoadEntry(row);
    });
    connect(list, &QListWidget::customContextMenuRequested, this, &BrowserController::ListBox1ContextMenu);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->installEventFilter(this);
    for (QAction* item :
         {widgets_.sf2, widgets_.gig, widgets_.sfz, widgets_.wave, widgets_.aiff, widgets_.allAudioFiles})
        connect(item, &QAction::triggered, this, [this, item] { SoundFormatClick(item); });
    connect(widgets_.refresh, &QAction::triggered, this, &BrowserController::FillDriveTree);
    connect(widgets_.showCompressed, &QAction::triggered, this, &BrowserController::ShowCompressedClick);
}

bool BrowserController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widgets_.fileList && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text == "s" || text == "S") {
            saving_.SaveBanksClick();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void BrowserController::FillDriveTree() {
    workspace_.attributes.EditAttributes.clear();
    workspace_.attributes.BankEditAttributes.clear();
    BusyCursor busy;
    QuietChanges quiet(changesSuppressed_);
    widgets_.explorer->clear();
    ResetDisplay();
    widgets_.fileList->clear();
    for (const FolderRoot& root : ListFolderRoots()) {
        auto* node = new QTreeWidgetItem(widgets_.explorer, {QString::fromStdString(root.text)});
        node->setData(0, kPathRole, QString::fromStdString(root.path));
        node->setIcon(0, FolderPicture(RootPicture(root.kind)));
        node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
}

void BrowserController::TreeView1Expanding(QTreeWidgetItem* node) {
    if (changesSuppressed_ || node->childCount() > 0)
        return;
    BusyCursor busy;
    const std::string folder = PathOf(node).toStdString();
    for (const Subfolder& sub : ListSubfolders(folder, workspace_.settings.ShowHiddenDirs)) {
        auto* child = new QTreeWidgetItem(node, {QString::fromStdString(sub.name)});
        child->setData(0, kPathRole, QString::fromStdString(folder + sub.name + "/"));
        child->setIcon(0, sub.hidden ? NodeIcon(FolderPicture(folderPicture::kHiddenFolder),
                                                FolderPicture(folderPicture::kHiddenFolderSelected))
                                     : NodeIcon(FolderPicture(folderPicture::kFolder),
                                                FolderPicture(folderPicture::kFolderSelected)));
        child->setChildIndicatorPolicy(sub.expandable ? QTreeWidgetItem::ShowIndicator
                                                      : QTreeWidgetItem::DontShowIndicator);
    }
}

void BrowserController::TreeView1Collapsed(QTreeWidgetItem* node) {
    // The next expansion reads the disk again.
    if (node->childCount() == 0)
        return;
    QTreeWidget* explorer = widgets_.explorer;
    const bool selectionInside = [&] {
        for (QTreeWidgetItem* at = explorer->currentItem(); at; at = at->parent())
            if (at->parent() == node)
                return true;
        return false;
    }();
    {
        QuietChanges quiet(changesSuppressed_);
        if (selectionInside)
            explorer->setCurrentItem(node);
        qDeleteAll(node->takeChildren());
        node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    if (selectionInside)
        ListFolder();
}

QString BrowserController::CurrentFolder() const {
    return PathOf(widgets_.explorer->currentItem());
}

bool BrowserController::SelectFolder(const QString& folder) {
    QTreeWidget* explorer = widgets_.explorer;
    std::vector<std::string> roots;
    for (int i = 0; i < explorer->topLevelItemCount(); ++i)
        roots.push_back(PathOf(explorer->topLevelItem(i)).toStdString());
    const std::optional<FolderSteps> steps = StepsToFolder(roots, QDir::cleanPath(folder).toStdString());
    if (!steps)
        return false;
    QTreeWidgetItem* node = explorer->topLevelItem(static_cast<int>(steps->root));
    const bool hidden = workspace_.settings.ShowHiddenDirs;
    for (const std::string& name : steps->names) {
        // A hidden folder asked for by name is shown even while hidden folders are not.
        workspace_.settings.ShowHiddenDirs = hidden || (!name.empty() && name[0] == '.');
        node->setExpanded(true);
        TreeView1Expanding(node);
        workspace_.settings.ShowHiddenDirs = hidden;
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < node->childCount() && next == nullptr; ++i)
            if (node->child(i)->text(0).toStdString() == name)
                next = node->child(i);
        if (next == nullptr)
            return false;
        node = next;
    }
    explorer->setCurrentItem(node);
    explorer->scrollToItem(node);
    // Deep folders sit far right: the view follows them sideways too.
    explorer->horizontalScrollBar()->setValue(explorer->visualItemRect(node).left() - 24);
    return true;
}

void BrowserController::ResetDisplay() {
    views_.ShowNothing();
    QuietChanges quiet(changesSuppressed_);
    widgets_.fileList->clear();
    widgets_.fileList->setContextMenuPolicy(Qt::NoContextMenu);
    saving_.ShowBankSaveButton(false);
}

void BrowserController::ListFolder() {
    QTreeWidgetItem* node = widgets_.explorer->currentItem();
    if (changesSuppressed_ || node == nullptr)
        return;
    workspace_.attributes.EditAttributes.clear();
    workspace_.attributes.BankEditAttributes.clear();
    BusyCursor busy;
    // Notes of the bank left behind stop with it.
    auditioning_.Auditioning().AllSoundOff();
    ResetDisplay();
    const std::string folder = CurrentFolder().toStdString();
    const SourceFormat format = shownFormat_();
    if (format == SourceFormat::Akai) {
        const QVariant partition = node->data(0, kPartitionRole);
        if (partition.isValid())
            SelectAkaiPartition(workspace_, partition.toUInt());
        ShowFileList();
    } else if (format == SourceFormat::AudioFile) {
        ListAudioFolder(workspace_, folder, {audioWave_, audioAiff_});
        views_.FillSampleList();
    } else {
        ListBankFolder(workspace_, folder);
        ShowFileList();
    }
}

void BrowserController::ShowFileList() {
    QListWidget* list = widgets_.fileList;
    QuietChanges quiet(changesSuppressed_);
    list->clear();
    const auto& files = workspace_.loader.fileList;
    const bool akai = shownFormat_() == SourceFormat::Akai;
    for (size_t i = 0; i < files.size(); ++i) {
        // DLS banks are listed with GigaSampler files; a same-named pair is told apart by the mark.
        const bool dls = LowerName(files[i].extension) == "dls";
        list->addItem(QString::fromStdString(files[i].text) + (dls ? " (DLS)" : ""));
        // Search results come from many folders: the tooltip says which file each entry is.
        if (!akai)
            list->item(static_cast<int>(i))
                ->setToolTip(QString::fromStdString(EntryPath(workspace_, static_cast<uint32_t>(i))));
    }
    const bool any = list->count() > 0;
    saving_.ShowBankSaveButton(any);
    saving_.AllowBankSave(true);
    saving_.ShowBankEditMark();
    list->setContextMenuPolicy(any ? Qt::CustomContextMenu : Qt::NoContextMenu);
}

void BrowserController::TreeView1ContextMenu(const QPoint& at) {
    QTreeWidget* explorer = widgets_.explorer;
    QTreeWidgetItem* node = explorer->itemAt(at);
    const SourceFormat format = shownFormat_();
    if (node == nullptr || node != explorer->currentItem() || format == SourceFormat::Akai)
        return;
    QMenu menu(widgets_.window);
    menu.setObjectName("PopupMenu3");
    auto add = [&](const char* name, const QString& caption, FolderSearch search) {
        QAction* action = menu.addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, search] { SearchFolder(search); });
    };
    if (format == SourceFormat::AudioFile) {
        add("Menu_Search1", "Search WAVE(s)", FolderSearch::Waves);
        add("Menu_Search2", "Search AIFF(s)", FolderSearch::Aiffs);
        add("Menu_Search3", "Search All Audio Files", FolderSearch::AudioFiles);
    } else {
        add("Menu_Search1",
            format == SourceFormat::Dls   ? "Search GigaFile(s)"
            : format == SourceFormat::Sfz ? "Search SFZ file(s)"
                                          : "Search SoundFont(s)",
            FolderSearch::Banks);
    }
    menu.exec(explorer->viewport()->mapToGlobal(at - QPoint(0, 10)));
}

void BrowserController::SearchFolder(FolderSearch search) {
    const std::string folder = CurrentFolder().toStdString();
    if (folder.empty())
        return;
    lastSearch_ = search;
    BusyCursor busy;
    ResetDisplay();
    if (shownFormat_() == SourceFormat::AudioFile) {
        audioWave_ = search != FolderSearch::Aiffs;
        audioAiff_ = search != FolderSearch::Waves;
        SearchAudioFiles(workspace_, folder, {audioWave_, audioAiff_});
        views_.FillSampleList();
    } else {
        SearchBankFiles(workspace_, folder);
        ShowFileList();
    }
}

void BrowserController::ShowCompressedClick() {
    if (widgets_.explorer->currentItem() == nullptr)
        return;
    if (workspace_.loader.listingKind == ListingKind::Search)
        SearchFolder(lastSearch_);
    else if (workspace_.loader.listingKind == ListingKind::Folder)
        ListFolder();
}

void BrowserController::SoundFormatClick(QAction* item) {
    const SourceFormat previous = shownFormat_();
    SourceFormat format = SourceFormat::AudioFile;
    if (item == widgets_.sf2)
        format = SourceFormat::SoundFont;
    else if (item == widgets_.gig)
        format = SourceFormat::Dls;
    else if (item == widgets_.sfz)
        format = SourceFormat::Sfz;
    for (QAction* choice : widgets_.formatItems->actions())
        choice->setChecked(false);
    if (format == SourceFormat::AudioFile) {
        audioWave_ = item != widgets_.aiff;
        audioAiff_ = item != widgets_.wave;
        widgets_.wave->setChecked(audioWave_);
        widgets_.aiff->setChecked(audioAiff_);
        widgets_.allAudioFiles->setChecked(audioWave_ && audioAiff_);
    } else {
        item->setChecked(true);
    }
    views_.ClearSampleList();
    emit FormatChosen(format, format == SourceFormat::AudioFile && !audioWave_);
    if (previous == SourceFormat::Akai)
        FillDriveTree();
    ListFolder();
}

void BrowserController::LoadEntry(int row) {
    if (changesSuppressed_ || row < 0 || row >= static_cast<int>(workspace_.loader.fileList.size()))
        return;
    BusyCursor busy;
    const bool another = workspace_.loader.loadedEntry != row || !workspace_.loader.loadedFlag;
    if (another)
        views_.ForgetEdits();
    ReadNotes notes;
    const LoadStatus status = LoadBankInteractively(workspace_, static_cast<uint32_t>(row), &notes);
    const bool bankFile = IsReadFromFile(workspace_.bank.SourceFormat);
    const bool unreadable = bankFile && (status == LoadStatus::NotABank || status == LoadStatus::CannotOpen ||
                                         status == LoadStatus::WrongFormat);
    // A bank that cannot be read has nothing to save. A damaged one the loader has already emptied and
    // described; the others are described here.
    const bool damaged = bankFile && status == LoadStatus::Damaged;
    saving_.AllowBankSave(!unreadable && !damaged);
    if (unreadable)
        ShowUnreadableBank(static_cast<uint32_t>(row), status, notes);
}

void BrowserController::LoadEntryNamed(const std::string& text) {
    const auto& files = workspace_.loader.fileList;
    for (size_t row = 0; row < files.size(); ++row) {
        if (files[row].text == text) {
            // Selected quietly, so that the entry is loaded once.
            {
                QuietChanges quiet(changesSuppressed_);
                widgets_.fileList->setCurrentRow(static_cast<int>(row));
            }
            LoadEntry(static_cast<int>(row));
            return;
        }
    }
}

void BrowserController::ShowUnreadableBank(uint32_t entry, LoadStatus status, const ReadNotes& notes) {
    // Nothing of the bank before, nor of what was read of this one, stays on screen.
    ForgetShownBank(workspace_);
    auditioning_.Auditioning().AllSoundOff();
    if (status != LoadStatus::CannotOpen)
        host_.SetTitle({});
    host_.SetFormatLabelsVisible(false);
    views_.FillPresetTree();
    views_.FillSampleList();
    views_.ShowPanelBlack();

    std::string why;
    for (const std::string& line : notes.lines)
        why += line + "\n";
    if (why.empty())
        why = status == LoadStatus::CannotOpen    ? "The file cannot be opened.\n"
              : status == LoadStatus::WrongFormat ? "It is a bank of another type: choose its type in the "
                                                    "SoundFormat menu.\n"
                                                  : "It is damaged, or not a bank of this type.\n";
    const std::string path = EntryPath(workspace_, entry);
    host_.ShowMessage("'" + path + "' cannot be read.\n\n" + why, "Unreadable bank", MessageIcon::Warning);
}

void BrowserController::ListBox1ContextMenu(const QPoint& at) {
    QListWidget* list = widgets_.fileList;
    const SourceFormat format = shownFormat_();
    const QString word = FactsOf(format).bankWord;
    // "Gigafiles(s) selected" is how the menu has always read.
    const QString kind = format == SourceFormat::Dls ? word + "s" : word;
    const QString kinds = word.toLower() + "s)";
    QMenu menu(widgets_.window);
    menu.setObjectName("PopupMenu1");
    QAction* edit = menu.addAction(QString("%1 %2(s) selected").arg(list->selectedItems().size()).arg(kind));
    edit->setObjectName("BankSimpleEdition1");
    edit->setIcon(ViewPicture(format == SourceFormat::Dls ? 12 : 11));
    connect(edit, &QAction::triggered, this, [this] {
        QListWidget* files = widgets_.fileList;
        std::vector<uint32_t> entries;
        for (int row = 0; row < files->count(); ++row)
            if (files->item(row)->isSelected())
                entries.push_back(static_cast<uint32_t>(row));
        if (entries.empty() && files->currentRow() >= 0)
            entries.push_back(static_cast<uint32_t>(files->currentRow()));
        TForm6::RunBankDialog(widgets_.window, workspace_.attributes, workspace_.bank.SourceFormat, entries);
        saving_.ShowBankEditMark();
    });
    // The bank on screen against its conversion.
    QAction* compare = menu.addAction("&Compare with ...");
    compare->setObjectName("Menu_BankCompare");
    compare->setEnabled(workspace_.loader.loadedFlag);
    connect(compare, &QAction::triggered, this, &BrowserController::CompareRequested);
    menu.addSeparator();
    QAction* all = menu.addAction(QString("&Select All - (%1 %2").arg(list->count()).arg(kinds));
    all->setObjectName("Menu_BankSelectAll");
    connect(all, &QAction::triggered, list, &QListWidget::selectAll);
    QAction* none = menu.addAction("&UnSelect All");
    none->setObjectName("UnSelectAll2");
    connect(none, &QAction::triggered, list, &QListWidget::clearSelection);
    menu.exec(list->viewport()->mapToGlobal(at));
}

} // namespace quorvane::ui
