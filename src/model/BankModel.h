// The in-memory bank: four tables shaped after the SoundFont 2 hydra that every reader fills and every
// writer and view reads. Indices between the tables are 16-bit; a value past a table's count means
// "none" and is never dereferenced.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/Generators.h"
#include "model/HexIndexList.h"
#include "model/SourceFormat.h"

namespace quorvane {

// Full range 0..127: low limit in the low byte, high limit in the high byte.
constexpr uint16_t kFullRange = 0x7F00;
constexpr uint16_t kNoSample = 0xFFFF;

// Name fields hold at most 63 characters, as the 64-byte records they stand for.
constexpr size_t kMaxNameLength = 63;
std::string FixedName(const char* bytes, size_t maxLength);

struct GeneratorSet {
    std::array<int16_t, gen::count> generators{};
    std::array<uint8_t, gen::count> generatorSet{};

    void Set(int number, int16_t value) {
        generators[number] = value;
        generatorSet[number] = 1;
    }
    void Clear(int number) {
        generators[number] = 0;
        generatorSet[number] = 0;
    }
    bool IsSet(int number) const { return generatorSet[number] != 0; }
    uint16_t Unsigned(int number) const { return static_cast<uint16_t>(generators[number]); }
    // Clears every generator, then gives both ranges their full 0..127 default.
    void Reset();
};

// One SoundFont modulator as the pmod and imod tables store it, kept verbatim so that a bank written
// again as SoundFont plays as the one read. Ten bytes, so a zone's list stays one flat block.
struct ModulatorRecord {
    uint16_t source = 0;
    uint16_t destination = 0;
    int16_t amount = 0;
    uint16_t amountSource = 0;
    uint16_t transform = 0;

    bool operator==(const ModulatorRecord&) const = default;
};
static_assert(sizeof(ModulatorRecord) == 10);

// How a sample's data is stored in its bank file: as the PCM words its record describes, or as an Ogg
// Vorbis stream (SoundFont 3) that decodes to them.
enum class SampleEncoding : uint8_t { Pcm, OggVorbis };

struct SampleRecord {
    std::string name;
    std::string fullName;
    uint32_t dataOffset = 0;
    uint32_t dataLength = 0;
    uint16_t fileKind = 0;
    uint16_t formatTag = 0;
    uint8_t listImage = 0;
    uint8_t listSelectedImage = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 16;
    uint16_t blockAlign = 2;
    uint16_t channels = 1;
    uint16_t stereoHalf = 0;
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0;
    uint16_t looped = 0;
    uint16_t rootKey = 0;
    uint16_t zoneRootKey = 0;
    int32_t pitchCorrection = 0;
    uint8_t listed = 0;
    uint16_t sampleType = 1;
    uint16_t linkIndex = 0;
    uint32_t sampleGroup = 0;
    // An Ogg Vorbis sample keeps its stream's bytes at dataOffset, encodedLength of them; dataLength is
    // then what the stream decodes to, as for every other sample.
    SampleEncoding encoding = SampleEncoding::Pcm;
    uint32_t encodedLength = 0;
    // A 24-bit SoundFont sample (2.04, sm24): the file offset of its low bytes, one per frame, that complete
    // the 16-bit words at dataOffset; 0 for every other sample.
    uint32_t lowByteOffset = 0;
};

// The bits a sample's frames carry: 24 for a SoundFont sample with low bytes, else what its header says.
inline uint16_t SampleBits(const SampleRecord& sample) {
    return sample.lowByteOffset != 0 ? uint16_t{24} : sample.bitsPerSample;
}

struct PresetRecord {
    std::string name;
    // MIDI bank select: bank is the MSB (CC0), bankLsb the LSB (CC32). A SoundFont source keeps its bank
    // number in bank (0 for drum presets) and has no LSB.
    uint16_t bank = 0;
    uint8_t bankLsb = 0;
    uint16_t program = 0;
    uint8_t isDrum = 0;
    uint16_t keygroupCount = 0;
    uint32_t programSector = 0;
    HexIndexList layerList;
    // GigaSampler sources keep the instrument's 12-byte 3ewg chunk here, Akai sources the first 80 bytes of
    // the program header widened to 16-bit entries; one source format uses it at a time.
    std::array<uint16_t, 80> instrumentGlobals{};
};

struct LayerRecord : GeneratorSet {
    uint8_t isGlobal = 1;
    uint8_t marked = 0;
    std::string name;
    HexIndexList zoneList;
    // The preset zone's SoundFont modulators (pmod); empty for every other source.
    std::vector<ModulatorRecord> modulators;
};

struct ZoneRecord : GeneratorSet {
    uint8_t isGlobal = 1;
    uint16_t sampleIndex = kNoSample;
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0;
    std::array<uint16_t, gen::count> rawArticulation{};
    uint8_t marked = 0;
    // The instrument zone's SoundFont modulators (imod); empty for every other source.
    std::vector<ModulatorRecord> modulators;
};

// The longest INFO text kept: 65,536 bytes with its terminating zero, the most a SoundFont allows.
constexpr size_t kMaxInfoTextLength = 65535;

// The bank of a preset as one 14-bit MIDI bank number, MSB × 128 + LSB; a SoundFont bank number past 127
// (no MIDI MSB) is read as such a number itself.
uint16_t MidiBankNumber(const PresetRecord& preset);
// The SoundFont bank of a preset: 128 for drum presets, else the MSB, or the LSB where the MSB is 0.
uint16_t SoundFontBankOf(const PresetRecord& preset);
// The bank as users know it: "MSB", or "MSB/LSB" when an LSB is given.
std::string BankText(const PresetRecord& preset);
// Sets the bank to MIDI bank MSB `msb` with no LSB, as the bank edits do.
void SetBank(PresetRecord& preset, uint16_t msb);

// RIFF INFO texts, slots 1..16 in alphabetical order of their tags; slot 17 the sound engine (isng).
constexpr int kBankInfoSlots = 18;
constexpr int kSoundEngineSlot = 17;
const char* BankInfoTag(int slot);
int BankInfoSlotOf(const char* tag4); // 0 when the tag has no slot

// What kind of DLS file a bank read from one is. The values are the numbers `info --json` writes as
// "dlsFlavour": never renumber.
enum class DlsFlavour : uint16_t { None = 0, Dls = 1, GigaSampler = 2 };

struct BankModel {
    std::vector<uint8_t> BankImage;
    uint32_t BankImageSize = 0;
    uint32_t SampleDataStart = 0;
    // A SoundFont 2.04 bank's sm24 chunk: where its data starts in the file and how many bytes it holds.
    uint32_t LowByteDataStart = 0;
    uint32_t LowByteDataSize = 0;
    uint16_t BankVersion = 0;
    // Qualified: the member has the name of its type.
    quorvane::DlsFlavour DlsFlavour = quorvane::DlsFlavour::None;
    // Qualified: the member has the name of its type.
    quorvane::SourceFormat SourceFormat = quorvane::SourceFormat::SoundFont;
    std::array<std::string, kBankInfoSlots> BankInfo;

    // PresetTable[0] exists and is never used: presets live in slots 1..PresetCount.
    std::vector<PresetRecord> PresetTable;
    std::vector<LayerRecord> LayerTable;
    std::vector<ZoneRecord> ZoneTable;
    std::vector<SampleRecord> SampleTable;
    uint16_t PresetCount = 0;
    uint16_t LayerCount = 0;
    uint16_t ZoneCount = 0;
    uint16_t SampleCount = 0;

    bool IsValidSample(uint32_t index) const { return index < SampleCount; }
    bool IsValidZone(uint32_t index) const { return index < ZoneCount; }
    bool IsValidLayer(uint32_t index) const { return index < LayerCount; }
    bool IsValidSlot(uint32_t slot) const { return slot >= 1 && slot <= PresetCount; }

    // Sets `marked` = flag on every layer of the preset and every zone of those layers.
    void MarkPreset(uint32_t slot, uint8_t flag);
    void ClearMarks();
    // Every zone with a valid sample plays the sample's own loop and root key (sources whose zones carry
    // neither): sampleModes 1 when the sample is looped, else 0, given only when flagUnlooped is set.
    void TakeSampleLoops(bool flagUnlooped);
};

} // namespace quorvane
