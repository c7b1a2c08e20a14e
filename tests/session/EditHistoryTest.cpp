// Undo and redo of the preset edits: every kind of edit is taken back exactly (model and edit lines), a
// redo gives it again, and a new edit after an undo ends the redo steps.
#include <gtest/gtest.h>

#include <functional>

#include "convert/ConversionParameters.h"
#include "convert/PresetEdits.h"
#include "session/EditHistory.h"
#include "support/SmallModels.h"

namespace quorvane {
namespace {

struct Session {
    BankModel bank = test::SmallModel({{.zoneRange = 0x4030, .rootKey = 50}, {}});
    AttributeList attributes;
    TypedBankNumber typed;
    BankEdits history;

    void Edit(const std::function<void(Session&)>& edit) {
        history.Record(bank, attributes);
        edit(*this);
    }
    void Undo() { EXPECT_TRUE(history.Undo(bank, attributes)); }
    void Redo() { EXPECT_TRUE(history.Redo(bank, attributes)); }
};

// What an edit may change, compared as a whole.
struct Seen {
    std::vector<uint16_t> programs, banks;
    std::vector<uint8_t> drums;
    std::vector<size_t> layerCounts;
    std::vector<int16_t> zoneRanges, rootKeys, reverbs;
    std::string lines;
    std::vector<uint32_t> removed;
    bool operator==(const Seen&) const = default;
};

Seen Look(const Session& s) {
    Seen seen;
    for (uint32_t slot = 1; slot <= s.bank.PresetCount; ++slot) {
        seen.programs.push_back(s.bank.PresetTable[slot].program);
        seen.banks.push_back(s.bank.PresetTable[slot].bank);
        seen.drums.push_back(s.bank.PresetTable[slot].isDrum);
        seen.layerCounts.push_back(s.bank.PresetTable[slot].layerList.Count());
    }
    for (const ZoneRecord& zone : s.bank.ZoneTable) {
        seen.zoneRanges.push_back(zone.generators[gen::keyRange]);
        seen.rootKeys.push_back(zone.generators[gen::overridingRootKey]);
        seen.reverbs.push_back(zone.generators[gen::reverbEffectsSend]);
    }
    seen.lines = s.attributes.EditAttributes;
    seen.removed = s.history.RemovedPresets();
    return seen;
}

TEST(EditHistory, EachEditIsUndoneAndRedoneExactly) {
    ParameterValues reverb;
    reverb.reverb = 300;
    reverb.reverbChanged = true;
    const std::vector<std::pair<const char*, std::function<void(Session&)>>> edits = {
        {"program plus", [](Session& s) { ProgramPlus(s.bank, s.attributes, 1); }},
        {"program minus", [](Session& s) { ProgramMinus(s.bank, s.attributes, 2); }},
        {"bank digit", [](Session& s) { TypeBankDigit(s.bank, s.attributes, 1, s.typed, 7); }},
        {"drum", [](Session& s) { ToggleDrum(s.bank, s.attributes, 2); }},
        {"move zones",
         [](Session& s) {
             MoveZones(s.bank, s.attributes, {1, 2}, 12);
         }},
        {"conversion parameters",
         [&reverb](Session& s) { ApplyPresetParameters(s.bank, s.attributes, {1}, reverb); }},
        {"delete a preset", [](Session& s) { s.history.RemovePreset(2); }},
        {"delete a layer", [](Session& s) { EXPECT_TRUE(s.history.RemoveLayer(s.bank, 1, 0)); }},
    };
    Session s;
    s.bank.PresetTable[2].program = 5;
    std::vector<Seen> after;
    std::vector<Seen> before;
    for (const auto& [what, edit] : edits) {
        before.push_back(Look(s));
        s.Edit(edit);
        after.push_back(Look(s));
        EXPECT_FALSE(after.back() == before.back()) << what << " changed nothing";
    }
    for (size_t i = edits.size(); i-- > 0;) {
        ASSERT_TRUE(s.history.CanUndo()) << edits[i].first;
        s.Undo();
        EXPECT_TRUE(Look(s) == before[i]) << "undo of " << edits[i].first;
    }
    EXPECT_FALSE(s.history.CanUndo());
    for (size_t i = 0; i < edits.size(); ++i) {
        ASSERT_TRUE(s.history.CanRedo()) << edits[i].first;
        s.Redo();
        EXPECT_TRUE(Look(s) == after[i]) << "redo of " << edits[i].first;
    }
    EXPECT_FALSE(s.history.CanRedo());
    // A layer that is not there is not removed.
    EXPECT_FALSE(s.history.RemoveLayer(s.bank, 1, s.bank.PresetTable[1].layerList.Count()));
    EXPECT_FALSE(s.history.RemoveLayer(s.bank, s.bank.PresetCount + 1, 0));
}

TEST(EditHistory, ANewEditEndsTheRedoStepsAndTheDepthIsBounded) {
    Session s;
    s.Edit([](Session& x) { ToggleDrum(x.bank, x.attributes, 1); });
    s.Undo();
    ASSERT_TRUE(s.history.CanRedo());
    s.Edit([](Session& x) { ProgramPlus(x.bank, x.attributes, 1); });
    EXPECT_FALSE(s.history.CanRedo());

    for (size_t i = 0; i < EditHistory::kDepth + 10; ++i)
        s.Edit([](Session& x) { ToggleDrum(x.bank, x.attributes, 2); });
    size_t undone = 0;
    for (; s.history.CanUndo(); ++undone)
        s.Undo();
    EXPECT_EQ(undone, EditHistory::kDepth);
    s.history.Forget();
    EXPECT_FALSE(s.history.CanUndo() || s.history.CanRedo());
    const std::string lines = s.attributes.EditAttributes;
    EXPECT_FALSE(s.history.Undo(s.bank, s.attributes) || s.history.Redo(s.bank, s.attributes));
    EXPECT_EQ(s.attributes.EditAttributes, lines);
}

} // namespace
} // namespace quorvane
