// The result of a run that writes files, as one JSON object on stdout for scripts: the status the
// program ends with, the files written (with their presets, samples, size and time), the totals, and
// the warnings and failures in the order they came.
#pragma once

#include "TerminalHost.h"

namespace quorvane::cli {

void PrintRunJson(const TerminalHost& host, const char* command, int status);

} // namespace quorvane::cli
