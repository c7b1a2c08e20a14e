// PaintBox1: the drawing surface of the information panel. It shows what the bank views have selected: a
// preset, layer or zone as the green information block over the zone map (with the Akai envelope panel for
// an Akai zone), a sample as the block over its waveform, and the play cursor over the waveform while the
// sample plays. Everything is composed into an off-screen image and copied in one operation; the cursor is
// drawn over that copy by inverting pixels, so taking it away restores them exactly.
#pragma once

#include <array>

#include <QImage>
#include <QWidget>

#include "convert/BankViews.h"
#include "session/Workspace.h"
#include "ui/PanelTexts.h"
#include "ui/ZoneMap.h"
#include "ui/ZoneMapKeys.h"

namespace quorvane::ui {

// The panel's geometry in panel coordinates: the surface starts under the 13-pixel title bar.
constexpr int kInfoBlockTop = 13;
constexpr int kInfoBlockBottom = 62;

// The narrowest panel at which no text the panel draws is cut: the widest values of a sample's block and
// the texts of an Akai zone's envelope panel (the widest blocks), measured in the panel's font.
int InfoPanelTextWidth();

class InfoPanel : public QWidget {
    Q_OBJECT
  public:
    InfoPanel(Workspace& workspace, QWidget* parent);

    // The statistics of the preset or layer on show, as the bank views last computed them.
    void SetStatistics(const PresetStatistics& stats);
    // Composes the picture again from the session's state (a new selection, a changed setting) and
    // repaints; the remembered cursor marks are dropped with the old picture.
    void Redraw();

    // The complete picture in panel coordinates (the surface starts at y 13), for tests and screenshots.
    QImage Compose();
    // The key range the zone map showed last.
    KeyRange DisplayRange() const { return displayRange_; }
    // The zone map last drawn, as the mouse plays it, in the panel's own coordinates.
    ZoneMapPlayArea PlayArea() const;
    // The information block last drawn.
    const InfoBlock& Block() const { return block_; }

    // The play cursor of a channel (0 left, 1 right) at column x; -1 takes it away.
    void SetCursor(int channel, int x);
    int CursorX(int channel) const { return cursorX_[static_cast<size_t>(channel)]; }
    // Whether the picture shows two waveform bands.
    bool ShowsStereoPair() const;

  signals:
    // The title bar's texts for what is shown: Label4 and, when not empty, Label1.
    void BlockShown(const QString& title, const QString& formatLabel);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void ComposeSample(QImage& image);
    void ComposePreset(QImage& image);
    void DrawBlock(QImage& image, const InfoBlock& block);
    QRect CursorRect(int channel, int x) const;

    Workspace& workspace_;
    PresetStatistics stats_;
    QImage picture_;
    bool stale_ = true;
    KeyRange displayRange_;
    int mapTop_ = kInfoBlockBottom; // where the zone map starts in the picture
    InfoBlock block_;
    uint32_t shownSample_ = kNoSample; // the sample whose texts the block shows after a click
    bool clicked_ = false;
    std::array<int, 2> cursorX_{-1, -1};
};

} // namespace quorvane::ui
