// Describes a small DLS Level 1 or GigaSampler bank and emits it byte for byte: bank INFO, the instrument
// list (instruments, regions, dimension regions with their 3ewa articulation), the sample group list, the
// pool table and the wave pool. Every chunk is recorded under a path ("lins/ins0/lrgn/rgn0/3lnk"), and the
// damage hooks change what is emitted at a path, so that a test can make exactly the broken file it needs.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "formats/common/ReadNotes.h"
#include "formats/dls/DlsImage.h"
#include "model/BankModel.h"
#include "support/RiffBuilder.h"

namespace quorvane::test {

// A "wsmp" chunk: unity note, fine tune, attenuation and at most one loop record.
struct DlsWaveSample {
    uint16_t unityNote = 60;
    int16_t fineTune = 0;
    int32_t attenuation = 0; // lAttenuation; the readers use its high 16 bits
    uint32_t loopCount = 0;  // cSampleLoops
    uint32_t loopStart = 0;  // the loop record is written when the count, start or length is not 0
    uint32_t loopLength = 0;
};

// A "smpl" chunk with one loop record when loopCount is not 0.
struct DlsSamplerChunk {
    uint32_t unityNote = 60;
    uint32_t pitchFraction = 0;
    uint32_t loopCount = 0;
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0; // dwEnd: the last frame of the loop
};

// The 140 bytes of a "3ewa" chunk. A fresh one has every time and frequency "not given", sustain at 100 %,
// the filter off and the pan in the middle, so that only what a test sets turns into generators.
struct GigArticulation {
    std::array<uint8_t, 140> bytes{};

    GigArticulation();
    GigArticulation& U8(size_t offset, uint8_t value);
    GigArticulation& U16(size_t offset, uint16_t value);
    GigArticulation& U32(size_t offset, uint32_t value);
};

// Offsets of the 3ewa fields the tests set.
namespace ewa {
constexpr size_t lfo3Frequency = 4, eg3Attack = 8, lfo1Depth = 14, lfo3Depth = 18;
constexpr size_t eg1Attack = 28, eg1Decay = 32, eg1Sustain = 38, eg1Release = 40;
constexpr size_t lfo1Frequency = 48, eg2Attack = 52, eg2Decay = 56, eg2Sustain = 62, eg2Release = 64;
constexpr size_t lfo2Frequency = 72, lfo2Depth = 78, flags = 108, pan = 109, lfo3Controller = 112;
constexpr size_t lfoControllers = 114, eg3Depth = 116, velocityUpperLimit = 124, eg1Hold = 131;
constexpr size_t cutoff = 132, resonance = 136;
} // namespace ewa

// GigaSampler dimension type codes used by the fixtures.
namespace dim {
constexpr uint8_t kSampleChannel = 0x80, kLayer = 0x81, kVelocity = 0x82, kKeySwitch = 0x85;
} // namespace dim

struct GigDimensionRegion {
    uint32_t poolIndex = 0; // its wave pool index in the region's 3lnk
    GigArticulation articulation{};
    std::optional<DlsWaveSample> wsmp{}; // inside the dimension region's LIST 3ewl
};

// An articulation: connection blocks in "art1" inside LIST lart, or with level2 in "art2" inside LIST lar2.
struct DlsConnectionBlock {
    uint16_t source = 0, control = 0, destination = 0, transform = 0;
    int32_t scale = 0; // 16.16 fixed point
};
struct DlsArticulationList {
    std::vector<DlsConnectionBlock> connections{};
    bool level2 = false;
};

// A DLS region, or a GigaSampler region when it has dimension regions (then 3lnk and LIST 3prg follow).
struct DlsRegion {
    uint16_t keyLow = 0, keyHigh = 127, velocityLow = 0, velocityHigh = 127;
    std::optional<DlsWaveSample> wsmp{};
    uint32_t tableIndex = 0;                               // wlnk ulTableIndex
    bool rgn2 = false;                                     // LIST rgn2 instead of LIST rgn
    std::vector<std::pair<uint8_t, uint8_t>> dimensions{}; // type and bit count, at most five
    std::optional<uint32_t> dimensionRegionCount{};        // written in 3lnk instead of the list's size
    std::vector<GigDimensionRegion> dimensionRegions{};
    std::optional<DlsArticulationList> articulation{}; // after wlnk
};

struct DlsInstrument {
    std::string name{};
    uint16_t bank = 0; // ulBank low half: CC0 in bits 8..14, CC32 in bits 0..6
    bool drum = false; // bit 31 of ulBank
    uint16_t program = 0;
    std::vector<DlsRegion> regions{};
    std::optional<std::array<uint8_t, 12>> globals{};  // 3ewg, in LIST lart after the regions
    std::optional<DlsArticulationList> articulation{}; // after the regions (and the 3ewg list)
};

struct DlsWave {
    std::string name{}; // INAM holds the text and a terminating zero, so its size is odd or even with it
    uint16_t channels = 1;
    uint32_t sampleRate = 44100;
    uint16_t bitsPerSample = 16;
    Bytes data{};
    std::optional<DlsSamplerChunk> smpl{};
    std::optional<DlsWaveSample> wsmp{};
    std::optional<uint16_t> group{};                          // 3gix
    std::vector<std::pair<std::string, Bytes>> extraChunks{}; // written first in the wave, e.g. odd-sized
    bool withFormat = true;
};

// A wave of frames 16-bit mono frames (zero), named name.
DlsWave MonoWave(const std::string& name, uint32_t frames, uint32_t sampleRate = 44100);

class DlsBuilder {
  public:
    std::vector<std::pair<std::string, std::string>> info{}; // bank INFO texts before the instrument list
    std::vector<DlsInstrument> instruments{};
    std::vector<std::string> groupNames{}; // LIST 3gri with one 3gnm each, when not empty
    std::vector<DlsWave> waves{};

    // Damage hooks, by chunk path: the size written in the chunk's header instead of its real size; and
    // bytes appended to the chunk's data (counted in its size).
    std::map<std::string, uint32_t> declaredSize{};
    std::map<std::string, Bytes> appendToChunk{};
    bool padOddChunks = true; // false leaves out the pad byte after odd-sized chunks

    // The file; layout receives every chunk's place by path ("RIFF", "lins", "lins/ins0/insh",
    // "wvpl/wave2/data", "3gri/3gnl/3gnm5", ...).
    Bytes Build(std::map<std::string, ChunkPlace>* layout = nullptr) const;
};

// The three DLS passes (image, wave pool, instruments) over a file holding the bytes, as the loader runs
// them before stereo splitting and pairing.
struct DlsReading {
    BankModel bank;
    DlsState dls;
    ReadNotes notes;
    ReadNotes unsupported; // what the readers said the model cannot hold
};
DlsReading ReadDlsBytes(const Bytes& bytes, bool readUnmappedRegions = true);

} // namespace quorvane::test
