#include "convert/EditsFile.h"

#include <cctype>
#include <fstream>
#include <sstream>

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

// The signed value of a field: "FFF4" is -12 and "FFFF" is -1, as the edit lines read them.
int SignedValue(const std::string& field) {
    return static_cast<int16_t>(std::stoul(field, nullptr, 16));
}

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
            return fail("expected 'PRES SLOT EDIT VALUE' or 'BANK **** EDIT VALUE', found '" + line + "'");
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
            RecordPresetLine(read.presetLines,
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
            return fail("expected 'PRES SLOT EDIT VALUE' or 'BANK **** EDIT VALUE', found '" + line + "'");
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
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = {0, "cannot open the file"};
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    const std::string content = text.str();
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
