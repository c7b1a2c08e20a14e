#include "formats/common/WriteMessages.h"

#include <sys/stat.h>

#include "core/StringPrintf.h"
#include "formats/common/OutputFile.h"

namespace quorvane {

void ReportCannotWrite(Host& host, const std::string& path, bool creating, bool asMessageBox,
                       const std::string& reason) {
    const std::string line = StringPrintf("ERROR! Can't write to File %s", path.c_str());
    const bool refused =
        reason == kOutputIsAnInput || reason == kOutputIsReadOnly || reason == kOutputIsALink;
    if (asMessageBox) {
        host.ShowMessage(refused ? line + ": " + reason : line, kMessageCaption, MessageIcon::Warning);
        return;
    }
    host.AddStatusLine(line);
    struct stat info {};
    if (refused)
        host.AddStatusLine("The file is not replaced: " + reason + ".");
    else if (creating && ::stat(path.c_str(), &info) == 0)
        host.AddStatusLine("This file is used by another program!");
}

void ReportCannotRead(Host& host, uint32_t index, const std::string& name, bool asMessageBox) {
    const std::string line = StringPrintf("ERROR! Reading sample %u  '%s'", index + 1, name.c_str());
    if (asMessageBox)
        host.ShowMessage(line, kMessageCaption, MessageIcon::Warning);
    else
        host.AddStatusLine(line);
}

void ReportTooLarge(Host& host, const std::string& path, bool asMessageBox) {
    const std::string line = StringPrintf("ERROR! Can't write to File %s", path.c_str());
    const std::string why = "The sample is too large for a WAVE or AIFF file (4 GiB at most).";
    if (asMessageBox) {
        host.ShowMessage(line + "\r\n" + why, kMessageCaption, MessageIcon::Warning);
        return;
    }
    host.AddStatusLine(line);
    host.AddStatusLine(why);
}

void ReportInterrupted(Host& host, const std::string& path) {
    host.AddStatusLine(StringPrintf("Interrupted: '%s' not written.", path.c_str()));
}

void ReportCancelled(Host& host, const std::string& path) {
    host.AddStatusLine(StringPrintf("Cancelled: '%s' not written, it was not complete.", path.c_str()));
}

void ReportSaved(Host& host, const std::string& path, uint64_t size) {
    constexpr size_t kStatusListLimit = 2000;
    if (host.StatusLineCount() > kStatusListLimit)
        host.ClearStatusLines();
    host.AddStatusLine(
        StringPrintf("Saved file  '%s'  (%llu bytes).", path.c_str(), static_cast<unsigned long long>(size)));
}

} // namespace quorvane
