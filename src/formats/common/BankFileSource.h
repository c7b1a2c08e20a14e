// The sample source of SoundFont, DLS and GigaSampler banks: every sample's data lies in the bank file at
// the offset its record holds, as 8- or 16-bit mono data, one half of a linked pair, or interleaved stereo.
#pragma once

#include <string>

#include "formats/common/SampleSource.h"
#include "model/BankModel.h"

namespace quorvane {

class BankFileSource : public SampleSource {
  public:
    // The bank whose records say where the data lies, and the file that holds it. The file stays open from
    // one fetch to the next and is opened again when the path changes or the file on disk is no longer the
    // one opened.
    void Bind(const BankModel& bank, const std::string& path);

    FetchReport Fetch(uint32_t index, FramePair target, bool withPartner) override;
    std::optional<StoredFrames> Stored(uint32_t index) override;
    std::optional<StoredFrames> StoredOggVorbis(uint32_t index) override;

  private:
    InputFile* Open();

    const BankModel* bank_ = nullptr;
    std::string path_;
    std::string openPath_;
    InputFile file_;
};

} // namespace quorvane
