// The bank views of TForm1: the preset tree (presets, layers, zones) and the sample list, their selection,
// keys, context menus, sorting and the preset filter. The core decides what each node shows.
#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QSlider>
#include <QToolButton>
#include <QTreeWidget>

#include "convert/AkaiDisc.h"
#include "convert/BankViews.h"
#include "convert/PresetTreeRules.h"
#include "convert/SampleFetch.h"
#include "convert/StereoNames.h"
#include "convert/StereoPairs.h"
#include "ui/Colours.h"
#include "ui/InfoPanel.h"
#include "ui/Palette.h"
#include "ui/PresetTreeLevel.h"
#include "ui/Unit1.h"
#include "ui/Unit6.h"
#include "ui/ViewPictures.h"

namespace quorvane::ui {

namespace {

constexpr int kDataRole = Qt::UserRole;

int DataOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, kDataRole).toInt() : -1;
}

QTreeWidgetItem* MakeNode(const ViewNode& view) {
    auto* node = new QTreeWidgetItem({QString::fromStdString(view.text)});
    node->setData(0, kDataRole, view.data);
    node->setIcon(0, NodeIcon(ViewPicture(view.image), ViewPicture(view.selectedImage)));
    return node;
}

// Keeps the program's own selection changes from running the handlers, for as long as it lives.
class Suppress {
  public:
    explicit Suppress(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Suppress() { flag_ = was_; }
    Suppress(const Suppress&) = delete;
    Suppress& operator=(const Suppress&) = delete;

  private:
    bool& flag_;
    bool was_;
};

} // namespace

void TForm1::ConnectViews() {
    treeView2_ = controls_.treeView2;
    treeList_ = controls_.treeList;
    ScrollSideways(treeView2_);
    ScrollSideways(treeList_);
    treeView2_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Presets show the arrow that opens them as well as their layers do.
    treeView2_->setRootIsDecorated(true);
    treeView2_->setItemsExpandable(true);
    treeView2_->setIconSize({15, 15});
    treeView2_->installEventFilter(this);
    treeList_->setSelectionMode(QAbstractItemView::SingleSelection);
    treeList_->setRootIsDecorated(false);
    treeList_->setIconSize({15, 15});
    connect(treeView2_, &QTreeWidget::itemSelectionChanged, this, [this] { TreeView2Change(); });
    connect(treeView2_, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* node) {
        Suppress suppress(changesSuppressed_);
        qDeleteAll(node->takeChildren());
        node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    });
    connect(treeView2_, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* node) { BuildChildren(node); });
    connect(treeView2_, &QTreeWidget::customContextMenuRequested, this, &TForm1::TreeView2ContextMenu);
    connect(listBox1_, &QListWidget::customContextMenuRequested, this, &TForm1::ListBox1ContextMenu);
    listBox1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    listBox1_->installEventFilter(this);
    connect(treeList_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* node) {
        if (DataOf(node) >= 0)
            playback_->RequestSampleSave(SaveAllChoice::AsLastChosen);
    });
    connect(treeView2_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* node) {
        if (LevelOf(node) == PresetTreeLevel::Preset)
            SavePresetsClick();
    });
    connect(treeList_, &QTreeWidget::itemSelectionChanged, this, [this] { TreeListChange(); });
    connect(controls_.speedPl, &QToolButton::clicked, this, &TForm1::SpeedPlClick);
    connect(controls_.sortPreset, &QAction::triggered, this, &TForm1::SortPresetsClick);
    connect(controls_.sortWaveforms, &QAction::triggered, this, &TForm1::SortSamplesClick);
    connect(controls_.menuLinkMono, &QAction::triggered, this, &TForm1::LinkMonoClick);
}

void TForm1::FillPresetTree() {
    Suppress suppress(changesSuppressed_);
    treeView2_->clear();
    const BankModel& bank = workspace_.bank;
    for (uint32_t slot : PresetTreeOrder(bank)) {
        if (edits_.IsRemoved(slot))
            continue;
        QTreeWidgetItem* node = MakeNode(PresetNode(bank, slot));
        node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        treeView2_->addTopLevelItem(node);
    }
    if (workspace_.settings.SortPresets)
        treeView2_->sortItems(0, Qt::AscendingOrder);
    MarkEditedPresets();
}

void TForm1::BuildChildren(QTreeWidgetItem* node) {
    if (node == nullptr || node->childCount() > 0)
        return;
    Suppress suppress(changesSuppressed_);
    const BankModel& bank = workspace_.bank;
    const PresetTreeLevel level = LevelOf(node);
    std::vector<ViewNode> children;
    if (level == PresetTreeLevel::Preset)
        children = LayerNodes(bank, static_cast<uint32_t>(DataOf(node)));
    else if (level == PresetTreeLevel::Layer)
        children = ZoneNodes(bank, static_cast<uint32_t>(DataOf(node->parent())), DataOf(node));
    for (const ViewNode& child : children) {
        QTreeWidgetItem* item = MakeNode(child);
        if (level == PresetTreeLevel::Preset)
            item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        node->addChild(item);
    }
}

void TForm1::SelectPresetSlot(uint32_t slot) {
    for (int i = 0; i < treeView2_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = treeView2_->topLevelItem(i);
        if (DataOf(node) == static_cast<int>(slot)) {
            treeView2_->setCurrentItem(node);
            return;
        }
    }
}

void TForm1::TreeView2Change() {
    if (changesSuppressed_)
        return;
    QTreeWidgetItem* node = treeView2_->currentItem();
    if (node == nullptr || !node->isSelected())
        return;
    typedBankNumber_ = {};
    playback_->ShowPresetVolume();
    Selection& selection = workspace_.selection;
    const PresetTreeLevel level = LevelOf(node);
    if (level == PresetTreeLevel::Preset) {
        StopPlayback(true);
        treeView2_->setContextMenuPolicy(Qt::CustomContextMenu);
        selection.currentPreset = static_cast<uint32_t>(DataOf(node));
        selection.currentLayer = selection.currentZone = -1;
        selection.selectedSample = kNoSample;
        selection.DisplayMode = PanelContent::Preset;
        Suppress suppress(changesSuppressed_);
        treeList_->clearSelection();
    } else if (level == PresetTreeLevel::Layer) {
        treeView2_->setContextMenuPolicy(Qt::NoContextMenu);
        selection.currentPreset = static_cast<uint32_t>(DataOf(node->parent()));
        selection.currentLayer = DataOf(node);
        selection.currentZone = -1;
    } else {
        treeView2_->setContextMenuPolicy(Qt::NoContextMenu);
        selection.currentPreset = static_cast<uint32_t>(DataOf(node->parent()->parent()));
        selection.currentLayer = DataOf(node->parent());
        selection.currentZone = DataOf(node);
    }
    selection.DisplayMode = PanelContent::Preset;
    // An Akai volume's programs are read from the disc when one is first shown.
    if (workspace_.bank.SourceFormat == SourceFormat::Akai && selection.currentPreset != akaiProgramRead_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ReadAkaiPrograms(workspace_, AkaiProgramMode::RereadCurrent);
        QApplication::restoreOverrideCursor();
        akaiProgramRead_ = selection.currentPreset;
        // Layers built before the program was read are built again from it.
        if (level == PresetTreeLevel::Preset) {
            Suppress suppress(changesSuppressed_);
            qDeleteAll(node->takeChildren());
        }
    }
    ListPresetSamples(workspace_.bank, selection.currentPreset, selection.currentLayer);
    infoPanel_->SetStatistics(
        ComputePresetStatistics(workspace_.bank, selection.currentPreset, selection.currentLayer));
    controls_.trackBar1->setToolTip("MIDI Volume");
    ShowPanelBlack();
    SetBackground(panel1_, palette().color(QPalette::Window));
    if (selection.filterMode)
        FillSampleList();
    if (level == PresetTreeLevel::Preset)
        form6_->Refresh(workspace_.bank, ChosenPresets(),
                        Auditioning().On() && Auditioning().CurrentDevice() >= 0);
    infoPanel_->Redraw();
    auditioning_->AuditionSelectedNode();
}

void TForm1::ApplyPresetParametersClick(const ParameterValues& values) {
    QTreeWidgetItem* node = treeView2_->currentItem();
    if (node == nullptr || LevelOf(node) != PresetTreeLevel::Preset)
        return;
    RecordEdit();
    ApplyPresetParameters(workspace_.bank, workspace_.attributes, ChosenPresets(), values);
    MarkEditedPresets();
    infoPanel_->Redraw();
    // The synthesizer plays the preset as it is now.
    auditioning_->AuditionSelectedNode();
}

void TForm1::MoveZonesClick(int semitones) {
    std::vector<uint32_t> moved;
    for (int i = 0; i < treeView2_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = treeView2_->topLevelItem(i);
        if (node->isSelected())
            moved.push_back(static_cast<uint32_t>(DataOf(node)));
    }
    if (moved.empty())
        return;
    RecordEdit();
    MoveZones(workspace_.bank, workspace_.attributes, moved, semitones);
    // The layers and zones shown change their ranges: their nodes are built again when opened.
    Suppress suppress(changesSuppressed_);
    for (int i = 0; i < treeView2_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = treeView2_->topLevelItem(i);
        node->setExpanded(false);
        qDeleteAll(node->takeChildren());
    }
    MarkEditedPresets();
    // The key range and the other figures of the shown preset follow the moved zones.
    const Selection& selection = workspace_.selection;
    if (workspace_.bank.IsValidSlot(selection.currentPreset)) {
        ListPresetSamples(workspace_.bank, selection.currentPreset, selection.currentLayer);
        infoPanel_->SetStatistics(
            ComputePresetStatistics(workspace_.bank, selection.currentPreset, selection.currentLayer));
    }
    infoPanel_->Redraw();
    QTreeWidgetItem* current = treeView2_->currentItem();
    if (current != nullptr && LevelOf(current) == PresetTreeLevel::Preset)
        auditioning_->AuditionSelectedNode();
}

void TForm1::FillSampleList() {
    Suppress suppress(changesSuppressed_);
    treeList_->clear();
    const BankModel& bank = workspace_.bank;
    std::vector<QTreeWidgetItem*> placed;
    for (const SampleListNode& entry :
         SampleListNodes(bank, workspace_.dls.SampleGroupNames, workspace_.selection.filterMode)) {
        QTreeWidgetItem* node = MakeNode(entry.node);
        if (entry.parent >= 0 && static_cast<size_t>(entry.parent) < placed.size())
            placed[static_cast<size_t>(entry.parent)]->addChild(node);
        else
            treeList_->addTopLevelItem(node);
        placed.push_back(node);
    }
    // Audio files of a search come from many folders: the tooltip says which file each entry is.
    if (bank.SourceFormat == SourceFormat::AudioFile) {
        for (QTreeWidgetItem* node : placed) {
            const int sample = DataOf(node);
            if (sample >= 0)
                node->setToolTip(0, QString::fromStdString(
                                        EntryFolder(workspace_.attributes, static_cast<uint32_t>(sample),
                                                    workspace_.loader.currentFolder, true)));
        }
    }
    if (workspace_.settings.SortSamples)
        treeList_->sortItems(0, Qt::AscendingOrder);
    treeList_->expandAll();
}

void TForm1::TreeListChange() {
    if (changesSuppressed_)
        return;
    if (workspace_.bank.SourceFormat == SourceFormat::AudioFile &&
        workspace_.attributes.WaveAttributes.empty())
        return;
    QTreeWidgetItem* node = treeList_->currentItem();
    Selection& selection = workspace_.selection;
    selection.selectedSample = kNoSample;
    selection.lastSampleNode = -1;
    const int data = DataOf(node);
    BankModel& bank = workspace_.bank;
    if (node == nullptr || !bank.IsValidSample(static_cast<uint32_t>(data))) {
        // A group node: nothing to show.
        selection.lastSampleNode = node ? treeList_->indexOfTopLevelItem(node) : -1;
        selection.DisplayMode = PanelContent::Nothing;
        StopPlayback(true);
        ShowPanelBlack();
        return;
    }
    const uint32_t index = static_cast<uint32_t>(data);
    if (bank.SampleTable[index].dataLength == 0) {
        Suppress suppress(changesSuppressed_);
        node->setText(0, "!error (0 bytes)");
        node->setSelected(false);
        return;
    }
    selection.selectedSample = index;
    selection.DisplayMode = PanelContent::Sample;
    playback_->ShowSampleVolume();
    // The play buffers are refilled next: the sample playing now stops first.
    StopPlayback(true);
    const SampleRecord& sample = bank.SampleTable[index];
    if (bank.SourceFormat == SourceFormat::AudioFile && (sample.formatTag == 2 || sample.formatTag > 3)) {
        SetTitle("Compressed files are not supported !");
        SetFormatLabelsVisible(false);
    }
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        LoadSampleForPlay(workspace_, index);
        QApplication::restoreOverrideCursor();
    }
    if (workspace_.samples.PlayLeft.length == 0) {
        selection.currentPreset = 0;
        selection.currentLayer = selection.currentZone = -1;
        selection.selectedSample = kNoSample;
        selection.DisplayMode = PanelContent::Nothing;
        ShowPanelBlack();
        return;
    }
    SetBackground(panel1_, kSampleShownGrey);
    RelayoutPanel1();
    infoPanel_->Redraw();
    if (workspace_.settings.AutoPlaySample && !autoPlayHeld_)
        playback_->PlaySelectedSample();
}

void TForm1::SpeedPlClick() {
    StopPlayback(true);
    Selection& selection = workspace_.selection;
    BankModel& bank = workspace_.bank;
    if (!selection.filterMode) {
        const uint32_t sample = selection.selectedSample;
        if (bank.IsValidSample(sample) && bank.SourceFormat != SourceFormat::Akai) {
            const std::vector<uint32_t> presets = PresetsUsingSample(bank, sample);
            if (presets.empty())
                return;
            selection.filterMode = true;
            ListPresetSamples(bank, presets.front());
            {
                Suppress suppress(changesSuppressed_);
                treeView2_->clearSelection();
                for (int i = 0; i < treeView2_->topLevelItemCount(); ++i) {
                    QTreeWidgetItem* node = treeView2_->topLevelItem(i);
                    const int slot = DataOf(node);
                    if (std::find(presets.begin(), presets.end(), static_cast<uint32_t>(slot)) !=
                        presets.end())
                        node->setSelected(true);
                }
            }
            selection.currentPreset = presets.back();
            selection.currentLayer = selection.currentZone = -1;
            selection.lastSampleNode = -1;
            selection.DisplayMode = PanelContent::Preset;
            ListPresetSamples(bank, selection.currentPreset);
            infoPanel_->SetStatistics(ComputePresetStatistics(bank, selection.currentPreset));
            FillSampleList();
            SelectSampleNode(static_cast<int>(sample), false);
            return;
        }
        selection.filterMode = true;
        if (bank.IsValidSlot(selection.currentPreset))
            ListPresetSamples(bank, selection.currentPreset, selection.currentLayer);
        FillSampleList();
        return;
    }
    selection.filterMode = false;
    for (uint32_t s = 0; s < bank.SampleCount; ++s)
        bank.SampleTable[s].listed = 1;
    const uint32_t sample = selection.selectedSample;
    FillSampleList();
    if (bank.IsValidSample(sample))
        SelectSampleNode(static_cast<int>(sample), false);
}

void TForm1::SelectSampleNode(int sample, bool autoPlay) {
    const bool held = autoPlayHeld_;
    autoPlayHeld_ = !autoPlay;
    QTreeWidgetItemIterator it(treeList_);
    for (; *it; ++it) {
        if (DataOf(*it) == sample) {
            treeList_->setCurrentItem(*it);
            break;
        }
    }
    autoPlayHeld_ = held;
}

void TForm1::SortPresetsClick() {
    if (workspace_.settings.SortPresets) {
        Suppress suppress(changesSuppressed_);
        treeView2_->sortItems(0, Qt::AscendingOrder);
        return;
    }
    const uint32_t current = workspace_.selection.currentPreset;
    FillPresetTree();
    Suppress suppress(changesSuppressed_);
    SelectPresetSlot(current);
}

void TForm1::SortSamplesClick() {
    const int sample = static_cast<int>(workspace_.selection.selectedSample);
    FillSampleList();
    Suppress suppress(changesSuppressed_);
    SelectSampleNode(sample, false);
}

void TForm1::LinkMonoClick() {
    BankModel& bank = workspace_.bank;
    if (workspace_.settings.LinkMonoSamples) {
        LinkMonoSamples(bank);
        TidyStereoNames(bank);
    } else {
        UnlinkMonoSamples(bank);
    }
    FillSampleList();
}

void TForm1::MarkEditedPresets() {
    const std::string& edits = workspace_.attributes.EditAttributes;
    for (int i = 0; i < treeView2_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = treeView2_->topLevelItem(i);
        const bool edited = IsPresetEdited(edits, static_cast<uint32_t>(DataOf(node)));
        QFont font = node->font(0);
        if (font.italic() == edited)
            continue;
        font.setItalic(edited);
        node->setFont(0, font);
        node->setToolTip(0, edited ? "Edited: kept by the preset save, and by saving this bank by itself"
                                   : QString());
    }
}

void TForm1::ShowPanelBlack() {
    SetBackground(panel1_, Qt::black);
    RelayoutPanel1();
    infoPanel_->Redraw();
}

bool TForm1::TreeView2Key(QKeyEvent* event) {
    QTreeWidgetItem* node = treeView2_->currentItem();
    if (node == nullptr)
        return false;
    const bool presetNode = LevelOf(node) == PresetTreeLevel::Preset;
    const uint32_t slot = static_cast<uint32_t>(DataOf(presetNode ? node : nullptr));
    BankModel& bank = workspace_.bank;
    // After a program, bank or drum change the node shows the preset again.
    auto presetChanged = [&] {
        const ViewNode view = PresetNode(bank, slot);
        node->setText(0, QString::fromStdString(view.text));
        node->setIcon(0, NodeIcon(ViewPicture(view.image), ViewPicture(view.selectedImage)));
        MarkEditedPresets();
        infoPanel_->Redraw();
    };
    const QString text = event->text();
    if (text == "s" || text == "S") {
        SavePresetsClick();
        return true;
    }
    const bool keypad = (event->modifiers() & Qt::KeypadModifier) != 0;
    const int keypadSign = !keypad                         ? 0
                           : event->key() == Qt::Key_Plus  ? 1
                           : event->key() == Qt::Key_Minus ? -1
                                                           : 0;
    const char32_t typed = text.size() == 1 ? text[0].unicode() : 0;
    const PresetKeyEdit edit = PresetEditForKey(typed, keypadSign);
    if (edit != PresetKeyEdit::None) {
        if (presetNode && bank.IsValidSlot(slot)) {
            RecordEdit();
            ApplyPresetKey(bank, workspace_.attributes, slot, typedBankNumber_, edit, typed);
            presetChanged();
            // In program order the node moves past its neighbours of the same bank and kind.
            const bool program = edit == PresetKeyEdit::ProgramUp || edit == PresetKeyEdit::ProgramDown;
            if (program && !workspace_.settings.SortPresets && bank.SourceFormat != SourceFormat::Akai) {
                Suppress suppress(changesSuppressed_);
                std::vector<uint32_t> keys;
                for (int i = 0; i < treeView2_->topLevelItemCount(); ++i)
                    keys.push_back(PresetSortKey(
                        bank.PresetTable[static_cast<uint32_t>(DataOf(treeView2_->topLevelItem(i)))]));
                const int at = treeView2_->indexOfTopLevelItem(node);
                const int to = MovedPresetPosition(keys, at, edit == PresetKeyEdit::ProgramUp);
                if (to != at) {
                    QTreeWidgetItem* moved = treeView2_->takeTopLevelItem(at);
                    treeView2_->insertTopLevelItem(to, moved);
                    node = moved;
                }
                treeView2_->setCurrentItem(node);
            }
        }
        return true;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        BuildChildren(node);
        node->setExpanded(!node->isExpanded());
        return true;
    case Qt::Key_Right:
        BuildChildren(node);
        return false;
    case Qt::Key_Delete: {
        const PresetTreeLevel level = LevelOf(node);
        if (level == PresetTreeLevel::Zone)
            return true;
        const QString question =
            level == PresetTreeLevel::Preset
                ? QString("Remove the preset '%1' from the list?\n\nIt is left out when the presets are "
                          "saved. Ctrl+Z brings it back.")
                      .arg(node->text(0))
                : QString("Remove the layer '%1' from the preset '%2'?\n\nCtrl+Z brings it back.")
                      .arg(node->text(0), node->parent()->text(0));
        if (QMessageBox::question(this, "Delete", question, QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::No) != QMessageBox::Yes)
            return true;
        if (level == PresetTreeLevel::Preset) {
            RecordEdit();
            edits_.RemovePreset(slot);
            {
                Suppress suppress(changesSuppressed_);
                delete node;
            }
            if (treeView2_->topLevelItemCount() == 0) {
                treeView2_->setContextMenuPolicy(Qt::NoContextMenu);
                SetFormatLabelsVisible(false);
                ShowPanelBlack();
            } else if (treeView2_->currentItem()) {
                treeView2_->currentItem()->setSelected(true);
                TreeView2Change();
            }
        } else if (level == PresetTreeLevel::Layer) {
            BankModel& bank = workspace_.bank;
            const uint32_t slot = static_cast<uint32_t>(DataOf(node->parent()));
            if (!bank.IsValidSlot(slot))
                return true;
            QTreeWidgetItem* parent = node->parent();
            RecordEdit();
            bank.PresetTable[slot].layerList.RemoveAt(static_cast<size_t>(DataOf(node)));
            {
                Suppress suppress(changesSuppressed_);
                delete node;
                for (int i = 0; i < parent->childCount(); ++i)
                    parent->child(i)->setData(0, kDataRole, i);
            }
            if (LevelOf(treeView2_->currentItem()) == PresetTreeLevel::Preset)
                TreeView2Change();
        }
        return true;
    }
    default:
        return false;
    }
}

void TForm1::ListBox1ContextMenu(const QPoint& at) {
    const quorvane::SourceFormat format = sourceFormat_;
    const QString word = FactsOf(format).bankWord;
    // "Gigafiles(s) selected" is how the menu has always read.
    const QString kind = format == SourceFormat::Dls ? word + "s" : word;
    const QString kinds = word.toLower() + "s)";
    QMenu menu(this);
    menu.setObjectName("PopupMenu1");
    QAction* edit =
        menu.addAction(QString("%1 %2(s) selected").arg(listBox1_->selectedItems().size()).arg(kind));
    edit->setObjectName("BankSimpleEdition1");
    edit->setIcon(ViewPicture(format == SourceFormat::Dls ? 12 : 11));
    connect(edit, &QAction::triggered, this, [this] {
        std::vector<uint32_t> entries;
        for (int row = 0; row < listBox1_->count(); ++row)
            if (listBox1_->item(row)->isSelected())
                entries.push_back(static_cast<uint32_t>(row));
        if (entries.empty() && listBox1_->currentRow() >= 0)
            entries.push_back(static_cast<uint32_t>(listBox1_->currentRow()));
        TForm6::RunBankDialog(this, workspace_.attributes, workspace_.bank.SourceFormat, entries);
        ShowBankEditMark();
    });
    menu.addSeparator();
    QAction* all = menu.addAction(QString("&Select All - (%1 %2").arg(listBox1_->count()).arg(kinds));
    all->setObjectName("Menu_BankSelectAll");
    connect(all, &QAction::triggered, listBox1_, &QListWidget::selectAll);
    QAction* none = menu.addAction("&UnSelect All");
    none->setObjectName("UnSelectAll2");
    connect(none, &QAction::triggered, listBox1_, &QListWidget::clearSelection);
    menu.exec(listBox1_->viewport()->mapToGlobal(at));
}

void TForm1::TreeView2ContextMenu(const QPoint& at) {
    if (QTreeWidgetItem* node = treeView2_->itemAt(at)) {
        if (!node->isSelected())
            treeView2_->setCurrentItem(node);
    }
    const quorvane::SourceFormat format = sourceFormat_;
    const QString kind = FactsOf(format).presetWord;
    // Programs keep the capital they have always had in this menu.
    const QString kinds = (format == SourceFormat::Akai ? kind : kind.toLower()) + "s)";
    int nodes = 0;
    for (QTreeWidgetItemIterator it(treeView2_); *it; ++it)
        ++nodes;
    QMenu menu(this);
    menu.setObjectName("PopupMenu2");
    QAction* edit = menu.addAction(
        QString("%1 %2(s) in Simple Edition").arg(treeView2_->selectedItems().size()).arg(kind));
    edit->setObjectName("Menu_PresetsSimpleEdition");
    edit->setIcon(ViewPicture(format == SourceFormat::Dls ? 12 : 11));
    connect(edit, &QAction::triggered, this,
            [this] { form6_->ShowPresetDialog(workspace_.bank, ChosenPresets(), false); });
    QAction* up = menu.addAction("&Move Zones  +12");
    up->setObjectName("Menu_MoveZones_Up12");
    connect(up, &QAction::triggered, this, [this] { MoveZonesClick(12); });
    QAction* down = menu.addAction("Move &Zones   -12");
    down->setObjectName("Menu_MoveZonesDown12");
    connect(down, &QAction::triggered, this, [this] { MoveZonesClick(-12); });
    menu.addSeparator();
    QAction* all = menu.addAction(QString("&Select All - (%1 %2").arg(nodes).arg(kinds));
    all->setObjectName("Menu_PresetSelectAll");
    connect(all, &QAction::triggered, this, [this] {
        Suppress suppress(changesSuppressed_);
        treeView2_->selectAll();
    });
    QAction* none = menu.addAction("&UnSelect All");
    none->setObjectName("UnSelectAll1");
    connect(none, &QAction::triggered, treeView2_, &QTreeWidget::clearSelection);
    menu.exec(treeView2_->viewport()->mapToGlobal(at));
}

} // namespace quorvane::ui
