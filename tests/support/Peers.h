// The independent programs, libraries and files the peer tests compare our reading and writing with. The
// test build refuses to configure without them; a test that still finds one missing at run time (a PATH
// without it, a bank removed since) skips on a developer's machine and fails under continuous integration,
// so that a green CI run always means every peer comparison ran.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

namespace quorvane::test {

// TimGM6mb, a small General MIDI SoundFont bank (Debian timgm6mb-soundfont).
constexpr const char* kTimGM6mbPath = QUORVANE_TIMGM6MB_PATH;

// True when the environment variable CI is set to anything but an empty text.
inline bool RunningUnderCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && *ci != '\0';
}

} // namespace quorvane::test

// `message` is a stream chain ("text" << value), so it is not parenthesised.
// NOLINTBEGIN(bugprone-macro-parentheses)
// Returns from the test (or its SetUp) unless `available` holds: skipped locally, failed under CI, with the
// same message either way. `message` may chain values with <<.
#define REQUIRE_PEER(available, message)                                                                     \
    do {                                                                                                     \
        if (!(available)) {                                                                                  \
            if (::quorvane::test::RunningUnderCi()) {                                                        \
                GTEST_FAIL() << message;                                                                     \
            } else {                                                                                         \
                GTEST_SKIP() << message;                                                                     \
            }                                                                                                \
        }                                                                                                    \
    } while (false)
// NOLINTEND(bugprone-macro-parentheses)
