// The list by which a preset names its layers and a layer its zones. The bank texts show it as items of
// five characters, four lower-case hex digits and a blank ("%04x "); in memory it is a plain list, or a run
// of consecutive indices held as its first index and count: a SoundFont names each preset's layers and each
// instrument's zones as such a run, and thousands of layers may name the same long run, which spelled out
// per layer would take memory by the product of the counts. A run is spelled out only when that list is
// changed, so a change never reaches another list.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace quorvane {

class HexIndexList {
  public:
    // Reads the items by position: a run's are computed, a plain list's are read.
    class Iterator {
      public:
        using iterator_concept = std::random_access_iterator_tag;
        using iterator_category = std::input_iterator_tag; // items are values, not references
        using value_type = uint16_t;
        using difference_type = std::ptrdiff_t;
        using reference = uint16_t;
        using pointer = void;

        Iterator() = default;
        Iterator(const HexIndexList* list, size_t position) : list_(list), position_(position) {}

        uint16_t operator*() const { return (*list_)[position_]; }
        uint16_t operator[](difference_type n) const { return (*list_)[position_ + static_cast<size_t>(n)]; }
        Iterator& operator++() {
            ++position_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++position_;
            return before;
        }
        Iterator& operator--() {
            --position_;
            return *this;
        }
        Iterator operator--(int) {
            Iterator before = *this;
            --position_;
            return before;
        }
        Iterator& operator+=(difference_type n) {
            position_ += static_cast<size_t>(n);
            return *this;
        }
        Iterator& operator-=(difference_type n) {
            position_ -= static_cast<size_t>(n);
            return *this;
        }
        friend Iterator operator+(Iterator it, difference_type n) { return it += n; }
        friend Iterator operator+(difference_type n, Iterator it) { return it += n; }
        friend Iterator operator-(Iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const Iterator& a, const Iterator& b) {
            return static_cast<difference_type>(a.position_) - static_cast<difference_type>(b.position_);
        }
        bool operator==(const Iterator& other) const { return position_ == other.position_; }
        auto operator<=>(const Iterator& other) const { return position_ <=> other.position_; }

      private:
        const HexIndexList* list_ = nullptr;
        size_t position_ = 0;
    };

    HexIndexList() = default;
    HexIndexList(std::initializer_list<uint16_t> items) : items_(items) {}
    // first, first + 1, ... (count items, cut at 0xFFFF).
    static HexIndexList Run(uint16_t first, uint32_t count);

    void Append(uint16_t index) {
        SpellOut();
        items_.push_back(index);
    }
    void Insert(size_t position, uint16_t index) {
        SpellOut();
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(position), index);
    }
    void Clear() {
        items_.clear();
        runCount_ = 0;
        isRun_ = false;
    }
    void RemoveAt(size_t position) {
        SpellOut();
        if (position < items_.size())
            items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(position));
    }

    size_t Count() const { return isRun_ ? runCount_ : items_.size(); }
    bool Empty() const { return Count() == 0; }
    uint16_t operator[](size_t k) const { return isRun_ ? static_cast<uint16_t>(runFirst_ + k) : items_[k]; }
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, Count()}; }
    // True for a list held as a run (its items are RunFirst(), RunFirst() + 1, ...).
    bool IsRun() const { return isRun_; }
    uint16_t RunFirst() const { return runFirst_; }

    // "%04x " per item, e.g. "0000 0001 0002 ".
    std::string Text() const;
    // Parses five-character items; a trailing partial item is ignored.
    static HexIndexList FromText(const std::string& text);

    // By their items, whichever way each list holds them.
    bool operator==(const HexIndexList& other) const;
    std::strong_ordering operator<=>(const HexIndexList& other) const;

  private:
    void SpellOut();

    std::vector<uint16_t> items_;
    uint16_t runFirst_ = 0;
    uint32_t runCount_ = 0;
    bool isRun_ = false;
};

} // namespace quorvane
