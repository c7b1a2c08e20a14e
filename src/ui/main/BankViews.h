// The main window's bank views: the preset tree (presets, layers, zones) and the sample list, their
// selection, keys, context menu, sorting, the preset filter (Speed_PL) and the edits the preset tree makes
// (program, bank, drum, moved zones, conversion parameters, deleted presets and layers, undo steps). The
// core decides what each node shows and changes the model; this controller turns it into tree items and
// the user's moves into its calls.
#pragma once

#include <cstdint>
#include <functional>

#include <QObject>
#include <QString>

#include "convert/ConversionParameters.h"
#include "convert/PresetEdits.h"
#include "core/Host.h"
#include "session/EditHistory.h"
#include "session/Workspace.h"

class QAction;
class QKeyEvent;
class QPoint;
class QSlider;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace quorvane::ui {

class AuditioningController;
class InfoPanel;
class PlaybackController;
class SavingController;
class TForm6;

class BankViewsController : public QObject {
    Q_OBJECT
  public:
    struct Widgets {
        QWidget* window = nullptr;           // the parent of the context menu and the questions
        QTreeWidget* presetTree = nullptr;   // TreeView2
        QTreeWidget* sampleList = nullptr;   // TreeList
        QToolButton* filterButton = nullptr; // Speed_PL
        QSlider* volume = nullptr;           // TrackBar1: its tooltip says what it sets
        QWidget* panelFrame = nullptr;       // Panel1: its colour says what is shown
        InfoPanel* panel = nullptr;
        TForm6* presetDialog = nullptr; // the conversion parameters of the chosen presets
        QAction* sortPresets = nullptr;
        QAction* sortSamples = nullptr;
        QAction* linkMono = nullptr;
    };

    // Edits of the model are recorded in `edits` first; a preset save and the chosen presets come from
    // `saving`. `shownFormat` tells the source format the window shows now.
    BankViewsController(Workspace& workspace, Host& host, BankEdits& edits, PlaybackController& playback,
                        AuditioningController& auditioning, SavingController& saving,
                        std::function<SourceFormat()> shownFormat, const Widgets& widgets, QObject* parent);

    void FillPresetTree();
    void FillSampleList();
    // Shows the selected preset-tree node: current preset, layer and zone, statistics, filter.
    void TreeView2Change();
    // Shows the selected sample-list node.
    void TreeListChange();
    // The Speed_PL button: the sample list shows every sample, or the samples of one preset.
    void SpeedPlClick();
    // Builds the children of a preset or layer node once (Enter, Right arrow, expanding).
    void BuildChildren(QTreeWidgetItem* node);
    // Selects `slot`'s node in the preset tree (as the program, not the user).
    void SelectPresetSlot(uint32_t slot);
    // Selects the sample-list node with this caption, as the user's click does.
    void SelectSampleNamed(const QString& caption);

    // A bank was read (or could not be): both views show it, and its first preset is shown.
    void ShowReadBank();
    // Empty views and a black panel: playback stops, the edits are forgotten, nothing is selected.
    void ShowNothing();
    // The sample list is emptied (the source format changes).
    void ClearSampleList();
    void ShowPanelBlack();

    // The preset tree's keys (program, bank digits, drum, save, delete, Enter, Right): true when handled.
    bool TreeView2Key(QKeyEvent* event);
    // The presets' conversion parameters as the dialog's button applies them.
    void ApplyPresetParametersClick(const ParameterValues& values);
    void MoveZonesClick(int semitones);
    // Whether a preset-tree node is current, for the Edit menu's items that act on it.
    bool HasCurrentNode() const;

    // Before every edit of the bank on screen: the state it starts from becomes an undo step.
    void RecordEdit();
    // Another bank (or none) on screen: its edits can no longer be undone.
    void ForgetEdits();
    // After an undo or redo: the preset tree shows the restored presets.
    void ShowRestoredEdits();

  signals:
    // Undo steps were recorded or forgotten: the Edit menu shows what it can do.
    void EditsChanged();
    // What the information panel shows changed: its buttons are placed again.
    void PanelContentChanged();
    // "Compare with ..." on the selected preset.
    void CompareRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void TreeView2ContextMenu(const QPoint& at);
    void SortPresetsClick();
    void SortSamplesClick();
    void LinkMonoClick();
    void SelectSampleNode(int sample, bool autoPlay);
    // Preset nodes whose preset the user edited are drawn in italics.
    void MarkEditedPresets();
    // Asks, then deletes the preset or layer of `node` from the tree.
    void DeleteNode(QTreeWidgetItem* node);

    Workspace& workspace_;
    Host& host_;
    BankEdits& edits_;
    PlaybackController& playback_;
    AuditioningController& auditioning_;
    SavingController& saving_;
    std::function<SourceFormat()> shownFormat_;
    Widgets widgets_;
    // While set, selection changes in the views were made by the program and do nothing.
    bool changesSuppressed_ = false;
    bool autoPlayHeld_ = false;
    uint32_t akaiProgramRead_ = 0; // the Akai program last read from the disc
    TypedBankNumber typedBankNumber_;
};

} // namespace quorvane::ui
