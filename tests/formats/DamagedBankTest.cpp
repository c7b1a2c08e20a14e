// Damaged and hostile copies of a SoundFont, a GigaSampler and a DLS Level 1 bank, the same damage for every
// reader: truncated at every byte, chunk sizes that say too little, too much or more than the file could
// hold, chunks with bytes too many or left out, garbage after the form, every header byte set to extremes.
// Each copy gives a defined load status: "not a bank" while its type key (bytes 0..3 and 8..11) is cut off
// or damaged, loaded otherwise (or damaged, with nothing in the model, where no bank structure is left); a
// loaded model hangs together and takes edits. Damage only one reader
// understands is in that reader's own damage test.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/DamagedBanks.h"

namespace quorvane {
namespace {

using test::Bytes;
using test::ChunkPlace;
using test::Damage;
using test::DamageBase;

// The status of a copy whose type key is whole, or not.
LoadStatus StatusFor(bool typeKeyWhole) {
    return typeKeyWhole ? LoadStatus::Loaded : LoadStatus::NotABank;
}

class DamagedBankTest : public ::testing::TestWithParam<DamageBase> {
  protected:
    void Load(const Bytes& bytes, LoadStatus expected, const std::string& what) {
        test::LoadDamaged(GetParam(), dir, bytes, expected, what);
    }
    Bytes Build(const Damage& damage = {}, std::map<std::string, ChunkPlace>* layout = nullptr) {
        return GetParam().build(damage, layout);
    }

    test::TempDir dir;
};

TEST_P(DamagedBankTest, TruncatedAtEveryByte) {
    const Bytes whole = Build();
    for (size_t size = 0; size < whole.size(); ++size)
        Load(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)), StatusFor(size >= 12),
             "cut to " + std::to_string(size) + " bytes");
}

// Each chunk's size field in turn says too little, too much, or more than the file could hold.
TEST_P(DamagedBankTest, ChunkSizesThatDoNotFit) {
    std::map<std::string, ChunkPlace> layout;
    Build({}, &layout);
    for (const auto& [path, place] : layout) {
        const uint32_t actual = place.size;
        for (uint32_t size : {0u, 1u, 2u, 3u, 7u, 11u, actual - 1, actual + 1, actual + 13, actual + 38,
                              actual + 46, actual + 1000, 0x7FFFFFFFu, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
            Damage damage;
            damage.declaredSize[path] = size;
            Load(Build(damage), LoadStatus::Loaded, path + " size " + std::to_string(size));
        }
    }
    if (GetParam().canDropPadBytes) {
        Damage unpadded;
        unpadded.unpadded = true;
        Load(Build(unpadded), LoadStatus::Loaded, "without pad bytes");
    }
}

// Chunks whose size is not a whole number of records, and chunks missing altogether.
TEST_P(DamagedBankTest, ChunksWithBytesTooManyOrLeftOut) {
    std::map<std::string, ChunkPlace> layout;
    Build({}, &layout);
    for (const auto& [path, place] : layout) {
        if (path == "RIFF")
            continue;
        if (GetParam().canOmit) {
            Damage missing;
            missing.omit.insert(path);
            Load(Build(missing), LoadStatus::Loaded, path + " missing");
        }
        for (size_t extra : {1u, 3u, 20u, 45u}) {
            Damage damage;
            damage.appendToChunk[path] = Bytes(extra, 0xFF);
            Load(Build(damage), LoadStatus::Loaded, path + " with " + std::to_string(extra) + " extra bytes");
        }
    }
}

TEST_P(DamagedBankTest, GarbageAfterTheForm) {
    Bytes chunkLike = {'L', 'I', 'S', 'T', 0xF0, 0xFF, 0xFF, 0xFF, 'p', 'd', 't', 'a'};
    Bytes tinyChunks;
    for (int i = 0; i < 200; ++i)
        tinyChunks.insert(tinyChunks.end(), {'p', 'h', 'd', 'r', 0, 0, 0, 0});
    for (const Bytes& garbage : {Bytes{0x00}, Bytes(7, 0xAB), Bytes(64, 0xFF), chunkLike, tinyChunks}) {
        Bytes bytes = Build();
        bytes.insert(bytes.end(), garbage.begin(), garbage.end());
        Load(bytes, LoadStatus::Loaded, std::to_string(garbage.size()) + " bytes of garbage");
    }
}

// Every byte outside the sample data set in turn to values that make sizes, counts and indices extreme.
TEST_P(DamagedBankTest, EveryHeaderByteSetToExtremes) {
    std::map<std::string, ChunkPlace> layout;
    const Bytes whole = Build({}, &layout);
    std::vector<bool> sampleData(whole.size(), false);
    for (const auto& [path, place] : layout)
        if (GetParam().isSampleData(path))
            for (size_t at = place.offset + 8; at < place.offset + 8 + place.size; ++at)
                sampleData[at] = true;
    for (size_t at = 0; at < whole.size(); ++at) {
        if (sampleData[at])
            continue;
        const bool inTypeKey = at < 4 || (at >= 8 && at < 12);
        for (uint8_t value : {uint8_t{0x00}, uint8_t{0x80}, uint8_t{0xFF}}) {
            if (whole[at] == value)
                continue;
            Bytes bytes = whole;
            bytes[at] = value;
            Load(bytes, StatusFor(!inTypeKey), "byte " + std::to_string(at) + " = " + std::to_string(value));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, DamagedBankTest, ::testing::ValuesIn(test::DamageBases()),
                         [](const ::testing::TestParamInfo<DamageBase>& info) {
                             std::string name;
                             for (char c : info.param.name)
                                 if (std::isalnum(static_cast<unsigned char>(c)))
                                     name += c;
                             return name;
                         });

} // namespace
} // namespace quorvane
