// Reading back what the SoundFont writer produced: the file's chunks walked strictly (every size must fit
// its parent, so a wrong size patch shows up as a failure), the hydra records as plain values, and the
// loading of a bank file into a workspace the way the file list does it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "convert/BankLoader.h"
#include "support/RiffBuilder.h"

namespace quorvane::test {

inline Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One chunk of a RIFF file. path names it from the form down by list types and chunk ids, e.g.
// "sfbk/INFO/INAM" or "sfbk/pdta/shdr"; a list is named by its type ("sfbk/sdta").
struct RiffChunk {
    std::string path;
    size_t offset = 0; // of its 8-byte header
    uint32_t size = 0;
    Bytes data; // for a list: everything after its list type
};

inline std::string FourCCAt(const Bytes& file, size_t at) {
    return std::string(file.begin() + at, file.begin() + at + 4);
}

// Walks the chunks between begin and end into chunks; false when one does not fit.
inline bool WalkChunks(const Bytes& file, size_t begin, size_t end, const std::string& parent,
                       std::vector<RiffChunk>& chunks) {
    size_t at = begin;
    while (at < end) {
        if (end - at < 8) {
            ADD_FAILURE() << "stray bytes at " << at << " inside " << parent;
            return false;
        }
        const std::string id = FourCCAt(file, at);
        const uint32_t size = GetU32(file, at + 4);
        if (size > end - at - 8) {
            ADD_FAILURE() << "chunk " << id << " at " << at << " claims " << size << " bytes, " << parent
                          << " has " << end - at - 8 << " left";
            return false;
        }
        const bool list = id == "LIST" && size >= 4;
        const std::string path = parent + "/" + (list ? FourCCAt(file, at + 8) : id);
        const size_t dataStart = at + 8 + (list ? 4 : 0);
        chunks.push_back({path, at, size, Bytes(file.begin() + dataStart, file.begin() + at + 8 + size)});
        if (list && !WalkChunks(file, dataStart, at + 8 + size, path, chunks))
            return false;
        at += 8 + size + (size & 1);
    }
    return true;
}

// Every chunk in file order, the form first. The file must be exactly one RIFF form with no bytes after
// it; a chunk that does not fit its parent is a test failure and ends the walk.
inline std::vector<RiffChunk> WalkRiff(const Bytes& file) {
    std::vector<RiffChunk> chunks;
    if (file.size() < 12 || FourCCAt(file, 0) != "RIFF") {
        ADD_FAILURE() << "not a RIFF file";
        return chunks;
    }
    const uint32_t formSize = GetU32(file, 4);
    EXPECT_EQ(formSize, file.size() - 8) << "RIFF size";
    if (formSize != file.size() - 8)
        return chunks;
    const std::string form = FourCCAt(file, 8);
    chunks.push_back({form, 0, formSize, Bytes(file.begin() + 12, file.end())});
    WalkChunks(file, 12, file.size(), form, chunks);
    return chunks;
}

inline const RiffChunk* FindChunk(const std::vector<RiffChunk>& chunks, const std::string& path) {
    for (const RiffChunk& chunk : chunks)
        if (chunk.path == path)
            return &chunk;
    return nullptr;
}

inline std::string NameField(const Bytes& data, size_t at) {
    std::string name(data.begin() + at, data.begin() + at + 20);
    return name.substr(0, name.find('\0'));
}

inline uint16_t U16At(const Bytes& data, size_t at) {
    return static_cast<uint16_t>(data[at] | data[at + 1] << 8);
}

struct PresetHeader {
    std::string name;
    uint16_t preset = 0, bank = 0, bag = 0;
    bool operator==(const PresetHeader&) const = default;
};
struct BagRecord {
    uint16_t generator = 0, modulator = 0;
    bool operator==(const BagRecord&) const = default;
};
struct GenRecord {
    uint16_t number = 0, amount = 0;
    bool operator==(const GenRecord&) const = default;
};
struct InstrumentHeader {
    std::string name;
    uint16_t bag = 0;
    bool operator==(const InstrumentHeader&) const = default;
};
struct SampleHeader {
    std::string name;
    uint32_t start = 0, end = 0, loopStart = 0, loopEnd = 0, sampleRate = 0;
    uint8_t key = 0;
    int8_t correction = 0;
    uint16_t link = 0, type = 0;
    bool operator==(const SampleHeader&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const PresetHeader& p) {
    return out << "{'" << p.name << "' preset " << p.preset << " bank " << p.bank << " bag " << p.bag << "}";
}
inline std::ostream& operator<<(std::ostream& out, const BagRecord& b) {
    return out << "{gen " << b.generator << " mod " << b.modulator << "}";
}
inline std::ostream& operator<<(std::ostream& out, const GenRecord& g) {
    return out << "{" << g.number << ": 0x" << std::hex << g.amount << std::dec << "}";
}
inline std::ostream& operator<<(std::ostream& out, const InstrumentHeader& i) {
    return out << "{'" << i.name << "' bag " << i.bag << "}";
}
inline std::ostream& operator<<(std::ostream& out, const SampleHeader& s) {
    return out << "{'" << s.name << "' " << s.start << ".." << s.end << " loop " << s.loopStart << ".."
               << s.loopEnd << " " << s.sampleRate << " Hz key " << int(s.key) << " corr "
               << int(s.correction) << " link " << s.link << " type " << s.type << "}";
}

// The records of a hydra chunk, terminal record included; a size that is not a whole number of records
// is a test failure.
template <typename Record, size_t kSize, typename Parse>
std::vector<Record> Records(const RiffChunk* chunk, Parse parse) {
    std::vector<Record> records;
    if (chunk == nullptr) {
        ADD_FAILURE() << "chunk missing";
        return records;
    }
    EXPECT_EQ(chunk->size % kSize, 0u) << chunk->path;
    for (size_t at = 0; at + kSize <= chunk->data.size(); at += kSize)
        records.push_back(parse(chunk->data, at));
    return records;
}

inline std::vector<PresetHeader> PresetHeaders(const std::vector<RiffChunk>& chunks) {
    return Records<PresetHeader, 38>(FindChunk(chunks, "sfbk/pdta/phdr"), [](const Bytes& d, size_t at) {
        return PresetHeader{NameField(d, at), U16At(d, at + 20), U16At(d, at + 22), U16At(d, at + 24)};
    });
}
inline std::vector<BagRecord> Bags(const std::vector<RiffChunk>& chunks, const char* id) {
    return Records<BagRecord, 4>(FindChunk(chunks, std::string("sfbk/pdta/") + id),
                                 [](const Bytes& d, size_t at) {
                                     return BagRecord{U16At(d, at), U16At(d, at + 2)};
                                 });
}
inline std::vector<GenRecord> GenRecords(const std::vector<RiffChunk>& chunks, const char* id) {
    return Records<GenRecord, 4>(FindChunk(chunks, std::string("sfbk/pdta/") + id),
                                 [](const Bytes& d, size_t at) {
                                     return GenRecord{U16At(d, at), U16At(d, at + 2)};
                                 });
}
inline std::vector<InstrumentHeader> InstrumentHeaders(const std::vector<RiffChunk>& chunks) {
    return Records<InstrumentHeader, 22>(FindChunk(chunks, "sfbk/pdta/inst"), [](const Bytes& d, size_t at) {
        return InstrumentHeader{NameField(d, at), U16At(d, at + 20)};
    });
}
inline std::vector<SampleHeader> SampleHeaders(const std::vector<RiffChunk>& chunks) {
    return Records<SampleHeader, 46>(FindChunk(chunks, "sfbk/pdta/shdr"), [](const Bytes& d, size_t at) {
        return SampleHeader{
            NameField(d, at),   GetU32(d, at + 20), GetU32(d, at + 24), GetU32(d, at + 28),
            GetU32(d, at + 32), GetU32(d, at + 36), d[at + 40],         static_cast<int8_t>(d[at + 41]),
            U16At(d, at + 42),  U16At(d, at + 44)};
    });
}

// The text of an INFO sub-chunk up to its first zero byte.
inline std::string InfoTextOf(const RiffChunk& chunk) {
    const std::string text(chunk.data.begin(), chunk.data.end());
    return text.substr(0, text.find('\0'));
}

// Loads the file silently, as batch saving does, so that the sample fetch reads from it afterwards.
inline LoadStatus LoadBankFile(Workspace& workspace, const std::string& path) {
    return LoadBank(workspace, path).status;
}

} // namespace quorvane::test
