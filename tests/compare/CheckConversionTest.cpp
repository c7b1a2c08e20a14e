// The check of a conversion against deliberate damage: a copy of a small bank with one thing changed is
// reported with the right parameter, the right number of voices and the right size; an unchanged copy is
// identical.
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "compare/BankComparison.h"
#include "compare/PresetRender.h"
#include "convert/BankLoader.h"
#include "model/Generators.h"
#include "support/CheckBanks.h"
#include "support/SoundFontBuilder.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::Gens;
using test::Range;
using test::SoundFontBuilder;
using P = VoiceParameter;

struct Loaded {
    NullHost host;
    Workspace workspace{host};
    std::string path;
};

std::unique_ptr<Loaded> Load(const std::string& path) {
    auto loaded = std::make_unique<Loaded>();
    loaded->path = path;
    EXPECT_EQ(LoadBank(loaded->workspace, path).status, LoadStatus::Loaded) << path;
    return loaded;
}

// The check, and with `render` FluidSynth's hearing of both banks added.
CheckReport Check(const std::string& source, const std::vector<std::string>& outputs, bool render = false) {
    const std::unique_ptr<Loaded> s = Load(source);
    std::vector<std::unique_ptr<Loaded>> o;
    std::vector<CheckedBank> checked;
    std::vector<RenderSide> sides;
    for (const std::string& path : outputs) {
        o.push_back(Load(path));
        checked.push_back(CheckedBank{&o.back()->workspace, path});
        sides.push_back(RenderSide{&o.back()->workspace.bank, path});
    }
    CheckReport report = CheckConversion(CheckedBank{&s->workspace, source}, checked, {});
    if (render) {
        std::vector<std::string> errors;
        report.notesRendered = AddRenders(report, RenderSide{&s->workspace.bank, source}, sides, errors);
        EXPECT_TRUE(errors.empty()) << errors[0];
    }
    return report;
}

SoundFontBuilder SmallBank() {
    return test::SmallCheckBank();
}

const PresetCheck& PresetNamed(const CheckReport& report, const std::string& name) {
    for (const PresetCheck& p : report.presets)
        if (p.name == name)
            return p;
    static const PresetCheck none;
    ADD_FAILURE() << "no preset " << name;
    return none;
}

TEST(CheckConversion, WholeCopyIsIdentical) {
    const test::TempDir dir;
    const test::Bytes bank = SmallBank().Build();
    const CheckReport report = Check(dir.Write("a.sf2", bank), {dir.Write("b.sf2", bank)});
    ASSERT_EQ(report.presets.size(), 2u);
    for (const PresetCheck& p : report.presets) {
        EXPECT_EQ(p.outcome, PresetOutcome::Identical) << p.name;
        EXPECT_TRUE(p.differences.empty()) << p.name;
    }
    EXPECT_FALSE(report.HasDifferences());
    EXPECT_EQ(report.samplesRead, 6u);
}

struct Damage {
    const char* what;
    std::function<void(SoundFontBuilder&)> apply;
    const char* preset;
    PresetOutcome outcome;
    P parameter;
    uint32_t voices;
    int64_t size; // output value less source value
};

TEST(CheckConversion, DamageIsReportedWithItsParameterAndSize) {
    const Damage table[] = {
        {"preset removed", [](SoundFontBuilder& sf) { sf.presets.pop_back(); }, "Strings",
         PresetOutcome::Missing, P::Voices, 0, 0},
        {"loop moved", [](SoundFontBuilder& sf) { sf.samples[0].loopStart += 10; }, "Piano",
         PresetOutcome::Changed, P::LoopStart, 1, 10},
        {"root key off by one",
         [](SoundFontBuilder& sf) { sf.instruments[1].bags[0].generators[0].amount = 61; }, "Strings",
         PresetOutcome::Changed, P::RootKey, 1, 1},
        {"velocity layer dropped", [](SoundFontBuilder& sf) { sf.instruments[0].bags.pop_back(); }, "Piano",
         PresetOutcome::Changed, P::Voices, 1, -1},
        {"sample frames changed",
         [](SoundFontBuilder& sf) { sf.sampleWords[sf.samples[2].start + 100] += 7; }, "Strings",
         PresetOutcome::Changed, P::SampleFrames, 1, 0},
        {"envelope halved",
         [](SoundFontBuilder& sf) {
             sf.instruments[0].bags[0].generators[1].amount = static_cast<uint16_t>(-1200);
         },
         "Piano", PresetOutcome::Changed, P::VolEnvRelease, 1, -1200},
        {"bank number changed", [](SoundFontBuilder& sf) { sf.presets[1].bank = 1; }, "Strings",
         PresetOutcome::Changed, P::Bank, 1, 1},
    };
    for (const Damage& row : table) {
        SCOPED_TRACE(row.what);
        const test::TempDir dir;
        SoundFontBuilder damaged = SmallBank();
        row.apply(damaged);
        const CheckReport report =
            Check(dir.Write("source.sf2", SmallBank().Build()), {dir.Write("copy.sf2", damaged.Build())});
        EXPECT_TRUE(report.HasDifferences());
        for (const PresetCheck& p : report.presets) {
            if (p.name != row.preset) {
                EXPECT_EQ(p.outcome, PresetOutcome::Identical) << p.name;
                continue;
            }
            EXPECT_EQ(p.outcome, row.outcome);
            if (row.outcome == PresetOutcome::Missing) {
                EXPECT_TRUE(p.differences.empty());
                continue;
            }
            ASSERT_EQ(p.differences.size(), 1u) << InfoOf(p.differences[0].parameter).name;
            const Difference& d = p.differences[0];
            EXPECT_EQ(d.parameter, row.parameter) << InfoOf(d.parameter).name;
            EXPECT_EQ(d.voices, row.voices);
            EXPECT_EQ(d.Size(), row.size) << d.detail;
            EXPECT_TRUE(d.representable);
        }
    }
}

// Stages of 1 ms and under are heard as instant: SoundFont's shortest (2^-10 s), 1 ms and SFZ's 0 s are the
// same, while 2 ms against 1 ms is a change.
TEST(CheckConversion, TimesUpToAMillisecondAreTheSame) {
    const struct {
        int16_t source, copy;
        bool changed;
    } table[] = {{-11960, -12000, false}, {-12000, -11960, false}, {-11960, -10760, true}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.copy);
        const test::TempDir dir;
        auto withAttack = [](int16_t attack) {
            SoundFontBuilder sf = SmallBank();
            sf.instruments[1].bags[0].generators.insert(sf.instruments[1].bags[0].generators.begin(),
                                                        {gen::attackVolEnv, static_cast<uint16_t>(attack)});
            return sf.Build();
        };
        const CheckReport report = Check(dir.Write("source.sf2", withAttack(row.source)),
                                         {dir.Write("copy.sf2", withAttack(row.copy))});
        const PresetCheck& strings = PresetNamed(report, "Strings");
        EXPECT_EQ(strings.outcome, row.changed ? PresetOutcome::Changed : PresetOutcome::Identical);
        if (row.changed) {
            ASSERT_EQ(strings.differences.size(), 1u);
            EXPECT_EQ(strings.differences[0].parameter, P::VolEnvAttack);
        }
    }
}

TEST(CheckConversion, ChangedFramesSayHowManyDiffer) {
    const test::TempDir dir;
    SoundFontBuilder damaged = SmallBank();
    for (uint32_t i = 0; i < 5; ++i)
        damaged.sampleWords[damaged.samples[2].start + 100 + i] += 300;
    const CheckReport report =
        Check(dir.Write("source.sf2", SmallBank().Build()), {dir.Write("copy.sf2", damaged.Build())});
    const PresetCheck& strings = PresetNamed(report, "Strings");
    ASSERT_EQ(strings.differences.size(), 1u);
    EXPECT_EQ(strings.differences[0].detail, "'Pad' -> 'Pad': 5 of 3000 frames differ (by up to 300)");
}

TEST(CheckConversion, KeyRangeNarrowedAndPresetOnlyInOutput) {
    const test::TempDir dir;
    SoundFontBuilder damaged = SmallBank();
    damaged.instruments[1].bags[0].generators.insert(damaged.instruments[1].bags[0].generators.begin(),
                                                     {gen::keyRange, Range(0, 59)});
    damaged.presets.push_back({.name = "Extra", .program = 5, .bags = {Gens({{gen::instrument, 1}})}});
    const CheckReport report =
        Check(dir.Write("source.sf2", SmallBank().Build()), {dir.Write("copy.sf2", damaged.Build())});
    const PresetCheck& strings = PresetNamed(report, "Strings");
    ASSERT_EQ(strings.differences.size(), 1u);
    EXPECT_EQ(strings.differences[0].parameter, P::KeyRange);
    EXPECT_EQ(strings.differences[0].Size(), -68);
    ASSERT_EQ(report.extraPresets.size(), 1u);
    EXPECT_NE(report.extraPresets[0].find("000:005 Extra"), std::string::npos);
}

// FluidSynth plays both banks: an unchanged copy sounds the same, a preset that plays nothing in the
// output is heard as silent.
TEST(CheckConversion, RenderHearsASilentPreset) {
    const test::TempDir dir;
    const std::string source = dir.Write("source.sf2", SmallBank().Build());
    const CheckReport same = Check(source, {dir.Write("copy.sf2", SmallBank().Build())}, true);
    EXPECT_GT(same.notesRendered, 0u);
    for (const PresetCheck& p : same.presets)
        EXPECT_EQ(p.outcome, PresetOutcome::Identical) << p.name;

    // The Strings instrument's zone loses its sample: the preset is there and plays nothing.
    SoundFontBuilder damaged = SmallBank();
    damaged.instruments[1].bags[0].generators.pop_back();
    const CheckReport report = Check(source, {dir.Write("silent.sf2", damaged.Build())}, true);
    const PresetCheck& strings = PresetNamed(report, "Strings");
    const auto heard = std::find_if(strings.differences.begin(), strings.differences.end(),
                                    [](const Difference& d) { return d.parameter == P::RenderedLevel; });
    ASSERT_NE(heard, strings.differences.end());
    EXPECT_NE(heard->detail.find("silent in the output"), std::string::npos) << heard->detail;
    EXPECT_LT(heard->Size(), -200);
    EXPECT_EQ(strings.outcome, PresetOutcome::Lost);
    EXPECT_EQ(PresetNamed(report, "Piano").outcome, PresetOutcome::Identical);
}

} // namespace
} // namespace quorvane
