// Replays fuzz inputs through a target without libFuzzer: every file of the folders named (and every file
// named) goes through LLVMFuzzerTestOneInput once, in name order. The tests run the committed seed corpora
// and the inputs of every fault found so far this way, under the sanitizers of the test build.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        const fs::path named(argv[i]);
        if (fs::is_directory(named, error)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(named, error))
                if (entry.is_regular_file(error) && entry.path().filename().string()[0] != '.')
                    inputs.push_back(entry.path());
        } else if (fs::is_regular_file(named, error)) {
            inputs.push_back(named);
        }
        // A folder that does not exist yet (no fault found for the target) holds no inputs.
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    for (const fs::path& input : inputs) {
        std::ifstream file(input, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                         std::istreambuf_iterator<char>()};
        std::fprintf(stderr, "%s\n", input.string().c_str());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::fprintf(stderr, "%zu inputs replayed\n", inputs.size());
    return 0;
}
