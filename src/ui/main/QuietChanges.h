// Small guards the main window's controllers share: one marks the selection changes the program makes
// itself, so that the handlers meant for the user's changes stay quiet; the other shows the hourglass.
#pragma once

#include <QApplication>

namespace quorvane::ui {

// Sets `flag` for as long as it lives and puts back what it was.
class QuietChanges {
  public:
    explicit QuietChanges(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~QuietChanges() { flag_ = was_; }
    QuietChanges(const QuietChanges&) = delete;
    QuietChanges& operator=(const QuietChanges&) = delete;

  private:
    bool& flag_;
    bool was_;
};

// Shows the hourglass for as long as it lives.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace quorvane::ui
