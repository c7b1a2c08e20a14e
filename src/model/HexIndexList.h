// The list by which a preset names its layers and a layer its zones. The bank texts show it as items of
// five characters, four lower-case hex digits and a blank ("%04x "); in memory it is a plain list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace quorvane {

class HexIndexList {
  public:
    HexIndexList() = default;
    HexIndexList(std::initializer_list<uint16_t> items) : items_(items) {}

    void Append(uint16_t index) { items_.push_back(index); }
    void Insert(size_t position, uint16_t index) { items_.insert(items_.begin() + position, index); }
    void Clear() { items_.clear(); }
    void RemoveAt(size_t position) {
        if (position < items_.size())
            items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(position));
    }

    size_t Count() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    uint16_t operator[](size_t k) const { return items_[k]; }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    // "%04x " per item, e.g. "0000 0001 0002 ".
    std::string Text() const;
    // Parses five-character items; a trailing partial item is ignored.
    static HexIndexList FromText(const std::string& text);

    bool operator==(const HexIndexList&) const = default;

  private:
    std::vector<uint16_t> items_;
};

} // namespace quorvane
