// The entries of the sample list as the core keeps them: what the list shows for each sample and which
// sample it stands for. The windows draw them; the core fills and reads them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvane {

struct SampleListEntry {
    std::string caption;
    uint8_t image = 0;         // picture index in the list's image list
    uint8_t selectedImage = 0; // picture shown while the entry is selected
    int tag = -1;              // the sample index; -1 until the entry is bound to a sample
};

using SampleList = std::vector<SampleListEntry>;

} // namespace quorvane
