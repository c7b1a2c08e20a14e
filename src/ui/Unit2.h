// TForm2: the progress of saving single samples, with one percent bar.
#pragma once

#include "ui/ProgressWindow.h"

class QLabel;

namespace quorvane::ui {

class PercentBar;

class TForm2 : public ProgressWindow {
    Q_OBJECT
  public:
    explicit TForm2(QWidget* parent = nullptr);

    void SetSampleName(const QString& name);
    PercentBar* Bar() const { return bar_; }

  protected:
    void ResetBars() override;

  private:
    QLabel* sampleName_ = nullptr;
    PercentBar* bar_ = nullptr;
};

} // namespace quorvane::ui
