#include "model/AttributeList.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quorvane {

namespace {
constexpr size_t kEditLineLength = 20;
constexpr size_t kPathPrefixLength = 15; // "BANK %04x PATH "

std::string Format(const char* format, uint32_t index) {
    char text[32];
    std::snprintf(text, sizeof text, format, index);
    return text;
}

// The 16-bit value of an edit line, read as hex and taken as signed.
int16_t EditValueAt(const std::string& text, size_t lineStart) {
    if (lineStart + kEditLineLength > text.size())
        return 0;
    const std::string field = text.substr(lineStart + 15, 4);
    return static_cast<int16_t>(std::strtoul(field.c_str(), nullptr, 16));
}

void RecordPresetValue(const BankModel& bank, AttributeList& attributes, uint32_t slot, const char* verb,
                       uint16_t PresetRecord::*field) {
    if (slot == 0 || slot - 1 >= bank.PresetCount)
        return;
    ReplaceOrAppend(attributes.EditAttributes, EditLine("PRES", slot, verb, bank.PresetTable[slot].*field));
}
} // namespace

std::string BankPathLine(uint32_t entry, const std::string& folder) {
    return Format("BANK %04x PATH ", entry) + folder;
}
std::string BankEndLine(uint32_t entryCount) {
    return Format("BANK %04x PATH", entryCount);
}
std::string WavePathLine(uint32_t entry, const std::string& folder, const std::string& fileName) {
    return Format("WAVE %04x PATH ", entry) + folder + fileName;
}
std::string WaveEndLine(uint32_t entryCount) {
    return Format("WAVE %04x PATH", entryCount);
}

std::string EditLine(const char* keyWord, uint32_t index, const char* verb, uint16_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4s %04x %.4s %04x ", keyWord, index & 0xFFFFu, verb, value);
    return text;
}

size_t FindKey(const std::string& text, const std::string& key) {
    return text.find(key);
}

void ReplaceOrAppend(std::string& text, const std::string& line) {
    const size_t at = FindKey(text, line.substr(0, 14));
    if (at == std::string::npos || at + kEditLineLength > text.size())
        text += line;
    else
        text.replace(at, kEditLineLength, line);
}

void RecordProgram(const BankModel& bank, AttributeList& attributes, uint32_t slot) {
    RecordPresetValue(bank, attributes, slot, "PROG", &PresetRecord::program);
}
void RecordBank(const BankModel& bank, AttributeList& attributes, uint32_t slot) {
    RecordPresetValue(bank, attributes, slot, "BANK", &PresetRecord::bank);
}
void RecordDrum(const BankModel& bank, AttributeList& attributes, uint32_t slot) {
    if (slot == 0 || slot - 1 >= bank.PresetCount)
        return;
    ReplaceOrAppend(attributes.EditAttributes, EditLine("PRES", slot, "DRUM", bank.PresetTable[slot].isDrum));
}

std::string EntryFolder(const AttributeList& attributes, uint32_t entry, const std::string& currentFolder,
                        bool wave) {
    const char* format = wave ? "WAVE %04x PATH" : "BANK %04x PATH";
    const std::string& text = attributes.PathAttributes;
    const size_t first = FindKey(text, Format(format, entry));
    const size_t next = FindKey(text, Format(format, entry + 1));
    if (first == std::string::npos || next == std::string::npos || next <= first + kPathPrefixLength)
        return currentFolder;
    return text.substr(first + kPathPrefixLength, next - first - kPathPrefixLength);
}

int ParameterGenerator(const std::string& verb) {
    if (verb == "REVB")
        return gen::reverbEffectsSend;
    if (verb == "CHOR")
        return gen::chorusEffectsSend;
    if (verb == "FILT")
        return gen::initialFilterFc;
    return -1;
}

uint16_t ShiftKeyRange(uint16_t range, int semitones) {
    int high = (range & 0x7F00) + semitones * 256;
    int low = (range & 0x7F) + semitones;
    if (semitones < 0) {
        high = std::max(high, 0);
        low = std::max(low, 0);
    } else {
        high = std::min(high, 0x7F00);
        low = std::min(low, 0x7F);
    }
    return static_cast<uint16_t>(high | low);
}

int16_t CutoffToAbsoluteCents(int hertz) {
    const double cents = 1200.0 * std::log(static_cast<double>(hertz)) / std::log(2.0) - 3638.0;
    const double whole = std::trunc(cents);
    return static_cast<int16_t>(whole + (cents - whole > 0.5 ? 1 : 0));
}

void ApplyEdits(BankModel& bank, const std::string& editAttributes, ApplyMode mode) {
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot) {
        const std::string key = Format("PRES %04x", slot);
        const size_t first = FindKey(editAttributes, key);
        if (first == std::string::npos)
            continue; // nothing recorded for this preset: its marks would change nothing
        bank.ClearMarks();
        bank.MarkPreset(slot, 1);
        PresetRecord& preset = bank.PresetTable[slot];
        for (size_t at = first; at != std::string::npos; at = editAttributes.find(key, at + 1)) {
            if (at + kEditLineLength > editAttributes.size())
                break;
            const std::string verb = editAttributes.substr(at + 10, 4);
            const int16_t value = EditValueAt(editAttributes, at);
            if (verb == "PROG")
                preset.program = static_cast<uint16_t>(value);
            else if (verb == "BANK")
                SetBank(preset, static_cast<uint16_t>(value));
            else if (verb == "DRUM")
                preset.isDrum = value != 0;

            const bool move = verb == "MOVZ";
            for (uint32_t i = 0; i < bank.LayerCount; ++i) {
                LayerRecord& layer = bank.LayerTable[i];
                if (!layer.marked)
                    continue;
                if (move) {
                    if (layer.IsSet(gen::keyRange) && layer.Unsigned(gen::keyRange) != kFullRange)
                        layer.generators[gen::keyRange] =
                            static_cast<int16_t>(ShiftKeyRange(layer.Unsigned(gen::keyRange), value));
                } else if (mode != ApplyMode::GigaWriter && ParameterGenerator(verb) >= 0) {
                    layer.generatorSet[ParameterGenerator(verb)] = 0;
                }
            }
            for (uint32_t i = 0; i < bank.ZoneCount; ++i) {
                ZoneRecord& zone = bank.ZoneTable[i];
                if (!zone.marked)
                    continue;
                if (move) {
                    if (zone.isGlobal || !zone.IsSet(gen::keyRange))
                        continue;
                    if (mode == ApplyMode::Views)
                        zone.generators[gen::keyRange] =
                            static_cast<int16_t>(ShiftKeyRange(zone.Unsigned(gen::keyRange), value));
                    const int root = (zone.generators[gen::overridingRootKey] & 127) + value;
                    zone.generators[gen::overridingRootKey] = static_cast<int16_t>(std::clamp(root, 0, 127));
                } else if (mode != ApplyMode::GigaWriter) {
                    if (verb == "REVB" || verb == "CHOR") {
                        const int number = verb == "REVB" ? gen::reverbEffectsSend : gen::chorusEffectsSend;
                        zone.generators[number] = value;
                        zone.generatorSet[number] = value != 0;
                    } else if (verb == "FILT") {
                        if (value == -1)
                            zone.generatorSet[gen::initialFilterFc] = 0;
                        else
                            zone.Set(gen::initialFilterFc,
                                     CutoffToAbsoluteCents(static_cast<uint16_t>(value)));
                    }
                }
            }
        }
    }
    bank.ClearMarks();
}

} // namespace quorvane
