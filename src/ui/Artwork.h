// The program's pictures, drawn from the SVG files in the resources at the size a control needs.
#pragma once

#include <QIcon>
#include <QPixmap>

#include "model/SourceFormat.h"

namespace quorvane::ui {

// `name` is the file name without ".svg" (e.g. "play", "format_sf2").
QPixmap Artwork(const QString& name, QSize size);
QIcon ProgramIcon();

// The picture of the file-list header for a source format and, in audio-file mode, the listed kind.
QString FormatIconName(SourceFormat sourceFormat, bool aiffOnly);

} // namespace quorvane::ui
