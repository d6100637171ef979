// The system layer on the fake backend: switches, the fatal and the orderly
// shutdown, the screensaver, message boxes and the message loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/heap.h"
#include "platform/fake/fake.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "system/sys.h"

namespace {

class System : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        s_saverstate = 1;
        s_hwnd = nullptr;
        h_deinit();
    }
    void init(std::string cmdline) {
        line.assign(cmdline.begin(), cmdline.end());
        line.push_back('\0');
        s_windows_init(&line, nullptr, line.data(), 5);
    }
    std::vector<char> line;
};

struct switch_case {
    const char* cmdline;
    const char* name;
    int32_t present;
};

TEST_F(System, SwitchesMatchEitherPrefixInAnyCaseAsSubstrings) {
    const switch_case cases[] = {
        {"-FullScreen", "fullscreen", 1},
        {"/fullscreen", "fullscreen", 1},
        {"fullscreen", "fullscreen", 0},
        {"-fullscreen2", "fullscreen", 1},
        {"-gdiplus", "gdi", 1},
        {"x -GDI /Windowed y", "windowed", 1},
        {"x -GDI /Windowed y", "gdi", 1},
        {"x -GDI /Windowed y", "fullscreen", 0},
        {"- gdi", "gdi", 0},
        {"", "gdi", 0},
    };
    for (const switch_case& c : cases) {
        init(c.cmdline);
        EXPECT_EQ(s_hasswitch(c.name), c.present) << '"' << c.cmdline << "\" " << c.name;
    }
}

TEST_F(System, InitLowerCasesOnlyAsciiLettersAndClearsTheKeys) {
    s_keys[27].store(1);
    init("AbZ-\xC4\xD6/@[");
    EXPECT_STREQ(s_cmdline, "abz-\xC4\xD6/@[");
    EXPECT_EQ(s_cmdshow, 5);
    EXPECT_NE(s_instance, nullptr);
    EXPECT_EQ(s_keys[27].load(), 0);
}

TEST_F(System, ExitWithoutTextShutsDownSilentlyAndCanRunTwice) {
    init("");
    h_init(1024);
    s_stopsaver();
    s_exit("");
    s_exit("");
    EXPECT_EQ(h_base, nullptr);
    EXPECT_EQ(fake::saver(), 1);
    EXPECT_TRUE(fake::calls_of({"messagebox"}).empty());
    std::vector<std::string> expected = {
        "getsaveractive",   "setsaveractive 0",                                   // start-up
        "setsaveractive 1", "enterlock",        "leavelock", "timeendperiod 1",   // first run
        "setsaveractive 1", "enterlock",        "leavelock", "timeendperiod 1"};  // second run
    EXPECT_EQ(fake::calls_of(
                  {"getsaveractive", "setsaveractive", "enterlock", "leavelock", "timeendperiod"}),
              expected);
}

TEST_F(System, ExitWithTextShowsAnInformationBoxAfterTheShutdown) {
    init("");
    s_exit("%s has %d tunes", "the disk", 12);
    std::vector<std::string> expected = {
        "timeendperiod 1",
        "messagebox owner=none thread=main style=64 caption=korvite text=the disk has 12 tunes"};
    EXPECT_EQ(fake::calls_of({"timeendperiod", "messagebox"}), expected);
}

TEST_F(System, MessagesAreCutAt255Characters) {
    init("");
    std::string long_text(400, 'x');
    s_exit("%s", long_text.c_str());
    std::vector<std::string> boxes = fake::calls_of({"messagebox"});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "messagebox owner=none thread=main style=64 caption=korvite text=" +
                            std::string(255, 'x'));
}

struct saver_case {
    int32_t active;
    bool query_first;
    std::vector<std::string> expected;
};

TEST_F(System, TheScreensaverIsSwitchedBackOnlyWhenItWasActive) {
    const saver_case cases[] = {
        {1, true, {"getsaveractive", "setsaveractive 0", "setsaveractive 1"}},
        {0, true, {"getsaveractive"}},
        // Before the query the state counts as active.
        {0, false, {"setsaveractive 1"}},
    };
    for (const saver_case& c : cases) {
        fake::reset();
        s_saverstate = 1;
        init("");
        fake::set_saver(c.active);
        if (c.query_first) s_stopsaver();
        s_exit("");
        EXPECT_EQ(fake::calls_of({"getsaveractive", "setsaveractive"}), c.expected)
            << "active " << c.active;
    }
}

TEST_F(System, TheMessageLoopDispatchesUntilQuitAndReturnsItsCode) {
    static std::vector<uint32_t> seen;
    seen.clear();
    os_windowclass wc{0,
                      [](os_window*, uint32_t m, uintptr_t, intptr_t) -> intptr_t {
                          seen.push_back(m);
                          return 0;
                      },
                      nullptr,
                      0,
                      0,
                      "loop"};
    ASSERT_TRUE(os_registerclass(&wc));
    os_window* w = os_createwindow(0, "loop", "loop", 0, 0, 0, 10, 10, nullptr);
    os_postmessage(w, WM_KEYDOWN, 27, 0);
    os_postmessage(w, WM_KEYUP, 27, 0);
    os_postquitmessage(7);
    EXPECT_EQ(s_messageloop(), 7);
    EXPECT_EQ(seen, (std::vector<uint32_t>{WM_KEYDOWN, WM_KEYUP}));
}

// The fatal road, observed from the record the fake prints when the process
// ends.
void panic_without_window() {
    fake::reset();
    s_saverstate = 1;
    std::vector<char> line(1, '\0');
    s_windows_init(&line, nullptr, line.data(), 1);
    h_init(64);
    fake::set_exit_hook([](int code) {
        fprintf(stderr, "heap %s\n", h_base ? "held" : "released");
        for (const std::string& call : fake::calls()) fprintf(stderr, "call: %s\n", call.c_str());
        std::exit(code);
    });
    s_panic("l_loadfile: %s not found", "links.gif");
}

TEST(SystemDeathTest, PanicShutsDownShowsTheBoxAndExitsWithOne) {
    EXPECT_EXIT(panic_without_window(), ::testing::ExitedWithCode(1),
                "heap released\n"
                "call: setsaveractive 1\n"
                "call: enterlock\n"
                "call: leavelock\n"
                "call: timeendperiod 1\n"
                "call: messagebox owner=none thread=main style=16 caption=korvite system panic "
                "text=l_loadfile: links.gif not found\n"
                "call: exit 1\n$");
}

void panic_with_window(bool panic_again) {
    fake::reset();
    std::vector<char> line(1, '\0');
    s_windows_init(&line, nullptr, line.data(), 1);
    static bool again;
    again = panic_again;
    os_windowclass wc{0,
                      [](os_window*, uint32_t m, uintptr_t, intptr_t) -> intptr_t {
                          fprintf(stderr, "wndproc %u\n", m);
                          if (m == WM_DESTROY && again) s_panic("second %d", 2);
                          return 0;
                      },
                      nullptr,
                      0,
                      0,
                      "panic"};
    os_registerclass(&wc);
    s_hwnd = os_createwindow(0, "panic", "panic", 0, 0, 0, 10, 10, nullptr);
    s_panic("first");
}

TEST(SystemDeathTest, PanicWithAWindowSendsItWmDestroyAfterTheBox) {
    EXPECT_EXIT(panic_with_window(false), ::testing::ExitedWithCode(1),
                "korvite system panic: first\nwndproc 2\n.*"
                "fake: messagebox owner=window thread=main style=16 caption=korvite system panic "
                "text=first\n"
                "fake: sendmessage 2\nfake: exit 1\n$");
}

TEST(SystemDeathTest, AFatalErrorDuringTheFatalRoadGoesStraightToItsBox) {
    EXPECT_EXIT(panic_with_window(true), ::testing::ExitedWithCode(1),
                "korvite system panic: first\nwndproc 2\nkorvite system panic: second 2\n.*"
                "fake: sendmessage 2\nfake: messagebox owner=window thread=main style=16 "
                "caption=korvite system panic text=second 2\nfake: exit 1\n$");
}

}  // namespace
