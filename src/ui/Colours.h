// The colours the windows are painted in.
#pragma once

#include <QColor>

namespace quorvane::ui {

inline const QColor kWindowGrey{183, 183, 183};
inline const QColor kHeaderBlue{136, 136, 255};
inline const QColor kHeaderText{255, 255, 0};
inline const QColor kTitleBarBlue{0, 31, 159};
inline const QColor kFormatLabelGreen{0, 128, 0};
inline const QColor kSampleShownGrey{159, 159, 159};
inline const QColor kPercentBarBlue{64, 128, 255};
inline const QColor kStatusGreen{200, 255, 200};
inline const QColor kAboutSkyBlue{166, 202, 240};
inline const QColor kAboutPanelGreen{192, 255, 192};

} // namespace quorvane::ui
