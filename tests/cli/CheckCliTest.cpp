// `quorvane-cli check` and `convert --check` as a user runs them: exit statuses, the JSON report, and what
// a SoundFont to GigaSampler conversion of TimGM6mb cannot hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "model/Generators.h"
#include "support/Peers.h"
#include "support/RunProcess.h"
#include "support/SoundFontBuilder.h"
#include "support/TempDir.h"

namespace quorvane::test {
namespace {

ProcessResult Cli(const std::vector<std::string>& args) {
    return RunProcess(QUORVANE_CLI_PATH, args);
}

Bytes TwoPresetBank(int16_t release) {
    SoundFontBuilder sf;
    const uint16_t a = sf.AddSample("A", 1000);
    const uint16_t b = sf.AddSample("B", 1200);
    sf.instruments = {
        {.name = "I",
         .bags = {Gens({{gen::releaseVolEnv, static_cast<uint16_t>(release)}, {gen::sampleID, a}})}},
        {.name = "J", .bags = {Gens({{gen::sampleID, b}})}}};
    sf.presets = {{.name = "One", .program = 0, .bags = {Gens({{gen::instrument, 0}})}},
                  {.name = "Two", .program = 1, .bags = {Gens({{gen::instrument, 1}})}}};
    return sf.Build();
}

TEST(CheckCli, ExitStatusSaysWhetherTheOutputDiffers) {
    const TempDir dir;
    const std::string source = dir.Write("source.sf2", TwoPresetBank(0));
    const std::string copy = dir.Write("copy.sf2", TwoPresetBank(0));
    const std::string damaged = dir.Write("damaged.sf2", TwoPresetBank(-1200));
    const std::string text =
        dir.Write("notes.sf2", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'});

    const ProcessResult same = Cli({"check", source, copy});
    EXPECT_EQ(same.exitStatus, 0) << same.err;
    EXPECT_NE(same.out.find("identical  000:000  One"), std::string::npos) << same.out;
    EXPECT_NE(same.out.find("2 presets checked: 2 identical, 0 changed, 0 lost, 0 missing"),
              std::string::npos)
        << same.out;

    const ProcessResult differs = Cli({"check", "--json", source, damaged});
    EXPECT_EQ(differs.exitStatus, 5) << differs.err;
    const nlohmann::json report = nlohmann::json::parse(differs.out);
    EXPECT_EQ(report["summary"]["changed"], 1);
    ASSERT_EQ(report["changed"].size(), 1u);
    EXPECT_EQ(report["changed"][0]["parameter"], "volEnvRelease");
    EXPECT_EQ(report["changed"][0]["difference"], -1200);
    EXPECT_EQ(report["presets"][0]["outcome"], "changed");

    EXPECT_EQ(Cli({"check", source, (dir.Path() / "absent.sf2").string()}).exitStatus, 2);
    EXPECT_EQ(Cli({"check", text, copy}).exitStatus, 3);
    // A folder of outputs is read whole, the source lying in it left out.
    std::filesystem::create_directory(dir.Path() / "pair");
    const std::string inPair = (dir.Path() / "pair" / "source.sf2").string();
    std::filesystem::copy_file(source, inPair);
    std::filesystem::copy_file(damaged, dir.Path() / "pair" / "damaged.sf2");
    const ProcessResult folder = Cli({"check", inPair, (dir.Path() / "pair").string()});
    EXPECT_EQ(folder.exitStatus, 5) << folder.err;
    EXPECT_NE(folder.out.find("1 identical, 1 changed"), std::string::npos) << folder.out;
}

TEST(CheckCli, ConvertCheckPrintsTheSummary) {
    const TempDir dir;
    const std::string source = dir.Write("source.sf2", TwoPresetBank(0));
    const ProcessResult run = Cli({"convert", "--check", "-o", (dir.Path() / "out.sf2").string(), source});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("Check: 2 presets checked: 2 identical"), std::string::npos) << run.out;

    const ProcessResult one =
        Cli({"convert", "--check", "--preset", "2", "-o", (dir.Path() / "two.sf2").string(), source});
    EXPECT_EQ(one.exitStatus, 0) << one.err;
    EXPECT_NE(one.out.find("Check: 1 preset checked: 1 identical"), std::string::npos) << one.out;

    // SFZ instruments have no bank or program number: their names find them.
    const ProcessResult sfz =
        Cli({"convert", "--check", "--to", "sfz", "-o", (dir.Path() / "sfz").string(), source});
    EXPECT_EQ(sfz.exitStatus, 0) << sfz.err;
    EXPECT_NE(sfz.out.find("Check: 2 presets checked: 2 identical"), std::string::npos) << sfz.out;
    const ProcessResult report = Cli({"check", "--json", source, (dir.Path() / "sfz").string()});
    const nlohmann::json json = nlohmann::json::parse(report.out);
    EXPECT_EQ(json["outputFormat"], "SFZ");
    EXPECT_EQ(json["summary"]["identical"], 2) << report.out;
}

// What a GigaSampler file has only part of a place for comes back as near as the format allows, and the
// check lists it as not representable, saying why, rather than as changed: a scale tuning of 10 cents a key
// plays without pitch tracking, a filter at 7000 Hz is on at the highest cutoff (6170 Hz), and a hold is
// written into the decay, which then is not compared.
TEST(CheckCli, GigaSamplerHoldsWhatItCanOfScaleTuningCutoffAndHold) {
    SoundFontBuilder sf;
    const uint16_t sample = sf.AddSample("A", 1000);
    const std::vector<std::pair<const char*, std::vector<Generator>>> zones = {
        {"Tracked", {{gen::scaleTuning, 10}}},
        {"Bright", {{gen::initialFilterFc, 11690}}},
        {"Held", {{gen::holdVolEnv, 1200}, {gen::decayVolEnv, 0}, {gen::sustainVolEnv, 300}}},
    };
    for (const auto& [name, generators] : zones) {
        std::vector<Generator> gens = generators;
        gens.push_back({gen::sampleID, sample});
        sf.instruments.push_back({.name = name, .bags = {Bag{.generators = gens}}});
        sf.presets.push_back({.name = name,
                              .program = static_cast<uint16_t>(sf.presets.size()),
                              .bags = {Gens({{gen::instrument, static_cast<uint16_t>(sf.presets.size())}})}});
    }
    const TempDir dir;
    const std::string source = dir.Write("source.sf2", sf.Build());
    const std::string output = (dir.Path() / "out.gig").string();
    const ProcessResult convert = Cli({"convert", "--to", "gig", "-o", output, source});
    ASSERT_EQ(convert.exitStatus, 0) << convert.err;
    const ProcessResult check = Cli({"check", "--json", source, output});
    const nlohmann::json report = nlohmann::json::parse(check.out);
    EXPECT_EQ(check.exitStatus, 0) << report["changed"].dump(1);
    EXPECT_EQ(report["summary"]["identical"], 3) << report.dump(1);
    const struct {
        const char* parameter;
        int source, output;
        const char* detail;
    } expected[] = {
        {"scaleTuning", 10, 0, "pitch tracking is on or off only"},
        {"filterCutoff", 11690, 11471, "the highest cutoff of a filter that is on is 6170 Hz"},
        {"volEnvHold", 1200, -12000, "written into the decay"},
    };
    ASSERT_EQ(report["notRepresentable"].size(), std::size(expected)) << report["notRepresentable"].dump(1);
    for (const auto& row : expected) {
        SCOPED_TRACE(row.parameter);
        const auto found =
            std::find_if(report["notRepresentable"].begin(), report["notRepresentable"].end(),
                         [&](const nlohmann::json& d) { return d["parameter"] == row.parameter; });
        ASSERT_NE(found, report["notRepresentable"].end());
        EXPECT_EQ((*found)["source"], row.source);
        EXPECT_EQ((*found)["output"], row.output);
        EXPECT_EQ((*found)["detail"], row.detail);
    }
}

// TimGM6mb written as GigaSampler: what the check lists as not representable is exactly what the bank uses
// that a GigaSampler file has no place for.
TEST(CheckCli, TimGM6mbToGigaSamplerListsWhatTheFormatCannotHold) {
    REQUIRE_PEER(std::filesystem::exists(kTimGM6mbPath), "TimGM6mb.sf2 (timgm6mb-soundfont) is missing");
    const TempDir dir;
    const ProcessResult convert =
        Cli({"convert", "--to", "gig", "-o", (dir.Path() / "TimGM6mb.gig").string(), kTimGM6mbPath});
    ASSERT_EQ(convert.exitStatus, 0) << convert.err;
    const ProcessResult check = Cli({"check", "--json", kTimGM6mbPath, dir.Path().string()});
    ASSERT_TRUE(check.exitStatus == 0 || check.exitStatus == 5) << check.err;
    const nlohmann::json report = nlohmann::json::parse(check.out);
    EXPECT_EQ(report["outputFormat"], "GigaSampler");
    EXPECT_EQ(report["summary"]["missing"], 0);
    EXPECT_EQ(report["summary"]["lost"], 0);
    std::set<std::string> lost;
    for (const auto& d : report["notRepresentable"])
        lost.insert(d["parameter"].get<std::string>());
    // TimGM6mb's scale tunings between none and a semitone, cutoffs above GigaSampler's highest, delays and
    // hold stages, key-scaled decay, the modulation envelope on the filter and beyond its attack, the mod LFO
    // on pitch, its sends, exclusive classes (hi-hats) and modulators.
    const std::set<std::string> expected = {
        "scaleTuning",    "filterCutoff",  "volEnvDelay",   "volEnvHold",    "keyToVolEnvDecay",
        "modEnvHold",     "modEnvDecay",   "modEnvSustain", "modEnvRelease", "modEnvToFilterFc",
        "modLfoDelay",    "modLfoToPitch", "vibLfoDelay",   "reverbSend",    "chorusSend",
        "exclusiveClass", "modulators"};
    EXPECT_EQ(lost, expected) << report["notRepresentable"].dump(1);
    // What the GigaSampler writer can carry comes back: LFO depths of either sign, vibratos, pitch tracking,
    // and decays no hold was written into.
    std::set<std::string> changed;
    for (const auto& d : report["changed"])
        changed.insert(d["parameter"].get<std::string>());
    for (const char* kept :
         {"modLfoToVolume", "modLfoToFilterFc", "vibLfoToPitch", "scaleTuning", "volEnvDecay"})
        EXPECT_EQ(changed.count(kept), 0u) << kept << ": " << report["changed"].dump(1);
}

} // namespace
} // namespace quorvane::test
