#include "ui/ZoneMap.h"

#include <algorithm>
#include <optional>

#include <QPainter>

#include "convert/BankViews.h"
#include "model/KeyGeometry.h"
#include "model/NoteNames.h"
#include "ui/Fonts.h"

namespace quorvane::ui {

namespace {

const KeyGeometry& Geometry(int key) {
    return KeyGeometries()[static_cast<size_t>(std::clamp(key, 0, kLastGeometryKey))];
}

QColor Rgb(uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

} // namespace

KeyRange DisplayKeyRange(int lowKey, int highKey) {
    int lo = lowKey & 0x7F;
    int hi = highKey & 0x7F;
    if (lo > hi) {
        lo = 0;
        hi = 127;
    }
    if (hi < 127)
        ++hi;
    if (hi - lo < 12) {
        const int a = lo % 12;
        const int b = hi % 12;
        if (a > 5)
            lo = lo - a + 5;
        else if (a >= 1 && a < 5)
            lo -= a;
        if (b > 5)
            hi = hi - b + 12;
        else if (b >= 1 && b < 5)
            hi = hi - b + 5;
        if (hi - lo == 5)
            hi += 7;
        else if (hi - lo == 7)
            lo -= 5;
        lo = std::max(lo, 0);
        hi = std::min(hi, 127);
    }
    return {lo, hi};
}

KeyScale::KeyScale(KeyRange range, int bottom)
    : range_(range), bottom_(bottom), span_(Geometry(range.hi).right - Geometry(range.lo).left) {
    if (span_ <= 0)
        span_ = 1;
}

int KeyScale::Scaled(int coordinate) const {
    return (coordinate - Geometry(range_.lo).left) * (bottom_ - 59) / span_;
}
int KeyScale::Lower(int key) const {
    return Scaled(Geometry(key).left);
}
int KeyScale::Upper(int key) const {
    return Scaled(Geometry(key).right);
}
int KeyScale::Third(int key) const {
    return Scaled(Geometry(key).third);
}

uint32_t ZoneColour(int velocityLow, int keyLow, int keyHigh) {
    const int m = (keyLow + keyHigh) / 2;
    const int r = (velocityLow * 2) & 0xFF;
    const int g = (m >= 64 ? m * 2 - 1 : m * 2) & 0xFF;
    const int b = (m >= 64 ? 255 : m * 2 + 127) & 0xFF;
    return static_cast<uint32_t>(r << 16 | g << 8 | b);
}

std::vector<ZoneBox> ZoneBoxes(const BankModel& bank, uint32_t slot, int layerPosition, int zonePosition,
                               KeyRange range, int width, int bottom) {
    std::vector<ZoneBox> boxes;
    if (!bank.IsValidSlot(slot))
        return boxes;
    const KeyScale scale(range, bottom);
    const int across = width - kKeyboardWidth;
    std::optional<ZoneBox> current;
    const HexIndexList& layers = bank.PresetTable[slot].layerList;
    for (size_t l = 0; l < layers.Count(); ++l) {
        if (layerPosition >= 0 && static_cast<size_t>(layerPosition) != l)
            continue;
        const LayerRecord* layer = LayerAt(bank, slot, static_cast<int>(l));
        if (layer == nullptr)
            continue;
        const uint16_t layerKeys = layer->Unsigned(gen::keyRange);
        const uint16_t layerVelocities = layer->Unsigned(gen::velRange);
        for (size_t z = 0; z < layer->zoneList.Count(); ++z) {
            const uint16_t index = layer->zoneList[z];
            if (!bank.IsValidZone(index))
                continue;
            const ZoneRecord& zone = bank.ZoneTable[index];
            if (zone.isGlobal)
                continue;
            const uint16_t keys = zone.Unsigned(gen::keyRange);
            const uint16_t velocities = zone.Unsigned(gen::velRange);
            const int keyLow = std::max(keys & 0xFF, layerKeys & 0xFF);
            const int keyHigh = std::min(keys >> 8, layerKeys >> 8);
            const int velLow = std::max(velocities & 0xFF, layerVelocities & 0xFF);
            const int velHigh = std::min(velocities >> 8, layerVelocities >> 8);
            if (keyLow > keyHigh || velLow > velHigh)
                continue;
            const bool mapped = bank.IsValidSample(zone.sampleIndex);
            if (mapped) {
                const SampleRecord& sample = bank.SampleTable[zone.sampleIndex];
                if (sample.name == "null_sample" && sample.dataLength == 128)
                    continue;
            }
            ZoneBox box;
            box.left = across * velLow / 128 + 29;
            box.right = across * (velHigh + 1) / 128 + 30;
            box.bottom = bottom - 11 - scale.Third(keyLow);
            box.top = keyHigh > 126 ? kZoneMapTop : bottom - 12 - scale.Third(keyHigh + 1);
            box.mapped = mapped;
            box.rgb = mapped ? ZoneColour(velLow, keyLow, keyHigh) : 0x80C0C0;
            box.name = mapped ? bank.SampleTable[zone.sampleIndex].fullName : "Not Mapped";
            boxes.push_back(box);
            if (static_cast<int>(l) == layerPosition && static_cast<int>(z) == zonePosition) {
                current = box;
                current->selected = true;
            }
        }
    }
    if (current)
        boxes.push_back(*current);
    return boxes;
}

void DrawZoneMap(QImage& image, KeyRange range, const std::vector<ZoneBox>& boxes, int middleCOffset) {
    const int width = image.width();
    const int bottom = image.height();
    const int foot = bottom - kZoneMapFoot;
    const KeyScale scale(range, bottom);
    QPainter p(&image);
    p.fillRect(QRect(0, kZoneMapTop, width, bottom - kZoneMapTop), Qt::white);

    // Velocity bands, labelled in the foot.
    const int across = width - kKeyboardWidth;
    p.setFont(TahomaFont(9, false));
    for (int i = 0; i < 8; ++i) {
        const int left = across * i / 8 + 29;
        const int right = across * (i + 1) / 8 + 30;
        p.fillRect(QRect(left, kZoneMapTop, right - left, bottom - kZoneMapTop),
                   QColor(255, 230, 240 - 12 * i));
        p.setPen(Qt::black);
        p.drawText(QRect(left + 2, foot, right - left - 2, kZoneMapFoot), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::number(16 * i));
    }
    p.setPen(Qt::black);
    p.drawLine(kKeyboardWidth, foot, width, foot);

    // Zones, each with its sample's name on one line.
    p.setFont(SansSerifFont(9, false));
    for (const ZoneBox& box : boxes) {
        const QRect r(box.left, box.top, box.right - box.left, box.bottom - box.top);
        p.fillRect(r, Rgb(box.rgb));
        p.setPen(box.selected ? Qt::white : Qt::black);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        if (box.selected)
            p.drawRect(r.adjusted(1, 1, -2, -2));
        p.setPen(box.mapped ? QColor(Qt::white) : QColor(224, 0, 0));
        const QRect inside = r.adjusted(1, 1, -1, -1);
        p.save();
        p.setClipRect(inside);
        p.drawText(inside, Qt::AlignCenter | Qt::TextSingleLine, QString::fromStdString(box.name));
        p.restore();
    }

    // The keyboard strip, clipped above its foot.
    p.fillRect(QRect(0, kZoneMapTop, kKeyboardWidth, bottom - kZoneMapTop), Qt::white);
    p.setPen(Qt::black);
    p.drawRect(QRect(0, kZoneMapTop, kKeyboardWidth, bottom - kZoneMapTop - 1));
    p.setFont(TahomaFont(9, false));
    p.drawText(QRect(5, foot, kKeyboardWidth - 5, kZoneMapFoot), Qt::AlignLeft | Qt::AlignVCenter, "VEL.");
    p.drawLine(0, foot, kKeyboardWidth, foot);
    p.save();
    p.setClipRect(QRect(0, kZoneMapTop, kKeyboardWidth, foot - kZoneMapTop));
    p.setFont(TahomaFont(9, true));
    for (int key = std::max(range.lo - 1, 0); key <= std::min(range.hi + 1, 127); ++key) {
        const int lower = foot - scale.Lower(key);
        const int upper = foot - scale.Upper(key);
        switch (key % 12) {
        case 0: {
            p.setPen(Qt::black);
            p.drawLine(0, lower, kKeyboardWidth, lower);
            const int height = lower - upper;
            const int shift = height > 15 ? 2 : 0;
            p.setPen(key == 60 ? QColor(255, 128, 128) : QColor(32, 160, 0));
            p.drawText(QRect(0, upper + shift, 29, height), Qt::AlignRight | Qt::AlignVCenter,
                       QString::fromStdString(NoteName(key, middleCOffset)));
            break;
        }
        case 1:
        case 3:
        case 6:
        case 8:
        case 10:
            p.fillRect(QRect(0, upper, 16, lower - upper), Qt::black);
            break;
        case 5:
            p.setPen(Qt::black);
            p.drawLine(0, lower, kKeyboardWidth, lower);
            break;
        default:
            p.setPen(Qt::black);
            p.drawLine(16, lower, kKeyboardWidth, lower);
            break;
        }
    }
    p.restore();
}

} // namespace quorvane::ui
