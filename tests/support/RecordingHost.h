// A Host that remembers every call, for tests that assert on what the core told the user.
#pragma once

#include <string>
#include <vector>

#include "core/Host.h"

namespace quorvane::test {

class RecordingHost : public Host {
  public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
    };

    // Every call in order, by name ("ShowMessage", "SetTitle", ...), for tests of ordering.
    std::vector<std::string> calls;
    std::vector<Message> messages;
    std::vector<std::string> titles;
    std::vector<std::string> formatLabels;
    std::vector<bool> formatLabelsVisible;
    std::vector<std::string> statusLines; // the status list as it stands
    std::vector<int> fileProgress;
    std::vector<int> overallProgress;
    std::vector<std::string> progressSampleNames;
    std::vector<std::string> progressFileNames;
    std::vector<std::string> progressCaptions; // "caption | item caption"
    std::vector<std::string> progressItemNames;
    std::vector<std::string> outputPaths;
    int bankChanges = 0;
    int pumpCalls = 0;

    // What the test wants the core to see.
    bool progressWindowShowing = false;
    bool cancel = false;

    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override {
        calls.push_back("ShowMessage");
        messages.push_back({text, caption, icon});
    }
    void SetTitle(const std::string& text) override {
        calls.push_back("SetTitle");
        titles.push_back(text);
    }
    void SetFormatLabel(const std::string& text) override {
        calls.push_back("SetFormatLabel");
        formatLabels.push_back(text);
    }
    void SetFormatLabelsVisible(bool visible) override {
        calls.push_back("SetFormatLabelsVisible");
        formatLabelsVisible.push_back(visible);
    }
    void AddStatusLine(const std::string& line) override {
        calls.push_back("AddStatusLine");
        statusLines.push_back(line);
    }
    void ReplaceLastStatusLine(const std::string& line) override {
        calls.push_back("ReplaceLastStatusLine");
        if (statusLines.empty())
            statusLines.push_back(line);
        else
            statusLines.back() = line;
    }
    size_t StatusLineCount() const override { return statusLines.size(); }
    void ClearStatusLines() override {
        calls.push_back("ClearStatusLines");
        statusLines.clear();
    }
    void SetFileProgress(int perMille) override {
        calls.push_back("SetFileProgress");
        fileProgress.push_back(perMille);
    }
    void SetOverallProgress(int perMille) override {
        calls.push_back("SetOverallProgress");
        overallProgress.push_back(perMille);
    }
    void SetProgressSampleName(const std::string& name) override {
        calls.push_back("SetProgressSampleName");
        progressSampleNames.push_back(name);
    }
    void SetProgressFileName(const std::string& name) override {
        calls.push_back("SetProgressFileName");
        progressFileNames.push_back(name);
    }
    bool IsProgressWindowShowing() const override { return progressWindowShowing; }
    bool CancelRequested() override { return cancel; }
    void PumpEvents() override { ++pumpCalls; }
    void BankChanged() override {
        calls.push_back("BankChanged");
        ++bankChanges;
    }

    void OpenProgressWindow(const std::string& caption, const std::string& itemCaption) override {
        calls.push_back("OpenProgressWindow");
        progressCaptions.push_back(caption + " | " + itemCaption);
    }
    void SetProgressItemName(const std::string& name) override {
        calls.push_back("SetProgressItemName");
        progressItemNames.push_back(name);
    }
    void SetOutputPath(const std::string& path) override {
        calls.push_back("SetOutputPath");
        outputPaths.push_back(path);
    }
    void FinishProgressWindow() override { calls.push_back("FinishProgressWindow"); }

    // Forget what was recorded so far, keeping what the test set for the core to see.
    void Forget() {
        calls.clear();
        messages.clear();
        titles.clear();
        formatLabels.clear();
        formatLabelsVisible.clear();
        statusLines.clear();
        fileProgress.clear();
        overallProgress.clear();
        progressSampleNames.clear();
        progressFileNames.clear();
        progressCaptions.clear();
        progressItemNames.clear();
        outputPaths.clear();
        bankChanges = 0;
        pumpCalls = 0;
    }
};

} // namespace quorvane::test
