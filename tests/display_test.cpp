// Display initialisation and the GDI-style path on the fake backend: switches,
// geometry, the window class, frame buffers, presenting and release.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "data/heap.h"
#include "platform/fake/fake.h"
#include "platform/window.h"
#include "system/sys.h"
#include "system/wndproc.h"
#include "video/display.h"

namespace {

const std::string windowed = "createwindow exstyle=0 class=korvite caption=korvite style=10c80000 "
                             "x=-2147483648 y=-2147483648 w=666 h=329";
const std::string fullscreen = "createwindow exstyle=0 class=korvite caption=korvite "
                               "style=80000000 x=0 y=0 w=1280 h=1024";

// The system as start-up leaves it before v_initbuffer; threads are made but
// the player does not run, so what start-up did stays still for the test.
void prepare(const std::string& cmdline) {
    fake::reset();
    fake::hold_threads(true);
    v_release();
    s_hwnd = nullptr;
    player_handle = nullptr;
    static std::vector<char> line;
    line.assign(cmdline.begin(), cmdline.end());
    line.push_back('\0');
    s_windows_init(&line, nullptr, line.data(), SW_SHOWDEFAULT);
}

struct switch_case {
    const char* cmdline;
    int32_t fullscreen_argument;
    uint8_t fullscreen;
};

TEST(Display, SwitchesDecideBetweenWindowAndFullscreen) {
    const switch_case cases[] = {
        {"", 0, 0},
        {"", 1, 1},
        {"-fullscreen", 0, 1},
        {"/FullScreen", 0, 1},
        {"-fullscreen2", 0, 1},
        {"-fullscreen -windowed", 0, 0},
        {"-windowed /fullscreen", 1, 0},
        {"-gdi", 1, 0},
        {"-gdi -fullscreen", 0, 1},
        {"-gdiplus -fullscreen", 1, 1},
        {"-gdi -windowed -fullscreen", 1, 0},
        {"fullscreen", 0, 0},
    };
    for (const switch_case& c : cases) {
        prepare(c.cmdline);
        v_initbuffer(660, 300, 16, c.fullscreen_argument);
        EXPECT_EQ(v_fullscreen, c.fullscreen) << c.cmdline;
        EXPECT_EQ(fake::calls_of({"createwindow"}),
                  std::vector<std::string>{c.fullscreen ? fullscreen : windowed})
            << c.cmdline;
    }
}

TEST(Display, StartUpTakesItsStepsInOrder) {
    prepare("");
    v_initbuffer(660, 300, 16, 0);
    std::vector<std::string> expected = {
        "registerclass style=3 cursor=32512 background=4 name=korvite",
        windowed,
        "showwindow 10",
        "createcompatibledc",
        "createdibsection size=40 w=660 h=-300 planes=1 bpp=16 compression=3 masks=f800,7e0,1f "
        "usage=0",
        "createdibsection size=40 w=660 h=-300 planes=1 bpp=16 compression=3 masks=f800,7e0,1f "
        "usage=0",
        "timebeginperiod 1",
        "createthread"};
    EXPECT_EQ(fake::calls_of({"registerclass", "createwindow", "showwindow", "createcompatibledc",
                              "createdibsection", "timebeginperiod", "createthread", "showcursor"}),
              expected);
    EXPECT_EQ(v_pitch, 1320);
    EXPECT_EQ(v_size, 396000);
    EXPECT_EQ(v_format.red_mask, 0xF800u);
    EXPECT_NE(v_buffers[0], nullptr);
    EXPECT_NE(v_buffers[1], v_buffers[0]);
    EXPECT_EQ(v_buffer, v_buffers[0]);
    EXPECT_NE(player_handle, nullptr);
}

TEST(Display, FullscreenHidesThePointerBeforeTheWindowExists) {
    prepare("-fullscreen");
    v_initbuffer(660, 300, 32, 0);
    std::vector<std::string> expected = {
        "showcursor 0", "registerclass style=3 cursor=32512 background=4 name=korvite", fullscreen};
    EXPECT_EQ(fake::calls_of({"showcursor", "registerclass", "createwindow"}), expected);
    EXPECT_EQ(v_pitch, 2640);
    EXPECT_EQ(fake::calls_of({"createdibsection"})[0],
              "createdibsection size=40 w=660 h=-300 planes=1 bpp=32 compression=3 "
              "masks=ff0000,ff00,ff usage=0");
}

struct fatal_case {
    const char* fail;  // the operation made to fail, or what else goes wrong
    const char* message;
};

void start_failing(const char* what) {
    prepare("");
    if (std::string(what) == "no init") s_instance = nullptr;
    if (std::string(what) != "depth") fake::fail(what);
    v_initbuffer(660, 300, std::string(what) == "depth" ? 24 : 16, 0);
}

TEST(DisplayDeathTest, EveryFailureOnTheWayIsFatalWithItsMessage) {
    const fatal_case cases[] = {
        {"no init", "use s_windows_init!"},
        {"depth", "v_initbuffer: 24bit color depth is not supported\\."},
        {"registerclass", "WinMain: RegisterClass failed"},
        {"createwindow", "WinMain: could not create window"},
        {"createcompatibledc", "v_initbuffer_gdi: could not create the frame buffers"},
        {"createdibsection", "v_initbuffer_gdi: could not create the frame buffers"},
        {"createthread", "v_initbuffer: could not start the player thread"},
    };
    for (const fatal_case& c : cases)
        EXPECT_EXIT(start_failing(c.fail), ::testing::ExitedWithCode(1),
                    std::string("korvite system panic: ") + c.message)
            << c.fail;
}

TEST(Display, APresentStretchesTheWholeFrameOverTheClientArea) {
    prepare("");
    v_initbuffer(660, 300, 16, 0);
    for (int32_t i = 0; i < v_size; ++i) v_buffer[i] = static_cast<uint8_t>(i * 7);
    fake::reset();  // the bitmaps keep their numbers 0 and 1
    v_present(nullptr);
    EXPECT_TRUE(fake::calls().empty());  // not even the lock
    v_present(v_buffer);
    v_present(v_buffers[1]);
    std::vector<std::string> one = {"enterlock",
                                    "selectobject 0",
                                    "invalidatergn 0",
                                    "beginpaint",
                                    "setstretchbltmode 3",
                                    "stretchblt 0 0 660 300 from 0 0 660 300 rop=cc0020",
                                    "endpaint",
                                    "leavelock"};
    std::vector<std::string> expected = one;
    one[1] = "selectobject 1";
    expected.insert(expected.end(), one.begin(), one.end());
    EXPECT_EQ(fake::calls(), expected);
    fake::frame f = fake::presented();
    EXPECT_EQ(f.bitmap, 1);
    EXPECT_EQ(f.pitch, 1320);
}

TEST(Display, TheFrameArrivesAsDrawnAndAnEmptyClientAreaIsNoError) {
    prepare("-gdi -fullscreen");
    v_initbuffer(660, 300, 16, 0);
    for (int32_t i = 0; i < v_size; ++i) v_buffer[i] = static_cast<uint8_t>(i * 13 + 1);
    v_present(v_buffer);
    fake::frame f = fake::presented();
    ASSERT_EQ(f.pixels.size(), static_cast<size_t>(v_size));
    EXPECT_EQ(memcmp(f.pixels.data(), v_buffer, v_size), 0);
    EXPECT_EQ(fake::calls_of({"stretchblt"}).back(),
              "stretchblt 0 0 1280 1024 from 0 0 660 300 rop=cc0020");
    fake::window()->client = os_rect{0, 0, 0, 0};  // minimised
    v_present(v_buffer);
    EXPECT_EQ(fake::calls_of({"stretchblt"}).back(),
              "stretchblt 0 0 0 0 from 0 0 660 300 rop=cc0020");
}

void present_foreign() {
    prepare("");
    v_initbuffer(660, 300, 16, 0);
    fake::reset();
    static uint8_t foreign[16];
    v_present(foreign);
}

TEST(DisplayDeathTest, AForeignBufferIsFatalOnceTheLockIsLeft) {
    EXPECT_EXIT(present_foreign(), ::testing::ExitedWithCode(1),
                "fake: enterlock\nfake: leavelock\n"
                "fake: setsaveractive 1\nfake: enterlock\nfake: deletedc\n"
                "fake: deleteobject [0-9]+\nfake: deleteobject [0-9]+\nfake: leavelock\n"
                "fake: timeendperiod 1\n"
                "fake: messagebox owner=window thread=main style=16 caption=korvite system panic "
                "text=v_putbuffer: buffer is not initialized\n");
}

TEST(Display, ReleasingTwiceReleasesOnce) {
    prepare("");
    v_initbuffer(660, 300, 16, 0);
    fake::reset();
    v_release();
    v_release();
    EXPECT_EQ(fake::calls_of({"deletedc", "deleteobject"}).size(), 3u);
    EXPECT_EQ(v_buffers[0], nullptr);
    EXPECT_EQ(v_buffer, nullptr);
    EXPECT_EQ(v_dc, nullptr);
}

}  // namespace
