// TForm1: the main window. It owns the session (`Workspace`) and answers the core as its `Host`: messages
// become message boxes, titles go to the information panel's title bar, status lines and progress go to the
// progress windows.
#pragma once

#include <array>
#include <memory>

#include <QMainWindow>

#include "audio/WavePlayer.h"
#include "convert/BankLoader.h"
#include "convert/BatchSave.h"
#include "convert/ConversionParameters.h"
#include "convert/EditHistory.h"
#include "convert/PresetEdits.h"
#include "formats/audio/SampleFileWriter.h"
#include "session/Workspace.h"
#include "ui/Audition.h"
#include "ui/DeviceLists.h"
#include "ui/EventPump.h"
#include "ui/MainControls.h"
#include "ui/MainLayout.h"
#include "ui/SettingsStore.h"
#include "ui/ZoneMapKeys.h"

class QAction;
class QActionGroup;
class QLabel;
class QListWidget;
class QTimer;
class QMenu;
class QMenuBar;
class QTreeWidget;
class QTreeWidgetItem;
class QMouseEvent;

namespace quorvane::ui {

class TForm2;
class TForm3;
class TForm4;
class TForm6;
class ProgressWindow;
class InfoPanel;

// What the play button shows: Play while nothing plays, Stop while a sample plays.
enum class PlayButtonPicture { Play, Stop };

class TForm1 : public QMainWindow, public Host {
    Q_OBJECT
  public:
    // `settingsFile` is the INI file the settings are read from now and written to on close.
    TForm1(const QString& settingsFile, const DeviceLists& devices, QWidget* parent = nullptr);
    ~TForm1() override;

    Workspace& Session() { return workspace_; }
    TForm2* SampleProgress() const { return form2_; }
    TForm3* About() const { return form3_; }
    TForm4* BankProgress() const { return form4_; }

    // Switches the source format (0 SoundFont, 1 GigaSampler, 2 audio files, 3 Akai): columns, headers,
    // the format's menu items and the check mark.
    void SetSourceFormat(quorvane::SourceFormat format);
    quorvane::SourceFormat ChosenSourceFormat() const { return sourceFormat_; }
    // The text shown after "build: " in the About window; empty when the version is too short to mean
    // anything.
    const QString& BuildLabel() const { return buildLabel_; }
    // Places every control for the current client size and columns.
    void Relayout();

    // File browser (Explorer tree and file list).
    // Rebuilds the Explorer tree from the folder roots; unsaved edits are dropped.
    void FillDriveTree();
    // Expands the Explorer tree down to `folder` and selects it, which lists it; false when the folder is
    // not below any root or cannot be reached.
    bool SelectFolder(const QString& folder);
    // The folder of the selected Explorer node, ending in '/'; empty without one.
    QString CurrentFolder() const;
    // Lists the selected folder for the source format: bank files, or audio files in audio-file mode.
    void ListFolder();
    // Runs the search menu's item 1, 2 or 3 below the selected folder.
    void SearchFolder(int item);
    // Loads file-list entry `row` as the user's click does, and shows it in the bank views.
    void LoadEntry(int row);
    // Akai mode on drive `drive` of the SCSI layer: the Explorer tree shows the disc's partitions.
    void SelectAkaiDriveClick(uint32_t drive);
    // Opens a disc image (or a drive's device node) as one more drive and enters Akai mode on it; false
    // with a message when it cannot be opened.
    bool OpenDiscImage(const QString& path);
    // Opens what the program was started with: a folder lists it, a bank is loaded with its first preset
    // shown, an audio file is listed and selected, a disc image enters Akai mode. Anything else opens the
    // program as usual, with a message.
    void OpenPath(const QString& path);

    // Bank views (preset tree and sample list).
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

    // Wave playback (the selected sample through the chosen output).
    // Opens the output for the selected sample; with updateButton the play button shows its stop picture.
    void StartPlayback(bool updateButton);
    void FillBlock(int block);
    void StopPlayback(bool updateButton);
    // The play button: stops a sample that plays, else starts the selected one.
    void SpeedButton1Click();
    // The volume slider moved to `position`.
    void TrackBar1Change(int position);
    // An Audio Output menu item: -1 the default output, 0..5 a device.
    void ChooseOutputDevice(QAction* item, int device);
    audio::WavePlayer& Player() { return *player_; }
    InfoPanel* Panel() const { return infoPanel_; }

    // Auditioning (the shown preset or layer on a synthesizer, played from MIDI input or the zone map).
    Audition& Auditioning() { return *audition_; }
    // A synthesizer item of either menu (0..5) and a MIDI input item (0..3).
    void ChooseSynthesizerClick(int device);
    void ChooseInputClick(int input);
    // The auditioning switch SpeedButton3 after the user toggled it.
    void SpeedButton3Click();
    // PopupMenu4 over SpeedButton3 (`at` in the button's coordinates), its items copied from the Options
    // menu's.
    void ShowPopupMenu4(const QPoint& at);
    // Plays what the MIDI input has queued (the MIDI timer does this every few milliseconds).
    void MidiTimerTick();

    // Host
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
    void SetTitle(const std::string& text) override;
    void SetFormatLabel(const std::string& text) override;
    void SetFormatLabelsVisible(bool visible) override;
    void AddStatusLine(const std::string& line) override;
    void ReplaceLastStatusLine(const std::string& line) override;
    size_t StatusLineCount() const override;
    void ClearStatusLines() override;
    void SetFileProgress(int perMille) override;
    void SetOverallProgress(int perMille) override;
    void SetProgressSampleName(const std::string& name) override;
    void SetProgressFileName(const std::string& name) override;
    bool IsProgressWindowShowing() const override;
    bool CancelRequested() override;
    void PumpEvents() override;
    void BankChanged() override;
    void OpenProgressWindow(const std::string& caption, const std::string& itemCaption) override;
    void SetProgressItemName(const std::string& name) override;
    void SetOutputPath(const std::string& path) override;
    void FinishProgressWindow() override;

    // The batch saves as the user starts them: a save dialog, then the run in the progress window.
    // Without the dialog (tests, scripts), `answer` is the path the dialog would have returned and
    // `type` its filter (1 SoundFont, 2 GigaSampler); `combine` the "Combine to ONE Bank" box.
    void SaveBanksClick();
    void SavePresetsClick();
    void RunBankSave(const QString& answer, OutputType type);
    void RunPresetSave(const QString& answer, OutputType type, bool combine);
    // Keeps handling the progress window's events until the user closes it.
    void WaitForProgressWindow();
    // The sample save: a dialog for sample `index` whose "Save ALL Samples" box starts as saveAll, then
    // one file, or every sample of the list into the chosen folder with the sample progress window.
    void SaveSampleDialog(uint32_t index, bool saveAll);
    // The same without the dialog: `answer` as the dialog returns it, `type` 1 WAVE or 2 AIFF.
    void RunSampleSave(uint32_t index, const QString& answer, SampleFileType type, bool saveAll);

  signals:
    // Ctrl+S (saveAllOption 1), S (0) or the save button (-1: the option as it was): the sample save
    // dialog's request.
    void SampleSaveRequested(int saveAllOption);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void BuildPanel1();
    void BuildMenu(const DeviceLists& devices);
    void FormCreate();
    void ApplySettings(const StoredSettings& settings);
    StoredSettings CurrentSettings() const;
    void RelayoutPanel1();
    // The progress window now showing: the bank window during a conversion, else the sample window.
    ProgressWindow* ShowingProgressWindow() const;

    // Browser pieces
    void ConnectBrowser();
    void TreeView1Expanding(QTreeWidgetItem* node);
    void TreeView1Collapsed(QTreeWidgetItem* node);
    void TreeView1ContextMenu(const QPoint& at);
    void ResetDisplay();
    void ShowFileList();
    void SoundFormatClick(QAction* item);
    void ShowCompressedClick();
    void RefreshClick();
    void FillPartitionTree();
    void AkaiImageClick();
    void LeaveFormatItems();
    // A bank file that could not be read: empty views and title, and a message that says why.
    void ShowUnreadableBank(uint32_t entry, LoadStatus status, const ReadNotes& notes);
    // Bank-view pieces
    void ConnectViews();
    bool TreeView2Key(QKeyEvent* event);
    void TreeView2ContextMenu(const QPoint& at);
    void ListBox1ContextMenu(const QPoint& at);
    void SortPresetsClick();
    void SortSamplesClick();
    void LinkMonoClick();
    void SelectSampleNode(int sample, bool autoPlay);
    // The file-list entries the user selected, in list order.
    std::vector<uint32_t> SelectedEntries() const;
    // The bank save button is bold while conversion parameters wait to be written into a listed bank.
    void ShowBankEditMark();
    // Preset nodes whose preset the user edited are drawn in italics.
    void MarkEditedPresets();
    // The slots of the selected preset nodes in tree order; every preset when none is selected.
    std::vector<uint32_t> ChosenPresets() const;
    // The save dialog: title, filters, proposed name and the "Options" box; empty when cancelled.
    QString AskSavePath(const QString& title, const QString& proposed, bool combineEnabled, OutputType& type);
    void ShowPanelBlack();
    // The presets' conversion parameters as the dialog's button applies them.
    void ApplyPresetParametersClick(const ParameterValues& values);
    void MoveZonesClick(int semitones);

    // Playback pieces
    void ConnectPlayback(const DeviceLists& devices);
    bool TreeListKey(QKeyEvent* event);
    void PlayTimerTick();
    void DrawPlayCursor(uint64_t position, bool erase);
    void SetPlayButton(PlayButtonPicture picture);
    void ShowBlockTitle(const QString& title, const QString& formatLabel);
    void RequestSampleSave(int saveAllOption);

    // Auditioning pieces
    void ConnectAuditioning(const DeviceLists& devices);
    void StartAuditioning();
    // The menus and the switch show the auditioning state.
    void ShowAuditionState();
    void ShowLamp(InputLamp lamp);
    // Loads the selected preset, or layer when layers are auditioned, into the synthesizer.
    void AuditionSelectedNode();
    // The zone map's mouse: true when the event played or was meant for playing.
    bool ZoneMapMouse(QMouseEvent* event);
    void PlayNotes(const std::vector<uint32_t>& messages);

    // Edit menu, undo and redo
    void BuildEditMenu(QMenuBar* bar);
    void ShowEditActions();
    // Before every edit of the bank on screen: the state it starts from becomes an undo step.
    void RecordEdit();
    // Another bank (or none) on screen: its edits can no longer be undone.
    void ForgetEdits();
    void UndoClick();
    void RedoClick();
    void ShowRestoredEdits(const EditState& state);

    // Menu handlers
    void MiddleCClick(QAction* item);
    void HelpClick(QAction* item);
    void About2Click();

    QAction* MakeItem(QMenu* menu, const char* name, const QString& caption, bool checkable = false);

    Workspace workspace_;
    QString settingsFile_;

    quorvane::SourceFormat sourceFormat_ = quorvane::SourceFormat::SoundFont;
    int displayMode_ = 0;
    ColumnEdges columns_;
    QString buildLabel_;
    uint16_t waveGain_ = 1000;
    bool closing_ = false;
    PumpPacer pumpPacer_; // paces the pumps that long work asks for
    // While set, selection changes in the trees and lists were made by the program and do nothing.
    bool changesSuppressed_ = false;
    bool autoPlayHeld_ = false;
    uint32_t akaiProgramRead_ = 0; // the Akai program last read from the disc
    bool audioWave_ = true;
    bool audioAiff_ = true;
    int lastSearchItem_ = 1;
    OutputType bankSaveType_ = OutputType::SoundFont;      // chosen last in a bank or preset save dialog
    bool combineOption_ = false;                           // "Combine to ONE Bank"
    SampleFileType sampleSaveType_ = SampleFileType::Wave; // chosen last in the sample save dialog
    bool saveAllOption_ = false;                           // "Save ALL Samples"
    TypedBankNumber typedBankNumber_;
    EditHistory editHistory_;
    // Presets whose nodes the user deleted from the preset tree (left out of the preset save).
    std::vector<uint32_t> removedPresets_;
    QAction* undoItem_ = nullptr;
    QAction* redoItem_ = nullptr;
    std::vector<QAction*> presetItems_; // Edit items that act on the selected preset node

    MainControls controls_;
    QTreeWidget* treeView1_ = nullptr;
    QListWidget* listBox1_ = nullptr;
    QTreeWidget* treeView2_ = nullptr;
    QTreeWidget* treeList_ = nullptr;

    QWidget* client_ = nullptr;
    QWidget* panel1_ = nullptr;
    QLabel* panel3_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label4_ = nullptr;
    QLabel* staticText2_ = nullptr;
    QLabel* image3_ = nullptr;
    std::array<QWidget*, kMainControlCount> mainControls_{};
    std::array<QWidget*, kPanel1ControlCount> panel1Controls_{};

    QActionGroup* formatGroup_ = nullptr;

    InfoPanel* infoPanel_ = nullptr;
    std::unique_ptr<audio::WaveOutput> ownOutput_; // the output when the caller gave none
    std::unique_ptr<audio::WavePlayer> player_;
    QTimer* playTimer_ = nullptr;
    PlayButtonPicture playButton_ = PlayButtonPicture::Play;
    // Set while opening and stopping, so that the timer draws no cursor.
    bool CursorSuspended = true;
    // The volume slider's position in sample mode and in preset mode.
    int sampleSliderPosition_ = 0;
    int presetSliderPosition_ = 0;
    // Auditioning: the devices it plays (the window's own empty ones when the caller gave none), its state,
    // the note the mouse holds on the zone map, and the timer that takes MIDI input.
    std::unique_ptr<audio::SynthDevices> ownSynths_;
    std::unique_ptr<audio::MidiInputs> ownInputs_;
    std::unique_ptr<Audition> audition_;
    ZoneMapNotes zoneMapNotes_;
    QTimer* midiTimer_ = nullptr;
    QMenu* popupMenu4_ = nullptr;
    // PopupMenu4's copies of the synthesizer and MIDI input items.
    std::array<QAction*, audio::kMaxSynthDevices> popupSynths_{};
    std::array<QAction*, audio::kMaxMidiInputs> popupInputs_{};
    TForm2* form2_ = nullptr;
    TForm3* form3_ = nullptr;
    TForm4* form4_ = nullptr;
    TForm6* form6_ = nullptr;
};

} // namespace quorvane::ui
