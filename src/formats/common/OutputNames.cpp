#include "formats/common/OutputNames.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>

#include "formats/common/ProtectedInputs.h"

namespace quorvane {

namespace {
bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The same file, however the two paths are spelled ("./Bank.gig", a link, another route to the folder).
bool SameFile(const std::string& a, const std::string& b) {
    if (a == b)
        return true;
    std::error_code error;
    return !a.empty() && !b.empty() && std::filesystem::equivalent(a, b, error);
}
} // namespace

std::string FreeOutputName(const std::string& outputPath, const std::string& sourcePath,
                           const char* extension) {
    const size_t cut = std::strlen(extension) + 1;
    if ((!SameFile(outputPath, sourcePath) && !IsProtectedInput(outputPath)) || outputPath.size() <= cut)
        return outputPath;
    const std::string stem = outputPath.substr(0, outputPath.size() - cut);
    std::string name;
    for (int n = 1; n <= 999; ++n) {
        name = stem + "-" + std::to_string(n) + "." + extension;
        if (!Exists(name))
            break;
    }
    return name;
}

std::string CreationDateText() {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%i %s %i   %i:%.02i:%.02i", local.tm_mday, kMonths[local.tm_mon],
                  local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

} // namespace quorvane
