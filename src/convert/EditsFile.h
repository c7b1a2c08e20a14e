// A run's edits kept in a small text file, so that the same corrections can be applied to a whole library
// and kept beside it: the preset edit lines as recorded, and the bank-wide conversion parameters, which
// apply to every bank of a run.
//
//   quorvane edits 1
//   PRES 0003 PROG 000a
//   PRES 0003 MOVZ 000c
//   BANK **** REVB 00c8
//
// Slots and values are hexadecimal as in the edit lines; blank lines and lines starting with '#' are
// skipped.
#pragma once

#include <cstddef>
#include <string>

#include "convert/ConversionParameters.h"

namespace quorvane {

struct EditSet {
    std::string presetLines;    // preset edit lines, 20 characters each
    ParameterValues bankValues; // the changed ones apply to every bank

    bool Empty() const { return presetLines.empty() && !bankValues.AnyChanged(); }
};

// Adds a preset edit line ("PRES %04x PROG %04x ") as the edits record it.
void AddPresetEdit(EditSet& edits, uint32_t slot, const char* verb, int value);

// An edits file holds a few lines a preset: a larger file is refused before it is parsed.
constexpr size_t kMaxEditsFileBytes = 16u << 20;

struct EditsFileError {
    size_t line = 0; // 1-based
    std::string message;
};

std::string EditsFileText(const EditSet& edits);
// Reads the text into edits, after what they hold; false with the first bad line (edits then unchanged).
bool ParseEditsText(const std::string& text, EditSet& edits, EditsFileError& error);

bool ReadEditsFile(const std::string& path, EditSet& edits, EditsFileError& error);
// Written whole or not at all; false with a reason.
bool WriteEditsFile(const std::string& path, const EditSet& edits, std::string& error);

} // namespace quorvane
