// The Akai envelope panel: a light yellow band above the zone map with the amplitude (ENV1) and
// modulation (ENV2) envelopes of the selected keygroup zone drawn as graphs, and its other values as text.
#pragma once

#include <QImage>
#include <QPolygon>

#include "ui/PanelTexts.h"

namespace quorvane::ui {

constexpr int kEnvelopePanelHeight = 160;

// The six corners of an envelope's graph inside `graph` (its head excluded): the rates and sustain scaled
// to a 350 by 100 grid.
QPolygon EnvelopePolygon(const AkaiEnvelope& envelope, const QRect& graph);

// Paints the panel into the whole of `image` (kEnvelopePanelHeight high).
void DrawEnvelopePanel(QImage& image, const AkaiEnvelopeValues& values);

} // namespace quorvane::ui
