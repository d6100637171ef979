// The korvite tool as users run it: each case starts the built program in a
// scratch folder and looks at its status, its output and the files it left.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/sample_data.h"
#include "tests/scratch.h"

namespace {

using bytes = std::vector<uint8_t>;

struct outcome {
    int status;  // exit status, or -1 when the process was killed
    std::string out, err;
};

// Runs korvite with args in folder, stdout and stderr captured in files there
// that the caller never sees; a run that does not end in 60 s is killed.
outcome korvite(const scratch_dir& folder, const std::vector<std::string>& args) {
    std::string out_path = folder.path("../" + folder.root.filename().string() + ".out");
    std::string err_path = folder.path("../" + folder.root.filename().string() + ".err");
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.root.c_str()) != 0) _exit(126);
        int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv{const_cast<char*>(KORVITE_TOOL)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(KORVITE_TOOL, argv.data());
        _exit(127);
    }
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            ADD_FAILURE() << "korvite did not end within 60 s";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    auto slurp = [](const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), {});
        unlink(p.c_str());
        return text;
    };
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(out_path), slurp(err_path)};
}

struct listed {
    std::string name, method;
    unsigned long stored, unpacked;
};

std::vector<listed> rows_of(const std::string& listing) {
    std::vector<listed> rows;
    std::istringstream in(listing);
    listed r;
    while (in >> r.name >> r.method >> r.stored >> r.unpacked) rows.push_back(r);
    return rows;
}

std::string text_of(const bytes& b) {
    return std::string(b.begin(), b.end());
}

mode_t mode_of(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

class Tool : public ::testing::Test {
  protected:
    void SetUp() override {
        text = text_like(60000);
        noise = bytes(3000);
        uint32_t x = 1;
        for (uint8_t& b : noise) b = static_cast<uint8_t>((x = x * 1103515245 + 12345) >> 23);
        dir.write("text.txt", text);
        dir.write("noise.bin", noise);
        dir.write("empty", bytes{});
        dir.write("sub/Pic.GIF", bytes(4000, 7));
    }
    scratch_dir dir;
    bytes text, noise;
};

TEST_F(Tool, PackedEntriesListAndLoadAsTheFiles) {
    outcome packed =
        korvite(dir, {"pack", "disk", "text.txt", "noise.bin", "empty", "sub/Pic.GIF"});
    ASSERT_EQ(packed.status, 0) << packed.err;
    outcome list = korvite(dir, {"list", "disk"});
    ASSERT_EQ(list.status, 0) << list.err;
    std::vector<listed> rows = rows_of(list.out);
    ASSERT_EQ(rows.size(), 4u) << list.out;
    // Compression where it pays, storing where it does not.
    EXPECT_EQ(rows[0].name, "text.txt");
    EXPECT_EQ(rows[0].method, "lzss");
    EXPECT_LT(rows[0].stored, text.size() / 2);
    EXPECT_EQ(rows[0].unpacked, text.size());
    EXPECT_EQ(rows[1].method, "stored");
    EXPECT_EQ(rows[1].stored, noise.size());
    EXPECT_EQ(rows[2].method, "stored");
    EXPECT_EQ(rows[2].unpacked, 0u);
    EXPECT_EQ(rows[3].name, "Pic.GIF");
    EXPECT_EQ(rows[3].method, "lzss");

    const std::pair<const char*, bytes> entries[] = {
        {"text.txt", text}, {"NOISE.BIN", noise}, {"empty", {}}, {"pic.gif", bytes(4000, 7)}};
    for (const auto& [name, contents] : entries) {
        outcome cat = korvite(dir, {"cat", "disk", name});
        EXPECT_EQ(cat.status, 0) << name << cat.err;
        EXPECT_TRUE(cat.out == text_of(contents)) << name;
    }
}

TEST_F(Tool, StoreKeepsEveryEntryAsItIs) {
    ASSERT_EQ(korvite(dir, {"pack", "--store", "disk", "text.txt", "sub/Pic.GIF"}).status, 0);
    for (const listed& row : rows_of(korvite(dir, {"list", "disk"}).out)) {
        EXPECT_EQ(row.method, "stored") << row.name;
        EXPECT_EQ(row.stored, row.unpacked) << row.name;
    }
    EXPECT_TRUE(korvite(dir, {"cat", "disk", "text.txt"}).out == text_of(text));
}

TEST_F(Tool, CatFallsThroughToDiskAsThePlayerDoes) {
    ASSERT_EQ(korvite(dir, {"pack", "disk", "noise.bin"}).status, 0);
    dir.write("noise.bin", "newer on disk");  // the archive's copy still wins
    EXPECT_TRUE(korvite(dir, {"cat", "disk", "noise.bin"}).out == text_of(noise));
    EXPECT_EQ(korvite(dir, {"cat", "disk", "sub/Pic.GIF"}).out, std::string(4000, 7));
    EXPECT_TRUE(korvite(dir, {"cat", "no-such-disk", "text.txt"}).out == text_of(text));
    outcome missing = korvite(dir, {"cat", "disk", "ghost.gif"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("korvite system panic: l_loadfile: ghost.gif not found"),
              std::string::npos)
        << missing.err;
}

TEST_F(Tool, PackingOntoAProgramReplacesItsArchiveAndKeepsItsMode) {
    bytes program = bytes_of("#!/bin/false\n");
    program.insert(program.end(), noise.begin(), noise.end());
    std::string exe = dir.write("player", program);
    chmod(exe.c_str(), 0751);
    ASSERT_EQ(korvite(dir, {"pack", "--onto", "player", "first", "text.txt", "noise.bin"}).status,
              0);
    ASSERT_EQ(korvite(dir, {"pack", "--onto", "first", "second", "empty"}).status, 0);
    ASSERT_EQ(korvite(dir, {"pack", "--onto", "player", "alone", "empty"}).status, 0);

    EXPECT_TRUE(dir.read("player") == program);
    EXPECT_TRUE(dir.read("second") == dir.read("alone"));  // one archive, not two stacked
    bytes second = dir.read("second");
    EXPECT_TRUE(bytes(second.begin(), second.begin() + program.size()) == program);
    std::vector<listed> rows = rows_of(korvite(dir, {"list", "second"}).out);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "empty");
    EXPECT_EQ(mode_of(dir.path("first")), 0751u);
    EXPECT_EQ(mode_of(dir.path("second")), 0751u);

    // In place: the program itself gets the archive, whole or not at all.
    ASSERT_EQ(korvite(dir, {"pack", "--onto", "first", "first", "sub/Pic.GIF"}).status, 0);
    EXPECT_EQ(rows_of(korvite(dir, {"list", "first"}).out).size(), 1u);
    EXPECT_EQ(korvite(dir, {"cat", "first", "pic.gif"}).out, std::string(4000, 7));
}

TEST_F(Tool, FailedRunsLeaveNoFileBehind) {
    dir.write("x/A.TXT", "one");
    dir.write("y/a.txt", "two");
    dir.write("thirteen.char", "13");
    bytes damaged = bytes_of("host");
    damaged.insert(damaged.end(),
                   {0, 0, 0, 0, 0xFF, 0, 0, 0, 'k', 'o', 'r', 'v', 'i', 't', 'e', ','});
    dir.write("damaged", damaged);
    dir.write("out", "old contents");
    const struct {
        const char* what;
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {"a long name", {"pack", "out", "text.txt", "thirteen.char"}, "longer than 12"},
        {"names equal but for case", {"pack", "out", "x/A.TXT", "y/a.txt"}, "same name"},
        {"a missing file", {"pack", "out", "text.txt", "missing.txt"}, "cannot read missing.txt"},
        {"a folder as a file", {"pack", "out", "sub"}, "cannot read sub"},
        {"a missing program", {"pack", "--onto", "nothere", "out", "text.txt"}, "nothere"},
        {"a damaged archive on the program",
         {"pack", "--onto", "damaged", "out", "empty"},
         "damaged archive"},
        {"no files", {"pack", "out"}, "usage: korvite pack"},
        {"an unknown option", {"pack", "--fast", "out", "empty"}, "unknown option --fast"},
        {"--onto without its program", {"pack", "--onto"}, "usage: korvite pack"},
        {"an output in a missing folder", {"pack", "nofolder/out", "empty"}, "cannot write"},
        {"an output that is a folder", {"pack", "sub", "empty"}, "cannot write sub"},
    };
    std::vector<std::string> before = dir.names();
    for (const auto& c : cases) {
        outcome run = korvite(dir, c.args);
        EXPECT_EQ(run.status, 1) << c.what;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ": " << run.err;
        EXPECT_EQ(dir.names(), before) << c.what;
        EXPECT_EQ(dir.read("out"), bytes_of("old contents")) << c.what;
    }
}

TEST_F(Tool, ListRefusesFilesWithoutAnArchive) {
    bytes damaged = bytes_of("host");
    damaged.insert(damaged.end(), {1, 0, 0, 0, 0, 0, 0, 0, 'k', 'o', 'r', 'v', 'i', 't', 'e', ','});
    dir.write("damaged", damaged);
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"text.txt", "text.txt holds no archive"},
        {"empty", "empty holds no archive"},
        {"missing", "cannot read missing"},
        {"damaged", "damaged: damaged archive"},
    };
    for (const auto& c : cases) {
        outcome run = korvite(dir, {"list", c.file});
        EXPECT_EQ(run.status, 1) << c.file;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.file << ": " << run.err;
    }
}

TEST_F(Tool, UsageOnRequestAndOnMistakes) {
    outcome help = korvite(dir, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("korvite pack [--store] [--onto EXE] OUT FILE..."), std::string::npos);
    EXPECT_NE(help.out.find("korvite list FILE"), std::string::npos);
    EXPECT_NE(help.out.find("korvite cat FILE NAME"), std::string::npos);
    const std::vector<std::string> mistakes[] = {
        {}, {"unpack", "x"}, {"list"}, {"list", "a", "b"}, {"cat", "disk"}};
    for (const auto& args : mistakes) {
        outcome run = korvite(dir, args);
        EXPECT_EQ(run.status, 1) << args.size();
        EXPECT_NE(run.err.find("usage"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
