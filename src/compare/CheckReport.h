// What a check found: for every preset of the source, its counterpart in the output and how it differs,
// parameter by parameter; and the report as text for a person or as JSON.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compare/VoiceParameters.h"

namespace quorvane {

enum class PresetOutcome : uint8_t {
    Identical, // every voice sounds as in the source, within the tolerances
    Changed,   // the preset is there and sounds, with differences
    Lost,      // the preset is there but none of the source's voices sound in it
    Missing,   // no preset of the output answers to its bank, program or name
};
const char* OutcomeName(PresetOutcome outcome);

// One parameter's differences within a preset (or, summed up, within the bank).
struct Difference {
    VoiceParameter parameter = VoiceParameter::Voices;
    uint32_t voices = 0;  // source voices concerned (for preset parameters: 1)
    uint32_t presets = 0; // presets concerned (filled when summed up over the bank)
    // The largest difference met, as the values on either side and where: the key and the lowest velocity
    // of the band it was met in (-1 when it concerns no key).
    int64_t sourceValue = 0;
    int64_t outputValue = 0;
    int key = -1;
    int velocity = -1;
    std::string detail;        // what the numbers alone do not say (frames, ranges, names)
    bool representable = true; // false: the output format cannot hold it
    int64_t Size() const { return outputValue - sourceValue; }
};

struct PresetCheck {
    uint32_t sourceSlot = 0;
    std::string name;
    std::string bankText; // "bank:program", drum presets "128:program"
    uint32_t voices = 0;  // voices of the source preset
    PresetOutcome outcome = PresetOutcome::Missing;
    std::string outputFile; // where its counterpart is; empty when missing
    uint32_t outputSlot = 0;
    std::vector<Difference> differences; // representable differences first, in parameter order
};

struct CheckReport {
    std::string sourcePath;
    std::string sourceFormat;
    std::vector<std::string> outputPaths;
    BankKind outputKind = BankKind::SoundFont2;
    std::vector<PresetCheck> presets;
    // Output presets no source preset answered to ("file: bank:program name").
    std::vector<std::string> extraPresets;
    uint32_t samplesRead = 0;
    // Set by --render: how many notes each side played, and what was played in place of a bank FluidSynth
    // cannot load ("the source was rendered from its SoundFont conversion").
    uint32_t notesRendered = 0;
    std::vector<std::string> renderNotes;
    // The check was stopped before it compared every preset: the report is incomplete.
    bool cancelled = false;

    uint32_t Count(PresetOutcome outcome) const;
    // True when anything the output can hold differs beyond its tolerance, a preset is lost or missing, or
    // the output has presets the source has not.
    bool HasDifferences() const;
    // Every parameter's differences summed up over the presets, in parameter order.
    std::vector<Difference> Totals(bool representable) const;
};

// The full report for a person: the summary line per preset, the totals per parameter, then each preset's
// differences.
std::string ReportText(const CheckReport& report);
// The summary alone: one line of counts and the totals per parameter.
std::string ReportSummaryText(const CheckReport& report);
std::string ReportJson(const CheckReport& report);

// The lines that name the source and the outputs with their formats.
std::string ReportFilesText(const CheckReport& report);
// One preset's summary line, as the full report lists it ("changed    000:001  Strings").
std::string PresetSummaryLine(const CheckReport& report, const PresetCheck& preset);
// One preset's differences as the full report shows them, followed by what the output format cannot hold
// of it under "Not representable in FORMAT:"; "identical" with its voices when nothing differs.
std::string PresetReportText(const CheckReport& report, const PresetCheck& preset);
// The check of source preset `slot`; nullptr when the report has none.
const PresetCheck* PresetCheckOf(const CheckReport& report, uint32_t slot);

} // namespace quorvane
