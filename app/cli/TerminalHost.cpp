#include "TerminalHost.h"

#include <algorithm>
#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

#include "Interrupts.h"
#include "OutputText.h"
#include "core/StringPrintf.h"

namespace quorvane::cli {

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The writers' status lines, by what they say: most follow the work (a line per instrument and sample);
// the others say what went wrong and are shown at every verbosity.
enum class LineKind { Progress, Warning, Failure, FailureDetail };

LineKind KindOf(const std::string& line) {
    if (StartsWith(line, "ERROR") || StartsWith(line, "Interrupted:") || StartsWith(line, "Cancelled:"))
        return LineKind::Failure;
    if (StartsWith(line, "The file is not replaced") ||
        StartsWith(line, "This file is used by another program") ||
        StartsWith(line, "The sample is too large"))
        return LineKind::FailureDetail;
    if (StartsWith(line, "!WARNING"))
        return LineKind::Warning;
    return LineKind::Progress;
}

int TerminalColumns() {
    winsize size{};
    return ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col >= 20 ? size.ws_col : 80;
}

std::string SizeText(uint64_t bytes) {
    constexpr double kKiB = 1024.0, kMiB = kKiB * 1024.0, kGiB = kMiB * 1024.0;
    if (bytes < 10 * 1024)
        return StringPrintf("%llu bytes", static_cast<unsigned long long>(bytes));
    if (bytes < 1024 * 1024)
        return StringPrintf("%.1f KiB", static_cast<double>(bytes) / kKiB);
    if (bytes < uint64_t{1} << 30)
        return StringPrintf("%.1f MiB", static_cast<double>(bytes) / kMiB);
    return StringPrintf("%.2f GiB", static_cast<double>(bytes) / kGiB);
}

// A warning without its particulars (the text in brackets), so that warnings of one kind group together.
std::string WarningKind(const std::string& line) {
    std::string kind;
    int depth = 0;
    for (char c : line) {
        depth += c == '[';
        if (depth == 0)
            kind += c;
        depth -= c == ']' && depth > 0;
    }
    return kind;
}

} // namespace

std::string PlainText(const std::string& text) {
    std::string plain;
    for (size_t from = 0; from < text.size();) {
        size_t end = text.find('\n', from);
        end = end == std::string::npos ? text.size() : end;
        const size_t cut = end > from && text[end - 1] == '\r' ? end - 1 : end;
        plain += TerminalText(std::string_view(text).substr(from, cut - from));
        if (end < text.size())
            plain += '\n';
        from = end + 1;
    }
    while (!plain.empty() && plain.back() == '\n')
        plain.pop_back();
    return plain;
}

std::string WrittenFileLine(const WrittenFile& file) {
    std::string line = "Saved '" + file.path + "': ";
    if (file.presets != 0)
        line += StringPrintf("%u preset%s, ", file.presets, file.presets == 1 ? "" : "s");
    if (file.samples != 0)
        line += StringPrintf("%u sample%s, ", file.samples, file.samples == 1 ? "" : "s");
    return line + SizeText(file.bytes) + StringPrintf(", %.1f s", file.seconds);
}

TerminalHost::TerminalHost(ReportOptions report) : report_(report) {
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    progressBar_ = terminal && report_.verbosity != Verbosity::Quiet;
    // Status lines going to a file or a pipe are written in blocks rather than one system call each; on a
    // terminal they appear as they come.
    if (!terminal)
        std::setvbuf(stderr, nullptr, _IOFBF, 1 << 16);
}

TerminalHost::~TerminalHost() {
    PrintHeldWarnings();
    ClearProgressLine();
    std::fflush(stderr);
}

// The bar is erased rather than ended with a newline, so that the lines above it read as a plain list.
void TerminalHost::ClearProgressLine() {
    if (progressShown_)
        std::fputs("\r\033[K", stderr);
    progressShown_ = false;
    drawnPercent_ = -1;
}

void TerminalHost::PrintLine(const std::string& line) {
    ClearProgressLine();
    std::fprintf(stderr, "%s\n", TerminalText(line).c_str());
}

void TerminalHost::ShowMessage(const std::string& text, const std::string&, MessageIcon icon) {
    const std::string plain = PlainText(text);
    if (icon == MessageIcon::Stop)
        failures_.push_back(plain);
    else if (icon == MessageIcon::Warning)
        warnings_.push_back(plain);
    else if (report_.verbosity == Verbosity::Quiet)
        return;
    const char* kind = icon == MessageIcon::Stop      ? "error"
                       : icon == MessageIcon::Warning ? "warning"
                                                      : "note";
    PrintLine(std::string(kind) + ": " + plain);
}

void TerminalHost::AddStatusLine(const std::string& line) {
    ++statusLines_;
    const LineKind kind = KindOf(line);
    lastHeld_ = false;
    if (kind == LineKind::Failure)
        PrintHeldWarnings();
    lastKept_ = kind == LineKind::Failure ? &failures_ : kind == LineKind::Warning ? &warnings_ : nullptr;
    if (kind == LineKind::Failure)
        failures_.push_back(line);
    else if (kind == LineKind::FailureDetail && !failures_.empty())
        failures_.back() += " " + line;
    else if (kind == LineKind::Warning)
        warnings_.push_back(line);
    if (kind == LineKind::Warning && report_.verbosity != Verbosity::Verbose) {
        heldWarnings_.push_back(line);
        lastHeld_ = true;
    } else if (kind != LineKind::Progress || report_.verbosity == Verbosity::Verbose) {
        PrintLine(line);
    }
}

// A file's warnings of one kind (a writer may give dozens, one per region) as one line with their count.
void TerminalHost::PrintHeldWarnings() {
    std::vector<std::string> kinds;
    std::vector<size_t> firsts, counts;
    for (size_t i = 0; i < heldWarnings_.size(); ++i) {
        const std::string kind = WarningKind(heldWarnings_[i]);
        const auto found = std::find(kinds.begin(), kinds.end(), kind);
        if (found != kinds.end()) {
            ++counts[static_cast<size_t>(found - kinds.begin())];
            continue;
        }
        kinds.push_back(kind);
        firsts.push_back(i);
        counts.push_back(1);
    }
    for (size_t k = 0; k < kinds.size(); ++k)
        PrintLine(
            heldWarnings_[firsts[k]] +
            (counts[k] == 1 ? "" : StringPrintf(" (and %zu more like it; -v lists each)", counts[k] - 1)));
    heldWarnings_.clear();
    lastHeld_ = false;
}

// On a terminal the line replaced was printed already: the new one follows it. In the run's result it
// takes the old line's place.
void TerminalHost::ReplaceLastStatusLine(const std::string& line) {
    if (lastKept_ != nullptr && !lastKept_->empty())
        lastKept_->pop_back();
    if (lastHeld_ && !heldWarnings_.empty())
        heldWarnings_.pop_back();
    if (statusLines_ != 0)
        --statusLines_;
    AddStatusLine(line);
}

void TerminalHost::Summary(const std::string& line) {
    PrintHeldWarnings();
    if (report_.verbosity != Verbosity::Quiet)
        PrintLine(line);
}

void TerminalHost::SetOutputPath(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    outputName_ = slash == std::string::npos ? path : path.substr(slash + 1);
    drawnPercent_ = -1;
}

void TerminalHost::SetFileProgress(int perMille) {
    if (!overallSeen_)
        DrawProgress(perMille);
}

void TerminalHost::SetOverallProgress(int perMille) {
    overallSeen_ = true;
    DrawProgress(perMille);
}

void TerminalHost::DrawProgress(int perMille) {
    if (!progressBar_)
        return;
    const int percent = std::clamp(perMille, 0, 1000) / 10;
    if (percent == drawnPercent_)
        return;
    drawnPercent_ = percent;
    constexpr int kWidth = 30;
    const int filled = percent * kWidth / 100;
    std::string bar = "[" + std::string(filled, '#') + std::string(kWidth - filled, ' ') + "] " +
                      StringPrintf("%3d%%", percent);
    if (!outputName_.empty())
        bar += "  " + outputName_;
    // One terminal line, so that the bar redraws in place: a name too long is cut, never mid-character.
    size_t fit = static_cast<size_t>(TerminalColumns() - 1);
    if (bar.size() > fit) {
        while (fit > 0 && (static_cast<unsigned char>(bar[fit]) & 0xC0) == 0x80)
            --fit;
        bar.resize(fit);
    }
    std::fprintf(stderr, "\r%s\033[K", bar.c_str());
    std::fflush(stderr);
    progressShown_ = true;
}

void TerminalHost::FileWritten(const WrittenFile& file) {
    written_.push_back(file);
    const bool fileLine = report_.verbosity == Verbosity::Verbose ||
                          (report_.verbosity == Verbosity::Normal && report_.fileLinesByDefault);
    if (!fileLine || report_.verbosity == Verbosity::Verbose) {
        PrintHeldWarnings();
        if (fileLine)
            PrintLine(WrittenFileLine(file));
        return;
    }
    // By default a file is one line: its warnings are counted in it.
    PrintLine(WrittenFileLine(file) + HeldWarningsCount());
    heldWarnings_.clear();
    lastHeld_ = false;
}

// "; 20 warnings: Too many layer splits in region (-v lists them)", or "" without warnings.
std::string TerminalHost::HeldWarningsCount() const {
    if (heldWarnings_.empty())
        return {};
    const std::string kind = WarningKind(heldWarnings_.front());
    const bool oneKind = std::all_of(heldWarnings_.begin(), heldWarnings_.end(),
                                     [&](const std::string& line) { return WarningKind(line) == kind; });
    std::string what;
    if (oneKind) {
        what = kind.rfind("!WARNING ", 0) == 0 ? kind.substr(9) : kind;
        while (!what.empty() && (what.back() == '.' || what.back() == ' '))
            what.pop_back();
        what = ": " + what;
    }
    const size_t n = heldWarnings_.size();
    return StringPrintf("; %zu warning%s", n, n == 1 ? "" : "s") + what + (n == 1 ? "" : " (-v lists them)");
}

bool TerminalHost::CancelRequested() {
    return InterruptSignal() != 0;
}

bool TerminalHost::InterruptRequested() {
    return InterruptSignal() != 0;
}

} // namespace quorvane::cli
