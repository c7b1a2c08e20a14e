#include "support/SoundFontBuilder.h"

#include "model/Generators.h"

namespace quorvane::test {

namespace {

constexpr size_t kNameWidth = 20;

struct BagTables {
    Bytes bags;
    Bytes mods;
    Bytes gens;
};

// The bag and generator tables of presets or instruments. Every bag's generator index is the running
// count unless the bag overrides it; the terminal bag takes the total unless endGen is given.
template <typename Owner>
BagTables MakeBagTables(const std::vector<Owner>& owners, std::optional<uint16_t> endGen) {
    BagTables tables;
    uint16_t genIndex = 0, modIndex = 0;
    for (const Owner& owner : owners)
        for (const Bag& bag : owner.bags) {
            PutU16(tables.bags, bag.firstGenerator.value_or(genIndex));
            PutU16(tables.bags, modIndex);
            for (const Generator& g : bag.generators) {
                PutU16(tables.gens, g.number);
                PutU16(tables.gens, g.amount);
                ++genIndex;
            }
            for (const Modulator& m : bag.modulators) {
                for (uint16_t field :
                     {m.source, m.destination, static_cast<uint16_t>(m.amount), m.amountSource, m.transform})
                    PutU16(tables.mods, field);
                ++modIndex;
            }
        }
    PutU16(tables.bags, endGen.value_or(genIndex));
    PutU16(tables.bags, modIndex);
    PutU32(tables.gens, 0);
    tables.mods.insert(tables.mods.end(), 10, 0);
    return tables;
}

} // namespace

InfoChunk InfoText(const std::string& tag, const std::string& text) {
    InfoChunk chunk{tag, Bytes(text.begin(), text.end())};
    chunk.data.push_back(0);
    if (chunk.data.size() % 2 != 0)
        chunk.data.push_back(0);
    return chunk;
}

uint16_t SoundFontBuilder::AddSample(const std::string& name, uint32_t frames) {
    Sample sample;
    sample.name = name;
    sample.start = static_cast<uint32_t>(sampleWords.size());
    sample.end = sample.start + frames;
    const bool roomForLoop = frames > 16;
    sample.loopStart = roomForLoop ? sample.start + 8 : sample.start;
    sample.loopEnd = roomForLoop ? sample.end - 8 : sample.end;
    for (uint32_t i = 0; i < frames; ++i)
        sampleWords.push_back(static_cast<int16_t>(i * 64));
    sampleWords.insert(sampleWords.end(), 46, 0);
    samples.push_back(sample);
    return static_cast<uint16_t>(samples.size() - 1);
}

Bytes SoundFontBuilder::Build(std::map<std::string, ChunkPlace>* layout) const {
    RiffWriter riff;
    auto chunk = [&](const std::string& id, Bytes data) {
        if (omit.count(id))
            return;
        if (auto extra = appendToChunk.find(id); extra != appendToChunk.end())
            data.insert(data.end(), extra->second.begin(), extra->second.end());
        riff.Chunk(id.c_str(), data);
    };
    auto list = [&](const char* type, auto&& body) {
        if (omit.count(type))
            return;
        const size_t header = riff.Open("LIST", type);
        body();
        if (auto extra = appendToChunk.find(type); extra != appendToChunk.end())
            riff.bytes.insert(riff.bytes.end(), extra->second.begin(), extra->second.end());
        riff.Close(header);
    };

    const size_t form = riff.Open("RIFF", "sfbk");
    list("INFO", [&] {
        if (version) {
            Bytes ifil;
            PutU16(ifil, version->first);
            PutU16(ifil, version->second);
            chunk("ifil", ifil);
        }
        for (const InfoChunk& item : info)
            chunk(item.tag, item.data);
    });
    list("sdta", [&] {
        Bytes words;
        for (int16_t word : sampleWords)
            PutU16(words, static_cast<uint16_t>(word));
        chunk("smpl", words);
        if (!sampleLowBytes.empty())
            chunk("sm24", sampleLowBytes);
    });
    list("pdta", [&] {
        Bytes phdr;
        uint16_t bagIndex = 0;
        for (const Preset& preset : presets) {
            PutFixedName(phdr, preset.name, kNameWidth);
            PutU16(phdr, preset.program);
            PutU16(phdr, preset.bank);
            PutU16(phdr, preset.firstBag.value_or(bagIndex));
            phdr.insert(phdr.end(), 12, 0);
            bagIndex = static_cast<uint16_t>(bagIndex + preset.bags.size());
        }
        PutFixedName(phdr, "EOP", kNameWidth);
        PutU32(phdr, 0);
        PutU16(phdr, presetEndBag.value_or(bagIndex));
        phdr.insert(phdr.end(), 12, 0);
        chunk("phdr", phdr);
        const BagTables presetBags = MakeBagTables(presets, presetBagEndGen);
        chunk("pbag", presetBags.bags);
        chunk("pmod", presetBags.mods);
        chunk("pgen", presetBags.gens);
        Bytes inst;
        bagIndex = 0;
        for (const Instrument& instrument : instruments) {
            PutFixedName(inst, instrument.name, kNameWidth);
            PutU16(inst, instrument.firstBag.value_or(bagIndex));
            bagIndex = static_cast<uint16_t>(bagIndex + instrument.bags.size());
        }
        PutFixedName(inst, "EOI", kNameWidth);
        PutU16(inst, instrumentEndBag.value_or(bagIndex));
        chunk("inst", inst);
        const BagTables instrumentBags = MakeBagTables(instruments, instrumentBagEndGen);
        chunk("ibag", instrumentBags.bags);
        chunk("imod", instrumentBags.mods);
        chunk("igen", instrumentBags.gens);
        Bytes shdr;
        for (const Sample& sample : samples) {
            PutFixedName(shdr, sample.name, kNameWidth);
            PutU32(shdr, sample.start);
            PutU32(shdr, sample.end);
            PutU32(shdr, sample.loopStart);
            PutU32(shdr, sample.loopEnd);
            PutU32(shdr, sample.sampleRate);
            PutU8(shdr, sample.originalKey);
            PutU8(shdr, static_cast<uint8_t>(sample.correction));
            PutU16(shdr, sample.link);
            PutU16(shdr, sample.type);
        }
        PutFixedName(shdr, "EOS", kNameWidth);
        shdr.insert(shdr.end(), 26, 0);
        chunk("shdr", shdr);
    });
    riff.Close(form);

    Bytes bytes = std::move(riff.bytes);
    for (const auto& [name, size] : declaredSize)
        if (auto place = riff.places.find(name); place != riff.places.end())
            PatchU32(bytes, place->second.offset + 4, size);
    if (truncateAt && *truncateAt < bytes.size())
        bytes.resize(*truncateAt);
    bytes.insert(bytes.end(), garbage.begin(), garbage.end());
    if (layout != nullptr)
        *layout = riff.places;
    return bytes;
}

Bytes ManySamplesBank() {
    SoundFontBuilder sf;
    for (int s = 0; s < 4000; ++s)
        sf.AddSample("Sample " + std::to_string(s), 512);
    sf.instruments = {{.name = "I", .bags = {Gens({{gen::sampleID, 0}})}}};
    sf.presets = {{.name = "P", .bags = {Gens({{gen::instrument, 0}})}}};
    return sf.Build();
}

} // namespace quorvane::test
