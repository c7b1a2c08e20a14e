// Reverb send, chorus send and low-pass cutoff that written files carry: set for whole banks (bank lines,
// applied to every zone when the bank is saved) or for presets (applied to the model at once and recorded as
// preset lines). The dialog that sets them only shows the state built here and reports the user's moves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Host.h"
#include "model/AttributeList.h"
#include "model/BankModel.h"

namespace quorvane {

// Sends in tenths of a percent (0..1000); cutoff in Hz (20..20000). Only changed parameters are applied.
struct ParameterValues {
    uint16_t reverb = 0;
    uint16_t chorus = 0;
    uint16_t cutoff = 20;
    bool filterOn = true;
    bool reverbChanged = false;
    bool chorusChanged = false;
    bool filterChanged = false;

    bool AnyChanged() const { return reverbChanged || chorusChanged || filterChanged; }
};

constexpr uint16_t kMaxSend = 1000;
constexpr uint16_t kLowestCutoff = 20;
constexpr uint16_t kHighestCutoff = 20000;
constexpr uint16_t kFilterOff = 0xFFFF; // the cutoff value of a line that turns the filter off

// What the conversion-parameters dialog shows when it opens.
struct ParameterDialogState {
    std::string caption;      // "2 Bank(s) Conversion Parameters:", "1 Preset(s) in Simple Edition:"
    std::string applyCaption; // "Apply" (banks), "UPDATE" or "CHANGE" (presets)
    ParameterValues values;   // the values the controls start from
    std::string reverbLabel;  // "20.0%", "20.0 - 35.0%", or empty when nothing is set
    std::string chorusLabel;
    std::string cutoffLabel; // "1000", "800 - 1000", "OFF", "OFF - 1000", ...
    int reverbPosition = 0;
    int chorusPosition = 0;
    int cutoffPosition = 0;
    bool filterChecked = false;
    bool resetAllVisible = false;
};

// The bank dialog for the chosen file-list entries: their bank lines' minimum and maximum per parameter.
ParameterDialogState OpenBankParameterDialog(const AttributeList& attributes, SourceFormat sourceFormat,
                                             const std::vector<uint32_t>& entries);
// The preset dialog for the chosen presets: the extremes of the effective values of their zones.
// auditioning: a preset is loaded into the synthesizer, so the button updates it there.
ParameterDialogState OpenPresetParameterDialog(const BankModel& bank, const std::vector<uint32_t>& slots,
                                               bool auditioning);

// The cutoff control moved: the value is held at 20 at least (the control is set back to it) and the
// filter turns on. Returns the value the control shows.
int MoveCutoff(ParameterDialogState& state, int position);

// Records the changed parameters as bank lines of every chosen entry, each replacing the entry's earlier
// line of its kind.
void RecordBankParameters(AttributeList& attributes, const std::vector<uint32_t>& entries,
                          const ParameterValues& values);
// "Reset All": drops the bank lines of every bank.
void ResetAllBankParameters(AttributeList& attributes);
// Drops the parameters of the entries (none: every entry), once their banks are saved with them.
void ForgetBankParameters(AttributeList& attributes, const std::vector<uint32_t>& entries);

// Applies the bank lines of entry to every zone of a freshly loaded bank before it is written, with a
// status line per line; the layers lose their own values of those parameters. False when the entry has
// no lines.
bool ApplyBankParameters(BankModel& bank, const std::string& bankEditAttributes, uint32_t entry, Host& host);

// The preset dialog's apply step: records one line per changed parameter and preset (never replacing) and
// applies the values to the presets' zones, taking them off their layers.
void ApplyPresetParameters(BankModel& bank, AttributeList& attributes, const std::vector<uint32_t>& slots,
                           const ParameterValues& values);

// Generators 0..59 of a zone as the preset plays it through one of its layers: the zone over the layer's
// zone list's last global zone, combined with the layer over the preset's last global layer. Reverb,
// chorus and cutoff are combined by their own rules; the other generators keep the zone's value.
GeneratorSet EffectiveGenerators(const BankModel& bank, uint32_t slot, uint16_t layer, uint16_t zone);

// Cutoff in Hz of absolute cents, truncated.
int AbsoluteCentsToCutoff(int cents);

} // namespace quorvane
