// Everything the core tells or asks the user goes through this interface: the desktop window implements
// it with widgets, the command-line program with the terminal, and tests record every call.
#pragma once

#include <cstdint>
#include <string>

namespace quorvane {

constexpr const char* kMessageCaption = "Quorvane v1.1";

enum class MessageIcon { None, Information, Warning, Stop };

// A file a batch save wrote whole: what the command line lists, one line or one JSON record per file.
struct WrittenFile {
    std::string path;
    uint64_t bytes = 0;
    uint32_t presets = 0;
    uint32_t samples = 0;
    double seconds = 0; // from the start of its write to its commit
};

class Host {
  public:
    virtual ~Host() = default;

    virtual void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) = 0;

    // The title panel of the main window.
    virtual void SetTitle(const std::string& text) = 0;
    // The format label beside the title (e.g. "SoundFont 2.1") and the label pair that shows it.
    virtual void SetFormatLabel(const std::string& text) = 0;
    virtual void SetFormatLabelsVisible(bool visible) = 0;

    // Status list of the conversion progress window.
    virtual void AddStatusLine(const std::string& line) = 0;
    virtual void ReplaceLastStatusLine(const std::string& line) = 0;
    virtual size_t StatusLineCount() const = 0;
    virtual void ClearStatusLines() = 0;

    // Per-mille progress of the current file, and the overall progress of a run.
    virtual void SetFileProgress(int perMille) = 0;
    virtual void SetOverallProgress(int perMille) = 0;
    // The sample name and file panels of the progress windows.
    virtual void SetProgressSampleName(const std::string& name) = 0;
    virtual void SetProgressFileName(const std::string& name) = 0;

    // True while the conversion progress window is showing, i.e. a batch run is going on.
    virtual bool IsProgressWindowShowing() const = 0;
    virtual bool CancelRequested() = 0;
    // True when the user interrupted the whole program (Ctrl-C on the command line) rather than pressed a
    // Cancel button: a writer then abandons the file it is writing instead of keeping what it has.
    virtual bool InterruptRequested() { return false; }
    // Called between units of long work (a sample, a region, a bank) so that the front end can repaint its
    // progress and take a Cancel. It returns at once: a front end handles what is pending when enough time
    // has passed since it last did, and never waits for more to come.
    virtual void PumpEvents() = 0;

    // The bank model was replaced: views rebuild their trees and lists.
    virtual void BankChanged() = 0;

    // The conversion progress window of a batch save: opened with its caption ("Saving Bank(s) ...") and
    // the caption of the item line ("Bank:"), a Cancel button and an empty status list; the item being
    // saved; the path being written (the status bar); finished: the window may close and its button
    // reads "OK". Front ends without such a window ignore them.
    virtual void OpenProgressWindow(const std::string& /*caption*/, const std::string& /*itemCaption*/) {}
    virtual void SetProgressItemName(const std::string& /*name*/) {}
    virtual void SetOutputPath(const std::string& /*path*/) {}
    virtual void FinishProgressWindow() {}
    // A batch save committed a file. The windows show its "Saved file" status line instead.
    virtual void FileWritten(const WrittenFile& /*file*/) {}
};

// A host that does nothing and never cancels: for silent work and as a base for partial hosts.
class NullHost : public Host {
  public:
    void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
    void SetTitle(const std::string&) override {}
    void SetFormatLabel(const std::string&) override {}
    void SetFormatLabelsVisible(bool) override {}
    void AddStatusLine(const std::string&) override {}
    void ReplaceLastStatusLine(const std::string&) override {}
    size_t StatusLineCount() const override { return 0; }
    void ClearStatusLines() override {}
    void SetFileProgress(int) override {}
    void SetOverallProgress(int) override {}
    void SetProgressSampleName(const std::string&) override {}
    void SetProgressFileName(const std::string&) override {}
    bool IsProgressWindowShowing() const override { return false; }
    bool CancelRequested() override { return false; }
    void PumpEvents() override {}
    void BankChanged() override {}
};

} // namespace quorvane
