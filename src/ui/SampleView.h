// The waveform of the information panel: one band for a mono sample, two for a stereo pair, each with the
// loop region shaded and the trace drawn from the highest and lowest value falling on every pixel column.
// The column scan and the cursor placement are computed without a painter; DrawSampleView paints a band
// set into an off-screen image.
#pragma once

#include <cstdint>
#include <vector>

#include <QImage>

namespace quorvane::ui {

// Frames beyond this many are sampled, not all read: a draw costs the same for any length.
constexpr uint32_t kWaveScanFrames = 100000;

struct WaveColumn {
    bool used = false; // some frame falls on this column
    int low = 0;       // lowest and highest complemented value (positive values point up on screen)
    int high = 0;
};

// The column frame i of `count` falls on, for `columns` columns.
int WaveColumnOf(uint32_t i, uint32_t count, int columns);
// The extremes of the frames on each of `columns` columns (every frame up to kWaveScanFrames, else every
// (count / kWaveScanFrames)-th), as their bitwise complement.
std::vector<WaveColumn> ScanWaveColumns(const int16_t* frames, uint32_t count, int columns);

// Loop shading: the first and one-past-last column of a loop, at least 3 columns wide and inside
// 0..columns. Nothing (first == last) when there is no loop to shade.
struct ColumnSpan {
    int first = 0;
    int last = 0;
};
ColumnSpan LoopColumns(uint32_t loopStart, uint32_t loopEnd, uint32_t count, int columns);

// One band of the view: the frames it shows and the loop its sample plays.
struct WaveBand {
    const int16_t* frames = nullptr;
    uint32_t count = 0;
    bool looped = false;
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0;
};

// Paints the background and one band (mono) or two (upper: the sample, lower: its partner) into the whole
// of `area` of `image`.
void DrawSampleView(QImage& image, const QRect& area, const std::vector<WaveBand>& bands);

// The play cursor's column for playback position p of a channel: the position folded into a loop it has
// passed (a loop of length 0 counts as 1), then scaled to the view's width. -1 when there are no frames.
struct CursorLoop {
    bool looped = false;
    uint32_t start = 0;
    uint32_t end = 0;
};
int CursorColumn(uint64_t position, uint32_t frames, int width, const CursorLoop& loop);

} // namespace quorvane::ui
