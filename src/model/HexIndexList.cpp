#include "model/HexIndexList.h"

#include <algorithm>
#include <cstdio>

namespace quorvane {

HexIndexList HexIndexList::Run(uint16_t first, uint32_t count) {
    HexIndexList list;
    list.isRun_ = true;
    list.runFirst_ = first;
    list.runCount_ = std::min<uint32_t>(count, 0x10000u - first);
    return list;
}

void HexIndexList::SpellOut() {
    if (!isRun_)
        return;
    items_.resize(runCount_);
    for (uint32_t k = 0; k < runCount_; ++k)
        items_[k] = static_cast<uint16_t>(runFirst_ + k);
    isRun_ = false;
    runCount_ = 0;
}

bool HexIndexList::operator==(const HexIndexList& other) const {
    if (isRun_ && other.isRun_)
        return runCount_ == other.runCount_ && (runCount_ == 0 || runFirst_ == other.runFirst_);
    return Count() == other.Count() && std::equal(begin(), end(), other.begin());
}

std::strong_ordering HexIndexList::operator<=>(const HexIndexList& other) const {
    // Two runs differ at their first items, or one is the start of the other.
    if (isRun_ && other.isRun_ && runCount_ != 0 && other.runCount_ != 0 && runFirst_ != other.runFirst_)
        return runFirst_ <=> other.runFirst_;
    if (isRun_ && other.isRun_)
        return runCount_ <=> other.runCount_;
    return std::lexicographical_compare_three_way(begin(), end(), other.begin(), other.end());
}

std::string HexIndexList::Text() const {
    std::string text;
    text.reserve(Count() * 5);
    char item[8];
    for (uint16_t index : *this) {
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
