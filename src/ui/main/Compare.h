// The main window's comparisons: "Compare with ..." on the bank on screen (the bank list's menu and the
// SoundFormat menu) and on a preset (the preset tree's menu). The user chooses the converted files; the
// check runs on a thread of its own while the comparison window shows its progress and then its report; and
// the window's A/B switch plays the chosen preset on the source or on its counterpart in the output, through
// the auditioning synthesizer, at the next key. The core's ComparisonRun does the work; this controller
// asks, starts and shows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <QObject>
#include <QStringList>

#include "compare/ComparisonRun.h"
#include "core/Host.h"
#include "session/Workspace.h"
#include "ui/Audition.h"

class QTimer;
class QWidget;

namespace quorvane::ui {

class CompareWindow;

class CompareController : public QObject {
    Q_OBJECT
  public:
    struct Widgets {
        QWidget* window = nullptr; // the dialogs' and the comparison window's parent
    };

    // `host` tells the user what cannot be compared and, after a run, what auditioning its banks meets.
    CompareController(Workspace& workspace, Host& host, Audition& audition, const Widgets& widgets,
                      QObject* parent);
    ~CompareController() override;

    // "Compare with ..." on the bank on screen: a file dialog for the converted files, then the run.
    void CompareBankClick();
    // "Compare with ..." on the selected preset: that preset alone.
    void ComparePresetClick();
    // The run without the dialog: the bank on screen (preset `slot` alone when not 0) against `outputs`,
    // bank files and folders as the dialog returns them. False, with a message, when nothing on screen can
    // be compared.
    bool RunComparison(const QStringList& outputs, uint32_t slot);

    // The A/B switch: the keys play the other side of the chosen preset from the next note on.
    void ToggleSide();

    CompareWindow* Window() const { return window_; }
    // The comparison last started; nullptr before the first.
    ComparisonRun* Run() const { return run_.get(); }

  private:
    // The file the bank on screen was read from; empty (with a message) when it is not a bank file.
    std::string SourcePath();
    QStringList AskOutputs(const QString& title);
    // Follows the run until it ends, then shows its report or why there is none.
    void PollRun();
    // A preset chosen in the window: auditioned on both sides when auditioning is on.
    void PresetChosen(uint32_t slot);
    void ShowSide();
    // Whether the synthesizer holds the chosen preset's comparison.
    bool ChosenLoaded() const;
    bool eventFilter(QObject* watched, QEvent* event) override;

    Workspace& workspace_;
    Host& host_;
    Audition& audition_;
    Widgets widgets_;
    CompareWindow* window_ = nullptr;
    QTimer* pollTimer_ = nullptr;
    std::unique_ptr<ComparisonRun> run_;
    uint32_t chosen_ = 0; // the source slot chosen in the window; 0 for none
    // Which run and preset the synthesizer holds a comparison of, if it still does.
    uint32_t runNumber_ = 0;
    uint32_t auditionedRun_ = 0;
    uint32_t auditionedSlot_ = 0;
    // The output folder last chosen, where the next dialog opens.
    QString lastFolder_;
};

} // namespace quorvane::ui
