#include "formats/sfz/SfzParser.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <system_error>

#include "formats/common/InputFile.h"

namespace quorvane {

namespace {

namespace fs = std::filesystem;

bool ReadText(const std::string& path, std::string& text) {
    InputFile file;
    if (!file.Open(path) || file.Size() > kMaxSfzTextBytes)
        return false;
    text.resize(static_cast<size_t>(file.Size()));
    return file.ReadAt(0, text.data(), text.size()) == text.size();
}

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}

// The text with // line comments and /* block */ comments replaced by blanks (line breaks kept).
std::string WithoutComments(const std::string& text) {
    std::string out = text;
    for (size_t i = 0; i + 1 < out.size(); ++i) {
        if (out[i] == '/' && out[i + 1] == '/') {
            while (i < out.size() && out[i] != '\n')
                out[i++] = ' ';
        } else if (out[i] == '/' && out[i + 1] == '*') {
            size_t j = i;
            for (; j < out.size() && !(out[j] == '*' && j + 1 < out.size() && out[j + 1] == '/'); ++j)
                if (out[j] != '\n')
                    out[j] = ' ';
            for (size_t k = j; k < std::min(j + 2, out.size()); ++k)
                out[k] = ' ';
            i = j + 1;
        }
    }
    return out;
}

class Parser {
  public:
    Parser(const std::string& folder, SfzDocument& document, ReadNotes& notes)
        : folder_(folder), document_(document), notes_(notes) {}

    void Text(const std::string& text, const std::string& where, int depth) {
        textRead_ += text.size();
        const std::string clean = WithoutComments(text);
        size_t lineNumber = 0;
        for (size_t start = 0; start <= clean.size();) {
            size_t end = clean.find('\n', start);
            if (end == std::string::npos)
                end = clean.size();
            ++lineNumber;
            std::string line = clean.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            Line(line, where + ":" + std::to_string(lineNumber), depth);
            start = end + 1;
        }
    }

  private:
    // A #define, an #include, or headers and opcodes.
    void Line(std::string line, const std::string& where, int depth) {
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos)
            return;
        if (line.compare(first, 7, "#define") == 0) {
            Define(line.substr(first + 7), where);
            return;
        }
        line = Substituted(line);
        if (line.compare(first, 8, "#include") == 0) {
            Include(line.substr(first + 8), where, depth);
            return;
        }
        Tokens(line, where);
    }

    void Define(const std::string& rest, const std::string& where) {
        const size_t nameStart = rest.find('$');
        size_t nameEnd = nameStart;
        while (nameEnd != std::string::npos && nameEnd < rest.size() && IsNameChar(rest[nameEnd]))
            ++nameEnd;
        if (nameStart == std::string::npos || nameEnd == nameStart + 1) {
            notes_.Add(where + ": a #define without a $name");
            return;
        }
        std::string value = rest.substr(nameEnd);
        value.erase(0, value.find_first_not_of(" \t"));
        value.erase(value.find_last_not_of(" \t") + 1);
        defines_[rest.substr(nameStart, nameEnd - nameStart)] = value;
    }

    // Replaces each $name defined before, longest names first so that $ab is not read as $a then "b".
    std::string Substituted(const std::string& line) const {
        if (defines_.empty() || line.find('$') == std::string::npos)
            return line;
        std::string out;
        for (size_t i = 0; i < line.size();) {
            if (line[i] == '$') {
                size_t end = i + 1;
                while (end < line.size() && IsNameChar(line[end]) && line[end] != '$')
                    ++end;
                bool replaced = false;
                for (size_t length = end - i; length > 1 && !replaced; --length) {
                    const auto found = defines_.find(line.substr(i, length));
                    if (found != defines_.end()) {
                        out += found->second;
                        i += length;
                        replaced = true;
                    }
                }
                if (replaced)
                    continue;
            }
            out += line[i++];
        }
        return out;
    }

    void Include(const std::string& rest, const std::string& where, int depth) {
        const size_t open = rest.find('"');
        const size_t close = open == std::string::npos ? open : rest.find('"', open + 1);
        if (close == std::string::npos) {
            notes_.Add(where + ": an #include without a quoted file name");
            return;
        }
        const std::string name = rest.substr(open + 1, close - open - 1);
        const std::string path = PathInsideFolder(folder_, name);
        std::string text;
        if (path.empty()) {
            notes_.Add(where + ": #include \"" + name + "\" refused: it leaves the instrument's folder");
        } else if (depth >= kMaxSfzIncludeDepth) {
            notes_.Add(where + ": #include \"" + name + "\" refused: includes nest too deep");
        } else if (!ReadText(path, text)) {
            notes_.Add(where + ": #include \"" + name + "\" cannot be read");
        } else if (textRead_ + text.size() > kMaxSfzTextBytes) {
            // A file that includes itself twice would otherwise be read 2^16 times.
            notes_.Add(where + ": #include \"" + name +
                       "\" refused: the text with its includes passes 16 MB");
        } else {
            Text(text, name, depth + 1);
        }
    }

    // Headers and opcodes on one line. A value runs to the next opcode or header on the line, so that a
    // sample's file name may hold blanks.
    void Tokens(const std::string& line, const std::string& where) {
        size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i])))
                ++i;
            if (i >= line.size())
                break;
            if (line[i] == '<') {
                const size_t close = line.find('>', i);
                if (close == std::string::npos) {
                    notes_.Add(where + ": a header without its '>'");
                    return;
                }
                Header(line.substr(i + 1, close - i - 1), where);
                i = close + 1;
                continue;
            }
            size_t nameEnd = i;
            while (nameEnd < line.size() && IsNameChar(line[nameEnd]))
                ++nameEnd;
            if (nameEnd == i || nameEnd >= line.size() || line[nameEnd] != '=') {
                notes_.Add(where + ": text that is no opcode: '" + line.substr(i) + "'");
                return;
            }
            const size_t valueStart = nameEnd + 1;
            size_t valueEnd = ValueEnd(line, valueStart);
            std::string value = line.substr(valueStart, valueEnd - valueStart);
            value.erase(value.find_last_not_of(" \t") + 1);
            Opcode({line.substr(i, nameEnd - i), value}, where);
            i = valueEnd;
        }
    }

    // Where the value starting at `start` ends: before a blank followed by a name and '=', or by '<'.
    static size_t ValueEnd(const std::string& line, size_t start) {
        for (size_t i = start; i < line.size(); ++i) {
            if (!std::isspace(static_cast<unsigned char>(line[i])))
                continue;
            size_t next = i;
            while (next < line.size() && std::isspace(static_cast<unsigned char>(line[next])))
                ++next;
            if (next < line.size() && line[next] == '<')
                return i;
            size_t nameEnd = next;
            while (nameEnd < line.size() && IsNameChar(line[nameEnd]))
                ++nameEnd;
            if (nameEnd > next && nameEnd < line.size() && line[nameEnd] == '=')
                return i;
        }
        return line.size();
    }

    enum class Level { None, Control, Global, Master, Group, Region, Ignored };

    void Header(const std::string& name, const std::string& where) {
        if (name == "region") {
            if (document_.regions.size() >= kMaxSfzRegions) {
                if (level_ != Level::Ignored)
                    notes_.Add(where + ": regions past the " + std::to_string(kMaxSfzRegions) +
                               "th are not read");
                level_ = Level::Ignored;
                return;
            }
            level_ = Level::Region;
            document_.regions.push_back({global_, master_, group_, {}, defaultPath_});
            return;
        }
        if (name == "control") {
            level_ = Level::Control;
        } else if (name == "global") {
            level_ = Level::Global;
            global_ = std::make_shared<SfzOpcodes>();
            master_.reset(), group_.reset();
        } else if (name == "master") {
            level_ = Level::Master;
            master_ = std::make_shared<SfzOpcodes>();
            group_.reset();
        } else if (name == "group") {
            level_ = Level::Group;
            group_ = std::make_shared<SfzOpcodes>();
        } else {
            level_ = Level::Ignored;
            notes_.Add(where + ": header <" + name + "> and its opcodes are not read");
        }
    }

    // A header's opcodes grow only until the next header: a region takes them as they then stand.
    void Add(SfzOpcodes& to, const SfzOpcode& opcode, const std::string& where) {
        if (to.size() == kMaxSfzOpcodesPerHeader)
            notes_.Add(where + ": opcodes past the " + std::to_string(kMaxSfzOpcodesPerHeader) +
                       "th under one header are not read");
        if (to.size() < kMaxSfzOpcodesPerHeader)
            to.push_back(opcode);
    }

    void Opcode(const SfzOpcode& opcode, const std::string& where) {
        switch (level_) {
        case Level::Control:
            if (opcode.name == "default_path")
                defaultPath_ = opcode.value;
            else
                notes_.Add(where + ": <control> opcode " + opcode.name + " is not read");
            break;
        case Level::Global:
            Add(*global_, opcode, where);
            break;
        case Level::Master:
            Add(*master_, opcode, where);
            break;
        case Level::Group:
            Add(*group_, opcode, where);
            break;
        case Level::Region:
            Add(document_.regions.back().own, opcode, where);
            break;
        case Level::None:
            notes_.Add(where + ": opcode " + opcode.name + " before any header");
            break;
        case Level::Ignored:
            break;
        }
    }

    std::string folder_;
    SfzDocument& document_;
    ReadNotes& notes_;
    std::map<std::string, std::string> defines_;
    uint64_t textRead_ = 0;
    Level level_ = Level::None;
    std::string defaultPath_;
    std::shared_ptr<SfzOpcodes> global_, master_, group_;
};

} // namespace

SfzOpcodes SfzParsedRegion::Opcodes() const {
    SfzOpcodes all;
    for (const auto& level : {global, master, group})
        if (level)
            all.insert(all.end(), level->begin(), level->end());
    all.insert(all.end(), own.begin(), own.end());
    return all;
}

std::string PathInsideFolder(const std::string& folder, const std::string& relative) {
    std::string name = relative;
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty() || name.front() == '/')
        return {};
    std::error_code error;
    const fs::path base = fs::weakly_canonical(fs::path(folder), error);
    if (error)
        return {};
    const fs::path target = fs::weakly_canonical(base / name, error);
    if (error)
        return {};
    // Inside: the folder is a leading part of the target, component by component.
    auto b = base.begin(), t = target.begin();
    for (; b != base.end() && !b->empty(); ++b, ++t)
        if (t == target.end() || *b != *t)
            return {};
    return t == target.end() ? std::string() : target.string();
}

void ParseSfzText(const std::string& text, const std::string& folder, SfzDocument& document,
                  ReadNotes& notes) {
    Parser parser(folder, document, notes);
    parser.Text(text, "line", 0);
}

bool ParseSfzFile(const std::string& path, SfzDocument& document, ReadNotes& notes) {
    std::string text;
    if (!ReadText(path, text)) {
        notes.damage = "the SFZ text cannot be read (or is larger than 16 MB)";
        return false;
    }
    const std::string folder = fs::path(path).parent_path().string() + "/";
    Parser parser(folder, document, notes);
    parser.Text(text, fs::path(path).filename().string(), 0);
    return true;
}

} // namespace quorvane
