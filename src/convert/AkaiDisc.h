// The Akai operations of a session: choosing a drive (a CD-ROM drive found on the bus, or a disc image
// opened as one), reading its partitions, listing a partition's volumes into the file list, and reading
// the programs of the loaded volume. The windows and the command-line program call these; loading a volume
// is the loader's Akai chain (BankLoader.h), fetching its samples the sample fetch (SampleFetch.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/akai/AkaiPrograms.h"
#include "formats/akai/AkaiVolumes.h"
#include "session/Workspace.h"

namespace quorvane {

// Enters Akai mode on drive `drive` of the drive list and reads its partitions (ScanAkaiDisc). Returns the
// number of partitions found.
uint32_t SelectAkaiDrive(Workspace& workspace, uint32_t drive);
// Opens a disc image (.iso, .img, .bin or .cue), or a drive's device node, as one more drive and selects it
// as SelectAkaiDrive does. Returns the number of partitions found, or -1 (with the reason in error) when it
// cannot be opened.
int OpenAkaiDisc(Workspace& workspace, const std::string& path, std::string* error = nullptr);
// Reads the partitions of the selected drive: "DRIVE NOT READY!" in the title when it does not answer,
// "NOT AKAI CDROM" when no partition is found; AkaiState::discStatus says which.
uint32_t ScanAkaiDisc(Workspace& workspace);

// Makes `partition` current and lists its volumes into the file list, in table order. Returns them.
std::vector<AkaiVolumeEntry> SelectAkaiPartition(Workspace& workspace, uint32_t partition);

// Reads the programs of the loaded volume: every program (ReadAll), or the program of the current preset
// (RereadCurrent, as the preset tree does when one is picked). A program a cut disc holds only part of is
// said as a warning status line.
void ReadAkaiPrograms(Workspace& workspace, AkaiProgramMode mode);
// Reads the programs as above into the bank, and says what the disc left out of any of them as warnings.
void ReadAkaiProgramsOfVolume(Workspace& workspace, AkaiProgramMode mode, bool s3000);

} // namespace quorvane
