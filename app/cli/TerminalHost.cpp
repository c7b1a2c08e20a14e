#include "TerminalHost.h"

#include <cstdio>
#include <unistd.h>

#include "Interrupts.h"

namespace quorvane::cli {

std::string PlainText(const std::string& text) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r')
            continue;
        plain += text[i];
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
    std::fprintf(stderr, "%s\n", line.c_str());
}

void TerminalHost::ReplaceLastStatusLine(const std::string& line) {
    EndProgressLine();
    if (statusLines_ == 0)
        ++statusLines_;
    std::fprintf(stderr, "%s\n", line.c_str());
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
