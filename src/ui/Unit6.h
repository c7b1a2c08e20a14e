// TForm6: the conversion-parameters dialog: reverb send, chorus send and low-pass cutoff, for whole banks
// of the file list or for presets of the preset tree. The window only shows the state the core builds and
// reports the user's moves; the core records and applies them.
//
// Banks: RunBankDialog() is modal and does the whole job. Presets: the dialog stays open beside the main
// window; each press of its OK button ("CHANGE" or "UPDATE") emits applyRequested() with the values to
// apply, and Refresh() shows a new preset selection.
#pragma once

#include <QDialog>
#include <cstdint>
#include <vector>

#include "convert/ConversionParameters.h"

class QCheckBox;
class QLabel;
class QScrollBar;
class QToolButton;

namespace quorvane::ui {

class TForm6 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm6(QWidget* parent = nullptr);

    // Shows the bank lines of the chosen file-list entries and waits for the user. Apply records the
    // changed parameters as bank lines of every entry; "Reset All" drops the lines of every bank; Escape
    // or closing the window changes nothing. Returns whether BankEditAttributes holds any line afterwards
    // (the main window's bank-edit indicator).
    static bool RunBankDialog(QWidget* parent, AttributeList& attributes, SourceFormat sourceFormat,
                              const std::vector<uint32_t>& entries);

    // Opens the bank dialog's state without waiting; RunBankDialog() is this plus exec() and the result.
    void LoadBankDialog(const AttributeList& attributes, SourceFormat sourceFormat,
                        const std::vector<uint32_t>& entries);

    // Shows the dialog, without blocking, for the chosen presets (slots of bank's preset table).
    // auditioning: a preset is loaded into the synthesizer, so the button reads "UPDATE" and not "CHANGE".
    void ShowPresetDialog(const BankModel& bank, const std::vector<uint32_t>& presets, bool auditioning);
    // A new preset selection while the preset dialog is open: shows its values, dropping unapplied moves.
    // Does nothing when the preset dialog is not showing.
    void Refresh(const BankModel& bank, const std::vector<uint32_t>& presets, bool auditioning);

    bool IsPresetDialog() const { return presetMode_; }
    bool ApplyWasRequested() const { return applyRequested_; }
    bool ResetAllWasRequested() const { return resetAllRequested_; }
    // The values and changed flags as the controls have set them.
    const ParameterValues& Values() const { return state_.values; }

  signals:
    // The preset dialog's OK button: apply these values (only the changed ones) to the selected presets.
    void applyRequested(const quorvane::ParameterValues& values);

  public slots:
    // Escape and the title bar's close: nothing is applied.
    void reject() override;

  private:
    void Load(const ParameterDialogState& state);
    void SendChange(int position, bool reverb);
    void ScrollBar3Change(int position);
    void CheckBox1Click(bool checked);
    void SpeedButton1Click();
    void SpeedButton2Click();
    void EnableFilterControls(bool on);

    ParameterDialogState state_;
    bool presetMode_ = false;
    bool applyRequested_ = false;
    bool resetAllRequested_ = false;
    // Set while the program moves the controls, so that their change handlers stay quiet.
    bool updating_ = false;

    QLabel* label3_ = nullptr;
    QScrollBar* scrollBar1_ = nullptr;
    QScrollBar* scrollBar2_ = nullptr;
    QScrollBar* scrollBar3_ = nullptr;
    QLabel* label4_ = nullptr;
    QLabel* label5_ = nullptr;
    QLabel* label6_ = nullptr;
    QCheckBox* checkBox1_ = nullptr;
    QToolButton* speedButton1_ = nullptr;
    QToolButton* speedButton2_ = nullptr;
};

} // namespace quorvane::ui
