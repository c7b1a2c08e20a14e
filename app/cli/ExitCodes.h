#pragma once

namespace quorvane::cli {

enum ExitCode : int {
    kExitOk = 0,
    kExitUsage = 1,
    kExitCannotRead = 2,
    kExitNotABank = 3,
    kExitCannotWrite = 4,
    kExitDifferences = 5, // check: the output differs from the source
    kExitInternalError = 70,
    kExitCancelled = 130,
};

} // namespace quorvane::cli
