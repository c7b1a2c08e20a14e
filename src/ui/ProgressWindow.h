// What the two progress windows share: the Cancel button, and the rule that the window stays open until the
// work is done. Closing it earlier, with the button or the title bar, only asks the work to stop.
//
// The caller's side: Begin(), set the labels, show(), then per unit of work update the bars and ask
// CancelRequested(); Finish() when the work ends, after which the user closes the window with OK, Enter or
// Escape.
#pragma once

#include <QDialog>

class QPushButton;
class QStatusBar;
class QLabel;

namespace quorvane::ui {

class ProgressWindow : public QDialog {
    Q_OBJECT
  public:
    // Ready for a new run: may not close, button "Cancel", no cancel request, bars at 0.
    void Begin();
    // The run is over: the button reads "OK" and the window may close.
    void Finish();

    bool MayClose() const { return mayClose_; }
    bool CancelRequested() const { return cancelRequested_; }
    // The file panel of the status bar.
    void SetFileText(const QString& text);

  public slots:
    void reject() override;

  protected:
    explicit ProgressWindow(QWidget* parent);
    // Builds the Cancel button and the one-panel status bar the subclasses place.
    QPushButton* MakeCancelButton();
    QStatusBar* MakeStatusBar();
    virtual void ResetBars() = 0;
    // What the button does besides requesting cancellation while the work goes on.
    virtual void OnCancelWhileWorking() {}

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Button1Click();

    QPushButton* button_ = nullptr;
    QLabel* filePanel_ = nullptr;
    bool mayClose_ = true;
    bool cancelRequested_ = false;
};

// The progress window now showing: the bank window during a conversion, else the sample window; none when
// neither shows.
ProgressWindow* ShowingProgressWindow(ProgressWindow* bankWindow, ProgressWindow* sampleWindow);

} // namespace quorvane::ui
