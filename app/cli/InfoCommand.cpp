#include "InfoCommand.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "AkaiInput.h"
#include "BankInput.h"
#include "ModelJson.h"
#include "OutputText.h"
#include "convert/AudioFolder.h"
#include "core/StringPrintf.h"
#include "formats/audio/AudioFileList.h"

namespace quorvane::cli {

namespace {
// The lines of an INFO text after its first, moved in under it: a text cannot pass for a tag or a row.
std::string IndentedLines(std::string text) {
    for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 7)
        text.insert(at + 1, "      ");
    return text;
}

void PrintForPerson(const BankModel& bank, const std::string& formatLine) {
    std::printf("%s\n", TerminalText(formatLine).c_str());
    for (int slot = 1; slot < kBankInfoSlots; ++slot)
        if (!bank.BankInfo[slot].empty())
            std::printf("%-5s %s\n", BankInfoTag(slot),
                        IndentedLines(PlainText(bank.BankInfo[slot])).c_str());
    std::printf("\n%5s %7s %7s %4s %6s  %s\n", "Slot", "Bank", "Program", "Drum", "Layers", "Name");
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot) {
        const PresetRecord& preset = bank.PresetTable[slot];
        std::printf("%5u %7s %7u %4s %6zu  %s\n", slot, BankText(preset).c_str(), preset.program,
                    preset.isDrum ? "yes" : "", preset.layerList.Count(), TerminalText(preset.name).c_str());
    }
    std::printf("\n%u presets, %u layers, %u zones, %u samples\n", bank.PresetCount, bank.LayerCount,
                bank.ZoneCount, bank.SampleCount);
}
std::string AudioFormatText(const SampleRecord& sample) {
    const bool aiff = IsAiffKind(sample.fileKind);
    switch (sample.formatTag) {
    case 0:
        return "unknown";
    case kFormatPcm:
        return aiff ? "AIFF" : "WAVE PCM";
    case kFormatFloat:
        return "WAVE float";
    case kFormatALaw:
        return aiff ? "AIFF-C A-law" : "WAVE A-law";
    case kFormatMuLaw:
        return aiff ? "AIFF-C u-law" : "WAVE u-law";
    default:
        return aiff ? "AIFF-C compressed" : StringPrintf("WAVE 0x%04x compressed", sample.formatTag);
    }
}

// One line per listed audio file, under the caption the sample list shows for it.
void PrintAudioFiles(const Workspace& workspace) {
    const BankModel& bank = workspace.bank;
    std::printf("Audio files\n\n%-22s %5s %5s %8s %10s %17s %4s %5s  %s\n", "Format", "Ch", "Bits", "Rate",
                "Frames", "Loop", "Root", "Tune", "Name");
    for (uint32_t i = 0; i < bank.SampleCount; ++i) {
        const SampleRecord& s = bank.SampleTable[i];
        const uint32_t frames = s.blockAlign != 0 ? s.dataLength / s.blockAlign : 0;
        const std::string loop = s.looped ? StringPrintf("%u-%u", s.loopStart, s.loopEnd) : "-";
        const std::string& caption =
            i < workspace.sampleList.size() ? workspace.sampleList[i].caption : s.name;
        std::printf("%-22s %5u %5u %8u %10u %17s %4u %5d  %s\n", AudioFormatText(s).c_str(), s.channels,
                    s.bitsPerSample, s.sampleRate, frames, loop.c_str(), s.rootKey, s.pitchCorrection,
                    TerminalText(caption).c_str());
    }
    std::printf("\n%u audio files\n", bank.SampleCount);
}

// Without a volume: the disc's partitions and volumes. With one: each volume named, as any bank.
ExitCode InfoOfAkaiDisc(Workspace& workspace, const std::string& path, bool json,
                        const std::string& address) {
    const ExitCode opened = OpenAkaiDiscFromPath(workspace, path);
    if (opened != kExitOk)
        return opened;
    if (address.empty()) {
        PrintAkaiDisc(workspace, json);
        return kExitOk;
    }
    std::vector<VolumeAddress> volumes;
    bool many = false;
    const ExitCode resolved = ResolveVolumes(workspace, address, volumes, &many);
    if (resolved != kExitOk)
        return resolved;
    nlohmann::ordered_json all = nlohmann::ordered_json::array();
    const auto& host = static_cast<const TerminalHost&>(workspace.host);
    for (size_t i = 0; i < volumes.size(); ++i) {
        const ExitCode loaded = InspectAkaiVolume(workspace, volumes[i]);
        if (loaded != kExitOk)
            return loaded;
        if (json) {
            nlohmann::ordered_json bank = ModelToJson(workspace, host.FormatLabel());
            bank["volume"] = VolumeAddressText(volumes[i]);
            bank["volumeName"] = Utf8Text(volumes[i].name);
            bank["volumeKind"] = workspace.akai.VolumeKind[workspace.akai.loadedVolume];
            all.push_back(std::move(bank));
        } else {
            std::printf("%sVolume %s  %s\n", i == 0 ? "" : "\n", VolumeAddressText(volumes[i]).c_str(),
                        TerminalText(volumes[i].name).c_str());
            PrintForPerson(workspace.bank, host.FormatLabel());
        }
    }
    if (json)
        std::cout << JsonDump(many ? all : all[0], 1) << '\n';
    return kExitOk;
}

} // namespace

ExitCode RunInfo(const std::string& path, bool json, const std::string& volume) {
    TerminalHost host;
    Workspace workspace(host);
    std::error_code error;
    if (!volume.empty() || (!std::filesystem::is_directory(path, error) && IsAkaiDiscPath(path)))
        return InfoOfAkaiDisc(workspace, path, json, volume);
    if (std::filesystem::is_directory(path, error)) {
        const std::string folder = !path.empty() && path.back() == '/' ? path : path + "/";
        ListAudioFolder(workspace, folder);
        if (json) {
            WriteModelJson(std::cout, workspace, "Audio files");
            std::cout << '\n';
        } else {
            PrintAudioFiles(workspace);
        }
        return kExitOk;
    }
    const ExitCode loaded = LoadBankFromPath(workspace, path);
    if (loaded != kExitOk)
        return loaded;
    if (json) {
        WriteModelJson(std::cout, workspace, host.FormatLabel());
        std::cout << '\n';
    } else {
        PrintForPerson(workspace.bank, host.FormatLabel());
    }
    return kExitOk;
}

} // namespace quorvane::cli
