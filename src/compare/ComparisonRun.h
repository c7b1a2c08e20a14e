// A check as the desktop program runs it: on a thread of its own, with its own copies of the source and
// output banks (never the bank on screen, which the user may replace meanwhile), progress the windows can
// show and a cancel they can ask for. The banks stay loaded after the check, so that a preset and its
// counterpart in the output can be auditioned side by side.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "compare/CheckReport.h"
#include "convert/BankLoader.h"
#include "session/Workspace.h"

namespace quorvane {

struct ComparisonRequest {
    std::string source;                // a bank file
    std::vector<std::string> outputs;  // bank files (the parts of a GigaSampler bank) and folders of banks
    std::vector<uint32_t> sourceSlots; // source presets to compare (1-based); empty: every preset
};

enum class ComparisonState : uint8_t {
    Running,
    Finished,  // the report is whole
    Cancelled, // stopped on request: no report
    Failed,    // a bank could not be read: Error() says which and why
};

// Where a source preset's counterpart is: the output bank's workspace and the preset's slot in it.
struct Counterpart {
    Workspace* workspace = nullptr;
    uint32_t slot = 0;
};

// The banks an output list names: files as given, and the bank files of a folder (every format's
// extensions, any case) in name order. The source itself is left out wherever it is named.
std::vector<std::string> OutputBankPaths(const std::vector<std::string>& outputs, const std::string& source);

// Why the bank at `path` could not be loaded, in words for the user; empty when it was loaded.
std::string LoadFailureText(const std::string& path, LoadStatus status, const ReadNotes& notes);

// Threads: every member is called from the thread that made the run. The check runs on a thread of its own,
// which touches nothing but the run's own banks; Report, Error, SourceBank and CounterpartOf may be used
// once State() is no longer Running.
class ComparisonRun {
  public:
    explicit ComparisonRun(ComparisonRequest request);
    // Asks the check to stop and waits for it.
    ~ComparisonRun();
    ComparisonRun(const ComparisonRun&) = delete;
    ComparisonRun& operator=(const ComparisonRun&) = delete;

    void Start();
    void Cancel() { cancel_ = true; }
    ComparisonState State() const { return state_; }
    // How far the check is: loading the banks, then reading their samples and comparing the presets.
    int ProgressPerMille() const { return progress_; }

    const ComparisonRequest& Request() const { return request_; }
    const CheckReport& Report() const { return report_; }
    const std::string& Error() const { return error_; }
    Workspace& SourceBank() { return *banks_.front()->workspace; }
    // The counterpart of source preset `slot`; none when the preset is missing from the output.
    std::optional<Counterpart> CounterpartOf(uint32_t slot);
    // Where what the banks' workspaces tell the user goes once the check is over (an auditioned preset
    // whose temporary bank cannot be written): the windows' host. Until then it is not told.
    void SetMessageHost(Host* host);

  private:
    class RunHost;
    struct Bank {
        std::unique_ptr<RunHost> host;
        std::unique_ptr<Workspace> workspace;
        std::string path;
    };

    void Run();
    // Loads the next bank; false with the error set when it cannot be read.
    bool Load(const std::string& path);

    ComparisonRequest request_;
    std::vector<std::unique_ptr<Bank>> banks_; // the source first, then the outputs in order
    CheckReport report_;
    std::string error_;
    std::atomic<bool> cancel_{false};
    std::atomic<int> progress_{0};
    std::atomic<ComparisonState> state_{ComparisonState::Running};
    std::thread thread_;
};

} // namespace quorvane
