// What the save dialog of the batch save shows and what its answer means: the title and proposed name
// for the items being saved, and the output file or folder the returned path stands for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "convert/BatchSave.h"

namespace quorvane {

enum class SaveItems { Banks, Presets };

// "Save Bank As ...", "Save ALL Gigafiles As ...", "Save Program(s) As ..." for n chosen items out of
// count (n = count also when nothing was selected).
std::string SaveDialogTitle(SourceFormat sourceFormat, SaveItems items, size_t n, size_t count);

// The name the dialog proposes, with the ".xyz" placeholder the program cuts off again: the bank's list
// text for one bank; the preset's name for one preset, the bank's text for several; empty for several
// banks. Mapped to file-name characters, Akai names without their trailing blanks.
std::string ProposedFileName(SourceFormat sourceFormat, SaveItems items, size_t n,
                             const std::string& bankText, const std::string& presetName);

// A name from the bank or its presets as a file name: mapped characters; Akai names, padded with blanks
// to their fixed length, lose the trailing ones.
std::string OutputFileName(SourceFormat sourceFormat, const std::string& name);

// The dialog's answer: the path typed cut before its extension; the folder it names (also the new
// `LastDir`); and with a single output file, that file: the proposed name put back when no name was
// typed, then ".sf2" or ".gig".
struct DialogAnswer {
    std::string folder; // ends in '/'
    std::string file;   // empty when each item names its own file
};
DialogAnswer ResolveDialogPath(const std::string& returnedPath, OutputType type, bool singleFile,
                               const std::string& proposedName);

} // namespace quorvane
