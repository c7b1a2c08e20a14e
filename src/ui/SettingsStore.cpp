#include "ui/SettingsStore.h"

#include <QFileInfo>
#include <QSettings>

namespace quorvane::ui {

namespace {

const char* const kGroup = "Software/Quorvane";
const char* const kLastDir = "LastDir";
const char* const kMiddleC = "Middle C";
const char* const kAutoPlaySample = "AutoPlay Sample";
const char* const kSortSamples = "Sort Samples";
const char* const kSortPresets = "Sort Presets";
const char* const kShowHiddenDirs = "Show Hidden Dirs";
const char* const kColumnEdges = "Column Edges";
const char* const kAudioColumnEdges = "Audio Column Edges";

constexpr int64_t kMiddleCKeyOfC3 = 48;

// A DWORD value as it stands in the file; nothing when absent or not a number.
bool ReadNumber(const QSettings& store, const char* name, int64_t& number) {
    const QVariant value = store.value(name);
    if (!value.isValid())
        return false;
    bool ok = false;
    number = value.toLongLong(&ok);
    return ok;
}

void ReadFlag(const QSettings& store, const char* name, bool& flag) {
    int64_t number = 0;
    if (ReadNumber(store, name, number))
        flag = (number & 1) != 0;
}

// Edges are kept as "154 285 437" (file list, preset column, information panel).
QString EdgesText(const ColumnEdges& c) {
    return QString("%1 %2 %3").arg(c.FileColumnLeft).arg(c.PresetColumnLeft).arg(c.InfoColumnLeft);
}

void ReadEdges(const QSettings& store, const char* name, bool audio, ColumnEdges& edges) {
    const QStringList parts = store.value(name).toString().split(' ', Qt::SkipEmptyParts);
    if (parts.size() != 3)
        return;
    int values[3] = {};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        values[i] = parts[i].toInt(&ok);
        if (!ok)
            return;
    }
    const ColumnEdges read{values[0], values[1], values[2]};
    if (ColumnsUsable(read, audio))
        edges = read;
}

} // namespace

int MiddleCOffsetFromStoredKey(int64_t storedKey) {
    // Unsigned on purpose: a key below 48 wraps to a large number and so falls to the C4 default.
    const uint32_t octaves =
        (static_cast<uint32_t>(storedKey) - static_cast<uint32_t>(kMiddleCKeyOfC3)) / 12u;
    if (octaves == 0)
        return 0;
    if (octaves == 2)
        return 24;
    return 12;
}

QString DefaultSettingsFile() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "Quorvane", "quorvane").fileName();
}

bool ReadSettings(const QString& file, StoredSettings& settings) {
    if (QFileInfo::exists(file) && !QFileInfo(file).isReadable())
        return false;
    QSettings store(file, QSettings::IniFormat);
    if (store.status() != QSettings::NoError)
        return false;
    store.beginGroup(kGroup);
    const QVariant lastDir = store.value(kLastDir);
    if (lastDir.isValid())
        settings.LastDir = lastDir.toString().left(1024);
    int64_t middleC = 0;
    if (ReadNumber(store, kMiddleC, middleC))
        settings.MiddleCOffset = MiddleCOffsetFromStoredKey(middleC);
    ReadFlag(store, kAutoPlaySample, settings.AutoPlaySample);
    ReadFlag(store, kSortSamples, settings.SortSamples);
    ReadFlag(store, kSortPresets, settings.SortPresets);
    ReadFlag(store, kShowHiddenDirs, settings.ShowHiddenDirs);
    ReadEdges(store, kColumnEdges, false, settings.bankColumns);
    ReadEdges(store, kAudioColumnEdges, true, settings.audioColumns);
    return true;
}

bool WriteSettings(const QString& file, const StoredSettings& settings) {
    QSettings store(file, QSettings::IniFormat);
    if (store.status() != QSettings::NoError || !store.isWritable())
        return false;
    store.beginGroup(kGroup);
    if (!settings.LastDir.isEmpty())
        store.setValue(kLastDir, settings.LastDir);
    store.setValue(kMiddleC, static_cast<int>(settings.MiddleCOffset + kMiddleCKeyOfC3));
    store.setValue(kAutoPlaySample, settings.AutoPlaySample ? 1 : 0);
    store.setValue(kSortSamples, settings.SortSamples ? 1 : 0);
    store.setValue(kSortPresets, settings.SortPresets ? 1 : 0);
    store.setValue(kShowHiddenDirs, settings.ShowHiddenDirs ? 1 : 0);
    store.setValue(kColumnEdges, EdgesText(settings.bankColumns));
    store.setValue(kAudioColumnEdges, EdgesText(settings.audioColumns));
    store.endGroup();
    store.sync();
    return store.status() == QSettings::NoError;
}

} // namespace quorvane::ui
