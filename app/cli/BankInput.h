// Loads the bank named on the command line through the same loader the file list uses: a one-entry file
// list with its path line, the source format taken from the file's type key.
#pragma once

#include <string>
#include <vector>

#include "ExitCodes.h"
#include "TerminalHost.h"
#include "convert/BankLoader.h"
#include "session/Workspace.h"

namespace quorvane::cli {

// Checks that path opens and holds a bank of a supported type; prints a message and returns the exit code
// when not.
ExitCode ProbeBankPath(const std::string& path);
// The bank files directly in `folder` (every format's extensions, any case), in name order; a warning
// on stderr when there are none.
std::vector<std::string> BankFilesOfFolder(const std::string& folder);

// Loads path into workspace. Prints a message to stderr and returns the exit code on failure; notes of
// the readers about damaged data are printed as warnings. Silent leaves out the loader's questions and
// messages (the readers' notes are still printed).
ExitCode LoadBankFromPath(Workspace& workspace, const std::string& path,
                          LoadMode mode = LoadMode::Interactive);

} // namespace quorvane::cli
