// End to end: the songs. Clicks on the built disk's link areas under an X
// server of the test's own; what they do is seen in the window (the screen and
// the play time, read back from its pixels) and heard in the sound that SDL's
// disk driver writes (32-bit float stereo at 44100 Hz; zeros while paused).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e_support.h"
#include "tests/xserver.h"

namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using clock_type = std::chrono::steady_clock;

// Link codes: screen n is code n + 1; song k is screen k.
constexpr int intro = 0, credits = 14, code_back = 17, code_forward = 18;
int code_of(int screen) {
    return screen + 1;
}

// A second of sound, and the bytes skipped after a click before listening, for
// the mixer's buffers that were already on their way.
constexpr size_t second = 44100 * 2 * 4, lead = second / 4;

bool silent(const std::vector<uint8_t>& sound) {
    for (uint8_t b : sound)
        if (b != 0) return false;
    return true;
}

// The disk on a server of its own; screens seen and clicks made as a user
// would, on a window of the screen's size when fullscreen.
struct session {
    explicit session(std::vector<std::string> args = {}, std::string dir = e2e::build_dir(),
                     std::string program = e2e::disk_program(), int screen_width = 1280,
                     int screen_height = 1024)
        : x(24, false, screen_width, screen_height), disk(args, dir, program), id(disk.window()) {
        for (const std::string& a : args)
            if (a == "-fullscreen") width = screen_width, height = screen_height;
        gdi = width != 660;  // a stretched frame is the GDI-style path's
    }

    // The play time now, "?" if it does not read.
    std::string time() {
        xwd_image image;
        return xwd_read(id, &image) ? e2e::read_time(image, 24, gdi) : "?";
    }
    int seconds() { return e2e::seconds_of(time()); }

    // Waits until the window shows the screen, with whatever play time it
    // reads; empty then, otherwise what differs.
    std::string shows(int screen, int timeout_ms = 5000) {
        auto deadline = clock_type::now() + std::chrono::milliseconds(timeout_ms);
        std::string last;
        for (;;) {
            xwd_image image;
            if (!xwd_read(id, &image)) {
                last = "no picture read";
            } else {
                std::string t = e2e::read_time(image, 24, gdi);
                last = t == "?" ? "no play time read"
                                : e2e::differences(image, e2e::expected_frame(screen, t), 24, gdi);
            }
            if (last.empty() || clock_type::now() >= deadline) return last;
            std::this_thread::sleep_for(50ms);
        }
    }

    // Waits until the play time reaches at least s seconds; the last read.
    int reaches(int s, int timeout_ms = 5000) {
        auto deadline = clock_type::now() + std::chrono::milliseconds(timeout_ms);
        int now = seconds();
        while (now < s && clock_type::now() < deadline) {
            std::this_thread::sleep_for(50ms);
            now = seconds();
        }
        return now;
    }

    // Waits until the play time has stood still for more than a second; the
    // time it stands at, or -1 if it kept moving until the deadline.
    int stops(int timeout_ms) {
        auto deadline = clock_type::now() + std::chrono::milliseconds(timeout_ms);
        while (clock_type::now() < deadline) {
            int before = seconds();
            std::this_thread::sleep_for(1200ms);
            if (seconds() == before) return before;
        }
        return -1;
    }

    // The sound from a little after now on, for length bytes.
    std::vector<uint8_t> listen(size_t length) {
        return disk.sound(disk.sound_size() + lead, length, 5000);
    }
    bool playing() {
        std::vector<uint8_t> s = listen(second);
        return !s.empty() && !silent(s);
    }
    bool quiet() {
        std::vector<uint8_t> s = listen(second / 2);
        return !s.empty() && silent(s);
    }

    void click(int code, int repeat = 1) {
        e2e::spot at = e2e::link_spot(code);
        ASSERT_GE(at.x, 0) << "no area of code " << code << " in the link map";
        e2e::click(id, at, width, height, repeat);
    }

    int quit() {
        x_press_until_gone(id, "Escape", false);
        return disk.wait();
    }

    x_server x;
    e2e::disk disk;
    std::string id;
    int width = 660, height = 300;
    bool gdi = false;
};

// A song's link starts it on its own screen; the second click pauses it (the
// time holds, the sound stops), the third resumes it. A spot of code 0 changes
// nothing, before a song and while one plays.
TEST(E2eSongs, ASongsLinkStartsPausesAndResumesIt) {
    session s;
    ASSERT_FALSE(s.id.empty()) << s.disk.errors();
    ASSERT_EQ(s.shows(intro), "");
    s.click(0);
    EXPECT_EQ(s.shows(intro), "");
    EXPECT_EQ(s.time(), "0:00");
    EXPECT_TRUE(s.quiet()) << "sound before any song";

    s.click(code_of(1));
    EXPECT_EQ(s.shows(1), "");
    EXPECT_TRUE(s.playing());
    EXPECT_GE(s.reaches(2), 2) << "the time does not count";

    s.click(code_of(1));
    EXPECT_TRUE(s.quiet()) << "sound while paused";
    int held = s.seconds();
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(s.seconds(), held) << "the time moves while paused";
    EXPECT_EQ(s.shows(1), "");

    s.click(code_of(1));
    // Going on from where it stood: the pause is not counted.
    EXPECT_EQ(s.reaches(held + 1), held + 1) << "the time does not go on from " << held;
    EXPECT_TRUE(s.playing());

    s.click(0);
    EXPECT_EQ(s.shows(1), "");
    EXPECT_TRUE(s.playing());
    EXPECT_EQ(s.quit(), 0) << s.disk.errors();
}

// Stepping moves through the song without touching the time: forward to the
// last order and straight back to the first, the song plays on for longer than
// the last order lasts; forward to the last order again, it ends within it, and
// the time then holds and the sound stops.
TEST(E2eSongs, StepsMoveThroughTheSongAndKeepTheTime) {
    session s;
    ASSERT_FALSE(s.id.empty()) << s.disk.errors();
    s.click(code_of(1));
    ASSERT_EQ(s.shows(1), "");
    int before = s.reaches(1);
    ASSERT_GE(before, 1);

    s.click(code_forward, 30);  // more than any song has orders
    EXPECT_GE(s.seconds(), before) << "a step set the time back";
    s.click(code_back, 30);
    int stepped = s.seconds();
    EXPECT_GE(stepped, before) << "a step set the time back";
    EXPECT_EQ(s.shows(1), "");
    // The last order of the first song lasts about seven seconds.
    EXPECT_GE(s.reaches(stepped + 9, 12000), stepped + 9) << "the song ended after stepping back";
    EXPECT_TRUE(s.playing());

    s.click(code_forward, 30);
    int end = s.stops(15000);
    EXPECT_GE(end, stepped + 9) << "the song did not end on its last order";
    EXPECT_TRUE(s.quiet()) << "sound after the song's end";
    EXPECT_EQ(s.shows(1), "");
    EXPECT_EQ(s.quit(), 0) << s.disk.errors();
}

// The credits, and a screen's own link on it, lead back to the playing song,
// which neither restarts nor stops meanwhile.
TEST(E2eSongs, CreditsAndBackKeepTheSongAndItsTime) {
    session s;
    ASSERT_FALSE(s.id.empty()) << s.disk.errors();
    s.click(code_of(3));
    ASSERT_EQ(s.shows(3), "");
    int before = s.reaches(1);
    ASSERT_GE(before, 1);

    s.click(code_of(credits));
    EXPECT_EQ(s.shows(credits), "");
    EXPECT_TRUE(s.playing());
    EXPECT_GE(s.reaches(before + 1), before + 1) << "the time stops on the credits";

    s.click(code_of(credits));  // its own link: to the song that plays
    EXPECT_EQ(s.shows(3), "");
    int later = s.seconds();
    EXPECT_GE(later, before + 1) << "the song restarted";
    EXPECT_GE(s.reaches(later + 1), later + 1) << "the song is paused";

    s.click(code_of(credits));
    EXPECT_EQ(s.shows(credits), "");
    s.click(code_of(3));
    EXPECT_EQ(s.shows(3), "");
    EXPECT_GE(s.seconds(), later) << "the song restarted";
    EXPECT_TRUE(s.playing());
    EXPECT_EQ(s.quit(), 0) << s.disk.errors();
}

// Stretched over the whole screen, the picture's areas still answer clicks.
TEST(E2eSongs, ClicksLandOnTheStretchedFrame) {
    session s({"-fullscreen"}, e2e::build_dir(), e2e::disk_program(), 1024, 768);
    ASSERT_FALSE(s.id.empty()) << s.disk.errors();
    ASSERT_EQ(s.shows(intro), "");
    s.click(code_of(12));
    EXPECT_EQ(s.shows(12), "");
    EXPECT_TRUE(s.playing());
    s.click(code_of(credits));
    EXPECT_EQ(s.shows(credits), "");
    s.click(code_of(intro));
    EXPECT_EQ(s.shows(intro), "");
    EXPECT_EQ(s.quit(), 0) << s.disk.errors();
}

// A song whose module is not in the current directory ends the program with
// the fatal box, once the user has dismissed it, and status 1; the songs
// whose modules are there play.
struct missing_case {
    const char* name;
    bool copy_of_build;  // a copy of build/ without tune05.it, or an empty directory
    int song;            // the song clicked last, whose module is missing
};

void PrintTo(const missing_case& c, std::ostream* out) {
    *out << c.name;
}

class MissingModule : public ::testing::TestWithParam<missing_case> {};

TEST_P(MissingModule, ClickingItsSongShowsTheFatalBoxAndEndsWithOne) {
    const missing_case& c = GetParam();
    e2e::scratch_dir dir;
    namespace fs = std::filesystem;
    if (c.copy_of_build) {
        fs::copy_file(e2e::disk_program(), dir.path() + "/musicdisk");
        for (int i = 1; i <= 12; ++i) {
            char name[16];
            snprintf(name, sizeof name, "tune%02d.it", i);
            if (i != c.song) fs::copy_file(e2e::build_dir() + "/" + name, dir.path() + "/" + name);
        }
    }
    std::string program = c.copy_of_build ? dir.path() + "/musicdisk" : e2e::disk_program();
    session s({}, dir.path(), program);
    ASSERT_FALSE(s.id.empty()) << s.disk.errors();
    ASSERT_EQ(s.shows(intro), "");
    if (c.copy_of_build) {
        s.click(code_of(1));
        EXPECT_EQ(s.shows(1), "");
        EXPECT_TRUE(s.playing());
    }
    s.click(code_of(c.song));
    std::string box = x_window("korvite system panic");
    ASSERT_FALSE(box.empty()) << s.disk.errors();
    x_press_until_gone(box, "Return", false);
    EXPECT_TRUE(x_gone(box));
    EXPECT_EQ(s.disk.wait(), 1);
    char message[80];
    snprintf(message, sizeof message, "korvite system panic: bass: can't play file tune%02d.it\n",
             c.song);
    EXPECT_THAT(s.disk.errors(), HasSubstr(message));
}

INSTANTIATE_TEST_SUITE_P(E2e, MissingModule,
                         ::testing::Values(missing_case{"CopyWithoutOneTune", true, 5},
                                           missing_case{"AnotherDirectory", false, 1}));

}  // namespace
