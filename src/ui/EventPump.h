// Long work runs on the user-interface thread and lets the windows breathe between its units. While it
// does, the progress window works fully (its Cancel button above all) but every other window only
// repaints: clicks and keys sent to them are dropped, so nothing new can start in the middle of the work.
#pragma once

#include <chrono>

class QWidget;

namespace quorvane::ui {

// Handles events for `milliseconds`, sleeping while none come, passing input only to `activeWindow` (may be
// null: then no window takes input). For waiting on the user, never in the middle of work.
void PumpEvents(int milliseconds, QWidget* activeWindow);

// Handles the events pending now, without waiting for more, passing input only to `activeWindow`.
void ProcessPendingEvents(QWidget* activeWindow);

// The pacing of work that asks to pump after every small unit: events are handled when at least
// kPumpInterval has passed since the last time, so the windows repaint about 60 times a second while the
// work runs at full speed in between. Never sleeps.
class PumpPacer {
  public:
    static constexpr std::chrono::milliseconds kPumpInterval{16};

    void Pump(QWidget* activeWindow);

  private:
    std::chrono::steady_clock::time_point last_{};
};

} // namespace quorvane::ui
