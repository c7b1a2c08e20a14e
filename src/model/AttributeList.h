// Facts that do not live in the bank model, kept as short fixed-format text lines: where each listed file
// lies, what each audio file's header said, and the user's edits, which are replayed onto a freshly read
// bank before every write.
#pragma once

#include <cstdint>
#include <string>

#include "model/BankModel.h"

namespace quorvane {

struct AttributeList {
    std::string PathAttributes;
    std::string WaveAttributes;
    std::string EditAttributes;
    std::string BankEditAttributes;

    void ClearFileList() {
        PathAttributes.clear();
        WaveAttributes.clear();
        EditAttributes.clear();
        BankEditAttributes.clear();
    }
};

// Line builders. Every edit line is exactly 20 characters: key word, index, verb, value, each followed
// by a blank.
std::string BankPathLine(uint32_t entry, const std::string& folder);
std::string BankEndLine(uint32_t entryCount);
std::string WavePathLine(uint32_t entry, const std::string& folder, const std::string& fileName);
std::string WaveEndLine(uint32_t entryCount);
std::string EditLine(const char* keyWord, uint32_t index, const char* verb, uint16_t value);

// Position of the first occurrence of key in text, or std::string::npos.
size_t FindKey(const std::string& text, const std::string& key);

// Writes the line over the 20 characters of the line with the same key word, index and verb when there is
// one, and appends it otherwise.
void ReplaceOrAppend(std::string& text, const std::string& line);

// Record the preset's current program, bank or drum value from the model; a slot past the presets is
// ignored.
void RecordProgram(const BankModel& bank, AttributeList& attributes, uint32_t slot);
void RecordBank(const BankModel& bank, AttributeList& attributes, uint32_t slot);
void RecordDrum(const BankModel& bank, AttributeList& attributes, uint32_t slot);

// Folder of file-list entry i from its "BANK %04x PATH" line and the next entry's line; the current folder
// when either is missing. With wave = true the "WAVE %04x PATH" lines are used, whose text holds folder and
// file name together.
std::string EntryFolder(const AttributeList& attributes, uint32_t entry, const std::string& currentFolder,
                        bool wave = false);

// Whom the edits are replayed for: the views and the preset save get every edit; the GigaSampler writer moves
// root keys and layer key ranges but not zone key ranges, and leaves the conversion parameters, which it
// takes from the edit lines itself.
enum class ApplyMode { Views, GigaWriter };
void ApplyEdits(BankModel& bank, const std::string& editAttributes, ApplyMode mode);

// The generator a conversion-parameter verb sets ("REVB", "CHOR", "FILT"); -1 for any other verb.
int ParameterGenerator(const std::string& verb);

// Key range shifted by whole semitones, each limit kept within 0..127.
uint16_t ShiftKeyRange(uint16_t range, int semitones);
// Filter cutoff in Hz to absolute cents, rounded half up.
int16_t CutoffToAbsoluteCents(int hertz);

} // namespace quorvane
