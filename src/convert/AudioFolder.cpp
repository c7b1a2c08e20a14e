#include "convert/AudioFolder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

#include "convert/FolderFiles.h"
#include "formats/audio/AiffHeader.h"
#include "formats/audio/AudioFileList.h"
#include "formats/audio/WaveHeader.h"

namespace quorvane {

static uint32_t ListAudioFiles(Workspace& workspace, const std::string& folder,
                               const std::vector<FoundFile>& files, AudioKinds kinds) {
    workspace.attributes.ClearFileList();
    workspace.sampleList.clear();
    workspace.bank = BankModel{};
    workspace.bank.SourceFormat = SourceFormat::AudioFile;
    workspace.loader.currentFolder = folder;
    workspace.loader.fileList.clear();
    workspace.loader.loadedEntry = workspace.loader.currentBank = -1;
    workspace.selection.selectedSample = kNoSample;

    uint32_t number = 0;
    AudioFileListing listing{workspace.sampleList, workspace.attributes.WaveAttributes,
                             workspace.settings.Menu_ShowCompressed};
    for (const FoundFile& file : files) {
        if (number >= kMaxAudioFiles)
            break; // sample indices are 16-bit
        // Every file's header is read: a folder of thousands takes a while.
        workspace.host.PumpEvents();
        const bool wave = HasExtension(file.name, ".wav");
        const bool aiff = HasExtension(file.name, ".aif") || HasExtension(file.name, ".aiff") ||
                          HasExtension(file.name, ".aifc");
        const bool listed =
            (wave && kinds.wave && ReadWaveHeader(listing, file.folder + file.name, file.name, number)) ||
            (aiff && kinds.aiff && ReadAiffHeader(listing, file.folder + file.name, file.name, number));
        if (listed) {
            workspace.attributes.PathAttributes += WavePathLine(number, file.folder, file.name);
            ++number;
        }
    }
    workspace.attributes.PathAttributes += WaveEndLine(number);
    CompleteAudioFileList(workspace.bank, workspace.attributes.WaveAttributes, workspace.sampleList);
    return number;
}

uint32_t ListAudioFolder(Workspace& workspace, const std::string& folder, AudioKinds kinds) {
    // Every WAVE file first, then every AIFF file, each group in name order.
    workspace.loader.listingKind = ListingKind::Folder;
    std::vector<FoundFile> files = FilesOfFolder(folder);
    std::stable_partition(files.begin(), files.end(),
                          [](const FoundFile& file) { return HasExtension(file.name, ".wav"); });
    return ListAudioFiles(workspace, folder, files, kinds);
}

uint32_t SearchAudioFiles(Workspace& workspace, const std::string& folder, AudioKinds kinds) {
    workspace.loader.listingKind = ListingKind::Search;
    return ListAudioFiles(workspace, folder,
                          FilesOfTree(folder, workspace.settings.ShowHiddenDirs, workspace.host), kinds);
}

} // namespace quorvane
