#include "RunJson.h"

#include <cstdio>
#include <nlohmann/json.hpp>

namespace quorvane::cli {

void PrintRunJson(const TerminalHost& host, const char* command, int status) {
    nlohmann::ordered_json files = nlohmann::ordered_json::array();
    uint64_t presets = 0, samples = 0, bytes = 0;
    for (const WrittenFile& file : host.Written()) {
        files.push_back({{"path", file.path},
                         {"presets", file.presets},
                         {"samples", file.samples},
                         {"bytes", file.bytes},
                         {"seconds", file.seconds}});
        presets += file.presets;
        samples += file.samples;
        bytes += file.bytes;
    }
    const nlohmann::ordered_json result = {
        {"command", command},
        {"status", status},
        {"files", files},
        {"presets", presets},
        {"samples", samples},
        {"bytes", bytes},
        {"warnings", host.Warnings()},
        {"failures", host.Failures()},
    };
    // Names from banks need not be UTF-8: invalid bytes become U+FFFD rather than ending the run.
    const std::string text = result.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace quorvane::cli
