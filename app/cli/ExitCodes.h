#pragma once

namespace quorvane::cli {

enum ExitCode : int {
    kExitOk = 0,
    kExitUsage = 1,
    kExitCannotRead = 2,
    kExitNotABank = 3,
    kExitCannotWrite = 4,
    kExitInternalError = 70,
    kExitCancelled = 130,
};

} // namespace quorvane::cli
