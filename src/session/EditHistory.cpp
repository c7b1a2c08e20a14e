#include "session/EditHistory.h"

#include <algorithm>
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

void BankEdits::Record(const BankModel& bank, const AttributeList& attributes) {
    history_.Record(CaptureEdits(bank, attributes, removed_));
}

void BankEdits::RemovePreset(uint32_t slot) {
    if (!IsRemoved(slot))
        removed_.push_back(slot);
}

bool BankEdits::IsRemoved(uint32_t slot) const {
    return std::find(removed_.begin(), removed_.end(), slot) != removed_.end();
}

bool BankEdits::RemoveLayer(BankModel& bank, uint32_t slot, size_t position) {
    if (!bank.IsValidSlot(slot) || position >= bank.PresetTable[slot].layerList.Count())
        return false;
    bank.PresetTable[slot].layerList.RemoveAt(position);
    return true;
}

bool BankEdits::Undo(BankModel& bank, AttributeList& attributes) {
    if (!history_.CanUndo())
        return false;
    removed_ = RestoreEdits(history_.Undo(CaptureEdits(bank, attributes, removed_)), bank, attributes);
    return true;
}

bool BankEdits::Redo(BankModel& bank, AttributeList& attributes) {
    if (!history_.CanRedo())
        return false;
    removed_ = RestoreEdits(history_.Redo(CaptureEdits(bank, attributes, removed_)), bank, attributes);
    return true;
}

void BankEdits::Forget() {
    history_.Clear();
    removed_.clear();
}

} // namespace quorvane
