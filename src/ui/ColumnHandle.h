// A border between two columns of the main window that the user drags to widen one column at the cost of
// the other. It sits in the gap between the columns and reports where the border is dragged to; the
// window decides how far it may go.
#pragma once

#include <QWidget>

namespace quorvane::ui {

class ColumnHandle : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWidth = 5;

    ColumnHandle(const char* name, QWidget* parent);

  signals:
    // The border dragged to `x`, in the parent's coordinates.
    void Dragged(int x);
    // The drag ended.
    void Released();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    int grabOffset_ = 0; // where in the handle the mouse took it
    bool dragging_ = false;
};

} // namespace quorvane::ui
