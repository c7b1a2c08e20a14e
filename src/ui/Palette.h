// Colouring single widgets the way the windows of this program are coloured.
#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace quorvane::ui {

inline void SetBackground(QWidget* widget, const QColor& colour) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

inline void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

} // namespace quorvane::ui
