// GigaSampler articulation (3ewa) as SoundFont generators: one table of inputs and expected values, worked
// out by hand from the conversion formulas, and the rounding every conversion uses.
#include <gtest/gtest.h>

#include <vector>

#include "formats/dls/GigaArticulation.h"
#include "support/DlsBuilder.h"

namespace quorvane {
namespace {

namespace ewa = test::ewa;

// A 3ewa time or frequency: seconds or hertz as powers of two, in 1/65536 timecent.
constexpr uint32_t Octaves(int octaves) {
    return static_cast<uint32_t>(octaves * 1200 * 65536);
}

struct Field {
    size_t offset;
    int width; // 1, 2 or 4 bytes
    uint32_t value;
};

struct Row {
    const char* what;
    std::vector<Field> fields;
    int generator;
    int16_t value;
    bool flagged = true;
    WaveSampleValues wsmp = {};
    bool looped44100Sample = false; // a looped sample at 44100 Hz whose loop starts 2 s in
};

TEST(GigaArticulationTest, ConversionTable) {
    const uint32_t notGiven = kGigaNotGiven;
    const Row rows[] = {
        {"EG1 attack not given", {}, 34, -12000, false},
        {"EG1 attack 1 s, shortened by 1.66", {{ewa::eg1Attack, 4, 0}}, 34, -877},
        {"EG1 attack 2 s", {{ewa::eg1Attack, 4, Octaves(1)}}, 34, 323},
        {"EG1 release 1 s, doubled", {{ewa::eg1Release, 4, 0}}, 38, 1200},
        {"EG1 decay 1 s at full sustain: not divided", {{ewa::eg1Decay, 4, 0}}, 36, 0},
        {"EG1 sustain 100 %: no sustainVolEnv", {}, 37, 0, false},
        {"EG1 decay 1 s to 50 %", {{ewa::eg1Decay, 4, 0}, {ewa::eg1Sustain, 2, 500}}, 36, 3902},
        {"EG1 sustain 50 %", {{ewa::eg1Sustain, 2, 500}}, 37, 60},
        {"EG1 decay 1 s to 0 %", {{ewa::eg1Decay, 4, 0}, {ewa::eg1Sustain, 2, 0}}, 36, 2544},
        {"EG1 sustain 0 %", {{ewa::eg1Sustain, 2, 0}}, 37, 1440},
        // Near full level the decay is the share of a 100 dB fall that the step to the sustain takes:
        // 0.72 dB for 92 % (1 s / 0.0072 = 138 s), 0.45 dB for 95 % (224 s).
        {"EG1 decay to 92 %", {{ewa::eg1Decay, 4, 0}, {ewa::eg1Sustain, 2, 920}}, 36, 8531},
        {"EG1 decay to 95 %", {{ewa::eg1Decay, 4, 0}, {ewa::eg1Sustain, 2, 950}}, 36, 9372},
        {"EG1 decay not given", {{ewa::eg1Sustain, 2, 500}}, 36, -12000, false},
        {"EG2 attack 1 s", {{ewa::eg2Attack, 4, 0}}, 26, -877},
        {"EG2 decay 4 s to 25 %", {{ewa::eg2Decay, 4, Octaves(2)}, {ewa::eg2Sustain, 2, 250}}, 28, 5493},
        {"EG2 sustain 25 %", {{ewa::eg2Sustain, 2, 250}}, 29, 120},
        {"EG2 release not given", {}, 30, -12000, false},
        {"cutoff 0x7F: filter off", {{ewa::cutoff, 1, 0x7F}}, 8, 0, false},
        {"cutoff 0xFF: on at the top cutoff, 6170 Hz", {{ewa::cutoff, 1, 0xFF}}, 8, 11471},
        {"cutoff 0x80: 20 Hz", {{ewa::cutoff, 1, 0x80}}, 8, 1548},
        {"cutoff 0x81: below 20 Hz", {{ewa::cutoff, 1, 0x81}}, 8, 1548},
        {"cutoff 0xC0: 3020 Hz", {{ewa::cutoff, 1, 0xC0}}, 8, 10234},
        {"resonance 128", {{ewa::resonance, 1, 128}}, 9, 0, false},
        {"resonance 129", {{ewa::resonance, 1, 129}}, 9, 2},
        {"resonance 200", {{ewa::resonance, 1, 200}}, 9, 144},
        {"wsmp attenuation 10", {}, 48, 28, true, {.attenuation = 10}},
        {"wsmp attenuation 0", {}, 48, 0, false},
        {"hold until the loop starts", {{ewa::eg1Hold, 1, 0x80}}, 35, 1200, true, {}, true},
        {"hold less the whole seconds of attack",
         {{ewa::eg1Hold, 1, 0x80}, {ewa::eg1Attack, 4, Octaves(1)}},
         35,
         0,
         true,
         {},
         true},
        {"hold without a looped sample", {{ewa::eg1Hold, 1, 0x80}}, 35, -12000},
        {"no hold", {}, 35, 0, false, {}, true},
        {"EG3 depth 100", {{ewa::eg3Depth, 2, 100}}, 7, -100},
        {"EG3 attack replaces EG2 attack",
         {{ewa::eg3Depth, 2, 100}, {ewa::eg3Attack, 4, 0}, {ewa::eg2Attack, 4, 0}},
         26,
         0},
        {"EG3 attack without depth", {{ewa::eg3Attack, 4, 0}}, 7, 0, false},
        {"LFO1 1 Hz", {{ewa::lfo1Frequency, 4, 0}, {ewa::lfo1Depth, 2, 50}}, 22, -3638},
        // LFO1's 0..1200 is the tremolo's size up to 120 cB; LFO2's the filter's swing up to 12000 cents.
        // A flipped phase (bit 7 of byte 115 or 114) is a negative depth.
        {"LFO1 depth", {{ewa::lfo1Frequency, 4, 0}, {ewa::lfo1Depth, 2, 50}}, 13, 5},
        {"LFO1 depth, phase flipped",
         {{ewa::lfo1Frequency, 4, 0}, {ewa::lfo1Depth, 2, 1200}, {115, 1, 0x80}},
         13,
         -120},
        {"LFO1 on controller 1",
         {{ewa::lfo1Frequency, 4, 0}, {ewa::lfo1Depth, 2, 50}, {ewa::lfoControllers, 2, 0x0100}},
         13,
         0,
         false},
        {"LFO1 on controller 3",
         {{ewa::lfo1Frequency, 4, 0}, {ewa::lfo1Depth, 2, 50}, {ewa::lfoControllers, 2, 0x0300}},
         13,
         5},
        {"LFO1 frequency not given", {{ewa::lfo1Depth, 2, 50}}, 13, 0, false},
        {"LFO2 2 Hz replaces LFO1",
         {{ewa::lfo1Frequency, 4, 0},
          {ewa::lfo1Depth, 2, 50},
          {ewa::lfo2Frequency, 4, Octaves(1)},
          {ewa::lfo2Depth, 2, 30}},
         22,
         -2438},
        {"LFO2 depth", {{ewa::lfo2Frequency, 4, Octaves(1)}, {ewa::lfo2Depth, 2, 30}}, 10, 300},
        {"LFO2 depth, phase flipped",
         {{ewa::lfo2Frequency, 4, Octaves(1)}, {ewa::lfo2Depth, 2, 30}, {114, 1, 0x80}},
         10,
         -300},
        {"LFO2 on controller 2",
         {{ewa::lfo2Frequency, 4, 0}, {ewa::lfo2Depth, 2, 30}, {ewa::lfoControllers, 2, 2}},
         10,
         0,
         false},
        {"LFO3 frequency not given: 8.176 Hz", {{ewa::lfo3Frequency, 4, notGiven}}, 24, 0},
        {"LFO3 1 Hz", {{ewa::lfo3Frequency, 4, 0}}, 24, -3638},
        {"LFO3 depth", {{ewa::lfo3Depth, 2, 25}}, 6, 25},
        {"LFO3 depth on controller 4", {{ewa::lfo3Depth, 2, 25}, {ewa::lfo3Controller, 2, 4}}, 6, 25},
        {"LFO3 depth on controller 1", {{ewa::lfo3Depth, 2, 25}, {ewa::lfo3Controller, 2, 1}}, 6, 0, false},
        {"scale tuning flag", {{ewa::flags, 1, 1}}, 56, 0},
        {"no scale tuning flag", {{ewa::flags, 1, 2}}, 56, 0, false},
        {"fine tune -150: coarse", {}, 51, -1, true, {.fineTune = -150}},
        {"fine tune -150: fine", {}, 52, -50, true, {.fineTune = -150}},
        {"fine tune 250: coarse", {}, 51, 2, true, {.fineTune = 250}},
        {"fine tune 250: fine", {}, 52, 50, true, {.fineTune = 250}},
        {"fine tune 99", {}, 52, 99, true, {.fineTune = 99}},
        {"fine tune 99: no coarse", {}, 51, 0, false, {.fineTune = 99}},
        {"fine tune -99", {}, 52, -99, true, {.fineTune = -99}},
        {"fine tune 0", {}, 52, 0, false},
        {"unity note", {}, 58, 67, true, {.unityNote = 67}},
        {"pan byte 0", {{ewa::pan, 1, 0}}, 17, 0, false},
        {"pan byte 32", {{ewa::pan, 1, 32}}, 17, 254},
        {"pan byte 63", {{ewa::pan, 1, 63}}, 17, 500},
        {"pan byte 64", {{ewa::pan, 1, 64}}, 17, -7},
        {"pan byte 96", {{ewa::pan, 1, 96}}, 17, -257},
        {"pan byte 127", {{ewa::pan, 1, 127}}, 17, -500},
        {"pan byte 160: top bit ignored", {{ewa::pan, 1, 160}}, 17, 254},
    };
    SampleRecord loopedSample;
    loopedSample.looped = 1;
    loopedSample.sampleRate = 44100;
    loopedSample.loopStart = 88200;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        test::GigArticulation articulation;
        for (const Field& field : row.fields) {
            if (field.width == 1)
                articulation.U8(field.offset, static_cast<uint8_t>(field.value));
            else if (field.width == 2)
                articulation.U16(field.offset, static_cast<uint16_t>(field.value));
            else
                articulation.U32(field.offset, field.value);
        }
        ZoneRecord zone;
        ConvertArticulation(articulation.bytes, row.wsmp, row.looped44100Sample ? &loopedSample : nullptr,
                            zone);
        EXPECT_EQ(zone.generators[row.generator], row.value) << "generator " << row.generator;
        EXPECT_EQ(zone.IsSet(row.generator), row.flagged) << "generator " << row.generator;
    }
}

TEST(GigaArticulationTest, RoundCentsRoundsPositivesToNearestAndTruncatesNegatives) {
    const std::pair<double, int> cases[] = {
        {0.0, 0},  {1.5, 1},   {1.51, 2},  {2.4, 2},       {322.58, 323},
        {-0.6, 0}, {-1.5, -1}, {-1.9, -1}, {-877.4, -877}, {-11958.9, -11958},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(RoundCents(value), expected) << value;
    EXPECT_EQ(LfoCents(kGigaNotGiven), 0);
    EXPECT_DOUBLE_EQ(GigaTime(static_cast<int32_t>(Octaves(-1))), 0.5);
}

} // namespace
} // namespace quorvane
