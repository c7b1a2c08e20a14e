// What a reader met that does not fit the format: where (chunk, file or image offset) and what it did about
// it. Kept apart from failure: a bank with notes still loaded.
#pragma once

#include <string>
#include <vector>

namespace quorvane {

struct ReadNotes {
    std::vector<std::string> lines;
    // Set when the bank's structure is missing or cut (a download broken off inside the sample data): what
    // is missing and where. Such a bank is not read as a bank at all, rather than as an empty one.
    std::string damage;

    void Add(std::string line) { lines.push_back(std::move(line)); }
    bool Damaged() const { return !damage.empty(); }
};

} // namespace quorvane
