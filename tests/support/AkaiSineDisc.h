// A small Akai disc whose program plays looped sines at known pitches: the fixture of the conversion and
// command-line tests. Each sine loops over whole periods, so a player that loops it sounds one pitch.
#pragma once

#include "support/AkaiDiscReading.h"
#include "support/AkaiImageBuilder.h"

namespace quorvane::test {

// A sine of `frequency` (44,100 / frequency a whole number of frames), 14,000 frames, looping over its last
// 64 periods up to frame 12,800 (a multiple of 64, as S1000 loop points are kept).
inline AkaiSample LoopedSine(const std::string& name, double frequency, uint8_t rootKey) {
    AkaiSample sample{name, SineFrames(frequency, 14000)};
    sample.rootKey = rootKey;
    sample.loopAt = 12800;
    sample.loopLength = static_cast<uint32_t>(64 * 44100 / frequency);
    return sample;
}

// Partition A holds volume "SINES" (type `volumeType`) with program "LEAD": keys 0..70 play "SINE 441"
// at velocities 0..63 and "SINE 630" at 64..127, both with root key 69; keys 71..127 play "SINE 882" with
// root key 81. "PAD L" and "PAD R" are two halves of a pair. A second volume "EMPTY" holds nothing.
inline AkaiImageBuilder SineDisc(uint8_t volumeType = 1) {
    AkaiKeygroup low, high;
    low.highKey = 70;
    low.env1 = {0, 0, 99, 10};
    low.zones[0].sample = "SINE 441";
    low.zones[0].highVelocity = 63;
    low.zones[1].sample = "SINE 630";
    low.zones[1].lowVelocity = 64;
    high.lowKey = 71;
    high.zones[0].sample = "SINE 882";
    AkaiProgram lead{"LEAD", (volumeType & 3) == 3, 5, 0, 0, 0, {low, high}};

    AkaiVolume sines{"SINES", volumeType};
    const bool s3000 = (volumeType & 3) == 3;
    sines.files = {ProgramFile(lead),
                   SampleFile(LoopedSine("SINE 441", 441, 69), s3000),
                   SampleFile(LoopedSine("SINE 630", 630, 69), s3000),
                   SampleFile(LoopedSine("SINE 882", 882, 81), s3000),
                   SampleFile(AkaiSample{"PAD L", SineFrames(441, 500)}, s3000),
                   SampleFile(AkaiSample{"PAD R", SineFrames(441, 500)}, s3000)};
    AkaiImageBuilder builder;
    builder.partitions = {AkaiPartition{1, {sines, AkaiVolume{"EMPTY"}}}};
    return builder;
}

} // namespace quorvane::test
