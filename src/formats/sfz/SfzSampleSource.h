// The sample source of SFZ instruments: each sample is one channel of a sample file beside the .sfz text,
// read through libsndfile (WAVE, AIFF, FLAC, Ogg Vorbis) into 16-bit frames, with the low bytes of files of
// more than 16 bits.
#pragma once

#include <memory>
#include <vector>

#include "formats/common/ProtectedInputs.h"

#include "formats/common/SampleSource.h"
#include "formats/sfz/SfzReader.h"
#include "model/BankModel.h"

namespace quorvane {

class SfzSampleSource : public SampleSource {
  public:
    void Bind(const BankModel& bank, const std::vector<SfzSampleFile>& files);
    // The files of an instrument just read are inputs of the run from then on: no output replaces them.
    void Protect(const std::vector<SfzSampleFile>& files);

    FetchReport Fetch(uint32_t index, FramePair target, bool withPartner) override;

  private:
    const BankModel* bank_ = nullptr;
    const std::vector<SfzSampleFile>* files_ = nullptr;
    std::unique_ptr<InputGuard> guard_;
};

} // namespace quorvane
