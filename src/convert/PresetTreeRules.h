// The preset tree's rules without the widgets: which presets a preset save takes, which edit a key typed on
// a preset node makes, and where an edited preset's node moves when the tree is in program order.
#pragma once

#include <cstdint>
#include <vector>

#include "convert/PresetEdits.h"
#include "model/AttributeList.h"
#include "model/BankModel.h"

namespace quorvane {

// The presets a save takes: the selected nodes' slots in tree order, leaving out any that is not a preset of
// a bank of presetCount presets; when no node is selected, every preset but those `removed` from the tree.
std::vector<uint32_t> PresetsToSave(const std::vector<int>& selectedSlots, uint32_t presetCount,
                                    const std::vector<uint32_t>& removed);

// The edit a key typed on a preset node makes.
enum class PresetKeyEdit { None, ToggleDrum, BankDigit, ProgramUp, ProgramDown };

// What a key does: `text` is the character it types (0 for none), keypadSign +1 for the keypad's plus,
// -1 for its minus, 0 otherwise.
PresetKeyEdit PresetEditForKey(char32_t text, int keypadSign);

// Makes the edit on preset `slot` (`text` carries a BankDigit's digit); false when nothing was changed
// because there is no such preset or no edit.
bool ApplyPresetKey(BankModel& bank, AttributeList& attributes, uint32_t slot, TypedBankNumber& number,
                    PresetKeyEdit edit, char32_t text);

// A tree in program order keeps its nodes sorted by `sortKeys` (one per node, in tree order); after the
// program of node `at` went up (down = true) or down, the node moves past the neighbours it now sorts
// after or before. Returns its new position.
int MovedPresetPosition(const std::vector<uint32_t>& sortKeys, int at, bool down);

} // namespace quorvane
