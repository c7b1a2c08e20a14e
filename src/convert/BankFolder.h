// The bank files of the file list: a folder's files of the chosen source format, or those of a whole folder
// tree. Each list entry gets a path line naming its folder, so the loader finds its file.
#pragma once

#include <cstdint>
#include <string>

#include "session/Workspace.h"

namespace quorvane {

// Replaces the file list with the bank files of `folder` (ending in '/') whose extension is the source
// format's, in any case (GigaSampler also takes ".dls"), sorted by name without regard to case. Clears the
// loaded entry and the edits. Returns the number of files listed.
uint32_t ListBankFolder(Workspace& workspace, const std::string& folder);

// The same for the folder and every folder below it, searched level by level; the list is sorted by name
// and entry p's path line names the folder of the p-th file in that order.
uint32_t SearchBankFiles(Workspace& workspace, const std::string& folder);

} // namespace quorvane
