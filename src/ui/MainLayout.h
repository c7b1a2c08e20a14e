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
    bool operator==(const ColumnEdges&) const = default;
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

// The column borders the user drags: before the file list, before the preset column (not in audio-file
// mode, where the file list is hidden) and before the information panel.
enum class ColumnBorder { FileList, PresetColumn, InfoPanel };
constexpr size_t kColumnBorderCount = 3;

// The narrowest the columns may be dragged: a list still shows the start of its names, the preset column
// its headers and the information panel its first texts.
constexpr int kMinListWidth = 60;
constexpr int kMinPresetColumnWidth = 148; // as wide as it opens
constexpr int kMinInfoPanelWidth = 150;

// A handle's left edge lies this far left of the column it starts.
constexpr int kColumnHandleInset = 4;

// Where the handle of a border sits: in the gap before the column it starts; x < 0 when not shown.
QRect ColumnHandleBounds(QSize client, const ColumnEdges& columns, bool audioFileMode, ColumnBorder border);
// `columns` with `border`'s column starting at `x`, kept within the narrowest widths of the columns on its
// two sides. In audio-file mode the sample list starts where the file list would.
ColumnEdges DragColumnBorder(ColumnEdges columns, ColumnBorder border, int x, int clientWidth,
                             bool audioFileMode);
// Whether remembered edges give every column at least its narrowest width (the window's width aside).
bool ColumnsUsable(const ColumnEdges& columns, bool audioFileMode);

constexpr int kTitleBarHeight = 13;
constexpr size_t kPanel1ControlCount = 4;
using Panel1Layout = std::array<ControlBounds, kPanel1ControlCount>;

// The information panel's drawing surface leaves room for the play and save buttons while a sample is
// selected.
Panel1Layout ComputePanel1Layout(QSize panel, bool sampleSelected);

} // namespace quorvane::ui
