// Small files that claim huge sizes or name huge products of counts: quorvane-cli's peak memory stays
// bounded by the data for info, info --json, convert to both formats and export-samples. RLIMIT_AS cannot
// be used: the address sanitizer reserves terabytes of address space. The peak is the CLI's ru_maxrss as
// GNU time reports it: a child forked by this test would count the test's own memory, which the fork
// copied, in its peak. Under the sanitizer the same commands on a small normal bank give the baseline
// (shadow memory, the allocator's own), and the limit is that baseline plus 32 MB; a build without it is
// held to 64 MB outright.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>

#include "support/ChildProcess.h"
#include "support/DlsBuilder.h"
#include "support/Peers.h"
#include "support/SoundFontBuilder.h"
#include "support/TempDir.h"

namespace quorvane::test {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
constexpr long kLimitKilobytes = 64 * 1000;
// The sanitizer's quarantine keeps freed memory resident; without it the peak is the program's own.
constexpr const char* kSanitizerOptions = "quarantine_size_mb=0";

SoundFontBuilder OnePreset() {
    SoundFontBuilder sf;
    sf.AddSample("Tone", 64);
    sf.instruments = {{.name = "I", .bags = {Gens({{gen::sampleID, 0}})}}};
    sf.presets = {{.name = "P", .bags = {Gens({{gen::instrument, 0}})}}};
    return sf;
}

std::string PathEndingIn(const SoundFontBuilder& sf, const std::string& tail) {
    std::map<std::string, ChunkPlace> layout;
    sf.Build(&layout);
    for (const auto& [path, place] : layout)
        if (path.size() >= tail.size() && path.compare(path.size() - tail.size(), tail.size(), tail) == 0)
            return path;
    return tail;
}

// A 1 KB bank whose sample data chunk and sample headers claim 4 GB.
Bytes FourGigabytesOfSamples() {
    SoundFontBuilder sf = OnePreset();
    sf.samples[0].end = 0x7FFFFF00u;
    sf.samples[0].loopEnd = 0x7FFFFE00u;
    sf.declaredSize[PathEndingIn(sf, "smpl")] = 0xFFFFFFF0u;
    return sf.Build();
}

// Preset headers that claim 65,535 records, each naming every layer from bag 0 on (runs that overlap).
Bytes SixtyFiveThousandPresets() {
    SoundFontBuilder sf = OnePreset();
    for (int p = 0; p < 20; ++p)
        sf.presets.push_back(
            {.name = "Q" + std::to_string(p), .bags = {Gens({{gen::instrument, 0}})}, .firstBag = 0});
    sf.presetEndBag = 0xFFFF;
    sf.declaredSize[PathEndingIn(sf, "phdr")] = 65535u * 38u;
    return sf.Build();
}

// 240 KB: one preset of 10,000 layers, all over one instrument of 10,000 zones.
Bytes TenThousandLayersOverTenThousandZones() {
    SoundFontBuilder sf;
    sf.AddSample("Tone", 64);
    Instrument shared{.name = "Shared"};
    for (int z = 0; z < 10000; ++z)
        shared.bags.push_back(Gens({{gen::sampleID, 0}}));
    sf.instruments = {shared};
    Preset layered{.name = "Layered"};
    for (int l = 0; l < 10000; ++l)
        layered.bags.push_back(Gens({{gen::instrument, 0}}));
    sf.presets = {layered};
    return sf.Build();
}

// GigaSampler regions that each claim 256 dimension regions over eight dimension bits.
Bytes DimensionRegionsEverywhere() {
    DlsBuilder dls;
    dls.waves = {MonoWave("Wave", 64)};
    DlsRegion region;
    region.dimensions = {{dim::kVelocity, 5}, {dim::kLayer, 3}};
    region.dimensionRegionCount = 256;
    region.dimensionRegions = {{.poolIndex = 0}, {.poolIndex = 0}};
    DlsInstrument instrument{.name = "Wide"};
    for (int k = 0; k < 128; ++k) {
        region.keyLow = region.keyHigh = static_cast<uint16_t>(k);
        instrument.regions.push_back(region);
    }
    dls.instruments = {instrument, instrument};
    return dls.Build();
}

// The CLI's peak resident memory in KiB running the arguments, through GNU time.
long PeakOf(const std::string& time, const TempDir& dir, std::vector<std::string> args,
            ProcessResult* result = nullptr) {
    const std::string report = dir.Folder() + "peak.txt";
    args.insert(args.begin(), {"-f", "%M", "-o", report, QUORVANE_CLI_PATH});
    ::setenv("ASAN_OPTIONS", kSanitizerOptions, 1);
    const ProcessResult ended = RunProcess(time, args);
    ::unsetenv("ASAN_OPTIONS");
    EXPECT_FALSE(ended.signaled) << ended.err;
    EXPECT_NE(ended.exitStatus, kSanitizerExitStatus) << ended.err;
    if (result != nullptr)
        *result = ended;
    // A failing command's status comes first; the figure is the last line.
    std::ifstream in(report);
    std::string line, last;
    while (std::getline(in, line))
        if (!line.empty())
            last = line;
    return std::atol(last.c_str());
}

TEST(CliMemoryBound, HugeClaimsAndProductsStayUnderTheLimit) {
    const std::string time = FindOnPath("time");
    REQUIRE_PEER(!time.empty(), "GNU time is not installed (Debian package time)");
    struct Case {
        const char* what;
        std::string file;
        Bytes bytes;
        size_t mostBytes;
    };
    TempDir dir;
    const std::vector<Case> cases = {
        {"4 GB of samples", "claims.sf2", FourGigabytesOfSamples(), 2048},
        {"65,535 presets", "presets.sf2", SixtyFiveThousandPresets(), 2048},
        {"10,000 x 10,000 layers and zones", "layers.sf2", TenThousandLayersOverTenThousandZones(),
         256 << 10},
        {"256 dimension regions everywhere", "wide.gig", DimensionRegionsEverywhere(), 256 << 10},
    };
    const std::string small = dir.Write("small.sf2", OnePreset().Build());
    auto commands = [&](const std::string& input, const std::string& tag) {
        const std::string out = dir.Folder() + tag;
        return std::vector<std::vector<std::string>>{
            {"info", input},
            {"info", "--json", input},
            {"convert", "-o", out + ".sf2", input},
            {"convert", "-o", out + ".gig", input},
            {"export-samples", "-o", out + "-samples", input},
        };
    };
    // The same commands on a small bank: the sanitizer's own share of the peak.
    long baseline = 0;
    for (const std::vector<std::string>& args : commands(small, "small"))
        baseline = std::max(baseline, PeakOf(time, dir, args));
    const long limit = kSanitized ? baseline + kLimitKilobytes / 2 : kLimitKilobytes;
    for (const Case& c : cases) {
        const std::string input = dir.Write(c.file, c.bytes);
        EXPECT_LT(c.bytes.size(), c.mostBytes) << c.what;
        for (const std::vector<std::string>& args : commands(input, c.file)) {
            SCOPED_TRACE(std::string(c.what) + ": " + args[0] + " " + args[1]);
            ProcessResult result;
            const long peak = PeakOf(time, dir, args, &result);
            EXPECT_LT(peak, limit) << "baseline " << baseline << " KiB";
            if (args[1] == "--json") {
                EXPECT_LT(result.out.size(), 8u << 20) << "the JSON dump is bounded by the data too";
            }
            std::printf("%s: %s %s: %ld KiB (limit %ld KiB)\n", c.what, args[0].c_str(), args[1].c_str(),
                        peak, limit);
        }
    }
}

} // namespace
} // namespace quorvane::test
