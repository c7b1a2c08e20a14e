#include "formats/audio/AudioFileList.h"

#include <cctype>
#include <cstdio>

#include "core/StringPrintf.h"
#include "formats/common/SamplerPitch.h"

namespace quorvane {

namespace {

constexpr size_t kDataLinePrefixLength = 15; // "WAVE %04x DATA "

// The caption without its file extension, as samples are named when saved: a three-letter extension
// (".wav", ".aif") and the four-letter ".aiff" and ".aifc".
std::string WithoutExtension(const std::string& caption) {
    const size_t n = caption.size();
    if (n > 4 && caption[n - 4] == '.')
        return caption.substr(0, n - 4);
    if (n > 5 && caption[n - 5] == '.') {
        std::string extension = caption.substr(n - 4);
        for (char& c : extension)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (extension == "aiff" || extension == "aifc")
            return caption.substr(0, n - 5);
    }
    return caption;
}

std::string Cut(const std::string& text) {
    return text.substr(0, std::min(text.size(), kMaxNameLength));
}

} // namespace

std::string WaveDataLine(uint32_t number, const AudioFileFields& f) {
    // Every field fits its width (16-bit values in four digits, 32-bit in eight), so the line is always
    // kDataLineLength characters and line i is found at i * kDataLineLength.
    return StringPrintf("WAVE %04x DATA %04x %04x %04x %08x %04x %04x %08x %08x %04x %08x %08x %04x %04x ",
                        number & 0xFFFFu, f.fileKind, f.formatTag, f.channels, f.sampleRate, f.bitsPerSample,
                        f.blockAlign, f.dataOffset, f.dataLength, f.loopCount, f.loopStart, f.loopEnd,
                        f.fineTune, f.unityNote);
}

bool ParseWaveDataLine(const std::string& waveAttributes, uint32_t number, AudioFileFields& f) {
    const size_t start = static_cast<size_t>(number) * kDataLineLength + kDataLinePrefixLength;
    if (start + (kDataLineLength - kDataLinePrefixLength) > waveAttributes.size())
        return false;
    const std::string body = waveAttributes.substr(start, kDataLineLength - kDataLinePrefixLength);
    unsigned v[13] = {};
    if (std::sscanf(body.c_str(), "%x %x %x %x %x %x %x %x %x %x %x %x %x", &v[0], &v[1], &v[2], &v[3], &v[4],
                    &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11], &v[12]) != 13)
        return false;
    f.fileKind = static_cast<uint16_t>(v[0]);
    f.formatTag = static_cast<uint16_t>(v[1]);
    f.channels = static_cast<uint16_t>(v[2]);
    f.sampleRate = v[3];
    f.bitsPerSample = static_cast<uint16_t>(v[4]);
    f.blockAlign = static_cast<uint16_t>(v[5]);
    f.dataOffset = v[6];
    f.dataLength = v[7];
    f.loopCount = static_cast<uint16_t>(v[8]);
    f.loopStart = v[9];
    f.loopEnd = v[10];
    f.fineTune = static_cast<uint16_t>(v[11]);
    f.unityNote = static_cast<uint16_t>(v[12]);
    return true;
}

void ChooseEntryPictures(const AudioFileFields& f, bool recognised, SampleListEntry& entry) {
    entry.image = 13;
    entry.selectedImage = 14;
    const bool pcm = IsAiffKind(f.fileKind) || f.formatTag == kFormatPcm || f.formatTag == kFormatFloat ||
                     IsG711Format(f.formatTag);
    if (!recognised || !pcm || (f.channels != 1 && f.channels != 2))
        return;
    const uint8_t stereo = f.channels == 2 ? 1 : 0;
    switch (f.bitsPerSample) {
    case 8:
        entry.image = 15 + 2 * stereo;
        break;
    case 24:
        entry.image = 19 + 2 * stereo;
        break;
    case 32:
        entry.image = 23 + 2 * stereo;
        break;
    default:
        entry.image = stereo;
        entry.selectedImage = 4 + stereo;
        return;
    }
    entry.selectedImage = static_cast<uint8_t>(entry.image + 1);
}

void AppendAudioFile(AudioFileListing& listing, const std::string& caption, uint32_t number,
                     const AudioFileFields& fields, bool recognised) {
    SampleListEntry entry;
    entry.caption = caption;
    ChooseEntryPictures(fields, recognised, entry);
    listing.entries.push_back(std::move(entry));
    listing.dataLines += WaveDataLine(number, fields);
}

namespace {

// An AIFF detune is a correction applied on playback, as a sample's pitch correction is; a WAVE sampler
// chunk instead gives the pitch the sample sounds at, as a fraction of a semitone above its unity note, so
// its correction is the opposite of that fraction, taken from the nearer note.
void SetTuning(SampleRecord& r, const AudioFileFields& f) {
    int32_t root = f.unityNote & 127;
    int32_t correction = static_cast<int16_t>(f.fineTune);
    if (f.fileKind == kWaveFileKind) {
        const SampleTuning tuning = SampleTuningOf(f.unityNote, f.fineTune);
        root = tuning.rootKey;
        correction = tuning.pitchCorrection;
    }
    r.rootKey = static_cast<uint16_t>(root);
    r.pitchCorrection = static_cast<int16_t>(correction);
}

} // namespace

void CompleteAudioFileList(BankModel& bank, const std::string& lines, SampleList& entries) {
    bank.SampleCount = 0;
    if (lines.empty())
        return;
    const size_t count = std::min<size_t>(lines.size() / kDataLineLength, kMaxAudioFiles);
    bank.SampleCount = static_cast<uint16_t>(count);
    if (count == 0)
        return;

    // Every field the header does not give is 0 (also those whose record default is not).
    SampleRecord zeroed;
    zeroed.bitsPerSample = zeroed.blockAlign = zeroed.channels = 0;
    zeroed.sampleType = 0;
    bank.SampleTable.assign(count, zeroed);

    for (size_t i = 0; i < entries.size() && i < count; ++i) {
        SampleListEntry& entry = entries[i];
        AudioFileFields f;
        ParseWaveDataLine(lines, static_cast<uint32_t>(i), f);
        SampleRecord& r = bank.SampleTable[i];
        r.name = Cut(entry.caption);
        r.fullName = Cut(WithoutExtension(entry.caption));
        r.dataOffset = f.dataOffset;
        r.dataLength = f.dataLength;
        r.fileKind = f.fileKind;
        r.formatTag = f.formatTag;
        r.sampleRate = f.sampleRate;
        r.bitsPerSample = f.bitsPerSample;
        r.blockAlign = f.blockAlign;
        r.channels = f.channels;
        r.looped = f.loopCount;
        r.loopStart = f.loopStart;
        r.loopEnd = f.loopEnd;
        if (r.looped == 0)
            r.loopStart = r.loopEnd = 0;
        if (r.channels != 0 && r.blockAlign / r.channels != 0) {
            const uint32_t frames = r.dataLength / (r.blockAlign / r.channels);
            r.loopEnd = std::min(r.loopEnd, frames);
        }
        SetTuning(r, f);
        r.stereoHalf = r.channels == 2 ? 1 : 0;
        r.listImage = entry.image;
        r.listSelectedImage = entry.selectedImage;

        entry.tag = static_cast<int>(i);
        if (r.formatTag == 0)
            entry.caption += " (Unknown WaveFormat)";
        else if (IsCompressedFormat(r.formatTag))
            entry.caption += " (Compressed)";
    }
}

} // namespace quorvane
