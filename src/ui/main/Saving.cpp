#include "ui/main/Saving.h"

#include <algorithm>

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QListWidget>
#include <QMessageBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "convert/BankWriters.h"
#include "convert/ConversionParameters.h"
#include "convert/FileNameCharMap.h"
#include "convert/PresetTreeRules.h"
#include "convert/SampleExport.h"
#include "convert/SaveDialog.h"
#include "formats/common/OutputFile.h"
#include "ui/EventPump.h"
#include "ui/Unit2.h"
#include "ui/Unit4.h"

namespace quorvane::ui {

namespace {

// A save dialog of this program: non-native, so that it can carry the "Options" box below the file list,
// starting in `folder` with the filters, the chosen one and the proposed name.
void PrepareSaveDialog(QFileDialog& dialog, const QStringList& filters, int chosenFilter,
                       const QString& proposed) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.at(chosenFilter));
    dialog.selectFile(proposed);
}

// The output types the bank and preset save dialogs offer, in the order of their filters.
struct BankSaveChoice {
    const char* filter;
    OutputType type;
};
constexpr BankSaveChoice kBankSaveChoices[] = {
    {"SF2 - Soundfont file (*.sf2)", OutputType::SoundFont},
    {"GIG - Gigasampler file (*.gig)", OutputType::Giga},
    {"SF3 - Soundfont 3 file, Ogg Vorbis samples (*.sf3)", OutputType::SoundFont3},
    {"SFZ - folder of .sfz files and samples (*.sfz)", OutputType::Sfz}};

struct SampleSaveChoice {
    const char* filter;
    SampleFileType type;
    const char* suffix;
};
constexpr SampleSaveChoice kSampleSaveChoices[] = {{"WAV - Wave File (*.wav)", SampleFileType::Wave, "wav"},
                                                   {"AIF - Aiff File (*.aif)", SampleFileType::Aiff, "aif"}};

// The filters of a table of choices, and the position of the one of `type` (the first when none is).
template <typename Choices, typename Type>
QStringList FiltersOf(const Choices& choices, Type type, int& chosen) {
    QStringList filters;
    chosen = 0;
    for (const auto& choice : choices) {
        if (choice.type == type)
            chosen = static_cast<int>(filters.size());
        filters << choice.filter;
    }
    return filters;
}

// The "Options" box with its two check boxes, added under the dialog's own controls.
QCheckBox* AddOption(QFileDialog& dialog, QGroupBox*& box, const char* name, const QString& caption,
                     bool checked, bool enabled) {
    if (box == nullptr) {
        box = new QGroupBox("Options", &dialog);
        box->setObjectName("Options");
        new QVBoxLayout(box);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
    }
    auto* check = new QCheckBox(caption, box);
    check->setObjectName(name);
    check->setChecked(checked);
    check->setEnabled(enabled);
    box->layout()->addWidget(check);
    return check;
}

} // namespace

SavingController::SavingController(Workspace& workspace, const BankEdits& edits, PlaybackController& playback,
                                   const Widgets& widgets, QObject* parent)
    : QObject(parent), workspace_(workspace), edits_(edits), playback_(playback), widgets_(widgets) {
    connect(widgets_.bankSaveButton, &QToolButton::clicked, this, &SavingController::SaveBanksClick);
    connect(&playback_, &PlaybackController::SampleSaveRequested, this, [this](SaveAllChoice saveAll) {
        SaveSampleDialog(workspace_.selection.selectedSample, saveAll);
    });
}

void SavingController::ShowBankEditMark() {
    const bool edited = !workspace_.attributes.BankEditAttributes.empty();
    QToolButton* save = widgets_.bankSaveButton;
    QFont font = save->font();
    font.setBold(edited);
    save->setFont(font);
    save->setToolTip(edited ? "Save the chosen banks (with conversion parameters)" : "Save the chosen banks");
}

void SavingController::ShowBankSaveButton(bool shown) {
    widgets_.bankSaveButton->setVisible(shown);
}

void SavingController::AllowBankSave(bool allowed) {
    widgets_.bankSaveButton->setEnabled(allowed);
}

QString SavingController::AskSavePath(const QString& title, const QString& proposed, bool combineEnabled,
                                      OutputType& type) {
    QFileDialog dialog(widgets_.window, title, QString::fromStdString(workspace_.settings.LastDir));
    dialog.setObjectName("SaveDialog");
    int chosen = 0;
    const QStringList filters = FiltersOf(kBankSaveChoices, bankSaveType_, chosen);
    PrepareSaveDialog(dialog, filters, chosen, proposed);
    QGroupBox* options = nullptr;
    QCheckBox* combine =
        AddOption(dialog, options, "CombineOption", "Combine to ONE Bank", combineOption_, combineEnabled);

    const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    type = kBankSaveChoices[std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter()))].type;
    bankSaveType_ = type;
    if (combineEnabled)
        combineOption_ = combine->isChecked();
    return accepted ? dialog.selectedFiles().front() : QString();
}

void SavingController::SaveBanksClick() {
    if (widgets_.fileList->count() == 0)
        return;
    const auto& list = workspace_.loader.fileList;
    const size_t selected = static_cast<size_t>(widgets_.fileList->selectedItems().size());
    const size_t n = selected == 0 ? list.size() : selected;
    const int current = widgets_.fileList->currentRow();
    const std::string bankText =
        n == 1 ? list[static_cast<size_t>(selected == 0 ? 0 : std::max(current, 0))].text : std::string();
    const quorvane::SourceFormat format = workspace_.bank.SourceFormat;
    const QString title = QString::fromStdString(SaveDialogTitle(format, SaveItems::Banks, n, list.size()));
    const QString proposed =
        QString::fromStdString(ProposedFileName(format, SaveItems::Banks, n, bankText, ""));
    if (ShownEditsInBankSave(workspace_, SelectedEntries()) == ShownEdits::LeftOut) {
        const QString shown =
            QString::fromStdString(list[static_cast<size_t>(workspace_.loader.loadedEntry)].text);
        const auto choice = QMessageBox::question(
            widgets_.window, title,
            QString("The preset edits of '%1' are saved only when that bank is saved by itself, or with "
                    "its presets (S in the preset tree).\n\nSave the chosen banks without these edits?")
                .arg(shown),
            QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Cancel);
        if (choice != QMessageBox::Save)
            return;
    }
    OutputType type = OutputType::SoundFont;
    const QString answer = AskSavePath(title, proposed, false, type);
    if (!answer.isEmpty())
        RunBankSave(answer, type);
}

std::vector<uint32_t> SavingController::SelectedEntries() const {
    std::vector<uint32_t> entries;
    for (int row = 0; row < widgets_.fileList->count(); ++row)
        if (widgets_.fileList->item(row)->isSelected())
            entries.push_back(static_cast<uint32_t>(row));
    return entries;
}

void SavingController::RunBankSave(const QString& answer, OutputType output) {
    const std::vector<uint32_t> entries = SelectedEntries();
    const auto& list = workspace_.loader.fileList;
    const size_t n = entries.empty() ? list.size() : entries.size();
    const std::string bankText = n == 1 ? list[entries.empty() ? 0 : entries[0]].text : std::string();
    const quorvane::SourceFormat format = workspace_.bank.SourceFormat;
    const DialogAnswer resolved = ResolveDialogPath(
        answer.toStdString(), output, n == 1, ProposedFileName(format, SaveItems::Banks, n, bankText, ""));
    workspace_.settings.LastDir = resolved.folder;

    BankSaveRequest request;
    request.type = output;
    request.entries = entries;
    request.folder = resolved.folder;
    request.file = resolved.file;
    // The bank on screen, saved by itself, is written as the user edited it.
    request.replayPresetEdits = ShownEditsInBankSave(workspace_, entries) == ShownEdits::Kept;
    // The save reads its banks beside the one on screen and gives that back as it was: the views stay.
    playback_.StopPlayback(true);
    // The file named in the dialog may be a link to write through; names made from banks are not.
    const NamedOutput named({n == 1 ? resolved.file : std::string()});
    const BatchResult result = SaveBanks(workspace_, request);
    // Conversion parameters written into every chosen bank have done their work.
    if (!result.cancelled && !result.refused && result.failed == 0) {
        ForgetBankParameters(workspace_.attributes, entries);
        ShowBankEditMark();
    }
    WaitForProgressWindow();
}

std::vector<uint32_t> SavingController::ChosenPresets() const {
    std::vector<int> selected;
    for (int i = 0; i < widgets_.presetTree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* node = widgets_.presetTree->topLevelItem(i);
        if (node->isSelected())
            selected.push_back(node->data(0, Qt::UserRole).toInt());
    }
    return PresetsToSave(selected, workspace_.bank.PresetCount, edits_.RemovedPresets());
}

void SavingController::SavePresetsClick() {
    const BankModel& bank = workspace_.bank;
    if (!bank.IsValidSlot(workspace_.selection.currentPreset))
        return;
    const std::vector<uint32_t> chosen = ChosenPresets();
    const auto& list = workspace_.loader.fileList;
    const int entry = workspace_.loader.currentBank;
    const std::string bankText =
        entry >= 0 && static_cast<size_t>(entry) < list.size() ? list[static_cast<size_t>(entry)].text : "";
    const quorvane::SourceFormat format = bank.SourceFormat;
    const QString title =
        QString::fromStdString(SaveDialogTitle(format, SaveItems::Presets, chosen.size(), bank.PresetCount));
    const QString proposed =
        QString::fromStdString(ProposedFileName(format, SaveItems::Presets, chosen.size(), bankText,
                                                bank.PresetTable[workspace_.selection.currentPreset].name));
    OutputType type = OutputType::SoundFont;
    const QString answer = AskSavePath(title, proposed, true, type);
    if (!answer.isEmpty())
        RunPresetSave(answer, type, combineOption_);
}

void SavingController::RunPresetSave(const QString& answer, OutputType output, bool combine) {
    const BankModel& bank = workspace_.bank;
    const std::vector<uint32_t> chosen = ChosenPresets();
    if (chosen.empty())
        return;
    const auto& list = workspace_.loader.fileList;
    const int entry = workspace_.loader.currentBank;
    const std::string bankText =
        entry >= 0 && static_cast<size_t>(entry) < list.size() ? list[static_cast<size_t>(entry)].text : "";
    const uint32_t current = bank.IsValidSlot(workspace_.selection.currentPreset)
                                 ? workspace_.selection.currentPreset
                                 : chosen.front();
    // An SFZ output is one folder, named as a single file would be.
    const bool singleFile = chosen.size() == 1 || combine || output == OutputType::Sfz;
    const DialogAnswer resolved =
        ResolveDialogPath(answer.toStdString(), output, singleFile,
                          ProposedFileName(bank.SourceFormat, SaveItems::Presets, chosen.size(), bankText,
                                           bank.PresetTable[current].name));
    workspace_.settings.LastDir = resolved.folder;

    PresetSaveRequest request;
    request.type = output;
    request.presets = chosen;
    request.combine = combine;
    request.folder = resolved.folder;
    request.file = resolved.file;
    const NamedOutput named({singleFile ? resolved.file : std::string()});
    SavePresets(workspace_, request);
    WaitForProgressWindow();
}

void SavingController::WaitForProgressWindow() {
    for (ProgressWindow* window = ShowingProgressWindow(widgets_.bankProgress, widgets_.sampleProgress);
         window && window->isVisible() && !closing_;)
        ui::PumpEvents(20, window);
}

void SavingController::SaveSampleDialog(uint32_t index, SaveAllChoice saveAllAsked) {
    const BankModel& bank = workspace_.bank;
    if (!bank.IsValidSample(index))
        return;
    const bool saveAll =
        saveAllAsked == SaveAllChoice::AsLastChosen ? saveAllOption_ : saveAllAsked == SaveAllChoice::On;
    const SampleRecord& sample = bank.SampleTable[index];
    const std::string name = bank.SourceFormat == SourceFormat::AudioFile ? sample.fullName : sample.name;
    QFileDialog dialog(widgets_.window, "Save Sample(s) As ...",
                       QString::fromStdString(workspace_.settings.LastDir));
    dialog.setObjectName("SampleSaveDialog");
    int chosen = 0;
    const QStringList filters = FiltersOf(kSampleSaveChoices, sampleSaveType_, chosen);
    PrepareSaveDialog(dialog, filters, chosen, QString::fromStdString(MapFileName(name)));
    dialog.setDefaultSuffix(kSampleSaveChoices[chosen].suffix);
    QGroupBox* options = nullptr;
    QCheckBox* all = AddOption(dialog, options, "SaveAllOption", "Save ALL Samples", saveAll, true);
    AddOption(dialog, options, "CombineOption", "Combine to ONE Bank", combineOption_, false);

    const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    const SampleFileType type =
        kSampleSaveChoices[std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter()))].type;
    sampleSaveType_ = type;
    saveAllOption_ = all->isChecked();
    if (accepted)
        RunSampleSave(index, dialog.selectedFiles().front(), type, saveAllOption_);
}

void SavingController::RunSampleSave(uint32_t index, const QString& answer, SampleFileType fileType,
                                     bool saveAll) {
    const QFileInfo chosen(answer);
    workspace_.settings.LastDir = chosen.absolutePath().toStdString() + "/";
    if (!saveAll) {
        // The chosen name keeps its extension only when it is the type's own.
        QString path = answer;
        const QString extension = fileType == SampleFileType::Aiff ? ".aif" : ".wav";
        if (!path.endsWith(extension, Qt::CaseInsensitive))
            path = chosen.absolutePath() + "/" + chosen.completeBaseName() + extension;
        const NamedOutput named({path.toStdString()});
        WriteSampleFile(workspace_, path.toStdString(), index, fileType);
        return;
    }
    widgets_.sampleProgress->Begin();
    widgets_.sampleProgress->SetSampleName({});
    widgets_.sampleProgress->show();
    SaveAllSamples(workspace_, workspace_.settings.LastDir, fileType);
    widgets_.sampleProgress->Finish();
    WaitForProgressWindow();
}

} // namespace quorvane::ui
