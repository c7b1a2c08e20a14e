// DLS articulation (art1 and art2 connection blocks) as SoundFont generators: the unit conversions, which
// articulation a region plays, and a bank authored here, converted to SoundFont and played in FluidSynth,
// with the attack, release and pan it was given.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "convert/BankWriters.h"
#include "formats/dls/DlsArticulation.h"
#include "support/DlsBuilder.h"
#include "support/FluidRender.h"
#include "support/RecordingHost.h"
#include "support/SoundFontWriterFixtures.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::DlsArticulationList;
using test::DlsBuilder;
using test::DlsConnectionBlock;
using test::DlsRegion;
using test::DlsWaveSample;

constexpr uint16_t kNone = 0, kLfo = 1, kKeyNumber = 3, kModWheel = 0x81;
constexpr uint16_t kPitch = 3, kPan = 4, kLfoFrequency = 0x104, kEg1Attack = 0x206, kEg1Decay = 0x207,
                   kEg1Release = 0x209, kEg1Sustain = 0x20A, kEg1Hold = 0x20C, kEg2Sustain = 0x30E,
                   kFilterCutoff = 0x500;

// A 16.16 scale from a value in the connection's own unit.
int32_t Scale(double value) {
    return static_cast<int32_t>(std::lround(value * 65536));
}
// Time cents of a time in seconds.
double TimeCents(double seconds) {
    return 1200 * std::log2(seconds);
}

DlsConnectionBlock Static(uint16_t destination, double value) {
    return {kNone, kNone, destination, 0, Scale(value)};
}

TEST(DlsArticulationTest, ConnectionsBecomeGenerators) {
    struct Case {
        const char* what;
        DlsConnectionBlock connection;
        int generator; // -1: no generator
        int value;
    };
    const Case cases[] = {
        {"attack of 100 ms", Static(kEg1Attack, TimeCents(0.1)), gen::attackVolEnv, -3986},
        {"an attack of no time", {kNone, kNone, kEg1Attack, 0, INT32_MIN}, gen::attackVolEnv, -12000},
        {"release of 1 s", Static(kEg1Release, 0), gen::releaseVolEnv, 0},
        {"decay of 2 s", Static(kEg1Decay, 1200), gen::decayVolEnv, 1200},
        {"hold of 10 ms", Static(kEg1Hold, TimeCents(0.01)), gen::holdVolEnv, -7973},
        {"sustain at 50 % lies 48 dB down", Static(kEg1Sustain, 500), gen::sustainVolEnv, 480},
        {"sustain at 100 %", Static(kEg1Sustain, 1000), gen::sustainVolEnv, 0},
        {"sustain at 0 %", Static(kEg1Sustain, 0), gen::sustainVolEnv, 960},
        {"modulation envelope sustain at 25 %", Static(kEg2Sustain, 250), gen::sustainModEnv, 750},
        {"pan 30 % left", Static(kPan, -300), gen::pan, -300},
        {"pan past the right end", Static(kPan, 700), gen::pan, 500},
        {"LFO frequency in absolute cents", Static(kLfoFrequency, -500), gen::freqModLFO, -500},
        {"filter cutoff", Static(kFilterCutoff, 9000), gen::initialFilterFc, 9000},
        {"LFO to pitch", {kLfo, kNone, kPitch, 0, Scale(50)}, gen::modLfoToPitch, 50},
        {"LFO to pitch through the mod wheel is a modulator", {kLfo, kModWheel, kPitch, 0, Scale(50)}, -1, 0},
        {"key number to decay has no generator", {kKeyNumber, kNone, kEg1Decay, 0, Scale(-1200)}, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GeneratorSet set;
        ApplyDlsConnection({c.connection.source, c.connection.control, c.connection.destination,
                            c.connection.transform, c.connection.scale},
                           set);
        int given = 0;
        for (int number = 0; number < gen::count; ++number)
            given += set.IsSet(number);
        if (c.generator < 0) {
            EXPECT_EQ(given, 0);
        } else {
            EXPECT_EQ(given, 1);
            EXPECT_EQ(set.generators[c.generator], c.value);
        }
    }
}

DlsRegion LoopedRegion(uint8_t keyLow, uint8_t keyHigh, uint32_t frames) {
    return DlsRegion{.keyLow = keyLow,
                     .keyHigh = keyHigh,
                     .wsmp =
                         DlsWaveSample{.unityNote = 60, .loopCount = 1, .loopStart = 0, .loopLength = frames},
                     .tableIndex = 0};
}

// A region with an articulation of its own plays only that one; the others take their instrument's, also
// when it comes after the regions in the file; an instrument without one leaves its zones as they were.
TEST(DlsArticulationTest, RegionArticulationReplacesTheInstruments) {
    DlsBuilder dls;
    dls.waves = {test::MonoWave("A", 100)};
    DlsRegion plain = LoopedRegion(0, 59, 100);
    DlsRegion own = LoopedRegion(60, 127, 100);
    own.articulation = DlsArticulationList{{Static(kEg1Release, TimeCents(2))}, true};
    dls.instruments = {
        {.name = "Pad",
         .regions = {plain, own},
         .articulation = DlsArticulationList{{Static(kEg1Attack, TimeCents(0.1)), Static(kPan, 250)}}},
        {.name = "Dry", .program = 1, .regions = {plain}},
    };
    const test::DlsReading read = test::ReadDlsBytes(dls.Build());
    const BankModel& bank = read.bank;
    ASSERT_EQ(bank.ZoneCount, 3);

    const ZoneRecord& fromInstrument = bank.ZoneTable[0];
    EXPECT_EQ(fromInstrument.generators[gen::attackVolEnv], -3986);
    EXPECT_EQ(fromInstrument.generators[gen::pan], 250);
    EXPECT_FALSE(fromInstrument.IsSet(gen::releaseVolEnv));

    const ZoneRecord& fromRegion = bank.ZoneTable[1];
    EXPECT_EQ(fromRegion.generators[gen::releaseVolEnv], 1200);
    EXPECT_FALSE(fromRegion.IsSet(gen::attackVolEnv));
    EXPECT_EQ(fromRegion.generators[gen::pan], 0);

    const ZoneRecord& without = bank.ZoneTable[2];
    EXPECT_FALSE(without.IsSet(gen::attackVolEnv));
    EXPECT_FALSE(without.IsSet(gen::releaseVolEnv));
    EXPECT_EQ(without.generators[gen::pan], 0);
}

// Levels of the stereo render in windows of one period of the 441 Hz tone.
struct Envelope {
    static constexpr int kWindow = 100;
    std::vector<double> left, right, level;

    explicit Envelope(const std::vector<float>& stereo) {
        for (size_t at = 0; at + 2 * kWindow <= stereo.size(); at += 2 * kWindow) {
            double l = 0, r = 0;
            for (int i = 0; i < kWindow; ++i) {
                l += double(stereo[at + 2 * i]) * stereo[at + 2 * i];
                r += double(stereo[at + 2 * i + 1]) * stereo[at + 2 * i + 1];
            }
            left.push_back(std::sqrt(l / kWindow));
            right.push_back(std::sqrt(r / kWindow));
            level.push_back(std::hypot(left.back(), right.back()));
        }
    }
    static double Seconds(size_t window) { return (window + 0.5) * kWindow / 44100.0; }
    static size_t At(double seconds) { return static_cast<size_t>(seconds * 44100 / kWindow); }
};

// Authored with a 100 ms attack, a 1 s release and the pan 30 % to the left, converted to SoundFont:
// FluidSynth plays it so. Its attack rises linearly in amplitude, and its release falls 96 dB over the
// release time.
TEST(DlsArticulationTest, ConvertedBankPlaysItsEnvelopeAndPan) {
    constexpr double kAttack = 0.1, kRelease = 1.0, kPanValue = -300, kNoteOff = 1.0;
    DlsBuilder dls;
    test::DlsWave wave = test::MonoWave("Sine", 4410);
    wave.data.clear();
    for (int i = 0; i < 4410; ++i)
        test::PutU16(wave.data, static_cast<uint16_t>(std::lround(16000 * std::sin(2 * M_PI * i / 100))));
    dls.waves = {wave};
    dls.instruments = {{.name = "Sine",
                        .regions = {LoopedRegion(0, 127, 4410)},
                        .articulation = DlsArticulationList{{Static(kEg1Attack, TimeCents(kAttack)),
                                                             Static(kEg1Release, TimeCents(kRelease)),
                                                             Static(kPan, kPanValue)}}}};
    test::TempDir dir;
    dir.Write("sine.gig", dls.Build());
    const std::string sf2 = dir.Folder() + "sine.sf2";
    {
        test::RecordingHost host;
        Workspace workspace{host};
        workspace.bank.SourceFormat = SourceFormat::Dls;
        ASSERT_EQ(test::LoadBankFile(workspace, dir.Folder() + "sine.gig"), LoadStatus::Loaded);
        ASSERT_TRUE(WriteSoundFont(workspace, WriteSelection::All(workspace.bank), 0, sf2,
                                   BankNaming::SourceBank, false)
                        .written);
    }

    test::Phrase phrase;
    phrase.events = {{0, test::PhraseEvent::NoteOn, 0, 60, 127},
                     {static_cast<int>(kNoteOff * 44100), test::PhraseEvent::NoteOff, 0, 60, 0}};
    phrase.frames = static_cast<int>(2.0 * 44100);
    test::FluidLog log;
    const std::vector<float> audio = test::RenderPhrase(sf2, phrase, log);
    ASSERT_FALSE(audio.empty());
    EXPECT_EQ(log.errors, std::vector<std::string>{});
    const Envelope envelope(audio);

    // The sustained level, then the attack from the time the level first reaches half of it.
    std::vector<double> held(envelope.level.begin() + Envelope::At(0.5),
                             envelope.level.begin() + Envelope::At(0.9));
    std::sort(held.begin(), held.end());
    const double sustained = held[held.size() / 2];
    ASSERT_GT(sustained, 0.01);
    const auto half = std::find_if(envelope.level.begin(), envelope.level.end(),
                                   [&](double level) { return level >= 0.5 * sustained; });
    const double attack = 2 * Envelope::Seconds(half - envelope.level.begin());
    EXPECT_NEAR(attack, kAttack, 0.1 * kAttack);

    // The release: the fall in dB between 0.1 s and 0.5 s after the note-off.
    auto decibels = [&](double seconds) {
        return 20 * std::log10(envelope.level[Envelope::At(seconds)] / sustained);
    };
    const double slope = (decibels(kNoteOff + 0.1) - decibels(kNoteOff + 0.5)) / 0.4;
    EXPECT_NEAR(96 / slope, kRelease, 0.1 * kRelease);

    // The pan from the levels of the two sides: right = sin, left = cos of the position over 90 degrees.
    double left = 0, right = 0;
    for (size_t w = Envelope::At(0.5); w < Envelope::At(0.9); ++w) {
        left += envelope.left[w];
        right += envelope.right[w];
    }
    const double pan = std::atan2(right, left) / (M_PI / 2) * 1000 - 500;
    EXPECT_NEAR(pan, kPanValue, 0.1 * std::abs(kPanValue));
    RecordProperty("measured", "attack " + std::to_string(attack) + " s, release " +
                                   std::to_string(96 / slope) + " s, pan " + std::to_string(pan));
}

} // namespace
} // namespace quorvane
