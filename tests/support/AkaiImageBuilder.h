// Describes a small Akai S1000/S3000 CD-ROM and emits it sector by sector: partition headers with their
// volume tables, volume directories, program files with keygroups and velocity zones, and sample files
// with their headers and frames. Every field a test may want wrong can be overridden, so that a test makes
// exactly the damaged disc it needs. Large discs are written sparse, piece by piece.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/RiffBuilder.h"

namespace quorvane::test {

constexpr uint32_t kAkaiSector = 2048;
constexpr uint32_t kAkaiBlock = 8192;

// The 12 bytes of a name in the Akai character set; characters outside it become '_'.
std::array<uint8_t, 12> AkaiNameBytes(const std::string& name);

// A sample file: its 150-byte header, then the frames.
struct AkaiSample {
    std::string name;
    std::vector<int16_t> frames{};
    uint8_t rateFlag = 1; // header byte 1: nonzero gives the nominal rate 44100
    uint8_t rootKey = 60;
    uint8_t loops = 1;
    uint8_t loopMode = 0; // 2 and 3: no loop
    uint8_t fineTune = 0;
    int8_t semitoneTune = 0;
    uint32_t rate = 44100;
    std::optional<uint32_t> start{}, end{}; // markers; by default 0 and the last frame
    uint32_t loopAt = 0;                    // the first loop's end marker
    uint32_t loopLength = 0;

    Bytes FileBytes() const;
};

struct AkaiVelocityZone {
    std::string sample{}; // empty: the zone plays nothing (and its velocities stay 0)
    uint8_t lowVelocity = 0, highVelocity = 127;
    uint8_t fineTune = 0;
    int8_t semitoneTune = 0;
    uint8_t loudness = 0, filterOffset = 0;
    int8_t pan = 0;
    bool constantPitch = false;
};

struct AkaiKeygroup {
    uint8_t blockId = 2;
    uint8_t lowKey = 0, highKey = 127;
    uint8_t fineTune = 0;
    int8_t semitoneTune = 0;
    uint8_t cutoff = 99;
    int8_t env2ToFilter = 0, keyToEnv1Decay = 0, keyToEnv2Decay = 0, env2ToPitch = 0;
    std::array<uint8_t, 4> env1{0, 0, 99, 0}; // attack, decay, sustain, release
    std::array<uint8_t, 4> env2{0, 0, 99, 0};
    std::array<AkaiVelocityZone, 4> zones{};
};

// A program file. s3000 picks the keygroup layout (192 bytes each after a 192-byte header, instead of 150).
struct AkaiProgram {
    std::string name;
    bool s3000 = false;
    uint8_t midiProgram = 0;
    int8_t pan = 0;
    uint8_t fineTune = 0;
    int8_t semitoneTune = 0;
    std::vector<AkaiKeygroup> keygroups{};
    std::optional<uint8_t> keygroupCount{}; // written instead of the number of keygroups

    Bytes FileBytes() const;
};

// One directory entry and the file it points to.
struct AkaiFile {
    std::string name;
    uint8_t type = 0x73; // 0x70 program, 0x73 or 3 sample; bit 7 set on S3000 files
    Bytes data{};
    std::optional<uint32_t> size{};       // written instead of data.size()
    std::optional<uint16_t> firstBlock{}; // written instead of where the file was put
    std::optional<std::array<uint8_t, 12>> rawName{};
};
AkaiFile SampleFile(const AkaiSample& sample, bool s3000 = false);
AkaiFile ProgramFile(const AkaiProgram& program);

struct AkaiVolume {
    std::string name;
    uint8_t type = 1; // low four bits: the kind (1 S1000, 3 S3000); bit 7: hidden
    std::vector<AkaiFile> files{};
    std::optional<uint16_t> firstBlock{}; // of the directory; written instead of where it was put
    std::optional<std::array<uint8_t, 12>> rawName{};
    bool unused = false; // the table entry stays empty (first block 0)
};

struct AkaiPartition {
    uint8_t sizeUnits = 30; // header byte 1: the size in units of 1024 sectors
    std::vector<AkaiVolume> volumes{};
    bool signature = true;
};

// One piece of the image: the bytes at a byte offset.
struct ImagePiece {
    uint64_t offset;
    Bytes bytes;
};

class AkaiImageBuilder {
  public:
    std::vector<AkaiPartition> partitions{};
    // The image's size in sectors; 0: up to the end of the last partition.
    uint32_t totalSectors = 0;
    // Data put at a sector after the partitions are laid out (e.g. garbage where a header should be).
    std::vector<std::pair<uint32_t, Bytes>> extra{};

    // Lays out the disc: each partition at the sector after the previous one, its header in block 0,
    // then every volume's directory (4 blocks) followed by its files, each from a fresh block.
    std::vector<ImagePiece> Pieces() const;
    uint64_t ImageSize() const;
    // The whole image in memory (small discs).
    Bytes Build() const;
    // The image written to path: a sparse file of ImageSize() bytes holding the pieces.
    void WriteSparse(const std::string& path) const;
    // Where partition p starts, in sectors, and where a volume's directory or a file was put, in blocks
    // relative to its partition.
    uint32_t PartitionStart(size_t p) const;
    uint16_t DirectoryBlock(size_t p, size_t volume) const;
    uint16_t FileBlock(size_t p, size_t volume, size_t file) const;
};

// The same disc as raw 2352-byte Mode 1 sectors (sync, header, user data, zeroed error codes), as a .bin
// image holds it.
Bytes ToRawSectors(const Bytes& cooked);

} // namespace quorvane::test
