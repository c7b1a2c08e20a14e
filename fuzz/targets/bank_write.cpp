// A damaged SoundFont, DLS or GigaSampler bank (by its first bytes) written whole through the batch save as
// a SoundFont and as a GigaSampler file, and every sample saved as a WAVE file (an AIFF file for inputs of
// odd length), all into the scratch folder. The files written are read back.
#include <filesystem>

#include "FuzzSupport.h"
#include "convert/BankLoader.h"
#include "convert/BatchSave.h"
#include "convert/SampleExport.h"
#include "formats/audio/SampleFileWriter.h"

using namespace quorvane;

namespace {

void SaveBank(const std::string& folder, OutputType type, const std::string& file) {
    NullHost host;
    Workspace workspace(host);
    SetFileListOfPaths(workspace, {folder + "in/bank.sf2"});
    BankSaveRequest request;
    request.type = type;
    request.entries = {0};
    request.folder = folder + "out/";
    request.file = request.folder + file;
    request.entriesOfAnyType = true;
    for (const std::string& written : SaveBanks(workspace, request).written) {
        NullHost readHost;
        Workspace readBack(readHost);
        if (fuzz::LoadBankAtPath(readBack, written))
            fuzz::FetchEverySample(readBack);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ClearScratch();
    const std::string& folder = fuzz::ScratchFolder();
    std::filesystem::create_directory(folder + "in");
    std::filesystem::create_directory(folder + "out");
    const std::string input = fuzz::WriteScratchFile("in/bank.sf2", data, size);

    SaveBank(folder, OutputType::SoundFont, "written.sf2");
    SaveBank(folder, OutputType::Giga, "written.gig");

    NullHost host;
    Workspace workspace(host);
    if (fuzz::LoadBankAtPath(workspace, input)) {
        std::filesystem::create_directory(folder + "samples");
        SaveAllSamples(workspace, folder + "samples/",
                       size % 2 == 0 ? SampleFileType::Wave : SampleFileType::Aiff);
    }
    fuzz::ClearScratch();
    return 0;
}
