// Sample files written through libsndfile: one sample's frames as a WAVE or FLAC file, 16 or 24 bit, one
// or two channels, built in memory so that the caller writes it through an OutputFile.
#pragma once

#include <cstdint>
#include <vector>

#include "formats/common/Frames.h"

namespace quorvane {

enum class SoundFileContainer { Wave, Flac };

const char* ExtensionOf(SoundFileContainer container); // "wav" or "flac"

// Encodes `left` (and `right` as the second channel when given; the shorter channel is padded with
// silence) at `bits` 16 or 24, the low bytes of the buffers used for 24. False when libsndfile refuses
// (no frames, a rate the container does not take).
bool EncodeSoundFile(SoundFileContainer container, const FrameBuffer& left, const FrameBuffer* right,
                     uint32_t sampleRate, int bits, std::vector<uint8_t>& file);

} // namespace quorvane
