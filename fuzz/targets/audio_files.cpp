// A WAVE or AIFF file (AIFF when it starts with "FORM") listed as the audio-file view lists its folder, with
// compressed files shown or hidden depending on the input's length, then every listed file fetched.
#include <cstring>

#include "FuzzSupport.h"
#include "convert/AudioFolder.h"

using namespace quorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ClearScratch();
    const bool aiff = size >= 4 && std::memcmp(data, "FORM", 4) == 0;
    fuzz::WriteScratchFile(aiff ? "sound.aif" : "sound.wav", data, size);
    NullHost host;
    Workspace workspace(host);
    workspace.settings.Menu_ShowCompressed = size % 2 == 1;
    ListAudioFolder(workspace, fuzz::ScratchFolder());
    fuzz::FetchEverySample(workspace);
    fuzz::ClearScratch();
    return 0;
}
