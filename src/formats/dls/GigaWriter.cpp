#include "formats/dls/GigaWriter.h"

#include <libdeflate.h>

#include <algorithm>
#include <array>
#include <bit>
#include <optional>

#include "core/StringPrintf.h"
#include "formats/akai/AkaiVolumes.h"
#include "formats/common/ByteWriter.h"
#include "formats/common/Bytes.h"
#include "formats/common/OutputFile.h"
#include "formats/common/OutputNames.h"
#include "formats/common/SamplerPitch.h"
#include "formats/common/WriteMessages.h"
#include "formats/dls/GigaArticulation.h"
#include "formats/dls/GigaKeyGrid.h"
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
    GigaWriter(const BankModel& bank, const WriteSelection& selection, SampleSource& samples, Host& host,
               GigaRunState& state, const GigaWriteOptions& options)
        : bank_(bank), selection_(selection), samples_(samples), host_(host), state_(state),
          options_(options),
          giga_(bank_.SourceFormat == SourceFormat::Dls && bank_.DlsFlavour == DlsFlavour::GigaSampler) {}

    // The pool index of every sample; kNotWritten for those not in the file.
    const std::vector<uint32_t>& PoolIndices() const { return poolIndex_; }

    OutputFile& Output() { return out_; }
    // Cancel stopped the write: the instruments and samples after it are left out, as CutShort documents.
    bool CutShort() const { return cutShort_; }
    uint32_t UnreadableSamples() const { return unreadableSamples_; }

    bool Run() {
        uint32_t presets = 0;
        for (uint32_t slot = 1; slot <= bank_.PresetCount; ++slot)
            presets += selection_.HasPreset(slot);
        selectedPresets_ = presets;

        FillInfoDefaults();
        ByteWriter header;
        header.FourCC("RIFF");
        header.U32(0); // patched when the file is complete
        header.FourCC("DLS ");
        WriteInfo(header);
        header.Chunk("vers", 8);
        header.U32(0x00010000);
        header.U32(0);
        header.Chunk("colh", 4);
        const uint64_t instrumentCountAt = header.Size();
        header.U32(presets);
        header.Chunk("dlid", 16);
        header.Bytes(state_.fileId.data(), state_.fileId.size());
        if (!Write(header))
            return false;

        NumberPoolSamples();
        const uint64_t instrumentList = out_.Position();
        if (!out_.WriteText("LIST----lins"))
            return false;
        uint32_t done = 0;
        for (uint32_t slot = 1; slot <= bank_.PresetCount; ++slot) {
            if (!selection_.HasPreset(slot))
                continue;
            if (Cancelled())
                break;
            if (!WriteInstrument(bank_.PresetTable[slot]))
                return false;
            ++done;
            host_.SetOverallProgress(options_.progress.At(done, presets));
        }
        if (interrupted_ || !PatchListSize(instrumentList) ||
            (done != presets && !out_.PatchU32(instrumentCountAt, done)))
            return false;
        return WriteWavePool() && out_.PatchU32(4, static_cast<uint32_t>(out_.Position() - 8));
    }

  private:
    // Whether to stop before the next instrument or sample. An interrupt abandons the file (the write
    // fails); Cancel keeps a valid bank of what was written: the instruments before it, and in place of
    // each sample after it a short silent wave, since the instruments already name every pool entry.
    bool Cancelled() {
        if (!cutShort_ && host_.CancelRequested()) {
            interrupted_ = host_.InterruptRequested();
            cutShort_ = true;
        }
        return cutShort_;
    }

    bool Write(const ByteWriter& bytes) { return out_.Write(bytes.bytes.data(), bytes.Size()); }
    bool PatchListSize(uint64_t listStart) {
        return out_.PatchU32(listStart + 4, static_cast<uint32_t>(out_.Position() - listStart - 8));
    }

    void FillInfoDefaults() {
        info_ = bank_.BankInfo;
        auto info = [&](const char* tag) -> std::string& { return info_[BankInfoSlotOf(tag)]; };
        if (info("ICRD").empty())
            info("ICRD") = CreationDateText();
        if (info("ISFT").empty())
            info("ISFT") = "Quorvane v1.1";
        if (bank_.SourceFormat == SourceFormat::SoundFont)
            info("INAM").clear();
        if (info("INAM").empty()) {
            const uint32_t current = options_.namingPreset;
            if (options_.naming == BankNaming::Preset && selectedPresets_ == 1 && bank_.IsValidSlot(current))
                info("INAM") = bank_.PresetTable[current].name;
            else
                info("INAM") = options_.bankName;
        }
        if (bank_.SourceFormat == SourceFormat::Akai && info("IENG").empty())
            info("IENG") = AkaiEngineer(options_.akaiVolumeType);
    }

    // The INFO list of fixed-size texts: 256 blanks of archival location, then every tag in its field.
    void WriteInfo(ByteWriter& out) {
        out.List(3340, "INFO");
        out.Chunk("IARL", 256);
        for (int i = 0; i < 256; ++i)
            out.U8(' ');
        for (int slot = 1; slot < kSoundEngineSlot; ++slot) {
            const char* tag = BankInfoTag(slot);
            // The comment's field is wider than the others; it holds as much of the text as it can.
            const size_t width = std::string(tag) == "ICMT" ? 1024 : kInfoTextWidth;
            out.Chunk(tag, static_cast<uint32_t>(width));
            out.Text(info_[slot].substr(0, width - 1), width);
        }
    }

    void NumberPoolSamples() {
        uint32_t next = 0;
        poolIndex_.assign(bank_.SampleCount, kNotWritten);
        for (uint32_t s = 0; s < bank_.SampleCount; ++s)
            if (selection_.HasSample(s))
                poolIndex_[s] = next++;
        selectedSamples_ = next;
    }

    bool WriteInstrument(const PresetRecord& preset) {
        ++state_.instrumentCounter;
        host_.AddStatusLine(
            StringPrintf("Saving instrument %u  '%s'", state_.instrumentCounter, preset.name.c_str()));

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
        // ulBank: MSB in bits 8..14, LSB in bits 0..6, drum in bit 31.
        const uint32_t midiBank = MidiBankNumber(preset);
        head.U32((midiBank >> 7) << 8 | (midiBank & 0x7F) | (preset.isDrum ? 0x80000000u : 0));
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
                host_.PumpEvents();
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
                d.poolIndex = poolIndex_[zone.sampleIndex];
            d.wave.unityNote = static_cast<uint16_t>(zone.IsSet(gen::overridingRootKey)
                                                         ? zone.generators[gen::overridingRootKey]
                                                     : sample ? sample->rootKey
                                                              : 60);
            auto given = [](const GeneratorSet& set, int number) {
                return set.IsSet(number) ? set.generators[number] : 0;
            };
            // Players tune by the dimension region alone, so the sample's own correction is carried here too.
            d.wave.fineTune =
                static_cast<int16_t>(given(zone, gen::fineTune) + 100 * given(zone, gen::coarseTune) +
                                     given(layer, gen::fineTune) + 100 * given(layer, gen::coarseTune) +
                                     (sample ? sample->pitchCorrection : 0));
            const int attenuation = std::clamp(
                given(zone, gen::initialAttenuation) + given(layer, gen::initialAttenuation), 0, 1440);
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
            nullSampleUsed_ = true;
        }
        // The top of the region's velocity range, 0 included: a filler for velocity 0 alone must not take
        // velocity 1 from the region above it.
        d.articulation[124] = velocityTop;
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
            const int offset = options_.middleCOffset;
            host_.AddStatusLine(StringPrintf("!WARNING Too many layer splits in region [%s - %s].",
                                             NoteName(region.low, offset).c_str(),
                                             NoteName(region.high, offset).c_str()));
            host_.PumpEvents();
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
                tableIndex = poolIndex_[zone.sampleIndex];
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
        const std::vector<std::string>& groups = options_.sampleGroupNames;
        const bool ownGroups = bank_.SourceFormat == SourceFormat::Dls && !groups.empty();
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

        // Every selected sample in table order, then the silent sample when a velocity gap needs it; it
        // takes the number after the bank's samples.
        std::vector<uint32_t> written;
        for (uint32_t s = 0; s < bank_.SampleCount; ++s)
            if (selection_.HasSample(s))
                written.push_back(s);
        const bool withNull = nullSampleUsed_ && bank_.SampleTable.size() < 0xFFFF;
        const uint32_t nullNumber = bank_.SampleCount;
        if (withNull)
            written.push_back(nullNumber);
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
        const SampleRecord nullSample = NullSample();
        ByteWriter offsets;
        FrameBuffer left, right;
        uint32_t done = 0;
        for (uint32_t s : written) {
            const bool skipped = Cancelled();
            if (interrupted_)
                return false;
            const bool isNullEntry = skipped || (withNull && s == nullNumber);
            const SampleRecord& sample = isNullEntry ? nullSample : bank_.SampleTable[s];
            if (!skipped)
                host_.AddStatusLine(StringPrintf("Copying sample %u  '%s'", s + 1, sample.fullName.c_str()));
            const bool null = sample.fullName == kNullSampleName && sample.dataOffset == 0;
            FrameVector silence;
            const FrameVector* frames = &silence;
            uint32_t length = 0;
            uint32_t readErrors = 0;
            std::optional<StoredFrames> stored;
            if (null) {
                silence.assign(kNullSampleBytes / 2, 0);
                length = kNullSampleBytes;
            } else if ((stored = samples_.Stored(s))) {
                length = stored->length;
                readErrors = stored->readErrors;
            } else {
                readErrors = samples_.Fetch(s, {left, right}, false).readErrors;
                frames = &left.frames;
                length = left.length;
            }
            if (readErrors != 0) {
                ++unreadableSamples_;
                if (host_.StatusLineCount() == 0)
                    host_.AddStatusLine("ERROR!");
                host_.ReplaceLastStatusLine(
                    StringPrintf("ERROR! Reading sample %u  '%s'", s + 1, sample.fullName.c_str()));
            }
            offsets.U32(static_cast<uint32_t>(out_.Position() - (pool + 12)));
            const bool ok = WriteWave(sample, stored ? nullptr : frames->data(), length, stored);
            left.Free();
            right.Free();
            if (!ok)
                return false;
            ++done;
            host_.SetFileProgress(static_cast<int>(uint64_t{done} * 1000 / std::max(n, 1u)));
            host_.PumpEvents();
        }
        if (!PatchListSize(pool) || !out_.PatchBytes(poolTable + 16, offsets.bytes.data(), offsets.Size()))
            return false;
        return WriteChecksums();
    }

    // The checksum table players and libgig verify the waves against: for every wave of the pool, in pool
    // order, a flag (1: the checksum is set) and the CRC-32 of its data chunk's bytes.
    bool WriteChecksums() {
        ByteWriter table;
        table.Chunk("3crc", static_cast<uint32_t>(8 * waveChecksums_.size()));
        for (uint32_t crc : waveChecksums_) {
            table.U32(1);
            table.U32(crc);
        }
        return Write(table);
    }

    static SampleRecord NullSample() {
        SampleRecord null;
        null.name = null.fullName = kNullSampleName;
        null.dataOffset = 0;
        null.dataLength = 1024;
        null.sampleRate = 44100;
        null.rootKey = 60;
        null.sampleType = 0;
        return null;
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
        // As in any RIFF sampler chunk: the pitch the wave sounds at, whole (a correction of any size).
        const SamplerPitch pitch = SamplerPitchOf(sample.rootKey, sample.pitchCorrection);
        tail.U32(pitch.unityNote);
        tail.U32(pitch.fraction);
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
        // Every wave's CRC-32 goes into the checksum table, so the frames pass through memory once on
        // their way from the source (not spliced, which would need a second read for the checksum).
        uint32_t crc = 0;
        auto checksum = [&crc](const uint8_t* bytes, size_t count) {
            crc = libdeflate_crc32(crc, bytes, count);
        };
        bool data = false;
        if (stored) {
            data = out_.AppendThrough(*stored->file, stored->offset, length, checksum);
        } else {
            checksum(reinterpret_cast<const uint8_t*>(frames), length);
            data = out_.Write(frames, length);
        }
        waveChecksums_.push_back(crc);
        return data && Write(tail);
    }

    const BankModel& bank_;
    const WriteSelection& selection_;
    SampleSource& samples_;
    Host& host_;
    GigaRunState& state_;
    const GigaWriteOptions& options_;
    bool giga_;
    OutputFile out_;
    std::array<std::string, kBankInfoSlots> info_;
    std::vector<uint32_t> poolIndex_;
    std::vector<uint32_t> waveChecksums_; // CRC-32 of each wave's data, in pool order
    uint32_t selectedPresets_ = 0;
    uint32_t selectedSamples_ = 0;
    bool nullSampleUsed_ = false;
    bool cutShort_ = false;
    bool interrupted_ = false;
    uint32_t unreadableSamples_ = 0;
    // Reused from one instrument and region to the next, so that their memory is allocated once.
    KeyGrid grid_;
    std::vector<DimensionRegion> dimensionRegions_;
    ByteWriter regionBytes_;
};

} // namespace

GigaWriteResult WriteGigaBank(const BankModel& bank, const WriteSelection& selection, SampleSource& samples,
                              Host& host, GigaRunState& state, const std::string& outputPath,
                              const GigaWriteOptions& options) {
    GigaWriteResult result;
    result.path = FreeOutputName(outputPath, options.sourcePath, "gig");
    GigaWriter writer(bank, selection, samples, host, state, options);
    OutputFile& out = writer.Output();
    if (!out.Create(result.path)) {
        ReportCannotWrite(host, result.path, true, false, out.Error());
        return result;
    }
    const bool ran = writer.Run();
    if (ran && writer.CutShort() && !options.keepCutShort) {
        out.Discard();
        result.cutShort = true;
        ReportCancelled(host, result.path);
        return result;
    }
    if (!ran || host.InterruptRequested() || !out.Commit()) {
        out.Discard();
        if (host.InterruptRequested())
            ReportInterrupted(host, result.path);
        else
            ReportCannotWrite(host, result.path, false, false);
        return result;
    }
    result.size = out.Position();
    result.written = true;
    result.cutShort = writer.CutShort();
    result.unreadableSamples = writer.UnreadableSamples();
    result.poolIndex = writer.PoolIndices();
    ReportSaved(host, result.path, result.size);
    return result;
}

} // namespace quorvane
