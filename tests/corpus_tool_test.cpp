// korvite list, cat and decode over every input of the fuzz corpora, seeds
// and regressions alike: the tool meets the same damaged files the engine's
// readers do, and must end each one with status 0 or 1, never with a signal.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/scratch.h"
#include "tools/korvite/archive_writer.h"

namespace {

namespace fs = std::filesystem;
using bytes = std::vector<uint8_t>;

// The entries of an archive that korvite cats or decodes; the first few are
// enough, the rest take the same road.
constexpr size_t names_per_archive = 8;

// Runs korvite with args in folder, its output thrown away; the raw wait
// status, so that a signal is told apart from an exit.
int run_korvite(const scratch_dir& folder, const std::vector<std::string>& args) {
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.root.c_str()) != 0 || !freopen("/dev/null", "w", stdout) ||
            !freopen("/dev/null", "w", stderr))
            _exit(126);
        std::vector<char*> argv{const_cast<char*>(KORVITE_TOOL)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(KORVITE_TOOL, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

void expect_clean_end(const scratch_dir& folder, const std::vector<std::string>& args,
                      const fs::path& input) {
    int status = run_korvite(folder, args);
    std::string command;
    for (const std::string& a : args) command += " " + a;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 1)
        << "korvite" << command << " on " << input << ": "
        << (WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status))
                                : "status " + std::to_string(WEXITSTATUS(status)));
}

// Seeds and regressions of one target, in name order.
std::vector<fs::path> inputs_of(const std::string& target) {
    std::vector<fs::path> inputs;
    for (const char* kind : {"corpus", "regressions"}) {
        fs::path folder = fs::path(KORVITE_FUZZ_DIR) / kind / target;
        if (!fs::is_directory(folder)) continue;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

bytes contents_of(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return bytes((std::istreambuf_iterator<char>(in)), {});
}

// The picture a target's input stands for, named for its reader, and the types
// to ask for: the JPEG target's first byte is the type it asks for.
struct picture {
    std::string name;
    bytes file;
    std::vector<std::string> types;
};

picture picture_of(const std::string& target, const bytes& input) {
    if (target == "jpeg") {
        if (input.empty()) return {"input.jpg", {}, {"0"}};
        return {"input.jpg", bytes(input.begin() + 1, input.end()), {std::to_string(input[0] % 5)}};
    }
    return {"input." + target, input, {"1", "2"}};
}

class ToolOnCorpus : public ::testing::TestWithParam<const char*> {};

TEST_P(ToolOnCorpus, EveryInputEndsInStatusZeroOrOne) {
    std::string target = GetParam();
    std::vector<fs::path> inputs = inputs_of(target);
    ASSERT_FALSE(inputs.empty()) << "no corpus for " << target;
    for (const fs::path& input : inputs) {
        scratch_dir folder;
        bytes contents = contents_of(input);
        std::string file = folder.write("input", contents);
        expect_clean_end(folder, {"list", file}, input);
        archive_found found = find_archive(contents.data(), contents.size());
        size_t names = std::min(found.rows.size(), names_per_archive);
        // A name the archive does not hold comes from the folder, which has none.
        expect_clean_end(folder, {"cat", file, "missing.gif"}, input);
        for (size_t i = 0; i < names; ++i) {
            expect_clean_end(folder, {"cat", file, found.rows[i].name}, input);
            expect_clean_end(folder, {"decode", found.rows[i].name, "--from", file}, input);
        }
        if (target == "archive" || target == "lzss") continue;
        picture p = picture_of(target, contents);
        folder.write(p.name, p.file);
        for (const std::string& type : p.types)
            expect_clean_end(folder, {"decode", p.name, "--type", type, "--ppm", "out.ppm"}, input);
    }
}

INSTANTIATE_TEST_SUITE_P(Corpora, ToolOnCorpus,
                         ::testing::Values("gif", "rix", "jpeg", "lzss", "archive"));

}  // namespace
