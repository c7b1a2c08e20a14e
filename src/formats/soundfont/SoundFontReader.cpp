#include "formats/soundfont/SoundFontReader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <set>

#include "formats/common/Bytes.h"
#include "formats/common/ChunkImage.h"
#include "formats/common/OggVorbis.h"

namespace quorvane {

namespace {

constexpr uint64_t kImageStart = 12;   // just inside the RIFF form
constexpr uint32_t kMaxCount = 0xFFFF; // table indices are 16-bit

std::string Describe(const char* format, const ChunkHeader& chunk, uint64_t a = 0, uint64_t b = 0) {
    char text[256];
    std::snprintf(text, sizeof text, format, chunk.id, static_cast<unsigned long long>(chunk.offset),
                  static_cast<unsigned long long>(a), static_cast<unsigned long long>(b));
    return text;
}

// Where a hydra table lies in the image and how many whole records it holds.
struct Table {
    const uint8_t* data = nullptr;
    uint32_t declared = 0;  // records the chunk size announces
    uint32_t available = 0; // records the image really holds
    bool found = false;

    void Take(const ChunkImage& image, const ChunkHeader& chunk, uint32_t recordSize, ReadNotes& notes) {
        data = image.Bytes(chunk.DataOffset(), chunk.available);
        declared = chunk.size / recordSize;
        available = static_cast<uint32_t>(chunk.available / recordSize);
        found = true;
        if (available < declared)
            notes.Add(Describe("chunk '%s' at image offset %llu claims %llu records, only %llu are present",
                               chunk, declared, available));
        else if (chunk.size % recordSize != 0)
            notes.Add(Describe("chunk '%s' at image offset %llu: size is not a whole number of records (%llu "
                               "bytes left over)",
                               chunk, chunk.size % recordSize));
    }
    const uint8_t* Record(uint32_t index, uint32_t recordSize) const {
        return index < available ? data + static_cast<size_t>(index) * recordSize : nullptr;
    }
    // Entries of the table: every record but the terminal one, as many as the image holds and 16 bits allow.
    uint32_t Entries(ReadNotes& notes, const char* id) const {
        const uint32_t records = std::min(declared, available);
        if (records == 0)
            return 0;
        if (records - 1 > kMaxCount) {
            notes.Add(std::string("table '") + id + "' has more entries than 65535; the rest are ignored");
            return kMaxCount;
        }
        return records - 1;
    }
};

// Walks the image the way every step does: lists named by `enter` are stepped into (12 bytes), all other
// chunks are stepped over whole. The visitor returns false to stop.
template <typename Visit>
void WalkImage(const BankModel& bank, std::initializer_list<const char*> enter, Visit visit) {
    const ChunkImage image(bank.BankImage.data(), bank.BankImageSize);
    uint64_t offset = kImageStart;
    while (offset < image.Size()) {
        const std::optional<ChunkHeader> chunk = image.HeaderAt(offset);
        if (!chunk)
            return;
        if (!visit(image, *chunk))
            return;
        bool stepIn = false;
        for (const char* type : enter)
            stepIn = stepIn || (chunk->Is("LIST") && (type == nullptr || chunk->IsList(type)));
        offset = stepIn ? offset + 12 : chunk->Next();
    }
}

std::string NameField(const uint8_t* record) {
    return FixedName(reinterpret_cast<const char*>(record), sf2::kNameLength);
}

// Generator record k of a table: number and amount.
struct Generator {
    uint16_t number;
    uint16_t amount;
};

// The generator range of bag `bag`: from its first index up to the next bag's, within the records present.
template <typename Visit>
void ForEachGenerator(const Table& bags, const Table& generators, uint32_t bag, Visit visit) {
    const uint8_t* thisBag = bags.Record(bag, sf2::kBagSize);
    const uint8_t* nextBag = bags.Record(bag + 1, sf2::kBagSize);
    if (thisBag == nullptr || nextBag == nullptr)
        return;
    const uint32_t last = std::min<uint32_t>(ReadU16LE(nextBag), generators.available);
    for (uint32_t k = ReadU16LE(thisBag); k < last; ++k) {
        const uint8_t* record = generators.Record(k, sf2::kGenSize);
        if (!visit(Generator{ReadU16LE(record), ReadU16LE(record + 2)}))
            return;
    }
}

// The modulators of bag `bag`: from its first modulator index up to the next bag's, within the records
// present. Indices that run backwards give none.
std::vector<ModulatorRecord> BagModulators(const Table& bags, const Table& modulators, uint32_t bag) {
    std::vector<ModulatorRecord> list;
    const uint8_t* thisBag = bags.Record(bag, sf2::kBagSize);
    const uint8_t* nextBag = bags.Record(bag + 1, sf2::kBagSize);
    if (thisBag == nullptr || nextBag == nullptr)
        return list;
    const uint32_t first = ReadU16LE(thisBag + 2);
    const uint32_t last = std::min<uint32_t>(ReadU16LE(nextBag + 2), modulators.available);
    if (first >= last)
        return list;
    list.reserve(last - first);
    for (uint32_t m = first; m < last; ++m) {
        const uint8_t* record = modulators.Record(m, sf2::kModSize);
        list.push_back({ReadU16LE(record), ReadU16LE(record + 2), static_cast<int16_t>(ReadU16LE(record + 4)),
                        ReadU16LE(record + 6), ReadU16LE(record + 8)});
    }
    return list;
}

// Instrument n's name and zone list.
void TakeInstrument(const Table& instruments, uint32_t n, uint16_t zoneCount, std::string& name,
                    HexIndexList& zoneList) {
    const uint8_t* record = instruments.Record(n, sf2::kInstSize);
    const uint8_t* next = instruments.Record(n + 1, sf2::kInstSize);
    if (record == nullptr)
        return;
    name = NameField(record);
    if (next == nullptr)
        return;
    const uint32_t first = ReadU16LE(record + 20);
    const uint32_t last = std::min<uint32_t>(ReadU16LE(next + 20), zoneCount);
    zoneList = HexIndexList::Run(static_cast<uint16_t>(first), last > first ? last - first : 0);
}

// The sm24 chunk that follows smpl in LIST sdta (SoundFont 2.04), as far as the file holds it.
void FindLowByteData(BankModel& bank, InputFile& file, uint64_t listOffset, uint64_t listBytes) {
    const uint64_t listEnd = listOffset + 8 + listBytes;
    uint8_t header[8];
    for (uint64_t at = listOffset + 12; at + 8 <= listEnd;) {
        if (file.ReadAt(at, header, 8) != 8)
            return;
        const uint32_t size = ReadU32LE(header + 4);
        if (FourCCIs(header, "sm24")) {
            const uint64_t start = at + 8;
            if (start > UINT32_MAX)
                return;
            bank.LowByteDataStart = static_cast<uint32_t>(start);
            bank.LowByteDataSize = static_cast<uint32_t>(std::min<uint64_t>(size, listEnd - start));
            return;
        }
        at += 8 + uint64_t{size} + (size & 1);
    }
}

} // namespace

void BuildSoundFontImage(BankModel& bank, InputFile& file, ReadNotes& notes) {
    const uint64_t fileSize = file.Size();
    bank.SampleDataStart = 0;
    bank.LowByteDataStart = bank.LowByteDataSize = 0;

    // A chunk's bytes as far as the file really holds them; a size that runs past the end of the file
    // would otherwise make the image as large as the size claims.
    auto bytesInFile = [&](uint64_t offset, uint32_t size) {
        const uint64_t dataStart = offset + 8;
        return dataStart >= fileSize ? 0 : std::min<uint64_t>(size, fileSize - dataStart);
    };
    struct TopChunk {
        uint64_t offset;
        uint64_t length; // header and data present in the file
    };
    std::vector<TopChunk> chunks;
    uint64_t total = kImageStart;
    uint8_t header[12];
    bool presetData = false;
    for (uint64_t offset = kImageStart;;) {
        const size_t got = file.ReadAt(offset, header, sizeof header);
        if (got < 8)
            break;
        const uint32_t size = ReadU32LE(header + 4);
        const bool sampleData = got == 12 && FourCCIs(header, "LIST") && FourCCIs(header + 8, "sdta");
        presetData = presetData || (got == 12 && FourCCIs(header, "LIST") && FourCCIs(header + 8, "pdta"));
        if (sampleData) {
            bank.SampleDataStart = static_cast<uint32_t>(std::min<uint64_t>(offset + 20, UINT32_MAX));
            const uint64_t present = bytesInFile(offset, size);
            if (present < size) {
                char text[200];
                std::snprintf(text, sizeof text,
                              "the sample data (LIST sdta at file offset %llu) claims %u bytes and the file "
                              "ends %llu bytes short of them: the file is cut",
                              static_cast<unsigned long long>(offset), size,
                              static_cast<unsigned long long>(size - present));
                notes.damage = text;
            }
            FindLowByteData(bank, file, offset, present);
        } else {
            const uint64_t present = bytesInFile(offset, size);
            if (present < size) {
                char text[160];
                std::snprintf(text, sizeof text,
                              "chunk '%.4s' at file offset %llu claims %u bytes, the file holds %llu",
                              reinterpret_cast<const char*>(header), static_cast<unsigned long long>(offset),
                              size, static_cast<unsigned long long>(present));
                notes.Add(text);
            }
            chunks.push_back({offset, present + 8});
            total += present + 8;
        }
        offset += static_cast<uint64_t>(size) + 8;
    }
    // Without the preset data there is no bank to show, only texts: a cut or foreign file.
    if (!presetData && notes.damage.empty())
        notes.damage = "the file holds no preset data (LIST pdta)";
    if (total > UINT32_MAX) {
        notes.Add("the bank's headers exceed 4 GB; only the first 4 GB are read");
        total = UINT32_MAX;
    }

    bank.BankImage.assign(total, 0);
    bank.BankImageSize = static_cast<uint32_t>(total);
    file.ReadAt(0, bank.BankImage.data(), std::min<uint64_t>(kImageStart, total));
    // Chunks lie back to back, each at the image offset the walks will look for it: after an odd-sized
    // chunk the next one starts at the odd offset, so nothing is overwritten and nothing is lost.
    uint64_t position = kImageStart;
    for (const TopChunk& chunk : chunks) {
        const uint64_t length = std::min<uint64_t>(chunk.length, total - position);
        file.ReadAt(chunk.offset, bank.BankImage.data() + position, length);
        position += chunk.length;
    }
}

void ReadSoundFontVersion(BankModel& bank) {
    // A bank without ifil shows no version rather than the one of the bank read before it.
    bank.BankVersion = 0;
    WalkImage(bank, {"INFO"}, [&](const ChunkImage& image, const ChunkHeader& chunk) {
        if (chunk.Is("ifil"))
            if (const uint8_t* data = image.Bytes(chunk.DataOffset(), 4))
                bank.BankVersion = static_cast<uint16_t>(ReadU16LE(data) * 10 + ReadU16LE(data + 2));
        return true;
    });
}

namespace {

bool IsOggVorbisType(uint16_t type) {
    const uint16_t plain = type & ~sf2::kOggVorbisTypeBit;
    return (type & sf2::kOggVorbisTypeBit) != 0 && (plain == 1 || plain == 2 || plain == 4);
}

// A compressed sample's start and end are byte offsets of its stream in the sample data, and its loop is
// counted in frames from the sample's own start. How many frames the stream holds is learnt from the file
// (MeasureOggVorbisSamples); until then the sample has no data.
void ReadOggVorbisHeader(const BankModel& bank, SampleRecord& sample, uint32_t start, uint32_t end,
                         uint32_t loopStart, uint32_t loopEnd, uint16_t type) {
    sample.sampleType = type & ~sf2::kOggVorbisTypeBit;
    sample.encoding = SampleEncoding::OggVorbis;
    sample.dataLength = 0;
    const uint64_t bytes = end >= start ? end - start : 0;
    const uint64_t offset = uint64_t{start} + bank.SampleDataStart;
    const bool fits = offset + bytes <= UINT32_MAX;
    sample.dataOffset = fits && bytes != 0 && bank.SampleDataStart != 0 ? static_cast<uint32_t>(offset) : 0;
    sample.encodedLength = sample.dataOffset != 0 ? static_cast<uint32_t>(bytes) : 0;
    sample.loopStart = loopStart;
    sample.loopEnd = loopEnd;
}

} // namespace

void MeasureOggVorbisSamples(BankModel& bank, InputFile& file, ReadNotes& notes) {
    std::vector<uint8_t> tail;
    uint32_t unreadable = 0;
    for (uint32_t i = 0; i < bank.SampleCount; ++i) {
        SampleRecord& sample = bank.SampleTable[i];
        if (sample.encoding != SampleEncoding::OggVorbis || sample.dataOffset == 0)
            continue;
        const size_t reach = std::min<size_t>(sample.encodedLength, kOggLastPageReach);
        tail.resize(reach);
        const uint64_t at = uint64_t{sample.dataOffset} + sample.encodedLength - reach;
        const bool read = file.ReadAt(at, tail.data(), reach) == reach;
        const std::optional<uint64_t> frames = read ? OggFrameCount(tail.data(), reach) : std::nullopt;
        // 16-bit frames are counted in bytes of 32 bits.
        if (!frames || *frames < 2 || *frames > UINT32_MAX / 2) {
            ++unreadable;
            sample.dataOffset = 0;
            sample.encodedLength = 0;
            sample.loopStart = sample.loopEnd = 0;
            continue;
        }
        sample.dataLength = static_cast<uint32_t>(*frames * 2);
        const uint32_t count = static_cast<uint32_t>(*frames);
        if (sample.loopStart > count)
            sample.loopStart = 0;
        if (sample.loopEnd > count || sample.loopEnd < sample.loopStart)
            sample.loopEnd = count;
    }
    if (unreadable != 0)
        notes.Add(std::to_string(unreadable) + " compressed sample(s) hold no readable Ogg Vorbis stream");
}

void ReadSoundFontSamples(BankModel& bank, ReadNotes& notes) {
    Table headers;
    WalkImage(bank, {"pdta"}, [&](const ChunkImage& image, const ChunkHeader& chunk) {
        if (chunk.Is("shdr"))
            headers.Take(image, chunk, sf2::kShdrSize, notes);
        return true;
    });

    const uint32_t count = headers.Entries(notes, "shdr");
    if (count == 0) {
        bank.SampleCount = 0;
        return;
    }
    bank.SampleTable.assign(count, SampleRecord{});
    bank.SampleCount = static_cast<uint16_t>(count);

    std::vector<uint16_t> rawLinks(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* record = headers.Record(i, sf2::kShdrSize);
        SampleRecord& sample = bank.SampleTable[i];
        const uint32_t start = ReadU32LE(record + 20);
        const uint32_t end = ReadU32LE(record + 24);
        uint32_t loopStart = ReadU32LE(record + 28);
        uint32_t loopEnd = ReadU32LE(record + 32);
        const uint16_t type = ReadU16LE(record + 44);
        rawLinks[i] = ReadU16LE(record + 42);

        sample.bitsPerSample = 16;
        sample.blockAlign = 2;
        sample.channels = 1;
        sample.stereoHalf = 0;
        sample.looped = 0;
        sample.sampleRate = ReadU32LE(record + 36);
        sample.rootKey = record[40] & 127;
        sample.pitchCorrection = SignedByte(record[41]);
        sample.name = sample.fullName = NameField(record);

        if (IsOggVorbisType(type)) {
            ReadOggVorbisHeader(bank, sample, start, end, loopStart, loopEnd, type);
            continue;
        }

        // An end before the start describes no data at all rather than four gigabytes of it, and a range
        // whose byte offsets do not fit 32 bits has none either (wrapped, it would name another sample).
        const uint64_t frames = end >= start ? end - start : 0;
        const uint64_t offset = uint64_t{start} * 2 + bank.SampleDataStart;
        const bool fits = offset + frames * 2 <= UINT32_MAX;
        sample.dataLength = fits ? static_cast<uint32_t>(frames * 2) : 0;
        sample.dataOffset = static_cast<uint32_t>(offset);
        if (frames < 2 || bank.SampleDataStart == 0 || !fits)
            sample.dataOffset = 0;

        // Low bytes count only in a bank of version 2.04 or later, and only where sm24 holds them all.
        if (sample.dataOffset != 0 && bank.BankVersion >= 24 && bank.LowByteDataStart != 0 &&
            uint64_t{end} <= bank.LowByteDataSize)
            sample.lowByteOffset = bank.LowByteDataStart + start;

        if (loopStart < start || loopStart > end)
            loopStart = start;
        if (loopEnd < start || loopEnd > end)
            loopEnd = end;
        sample.loopStart = loopStart - start;
        sample.loopEnd = loopEnd - start;

        if (type == 1 || type == 2 || type == 4) {
            sample.sampleType = type;
        } else {
            sample.name = sample.fullName = "ROM:" + sample.name;
            sample.dataOffset = 0;
            sample.dataLength = 0;
            sample.lowByteOffset = 0;
            sample.sampleType = type & 7;
        }
    }

    // A stereo link counts only when it is mutual: the partner exists, has the other side's type and
    // links back. Many banks leave the link of a left or right sample at 0, which would otherwise pair it
    // with sample 0 and play the wrong audio as its other channel.
    for (uint32_t i = 0; i < count; ++i) {
        SampleRecord& sample = bank.SampleTable[i];
        sample.linkIndex = 0;
        if (sample.sampleType != 2 && sample.sampleType != 4)
            continue;
        const uint32_t partner = rawLinks[i];
        if (partner >= count || partner == i || rawLinks[partner] != i ||
            bank.SampleTable[partner].sampleType != 6 - sample.sampleType)
            continue;
        sample.linkIndex = static_cast<uint16_t>(partner + 1);
        sample.channels = 2;
    }
}

bool ReadSoundFontHydra(BankModel& bank, ReadNotes& notes) {
    for (std::string& text : bank.BankInfo)
        text.clear();
    bool oddSize = false;
    Table presets, presetBags, presetMods, presetGens, instruments, instrumentBags, instrumentMods,
        instrumentGens;

    WalkImage(bank, {nullptr}, [&](const ChunkImage& image, const ChunkHeader& chunk) {
        if (chunk.size % 2 != 0) {
            if (!oddSize)
                notes.Add(Describe("chunk '%s' at image offset %llu has an odd size", chunk));
            oddSize = true;
        }
        // The sound engine (isng) is read too, so that a bank written again keeps it.
        static const char* const kTexts[] = {"ICMT", "ICOP", "ICRD", "IENG", "INAM", "IPRD", "ISFT", "isng"};
        for (const char* tag : kTexts) {
            if (!chunk.Is(tag))
                continue;
            const size_t length =
                static_cast<size_t>(std::min<uint64_t>(chunk.available, kMaxInfoTextLength));
            const uint8_t* data = image.Bytes(chunk.DataOffset(), length);
            bank.BankInfo[BankInfoSlotOf(tag)] = FixedName(reinterpret_cast<const char*>(data), length);
        }
        if (chunk.Is("phdr"))
            presets.Take(image, chunk, sf2::kPhdrSize, notes);
        else if (chunk.Is("pbag"))
            presetBags.Take(image, chunk, sf2::kBagSize, notes);
        else if (chunk.Is("pmod"))
            presetMods.Take(image, chunk, sf2::kModSize, notes);
        else if (chunk.Is("pgen"))
            presetGens.Take(image, chunk, sf2::kGenSize, notes);
        else if (chunk.Is("inst"))
            instruments.Take(image, chunk, sf2::kInstSize, notes);
        else if (chunk.Is("ibag"))
            instrumentBags.Take(image, chunk, sf2::kBagSize, notes);
        else if (chunk.Is("imod"))
            instrumentMods.Take(image, chunk, sf2::kModSize, notes);
        else if (chunk.Is("igen"))
            instrumentGens.Take(image, chunk, sf2::kGenSize, notes);
        return !chunk.Is("shdr");
    });

    const uint32_t presetCount = presets.Entries(notes, "phdr");
    const uint32_t layerCount = presetBags.Entries(notes, "pbag");
    const uint32_t instrumentCount = instruments.Entries(notes, "inst");
    const uint32_t zoneCount = instrumentBags.Entries(notes, "ibag");

    bank.PresetTable.assign(presetCount + 1, PresetRecord{});
    bank.LayerTable.assign(layerCount, LayerRecord{});
    bank.ZoneTable.assign(zoneCount, ZoneRecord{});
    bank.PresetCount = static_cast<uint16_t>(presetCount);
    bank.LayerCount = static_cast<uint16_t>(layerCount);
    bank.ZoneCount = static_cast<uint16_t>(zoneCount);

    for (uint32_t i = 0; i < presetCount; ++i) {
        const uint8_t* record = presets.Record(i, sf2::kPhdrSize);
        const uint8_t* next = presets.Record(i + 1, sf2::kPhdrSize);
        PresetRecord& preset = bank.PresetTable[i + 1];
        preset.name = NameField(record);
        preset.program = ReadU16LE(record + 20);
        preset.bank = ReadU16LE(record + 22);
        preset.isDrum = 0;
        if (preset.bank == 128) {
            preset.isDrum = 1;
            preset.bank = 0;
        }
        // Bag indices that go backwards make runs that overlap; each is held as its two numbers.
        const uint32_t first = ReadU16LE(record + 24);
        const uint32_t last = std::min<uint32_t>(ReadU16LE(next + 24), layerCount);
        preset.layerList = HexIndexList::Run(static_cast<uint16_t>(first), last > first ? last - first : 0);
    }

    std::vector<uint8_t> instrumentUsed(instrumentCount, 0);
    for (uint32_t j = 0; j < layerCount; ++j) {
        LayerRecord& layer = bank.LayerTable[j];
        layer.Reset();
        layer.name = "Global Layer";
        layer.isGlobal = 1;
        layer.modulators = BagModulators(presetBags, presetMods, j);
        ForEachGenerator(presetBags, presetGens, j, [&](Generator g) {
            if (g.number < gen::count)
                layer.Set(g.number, static_cast<int16_t>(g.amount));
            if (g.number != gen::instrument)
                return true;
            if (g.amount < instrumentCount) {
                TakeInstrument(instruments, g.amount, bank.ZoneCount, layer.name, layer.zoneList);
                layer.isGlobal = 0;
                instrumentUsed[g.amount] = 1;
            }
            return false;
        });
    }

    // Instruments that no preset uses still become layers, so their zones can be seen and written.
    for (uint32_t n = 0; n < instrumentCount && bank.LayerTable.size() < kMaxCount; ++n) {
        if (instrumentUsed[n])
            continue;
        LayerRecord layer;
        layer.Reset();
        layer.Set(gen::instrument, static_cast<int16_t>(n));
        layer.isGlobal = 0;
        TakeInstrument(instruments, n, bank.ZoneCount, layer.name, layer.zoneList);
        bank.LayerTable.push_back(std::move(layer));
    }
    bank.LayerCount = static_cast<uint16_t>(bank.LayerTable.size());

    for (uint32_t k = 0; k < zoneCount; ++k) {
        ZoneRecord& zone = bank.ZoneTable[k];
        zone.Reset();
        zone.isGlobal = 1;
        zone.sampleIndex = kNoSample;
        zone.modulators = BagModulators(instrumentBags, instrumentMods, k);
        int64_t startDelta = 0;
        int64_t endDelta = 0;
        ForEachGenerator(instrumentBags, instrumentGens, k, [&](Generator g) {
            if (g.number < gen::count)
                zone.Set(g.number, static_cast<int16_t>(g.amount));
            const int64_t amount = static_cast<int16_t>(g.amount);
            switch (g.number) {
            case gen::startloopAddrsOffset:
                startDelta += amount;
                break;
            case gen::endloopAddrsOffset:
                endDelta += amount;
                break;
            case gen::startloopAddrsCoarseOffset:
                startDelta += amount * 32768;
                break;
            case gen::endloopAddrsCoarseOffset:
                endDelta += amount * 32768;
                break;
            case gen::sampleID:
                zone.sampleIndex = g.amount;
                zone.isGlobal = 0;
                return false;
            default:
                return true;
            }
            zone.Clear(g.number);
            return true;
        });

        const bool valid = bank.IsValidSample(zone.sampleIndex);
        if (!zone.IsSet(gen::overridingRootKey))
            zone.generators[gen::overridingRootKey] =
                static_cast<int16_t>(valid ? bank.SampleTable[zone.sampleIndex].rootKey : 0);
        if (!valid)
            continue;
        const SampleRecord& sample = bank.SampleTable[zone.sampleIndex];
        const int64_t frames = sample.dataLength / 2;
        int64_t start = sample.loopStart + startDelta;
        int64_t end = sample.loopEnd + endDelta;
        if (start < 0 || start > frames)
            start = 0;
        if (end < 0 || end > frames)
            end = frames;
        if (end < start) {
            start = 0;
            end = frames;
        }
        if (end - start < 2)
            end = start + 1;
        if (end > frames)
            end = frames;
        zone.loopStart = static_cast<uint32_t>(start);
        zone.loopEnd = static_cast<uint32_t>(end);
    }
    return oddSize;
}

void PropagateSoundFontLoops(BankModel& bank) {
    // Layers of one instrument share its zones: each list is done once.
    std::set<HexIndexList> done;
    for (uint32_t j = 0; j < bank.LayerCount; ++j) {
        const HexIndexList& zones = bank.LayerTable[j].zoneList;
        if (zones.IsRun() && !done.insert(zones).second)
            continue;
        const auto global = std::find_if(zones.begin(), zones.end(), [&](uint16_t z) {
            return bank.IsValidZone(z) && bank.ZoneTable[z].isGlobal;
        });
        if (global == zones.end() || !bank.ZoneTable[*global].IsSet(gen::sampleModes))
            continue;
        const int16_t mode = bank.ZoneTable[*global].generators[gen::sampleModes];
        for (uint16_t z : zones)
            if (bank.IsValidZone(z))
                bank.ZoneTable[z].Set(gen::sampleModes, mode);
    }
    for (uint32_t k = 0; k < bank.ZoneCount; ++k) {
        const ZoneRecord& zone = bank.ZoneTable[k];
        if (!bank.IsValidSample(zone.sampleIndex) || !zone.IsSet(gen::sampleModes))
            continue;
        const int16_t mode = zone.generators[gen::sampleModes];
        if (mode != 1 && mode != 3)
            continue;
        SampleRecord& sample = bank.SampleTable[zone.sampleIndex];
        sample.looped = 1;
        sample.loopStart = zone.loopStart;
        sample.loopEnd = zone.loopEnd;
    }
}

void PropagateDlsLoops(BankModel& bank) {
    for (uint32_t k = 0; k < bank.ZoneCount; ++k) {
        ZoneRecord& zone = bank.ZoneTable[k];
        if (!bank.IsValidSample(zone.sampleIndex))
            continue;
        SampleRecord& sample = bank.SampleTable[zone.sampleIndex];
        const uint32_t frames = sample.dataLength / std::max<uint16_t>(sample.blockAlign, 1);
        zone.loopEnd = std::min(zone.loopEnd, frames);
        if (zone.generators[gen::sampleModes] != 0) {
            sample.looped = 1;
            sample.loopStart = zone.loopStart;
            sample.loopEnd = zone.loopEnd;
        }
    }
}

} // namespace quorvane
