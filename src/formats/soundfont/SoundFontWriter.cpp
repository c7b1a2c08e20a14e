#include "formats/soundfont/SoundFontWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <sys/stat.h>

#include "core/StringPrintf.h"
#include "formats/akai/AkaiVolumes.h"
#include "formats/common/ByteWriter.h"
#include "formats/common/Bytes.h"
#include "formats/common/OggVorbis.h"
#include "formats/common/OutputFile.h"
#include "formats/common/OutputNames.h"
#include "formats/common/WriteMessages.h"
#include "formats/soundfont/SoundFontReader.h"

namespace quorvane {

namespace {

constexpr uint32_t kSamplePadBytes = 64; // 32 zero sample words after every sample

bool WriteChunk(OutputFile& out, const char* id, const ByteWriter& records) {
    uint8_t header[8];
    std::copy(id, id + 4, header);
    WriteU32LE(header + 4, static_cast<uint32_t>(records.bytes.size()));
    return out.Write(header, 8) && out.Write(records.bytes.data(), records.bytes.size());
}

int CountWrittenGenerators(const GeneratorSet& set) {
    int count = 0;
    for (int number = 0; number <= gen::lastWritten; ++number)
        count += set.IsSet(number);
    return count;
}

void PutModulators(ByteWriter& records, const std::vector<ModulatorRecord>& modulators) {
    for (const ModulatorRecord& m : modulators) {
        records.U16(m.source);
        records.U16(m.destination);
        records.U16(static_cast<uint16_t>(m.amount));
        records.U16(m.amountSource);
        records.U16(m.transform);
    }
}

// The set generators 0..59 but `last`, key range first and velocity range second, as players require
// (a key range after other generators is ignored by them); the rest in number order.
void PutGenerators(ByteWriter& records, const GeneratorSet& set, int last) {
    auto put = [&](int number) {
        records.U16(static_cast<uint16_t>(number));
        records.U16(set.Unsigned(number));
    };
    for (int number : {gen::keyRange, gen::velRange})
        if (set.IsSet(number))
            put(number);
    for (int number = 0; number <= gen::lastWritten; ++number)
        if (number != gen::keyRange && number != gen::velRange && number != last && set.IsSet(number))
            put(number);
}

using InfoTexts = std::array<std::string, kBankInfoSlots>;

// INFO texts as written: the bank's, with defaults for the empty ones.
InfoTexts InfoAsWritten(const BankModel& bank, const SoundFontWriteOptions& options) {
    InfoTexts texts = bank.BankInfo;
    auto info = [&](const char* tag) -> std::string& { return texts[BankInfoSlotOf(tag)]; };
    const bool dls = bank.SourceFormat == SourceFormat::Dls;
    const bool akai = bank.SourceFormat == SourceFormat::Akai;

    std::string& comment = info("ICMT");
    const std::string& keywords = info("IKEY");
    if (comment.empty())
        comment = keywords.empty() ? "Comments Not Present" : keywords;
    else if (!keywords.empty())
        comment += "\r\n" + keywords;

    std::string& engineer = info("IENG");
    if (engineer.empty())
        engineer = info("IART");
    if (engineer.empty() && dls)
        engineer = "GigaSampler Instrument Designer";
    if (engineer.empty() && akai)
        engineer = AkaiEngineer(options.akaiVolumeType);

    if (info("ICOP").empty())
        info("ICOP") = "Copyright Information Not Present";
    if (info("ISFT").empty() || dls)
        info("ISFT") = "Quorvane v1.1";
    if (texts[kSoundEngineSlot].empty())
        texts[kSoundEngineSlot] = "E-mu 10K1";
    if (info("ICRD").empty())
        info("ICRD") = CreationDateText();

    const uint32_t slot = options.namingPreset;
    if (options.naming == BankNaming::Preset)
        info("INAM") = bank.IsValidSlot(slot) ? bank.PresetTable[slot].name : std::string();
    else
        info("INAM") = options.bankName;

    for (std::string& text : texts)
        if (text.size() > kMaxInfoTextLength)
            text.resize(kMaxInfoTextLength);
    return texts;
}

// ifil says 2.01, 2.04 for a bank with 24-bit samples (sm24), or 3.01 for a bank whose samples are
// compressed.
bool WriteInfoList(OutputFile& out, const InfoTexts& info, bool compressed, bool wide) {
    ByteWriter list;
    list.FourCC("INFO");
    list.Chunk("ifil", 4);
    list.U16(compressed ? 3 : 2);
    list.U16(wide ? 4 : 1);
    auto text = [&](const char* id, const std::string& value) {
        if (value.empty())
            return;
        // Zero-terminated and padded to an even size.
        const uint32_t size = static_cast<uint32_t>(value.size() + (value.size() % 2 ? 1 : 2));
        list.Chunk(id, size);
        list.Text(value, size);
    };
    text("INAM", info[BankInfoSlotOf("INAM")]);
    text("isng", info[kSoundEngineSlot]);
    for (const char* tag : {"IPRD", "IENG", "ISFT", "ICRD", "ICMT", "ICOP"})
        text(tag, info[BankInfoSlotOf(tag)]);
    return WriteChunk(out, "LIST", list);
}

// The name a sample header gets: a stereo half is marked "(L)" or "(R)" in place of a trailing "-LR".
std::string SampleHeaderName(const SampleRecord& sample, bool akai) {
    std::string name = sample.fullName;
    if (sample.stereoHalf != 0) {
        if (name.size() > 3 && name.ends_with("-LR"))
            name.resize(name.size() - 3);
        else if (name.size() > 2 && name.ends_with("LR"))
            name.resize(name.size() - 2);
        name += sample.stereoHalf == 1 ? "(L)" : "(R)";
    }
    if (name.size() > sf2::kNameLength)
        name.resize(sf2::kNameLength);
    if (akai)
        while (!name.empty() && name.back() == ' ')
            name.pop_back();
    return name;
}

// A sample header holds its pitch correction in one signed byte. A larger correction (an Akai rate
// correction, a DLS or GigaSampler fine tune) moves its whole semitones into the root key, which the
// header and any zone overriding it carry lowered by `shift` semitones.
struct HeaderPitch {
    uint8_t rootKey = 60;
    int8_t correction = 0;
    int shift = 0;
};

HeaderPitch HeaderPitchOf(const SampleRecord& sample) {
    const int root = sample.rootKey & 127;
    const int correction = sample.pitchCorrection;
    if (correction >= INT8_MIN && correction <= INT8_MAX)
        return {static_cast<uint8_t>(root), static_cast<int8_t>(correction), 0};
    const int semitones = (correction + (correction < 0 ? -50 : 50)) / 100;
    const int lowered = std::clamp(root - semitones, 0, 127);
    const int shift = root - lowered;
    const int rest = std::clamp(correction - 100 * shift, int{INT8_MIN}, int{INT8_MAX});
    return {static_cast<uint8_t>(lowered), static_cast<int8_t>(rest), shift};
}

// Where each sample went in the output: its data, and its number among the sample headers (kNotWritten
// for a sample that is not in the file).
struct WrittenSample {
    uint32_t offset = 0;
    uint32_t length = 0; // bytes, of 16-bit words or of an Ogg Vorbis stream
    uint32_t frames = 0;
    uint32_t index = 0;
};
constexpr uint32_t kNotWritten = 0xFFFF;

// A 24-bit sample in smpl whose low bytes sm24 holds: where its words went, and the fetch that gives them
// again (the right channel of that fetch for the second half of a stereo wave).
struct WideSample {
    uint64_t offset = 0;
    uint32_t frames = 0;
    uint32_t fetchIndex = 0;
    bool right = false;
};

class Writer {
  public:
    Writer(const BankModel& bank, const WriteSelection& selection, SampleSource& samples, Host& host,
           const SoundFontWriteOptions& options)
        : bank_(bank), selection_(selection), samples_(samples), host_(host), options_(options),
          temporary_(options.temporary) {
        if (!Compressed())
            for (uint32_t s = 0; s < bank_.SampleCount; ++s)
                wide_ = wide_ || (selection_.HasSample(s) && SampleBits(bank_.SampleTable[s]) > 16);
    }

    bool Run() {
        if (!out_.WriteText("RIFF----sfbk"))
            return false;
        if (!WriteInfoList(out_, InfoAsWritten(bank_, options_), Compressed(), wide_))
            return false;
        if (!WriteSamples())
            return false;
        const uint64_t hydraStart = out_.Position();
        if (!out_.WriteText("LIST----pdta") || !WriteHydra())
            return false;
        const uint64_t end = out_.Position();
        return out_.PatchU32(hydraStart + 4, static_cast<uint32_t>(end - hydraStart - 8)) &&
               out_.PatchU32(4, static_cast<uint32_t>(end - 8));
    }

    OutputFile& Output() { return out_; }
    bool CutShort() const { return cutShort_; }
    uint32_t UnreadableSamples() const { return unreadableSamples_; }

  private:
    void Status(const std::string& line) {
        if (!temporary_)
            host_.AddStatusLine(line);
    }

    bool Compressed() const { return options_.storage == SoundFontSampleStorage::OggVorbis; }

    // Fetched frames as 16-bit words followed by the pad, or as an Ogg Vorbis stream padded to an even size.
    // A sample Vorbis cannot encode is written without data, as a sample that could not be read. The low
    // bytes of a 24-bit sample follow in sm24, fetched again once smpl is complete.
    bool WriteSampleData(const FrameBuffer& buffer, uint32_t sampleRate, WrittenSample& sample,
                         uint32_t fetchIndex, bool right) {
        sample.offset = static_cast<uint32_t>(out_.Position());
        sample.frames = buffer.FrameCount();
        if (!Compressed()) {
            sample.length = buffer.length;
            if (wide_ && buffer.Wide())
                wideSamples_.push_back({out_.Position(), sample.frames, fetchIndex, right});
            return out_.Write(buffer.frames.data(), buffer.length) && out_.WriteZeros(kSamplePadBytes);
        }
        if (!EncodeOggVorbis(buffer.frames.data(), sample.frames, sampleRate, options_.vorbisQuality,
                             stream_)) {
            sample.frames = 0;
            sample.length = 0;
            return true;
        }
        sample.length = static_cast<uint32_t>(stream_.size());
        return out_.Write(stream_.data(), stream_.size()) && out_.WriteZeros(stream_.size() % 2);
    }

    // An Ogg Vorbis stream of the source copied as it is into a compressed output: no second generation of
    // lossy coding.
    bool CopyStream(const StoredFrames& stored, uint32_t frames, WrittenSample& sample) {
        sample.offset = static_cast<uint32_t>(out_.Position());
        sample.length = stored.length;
        sample.frames = frames;
        return out_.AppendFrom(*stored.file, stored.offset, stored.length) &&
               out_.WriteZeros(stored.length % 2);
    }

    bool WriteSamples() {
        const uint64_t listStart = out_.Position();
        if (!out_.WriteText("LIST----sdtasmpl----"))
            return false;
        dataStart_ = out_.Position();
        uint32_t selectedCount = 0;
        written_.assign(bank_.SampleCount,
                        WrittenSample{static_cast<uint32_t>(dataStart_), 0, 0, kNotWritten});
        for (uint32_t s = 0; s < bank_.SampleCount; ++s)
            selectedCount += selection_.HasSample(s);

        FrameBuffer left, right;
        uint32_t done = 0;
        for (uint32_t s = 0; s < bank_.SampleCount; ++s) {
            const SampleRecord& sample = bank_.SampleTable[s];
            WrittenSample& output = written_[s];
            if (!selection_.HasSample(s))
                continue;
            if (host_.CancelRequested()) {
                // An interrupt abandons the file; Cancel keeps the samples written so far.
                if (host_.InterruptRequested())
                    return false;
                cutShort_ = true;
                break;
            }
            if (output.length == 0) {
                Status(StringPrintf(sample.stereoHalf ? "Copying sample %u  '%s' to mono L+R"
                                                      : "Copying sample %u  '%s'",
                                    s + 1, sample.fullName.c_str()));
                const std::optional<StoredFrames> stream =
                    Compressed() ? samples_.StoredOggVorbis(s) : std::optional<StoredFrames>();
                const std::optional<StoredFrames> stored = stream         ? stream
                                                           : Compressed() ? std::nullopt
                                                                          : samples_.Stored(s);
                const uint32_t readErrors =
                    stored ? stored->readErrors : samples_.Fetch(s, {left, right}, false).readErrors;
                unreadableSamples_ += readErrors != 0 ? 1 : 0;
                if (readErrors != 0 && !temporary_)
                    host_.ReplaceLastStatusLine(
                        StringPrintf("ERROR! Reading sample %u  '%s'", s + 1, sample.fullName.c_str()));
                if (stream && stream->length != 0) {
                    if (!CopyStream(*stream, sample.dataLength / 2, output))
                        return false;
                } else if (stored && stored->length != 0) {
                    output.offset = static_cast<uint32_t>(out_.Position());
                    output.length = stored->length;
                    output.frames = stored->length / 2;
                    if (!out_.AppendFrom(*stored->file, stored->offset, stored->length) ||
                        !out_.WriteZeros(kSamplePadBytes))
                        return false;
                } else if (!stored && left.length != 0 &&
                           !WriteSampleData(left, sample.sampleRate, output, s, false)) {
                    return false;
                }
                output.index = static_cast<uint32_t>(writtenOrder_.size());
                writtenOrder_.push_back(s);
                const uint32_t partner = sample.linkIndex - 1u;
                if (sample.stereoHalf == 1 && sample.sampleType == 4 && bank_.IsValidSample(partner)) {
                    WrittenSample& rightOutput = written_[partner];
                    if (right.length != 0 &&
                        !WriteSampleData(right, bank_.SampleTable[partner].sampleRate, rightOutput, s, true))
                        return false;
                    rightOutput.index = static_cast<uint32_t>(writtenOrder_.size());
                    writtenOrder_.push_back(partner);
                }
                left.Free();
                right.Free();
            }
            ++done;
            if (!temporary_) {
                host_.SetFileProgress(static_cast<int>(done * 1000ull / selectedCount));
                host_.SetOverallProgress(options_.progress.At(done, selectedCount));
                host_.PumpEvents();
            }
        }
        Status("Saving wavepool data ...");
        const uint64_t smplEnd = out_.Position();
        if (!out_.PatchU32(listStart + 16, static_cast<uint32_t>(smplEnd - listStart - 20)))
            return false;
        if (wide_ && !WriteLowBytes(smplEnd))
            return false;
        const uint64_t listEnd = out_.Position();
        return out_.PatchU32(listStart + 4, static_cast<uint32_t>(listEnd - listStart - 8));
    }

    // sm24: a low byte for every word of smpl, pad words included; zero for 16-bit samples, whose words are
    // their frames' upper 16 bits. Its size is rounded up to an even count, as players expect.
    bool WriteLowBytes(uint64_t smplEnd) {
        const uint64_t words = (smplEnd - dataStart_) / 2;
        const uint64_t size = words + words % 2;
        uint8_t header[8] = {'s', 'm', '2', '4'};
        WriteU32LE(header + 4, static_cast<uint32_t>(size));
        if (!out_.Write(header, 8))
            return false;
        FrameBuffer left, right;
        uint32_t fetched = kNotWritten;
        uint64_t at = 0; // bytes of sm24 written
        for (const WideSample& wide : wideSamples_) {
            if (wide.fetchIndex != fetched) {
                left.Free();
                right.Free();
                samples_.Fetch(wide.fetchIndex, {left, right}, false);
                fetched = wide.fetchIndex;
            }
            const FrameBuffer& buffer = wide.right ? right : left;
            const uint64_t start = (wide.offset - dataStart_) / 2;
            // A second fetch that no longer matches the first (the file changed meanwhile) leaves zeros.
            const bool same = buffer.Wide() && buffer.FrameCount() == wide.frames;
            if (!out_.WriteZeros(start - at) ||
                (same ? !out_.Write(buffer.low.data(), wide.frames) : !out_.WriteZeros(wide.frames)))
                return false;
            at = start + wide.frames;
        }
        return out_.WriteZeros(size - at);
    }

    // A layer of a selected preset is written when it is selected itself, or when it is the preset's global
    // layer. A preset of which only one layer is selected (one layer auditioned) leaves its other layers
    // out: their instruments are not written, so a zone naming them would point past the instrument list.
    bool LayerWritten(uint16_t index) const {
        if (!bank_.IsValidLayer(index))
            return false;
        const LayerRecord& layer = bank_.LayerTable[index];
        return selection_.HasLayer(index) || (layer.isGlobal && !layer.IsSet(gen::instrument));
    }

    // Written layers of a selected preset, in list order.
    template <typename Visit> void ForEachPresetLayer(Visit visit) {
        for (uint32_t slot = 1; slot <= bank_.PresetCount; ++slot) {
            const PresetRecord& preset = bank_.PresetTable[slot];
            if (!selection_.HasPreset(slot))
                continue;
            for (uint16_t layer : preset.layerList)
                if (LayerWritten(layer))
                    visit(layer, bank_.LayerTable[layer]);
        }
    }

    // Selected layers that point to equally named instruments with the same zones share one instrument.
    void NumberInstruments() {
        instrumentOf_.assign(bank_.LayerCount, kNotWritten);
        std::map<std::pair<std::string, HexIndexList>, uint16_t> numbers;
        for (uint32_t i = 0; i < bank_.LayerCount; ++i) {
            const LayerRecord& layer = bank_.LayerTable[i];
            if (!selection_.HasLayer(i))
                continue;
            const auto key = std::make_pair(layer.name, layer.zoneList);
            const auto found = numbers.find(key);
            if (found != numbers.end()) {
                instrumentOf_[i] = found->second;
            } else if (!layer.isGlobal) {
                const auto number = static_cast<uint16_t>(instrumentLayers_.size());
                numbers.emplace(key, number);
                instrumentLayers_.push_back(i);
                instrumentOf_[i] = number;
            }
        }
    }

    // A zone that names a sample which is not in the output (an unmapped GigaSampler region, a sample
    // skipped by Cancel) is left out: its sample header would not exist.
    bool ZoneWritten(uint16_t index) const {
        if (!bank_.IsValidZone(index))
            return false;
        const ZoneRecord& zone = bank_.ZoneTable[index];
        return !zone.IsSet(gen::sampleID) ||
               (bank_.IsValidSample(zone.sampleIndex) && written_[zone.sampleIndex].index != kNotWritten);
    }

    // The zone's generators as written. A sample header holds one loop, but zones that share a sample may
    // each play their own: a zone whose loop differs from its sample's gets loop offsets that restore it.
    // A root key the zone overrides moves with its sample header's (see HeaderPitch).
    GeneratorSet WithLoopOffsets(const ZoneRecord& zone) const {
        GeneratorSet generators = zone;
        if (!bank_.IsValidSample(zone.sampleIndex))
            return generators;
        const SampleRecord& sample = bank_.SampleTable[zone.sampleIndex];
        const int shift = HeaderPitchOf(sample).shift;
        if (shift != 0 && zone.IsSet(gen::overridingRootKey) && zone.generators[gen::overridingRootKey] >= 0)
            generators.Set(
                gen::overridingRootKey,
                static_cast<int16_t>(std::clamp(zone.generators[gen::overridingRootKey] - shift, 0, 127)));
        auto setOffset = [&](int fine, int coarse, int64_t delta) {
            if (delta == 0)
                return;
            const int64_t coarseAmount = delta / 32768;
            if (coarseAmount != 0)
                generators.Set(coarse, static_cast<int16_t>(coarseAmount));
            if (delta - coarseAmount * 32768 != 0)
                generators.Set(fine, static_cast<int16_t>(delta - coarseAmount * 32768));
        };
        // Both loops are held within the frames written: a zone's loop past the end of its sample (a DLS
        // region looping over an empty wave) would send a player out of the sample.
        const uint32_t frames = written_[zone.sampleIndex].frames;
        setOffset(gen::startloopAddrsOffset, gen::startloopAddrsCoarseOffset,
                  int64_t{std::min(zone.loopStart, frames)} - std::min(sample.loopStart, frames));
        setOffset(gen::endloopAddrsOffset, gen::endloopAddrsCoarseOffset,
                  int64_t{std::min(zone.loopEnd, frames)} - std::min(sample.loopEnd, frames));
        return generators;
    }

    template <typename Visit> void ForEachInstrumentZone(Visit visit) {
        for (uint32_t layerIndex : instrumentLayers_)
            for (uint16_t zone : bank_.LayerTable[layerIndex].zoneList)
                if (ZoneWritten(zone))
                    visit(bank_.ZoneTable[zone]);
    }

    bool WriteHydra() {
        ByteWriter phdr, pbag, pmod, pgen, inst, ibag, imod, igen, shdr;
        uint32_t bagCount = 0;
        for (uint32_t slot = 1; slot <= bank_.PresetCount; ++slot) {
            const PresetRecord& preset = bank_.PresetTable[slot];
            if (!selection_.HasPreset(slot))
                continue;
            phdr.Text(preset.name, sf2::kNameLength);
            phdr.U16(temporary_ ? 0 : preset.program);
            phdr.U16(temporary_ ? 0 : SoundFontBankOf(preset));
            phdr.U16(static_cast<uint16_t>(bagCount));
            phdr.U32(0);
            phdr.U32(0);
            phdr.U32(0);
            for (uint16_t layer : preset.layerList)
                bagCount += LayerWritten(layer);
        }
        phdr.Text("EOP", sf2::kNameLength);
        phdr.U16(255);
        phdr.U16(255);
        phdr.U16(static_cast<uint16_t>(bagCount));
        phdr.U32(0);
        phdr.U32(0);
        phdr.U32(0);

        NumberInstruments();

        // Modulators go to every file but the one written for auditioning, which plays the bank's
        // generators only.
        const bool withModulators = !temporary_;
        uint32_t generatorCount = 0, modulatorCount = 0;
        ForEachPresetLayer([&](uint16_t index, const LayerRecord& layer) {
            pbag.U16(static_cast<uint16_t>(generatorCount));
            pbag.U16(static_cast<uint16_t>(modulatorCount));
            generatorCount += CountWrittenGenerators(layer);
            if (withModulators) {
                PutModulators(pmod, layer.modulators);
                modulatorCount += static_cast<uint32_t>(layer.modulators.size());
            }
            PutGenerators(pgen, layer, gen::instrument);
            if (layer.IsSet(gen::instrument)) {
                pgen.U16(gen::instrument);
                pgen.U16(instrumentOf_[index]);
            }
        });
        pbag.U16(static_cast<uint16_t>(generatorCount));
        pbag.U16(static_cast<uint16_t>(modulatorCount));
        pmod.bytes.resize(pmod.bytes.size() + sf2::kModSize, 0);
        pgen.U32(0);

        uint32_t zoneCount = 0;
        for (uint32_t layerIndex : instrumentLayers_) {
            const LayerRecord& layer = bank_.LayerTable[layerIndex];
            inst.Text(layer.name, sf2::kNameLength);
            inst.U16(static_cast<uint16_t>(zoneCount));
            for (uint16_t zone : layer.zoneList)
                zoneCount += ZoneWritten(zone);
        }
        inst.Text("EOI", sf2::kNameLength);
        inst.U16(static_cast<uint16_t>(zoneCount));

        uint32_t zoneGenerators = 0, zoneModulators = 0;
        ForEachInstrumentZone([&](const ZoneRecord& zone) {
            const GeneratorSet generators = WithLoopOffsets(zone);
            ibag.U16(static_cast<uint16_t>(zoneGenerators));
            ibag.U16(static_cast<uint16_t>(zoneModulators));
            zoneGenerators += CountWrittenGenerators(generators);
            if (withModulators) {
                PutModulators(imod, zone.modulators);
                zoneModulators += static_cast<uint32_t>(zone.modulators.size());
            }
            PutGenerators(igen, generators, gen::sampleID);
            if (zone.IsSet(gen::sampleID)) {
                igen.U16(gen::sampleID);
                igen.U16(static_cast<uint16_t>(written_[zone.sampleIndex].index));
            }
        });
        ibag.U16(static_cast<uint16_t>(zoneGenerators));
        ibag.U16(static_cast<uint16_t>(zoneModulators));
        if (zoneGenerators > 65536)
            host_.ShowMessage(
                StringPrintf("This file contains %u articulations.\r\nThe Soundfont file may have only 65536 "
                             "possible articulations.\r\nSome layers & zones could't be played properly!",
                             zoneGenerators),
                kMessageCaption, MessageIcon::Warning);
        imod.bytes.resize(imod.bytes.size() + sf2::kModSize, 0);
        igen.U32(0);

        const bool akai = bank_.SourceFormat == SourceFormat::Akai;
        for (uint32_t s : writtenOrder_) {
            const SampleRecord& sample = bank_.SampleTable[s];
            const WrittenSample& output = written_[s];
            // A compressed sample's start and end are byte offsets of its stream, and its loop counts frames
            // from its own start; a PCM sample's are all frame numbers in the sample data.
            const uint32_t compressed = Compressed() ? 1 : 0;
            const uint32_t start = static_cast<uint32_t>((output.offset - dataStart_) >> (1 - compressed));
            const uint32_t end = start + (output.length >> (1 - compressed));
            const uint32_t loopBase = compressed ? 0 : start;
            const uint32_t loopLimit = compressed ? output.frames : end;
            shdr.Text(SampleHeaderName(sample, akai), sf2::kNameLength);
            shdr.U32(start);
            shdr.U32(end);
            // A sample whose data could not be read has no frames: its loop stays inside it.
            shdr.U32(std::min(loopBase + sample.loopStart, loopLimit));
            shdr.U32(std::min(loopBase + sample.loopEnd, loopLimit));
            shdr.U32(sample.sampleRate);
            const HeaderPitch pitch = HeaderPitchOf(sample);
            shdr.U8(pitch.rootKey);
            shdr.U8(static_cast<uint8_t>(pitch.correction));
            // A partner that was not written (a cancelled write) leaves the sample mono rather than linked to
            // a header that does not exist.
            const uint32_t partner = sample.linkIndex - 1u;
            const bool linked = (sample.sampleType == 2 || sample.sampleType == 4) &&
                                bank_.IsValidSample(partner) && written_[partner].index != kNotWritten;
            shdr.U16(linked ? static_cast<uint16_t>(written_[partner].index) : 0);
            const uint16_t type = linked ? sample.sampleType : 1;
            shdr.U16(Compressed() && output.length != 0 ? type | sf2::kOggVorbisTypeBit : type);
        }
        shdr.Text("EOS", sf2::kNameLength);
        shdr.bytes.resize(shdr.bytes.size() + sf2::kShdrSize - sf2::kNameLength, 0);

        return WriteChunk(out_, "phdr", phdr) && WriteChunk(out_, "pbag", pbag) &&
               WriteChunk(out_, "pmod", pmod) && WriteChunk(out_, "pgen", pgen) &&
               WriteChunk(out_, "inst", inst) && WriteChunk(out_, "ibag", ibag) &&
               WriteChunk(out_, "imod", imod) && WriteChunk(out_, "igen", igen) &&
               WriteChunk(out_, "shdr", shdr);
    }

    const BankModel& bank_;
    const WriteSelection& selection_;
    SampleSource& samples_;
    Host& host_;
    const SoundFontWriteOptions& options_;
    bool temporary_;
    bool cutShort_ = false;
    uint32_t unreadableSamples_ = 0;
    OutputFile out_;
    uint64_t dataStart_ = 0;
    std::vector<WrittenSample> written_;     // by sample index
    bool wide_ = false;                      // some written sample has more than 16 bits: sm24 is written
    std::vector<WideSample> wideSamples_;    // in smpl order
    std::vector<uint8_t> stream_;            // the Ogg Vorbis stream of the sample being compressed
    std::vector<uint32_t> writtenOrder_;     // sample index by output number
    std::vector<uint32_t> instrumentLayers_; // first layer of each output instrument
    std::vector<uint16_t> instrumentOf_;     // output instrument of each layer, or kNotWritten
};

} // namespace

SoundFontWriteResult WriteSoundFontBank(const BankModel& bank, const WriteSelection& selection,
                                        SampleSource& samples, Host& host, const std::string& outputPath,
                                        const SoundFontWriteOptions& options) {
    SoundFontWriteResult result;
    const bool temporary = options.temporary;
    result.path = temporary
                      ? outputPath
                      : FreeOutputName(outputPath, options.sourcePath,
                                       options.storage == SoundFontSampleStorage::OggVorbis ? "sf3" : "sf2");

    Writer writer(bank, selection, samples, host, options);
    OutputFile& out = writer.Output();
    if (!out.Create(result.path)) {
        ReportCannotWrite(host, result.path, true, temporary, out.Error());
        return result;
    }
    // An interrupt that comes while the tables are written still discards the file.
    const bool ran = writer.Run();
    if (ran && writer.CutShort() && !options.keepCutShort) {
        out.Discard();
        result.cutShort = true;
        if (!temporary)
            ReportCancelled(host, result.path);
        return result;
    }
    if (!ran || host.InterruptRequested() || !out.Commit()) {
        out.Discard();
        if (host.InterruptRequested())
            ReportInterrupted(host, result.path);
        else
            ReportCannotWrite(host, result.path, false, temporary);
        return result;
    }
    struct stat info {};
    result.size = ::stat(result.path.c_str(), &info) == 0 ? static_cast<uint32_t>(info.st_size) : 0;
    result.written = true;
    result.cutShort = writer.CutShort();
    result.unreadableSamples = writer.UnreadableSamples();
    if (!temporary)
        ReportSaved(host, result.path, result.size);
    return result;
}

} // namespace quorvane
