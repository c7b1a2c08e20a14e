// The bank model as read, as one JSON object: a stable dump for scripts and tests.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "session/Workspace.h"

namespace quorvane::cli {

nlohmann::ordered_json ModelToJson(const Workspace& workspace, const std::string& formatLine);

} // namespace quorvane::cli
