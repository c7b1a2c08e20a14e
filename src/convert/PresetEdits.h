// The user's changes to single presets before conversion: program number up and down, a typed bank number,
// the drum flag, and all zones an octave up or down. Each edit changes the model on screen at once and is
// recorded as an edit line, so that it is replayed onto the bank whenever it is read again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/AttributeList.h"
#include "model/BankModel.h"

namespace quorvane {

// Every edit ignores a slot that is not a preset of the bank.

// Program + 1 while it is below 127.
void ProgramPlus(BankModel& bank, AttributeList& attributes, uint32_t slot);
// Program - 1; a result outside 0..127 becomes 0.
void ProgramMinus(BankModel& bank, AttributeList& attributes, uint32_t slot);

// The bank number typed digit by digit; the preset tree starts a new one when its selection changes.
struct TypedBankNumber {
    int typed = 0;
};
// typed = typed * 10 + digit, restarting at the digit alone when that exceeds 127; the preset's bank
// becomes the typed number.
void TypeBankDigit(BankModel& bank, AttributeList& attributes, uint32_t slot, TypedBankNumber& number,
                   int digit);

void ToggleDrum(BankModel& bank, AttributeList& attributes, uint32_t slot);

// Moves every zone of the presets by semitones (+12 or -12): layer ranges other than the full range,
// zone ranges and zone root keys, each kept within 0..127. One move line is appended per preset.
void MoveZones(BankModel& bank, AttributeList& attributes, const std::vector<uint32_t>& slots, int semitones);

// Records a preset edit line as the edits above do: a program, bank or drum line replaces the preset's
// earlier line of its kind, every other line is appended. For lines built without a model on screen
// (the command line, an edits file).
void RecordPresetLine(std::string& editAttributes, const std::string& line);

// Why value does not fit an edit of that verb ("PROG" .. "FILT"; signed, -1 for a filter turned off), or
// an empty text when it does.
std::string PresetEditProblem(const std::string& verb, int value);

// Whether any preset edit line names the preset in `slot`.
bool IsPresetEdited(const std::string& editAttributes, uint32_t slot);

// Slot of the highest preset the preset edit lines name; 0 when there are none.
uint32_t HighestEditedSlot(const std::string& editAttributes);

} // namespace quorvane
