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

#include "tests/gif_data.h"
#include "tests/sample_data.h"
#include "tests/scratch.h"
#include "tools/korvite/picture_out.h"

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

// "greetings.gif" fills the 13-byte name field: such an entry is stored as is,
// so that its method byte, 0, ends the name for any reader of the format.
TEST_F(Tool, AThirteenCharacterNameIsStoredAndFound) {
    dir.write("greetings.gif", text);
    ASSERT_EQ(korvite(dir, {"pack", "disk", "greetings.gif", "text.txt"}).status, 0);
    std::vector<listed> rows = rows_of(korvite(dir, {"list", "disk"}).out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "greetings.gif");
    EXPECT_EQ(rows[0].method, "stored");
    EXPECT_EQ(rows[1].method, "lzss");
    EXPECT_TRUE(korvite(dir, {"cat", "disk", "GREETINGS.GIF"}).out == text_of(text));
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
    dir.write("fourteen.chars", "14");
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
        {"a long name", {"pack", "out", "text.txt", "fourteen.chars"}, "longer than 13"},
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
    EXPECT_NE(
        help.out.find("korvite decode FILE [--type N] [--raw OUT] [--palette OUT] [--ppm OUT] "
                      "[--from DISK]"),
        std::string::npos);
    const std::vector<std::string> mistakes[] = {{},
                                                 {"unpack", "x"},
                                                 {"list"},
                                                 {"list", "a", "b"},
                                                 {"cat", "disk"},
                                                 {"decode"},
                                                 {"decode", "a", "b"},
                                                 {"decode", "--type"},
                                                 {"decode", "a", "--type", "x"},
                                                 {"decode", "a", "--type", "99999999999"},
                                                 {"decode", "--ppm"},
                                                 {"decode", "a", "--fast"}};
    for (const auto& args : mistakes) {
        outcome run = korvite(dir, args);
        EXPECT_EQ(run.status, 1) << args.size();
        EXPECT_NE(run.err.find("usage"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

// --- korvite decode ---

// A 3 x 2 GIF of indices 0, 1, 2, 3, 0, 1 over four colours.
bytes six_pixel_gif() {
    return gif_data::gif_file(
        3, 2, {200, 100, 50, 0, 0, 255, 10, 20, 30, 255, 255, 255}, 1, 2,
        gif_data::sub_blocks(gif_data::pack_codes(2, {4, 0, 1, 2, 3, 0, 1, 5})));
}

bytes ppm_of(int width, int height, const bytes& rgb) {
    bytes out = bytes_of("P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n");
    out.insert(out.end(), rgb.begin(), rgb.end());
    return out;
}

TEST_F(Tool, DecodePrintsTheSizeAndWritesWhatIsAskedFor) {
    dir.write("six.gif", six_pixel_gif());
    outcome run = korvite(
        dir, {"decode", "six.gif", "--raw", "six.raw", "--palette", "six.pal", "--ppm", "six.ppm"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "3 2 2\n");
    EXPECT_EQ(dir.read("six.raw"), (bytes{0, 1, 2, 3, 0, 1}));
    bytes palette{200, 100, 50, 0, 0, 255, 10, 20, 30, 255, 255, 255};
    palette.resize(768);
    EXPECT_EQ(dir.read("six.pal"), palette);
    bytes rgb;
    for (uint8_t i : {0, 1, 2, 3, 0, 1})
        rgb.insert(rgb.end(), &palette[3 * i], &palette[3 * i + 3]);
    EXPECT_EQ(dir.read("six.ppm"), ppm_of(3, 2, rgb));
    mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(mode_of(dir.path("six.raw")), 0666u & ~mask);

    // Grey: grey levels, the ramp, grey in the image; options before FILE too.
    run = korvite(dir, {"decode", "--type", "1", "--ppm", "grey.ppm", "--raw", "grey.raw",
                        "six.gif", "--palette", "grey.pal"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "3 2 1\n");
    bytes grey{124, 29, 18, 255, 124, 29};
    EXPECT_EQ(dir.read("grey.raw"), grey);
    EXPECT_EQ(dir.read("grey.pal")[3 * 29 + 2], 29);
    rgb.clear();
    for (uint8_t g : grey) rgb.insert(rgb.end(), {g, g, g});
    EXPECT_EQ(dir.read("grey.ppm"), ppm_of(3, 2, rgb));

    // Nothing asked for, nothing written.
    std::vector<std::string> before = dir.names();
    run = korvite(dir, {"decode", "six.gif", "--type", "2"});
    EXPECT_EQ(run.out, "3 2 2\n");
    EXPECT_EQ(dir.names(), before);
}

TEST_F(Tool, DecodeReadsFromTheArchiveOfADisk) {
    dir.write("pic.rix", [] {
        bytes f = bytes_of("RIX3");
        f.insert(f.end(), {2, 0, 1, 0, 0, 0});
        for (int i = 0; i < 768; ++i) f.push_back(uint8_t(i % 64));
        f.insert(f.end(), {5, 6});
        return f;
    }());
    dir.write("six.gif", six_pixel_gif());
    ASSERT_EQ(korvite(dir, {"pack", "disk", "pic.rix", "six.gif"}).status, 0);
    unlink(dir.path("pic.rix").c_str());
    dir.write("six.gif", "not the archive's copy");
    outcome rix = korvite(dir, {"decode", "PIC.RIX", "--from", "disk", "--raw", "rix.raw"});
    ASSERT_EQ(rix.status, 0) << rix.err;
    EXPECT_EQ(rix.out, "2 1 2\n");
    EXPECT_EQ(dir.read("rix.raw"), (bytes{5, 6}));
    EXPECT_EQ(korvite(dir, {"decode", "six.gif", "--from", "disk"}).out, "3 2 2\n");
    outcome disk_file = korvite(dir, {"decode", "six.gif"});  // without --from, the file on disk
    EXPECT_EQ(disk_file.status, 1);
    EXPECT_NE(disk_file.err.find("l_loadgif: six.gif is not a GIF file"), std::string::npos);
}

TEST_F(Tool, DecodeHoldsPicturesOfUpTo256MiB) {
    // 16384 x 16384 bytes is 8192 x 8192 at four bytes a pixel.
    auto big = [](uint16_t width, uint16_t height) {
        return gif_data::gif_file(width, height, {1, 2, 3, 4, 5, 6}, 0, 2,
                                  gif_data::sub_blocks(gif_data::pack_codes(2, {4, 1, 5})));
    };
    dir.write("fits.gif", big(16384, 16384));
    dir.write("over.gif", big(16384, 16400));
    outcome fits = korvite(dir, {"decode", "fits.gif"});
    EXPECT_EQ(fits.status, 0) << fits.err;
    EXPECT_EQ(fits.out, "16384 16384 2\n");
    outcome over = korvite(dir, {"decode", "over.gif"});
    EXPECT_EQ(over.status, 1);
    EXPECT_NE(over.err.find("h_alloc: internal heap is full."), std::string::npos) << over.err;
}

TEST_F(Tool, AFailedDecodeLeavesNoFileBehind) {
    dir.write("six.gif", six_pixel_gif());
    bytes cut = six_pixel_gif();
    cut.resize(cut.size() - 5);
    dir.write("cut.gif", cut);
    dir.write("out.ppm", "old picture");
    const struct {
        const char* what;
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {"a missing file",
         {"decode", "none.gif", "--raw", "a.raw"},
         "l_loadfile: none.gif not found"},
        {"a type the reader refuses",
         {"decode", "six.gif", "--type", "3", "--ppm", "out.ppm"},
         "l_loadgif: six.gif cannot be converted"},
        {"a damaged picture",
         {"decode", "cut.gif", "--raw", "a.raw", "--ppm", "out.ppm"},
         "gif.getb: unexpected end of gif file"},
        {"a name of no picture type",
         {"decode", "six.png", "--raw", "a.raw"},
         "l_loadpic: unidentified picture six.png"},
        {"one output that cannot be written",
         {"decode", "six.gif", "--raw", "a.raw", "--palette", "nofolder/p", "--ppm", "out.ppm"},
         "cannot write nofolder/p"},
        {"an output that is a folder",
         {"decode", "six.gif", "--raw", "a.raw", "--ppm", "sub"},
         "cannot write sub"},
    };
    std::vector<std::string> before = dir.names();
    for (const auto& c : cases) {
        outcome run = korvite(dir, c.args);
        EXPECT_EQ(run.status, 1) << c.what;
        EXPECT_EQ(run.out, "") << c.what;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ": " << run.err;
        EXPECT_EQ(dir.names(), before) << c.what;
        EXPECT_EQ(dir.read("out.ppm"), bytes_of("old picture")) << c.what;
    }
}

// The direct-colour forms only the JPEG reader gives, and which reader's
// numbering a result follows.
TEST(PictureOut, EveryFormBecomesEightBitsPerChannel) {
    const uint8_t palette[768] = {9, 8, 7, 6, 5, 4};
    const struct {
        pixel_form form;
        bytes pixels, rgb;
    } cases[] = {
        {pixel_form::grey, {0, 128, 255}, {0, 0, 0, 128, 128, 128, 255, 255, 255}},
        {pixel_form::indexed, {1, 0, 2}, {6, 5, 4, 9, 8, 7, 0, 0, 0}},
        {pixel_form::rgb565,
         {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x10, 0x84, 0xFF, 0xFF},
         {255, 0, 0, 0, 255, 0, 0, 0, 255, 132, 130, 132, 255, 255, 255}},
        {pixel_form::xrgb8888,
         {0x56, 0x34, 0x12, 0x00, 0x01, 0x02, 0x03, 0xFF},
         {0x12, 0x34, 0x56, 0x03, 0x02, 0x01}},
    };
    for (const auto& c : cases) {
        int32_t width = int32_t(c.rgb.size() / 3);
        EXPECT_EQ(c.pixels.size(), size_t(width * bytes_per_pixel(c.form)));
        EXPECT_EQ(ppm_image(c.pixels.data(), width, 1, c.form, palette), ppm_of(width, 1, c.rgb))
            << int(c.form);
    }
    EXPECT_EQ(ppm_image(nullptr, 0, 0, pixel_form::grey, palette), bytes_of("P6\n0 0\n255\n"));
}

TEST(PictureOut, TheResultCodeIsReadByTheReaderTheNameChooses) {
    const struct {
        const char* name;
        int32_t result;
        bool known;
        pixel_form form;
    } cases[] = {
        {"a.jpg", 1, true, pixel_form::grey},        {"a.JPG", 2, true, pixel_form::rgb565},
        {"jpg", 3, true, pixel_form::xrgb8888},      {"a.gif.Jpg", 3, true, pixel_form::xrgb8888},
        {"a.gif", 1, true, pixel_form::grey},        {"a.gif", 2, true, pixel_form::indexed},
        {"a.jpg.rix", 2, true, pixel_form::indexed}, {"a.gif", 3, false, pixel_form::grey},
        {"a.jpg", 0, false, pixel_form::grey},       {"a.jpg", 4, false, pixel_form::grey},
    };
    for (const auto& c : cases) {
        pixel_form form = pixel_form::grey;
        EXPECT_EQ(form_of(c.name, c.result, &form), c.known) << c.name << " " << c.result;
        if (c.known) {
            EXPECT_EQ(form, c.form) << c.name << " " << c.result;
        }
    }
}

}  // namespace
