// The messages every bank writer gives about its output file.
#pragma once

#include <string>

#include "core/Host.h"

namespace quorvane {

// "ERROR! Can't write to File %s" in the status list (or as a message box for a write the user does not
// follow in the progress window), with "This file is used by another program!" when a file of that name
// exists and could not be created.
void ReportCannotWrite(Host& host, const std::string& path, bool creating, bool asMessageBox);
// "Saved file  '%s'  (%i bytes)." after the status list is cleared once it holds more than 2000 lines.
void ReportSaved(Host& host, const std::string& path, uint64_t size);

} // namespace quorvane
