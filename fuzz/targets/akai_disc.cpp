// An Akai CD-ROM image scanned for partitions, every volume of every partition loaded (the silent load of a
// conversion, then the listing load with every program and sample header read) and every sample fetched.
//
// A disc is hundreds of megabytes of mostly nothing, so the input describes a sparse image (see
// SparseImage.h): a layout byte, the size in sectors, then pieces of data at byte offsets.
#include "FuzzSupport.h"
#include "SparseImage.h"
#include "convert/AkaiDisc.h"
#include "convert/BankLoader.h"
#include "convert/SampleFetch.h"

using namespace quorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ClearScratch();
    const std::string path = fuzz::WriteSparseImage(fuzz::ScratchFolder(), data, size);
    NullHost host;
    Workspace workspace(host);
    if (!path.empty() && OpenAkaiDisc(workspace, path) > 0) {
        for (uint32_t p = 0; p < workspace.akai.PartitionCount; ++p) {
            PartitionText(workspace.akai, p);
            const size_t volumes = SelectAkaiPartition(workspace, p).size();
            for (uint32_t v = 0; v < volumes; ++v) {
                if (LoadBankSilently(workspace, v) == LoadStatus::Loaded)
                    fuzz::FetchEverySample(workspace);
                if (LoadBankInteractively(workspace, v) != LoadStatus::Loaded)
                    continue;
                ReadAkaiPrograms(workspace, AkaiProgramMode::ReadAll);
                SampleSourceFor(workspace);
                for (uint32_t s = 0; s < workspace.bank.SampleCount; ++s)
                    workspace.sources.akai.ReadHeader(s);
            }
        }
    }
    fuzz::ClearScratch();
    return 0;
}
