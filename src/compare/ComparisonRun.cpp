#include "compare/ComparisonRun.h"

#include <algorithm>
#include <filesystem>

#include "compare/BankComparison.h"
#include "convert/FolderFiles.h"
#include "core/StringPrintf.h"

namespace quorvane {

namespace fs = std::filesystem;

namespace {

// Loading takes this share of the progress, the check the rest.
constexpr int kLoadingPerMille = 200;

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

} // namespace

// The banks' host: silent while the check runs on its thread (a cancel is its only question), the
// windows' host for messages once it is over.
class ComparisonRun::RunHost : public NullHost {
  public:
    explicit RunHost(const std::atomic<bool>& cancel) : cancel_(cancel) {}
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override {
        if (messages_ != nullptr)
            messages_->ShowMessage(text, caption, icon);
    }
    bool CancelRequested() override { return cancel_; }
    void SetMessageHost(Host* host) { messages_ = host; }

  private:
    const std::atomic<bool>& cancel_;
    Host* messages_ = nullptr;
};

std::vector<std::string> OutputBankPaths(const std::vector<std::string>& outputs, const std::string& source) {
    static const std::vector<std::string> extensions = BankFileExtensions();
    std::vector<std::string> banks;
    for (const std::string& output : outputs) {
        std::error_code error;
        if (!fs::is_directory(output, error)) {
            if (!SameFile(output, source))
                banks.push_back(output);
            continue;
        }
        std::string folder = output;
        if (folder.back() != '/')
            folder += '/';
        for (const FoundFile& file : FilesOfFolder(folder)) {
            const std::string path = file.folder + file.name;
            if (std::any_of(
                    extensions.begin(), extensions.end(),
                    [&](const std::string& extension) { return HasExtension(file.name, extension); }) &&
                !SameFile(path, source))
                banks.push_back(path);
        }
    }
    return banks;
}

std::string LoadFailureText(const std::string& path, LoadStatus status, const ReadNotes& notes) {
    switch (status) {
    case LoadStatus::Loaded:
    case LoadStatus::AlreadyLoaded:
        return "";
    case LoadStatus::CannotOpen:
        return StringPrintf("Cannot open '%s'.", path.c_str());
    case LoadStatus::Damaged:
        return StringPrintf("'%s' is a damaged bank (%s).", path.c_str(), notes.damage.c_str());
    case LoadStatus::NotABank:
    case LoadStatus::WrongFormat:
        break;
    }
    return StringPrintf("'%s' is not a bank of a supported type.", path.c_str());
}

ComparisonRun::ComparisonRun(ComparisonRequest request) : request_(std::move(request)) {}

ComparisonRun::~ComparisonRun() {
    cancel_ = true;
    if (thread_.joinable())
        thread_.join();
}

void ComparisonRun::Start() {
    thread_ = std::thread([this] { Run(); });
}

bool ComparisonRun::Load(const std::string& path) {
    auto bank = std::make_unique<Bank>();
    bank->host = std::make_unique<RunHost>(cancel_);
    bank->workspace = std::make_unique<Workspace>(*bank->host);
    bank->path = path;
    // As a conversion reads it, so that both sides are seen as the writer saw its source.
    const LoadResult loaded = LoadBank(*bank->workspace, path, {LoadMode::Silent});
    banks_.push_back(std::move(bank));
    error_ = LoadFailureText(path, loaded.status, loaded.notes);
    return error_.empty();
}

void ComparisonRun::Run() {
    const std::vector<std::string> outputs = OutputBankPaths(request_.outputs, request_.source);
    const int banks = static_cast<int>(outputs.size()) + 1;
    if (!Load(request_.source)) {
        state_ = ComparisonState::Failed;
        return;
    }
    if (outputs.empty()) {
        error_ = "No output bank to compare with: a folder without bank files, or the source itself.";
        state_ = ComparisonState::Failed;
        return;
    }
    for (size_t i = 0; i < outputs.size(); ++i) {
        progress_ = kLoadingPerMille * static_cast<int>(i + 1) / banks;
        if (cancel_) {
            state_ = ComparisonState::Cancelled;
            return;
        }
        if (!Load(outputs[i])) {
            state_ = ComparisonState::Failed;
            return;
        }
    }
    progress_ = kLoadingPerMille;

    std::vector<CheckedBank> checked;
    for (size_t i = 1; i < banks_.size(); ++i)
        checked.push_back(CheckedBank{banks_[i]->workspace.get(), banks_[i]->path});
    CheckOptions options;
    for (uint32_t slot : request_.sourceSlots)
        if (SourceBank().bank.IsValidSlot(slot))
            options.sourceSlots.push_back(slot);
    options.progress = [this](uint32_t done, uint32_t total) {
        progress_ = kLoadingPerMille + static_cast<int>(static_cast<uint64_t>(1000 - kLoadingPerMille) *
                                                        done / std::max(total, 1u));
        return !cancel_;
    };
    if (!request_.sourceSlots.empty() && options.sourceSlots.empty()) {
        error_ = "The chosen preset is not in the source bank.";
        state_ = ComparisonState::Failed;
        return;
    }
    report_ = CheckConversion(CheckedBank{&SourceBank(), request_.source}, checked, options);
    state_ = report_.cancelled ? ComparisonState::Cancelled : ComparisonState::Finished;
}

std::optional<Counterpart> ComparisonRun::CounterpartOf(uint32_t slot) {
    const PresetCheck* check = PresetCheckOf(report_, slot);
    if (check == nullptr || check->outputFile.empty())
        return std::nullopt;
    for (size_t i = 1; i < banks_.size(); ++i)
        if (banks_[i]->path == check->outputFile)
            return Counterpart{banks_[i]->workspace.get(), check->outputSlot};
    return std::nullopt;
}

void ComparisonRun::SetMessageHost(Host* host) {
    for (auto& bank : banks_)
        bank->host->SetMessageHost(host);
}

} // namespace quorvane
