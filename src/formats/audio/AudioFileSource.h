// The sample source of the audio-file list: each sample is one WAVE or AIFF file, read whole and reduced to
// 16-bit channels.
#pragma once

#include <string>

#include "formats/audio/AudioFileList.h"
#include "formats/common/SampleSource.h"
#include "model/AttributeList.h"
#include "model/BankModel.h"

namespace quorvane {

// Whether Fetch can read the listed file's frames: integer PCM of 8 to 32 bits, IEEE float or one-byte G.711
// codes, in one or two channels. A file whose header gives anything else (a damaged header naming 0 bits,
// say) has no frames this program can read.
bool IsReadableAudioFile(const SampleRecord& sample);

class AudioFileSource : public SampleSource {
  public:
    // The records of the listed files, the attribute texts whose path lines name them, and the folder of
    // the list.
    void Bind(const BankModel& bank, const AttributeList& attributes, const std::string& folder);

    // Integer PCM of 8 to 32 bits, 32- or 64-bit IEEE float and G.711 A-law and u-law (expanded to 16 bits),
    // one or two channels; other formats and channel counts load nothing. The second channel of a stereo file
    // always goes to the right buffer.
    FetchReport Fetch(uint32_t index, FramePair target, bool withPartner) override;

  private:
    const BankModel* bank_ = nullptr;
    const AttributeList* attributes_ = nullptr;
    std::string folder_;
};

} // namespace quorvane
