#include "formats/common/SoundFileEncoder.h"

#include <algorithm>
#include <climits>

#include "formats/common/SndfileMemory.h"

namespace quorvane {

const char* ExtensionOf(SoundFileContainer container) {
    return container == SoundFileContainer::Flac ? "flac" : "wav";
}

bool EncodeSoundFile(SoundFileContainer container, const FrameBuffer& left, const FrameBuffer* right,
                     uint32_t sampleRate, int bits, std::vector<uint8_t>& file) {
    file.clear();
    const uint32_t frames = std::max(left.FrameCount(), right ? right->FrameCount() : 0u);
    const int channels = right ? 2 : 1;
    // FLAC takes rates up to 655,350 Hz; WAVE any 32-bit rate.
    if (frames == 0 || sampleRate == 0 || sampleRate > INT32_MAX)
        return false;
    GrowingBytes growing{file, 0};
    SF_VIRTUAL_IO io = GrowingBytesIo();
    SF_INFO info{};
    info.samplerate = static_cast<int>(sampleRate);
    info.channels = channels;
    info.format = (container == SoundFileContainer::Flac ? SF_FORMAT_FLAC : SF_FORMAT_WAV) |
                  (bits == 24 ? SF_FORMAT_PCM_24 : SF_FORMAT_PCM_16);
    SNDFILE* sound = sf_open_virtual(&io, SFM_WRITE, &info, &growing);
    if (sound == nullptr)
        return false;
    // libsndfile takes 32-bit integers and keeps their top bits: a 24-bit frame goes in shifted up by 8,
    // so nothing is rounded on the way.
    constexpr uint32_t kBlockFrames = 8192;
    std::vector<int> block(static_cast<size_t>(kBlockFrames) * channels);
    auto value = [](const FrameBuffer& buffer, uint32_t i) {
        return i < buffer.FrameCount() ? static_cast<int>(static_cast<uint32_t>(buffer.Frame24(i)) << 8) : 0;
    };
    bool wrote = true;
    for (uint32_t start = 0; start < frames && wrote; start += kBlockFrames) {
        const uint32_t count = std::min(kBlockFrames, frames - start);
        for (uint32_t i = 0; i < count; ++i) {
            block[i * channels] = value(left, start + i);
            if (right)
                block[i * channels + 1] = value(*right, start + i);
        }
        wrote = sf_writef_int(sound, block.data(), count) == count;
    }
    const bool closed = sf_close(sound) == 0;
    if (!wrote || !closed)
        file.clear();
    return wrote && closed;
}

} // namespace quorvane
