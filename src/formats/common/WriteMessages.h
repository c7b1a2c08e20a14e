// The messages every bank writer gives about its output file.
#pragma once

#include <cstdint>
#include <string>

#include "core/Host.h"

namespace quorvane {

// The part of the overall progress bar a write fills: base .. base + span per mille, for the file being
// written in a run of several.
struct ProgressSpan {
    int base = 0;
    int span = 1000;

    int At(uint64_t done, uint64_t total) const {
        return base + static_cast<int>(static_cast<int64_t>(span) * static_cast<int64_t>(done) /
                                       static_cast<int64_t>(total == 0 ? 1 : total));
    }
};

// "ERROR! Can't write to File %s" in the status list (or as a message box for a write the user does not
// follow in the progress window), with "This file is used by another program!" when a file of that name
// exists and could not be created, or the reason the output refused it (a read-only file, an input of the
// run, a symbolic link at a name the program chose).
void ReportCannotWrite(Host& host, const std::string& path, bool creating, bool asMessageBox,
                       const std::string& reason = std::string());
// "ERROR! Reading sample %u  '%s'" (number from 1) about a sample whose data could not be read from its
// source, in the status list or as a message box.
void ReportCannotRead(Host& host, uint32_t index, const std::string& name, bool asMessageBox);
// "ERROR! Can't write to File %s" and why: the sample is too large for a WAVE or AIFF file.
void ReportTooLarge(Host& host, const std::string& path, bool asMessageBox);
// "Interrupted: '%s' not written." after a write the user interrupted was abandoned.
void ReportInterrupted(Host& host, const std::string& path);
// "Cancelled: '%s' not written, it was not complete." after Cancel cut a write short and the file was
// abandoned, so that a file of that name from before is left as it was.
void ReportCancelled(Host& host, const std::string& path);
// "Saved file  '%s'  (%i bytes)." after the status list is cleared once it holds more than 2000 lines.
void ReportSaved(Host& host, const std::string& path, uint64_t size);

} // namespace quorvane
