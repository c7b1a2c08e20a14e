// The main window's saving: the bank save button and its edit mark, the bank, preset and sample save
// dialogs with their "Options" box, and the runs they start in the progress windows. The core's batch save
// and sample export decide what is written; this controller asks the user where and waits for the run.
#pragma once

#include <cstdint>
#include <vector>

#include <QObject>
#include <QString>

#include "convert/BatchSave.h"
#include "formats/audio/SampleFileWriter.h"
#include "session/EditHistory.h"
#include "session/Workspace.h"
#include "ui/main/Playback.h"

class QListWidget;
class QToolButton;
class QTreeWidget;
class QWidget;

namespace quorvane::ui {

class TForm2;
class TForm4;

class SavingController : public QObject {
    Q_OBJECT
  public:
    struct Widgets {
        QWidget* window = nullptr;             // the dialogs' parent
        QListWidget* fileList = nullptr;       // ListBox1: the chosen banks
        QTreeWidget* presetTree = nullptr;     // TreeView2: the chosen presets
        QToolButton* bankSaveButton = nullptr; // SpeedButton4
        TForm2* sampleProgress = nullptr;      // the progress window of a save of every sample
        TForm4* bankProgress = nullptr;        // the progress window of a bank or preset save
    };

    // A preset save leaves out the presets taken out of the tree in `edits`. Playback stops before a save
    // that reads samples the player may be reading.
    SavingController(Workspace& workspace, const BankEdits& edits, PlaybackController& playback,
                     const Widgets& widgets, QObject* parent);

    // The batch saves as the user starts them: a save dialog, then the run in the progress window.
    void SaveBanksClick();
    void SavePresetsClick();
    // The runs without the dialog (tests, scripts): `answer` is the path the dialog would have returned,
    // `type` the output type of its filter, `combine` the "Combine to ONE Bank" box.
    void RunBankSave(const QString& answer, OutputType type);
    void RunPresetSave(const QString& answer, OutputType type, bool combine);
    // The sample save: a dialog for sample `index` whose "Save ALL Samples" box starts as `saveAll` asks,
    // then one file, or every sample of the list into the chosen folder with the sample progress window.
    void SaveSampleDialog(uint32_t index, SaveAllChoice saveAll);
    // The same without the dialog: `answer` as the dialog returns it, `type` the file type of its filter.
    void RunSampleSave(uint32_t index, const QString& answer, SampleFileType type, bool saveAll);
    // Keeps handling the progress window's events until the user closes it.
    void WaitForProgressWindow();
    // The window is going away: a wait for a progress window ends.
    void Shutdown() { closing_ = true; }

    // The slots of the selected preset nodes in tree order; every preset left in the tree when none is
    // selected.
    std::vector<uint32_t> ChosenPresets() const;
    // The bank save button is bold while conversion parameters wait to be written into a listed bank.
    void ShowBankEditMark();
    // The bank save button is shown while the file list lists anything, and enabled unless the bank
    // loaded last could not be read.
    void ShowBankSaveButton(bool shown);
    void AllowBankSave(bool allowed);

  private:
    // The file-list entries the user selected, in list order.
    std::vector<uint32_t> SelectedEntries() const;
    // The save dialog: title, filters, proposed name and the "Options" box; empty when cancelled.
    QString AskSavePath(const QString& title, const QString& proposed, bool combineEnabled, OutputType& type);

    Workspace& workspace_;
    const BankEdits& edits_;
    PlaybackController& playback_;
    Widgets widgets_;
    bool closing_ = false;
    OutputType bankSaveType_ = OutputType::SoundFont;      // chosen last in a bank or preset save dialog
    bool combineOption_ = false;                           // "Combine to ONE Bank"
    SampleFileType sampleSaveType_ = SampleFileType::Wave; // chosen last in the sample save dialog
    bool saveAllOption_ = false;                           // "Save ALL Samples"
};

} // namespace quorvane::ui
