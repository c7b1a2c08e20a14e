// Runs the SoundFont reader's five steps on a file, as the loader does, without the loader around them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "formats/common/InputFile.h"
#include "formats/soundfont/SoundFontReader.h"

namespace quorvane::test {

// Returns what the hydra step returns: true when a chunk of odd size was met.
inline bool ReadSoundFontFile(BankModel& bank, const std::string& path, ReadNotes* notes = nullptr) {
    ReadNotes ignored;
    ReadNotes& out = notes != nullptr ? *notes : ignored;
    InputFile file;
    if (!file.Open(path)) {
        ADD_FAILURE() << "cannot open " << path << ": " << file.Error();
        return false;
    }
    BuildSoundFontImage(bank, file, out);
    ReadSoundFontVersion(bank);
    ReadSoundFontSamples(bank, out);
    MeasureOggVorbisSamples(bank, file, out);
    const bool odd = ReadSoundFontHydra(bank, out);
    PropagateSoundFontLoops(bank);
    return odd;
}

} // namespace quorvane::test
