// What a bank model needs before a writer reads it: the writers take the model as it is, so everything a
// format asks of the tables first (loops taken from the samples, edits replayed, global zones spread into
// their siblings) is done here. Callers read the bank afresh before the next write.
#pragma once

#include "core/Host.h"
#include "formats/akai/AkaiSampleSource.h"
#include "model/AttributeList.h"
#include "model/BankModel.h"

namespace quorvane {

// Akai sources: the selected samples' headers are read (akai is the bound source of the volume), then every
// zone plays its sample's loop and root key.
void PrepareForSoundFont(BankModel& bank, AkaiSampleSource& akai);

// For the selected presets: Akai sources read their selected samples' headers, take their loops and
// replay the preset edits (with a status line); SoundFont sources have their global layers and zones spread
// into their siblings, which GigaSampler lacks; presets of other sources than GigaSampler get the default
// instrument globals; a fine tune that every layer of a preset shares moves into the preset's instrument
// globals.
void PrepareForGigaSampler(BankModel& bank, const AttributeList& attributes, Host& host,
                           AkaiSampleSource& akai);

} // namespace quorvane
