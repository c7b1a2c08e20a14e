// The bank model as read, as one JSON object: a stable dump for scripts and tests.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "model/BankModel.h"

namespace quorvane::cli {

nlohmann::ordered_json ModelToJson(const BankModel& bank, const std::string& formatLine);

} // namespace quorvane::cli
