#include "formats/dls/DlsWavePool.h"

#include <algorithm>
#include <string>
#include <vector>

#include "formats/common/Bytes.h"
#include "formats/common/SamplerPitch.h"

namespace quorvane {

namespace {

template <typename Visit> void WalkWavePool(const BankModel& bank, const DlsState& dls, Visit visit) {
    const std::optional<ChunkHeader> pool =
        ChunkImage(bank.BankImage.data(), bank.BankImageSize).HeaderAt(dls.WavePoolOffset);
    const uint64_t end = pool ? dls.WavePoolOffset + 8 + static_cast<uint64_t>(pool->size) : 0;
    const uint32_t start = dls.SampleGroupListOffset != 0 ? dls.SampleGroupListOffset : dls.WavePoolOffset;
    DlsWalker walker(bank, start);
    while (walker.FilePosition() < end) {
        const std::optional<ChunkHeader> chunk = walker.Current();
        if (!chunk)
            return;
        visit(walker, *chunk);
        walker.Advance(*chunk);
    }
}

} // namespace

void ReadDlsWavePool(BankModel& bank, DlsState& dls, ReadNotes& unsupported) {
    uint32_t waves = 0;
    WalkWavePool(bank, dls,
                 [&](const DlsWalker&, const ChunkHeader& chunk) { waves += chunk.IsList("wave"); });
    if (waves > 0xFFFF)
        waves = 0xFFFF;

    SampleRecord blank;
    blank.name = blank.fullName = "!noname";
    blank.channels = 0;
    blank.sampleType = 0;
    bank.SampleTable.assign(waves, blank);
    bank.SampleCount = static_cast<uint16_t>(waves);
    dls.SampleGroupNames.clear();

    uint32_t wave = 0;
    std::vector<uint16_t> compressed;
    WalkWavePool(bank, dls, [&](const DlsWalker& walker, const ChunkHeader& chunk) {
        const ChunkImage& image = walker.Image();
        if (chunk.IsList("wave")) {
            ++wave;
            if (wave <= waves)
                bank.SampleTable[wave - 1].looped = 0;
            return;
        }
        if (chunk.Is("3gnm")) {
            if (dls.SampleGroupNames.size() < kMaxSampleGroups)
                dls.SampleGroupNames.push_back(PayloadText(image, chunk, kDlsNameLength));
            return;
        }
        if (wave == 0 || wave > waves)
            return;
        SampleRecord& sample = bank.SampleTable[wave - 1];
        const ChunkPayload p(image, chunk);
        if (chunk.Is("fmt ")) {
            sample.channels = p.U16(2);
            if (sample.channels == 2)
                sample.stereoHalf = 1;
            sample.sampleRate = p.U32(4);
            sample.bitsPerSample = p.U16(14);
            sample.sampleType = 0;
            sample.linkIndex = 0;
        } else if (chunk.Is("INAM")) {
            sample.name = sample.fullName = PayloadText(image, chunk, kDlsNameLength);
        } else if (chunk.Is("data")) {
            sample.dataOffset =
                static_cast<uint32_t>(std::min<uint64_t>(walker.FilePosition() + 8, UINT32_MAX));
            sample.dataLength = static_cast<uint32_t>(std::min<uint64_t>(EvenSize(chunk.size), UINT32_MAX));
        } else if (chunk.Is("smpl")) {
            if (p.Has(16, 4)) {
                const SampleTuning tuning = SampleTuningOf(p.U32(12), p.U32(16) / kFractionPerCent);
                sample.rootKey = static_cast<uint16_t>(tuning.rootKey);
                sample.pitchCorrection = static_cast<int16_t>(tuning.pitchCorrection);
            } else if (p.Has(12, 4)) {
                sample.rootKey = p.U32(12) & 127;
            }
            if (p.Has(28, 4))
                sample.looped = p.U32(28) & 15;
            if (p.Has(44, 8)) {
                sample.loopStart = p.U32(44);
                const uint32_t loopEnd = p.U32(48);
                sample.loopEnd = loopEnd == 0 ? 0 : loopEnd + 1;
                sample.loopEnd = std::min(sample.loopEnd, sample.dataLength / 2);
            }
        } else if (chunk.Is("wsmp")) {
            if (p.Has(4, 4)) {
                sample.rootKey = p.U16(4) & 127;
                sample.pitchCorrection = static_cast<int16_t>(p.U16(6));
            }
            if (p.Has(16, 4)) {
                const uint32_t loops = p.U32(16) & 0xFFFF;
                sample.looped = loops & 15;
                // Without a loop record the loop stays empty.
                const uint32_t start = p.Has(28, 4) ? p.U32(28) : 0;
                const uint32_t length = p.Has(32, 4) ? p.U32(32) : 0;
                sample.loopStart = start;
                sample.loopEnd = loops == 1 ? (length == 0 ? start : start + length) : length;
            }
        } else if (chunk.Is("3gix")) {
            if (p.Has(0, 2))
                sample.sampleGroup = std::min<uint32_t>(p.U16(0), 255);
        } else if (chunk.Is("ewav")) {
            if (compressed.empty() || compressed.back() != wave - 1)
                compressed.push_back(static_cast<uint16_t>(wave - 1));
        }
    });
    // GigaStudio 3 keeps a fixed list of group names, the unused ones empty: those past the last group a
    // sample is in are no groups.
    uint32_t groupsInUse = 1;
    for (uint32_t i = 0; i < bank.SampleCount; ++i)
        groupsInUse = std::max(groupsInUse, bank.SampleTable[i].sampleGroup + 1);
    while (dls.SampleGroupNames.size() > groupsInUse && dls.SampleGroupNames.back().empty())
        dls.SampleGroupNames.pop_back();
    for (uint16_t index : compressed) {
        bank.SampleTable[index].dataOffset = 0;
        bank.SampleTable[index].dataLength = 0;
    }
    if (!compressed.empty())
        unsupported.Add(std::to_string(compressed.size()) + " compressed sample(s), the first '" +
                        bank.SampleTable[compressed.front()].fullName +
                        "': their data cannot be decoded and is left out, they stay silent");
}

} // namespace quorvane
