#include "convert/FileNameCharMap.h"

namespace quorvane {

char FileNameChar(unsigned char c) {
    if (c < 32)
        return '_';
    switch (c) {
    case '"':
        return '\'';
    case '\\':
    case '?':
    case '/':
    case '<':
    case '>':
        return '_';
    case '*':
        return 'x';
    case '|':
        return 'I';
    case ':':
        return ';';
    default:
        return static_cast<char>(c);
    }
}

std::string MapFileName(const std::string& name) {
    std::string mapped;
    mapped.reserve(name.size());
    for (unsigned char c : name)
        mapped += FileNameChar(c);
    return mapped;
}

} // namespace quorvane
