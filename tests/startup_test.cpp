// The program's start-up on the fake backend: WinMain's steps in order, the
// eighteen pictures from the program's own archive or from files beside it,
// the palette table of the last picture, and the refusals.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/startup.h"
#include "app/title.h"
#include "data/archive.h"
#include "data/heap.h"
#include "platform/entry.h"
#include "platform/fake/fake.h"
#include "platform/messages.h"
#include "system/sys.h"
#include "system/wndproc.h"
#include "tests/giflib_oracle.h"
#include "tests/scratch.h"
#include "tools/korvite/archive_writer.h"
#include "video/display.h"

namespace {

const char* const screen_names[] = {"intro.gif", "1.gif",       "2.gif",       "3.gif",
                                    "4.gif",     "5.gif",       "6.gif",       "7.gif",
                                    "8.gif",     "9.gif",       "10.gif",      "11.gif",
                                    "12.gif",    "modinfo.gif", "credits.gif", "greetings.gif"};

// A palette of its own for every picture; the last one read (greetings) rules.
giflib::bytes palette(int seed) {
    giflib::bytes p(768);
    for (int i = 0; i < 256; ++i) {
        p[3 * i] = static_cast<uint8_t>(i + seed);
        p[3 * i + 1] = static_cast<uint8_t>(255 - i);
        p[3 * i + 2] = static_cast<uint8_t>(i * 3 + seed);
    }
    return p;
}

// Screen n is filled with index n; the link map and the font have patterns.
std::vector<std::pair<std::string, giflib::bytes>> pictures(int font_width = 84, int font_rows = 12,
                                                            int screen_width = 660) {
    std::vector<std::pair<std::string, giflib::bytes>> out;
    giflib::bytes map(660 * 300);
    for (size_t i = 0; i < map.size(); ++i) map[i] = static_cast<uint8_t>(i % 19);
    out.emplace_back("links.gif", giflib::write(660, 300, map, palette(100)));
    giflib::bytes font(static_cast<size_t>(font_width) * font_rows);
    for (size_t i = 0; i < font.size(); ++i) font[i] = static_cast<uint8_t>(200 + i % 7);
    out.emplace_back("numbers.gif", giflib::write(font_width, font_rows, font, palette(101)));
    for (int n = 0; n < 16; ++n) {
        int width = n == 3 ? screen_width : 660;
        out.emplace_back(screen_names[n],
                         giflib::write(width, 300,
                                       giflib::bytes(static_cast<size_t>(width) * 300, n),
                                       palette(n)));
    }
    return out;
}

class StartUp : public ::testing::Test {
  protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.root);
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    void write_files(const std::vector<std::pair<std::string, giflib::bytes>>& files) {
        for (const auto& [name, bytes] : files) dir.write(name, bytes);
    }

    // WinMain up to its message loop, which ends at once: the player is held.
    int32_t run(const std::string& own_file) {
        fake::reset();
        fake::hold_threads(true);
        fake::set_modulefilename(own_file.c_str());
        v_release();
        h_deinit();
        s_hwnd = nullptr;
        player_handle = nullptr;
        os_postquitmessage(0);
        static char cmdline[] = "";
        return WinMain(&dir, nullptr, cmdline, SW_SHOWDEFAULT);
    }

    scratch_dir dir;
    std::filesystem::path previous;
};

uint16_t entry_565(const giflib::bytes& p, int i) {
    return static_cast<uint16_t>((p[3 * i] >> 3) << 11 | (p[3 * i + 1] >> 2) << 5 |
                                 p[3 * i + 2] >> 3);
}

TEST_F(StartUp, WinMainTakesItsStepsInOrderAndLoadsEveryPicture) {
    write_files(pictures());
    ASSERT_EQ(run(dir.path("no-archive-here")), 0);
    EXPECT_STREQ(s_title, title_line);
    std::vector<std::string> expected = {
        "getsaveractive",
        "setsaveractive 0",
        "modulefilename",
        "registerclass style=3 cursor=32512 background=4 name=" + std::string(title_line),
        "createwindow exstyle=0 class=" + std::string(title_line) + " caption=" + title_line +
            " style=10c80000 x=-2147483648 y=-2147483648 w=666 h=329",
        "showwindow 10",
        "dd_create",
        "timebeginperiod 1",
        "createthread"};
    EXPECT_EQ(fake::calls_of({"getsaveractive", "setsaveractive", "modulefilename", "registerclass",
                              "createwindow", "showwindow", "dd_create", "timebeginperiod",
                              "createthread"}),
              expected);
    for (int n = 0; n < screen_count; ++n) {
        ASSERT_NE(screens[n].pixels, nullptr) << n;
        EXPECT_EQ(screens[n].pixels[0], n);
        EXPECT_EQ(screens[n].pixels[660 * 300 - 1], n);
    }
    EXPECT_EQ(links[20], 1);
    EXPECT_EQ(digits[83], 200 + 83 % 7);
    giflib::bytes last = palette(15);  // "greetings.gif", the 13-character name
    for (int i = 0; i < 256; ++i) ASSERT_EQ(pal16[i], entry_565(last, i)) << i;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(pal16) % 512, 0u);
    // All eighteen pictures, the palette table and the DirectDraw-style path's
    // two frame buffers fit the 4 MiB heap.
    ASSERT_NE(h_base, nullptr);
    RecordProperty("heap_bytes_left", std::to_string(h_end - h_next));
    EXPECT_GE(h_end - h_next, 0);
}

TEST_F(StartUp, ThePicturesComeFromTheProgramsOwnArchiveWhereverItRuns) {
    std::vector<uint8_t> program(5000, 0x7F);  // stands in for the program's code
    std::vector<packed_entry> entries;
    for (const auto& [name, bytes] : pictures()) entries.push_back(pack_entry(name, bytes, false));
    ASSERT_TRUE(append_archive(program, entries));
    std::string own = dir.write("bin/musicdisk", program);
    std::filesystem::create_directories(dir.path("elsewhere"));
    std::filesystem::current_path(dir.path("elsewhere"));  // no picture files here
    ASSERT_EQ(run(own), 0);
    EXPECT_EQ(screens[15].pixels[0], 15);
    EXPECT_GE(l_findfile("GREETINGS.GIF"), 0);
}

struct refusal_case {
    const char* what;
    std::vector<std::pair<std::string, giflib::bytes>> files;
    const char* message;
};

void start_with(const std::vector<std::pair<std::string, giflib::bytes>>& files,
                const scratch_dir& dir) {
    for (const auto& [name, bytes] : files)
        if (!bytes.empty()) dir.write(name, bytes);
    fake::reset();
    fake::hold_threads(true);
    fake::set_modulefilename(dir.path("no-archive-here").c_str());
    static char cmdline[] = "";
    WinMain(cmdline, nullptr, cmdline, SW_SHOWDEFAULT);
}

TEST_F(StartUp, MissingOrWrongSizedPicturesAreRefused) {
    auto without_seven = pictures();
    without_seven[2 + 7].second.clear();
    const refusal_case cases[] = {
        {"missing", without_seven, "l_loadfile: 7\\.gif not found"},
        {"narrow screen", pictures(84, 12, 640), "load_assets: 3\\.gif has the wrong size"},
        {"narrow font", pictures(80, 12), "load_assets: numbers\\.gif has the wrong size"},
        {"short font", pictures(84, 11), "load_assets: numbers\\.gif has the wrong size"},
    };
    for (const refusal_case& c : cases) {
        scratch_dir fresh;
        std::filesystem::current_path(fresh.root);
        EXPECT_EXIT(start_with(c.files, fresh), ::testing::ExitedWithCode(1),
                    std::string("korvite system panic: ") + c.message)
            << c.what;
    }
}

}  // namespace
