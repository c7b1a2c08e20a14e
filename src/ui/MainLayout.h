// Where the main window's controls sit. The client area holds four columns (Explorer tree, file list,
// preset tree over sample list, information panel) and a narrow strip on the right for the volume slider;
// every bound follows from the client size and the three column edges, so a resize recomputes them all.
#pragma once

#include <array>

#include <QRect>
#include <QSize>

#include "model/SourceFormat.h"

namespace quorvane::ui {

struct ColumnEdges {
    int FileColumnLeft = 154;
    int PresetColumnLeft = 285;
    int InfoColumnLeft = 437;
};

// The column edges for a source format: audio files have no preset tree, so the sample list moves left.
ColumnEdges ColumnsFor(SourceFormat sourceFormat);

struct ControlBounds {
    const char* name; // objectName of the control
    QRect bounds;     // a width or height of -1 keeps the control's own size (pictures, slider, lamp)
    bool visible;
};

constexpr size_t kMainControlCount = 16;
using MainLayout = std::array<ControlBounds, kMainControlCount>;

MainLayout ComputeMainLayout(QSize client, const ColumnEdges& columns, bool audioFileMode);

constexpr int kTitleBarHeight = 13;
constexpr size_t kPanel1ControlCount = 4;
using Panel1Layout = std::array<ControlBounds, kPanel1ControlCount>;

// The information panel's drawing surface leaves room for the play and save buttons while a sample is
// selected.
Panel1Layout ComputePanel1Layout(QSize panel, bool sampleSelected);

} // namespace quorvane::ui
