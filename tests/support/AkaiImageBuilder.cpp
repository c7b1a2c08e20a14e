#include "support/AkaiImageBuilder.h"

#include <algorithm>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace quorvane::test {

namespace {

constexpr char kAkaiCharacters[] = "0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ#+-._";
constexpr uint32_t kSectorsPerUnit = 1024;
constexpr uint32_t kDirectoryBlocks = 4;

void PutU16At(Bytes& out, size_t offset, uint16_t value) {
    out[offset] = static_cast<uint8_t>(value);
    out[offset + 1] = static_cast<uint8_t>(value >> 8);
}
void PutU32At(Bytes& out, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}
void PutName(Bytes& out, size_t offset, const std::array<uint8_t, 12>& name) {
    std::copy(name.begin(), name.end(), out.begin() + static_cast<long>(offset));
}

uint16_t BlocksFor(size_t bytes) {
    return static_cast<uint16_t>(std::max<size_t>(1, (bytes + kAkaiBlock - 1) / kAkaiBlock));
}

// Where each volume directory and each file of a partition goes, in blocks from the partition start.
struct PartitionLayout {
    std::vector<uint16_t> directories;
    std::vector<std::vector<uint16_t>> files;
};

PartitionLayout Layout(const AkaiPartition& partition) {
    PartitionLayout layout;
    uint32_t next = 1; // block 0 holds the header
    for (const AkaiVolume& volume : partition.volumes) {
        layout.directories.push_back(static_cast<uint16_t>(next));
        next += kDirectoryBlocks;
        std::vector<uint16_t> files;
        for (const AkaiFile& file : volume.files) {
            files.push_back(static_cast<uint16_t>(next));
            next += BlocksFor(file.data.size());
        }
        layout.files.push_back(std::move(files));
    }
    return layout;
}

} // namespace

std::array<uint8_t, 12> AkaiNameBytes(const std::string& name) {
    std::array<uint8_t, 12> bytes;
    bytes.fill(10); // blank
    for (size_t i = 0; i < name.size() && i < bytes.size(); ++i) {
        const char* at = std::find(kAkaiCharacters, kAkaiCharacters + 42, name[i]);
        bytes[i] = static_cast<uint8_t>(at == kAkaiCharacters + 42 ? 41 : at - kAkaiCharacters);
    }
    return bytes;
}

Bytes AkaiSample::FileBytes() const {
    Bytes bytes(150 + frames.size() * 2, 0);
    bytes[0] = 3;
    bytes[1] = rateFlag;
    bytes[2] = rootKey;
    PutName(bytes, 3, AkaiNameBytes(name));
    bytes[16] = loops;
    bytes[19] = loopMode;
    bytes[20] = fineTune;
    bytes[21] = static_cast<uint8_t>(semitoneTune);
    PutU32At(bytes, 26, static_cast<uint32_t>(frames.size()));
    PutU32At(bytes, 30, start.value_or(0));
    PutU32At(bytes, 34, end.value_or(frames.empty() ? 0 : static_cast<uint32_t>(frames.size() - 1)));
    PutU32At(bytes, 38, loopAt);
    PutU32At(bytes, 44, loopLength);
    PutU16At(bytes, 138, static_cast<uint16_t>(rate));
    for (size_t i = 0; i < frames.size(); ++i)
        PutU16At(bytes, 150 + 2 * i, static_cast<uint16_t>(frames[i]));
    return bytes;
}

Bytes AkaiProgram::FileBytes() const {
    const size_t stride = s3000 ? 192 : 150;
    Bytes bytes(stride + stride * keygroups.size(), 0);
    bytes[0] = 1;
    PutName(bytes, 3, AkaiNameBytes(name));
    bytes[15] = midiProgram;
    bytes[24] = static_cast<uint8_t>(pan);
    bytes[42] = keygroupCount.value_or(static_cast<uint8_t>(keygroups.size()));
    bytes[65] = fineTune;
    bytes[66] = static_cast<uint8_t>(semitoneTune);
    for (size_t k = 0; k < keygroups.size(); ++k) {
        const AkaiKeygroup& g = keygroups[k];
        uint8_t* kg = bytes.data() + stride + stride * k;
        kg[0] = g.blockId;
        kg[3] = g.lowKey;
        kg[4] = g.highKey;
        kg[5] = g.fineTune;
        kg[6] = static_cast<uint8_t>(g.semitoneTune);
        kg[7] = g.cutoff;
        kg[11] = static_cast<uint8_t>(g.env2ToFilter);
        std::copy(g.env1.begin(), g.env1.end(), kg + 12);
        kg[19] = static_cast<uint8_t>(g.keyToEnv1Decay);
        std::copy(g.env2.begin(), g.env2.end(), kg + 20);
        kg[27] = static_cast<uint8_t>(g.keyToEnv2Decay);
        kg[29] = static_cast<uint8_t>(g.env2ToPitch);
        for (size_t v = 0; v < 4; ++v) {
            const AkaiVelocityZone& z = g.zones[v];
            uint8_t* zone = kg + 34 + 24 * v;
            const auto name = AkaiNameBytes(z.sample);
            std::copy(name.begin(), name.end(), zone);
            if (!z.sample.empty()) {
                zone[12] = z.lowVelocity;
                zone[13] = z.highVelocity;
            }
            zone[14] = z.fineTune;
            zone[15] = static_cast<uint8_t>(z.semitoneTune);
            zone[16] = z.loudness;
            zone[17] = z.filterOffset;
            zone[18] = static_cast<uint8_t>(z.pan);
            kg[132 + v] = z.constantPitch ? 1 : 0;
        }
    }
    return bytes;
}

AkaiFile SampleFile(const AkaiSample& sample, bool s3000) {
    return AkaiFile{sample.name, static_cast<uint8_t>(s3000 ? 0xF3 : 0x73), sample.FileBytes()};
}

AkaiFile ProgramFile(const AkaiProgram& program) {
    return AkaiFile{program.name, static_cast<uint8_t>(program.s3000 ? 0xF0 : 0x70), program.FileBytes()};
}

uint32_t AkaiImageBuilder::PartitionStart(size_t p) const {
    uint32_t start = 0;
    for (size_t i = 0; i < p; ++i)
        start += partitions[i].sizeUnits * kSectorsPerUnit;
    return start;
}

uint16_t AkaiImageBuilder::DirectoryBlock(size_t p, size_t volume) const {
    return Layout(partitions[p]).directories[volume];
}

uint16_t AkaiImageBuilder::FileBlock(size_t p, size_t volume, size_t file) const {
    return Layout(partitions[p]).files[volume][file];
}

std::vector<ImagePiece> AkaiImageBuilder::Pieces() const {
    std::vector<ImagePiece> pieces;
    for (size_t p = 0; p < partitions.size(); ++p) {
        const AkaiPartition& partition = partitions[p];
        const uint64_t base = static_cast<uint64_t>(PartitionStart(p)) * kAkaiSector;
        const PartitionLayout layout = Layout(partition);
        Bytes header(kAkaiSector, 0);
        header[1] = partition.sizeUnits;
        if (partition.signature) {
            const uint8_t signature[8] = {5, 13, 10, 26, 15, 39, 20, 52};
            std::copy(signature, signature + 8, header.begin() + 4);
        }
        for (size_t v = 0; v < partition.volumes.size() && v < 100; ++v) {
            const AkaiVolume& volume = partition.volumes[v];
            const size_t entry = 202 + 16 * v;
            PutName(header, entry, volume.rawName.value_or(AkaiNameBytes(volume.name)));
            header[entry + 12] = volume.type;
            const uint16_t first = volume.unused ? 0 : volume.firstBlock.value_or(layout.directories[v]);
            PutU16At(header, entry + 14, first);

            Bytes directory(kDirectoryBlocks * kAkaiBlock, 0);
            for (size_t f = 0; f < volume.files.size() && f < 1365; ++f) {
                const AkaiFile& file = volume.files[f];
                const size_t at = 24 * f;
                PutName(directory, at, file.rawName.value_or(AkaiNameBytes(file.name)));
                directory[at + 16] = file.type;
                const uint32_t size = file.size.value_or(static_cast<uint32_t>(file.data.size()));
                directory[at + 17] = static_cast<uint8_t>(size);
                directory[at + 18] = static_cast<uint8_t>(size >> 8);
                directory[at + 19] = static_cast<uint8_t>(size >> 16);
                PutU16At(directory, at + 20, file.firstBlock.value_or(layout.files[v][f]));
                pieces.push_back({base + uint64_t{layout.files[v][f]} * kAkaiBlock, file.data});
            }
            pieces.push_back({base + uint64_t{layout.directories[v]} * kAkaiBlock, std::move(directory)});
        }
        pieces.push_back({base, std::move(header)});
    }
    for (const auto& [sector, bytes] : extra)
        pieces.push_back({uint64_t{sector} * kAkaiSector, bytes});
    return pieces;
}

uint64_t AkaiImageBuilder::ImageSize() const {
    if (totalSectors != 0)
        return uint64_t{totalSectors} * kAkaiSector;
    uint64_t end = uint64_t{PartitionStart(partitions.size())} * kAkaiSector;
    for (const ImagePiece& piece : Pieces())
        end = std::max<uint64_t>(end, piece.offset + piece.bytes.size());
    return (end + kAkaiSector - 1) / kAkaiSector * kAkaiSector;
}

Bytes AkaiImageBuilder::Build() const {
    Bytes image(ImageSize(), 0);
    for (const ImagePiece& piece : Pieces()) {
        if (piece.offset >= image.size())
            continue;
        const size_t n = std::min<size_t>(piece.bytes.size(), image.size() - piece.offset);
        std::copy(piece.bytes.begin(), piece.bytes.begin() + static_cast<long>(n),
                  image.begin() + static_cast<long>(piece.offset));
    }
    return image;
}

void AkaiImageBuilder::WriteSparse(const std::string& path) const {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot write " + path);
    const uint64_t size = ImageSize();
    bool ok = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    for (const ImagePiece& piece : Pieces()) {
        if (piece.offset >= size)
            continue;
        const size_t n = std::min<size_t>(piece.bytes.size(), size - piece.offset);
        ok = ok &&
             ::pwrite(fd, piece.bytes.data(), n, static_cast<off_t>(piece.offset)) == static_cast<ssize_t>(n);
    }
    ok = ::close(fd) == 0 && ok;
    if (!ok)
        throw std::runtime_error("cannot write " + path);
}

Bytes ToRawSectors(const Bytes& cooked) {
    const size_t sectors = (cooked.size() + kAkaiSector - 1) / kAkaiSector;
    Bytes raw(sectors * 2352, 0);
    for (size_t s = 0; s < sectors; ++s) {
        uint8_t* out = raw.data() + s * 2352;
        std::fill(out + 1, out + 11, 0xFF);
        // Header: the sector's address as minutes, seconds and frames in BCD (150 frames of lead-in), then
        // the mode.
        const size_t address = s + 150;
        auto bcd = [](size_t v) { return static_cast<uint8_t>((v / 10) << 4 | (v % 10)); };
        out[12] = bcd(address / (60 * 75));
        out[13] = bcd(address / 75 % 60);
        out[14] = bcd(address % 75);
        out[15] = 1;
        const size_t n = std::min<size_t>(kAkaiSector, cooked.size() - s * kAkaiSector);
        std::copy(cooked.begin() + static_cast<long>(s * kAkaiSector),
                  cooked.begin() + static_cast<long>(s * kAkaiSector + n), out + 16);
    }
    return raw;
}

} // namespace quorvane::test
