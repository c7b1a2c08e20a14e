// Note names as the program shows them: "C-2" for slot 0 up to "G10", sharps written "#". Key k is named by
// slot k + MiddleCOffset, so that middle C (key 60) reads "C3", "C4" or "C5".
#pragma once

#include <string>

namespace quorvane {

constexpr int kDefaultMiddleCOffset = 12;

std::string NoteName(int key, int middleCOffset);

} // namespace quorvane
