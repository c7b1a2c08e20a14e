// The kinds of source the program reads, and what the rest of the program needs to know of each, in one
// table. A new source format is an enumerator here, a row of the table in SourceFormat.cpp, and its reader
// chain in convert/BankLoader.cpp.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// The value is the one stored with a bank's edits and settings: never renumber.
enum class SourceFormat : uint32_t { SoundFont = 0, Dls = 1, AudioFile = 2, Akai = 3, Sfz = 4 };

struct SourceFormatFacts {
    SourceFormat format;
    const char* extension;        // of the bank paths built from the file list ("sf2", "gig", "wav", "akai")
    const char* siblingExtension; // listed with the format too (".dls", ".sf3"), or nullptr
    const char* typeKey;          // bytes 0..3 and 8..11 of its bank files, or nullptr when it has none
    // A bank file without a type key (a text) is known by this extension, with its dot; or nullptr.
    const char* textExtension;
    // Words of the listings, menus and save dialogs.
    const char* bankWord;   // "Bank", "Gigafile", "Volume"
    const char* presetWord; // "Preset", "Instrument", "Program"
    const char* bankColumn; // caption over the bank list
    const char* presetColumn;
    const char* sampleColumn;
    bool linksMonoSamples; // pairs mono samples into stereo ones on reading
    bool readsUnmappedRegions;
};

const SourceFormatFacts& FactsOf(SourceFormat format);
// The extensions of bank files, with their dots ".sf2", ".sf3", ".gig", ".dls", ".sfz": the formats whose
// banks are files of their own (not audio files or disc volumes), in table order.
std::vector<std::string> BankFileExtensions();
// Extension of the format's bank paths, "" for a value no format has.
const char* ExtensionOf(SourceFormat format);
// The format whose bank files start with the type key, if any.
std::optional<SourceFormat> SourceFormatOfKey(std::string_view typeKey);
// The format of a bank file that has no type key, by its file name's extension (any case), if any.
std::optional<SourceFormat> SourceFormatOfTextFile(std::string_view fileName);
// The format stored as a number (edits, settings), if it is one.
std::optional<SourceFormat> SourceFormatOfNumber(uint32_t number);
uint32_t NumberOf(SourceFormat format);

} // namespace quorvane
