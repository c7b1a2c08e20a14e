// Writes Akai CD-ROM images with the test image builder, for benchmarks and trying the command-line
// program by hand:
//   make_akai_image sines OUT.iso        the looped-sine disc of the conversion tests
//   make_akai_image large OUT.iso        a sparse 650 MB disc: eleven partitions of volumes, the largest
//                                        volume (A/1) with 48 MB of sine samples played by one program
#include <cstdio>
#include <string>

#include "support/AkaiSineDisc.h"

using namespace quorvane::test;

namespace {

AkaiImageBuilder LargeDisc() {
    AkaiImageBuilder builder;
    // The largest volume: 40 samples of 600,000 frames (1.2 MB each), one keygroup each.
    AkaiVolume big{"BIG STRINGS", 1};
    AkaiProgram program{"ENSEMBLE"};
    for (int i = 0; i < 40; ++i) {
        const std::string name = "STR " + std::to_string(i);
        AkaiSample sample{name, SineFrames(441.0 * (1 + i % 4), 600000)};
        sample.rootKey = static_cast<uint8_t>(30 + i);
        sample.loopAt = 599040;
        sample.loopLength = 44100;
        big.files.push_back(SampleFile(sample));
        AkaiKeygroup keygroup;
        keygroup.lowKey = keygroup.highKey = static_cast<uint8_t>(30 + i);
        keygroup.zones[0].sample = name;
        program.keygroups.push_back(keygroup);
    }
    big.files.insert(big.files.begin(), ProgramFile(program));
    for (int p = 0; p < 11; ++p) {
        AkaiPartition partition{static_cast<uint8_t>(p < 10 ? 30 : 25)};
        if (p == 0)
            partition.volumes.push_back(big);
        for (int v = 0; v < 20; ++v) {
            AkaiVolume small{"VOLUME " + std::to_string(p) + "-" + std::to_string(v), 1};
            small.files = {SampleFile(AkaiSample{"TICK", SineFrames(882, 2000)})};
            partition.volumes.push_back(small);
        }
        builder.partitions.push_back(partition);
    }
    return builder;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_akai_image sines|large OUT\n");
        return 1;
    }
    const std::string kind = argv[1];
    try {
        if (kind == "sines")
            SineDisc().WriteSparse(argv[2]);
        else if (kind == "large")
            LargeDisc().WriteSparse(argv[2]);
        else
            return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
