// Akai sample fetch: what the 150-byte header gives the sample's record (extent, loop, rate, tuning), the
// frames between the markers read in 31-sector pieces, and failed reads counted.
#include <gtest/gtest.h>

#include "formats/akai/AkaiSampleSource.h"
#include "support/AkaiDiscReading.h"

namespace quorvane {
namespace {

using test::AkaiImageBuilder;
using test::AkaiPartition;
using test::AkaiSample;
using test::AkaiVolume;

std::vector<int16_t> Ramp(size_t count) {
    std::vector<int16_t> frames(count);
    for (size_t i = 0; i < count; ++i)
        frames[i] = static_cast<int16_t>(i * 3 + 1);
    return frames;
}

AkaiImageBuilder OneSampleDisc(const AkaiSample& sample, bool s3000 = false) {
    AkaiImageBuilder builder;
    AkaiVolume volume{"V", static_cast<uint8_t>(s3000 ? 3 : 1)};
    volume.files = {test::SampleFile(sample, s3000)};
    builder.partitions = {AkaiPartition{1, {volume}}};
    return builder;
}

struct Fetched {
    SampleRecord record;
    FrameBuffer left, right;
    FetchReport report;
};

Fetched Fetch(const AkaiImageBuilder& builder, bool headerOnly = false) {
    test::AkaiDiscReading disc(builder);
    AkaiSampleSource source;
    source.Bind(disc.bank, disc.scsi, disc.akai);
    Fetched fetched;
    fetched.report =
        headerOnly ? source.ReadHeader(0) : source.Fetch(0, {fetched.left, fetched.right}, false);
    fetched.record = disc.bank.SampleTable[0];
    return fetched;
}

TEST(AkaiSampleSourceTest, HeaderCompletesTheRecord) {
    struct Case {
        const char* name;
        AkaiSample sample;
        bool s3000;
        uint32_t dataLength, loopStart, loopEnd;
        uint16_t looped;
        int32_t pitchCorrection;
        uint32_t sampleRate;
    };
    auto sample = [](uint32_t start, uint32_t end, uint32_t loopAt, uint32_t loopLength) {
        AkaiSample s{"S", Ramp(200)};
        s.start = start;
        s.end = end;
        s.loopAt = loopAt;
        s.loopLength = loopLength;
        return s;
    };
    auto with = [](AkaiSample s, auto change) {
        change(s);
        return s;
    };
    const Case cases[] = {
        {"loop at rounded to 64 on S1000", sample(0, 99, 80, 30), false, 200, 35, 65, 1, 0, 44100},
        {"loop at rounded to 16 on S3000", sample(0, 99, 80, 30), true, 200, 51, 81, 1, 0, 44100},
        {"loop counted from the start marker", sample(10, 99, 80, 30), false, 180, 25, 55, 1, 0, 44100},
        {"loop longer than its end starts at 0", sample(0, 99, 80, 90), false, 200, 0, 65, 1, 0, 44100},
        {"loop past the end ends at the end", sample(0, 99, 320, 10), false, 200, 0, 100, 1, 0, 44100},
        {"loop mode 2: no loop", with(sample(0, 99, 80, 30), [](AkaiSample& s) { s.loopMode = 2; }), false,
         200, 35, 65, 0, 0, 44100},
        {"two loops", with(sample(0, 99, 80, 30), [](AkaiSample& s) { s.loops = 0x12; }), false, 200, 35, 65,
         2, 0, 44100},
        {"tuning -1 semitone + 128/255",
         with(sample(0, 99, 80, 30),
              [](AkaiSample& s) {
                  s.semitoneTune = -1;
                  s.fineTune = 128;
              }),
         false, 200, 35, 65, 1, -50, 44100},
        {"22050 Hz with the 44.1 kHz flag",
         with(sample(0, 99, 80, 30), [](AkaiSample& s) { s.rate = 22050; }), false, 200, 35, 65, 1, 1200,
         22050},
        {"22050 Hz without the flag",
         with(sample(0, 99, 80, 30),
              [](AkaiSample& s) {
                  s.rate = 22050;
                  s.rateFlag = 0;
              }),
         false, 200, 35, 65, 1, 0, 22050},
        {"negative end marker", sample(0, 0x80000000u, 80, 30), false, 0, 0, 0, 1, 0, 44100},
        {"end before start", sample(50, 10, 80, 30), false, 0, 0, 0, 1, 0, 44100},
        {"end past the partition", sample(0, 2000000, 80, 30), false, 0, 0, 0, 1, 0, 44100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Fetched fetched = Fetch(OneSampleDisc(c.sample, c.s3000), true);
        const SampleRecord& r = fetched.record;
        EXPECT_EQ(fetched.report.readErrors, 0u);
        EXPECT_EQ(r.dataLength, c.dataLength);
        EXPECT_EQ(r.looped, c.looped);
        EXPECT_EQ(r.rootKey, 60);
        if (c.dataLength == 0)
            continue;
        EXPECT_EQ(r.loopStart, c.loopStart);
        EXPECT_EQ(r.loopEnd, c.loopEnd);
        EXPECT_EQ(r.pitchCorrection, c.pitchCorrection);
        EXPECT_EQ(r.sampleRate, c.sampleRate);
        EXPECT_TRUE(fetched.left.frames.empty()) << "header only";
    }
}

TEST(AkaiSampleSourceTest, FramesRunFromStartToEndMarkerAcrossPieces) {
    // 70,000 frames: the read spans three 31-sector pieces.
    AkaiSample looped{"LONG", Ramp(70000)};
    looped.rootKey = 0x80 | 45;
    looped.start = 5;
    looped.end = 69990;
    looped.loopAt = 60000;
    looped.loopLength = 1000;
    AkaiSample oneShot = looped;
    oneShot.loopMode = 3;
    for (const AkaiSample& sample : {looped, oneShot}) {
        SCOPED_TRACE(sample.loopMode);
        const Fetched fetched = Fetch(OneSampleDisc(sample));
        EXPECT_EQ(fetched.report.readErrors, 0u);
        EXPECT_EQ(fetched.record.rootKey, 45);
        ASSERT_EQ(fetched.left.length, 69986u * 2);
        ASSERT_EQ(fetched.left.frames.size(), 69986u);
        std::vector<int16_t> expected(sample.frames.begin() + 5, sample.frames.begin() + 69991);
        if (sample.loopMode == 3)
            expected.back() = 0; // a sample that does not loop ends in silence
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), fetched.left.frames.begin()));
        EXPECT_TRUE(fetched.right.frames.empty());
    }
}

TEST(AkaiSampleSourceTest, FailedReadsAreCountedAndLeaveZeros) {
    AkaiSample sample{"CUT", Ramp(70000)};
    sample.loopAt = 69000;
    AkaiImageBuilder builder = OneSampleDisc(sample);
    // The disc ends inside the sample's second piece: that piece fails half-read, the third fails empty.
    const uint32_t sampleSector = 4 * builder.FileBlock(0, 0, 0);
    builder.totalSectors = sampleSector + 31 + 10;
    const Fetched fetched = Fetch(builder);
    EXPECT_EQ(fetched.report.readErrors, 2u);
    ASSERT_EQ(fetched.left.frames.size(), 70000u);
    const size_t readable = (41 * 2048 - 150) / 2;
    EXPECT_TRUE(
        std::equal(sample.frames.begin(), sample.frames.begin() + readable, fetched.left.frames.begin()));
    EXPECT_TRUE(std::all_of(fetched.left.frames.begin() + readable, fetched.left.frames.end(),
                            [](int16_t f) { return f == 0; }));

    builder.totalSectors = sampleSector; // the header itself is gone
    const Fetched nothing = Fetch(builder);
    EXPECT_EQ(nothing.report.readErrors, 1u);
    EXPECT_EQ(nothing.left.length, 0u);
    EXPECT_EQ(nothing.record.sampleRate, 44100u) << "the defaults stay";
    EXPECT_EQ(nothing.record.rootKey, 60);
}

TEST(AkaiSampleSourceTest, LeftHalfBringsItsPartner) {
    AkaiImageBuilder builder;
    AkaiVolume volume{"V"};
    AkaiSample left{"PAD L", Ramp(300)}, right{"PAD R", std::vector<int16_t>(400, -7)};
    volume.files = {test::SampleFile(left), test::SampleFile(right)};
    builder.partitions = {AkaiPartition{1, {volume}}};
    test::AkaiDiscReading disc(builder);
    disc.bank.SampleTable[0].sampleType = 4;
    disc.bank.SampleTable[0].linkIndex = 2;
    AkaiSampleSource source;
    source.Bind(disc.bank, disc.scsi, disc.akai);
    FrameBuffer l, r;
    source.Fetch(0, {l, r}, false);
    EXPECT_EQ(l.frames.size(), 300u);
    ASSERT_EQ(r.frames.size(), 400u);
    EXPECT_EQ(r.frames[0], -7);
    EXPECT_EQ(disc.bank.SampleTable[1].dataLength, 800u) << "the partner's record is completed too";
}

} // namespace
} // namespace quorvane
