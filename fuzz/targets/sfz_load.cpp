// An SFZ instrument read as the SFZ reader reads it, beside two sample files it may name (mono 16-bit
// "a.wav", stereo 24-bit "b.wav") and a file it may include ("inc.sfzh"); then every sample fetched alone
// and with its stereo partner.
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "formats/sfz/SfzReader.h"
#include "formats/sfz/SfzSampleSource.h"

using namespace quorvane;

namespace {

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> Wave(uint16_t channels, uint16_t bits, uint32_t frames) {
    const uint32_t dataSize = frames * channels * (bits / 8);
    std::vector<uint8_t> w = {'R', 'I', 'F', 'F'};
    Put(w, 36 + dataSize, 4);
    w.insert(w.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put(w, 16, 4);
    Put(w, 1, 2);
    Put(w, channels, 2);
    Put(w, 44100, 4);
    Put(w, 44100 * channels * (bits / 8), 4);
    Put(w, channels * (bits / 8), 2);
    Put(w, bits, 2);
    w.insert(w.end(), {'d', 'a', 't', 'a'});
    Put(w, dataSize, 4);
    for (uint32_t i = 0; i < dataSize; ++i)
        w.push_back(static_cast<uint8_t>(i * 13));
    return w;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<uint8_t> mono = Wave(1, 16, 64), stereo = Wave(2, 24, 48);
    static const std::string include = "<region> sample=a.wav key=40 loop_mode=loop_continuous\n";
    fuzz::ClearScratch();
    fuzz::WriteScratchFile("a.wav", mono.data(), mono.size());
    fuzz::WriteScratchFile("b.wav", stereo.data(), stereo.size());
    fuzz::WriteScratchFile("inc.sfzh", reinterpret_cast<const uint8_t*>(include.data()), include.size());
    const std::string path = fuzz::WriteScratchFile("instrument.sfz", data, size);
    BankModel bank;
    std::vector<SfzSampleFile> files;
    ReadNotes notes;
    if (ReadSfzBank(path, bank, files, notes)) {
        SfzSampleSource source;
        source.Bind(bank, files);
        for (uint32_t s = 0; s < bank.SampleCount; ++s)
            for (bool partner : {false, true}) {
                FrameBuffer left, right;
                source.Fetch(s, {left, right}, partner);
            }
    }
    fuzz::ClearScratch();
    return 0;
}
