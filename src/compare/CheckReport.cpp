#include "compare/CheckReport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>

#include "core/StringPrintf.h"

namespace quorvane {

namespace {

using P = VoiceParameter;

const char* UnitName(ValueUnit unit) {
    switch (unit) {
    case ValueUnit::Frames:
        return "frames";
    case ValueUnit::Keys:
        return "keys";
    case ValueUnit::Velocity:
        return "velocity";
    case ValueUnit::Cents:
        return "cents";
    case ValueUnit::CentsPerKey:
        return "cents per key";
    case ValueUnit::AbsoluteCents:
        return "absolute cents";
    case ValueUnit::Timecents:
        return "timecents";
    case ValueUnit::TimecentsPerKey:
        return "timecents per key";
    case ValueUnit::Centibels:
        return "centibels";
    case ValueUnit::PerMille:
        return "per mille";
    case ValueUnit::LoopMode:
        return "loop mode";
    case ValueUnit::Number:
        return "number";
    case ValueUnit::Text:
        return "text";
    }
    return "";
}

// Parameters whose numbers alone say too little: their detail tells what happened.
bool DetailOnly(P parameter) {
    return parameter == P::SampleFrames || parameter == P::Voices || parameter == P::Name ||
           parameter == P::Modulators;
}

std::string SizeText(const Difference& d) {
    if (DetailOnly(d.parameter))
        return d.detail;
    std::string text = ShowDifference(d.parameter, d.sourceValue, d.outputValue) + " (" +
                       ShowValue(d.parameter, d.sourceValue) + " -> " +
                       ShowValue(d.parameter, d.outputValue) + ")";
    // A rendered level says what it was measured on; a value the output has no place for says why.
    if (!d.detail.empty() && (d.parameter == P::RenderedLevel || !d.representable))
        text += "; " + d.detail;
    if (d.parameter == P::KeyRange || d.parameter == P::VelocityRange)
        text = StringPrintf("%s; %s", ShowDifference(d.parameter, d.sourceValue, d.outputValue).c_str(),
                            d.detail.c_str());
    return text;
}

std::string WhereText(const Difference& d) {
    if (d.key < 0)
        return "";
    return d.velocity < 0 ? StringPrintf(" at key %d", d.key)
                          : StringPrintf(" at key %d velocity %d", d.key, d.velocity);
}

bool Rendered(P parameter) {
    return parameter == P::RenderedLevel || parameter == P::RenderedPitch || parameter == P::RenderedLength;
}

std::string CountText(const Difference& d, bool totals) {
    std::string text = totals ? StringPrintf("%u preset%s, ", d.presets, d.presets == 1 ? "" : "s") : "";
    const char* what = Rendered(d.parameter) ? "note" : "voice";
    return text + StringPrintf("%u %s%s", d.voices, what, d.voices == 1 ? "" : "s");
}

std::string DifferenceLine(const Difference& d, bool totals) {
    const bool numeric = !DetailOnly(d.parameter) && d.parameter != P::KeyRange &&
                         d.parameter != P::VelocityRange && InfoOf(d.parameter).unit != ValueUnit::Number &&
                         InfoOf(d.parameter).unit != ValueUnit::LoopMode;
    const std::string tolerance = numeric ? " [tolerance " + ShowTolerance(d.parameter) + "]" : "";
    return StringPrintf("  %-36s %-22s %s%s%s\n", InfoOf(d.parameter).name, CountText(d, totals).c_str(),
                        SizeText(d).c_str(), WhereText(d).c_str(), tolerance.c_str());
}

// A preset's heading and the differences the output could have kept.
std::string PresetChangesText(const PresetCheck& p) {
    std::string text = StringPrintf("%s %s (%s, %u voice%s):\n", p.bankText.c_str(), p.name.c_str(),
                                    OutcomeName(p.outcome), p.voices, p.voices == 1 ? "" : "s");
    for (const Difference& d : p.differences)
        if (d.representable)
            text += DifferenceLine(d, false);
    return text;
}

std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

nlohmann::ordered_json DifferenceJson(const Difference& d, bool totals) {
    const ParameterInfo& info = InfoOf(d.parameter);
    nlohmann::ordered_json j;
    j["parameter"] = info.key;
    j["name"] = info.name;
    j["representable"] = d.representable;
    if (totals)
        j["presets"] = d.presets;
    j["voices"] = d.voices;
    j["unit"] = UnitName(info.unit);
    j["source"] = d.sourceValue;
    j["output"] = d.outputValue;
    j["difference"] = d.Size();
    j["tolerance"] = info.tolerance;
    j["shown"] = SizeText(d);
    if (d.key >= 0)
        j["key"] = d.key;
    if (d.velocity >= 0)
        j["velocity"] = d.velocity;
    if (!d.detail.empty())
        j["detail"] = d.detail;
    return j;
}

} // namespace

const char* OutcomeName(PresetOutcome outcome) {
    switch (outcome) {
    case PresetOutcome::Identical:
        return "identical";
    case PresetOutcome::Changed:
        return "changed";
    case PresetOutcome::Lost:
        return "lost";
    case PresetOutcome::Missing:
        return "missing";
    }
    return "?";
}

uint32_t CheckReport::Count(PresetOutcome outcome) const {
    return static_cast<uint32_t>(std::count_if(presets.begin(), presets.end(),
                                               [&](const PresetCheck& p) { return p.outcome == outcome; }));
}

bool CheckReport::HasDifferences() const {
    return Count(PresetOutcome::Identical) != presets.size() || !extraPresets.empty();
}

std::vector<Difference> CheckReport::Totals(bool representable) const {
    std::vector<std::optional<Difference>> sums(kParameterCount);
    for (const PresetCheck& preset : presets) {
        for (const Difference& d : preset.differences) {
            if (d.representable != representable)
                continue;
            std::optional<Difference>& sum = sums[static_cast<size_t>(d.parameter)];
            if (!sum) {
                sum = d;
                sum->presets = 0;
                sum->voices = 0;
            } else if (std::llabs(d.Size()) > std::llabs(sum->Size())) {
                const uint32_t presetsSoFar = sum->presets, voicesSoFar = sum->voices;
                sum = d;
                sum->presets = presetsSoFar;
                sum->voices = voicesSoFar;
            }
            sum->presets += 1;
            sum->voices += d.voices;
        }
    }
    std::vector<Difference> totals;
    for (const auto& sum : sums)
        if (sum)
            totals.push_back(*sum);
    return totals;
}

std::string ReportSummaryText(const CheckReport& report) {
    std::string text =
        StringPrintf("%zu preset%s checked: %u identical, %u changed, %u lost, %u missing",
                     report.presets.size(), report.presets.size() == 1 ? "" : "s",
                     report.Count(PresetOutcome::Identical), report.Count(PresetOutcome::Changed),
                     report.Count(PresetOutcome::Lost), report.Count(PresetOutcome::Missing));
    if (!report.extraPresets.empty())
        text += StringPrintf("; %zu preset(s) only in the output", report.extraPresets.size());
    text += "\n";
    const std::vector<Difference> changed = report.Totals(true);
    if (!changed.empty()) {
        text += "Changed beyond tolerance:\n";
        for (const Difference& d : changed)
            text += DifferenceLine(d, true);
    }
    const std::vector<Difference> lost = report.Totals(false);
    if (!lost.empty()) {
        text += StringPrintf("Not representable in %s:\n", BankKindName(report.outputKind));
        for (const Difference& d : lost)
            text += DifferenceLine(d, true);
    }
    return text;
}

std::string ReportText(const CheckReport& report) {
    std::string text = ReportFilesText(report) + "\n";
    for (const PresetCheck& p : report.presets)
        text += PresetSummaryLine(report, p) + "\n";
    for (const std::string& extra : report.extraPresets)
        text += StringPrintf("%-10s %s\n", "extra", extra.c_str());
    if (report.notesRendered != 0)
        text += StringPrintf("\nRendered through FluidSynth: %u notes on each side.\n", report.notesRendered);
    for (const std::string& note : report.renderNotes)
        text += note + "\n";
    text += "\n" + ReportSummaryText(report);
    for (const PresetCheck& p : report.presets) {
        const bool any = std::any_of(p.differences.begin(), p.differences.end(),
                                     [](const Difference& d) { return d.representable; });
        if (!any)
            continue;
        text += "\n" + PresetChangesText(p);
    }
    return text;
}

std::string ReportFilesText(const CheckReport& report) {
    std::string text =
        StringPrintf("Source: %s (%s)\n", report.sourcePath.c_str(), report.sourceFormat.c_str());
    for (const std::string& path : report.outputPaths)
        text += StringPrintf("Output: %s (%s)\n", path.c_str(), BankKindName(report.outputKind));
    return text;
}

std::string PresetSummaryLine(const CheckReport& report, const PresetCheck& p) {
    std::string where;
    if (!p.outputFile.empty() && report.outputPaths.size() > 1)
        where = StringPrintf("  [%s preset %u]", FileName(p.outputFile).c_str(), p.outputSlot);
    return StringPrintf("%-10s %s  %s%s", OutcomeName(p.outcome), p.bankText.c_str(), p.name.c_str(),
                        where.c_str());
}

std::string PresetReportText(const CheckReport& report, const PresetCheck& p) {
    std::string text = PresetChangesText(p);
    bool heading = false;
    for (const Difference& d : p.differences) {
        if (d.representable)
            continue;
        if (!heading)
            text += StringPrintf("Not representable in %s:\n", BankKindName(report.outputKind));
        heading = true;
        text += DifferenceLine(d, false);
    }
    return text;
}

const PresetCheck* PresetCheckOf(const CheckReport& report, uint32_t slot) {
    for (const PresetCheck& p : report.presets)
        if (p.sourceSlot == slot)
            return &p;
    return nullptr;
}

std::string ReportJson(const CheckReport& report) {
    nlohmann::ordered_json j;
    j["source"] = report.sourcePath;
    j["sourceFormat"] = report.sourceFormat;
    j["outputs"] = report.outputPaths;
    j["outputFormat"] = BankKindName(report.outputKind);
    j["differences"] = report.HasDifferences();
    j["summary"] = {{"presets", report.presets.size()},
                    {"identical", report.Count(PresetOutcome::Identical)},
                    {"changed", report.Count(PresetOutcome::Changed)},
                    {"lost", report.Count(PresetOutcome::Lost)},
                    {"missing", report.Count(PresetOutcome::Missing)},
                    {"onlyInOutput", report.extraPresets.size()},
                    {"samplesRead", report.samplesRead}};
    nlohmann::ordered_json changed = nlohmann::ordered_json::array();
    for (const Difference& d : report.Totals(true))
        changed.push_back(DifferenceJson(d, true));
    j["changed"] = changed;
    nlohmann::ordered_json lost = nlohmann::ordered_json::array();
    for (const Difference& d : report.Totals(false))
        lost.push_back(DifferenceJson(d, true));
    j["notRepresentable"] = lost;
    nlohmann::ordered_json presets = nlohmann::ordered_json::array();
    for (const PresetCheck& p : report.presets) {
        nlohmann::ordered_json item;
        item["slot"] = p.sourceSlot;
        item["bank"] = p.bankText;
        item["name"] = p.name;
        item["outcome"] = OutcomeName(p.outcome);
        item["voices"] = p.voices;
        if (!p.outputFile.empty())
            item["output"] = {{"file", p.outputFile}, {"slot", p.outputSlot}};
        nlohmann::ordered_json differences = nlohmann::ordered_json::array();
        for (const Difference& d : p.differences)
            differences.push_back(DifferenceJson(d, false));
        item["differences"] = differences;
        presets.push_back(item);
    }
    j["presets"] = presets;
    if (report.notesRendered != 0)
        j["render"] = {{"notes", report.notesRendered}, {"remarks", report.renderNotes}};
    j["onlyInOutput"] = report.extraPresets;
    return j.dump(1);
}

} // namespace quorvane
