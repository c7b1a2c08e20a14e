// Names that become file names pass through one character map, so that a preset called "Bass/Lead" or
// "Pad: Warm" gives a name every file system takes.
#pragma once

#include <string>

namespace quorvane {

char FileNameChar(unsigned char c);
std::string MapFileName(const std::string& name);

} // namespace quorvane
