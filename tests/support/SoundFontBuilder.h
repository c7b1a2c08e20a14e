// Describes a small SoundFont 2 bank and emits it byte for byte. Bag and generator indices and the terminal
// records of every table are worked out from the lists; the optional fields override them, and the damage
// hooks change what was emitted, so that a test can make exactly the broken file it needs.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "support/RiffBuilder.h"

namespace quorvane::test {

struct Generator {
    uint16_t number = 0;
    uint16_t amount = 0;
};

// A key or velocity range amount: low limit in the low byte, high limit in the high byte.
constexpr uint16_t Range(uint8_t low, uint8_t high) {
    return static_cast<uint16_t>(high << 8 | low);
}

// A pmod or imod record.
struct Modulator {
    uint16_t source = 0;
    uint16_t destination = 0;
    int16_t amount = 0;
    uint16_t amountSource = 0;
    uint16_t transform = 0;
};

struct Bag {
    std::vector<Generator> generators{};
    std::optional<uint16_t> firstGenerator{}; // written instead of the computed index
    std::vector<Modulator> modulators{};
};

inline Bag Gens(std::initializer_list<Generator> generators) {
    return Bag{generators, std::nullopt, {}};
}

struct Preset {
    std::string name{};
    uint16_t program = 0;
    uint16_t bank = 0;
    std::vector<Bag> bags{};
    std::optional<uint16_t> firstBag{};
};

struct Instrument {
    std::string name{};
    std::vector<Bag> bags{};
    std::optional<uint16_t> firstBag{};
};

struct Sample {
    std::string name;
    uint32_t start = 0;
    uint32_t end = 0;
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0;
    uint32_t sampleRate = 44100;
    uint8_t originalKey = 60;
    int8_t correction = 0;
    uint16_t link = 0;
    uint16_t type = 1;
};

// An INFO sub-chunk written as given: no terminating zero and no pad byte are added.
struct InfoChunk {
    std::string tag;
    Bytes data;
};
// A text the usual way: zero-terminated and padded to an even size.
InfoChunk InfoText(const std::string& tag, const std::string& text);

// Chunk names used by the layout and the damage hooks: "RIFF", the list types "INFO", "sdta", "pdta",
// and the ids of every other chunk ("ifil", "INAM", "smpl", "phdr", "pbag", ... "shdr").
struct SoundFontBuilder {
    std::optional<std::pair<uint16_t, uint16_t>> version = std::pair<uint16_t, uint16_t>{2, 1};
    std::vector<InfoChunk> info;
    std::vector<Preset> presets;
    std::vector<Instrument> instruments;
    std::vector<Sample> samples;
    std::vector<int16_t> sampleWords;
    Bytes sampleLowBytes; // written as sm24 after smpl when not empty (with version 2.04 for 24-bit samples)

    // Overrides for the indices held by the terminal records.
    std::optional<uint16_t> presetEndBag;        // bag index of the EOP record
    std::optional<uint16_t> presetBagEndGen;     // generator index of the last pbag record
    std::optional<uint16_t> instrumentEndBag;    // bag index of the EOI record
    std::optional<uint16_t> instrumentBagEndGen; // generator index of the last ibag record

    // Damage, applied in this order after the bank is written.
    std::set<std::string> omit;                   // chunks left out altogether
    std::map<std::string, Bytes> appendToChunk;   // extra bytes inside a chunk, counted in its size
    std::map<std::string, uint32_t> declaredSize; // size field written instead of the true size
    std::optional<size_t> truncateAt;             // the file cut to this many bytes
    Bytes garbage;                                // bytes appended after the RIFF form

    // Appends frames words of a ramp and a tail of 46 zero words to sampleWords (the guard points a
    // bank leaves after every sample), then a mono sample over the frames with its loop 8 frames in from
    // each end (or the whole sample when it is short). Returns the sample's index.
    uint16_t AddSample(const std::string& name, uint32_t frames);

    Bytes Build(std::map<std::string, ChunkPlace>* layout = nullptr) const;
};

// One preset over 4,000 samples of 1 KB (4 MB): a command-line write of it prints one status line per
// sample, more than the child's stderr pipe holds, so the child waits mid-write until the test reads them.
Bytes ManySamplesBank();

} // namespace quorvane::test
