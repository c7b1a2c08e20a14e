// What a rendered tone is: its frequency from the upward zero crossings and its level, for the tests that
// hear a conversion in FluidSynth.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace quorvane::test {

constexpr int kRenderRate = 44100;

// Frequency and RMS level of mono audio at kRenderRate between two times in seconds (from > 0).
inline void MeasureTone(const std::vector<float>& audio, double from, double to, double& frequency,
                        double& rms) {
    const size_t begin = static_cast<size_t>(from * kRenderRate), end = static_cast<size_t>(to * kRenderRate);
    size_t first = 0, last = 0, crossings = 0;
    double energy = 0;
    for (size_t i = begin; i < end && i < audio.size(); ++i) {
        energy += audio[i] * audio[i];
        if (audio[i - 1] < 0 && audio[i] >= 0) {
            if (crossings == 0)
                first = i;
            last = i;
            ++crossings;
        }
    }
    frequency = crossings > 1 ? (crossings - 1) * double{kRenderRate} / static_cast<double>(last - first) : 0;
    rms = end > begin ? std::sqrt(energy / static_cast<double>(end - begin)) : 0;
}

// Frequency of mono audio at kRenderRate between two times in seconds (from > 0), from the median distance
// between upward zero crossings: a gap a loaded sound server leaves in a recording stretches one period
// and so moves the median by nothing, where it moves the crossing count of MeasureTone.
inline double MedianPeriodFrequency(const std::vector<float>& audio, double from, double to) {
    const size_t begin = static_cast<size_t>(from * kRenderRate), end = static_cast<size_t>(to * kRenderRate);
    std::vector<double> periods;
    double previous = -1;
    for (size_t i = begin; i < end && i < audio.size(); ++i) {
        if (audio[i - 1] < 0 && audio[i] >= 0) {
            // The crossing between the two frames, by linear interpolation, for sub-frame precision.
            const double at = static_cast<double>(i) - audio[i] / (audio[i] - audio[i - 1]);
            if (previous >= 0)
                periods.push_back(at - previous);
            previous = at;
        }
    }
    if (periods.empty())
        return 0;
    std::nth_element(periods.begin(), periods.begin() + static_cast<std::ptrdiff_t>(periods.size() / 2),
                     periods.end());
    return kRenderRate / periods[periods.size() / 2];
}

} // namespace quorvane::test
