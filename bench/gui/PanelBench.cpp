// The information panel's drawing and wave playback, measured in-process:
//   waveform_ms  one waveform of a 10,000,000-frame stereo pair into a 1000 x 560 picture
//   zonemap_ms   the zone map of the bank's preset with the most zones (default FluidR3_GM)
//   play         with a seconds argument: a looped sample plays that long through the sound output while
//                this thread keeps drawing waveforms between its 5 ms polls; the late blocks are counted
// Usage: quorvane_panel_bench [bank.sf2] [play seconds]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QGuiApplication>
#include <QImage>

#include "audio/RtAudioOutput.h"
#include "audio/WavePlayer.h"
#include "convert/BankLoader.h"
#include "convert/BankViews.h"
#include "ui/SampleView.h"
#include "ui/ZoneMap.h"

using namespace quorvane;
using Clock = std::chrono::steady_clock;

namespace {

template <typename F> void Time(const char* name, int runs, F&& work) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-12s median %.2f ms  min %.2f ms  max %.2f ms  (%d runs)\n", name, ms[ms.size() / 2],
                ms.front(), ms.back(), runs);
}

FrameVector Tone(uint32_t frames, double period) {
    FrameVector values(frames);
    for (uint32_t i = 0; i < frames; ++i)
        values[i] = static_cast<int16_t>(20000 * std::sin(2 * M_PI * i / period));
    return values;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const char* bankPath = argc > 1 ? argv[1] : "/usr/share/sounds/sf2/FluidR3_GM.sf2";
    const int playSeconds = argc > 2 ? std::atoi(argv[2]) : 0;

    const FrameVector left = Tone(10000000, 441), right = Tone(10000000, 300);
    QImage wave(1000, 560, QImage::Format_RGB32);
    const std::vector<ui::WaveBand> bands = {{left.data(), 10000000, true, 2000000, 9000000},
                                             {right.data(), 10000000, false, 0, 0}};
    Time("waveform_ms", 30, [&] { ui::DrawSampleView(wave, wave.rect(), bands); });

    NullHost host;
    Workspace workspace(host);
    if (LoadBank(workspace, bankPath).status != LoadStatus::Loaded) {
        std::fprintf(stderr, "cannot load %s\n", bankPath);
        return 1;
    }
    uint32_t largest = 1, zones = 0;
    for (uint32_t slot = 1; slot <= workspace.bank.PresetCount; ++slot) {
        const PresetStatistics stats = ComputePresetStatistics(workspace.bank, slot);
        if (stats.zoneCount > zones) {
            zones = stats.zoneCount;
            largest = slot;
        }
    }
    const PresetStatistics stats = ComputePresetStatistics(workspace.bank, largest);
    std::printf("largest preset: %s, %u zones\n", workspace.bank.PresetTable[largest].name.c_str(), zones);
    QImage map(1000, 48 + 560, QImage::Format_RGB32);
    Time("zonemap_ms", 30, [&] {
        const ui::KeyRange range = ui::DisplayKeyRange(stats.lowKey, stats.highKey);
        const auto boxes = ui::ZoneBoxes(workspace.bank, largest, -1, -1, range, map.width(), map.height());
        ui::DrawZoneMap(map, range, boxes, 12);
    });

    if (playSeconds > 0) {
        audio::RtAudioOutput output;
        audio::WavePlayer player(output);
        if (player.ListOutputDevices().empty()) {
            std::fprintf(stderr, "no sound output\n");
            return 1;
        }
        player.OutputDevice = audio::kDefaultOutput;
        SampleRecord sample;
        sample.name = sample.fullName = "loop";
        sample.sampleRate = 44100;
        sample.dataLength = 88200 * 2;
        sample.looped = 1;
        sample.loopStart = 22050;
        sample.loopEnd = 88200;
        workspace.bank.SampleTable.assign(1, sample);
        workspace.bank.SampleCount = 1;
        workspace.selection.selectedSample = 0;
        workspace.samples.PlayLeft.Fill(Tone(88200, 100.227));
        workspace.samples.PlayRight.Free();
        if (!player.StartPlayback(workspace).started) {
            std::fprintf(stderr, "the output refused the sample\n");
            return 1;
        }
        player.FillBlock(workspace, 0);
        player.FillBlock(workspace, 1);
        const auto end = Clock::now() + std::chrono::seconds(playSeconds);
        auto nextPoll = Clock::now();
        long draws = 0;
        while (Clock::now() < end) {
            if (Clock::now() >= nextPoll) {
                player.Poll(workspace);
                nextPoll += std::chrono::milliseconds(5);
            } else {
                ui::DrawSampleView(wave, wave.rect(), bands); // the user-interface thread kept busy
                ++draws;
            }
        }
        std::printf("play         %d s, %llu frames, %u late blocks, %ld waveforms drawn meanwhile\n",
                    playSeconds, static_cast<unsigned long long>(player.Position()), player.Underruns(),
                    draws);
        player.StopPlayback();
    }
    return 0;
}
