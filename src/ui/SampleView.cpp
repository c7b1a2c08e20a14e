#include "ui/SampleView.h"

#include <algorithm>

#include <QPainter>

namespace quorvane::ui {

namespace {

const QColor kBackground(255, 255, 240);
const QColor kLoopShade(255, 255, 191);
const QColor kLoopOutline(159, 159, 159);
const QColor kTrace(0, 127, 0);
const QColor kLoopTrace(0, 143, 0);

} // namespace

int WaveColumnOf(uint32_t i, uint32_t count, int columns) {
    if (count == 0 || columns <= 0)
        return 0;
    // Long samples are placed by quarters, as the column of every frame has always been computed.
    if (count > 2000000)
        return static_cast<int>(static_cast<uint64_t>(i / 4) * static_cast<uint64_t>(columns) / (count / 4));
    return static_cast<int>(static_cast<uint64_t>(columns) * i / count);
}

std::vector<WaveColumn> ScanWaveColumns(const int16_t* frames, uint32_t count, int columns) {
    std::vector<WaveColumn> result(static_cast<size_t>(std::max(columns, 0)));
    if (frames == nullptr || count == 0 || columns <= 0)
        return result;
    const uint32_t step = count > kWaveScanFrames ? count / kWaveScanFrames : 1;
    for (uint32_t i = 0; i < count; i += step) {
        const int column = WaveColumnOf(i, count, columns);
        if (column < 0 || column >= columns)
            continue;
        const int value = ~static_cast<int>(frames[i]);
        WaveColumn& c = result[static_cast<size_t>(column)];
        if (!c.used) {
            c = {true, value, value};
        } else {
            c.low = std::min(c.low, value);
            c.high = std::max(c.high, value);
        }
    }
    return result;
}

ColumnSpan LoopColumns(uint32_t loopStart, uint32_t loopEnd, uint32_t count, int columns) {
    if (count == 0 || columns <= 0 || loopEnd < loopStart)
        return {};
    int first =
        static_cast<int>(std::min<uint64_t>(static_cast<uint64_t>(columns) * loopStart / count, columns));
    int last =
        static_cast<int>(std::min<uint64_t>(static_cast<uint64_t>(columns) * loopEnd / count, columns));
    if (last - first < 3) {
        last = std::min(first + 3, columns);
        first = std::max(last - 3, 0);
    }
    return {first, last};
}

void DrawSampleView(QImage& image, const QRect& area, const std::vector<WaveBand>& bands) {
    QPainter p(&image);
    p.fillRect(area, kBackground);
    if (bands.empty())
        return;
    const int columns = std::max(area.width() - 4, 0);
    const int bandHeight = area.height() / static_cast<int>(bands.size());
    for (size_t b = 0; b < bands.size(); ++b) {
        const WaveBand& band = bands[b];
        const int top = area.top() + static_cast<int>(b) * bandHeight;
        const int centre = top + bandHeight / 2;
        const int half = bandHeight / 2;
        ColumnSpan loop;
        if (band.looped)
            loop = LoopColumns(band.loopStart, band.loopEnd, band.count, columns);
        if (loop.last > loop.first) {
            const QRect shade(2 + loop.first, top + 1, loop.last - loop.first, bandHeight - 2);
            p.fillRect(shade, kLoopShade);
            p.setPen(kLoopOutline);
            p.drawRect(shade.adjusted(0, 0, -1, -1));
        }
        p.setPen(Qt::blue);
        p.drawLine(2, centre, 2 + columns, centre);
        if (b > 0) {
            p.setPen(Qt::black);
            p.drawLine(area.left(), top, area.right(), top);
        }
        const std::vector<WaveColumn> scan = ScanWaveColumns(band.frames, band.count, columns);
        auto y = [&](int value) { return centre + value * half / 65536; };
        bool any = false;
        int lastY = centre;
        int lastX = 2;
        for (int c = 0; c < columns; ++c) {
            const WaveColumn& col = scan[static_cast<size_t>(c)];
            if (!col.used)
                continue;
            const int x = 2 + c;
            p.setPen(c >= loop.first && c < loop.last ? kLoopTrace : kTrace);
            const int low = y(col.low), high = y(col.high);
            if (!any) {
                lastX = x;
                lastY = low;
                any = true;
            }
            if (low == high) {
                p.drawLine(lastX, lastY, x, low);
                lastY = low;
            } else {
                // To the extreme nearer the previous end first, then across to the other.
                const bool lowFirst = std::abs(low - lastY) <= std::abs(high - lastY);
                const int near = lowFirst ? low : high, far = lowFirst ? high : low;
                p.drawLine(lastX, lastY, x, near);
                p.drawLine(x, near, x, far);
                lastY = far;
            }
            lastX = x;
        }
    }
}

int CursorColumn(uint64_t position, uint32_t frames, int width, const CursorLoop& loop) {
    if (frames == 0 || width < 4)
        return -1;
    uint64_t p = position;
    if (loop.looped && loop.end < p && loop.start <= loop.end) {
        const uint64_t length = std::max<uint64_t>(loop.end - loop.start, 1);
        if (p >= loop.start)
            p -= (p - loop.start) / length * length;
    }
    return static_cast<int>(static_cast<uint64_t>(width - 4) * std::min<uint64_t>(p, frames) / frames) + 2;
}

} // namespace quorvane::ui
