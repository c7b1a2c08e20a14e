// Checks that a bank model hangs together, for the sweeps that feed damaged files to the readers.
#pragma once

#include <string>

#include "model/BankModel.h"

namespace quorvane::test {

// The first way in which the tables and their lists do not fit together (a count past its table, a list
// item past the table it names), or an empty text.
std::string TableInconsistency(const BankModel& bank);

} // namespace quorvane::test
