// The settings kept between sessions, in a per-user INI file under the group "Software/Quorvane": the six
// of the program's options and the column widths the user dragged. A value is applied only when it was
// read (column edges only when they leave every column usable); a file that cannot be read or written
// leaves the defaults.
#pragma once

#include <cstdint>

#include <QString>

#include "ui/MainLayout.h"

class QSettings;

namespace quorvane::ui {

struct StoredSettings {
    QString LastDir;
    int MiddleCOffset = 12;
    bool AutoPlaySample = true;
    bool SortSamples = false;
    bool SortPresets = true;
    bool ShowHiddenDirs = false;
    // The column edges of the bank formats and of audio-file mode.
    ColumnEdges bankColumns = ColumnsFor(SourceFormat::SoundFont);
    ColumnEdges audioColumns = ColumnsFor(SourceFormat::AudioFile);
};

// Middle C is stored as its MIDI key (48, 60 or 72). (key - 48) / 12 taken as an unsigned number picks C3
// or C5 for 0 or 2; everything else, a key below 48 included, gives C4.
int MiddleCOffsetFromStoredKey(int64_t storedKey);

// The file the program keeps its settings in for this user.
QString DefaultSettingsFile();

// Applies the values the file holds to `settings`; returns false when the file could not be read.
bool ReadSettings(const QString& file, StoredSettings& settings);
// Writes the values in the order LastDir (when not empty), Middle C, AutoPlay Sample, Sort Samples, Sort
// Presets, Show Hidden Dirs, then the column edges; returns false when the file could not be written.
bool WriteSettings(const QString& file, const StoredSettings& settings);

} // namespace quorvane::ui
