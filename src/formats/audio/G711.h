// G.711 A-law and u-law: 8-bit logarithmic codes of telephone audio, as WAVE (format tags 6 and 7) and
// AIFF-C ("alaw", "ulaw") files keep them, expanded to 16-bit linear samples.
#pragma once

#include <cstdint>

namespace quorvane {

// The linear value of one code, scaled to 16 bits as sound-file libraries expand it: A-law's 13-bit range
// shifted up by 3 (full scale ±32256), u-law's 14-bit range by 2 (full scale ±32124).
int16_t ALawToLinear(uint8_t code);
int16_t MuLawToLinear(uint8_t code);

} // namespace quorvane
