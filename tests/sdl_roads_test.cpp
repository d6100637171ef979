// The roads out of the program and the input translation on the SDL backend,
// under an X server of the test's own, driven by xdotool. Each road runs in a
// child process, as the program would.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "platform/messages.h"
#include "system/sys.h"
#include "system/wndproc.h"
#include "tests/roads_support.h"
#include "tests/xserver.h"

namespace {

using namespace std::chrono_literals;

bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 300; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

// Starts the program, runs script on a thread of its own, and ends the process
// with the program's exit code.
void road(std::function<void()> script) {
    start_program(660, 300);
    std::thread(std::move(script)).detach();
    std::exit(run_program());
}

void press_escape() { x_press_until_gone(x_window(), "Escape", false); }

void close_with_alt_f4(bool window_manager) {
    x_press_until_gone(x_window(), "alt+F4", window_manager);
}

void fail_on_the_player() {
    x_window();
    eventually([] { return player.passes.load() > 0; });
    player.fail = true;
    // Dismiss the fatal box with Return, as a user would.
    x_press_until_gone(x_window("korvite system panic"), "Return", false);
}

void report(const char* what, bool ok) {
    fprintf(stderr, "input %s: %s\n", what, ok ? "ok" : "FAILED");
}

// Moves, clicks and keys as X delivers them, checked against the input state.
void drive_input() {
    std::string id = x_window();
    x_command("xdotool windowfocus --sync " + id);
    x_command("xdotool mousemove --sync --window " + id + " 100 50");
    std::this_thread::sleep_for(200ms);
    report("move without button", s_mousex.load() == 0 && s_mousey.load() == 0);
    x_command("xdotool mousemove --sync --window " + id + " 120 60 mousedown 1");
    report("press", eventually([] {
               return s_clicked.load() == 1 && s_mousex.load() == 120 && s_mousey.load() == 60;
           }));
    x_command("xdotool mousemove --sync --window " + id + " 200 80");
    report("move held", eventually([] { return s_mousex.load() == 200 && s_mousey.load() == 80; }));
    x_command("xdotool mousemove --sync --window " + id + " 210 90 mouseup 1");
    report("release", eventually([] { return s_mousex.load() == 210 && s_mousey.load() == 90; }));
    x_command("xdotool keydown a");
    report("key down", eventually([] { return s_keys['A'].load() == 1; }));
    x_command("xdotool keyup a");
    report("key up", eventually([] { return s_keys['A'].load() == 0; }));
    s_clicked = 0;
    x_command("xdotool mousemove --sync --window " + id + " 30 40 click 3 click 2");
    std::this_thread::sleep_for(200ms);
    report("other buttons", s_clicked.load() == 0 && s_mousex.load() == 210);
    x_press_until_gone(id, "Escape", false);
}

class SdlRoads : public ::testing::Test {
  protected:
    void SetUp() override {
        // The children must not start servers of their own: fork, do not re-run.
        GTEST_FLAG_SET(death_test_style, "fast");
    }
};

TEST_F(SdlRoads, EscapeAltF4AndATerminateSignalEndWithZero) {
    x_server x;
    ASSERT_TRUE(x.ok());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EXIT(road(press_escape), ::testing::ExitedWithCode(0), "");
        EXPECT_EXIT(road([] { close_with_alt_f4(false); }), ::testing::ExitedWithCode(0), "");
        EXPECT_EXIT(road([] {
                        x_window();
                        kill(getpid(), SIGTERM);
                    }),
                    ::testing::ExitedWithCode(0), "");
    }
}

TEST_F(SdlRoads, TheWindowManagersCloseEndsWithZero) {
    x_server x(24, true);
    ASSERT_TRUE(x.ok());
    for (int i = 0; i < 3; ++i)
        EXPECT_EXIT(road([] { close_with_alt_f4(true); }), ::testing::ExitedWithCode(0), "");
}

TEST_F(SdlRoads, AFatalErrorOnThePlayerShowsTheBoxAndEndsWithOne) {
    x_server x;
    ASSERT_TRUE(x.ok());
    for (int i = 0; i < 2; ++i)
        EXPECT_EXIT(road(fail_on_the_player), ::testing::ExitedWithCode(1),
                    "korvite system panic: player: the stand-in failed");
}

TEST_F(SdlRoads, XInputBecomesTheInputState) {
    x_server x;
    ASSERT_TRUE(x.ok());
    EXPECT_EXIT(road(drive_input), ::testing::ExitedWithCode(0),
                "input move without button: ok\ninput press: ok\ninput move held: ok\n"
                "input release: ok\ninput key down: ok\ninput key up: ok\n"
                "input other buttons: ok\n");
}

}  // namespace
