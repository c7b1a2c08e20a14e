// The two halves of a stereo pair are shown under one name: the left/right suffix comes off the display
// name; the name as read (fullName) stays for the writers.
#pragma once

#include "model/BankModel.h"

namespace quorvane {

void TidyStereoNames(BankModel& bank);

} // namespace quorvane
