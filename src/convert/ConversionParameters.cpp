#include "convert/ConversionParameters.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "model/WriteSelection.h"

namespace quorvane {

namespace {

constexpr size_t kLineLength = 20;

std::string Printf(const char* format, double a, double b = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// The smallest and largest value seen of one parameter.
struct Extremes {
    int low = INT32_MAX;
    int high = INT32_MIN;

    void Add(int value) {
        low = std::min(low, value);
        high = std::max(high, value);
    }
    bool Any() const { return low <= high; }
};

struct Scan {
    Extremes reverb, chorus, cutoff;
    bool filterOffSeen = false;
};

// One bank line: entry index, verb and value (as written: hex, a 16-bit field).
struct BankLine {
    uint32_t entry = 0;
    std::string verb;
    uint16_t value = 0;
};

std::vector<BankLine> BankLines(const std::string& text) {
    std::vector<BankLine> lines;
    for (size_t at = 0; at + kLineLength <= text.size(); at += kLineLength) {
        if (text.compare(at, 5, "BANK ") != 0)
            continue;
        BankLine line;
        line.entry = static_cast<uint32_t>(std::strtoul(text.substr(at + 5, 4).c_str(), nullptr, 16));
        line.verb = text.substr(at + 10, 4);
        line.value = static_cast<uint16_t>(std::strtoul(text.substr(at + 15, 4).c_str(), nullptr, 16));
        lines.push_back(line);
    }
    return lines;
}

std::string SendLabel(const Extremes& send) {
    if (!send.Any())
        return {};
    if (send.low == send.high)
        return Printf("%.1f%%", send.low * 0.1);
    return Printf("%.1f - %.1f%%", send.low * 0.1, send.high * 0.1);
}

std::string CutoffLabel(const Extremes& cutoff, bool filterOffSeen) {
    if (!cutoff.Any())
        return filterOffSeen ? "OFF" : "";
    const std::string off = filterOffSeen ? "OFF - " : "";
    if (cutoff.low == cutoff.high)
        return off + std::to_string(cutoff.low);
    return off + std::to_string(cutoff.low) + " - " + std::to_string(cutoff.high);
}

// Shows the values found as the dialog does: labels, positions, and the values the controls start from.
void Show(ParameterDialogState& state, const Scan& scan) {
    state.values = ParameterValues{};
    state.reverbLabel = SendLabel(scan.reverb);
    state.chorusLabel = SendLabel(scan.chorus);
    state.cutoffLabel = CutoffLabel(scan.cutoff, scan.filterOffSeen);
    if (scan.reverb.Any())
        state.values.reverb = static_cast<uint16_t>(state.reverbPosition = scan.reverb.low);
    if (scan.chorus.Any())
        state.values.chorus = static_cast<uint16_t>(state.chorusPosition = scan.chorus.low);
    state.filterChecked = scan.cutoff.Any();
    state.values.filterOn = scan.cutoff.Any();
    if (scan.cutoff.Any())
        state.values.cutoff = static_cast<uint16_t>(state.cutoffPosition = scan.cutoff.low);
}

std::string ItemWord(SourceFormat sourceFormat, bool presets) {
    const SourceFormatFacts& facts = FactsOf(sourceFormat);
    return std::string(presets ? facts.presetWord : facts.bankWord) + "(s)";
}

int16_t CentsOfHertz(double hertz) {
    const double cents = 1200.0 * std::log2(hertz) - 3638.0;
    const double whole = std::trunc(cents);
    return static_cast<int16_t>(whole + (cents - whole > 0.5 ? 1 : 0));
}

// The last global record of a list, as the start of a level; a fresh default set when there is none.
template <typename Record>
GeneratorSet LastGlobal(const std::vector<Record>& table, const HexIndexList& list) {
    GeneratorSet start;
    start.Reset();
    for (uint16_t i : list)
        if (i < table.size() && table[i].isGlobal)
            start = table[i];
    return start;
}

void TakeSetGenerators(GeneratorSet& level, const GeneratorSet& record) {
    for (int g = 0; g <= gen::lastWritten; ++g)
        if (record.IsSet(g))
            level.Set(g, record.generators[g]);
}

uint16_t RangeOf(const GeneratorSet& set, int number) {
    return set.IsSet(number) ? set.Unsigned(number) : kFullRange;
}

// A preset-level generator adds to the zone's value; one the preset does not set adds nothing.
int PresetValue(const GeneratorSet& level, int number) {
    return level.IsSet(number) ? level.generators[number] : 0;
}

bool RangesMeet(uint16_t a, uint16_t b) {
    const int low = std::max(a & 0x7F, b & 0x7F);
    const int high = std::min(a >> 8 & 0x7F, b >> 8 & 0x7F);
    return low <= high;
}

void ClearOnLayer(LayerRecord& layer, const std::string& verb) {
    if (const int number = ParameterGenerator(verb); number >= 0)
        layer.generatorSet[number] = 0;
}

} // namespace

int AbsoluteCentsToCutoff(int cents) {
    return static_cast<int>(std::pow(2.0, (cents + 3638.0) / 1200.0));
}

ParameterDialogState OpenBankParameterDialog(const AttributeList& attributes, SourceFormat sourceFormat,
                                             const std::vector<uint32_t>& entries) {
    ParameterDialogState state;
    state.caption =
        std::to_string(entries.size()) + " " + ItemWord(sourceFormat, false) + " Conversion Parameters:";
    state.applyCaption = "Apply";
    Scan scan;
    for (const BankLine& line : BankLines(attributes.BankEditAttributes)) {
        if (std::find(entries.begin(), entries.end(), line.entry) == entries.end())
            continue;
        if (line.verb == "REVB")
            scan.reverb.Add(line.value);
        else if (line.verb == "CHOR")
            scan.chorus.Add(line.value);
        else if (line.verb == "FILT" && line.value == kFilterOff)
            scan.filterOffSeen = true;
        else if (line.verb == "FILT")
            scan.cutoff.Add(line.value);
    }
    Show(state, scan);
    state.resetAllVisible = !attributes.BankEditAttributes.empty();
    return state;
}

ParameterDialogState OpenPresetParameterDialog(const BankModel& bank, const std::vector<uint32_t>& slots,
                                               bool auditioning) {
    ParameterDialogState state;
    state.caption =
        std::to_string(slots.size()) + " " + ItemWord(bank.SourceFormat, true) + " in Simple Edition:";
    state.applyCaption = auditioning ? "UPDATE" : "CHANGE";
    Scan scan;
    for (uint32_t slot : slots) {
        if (!bank.IsValidSlot(slot))
            continue;
        for (uint16_t l : bank.PresetTable[slot].layerList) {
            if (!bank.IsValidLayer(l))
                continue;
            for (uint16_t z : bank.LayerTable[l].zoneList) {
                if (!bank.IsValidZone(z) || bank.ZoneTable[z].isGlobal)
                    continue;
                const GeneratorSet effective = EffectiveGenerators(bank, slot, l, z);
                if (effective.IsSet(gen::reverbEffectsSend))
                    scan.reverb.Add(effective.generators[gen::reverbEffectsSend]);
                if (effective.IsSet(gen::chorusEffectsSend))
                    scan.chorus.Add(effective.generators[gen::chorusEffectsSend]);
                if (effective.IsSet(gen::initialFilterFc))
                    scan.cutoff.Add(AbsoluteCentsToCutoff(effective.generators[gen::initialFilterFc]));
            }
        }
    }
    Show(state, scan);
    return state;
}

int MoveCutoff(ParameterDialogState& state, int position) {
    const int value = std::clamp(position, static_cast<int>(kLowestCutoff), static_cast<int>(kHighestCutoff));
    state.values.cutoff = static_cast<uint16_t>(value);
    state.values.filterChanged = true;
    state.values.filterOn = true;
    state.filterChecked = true;
    state.cutoffPosition = value;
    state.cutoffLabel = std::to_string(value);
    return value;
}

void RecordBankParameters(AttributeList& attributes, const std::vector<uint32_t>& entries,
                          const ParameterValues& values) {
    for (uint32_t entry : entries) {
        if (values.reverbChanged)
            ReplaceOrAppend(attributes.BankEditAttributes, EditLine("BANK", entry, "REVB", values.reverb));
        if (values.chorusChanged)
            ReplaceOrAppend(attributes.BankEditAttributes, EditLine("BANK", entry, "CHOR", values.chorus));
        if (values.filterChanged)
            ReplaceOrAppend(attributes.BankEditAttributes,
                            EditLine("BANK", entry, "FILT", values.filterOn ? values.cutoff : kFilterOff));
    }
}

void ResetAllBankParameters(AttributeList& attributes) {
    attributes.BankEditAttributes.clear();
}

void ForgetBankParameters(AttributeList& attributes, const std::vector<uint32_t>& entries) {
    if (entries.empty()) {
        attributes.BankEditAttributes.clear();
        return;
    }
    std::string kept;
    for (const BankLine& line : BankLines(attributes.BankEditAttributes))
        if (std::find(entries.begin(), entries.end(), line.entry) == entries.end())
            kept += EditLine("BANK", line.entry, line.verb.c_str(), line.value);
    attributes.BankEditAttributes = kept;
}

bool ApplyBankParameters(BankModel& bank, const std::string& bankEditAttributes, uint32_t entry, Host& host) {
    bool any = false;
    for (const BankLine& line : BankLines(bankEditAttributes)) {
        if (line.entry != entry)
            continue;
        if (!any)
            host.AddStatusLine("Updating Conversion Parameters in bank:");
        any = true;
        const bool off = line.verb == "FILT" && line.value == kFilterOff;
        if (line.verb == "REVB")
            host.AddStatusLine(Printf("      Reverb = %.1f%%", line.value * 0.1));
        else if (line.verb == "CHOR")
            host.AddStatusLine(Printf("      Chorus = %.1f%%", line.value * 0.1));
        else if (off)
            host.AddStatusLine("      Filter Cutoff = OFF");
        else if (line.verb == "FILT")
            host.AddStatusLine("      Filter Cutoff = " + std::to_string(line.value));

        for (uint32_t z = 0; z < bank.ZoneCount; ++z) {
            ZoneRecord& zone = bank.ZoneTable[z];
            if (line.verb == "REVB" || line.verb == "CHOR") {
                const int number = line.verb == "REVB" ? gen::reverbEffectsSend : gen::chorusEffectsSend;
                zone.generators[number] = static_cast<int16_t>(line.value);
                zone.generatorSet[number] = line.value != 0;
            } else if (off) {
                zone.generatorSet[gen::initialFilterFc] = 0;
            } else if (line.verb == "FILT") {
                // The highest cutoff is no filter at all: the value is kept but not written.
                zone.generators[gen::initialFilterFc] = CutoffToAbsoluteCents(line.value);
                zone.generatorSet[gen::initialFilterFc] = line.value != kHighestCutoff;
            }
        }
        for (uint32_t l = 0; l < bank.LayerCount; ++l)
            ClearOnLayer(bank.LayerTable[l], line.verb);
    }
    return any;
}

void ApplyPresetParameters(BankModel& bank, AttributeList& attributes, const std::vector<uint32_t>& slots,
                           const ParameterValues& values) {
    if (!values.AnyChanged())
        return;
    WriteSelection chosen(bank);
    for (uint32_t slot : slots) {
        if (!bank.IsValidSlot(slot))
            continue;
        chosen.AddPreset(bank, slot);
        if (values.reverbChanged)
            attributes.EditAttributes += EditLine("PRES", slot, "REVB", values.reverb);
        if (values.chorusChanged)
            attributes.EditAttributes += EditLine("PRES", slot, "CHOR", values.chorus);
        if (values.filterChanged)
            attributes.EditAttributes +=
                EditLine("PRES", slot, "FILT", values.filterOn ? values.cutoff : kFilterOff);
    }
    for (uint32_t z = 0; z < bank.ZoneCount; ++z) {
        ZoneRecord& zone = bank.ZoneTable[z];
        if (!chosen.HasZone(z))
            continue;
        if (values.reverbChanged)
            zone.Set(gen::reverbEffectsSend, static_cast<int16_t>(values.reverb));
        if (values.chorusChanged)
            zone.Set(gen::chorusEffectsSend, static_cast<int16_t>(values.chorus));
        if (values.filterChanged) {
            zone.generators[gen::initialFilterFc] = CutoffToAbsoluteCents(values.cutoff);
            zone.generatorSet[gen::initialFilterFc] = values.filterOn;
        }
    }
    for (uint32_t l = 0; l < bank.LayerCount; ++l) {
        LayerRecord& layer = bank.LayerTable[l];
        if (!chosen.HasLayer(l))
            continue;
        if (values.reverbChanged)
            ClearOnLayer(layer, "REVB");
        if (values.chorusChanged)
            ClearOnLayer(layer, "CHOR");
        if (values.filterChanged)
            ClearOnLayer(layer, "FILT");
    }
}

GeneratorSet EffectiveGenerators(const BankModel& bank, uint32_t slot, uint16_t layer, uint16_t zone) {
    if (!bank.IsValidSlot(slot) || !bank.IsValidLayer(layer) || !bank.IsValidZone(zone)) {
        GeneratorSet none;
        none.Reset();
        return none;
    }
    const LayerRecord& layerRecord = bank.LayerTable[layer];
    GeneratorSet presetLevel = LastGlobal(bank.LayerTable, bank.PresetTable[slot].layerList);
    TakeSetGenerators(presetLevel, layerRecord);
    GeneratorSet instrument = LastGlobal(bank.ZoneTable, layerRecord.zoneList);
    TakeSetGenerators(instrument, bank.ZoneTable[zone]);
    if (!RangesMeet(RangeOf(presetLevel, gen::keyRange), RangeOf(instrument, gen::keyRange)) ||
        !RangesMeet(RangeOf(presetLevel, gen::velRange), RangeOf(instrument, gen::velRange)))
        return instrument;

    const GeneratorSet own = instrument;
    for (int number : {gen::reverbEffectsSend, gen::chorusEffectsSend}) {
        const int zoneValue = own.IsSet(number) ? own.generators[number] : 0;
        instrument.generators[number] = static_cast<int16_t>(
            std::clamp(zoneValue + PresetValue(presetLevel, number), 0, static_cast<int>(kMaxSend)));
    }
    // A zone without a cutoff under a preset without one has no filter at all: leaving it at 20000 Hz would
    // show a filter where none is.
    const bool anyCutoff = own.IsSet(gen::initialFilterFc) || presetLevel.IsSet(gen::initialFilterFc);
    const double zoneHertz = own.IsSet(gen::initialFilterFc)
                                 ? std::pow(2.0, (own.generators[gen::initialFilterFc] + 3638.0) / 1200.0)
                                 : kHighestCutoff;
    const double hertz =
        std::clamp(zoneHertz * std::pow(2.0, PresetValue(presetLevel, gen::initialFilterFc) / 1200.0),
                   static_cast<double>(kLowestCutoff), static_cast<double>(kHighestCutoff));
    if (anyCutoff)
        instrument.generators[gen::initialFilterFc] = CentsOfHertz(hertz);
    for (int number : {gen::reverbEffectsSend, gen::chorusEffectsSend, gen::initialFilterFc})
        if (instrument.generators[number] != own.generators[number])
            instrument.generatorSet[number] = 1;
    return instrument;
}

} // namespace quorvane
