// What every fuzz target shares: a folder of its own in memory-backed storage where each input is written
// as a file (the readers take paths), emptied between inputs and removed when the process ends, and the
// fetch of every sample of a loaded bank as the player and the writers ask for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "session/Workspace.h"

namespace quorvane::fuzz {

// The folder of this process, ending in '/': under $QUORVANE_FUZZ_SCRATCH when set, else /dev/shm when it
// can be written, else the system's temporary folder. Made on first use.
const std::string& ScratchFolder();
// Removes everything inside the folder (the folder stays).
void ClearScratch();
// Writes the bytes to name inside the folder and returns the file's path.
std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size);

// Fetches every sample of the open bank for playing and for export, with and without its stereo partner.
void FetchEverySample(Workspace& workspace);

// Loads the file at path as the command line does (its type from its first bytes, the interactive load with
// notes). True when a reader chain ran.
bool LoadBankAtPath(Workspace& workspace, const std::string& path);

} // namespace quorvane::fuzz
