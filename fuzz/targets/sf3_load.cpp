// A SoundFont 3 bank (Ogg Vorbis samples) loaded as the command line loads it, then every sample fetched,
// each compressed one decoded, for playing and for export.
#include "FuzzSupport.h"

using namespace quorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ClearScratch();
    const std::string path = fuzz::WriteScratchFile("bank.sf3", data, size);
    NullHost host;
    Workspace workspace(host);
    if (fuzz::LoadBankAtPath(workspace, path))
        fuzz::FetchEverySample(workspace);
    fuzz::ClearScratch();
    return 0;
}
