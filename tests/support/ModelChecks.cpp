#include "support/ModelChecks.h"

#include <sstream>

namespace quorvane::test {

std::string TableInconsistency(const BankModel& bank) {
    std::ostringstream out;
    if (bank.BankImageSize > bank.BankImage.size())
        out << "BankImageSize " << bank.BankImageSize << " > image " << bank.BankImage.size();
    else if (bank.PresetCount > 0 && bank.PresetTable.size() < bank.PresetCount + 1u)
        out << "PresetCount " << bank.PresetCount << ", table " << bank.PresetTable.size();
    else if (bank.LayerTable.size() < bank.LayerCount)
        out << "LayerCount " << bank.LayerCount << ", table " << bank.LayerTable.size();
    else if (bank.ZoneTable.size() < bank.ZoneCount)
        out << "ZoneCount " << bank.ZoneCount << ", table " << bank.ZoneTable.size();
    else if (bank.SampleTable.size() < bank.SampleCount)
        out << "SampleCount " << bank.SampleCount << ", table " << bank.SampleTable.size();
    if (!out.str().empty())
        return out.str();

    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot)
        for (uint16_t layer : bank.PresetTable[slot].layerList)
            if (!bank.IsValidLayer(layer))
                out << "preset " << slot << " names layer " << layer << "; ";
    for (uint32_t j = 0; j < bank.LayerCount; ++j)
        for (uint16_t zone : bank.LayerTable[j].zoneList)
            if (!bank.IsValidZone(zone))
                out << "layer " << j << " names zone " << zone << "; ";
    return out.str();
}

} // namespace quorvane::test
