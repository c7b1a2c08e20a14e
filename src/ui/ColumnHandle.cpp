#include "ui/ColumnHandle.h"

#include <QMouseEvent>

namespace quorvane::ui {

ColumnHandle::ColumnHandle(const char* name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setCursor(Qt::SplitHCursor);
    setToolTip("Drag to widen the column");
    resize(kWidth, 10);
}

void ColumnHandle::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    grabOffset_ = event->position().toPoint().x();
    event->accept();
}

void ColumnHandle::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_)
        return;
    emit Dragged(mapToParent(event->position().toPoint()).x() - grabOffset_);
    event->accept();
}

void ColumnHandle::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    emit Released();
    event->accept();
}

} // namespace quorvane::ui
