// How far apart the frames of two samples are.
#pragma once

#include <cstdint>

#include "formats/common/Frames.h"

namespace quorvane {

struct FrameDifference {
    uint32_t sourceFrames = 0;
    uint32_t outputFrames = 0;
    uint32_t differing = 0; // frames within the shorter length whose values differ
    int32_t largest = 0;    // the largest difference of one frame's values
};

FrameDifference CompareFrames(const FrameVector& source, const FrameVector& output);

} // namespace quorvane
