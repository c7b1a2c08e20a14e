// The 3ewa articulation written for zones of sources that have none: SoundFont generators of a layer and a
// zone merged and turned into envelope, LFO, filter and pan bytes. Expected bytes are worked out by hand from
// the conversion rules; every row states the whole 140 bytes as the template plus its changes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "formats/common/Bytes.h"
#include "formats/dls/GigaArticulation.h"

namespace quorvane {
namespace {

struct Field {
    size_t offset;
    int width; // 1, 2 or 4 bytes
    uint32_t value;
};

struct Generator {
    int number;
    int16_t value;
};

void Put(EwaBytes& e, const Field& f) {
    for (int i = 0; i < f.width; ++i)
        e[f.offset + i] = static_cast<uint8_t>(f.value >> (8 * i));
}

// The articulation a zone starts from: 5 Hz vibrato LFO, 3 Hz LFO1 and LFO2, every envelope time not given,
// sustains at 100 %, filter off.
EwaBytes Template() {
    EwaBytes e{};
    for (const Field& f : std::vector<Field>{
             {0, 4, 140},         {4, 4, 0x0AE2504F},  {8, 4, 0x80000000},  {26, 2, 100},
             {28, 4, 0x80000000}, {32, 4, 0x80000000}, {38, 2, 1000},       {40, 4, 0x80000000},
             {48, 4, 0x076DF47A}, {52, 4, 0x80000000}, {56, 4, 0x80000000}, {62, 2, 1000},
             {64, 4, 0x80000000}, {72, 4, 0x076DF47A}, {80, 4, 0x7FFFFFFF}, {88, 4, 0x7FFFFFFF},
             {98, 2, 20},         {100, 2, 10},        {112, 1, 1},         {128, 1, 3},
             {132, 1, 0x7F},      {133, 1, 1},         {134, 1, 0x7F},      {136, 1, 0x80},
             {137, 1, 60},        {138, 1, 3}})
        Put(e, f);
    return e;
}

// Times and frequencies in 1/65536 timecent, worked out from 1200 x 65536 x log2(seconds or hertz).
constexpr uint32_t kHalfSecond = 0xFB500000;     // 0.5 s
constexpr uint32_t kQuarterSecond = 0xF6A00000;  // 0.25 s
constexpr uint32_t kTwoSeconds = 0x04B00000;     // 2 s
constexpr uint32_t kVibratoDefault = 0x0E35AC9B; // 8.176 Hz
constexpr uint32_t kCentsZeroHz = 0x0E360000;    // 2^(3638/1200) = 8.1757 Hz, absolute cents 0

// What every zone with a sample gets on top of the template: the vibrato LFO at 8.176 Hz when no LFO
// frequency is given, LFO1 and LFO2 at the modulation LFO frequency, EG2 release 2 s, word 94 = 1000.
std::vector<Field> Always(bool lfoGiven = false) {
    std::vector<Field> fields = {
        {48, 4, kCentsZeroHz}, {72, 4, kCentsZeroHz}, {64, 4, kTwoSeconds}, {94, 2, 1000}};
    if (!lfoGiven)
        fields.push_back({4, 4, kVibratoDefault});
    return fields;
}

std::vector<Field> Plus(std::vector<Field> a, const std::vector<Field>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(GigaWriterArticulationTest, GeneratorsBecomeArticulationBytes) {
    struct Row {
        const char* what;
        std::vector<Generator> layer;
        std::vector<Generator> zone;
        std::vector<Field> changes; // over the template, applied in order
        bool global = false;
        uint16_t sample = 0;
    };
    const std::vector<Row> rows = {
        {"nothing given", {}, {}, Always()},
        // Attack 0.5 s x 1.66 = 0.83 s; decay 2 s to sustain 80 % below full: 2 x (0.23 - 0.0025 x 10) =
        // 0.41 s, plus the hold of 1 s; sustain 10 x 10^((400 - 200) x 0.005) = 100; release 1 s x 0.5.
        {"volume envelope",
         {},
         {{34, -1200}, {35, 0}, {36, 1200}, {37, 200}, {38, 0}},
         Plus(Always(), {{28, 4, 0xFEBD6B7E}, {32, 4, 0x0252D58E}, {38, 2, 100}, {40, 4, kHalfSecond}})},
        // Sustain 5 cB, written as 944 per mille: the fitted factor 0.23 - 0.0025 x 94.4 is below zero,
        // so the decay takes the share of the 100 dB fall that the step down to 94.4 % takes (0.5 dB):
        // 1 s x 0.0050056.
        {"decay to a sustain just below full level",
         {},
         {{36, 0}, {37, 5}},
         Plus(Always(), {{32, 4, 0xDC2D4F95}, {38, 2, 944}})},
        {"decay longer than 100 s", {}, {{36, 8000}}, Plus(Always(), {{32, 4, 0x1F24A09F}})},
        // The shortest release a SoundFont can give lies below what the field holds: it becomes the
        // shortest time there is, never the "not given" marker.
        {"shortest release", {}, {{38, -32768}}, Plus(Always(), {{40, 4, 0x80000001}})},
        // Pan 100 - 300 = -200: 63 + 200 x 0.128 = 88.6 -> 89, no pitch-tracking flag. Resonance 0 + 100:
        // 100 / 2 + 128. An attack the zone does not give is not taken from the layer. Release: 2^-1 x 2^1
        // = 1 s, x 0.5.
        {"layer merged into the zone",
         {{17, -300}, {9, 100}, {34, 1200}, {38, 1200}},
         {{17, 100}, {38, -1200}},
         Plus(Always(), {{109, 1, 89}, {136, 1, 178}, {40, 4, kHalfSecond}})},
        // Cutoff 2^((6000 + 3638) / 1200) = 262 Hz, moved by the envelope's 2000 to 2000 + 2000 = 4000 Hz:
        // 0.02 x 4000 + 3.6 = 83.6 -> 84, + 128. The filter holds EG2 at full sustain.
        {"filter from cutoff and envelope",
         {},
         {{8, 6000}, {11, 2000}, {29, 100}},
         Plus(Always(), {{132, 1, 212}, {134, 2, 20}})},
        // The layer lowers the zone's 20 kHz by two octaves: 5000 Hz -> 11107 cents -> 4999 Hz -> 103.6.
        {"filter from the layer's cutoff", {{8, -2400}}, {}, Plus(Always(), {{132, 1, 232}, {134, 2, 20}})},
        // Modulation LFO at 2^((-1200 + 3638) / 1200) = 4.09 Hz drives the pitch through LFO3.
        {"modulation LFO to pitch",
         {},
         {{5, 50}, {22, -1200}},
         Plus(Always(true),
              {{18, 2, 50}, {112, 2, 3}, {4, 4, 0x09860000}, {48, 4, 0x09860000}, {72, 4, 0x09860000}})},
        // Vibrato runs at its own LFO's frequency, 2^((1200 + 3638) / 1200) = 16.35 Hz, on its own depth
        // (controller 3: internal depth and mod wheel).
        {"vibrato LFO to pitch",
         {},
         {{6, -30}, {24, 1200}},
         Plus(Always(true), {{18, 2, 0xFFE2}, {112, 2, 3}, {4, 4, 0x12E60000}})},
        // Depths: volume limited to -120 cB, x 10 as a size with LFO1's phase flipped (byte 115, bit 7);
        // filter / 10. LFO1 and LFO2 no slower than 0.1 Hz.
        {"LFO depths and the slowest LFO",
         {},
         {{13, -200}, {10, 1234}, {22, -16000}},
         Plus(Always(true),
              {{14, 2, 1200}, {115, 1, 0x80}, {78, 2, 123}, {48, 4, 0xF06DAFB1}, {72, 4, 0xF06DAFB1}})},
        {"a filter LFO of negative depth", {}, {{10, -2400}}, Plus(Always(), {{78, 2, 240}, {114, 1, 0x80}})},
        // EG3 depth -300 and attack 0.25 s; EG2 attack 0.25 s, sustain 10 x 10^1.5 = 316, decay 1 s
        // scaled to that sustain as EG1's is (0.23 - 0.0025 x 31.6) + hold 2 s, release 0.5 s x 0.5.
        {"modulation envelope",
         {},
         {{7, 300}, {26, -2400}, {27, 1200}, {28, 0}, {29, 100}, {30, -1200}},
         Plus(Always(), {{116, 2, 0xFED4},
                         {8, 4, kQuarterSecond},
                         {52, 4, kQuarterSecond},
                         {56, 4, 0x052E0250},
                         {64, 4, kQuarterSecond},
                         {62, 2, 316}})},
        // Pan right 500 x 0.126 = 63; scale tuning 0 comes after the pan and sets the no-tracking flag.
        {"pan right without pitch tracking",
         {},
         {{17, 500}, {56, 0}},
         Plus(Always(), {{109, 1, 63}, {108, 1, 1}})},
        // Pitch tracking is on or off: scale tunings go to the nearer, and a preset's adds to the zone's (or
        // to the default of 100 cents a key).
        {"scale tuning 10 cents a key plays without tracking", {}, {{56, 10}}, Plus(Always(), {{108, 1, 1}})},
        {"scale tuning 50 tracks", {}, {{56, 50}}, Always()},
        {"a preset's scale tuning of -100 over the default", {{56, -100}}, {}, Plus(Always(), {{108, 1, 1}})},
        {"a preset's scale tuning of -100 over 200", {{56, -100}}, {{56, 200}}, Always()},
        {"a global zone keeps the template", {}, {{17, 500}, {36, 0}}, {}, true},
        {"a zone without a sample keeps the template", {}, {{17, 500}, {36, 0}}, {}, false, 5},
    };
    BankModel bank;
    bank.SampleTable.resize(1);
    bank.SampleCount = 1;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        LayerRecord layer;
        layer.isGlobal = 0;
        for (const Generator& g : row.layer)
            layer.Set(g.number, g.value);
        ZoneRecord zone;
        zone.isGlobal = row.global ? 1 : 0;
        zone.sampleIndex = row.sample;
        for (const Generator& g : row.zone)
            zone.Set(g.number, g.value);
        EwaBytes expected = Template();
        for (const Field& f : row.changes)
            Put(expected, f);
        const EwaBytes built = BuildArticulation(bank, layer, zone);
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(int{built[i]}, int{expected[i]}) << "byte " << i;
    }
}

// A volume decay written for a SoundFont zone reads back as the decay it was, whatever the sustain level
// it runs to: near silence, middle levels and just below full level.
TEST(GigaWriterArticulationTest, VolumeDecayReadsBackAsWritten) {
    BankModel bank;
    bank.SampleTable.resize(1);
    bank.SampleCount = 1;
    LayerRecord layer;
    layer.isGlobal = 0;
    for (int sustain : {2, 13, 60, 107, 500, 960}) {
        SCOPED_TRACE(sustain);
        ZoneRecord zone;
        zone.isGlobal = 0;
        zone.sampleIndex = 0;
        zone.Set(gen::decayVolEnv, 2400);
        zone.Set(gen::sustainVolEnv, static_cast<int16_t>(sustain));
        const EwaBytes written = BuildArticulation(bank, layer, zone);
        ZoneRecord back;
        ConvertArticulation(written, WaveSampleValues{}, nullptr, back);
        EXPECT_NEAR(back.generators[gen::decayVolEnv], 2400, 2);
    }
}

// What the writer puts into LFO and modulation envelope fields reads back as the SoundFont value it came
// from: LFO depths of either sign, a vibrato of its own depth, the modulation envelope's decay to its
// sustain and its release.
TEST(GigaWriterArticulationTest, LfosAndModulationEnvelopeReadBackAsWritten) {
    struct Row {
        const char* what;
        std::vector<Generator> zone;
        std::vector<Generator> back; // expected after reading, within the tolerance
        int tolerance;
    };
    const std::vector<Row> rows = {
        {"tremolo", {{gen::modLfoToVolume, 40}}, {{gen::modLfoToVolume, 40}}, 0},
        {"tremolo of flipped phase", {{gen::modLfoToVolume, -20}}, {{gen::modLfoToVolume, -20}}, 0},
        {"filter wobble", {{gen::modLfoToFilterFc, 3600}}, {{gen::modLfoToFilterFc, 3600}}, 0},
        {"filter wobble of flipped phase",
         {{gen::modLfoToFilterFc, -1234}},
         {{gen::modLfoToFilterFc, -1230}},
         0},
        {"vibrato", {{gen::vibLfoToPitch, 25}}, {{gen::vibLfoToPitch, 25}}, 0},
        {"pitch envelope release and decay",
         {{gen::modEnvToPitch, 1200},
          {gen::decayModEnv, -2000},
          {gen::sustainModEnv, 1000},
          {gen::releaseModEnv, 1500}},
         {{gen::decayModEnv, -2000}, {gen::releaseModEnv, 1500}},
         2},
    };
    BankModel bank;
    bank.SampleTable.resize(1);
    bank.SampleCount = 1;
    LayerRecord layer;
    layer.isGlobal = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ZoneRecord zone;
        zone.isGlobal = 0;
        zone.sampleIndex = 0;
        for (const Generator& g : row.zone)
            zone.Set(g.number, g.value);
        ZoneRecord back;
        ConvertArticulation(BuildArticulation(bank, layer, zone), WaveSampleValues{}, nullptr, back);
        for (const Generator& g : row.back) {
            EXPECT_TRUE(back.IsSet(g.number)) << "generator " << g.number;
            EXPECT_NEAR(back.generators[g.number], g.value, row.tolerance) << "generator " << g.number;
        }
    }
}

} // namespace
} // namespace quorvane
