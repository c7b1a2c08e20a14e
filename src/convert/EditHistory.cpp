#include "convert/EditHistory.h"

#include <utility>

namespace quorvane {

EditState CaptureEdits(const BankModel& bank, const AttributeList& attributes,
                       const std::vector<uint32_t>& removedPresets) {
    EditState state;
    state.presets = bank.PresetTable;
    state.layers = bank.LayerTable;
    state.zones = bank.ZoneTable;
    state.presetCount = bank.PresetCount;
    state.layerCount = bank.LayerCount;
    state.zoneCount = bank.ZoneCount;
    state.editLines = attributes.EditAttributes;
    state.removedPresets = removedPresets;
    return state;
}

std::vector<uint32_t> RestoreEdits(const EditState& state, BankModel& bank, AttributeList& attributes) {
    bank.PresetTable = state.presets;
    bank.LayerTable = state.layers;
    bank.ZoneTable = state.zones;
    bank.PresetCount = state.presetCount;
    bank.LayerCount = state.layerCount;
    bank.ZoneCount = state.zoneCount;
    attributes.EditAttributes = state.editLines;
    return state.removedPresets;
}

void EditHistory::Record(EditState before) {
    if (undo_.size() == kDepth)
        undo_.erase(undo_.begin());
    undo_.push_back(std::move(before));
    redo_.clear();
}

EditState EditHistory::Undo(EditState current) {
    EditState previous = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(std::move(current));
    return previous;
}

EditState EditHistory::Redo(EditState current) {
    EditState next = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back(std::move(current));
    return next;
}

void EditHistory::Clear() {
    undo_.clear();
    redo_.clear();
}

} // namespace quorvane
