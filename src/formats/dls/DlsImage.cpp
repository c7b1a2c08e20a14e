#include "formats/dls/DlsImage.h"

#include <algorithm>
#include <cstdio>

#include "formats/common/Bytes.h"

namespace quorvane {

namespace {
constexpr uint64_t kStart = 12;
} // namespace

void DlsWalker::Advance(const ChunkHeader& chunk) {
    if (chunk.Is("LIST")) {
        imagePosition_ += 12;
        filePosition_ += 12;
    } else if (chunk.Is("data")) {
        imagePosition_ += 8;
        filePosition_ += 8 + EvenSize(chunk.size);
    } else {
        imagePosition_ += 8 + EvenSize(chunk.size);
        filePosition_ += 8 + EvenSize(chunk.size);
    }
}

std::string PayloadText(const ChunkImage& image, const ChunkHeader& chunk, size_t maxLength) {
    const size_t length = static_cast<size_t>(std::min<uint64_t>(chunk.available, maxLength));
    const uint8_t* text = image.Bytes(chunk.DataOffset(), length);
    return text ? FixedName(reinterpret_cast<const char*>(text), length) : std::string();
}

void BuildDlsImage(BankModel& bank, DlsState& dls, InputFile& file, ReadNotes& notes) {
    dls.BankFileSize = file.Size();
    dls.WavePoolOffset = dls.SampleGroupListOffset = dls.InstrumentListOffset = 0;

    // One walk over the file plans the copies: which file bytes land where in the image. Every size is held
    // to the bytes the file really has after the chunk header, so the image never outgrows the file.
    struct Copy {
        uint64_t fileOffset;
        uint64_t imageOffset;
        uint64_t length;
    };
    std::vector<Copy> copies;
    uint64_t imageSize = kStart;
    bool inWavePool = false;
    uint8_t header[12];
    for (uint64_t position = kStart;;) {
        if (file.ReadAt(position, header, sizeof header) < sizeof header)
            break;
        uint64_t size = EvenSize(ReadU32LE(header + 4));
        const uint64_t room = dls.BankFileSize > position + 8 ? dls.BankFileSize - position - 8 : 0;
        if (size > room) {
            char text[160];
            std::snprintf(text, sizeof text,
                          "chunk '%.4s' at file offset %llu claims %llu bytes, the file holds %llu",
                          reinterpret_cast<const char*>(header), static_cast<unsigned long long>(position),
                          static_cast<unsigned long long>(size), static_cast<unsigned long long>(room));
            notes.Add(text);
            size = room;
        }
        const bool list = FourCCIs(header, "LIST");
        if (list && position <= UINT32_MAX) {
            if (FourCCIs(header + 8, "wvpl") && dls.WavePoolOffset == 0) {
                dls.WavePoolOffset = static_cast<uint32_t>(position);
                inWavePool = true;
            } else if (FourCCIs(header + 8, "3gri") && dls.SampleGroupListOffset == 0) {
                dls.SampleGroupListOffset = static_cast<uint32_t>(position);
            } else if (FourCCIs(header + 8, "lins") && dls.InstrumentListOffset == 0) {
                dls.InstrumentListOffset = static_cast<uint32_t>(position);
            }
        }
        // Before the wave pool every chunk is kept whole at its file offset; from the pool on lists are
        // entered and wave data leaves only its header behind.
        uint64_t kept = 8 + size;
        uint64_t step = 8 + size;
        if (inWavePool && list) {
            kept = step = 12;
        } else if (inWavePool && FourCCIs(header, "data")) {
            kept = 8;
        }
        copies.push_back({position, imageSize & ~uint64_t{1}, kept});
        imageSize += kept;
        position += step;
    }
    if (imageSize > UINT32_MAX) {
        notes.Add("the bank's headers exceed 4 GB; only the first 4 GB are read");
        imageSize = UINT32_MAX;
    }

    bank.BankImage.assign(imageSize, 0);
    bank.BankImageSize = static_cast<uint32_t>(imageSize);
    file.ReadAt(0, bank.BankImage.data(), std::min<uint64_t>(kStart, imageSize));
    for (const Copy& copy : copies) {
        if (copy.imageOffset >= imageSize)
            break;
        const uint64_t length = std::min(copy.length, imageSize - copy.imageOffset);
        file.ReadAt(copy.fileOffset, bank.BankImage.data() + copy.imageOffset, length);
    }
}

} // namespace quorvane
