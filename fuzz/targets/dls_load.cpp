// A DLS or GigaSampler bank loaded as the command line loads it, then every sample fetched for playing and
// export. Unmapped dimension regions are read or left out depending on the input's length, so both paths of
// the instrument reader are taken.
#include "FuzzSupport.h"

using namespace quorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ClearScratch();
    const std::string path = fuzz::WriteScratchFile("bank.gig", data, size);
    NullHost host;
    Workspace workspace(host);
    workspace.settings.ReadUnmappedRegions = size % 2 == 0;
    if (fuzz::LoadBankAtPath(workspace, path))
        fuzz::FetchEverySample(workspace);
    fuzz::ClearScratch();
    return 0;
}
