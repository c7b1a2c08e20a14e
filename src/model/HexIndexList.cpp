#include "model/HexIndexList.h"

#include <cstdio>

namespace quorvane {

std::string HexIndexList::Text() const {
    std::string text;
    text.reserve(items_.size() * 5);
    char item[8];
    for (uint16_t index : items_) {
        std::snprintf(item, sizeof item, "%04x ", index);
        text += item;
    }
    return text;
}

HexIndexList HexIndexList::FromText(const std::string& text) {
    HexIndexList list;
    for (size_t at = 0; at + 5 <= text.size(); at += 5) {
        unsigned value = 0;
        if (std::sscanf(text.c_str() + at, "%4x", &value) == 1)
            list.Append(static_cast<uint16_t>(value));
    }
    return list;
}

} // namespace quorvane
