// The levels of the preset tree: presets at the top, their layers below them, the layers' zones below those.
#pragma once

#include <QTreeWidgetItem>

namespace quorvane::ui {

enum class PresetTreeLevel { Preset, Layer, Zone };

// The level of `node`, counted by its ancestors; a missing node counts as a preset node.
inline PresetTreeLevel LevelOf(const QTreeWidgetItem* node) {
    const QTreeWidgetItem* parent = node ? node->parent() : nullptr;
    if (parent == nullptr)
        return PresetTreeLevel::Preset;
    return parent->parent() == nullptr ? PresetTreeLevel::Layer : PresetTreeLevel::Zone;
}

} // namespace quorvane::ui
