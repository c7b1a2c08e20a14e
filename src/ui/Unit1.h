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
#include "convert/PresetEdits.h"
#include "formats/audio/SampleFileWriter.h"
#include "session/EditHistory.h"
#include "session/Workspace.h"
#include "ui/DeviceLists.h"
#include "ui/EventPump.h"
#include "ui/MainControls.h"
#include "ui/MainLayout.h"
#include "ui/SettingsStore.h"
#include "ui/main/Akai.h"
#include "ui/main/Auditioning.h"
#include "ui/main/Playback.h"
#include "ui/main/Saving.h"

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

// The searches of the Explorer tree's menu: the banks of the source format, or in audio-file mode the WAVE
// files, the AIFF files or both.
enum class FolderSearch { Banks, Waves, Aiffs, AudioFiles };

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

    // Switches the source format: columns, headers, the format's menu items and the check mark.
    void SetSourceFormat(quorvane::SourceFormat format);
    quorvane::SourceFormat ChosenSourceFormat() const { return sourceFormat_; }
    // The text shown after "build: " in the About window; empty when the version is too short to mean
    // anything.
    const QString& BuildLabel() const { return buildLabel_; }
    // Places every control for the current client size and columns.
    void Relayout();
    // The size the window takes on a screen whose free area is `available` when the window manager does not
    // maximise it: no text of the information panel cut, some room left around it on a large screen.
    QSize OpeningSize(QSize available) const;
    // Shows the window maximised, at OpeningSize where the window manager does not maximise it.
    void ShowAtStart();

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
    // Runs a search of the Explorer tree's menu below the selected folder.
    void SearchFolder(FolderSearch search);
    // Loads file-list entry `row` as the user's click does, and shows it in the bank views.
    void LoadEntry(int row);
    // Akai mode (a drive's or a disc image's partitions in the Explorer tree).
    AkaiController& Akai() { return *akai_; }
    void SelectAkaiDriveClick(uint32_t drive) { akai_->SelectAkaiDriveClick(drive); }
    bool OpenDiscImage(const QString& path) { return akai_->OpenDiscImage(path); }
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
    PlaybackController& Playback() { return *playback_; }
    void StopPlayback(bool updateButton) { playback_->StopPlayback(updateButton); }
    void SpeedButton1Click() { playback_->SpeedButton1Click(); }
    audio::WavePlayer& Player() { return playback_->Player(); }
    InfoPanel* Panel() const { return infoPanel_; }

    // Auditioning (the shown preset or layer on a synthesizer, played from MIDI input or the zone map).
    AuditioningController& Auditioner() { return *auditioning_; }
    Audition& Auditioning() { return auditioning_->Auditioning(); }
    void ChooseSynthesizerClick(int device) { auditioning_->ChooseSynthesizerClick(device); }
    void ChooseInputClick(int input) { auditioning_->ChooseInputClick(input); }
    void ShowPopupMenu4(const QPoint& at) { auditioning_->ShowPopupMenu4(at); }
    void MidiTimerTick() { auditioning_->MidiTimerTick(); }

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

    // Saving (the save dialogs and the runs they start in the progress windows).
    SavingController& Saving() { return *saving_; }
    void SaveBanksClick() { saving_->SaveBanksClick(); }
    void SavePresetsClick() { saving_->SavePresetsClick(); }
    void RunBankSave(const QString& answer, OutputType type) { saving_->RunBankSave(answer, type); }
    void RunPresetSave(const QString& answer, OutputType type, bool combine) {
        saving_->RunPresetSave(answer, type, combine);
    }
    void RunSampleSave(uint32_t index, const QString& answer, SampleFileType type, bool saveAll) {
        saving_->RunSampleSave(index, answer, type, saveAll);
    }

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
    // A column border dragged so that its handle's left edge is at `x`.
    void ColumnBorderDragged(ColumnBorder border, int x);
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
    void ShowBankEditMark() { saving_->ShowBankEditMark(); }
    // Preset nodes whose preset the user edited are drawn in italics.
    void MarkEditedPresets();
    std::vector<uint32_t> ChosenPresets() const { return saving_->ChosenPresets(); }
    void ShowPanelBlack();
    // The presets' conversion parameters as the dialog's button applies them.
    void ApplyPresetParametersClick(const ParameterValues& values);
    void MoveZonesClick(int semitones);

    void ConnectPlayback(const DeviceLists& devices);
    void ShowBlockTitle(const QString& title, const QString& formatLabel);

    void ConnectAuditioning(const DeviceLists& devices);
    void ConnectSaving();
    void ConnectAkai();

    // Edit menu, undo and redo
    void BuildEditMenu(QMenuBar* bar);
    void ShowEditActions();
    // Before every edit of the bank on screen: the state it starts from becomes an undo step.
    void RecordEdit();
    // Another bank (or none) on screen: its edits can no longer be undone.
    void ForgetEdits();
    void UndoClick();
    void RedoClick();
    void ShowRestoredEdits();

    // Menu handlers
    void MiddleCClick(QAction* item);
    void HelpClick(QAction* item);
    void About2Click();

    QAction* MakeItem(QMenu* menu, const char* name, const QString& caption, bool checkable = false);

    Workspace workspace_;
    QString settingsFile_;

    quorvane::SourceFormat sourceFormat_ = quorvane::SourceFormat::SoundFont;
    ColumnEdges columns_;
    // The edges the user dragged the columns to, for the bank formats and for audio-file mode.
    ColumnEdges bankColumns_ = ColumnsFor(SourceFormat::SoundFont);
    ColumnEdges audioColumns_ = ColumnsFor(SourceFormat::AudioFile);
    std::array<QWidget*, kColumnBorderCount> columnHandles_{};
    QString buildLabel_;
    PumpPacer pumpPacer_; // paces the pumps that long work asks for
    // While set, selection changes in the trees and lists were made by the program and do nothing.
    bool changesSuppressed_ = false;
    bool autoPlayHeld_ = false;
    uint32_t akaiProgramRead_ = 0; // the Akai program last read from the disc
    bool audioWave_ = true;
    bool audioAiff_ = true;
    FolderSearch lastSearch_ = FolderSearch::Banks;
    TypedBankNumber typedBankNumber_;
    BankEdits edits_; // the undo steps of the bank on screen and the presets taken out of its tree
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
    // Controllers by concern, destroyed before the session they use.
    std::unique_ptr<PlaybackController> playback_;
    std::unique_ptr<AuditioningController> auditioning_;
    std::unique_ptr<SavingController> saving_;
    std::unique_ptr<AkaiController> akai_;
    TForm2* form2_ = nullptr;
    TForm3* form3_ = nullptr;
    TForm4* form4_ = nullptr;
    TForm6* form6_ = nullptr;
};

} // namespace quorvane::ui
