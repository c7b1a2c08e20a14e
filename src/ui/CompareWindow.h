// The window of a comparison of a bank (or one preset) with its conversion: the run's progress with a
// Cancel button, then the summary line of every preset, and for the preset chosen in the list what changed
// parameter by parameter and what the output format cannot hold, in the texts the command-line check prints.
// The A/B button switches the keys between the source's preset and its counterpart in the output.
//
// It only shows what the comparison controller hands it and reports the user's moves.
#pragma once

#include <cstdint>

#include <QStringList>
#include <QWidget>

#include "compare/CheckReport.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace quorvane::ui {

class CompareWindow : public QWidget {
    Q_OBJECT
  public:
    explicit CompareWindow(QWidget* parent = nullptr);

    // A comparison starts: the files, an empty report and the progress bar with its Cancel button.
    void ShowRunning(const QString& source, const QStringList& outputs);
    void ShowProgress(int perMille);
    // The comparison ended without a report: why, in place of the report.
    void ShowFailure(const QString& text);
    // The report, which must live as long as it is shown. The preset `chosen` (a source slot) is selected
    // and shown when the report has it; otherwise the bank's summary is.
    void ShowReport(const CheckReport& report, uint32_t chosen);
    // The A/B button: whether it can be used (a preset chosen, auditioning on), and which side plays.
    void ShowSide(bool usable, bool output, const QString& why);

    QListWidget* PresetList() const { return list_; }
    QPlainTextEdit* Details() const { return details_; }
    QPushButton* SideButton() const { return sideButton_; }
    QLabel* Message() const { return message_; }
    // The source slot of the preset chosen in the list; 0 for none.
    uint32_t ChosenSlot() const;

  signals:
    void cancelClicked();
    // The user chose a preset in the list (0: none).
    void presetChosen(uint32_t slot);
    // The A/B button or its key.
    void sideToggled();

  private:
    void ShowChosen();

    const CheckReport* report_ = nullptr;
    QLabel* files_ = nullptr;
    QLabel* message_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QListWidget* list_ = nullptr;
    QPlainTextEdit* details_ = nullptr;
    QPushButton* sideButton_ = nullptr;
    QLabel* sideHint_ = nullptr; // why the switch cannot be used
};

} // namespace quorvane::ui
