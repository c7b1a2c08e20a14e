// The text of an SFZ instrument as regions: comments dropped, #define'd names replaced, #include'd files
// read in place (only files inside the instrument's folder), and each region given the opcodes it inherits
// from the <control>, <global>, <master> and <group> headers before it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/common/ReadNotes.h"
#include "formats/sfz/SfzRegions.h"

namespace quorvane {

struct SfzParsedRegion {
    // The opcodes of the <global>, <master> and <group> in force, shared by the regions under them (null
    // where there is none), and the region's own.
    std::shared_ptr<const SfzOpcodes> global, master, group;
    SfzOpcodes own;
    std::string defaultPath; // <control> default_path in force for the region

    // Every opcode, inherited first: a later opcode of a name overrides an earlier one.
    SfzOpcodes Opcodes() const;
};

struct SfzDocument {
    std::vector<SfzParsedRegion> regions;
};

// The most text an instrument's file and its includes may hold together, and how deep includes may nest.
constexpr uint64_t kMaxSfzTextBytes = 16u << 20;
constexpr int kMaxSfzIncludeDepth = 16;
// Regions read, and opcodes read under one header: as many as a bank holds zones, and more than any real
// instrument gives one header, so that a hostile text cannot make every region inherit a million opcodes.
constexpr size_t kMaxSfzRegions = 65534;
constexpr size_t kMaxSfzOpcodesPerHeader = 1024;

// Parses the .sfz file at `path`. Includes are resolved against the file's folder and refused when they
// would leave it; every refused include, unknown header and damaged line is noted. False (with
// notes.damage) when the file itself cannot be read.
bool ParseSfzFile(const std::string& path, SfzDocument& document, ReadNotes& notes);
// The same for text already in memory; includes are looked up in `folder` (ending in '/').
void ParseSfzText(const std::string& text, const std::string& folder, SfzDocument& document,
                  ReadNotes& notes);

// A path named in the instrument (a sample or an include) as a file inside `folder`: relative, with '\'
// read as '/', and after resolving "..", links included, still inside the folder. Empty when it leaves it.
std::string PathInsideFolder(const std::string& folder, const std::string& relative);

} // namespace quorvane
