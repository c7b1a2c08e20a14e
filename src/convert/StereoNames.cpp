#include "convert/StereoNames.h"

namespace quorvane {

namespace {
bool EndsWith(const std::string& text, const char* suffix) {
    const std::string tail(suffix);
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Removes at most one suffix, tried in a fixed order; each only from names longer than the suffix.
void CutSideSuffix(std::string& name, bool akai) {
    for (const char* suffix : {"(L)", "(R)", "-L", "-R"}) {
        if (name.size() > std::string(suffix).size() && EndsWith(name, suffix)) {
            name.resize(name.size() - std::string(suffix).size());
            return;
        }
    }
    // Akai names often end in a bare side letter ("PIANO L").
    if (akai && name.size() > 1 && (name.back() == 'L' || name.back() == 'R'))
        name.pop_back();
}
} // namespace

void TidyStereoNames(BankModel& bank) {
    const bool akai = bank.SourceFormat == SourceFormat::Akai;
    for (uint32_t i = 0; i < bank.SampleCount; ++i) {
        SampleRecord& sample = bank.SampleTable[i];
        if (sample.channels != 2 || (sample.sampleType != 2 && sample.sampleType != 4))
            continue;
        CutSideSuffix(sample.name, akai);
        if (akai)
            while (!sample.name.empty() && sample.name.back() == ' ')
                sample.name.pop_back();
    }
}

} // namespace quorvane
