// The fonts the windows are drawn in. The program's look was made with three Windows fonts; each maps to
// itself when installed and otherwise to the nearest font a Debian desktop has: DejaVu Sans Condensed for
// the narrow "Tahoma" and "Small Fonts", DejaVu Sans for "MS Sans Serif".
#pragma once

#include <QFont>

namespace quorvane::ui {

QFont TahomaFont(int pixelSize, bool bold);
QFont SansSerifFont(int pixelSize, bool bold);
QFont SmallFont(int pixelSize, bool bold);

// The windows' default font: "MS Sans Serif", 11 pixels high.
inline QFont DefaultFont() {
    return SansSerifFont(11, false);
}

} // namespace quorvane::ui
