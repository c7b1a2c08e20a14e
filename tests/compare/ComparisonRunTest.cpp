// The check as the windows run it: its own copies of the banks on a thread of its own, the outputs a folder
// names, one preset's report and its counterpart, a bank that cannot be read, and a cancel.
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

#include "compare/ComparisonRun.h"
#include "model/Generators.h"
#include "support/CheckBanks.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::SmallCheckBank;

void Wait(ComparisonRun& run) {
    while (run.State() == ComparisonState::Running)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

// The copy's Strings preset is the output's second: a root key off by one.
test::SoundFontBuilder DamagedCopy() {
    test::SoundFontBuilder sf = SmallCheckBank();
    sf.instruments[1].bags[0].generators[0].amount = 61;
    std::swap(sf.presets[0], sf.presets[1]);
    return sf;
}

TEST(ComparisonRun, OnePresetAgainstAFolderWithItsCounterpart) {
    const test::TempDir dir;
    const std::string source = dir.Write("source.sf2", SmallCheckBank().Build());
    const std::string copy = dir.Write("copy.SF2", DamagedCopy().Build());
    dir.Write("notes.txt", {'x'});
    // The folder holds the source too: it is not an output.
    EXPECT_EQ(OutputBankPaths({dir.Folder()}, source), std::vector<std::string>{copy});

    ComparisonRun run({source, {dir.Folder()}, {2}});
    run.Start();
    Wait(run);
    ASSERT_EQ(run.State(), ComparisonState::Finished) << run.Error();
    EXPECT_EQ(run.ProgressPerMille(), 1000);
    const CheckReport& report = run.Report();
    // Only the chosen preset, and the output's others are not "only in the output".
    ASSERT_EQ(report.presets.size(), 1u);
    EXPECT_TRUE(report.extraPresets.empty());
    const PresetCheck* strings = PresetCheckOf(report, 2);
    ASSERT_NE(strings, nullptr);
    EXPECT_EQ(PresetSummaryLine(report, *strings), "changed    000:001  Strings");
    const std::string text = PresetReportText(report, *strings);
    EXPECT_NE(text.find("000:001 Strings (changed, 1 voice):\n  root key"), std::string::npos) << text;
    EXPECT_NE(text.find("+1 key"), std::string::npos) << text;
    EXPECT_EQ(PresetCheckOf(report, 1), nullptr);

    const std::optional<Counterpart> counterpart = run.CounterpartOf(2);
    ASSERT_TRUE(counterpart);
    EXPECT_EQ(counterpart->workspace->bank.PresetTable[counterpart->slot].program, 1);
    EXPECT_NE(counterpart->workspace, &run.SourceBank());
    EXPECT_EQ(run.SourceBank().bank.PresetCount, 2u);
}

TEST(ComparisonRun, AnUnreadableOutputFailsWithItsReason) {
    const test::TempDir dir;
    const std::string source = dir.Write("source.sf2", SmallCheckBank().Build());
    const std::string text =
        dir.Write("text.sf2", {'n', 'o', 't', ' ', 'a', ' ', 'b', 'a', 'n', 'k', '!', '!'});
    const struct {
        std::string output;
        std::string error;
    } table[] = {
        {text, "'" + text + "' is not a bank of a supported type."},
        {dir.Folder() + "absent.sf2", "Cannot open '" + dir.Folder() + "absent.sf2'."},
        {dir.Folder() + "empty/",
         "No output bank to compare with: a folder without bank files, or the source itself."},
    };
    std::filesystem::create_directory(dir.Folder() + "empty");
    for (const auto& row : table) {
        SCOPED_TRACE(row.output);
        ComparisonRun run({source, {row.output}, {}});
        run.Start();
        Wait(run);
        EXPECT_EQ(run.State(), ComparisonState::Failed);
        EXPECT_EQ(run.Error(), row.error);
        EXPECT_TRUE(run.Report().presets.empty());
    }
}

TEST(ComparisonRun, ACancelStopsIt) {
    const test::TempDir dir;
    const std::string source = dir.Write("source.sf2", SmallCheckBank().Build());
    ComparisonRun run({source, {dir.Write("copy.sf2", SmallCheckBank().Build())}, {}});
    run.Cancel();
    run.Start();
    Wait(run);
    EXPECT_EQ(run.State(), ComparisonState::Cancelled);
    EXPECT_TRUE(run.Report().presets.empty());
}

TEST(CheckReport, APresetsReportListsWhatTheOutputCannotHold) {
    CheckReport report;
    report.outputKind = BankKind::GigaSampler;
    PresetCheck preset;
    preset.name = "Pad";
    preset.bankText = "000:004";
    preset.voices = 3;
    preset.outcome = PresetOutcome::Identical;
    Difference lost;
    lost.parameter = VoiceParameter::ModEnvDecay;
    lost.voices = 3;
    lost.representable = false;
    preset.differences.push_back(lost);
    const std::string text = PresetReportText(report, preset);
    EXPECT_EQ(text.rfind("000:004 Pad (identical, 3 voices):\nNot representable in GigaSampler:\n  ", 0), 0u)
        << text;
    EXPECT_NE(text.find("3 voices"), std::string::npos);
}

} // namespace
} // namespace quorvane
