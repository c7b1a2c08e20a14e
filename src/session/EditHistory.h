// Undo and redo of the user's edits to the bank on screen. Each step keeps the editable part of the model
// (preset, layer and zone records), the recorded edit lines and the presets taken out of the preset tree,
// as they were before the edit; undoing puts them back, redoing returns to the state after it. `BankEdits`
// is what the windows hold: the steps and the presets taken out, recorded and restored in one place.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/AttributeList.h"
#include "model/BankModel.h"

namespace quorvane {

struct EditState {
    std::vector<PresetRecord> presets;
    std::vector<LayerRecord> layers;
    std::vector<ZoneRecord> zones;
    uint16_t presetCount = 0;
    uint16_t layerCount = 0;
    uint16_t zoneCount = 0;
    std::string editLines;
    std::vector<uint32_t> removedPresets; // slots whose nodes the user deleted from the preset tree
};

EditState CaptureEdits(const BankModel& bank, const AttributeList& attributes,
                       const std::vector<uint32_t>& removedPresets);
// Puts the state back into the model and the edit lines; returns the removed presets it holds.
std::vector<uint32_t> RestoreEdits(const EditState& state, BankModel& bank, AttributeList& attributes);

class EditHistory {
  public:
    // The oldest steps are dropped beyond this many, so that a long session keeps its memory bounded.
    static constexpr size_t kDepth = 64;

    // Before an edit: `before` is the state it starts from. Steps undone earlier can no longer be redone.
    void Record(EditState before);
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    // The state before the last edit; `current` becomes the next redo step. Only when CanUndo().
    EditState Undo(EditState current);
    // The state the last undo left; `current` becomes an undo step again. Only when CanRedo().
    EditState Redo(EditState current);
    // Another bank, or the same one read again: nothing of the old edits can be undone.
    void Clear();

  private:
    std::vector<EditState> undo_;
    std::vector<EditState> redo_;
};

class BankEdits {
  public:
    // Before every edit of `bank` and its edit lines: the state it starts from becomes an undo step.
    void Record(const BankModel& bank, const AttributeList& attributes);
    // Takes preset `slot` out of the preset tree and the preset save (an edit: Record first).
    void RemovePreset(uint32_t slot);
    bool IsRemoved(uint32_t slot) const;
    // Takes the layer at `position` out of preset `slot`'s layer list (an edit: Record first); false,
    // changing nothing, when the preset or the position is not there.
    bool RemoveLayer(BankModel& bank, uint32_t slot, size_t position);
    const std::vector<uint32_t>& RemovedPresets() const { return removed_; }

    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    // Puts the model, the edit lines and the removed presets back as they were before the last edit (after
    // the last undo); false, changing nothing, when there is no such step.
    bool Undo(BankModel& bank, AttributeList& attributes);
    bool Redo(BankModel& bank, AttributeList& attributes);
    // Another bank (or none) on screen: no step can be undone and no preset is taken out.
    void Forget();

  private:
    EditHistory history_;
    std::vector<uint32_t> removed_;
};

} // namespace quorvane
