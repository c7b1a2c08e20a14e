// The zone map of the information panel: key range upward against velocity across, with a vertical
// keyboard strip at the left and eight velocity bands. The geometry is computed without a painter so that
// it can be checked on its own; DrawZoneMap paints it into an off-screen image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QImage>

#include "model/BankModel.h"

namespace quorvane::ui {

constexpr int kZoneMapTop = 48;    // top of the map inside its image
constexpr int kKeyboardWidth = 30; // the keyboard strip at the map's left
constexpr int kZoneMapFoot = 12;   // the velocity labels under the map

struct KeyRange {
    int lo = 0;
    int hi = 127;
    bool operator==(const KeyRange&) const = default;
};

// The keys the map shows for a preset whose zones span lowKey..highKey: one key more at the top, and a
// range under an octave widened to whole half-octaves, at least an octave in all.
KeyRange DisplayKeyRange(int lowKey, int highKey);

// Where keys lie on the map's vertical axis, for an image `bottom` pixels high.
class KeyScale {
  public:
    KeyScale(KeyRange range, int bottom);
    // Offsets upward from the map's foot of a key's lower edge, upper edge and marker coordinate.
    int Lower(int key) const;
    int Upper(int key) const;
    int Third(int key) const;
    int Span() const { return span_; }

  private:
    int Scaled(int coordinate) const;
    KeyRange range_;
    int bottom_;
    int span_;
};

struct ZoneBox {
    int left = 0, top = 0, right = 0, bottom = 0; // right and bottom exclusive
    uint32_t rgb = 0;
    std::string name;
    bool mapped = true;
    bool selected = false; // the current zone, drawn again with a white frame
};

// The fill colour of a zone with a sample, from its lowest velocity and the middle of its key range.
uint32_t ZoneColour(int velocityLow, int keyLow, int keyHigh);

// The zone rectangles of the preset in `slot` (only the layer at layerPosition when it is >= 0), each
// zone's ranges cut to its layer's; the current zone (zonePosition in that layer) comes last, marked.
std::vector<ZoneBox> ZoneBoxes(const BankModel& bank, uint32_t slot, int layerPosition, int zonePosition,
                               KeyRange range, int width, int bottom);

// Paints the whole map into `image` (its full width, kZoneMapTop .. height).
void DrawZoneMap(QImage& image, KeyRange range, const std::vector<ZoneBox>& boxes, int middleCOffset);

} // namespace quorvane::ui
