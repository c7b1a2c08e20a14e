#include "ui/PercentBar.h"

#include <algorithm>

#include <QPainter>

#include "ui/Colours.h"
#include "ui/Fonts.h"

namespace quorvane::ui {

void DrawPercentBar(QPainter& painter, QSize size, int value) {
    const int w = size.width();
    const int h = size.height();
    // Even at 0 a one-pixel strip shows where the bar starts.
    const int filled = std::max(1, (w - 1) * value / kPercentBarFull);

    painter.save();
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, w - 1, h - 1);

    const QFont font = SansSerifFont(11, true);
    painter.setFont(font);
    const QString text = QString::number(value / 10) + '%';
    const int textWidth = painter.fontMetrics().horizontalAdvance(text);
    const QRect textBox((w - textWidth) / 2 + 5, h / 2 - 8, textWidth, 16);

    // Inside the frame, columns 1 .. filled are the bar and the rest up to the right frame edge is white.
    const int inner = w - 2;
    const int barWidth = std::min(filled, inner);
    const QRect passed(1, 1, barWidth, h - 2);
    const QRect ahead(1 + barWidth, 1, inner - barWidth, h - 2);
    const struct {
        QRect area;
        QColor fill;
        QColor ink;
    } parts[] = {{passed, kPercentBarBlue, Qt::white}, {ahead, Qt::white, Qt::black}};
    for (const auto& part : parts) {
        if (part.area.width() <= 0)
            continue;
        painter.fillRect(part.area, part.fill);
        painter.setClipRect(part.area);
        painter.setPen(part.ink);
        painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter, text);
        painter.setClipping(false);
    }
    painter.restore();
}

PercentBar::PercentBar(QWidget* parent) : QWidget(parent) {
    // Every pixel is painted each time: no background erase, so the bar does not flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PercentBar::SetValue(int value) {
    value = std::clamp(value, 0, kPercentBarFull);
    if (value == value_)
        return;
    value_ = value;
    update();
}

void PercentBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawPercentBar(painter, size(), value_);
}

} // namespace quorvane::ui
