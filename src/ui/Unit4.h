// TForm4: the progress of converting whole banks: the bank and sample being written, two percent bars (the
// run as a whole and the current file) and the status list of the run.
#pragma once

#include "ui/ProgressWindow.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace quorvane::ui {

class PercentBar;

class TForm4 : public ProgressWindow {
    Q_OBJECT
  public:
    explicit TForm4(QWidget* parent = nullptr);

    // "Bank:" or "Volume:" (or "Preset:"), and the name being saved.
    void SetItemCaption(const QString& caption);
    void SetItemName(const QString& name);
    void SetSampleName(const QString& name);
    PercentBar* OverallBar() const { return overall_; }
    PercentBar* FileBar() const { return file_; }

    void AddStatusLine(const QString& line);
    void ReplaceLastStatusLine(const QString& line);
    int StatusLineCount() const;
    void ClearStatusLines();

  protected:
    void ResetBars() override;
    void OnCancelWhileWorking() override;

  private:
    // The list shows its last line from the next time events are handled: scrolling line by line would ask
    // the display server where the mouse is for every line, a round trip that costs more than the line.
    void ScrollToLastLineSoon();

    QLabel* itemCaption_ = nullptr;
    QLabel* itemName_ = nullptr;
    QLabel* sampleName_ = nullptr;
    PercentBar* overall_ = nullptr;
    PercentBar* file_ = nullptr;
    QListWidget* status_ = nullptr;
    bool scrollPending_ = false;
    QPushButton* cancel_ = nullptr;
};

} // namespace quorvane::ui
