// The command-line front end's answer to the core: messages and status lines go to stderr, progress is a
// bar on the terminal when stderr is one, and an interrupt (Ctrl-C, SIGTERM) stops the running operation
// and abandons the file it is writing.
#pragma once

#include <string>

#include "core/Host.h"

namespace quorvane::cli {

class TerminalHost : public Host {
  public:
    TerminalHost();
    ~TerminalHost() override;

    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
    void SetTitle(const std::string& text) override;
    void SetFormatLabel(const std::string& text) override { formatLabel_ = text; }
    void SetFormatLabelsVisible(bool) override {}
    void AddStatusLine(const std::string& line) override;
    void ReplaceLastStatusLine(const std::string& line) override;
    size_t StatusLineCount() const override { return statusLines_; }
    void ClearStatusLines() override { statusLines_ = 0; }
    void SetFileProgress(int perMille) override;
    void SetOverallProgress(int) override {}
    void SetProgressSampleName(const std::string&) override {}
    void SetProgressFileName(const std::string&) override {}
    bool IsProgressWindowShowing() const override { return batch_; }
    bool CancelRequested() override;
    bool InterruptRequested() override;
    void PumpEvents() override {}
    void BankChanged() override {}

    const std::string& FormatLabel() const { return formatLabel_; }
    const std::string& Title() const { return title_; }
    // While a conversion runs, status lines are printed and messages count as part of the run.
    void SetBatch(bool batch) { batch_ = batch; }

  private:
    void EndProgressLine();

    std::string formatLabel_;
    std::string title_;
    size_t statusLines_ = 0;
    bool batch_ = false;
    bool progressShown_ = false;
    bool interactiveTerminal_ = false;
};

// Message texts use "\r\n" line breaks; the terminal wants plain lines, with any other control character
// escaped.
std::string PlainText(const std::string& text);

} // namespace quorvane::cli
