#include "InfoCommand.h"

#include <cstdio>
#include <iostream>

#include "BankInput.h"
#include "ModelJson.h"

namespace quorvane::cli {

namespace {
void PrintForPerson(const BankModel& bank, const std::string& formatLine) {
    std::printf("%s\n", formatLine.c_str());
    for (int slot = 1; slot < kBankInfoSlots; ++slot)
        if (!bank.BankInfo[slot].empty())
            std::printf("%-5s %s\n", BankInfoTag(slot), PlainText(bank.BankInfo[slot]).c_str());
    std::printf("\n%5s %5s %7s %4s %6s  %s\n", "Slot", "Bank", "Program", "Drum", "Layers", "Name");
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot) {
        const PresetRecord& preset = bank.PresetTable[slot];
        std::printf("%5u %5u %7u %4s %6zu  %s\n", slot, preset.bank, preset.program, preset.isDrum ? "yes" : "",
                    preset.layerList.Count(), preset.name.c_str());
    }
    std::printf("\n%u presets, %u layers, %u zones, %u samples\n", bank.PresetCount, bank.LayerCount,
                bank.ZoneCount, bank.SampleCount);
}
} // namespace

ExitCode RunInfo(const std::string& path, bool json) {
    TerminalHost host;
    Workspace workspace(host);
    const ExitCode loaded = LoadBankFromPath(workspace, path);
    if (loaded != kExitOk)
        return loaded;
    if (json)
        std::cout << ModelToJson(workspace, host.FormatLabel()).dump(1) << '\n';
    else
        PrintForPerson(workspace.bank, host.FormatLabel());
    return kExitOk;
}

} // namespace quorvane::cli
