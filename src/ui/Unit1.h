// TForm1: the main window. It owns the session (`Workspace`) and answers the core as its `Host`: messages
// become message boxes, titles go to the information panel's title bar, status lines and progress go to the
// progress windows.
#pragma once

#include <array>
#include <memory>

#include <QMainWindow>

#include "audio/WavePlayer.h"
#include "session/Workspace.h"
#include "ui/DeviceLists.h"
#include "ui/MainLayout.h"
#include "ui/SettingsStore.h"

class QAction;
class QActionGroup;
class QLabel;
class QListWidget;
class QTimer;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

namespace quorvane::ui {

class TForm2;
class TForm3;
class TForm4;
class ProgressWindow;
class InfoPanel;

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
    void SetSourceFormat(int format);
    int SourceFormat() const { return sourceFormat_; }
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
    void PumpEvents(int milliseconds) override;
    void BankChanged() override;

  signals:
    // Ctrl+S (saveAllOption 1), S (0) or the save button: the sample save dialog's request.
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
    // Bank-view pieces
    void ConnectViews();
    bool TreeView2Key(QKeyEvent* event);
    void TreeView2ContextMenu(const QPoint& at);
    void ListBox1ContextMenu(const QPoint& at);
    void SortPresetsClick();
    void SortSamplesClick();
    void LinkMonoClick();
    void SelectSampleNode(int sample, bool autoPlay);
    void ShowPanelBlack();

    // Playback pieces
    void ConnectPlayback(const DeviceLists& devices);
    bool TreeListKey(QKeyEvent* event);
    void PlayTimerTick();
    void DrawPlayCursor(uint64_t position, bool erase);
    void SetPlayButton(int state);
    void ShowBlockTitle(const QString& title, const QString& formatLabel);
    void RequestSampleSave(int saveAllOption);

    // Menu handlers
    void MiddleCClick(QAction* item);
    void HelpClick(QAction* item);
    void About2Click();

    QAction* MakeItem(QMenu* menu, const char* name, const QString& caption, bool checkable = false);

    Workspace workspace_;
    QString settingsFile_;

    int sourceFormat_ = 0;
    int displayMode_ = 0;
    ColumnEdges columns_;
    QString buildLabel_;
    uint16_t waveGain_ = 1000;
    int16_t midiVolume_ = 127;
    bool closing_ = false;
    // While set, selection changes in the trees and lists were made by the program and do nothing.
    bool changesSuppressed_ = false;
    bool autoPlayHeld_ = false;
    int typedBank_ = 0;
    bool audioWave_ = true;
    bool audioAiff_ = true;
    int lastSearchItem_ = 1;

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
    // 1 while the play button shows its play picture, 2 its stop picture.
    int PlayButtonState = 1;
    // Set while opening and stopping, so that the timer draws no cursor.
    bool CursorSuspended = true;
    // The volume slider's position in sample mode and in preset mode.
    int sampleSliderPosition_ = 0;
    int presetSliderPosition_ = 0;
    TForm2* form2_ = nullptr;
    TForm3* form3_ = nullptr;
    TForm4* form4_ = nullptr;
};

} // namespace quorvane::ui
