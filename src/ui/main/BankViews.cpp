#include "ui/main/BankViews.h"

#include <algorithm>

#include <QAction>
#include <QKeyEvent>
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
#include "convert/ViewSelection.h"
#include "ui/Colours.h"
#include "ui/InfoPanel.h"
#include "ui/Palette.h"
#include "ui/PresetTreeLevel.h"
#include "ui/Unit6.h"
#include "ui/ViewPictures.h"
#include "ui/main/Auditioning.h"
#include "ui/main/Playback.h"
#include "ui/main/QuietChanges.h"
#include "ui/main/Saving.h"

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

} // namespace

BankViewsController::BankViewsController(Workspace& workspace, Host& host, BankEdits& edits,
                                         PlaybackController& playback, AuditioningController& auditioning,
                                         SavingController& saving, std::function<SourceFormat()> shownFormat,
                                         const Widgets& widgets, QObject* parent)
    : QObject(parent), workspace_(workspace), host_(host), edits_(edits), playback_(playback),
      auditioning_(auditioning), saving_(saving), shownFormat_(std::move(shownFormat)), widgets_(widgets) {
    QTreeWidget* presets = widgets_.presetTree;
    QTreeWidget* samples = widgets_.sampleList;
    ScrollSideways(presets);
    ScrollSideways(samples);
    presets->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Presets show the arrow that opens them as well as their layers do.
    presets->setRootIsDecorated(true);
    presets->setItemsExpandable(true);
    presets->setIconSize({15, 15});
    presets->installEventFilter(this);
    samples->setSelectionMode(QAbstractItemView::SingleSelection);
    samples->setRootIsDecorated(false);
    samples->setIconSize({15, 15});
    connect(presets, &QTreeWidget::itemSelectionChanged, this, [this] { TreeView2Change(); });
    connect(presets, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* node) {
        QuietChanges quiet(changesSuppressed_);
        qDeleteAll(node->takeChildren());
        node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    });
    connect(presets, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* node) { BuildChildren(node); });
    connect(presets, &QTreeWidget::customContextMenuRequested, this,
            &BankViewsController::TreeView2ContextMenu);
    connect(samples, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* node) {
        if (DataOf(node) >= 0)
            playback_.RequestSampleSave(SaveAllChoice::AsLastChosen);
    });
    connect(presets, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* node) {
        if (LevelOf(node) == PresetTreeLevel::Preset)
            saving_.SavePresetsClick();
    });
    connect(samples, &QTreeWidget::itemSelectionChanged, this, [this] { TreeListChange(); });
    connect(widgets_.filterButton, &QToolButton::clicked, this, &BankViewsController::SpeedPlClick);
    connect(widgets_.sortPresets, &QAction::triggered, this, &BankViewsController::SortPresetsClick);
    connect(widgets_.sortSamples, &QAction::triggered, this, &BankViewsController::SortSamplesClick);
    connect(widgets_.linkMono, &QAction::triggered, this, &BankViewsController::LinkMonoClick);
    connect(widgets_.presetDialog, &TForm6::applyRequested, this,
            &BankViewsController::ApplyPresetParametersClick);
}

bool BankViewsController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widgets_.presetTree && event->type() == QEvent::KeyPress &&
        TreeView2Key(static_cast<QKeyEvent*>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}

void BankViewsController::FillPresetTree() {
    QuietChanges quiet(changesSuppressed_);
    QTreeWidget* tree = widgets_.presetTree;
    tree->clear();
    const BankModel& bank = workspace_.bank;
    for (uint32_t slot : PresetTreeOrder(bank)) {
        if (edits_.IsRemoved(slot))
            continue;
        QTreeWidgetItem* node = MakeNode(PresetNode(bank, slot));
        node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        tree->addTopLevelItem(node);
    }
    if (workspace_.settings.SortPresets)
        tree->sortItems(0, Qt::AscendingOrder);
    MarkEditedPresets();
}

void BankViewsController::BuildChildren(QTreeWidgetItem* node) {
    if (node == nullptr || node->childCount() > 0)
        return;
    QuietChanges quiet(changesSuppressed_);
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

void BankViewsController::SelectPresetSlot(uint32_t slot) {
    QTreeWidget* tree = widgets_.presetTree;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = tree->topLevelItem(i);
        if (DataOf(node) == static_cast<int>(slot)) {
            tree->setCurrentItem(node);
            return;
        }
    }
}

void BankViewsController::SelectSampleNamed(const QString& caption) {
    for (QTreeWidgetItemIterator it(widgets_.sampleList); *it; ++it) {
        if ((*it)->text(0) == caption) {
            widgets_.sampleList->setCurrentItem(*it);
            return;
        }
    }
}

void BankViewsController::ShowReadBank() {
    akaiProgramRead_ = 0;
    FillPresetTree();
    if (!workspace_.selection.filterMode)
        FillSampleList();
    if (QTreeWidgetItem* first = widgets_.presetTree->topLevelItem(0)) {
        // Shown once: the selection's own change event would show (and audition) it a second time.
        {
            QuietChanges quiet(changesSuppressed_);
            widgets_.presetTree->setCurrentItem(first);
        }
        TreeView2Change();
    }
}

void BankViewsController::ShowNothing() {
    playback_.StopPlayback(true);
    ForgetEdits();
    QuietChanges quiet(changesSuppressed_);
    SelectNothing(workspace_.selection);
    workspace_.selection.lastSampleNode = -1;
    host_.SetTitle("");
    host_.SetFormatLabelsVisible(false);
    widgets_.sampleList->clear();
    widgets_.presetTree->clear();
    widgets_.presetTree->setContextMenuPolicy(Qt::NoContextMenu);
    widgets_.volume->setToolTip("Volume");
    ShowPanelBlack();
}

void BankViewsController::ClearSampleList() {
    QuietChanges quiet(changesSuppressed_);
    widgets_.sampleList->clear();
}

void BankViewsController::TreeView2Change() {
    if (changesSuppressed_)
        return;
    QTreeWidget* tree = widgets_.presetTree;
    QTreeWidgetItem* node = tree->currentItem();
    if (node == nullptr || !node->isSelected())
        return;
    typedBankNumber_ = {};
    playback_.ShowPresetVolume();
    Selection& selection = workspace_.selection;
    const PresetTreeLevel level = LevelOf(node);
    if (level == PresetTreeLevel::Preset) {
        playback_.StopPlayback(true);
        tree->setContextMenuPolicy(Qt::CustomContextMenu);
        SelectPresetNode(selection, static_cast<uint32_t>(DataOf(node)), -1, -1);
        QuietChanges quiet(changesSuppressed_);
        widgets_.sampleList->clearSelection();
    } else if (level == PresetTreeLevel::Layer) {
        tree->setContextMenuPolicy(Qt::NoContextMenu);
        SelectPresetNode(selection, static_cast<uint32_t>(DataOf(node->parent())), DataOf(node), -1);
    } else {
        tree->setContextMenuPolicy(Qt::NoContextMenu);
        SelectPresetNode(selection, static_cast<uint32_t>(DataOf(node->parent()->parent())),
                         DataOf(node->parent()), DataOf(node));
    }
    // An Akai volume's programs are read from the disc when one is first shown.
    if (workspace_.bank.SourceFormat == SourceFormat::Akai && selection.currentPreset != akaiProgramRead_) {
        {
            BusyCursor busy;
            ReadAkaiPrograms(workspace_, AkaiProgramMode::RereadCurrent);
        }
        akaiProgramRead_ = selection.currentPreset;
        // Layers built before the program was read are built again from it.
        if (level == PresetTreeLevel::Preset) {
            QuietChanges quiet(changesSuppressed_);
            qDeleteAll(node->takeChildren());
        }
    }
    ListPresetSamples(workspace_.bank, selection.currentPreset, selection.currentLayer);
    widgets_.panel->SetStatistics(
        ComputePresetStatistics(workspace_.bank, selection.currentPreset, selection.currentLayer));
    widgets_.volume->setToolTip("MIDI Volume");
    ShowPanelBlack();
    SetBackground(widgets_.panelFrame, widgets_.window->palette().color(QPalette::Window));
    if (selection.filterMode)
        FillSampleList();
    if (level == PresetTreeLevel::Preset) {
        Audition& audition = auditioning_.Auditioning();
        widgets_.presetDialog->Refresh(workspace_.bank, saving_.ChosenPresets(),
                                       audition.On() && audition.CurrentDevice() >= 0);
    }
    widgets_.panel->Redraw();
    auditioning_.AuditionSelectedNode();
}

void BankViewsController::ApplyPresetParametersClick(const ParameterValues& values) {
    QTreeWidgetItem* node = widgets_.presetTree->currentItem();
    if (node == nullptr || LevelOf(node) != PresetTreeLevel::Preset)
        return;
    RecordEdit();
    ApplyPresetParameters(workspace_.bank, workspace_.attributes, saving_.ChosenPresets(), values);
    MarkEditedPresets();
    widgets_.panel->Redraw();
    // The synthesizer plays the preset as it is now.
    auditioning_.AuditionSelectedNode();
}

void BankViewsController::MoveZonesClick(int semitones) {
    QTreeWidget* tree = widgets_.presetTree;
    std::vector<uint32_t> moved;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = tree->topLevelItem(i);
        if (node->isSelected())
            moved.push_back(static_cast<uint32_t>(DataOf(node)));
    }
    if (moved.empty())
        return;
    RecordEdit();
    MoveZones(workspace_.bank, workspace_.attributes, moved, semitones);
    // The layers and zones shown change their ranges: their nodes are built again when opened.
    QuietChanges quiet(changesSuppressed_);
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = tree->topLevelItem(i);
        node->setExpanded(false);
        qDeleteAll(node->takeChildren());
    }
    MarkEditedPresets();
    // The key range and the other figures of the shown preset follow the moved zones.
    const Selection& selection = workspace_.selection;
    if (workspace_.bank.IsValidSlot(selection.currentPreset)) {
        ListPresetSamples(workspace_.bank, selection.currentPreset, selection.currentLayer);
        widgets_.panel->SetStatistics(
            ComputePresetStatistics(workspace_.bank, selection.currentPreset, selection.currentLayer));
    }
    widgets_.panel->Redraw();
    QTreeWidgetItem* current = tree->currentItem();
    if (current != nullptr && LevelOf(current) == PresetTreeLevel::Preset)
        auditioning_.AuditionSelectedNode();
}

void BankViewsController::FillSampleList() {
    QuietChanges quiet(changesSuppressed_);
    QTreeWidget* list = widgets_.sampleList;
    list->clear();
    const BankModel& bank = workspace_.bank;
    std::vector<QTreeWidgetItem*> placed;
    for (const SampleListNode& entry :
         SampleListNodes(bank, workspace_.dls.SampleGroupNames, workspace_.selection.filterMode)) {
        QTreeWidgetItem* node = MakeNode(entry.node);
        if (entry.parent >= 0 && static_cast<size_t>(entry.parent) < placed.size())
            placed[static_cast<size_t>(entry.parent)]->addChild(node);
        else
            list->addTopLevelItem(node);
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
        list->sortItems(0, Qt::AscendingOrder);
    list->expandAll();
}

void BankViewsController::TreeListChange() {
    if (changesSuppressed_)
        return;
    if (workspace_.bank.SourceFormat == SourceFormat::AudioFile &&
        workspace_.attributes.WaveAttributes.empty())
        return;
    QTreeWidgetItem* node = widgets_.sampleList->currentItem();
    Selection& selection = workspace_.selection;
    selection.selectedSample = kNoSample;
    selection.lastSampleNode = -1;
    const int data = DataOf(node);
    BankModel& bank = workspace_.bank;
    if (node == nullptr || !bank.IsValidSample(static_cast<uint32_t>(data))) {
        // A group node: nothing to show.
        selection.lastSampleNode = node ? widgets_.sampleList->indexOfTopLevelItem(node) : -1;
        selection.DisplayMode = PanelContent::Nothing;
        playback_.StopPlayback(true);
        ShowPanelBlack();
        return;
    }
    const uint32_t index = static_cast<uint32_t>(data);
    if (bank.SampleTable[index].dataLength == 0) {
        QuietChanges quiet(changesSuppressed_);
        node->setText(0, "!error (0 bytes)");
        node->setSelected(false);
        return;
    }
    selection.selectedSample = index;
    selection.DisplayMode = PanelContent::Sample;
    playback_.ShowSampleVolume();
    // The play buffers are refilled next: the sample playing now stops first.
    playback_.StopPlayback(true);
    const SampleRecord& sample = bank.SampleTable[index];
    if (bank.SourceFormat == SourceFormat::AudioFile && IsCompressedFormat(sample.formatTag)) {
        host_.SetTitle("Compressed files are not supported !");
        host_.SetFormatLabelsVisible(false);
    }
    {
        BusyCursor busy;
        LoadSampleForPlay(workspace_, index);
    }
    if (workspace_.samples.PlayLeft.length == 0) {
        SelectNothing(selection);
        ShowPanelBlack();
        return;
    }
    SetBackground(widgets_.panelFrame, kSampleShownGrey);
    emit PanelContentChanged();
    widgets_.panel->Redraw();
    if (workspace_.settings.AutoPlaySample && !autoPlayHeld_)
        playback_.PlaySelectedSample();
}

void BankViewsController::SpeedPlClick() {
    playback_.StopPlayback(true);
    Selection& selection = workspace_.selection;
    BankModel& bank = workspace_.bank;
    const uint32_t sample = selection.selectedSample;
    if (selection.filterMode) {
        StopSampleFilter(bank, selection);
        FillSampleList();
        if (bank.IsValidSample(sample))
            SelectSampleNode(static_cast<int>(sample), false);
        return;
    }
    const bool sampleShown = bank.IsValidSample(sample) && bank.SourceFormat != SourceFormat::Akai;
    const std::vector<uint32_t> presets = StartSampleFilter(bank, selection);
    if (!sampleShown) {
        FillSampleList();
        return;
    }
    if (presets.empty())
        return;
    {
        QuietChanges quiet(changesSuppressed_);
        QTreeWidget* tree = widgets_.presetTree;
        tree->clearSelection();
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem* node = tree->topLevelItem(i);
            const uint32_t slot = static_cast<uint32_t>(DataOf(node));
            if (std::find(presets.begin(), presets.end(), slot) != presets.end())
                node->setSelected(true);
        }
    }
    widgets_.panel->SetStatistics(ComputePresetStatistics(bank, selection.currentPreset));
    FillSampleList();
    SelectSampleNode(static_cast<int>(sample), false);
}

void BankViewsController::SelectSampleNode(int sample, bool autoPlay) {
    const bool held = autoPlayHeld_;
    autoPlayHeld_ = !autoPlay;
    QTreeWidgetItemIterator it(widgets_.sampleList);
    for (; *it; ++it) {
        if (DataOf(*it) == sample) {
            widgets_.sampleList->setCurrentItem(*it);
            break;
        }
    }
    autoPlayHeld_ = held;
}

void BankViewsController::SortPresetsClick() {
    if (workspace_.settings.SortPresets) {
        QuietChanges quiet(changesSuppressed_);
        widgets_.presetTree->sortItems(0, Qt::AscendingOrder);
        return;
    }
    const uint32_t current = workspace_.selection.currentPreset;
    FillPresetTree();
    QuietChanges quiet(changesSuppressed_);
    SelectPresetSlot(current);
}

void BankViewsController::SortSamplesClick() {
    const int sample = static_cast<int>(workspace_.selection.selectedSample);
    FillSampleList();
    QuietChanges quiet(changesSuppressed_);
    SelectSampleNode(sample, false);
}

void BankViewsController::LinkMonoClick() {
    BankModel& bank = workspace_.bank;
    if (workspace_.settings.LinkMonoSamples) {
        LinkMonoSamples(bank);
        TidyStereoNames(bank);
    } else {
        UnlinkMonoSamples(bank);
    }
    FillSampleList();
}

void BankViewsController::MarkEditedPresets() {
    const std::string& edits = workspace_.attributes.EditAttributes;
    QTreeWidget* tree = widgets_.presetTree;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = tree->topLevelItem(i);
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

void BankViewsController::ShowPanelBlack() {
    SetBackground(widgets_.panelFrame, Qt::black);
    emit PanelContentChanged();
    widgets_.panel->Redraw();
}

bool BankViewsController::HasCurrentNode() const {
    return widgets_.presetTree->currentItem() != nullptr;
}

bool BankViewsController::TreeView2Key(QKeyEvent* event) {
    QTreeWidget* tree = widgets_.presetTree;
    QTreeWidgetItem* node = tree->currentItem();
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
        widgets_.panel->Redraw();
    };
    const QString text = event->text();
    if (text == "s" || text == "S") {
        saving_.SavePresetsClick();
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
                QuietChanges quiet(changesSuppressed_);
                std::vector<uint32_t> keys;
                for (int i = 0; i < tree->topLevelItemCount(); ++i)
                    keys.push_back(PresetSortKey(
                        bank.PresetTable[static_cast<uint32_t>(DataOf(tree->topLevelItem(i)))]));
                const int at = tree->indexOfTopLevelItem(node);
                const int to = MovedPresetPosition(keys, at, edit == PresetKeyEdit::ProgramUp);
                if (to != at) {
                    QTreeWidgetItem* moved = tree->takeTopLevelItem(at);
                    tree->insertTopLevelItem(to, moved);
                    node = moved;
                }
                tree->setCurrentItem(node);
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
    case Qt::Key_Delete:
        DeleteNode(node);
        return true;
    default:
        return false;
    }
}

void BankViewsController::DeleteNode(QTreeWidgetItem* node) {
    QTreeWidget* tree = widgets_.presetTree;
    const PresetTreeLevel level = LevelOf(node);
    if (level == PresetTreeLevel::Zone)
        return;
    const QString question =
        level == PresetTreeLevel::Preset
            ? QString("Remove the preset '%1' from the list?\n\nIt is left out when the presets are "
                      "saved. Ctrl+Z brings it back.")
                  .arg(node->text(0))
            : QString("Remove the layer '%1' from the preset '%2'?\n\nCtrl+Z brings it back.")
                  .arg(node->text(0), node->parent()->text(0));
    if (QMessageBox::question(widgets_.window, "Delete", question, QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::No) != QMessageBox::Yes)
        return;
    if (level == PresetTreeLevel::Preset) {
        RecordEdit();
        edits_.RemovePreset(static_cast<uint32_t>(DataOf(node)));
        {
            QuietChanges quiet(changesSuppressed_);
            delete node;
        }
        if (tree->topLevelItemCount() == 0) {
            tree->setContextMenuPolicy(Qt::NoContextMenu);
            host_.SetFormatLabelsVisible(false);
            ShowPanelBlack();
        } else if (tree->currentItem()) {
            tree->currentItem()->setSelected(true);
            TreeView2Change();
        }
        return;
    }
    BankModel& bank = workspace_.bank;
    const uint32_t slot = static_cast<uint32_t>(DataOf(node->parent()));
    const auto position = static_cast<size_t>(DataOf(node));
    if (!bank.IsValidSlot(slot) || position >= bank.PresetTable[slot].layerList.Count())
        return;
    QTreeWidgetItem* parent = node->parent();
    RecordEdit();
    edits_.RemoveLayer(bank, slot, position);
    {
        QuietChanges quiet(changesSuppressed_);
        delete node;
        for (int i = 0; i < parent->childCount(); ++i)
            parent->child(i)->setData(0, kDataRole, i);
    }
    if (LevelOf(tree->currentItem()) == PresetTreeLevel::Preset)
        TreeView2Change();
}

void BankViewsController::TreeView2ContextMenu(const QPoint& at) {
    QTreeWidget* tree = widgets_.presetTree;
    if (QTreeWidgetItem* node = tree->itemAt(at)) {
        if (!node->isSelected())
            tree->setCurrentItem(node);
    }
    const SourceFormat format = shownFormat_();
    const QString kind = FactsOf(format).presetWord;
    // Programs keep the capital they have always had in this menu.
    const QString kinds = (format == SourceFormat::Akai ? kind : kind.toLower()) + "s)";
    int nodes = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        ++nodes;
    QMenu menu(widgets_.window);
    menu.setObjectName("PopupMenu2");
    QAction* edit =
        menu.addAction(QString("%1 %2(s) in Simple Edition").arg(tree->selectedItems().size()).arg(kind));
    edit->setObjectName("Menu_PresetsSimpleEdition");
    edit->setIcon(ViewPicture(format == SourceFormat::Dls ? 12 : 11));
    connect(edit, &QAction::triggered, this, [this] {
        widgets_.presetDialog->ShowPresetDialog(workspace_.bank, saving_.ChosenPresets(), false);
    });
    QAction* up = menu.addAction("&Move Zones  +12");
    up->setObjectName("Menu_MoveZones_Up12");
    connect(up, &QAction::triggered, this, [this] { MoveZonesClick(12); });
    QAction* down = menu.addAction("Move &Zones   -12");
    down->setObjectName("Menu_MoveZonesDown12");
    connect(down, &QAction::triggered, this, [this] { MoveZonesClick(-12); });
    QAction* compare = menu.addAction("&Compare with ...");
    compare->setObjectName("Menu_PresetCompare");
    connect(compare, &QAction::triggered, this, &BankViewsController::CompareRequested);
    menu.addSeparator();
    QAction* all = menu.addAction(QString("&Select All - (%1 %2").arg(nodes).arg(kinds));
    all->setObjectName("Menu_PresetSelectAll");
    connect(all, &QAction::triggered, this, [this] {
        QuietChanges quiet(changesSuppressed_);
        widgets_.presetTree->selectAll();
    });
    QAction* none = menu.addAction("&UnSelect All");
    none->setObjectName("UnSelectAll1");
    connect(none, &QAction::triggered, tree, &QTreeWidget::clearSelection);
    menu.exec(tree->viewport()->mapToGlobal(at));
}

void BankViewsController::RecordEdit() {
    edits_.Record(workspace_.bank, workspace_.attributes);
    emit EditsChanged();
}

void BankViewsController::ForgetEdits() {
    edits_.Forget();
    emit EditsChanged();
}

void BankViewsController::ShowRestoredEdits() {
    QTreeWidget* tree = widgets_.presetTree;
    const uint32_t shown = workspace_.selection.currentPreset;
    FillPresetTree();
    // The preset shown before stays shown when it is still in the tree, else the first one is.
    QTreeWidgetItem* select = tree->topLevelItem(0);
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (static_cast<uint32_t>(DataOf(tree->topLevelItem(i))) == shown)
            select = tree->topLevelItem(i);
    if (select != nullptr) {
        {
            QuietChanges quiet(changesSuppressed_);
            tree->setCurrentItem(select);
        }
        TreeView2Change();
    } else {
        workspace_.selection.currentPreset = 0;
        ShowPanelBlack();
    }
    widgets_.panel->Redraw();
}

} // namespace quorvane::ui
