#include "convert/AudioFolder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

#include "formats/audio/AiffHeader.h"
#include "formats/audio/AudioFileList.h"
#include "formats/audio/WaveHeader.h"

namespace quorvane {

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Names of the folder's non-folder entries, in name order without regard to case (ties in byte order).
std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code ignored;
        if (!it->is_directory(ignored))
            names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = Lower(a), lb = Lower(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

} // namespace

uint32_t ListAudioFolder(Workspace& workspace, const std::string& folder, AudioKinds kinds) {
    workspace.attributes.ClearFileList();
    workspace.sampleList.clear();
    workspace.bank = BankModel{};
    workspace.bank.SourceFormat = kAudioFileSource;
    workspace.loader.currentFolder = folder;
    workspace.loader.fileList.clear();
    workspace.loader.loadedEntry = workspace.loader.currentBank = -1;
    workspace.selection.selectedSample = 0xFFFF;

    const std::vector<std::string> names = FileNames(folder);
    uint32_t number = 0;
    AudioFileListing listing{workspace.sampleList, workspace.attributes.WaveAttributes,
                             workspace.settings.Menu_ShowCompressed};
    auto offer = [&](bool (*reader)(AudioFileListing&, const std::string&, const std::string&, uint32_t),
                     std::initializer_list<const char*> extensions) {
        for (const std::string& name : names) {
            if (number >= kMaxAudioFiles)
                return; // sample indices are 16-bit
            const std::string lower = Lower(name);
            if (std::none_of(extensions.begin(), extensions.end(),
                             [&](const char* e) { return EndsWith(lower, e); }))
                continue;
            if (reader(listing, folder + name, name, number)) {
                workspace.attributes.PathAttributes += WavePathLine(number, folder, name);
                ++number;
            }
        }
    };
    if (kinds.wave)
        offer(ReadWaveHeader, {".wav"});
    if (kinds.aiff)
        offer(ReadAiffHeader, {".aif", ".aiff"});
    workspace.attributes.PathAttributes += WaveEndLine(number);
    CompleteAudioFileList(workspace.bank, workspace.attributes.WaveAttributes, workspace.sampleList);
    return number;
}

} // namespace quorvane
