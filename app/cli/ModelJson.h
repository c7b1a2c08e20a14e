// The bank model as read, as one JSON object: a stable dump for scripts and tests.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "session/Workspace.h"

namespace quorvane::cli {

nlohmann::ordered_json ModelToJson(const Workspace& workspace, const std::string& formatLine);
// The same text as ModelToJson(...).dump(1), written record by record: memory for one record at a time.
void WriteModelJson(std::ostream& out, const Workspace& workspace, const std::string& formatLine);

} // namespace quorvane::cli
