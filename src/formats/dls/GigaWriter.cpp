#include "formats/dls/GigaWriter.h"

#include <algorithm>
#include <bit>

#include "convert/SampleFetch.h"
#include "core/StringPrintf.h"
#include "formats/common/ByteWriter.h"
#include "formats/common/Bytes.h"
#include "formats/common/OutputFile.h"
#include "formats/common/OutputNames.h"
#include "formats/common/WriteMessages.h"
#include "formats/dls/GigaArticulation.h"
#include "formats/dls/GigaKeyGrid.h"
#include "model/AttributeList.h"
#include "model/NoteNames.h"

namespace quorvane {

namespace {

constexpr uint32_t kNotWritten = 0xFFFFFFFFu;
constexpr int kMaxDimensionRegions = 32;
constexpr int kMaxLayerSplits = 8;
constexpr uint32_t kNullSampleBytes = 128;
constexpr const char* kNullSampleName = "null_sample";
constexpr size_t kInfoTextWidth = 128;

uint32_t RoundUpToPowerOfTwo(uint32_t n) {
    return n <= 1 ? 1 : std::bit_ceil(n);
}
uint32_t Log2(uint32_t powerOfTwo) {
    return static_cast<uint32_t>(std::countr_zero(powerOfTwo));
}

// The "wsmp" of a dimension region.
struct WaveSample {
    uint16_t unityNote = 60;
    int16_t fineTune = 0;
    uint32_t attenuation = 0; // lAttenuation: the gain in its high 16 bits
    uint32_t loopCount = 0;
    uint32_t loopStart = 0;
    uint32_t loopLength = 0;

    void Write(ByteWriter& out) const {
        out.Chunk("wsmp", 36);
        out.U32(20);
        out.U16(unityNote);
        out.U16(static_cast<uint16_t>(fineTune));
        out.U32(attenuation);
        out.U32(0); // options
        out.U32(loopCount);
        out.U32(16);
        out.U32(0); // loop type: forward
        out.U32(loopStart);
        out.U32(loopLength);
    }
};

struct DimensionRegion {
    uint32_t poolIndex = kNotWritten;
    WaveSample wave;
    EwaBytes articulation{};
};

class GigaWriter {
  public:
    GigaWriter(Workspace& workspace, int mode)
        : workspace_(workspace), bank_(workspace.bank), host_(workspace.host), state_(workspace.writer),
          mode_(mode), giga_(bank_.SourceFormat == kDlsSource && bank_.DlsFlavour == 2) {}

    OutputFile& Output() { return out_; }

    bool Run(uint32_t entry) {
        uint32_t presets = 0;
        for (uint32_t slot = 1; slot <= bank_.PresetCount; ++slot)
            presets += bank_.PresetTable[slot].selected != 0;
        selectedPresets_ = presets;

        FillInfoDefaults(entry);
        ByteWriter header;
        header.FourCC("RIFF");
        header.U32(0); // patched when the file is complete
        header.FourCC("DLS ");
        WriteInfo(header);
        header.Chunk("vers", 8);
        header.U32(0x00010000);
        header.U32(0);
        header.Chunk("colh", 4);
        header.U32(presets);
        header.Chunk("dlid", 16);
        header.Bytes(state_.fileId.data(), state_.fileId.size());
        if (!Write(header))
            return false;

        PrepareModel();
        const uint64_t instrumentList = out_.Position();
        if (!out_.WriteText("LIST----lins"))
            return false;
        uint32_t done = 0;
        for (uint32_t slot = 1; slot <= bank_.PresetCount; ++slot) {
            if (!bank_.PresetTable[slot].selected)
                continue;
            if (!WriteInstrument(bank_.PresetTable[slot]))
                return false;
            ++done;
            host_.SetOverallProgress(state_.progressBase + static_cast<int>(int64_t{state_.progressSpan} *
                                                                            done / std::max(presets, 1u)));
        }
        if (!PatchListSize(instrumentList))
            return false;
        return WriteWavePool() && out_.PatchU32(4, static_cast<uint32_t>(out_.Position() - 8));
    }

  private:
    bool Write(const ByteWriter& bytes) { return out_.Write(bytes.bytes.data(), bytes.Size()); }
    bool PatchListSize(uint64_t listStart) {
        return out_.PatchU32(listStart + 4, static_cast<uint32_t>(out_.Position() - listStart - 8));
    }

    void FillInfoDefaults(uint32_t entry) {
        auto info = [&](const char* tag) -> std::string& { return bank_.BankInfo[BankInfoSlotOf(tag)]; };
        if (info("ICRD").empty())
            info("ICRD") = CreationDateText();
        if (info("ISFT").empty())
            info("ISFT") = "Quorvane v1.1";
        if (bank_.SourceFormat == kSoundFontSource)
            info("INAM").clear();
        if (info("INAM").empty()) {
            const uint32_t current = workspace_.selection.currentPreset;
            const auto& list = workspace_.loader.fileList;
            if (mode_ == 1 && selectedPresets_ == 1 && bank_.IsValidSlot(current))
                info("INAM") = bank_.PresetTable[current].name;
            else
                info("INAM") = entry < list.size() ? list[entry].text : std::string();
        }
        if (bank_.SourceFormat == kAkaiSource && info("IENG").empty())
            info("IENG") = "Akai";
    }

    // The INFO list of fixed-size texts: 256 blanks of archival location, then every tag in its field.
    void WriteInfo(ByteWriter& out) {
        out.List(3340, "INFO");
        out.Chunk("IARL", 256);
        for (int i = 0; i < 256; ++i)
            out.U8(' ');
        for (int slot = 1; slot < kSoundEngineSlot; ++slot) {
            const char* tag = BankInfoTag(slot);
            const size_t width = std::string(tag) == "ICMT" ? 1024 : kInfoTextWidth;
            out.Chunk(tag, static_cast<uint32_t>(width));
            out.Text(bank_.BankInfo[slot].substr(0, kInfoTextWidth - 1), width);
        }
    }

    void PrepareModel() {
        uint32_t next = 0;
        for (uint32_t s = 0; s < bank_.SampleCount; ++s) {
            SampleRecord& sample = bank_.SampleTable[s];
            sample.outputIndex = sample.selected ? next++ : kNotWritten;
        }
        selectedSamples_ = next;
        if (bank_.SourceFormat == kAkaiSource) {
            host_.AddStatusLine("Reading sample information ...");
            bank_.TakeSampleLoops(true);
            ApplyEdits(bank_, workspace_.attributes.EditAttributes, kApplyForGigaWriter);
        }
        if (bank_.SourceFormat == kSoundFontSource)
            FlattenGlobals();
    }

    // GigaSampler has no global zones: what a global layer or zone gives goes into its siblings.
    void FlattenGlobals() {
        auto spread = [](GeneratorSet& global, GeneratorSet& other) {
            for (int g = 0; g < 60; ++g)
                if (global.IsSet(g) && !other.IsSet(g))
                    other.Set(g, global.generators[g]);
        };
        auto clear = [](GeneratorSet& global) {
            for (int g = 0; g < 60; ++g)
                global.Clear(g);
        };
        for (uint32_t slot = 1; slot <= bank_.PresetCount; ++slot) {
            const HexIndexList& layers = bank_.PresetTable[slot].layerList;
            for (uint16_t g : layers) {
                if (!bank_.IsValidLayer(g) || !bank_.LayerTable[g].isGlobal)
                    continue;
                for (uint16_t l : layers)
                    if (bank_.IsValidLayer(l) && !bank_.LayerTable[l].isGlobal)
                        spread(bank_.LayerTable[g], bank_.LayerTable[l]);
                clear(bank_.LayerTable[g]);
            }
        }
        for (uint32_t l = 0; l < bank_.LayerCount; ++l) {
            const HexIndexList& zones = bank_.LayerTable[l].zoneList;
            for (uint16_t g : zones) {
                if (!bank_.IsValidZone(g) || !bank_.ZoneTable[g].isGlobal)
                    continue;
                for (uint16_t z : zones)
                    if (bank_.IsValidZone(z) && !bank_.ZoneTable[z].isGlobal)
                        spread(bank_.ZoneTable[g], bank_.ZoneTable[z]);
                clear(bank_.ZoneTable[g]);
            }
        }
    }

    // A fine tune that every layer of the preset shares becomes the instrument's.
    int16_t MoveSharedFineTune(const PresetRecord& preset) {
        std::optional<int16_t> shared;
        bool same = true;
        for (uint16_t l : preset.layerList) {
            if (!bank_.IsValidLayer(l))
                continue;
            const LayerRecord& layer = bank_.LayerTable[l];
            const int16_t fine = layer.IsSet(52) ? layer.generators[52] : 0;
            same = same && (!shared || *shared == fine);
            shared = fine;
        }
        if (!same || !shared || *shared == 0)
            return 0;
        for (uint16_t l : preset.layerList)
            if (bank_.IsValidLayer(l))
                bank_.LayerTable[l].Clear(52);
        return *shared;
    }

    bool WriteInstrument(PresetRecord& preset) {
        ++state_.instrumentCounter;
        host_.AddStatusLine(
            StringPrintf("Saving instrument %u  '%s'", state_.instrumentCounter, preset.name.c_str()));
        if (!giga_) {
            preset.instrumentGlobals.fill(0);
            preset.instrumentGlobals[8] = 2; // pitch bend range
        }
        const int16_t fineTune = MoveSharedFineTune(preset);
        preset.instrumentGlobals[6] = static_cast<uint8_t>(fineTune);
        preset.instrumentGlobals[7] = static_cast<uint8_t>(static_cast<uint16_t>(fineTune) >> 8);

        grid_.Rebuild(bank_, preset);
        const KeyGrid& grid = grid_;
        const std::vector<KeyRegion> regions = grid.Regions();

        const uint64_t instrument = out_.Position();
        ByteWriter head;
        head.List(0, "ins ");
        head.List(96, "INFO");
        head.Chunk("INAM", 64);
        head.Text(preset.name, 64);
        head.Chunk("ISFT", 12);
        head.Text("Pellaquinter", 12);
        head.Chunk("dlid", 16);
        head.Bytes(state_.instrumentId.data(), state_.instrumentId.size());
        WriteU32LE(state_.instrumentId.data(), ReadU32LE(state_.instrumentId.data()) + 1);
        head.Chunk("insh", 12);
        head.U32(static_cast<uint32_t>(regions.size()));
        head.U32(preset.bank | (preset.isDrum ? 0x80000000u : 0));
        head.U32(preset.program);
        if (!Write(head))
            return false;

        if (!regions.empty()) {
            const uint64_t regionList = out_.Position();
            if (!out_.WriteText("LIST----lrgn"))
                return false;
            for (const KeyRegion& region : regions) {
                if (!WriteRegion(grid, region))
                    return false;
                host_.PumpEvents(4);
            }
            if (!PatchListSize(regionList))
                return false;
        }

        ByteWriter articulation;
        articulation.List(24, "lart");
        articulation.Chunk("3ewg", 12);
        for (int i = 0; i < 12; ++i)
            articulation.U8(static_cast<uint8_t>(preset.instrumentGlobals[i]));
        if (!giga_) {
            articulation.bytes[articulation.Size() - 2] = 0; // dimension key range 0..127
            articulation.bytes[articulation.Size() - 1] = 127;
        }
        return Write(articulation) && PatchListSize(instrument);
    }

    // The values of one dimension region from its grid item; a velocity gap or a missing item plays the
    // null sample.
    DimensionRegion DimensionRegionOf(const GridItem* item, int firstKey) {
        DimensionRegion d;
        static const EwaBytes kDefault = DefaultDimensionArticulation();
        d.articulation = kDefault;
        const uint8_t velocityTop = item ? item->velocityHigh : 127;
        if (item && !item->IsNull() && bank_.IsValidLayer(item->layer) && bank_.IsValidZone(item->zone)) {
            const LayerRecord& layer = bank_.LayerTable[item->layer];
            const ZoneRecord& zone = bank_.ZoneTable[item->zone];
            const SampleRecord* sample =
                bank_.IsValidSample(zone.sampleIndex) ? &bank_.SampleTable[zone.sampleIndex] : nullptr;
            if (sample)
                d.poolIndex = sample->outputIndex;
            d.wave.unityNote = static_cast<uint16_t>(zone.IsSet(gen::overridingRootKey)
                                                         ? zone.generators[gen::overridingRootKey]
                                                     : sample ? sample->rootKey
                                                              : 60);
            auto given = [](const GeneratorSet& set, int number) {
                return set.IsSet(number) ? set.generators[number] : 0;
            };
            d.wave.fineTune = static_cast<int16_t>(given(zone, 52) + 100 * given(zone, 51) +
                                                   given(layer, 52) + 100 * given(layer, 51));
            const int attenuation = std::clamp(given(zone, 48) + given(layer, 48), 0, 1440);
            if (attenuation != 0)
                d.wave.attenuation = static_cast<uint32_t>(RoundCents(attenuation * 0.38 - 0.6)) << 16;
            const int modes = zone.IsSet(gen::sampleModes) ? zone.generators[gen::sampleModes] : 0;
            d.wave.loopCount = modes == 1 || modes == 3 ? 1 : 0;
            d.wave.loopStart = zone.loopStart;
            d.wave.loopLength = zone.loopEnd > zone.loopStart ? zone.loopEnd - zone.loopStart : 1;
            if (giga_) {
                for (size_t w = 0; w < kEwaKeptBytes / 2; ++w)
                    WriteU16LE(d.articulation.data() + 2 * w, zone.rawArticulation[w]);
            } else {
                d.articulation = BuildArticulation(bank_, layer, zone);
            }
        } else if (bank_.SampleCount > 0) {
            d.poolIndex = selectedSamples_;
            d.wave.unityNote = static_cast<uint16_t>(firstKey);
            if (!state_.nullSamplePending && !nullSampleUsed_) {
                state_.nullSamplePending = true;
                state_.nullSampleIndex = bank_.SampleCount;
            }
            nullSampleUsed_ = true;
        }
        d.articulation[124] = velocityTop == 0 ? 1 : velocityTop;
        return d;
    }

    bool WriteRegion(const KeyGrid& grid, const KeyRegion& region) {
        const GridRow& row = grid.Row(region.low);
        uint32_t filledSlots = 0, mostItems = 0;
        for (const GridSlot& slot : row) {
            if (slot.empty())
                continue;
            ++filledSlots;
            mostItems = std::max<uint32_t>(mostItems, static_cast<uint32_t>(slot.size()));
        }
        uint32_t layerSplits = RoundUpToPowerOfTwo(filledSlots);
        const uint32_t velocitySplits =
            std::min<uint32_t>(RoundUpToPowerOfTwo(mostItems), kMaxDimensionRegions);
        if (layerSplits > kMaxDimensionRegions / velocitySplits) {
            const int offset = workspace_.settings.MiddleCOffset;
            host_.AddStatusLine(StringPrintf("!WARNING Too many layer splits in region [%s - %s].",
                                             NoteName(region.low, offset).c_str(),
                                             NoteName(region.high, offset).c_str()));
            host_.PumpEvents(500);
            layerSplits = kMaxDimensionRegions / velocitySplits;
        }
        layerSplits = std::min<uint32_t>(layerSplits, kMaxLayerSplits);
        const uint32_t count = layerSplits * velocitySplits;

        std::vector<DimensionRegion>& dimensionRegions = dimensionRegions_;
        dimensionRegions.resize(count);
        for (uint32_t v = 0; v < velocitySplits; ++v) {
            for (uint32_t l = 0; l < layerSplits; ++l) {
                const GridSlot& slot = row[l];
                const GridItem* item = v < slot.size() ? &slot[v] : nullptr;
                dimensionRegions[v * layerSplits + l] = DimensionRegionOf(item, region.low);
            }
        }
        uint32_t tableIndex = 0;
        if (!row[0].empty() && !row[0][0].IsNull() && bank_.IsValidZone(row[0][0].zone)) {
            const ZoneRecord& zone = bank_.ZoneTable[row[0][0].zone];
            if (bank_.IsValidSample(zone.sampleIndex))
                tableIndex = bank_.SampleTable[zone.sampleIndex].outputIndex;
        }

        ByteWriter& out = regionBytes_;
        out.bytes.clear();
        out.List(204 * count + 310, "rgn ");
        out.Chunk("rgnh", 12);
        for (uint16_t word : {uint16_t{region.low}, uint16_t{region.high}, uint16_t{0}, uint16_t{127},
                              uint16_t{1}, uint16_t{0}})
            out.U16(word);
        dimensionRegions[0].wave.Write(out);
        out.Chunk("wlnk", 12);
        out.U16(0);
        out.U16(0);
        out.U32(0);
        out.U32(tableIndex);

        out.Chunk("3lnk", 172);
        out.U32(count);
        size_t definitions = 0;
        const uint8_t layerBits = static_cast<uint8_t>(Log2(layerSplits));
        if (layerSplits >= 2) {
            for (uint8_t b : {uint8_t{0x81}, layerBits, uint8_t{0}, static_cast<uint8_t>(layerSplits - 1)})
                out.U8(b);
            out.Zeros(4);
            ++definitions;
        }
        if (velocitySplits >= 2) {
            for (uint8_t b : {uint8_t{0x82}, static_cast<uint8_t>(Log2(velocitySplits)), layerBits,
                              static_cast<uint8_t>(count - layerSplits)})
                out.U8(b);
            out.Zeros(4);
            ++definitions;
        }
        out.Zeros(8 * (5 - definitions));
        for (uint32_t i = 0; i < kMaxDimensionRegions; ++i)
            out.U32(i < count ? dimensionRegions[i].poolIndex : kNotWritten);

        out.List(204 * count + 4, "3prg");
        for (const DimensionRegion& d : dimensionRegions) {
            out.List(196, "3ewl");
            d.wave.Write(out);
            out.Chunk("3ewa", 140);
            out.Bytes(d.articulation.data(), d.articulation.size());
        }
        out.List(4, "3dnl");
        out.Chunk("3ddp", 10);
        out.U16(layerSplits >= 2 ? 0 : 0xFFFF);
        for (int i = 0; i < 4; ++i)
            out.U16(0xFFFF);
        return Write(out);
    }

    bool WriteWavePool() {
        const std::vector<std::string>& groups = workspace_.dls.SampleGroupNames;
        const bool ownGroups = bank_.SourceFormat == kDlsSource && !groups.empty();
        const uint32_t groupCount = ownGroups ? static_cast<uint32_t>(groups.size()) : 1;
        ByteWriter groupList;
        groupList.List(72 * groupCount + 16, "3gri");
        groupList.List(72 * groupCount + 4, "3gnl");
        for (uint32_t g = 0; g < groupCount; ++g) {
            groupList.Chunk("3gnm", 64);
            groupList.Text(ownGroups ? groups[g] : std::string("Default Sample Group"), 64);
        }
        if (!Write(groupList))
            return false;

        if (state_.nullSamplePending && bank_.SampleCount > 0 && bank_.SampleTable.size() < 0xFFFF) {
            SampleRecord null;
            null.name = null.fullName = kNullSampleName;
            null.dataOffset = 0;
            null.dataLength = 1024;
            null.sampleRate = 44100;
            null.rootKey = 60;
            null.sampleType = 0;
            null.selected = nullSampleUsed_;
            null.outputIndex = selectedSamples_;
            state_.nullSampleIndex = static_cast<uint32_t>(bank_.SampleTable.size());
            bank_.SampleTable.push_back(std::move(null));
            bank_.SampleCount = static_cast<uint16_t>(bank_.SampleTable.size());
            state_.nullSamplePending = false;
        }

        std::vector<uint32_t> written;
        for (uint32_t s = 0; s < bank_.SampleCount; ++s)
            if (bank_.SampleTable[s].selected)
                written.push_back(s);
        const uint32_t n = static_cast<uint32_t>(written.size());
        host_.AddStatusLine("Updating wavepool table ...");
        const uint64_t poolTable = out_.Position();
        ByteWriter table;
        table.Chunk("ptbl", 4 * n + 8);
        table.U32(8);
        table.U32(n);
        table.Zeros(4 * size_t{n});
        if (!Write(table))
            return false;

        const uint64_t pool = out_.Position();
        if (!out_.WriteText("LIST----wvpl"))
            return false;
        SampleBuffers& buffers = workspace_.samples;
        uint32_t done = 0;
        for (uint32_t s : written) {
            SampleRecord& sample = bank_.SampleTable[s];
            host_.AddStatusLine(StringPrintf("Copying sample %u  '%s'", s + 1, sample.fullName.c_str()));
            buffers.ScsiReadErrors = 0;
            const bool null = sample.fullName == kNullSampleName && sample.dataOffset == 0;
            FrameVector silence;
            const FrameVector* frames = &silence;
            uint32_t length = 0;
            std::optional<StoredFrames> stored;
            if (null) {
                silence.assign(kNullSampleBytes / 2, 0);
                length = kNullSampleBytes;
            } else if ((stored = StoredExportFrames(workspace_, s))) {
                length = stored->length;
            } else {
                LoadSampleForExport(workspace_, s, true);
                frames = &buffers.ExportLeft.frames;
                length = buffers.ExportLeft.length;
            }
            if (buffers.ScsiReadErrors != 0) {
                if (host_.StatusLineCount() == 0)
                    host_.AddStatusLine("ERROR!");
                host_.ReplaceLastStatusLine(
                    StringPrintf("ERROR! Reading sample %u  '%s'", s + 1, sample.fullName.c_str()));
            }
            sample.outputOffset = static_cast<uint32_t>(out_.Position());
            const bool ok = WriteWave(sample, stored ? nullptr : frames->data(), length, stored);
            buffers.FreeExport();
            if (!ok)
                return false;
            ++done;
            host_.SetFileProgress(static_cast<int>(uint64_t{done} * 1000 / std::max(n, 1u)));
            host_.PumpEvents(4);
        }
        if (!PatchListSize(pool))
            return false;
        ByteWriter offsets;
        for (uint32_t s : written) {
            const SampleRecord& sample = bank_.SampleTable[s];
            offsets.U32(sample.outputOffset == 0 ? 0
                                                 : static_cast<uint32_t>(sample.outputOffset - (pool + 12)));
        }
        return out_.PatchBytes(poolTable + 16, offsets.bytes.data(), offsets.Size());
    }

    // One wave: its frames from memory, or copied from where they lie in the source file.
    bool WriteWave(const SampleRecord& sample, const int16_t* frames, uint32_t length,
                   const std::optional<StoredFrames>& stored) {
        ByteWriter head;
        head.List(length + 200, "wave");
        head.Chunk("fmt ", 16);
        head.U16(1);
        head.U16(1);
        head.U32(sample.sampleRate);
        head.U32(2 * sample.sampleRate);
        head.U16(2);
        head.U16(16);
        head.List(76, "INFO");
        head.Chunk("INAM", 64);
        head.Text(sample.fullName, 64);
        head.Chunk("data", length);
        ByteWriter tail;
        tail.Chunk("smpl", 60);
        tail.U32(0);
        tail.U32(0);
        tail.U32(22676);
        tail.U32(sample.rootKey);
        tail.U32(static_cast<uint32_t>((sample.pitchCorrection % 50) * 42949673));
        tail.U32(0);
        tail.U32(0);
        tail.U32(sample.looped ? 1 : 0);
        tail.U32(0);
        tail.U32(0); // cue
        tail.U32(0); // type
        tail.U32(sample.loopStart);
        tail.U32(sample.loopEnd - 1);
        tail.U32(0);
        tail.U32(0);
        tail.Chunk("3gix", 4);
        tail.U16(static_cast<uint16_t>(sample.sampleGroup));
        tail.U16(0);
        if (!Write(head))
            return false;
        const bool data =
            stored ? out_.AppendFrom(*stored->file, stored->offset, length) : out_.Write(frames, length);
        return data && Write(tail);
    }

    Workspace& workspace_;
    BankModel& bank_;
    Host& host_;
    WriterState& state_;
    int mode_;
    bool giga_;
    OutputFile out_;
    uint32_t selectedPresets_ = 0;
    uint32_t selectedSamples_ = 0;
    bool nullSampleUsed_ = false;
    // Reused from one instrument and region to the next, so that their memory is allocated once.
    KeyGrid grid_;
    std::vector<DimensionRegion> dimensionRegions_;
    ByteWriter regionBytes_;
};

} // namespace

GigaWriteResult WriteGigaFile(Workspace& workspace, uint32_t entry, const std::string& outputPath, int mode) {
    Host& host = workspace.host;
    GigaWriteResult result;
    result.path = FreeOutputName(outputPath, workspace.loader.currentFileName, "gig");
    GigaWriter writer(workspace, mode);
    OutputFile& out = writer.Output();
    if (!out.Create(result.path)) {
        ReportCannotWrite(host, result.path, true, false);
        return result;
    }
    if (!writer.Run(entry) || !out.Commit()) {
        out.Discard();
        ReportCannotWrite(host, result.path, false, false);
        return result;
    }
    result.size = out.Position();
    result.written = true;
    workspace.writer.LastWrittenSize = static_cast<uint32_t>(std::min<uint64_t>(result.size, UINT32_MAX));
    ReportSaved(host, result.path, result.size);
    return result;
}

} // namespace quorvane
