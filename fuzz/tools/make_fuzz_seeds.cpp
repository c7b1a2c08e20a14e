// Writes the seed inputs of the fuzz targets with the test builders: make_fuzz_seeds FOLDER writes
// FOLDER/<target>/<seed>. The seeds committed under fuzz/corpus/ were made with it; run it again after a
// builder learns a new kind of chunk.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "SparseImage.h"
#include "formats/common/OggVorbis.h"
#include "support/AkaiImageBuilder.h"
#include "support/AudioFileBuilder.h"
#include "support/DamagedBanks.h"

using namespace quorvane::test;
namespace fs = std::filesystem;

namespace {

void Write(const fs::path& root, const std::string& target, const std::string& name, const Bytes& bytes) {
    fs::create_directories(root / target);
    std::ofstream out(root / target / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const fs::path& root, const std::string& target, const std::string& name,
               const std::string& text) {
    Write(root, target, name, Bytes(text.begin(), text.end()));
}

// The GigaStudio 3 layout: a version chunk naming 3.0 before the instrument list, and a region of 64
// dimension regions whose wave pool table in 3lnk has 256 entries instead of 32.
Bytes GigaThree() {
    DlsBuilder dls = GigaDamageBase();
    DlsRegion wide;
    wide.keyLow = 70;
    wide.dimensions = {{dim::kVelocity, 6}};
    for (uint32_t r = 0; r < 64; ++r)
        wide.dimensionRegions.push_back({.poolIndex = r % 3});
    dls.instruments[1].regions.push_back(wide);
    Bytes extra;
    for (uint32_t r = 32; r < 256; ++r)
        PutU32(extra, r < 64 ? r % 3 : 0);
    dls.appendToChunk["lins/ins1/lrgn/rgn1/3lnk"] = extra;
    Bytes bytes = dls.Build();
    Bytes version;
    PutFourCC(version, "vers");
    PutU32(version, 8);
    PutU32(version, 3u << 16);
    PutU32(version, 0);
    bytes.insert(bytes.begin() + 12, version.begin(), version.end());
    const uint32_t size = static_cast<uint32_t>(bytes.size() - 8);
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = static_cast<uint8_t>(size >> (8 * i));
    return bytes;
}

Bytes Frames(size_t count, int step) {
    Bytes data;
    for (size_t i = 0; i < count; ++i)
        PutU16(data, static_cast<uint16_t>(static_cast<int16_t>((static_cast<int>(i) * step) % 2000 - 1000)));
    return data;
}

// The SoundFont seed with its samples as Ogg Vorbis streams (SoundFont 3): starts and ends are byte offsets
// of the streams, loops are counted from each sample's own start.
Bytes SoundFont3Seed() {
    SoundFontBuilder sf = SoundFontDamageBase();
    sf.version = std::pair<uint16_t, uint16_t>{3, 1};
    std::vector<int16_t> words;
    for (Sample& sample : sf.samples) {
        const std::vector<int16_t> frames(sf.sampleWords.begin() + sample.start,
                                          sf.sampleWords.begin() + sample.end);
        std::vector<uint8_t> stream;
        quorvane::EncodeOggVorbis(frames.data(), frames.size(), sample.sampleRate, 0.1, stream);
        if (stream.size() % 2 != 0)
            stream.push_back(0);
        sample.loopStart -= sample.start;
        sample.loopEnd -= sample.start;
        sample.start = static_cast<uint32_t>(words.size() * 2);
        sample.end = static_cast<uint32_t>(sample.start + stream.size());
        sample.type |= 0x10;
        for (size_t i = 0; i < stream.size(); i += 2)
            words.push_back(static_cast<int16_t>(stream[i] | stream[i + 1] << 8));
    }
    sf.sampleWords = words;
    return sf.Build();
}

void SfzSeeds(const fs::path& root) {
    WriteText(root, "sfz_load", "layers.sfz",
              "// two layers under a master, one stereo\n#define $KEY 60\n<control> default_path=./\n"
              "<global> ampeg_release=0.3 volume=-3\n<master> pan=-10\n<group> lovel=1 hivel=90\n"
              "<region> sample=a.wav lokey=c3 hikey=$KEY pitch_keycenter=48 tune=-20 offset=4 end=50\n"
              "<region> sample=b.wav lokey=61 hikey=127 loop_mode=loop_sustain loop_start=2 loop_end=40\n");
    WriteText(
        root, "sfz_load", "switches.sfz",
        "<global> sw_lokey=24 sw_hikey=26 sw_default=24\n<group> sw_last=24\n"
        "<region> sample=a.wav fil_type=lpf_2p cutoff=800 resonance=3 fileg_depth=1200 fileg_attack=0.1\n"
        "<group> sw_last=25 seq_length=2\n<region> sample=b.wav seq_position=1 pitchlfo_depth=50 "
        "pitchlfo_freq=5 amplfo_depth=2 group=1 off_by=1\n#include \"inc.sfzh\"\n");
}

void AudioSeeds(const fs::path& root) {
    const std::string target = "audio_files";
    Write(root, target, "mono16.wav",
          WaveForm({{"fmt ", FmtBody(1, 1, 44100, 16)},
                    {"smpl", SmplBody(60, 0, 1, 4, 40)},
                    {"data", Frames(48, 37)}}));
    Bytes stereo24;
    for (int i = 0; i < 96; ++i)
        stereo24.push_back(static_cast<uint8_t>(i * 7));
    Write(root, target, "stereo24.wav",
          WaveForm({{"fmt ", ExtensibleFmtBody(1, 2, 48000, 24)},
                    {"LIST", {'I', 'N', 'F', 'O'}},
                    {"data", stereo24}}));
    Write(root, target, "unsigned8.wav",
          WaveForm({{"fmt ", FmtBody(1, 1, 22050, 8)}, {"data", Bytes(33, 0x90)}}));
    // Of odd length, so that the target lists it with compressed files shown.
    Write(root, target, "adpcm.wav",
          WaveForm({{"fmt ", FmtBody(2, 1, 22050, 4)}, {"fact", Bytes(4, 1)}, {"data", Bytes(65, 0x21)}}));
    Bytes be;
    for (int i = 0; i < 40; ++i)
        PutU16BE(be, static_cast<uint16_t>(i * 900));
    Write(root, target, "looped.aif",
          AiffForm({{"COMM", CommBody(1, 40, 16, 44100)},
                    {"MARK", MarkBody({{1, 4, "beg"}, {2, 36, "end"}})},
                    {"INST", InstBody(60, 0, 1, 1, 2)},
                    {"SSND", SsndBody(be)}}));
    Write(root, target, "stereo8.aifc",
          AiffForm({{"COMM", CommBody(2, 20, 8, 32000)}, {"SSND", SsndBody(Bytes(40, 0x30), 4)}}, "AIFC"));
}

AkaiImageBuilder TinyDisc(uint8_t volumeType) {
    const bool s3000 = (volumeType & 3) == 3;
    auto sample = [&](const std::string& name, uint8_t root) {
        AkaiSample s{name};
        for (int i = 0; i < 96; ++i)
            s.frames.push_back(static_cast<int16_t>((i % 16) * 1500 - 12000));
        s.rootKey = root;
        s.loopAt = 64;
        s.loopLength = 32;
        return SampleFile(s, s3000);
    };
    AkaiKeygroup low, high;
    low.highKey = 60;
    low.zones[0].sample = "LOW";
    low.zones[0].highVelocity = 63;
    low.zones[1].sample = "PAIR L";
    low.zones[1].lowVelocity = 64;
    low.zones[1].pan = -50;
    high.lowKey = 61;
    high.zones[0].sample = "HIGH";
    high.zones[0].constantPitch = true;
    AkaiProgram program{"KEYS", s3000, 3, 0, 0, 0, {low, high}};
    AkaiVolume volume{"TINY", volumeType};
    volume.files = {ProgramFile(program), sample("LOW", 48), sample("HIGH", 72), sample("PAIR L", 60),
                    sample("PAIR R", 60)};
    AkaiImageBuilder builder;
    builder.partitions = {AkaiPartition{1, {volume, AkaiVolume{"EMPTY"}}},
                          AkaiPartition{1, {AkaiVolume{"OTHER"}}}};
    return builder;
}

Bytes SparseSeed(const AkaiImageBuilder& builder, uint8_t layout) {
    std::vector<quorvane::fuzz::ImagePiece> pieces;
    for (const ImagePiece& piece : builder.Pieces())
        pieces.push_back({static_cast<uint32_t>(piece.offset), piece.bytes});
    return quorvane::fuzz::EncodeSparseImage(layout, static_cast<uint32_t>(builder.ImageSize() / kAkaiSector),
                                             pieces);
}

void AkaiSeeds(const fs::path& root) {
    Write(root, "akai_disc", "s1000.iso", SparseSeed(TinyDisc(1), 0));
    Write(root, "akai_disc", "s3000-raw.bin", SparseSeed(TinyDisc(3), 1));
    Write(root, "akai_disc", "s1000-mode2.cue", SparseSeed(TinyDisc(0x81), 2));
    Write(root, "akai_disc", "s3000-cue.iso", SparseSeed(TinyDisc(0), 3));
}

void EditsSeeds(const fs::path& root) {
    WriteText(
        root, "edits_file", "every-verb.edits",
        "quorvane edits 1\n# every edit once\nPRES 0001 PROG 002a\nPRES 0002 BANK 0001\nPRES 0003 DRUM 0001\n"
        "PRES 0004 MOVZ fff4\nPRES 0002 MOVZ 000c\nPRES 0001 REVB 0064\nPRES 0003 CHOR 01f4\n"
        "PRES 0004 FILT ffff\n\nBANK **** REVB 00c8\nBANK **** CHOR 0064\nBANK **** FILT 1f40\n");
    WriteText(root, "edits_file", "filter-off.edits",
              "quorvane edits 1\nBANK **** FILT ffff\nPRES 0002 FILT 03e8\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds FOLDER\n");
        return 1;
    }
    const fs::path root = argv[1];
    const Bytes soundFont = SoundFontDamageBase().Build();
    const Bytes giga = GigaDamageBase().Build();
    const Bytes levelOne = LevelOneDamageBase().Build();
    const Bytes gigaThree = GigaThree();
    Write(root, "sf2_load", "base.sf2", soundFont);
    Write(root, "sf3_load", "base.sf3", SoundFont3Seed());
    Write(root, "dls_load", "giga2.gig", giga);
    Write(root, "dls_load", "giga3.gig", gigaThree);
    Write(root, "dls_load", "level1.dls", levelOne);
    Write(root, "bank_write", "base.sf2", soundFont);
    Write(root, "bank_write", "giga2.gig", giga);
    Write(root, "bank_write", "giga3.gig", gigaThree);
    Write(root, "bank_write", "level1.dls", levelOne);
    AudioSeeds(root);
    SfzSeeds(root);
    AkaiSeeds(root);
    EditsSeeds(root);
    return 0;
}
