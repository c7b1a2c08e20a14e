#include "convert/PresetEdits.h"

#include <algorithm>
#include <cstdlib>

#include "model/WriteSelection.h"

namespace quorvane {

namespace {
constexpr size_t kLineLength = 20;
constexpr int kHighestProgram = 127;
constexpr int kHighestTypedBank = 127;
} // namespace

void ProgramPlus(BankModel& bank, AttributeList& attributes, uint32_t slot) {
    if (!bank.IsValidSlot(slot))
        return;
    PresetRecord& preset = bank.PresetTable[slot];
    if (preset.program < kHighestProgram)
        ++preset.program;
    RecordProgram(bank, attributes, slot);
}

void ProgramMinus(BankModel& bank, AttributeList& attributes, uint32_t slot) {
    if (!bank.IsValidSlot(slot))
        return;
    PresetRecord& preset = bank.PresetTable[slot];
    const uint16_t lowered = static_cast<uint16_t>(preset.program - 1);
    preset.program = lowered > kHighestProgram ? 0 : lowered;
    RecordProgram(bank, attributes, slot);
}

void TypeBankDigit(BankModel& bank, AttributeList& attributes, uint32_t slot, TypedBankNumber& number,
                   int digit) {
    if (!bank.IsValidSlot(slot) || digit < 0 || digit > 9)
        return;
    number.typed = number.typed * 10 + digit;
    if (number.typed > kHighestTypedBank)
        number.typed = digit;
    SetBank(bank.PresetTable[slot], static_cast<uint16_t>(number.typed));
    RecordBank(bank, attributes, slot);
}

void ToggleDrum(BankModel& bank, AttributeList& attributes, uint32_t slot) {
    if (!bank.IsValidSlot(slot))
        return;
    PresetRecord& preset = bank.PresetTable[slot];
    preset.isDrum = preset.isDrum ? 0 : 1;
    RecordDrum(bank, attributes, slot);
}

void MoveZones(BankModel& bank, AttributeList& attributes, const std::vector<uint32_t>& slots,
               int semitones) {
    WriteSelection moved(bank);
    bool any = false;
    for (uint32_t slot : slots) {
        if (!bank.IsValidSlot(slot))
            continue;
        attributes.EditAttributes += EditLine("PRES", slot, "MOVZ", static_cast<uint16_t>(semitones));
        moved.AddPreset(bank, slot);
        any = true;
    }
    if (!any)
        return;
    for (uint32_t i = 0; i < bank.LayerCount; ++i) {
        LayerRecord& layer = bank.LayerTable[i];
        if (moved.HasLayer(i) && layer.IsSet(gen::keyRange) && layer.Unsigned(gen::keyRange) != kFullRange)
            layer.generators[gen::keyRange] =
                static_cast<int16_t>(ShiftKeyRange(layer.Unsigned(gen::keyRange), semitones));
    }
    for (uint32_t i = 0; i < bank.ZoneCount; ++i) {
        ZoneRecord& zone = bank.ZoneTable[i];
        if (!moved.HasZone(i) || zone.isGlobal || !zone.IsSet(gen::keyRange))
            continue;
        zone.generators[gen::keyRange] =
            static_cast<int16_t>(ShiftKeyRange(zone.Unsigned(gen::keyRange), semitones));
        const int root = (zone.generators[gen::overridingRootKey] & 127) + semitones;
        zone.generators[gen::overridingRootKey] = static_cast<int16_t>(std::clamp(root, 0, 127));
    }
}

void RecordPresetLine(std::string& editAttributes, const std::string& line) {
    const std::string verb = line.substr(10, 4);
    if (verb == "PROG" || verb == "BANK" || verb == "DRUM")
        ReplaceOrAppend(editAttributes, line);
    else
        editAttributes += line;
}

std::string PresetEditProblem(const std::string& verb, int value) {
    auto within = [value](int low, int high) { return value >= low && value <= high; };
    if (verb == "PROG" || verb == "BANK")
        return within(0, 127) ? "" : "must be 0 to 127";
    if (verb == "DRUM")
        return within(0, 1) ? "" : "must be 0 (melodic) or 1 (drum)";
    if (verb == "MOVZ")
        return value == 12 || value == -12 ? "" : "must be +12 or -12";
    if (verb == "REVB" || verb == "CHOR")
        return within(0, 1000) ? "" : "must be 0 to 1000 tenths of a percent";
    if (verb == "FILT")
        return value == -1 || within(20, 20000) ? "" : "must be 20 to 20000 Hz, or FFFF for no filter";
    return "is not an edit (PROG, BANK, DRUM, MOVZ, REVB, CHOR, FILT)";
}

bool IsPresetEdited(const std::string& editAttributes, uint32_t slot) {
    const std::string key = EditLine("PRES", slot, "", 0).substr(0, 10);
    for (size_t at = 0; at + kLineLength <= editAttributes.size(); at += kLineLength)
        if (editAttributes.compare(at, key.size(), key) == 0)
            return true;
    return false;
}

uint32_t HighestEditedSlot(const std::string& editAttributes) {
    uint32_t highest = 0;
    for (size_t at = editAttributes.find("PRES ");
         at != std::string::npos && at + kLineLength <= editAttributes.size();
         at = editAttributes.find("PRES ", at + kLineLength)) {
        const std::string index = editAttributes.substr(at + 5, 4);
        highest = std::max(highest, static_cast<uint32_t>(std::strtoul(index.c_str(), nullptr, 16)));
    }
    return highest;
}

} // namespace quorvane
