#pragma once

#include <string>

#include "ExitCodes.h"

namespace quorvane::cli {

// `info [--json] FILE`: the bank as read, for a person or as one JSON object.
// volume: the --volume text for an Akai disc; empty: none given.
ExitCode RunInfo(const std::string& path, bool json, const std::string& volume = {});

} // namespace quorvane::cli
