#include "compare/SampleFingerprints.h"

#include <algorithm>
#include <cstdlib>

#include "convert/SampleFetch.h"

namespace quorvane {

namespace {

// FNV-1a over the frames, 64 bits: fast enough to run at the speed the frames are read, and with 2^64
// values a chance match between two different samples of a bank does not arise in practice.
uint64_t HashFrames(const FrameVector& frames) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (int16_t frame : frames) {
        hash ^= static_cast<uint16_t>(frame);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

} // namespace

FrameVector FetchSampleFrames(Workspace& workspace, uint32_t index) {
    FetchedSample fetched = FetchSample(workspace, index, true);
    FrameBuffer& left = fetched.left;
    FrameVector frames;
    if (fetched.readErrors == 0 && left.length != 0) {
        frames = std::move(left.frames);
        frames.resize(left.FrameCount());
    }
    return frames;
}

std::vector<SampleFingerprint> FingerprintSamples(Workspace& workspace, const std::vector<uint8_t>& wanted,
                                                  const std::function<bool()>& read) {
    std::vector<SampleFingerprint> prints(workspace.bank.SampleCount);
    for (uint32_t i = 0; i < prints.size() && i < wanted.size(); ++i) {
        if (!wanted[i])
            continue;
        const FrameVector frames = FetchSampleFrames(workspace, i);
        if (!frames.empty()) {
            const bool silent = std::all_of(frames.begin(), frames.end(), [](int16_t f) { return f == 0; });
            prints[i] =
                SampleFingerprint{HashFrames(frames), static_cast<uint32_t>(frames.size()), true, silent};
        }
        if (read && !read())
            break;
    }
    return prints;
}

FrameDifference CompareFrames(const FrameVector& source, const FrameVector& output) {
    FrameDifference d;
    d.sourceFrames = static_cast<uint32_t>(source.size());
    d.outputFrames = static_cast<uint32_t>(output.size());
    const size_t common = std::min(source.size(), output.size());
    for (size_t i = 0; i < common; ++i) {
        const int32_t gap = std::abs(int32_t{source[i]} - int32_t{output[i]});
        if (gap != 0) {
            ++d.differing;
            d.largest = std::max(d.largest, gap);
        }
    }
    return d;
}

} // namespace quorvane
