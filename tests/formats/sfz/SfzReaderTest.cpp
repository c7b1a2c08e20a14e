// SFZ instruments read into the bank model: #define, #include, <control> default_path and the
// <global>/<master>/<group> inheritance give each region its opcodes, key switches leave the regions of
// the default switch, and nothing named in the text reaches outside the instrument's folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "formats/sfz/SfzReader.h"
#include "formats/sfz/SfzSampleSource.h"
#include "support/AudioFileBuilder.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::Bytes;

Bytes Wave(uint16_t channels, uint16_t bits, uint32_t frames) {
    Bytes data(frames * channels * (bits / 8));
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 7 + 3);
    return test::WaveForm({{"fmt ", test::FmtBody(1, channels, 44100, bits)}, {"data", data}});
}

struct ExpectedZone {
    std::string sample;
    int lokey, hikey, root, coarse, fine, attenuation, pan, modes;
};

TEST(SfzReader, AHandWrittenInstrumentGivesTheZonesAPlayerSounds) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.Path() / "inst" / "wav");
    dir.Write("inst/wav/piano c3.wav", Wave(1, 16, 400));
    dir.Write("inst/wav/piano c5.wav", Wave(1, 16, 500));
    dir.Write("inst/wav/strings.wav", Wave(2, 24, 300));
    dir.Write("inst/wav/staccato.wav", Wave(1, 16, 100));
    dir.Write("secret.wav", Wave(1, 16, 100));
    dir.Write("inst/common.sfzh", {'v', 'o', 'l', 'u', 'm', 'e', '=', '-', '6', '\n'});
    const std::string text =
        "// a piano with strings on a key switch\n"
        "#define $LOW 48\n"
        "#define $LOWER 36 /* not to be read as $LOW and \"ER\" */\n"
        "<control> default_path=wav/\n"
        "<global> ampeg_release=0.5 sw_default=c1\n"
        "<master>\n"
        "#include \"common.sfzh\"\n"
        "<group> sw_last=c1 loop_mode=loop_continuous\n"
        "<region> sample=piano c3.wav lokey=$LOWER hikey=59 pitch_keycenter=$LOW tune=-30\n"
        "<region> sample=piano c5.wav lokey=c4 hikey=127 pitch_keycenter=c5 transpose=1\n"
        "<group> sw_last=d1\n"
        "<region> sample=staccato.wav\n"
        "<master> pan=20\n"
        "<group>\n"
        "<region> sample=strings.wav key=72 unknown_opcode=3\n"
        "<region> sample=../../secret.wav\n"
        "#include \"../outside.sfzh\"\n";
    const std::string path = dir.Write("inst/Piano.sfz", Bytes(text.begin(), text.end()));

    BankModel bank;
    std::vector<SfzSampleFile> files;
    ReadNotes notes;
    ASSERT_TRUE(ReadSfzBank(path, bank, files, notes)) << notes.damage;
    ASSERT_EQ(bank.PresetCount, 1u);
    EXPECT_EQ(bank.PresetTable[1].name, "Piano");

    // Volume -6 dB is 150 cB at FluidSynth's 0.4; pan 20 % is 100; a stereo file's halves go left and right.
    const std::vector<ExpectedZone> expected = {
        {"piano c3", 36, 59, 48, 0, -30, 150, 0, 1},
        {"piano c5", 60, 127, 72, 1, 0, 150, 0, 1},
        {"strings(L)", 72, 72, 72, 0, 0, 0, -400, 0},
        {"strings(R)", 72, 72, 72, 0, 0, 0, 500, 0},
    };
    ASSERT_EQ(bank.ZoneCount, expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const ExpectedZone& e = expected[i];
        const ZoneRecord& zone = bank.ZoneTable[i];
        SCOPED_TRACE(e.sample);
        ASSERT_TRUE(bank.IsValidSample(zone.sampleIndex));
        EXPECT_EQ(bank.SampleTable[zone.sampleIndex].name, e.sample);
        EXPECT_EQ(zone.Unsigned(gen::keyRange), e.hikey << 8 | e.lokey);
        EXPECT_EQ(zone.generators[gen::overridingRootKey], e.root);
        EXPECT_EQ(zone.generators[gen::coarseTune], e.coarse);
        EXPECT_EQ(zone.generators[gen::fineTune], e.fine);
        EXPECT_EQ(zone.generators[gen::initialAttenuation], e.attenuation);
        EXPECT_EQ(zone.generators[gen::pan], e.pan);
        EXPECT_EQ(zone.generators[gen::sampleModes], e.modes);
        EXPECT_EQ(zone.generators[gen::releaseVolEnv], SecondsToTimecents(0.5));
    }
    const SampleRecord& left = bank.SampleTable[bank.ZoneTable[2].sampleIndex];
    EXPECT_EQ(SampleBits(left), 24);
    EXPECT_EQ(left.sampleType, 4);
    EXPECT_EQ(left.linkIndex, bank.ZoneTable[3].sampleIndex + 1u);

    auto noted = [&](const std::string& part) {
        return std::any_of(notes.lines.begin(), notes.lines.end(),
                           [&](const std::string& line) { return line.find(part) != std::string::npos; });
    };
    EXPECT_TRUE(noted("1 region(s): regions of other key switches than the default"));
    EXPECT_TRUE(noted("sample \"wav/../../secret.wav\" refused"));
    EXPECT_TRUE(noted("#include \"../outside.sfzh\" refused"));
    EXPECT_TRUE(noted("opcodes not read: unknown_opcode"));

    // The stereo file's halves come back as its two channels, 24 bits each.
    SfzSampleSource source;
    source.Bind(bank, files);
    FrameBuffer l, r;
    EXPECT_EQ(source.Fetch(bank.ZoneTable[2].sampleIndex, {l, r}, true).readErrors, 0u);
    ASSERT_EQ(l.FrameCount(), 300u);
    ASSERT_EQ(r.FrameCount(), 300u);
    ASSERT_TRUE(l.Wide() && r.Wide());
    // Frame 0's bytes are 3, 10, 17 (left) and 24, 31, 38 (right), little-endian.
    EXPECT_EQ(l.Frame24(0), 17 << 16 | 10 << 8 | 3);
    EXPECT_EQ(r.Frame24(0), 38 << 16 | 31 << 8 | 24);
}

TEST(SfzReader, KeysAreNumbersOrNoteNames) {
    struct Case {
        const char* text;
        int key;
    };
    for (const Case& c : {Case{"60", 60}, Case{"c4", 60}, Case{"C#4", 61}, Case{"db4", 61}, Case{"c-1", 0},
                          Case{"g9", 127}, Case{"a9", -1}, Case{"128", -1}, Case{"h2", -1}, Case{"", -1}})
        EXPECT_EQ(SfzKey(c.text), c.key) << c.text;
}

} // namespace
} // namespace quorvane
