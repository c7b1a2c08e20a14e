// SFZ folders written from a bank: each region carries what a SoundFont player would sound (instrument and
// preset levels combined), shared opcodes move to <global> and <group>, what SFZ cannot say is reported,
// and the sample files hold the frames the bank holds, 16 or 24 bit, as WAVE or FLAC.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sndfile.h>
#include <sstream>
#include <string>
#include <vector>

#include "convert/BankWriters.h"
#include "support/RecordingHost.h"
#include "support/SoundFontBuilder.h"
#include "support/SoundFontWriterFixtures.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using Opcodes = std::map<std::string, std::string>;

struct ParsedSfz {
    std::vector<std::string> headers; // in order, as written
    std::vector<Opcodes> regions;     // each with the opcodes of its <global> and <group> merged in
};

// Reads what the writer writes: a header and its opcodes on one line, values without blanks.
ParsedSfz ParseSfz(const std::string& path) {
    ParsedSfz parsed;
    std::ifstream in(path);
    std::string line;
    Opcodes global, group;
    while (std::getline(in, line)) {
        if (line.empty() || line.starts_with("//"))
            continue;
        std::istringstream words(line);
        std::string header, word;
        words >> header;
        parsed.headers.push_back(header);
        Opcodes opcodes;
        while (words >> word)
            opcodes[word.substr(0, word.find('='))] = word.substr(word.find('=') + 1);
        if (header == "<global>") {
            global = group = opcodes;
        } else if (header == "<group>") {
            group = global;
            for (const auto& [name, value] : opcodes)
                group[name] = value;
        } else if (header == "<region>") {
            Opcodes region = group;
            for (const auto& [name, value] : opcodes)
                region[name] = value;
            parsed.regions.push_back(region);
        }
    }
    return parsed;
}

// Two zones of one instrument under a preset zone that narrows the keys and adds a tuning and an
// attenuation, and a preset global zone that adds attenuation to every zone.
test::SoundFontBuilder KeysBank() {
    test::SoundFontBuilder sf;
    sf.AddSample("Lo", 300);
    sf.AddSample("Hi", 300);
    sf.instruments = {
        {.name = "Keys",
         .bags = {
             test::Gens({{gen::sampleModes, 1}, {gen::attackVolEnv, 1200}, {gen::initialAttenuation, 100}}),
             test::Gens({{gen::keyRange, test::Range(0, 63)},
                         {gen::coarseTune, 1},
                         {gen::fineTune, 30},
                         {gen::exclusiveClass, 3},
                         {gen::sampleID, 0}}),
             test::Bag{{{gen::keyRange, test::Range(64, 127)},
                        {gen::pan, 250},
                        {gen::initialFilterFc, 6900},
                        {gen::sampleID, 1}},
                       std::nullopt,
                       {test::Modulator{2, 48, 960, 0, 0}}}}}};
    sf.presets = {
        {.name = "Keys: Soft",
         .bags = {
             test::Gens({{gen::initialAttenuation, 50}}),
             test::Gens({{gen::keyRange, test::Range(40, 90)}, {gen::fineTune, 5}, {gen::instrument, 0}})}}};
    return sf;
}

TEST(SfzWriter, RegionsSoundAsTheSoundFontZonesWithBothLevelsCombined) {
    test::TempDir dir;
    const std::string bank = dir.Write("keys.sf2", KeysBank().Build());
    test::RecordingHost host;
    Workspace workspace{host};
    ASSERT_EQ(test::LoadBankFile(workspace, bank), LoadStatus::Loaded);
    const std::string folder = dir.Folder() + "out/";
    const SfzWriteResult result = WriteSfz(workspace, WriteSelection::All(workspace.bank), 0, folder);
    ASSERT_TRUE(result.written);
    ASSERT_EQ(result.files, std::vector<std::string>{folder + "Keys; Soft.sfz"});
    EXPECT_EQ(result.losses, std::vector<std::string>{"1 region(s): SoundFont modulators"});

    const ParsedSfz sfz = ParseSfz(result.files[0]);
    EXPECT_EQ(sfz.headers, (std::vector<std::string>{"<global>", "<region>", "<region>"}));
    ASSERT_EQ(sfz.regions.size(), 2u);
    // Attack 1200 timecents is 2 s; attenuation (100 + 50) cB at FluidSynth's 0.4 is 6 dB.
    const Opcodes low = {{"lokey", "40"},
                         {"hikey", "63"},
                         {"pitch_keycenter", "60"},
                         {"transpose", "1"},
                         {"tune", "35"},
                         {"volume", "-6"},
                         {"group", "3"},
                         {"off_by", "3"},
                         {"loop_mode", "loop_continuous"},
                         {"loop_start", "8"},
                         {"loop_end", "291"},
                         {"ampeg_attack", "2"},
                         {"sample", "samples/Lo.wav"}};
    const Opcodes high = {{"lokey", "64"},
                          {"hikey", "90"},
                          {"pitch_keycenter", "60"},
                          {"tune", "5"},
                          {"volume", "-6"},
                          {"pan", "50"},
                          {"fil_type", "lpf_2p"},
                          {"cutoff", "440.011"},
                          {"loop_mode", "loop_continuous"},
                          {"loop_start", "8"},
                          {"loop_end", "291"},
                          {"ampeg_attack", "2"},
                          {"sample", "samples/Hi.wav"}};
    EXPECT_EQ(sfz.regions[0], low);
    EXPECT_EQ(sfz.regions[1], high);
    EXPECT_TRUE(std::filesystem::exists(folder + "samples/Lo.wav"));
    EXPECT_TRUE(std::filesystem::exists(folder + "samples/Hi.wav"));
}

// A layer's regions share a group only where they share opcodes; a group after one that has opcodes
// starts afresh, so its regions never take the other layer's.
TEST(SfzWriter, GroupsOnlyWhereRegionsShareOpcodes) {
    for (const bool loudFirst : {true, false}) {
        SCOPED_TRACE(loudFirst ? "the grouped layer first" : "the single region first");
        test::SoundFontBuilder sf;
        sf.AddSample("A", 300);
        sf.AddSample("B", 300);
        const test::Instrument loud{.name = "Loud",
                                    .bags = {test::Gens({{gen::keyRange, test::Range(0, 59)},
                                                         {gen::initialAttenuation, 100},
                                                         {gen::sampleID, 0}}),
                                             test::Gens({{gen::keyRange, test::Range(60, 127)},
                                                         {gen::initialAttenuation, 100},
                                                         {gen::sampleID, 1}})}};
        const test::Instrument plain{.name = "Plain", .bags = {test::Gens({{gen::sampleID, 0}})}};
        sf.instruments = loudFirst ? std::vector{loud, plain} : std::vector{plain, loud};
        sf.presets = {{.name = "Two",
                       .bags = {test::Gens({{gen::instrument, 0}}), test::Gens({{gen::instrument, 1}})}}};
        test::TempDir dir;
        test::RecordingHost host;
        Workspace workspace{host};
        ASSERT_EQ(test::LoadBankFile(workspace, dir.Write("two.sf2", sf.Build())), LoadStatus::Loaded);
        const SfzWriteResult result =
            WriteSfz(workspace, WriteSelection::All(workspace.bank), 0, dir.Folder() + "out/");
        ASSERT_EQ(result.files.size(), 1u);
        const ParsedSfz sfz = ParseSfz(result.files[0]);
        const std::vector<std::string> expected =
            loudFirst ? std::vector<std::string>{"<global>", "<group>", "<region>",
                                                 "<region>", "<group>", "<region>"}
                      : std::vector<std::string>{"<global>", "<region>", "<group>", "<region>", "<region>"};
        EXPECT_EQ(sfz.headers, expected);
        ASSERT_EQ(sfz.regions.size(), 3u);
        for (size_t r = 0; r < 3; ++r)
            EXPECT_EQ(sfz.regions[r].count("volume"), r == (loudFirst ? 2u : 0u) ? 0u : 1u) << r;
    }
}

// The frames of a sound file as libsndfile reads them, as 24-bit values, and its sample format.
std::vector<int32_t> FramesOf(const std::string& path, int& format) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
        return {};
    std::vector<int> values(static_cast<size_t>(info.frames * info.channels));
    sf_readf_int(file, values.data(), info.frames);
    sf_close(file);
    format = info.format;
    std::vector<int32_t> frames;
    for (int v : values)
        frames.push_back(v / 256);
    return frames;
}

TEST(SfzWriter, SampleFilesHoldTheBanksFramesAt16Or24BitsAsWaveOrFlac) {
    struct Case {
        SoundFileContainer container;
        bool wide;
        int expectedFormat;
    };
    for (const Case& c : {Case{SoundFileContainer::Wave, false, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
                          Case{SoundFileContainer::Wave, true, SF_FORMAT_WAV | SF_FORMAT_PCM_24},
                          Case{SoundFileContainer::Flac, false, SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
                          Case{SoundFileContainer::Flac, true, SF_FORMAT_FLAC | SF_FORMAT_PCM_24}}) {
        SCOPED_TRACE(std::string(ExtensionOf(c.container)) + (c.wide ? " 24" : " 16"));
        test::SoundFontBuilder sf = KeysBank();
        sf.version = std::pair<uint16_t, uint16_t>{2, 4};
        for (size_t i = 0; c.wide && i < sf.sampleWords.size() + sf.sampleWords.size() % 2; ++i)
            sf.sampleLowBytes.push_back(static_cast<uint8_t>(i * 37));
        test::TempDir dir;
        const std::string bank = dir.Write("keys.sf2", sf.Build());
        test::RecordingHost host;
        Workspace workspace{host};
        ASSERT_EQ(test::LoadBankFile(workspace, bank), LoadStatus::Loaded);
        workspace.writer.sfzSampleFormat = c.container;
        ASSERT_TRUE(
            WriteSfz(workspace, WriteSelection::All(workspace.bank), 0, dir.Folder() + "out/").written);
        for (const test::Sample& sample : sf.samples) {
            int format = 0;
            const std::vector<int32_t> frames = FramesOf(
                dir.Folder() + "out/samples/" + sample.name + "." + ExtensionOf(c.container), format);
            EXPECT_EQ(format, c.expectedFormat);
            ASSERT_EQ(frames.size(), sample.end - sample.start) << sample.name;
            for (uint32_t i = 0; i < frames.size(); ++i) {
                const uint32_t at = sample.start + i;
                ASSERT_EQ(frames[i], sf.sampleWords[at] * 256 + (c.wide ? sf.sampleLowBytes[at] : 0))
                    << sample.name << " frame " << i;
            }
        }
    }
}

} // namespace
} // namespace quorvane
