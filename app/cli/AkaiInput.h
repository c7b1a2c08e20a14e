// Akai discs on the command line: a disc image or a drive's device node, its partitions and volumes, and
// the --volume text that names one volume or all of them.
#pragma once

#include <string>
#include <vector>

#include "ExitCodes.h"
#include "TerminalHost.h"
#include "session/Workspace.h"

namespace quorvane::cli {

// A volume: its partition and its position in that partition's volume list.
struct VolumeAddress {
    uint32_t partition = 0;
    uint32_t position = 0;
    std::string name; // trailing blanks removed
    uint8_t type = 0;
};

// True when path is to be read as an Akai disc: a device node, or a file that is not a bank of another
// supported type.
bool IsAkaiDiscPath(const std::string& path);

// Opens path as an Akai disc and reads its partitions. Prints the reason and returns the exit code when
// that fails: 2 for a disc that cannot be opened or read, 3 for one that is not an Akai CD-ROM.
ExitCode OpenAkaiDiscFromPath(Workspace& workspace, const std::string& path);

// The volumes a --volume text names: "all" (every volume of the disc), "A/all", "A/2" (partition A's
// second volume), "A/PIANO" (by name, trailing blanks and case not counting); without "X/" partition A.
// `all` tells whether the text named a set of volumes rather than one.
ExitCode ResolveVolumes(Workspace& workspace, const std::string& address, std::vector<VolumeAddress>& volumes,
                        bool* all = nullptr);

// Loads the volume as a conversion reads it (every program read). Prints the reason on failure.
ExitCode LoadAkaiVolume(Workspace& workspace, const VolumeAddress& volume);
// Loads the volume as the volume list shows it (with its label), then reads every program and every
// sample's header.
ExitCode InspectAkaiVolume(Workspace& workspace, const VolumeAddress& volume);

// The name files made from the volume get: its name through the file-name character map.
std::string VolumeFileName(const VolumeAddress& volume);
// "A/2" of the volume, as --volume takes it.
std::string VolumeAddressText(const VolumeAddress& volume);

// The disc's partitions and their volumes, for a person or as JSON.
void PrintAkaiDisc(Workspace& workspace, bool json);

} // namespace quorvane::cli
