// Auditioning timed on a real bank (FluidR3_GM by default) and the real synthesizer:
//
// - load: from the call that writes the preset with the most sample data as its temporary bank to the bank
//   loaded at bank 120, the file deleted and the six messages of the MIDI output sent, ready to play;
// - note-on: how many frames after a note-on, sent between two of the driver's periods, the synthesizer's
//   output starts to sound (rendered offline, period by period, as the driver renders);
// - send: how long a short message waits for FluidSynth's lock while its audio driver renders (only when a
//   sound server answers, PULSE_SERVER).
//
//   quorvane_audition_bench BANK [RUNS]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/FluidSynthDevices.h"
#include "convert/AuditionBank.h"
#include "convert/BankLoader.h"
#include "model/WriteSelection.h"

using namespace quorvane;
using audio::FluidSynthDevices;
using Clock = std::chrono::steady_clock;

namespace {

constexpr uint32_t kBankLocation = 120;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * static_cast<double>(values.size())))];
}

uint32_t Message(int status, int data1, int data2 = 0) {
    return static_cast<uint32_t>(status | data1 << 8 | data2 << 16);
}

void OpenChannel(FluidSynthDevices& synth) {
    for (uint32_t message : {Message(0xB0, 0, 120), Message(0xB0, 32, 0), Message(0xC0, 0),
                             Message(0xB0, 7, 127), Message(0xB0, 91, 0), Message(0xB0, 93, 0)})
        synth.SendShortMessage(message);
}

// The preset whose zones play the most sample bytes.
uint32_t LargestPreset(BankModel& bank, uint64_t& bytes) {
    uint32_t largest = 1;
    bytes = 0;
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot) {
        const WriteSelection chosen = WriteSelection::Presets(bank, {slot});
        uint64_t total = 0;
        for (uint32_t s = 0; s < bank.SampleCount; ++s)
            if (chosen.HasSample(s))
                total += bank.SampleTable[s].dataLength;
        if (total > bytes) {
            bytes = total;
            largest = slot;
        }
    }
    return largest;
}

// Writes and loads the preset as auditioning does; the time in ms, or a negative value on failure.
double AuditionOnce(Workspace& workspace, FluidSynthDevices& synth, uint32_t slot) {
    const Clock::time_point start = Clock::now();
    const AuditionBank bank = WriteAuditionBank(workspace, slot, -1);
    if (bank.status != AuditionBank::Written)
        return -1;
    synth.ClearBank(0, kBankLocation);
    const int loaded = synth.LoadBank(0, kBankLocation, bank.path);
    ::unlink(bank.path.c_str());
    if (loaded != 0)
        return -1;
    OpenChannel(synth);
    return Milliseconds(Clock::now() - start);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorvane_audition_bench BANK [RUNS]\n");
        return 2;
    }
    const std::string path = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;

    NullHost host;
    Workspace workspace(host);
    if (LoadBank(workspace, path).status != LoadStatus::Loaded) {
        std::fprintf(stderr, "cannot load %s\n", path.c_str());
        return 1;
    }
    uint64_t bytes = 0;
    const uint32_t slot = LargestPreset(workspace.bank, bytes);
    std::printf("preset: %s (%.2f MiB of samples)\n", workspace.bank.PresetTable[slot].name.c_str(),
                static_cast<double>(bytes) / 1048576.0);

    // With a sound server the device plays through its driver, as in the program; else offline.
    FluidSynthDevices played(std::getenv("PULSE_SERVER") != nullptr ? FluidSynthDevices::Output::AudioDriver
                                                                    : FluidSynthDevices::Output::Offline);
    if (!played.Open(0) || played.OpenOutput(0) != audio::PortResult::Opened) {
        std::fprintf(stderr, "the synthesizer did not open\n");
        return 1;
    }
    std::printf("driver: %s, buffer %d x %d frames at %d Hz = %.1f ms\n",
                played.DriverName().empty() ? "none (offline)" : played.DriverName().c_str(),
                FluidSynthDevices::kPeriods, FluidSynthDevices::kPeriodFrames, FluidSynthDevices::kSampleRate,
                1000.0 * FluidSynthDevices::kPeriods * FluidSynthDevices::kPeriodFrames /
                    FluidSynthDevices::kSampleRate);

    std::vector<double> loads;
    for (int run = 0; run < runs; ++run) {
        const double ms = AuditionOnce(workspace, played, slot);
        if (ms < 0) {
            std::fprintf(stderr, "the audition bank was not written or not loaded\n");
            return 1;
        }
        loads.push_back(ms);
    }
    std::printf("load_ms first %.1f median %.1f p90 %.1f max %.1f\n", loads.front(), Percentile(loads, 0.5),
                Percentile(loads, 0.9), *std::max_element(loads.begin(), loads.end()));

    // Messages sent while the driver renders wait for FluidSynth's lock.
    if (!played.DriverName().empty()) {
        std::vector<double> sends;
        for (int i = 0; i < 2000; ++i) {
            const int key = 36 + i % 48;
            for (uint32_t message : {Message(0x90, key, 100), Message(0x80, key)}) {
                const Clock::time_point start = Clock::now();
                played.SendShortMessage(message);
                sends.push_back(Milliseconds(Clock::now() - start));
            }
            ::usleep(500);
        }
        std::printf("send_ms median %.3f p99 %.3f max %.3f\n", Percentile(sends, 0.5),
                    Percentile(sends, 0.99), *std::max_element(sends.begin(), sends.end()));
        played.SendShortMessage(Message(0xB0, 120, 0));
    }

    // The synthesizer rendering period by period, offline; a note-on lands between two periods.
    FluidSynthDevices offline(FluidSynthDevices::Output::Offline);
    const AuditionBank bank = WriteAuditionBank(workspace, slot, -1);
    if (bank.status != AuditionBank::Written || !offline.Open(0) ||
        offline.LoadBank(0, kBankLocation, bank.path) != 0) {
        std::fprintf(stderr, "the offline synthesizer did not load the bank\n");
        return 1;
    }
    ::unlink(bank.path.c_str());
    offline.OpenOutput(0);
    OpenChannel(offline);
    constexpr int kPeriod = FluidSynthDevices::kPeriodFrames;
    std::vector<int16_t> period(2 * kPeriod);
    std::vector<double> onsets;
    for (int key = 36; key < 96; key += 3) {
        offline.Render(period.data(), kPeriod);
        offline.SendShortMessage(Message(0x90, key, 100));
        int frames = 0;
        bool sounding = false;
        while (!sounding && frames < FluidSynthDevices::kSampleRate) {
            offline.Render(period.data(), kPeriod);
            for (int f = 0; f < kPeriod && !sounding; ++f, ++frames)
                sounding = std::abs(period[2 * f]) >= 8 || std::abs(period[2 * f + 1]) >= 8;
        }
        onsets.push_back(1000.0 * frames / FluidSynthDevices::kSampleRate);
        offline.SendShortMessage(Message(0xB0, 120, 0));
        for (int i = 0; i < 20; ++i)
            offline.Render(period.data(), kPeriod);
    }
    std::printf("note_on_to_sound_ms median %.2f max %.2f (beyond the buffer)\n", Percentile(onsets, 0.5),
                *std::max_element(onsets.begin(), onsets.end()));
    return 0;
}
