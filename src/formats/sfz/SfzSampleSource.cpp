#include "formats/sfz/SfzSampleSource.h"

#include <algorithm>
#include <sndfile.h>

namespace quorvane {

namespace {

// One channel of a sample file, read a block at a time so that memory holds the frames kept and one block.
// Files of more than 16 bits keep their third byte as the low byte. False when the file cannot be read.
bool ReadChannel(const std::string& path, int channel, bool wide, uint32_t maxFrames, FrameBuffer& target) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
        return false;
    if (channel >= info.channels) {
        sf_close(file);
        return false;
    }
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    constexpr sf_count_t kBlockFrames = 4096;
    std::vector<int> block(static_cast<size_t>(kBlockFrames * info.channels));
    FrameVector words;
    ByteVector low;
    words.reserve(maxFrames);
    if (wide)
        low.reserve(maxFrames);
    while (words.size() < maxFrames) {
        const sf_count_t got = sf_readf_int(file, block.data(), kBlockFrames);
        if (got <= 0)
            break;
        const size_t take = std::min<size_t>(static_cast<size_t>(got), maxFrames - words.size());
        for (size_t f = 0; f < take; ++f) {
            const auto v = static_cast<uint32_t>(block[f * info.channels + channel]);
            words.push_back(static_cast<int16_t>(v >> 16));
            if (wide)
                low.push_back(static_cast<uint8_t>(v >> 8));
        }
    }
    const bool failed = sf_error(file) != SF_ERR_NO_ERROR;
    sf_close(file);
    target.Fill(std::move(words), std::move(low));
    return !failed;
}

} // namespace

void SfzSampleSource::Bind(const BankModel& bank, const std::vector<SfzSampleFile>& files) {
    bank_ = &bank;
    files_ = &files;
}

void SfzSampleSource::Protect(const std::vector<SfzSampleFile>& files) {
    guard_ = std::make_unique<InputGuard>();
    for (const SfzSampleFile& file : files)
        if (file.channel == 0)
            guard_->Add(file.path);
}

FetchReport SfzSampleSource::Fetch(uint32_t index, FramePair target, bool withPartner) {
    FetchReport report;
    if (bank_ == nullptr || !bank_->IsValidSample(index) || index >= files_->size())
        return report;
    auto read = [&](uint32_t s, FrameBuffer& into) {
        const SampleRecord& sample = bank_->SampleTable[s];
        const SfzSampleFile& file = (*files_)[s];
        const uint32_t frames = sample.dataLength / std::max<uint16_t>(sample.blockAlign, 1);
        if (!ReadChannel(file.path, file.channel, SampleBits(sample) > 16, frames, into)) {
            ++report.readErrors;
            report.opened = false;
        }
    };
    read(index, target.left);
    const SampleRecord& sample = bank_->SampleTable[index];
    const uint32_t partner = sample.linkIndex - 1u;
    if (withPartner && sample.linkIndex != 0 && partner < files_->size() && bank_->IsValidSample(partner))
        read(partner, target.right);
    return report;
}

} // namespace quorvane
