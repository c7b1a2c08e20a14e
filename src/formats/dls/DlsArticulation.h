// DLS articulation: the connection blocks of "art1" (Level 1, in LIST lart) and "art2" (Level 2, in LIST
// lar2) of instruments and regions, as SoundFont generator values of the zones. A region with an
// articulation of its own plays that one; the others play their instrument's.
#pragma once

#include <cstdint>

#include "model/BankModel.h"

namespace quorvane {

// One connection block: source, control, destination and transform codes and a 16.16 fixed-point scale.
struct DlsConnection {
    uint16_t source = 0;
    uint16_t control = 0;
    uint16_t destination = 0;
    uint16_t transform = 0;
    int32_t scale = 0;
};

// Writes the generator that a connection stands for into target. Connections with no generator of their
// own (controller-driven ones, key and velocity scaling, the Level 2 channel outputs) are left out.
void ApplyDlsConnection(const DlsConnection& connection, GeneratorSet& target);

// Walks the instrument list between listStart and listEnd (file positions) the way the DLS Level 1 reader
// numbers it (instrument i plays zones of the regions "LIST rgn " and "LIST rgn2" in file order) and
// writes every articulation into the zones it applies to.
void ReadDlsArticulations(BankModel& bank, uint64_t listStart, uint64_t listEnd);

} // namespace quorvane
