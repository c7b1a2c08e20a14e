#include "ui/Fonts.h"

#include <QStringList>

namespace quorvane::ui {

namespace {

QFont MakeFont(const QStringList& families, int pixelSize, bool bold) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace

QFont TahomaFont(int pixelSize, bool bold) {
    return MakeFont({"Tahoma", "DejaVu Sans Condensed", "DejaVu Sans"}, pixelSize, bold);
}

QFont SansSerifFont(int pixelSize, bool bold) {
    return MakeFont({"MS Sans Serif", "DejaVu Sans", "Sans Serif"}, pixelSize, bold);
}

QFont SmallFont(int pixelSize, bool bold) {
    return MakeFont({"Small Fonts", "DejaVu Sans Condensed", "DejaVu Sans"}, pixelSize, bold);
}

} // namespace quorvane::ui
