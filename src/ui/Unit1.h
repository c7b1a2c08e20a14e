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
#include "ui/main/BankViews.h"
#include "ui/main/Browser.h"
#include "ui/main/Compare.h"
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
    BrowserController& Browser() { return *browser_; }
    void FillDriveTree() { browser_->FillDriveTree(); }
    bool SelectFolder(const QString& folder) { return browser_->SelectFolder(folder); }
    QString CurrentFolder() const { return browser_->CurrentFolder(); }
    void ListFolder() { browser_->ListFolder(); }
    void SearchFolder(FolderSearch search) { browser_->SearchFolder(search); }
    void LoadEntry(int row) { browser_->LoadEntry(row); }
    // Akai mode (a drive's or a disc image's partitions in the Explorer tree).
    AkaiController& Akai() { return *akai_; }
    void SelectAkaiDriveClick(uint32_t drive) { akai_->SelectAkaiDriveClick(drive); }
    bool OpenDiscImage(const QString& path) { return akai_->OpenDiscImage(path); }
    // Opens what the program was started with: a folder lists it, a bank is loaded with its first preset
    // shown, an audio file is listed and selected, a disc image enters Akai mode. Anything else opens the
    // program as usual, with a message.
    void OpenPath(const QString& path);

    // Bank views (preset tree and sample list).
    BankViewsController& BankViews() { return *views_; }
    void FillPresetTree() { views_->FillPresetTree(); }
    void FillSampleList() { views_->FillSampleList(); }
    void TreeView2Change() { views_->TreeView2Change(); }
    void TreeListChange() { views_->TreeListChange(); }
    void SpeedPlClick() { views_->SpeedPlClick(); }
    void BuildChildren(QTreeWidgetItem* node) { views_->BuildChildren(node); }
    void SelectPresetSlot(uint32_t slot) { views_->SelectPresetSlot(slot); }

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

    // Comparisons of the bank on screen, or a preset of it, with its conversion.
    CompareController& Comparer() { return *compare_; }

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

    void ConnectBrowser();
    void ConnectViews();

    void ConnectPlayback(const DeviceLists& devices);
    void ShowBlockTitle(const QString& title, const QString& formatLabel);

    void ConnectAuditioning(const DeviceLists& devices);
    void ConnectSaving();
    void ConnectAkai();
    void ConnectCompare();

    // Edit menu, undo and redo
    void BuildEditMenu(QMenuBar* bar);
    void ShowEditActions();
    void UndoClick();
    void RedoClick();

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
    BankEdits edits_;     // the undo steps of the bank on screen and the presets taken out of its tree
    QAction* undoItem_ = nullptr;
    QAction* redoItem_ = nullptr;
    std::vector<QAction*> presetItems_; // Edit items that act on the selected preset node

    MainControls controls_;

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
    std::unique_ptr<BankViewsController> views_;
    std::unique_ptr<BrowserController> browser_;
    std::unique_ptr<CompareController> compare_;
    TForm2* form2_ = nullptr;
    TForm3* form3_ = nullptr;
    TForm4* form4_ = nullptr;
    TForm6* form6_ = nullptr;
};

} // namespace quorvane::ui
