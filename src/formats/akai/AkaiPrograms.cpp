#include "formats/akai/AkaiPrograms.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/StringPrintf.h"
#include "formats/akai/AkaiKeygroupValues.h"
#include "formats/akai/AkaiNames.h"
#include "scsi/ScsiCommand.h"

namespace quorvane {

namespace {

constexpr uint8_t kKeygroupBlockId = 2;
constexpr uint32_t kMaxZones = 0xFFFF; // zone indices are 16-bit
constexpr size_t kRawArticulationBytes = 150;

// A program file as read: the first 16,384 bytes, followed by zeros so that the fields of a keygroup that
// starts near the end can be read whole.
struct ProgramBytes {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(kProgramReadBytes + 192, 0);
    uint32_t length = 0; // how many bytes came from the disc
    const uint8_t* At(size_t offset) const { return bytes.data() + offset; }
};

// Disc images are often cut after their last used block, so a program near the end may have fewer than
// kProgramReadBytes behind it: the sectors the image holds are read and the rest left as zeros, which end
// the keygroup chain. A program whose first sector cannot be read is not read.
// Reads as much of the program's first 16 KiB as the disc holds: an image cut after its last used block
// ends inside the read. Returns the bytes read (the rest is zeros), 0 when not even one sector could be.
uint32_t ReadProgram(ScsiLayer& scsi, uint32_t sector, ProgramBytes& program) {
    for (uint32_t bytes = kProgramReadBytes; bytes >= kSectorSize; bytes -= kSectorSize) {
        if (scsi.ReadSectors(sector, bytes) != kScsiCompleted)
            continue;
        std::fill(program.bytes.begin(), program.bytes.end(), uint8_t{0});
        std::memcpy(program.bytes.data(), scsi.ScsiBuffer.data(), bytes);
        program.length = bytes;
        return bytes;
    }
    program.length = 0;
    return 0;
}

// The values of a keygroup that every one of its zones shares.
struct KeygroupValues {
    int16_t env1Attack, env1Decay, env1Release, env2Attack, env2Decay, env2Release;
    int env1Sustain, env2Sustain;
    int tune;
    int16_t env2ToFilter, env2ToPitch, keyToEnv1Decay, keyToEnv2Decay;
    uint8_t lowKey, highKey, cutoff;
};

KeygroupValues ConvertKeygroup(const uint8_t* kg) {
    KeygroupValues v{};
    v.lowKey = kg[3] & 127;
    v.highKey = kg[4] & 127;
    v.tune = AkaiTuneCents(static_cast<int8_t>(kg[6]), kg[5]);
    v.cutoff = kg[7] & 127;
    v.env2ToFilter = static_cast<int16_t>(static_cast<int8_t>(kg[11]) * 240);
    v.env1Attack = AkaiAttackTime(kg[12] & 127);
    v.env1Decay = AkaiDecayTime(kg[13] & 127);
    v.env1Sustain = AkaiSustainValue(kg[14] & 127);
    v.env1Release = AkaiDecayTime(kg[15] & 127);
    v.keyToEnv1Decay = static_cast<int16_t>(static_cast<int8_t>(kg[19]) * 24);
    v.env2Attack = AkaiAttackTime(kg[20] & 127);
    v.env2Decay = AkaiDecayTime(kg[21] & 127);
    v.env2Sustain = AkaiSustainValue(kg[22] & 127);
    v.env2Release = AkaiDecayTime(kg[23] & 127);
    v.keyToEnv2Decay = static_cast<int16_t>(static_cast<int8_t>(kg[27]) * 24);
    v.env2ToPitch = static_cast<int16_t>(static_cast<int8_t>(kg[29]) * 240);
    return v;
}

// Stores the value; the generator counts as given only when `present`.
void Put(GeneratorSet& set, int number, int value, bool present) {
    set.generators[number] = static_cast<int16_t>(value);
    set.generatorSet[number] = present ? 1 : 0;
}

void FillZone(ZoneRecord& zone, const KeygroupValues& k, const uint8_t* kg, int v, uint16_t sample) {
    const uint8_t* vz = kg + 34 + 24 * v;
    const uint8_t lowVelocity = vz[12] & 127, highVelocity = vz[13] & 127;
    const int loudness = vz[16] & 127, filterOffset = vz[17] & 127;
    const bool constantPitch = (kg[132 + v] & 1) != 0;
    const int cutoff = k.cutoff + filterOffset;

    zone.generators.fill(0);
    zone.generatorSet.fill(0);
    Put(zone, gen::modEnvToPitch, k.env2ToPitch, k.env2ToPitch != 0);
    Put(zone, gen::initialFilterFc, AkaiCutoffCents(cutoff), cutoff < 99);
    Put(zone, gen::modEnvToFilterFc, k.env2ToFilter, k.env2ToFilter != 0);
    Put(zone, gen::pan, static_cast<int8_t>(vz[18]) * 10, true);
    Put(zone, gen::attackModEnv, k.env2Attack, k.env2Attack > kNoEnvelopeTime);
    Put(zone, gen::decayModEnv, k.env2Decay, k.env2Decay > kNoEnvelopeTime);
    Put(zone, gen::sustainModEnv, 1000 - k.env2Sustain, k.env2Sustain < 1000);
    Put(zone, gen::releaseModEnv, k.env2Release, k.env2Release > kNoEnvelopeTime);
    Put(zone, gen::keynumToModEnvDecay, k.keyToEnv2Decay, k.keyToEnv2Decay != 0);
    Put(zone, gen::attackVolEnv, k.env1Attack, k.env1Attack > kNoEnvelopeTime);
    Put(zone, gen::decayVolEnv, k.env1Decay, k.env1Decay > kNoEnvelopeTime);
    Put(zone, gen::sustainVolEnv, 1000 - k.env1Sustain, k.env1Sustain < 1000);
    Put(zone, gen::releaseVolEnv, k.env1Release, k.env1Release > kNoEnvelopeTime);
    Put(zone, gen::keynumToVolEnvDecay, k.keyToEnv1Decay, k.keyToEnv1Decay != 0);
    Put(zone, gen::keyRange, k.highKey * 256 + k.lowKey, true);
    Put(zone, gen::velRange, highVelocity * 256 + lowVelocity, true);
    const int tune = AkaiTuneCents(static_cast<int8_t>(vz[15]), vz[14]) + k.tune;
    if (tune != 0) {
        zone.Set(gen::coarseTune, static_cast<int16_t>(tune / 100));
        zone.Set(gen::fineTune, static_cast<int16_t>(tune - tune / 100 * 100));
    }
    zone.Set(gen::sampleID, static_cast<int16_t>(sample));
    if (constantPitch)
        zone.Set(gen::scaleTuning, 0);
    zone.Set(gen::overridingRootKey, 60);
    zone.isGlobal = 0;
    zone.sampleIndex = sample;
    zone.loopStart = zone.loopEnd = 0;

    // The keygroup's own bytes, kept for display, with this zone's cutoff, loudness and pitch tracking.
    uint8_t raw[kRawArticulationBytes];
    std::memcpy(raw, kg, sizeof raw);
    raw[7] = static_cast<uint8_t>(std::min(99, cutoff));
    raw[50] = static_cast<uint8_t>(loudness * 50 / 127);
    raw[122] = constantPitch ? 1 : 0;
    zone.rawArticulation.fill(0);
    for (size_t w = 0; w < kRawArticulationBytes / 2; ++w)
        zone.rawArticulation[w] = static_cast<uint16_t>(raw[2 * w] | raw[2 * w + 1] << 8);
}

// When every zone of a layer plays the same velocity range, the layer takes it and the zones span all.
void MoveVelocityRangeUp(BankModel& bank, LayerRecord& layer) {
    const HexIndexList& zones = layer.zoneList;
    if (zones.Count() < 2)
        return;
    const int16_t range = bank.ZoneTable[zones[0]].generators[gen::velRange];
    for (uint16_t z : zones)
        if (bank.ZoneTable[z].generators[gen::velRange] != range)
            return;
    layer.Set(gen::velRange, range);
    for (uint16_t z : zones)
        bank.ZoneTable[z].Set(gen::velRange, static_cast<int16_t>(kFullRange));
}

class ProgramReader {
  public:
    ProgramReader(BankModel& bank, bool s3000) : bank_(bank), stride_(s3000 ? 192 : 150) {
        for (uint32_t s = 0; s < bank.SampleCount; ++s)
            sampleByName_.emplace(bank.SampleTable[s].fullName, static_cast<uint16_t>(s));
    }

    // Program i (from 0) fills preset slot i + 1 and layer i.
    // Returns how many of the keygroups the header counts lie (wholly or in part) beyond the bytes read.
    uint32_t Read(uint32_t i, const ProgramBytes& file) {
        PresetRecord& preset = bank_.PresetTable[i + 1];
        const uint8_t* header = file.At(0);
        preset.program = header[15];
        for (size_t b = 0; b < preset.instrumentGlobals.size(); ++b)
            preset.instrumentGlobals[b] = header[b];

        LayerRecord& layer = bank_.LayerTable[i];
        layer.name = TrimTrailingBlanks(AkaiName(header + 3));
        layer.Set(gen::instrument, static_cast<int16_t>(i));
        layer.Set(gen::keyRange, static_cast<int16_t>(kFullRange));
        layer.Set(gen::velRange, static_cast<int16_t>(kFullRange));
        layer.Set(gen::pan, static_cast<int16_t>(static_cast<int8_t>(header[24]) * 10));
        const int tune = AkaiTuneCents(static_cast<int8_t>(header[66]), header[65]);
        if (tune != 0) {
            layer.Set(gen::fineTune, static_cast<int16_t>(tune - tune / 100 * 100));
            layer.Set(gen::coarseTune, static_cast<int16_t>(tune / 100));
        }
        preset.layerList.Clear();
        preset.layerList.Append(static_cast<uint16_t>(i));

        uint16_t keygroups = 0;
        uint32_t missing = 0;
        const uint32_t count = header[42];
        for (uint32_t k = 0; k < count; ++k) {
            const size_t offset = stride_ + stride_ * size_t{k};
            if (offset > kProgramReadBytes - 1)
                break;
            if (file.length < kProgramReadBytes && offset + stride_ > file.length) {
                ++missing;
                continue;
            }
            const uint8_t* kg = file.At(offset);
            if (kg[0] != kKeygroupBlockId)
                continue;
            const KeygroupValues values = ConvertKeygroup(kg);
            bool made = false;
            for (int v = 0; v < 4; ++v)
                made = MakeZone(layer, values, kg, v) || made;
            keygroups += made;
        }
        preset.keygroupCount = keygroups;
        MoveVelocityRangeUp(bank_, layer);
        return missing;
    }

  private:
    bool MakeZone(LayerRecord& layer, const KeygroupValues& values, const uint8_t* kg, int v) {
        const uint8_t* vz = kg + 34 + 24 * v;
        const uint8_t lowVelocity = vz[12] & 127, highVelocity = vz[13] & 127;
        if (lowVelocity == 0 && highVelocity == 0)
            return false;
        const auto found = sampleByName_.find(AkaiName(vz));
        if (found == sampleByName_.end() || lowVelocity > highVelocity || bank_.ZoneTable.size() >= kMaxZones)
            return false;
        const uint16_t z = static_cast<uint16_t>(bank_.ZoneTable.size());
        bank_.ZoneTable.emplace_back();
        FillZone(bank_.ZoneTable.back(), values, kg, v, found->second);
        layer.zoneList.Append(z);
        return true;
    }

    BankModel& bank_;
    size_t stride_;
    // The first sample of each full name, as the lookup in table order finds it.
    std::unordered_map<std::string, uint16_t> sampleByName_;
};

// Says what a cut disc left out of program `slot`, so that it is not taken for the whole program.
void NoteShortProgram(const BankModel& bank, uint32_t slot, uint32_t bytesRead, uint32_t missing,
                      ReadNotes& notes) {
    const PresetRecord& preset = bank.PresetTable[slot];
    const std::string name = TrimTrailingBlanks(preset.name);
    if (bytesRead == 0)
        notes.Add(StringPrintf("program %u '%s' at sector %u could not be read: the disc ends before it",
                               slot, name.c_str(), preset.programSector));
    else if (missing != 0)
        notes.Add(
            StringPrintf("program %u '%s': the disc ends %u bytes into it, %u of its keygroups are missing",
                         slot, name.c_str(), bytesRead, missing));
}

} // namespace

void ReadAkaiPrograms(BankModel& bank, ScsiLayer& scsi, AkaiProgramMode mode, uint32_t currentPreset,
                      bool s3000, ReadNotes& notes) {
    ProgramBytes file;
    if (mode == AkaiProgramMode::RereadCurrent &&
        (!bank.IsValidSlot(currentPreset) ||
         ReadProgram(scsi, bank.PresetTable[currentPreset].programSector, file) == 0))
        return;

    bank.LayerCount = bank.PresetCount;
    bank.LayerTable.assign(bank.LayerCount + 2u, LayerRecord{});
    for (LayerRecord& layer : bank.LayerTable)
        layer.isGlobal = 0;
    bank.ZoneTable.clear();
    bank.ZoneCount = 0;
    for (std::string& text : bank.BankInfo)
        text.clear();

    ProgramReader reader(bank, s3000);
    if (mode == AkaiProgramMode::RereadCurrent) {
        NoteShortProgram(bank, currentPreset, file.length, reader.Read(currentPreset - 1, file), notes);
    } else {
        for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot) {
            const uint32_t bytes = ReadProgram(scsi, bank.PresetTable[slot].programSector, file);
            NoteShortProgram(bank, slot, bytes, bytes != 0 ? reader.Read(slot - 1, file) : 0, notes);
        }
    }
    bank.ZoneCount = static_cast<uint16_t>(bank.ZoneTable.size());
}

} // namespace quorvane
