// Reading back what the GigaSampler writer produced: the file walked strictly (every size must fit its
// parent, so a wrong size patch shows up as a failure) and cut into its instruments, regions, dimension
// regions and waves, each part kept as the bytes written so that tests compare fields by offset.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/RiffBuilder.h"
#include "support/SoundFontWriterFixtures.h"

namespace quorvane::test {

inline int16_t S16At(const Bytes& data, size_t at) {
    return static_cast<int16_t>(U16At(data, at));
}

// A zero-padded text field.
inline std::string TextField(const Bytes& data) {
    const std::string text(data.begin(), data.end());
    return text.substr(0, text.find('\0'));
}

struct GigDimensionRegionParts {
    Bytes wsmp;
    Bytes ewa; // the 140 bytes of the 3ewa
    uint8_t VelocityLimit() const { return ewa.at(124); }
};

struct GigRegionParts {
    uint32_t listSize = 0; // size field of the region's LIST
    Bytes rgnh, wsmp, wlnk, lnk, ddp;
    uint32_t prgListSize = 0;
    std::vector<GigDimensionRegionParts> dimensionRegions;

    uint16_t KeyLow() const { return U16At(rgnh, 0); }
    uint16_t KeyHigh() const { return U16At(rgnh, 2); }
    uint32_t TableIndex() const { return GetU32(wlnk, 8); }
    uint32_t DimensionRegionCount() const { return GetU32(lnk, 0); }
    // Dimension definition i (0..4) as its 8 bytes: type, bits, bit position, span byte, 4 zeros.
    std::array<uint8_t, 8> Definition(size_t i) const {
        std::array<uint8_t, 8> d{};
        for (size_t k = 0; k < 8; ++k)
            d[k] = lnk.at(4 + 8 * i + k);
        return d;
    }
    // All 32 pool index slots of the 3lnk.
    std::vector<uint32_t> PoolIndices() const {
        std::vector<uint32_t> indices;
        for (size_t i = 0; i < 32; ++i)
            indices.push_back(GetU32(lnk, 44 + 4 * i));
        return indices;
    }
    std::vector<uint8_t> VelocityLimits() const {
        std::vector<uint8_t> limits;
        for (const GigDimensionRegionParts& d : dimensionRegions)
            limits.push_back(d.VelocityLimit());
        return limits;
    }
};

struct GigInstrumentParts {
    uint32_t listSize = 0;
    std::string name;
    Bytes inam, isft, dlid, insh, ewg;
    std::vector<GigRegionParts> regions;
};

struct GigWaveParts {
    size_t offset = 0; // of the wave's LIST header in the file
    uint32_t listSize = 0;
    std::string name;
    Bytes fmt, inam, data, smpl, gix;
};

struct GigFileParts {
    std::vector<RiffChunk> chunks;
    std::vector<std::string> topLevel; // the form's chunks in order: "INFO", "vers", ..., "wvpl"
    std::map<std::string, Bytes> info; // the bank INFO sub-chunks by id
    uint32_t infoSize = 0;
    Bytes vers, colh, dlid, ptbl;
    std::vector<GigInstrumentParts> instruments;
    uint32_t groupListSize = 0, groupNameListSize = 0;
    std::vector<std::string> groupNames;
    size_t wavePoolOffset = 0; // of the wave pool's LIST header
    std::vector<GigWaveParts> waves;

    uint32_t PoolTableCount() const { return GetU32(ptbl, 4); }
    uint32_t PoolTableOffset(size_t i) const { return GetU32(ptbl, 8 + 4 * i); }
};

// Cuts a written GigaSampler file into its parts. The walk itself fails the test when a size does not fit.
inline GigFileParts ReadGigParts(const Bytes& file) {
    GigFileParts parts;
    parts.chunks = WalkRiff(file);
    const std::string ins = "DLS /lins/ins ";
    const std::string rgn = ins + "/lrgn/rgn ";
    for (const RiffChunk& c : parts.chunks) {
        const std::string& p = c.path;
        const Bytes& d = c.data;
        if (p.rfind("DLS /", 0) == 0 && p.find('/', 5) == std::string::npos)
            parts.topLevel.push_back(p.substr(5));
        auto instrument = [&]() -> GigInstrumentParts& { return parts.instruments.back(); };
        auto region = [&]() -> GigRegionParts& { return parts.instruments.back().regions.back(); };
        auto wave = [&]() -> GigWaveParts& { return parts.waves.back(); };
        if (p == "DLS /INFO") {
            parts.infoSize = c.size;
        } else if (p.rfind("DLS /INFO/", 0) == 0) {
            parts.info[p.substr(10)] = d;
        } else if (p == "DLS /vers") {
            parts.vers = d;
        } else if (p == "DLS /colh") {
            parts.colh = d;
        } else if (p == "DLS /dlid") {
            parts.dlid = d;
        } else if (p == "DLS /ptbl") {
            parts.ptbl = d;
        } else if (p == ins) {
            parts.instruments.emplace_back();
            instrument().listSize = c.size;
        } else if (p == ins + "/INFO/INAM") {
            instrument().inam = d;
            instrument().name = TextField(d);
        } else if (p == ins + "/INFO/ISFT") {
            instrument().isft = d;
        } else if (p == ins + "/dlid") {
            instrument().dlid = d;
        } else if (p == ins + "/insh") {
            instrument().insh = d;
        } else if (p == ins + "/lart/3ewg") {
            instrument().ewg = d;
        } else if (p == rgn) {
            instrument().regions.emplace_back();
            region().listSize = c.size;
        } else if (p == rgn + "/rgnh") {
            region().rgnh = d;
        } else if (p == rgn + "/wsmp") {
            region().wsmp = d;
        } else if (p == rgn + "/wlnk") {
            region().wlnk = d;
        } else if (p == rgn + "/3lnk") {
            region().lnk = d;
        } else if (p == rgn + "/3prg") {
            region().prgListSize = c.size;
        } else if (p == rgn + "/3prg/3ewl") {
            region().dimensionRegions.emplace_back();
        } else if (p == rgn + "/3prg/3ewl/wsmp") {
            region().dimensionRegions.back().wsmp = d;
        } else if (p == rgn + "/3prg/3ewl/3ewa") {
            region().dimensionRegions.back().ewa = d;
        } else if (p == rgn + "/3ddp") {
            region().ddp = d;
        } else if (p == "DLS /3gri") {
            parts.groupListSize = c.size;
        } else if (p == "DLS /3gri/3gnl") {
            parts.groupNameListSize = c.size;
        } else if (p == "DLS /3gri/3gnl/3gnm") {
            parts.groupNames.push_back(TextField(d));
        } else if (p == "DLS /wvpl") {
            parts.wavePoolOffset = c.offset;
        } else if (p == "DLS /wvpl/wave") {
            parts.waves.emplace_back();
            wave().offset = c.offset;
            wave().listSize = c.size;
        } else if (p == "DLS /wvpl/wave/fmt ") {
            wave().fmt = d;
        } else if (p == "DLS /wvpl/wave/INFO/INAM") {
            wave().inam = d;
            wave().name = TextField(d);
        } else if (p == "DLS /wvpl/wave/data") {
            wave().data = d;
        } else if (p == "DLS /wvpl/wave/smpl") {
            wave().smpl = d;
        } else if (p == "DLS /wvpl/wave/3gix") {
            wave().gix = d;
        }
    }
    return parts;
}

} // namespace quorvane::test
