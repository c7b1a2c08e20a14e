// The command-line front end's answer to the core: messages and status lines go to stderr as much as the
// chosen verbosity asks for, progress is one bar redrawn in place when stderr is a terminal, the files a
// run writes and its problems are kept for the JSON result, and an interrupt (Ctrl-C, SIGTERM) stops the
// running operation and abandons the file it is writing.
#pragma once

#include <string>
#include <vector>

#include "core/Host.h"

namespace quorvane::cli {

// Quiet: errors and warnings only. Normal: besides them a line per file written and the summary.
// Verbose: every status line of the writers as well (a line per instrument and per sample).
enum class Verbosity { Quiet, Normal, Verbose };

struct ReportOptions {
    Verbosity verbosity = Verbosity::Normal;
    bool json = false; // the run's result as one JSON object on stdout
    // A line per file written at Normal verbosity (banks); otherwise only at Verbose (sample files).
    bool fileLinesByDefault = true;
};

class TerminalHost : public Host {
  public:
    explicit TerminalHost(ReportOptions report = {});
    ~TerminalHost() override;

    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
    // A terminal has no title bar: the command line reports what the windows show there through its messages.
    void SetTitle(const std::string&) override {}
    void SetFormatLabel(const std::string& text) override { formatLabel_ = text; }
    void SetFormatLabelsVisible(bool) override {}
    void AddStatusLine(const std::string& line) override;
    void ReplaceLastStatusLine(const std::string& line) override;
    size_t StatusLineCount() const override { return statusLines_; }
    void ClearStatusLines() override { statusLines_ = 0; }
    void SetFileProgress(int perMille) override;
    void SetOverallProgress(int perMille) override;
    void SetProgressSampleName(const std::string&) override {}
    void SetProgressFileName(const std::string&) override {}
    void SetOutputPath(const std::string& path) override;
    bool IsProgressWindowShowing() const override { return batch_; }
    bool CancelRequested() override;
    bool InterruptRequested() override;
    void PumpEvents() override {}
    void BankChanged() override {}
    void FileWritten(const WrittenFile& file) override;

    const std::string& FormatLabel() const { return formatLabel_; }
    // While a conversion runs, status lines are printed and messages count as part of the run.
    void SetBatch(bool batch) { batch_ = batch; }

    const ReportOptions& Report() const { return report_; }
    // A line of the command's own (a summary) at Normal verbosity and above.
    void Summary(const std::string& line);

    const std::vector<WrittenFile>& Written() const { return written_; }
    const std::vector<std::string>& Warnings() const { return warnings_; }
    const std::vector<std::string>& Failures() const { return failures_; }

  private:
    void PrintLine(const std::string& line);
    void PrintHeldWarnings();
    std::string HeldWarningsCount() const;
    void DrawProgress(int perMille);
    void ClearProgressLine();

    ReportOptions report_;
    std::string formatLabel_;
    size_t statusLines_ = 0;
    // Below -v, a file's warnings wait for its end, so that those of one kind print as one line.
    std::vector<std::string> heldWarnings_;
    bool lastHeld_ = false; // the last status line was held
    bool batch_ = false;
    bool progressBar_ = false;   // stderr is a terminal and the verbosity is not quiet
    bool progressShown_ = false; // the bar is on the terminal's last line
    bool overallSeen_ = false;   // the run reports overall progress: the bar follows it, not the file's
    int drawnPercent_ = -1;
    std::vector<std::string>* lastKept_ = nullptr; // where the last status line was kept, if anywhere
    std::string outputName_;
    std::vector<WrittenFile> written_;
    std::vector<std::string> warnings_;
    std::vector<std::string> failures_;
};

// Message texts use "\r\n" line breaks; the terminal wants plain lines, with any other control character
// escaped.
std::string PlainText(const std::string& text);

// A written file as one line: "Saved 'NAME': 3 presets, 20 samples, 1.2 MiB, 0.4 s".
std::string WrittenFileLine(const WrittenFile& file);

} // namespace quorvane::cli
