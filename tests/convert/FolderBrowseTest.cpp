// The way down the Explorer tree to a folder: the deepest root it lies in, then one name per level.
#include <gtest/gtest.h>

#include "convert/FolderBrowse.h"

namespace quorvane {
namespace {

TEST(FolderBrowse, StepsToAFolderStartFromTheDeepestRootItLiesIn) {
    const std::vector<std::string> roots = {"/", "/home/ann/", "/media/ann/DISC/"};
    struct Case {
        const char* folder;
        std::optional<size_t> root;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"/", 0, {}},
        {"/usr/share/sounds", 0, {"usr", "share", "sounds"}},
        {"/home/ann/banks/", 1, {"banks"}},
        {"/home/ann", 1, {}},
        {"/home/annex/x", 0, {"home", "annex", "x"}},
        {"/media/ann/DISC/.hidden/a b", 2, {".hidden", "a b"}},
        {"relative/folder", std::nullopt, {}},
    };
    for (const Case& c : cases) {
        const std::optional<FolderSteps> steps = StepsToFolder(roots, c.folder);
        ASSERT_EQ(steps.has_value(), c.root.has_value()) << c.folder;
        if (!steps)
            continue;
        EXPECT_EQ(steps->root, *c.root) << c.folder;
        EXPECT_EQ(steps->names, c.names) << c.folder;
    }
}

} // namespace
} // namespace quorvane
