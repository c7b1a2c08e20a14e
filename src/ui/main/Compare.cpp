#include "ui/main/Compare.h"

#include <QEvent>
#include <QFileDialog>
#include <QTimer>

#include "convert/BankLoader.h"
#include "ui/CompareWindow.h"

namespace quorvane::ui {

namespace {

// Often enough that the progress bar moves smoothly, seldom enough to cost nothing.
constexpr int kPollMs = 50;

} // namespace

CompareController::CompareController(Workspace& workspace, Host& host, Audition& audition,
                                     const Widgets& widgets, QObject* parent)
    : QObject(parent), workspace_(workspace), host_(host), audition_(audition), widgets_(widgets) {
    window_ = new CompareWindow(widgets_.window);
    window_->installEventFilter(this);
    connect(window_, &CompareWindow::cancelClicked, this, [this] {
        if (run_)
            run_->Cancel();
    });
    connect(window_, &CompareWindow::presetChosen, this, &CompareController::PresetChosen);
    connect(window_, &CompareWindow::sideToggled, this, &CompareController::ToggleSide);
    pollTimer_ = new QTimer(this);
    pollTimer_->setInterval(kPollMs);
    connect(pollTimer_, &QTimer::timeout, this, &CompareController::PollRun);
}

// The run is stopped and waited for before the banks it reads go away.
CompareController::~CompareController() = default;

std::string CompareController::SourcePath() {
    const LoaderState& loader = workspace_.loader;
    const SourceFormat format = workspace_.bank.SourceFormat;
    if (!loader.loadedFlag || loader.loadedEntry < 0 || workspace_.bank.PresetCount == 0) {
        host_.ShowMessage("Open a bank first: it is compared with the files you choose.", kMessageCaption,
                          MessageIcon::Warning);
        return {};
    }
    if (format == SourceFormat::Akai || format == SourceFormat::AudioFile) {
        host_.ShowMessage("Only a bank file can be compared here; an Akai volume is compared with "
                          "quorvane-cli check --volume.",
                          kMessageCaption, MessageIcon::Warning);
        return {};
    }
    return EntryPath(workspace_, static_cast<uint32_t>(loader.loadedEntry));
}

QStringList CompareController::AskOutputs(const QString& title) {
    QFileDialog dialog(widgets_.window, title, lastFolder_);
    dialog.setObjectName("CompareDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters({"Banks (*.sf2 *.sf3 *.gig *.dls *.sfz)", "All files (*)"});
    dialog.setLabelText(QFileDialog::Accept, "Compare");
    if (dialog.exec() != QDialog::Accepted)
        return {};
    lastFolder_ = dialog.directory().absolutePath();
    return dialog.selectedFiles();
}

void CompareController::CompareBankClick() {
    if (SourcePath().empty())
        return;
    // Several files: the parts of a GigaSampler bank, or every bank of a folder converted at once.
    const QStringList outputs = AskOutputs("Compare the bank with its conversion (one or several files)");
    if (!outputs.isEmpty())
        RunComparison(outputs, 0);
}

void CompareController::ComparePresetClick() {
    const uint32_t slot = workspace_.selection.currentPreset;
    if (SourcePath().empty())
        return;
    if (!workspace_.bank.IsValidSlot(slot)) {
        host_.ShowMessage("Select a preset first.", kMessageCaption, MessageIcon::Warning);
        return;
    }
    const QStringList outputs = AskOutputs("Compare the preset with its conversion (one or several files)");
    if (!outputs.isEmpty())
        RunComparison(outputs, slot);
}

bool CompareController::RunComparison(const QStringList& outputs, uint32_t slot) {
    const std::string source = SourcePath();
    if (source.empty())
        return false;
    ComparisonRequest request;
    request.source = source;
    for (const QString& output : outputs)
        request.outputs.push_back(output.toStdString());
    if (slot != 0)
        request.sourceSlots.push_back(slot);
    // A new comparison replaces the last, which is stopped first.
    run_.reset();
    chosen_ = slot;
    ++runNumber_;
    run_ = std::make_unique<ComparisonRun>(std::move(request));
    window_->setWindowTitle(slot != 0 ? "Compare preset" : "Compare bank");
    window_->ShowRunning(QString::fromStdString(source), outputs);
    ShowSide();
    window_->show();
    window_->raise();
    run_->Start();
    pollTimer_->start();
    return true;
}

void CompareController::PollRun() {
    if (!run_) {
        pollTimer_->stop();
        return;
    }
    window_->ShowProgress(run_->ProgressPerMille());
    switch (run_->State()) {
    case ComparisonState::Running:
        return;
    case ComparisonState::Finished:
        run_->SetMessageHost(&host_);
        window_->ShowReport(run_->Report(), chosen_);
        break;
    case ComparisonState::Cancelled:
        window_->ShowFailure("The comparison was cancelled.");
        break;
    case ComparisonState::Failed:
        window_->ShowFailure("Cannot compare: " + QString::fromStdString(run_->Error()));
        break;
    }
    pollTimer_->stop();
    PresetChosen(window_->ChosenSlot());
}

bool CompareController::ChosenLoaded() const {
    return audition_.ComparisonLoaded() && auditionedRun_ == runNumber_ && auditionedSlot_ == chosen_ &&
           chosen_ != 0;
}

void CompareController::PresetChosen(uint32_t slot) {
    chosen_ = slot;
    if (run_ && run_->State() == ComparisonState::Finished && slot != 0 && audition_.On() &&
        audition_.CurrentDevice() >= 0) {
        const std::optional<Counterpart> counterpart = run_->CounterpartOf(slot);
        audition_.LoadComparison(run_->SourceBank(), slot, counterpart ? counterpart->workspace : nullptr,
                                 counterpart ? counterpart->slot : 0);
        auditionedRun_ = runNumber_;
        auditionedSlot_ = slot;
    }
    ShowSide();
}

void CompareController::ToggleSide() {
    if (!run_ || run_->State() != ComparisonState::Finished || chosen_ == 0) {
        ShowSide();
        return;
    }
    // The synthesizer was given another preset since (the preset tree's): the chosen one goes back in.
    if (!ChosenLoaded())
        PresetChosen(chosen_);
    if (ChosenLoaded())
        audition_.PlaySide(audition_.Side() == ComparedSide::Source ? ComparedSide::Output
                                                                    : ComparedSide::Source);
    ShowSide();
}

void CompareController::ShowSide() {
    const bool finished = run_ && run_->State() == ComparisonState::Finished;
    const bool playing = audition_.On() && audition_.CurrentDevice() >= 0;
    QString why;
    if (!playing)
        why = "Switch auditioning on to play the source and the output";
    else if (!finished || chosen_ == 0)
        why = "Choose a preset in the list to play it on the source and on the output";
    window_->ShowSide(playing && finished && chosen_ != 0,
                      ChosenLoaded() && audition_.Side() == ComparedSide::Output, why);
}

bool CompareController::eventFilter(QObject* watched, QEvent* event) {
    // Auditioning may have been switched, or another preset loaded, while the window was in the back.
    if (watched == window_ && event->type() == QEvent::WindowActivate)
        ShowSide();
    return QObject::eventFilter(watched, event);
}

} // namespace quorvane::ui
