// Our GigaSampler output read by an independent reader: libgig's gigdump (Debian gigtools), run as a program.
// It must parse every file we write without complaint and see the instruments, regions, dimensions,
// dimension regions, samples and loops that we wrote: its reading is compared with our own cut of the file
// into chunks, on a small bank made in the test and on TimGM6mb.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/GigWriteSession.h"
#include "support/Peers.h"
#include "support/RunProcess.h"
#include "support/SoundFontBuilder.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::GetU32;
using test::GigFileParts;
using test::GigWriteSession;

constexpr const char* kTimGM6mb = test::kTimGM6mbPath;

struct DumpDimensionRegion {
    std::string sample;
    int unityNote = -1;
    int fineTune = 0;
    int velocityLimit = -1;
    bool operator==(const DumpDimensionRegion&) const = default;
};

struct DumpDimension {
    std::string type;
    int bits = 0;
    bool operator==(const DumpDimension&) const = default;
};

struct DumpRegion {
    std::string sample;
    int keyLow = -1, keyHigh = -1, velocityLow = -1, velocityHigh = -1, layers = -1, loops = -1;
    std::vector<DumpDimension> dimensions{};
    std::vector<DumpDimensionRegion> dimensionRegions{};
    bool operator==(const DumpRegion&) const = default;
};

struct DumpInstrument {
    std::string name;
    int bank = -1, program = -1;
    std::vector<DumpRegion> regions{};
    bool operator==(const DumpInstrument&) const = default;
};

struct DumpSample {
    std::string name;
    int group = -1, rate = -1, channels = -1, loops = -1;
    long loopStart = -1, loopEnd = -1, frames = -1;
    bool operator==(const DumpSample&) const = default;
};

// Readable failure messages.
std::ostream& operator<<(std::ostream& out, const DumpSample& s) {
    return out << '"' << s.name << "\" group " << s.group << ", " << s.rate << " Hz, " << s.channels
               << " channels, " << s.loops << " loops " << s.loopStart << ".." << s.loopEnd << ", "
               << s.frames << " frames";
}
std::ostream& operator<<(std::ostream& out, const DumpRegion& r) {
    out << "sample \"" << r.sample << "\" keys " << r.keyLow << ".." << r.keyHigh << " velocities "
        << r.velocityLow << ".." << r.velocityHigh << " layers " << r.layers << " loops " << r.loops
        << " dimensions";
    for (const DumpDimension& d : r.dimensions)
        out << " " << d.type << "/" << d.bits;
    for (const DumpDimensionRegion& d : r.dimensionRegions)
        out << " [\"" << d.sample << "\" unity " << d.unityNote << " fine " << d.fineTune << " limit "
            << d.velocityLimit << "]";
    return out;
}

struct Gigdump {
    int declaredInstruments = -1;
    std::vector<std::string> groups;
    std::vector<DumpSample> samples;
    std::vector<DumpInstrument> instruments;
};

// gigdump's text: "Total instruments: N", the groups ("Group K)" then "Name: "..."" lines), the samples
// ("Sample K) "NAME", Group G, RATEHz, C Channels, L Loops (Type: normal), LoopFraction=0, Start=S, End=E,
// ..., Length=FRAMES ..."; the loop fields only when there is a loop), then the instruments: "Instrument K)
// "NAME",  MIDIBank=B, MIDIProgram=P", each region "Region K) Sample: "NAME", RATEHz," with lines
// "KeyRange=A-B, VelocityRange=C-D, Layers=L", "Loops=N", "Dimension[I]: Type=T ..., Bits=B, ...", and each
// dimension region "Sample: "NAME", RATEHz, UnityNote=U, FineTune=F, ..." and "VelocityUpperLimit=V ...".
Gigdump ParseGigdump(const std::string& text) {
    static const std::regex total(R"re(^    Total instruments: (\d+)$)re");
    static const std::regex groupName(R"re(^        Name: "(.*)"$)re");
    static const std::regex sample(
        R"re(^    Sample \d+\) "(.*)", Group (\d+), (\d+)Hz, (\d+) Channels, (\d+) Loops)re"
        R"re((?: \(Type: \w+\), LoopFraction=\d+, Start=(\d+), End=(\d+), LoopPlayCount=\d+)?)re"
        R"re(, crc=\w+, Length=(\d+) .*$)re");
    static const std::regex instrument(
        R"re(^    Instrument \d+\) "(.*)",  MIDIBank=(\d+), MIDIProgram=(\d+)$)re");
    static const std::regex region(R"re(^        Region \d+\) Sample: "(.*)", \d+Hz, ?$)re");
    static const std::regex ranges(
        R"re(^            KeyRange=(\d+)-(\d+), VelocityRange=(\d+)-(\d+), Layers=(\d+)$)re");
    static const std::regex loops(R"re(^            Loops=(\d+)$)re");
    static const std::regex dimension(
        R"re(^            Dimension\[\d+\]: Type=(\w+).*, Bits=(\d+), Zones=\d+, .*$)re");
    static const std::regex dimensionSample(
        R"re(^                Sample: "(.*)", \d+Hz, UnityNote=(\d+), FineTune=(-?\d+), .*$)re");
    static const std::regex velocityLimit(R"re(^                VelocityUpperLimit=(\d+) .*$)re");

    Gigdump dump;
    std::istringstream lines(text);
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (std::regex_match(line, m, total)) {
            dump.declaredInstruments = std::stoi(m[1]);
        } else if (dump.instruments.empty() && std::regex_match(line, m, groupName)) {
            dump.groups.push_back(m[1]);
        } else if (std::regex_match(line, m, sample)) {
            DumpSample s{m[1], std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4]), std::stoi(m[5])};
            if (m[6].matched) {
                s.loopStart = std::stol(m[6]);
                s.loopEnd = std::stol(m[7]);
            }
            s.frames = std::stol(m[8]);
            dump.samples.push_back(s);
        } else if (std::regex_match(line, m, instrument)) {
            dump.instruments.push_back({m[1], std::stoi(m[2]), std::stoi(m[3])});
        } else if (dump.instruments
                       .empty()) { // NOLINT(bugprone-branch-clone): skips before the first instrument
            continue;
        } else if (std::regex_match(line, m, region)) {
            dump.instruments.back().regions.push_back({m[1]});
        } else if (dump.instruments.back().regions.empty()) {
            continue;
        } else if (DumpRegion& r = dump.instruments.back().regions.back();
                   std::regex_match(line, m, ranges)) {
            r.keyLow = std::stoi(m[1]);
            r.keyHigh = std::stoi(m[2]);
            r.velocityLow = std::stoi(m[3]);
            r.velocityHigh = std::stoi(m[4]);
            r.layers = std::stoi(m[5]);
        } else if (std::regex_match(line, m, loops)) {
            r.loops = std::stoi(m[1]);
        } else if (std::regex_match(line, m, dimension)) {
            r.dimensions.push_back({m[1], std::stoi(m[2])});
        } else if (std::regex_match(line, m, dimensionSample)) {
            r.dimensionRegions.push_back({m[1], std::stoi(m[2]), std::stoi(m[3])});
        } else if (std::regex_match(line, m, velocityLimit) && !r.dimensionRegions.empty()) {
            r.dimensionRegions.back().velocityLimit = std::stoi(m[1]);
        }
    }
    return dump;
}

// What gigdump should print for the file, taken from the chunks we wrote.
Gigdump Expected(const GigFileParts& gig) {
    Gigdump e;
    e.declaredInstruments = static_cast<int>(gig.instruments.size());
    e.groups = gig.groupNames;
    for (const auto& w : gig.waves) {
        const bool looped = GetU32(w.smpl, 28) != 0;
        e.samples.push_back(
            {w.name, test::U16At(w.gix, 0) + 1, static_cast<int>(GetU32(w.fmt, 4)), test::U16At(w.fmt, 2),
             static_cast<int>(GetU32(w.smpl, 28)), looped ? static_cast<long>(GetU32(w.smpl, 44)) : -1,
             looped ? static_cast<long>(GetU32(w.smpl, 48)) : -1, static_cast<long>(w.data.size() / 2)});
    }
    auto waveName = [&](uint32_t pool) { return pool < gig.waves.size() ? gig.waves[pool].name : "?"; };
    for (const auto& ins : gig.instruments) {
        // The MIDI bank of the insh: CC0 in bits 8..14, CC32 in bits 0..6.
        const uint32_t bank = GetU32(ins.insh, 4);
        DumpInstrument i{ins.name, static_cast<int>(((bank >> 8) & 0x7F) * 128 + (bank & 0x7F)),
                         static_cast<int>(GetU32(ins.insh, 8))};
        for (const auto& r : ins.regions) {
            DumpRegion d{waveName(r.TableIndex()),
                         r.KeyLow(),
                         r.KeyHigh(),
                         test::U16At(r.rgnh, 4),
                         test::U16At(r.rgnh, 6),
                         1,
                         static_cast<int>(GetU32(r.wsmp, 16))};
            for (size_t k = 0; k < 5 && r.Definition(k)[0] != 0; ++k) {
                const auto def = r.Definition(k);
                d.dimensions.push_back({def[0] == 0x81   ? "LAYER"
                                        : def[0] == 0x82 ? "VELOCITY"
                                                         : "?",
                                        def[1]});
                if (def[0] == 0x81)
                    d.layers = 1 << def[1];
            }
            const std::vector<uint32_t> pool = r.PoolIndices();
            for (size_t k = 0; k < r.dimensionRegions.size(); ++k)
                d.dimensionRegions.push_back({waveName(pool[k]), test::U16At(r.dimensionRegions[k].wsmp, 4),
                                              test::S16At(r.dimensionRegions[k].wsmp, 6),
                                              r.dimensionRegions[k].VelocityLimit()});
            i.regions.push_back(d);
        }
        e.instruments.push_back(i);
    }
    return e;
}

// Runs gigdump on the file; it must end normally and say nothing on stderr. gigdump --verify must then find
// every wave's data as the checksum table says.
Gigdump RunGigdump(const std::string& path) {
    const std::string gigdump = test::FindOnPath("gigdump");
    if (gigdump.empty())
        return {};
    const test::ProcessResult run = test::RunProcess(gigdump, {path});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_FALSE(run.signaled);
    EXPECT_EQ(run.err, "");
    const test::ProcessResult verify = test::RunProcess(gigdump, {"--verify", path});
    EXPECT_EQ(verify.exitStatus, 0) << verify.out << verify.err;
    EXPECT_EQ(verify.out.find("DAMAGED"), std::string::npos) << verify.out;
    return ParseGigdump(run.out);
}

void ExpectGigdumpReadsWhatWeWrote(const Gigdump& dump, const GigFileParts& gig) {
    const Gigdump expected = Expected(gig);
    EXPECT_EQ(dump.declaredInstruments, expected.declaredInstruments);
    EXPECT_EQ(dump.groups, expected.groups);
    ASSERT_EQ(dump.samples.size(), expected.samples.size());
    for (size_t s = 0; s < dump.samples.size(); ++s)
        EXPECT_EQ(dump.samples[s], expected.samples[s]) << "sample " << s << " " << expected.samples[s].name;
    ASSERT_EQ(dump.instruments.size(), expected.instruments.size());
    for (size_t i = 0; i < dump.instruments.size(); ++i) {
        const DumpInstrument& d = dump.instruments[i];
        const DumpInstrument& e = expected.instruments[i];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(d.name, e.name);
        EXPECT_EQ(d.bank, e.bank);
        EXPECT_EQ(d.program, e.program);
        ASSERT_EQ(d.regions.size(), e.regions.size());
        for (size_t r = 0; r < d.regions.size(); ++r)
            EXPECT_EQ(d.regions[r], e.regions[r]) << "region " << r;
    }
}

class GigaWriterPeerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_PEER(!test::FindOnPath("gigdump").empty(),
                     "gigdump is not on PATH: install the Debian package gigtools");
    }
};

// A small bank with every shape of region: a velocity gap, velocity halves under a layer, a layer alone, a
// looped sample, and the null sample.
TEST_F(GigaWriterPeerTest, SmallBankReadsAsWritten) {
    test::SoundFontBuilder sf;
    for (const char* name : {"Soft", "Loud", "Pad"})
        sf.AddSample(name, 300);
    sf.samples[2].sampleRate = 22050;
    sf.samples[2].originalKey = 48;
    using test::Gens;
    using test::Range;
    sf.instruments = {
        {.name = "Split",
         .bags = {Gens({{gen::keyRange, Range(0, 59)},
                        {gen::velRange, Range(0, 40)},
                        {gen::sampleModes, 1},
                        {gen::sampleID, 0}}),
                  Gens({{gen::keyRange, Range(0, 59)}, {gen::velRange, Range(80, 127)}, {gen::sampleID, 1}}),
                  Gens({{gen::keyRange, Range(60, 127)}, {gen::velRange, Range(0, 63)}, {gen::sampleID, 0}}),
                  Gens({{gen::keyRange, Range(60, 127)},
                        {gen::velRange, Range(64, 127)},
                        {52, static_cast<uint16_t>(-20)},
                        {gen::sampleID, 1}})}},
        {.name = "Pad", .bags = {Gens({{gen::sampleID, 2}})}},
    };
    sf.presets = {{.name = "Layered",
                   .program = 3,
                   .bags = {Gens({{gen::instrument, 0}}),
                            Gens({{gen::keyRange, Range(50, 127)}, {gen::instrument, 1}})}},
                  {.name = "Pad alone", .program = 4, .bank = 2, .bags = {Gens({{gen::instrument, 1}})}}};
    GigWriteSession session;
    session.Load(sf.Build());
    const GigaWriteResult result = session.Write();
    ASSERT_TRUE(result.written);
    const GigFileParts gig = test::ReadGigParts(test::ReadFileBytes(result.path));
    const Gigdump dump = RunGigdump(result.path);
    ExpectGigdumpReadsWhatWeWrote(dump, gig);

    // A few readings stated outright, so that the comparison above cannot pass on two empty readings.
    ASSERT_EQ(dump.instruments.size(), 2u);
    EXPECT_EQ(dump.instruments[1].name, "Pad alone");
    const auto& layered = dump.instruments[0].regions;
    ASSERT_EQ(layered.size(), 3u);
    EXPECT_EQ(layered[1].keyLow, 50);
    EXPECT_EQ(layered[1].keyHigh, 59);
    EXPECT_EQ(layered[1].dimensions, (std::vector<DumpDimension>{{"LAYER", 1}, {"VELOCITY", 2}}));
    ASSERT_EQ(layered[1].dimensionRegions.size(), 8u);
    EXPECT_EQ(layered[1].dimensionRegions[1], (DumpDimensionRegion{"Pad", 48, 0, 127}));
    EXPECT_EQ(layered[1].dimensionRegions[2], (DumpDimensionRegion{"null_sample", 50, 0, 79}));
    EXPECT_EQ(layered[2].dimensionRegions[2], (DumpDimensionRegion{"Loud", 60, -20, 127}));
    ASSERT_EQ(dump.samples.size(), 4u);
    EXPECT_EQ(dump.samples[0], (DumpSample{"Soft", 1, 44100, 1, 1, 8, 291, 300}));
    EXPECT_EQ(dump.samples[2].rate, 22050);
    EXPECT_EQ(dump.samples[3], (DumpSample{"null_sample", 1, 44100, 1, 0, -1, -1, 64}));
}

// A zone that starts at velocity 1 (drum kits often do) leaves velocity 0 alone to the null sample: the
// filler's upper limit is 0, so velocity 1 still plays the zone's sample.
TEST_F(GigaWriterPeerTest, AFillerForVelocityZeroLeavesVelocityOneToTheZone) {
    test::SoundFontBuilder sf;
    sf.AddSample("Kick", 300);
    using test::Gens;
    using test::Range;
    sf.instruments = {{.name = "Kit", .bags = {Gens({{gen::velRange, Range(1, 127)}, {gen::sampleID, 0}})}}};
    sf.presets = {{.name = "Kit", .bags = {Gens({{gen::instrument, 0}})}}};
    GigWriteSession session;
    session.Load(sf.Build());
    const GigaWriteResult result = session.Write();
    ASSERT_TRUE(result.written);
    const Gigdump dump = RunGigdump(result.path);
    ASSERT_EQ(dump.instruments.size(), 1u);
    ASSERT_EQ(dump.instruments[0].regions.size(), 1u);
    const auto& regions = dump.instruments[0].regions[0].dimensionRegions;
    ASSERT_EQ(regions.size(), 2u);
    EXPECT_EQ(regions[0].sample, "null_sample");
    EXPECT_EQ(regions[0].velocityLimit, 0);
    EXPECT_EQ(regions[1].sample, "Kick");
    EXPECT_EQ(regions[1].velocityLimit, 127);
}

TEST_F(GigaWriterPeerTest, TimGM6mbReadsAsWritten) {
    REQUIRE_PEER(std::filesystem::exists(kTimGM6mb),
                 kTimGM6mb << " is missing: install the Debian package timgm6mb-soundfont");
    GigWriteSession session;
    session.Load(test::ReadFileBytes(kTimGM6mb), "TimGM6mb.sf2");
    const uint16_t presets = session.workspace.bank.PresetCount;
    const GigaWriteResult result = session.Write("TimGM6mb.gig");
    ASSERT_TRUE(result.written);
    const GigFileParts gig = test::ReadGigParts(test::ReadFileBytes(result.path));
    const Gigdump dump = RunGigdump(result.path);
    EXPECT_EQ(dump.instruments.size(), presets);
    ExpectGigdumpReadsWhatWeWrote(dump, gig);
}

// A GigaSampler bank authored by libgig (tests/tools/make_gig_fixtures), read by us and written again:
// gigdump reads the new file as written, and every dimension region that plays a sample carries the 3ewa
// bytes of a dimension region of the authored file that plays the same sample on those keys, all but the
// velocity upper limit (byte 124), which the writer sets from the velocity split it made.
TEST_F(GigaWriterPeerTest, AuthoredGigaSamplerBankKeepsItsArticulation) {
    test::TempDir authored;
    const test::ProcessResult made = test::RunProcess(QUORVANE_GIG_FIXTURES_PATH, {authored.Path().string()});
    ASSERT_EQ(made.exitStatus, 0) << made.err;
    const test::Bytes source = test::ReadFileBytes(authored.Folder() + "peer.gig");
    const GigFileParts original = test::ReadGigParts(source);
    ASSERT_FALSE(original.instruments.empty());

    GigWriteSession session;
    session.Load(source, "peer.gig", SourceFormat::Dls);
    ASSERT_EQ(session.workspace.bank.DlsFlavour, DlsFlavour::GigaSampler);
    const GigaWriteResult result = session.Write("rewritten.gig");
    ASSERT_TRUE(result.written);
    const GigFileParts gig = test::ReadGigParts(test::ReadFileBytes(result.path));
    ExpectGigdumpReadsWhatWeWrote(RunGigdump(result.path), gig);

    auto withoutLimit = [](test::Bytes ewa) {
        ewa.at(124) = 0;
        return ewa;
    };
    size_t matched = 0;
    ASSERT_EQ(gig.instruments.size(), original.instruments.size());
    for (size_t i = 0; i < gig.instruments.size(); ++i) {
        for (const auto& region : gig.instruments[i].regions) {
            const std::vector<uint32_t> pool = region.PoolIndices();
            for (size_t d = 0; d < region.dimensionRegions.size(); ++d) {
                const std::string& sample = gig.waves.at(pool[d]).name;
                if (sample == "null_sample")
                    continue;
                SCOPED_TRACE(gig.instruments[i].name + " keys " + std::to_string(region.KeyLow()) +
                             " dimension region " + std::to_string(d) + " " + sample);
                bool found = false;
                for (const auto& from : original.instruments[i].regions) {
                    if (from.KeyLow() > region.KeyLow() || from.KeyHigh() < region.KeyHigh())
                        continue;
                    const std::vector<uint32_t> fromPool = from.PoolIndices();
                    for (size_t k = 0; k < from.dimensionRegions.size(); ++k)
                        found = found || (fromPool[k] < original.waves.size() &&
                                          original.waves[fromPool[k]].name == sample &&
                                          withoutLimit(from.dimensionRegions[k].ewa) ==
                                              withoutLimit(region.dimensionRegions[d].ewa));
                }
                EXPECT_TRUE(found);
                ++matched;
            }
        }
    }
    EXPECT_GE(matched, 8u);
}

} // namespace
} // namespace quorvane
