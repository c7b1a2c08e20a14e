#include "ui/MainLayout.h"

#include <algorithm>

namespace quorvane::ui {

ColumnEdges ColumnsFor(SourceFormat sourceFormat) {
    if (sourceFormat == SourceFormat::AudioFile)
        return {154, 154, 350};
    return {};
}

MainLayout ComputeMainLayout(QSize client, const ColumnEdges& c, bool audio) {
    const int cw = client.width();
    const int ch = client.height();
    const int h = ch - 22;        // height of the tall lists, leaving a row for the Save button
    const int split = h * 8 / 20; // the preset tree takes 8/20 of the column, the sample list the rest
    const int fileWidth = c.PresetColumnLeft - c.FileColumnLeft - 3;
    const int presetWidth = c.InfoColumnLeft - c.PresetColumnLeft - 4;
    const QRect panel2 =
        audio ? QRect(c.PresetColumnLeft, 4, presetWidth, 17) : QRect(c.FileColumnLeft, 4, fileWidth, 17);
    const QRect treeList = audio ? QRect(c.PresetColumnLeft, 20, presetWidth, h)
                                 : QRect(c.PresetColumnLeft, split + 38, presetWidth, h - split - 18);
    const bool lists = !audio;
    return {{
        {"StaticText1", {2, 4, c.FileColumnLeft - 5, 17}, true},
        {"TreeView1", {2, 20, c.FileColumnLeft - 5, h}, true},
        {"Panel2", panel2, true},
        {"ListBox1", {c.FileColumnLeft, 20, fileWidth, h - 19}, lists},
        {"Panel5", {c.FileColumnLeft, h + 2, 129, 19}, lists},
        {"StaticText3", {c.PresetColumnLeft, 4, c.InfoColumnLeft - c.PresetColumnLeft - 25, 17}, lists},
        {"Panel6", {c.InfoColumnLeft - 25, 4, 17, 21}, lists},
        {"TreeView2", {c.PresetColumnLeft, 20, presetWidth, split}, lists},
        {"Panel4", {c.PresetColumnLeft, split + 22, 149, 17}, lists},
        {"TreeList", treeList, true},
        {"Panel1", {c.InfoColumnLeft, 4, cw - c.InfoColumnLeft - 16, ch - 6}, true},
        {"Image1", {cw - 12, 4, -1, -1}, true},
        {"Image2", {cw - 15, h - 93, -1, -1}, true},
        {"TrackBar1", {cw - 16, h - 80, -1, -1}, true},
        {"Label2", {cw - 14, h - 132, -1, -1}, true},
        {"LampkaIn", {cw - 13, h - 120, -1, -1}, true},
    }};
}

namespace {

// The handle covers the gap before a column and one pixel of the column.
constexpr int kHandleWidth = 5;
// The volume strip right of the information panel.
constexpr int kRightStrip = 16;
constexpr int kExplorerLeft = 5;

int EdgeOf(const ColumnEdges& c, ColumnBorder border) {
    switch (border) {
    case ColumnBorder::FileList:
        return c.FileColumnLeft;
    case ColumnBorder::PresetColumn:
        return c.PresetColumnLeft;
    case ColumnBorder::InfoPanel:
        return c.InfoColumnLeft;
    }
    return 0;
}

// Within [low, high]; `low` wins when the window is too narrow for both.
int Limit(int x, int low, int high) {
    return std::max(low, std::min(x, high));
}

} // namespace

QRect ColumnHandleBounds(QSize client, const ColumnEdges& c, bool audio, ColumnBorder border) {
    if (audio && border == ColumnBorder::PresetColumn)
        return {-1, 0, 0, 0};
    return {EdgeOf(c, border) - kColumnHandleInset, 4, kHandleWidth, std::max(client.height() - 6, 0)};
}

ColumnEdges DragColumnBorder(ColumnEdges c, ColumnBorder border, int x, int clientWidth, bool audio) {
    const int fileLow = kExplorerLeft + kMinListWidth;
    switch (border) {
    case ColumnBorder::FileList:
        if (audio) {
            c.FileColumnLeft = c.PresetColumnLeft =
                Limit(x, fileLow, c.InfoColumnLeft - 4 - kMinPresetColumnWidth);
        } else {
            c.FileColumnLeft = Limit(x, fileLow, c.PresetColumnLeft - 3 - kMinListWidth);
        }
        break;
    case ColumnBorder::PresetColumn:
        if (!audio)
            c.PresetColumnLeft =
                Limit(x, c.FileColumnLeft + 3 + kMinListWidth, c.InfoColumnLeft - 4 - kMinPresetColumnWidth);
        break;
    case ColumnBorder::InfoPanel:
        c.InfoColumnLeft = Limit(x, c.PresetColumnLeft + 4 + kMinPresetColumnWidth,
                                 clientWidth - kRightStrip - kMinInfoPanelWidth);
        break;
    }
    return c;
}

bool ColumnsUsable(const ColumnEdges& c, bool audio) {
    if (c.FileColumnLeft < kExplorerLeft + kMinListWidth)
        return false;
    if (audio ? c.PresetColumnLeft != c.FileColumnLeft
              : c.PresetColumnLeft < c.FileColumnLeft + 3 + kMinListWidth)
        return false;
    return c.InfoColumnLeft >= c.PresetColumnLeft + 4 + kMinPresetColumnWidth;
}

Panel1Layout ComputePanel1Layout(QSize panel, bool sampleSelected) {
    const int pw = panel.width();
    const int ph = panel.height();
    const int paintHeight = sampleSelected ? ph - 51 : ph - kTitleBarHeight;
    return {{
        {"PaintBox1", {0, kTitleBarHeight, pw, paintHeight}, true},
        {"Shape1", {0, ph - 39, pw, 39}, sampleSelected},
        {"SpeedButton1", {7, ph - 32, 59, 26}, sampleSelected},
        {"SpeedButton2", {pw - 67, ph - 32, 59, 26}, sampleSelected},
    }};
}

} // namespace quorvane::ui
