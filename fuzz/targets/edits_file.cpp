// An edits file read as `--edits FILE` reads it, then replayed onto a small bank as a conversion does: the
// preset edit lines, then the bank-wide parameters on every preset. What was read must be written out again
// as a file that reads back to the same edits.
#include <cstdio>
#include <cstdlib>

#include "FuzzSupport.h"
#include "convert/ConversionParameters.h"
#include "convert/EditsFile.h"
#include "support/SmallModels.h"

using namespace quorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ClearScratch();
    const std::string path = fuzz::WriteScratchFile("run.edits", data, size);
    EditSet edits;
    EditsFileError error;
    const bool read = ReadEditsFile(path, edits, error);
    fuzz::ClearScratch();
    if (!read)
        return 0;

    BankModel bank = test::SmallModel({{}, {.rootKey = 36}, {.zoneRange = 0x3c30}, {.rootKey = 100}});
    AttributeList attributes;
    attributes.EditAttributes = edits.presetLines;
    ApplyEdits(bank, attributes.EditAttributes, ApplyMode::Views);
    ApplyPresetParameters(bank, attributes, {1, 2, 3, 4}, edits.bankValues);

    EditSet again;
    if (!ParseEditsText(EditsFileText(edits), again, error) || EditsFileText(again) != EditsFileText(edits)) {
        std::fprintf(stderr, "the edits written do not read back (line %zu: %s)\n", error.line,
                     error.message.c_str());
        std::abort();
    }
    return 0;
}
