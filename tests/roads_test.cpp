// Every road out of the program, on the fake backend with real threads: Escape,
// the window's close, fatal errors on either thread. Each is run many times to
// flush out rare hangs; a hang fails by the test's time limit.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "data/heap.h"
#include "platform/fake/fake.h"
#include "platform/messages.h"
#include "system/sys.h"
#include "tests/roads_support.h"

namespace {

using namespace std::chrono_literals;

constexpr int repeats = 40;

// The calls that tell a road's story, in order.
std::vector<std::string> story() {
    return fake::calls_of({"au_stop", "au_free", "sendmessage", "destroywindow", "stopthread",
                           "setsaveractive", "timeendperiod", "postquitmessage", "messagebox"});
}

// Released exactly once in effect: screensaver back on, no timer period left
// open, the heap given back.
void expect_released() {
    EXPECT_EQ(fake::saver(), 1);
    EXPECT_EQ(fake::open_periods(), 0);
    EXPECT_EQ(h_base, nullptr);
}

void wait_for_passes(int64_t n) {
    while (player.passes.load() < n) std::this_thread::sleep_for(100us);
}

TEST(Roads, EscapeStopsThePlayerWhileItWaitsInItsOwnSend) {
    for (int i = 0; i < repeats; ++i) {
        fake::reset();
        start_program(660, 300);
        // Escape while the left button is held ends the program just the same.
        os_postmessage(s_hwnd, WM_LBUTTONDOWN, MK_LBUTTON, os_makelparam(5, 5));
        os_postmessage(s_hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
        ASSERT_EQ(run_program(), 0);
        std::vector<std::string> expected = {
            "setsaveractive 0", "au_stop",         "au_free",
            "sendmessage 16",                  // the player's end
            "destroywindow",    "stopthread",  // the window's destruction
            "au_stop",          "au_free",     // music_done
            "setsaveractive 1", "timeendperiod 1", "postquitmessage 0"};
        ASSERT_EQ(story(), expected) << "run " << i;
        expect_released();
    }
}

TEST(Roads, ClosingTheWindowStopsThePlayerInItsLoop) {
    for (int i = 0; i < repeats; ++i) {
        fake::reset();
        start_program(660, 300);
        player.lock_us = i % 2 ? 2000 : 0;  // often caught holding s_lock
        wait_for_passes(2);
        os_postmessage(s_hwnd, WM_CLOSE, 0, 0);
        ASSERT_EQ(run_program(), 0);
        std::vector<std::string> expected = {
            "setsaveractive 0", "destroywindow",    "stopthread",      "au_stop",
            "au_free",          "setsaveractive 1", "timeendperiod 1", "postquitmessage 0"};
        ASSERT_EQ(story(), expected) << "run " << i;
        expect_released();
        // Stopped for good: no pass completes after the stop.
        int64_t passes = player.passes.load();
        std::this_thread::sleep_for(5ms);
        ASSERT_EQ(player.passes.load(), passes);
    }
}

// A fatal error met on the player thread: the box from that thread, WM_DESTROY
// sent to the main thread, which stops the player and ends the loop.
void fatal_on_the_player() {
    fake::reset();
    start_program(660, 300);
    wait_for_passes(1);
    player.fail = true;
    int32_t code = run_program();
    for (const std::string& line : story()) fprintf(stderr, "story: %s\n", line.c_str());
    fprintf(stderr, "saver %d periods %d heap %s\n", fake::saver(), fake::open_periods(),
            h_base ? "held" : "released");
    std::exit(code);
}

TEST(RoadsDeathTest, AFatalErrorOnThePlayerThreadEndsTheProgramWithOne) {
    for (int i = 0; i < repeats / 4; ++i) {
        EXPECT_EXIT(fatal_on_the_player(), ::testing::ExitedWithCode(1),
                    "story: setsaveractive 0\n"
                    "story: setsaveractive 1\n"
                    "story: timeendperiod 1\n"
                    "story: messagebox owner=window thread=other style=16 caption=korvite "
                    "system panic text=player: the stand-in failed\n"
                    "story: sendmessage 2\n"
                    "story: stopthread\n"
                    "story: au_stop\nstory: au_free\n"
                    "story: setsaveractive 1\n"
                    "story: timeendperiod 1\n"
                    "story: postquitmessage 0\n"
                    "saver 1 periods 0 heap released\n$");
    }
}

// A fatal error on the main thread after the window exists but before the
// player was started: WM_DESTROY skips the player and music_done.
void fatal_on_main_with_a_window() {
    fake::reset();
    fake::fail("createthread");
    start_program(660, 300);
    s_panic("v_initbuffer: could not start the player thread");
}

TEST(RoadsDeathTest, AFatalErrorBeforeThePlayerRunsSkipsItsStop) {
    EXPECT_EXIT(fatal_on_main_with_a_window(), ::testing::ExitedWithCode(1),
                "fake: messagebox owner=window thread=main style=16 caption=korvite system "
                "panic text=v_initbuffer: could not start the player thread\n"
                "fake: sendmessage 2\n"
                "fake: setsaveractive 1\nfake: enterlock\nfake: leavelock\n"
                "fake: timeendperiod 1\nfake: postquitmessage 0\nfake: exit 1\n$");
}

}  // namespace
