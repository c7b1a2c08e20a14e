#include "TerminalHost.h"

#include <cstdio>
#include <unistd.h>

#include "Interrupts.h"
#include "OutputText.h"

namespace quorvane::cli {

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

TerminalHost::TerminalHost() : interactiveTerminal_(::isatty(STDERR_FILENO) != 0) {
    // Status lines going to a file or a pipe are written in blocks rather than one system call each; on a
    // terminal they appear as they come.
    if (!interactiveTerminal_)
        std::setvbuf(stderr, nullptr, _IOFBF, 1 << 16);
}

TerminalHost::~TerminalHost() {
    EndProgressLine();
    std::fflush(stderr);
}

void TerminalHost::EndProgressLine() {
    if (progressShown_)
        std::fputc('\n', stderr);
    progressShown_ = false;
}

void TerminalHost::ShowMessage(const std::string& text, const std::string&, MessageIcon icon) {
    EndProgressLine();
    const char* kind = icon == MessageIcon::Stop      ? "error"
                       : icon == MessageIcon::Warning ? "warning"
                                                      : "note";
    std::fprintf(stderr, "%s: %s\n", kind, PlainText(text).c_str());
}

void TerminalHost::SetTitle(const std::string& text) {
    title_ = text;
}

void TerminalHost::AddStatusLine(const std::string& line) {
    EndProgressLine();
    ++statusLines_;
    std::fprintf(stderr, "%s\n", TerminalText(line).c_str());
}

void TerminalHost::ReplaceLastStatusLine(const std::string& line) {
    EndProgressLine();
    if (statusLines_ == 0)
        ++statusLines_;
    std::fprintf(stderr, "%s\n", TerminalText(line).c_str());
}

void TerminalHost::SetFileProgress(int perMille) {
    if (!interactiveTerminal_)
        return;
    constexpr int kWidth = 40;
    const int filled = perMille * kWidth / 1000;
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################",
                 kWidth - filled, "", perMille / 10);
    std::fflush(stderr);
    progressShown_ = true;
}

bool TerminalHost::CancelRequested() {
    return InterruptSignal() != 0;
}

bool TerminalHost::InterruptRequested() {
    return InterruptSignal() != 0;
}

} // namespace quorvane::cli
