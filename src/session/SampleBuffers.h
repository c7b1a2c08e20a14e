// The buffer pair the player's sample is fetched into, and the sources samples are fetched from.
#pragma once

#include <cstdint>

#include "formats/akai/AkaiSampleSource.h"
#include "formats/audio/AudioFileSource.h"
#include "formats/common/BankFileSource.h"
#include "formats/common/Frames.h"
#include "formats/sfz/SfzSampleSource.h"

namespace quorvane {

struct SampleBuffers {
    FrameBuffer PlayLeft, PlayRight;

    FramePair Play() { return {PlayLeft, PlayRight}; }
};

// One sample source per kind of source; the fetch binds the one the open bank needs to it.
struct SampleSources {
    BankFileSource bankFile;    // SoundFont, DLS and GigaSampler banks
    AudioFileSource audioFiles; // the audio-file list
    AkaiSampleSource akai;      // the sample files of an Akai volume
    SfzSampleSource sfz;        // the sample files of an SFZ instrument
};

} // namespace quorvane
