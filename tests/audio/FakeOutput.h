// A WaveOutput that plays nothing by itself: the test renders from the queue as the device would, and can
// refuse rates to exercise the rate fall-backs.
#pragma once

#include <set>
#include <vector>

#include "audio/WaveOutput.h"

namespace quorvane::test {

class FakeOutput : public audio::WaveOutput {
  public:
    std::set<uint32_t> refusedRates;
    std::vector<uint32_t> openedRates; // every rate asked for, in order
    int channels = 0;

    std::vector<std::string> DeviceNames() override { return {"Fake device"}; }
    std::string DeviceName(int device) override { return device < 0 ? "Default" : "Fake device"; }
    int Open(int, uint32_t rate, int channelCount, audio::BlockQueue& queue, std::string& error) override {
        openedRates.push_back(rate);
        if (refusedRates.count(rate)) {
            error = "rate refused";
            return 7;
        }
        queue_ = &queue;
        channels = channelCount;
        return 0;
    }
    void Close() override { queue_ = nullptr; }
    void Finish() override { queue_ = nullptr; }
    bool IsOpen() const override { return queue_ != nullptr; }

    // Plays `frames` frames as the device would and returns them interleaved.
    std::vector<int16_t> Play(size_t frames) {
        std::vector<int16_t> out(frames * static_cast<size_t>(channels));
        if (queue_ != nullptr)
            queue_->Render(out.data(), frames);
        return out;
    }

  private:
    audio::BlockQueue* queue_ = nullptr;
};

} // namespace quorvane::test
