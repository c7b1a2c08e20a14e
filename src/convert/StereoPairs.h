// Stereo pairs after loading: interleaved stereo waves split into linked mono halves, and mono samples
// paired by their names.
#pragma once

#include "model/BankModel.h"

namespace quorvane {

// Every sample with a nonzero stereoHalf (an interleaved stereo wave kept as one record) becomes a linked
// pair: the record itself the left half, a new record appended the right half. Every zone that plays such
// a wave gets a zone of its own for the right half, listed right after it and hard-panned against it.
void SplitStereoSamples(BankModel& bank);

// Pairs mono samples whose names differ only by a left/right ending ("PianoL" and "PianoR", "Pad(L)" and
// "Pad(R)" in GigaSampler banks). Paired samples become left (type 4) and right (type 2) halves.
void LinkMonoSamples(BankModel& bank);
// Undoes the pairing: names restored from fullName, every paired sample mono again.
void UnlinkMonoSamples(BankModel& bank);

} // namespace quorvane
