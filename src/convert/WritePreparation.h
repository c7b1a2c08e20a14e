// What a writer is given: the bank as loaded, which of its records to write, and what the format asks of
// those records first (loops taken from an Akai volume's samples, edits replayed, global zones spread into
// their siblings, a fine tune shared by every layer moved into the instrument). That preparation works on a
// copy of the records, never on the loaded bank, so a write leaves the bank the views show as it was and
// one loaded bank serves any number of writes.
#pragma once

#include <optional>

#include "core/Host.h"
#include "formats/akai/AkaiSampleSource.h"
#include "model/AttributeList.h"
#include "model/BankModel.h"
#include "model/WriteSelection.h"

namespace quorvane {

class PreparedBank {
  public:
    PreparedBank(const BankModel& loaded, WriteSelection selection)
        : loaded_(loaded), selection_(std::move(selection)) {}

    // The records the writer reads: the loaded bank itself until the preparation changes them.
    const BankModel& Records() const { return copy_ ? *copy_ : loaded_; }
    const WriteSelection& Selection() const { return selection_; }
    void Choose(WriteSelection selection) { selection_ = std::move(selection); }

    // The prepared copy of the records, made on first use (without the loaded bank's chunk image, which no
    // writer reads).
    BankModel& Own();
    bool Owned() const { return copy_.has_value(); }

  private:
    const BankModel& loaded_;
    std::optional<BankModel> copy_;
    WriteSelection selection_;
};

// Whether the format's preparation changes the records, so that the sample source must be bound to the
// copy before the preparation runs.
bool SoundFontNeedsCopy(const BankModel& loaded, const WriteSelection& selection);
bool GigaSamplerNeedsCopy(const BankModel& loaded);

// Akai sources: the chosen samples' headers are read (akai is the source bound to the prepared copy), then
// every zone plays its sample's loop and root key. A DLS bank as the views keep it, with a chosen
// interleaved stereo wave still one record, has its waves split into linked mono halves (paired by name
// too with linkMono), which is how SoundFont stores stereo.
void PrepareForSoundFont(PreparedBank& prepared, AkaiSampleSource& akai, bool linkMono);

// For the chosen presets: Akai sources read their chosen samples' headers, take their loops and replay the
// preset edits (with a status line); SoundFont sources have their global layers and zones spread into their
// siblings, which GigaSampler lacks; presets of other sources than GigaSampler get the default instrument
// globals; a fine tune that every layer of a preset shares moves into the preset's instrument globals.
void PrepareForGigaSampler(PreparedBank& prepared, const AttributeList& attributes, Host& host,
                           AkaiSampleSource& akai);

} // namespace quorvane
