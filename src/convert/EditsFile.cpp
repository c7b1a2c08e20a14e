#include "convert/EditsFile.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

#include "convert/PresetEdits.h"
#include "formats/common/OutputFile.h"

namespace quorvane {

namespace {

constexpr const char* kHeader = "quorvane edits 1";
constexpr const char* kAllBanks = "****";

bool IsHex(const std::string& text) {
    if (text.size() != 4)
        return false;
    for (unsigned char c : text)
        if (!std::isxdigit(c))
            return false;
    return true;
}

std::string Trimmed(std::string line) {
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    return line;
}

// A line as an error message quotes it: at most 40 characters, so that a file of one endless line does not
// make an endless message.
std::string Quoted(const std::string& line) {
    return line.size() <= 40 ? line : line.substr(0, 40) + "...";
}

// The signed value of a field: "FFF4" is -12 and "FFFF" is -1, as the edit lines read them.
int SignedValue(const std::string& field) {
    return static_cast<int16_t>(std::stoul(field, nullptr, 16));
}

// Where the line that sets each preset's program, bank or drum flag lies in the preset lines ("PRES 0003
// PROG" to its offset), so that a later line for the same value replaces it without a search through all
// the lines before: a file of many thousand lines reads in linear time, as RecordPresetLine would record
// it line by line.
class ValueLines {
  public:
    explicit ValueLines(const std::string& presetLines) {
        for (size_t at = 0; at + kLineLength <= presetLines.size(); at += kLineLength)
            if (IsValueVerb(presetLines.substr(at + 10, 4)))
                offsets_.emplace(presetLines.substr(at, kKeyLength), at);
    }

    void Record(std::string& presetLines, const std::string& line) {
        if (!IsValueVerb(line.substr(10, 4))) {
            presetLines += line;
            return;
        }
        const auto [found, added] = offsets_.emplace(line.substr(0, kKeyLength), presetLines.size());
        if (added)
            presetLines += line;
        else
            presetLines.replace(found->second, kLineLength, line);
    }

  private:
    static constexpr size_t kLineLength = 20;
    static constexpr size_t kKeyLength = 14;
    static bool IsValueVerb(const std::string& verb) {
        return verb == "PROG" || verb == "BANK" || verb == "DRUM";
    }
    std::unordered_map<std::string, size_t> offsets_;
};

std::string ParameterLine(const char* verb, uint16_t value) {
    std::string line = EditLine("BANK", 0, verb, value);
    line.replace(5, 4, kAllBanks);
    return line;
}

} // namespace

void AddPresetEdit(EditSet& edits, uint32_t slot, const char* verb, int value) {
    RecordPresetLine(edits.presetLines, EditLine("PRES", slot, verb, static_cast<uint16_t>(value)));
}

std::string EditsFileText(const EditSet& edits) {
    std::string text = std::string(kHeader) + "\n";
    for (size_t at = 0; at + 20 <= edits.presetLines.size(); at += 20)
        text += Trimmed(edits.presetLines.substr(at, 20)) + "\n";
    const ParameterValues& bank = edits.bankValues;
    if (bank.reverbChanged)
        text += Trimmed(ParameterLine("REVB", bank.reverb)) + "\n";
    if (bank.chorusChanged)
        text += Trimmed(ParameterLine("CHOR", bank.chorus)) + "\n";
    if (bank.filterChanged)
        text += Trimmed(ParameterLine("FILT", bank.filterOn ? bank.cutoff : kFilterOff)) + "\n";
    return text;
}

bool ParseEditsText(const std::string& text, EditSet& edits, EditsFileError& error) {
    EditSet read = edits;
    ValueLines valueLines(read.presetLines);
    std::istringstream lines(text);
    std::string line;
    size_t number = 0;
    auto fail = [&](const std::string& message) {
        error = {number, message};
        return false;
    };
    while (std::getline(lines, line)) {
        ++number;
        line = Trimmed(line);
        if (number == 1) {
            if (line != kHeader)
                return fail(std::string("not a Quorvane edits file (the first line must read '") + kHeader +
                            "')");
            continue;
        }
        if (line.empty() || line[0] == '#')
            continue;
        if (line.size() != 19 || line[4] != ' ' || line[9] != ' ' || line[14] != ' ')
            return fail("expected 'PRES SLOT EDIT VALUE' or 'BANK **** EDIT VALUE', found '" + Quoted(line) +
                        "'");
        const std::string key = line.substr(0, 4), index = line.substr(5, 4), verb = line.substr(10, 4),
                          field = line.substr(15, 4);
        if (!IsHex(field))
            return fail("the value '" + field + "' is not four hexadecimal digits");
        const int value = SignedValue(field);
        const std::string problem = PresetEditProblem(verb, value);
        if (!problem.empty())
            return fail(std::string(verb)
                            .append(" ")
                            .append(field)
                            .append(": ")
                            .append(problem.rfind("is not", 0) == 0 ? "" : "the value ")
                            .append(problem));
        if (key == "PRES") {
            if (!IsHex(index) || std::stoul(index, nullptr, 16) == 0)
                return fail("'" + index + "' is not a preset slot (0001 to ffff)");
            valueLines.Record(read.presetLines,
                              EditLine("PRES", static_cast<uint32_t>(std::stoul(index, nullptr, 16)),
                                       verb.c_str(), static_cast<uint16_t>(value)));
        } else if (key == "BANK" && index == kAllBanks) {
            ParameterValues& bank = read.bankValues;
            if (verb == "REVB") {
                bank.reverb = static_cast<uint16_t>(value);
                bank.reverbChanged = true;
            } else if (verb == "CHOR") {
                bank.chorus = static_cast<uint16_t>(value);
                bank.chorusChanged = true;
            } else if (verb == "FILT") {
                bank.filterOn = value != -1;
                if (bank.filterOn)
                    bank.cutoff = static_cast<uint16_t>(value);
                bank.filterChanged = true;
            } else {
                return fail(verb + " is a preset edit; bank lines hold REVB, CHOR or FILT");
            }
        } else {
            return fail("expected 'PRES SLOT EDIT VALUE' or 'BANK **** EDIT VALUE', found '" + Quoted(line) +
                        "'");
        }
    }
    if (number == 0) {
        number = 1;
        return fail("the file is empty, not a Quorvane edits file");
    }
    edits = read;
    return true;
}

bool ReadEditsFile(const std::string& path, EditSet& edits, EditsFileError& error) {
    // Opened without waiting, so that a FIFO nobody writes to reads as empty rather than holding the run;
    // a pipe with a writer (a shell's process substitution) is then read as it comes.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        error = {0, fd < 0 ? std::string("cannot open the file: ") + std::strerror(errno) : "it is a folder"};
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // Read to one byte past the limit, so that a larger file (or an endless device) is refused unread.
    std::string content;
    char piece[65536];
    while (content.size() <= kMaxEditsFileBytes) {
        const ssize_t got = ::read(fd, piece, sizeof piece);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = {0, std::string("cannot read the file: ") + std::strerror(errno)};
            ::close(fd);
            return false;
        }
        if (got == 0)
            break;
        content.append(piece, static_cast<size_t>(got));
    }
    ::close(fd);
    if (content.size() > kMaxEditsFileBytes) {
        error = {0, "larger than 16 MiB, too large for an edits file"};
        return false;
    }
    if (content.find('\0') != std::string::npos) {
        error = {1, "not a Quorvane edits file (it holds binary data)"};
        return false;
    }
    return ParseEditsText(content, edits, error);
}

bool WriteEditsFile(const std::string& path, const EditSet& edits, std::string& error) {
    OutputFile out;
    if (!out.Create(path) || !out.WriteText(EditsFileText(edits)) || !out.Commit()) {
        error = out.Error().empty() ? "cannot write the file" : out.Error();
        return false;
    }
    return true;
}

} // namespace quorvane
