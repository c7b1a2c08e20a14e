// GigaSampler and DLS Level 1 banks authored through libgig's public API by the test-only program
// make_gig_fixtures, read by our reader and by libgig's gigdump and dlsdump (Debian gigtools) as a second,
// independent reading: instruments, bank and program numbers, region key and velocity ranges, the
// dimension layout, every dimension region's sample, tuning and pan, and every sample's name, rate,
// channels, length, group and loop must agree.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "formats/dls/GigaArticulation.h"
#include "support/DlsBuilder.h"
#include "support/Peers.h"
#include "support/RunProcess.h"
#include "support/SoundFontWriterFixtures.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

// What gigdump and dlsdump print, as plain values.
struct PeerDimensionRegion {
    std::string sample{}; // empty: no sample
    int unityNote = 0, fineTune = 0, velocityUpperLimit = 0, pan = 0;
    std::vector<int> dimensionUpperLimits{}; // GigaStudio 3 files
};
struct PeerRegion {
    int keyLow = -1, keyHigh = -1, velocityLow = -1, velocityHigh = -1, loops = 0;
    std::string sample{};
    std::vector<std::pair<std::string, int>> dimensions{}; // type name and bits
    std::vector<PeerDimensionRegion> dimensionRegions{};
};
struct PeerInstrument {
    std::string name{};
    int bank = 0, program = 0;
    std::vector<PeerRegion> regions{};
};
struct PeerSample {
    std::string name{};
    int group = 0, rate = 0, channels = 0, loops = 0, loopStart = 0, loopEnd = 0;
    long length = -1;
};
struct PeerReading {
    std::vector<std::string> groups;
    std::vector<PeerSample> samples;
    std::vector<PeerInstrument> instruments;
};

int Field(const std::string& line, const std::string& name) {
    std::smatch m;
    if (std::regex_search(line, m, std::regex(name + "=(-?\\d+)")))
        return std::stoi(m[1]);
    return 0;
}

// Parses the dump line by line; dlsdump prints a subset of gigdump's lines in the same shapes.
PeerReading ParseDump(const std::string& text) {
    static const std::regex group(R"re(^\s+Name: "(.*)"$)re");
    static const std::regex sample(
        R"re(^\s+Sample \d+\) "(.*)", (?:Group (\d+), )?(\d+)Hz, (\d+) Channels(.*)$)re");
    static const std::regex instrument(
        R"re(^\s+Instrument \d+\) "(.*)",\s+MIDIBank=(\d+), MIDIProgram=(\d+))re");
    static const std::regex region(R"re(^\s+Region \d+\) Sample: (?:"(.*)", \d+Hz)?)re");
    static const std::regex ranges(R"re(KeyRange=(\d+)-(\d+), VelocityRange=(\d+)-(\d+))re");
    static const std::regex dimension(R"re(^\s+Dimension\[\d+\]: Type=(\w+).*Bits=(\d+))re");
    static const std::regex dimensionRegion(R"re(^\s+Dimension Region \d+\))re");
    static const std::regex drSample(R"re(^\s+Sample: (?:"(.*)", \d+Hz)?)re");
    PeerReading reading;
    std::istringstream in(text);
    std::string line;
    bool inGroups = false;
    std::smatch m;
    while (std::getline(in, line)) {
        PeerRegion* currentRegion = reading.instruments.empty() || reading.instruments.back().regions.empty()
                                        ? nullptr
                                        : &reading.instruments.back().regions.back();
        PeerDimensionRegion* currentDr = currentRegion == nullptr || currentRegion->dimensionRegions.empty()
                                             ? nullptr
                                             : &currentRegion->dimensionRegions.back();
        if (line.find("ALL defined Groups") != std::string::npos) {
            inGroups = true;
        } else if (line.find("ALL Available Samples") != std::string::npos) {
            inGroups = false;
        } else if (inGroups && std::regex_search(line, m, group)) {
            reading.groups.push_back(m[1]);
        } else if (std::regex_search(line, m, sample)) {
            PeerSample s{.name = m[1],
                         .group = m[2].matched ? std::stoi(m[2]) : 0,
                         .rate = std::stoi(m[3]),
                         .channels = std::stoi(m[4])};
            const std::string rest = m[5];
            std::smatch loops;
            s.loops =
                std::regex_search(rest, loops, std::regex(R"re((\d+) Loops)re")) ? std::stoi(loops[1]) : 0;
            s.loopStart = Field(rest, "Start");
            s.loopEnd = Field(rest, "End");
            s.length = rest.find("Length=") != std::string::npos ? Field(rest, "Length") : -1;
            reading.samples.push_back(s);
        } else if (std::regex_search(line, m, instrument)) {
            reading.instruments.push_back(
                {.name = m[1], .bank = std::stoi(m[2]), .program = std::stoi(m[3])});
        } else if (std::regex_search(line, m, region) && !reading.instruments.empty()) {
            PeerRegion r;
            r.sample = m[1];
            reading.instruments.back().regions.push_back(r);
            currentRegion = &reading.instruments.back().regions.back();
            if (std::regex_search(line, m, ranges)) {
                currentRegion->keyLow = std::stoi(m[1]);
                currentRegion->keyHigh = std::stoi(m[2]);
                currentRegion->velocityLow = std::stoi(m[3]);
                currentRegion->velocityHigh = std::stoi(m[4]);
            }
        } else if (currentRegion && currentDr == nullptr && std::regex_search(line, m, ranges)) {
            currentRegion->keyLow = std::stoi(m[1]);
            currentRegion->keyHigh = std::stoi(m[2]);
            currentRegion->velocityLow = std::stoi(m[3]);
            currentRegion->velocityHigh = std::stoi(m[4]);
        } else if (currentRegion && currentDr == nullptr && line.find("Loops=") != std::string::npos) {
            currentRegion->loops = Field(line, "Loops");
        } else if (currentRegion && std::regex_search(line, m, dimension)) {
            currentRegion->dimensions.emplace_back(m[1], std::stoi(m[2]));
        } else if (currentRegion && std::regex_search(line, m, dimensionRegion)) {
            currentRegion->dimensionRegions.emplace_back();
        } else if (currentDr && std::regex_search(line, m, drSample)) {
            currentDr->sample = m[1];
            currentDr->unityNote = Field(line, "UnityNote");
            currentDr->fineTune = Field(line, "FineTune");
        } else if (currentDr && line.find("VelocityUpperLimit=") != std::string::npos) {
            currentDr->velocityUpperLimit = Field(line, "VelocityUpperLimit");
            static const std::regex limit(R"re(\[\d\]=(\d+))re");
            for (auto it = std::sregex_iterator(line.begin(), line.end(), limit);
                 it != std::sregex_iterator(); ++it)
                currentDr->dimensionUpperLimits.push_back(std::stoi((*it)[1]));
        } else if (currentDr && line.find("Pan=") != std::string::npos) {
            currentDr->pan = Field(line, "Pan");
        }
    }
    return reading;
}

// The 3ewa pan as our reader converts it, from libgig's -64..63 (left..right).
int PanFromPeer(int pan) {
    return pan >= 0 ? RoundCents(pan / 63.0 * 500.0) : RoundCents(pan * 500.0 / 64.0);
}

uint16_t KeyRange(int low, int high) {
    return static_cast<uint16_t>(high << 8 | low);
}

class LibgigPeerTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = new test::TempDir;
        authored_ = test::RunProcess(QUORVANE_GIG_FIXTURES_PATH, {folder_->Path().string()});
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }

    void SetUp() override { ASSERT_EQ(authored_.exitStatus, 0) << authored_.err; }

    // The dump of a fixture by a libgig tool, parsed; the test has required the tool.
    PeerReading Dump(const std::string& tool, const std::string& file) {
        const std::string path = test::FindOnPath(tool);
        if (path.empty())
            return {};
        const test::ProcessResult result = test::RunProcess(path, {Fixture(file)});
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        return ParseDump(result.out);
    }
    static std::string Fixture(const std::string& name) { return (folder_->Path() / name).string(); }

    static inline test::TempDir* folder_ = nullptr;
    static inline test::ProcessResult authored_;
};

// Name, MIDI bank and program of an instrument as we read it and as the peer printed it.
void ExpectSameInstrumentHeader(const PresetRecord& preset, const PeerInstrument& p) {
    EXPECT_EQ(preset.name, p.name);
    EXPECT_EQ(MidiBankNumber(preset), p.bank) << "libgig shows CC0 × 128 + CC32";
    EXPECT_EQ(preset.program, p.program);
}

// The velocity range gigdump's values give dimension region r of a region: from the upper limit of the
// velocity zone below (same other dimensions) + 1 to its own; the limits of GigaStudio 3 files are the
// dimension upper limits, older files give them as VelocityUpperLimit. 0 when the region has no
// velocity split or no limits.
uint16_t PeerVelocityRange(const PeerRegion& region, size_t r) {
    int position = 0, velocity = -1, bits = 0;
    for (size_t i = 0; i < region.dimensions.size(); ++i) {
        if (region.dimensions[i].first == "VELOCITY") {
            velocity = static_cast<int>(i);
            bits = region.dimensions[i].second;
            break;
        }
        position += region.dimensions[i].second;
    }
    if (velocity < 0)
        return 0;
    auto limitOf = [&](size_t at) {
        const PeerDimensionRegion& dr = region.dimensionRegions.at(at);
        const int upper = static_cast<size_t>(velocity) < dr.dimensionUpperLimits.size()
                              ? dr.dimensionUpperLimits[velocity]
                              : 0;
        return upper != 0 ? upper : dr.velocityUpperLimit;
    };
    const int top = limitOf(r);
    if (top == 0)
        return 0;
    const size_t zone = (r >> position) & ((size_t{1} << bits) - 1);
    const int low = zone == 0 ? 0 : limitOf(r - (size_t{1} << position)) + 1;
    return low >= top ? 0x7F7F : KeyRange(low, top);
}

// Our reading of a GigaSampler bank against gigdump's: samples, instruments, layers, and for every
// dimension region its sample, key range, velocity range, root key, tuning and pan.
void ExpectSameAsGigdump(const test::DlsReading& ours, const PeerReading& peer) {
    const BankModel& bank = ours.bank;
    EXPECT_EQ(bank.DlsFlavour, DlsFlavour::GigaSampler);

    EXPECT_EQ(ours.dls.SampleGroupNames, peer.groups);
    ASSERT_EQ(bank.SampleCount, peer.samples.size());
    for (size_t i = 0; i < peer.samples.size(); ++i) {
        const PeerSample& p = peer.samples[i];
        const SampleRecord& s = bank.SampleTable[i];
        SCOPED_TRACE("sample " + p.name);
        EXPECT_EQ(s.fullName, p.name);
        EXPECT_EQ(s.sampleRate, static_cast<uint32_t>(p.rate));
        EXPECT_EQ(s.channels, p.channels);
        EXPECT_EQ(s.dataLength, p.length * 2 * p.channels);
        ASSERT_LT(s.sampleGroup, ours.dls.SampleGroupNames.size());
        EXPECT_EQ(ours.dls.SampleGroupNames[s.sampleGroup], peer.groups.at(p.group - 1));
        EXPECT_EQ(s.looped != 0, p.loops > 0);
        if (p.loops > 0) {
            EXPECT_EQ(s.loopStart, static_cast<uint32_t>(p.loopStart));
            EXPECT_EQ(s.loopEnd, static_cast<uint32_t>(p.loopEnd + 1))
                << "the reader's loop end is exclusive";
        }
    }

    ASSERT_EQ(bank.PresetCount, peer.instruments.size());
    uint32_t z = 0;
    for (size_t i = 0; i < peer.instruments.size(); ++i) {
        const PeerInstrument& p = peer.instruments[i];
        const PresetRecord& preset = bank.PresetTable[i + 1];
        SCOPED_TRACE("instrument " + p.name);
        ExpectSameInstrumentHeader(preset, p);

        // Every dimension other than the sample channel and velocity splits the instrument into layers.
        size_t layers = 1;
        bool otherDimension = false;
        for (const PeerRegion& region : p.regions) {
            int bits = 0;
            for (const auto& [type, count] : region.dimensions) {
                if (type != "SAMPLECHANNEL" && type != "VELOCITY")
                    bits += count;
                otherDimension =
                    otherDimension || (type != "SAMPLECHANNEL" && type != "VELOCITY" && type != "LAYER");
            }
            layers = std::max<size_t>(layers, size_t{1} << bits);
        }
        ASSERT_EQ(preset.layerList.Count(), layers);
        for (size_t l = 0; l < layers; ++l)
            EXPECT_EQ(bank.LayerTable.at(preset.layerList[l])
                          .name.rfind(otherDimension ? "dimension " : "layer ", 0),
                      0u);

        for (const PeerRegion& region : p.regions) {
            bool velocitySplit = false;
            for (const auto& d : region.dimensions)
                velocitySplit = velocitySplit || d.first == "VELOCITY";
            for (size_t d = 0; d < region.dimensionRegions.size(); ++d) {
                const PeerDimensionRegion& dr = region.dimensionRegions[d];
                SCOPED_TRACE("zone " + std::to_string(z));
                ASSERT_LT(z, bank.ZoneCount);
                const ZoneRecord& zone = bank.ZoneTable[z++];
                EXPECT_EQ(zone.Unsigned(gen::keyRange), KeyRange(region.keyLow, region.keyHigh));
                if (dr.sample.empty()) {
                    EXPECT_FALSE(bank.IsValidSample(zone.sampleIndex));
                    continue;
                }
                ASSERT_TRUE(bank.IsValidSample(zone.sampleIndex));
                EXPECT_EQ(bank.SampleTable[zone.sampleIndex].fullName, dr.sample);
                EXPECT_EQ(zone.generators[gen::overridingRootKey], dr.unityNote);
                EXPECT_EQ(zone.generators[51] * 100 + zone.generators[52], dr.fineTune);
                EXPECT_EQ(zone.generators[gen::pan], PanFromPeer(dr.pan));
                const uint16_t velocities = PeerVelocityRange(region, d);
                if (velocities != 0) {
                    EXPECT_EQ(zone.Unsigned(gen::velRange), velocities) << std::hex << velocities;
                } else if (!velocitySplit) {
                    EXPECT_EQ(zone.Unsigned(gen::velRange), kFullRange);
                }
            }
        }
    }
    EXPECT_EQ(z, bank.ZoneCount);
}

TEST_F(LibgigPeerTest, GigaSamplerBankReadsAsGigdumpReadsIt) {
    REQUIRE_PEER(!test::FindOnPath("gigdump").empty(),
                 "gigdump is missing: install the Debian package gigtools");
    const PeerReading peer = Dump("gigdump", "peer.gig");
    ASSERT_EQ(peer.instruments.size(), 3u) << "the dump did not parse";
    ExpectSameAsGigdump(test::ReadDlsBytes(test::ReadFileBytes(Fixture("peer.gig"))), peer);
}

// GigaStudio 3 layout: 2, 5 and 6 dimensions with up to 128 dimension regions, velocity splits in the
// dimension upper limits, key switches, layers and a stereo channel split; nothing said as unsupported.
TEST_F(LibgigPeerTest, GigaStudio3BankReadsAsGigdumpReadsIt) {
    REQUIRE_PEER(!test::FindOnPath("gigdump").empty(),
                 "gigdump is missing: install the Debian package gigtools");
    const PeerReading peer = Dump("gigdump", "gs3.gig");
    ASSERT_EQ(peer.instruments.size(), 5u) << "the dump did not parse";
    ASSERT_EQ(peer.instruments[3].regions.at(0).dimensionRegions.size(), 128u);
    const test::DlsReading ours = test::ReadDlsBytes(test::ReadFileBytes(Fixture("gs3.gig")));
    ExpectSameAsGigdump(ours, peer);
    EXPECT_TRUE(ours.unsupported.lines.empty()) << ours.unsupported.lines.front();
}

TEST_F(LibgigPeerTest, DlsLevelOneBankReadsAsDlsdumpReadsIt) {
    REQUIRE_PEER(!test::FindOnPath("dlsdump").empty(),
                 "dlsdump is missing: install the Debian package gigtools");
    const PeerReading peer = Dump("dlsdump", "peer.dls");
    const test::DlsReading ours = test::ReadDlsBytes(test::ReadFileBytes(Fixture("peer.dls")));
    const BankModel& bank = ours.bank;
    ASSERT_EQ(peer.instruments.size(), 2u) << "the dump did not parse";
    EXPECT_EQ(bank.DlsFlavour, DlsFlavour::Dls);

    ASSERT_EQ(bank.SampleCount, peer.samples.size());
    for (size_t i = 0; i < peer.samples.size(); ++i) {
        SCOPED_TRACE("sample " + peer.samples[i].name);
        EXPECT_EQ(bank.SampleTable[i].fullName, peer.samples[i].name);
        EXPECT_EQ(bank.SampleTable[i].sampleRate, static_cast<uint32_t>(peer.samples[i].rate));
        EXPECT_EQ(bank.SampleTable[i].channels, peer.samples[i].channels);
    }

    ASSERT_EQ(bank.PresetCount, peer.instruments.size());
    uint32_t z = 0;
    for (size_t i = 0; i < peer.instruments.size(); ++i) {
        const PeerInstrument& p = peer.instruments[i];
        const PresetRecord& preset = bank.PresetTable[i + 1];
        SCOPED_TRACE("instrument " + p.name);
        ExpectSameInstrumentHeader(preset, p);
        ASSERT_EQ(preset.layerList.Count(), 1u);
        EXPECT_EQ(bank.LayerTable.at(preset.layerList[0]).zoneList.Count(), p.regions.size());
        for (const PeerRegion& region : p.regions) {
            SCOPED_TRACE("zone " + std::to_string(z));
            ASSERT_LT(z, bank.ZoneCount);
            const ZoneRecord& zone = bank.ZoneTable[z++];
            EXPECT_EQ(zone.Unsigned(gen::keyRange), KeyRange(region.keyLow, region.keyHigh));
            EXPECT_EQ(zone.Unsigned(gen::velRange), KeyRange(region.velocityLow, region.velocityHigh));
            ASSERT_TRUE(bank.IsValidSample(zone.sampleIndex));
            EXPECT_EQ(bank.SampleTable[zone.sampleIndex].fullName, region.sample);
            EXPECT_EQ(zone.IsSet(gen::sampleModes), region.loops > 0);
        }
    }
    EXPECT_EQ(z, bank.ZoneCount);
}

} // namespace
} // namespace quorvane
