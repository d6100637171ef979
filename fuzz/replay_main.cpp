// fuzz/replay_main.cpp -- runs a fuzz target over files instead of under
// libFuzzer: each argument is a file, or a folder whose files are all run, in
// name order; a folder that does not exist holds none. The test trees build
// every target with it, and CTest replays the target's seeds and regressions.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

static std::vector<fs::path> inputs_of(const fs::path& argument) {
    std::vector<fs::path> inputs;
    std::error_code error;
    if (fs::is_directory(argument, error)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(argument))
            if (entry.is_regular_file()) inputs.push_back(entry.path());
        std::sort(inputs.begin(), inputs.end());
    } else if (fs::exists(argument, error)) {
        inputs.push_back(argument);
    }
    return inputs;
}

int main(int argc, char** argv) {
    size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& input : inputs_of(argv[i])) {
            std::ifstream in(input, std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
            fprintf(stderr, "replay: %s\n", input.c_str());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++count;
        }
    }
    // An empty corpus would pass without testing anything.
    if (count == 0) {
        fprintf(stderr, "replay: no inputs\n");
        return 1;
    }
    printf("replay: %zu inputs, no finding\n", count);
    return 0;
}
