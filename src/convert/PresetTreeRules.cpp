#include "convert/PresetTreeRules.h"

#include <algorithm>

namespace quorvane {

std::vector<uint32_t> PresetsToSave(const std::vector<int>& selectedSlots, uint32_t presetCount,
                                    const std::vector<uint32_t>& removed) {
    std::vector<uint32_t> chosen;
    for (int slot : selectedSlots)
        if (slot >= 1 && static_cast<uint32_t>(slot) <= presetCount)
            chosen.push_back(static_cast<uint32_t>(slot));
    if (chosen.empty())
        for (uint32_t slot = 1; slot <= presetCount; ++slot)
            if (std::find(removed.begin(), removed.end(), slot) == removed.end())
                chosen.push_back(slot);
    return chosen;
}

PresetKeyEdit PresetEditForKey(char32_t text, int keypadSign) {
    if (keypadSign > 0)
        return PresetKeyEdit::ProgramUp;
    if (keypadSign < 0)
        return PresetKeyEdit::ProgramDown;
    if (text == U'd' || text == U'D')
        return PresetKeyEdit::ToggleDrum;
    if (text >= U'0' && text <= U'9')
        return PresetKeyEdit::BankDigit;
    return PresetKeyEdit::None;
}

bool ApplyPresetKey(BankModel& bank, AttributeList& attributes, uint32_t slot, TypedBankNumber& number,
                    PresetKeyEdit edit, char32_t text) {
    if (!bank.IsValidSlot(slot))
        return false;
    switch (edit) {
    case PresetKeyEdit::ToggleDrum:
        ToggleDrum(bank, attributes, slot);
        return true;
    case PresetKeyEdit::BankDigit:
        if (text < U'0' || text > U'9')
            return false;
        TypeBankDigit(bank, attributes, slot, number, static_cast<int>(text - U'0'));
        return true;
    case PresetKeyEdit::ProgramUp:
        ProgramPlus(bank, attributes, slot);
        return true;
    case PresetKeyEdit::ProgramDown:
        ProgramMinus(bank, attributes, slot);
        return true;
    case PresetKeyEdit::None:
        return false;
    }
    return false;
}

int MovedPresetPosition(const std::vector<uint32_t>& sortKeys, int at, bool down) {
    const int count = static_cast<int>(sortKeys.size());
    if (at < 0 || at >= count)
        return at;
    const uint32_t key = sortKeys[static_cast<size_t>(at)];
    auto keyAt = [&](int index) { return sortKeys[static_cast<size_t>(index)]; };
    int to = at;
    if (down)
        while (to + 1 < count && keyAt(to + 1) < key)
            ++to;
    else
        while (to > 0 && keyAt(to - 1) > key)
            --to;
    return to;
}

} // namespace quorvane
