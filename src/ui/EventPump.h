// Long work runs on the user-interface thread and lets the windows breathe between its units. While it
// does, the progress window works fully (its Cancel button above all) but every other window only
// repaints: clicks and keys sent to them are dropped, so nothing new can start in the middle of the work.
#pragma once

class QWidget;

namespace quorvane::ui {

// Handles pending events for up to `milliseconds`, passing input only to `activeWindow` (may be null: then
// no window takes input).
void PumpEvents(int milliseconds, QWidget* activeWindow);

} // namespace quorvane::ui
