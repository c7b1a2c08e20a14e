// What the bank views select, without widgets: the preset, layer, zone or sample a node click shows, and
// the sample list's preset filter switched on and off. The windows select the nodes these name.
#pragma once

#include <cstdint>
#include <vector>

#include "model/BankModel.h"
#include "session/Workspace.h"

namespace quorvane {

// Nothing is shown: no preset, layer, zone or sample.
void SelectNothing(Selection& selection);

// The bank on screen could not be read: nothing of it is shown or saved, and nothing is selected.
void ForgetShownBank(Workspace& workspace);

// A node of the preset tree is shown: its preset, and the layer and zone positions below it (-1 for the
// preset or layer node itself). A preset node leaves no sample selected; a layer or zone node keeps the
// sample the user may be about to play.
void SelectPresetNode(Selection& selection, uint32_t slot, int layer, int zone);

// The sample list's preset filter switched on. With a sample of a bank file shown (an Akai program is
// read from the disc only when shown, so its presets are not searched) the filter lists the samples of the
// last preset that plays it, that preset becomes the shown one, and every preset that plays the sample is
// returned for the preset tree to select; when no preset plays it, nothing changes and none is returned.
// Without such a sample the filter lists the samples of the shown preset (and layer).
std::vector<uint32_t> StartSampleFilter(BankModel& bank, Selection& selection);

// The filter switched off: every sample is listed again.
void StopSampleFilter(BankModel& bank, Selection& selection);

} // namespace quorvane
