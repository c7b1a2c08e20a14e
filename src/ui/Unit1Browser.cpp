// The file browser of TForm1: the Explorer tree of folders, the file list of banks, the SoundFormat menu
// and the search. What is listed and how is decided by the core; these handlers turn it into items.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QSlider>
#include <QToolButton>
#include <QTreeWidget>

#include "convert/AkaiDisc.h"
#include "convert/AudioFolder.h"
#include "convert/BankFolder.h"
#include "convert/BankLoader.h"
#include "convert/FolderBrowse.h"
#include "convert/FolderFiles.h"
#include "ui/Artwork.h"
#include "ui/Unit1.h"
#include "ui/ViewPictures.h"

namespace quorvane::ui {

namespace {

constexpr int kPathRole = Qt::UserRole;

// Shows the hourglass for as long as it lives.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

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

void TForm1::ConnectBrowser() {
    treeView1_ = controls_.treeView1;
    listBox1_ = controls_.listBox1;
    treeView1_->setContextMenuPolicy(Qt::CustomContextMenu);
    ScrollSideways(treeView1_);
    connect(treeView1_, &QTreeWidget::itemExpanded, this, &TForm1::TreeView1Expanding);
    connect(treeView1_, &QTreeWidget::itemCollapsed, this, &TForm1::TreeView1Collapsed);
    connect(treeView1_, &QTreeWidget::currentItemChanged, this, [this] { ListFolder(); });
    connect(treeView1_, &QTreeWidget::customContextMenuRequested, this, &TForm1::TreeView1ContextMenu);
    connect(listBox1_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { LoadEntry(listBox1_->row(item)); });
    connect(listBox1_, &QListWidget::currentRowChanged, this, [this](int row) {
        // Keyboard moves load the entry too; a click already did.
        if (!changesSuppressed_ && row >= 0 && QApplication::mouseButtons() == Qt::NoButton)
            LoadEntry(row);
    });
    connect(controls_.refresh, &QAction::triggered, this, &TForm1::RefreshClick);
    connect(controls_.menuShowCompressed, &QAction::triggered, this, &TForm1::ShowCompressedClick);
}

void TForm1::FillDriveTree() {
    workspace_.attributes.EditAttributes.clear();
    workspace_.attributes.BankEditAttributes.clear();
    BusyCursor busy;
    changesSuppressed_ = true;
    treeView1_->clear();
    ResetDisplay();
    listBox1_->clear();
    for (const FolderRoot& root : ListFolderRoots()) {
        auto* node = new QTreeWidgetItem(treeView1_, {QString::fromStdString(root.text)});
        node->setData(0, kPathRole, QString::fromStdString(root.path));
        node->setIcon(0, FolderPicture(RootPicture(root.kind)));
        node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    changesSuppressed_ = false;
}

void TForm1::RefreshClick() {
    FillDriveTree();
}

void TForm1::TreeView1Expanding(QTreeWidgetItem* node) {
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

void TForm1::TreeView1Collapsed(QTreeWidgetItem* node) {
    // The next expansion reads the disk again.
    if (node->childCount() == 0)
        return;
    const bool suppressed = changesSuppressed_;
    changesSuppressed_ = true;
    const bool selectionInside = [&] {
        for (QTreeWidgetItem* at = treeView1_->currentItem(); at; at = at->parent())
            if (at->parent() == node)
                return true;
        return false;
    }();
    if (selectionInside)
        treeView1_->setCurrentItem(node);
    qDeleteAll(node->takeChildren());
    node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    changesSuppressed_ = suppressed;
    if (selectionInside)
        ListFolder();
}

QString TForm1::CurrentFolder() const {
    return PathOf(treeView1_->currentItem());
}

bool TForm1::SelectFolder(const QString& folder) {
    const std::string wanted = WithTrailingSlash(QDir::cleanPath(folder).toStdString());
    // The deepest root the folder lies in, then one level at a time down to it.
    QTreeWidgetItem* node = nullptr;
    size_t best = 0;
    for (int i = 0; i < treeView1_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* root = treeView1_->topLevelItem(i);
        const std::string path = PathOf(root).toStdString();
        if (wanted.rfind(path, 0) == 0 && path.size() > best) {
            node = root;
            best = path.size();
        }
    }
    if (node == nullptr)
        return false;
    const bool hidden = workspace_.settings.ShowHiddenDirs;
    while (PathOf(node).toStdString() != wanted) {
        const std::string here = PathOf(node).toStdString();
        const std::string rest = wanted.substr(here.size());
        const std::string name = rest.substr(0, rest.find('/'));
        // A hidden folder asked for by name is shown even while hidden folders are not.
        workspace_.settings.ShowHiddenDirs = hidden || name[0] == '.';
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
    treeView1_->setCurrentItem(node);
    treeView1_->scrollToItem(node);
    // Deep folders sit far right: the view follows them sideways too.
    treeView1_->horizontalScrollBar()->setValue(treeView1_->visualItemRect(node).left() - 24);
    return true;
}

void TForm1::ResetDisplay() {
    StopPlayback(true);
    ForgetEdits();
    const bool suppressed = changesSuppressed_;
    changesSuppressed_ = true;
    Selection& selection = workspace_.selection;
    selection.currentPreset = 0;
    selection.currentLayer = selection.currentZone = -1;
    selection.selectedSample = kNoSample;
    selection.lastSampleNode = -1;
    selection.DisplayMode = PanelContent::Nothing;
    SetTitle("");
    SetFormatLabelsVisible(false);
    listBox1_->clear();
    treeList_->clear();
    treeView2_->clear();
    treeView2_->setContextMenuPolicy(Qt::NoContextMenu);
    listBox1_->setContextMenuPolicy(Qt::NoContextMenu);
    controls_.speedButton4->hide();
    controls_.trackBar1->setToolTip("Volume");
    ShowPanelBlack();
    changesSuppressed_ = suppressed;
}

void TForm1::ListFolder() {
    if (changesSuppressed_ || treeView1_->currentItem() == nullptr)
        return;
    workspace_.attributes.EditAttributes.clear();
    workspace_.attributes.BankEditAttributes.clear();
    BusyCursor busy;
    // Notes of the bank left behind stop with it.
    Auditioning().AllSoundOff();
    ResetDisplay();
    const std::string folder = CurrentFolder().toStdString();
    if (sourceFormat_ == SourceFormat::Akai) {
        const QVariant partition = treeView1_->currentItem()->data(0, Qt::UserRole + 1);
        if (partition.isValid())
            SelectAkaiPartition(workspace_, partition.toUInt());
        ShowFileList();
    } else if (sourceFormat_ == SourceFormat::AudioFile) {
        ListAudioFolder(workspace_, folder, {audioWave_, audioAiff_});
        FillSampleList();
    } else {
        ListBankFolder(workspace_, folder);
        ShowFileList();
    }
}

void TForm1::ShowFileList() {
    const bool suppressed = changesSuppressed_;
    changesSuppressed_ = true;
    listBox1_->clear();
    const auto& list = workspace_.loader.fileList;
    for (size_t i = 0; i < list.size(); ++i) {
        // DLS banks are listed with GigaSampler files; a same-named pair is told apart by the mark.
        const bool dls = LowerName(list[i].extension) == "dls";
        listBox1_->addItem(QString::fromStdString(list[i].text) + (dls ? " (DLS)" : ""));
        // Search results come from many folders: the tooltip says which file each entry is.
        if (sourceFormat_ != SourceFormat::Akai)
            listBox1_->item(static_cast<int>(i))
                ->setToolTip(QString::fromStdString(EntryPath(workspace_, static_cast<uint32_t>(i))));
    }
    const bool any = listBox1_->count() > 0;
    controls_.speedButton4->setVisible(any);
    controls_.speedButton4->setEnabled(true);
    ShowBankEditMark();
    listBox1_->setContextMenuPolicy(any ? Qt::CustomContextMenu : Qt::NoContextMenu);
    changesSuppressed_ = suppressed;
}

void TForm1::TreeView1ContextMenu(const QPoint& at) {
    QTreeWidgetItem* node = treeView1_->itemAt(at);
    if (node == nullptr || node != treeView1_->currentItem() || sourceFormat_ == SourceFormat::Akai)
        return;
    QMenu menu(this);
    menu.setObjectName("PopupMenu3");
    auto add = [&](const char* name, const QString& caption, FolderSearch search) {
        QAction* action = menu.addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, search] { SearchFolder(search); });
    };
    if (sourceFormat_ == SourceFormat::AudioFile) {
        add("Menu_Search1", "Search WAVE(s)", FolderSearch::Waves);
        add("Menu_Search2", "Search AIFF(s)", FolderSearch::Aiffs);
        add("Menu_Search3", "Search All Audio Files", FolderSearch::AudioFiles);
    } else {
        add("Menu_Search1",
            sourceFormat_ == SourceFormat::Dls   ? "Search GigaFile(s)"
            : sourceFormat_ == SourceFormat::Sfz ? "Search SFZ file(s)"
                                                 : "Search SoundFont(s)",
            FolderSearch::Banks);
    }
    menu.exec(treeView1_->viewport()->mapToGlobal(at - QPoint(0, 10)));
}

void TForm1::SearchFolder(FolderSearch search) {
    const std::string folder = CurrentFolder().toStdString();
    if (folder.empty())
        return;
    lastSearch_ = search;
    BusyCursor busy;
    ResetDisplay();
    if (sourceFormat_ == SourceFormat::AudioFile) {
        audioWave_ = search != FolderSearch::Aiffs;
        audioAiff_ = search != FolderSearch::Waves;
        SearchAudioFiles(workspace_, folder, {audioWave_, audioAiff_});
        FillSampleList();
    } else {
        SearchBankFiles(workspace_, folder);
        ShowFileList();
    }
}

void TForm1::ShowCompressedClick() {
    if (treeView1_->currentItem() == nullptr)
        return;
    if (workspace_.loader.listingKind == ListingKind::Search)
        SearchFolder(lastSearch_);
    else if (workspace_.loader.listingKind == ListingKind::Folder)
        ListFolder();
}

void TForm1::SoundFormatClick(QAction* item) {
    const QString name = item->objectName();
    const quorvane::SourceFormat previous = sourceFormat_;
    quorvane::SourceFormat format = SourceFormat::AudioFile;
    if (name == "Menu_SF2")
        format = SourceFormat::SoundFont;
    else if (name == "Menu_GIG")
        format = SourceFormat::Dls;
    else if (name == "Menu_SFZ")
        format = SourceFormat::Sfz;
    for (QAction* choice : formatGroup_->actions())
        choice->setChecked(false);
    if (format == SourceFormat::AudioFile) {
        audioWave_ = name != "Menu_AIFF";
        audioAiff_ = name != "Menu_WAVE";
        controls_.menuWave->setChecked(audioWave_);
        controls_.menuAiff->setChecked(audioAiff_);
        controls_.menuAllAudioFiles->setChecked(audioWave_ && audioAiff_);
    } else {
        item->setChecked(true);
    }
    const bool suppressed = changesSuppressed_;
    changesSuppressed_ = true;
    treeList_->clear();
    changesSuppressed_ = suppressed;
    SetSourceFormat(format);
    image3_->setPixmap(
        Artwork(FormatIconName(format, format == SourceFormat::AudioFile && !audioWave_), {16, 16}));
    if (previous == SourceFormat::Akai)
        FillDriveTree();
    ListFolder();
}

void TForm1::LoadEntry(int row) {
    if (changesSuppressed_ || row < 0 || row >= static_cast<int>(workspace_.loader.fileList.size()))
        return;
    BusyCursor busy;
    const bool another = workspace_.loader.loadedEntry != row || !workspace_.loader.loadedFlag;
    if (another)
        ForgetEdits();
    ReadNotes notes;
    const LoadStatus status = LoadBankInteractively(workspace_, static_cast<uint32_t>(row), &notes);
    const quorvane::SourceFormat format = workspace_.bank.SourceFormat;
    const bool bankFile = IsReadFromFile(format);
    const bool unreadable = bankFile && (status == LoadStatus::NotABank || status == LoadStatus::CannotOpen ||
                                         status == LoadStatus::WrongFormat);
    // A bank that cannot be read has nothing to save. A damaged one the loader has already emptied and
    // described; the others are described here.
    const bool damaged = bankFile && status == LoadStatus::Damaged;
    controls_.speedButton4->setEnabled(!unreadable && !damaged);
    if (unreadable)
        ShowUnreadableBank(static_cast<uint32_t>(row), status, notes);
}

void TForm1::ShowUnreadableBank(uint32_t entry, LoadStatus status, const ReadNotes& notes) {
    // Nothing of the bank before, nor of what was read of this one, stays on screen.
    BankModel& bank = workspace_.bank;
    bank.PresetCount = bank.LayerCount = bank.ZoneCount = bank.SampleCount = 0;
    workspace_.loader.loadedFlag = false;
    Selection& selection = workspace_.selection;
    selection.currentPreset = 0;
    selection.currentLayer = selection.currentZone = -1;
    selection.selectedSample = kNoSample;
    selection.DisplayMode = PanelContent::Nothing;
    Auditioning().AllSoundOff();
    if (status != LoadStatus::CannotOpen)
        SetTitle({});
    SetFormatLabelsVisible(false);
    FillPresetTree();
    FillSampleList();
    ShowPanelBlack();

    std::string why;
    for (const std::string& line : notes.lines)
        why += line + "\n";
    if (why.empty())
        why = status == LoadStatus::CannotOpen    ? "The file cannot be opened.\n"
              : status == LoadStatus::WrongFormat ? "It is a bank of another type: choose its type in the "
                                                    "SoundFormat menu.\n"
                                                  : "It is damaged, or not a bank of this type.\n";
    const std::string path = EntryPath(workspace_, entry);
    ShowMessage("'" + path + "' cannot be read.\n\n" + why, "Unreadable bank", MessageIcon::Warning);
}

} // namespace quorvane::ui
