#include "EditOptions.h"

#include <cmath>
#include <cstdlib>

#include "convert/PresetEdits.h"

namespace quorvane::cli {

namespace {

// A whole decimal number, optionally signed; nothing else in the text.
bool ParseInteger(const std::string& text, long& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0' && text.find_first_of(" \t") == std::string::npos;
}

struct SlotValue {
    unsigned slot = 0;
    std::string value;
};

bool SplitSlot(const std::string& option, const std::string& text, SlotValue& out, std::string& error) {
    const size_t equals = text.find('=');
    long slot = 0;
    if (equals == std::string::npos || !ParseInteger(text.substr(0, equals), slot) || slot < 1 ||
        slot > 0xFFFF) {
        error = option + " " + text + ": expected SLOT=VALUE with a preset slot from 1";
        return false;
    }
    out.slot = static_cast<unsigned>(slot);
    out.value = text.substr(equals + 1);
    return true;
}

bool AddSlotEdits(const std::string& option, const std::vector<std::string>& texts, const char* verb,
                  int (*read)(const std::string&, bool&), EditSet& edits, std::string& error) {
    for (const std::string& text : texts) {
        SlotValue item;
        if (!SplitSlot(option, text, item, error))
            return false;
        bool ok = false;
        const int value = read(item.value, ok);
        const std::string problem = ok ? PresetEditProblem(verb, value) : "is not a number";
        if (!problem.empty()) {
            error.assign(option).append(" ").append(text).append(": the value ").append(problem);
            return false;
        }
        AddPresetEdit(edits, item.slot, verb, value);
    }
    return true;
}

int ReadNumber(const std::string& text, bool& ok) {
    long value = 0;
    ok = ParseInteger(text, value) && value >= INT16_MIN && value <= INT16_MAX;
    return static_cast<int>(value);
}

int ReadOnOff(const std::string& text, bool& ok) {
    ok = text == "on" || text == "off";
    return text == "on" ? 1 : 0;
}

// A send in percent with at most one decimal place, as tenths.
bool ReadPercent(const std::string& option, const std::string& text, uint16_t& tenths, std::string& error) {
    char* end = nullptr;
    const double percent = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(percent >= 0.0 && percent <= 100.0)) {
        error = option + " " + text + ": expected a percentage from 0 to 100";
        return false;
    }
    tenths = static_cast<uint16_t>(std::lround(percent * 10.0));
    return true;
}

} // namespace

bool CollectEdits(const EditOptions& options, EditSet& edits, std::string& error) {
    if (!AddSlotEdits("--program", options.program, "PROG", ReadNumber, edits, error) ||
        !AddSlotEdits("--bank", options.bank, "BANK", ReadNumber, edits, error) ||
        !AddSlotEdits("--drum", options.drum, "DRUM", ReadOnOff, edits, error) ||
        !AddSlotEdits("--move-zones", options.moveZones, "MOVZ", ReadNumber, edits, error))
        return false;
    ParameterValues& bank = edits.bankValues;
    if (!options.reverb.empty()) {
        if (!ReadPercent("--reverb", options.reverb, bank.reverb, error))
            return false;
        bank.reverbChanged = true;
    }
    if (!options.chorus.empty()) {
        if (!ReadPercent("--chorus", options.chorus, bank.chorus, error))
            return false;
        bank.chorusChanged = true;
    }
    if (!options.cutoff.empty()) {
        long hertz = 0;
        if (options.cutoff == "off") {
            bank.filterOn = false;
        } else if (ParseInteger(options.cutoff, hertz) && hertz >= kLowestCutoff && hertz <= kHighestCutoff) {
            bank.filterOn = true;
            bank.cutoff = static_cast<uint16_t>(hertz);
        } else {
            error = "--cutoff " + options.cutoff + ": expected a cutoff from 20 to 20000 Hz, or off";
            return false;
        }
        bank.filterChanged = true;
    }
    return true;
}

} // namespace quorvane::cli
