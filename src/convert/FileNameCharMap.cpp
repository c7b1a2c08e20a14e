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
    // A name of dots and blanks only ("..", ".", all blanks) would name the folder itself, its parent or
    // nothing once blanks are trimmed: it becomes underscores, one a character.
    if (!mapped.empty() && mapped.find_first_not_of(". ") == std::string::npos)
        mapped.assign(mapped.size(), '_');
    return mapped;
}

} // namespace quorvane
