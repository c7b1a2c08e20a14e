#include "support/DlsBuilder.h"

#include "formats/common/InputFile.h"
#include "formats/dls/DlsInstruments.h"
#include "formats/dls/DlsWavePool.h"
#include "support/TempDir.h"

namespace quorvane::test {

namespace {

constexpr uint32_t kNotGiven = 0x80000000u;
constexpr size_t kGroupNameWidth = 64;

Bytes WaveSampleBytes(const DlsWaveSample& wsmp) {
    Bytes out;
    PutU32(out, 20);
    PutU16(out, wsmp.unityNote);
    PutU16(out, static_cast<uint16_t>(wsmp.fineTune));
    PutU32(out, static_cast<uint32_t>(wsmp.attenuation));
    PutU32(out, 0); // fulOptions
    PutU32(out, wsmp.loopCount);
    if (wsmp.loopCount != 0 || wsmp.loopStart != 0 || wsmp.loopLength != 0) {
        PutU32(out, 16);
        PutU32(out, 0); // forward loop
        PutU32(out, wsmp.loopStart);
        PutU32(out, wsmp.loopLength);
    }
    return out;
}

Bytes SamplerBytes(const DlsSamplerChunk& smpl) {
    Bytes out;
    PutU32(out, 0);     // manufacturer
    PutU32(out, 0);     // product
    PutU32(out, 22675); // sample period in ns
    PutU32(out, smpl.unityNote);
    PutU32(out, smpl.pitchFraction);
    PutU32(out, 0); // SMPTE format
    PutU32(out, 0); // SMPTE offset
    PutU32(out, smpl.loopCount);
    PutU32(out, 0); // sampler data
    if (smpl.loopCount != 0) {
        PutU32(out, 0); // identifier
        PutU32(out, 0); // forward loop
        PutU32(out, smpl.loopStart);
        PutU32(out, smpl.loopEnd);
        PutU32(out, 0); // fraction
        PutU32(out, 0); // play count: endless
    }
    return out;
}

Bytes TextBytes(const std::string& text) {
    Bytes out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

std::string Trimmed(const char* fourCC) {
    std::string id(fourCC, 4);
    while (!id.empty() && id.back() == ' ')
        id.pop_back();
    return id;
}

// Writes chunks and lists under paths, applying the builder's damage hooks as each one is closed.
class Emitter {
  public:
    Emitter(const DlsBuilder& builder, std::map<std::string, ChunkPlace>* layout)
        : builder_(builder), layout_(layout) {}

    size_t Open(const std::string& path, const char* id, const char* listType = nullptr) {
        const size_t header = out.size();
        PutFourCC(out, id);
        PutU32(out, 0);
        if (listType != nullptr)
            PutFourCC(out, listType);
        open_[header] = path;
        return header;
    }

    void Close(size_t header) {
        const std::string path = open_[header];
        open_.erase(header);
        if (auto extra = builder_.appendToChunk.find(path); extra != builder_.appendToChunk.end())
            out.insert(out.end(), extra->second.begin(), extra->second.end());
        const auto size = static_cast<uint32_t>(out.size() - header - 8);
        auto declared = builder_.declaredSize.find(path);
        PatchU32(out, header + 4, declared != builder_.declaredSize.end() ? declared->second : size);
        if (layout_ != nullptr)
            (*layout_)[path] = ChunkPlace{header, size};
        if (size % 2 == 1 && builder_.padOddChunks)
            out.push_back(0);
    }

    void Chunk(const std::string& path, const char* id, const Bytes& data) {
        const size_t header = Open(path, id);
        out.insert(out.end(), data.begin(), data.end());
        Close(header);
    }

    Bytes out;

  private:
    const DlsBuilder& builder_;
    std::map<std::string, ChunkPlace>* layout_;
    std::map<size_t, std::string> open_;
};

void EmitArticulation(Emitter& e, const std::string& path, const DlsArticulationList& articulation) {
    const char* list = articulation.level2 ? "lar2" : "lart";
    const char* id = articulation.level2 ? "art2" : "art1";
    const size_t header = e.Open(path + "/" + list, "LIST", list);
    Bytes blocks;
    PutU32(blocks, 8); // cbSize
    PutU32(blocks, static_cast<uint32_t>(articulation.connections.size()));
    for (const DlsConnectionBlock& c : articulation.connections) {
        for (uint16_t field : {c.source, c.control, c.destination, c.transform})
            PutU16(blocks, field);
        PutU32(blocks, static_cast<uint32_t>(c.scale));
    }
    e.Chunk(path + "/" + list + "/" + id, id, blocks);
    e.Close(header);
}

void EmitRegion(Emitter& e, const std::string& path, const DlsRegion& region) {
    const size_t list = e.Open(path, "LIST", region.rgn2 ? "rgn2" : "rgn ");
    Bytes rgnh;
    for (uint16_t value : {region.keyLow, region.keyHigh, region.velocityLow, region.velocityHigh})
        PutU16(rgnh, value);
    PutU16(rgnh, 0); // options
    PutU16(rgnh, 0); // key group
    e.Chunk(path + "/rgnh", "rgnh", rgnh);
    if (region.wsmp)
        e.Chunk(path + "/wsmp", "wsmp", WaveSampleBytes(*region.wsmp));
    Bytes wlnk;
    PutU16(wlnk, 0);
    PutU16(wlnk, 0);
    PutU32(wlnk, 1); // left channel
    PutU32(wlnk, region.dimensionRegions.empty() ? region.tableIndex : region.dimensionRegions[0].poolIndex);
    e.Chunk(path + "/wlnk", "wlnk", wlnk);
    if (region.articulation)
        EmitArticulation(e, path, *region.articulation);

    if (!region.dimensionRegions.empty() || !region.dimensions.empty()) {
        Bytes link;
        PutU32(link,
               region.dimensionRegionCount.value_or(static_cast<uint32_t>(region.dimensionRegions.size())));
        for (size_t d = 0; d < 5; ++d) {
            const auto [type, bits] =
                d < region.dimensions.size() ? region.dimensions[d] : std::pair<uint8_t, uint8_t>{};
            PutU8(link, type);
            PutU8(link, bits);
            PutU8(link, 0);
            PutU8(link, 0);
            PutU8(link, bits < 8 ? static_cast<uint8_t>(1u << bits) : 0); // zones
            PutU8(link, 0);
            PutU8(link, 0);
            PutU8(link, 0);
        }
        for (size_t r = 0; r < 32; ++r)
            PutU32(link, r < region.dimensionRegions.size() ? region.dimensionRegions[r].poolIndex : 0);
        e.Chunk(path + "/3lnk", "3lnk", link);

        const size_t program = e.Open(path + "/3prg", "LIST", "3prg");
        for (size_t r = 0; r < region.dimensionRegions.size(); ++r) {
            const GigDimensionRegion& dr = region.dimensionRegions[r];
            const std::string drPath = path + "/3prg/3ewl" + std::to_string(r);
            const size_t ewl = e.Open(drPath, "LIST", "3ewl");
            if (dr.wsmp)
                e.Chunk(drPath + "/wsmp", "wsmp", WaveSampleBytes(*dr.wsmp));
            e.Chunk(drPath + "/3ewa", "3ewa",
                    Bytes(dr.articulation.bytes.begin(), dr.articulation.bytes.end()));
            e.Close(ewl);
        }
        e.Close(program);
    }
    e.Close(list);
}

void EmitInstrument(Emitter& e, const std::string& path, const DlsInstrument& instrument) {
    const size_t list = e.Open(path, "LIST", "ins ");
    const size_t info = e.Open(path + "/INFO", "LIST", "INFO");
    e.Chunk(path + "/INFO/INAM", "INAM", TextBytes(instrument.name));
    e.Close(info);
    Bytes insh;
    PutU32(insh, static_cast<uint32_t>(instrument.regions.size()));
    PutU32(insh, instrument.bank | (instrument.drum ? 0x80000000u : 0u));
    PutU32(insh, instrument.program);
    e.Chunk(path + "/insh", "insh", insh);
    const size_t regions = e.Open(path + "/lrgn", "LIST", "lrgn");
    for (size_t j = 0; j < instrument.regions.size(); ++j)
        EmitRegion(e, path + "/lrgn/rgn" + std::to_string(j), instrument.regions[j]);
    e.Close(regions);
    if (instrument.globals) {
        const size_t lart = e.Open(path + "/lart", "LIST", "lart");
        e.Chunk(path + "/lart/3ewg", "3ewg", Bytes(instrument.globals->begin(), instrument.globals->end()));
        e.Close(lart);
    }
    if (instrument.articulation)
        EmitArticulation(e, path, *instrument.articulation);
    e.Close(list);
}

void EmitWave(Emitter& e, const std::string& path, const DlsWave& wave) {
    const size_t list = e.Open(path, "LIST", "wave");
    for (const auto& [id, data] : wave.extraChunks)
        e.Chunk(path + "/" + Trimmed(id.c_str()), id.c_str(), data);
    if (wave.withFormat) {
        Bytes fmt;
        const uint16_t blockAlign = static_cast<uint16_t>(wave.channels * wave.bitsPerSample / 8);
        PutU16(fmt, 1);
        PutU16(fmt, wave.channels);
        PutU32(fmt, wave.sampleRate);
        PutU32(fmt, wave.sampleRate * blockAlign);
        PutU16(fmt, blockAlign);
        PutU16(fmt, wave.bitsPerSample);
        e.Chunk(path + "/fmt", "fmt ", fmt);
    }
    if (!wave.name.empty()) {
        const size_t info = e.Open(path + "/INFO", "LIST", "INFO");
        e.Chunk(path + "/INFO/INAM", "INAM", TextBytes(wave.name));
        e.Close(info);
    }
    e.Chunk(path + "/data", "data", wave.data);
    if (wave.smpl)
        e.Chunk(path + "/smpl", "smpl", SamplerBytes(*wave.smpl));
    if (wave.wsmp)
        e.Chunk(path + "/wsmp", "wsmp", WaveSampleBytes(*wave.wsmp));
    if (wave.group) {
        Bytes gix;
        PutU32(gix, *wave.group);
        e.Chunk(path + "/3gix", "3gix", gix);
    }
    e.Close(list);
}

} // namespace

GigArticulation::GigArticulation() {
    for (size_t at : {ewa::lfo3Frequency, ewa::eg3Attack, ewa::eg1Attack, ewa::eg1Decay, ewa::eg1Release,
                      ewa::lfo1Frequency, ewa::eg2Attack, ewa::eg2Decay, ewa::eg2Release, ewa::lfo2Frequency})
        U32(at, kNotGiven);
    U16(ewa::eg1Sustain, 1000);
    U16(ewa::eg2Sustain, 1000);
    U8(ewa::cutoff, 0x7F);
}

GigArticulation& GigArticulation::U8(size_t offset, uint8_t value) {
    bytes.at(offset) = value;
    return *this;
}

GigArticulation& GigArticulation::U16(size_t offset, uint16_t value) {
    bytes.at(offset) = static_cast<uint8_t>(value);
    bytes.at(offset + 1) = static_cast<uint8_t>(value >> 8);
    return *this;
}

GigArticulation& GigArticulation::U32(size_t offset, uint32_t value) {
    for (size_t i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
    return *this;
}

DlsWave MonoWave(const std::string& name, uint32_t frames, uint32_t sampleRate) {
    DlsWave wave;
    wave.name = name;
    wave.sampleRate = sampleRate;
    wave.data.assign(static_cast<size_t>(frames) * 2, 0);
    return wave;
}

Bytes DlsBuilder::Build(std::map<std::string, ChunkPlace>* layout) const {
    Emitter e(*this, layout);
    const size_t form = e.Open("RIFF", "RIFF", "DLS ");
    if (!info.empty()) {
        const size_t list = e.Open("INFO", "LIST", "INFO");
        for (const auto& [id, text] : info)
            e.Chunk("INFO/" + id, id.c_str(), TextBytes(text));
        e.Close(list);
    }
    Bytes colh;
    PutU32(colh, static_cast<uint32_t>(instruments.size()));
    e.Chunk("colh", "colh", colh);

    const size_t lins = e.Open("lins", "LIST", "lins");
    for (size_t i = 0; i < instruments.size(); ++i)
        EmitInstrument(e, "lins/ins" + std::to_string(i), instruments[i]);
    e.Close(lins);

    if (!groupNames.empty()) {
        const size_t groups = e.Open("3gri", "LIST", "3gri");
        const size_t names = e.Open("3gri/3gnl", "LIST", "3gnl");
        for (size_t g = 0; g < groupNames.size(); ++g) {
            Bytes name;
            PutFixedName(name, groupNames[g], kGroupNameWidth);
            e.Chunk("3gri/3gnl/3gnm" + std::to_string(g), "3gnm", name);
        }
        e.Close(names);
        e.Close(groups);
    }

    // The pool table: cbSize, cue count, then each wave's offset from the start of the pool's data.
    Bytes table;
    PutU32(table, 8);
    PutU32(table, static_cast<uint32_t>(waves.size()));
    table.resize(8 + 4 * waves.size());
    const size_t ptbl = e.out.size();
    e.Chunk("ptbl", "ptbl", table);

    const size_t pool = e.Open("wvpl", "LIST", "wvpl");
    for (size_t w = 0; w < waves.size(); ++w) {
        PatchU32(e.out, ptbl + 16 + 4 * w, static_cast<uint32_t>(e.out.size() - (pool + 12)));
        EmitWave(e, "wvpl/wave" + std::to_string(w), waves[w]);
    }
    e.Close(pool);
    e.Close(form);
    return e.out;
}

DlsReading ReadDlsBytes(const Bytes& bytes, bool readUnmappedRegions) {
    TempDir dir;
    const std::string path = dir.Write("bank.gig", bytes);
    DlsReading reading;
    reading.bank.SourceFormat = SourceFormat::Dls;
    InputFile file(path);
    BuildDlsImage(reading.bank, reading.dls, file, reading.notes);
    ReadDlsWavePool(reading.bank, reading.dls, reading.unsupported);
    ReadDlsInstruments(reading.bank, reading.dls, readUnmappedRegions, reading.unsupported);
    return reading;
}

} // namespace quorvane::test
