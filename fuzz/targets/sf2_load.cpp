// A SoundFont bank loaded as the command line loads it, then every sample fetched for playing and export.
#include "FuzzSupport.h"

using namespace quorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ClearScratch();
    const std::string path = fuzz::WriteScratchFile("bank.sf2", data, size);
    NullHost host;
    Workspace workspace(host);
    if (fuzz::LoadBankAtPath(workspace, path))
        fuzz::FetchEverySample(workspace);
    fuzz::ClearScratch();
    return 0;
}
