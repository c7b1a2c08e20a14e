// Opening a folder by path: which listing shows it, from the kinds of file it holds.
#include <gtest/gtest.h>

#include <fstream>

#include "convert/FolderKinds.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

TEST(FolderKinds, KindsComeFromTheExtensionsInAnyCase) {
    test::TempDir dir;
    for (const char* name : {"a.WAV", "b.Aiff", "notes.txt"})
        std::ofstream(dir.Path() / name) << "x";
    FolderKinds kinds = KindsInFolder(dir.Path().string() + "/");
    EXPECT_TRUE(kinds.audioFiles);
    EXPECT_FALSE(kinds.soundFonts || kinds.gigas);
    std::ofstream(dir.Path() / "c.DLS") << "x";
    std::ofstream(dir.Path() / "d.sf3") << "x";
    kinds = KindsInFolder(dir.Path().string() + "/");
    EXPECT_TRUE(kinds.gigas && kinds.soundFonts);
}

TEST(FolderKinds, TheCurrentListingStaysWhileItHasSomethingToShow) {
    using L = FolderListing;
    struct Case {
        FolderKinds kinds;
        L current;
        L expected;
    };
    const Case cases[] = {
        {{.soundFonts = true, .audioFiles = true}, L::AudioFiles, L::AudioFiles},
        {{.audioFiles = true}, L::SoundFonts, L::AudioFiles},
        {{.gigas = true, .audioFiles = true}, L::SoundFonts, L::Gigas},
        {{.soundFonts = true}, L::AudioFiles, L::SoundFonts},
        {{.gigas = true}, L::AudioFiles, L::Gigas},
        {{}, L::Gigas, L::Gigas},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ListingForFolder(c.kinds, c.current), c.expected)
            << static_cast<int>(c.current) << " -> " << static_cast<int>(c.expected);
}

} // namespace
} // namespace quorvane
