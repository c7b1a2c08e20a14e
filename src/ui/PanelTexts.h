// The texts of the information panel's green block, without widgets: what is written where for a preset,
// layer, zone or sample, and the title the panel's title bar shows. The panel draws them as they come.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "convert/BankViews.h"
#include "model/BankModel.h"

namespace quorvane::ui {

constexpr uint32_t kTextBlack = 0x000000;
constexpr uint32_t kTextRed = 0xFF0000;

struct PanelText {
    int x = 0;
    int y = 0; // top of the text, panel coordinates
    std::string text;
    uint32_t rgb = kTextBlack;
};

struct InfoBlock {
    std::string title;       // Label4
    std::string formatLabel; // Label1; empty leaves it as it is
    std::vector<PanelText> texts;
};

// "Size:  %i Kb" from 1024 bytes on, else "Size:  %i bytes".
std::string SizeText(uint64_t bytes);
// The pan generator (tenths of a percent) as "Pan:  2.5% (67)", or with a sign and no label ("+2.5% (67)").
std::string PanText(int16_t pan, bool signedForm);
// The MIDI pan value 0..127 of a pan generator.
int PanMidiValue(int16_t pan);

struct BlockContext {
    int middleCOffset = 12;
    uint32_t currentPreset = 0;
    int currentLayer = -1;
    int currentZone = -1;
};

// The block for the current preset, layer or zone; an empty block without a valid preset.
InfoBlock PresetBlock(const BankModel& bank, const BlockContext& at, const PresetStatistics& stats);

// Seconds of a sample as the information block counts them: data bytes over the bytes a value takes, over
// the channels an unlinked file interleaves, halved for one half of a split stereo sample, over the rate
// (frames when the rate is 0).
double SampleSeconds(const SampleRecord& sample);

struct SampleContext {
    int middleCOffset = 12;
    bool filterMode = false;
    // `shown` is the sample whose texts are drawn: the selected one, or its partner after a click on the
    // lower half of a stereo pair; with `clicked` the title shows its full name.
    bool clicked = false;
};
InfoBlock SampleBlock(const BankModel& bank, uint32_t shown, const SampleContext& at);

// The values of the Akai envelope panel, from the keygroup bytes stored with a zone and the program header.
struct AkaiEnvelope {
    int attack = 0, decay = 0, sustain = 0, release = 0; // 0..99
};
struct AkaiEnvelopeValues {
    AkaiEnvelope env1, env2;
    int keyToEnv1Decay = 0, keyToEnv2Decay = 0, env2ToPitch = 0, env2ToFilter = 0;
    int filter = 0, loudness = 0, programVolume = 0;
    bool holdAttack = false, constantPitch = false;
};
AkaiEnvelopeValues EnvelopeValuesOf(const ZoneRecord& zone, const PresetRecord& program);
// The texts under the two graphs, relative to the left edge of each graph's column and the top of the
// first text line.
std::vector<PanelText> EnvelopeTexts(const AkaiEnvelopeValues& values, int rightColumnX);

} // namespace quorvane::ui
