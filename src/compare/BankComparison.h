// The check of a conversion: every preset of the source against its counterpart in the output (one or more
// banks: the parts of a GigaSampler bank, the files of a folder), voice by voice at every key and velocity
// band, with samples matched by their frames.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "compare/CheckReport.h"
#include "session/Workspace.h"

namespace quorvane {

// A loaded bank taking part in a check; its workspace also fetches its samples.
struct CheckedBank {
    Workspace* workspace = nullptr;
    std::string path;
};

struct CheckOptions {
    // Source presets to check (1-based slots); empty: every preset. The output presets left over are listed
    // as only in the output when every preset is checked, not when a few are.
    std::vector<uint32_t> sourceSlots;
    // Called after each sample read and each preset compared, with the steps done and the steps in all;
    // returning false stops the check, whose report then says it was cancelled. May be empty.
    std::function<bool(uint32_t done, uint32_t total)> progress;
};

// What kind of bank a loaded model is, for the names in the report and what an output can hold.
BankKind KindOfBank(const BankModel& bank);
// "SoundFont 2.1", "GigaSampler", "DLS Level 1", "Akai".
std::string FormatTextOf(const BankModel& bank);

// Runs the check. Reads every sample the compared voices play once on each side.
CheckReport CheckConversion(const CheckedBank& source, const std::vector<CheckedBank>& outputs,
                            const CheckOptions& options);

} // namespace quorvane
