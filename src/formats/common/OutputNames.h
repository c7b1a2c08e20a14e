// Naming and dating shared by the bank writers.
#pragma once

#include <string>

namespace quorvane {

// The name written instead of outputPath when it names the bank being read (sourcePath; the same file
// under any spelling) or another input of the run (IsProtectedInput), and is longer than its extension:
// its ".<extension>" (as long as the extension given, "wav" or "flac") becomes "-N.<extension>" with the
// first N from 1 to 999 for which no file exists (999 when all do). Any other path is returned as it is.
std::string FreeOutputName(const std::string& outputPath, const std::string& sourcePath,
                           const char* extension);

// The local date and time as the INFO creation date: "10 Dec 2026   14:03:09".
std::string CreationDateText();

} // namespace quorvane
