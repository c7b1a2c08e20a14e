#include "ui/EnvelopePanel.h"

#include <QPainter>

#include "ui/Fonts.h"

namespace quorvane::ui {

namespace {

constexpr int kGraphHeight = 70;
constexpr int kHeadHeight = 11;
constexpr int kGraphTop = 4;

QColor Rgb(uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void DrawGraph(QPainter& p, const QRect& box, const char* title, const QColor& titleColour,
               const QColor& fill, const AkaiEnvelope& envelope) {
    p.fillRect(box, Qt::white);
    p.setPen(Qt::black);
    p.drawRect(box.adjusted(0, 0, -1, -1));
    const QRect head(box.left(), box.top(), box.width(), kHeadHeight);
    p.fillRect(head, QColor(220, 220, 220));
    p.setPen(titleColour);
    p.setFont(TahomaFont(11, true));
    p.drawText(head, Qt::AlignCenter, title);
    const QRect graph(box.left() + 2, box.top() + kHeadHeight + 1, box.width() - 4, box.height() - 12 - 2);
    const QPolygon polygon = EnvelopePolygon(envelope, graph);
    p.setPen(Qt::black);
    p.setBrush(fill);
    p.drawPolygon(polygon);
    p.setBrush(Qt::black);
    for (const QPoint& corner : polygon)
        p.drawRect(corner.x() - 1, corner.y() - 1, 2, 2);
    p.setBrush(Qt::NoBrush);
}

} // namespace

QPolygon EnvelopePolygon(const AkaiEnvelope& e, const QRect& graph) {
    const int attack = e.attack * 100 / 99;
    const int decay = e.decay * 100 / 99;
    const int sustain = e.sustain * 100 / 99;
    const int release = e.release * 100 / 99;
    const int gridX[] = {0, attack, attack + decay, 350 - release, 350, 0};
    const int gridY[] = {0, 100, sustain, sustain, 0, 0};
    QPolygon polygon;
    for (int i = 0; i < 6; ++i) {
        const int x = graph.left() + std::min(gridX[i], 350) * (graph.width() - 1) / 350;
        const int y = graph.bottom() - gridY[i] * (graph.height() - 1) / 100;
        polygon << QPoint(x, y);
    }
    return polygon;
}

void DrawEnvelopePanel(QImage& image, const AkaiEnvelopeValues& values) {
    const int width = image.width();
    QPainter p(&image);
    p.fillRect(QRect(0, 0, width, kEnvelopePanelHeight), QColor(255, 255, 220));
    p.setPen(QColor(140, 140, 140));
    p.drawLine(4, kEnvelopePanelHeight - 4, width - 5, kEnvelopePanelHeight - 4);
    const int graphWidth = width / 2 - 7;
    const QRect left(5, kGraphTop, graphWidth, kGraphHeight);
    const QRect right(5 + graphWidth + 5, kGraphTop, graphWidth, kGraphHeight);
    DrawGraph(p, left, "ENV1-VOL", QColor(205, 130, 0), QColor(252, 204, 114), values.env1);
    DrawGraph(p, right, "ENV2-MOD", QColor(212, 20, 255), QColor(232, 170, 255), values.env2);
    p.setFont(TahomaFont(11, false));
    const int textTop = kGraphTop + kGraphHeight + 4;
    for (const PanelText& text : EnvelopeTexts(values, right.left() - left.left())) {
        p.setPen(Rgb(text.rgb));
        p.drawText(QPoint(left.left() + text.x, textTop + text.y + 9), QString::fromStdString(text.text));
    }
}

} // namespace quorvane::ui
