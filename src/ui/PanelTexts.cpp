#include "ui/PanelTexts.h"

#include <cstdarg>
#include <cstdio>

#include "formats/audio/AudioFileList.h"
#include "model/NoteNames.h"

namespace quorvane::ui {

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

int LowKey(uint16_t range) {
    return range & 0x7F;
}
int HighKey(uint16_t range) {
    return range >> 8;
}

std::string Note(int key, int middleC) {
    return NoteName(key, middleC);
}

bool IsGigaSampler(const BankModel& bank) {
    return bank.SourceFormat == SourceFormat::Dls;
}

void ZoneTexts(const BankModel& bank, const ZoneRecord& zone, const BlockContext& at, InfoBlock& block) {
    if (zone.isGlobal)
        block.title = "Zone: Global";
    else if (bank.IsValidSample(zone.sampleIndex))
        block.title = "Zone: " + bank.SampleTable[zone.sampleIndex].fullName;
    else
        block.title = "Zone: Not Mapped";
    const int16_t mode = zone.IsSet(gen::sampleModes) ? zone.generators[gen::sampleModes] : 0;
    const char* loop = mode == 0 ? "Loop: --" : mode == 3 ? "Loop: ON+Rel" : "Loop: ON";
    const int root = zone.generators[gen::overridingRootKey];
    block.texts = {
        {5, 15, loop},
        {5, 30, Format("Start:  %li", static_cast<long>(zone.loopStart))},
        {5, 45, Format("End:    %li", static_cast<long>(zone.loopEnd))},
        {120, 15, Format("Root:  %s (%i)", Note(root, at.middleCOffset).c_str(), root)},
        {120, 30, PanText(zone.generators[gen::pan], false)},
        {230, 15, Format("Cents: %+i", zone.generators[gen::fineTune])},
    };
    if (!IsGigaSampler(bank))
        block.texts.push_back({230, 30, Format("Semitune: %+i", zone.generators[gen::coarseTune])});
}

void LayerTexts(const BankModel& bank, const LayerRecord& layer, const BlockContext& at,
                const PresetStatistics& stats, InfoBlock& block) {
    block.title = "Layer: " + (layer.name.empty() ? Format("layer %x", at.currentLayer + 1) : layer.name);
    const uint16_t keys = layer.Unsigned(gen::keyRange);
    const uint16_t velocities = layer.Unsigned(gen::velRange);
    block.texts = {
        {5, 15, SizeText(stats.sampleBytes), stats.sampleBytes == 0 ? kTextRed : kTextBlack},
        {5, 45, Format("Zones: %li", static_cast<long>(layer.zoneList.Count()))},
        {110, 15, "Range:"},
        {150, 15,
         Format("%s .. %s", Note(LowKey(keys), at.middleCOffset).c_str(),
                Note(HighKey(keys), at.middleCOffset).c_str())},
        {110, 30, "Vel:"},
        {150, 30, Format("%i .. %i", velocities & 0xFF, velocities >> 8)},
    };
    if (bank.SourceFormat == SourceFormat::SoundFont) {
        block.texts.push_back({110, 45, "Pan:"});
        block.texts.push_back({150, 45, PanText(layer.generators[gen::pan], true)});
    }
    block.texts.push_back({230, 15, Format("Cents: %+i", layer.generators[gen::fineTune])});
    if (!IsGigaSampler(bank))
        block.texts.push_back({230, 30, Format("Semitune: %+i", layer.generators[gen::coarseTune])});
}

void PresetOnlyTexts(const BankModel& bank, const PresetRecord& preset, const BlockContext& at,
                     const PresetStatistics& stats, InfoBlock& block) {
    const bool akai = bank.SourceFormat == SourceFormat::Akai;
    block.title = (akai ? "Program: " : "Preset: ") + preset.name;
    block.texts = {
        {5, 15, "MIDI Program:"},
        {78, 15, Format("%i", preset.program + 1)},
        {5, 30, preset.isDrum ? "DRUM Bank:" : "MIDI Bank:"},
        {78, 30, BankText(preset)},
        {5, 45,
         akai ? Format("%i keygroups", preset.keygroupCount)
              : Format("Zones: %i", static_cast<int>(stats.zoneCount))},
        {110, 15,
         Format("Key Range:  %s .. %s", Note(stats.lowKey & 0x7F, at.middleCOffset).c_str(),
                Note(stats.highKey, at.middleCOffset).c_str())},
        {110, 30, "Vel."},
        {131, 30, Format("Range:  %i .. %i", stats.lowVelocity, stats.highVelocity)},
        {110, 45, SizeText(stats.sampleBytes), stats.sampleBytes == 0 ? kTextRed : kTextBlack},
    };
}

} // namespace

std::string SizeText(uint64_t bytes) {
    if (bytes >= 1024)
        return Format("Size:  %llu Kb", static_cast<unsigned long long>(bytes / 1024));
    return Format("Size:  %llu bytes", static_cast<unsigned long long>(bytes));
}

int PanMidiValue(int16_t pan) {
    const int p = pan;
    const int q = p >= 0 ? p * 63 / 500 : p * 64 / 500;
    return q + 64;
}

std::string PanText(int16_t pan, bool signedForm) {
    const double percent = pan * 0.1;
    const bool whole = pan % 10 == 0;
    const int midi = PanMidiValue(pan);
    if (signedForm)
        return whole ? Format("%+.0f%% (%i)", percent, midi) : Format("%+.1f%% (%i)", percent, midi);
    return whole ? Format("Pan:  %.0f%% (%i)", percent, midi) : Format("Pan:  %.1f%% (%i)", percent, midi);
}

InfoBlock PresetBlock(const BankModel& bank, const BlockContext& at, const PresetStatistics& stats) {
    InfoBlock block;
    if (!bank.IsValidSlot(at.currentPreset))
        return block;
    const ZoneRecord* zone = ZoneAt(bank, at.currentPreset, at.currentLayer, at.currentZone);
    const LayerRecord* layer = LayerAt(bank, at.currentPreset, at.currentLayer);
    if (zone != nullptr && layer != nullptr && at.currentZone >= 0)
        ZoneTexts(bank, *zone, at, block);
    else if (layer != nullptr && at.currentLayer >= 0)
        LayerTexts(bank, *layer, at, stats, block);
    else
        PresetOnlyTexts(bank, bank.PresetTable[at.currentPreset], at, stats, block);
    return block;
}

double SampleSeconds(const SampleRecord& sample) {
    uint32_t bytesPerValue = sample.bitsPerSample / 8u + (sample.bitsPerSample % 8 != 0 ? 1u : 0u);
    if (bytesPerValue == 0)
        bytesPerValue = 1;
    // An interleaved file holds a value per channel for every frame; each half of a linked pair holds only
    // its own channel.
    const bool interleaved = sample.channels > 1 && sample.stereoHalf == 0 && sample.linkIndex == 0;
    const uint32_t channels = interleaved ? sample.channels : 1u;
    double frames = static_cast<double>(sample.dataLength / bytesPerValue / channels);
    if (sample.stereoHalf != 0)
        frames /= 2;
    return sample.sampleRate != 0 ? frames / sample.sampleRate : frames;
}

InfoBlock SampleBlock(const BankModel& bank, uint32_t shown, const SampleContext& at) {
    InfoBlock block;
    if (!bank.IsValidSample(shown))
        return block;
    const SampleRecord& sample = bank.SampleTable[shown];
    const bool audioFiles = bank.SourceFormat == SourceFormat::AudioFile;
    if (at.clicked)
        block.title = "Sample: " + sample.fullName;
    else
        block.title = audioFiles ? sample.name : "Sample: " + sample.name;
    if (audioFiles) {
        if (IsAiffKind(sample.fileKind))
            block.formatLabel = Format("Aiff %i bit", sample.bitsPerSample);
        else if (sample.formatTag == 3)
            block.formatLabel = Format("Wave IEEE %i bit", sample.bitsPerSample);
        else
            block.formatLabel = Format("Wave %i bit", sample.bitsPerSample);
    }
    const int root = at.filterMode ? sample.zoneRootKey : sample.rootKey;
    const bool akai = bank.SourceFormat == SourceFormat::Akai;
    const std::string size = sample.dataLength >= 1024 ? Format("%u Kb", sample.dataLength / 1024)
                                                       : Format("%u bytes", sample.dataLength);
    block.texts = {
        {5, 15, "Frequency:"}, {65, 15, Format("%u Hz", sample.sampleRate)},
        {5, 30, "Length:"},    {65, 30, Format("%.3f sec.", SampleSeconds(sample))},
        {5, 45, "Size:"},      {65, 45, size},
        {145, 15, "Root:"},    {180, 15, Format("%s  (%i)", Note(root, at.middleCOffset).c_str(), root)},
        {145, 30, "Tune:"},
    };
    if (akai) {
        block.texts.push_back({180, 30, Format("%+i", sample.pitchCorrection % 100)});
        block.texts.push_back({145, 45, "PitchTune:"});
        block.texts.push_back({197, 45, Format("%+i", sample.pitchCorrection / 100)});
    } else {
        block.texts.push_back({180, 30, Format("%+i", sample.pitchCorrection)});
    }
    block.texts.push_back(
        {245, 15, sample.looped == 0 ? std::string("Loops: --") : Format("Loops: %i", sample.looped)});
    block.texts.push_back({245, 30, Format("Start:  %u", sample.loopStart)});
    block.texts.push_back({245, 45, Format("End:    %u", sample.loopEnd)});
    return block;
}

AkaiEnvelopeValues EnvelopeValuesOf(const ZoneRecord& zone, const PresetRecord& program) {
    auto byte = [&](int offset) {
        const uint16_t word = zone.rawArticulation[static_cast<size_t>(offset / 2)];
        return static_cast<uint8_t>(offset % 2 == 0 ? word & 0xFF : word >> 8);
    };
    auto signedByte = [&](int offset) { return static_cast<int>(static_cast<int8_t>(byte(offset))); };
    AkaiEnvelopeValues v;
    v.env1 = {byte(12) & 127, byte(13) & 127, byte(14) & 127, byte(15) & 127};
    v.env2 = {byte(20) & 127, byte(21) & 127, byte(22) & 127, byte(23) & 127};
    v.keyToEnv1Decay = signedByte(19);
    v.keyToEnv2Decay = signedByte(27);
    v.env2ToPitch = signedByte(29);
    v.env2ToFilter = signedByte(11);
    v.filter = byte(7);
    v.loudness = byte(50);
    v.holdAttack = byte(131) != 0;
    v.constantPitch = (byte(122) & 1) != 0;
    // The program header's loudness, kept with the program.
    v.programVolume = program.instrumentGlobals[25] & 0xFF;
    return v;
}

std::vector<PanelText> EnvelopeTexts(const AkaiEnvelopeValues& v, int right) {
    constexpr uint32_t kTeal = 0x008080, kGrey = 0xB4B4B4;
    std::vector<PanelText> texts;
    const char* labels[] = {"Attack:", "Decay:", "Sustain:", "Release:"};
    const AkaiEnvelope* envelopes[] = {&v.env1, &v.env2};
    for (int side = 0; side < 2; ++side) {
        const AkaiEnvelope& e = *envelopes[side];
        const int values[] = {e.attack, e.decay, e.sustain, e.release};
        const int x = side == 0 ? 0 : right;
        for (int line = 0; line < 4; ++line) {
            texts.push_back({x, line * 10, labels[line]});
            texts.push_back({x + 40, line * 10, Format("%.02i", values[line])});
        }
    }
    texts.push_back({65, 0, Format("Env1>Dec&Rel:  %+.02i", v.keyToEnv1Decay)});
    texts.push_back({65, 10, std::string("Hold Attack until Loop:  ") + (v.holdAttack ? "ON!" : "OFF")});
    texts.push_back({65, 20, "Pitch-Tracking: "});
    texts.push_back({145, 20, v.constantPitch ? "CONST" : "TRACK", v.constantPitch ? kTextRed : kGrey});
    texts.push_back({right + 65, 0, Format("Env2>Dec&Rel:  %+.02i", v.keyToEnv2Decay)});
    texts.push_back({right + 65, 10, Format("Env2>Pitch:  %+.02i", v.env2ToPitch)});
    texts.push_back({right + 65, 20, Format("Env2>Filter:  %+.02i", v.env2ToFilter)});
    texts.push_back({right + 65, 30, Format("Filter:  %.02i", v.filter), kTeal});
    texts.push_back({right, 45, Format("Loudness:  %+.02i", v.loudness)});
    texts.push_back({right + 100, 45, Format("Program Volume:  %.02i", v.programVolume)});
    return texts;
}

} // namespace quorvane::ui
