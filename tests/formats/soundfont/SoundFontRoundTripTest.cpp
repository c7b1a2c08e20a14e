// A real bank written whole and read again: TimGM6mb.sf2 from Debian's timgm6mb-soundfont. The copy must
// hold the same presets, layers, zones and sample data, load in FluidSynth and sound as the original does
// there, and parse in libgig's sf2dump without complaint.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "convert/BankWriters.h"
#include "convert/SampleFetch.h"
#include "support/FluidRender.h"
#include "support/Peers.h"
#include "support/RecordingHost.h"
#include "support/RunProcess.h"
#include "support/SoundFontWriterFixtures.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

constexpr const char* kBank = test::kTimGM6mbPath;
constexpr int kLastWrittenGenerator = 59;

// A loaded bank with the host it reports to.
struct LoadedBank {
    test::RecordingHost host;
    Workspace workspace{host};
};

class SoundFontRoundTrip : public ::testing::Test {
  protected:
    // The original is written once for all tests of the suite, from a workspace of its own (a write changes
    // the model it writes); then the original and the copy are each loaded afresh.
    static void SetUpTestSuite() {
        if (!std::filesystem::exists(kBank))
            return;
        folder_ = new test::TempDir;
        copyPath_ = folder_->Folder() + "TimGM6mb-copy.sf2";
        LoadedBank writer;
        if (test::LoadBankFile(writer.workspace, kBank) != LoadStatus::Loaded)
            return;
        const SoundFontWriteResult result =
            WriteSoundFont(writer.workspace, WriteSelection::All(writer.workspace.bank), 0, copyPath_,
                           BankNaming::SourceBank, false);
        written_ = result.written;
        writerLines_ = writer.host.statusLines;
        original_ = new LoadedBank;
        copy_ = new LoadedBank;
        test::LoadBankFile(original_->workspace, kBank);
        test::LoadBankFile(copy_->workspace, copyPath_);
    }
    static void TearDownTestSuite() {
        delete original_;
        delete copy_;
        delete folder_;
        original_ = copy_ = nullptr;
        folder_ = nullptr;
    }

    void SetUp() override {
        REQUIRE_PEER(std::filesystem::exists(kBank),
                     kBank << " is missing: install the Debian package timgm6mb-soundfont");
        ASSERT_TRUE(written_) << "the copy was not written";
        ASSERT_NE(original_, nullptr);
    }

    static const BankModel& Original() { return original_->workspace.bank; }
    static const BankModel& Copy() { return copy_->workspace.bank; }

    static inline test::TempDir* folder_ = nullptr;
    static inline std::string copyPath_;
    static inline bool written_ = false;
    static inline std::vector<std::string> writerLines_;
    static inline LoadedBank* original_ = nullptr;
    static inline LoadedBank* copy_ = nullptr;
};

// Generators 0..59 but the one that refers to another table: same flags, same values.
void ExpectSameGenerators(const GeneratorSet& original, const GeneratorSet& copy, int reference,
                          const std::string& where) {
    for (int number = 0; number <= kLastWrittenGenerator; ++number) {
        if (number == reference)
            continue;
        EXPECT_EQ(original.IsSet(number), copy.IsSet(number)) << where << " generator " << number;
        EXPECT_EQ(original.generators[number], copy.generators[number]) << where << " generator " << number;
    }
}

void ExpectSameSampleHeader(const SampleRecord& original, const SampleRecord& copy,
                            const std::string& where) {
    EXPECT_EQ(original.fullName, copy.fullName) << where;
    EXPECT_EQ(original.dataLength, copy.dataLength) << where;
    EXPECT_EQ(original.sampleRate, copy.sampleRate) << where;
    EXPECT_EQ(original.rootKey, copy.rootKey) << where;
    EXPECT_EQ(original.pitchCorrection, copy.pitchCorrection) << where;
    EXPECT_EQ(original.sampleType, copy.sampleType) << where;
    EXPECT_EQ(original.linkIndex, copy.linkIndex) << where;
    EXPECT_EQ(original.looped, copy.looped) << where;
    EXPECT_EQ(original.loopStart, copy.loopStart) << where;
    EXPECT_EQ(original.loopEnd, copy.loopEnd) << where;
}

TEST_F(SoundFontRoundTrip, WriterReportsEverySampleAndNoError) {
    EXPECT_EQ(std::count_if(writerLines_.begin(), writerLines_.end(),
                            [](const std::string& line) { return line.rfind("Copying sample", 0) == 0; }),
              Original().SampleCount);
    EXPECT_TRUE(std::none_of(writerLines_.begin(), writerLines_.end(), [](const std::string& line) {
        return line.find("ERROR") != std::string::npos;
    }));
    ASSERT_FALSE(writerLines_.empty());
    EXPECT_EQ(writerLines_.back().rfind("Saved file  '" + copyPath_ + "'", 0), 0u) << writerLines_.back();
}

// Walks presets, their layers and the layers' zones side by side. Instrument and sample numbers are
// renumbered by the writer, so those two generators are compared by what they point to.
TEST_F(SoundFontRoundTrip, PresetsLayersAndZonesKeepTheirGenerators) {
    const BankModel& a = Original();
    const BankModel& b = Copy();
    ASSERT_GT(a.PresetCount, 0);
    ASSERT_EQ(a.PresetCount, b.PresetCount);
    EXPECT_EQ(a.LayerCount, b.LayerCount);
    EXPECT_EQ(a.ZoneCount, b.ZoneCount);
    for (uint32_t slot = 1; slot <= a.PresetCount; ++slot) {
        const PresetRecord& pa = a.PresetTable[slot];
        const PresetRecord& pb = b.PresetTable[slot];
        const std::string where = "preset " + std::to_string(slot) + " '" + pa.name + "'";
        EXPECT_EQ(pa.name, pb.name) << where;
        EXPECT_EQ(pa.bank, pb.bank) << where;
        EXPECT_EQ(pa.program, pb.program) << where;
        EXPECT_EQ(pa.isDrum, pb.isDrum) << where;
        ASSERT_EQ(pa.layerList.Count(), pb.layerList.Count()) << where;
        for (size_t l = 0; l < pa.layerList.Count(); ++l) {
            const LayerRecord& la = a.LayerTable[pa.layerList[l]];
            const LayerRecord& lb = b.LayerTable[pb.layerList[l]];
            const std::string layerWhere = where + " layer " + std::to_string(l) + " '" + la.name + "'";
            EXPECT_EQ(la.name, lb.name) << layerWhere;
            EXPECT_EQ(la.isGlobal, lb.isGlobal) << layerWhere;
            ExpectSameGenerators(la, lb, gen::instrument, layerWhere);
            EXPECT_EQ(la.IsSet(gen::instrument), lb.IsSet(gen::instrument)) << layerWhere;
            ASSERT_EQ(la.zoneList.Count(), lb.zoneList.Count()) << layerWhere;
            for (size_t z = 0; z < la.zoneList.Count(); ++z) {
                const ZoneRecord& za = a.ZoneTable[la.zoneList[z]];
                const ZoneRecord& zb = b.ZoneTable[lb.zoneList[z]];
                const std::string zoneWhere = layerWhere + " zone " + std::to_string(z);
                EXPECT_EQ(za.isGlobal, zb.isGlobal) << zoneWhere;
                ExpectSameGenerators(za, zb, gen::sampleID, zoneWhere);
                EXPECT_EQ(za.IsSet(gen::sampleID), zb.IsSet(gen::sampleID)) << zoneWhere;
                EXPECT_EQ(za.loopStart, zb.loopStart) << zoneWhere;
                EXPECT_EQ(za.loopEnd, zb.loopEnd) << zoneWhere;
                ASSERT_EQ(a.IsValidSample(za.sampleIndex), b.IsValidSample(zb.sampleIndex)) << zoneWhere;
                if (a.IsValidSample(za.sampleIndex))
                    ExpectSameSampleHeader(a.SampleTable[za.sampleIndex], b.SampleTable[zb.sampleIndex],
                                           zoneWhere);
            }
        }
    }
}

TEST_F(SoundFontRoundTrip, EverySampleKeepsItsData) {
    Workspace& a = original_->workspace;
    Workspace& b = copy_->workspace;
    ASSERT_GT(a.bank.SampleCount, 0);
    ASSERT_EQ(a.bank.SampleCount, b.bank.SampleCount);
    for (uint32_t s = 0; s < a.bank.SampleCount; ++s) {
        const std::string where = "sample " + std::to_string(s) + " '" + a.bank.SampleTable[s].fullName + "'";
        ExpectSameSampleHeader(a.bank.SampleTable[s], b.bank.SampleTable[s], where);
        const FrameBuffer fa = FetchSample(a, s, true).left;
        const FrameBuffer fb = FetchSample(b, s, true).left;
        ASSERT_EQ(fa.length, fb.length) << where;
        EXPECT_GT(fa.length, 0u) << where;
        EXPECT_TRUE(std::equal(fa.frames.begin(), fa.frames.begin() + fa.FrameCount(), fb.frames.begin()))
            << where;
    }
}

TEST_F(SoundFontRoundTrip, Sf2dumpParsesTheCopy) {
    const std::string sf2dump = test::FindOnPath("sf2dump");
    REQUIRE_PEER(!sf2dump.empty(), "sf2dump is not on PATH: install the Debian package gigtools");
    const test::ProcessResult original = test::RunProcess(sf2dump, {kBank});
    const test::ProcessResult copy = test::RunProcess(sf2dump, {copyPath_});
    EXPECT_FALSE(copy.signaled);
    EXPECT_EQ(copy.exitStatus, 0);
    EXPECT_EQ(copy.err, "");
    // The counts sf2dump heads its sections with ("Samples (N)") are the same for both files.
    auto counts = [](const std::string& text) {
        std::vector<std::string> found;
        for (const char* section : {"Samples (", "Instruments (", "Presets ("}) {
            const size_t at = text.find(section);
            if (at != std::string::npos)
                found.push_back(text.substr(at, text.find(')', at) - at + 1));
        }
        return found;
    };
    EXPECT_EQ(counts(copy.out).size(), 3u);
    EXPECT_EQ(counts(copy.out), counts(original.out));
}

TEST_F(SoundFontRoundTrip, FluidSynthPlaysTheCopyAsTheOriginal) {
    test::FluidLog originalLog, copyLog;
    const test::Phrase phrase = test::ShortGmPhrase();
    const std::vector<float> original = test::RenderPhrase(kBank, phrase, originalLog);
    const std::vector<float> copy = test::RenderPhrase(copyPath_, phrase, copyLog);
    ASSERT_FALSE(copy.empty()) << "FluidSynth did not load the copy";
    ASSERT_EQ(original.size(), copy.size());
    EXPECT_EQ(copyLog.errors, std::vector<std::string>{});
    EXPECT_EQ(copyLog.warnings, originalLog.warnings);

    double energy = 0;
    float largest = 0;
    size_t differing = 0;
    for (size_t i = 0; i < original.size(); ++i) {
        energy += double(original[i]) * original[i];
        largest = std::max(largest, std::fabs(original[i] - copy[i]));
        differing += original[i] != copy[i];
    }
    EXPECT_GT(std::sqrt(energy / original.size()), 1e-3) << "the phrase should be audible";
    // Same sample words, loops and generators give the same voices: the renderings are identical.
    EXPECT_EQ(differing, 0u) << "largest difference " << largest;
}

} // namespace
} // namespace quorvane
