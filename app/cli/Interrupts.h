// Ctrl-C (SIGINT) and SIGTERM while a command writes files. Until the command starts writing, a signal ends
// it at once. After that the handlers only note the signal; the write in progress sees it through the
// host's cancel query, abandons its temporary file, and the command ends with the conventional status 128 +
// the signal's number; a second signal ends it at once. Commands that write nothing keep the default
// handling: the signal ends them at once.
#pragma once

namespace quorvane::cli {

// Installs the handlers for SIGINT and SIGTERM; they stay for the rest of the run.
void CatchInterrupts();
// From here on the command writes files: a signal is noted for the writes to stop at, not acted on at once.
void WritingStarts();
// The signal that asked the program to stop; 0 when none came.
int InterruptSignal();
// The status the program ends with after an interrupt, with a line on stderr that says what was kept;
// `status` unchanged when no interrupt came.
int StatusAfterInterrupt(int status);

} // namespace quorvane::cli
