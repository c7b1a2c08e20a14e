// The percent bar of the progress windows: a blue bar over white in a black frame, with the percentage in
// the middle, white where the bar has passed and black beyond it.
#pragma once

#include <QWidget>

namespace quorvane::ui {

constexpr int kPercentBarFull = 1000; // progress is counted in tenths of a percent

// Draws the bar for `value` (0 .. 1000) over the whole of `size`.
void DrawPercentBar(QPainter& painter, QSize size, int value);

class PercentBar : public QWidget {
    Q_OBJECT
  public:
    explicit PercentBar(QWidget* parent = nullptr);

    int Value() const { return value_; }
    // Sets the value (clamped to 0 .. 1000) and repaints when it changed.
    void SetValue(int value);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int value_ = 0;
};

} // namespace quorvane::ui
