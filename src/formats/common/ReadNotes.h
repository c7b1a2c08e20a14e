// What a reader met that does not fit the format: where (chunk, file or image offset) and what it did about
// it. Kept apart from failure: a bank with notes still loaded.
#pragma once

#include <string>
#include <vector>

namespace quorvane {

struct ReadNotes {
    std::vector<std::string> lines;
    void Add(std::string line) { lines.push_back(std::move(line)); }
};

} // namespace quorvane
