// The audio-file listing: what each WAVE and AIFF header gives in its data line, which files are listed,
// and what the completion step makes of the lines (records, captions, pictures).
#include <gtest/gtest.h>

#include <optional>

#include "convert/AudioFolder.h"
#include "convert/BankWriters.h"
#include "convert/SampleFetch.h"
#include "formats/audio/AudioFileList.h"
#include "support/AudioFileBuilder.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using namespace test;

constexpr uint32_t kCent = 42949672; // one cent of a sampler chunk's pitch fraction

Bytes Silence(size_t bytes) {
    return Bytes(bytes, 0);
}

std::vector<AiffMarker> Markers(uint16_t count) {
    std::vector<AiffMarker> markers;
    for (uint16_t id = 1; id <= count; ++id)
        markers.push_back({id, id * 10u, id % 2 ? "odd" : ""});
    return markers;
}

struct ListCase {
    const char* what;
    std::string fileName;
    Bytes bytes;
    bool showCompressed = false;
    // The data line's fields after "DATA ", or nullopt when the file must not be listed.
    std::optional<std::string> fields;
    std::string caption; // after completion
    uint8_t image = 0, selectedImage = 0;
    uint16_t looped = 0;
    uint32_t loopStart = 0, loopEnd = 0;
    int32_t pitchCorrection = 0;
    uint16_t rootKey = 0;
};

std::vector<ListCase> Cases() {
    const Bytes fmt16 = FmtBody(1, 1, 22050, 16);
    return {
        {"WAVE with a sampler loop 1000..1999", "a.wav",
         WaveForm(
             {{"fmt ", fmt16}, {"smpl", SmplBody(60, 50 * kCent, 1, 1000, 1999)}, {"data", Silence(4000)}}),
         false, "0000 0001 0001 00005622 0010 0002 00000070 00000fa0 0001 000003e8 000007d0 0032 003c ",
         "a.wav", 0, 4, 1, 1000, 2000, -50, 60},
        {"the loop is cut to the frames the data holds", "b.wav",
         WaveForm({{"fmt ", fmt16}, {"smpl", SmplBody(60, 0, 1, 1000, 1999)}, {"data", Silence(3000)}}),
         false, "0000 0001 0001 00005622 0010 0002 00000070 00000bb8 0001 000003e8 000007d0 0000 003c ",
         "b.wav", 0, 4, 1, 1000, 1500, 0, 60},
        {"a sampler chunk shorter than 60 bytes gives note and fraction but no loop, and nothing of the next "
         "chunk",
         "c.wav",
         WaveForm({{"fmt ", fmt16},
                   {"smpl",
                    [] {
                        Bytes smpl = SmplBody(61, 77 * kCent, 1);
                        smpl.resize(36);
                        return smpl;
                    }()},
                   {"data", Bytes(64, 0x11)}}),
         false, "0000 0001 0001 00005622 0010 0002 00000058 00000040 0000 00000000 00000000 004d 003d ",
         "c.wav", 0, 4, 0, 0, 0, 23, 62}, // sounding 77 cents above 61 is 23 cents below 62
        {"compressed WAVE hidden", "d.wav",
         WaveForm({{"fmt ", FmtBody(0x55, 1, 22050, 0)}, {"data", Silence(8)}}), false, std::nullopt, ""},
        {"compressed WAVE shown", "d.wav",
         WaveForm({{"fmt ", FmtBody(0x55, 1, 22050, 0)}, {"data", Silence(8)}}), true,
         "0000 0055 0001 00005622 0000 0000 0000002c 00000008 0000 00000000 00000000 0000 0000 ",
         "d.wav (Compressed)", 13, 14},
        {"24-bit mono WAVE", "e.WAV", WaveForm({{"fmt ", FmtBody(1, 1, 48000, 24)}, {"data", Silence(6)}}),
         false, "0000 0001 0001 0000bb80 0018 0003 0000002c 00000006 0000 00000000 00000000 0000 0000 ",
         "e.WAV", 19, 20},
        {"extensible PCM is format 1", "f.wav",
         WaveForm({{"fmt ", ExtensibleFmtBody(1, 2, 44100, 24)}, {"data", Silence(12)}}), false,
         "0000 0001 0002 0000ac44 0018 0006 00000044 0000000c 0000 00000000 00000000 0000 0000 ", "f.wav", 21,
         22},
        {"extensible float is format 3", "g.wav",
         WaveForm({{"fmt ", ExtensibleFmtBody(3, 2, 44100, 32)}, {"data", Silence(16)}}), false,
         "0000 0003 0002 0000ac44 0020 0008 00000044 00000010 0000 00000000 00000000 0000 0000 ", "g.wav", 25,
         26},
        {"extensible of another sub-format stays compressed and hidden", "h.wav",
         WaveForm({{"fmt ", ExtensibleFmtBody(2, 1, 44100, 4)}, {"data", Silence(16)}}), false, std::nullopt,
         ""},
        {"an odd-sized chunk is followed by its pad byte", "i.wav",
         [&] {
             Bytes b = WaveForm({{"fmt ", fmt16}, {"junk", Bytes{1, 2, 3}}});
             b.push_back(0); // the pad byte
             PutFourCC(b, "data");
             PutU32(b, 2);
             b.insert(b.end(), 2, 0);
             PatchU32(b, 4, static_cast<uint32_t>(b.size() - 8));
             return b;
         }(),
         false, "0000 0001 0001 00005622 0010 0002 00000038 00000002 0000 00000000 00000000 0000 0000 ",
         "i.wav", 0, 4},
        {"an odd-sized chunk whose writer left out the pad byte", "j.wav",
         WaveForm({{"fmt ", fmt16}, {"junk", Bytes{1, 2, 3}}, {"data", Silence(2)}}), false,
         "0000 0001 0001 00005622 0010 0002 00000037 00000002 0000 00000000 00000000 0000 0000 ", "j.wav", 0,
         4},
        {"an empty file is listed as not a WAVE file",
         "k.wav",
         {},
         false,
         "0000 0000 0000 00000000 0000 0000 00000000 00000000 0000 00000000 00000000 0000 0000 ",
         "k.wav (NOT WAVE FILE) (Unknown WaveFormat)",
         13,
         14},
        {"zero channels: listed with the generic pictures", "l.wav",
         WaveForm({{"fmt ", FmtBody(1, 0, 22050, 16)}, {"data", Silence(8)}}), false,
         "0000 0001 0000 00005622 0010 0000 0000002c 00000008 0000 00000000 00000000 0000 0000 ", "l.wav", 13,
         14},
        {"AIFF with detune -50 and a sustain loop", "m.aif",
         AiffForm({{"COMM", CommBody(1, 1000, 16, 22050)},
                   {"INST", InstBody(60, -50, 1, 1, 2)},
                   {"MARK", MarkBody({{1, 100, ""}, {2, 900, ""}})},
                   {"SSND", SsndBody(Silence(2000))}}),
         false, "0001 0001 0001 00005622 0010 0002 0000006c 000007d0 0001 00000064 00000384 ffce 003c ",
         "m.aif", 0, 4, 1, 100, 900, -50, 60},
        {"AIFF with markers but sustain play mode 0 has no loop", "n.aiff",
         AiffForm({{"COMM", CommBody(1, 1000, 16, 22050)},
                   {"INST", InstBody(60, 0, 0, 1, 2)},
                   {"MARK", MarkBody({{1, 100, "begin"}, {2, 900, "end"}})},
                   {"SSND", SsndBody(Silence(2000))}}),
         false, "0001 0001 0001 00005622 0010 0002 00000072 000007d0 0000 00000000 00000000 0000 003c ",
         "n.aiff", 0, 4, 0, 0, 0, 0, 60},
        {"8-bit stereo AIFF, data after an SSND offset", "o.AIF",
         AiffForm({{"COMM", CommBody(2, 3, 8, 8000)}, {"SSND", SsndBody(Silence(6), 4)}}), false,
         "0001 0001 0002 00001f40 0008 0002 0000003a 00000006 0000 00000000 00000000 0000 0000 ", "o.AIF", 17,
         18},
        {"a MARK count above 250 is cut to 250 markers", "p.aif",
         AiffForm({{"COMM", CommBody(1, 4000, 16, 22050)},
                   {"INST", InstBody(60, 0, 1, 250, 260)},
                   {"MARK", MarkBody(Markers(300))},
                   {"SSND", SsndBody(Silence(8000))}}),
         false, "0001 0001 0001 00005622 0010 0002 ", "p.aif", 0, 4, 1, 2500, 0, 0, 60},
        {"an empty file is listed as not an AIFF file",
         "q.aif",
         {},
         false,
         "0000 0000 0000 00000000 0000 0000 00000000 00000000 0000 00000000 00000000 0000 0000 ",
         "q.aif (NOT AIFF FILE) (Unknown WaveFormat)",
         13,
         14},
        {"AIFF-C with a compression other than NONE is compressed", "r.aif",
         [] {
             Bytes comm = CommBody(1, 4, 16, 22050);
             PutFourCC(comm, "ima4");
             comm.push_back(0);
             comm.push_back(0);
             return AiffForm({{"COMM", comm}, {"SSND", SsndBody(Silence(8))}}, "AIFC");
         }(),
         false, "0001 0002 0001 00005622 0010 0002 0000003c 00000008 0000 00000000 00000000 0000 0000 ",
         "r.aif (Compressed)", 0, 4},
        {"A-law AIFF-C is one byte a sample whatever the header's sample size, and not compressed", "s.aifc",
         [] {
             Bytes comm = CommBody(1, 4, 16, 22050);
             PutFourCC(comm, "alaw");
             comm.push_back(0);
             comm.push_back(0);
             return AiffForm({{"COMM", comm}, {"SSND", SsndBody(Silence(4))}}, "AIFC");
         }(),
         false, "0001 0006 0001 00005622 0008 0001 0000003c 00000004 0000 00000000 00000000 0000 0000 ",
         "s.aifc", 15, 16},
        {"u-law WAVE (format 7) is listed, and not compressed", "t.wav",
         WaveForm({{"fmt ", FmtBody(7, 2, 8000, 8)}, {"data", Silence(4)}}), false,
         "0000 0007 0002 00001f40 0008 0002 0000002c 00000004 0000 00000000 00000000 0000 0000 ", "t.wav", 17,
         18},
    };
}

TEST(AudioFileList, DataLinesRecordsCaptionsAndPictures) {
    for (const ListCase& c : Cases()) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        dir.Write(c.fileName, c.bytes);
        RecordingHost host;
        Workspace workspace(host);
        workspace.settings.Menu_ShowCompressed = c.showCompressed;
        const uint32_t listed = ListAudioFolder(workspace, dir.Folder());
        if (!c.fields) {
            EXPECT_EQ(listed, 0u);
            EXPECT_EQ(workspace.bank.SampleCount, 0);
            EXPECT_EQ(workspace.attributes.PathAttributes, "WAVE 0000 PATH");
            continue;
        }
        ASSERT_EQ(listed, 1u);
        const std::string& lines = workspace.attributes.WaveAttributes;
        ASSERT_EQ(lines.size(), kDataLineLength);
        EXPECT_EQ(lines.substr(0, 15), "WAVE 0000 DATA ");
        EXPECT_EQ(lines.substr(15, c.fields->size()), *c.fields);
        EXPECT_EQ(workspace.attributes.PathAttributes,
                  "WAVE 0000 PATH " + dir.Folder() + c.fileName + "WAVE 0001 PATH");

        ASSERT_EQ(workspace.bank.SampleCount, 1);
        ASSERT_EQ(workspace.sampleList.size(), 1u);
        const SampleListEntry& entry = workspace.sampleList[0];
        const SampleRecord& r = workspace.bank.SampleTable[0];
        EXPECT_EQ(entry.caption, c.caption);
        EXPECT_EQ(entry.tag, 0);
        EXPECT_EQ(entry.image, c.image);
        EXPECT_EQ(entry.selectedImage, c.selectedImage);
        EXPECT_EQ(r.listImage, c.image);
        EXPECT_EQ(r.looped, c.looped);
        EXPECT_EQ(r.loopStart, c.loopStart);
        EXPECT_EQ(r.loopEnd, c.loopEnd);
        EXPECT_EQ(r.pitchCorrection, c.pitchCorrection);
        EXPECT_EQ(r.rootKey, c.rootKey);
        EXPECT_EQ(r.stereoHalf, r.channels == 2 ? 1 : 0);
    }
}

TEST(AudioFileList, FolderListingOrderNamesAndNumbers) {
    TempDir dir;
    const Bytes wave = WaveForm({{"fmt ", FmtBody(1, 1, 22050, 16)}, {"data", Silence(4)}});
    const Bytes aiff = AiffForm({{"COMM", CommBody(1, 2, 16, 22050)}, {"SSND", SsndBody(Silence(4))}});
    const Bytes compressed = WaveForm({{"fmt ", FmtBody(2, 1, 22050, 4)}, {"data", Silence(4)}});
    dir.Write("b.WAV", wave);
    dir.Write("A.wav", wave);
    dir.Write("a0.wav", compressed); // refused: uses no number
    dir.Write("c.aiff", aiff);
    dir.Write("B.Aif", aiff);
    dir.Write("notes.txt", {1, 2, 3});
    dir.Write("wav", wave);
    std::filesystem::create_directory(dir.Path() / "folder.wav");

    RecordingHost host;
    Workspace workspace(host);
    ASSERT_EQ(ListAudioFolder(workspace, dir.Folder()), 4u);
    std::vector<std::string> captions;
    for (const SampleListEntry& entry : workspace.sampleList)
        captions.push_back(entry.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"A.wav", "b.WAV", "B.Aif", "c.aiff"}));
    EXPECT_EQ(workspace.bank.SourceFormat, SourceFormat::AudioFile);
    const std::string folder = dir.Folder();
    EXPECT_EQ(workspace.attributes.PathAttributes, "WAVE 0000 PATH " + folder + "A.wav" + "WAVE 0001 PATH " +
                                                       folder + "b.WAV" + "WAVE 0002 PATH " + folder +
                                                       "B.Aif" + "WAVE 0003 PATH " + folder + "c.aiff" +
                                                       "WAVE 0004 PATH");
    // Saved files are named without the extension, ".aiff" included.
    EXPECT_EQ(workspace.bank.SampleTable[2].fullName, "B");
    EXPECT_EQ(workspace.bank.SampleTable[3].fullName, "c");

    // Only one kind when asked.
    EXPECT_EQ(ListAudioFolder(workspace, dir.Folder(), {.wave = false, .aiff = true}), 2u);
    EXPECT_EQ(workspace.sampleList[0].caption, "B.Aif");
    // A folder that cannot be read lists nothing.
    EXPECT_EQ(ListAudioFolder(workspace, dir.Folder() + "absent/"), 0u);
    EXPECT_EQ(workspace.bank.SampleCount, 0);
}

// Every prefix of well-formed files, and each chunk size made huge: each is listed or refused, fetched and
// saved without a read outside the data (the sanitizers watch).
TEST(AudioFileList, DamagedFilesNeverReadOutsideTheirData) {
    const std::vector<std::pair<std::string, Bytes>> files = {
        {"w.wav", WaveForm({{"fmt ", FmtBody(1, 2, 22050, 24)},
                            {"smpl", SmplBody(60, 0, 1, 1, 3)},
                            {"data", Bytes(24, 0x7F)}})},
        {"x.wav", WaveForm({{"fmt ", ExtensibleFmtBody(3, 1, 22050, 64)}, {"data", Bytes(32, 0x3F)}})},
        {"y.aif", AiffForm({{"COMM", CommBody(2, 4, 24, 22050)},
                            {"INST", InstBody(60, -3, 1, 1, 2)},
                            {"MARK", MarkBody({{1, 1, "loop start"}, {2, 3, "x"}})},
                            {"SSND", SsndBody(Bytes(24, 0x81))}})},
    };
    TempDir dir;
    TempDir out;
    RecordingHost host;
    host.progressWindowShowing = true;
    Workspace workspace(host);
    for (const auto& [name, whole] : files) {
        std::vector<Bytes> variants;
        for (size_t n = 0; n <= whole.size(); ++n)
            variants.emplace_back(whole.begin(), whole.begin() + n);
        // Every 32-bit field from offset 4 on set to a huge value: chunk sizes, counts, offsets.
        for (size_t at = 4; at + 4 <= whole.size(); ++at) {
            for (uint32_t huge : {0xFFFFFFFFu, 0x7FFFFFF0u}) {
                Bytes damaged = whole;
                for (int i = 0; i < 4; ++i)
                    damaged[at + i] = static_cast<uint8_t>(huge >> (8 * i));
                variants.push_back(damaged);
            }
        }
        for (const Bytes& bytes : variants) {
            std::filesystem::remove_all(dir.Path());
            std::filesystem::create_directory(dir.Path());
            dir.Write(name, bytes);
            // Damage to a WAVE format tag can make the file compressed, and hidden.
            const uint32_t listed = ListAudioFolder(workspace, dir.Folder());
            ASSERT_LE(listed, 1u);
            ASSERT_EQ(workspace.attributes.WaveAttributes.size(), listed * kDataLineLength);
            LoadSampleForPlay(workspace, 0);
            const SampleFileResult result =
                WriteSampleFile(workspace, out.Folder() + "s.wav", 0, SampleFileType::Wave);
            EXPECT_NE(result.status, SampleFileStatus::CannotWrite);
        }
    }
}

} // namespace
} // namespace quorvane
