// quorvane-cli's reading of a real bank, TimGM6mb.sf2 from Debian's timgm6mb-soundfont, checked against two
// independent readers of the same file: libgig's sf2dump (Debian gigtools), run as a program and read from
// its text output, and FluidSynth's preset list. The bank is small enough for every run and holds both
// melodic presets and drum kits (bank 128).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <fluidsynth.h>

#include "support/Peers.h"
#include "support/RunProcess.h"

namespace quorvane::test {
namespace {

constexpr const char* kBank = kTimGM6mbPath;

// A preset as the model holds it: drum kits (SoundFont bank 128) are isDrum with bank 0.
struct Preset {
    std::string name;
    int bank = 0;
    int program = 0;
    bool isDrum = false;
};

Preset FromSoundFontBank(std::string name, int bank, int program) {
    if (bank == 128) {
        return {std::move(name), 0, program, true};
    }
    return {std::move(name), bank, program, false};
}

std::string Describe(const Preset& p) {
    std::ostringstream text;
    text << "'" << p.name << "' bank " << p.bank << " program " << p.program << (p.isDrum ? " drum" : "");
    return text.str();
}

// One sample record of the file's sample headers, in file order.
struct Sample {
    std::string name;
    int64_t frames = 0;
    int64_t sampleRate = 0;
    int rootKey = 0;
    int pitchCorrection = 0;
};

std::string Describe(const Sample& s) {
    std::ostringstream text;
    text << "'" << s.name << "' " << s.frames << " frames at " << s.sampleRate << " Hz, key " << s.rootKey
         << ", " << s.pitchCorrection << " cents";
    return text.str();
}

// An instrument zone as sf2dump prints it; -1 where it prints nothing.
struct Sf2dumpZone {
    std::string sample;
    int overridingRootKey = -1;
    int64_t loopStart = -1;
    int64_t loopEnd = -1;
};

struct Sf2dumpInstrument {
    std::string name;
    std::vector<Sf2dumpZone> zones;
};

// sf2dump's text output: a "File info:" block of "\tLabel: value" lines, then "Samples (N): ",
// "Instruments (N): " and "Presets (N): " sections, each entry in file order. A sample is three lines:
//   \tNAME (Depth: 16, SampleRate: 22500, Pitch: 79, Pitch Correction: 43
//   \t\tStart: 0, End: 9320, Start Loop: 3924, End Loop: 7954
//   \t\tSample Type: Mono Sample, Sample Link: 0)
// with Start and End in sample words from the start of the sample data and the pitch correction printed
// as an unsigned byte. An instrument is "\tNAME (Instrument bag: 0)", then "\t\tRegion K" blocks whose
// first line is "\t\t    Sample: NAME, Fine Tune: 0" followed by ", Overriding Root Key: K" when the zone
// sets one and ", Loop Start: A, Loop End: B" (frames from the sample's start) when the zone loops. A
// preset is "\tNAME (Preset: 73, Bank: 0, Preset bag: 0)", then regions that each name their
// instrument in a line "\t\t    Instrument: NAME". Names may themselves hold parentheses
// ("Strings (Tremelo)"), so the fields are matched from the end of the line.
struct Sf2dumpReading {
    std::map<std::string, std::string> fileInfo;
    int declaredSamples = -1;
    int declaredInstruments = -1;
    int declaredPresets = -1;
    std::vector<Sample> samples;
    std::vector<Sf2dumpInstrument> instruments;
    std::vector<Preset> presets;
    std::vector<std::vector<std::string>> presetInstruments; // per preset, the instrument of each region
};

Sf2dumpReading ParseSf2dump(const std::string& text) {
    static const std::regex section(R"(^(Samples|Instruments|Presets) \((\d+)\):\s*$)");
    static const std::regex infoLine(R"(^\t([^\t:]+): ?(.*)$)");
    static const std::regex sampleLine(
        R"(^\t([^\t].*) \(Depth: \d+, SampleRate: (\d+), Pitch: (\d+), Pitch Correction: (\d+)$)");
    static const std::regex rangeLine(R"(^\t\tStart: (\d+), End: (\d+), Start Loop: \d+, End Loop: \d+$)");
    static const std::regex instrumentLine(R"(^\t([^\t].*) \(Instrument bag: \d+\)$)");
    static const std::regex zoneLine(
        R"(^\t\t    Sample: (.*), Fine Tune: -?\d+)"
        R"((?:, Overriding Root Key: (\d+))?(?:, Loop Start: (\d+), Loop End: (\d+))?$)");
    static const std::regex presetLine(R"(^\t([^\t].*) \(Preset: (\d+), Bank: (\d+), Preset bag: \d+\)$)");
    static const std::regex layerLine(R"(^\t\t    Instrument: (.*)$)");

    Sf2dumpReading reading;
    std::string current = "File info";
    std::istringstream lines(text);
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (std::regex_match(line, m, section)) {
            current = m[1].str();
            const int count = std::stoi(m[2]);
            (current == "Samples"       ? reading.declaredSamples
             : current == "Instruments" ? reading.declaredInstruments
                                        : reading.declaredPresets) = count;
        } else if (current == "File info" && std::regex_match(line, m, infoLine)) {
            reading.fileInfo[m[1].str()] = m[2].str();
        } else if (current == "Samples" && std::regex_match(line, m, sampleLine)) {
            Sample s;
            s.name = m[1].str();
            s.sampleRate = std::stoll(m[2]);
            s.rootKey = std::stoi(m[3]);
            // sf2dump prints the correction as a signed byte; anything else wraps as the file's byte would.
            const int byte = (std::stoi(m[4]) % 256 + 256) % 256;
            s.pitchCorrection = byte < 128 ? byte : byte - 256;
            reading.samples.push_back(s);
        } else if (current == "Samples" && std::regex_match(line, m, rangeLine) && !reading.samples.empty()) {
            reading.samples.back().frames = std::stoll(m[2]) - std::stoll(m[1]);
        } else if (current == "Instruments" && std::regex_match(line, m, instrumentLine)) {
            reading.instruments.push_back({m[1].str(), {}});
        } else if (current == "Instruments" && std::regex_match(line, m, zoneLine) &&
                   !reading.instruments.empty()) {
            Sf2dumpZone zone;
            zone.sample = m[1].str();
            if (m[2].matched) {
                zone.overridingRootKey = std::stoi(m[2]);
            }
            if (m[3].matched) {
                zone.loopStart = std::stoll(m[3]);
                zone.loopEnd = std::stoll(m[4]);
            }
            reading.instruments.back().zones.push_back(zone);
        } else if (current == "Presets" && std::regex_match(line, m, presetLine)) {
            reading.presets.push_back(FromSoundFontBank(m[1].str(), std::stoi(m[3]), std::stoi(m[2])));
            reading.presetInstruments.emplace_back();
        } else if (current == "Presets" && std::regex_match(line, m, layerLine) &&
                   !reading.presetInstruments.empty()) {
            reading.presetInstruments.back().push_back(m[1].str());
        }
    }
    return reading;
}

class TimGM6mbPeers : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!std::filesystem::exists(kBank)) {
            return;
        }
        ProcessResult result = RunProcess(QUORVANE_CLI_PATH, {"info", "--json", kBank});
        cliStatus_ = result.exitStatus;
        cliError_ = result.err;
        ours_ = nlohmann::json::parse(result.out, nullptr, false);

        const std::string sf2dump = FindOnPath("sf2dump");
        if (!sf2dump.empty()) {
            ProcessResult peer = RunProcess(sf2dump, {kBank});
            sf2dumpStatus_ = peer.exitStatus;
            sf2dumpError_ = peer.err;
            sf2dump_ = ParseSf2dump(peer.out);
        }
    }

    // Skips the test when sf2dump is missing (fails it under CI); checks that its run gave a reading worth
    // comparing with.
    static void RequireSf2dump() {
        REQUIRE_PEER(sf2dumpStatus_ != -1, "sf2dump is not on PATH: install the Debian package gigtools");
        ASSERT_EQ(sf2dumpStatus_, 0) << sf2dumpError_;
        // The parser must have understood every entry the peer announced, or a comparison proves nothing.
        const Sf2dumpReading& r = sf2dump_;
        ASSERT_GT(r.declaredSamples, 0);
        ASSERT_EQ(static_cast<int>(r.samples.size()), r.declaredSamples);
        ASSERT_GT(r.declaredInstruments, 0);
        ASSERT_EQ(static_cast<int>(r.instruments.size()), r.declaredInstruments);
        ASSERT_GT(r.declaredPresets, 0);
        ASSERT_EQ(static_cast<int>(r.presets.size()), r.declaredPresets);
    }

    void SetUp() override {
        REQUIRE_PEER(std::filesystem::exists(kBank),
                     kBank << " is missing: install the Debian package timgm6mb-soundfont");
        ASSERT_EQ(cliStatus_, 0) << cliError_;
        ASSERT_FALSE(ours_.is_discarded()) << "quorvane-cli info --json printed no valid JSON";
    }

    static std::vector<Preset> OurPresets() {
        std::vector<Preset> presets;
        for (const nlohmann::json& p : ours_.at("presets")) {
            presets.push_back({p.at("name").get<std::string>(), p.at("bank").get<int>(),
                               p.at("program").get<int>(), p.at("isDrum").get<int>() != 0});
        }
        return presets;
    }

    static int cliStatus_;
    static std::string cliError_;
    static nlohmann::json ours_;
    static int sf2dumpStatus_;
    static std::string sf2dumpError_;
    static Sf2dumpReading sf2dump_;
};

int TimGM6mbPeers::cliStatus_ = -1;
std::string TimGM6mbPeers::cliError_;
nlohmann::json TimGM6mbPeers::ours_;
int TimGM6mbPeers::sf2dumpStatus_ = -1;
std::string TimGM6mbPeers::sf2dumpError_;
Sf2dumpReading TimGM6mbPeers::sf2dump_;

TEST_F(TimGM6mbPeers, PresetsSamplesAndInfoAgreeWithSf2dump) {
    RequireSf2dump();
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    Sf2dumpReading theirs = sf2dump_;

    EXPECT_EQ(ours_.at("format"), "SoundFont " + theirs.fileInfo["Version"]);
    const std::map<std::string, std::string> infoTags = {
        {"Bank Name", "INAM"}, {"Copyright", "ICOP"}, {"Comments", "ICMT"}, {"Creation Date", "ICRD"},
        {"Engineers", "IENG"}, {"Product", "IPRD"},   {"Software", "ISFT"},
    };
    const nlohmann::json& info = ours_.at("info");
    for (const auto& [label, tag] : infoTags) {
        const std::string& expected = theirs.fileInfo[label];
        if (expected.empty()) {
            EXPECT_FALSE(info.contains(tag)) << tag << " is empty in the file and must be left out";
        } else {
            EXPECT_EQ(info.value(tag, std::string("<absent>")), expected) << tag;
        }
    }

    // Presets in file order: slot k holds the k-th preset header.
    const std::vector<Preset> ourPresets = OurPresets();
    ASSERT_EQ(ourPresets.size(), theirs.presets.size());
    for (size_t i = 0; i < ourPresets.size(); ++i) {
        EXPECT_EQ(ours_["presets"][i].at("slot").get<int>(), static_cast<int>(i) + 1);
        EXPECT_EQ(Describe(ourPresets[i]), Describe(theirs.presets[i])) << "preset slot " << i + 1;
    }

    // Samples in file order, compared on the name as read (the display name may lose a stereo suffix)
    // and on the header fields the model keeps.
    const nlohmann::json& ourSamples = ours_.at("samples");
    ASSERT_EQ(ourSamples.size(), theirs.samples.size());
    for (size_t i = 0; i < ourSamples.size(); ++i) {
        const nlohmann::json& s = ourSamples[i];
        Sample ours;
        ours.name = s.at("fullName").get<std::string>();
        ours.frames = s.at("dataLength").get<int64_t>() / 2;
        ours.sampleRate = s.at("sampleRate").get<int64_t>();
        ours.rootKey = s.at("rootKey").get<int>();
        ours.pitchCorrection = s.at("pitchCorrection").get<int>();
        Sample expected = theirs.samples[i];
        expected.rootKey &= 127;
        EXPECT_EQ(Describe(ours), Describe(expected)) << "sample " << i;
    }
}

// The links between the tables: which instruments each preset's layers name, which zones each layer
// holds, and which sample each zone plays, with the zone's root key and loop. TimGM6mb.sf2 has no global
// zones (which libgig keeps apart from its regions), so every layer and zone has a region to match.
TEST_F(TimGM6mbPeers, LayersAndZonesAgreeWithSf2dump) {
    RequireSf2dump();
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    const nlohmann::json& presets = ours_.at("presets");
    const nlohmann::json& layers = ours_.at("layers");
    const nlohmann::json& zones = ours_.at("zones");
    const nlohmann::json& samples = ours_.at("samples");

    ASSERT_EQ(presets.size(), sf2dump_.presetInstruments.size());
    for (size_t p = 0; p < presets.size(); ++p) {
        std::vector<std::string> ourLayers;
        for (const nlohmann::json& layer : presets[p].at("layerList")) {
            ourLayers.push_back(layers.at(layer.get<size_t>()).at("name").get<std::string>());
        }
        EXPECT_EQ(ourLayers, sf2dump_.presetInstruments[p]) << "layers of preset slot " << p + 1;
    }

    // Every instrument is a layer, through a preset or appended after them, so every zone is reached.
    std::vector<bool> reached(zones.size(), false);
    for (size_t l = 0; l < layers.size(); ++l) {
        SCOPED_TRACE("layer " + std::to_string(l));
        const nlohmann::json& layer = layers[l];
        const nlohmann::json& generators = layer.at("generators");
        ASSERT_TRUE(generators.contains("41")) << "every layer of this bank names an instrument";
        const size_t instrument = generators["41"].get<size_t>();
        ASSERT_LT(instrument, sf2dump_.instruments.size());
        const Sf2dumpInstrument& theirs = sf2dump_.instruments[instrument];
        EXPECT_EQ(layer.at("name"), theirs.name);
        const nlohmann::json& zoneList = layer.at("zoneList");
        ASSERT_EQ(zoneList.size(), theirs.zones.size()) << theirs.name;
        for (size_t k = 0; k < zoneList.size(); ++k) {
            const nlohmann::json& zone = zones.at(zoneList[k].get<size_t>());
            const Sf2dumpZone& expected = theirs.zones[k];
            const size_t sample = zone.at("sampleIndex").get<size_t>();
            ASSERT_LT(sample, samples.size());
            EXPECT_EQ(samples[sample].at("fullName"), expected.sample) << theirs.name << " zone " << k;
            if (expected.overridingRootKey >= 0) {
                EXPECT_EQ(zone.at("generators").value("58", -1), expected.overridingRootKey)
                    << theirs.name << " zone " << k;
            }
            const int sampleModes = zone.at("generators").value("54", 0);
            const bool looped = sampleModes == 1 || sampleModes == 3;
            EXPECT_EQ(looped, expected.loopStart >= 0) << theirs.name << " zone " << k;
            if (expected.loopStart >= 0) {
                EXPECT_EQ(zone.at("loopStart").get<int64_t>(), expected.loopStart)
                    << theirs.name << " zone " << k;
                EXPECT_EQ(zone.at("loopEnd").get<int64_t>(), expected.loopEnd)
                    << theirs.name << " zone " << k;
            }
            reached[zoneList[k].get<size_t>()] = true;
        }
    }
    EXPECT_EQ(std::count(reached.begin(), reached.end(), false), 0) << "zones that no layer lists";
}

TEST_F(TimGM6mbPeers, PresetsAgreeWithFluidSynth) {
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
        fluid_set_log_function(level, nullptr, nullptr);
    }
    fluid_settings_t* settings = new_fluid_settings();
    fluid_synth_t* synth = new_fluid_synth(settings);
    ASSERT_NE(synth, nullptr);
    const int id = fluid_synth_sfload(synth, kBank, 0);
    std::vector<std::string> theirs;
    if (id != FLUID_FAILED) {
        fluid_sfont_t* sfont = fluid_synth_get_sfont_by_id(synth, id);
        fluid_sfont_iteration_start(sfont);
        while (fluid_preset_t* preset = fluid_sfont_iteration_next(sfont)) {
            theirs.push_back(
                Describe(FromSoundFontBank(fluid_preset_get_name(preset), fluid_preset_get_banknum(preset),
                                           fluid_preset_get_num(preset))));
        }
    }
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    ASSERT_NE(id, FLUID_FAILED) << "FluidSynth could not load " << kBank;
    ASSERT_FALSE(theirs.empty());

    // FluidSynth lists presets by bank and program, not in file order: compare them sorted.
    std::vector<std::string> ours;
    for (const Preset& p : OurPresets()) {
        ours.push_back(Describe(p));
    }
    std::sort(ours.begin(), ours.end());
    std::sort(theirs.begin(), theirs.end());
    EXPECT_EQ(ours, theirs);
}

TEST_F(TimGM6mbPeers, ReportForAPersonNamesEveryPreset) {
    ProcessResult result = RunProcess(QUORVANE_CLI_PATH, {"info", kBank});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find(ours_.at("format").get<std::string>()), std::string::npos);
    for (const Preset& p : OurPresets()) {
        EXPECT_NE(result.out.find(p.name), std::string::npos) << p.name;
    }
}

} // namespace
} // namespace quorvane::test
