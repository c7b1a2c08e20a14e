#pragma once

#include <string>

#include "ExitCodes.h"

namespace quorvane::cli {

// `info [--json] FILE`: the bank as read, for a person or as one JSON object.
ExitCode RunInfo(const std::string& path, bool json);

} // namespace quorvane::cli
