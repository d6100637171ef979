// The DirectDraw-style path on the fake display: every give-up falls back to
// the GDI-style path with nothing held, every display layout gets its
// converter, and presenting converts, flips or blits, or drops the frame.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "data/heap.h"
#include "platform/ddraw.h"
#include "platform/fake/fake.h"
#include "platform/window.h"
#include "system/sys.h"
#include "system/wndproc.h"
#include "video/convert.h"
#include "video/ddraw.h"
#include "video/display.h"

namespace {

void prepare(const std::string& cmdline) {
    fake::reset();
    fake::hold_threads(true);
    v_release();
    h_deinit();
    h_init(4194304);
    dx_convert = nullptr;
    s_hwnd = nullptr;
    player_handle = nullptr;
    static std::vector<char> line;
    line.assign(cmdline.begin(), cmdline.end());
    line.push_back('\0');
    s_windows_init(&line, nullptr, line.data(), SW_SHOWDEFAULT);
}

std::vector<std::string> releases() {
    return fake::calls_of(
        {"dd_surface_release", "dd_clipper_release", "dd_release2", "dd_release"});
}

bool nothing_held() {
    return !dx_ddraw && !dx_ddraw2 && !dx_primary && !dx_back && !dx_clipper;
}

struct give_up_case {
    const char* cmdline;
    const char* fail;  // operation to fail, "" for none
    bool palette;      // a display without an RGB format
    std::vector<std::string> released;
    bool buffers_taken;
};

TEST(DirectDraw, EveryGiveUpLeavesNothingHeldAndTheGdiPathServing) {
    const std::vector<std::string> surfaces_and_all = {"dd_surface_release", "dd_clipper_release",
                                                       "dd_surface_release", "dd_release2",
                                                       "dd_release"};
    const give_up_case cases[] = {
        {"", "dd_create", false, {}, false},
        {"", "dd_queryinterface2", false, {"dd_release"}, false},
        {"", "dd_setcooperativelevel 8", false, {"dd_release2", "dd_release"}, false},
        {"-fullscreen", "", false, {"dd_release2", "dd_release"}, false},  // no 660 x 300 mode
        {"", "dd_createsurface flags=1 ", false, {"dd_release2", "dd_release"}, false},
        {"",
         "dd_surface_getpixelformat",
         false,
         {"dd_surface_release", "dd_release2", "dd_release"},
         false},
        {"", "", true, {"dd_surface_release", "dd_release2", "dd_release"}, false},
        {"", "dd_createclipper", false, {"dd_surface_release", "dd_release2", "dd_release"}, false},
        {"",
         "dd_clipper_sethwnd",
         false,
         {"dd_clipper_release", "dd_surface_release", "dd_release2", "dd_release"},
         false},
        {"",
         "dd_surface_setclipper",
         false,
         {"dd_clipper_release", "dd_surface_release", "dd_release2", "dd_release"},
         false},
        {"",
         "dd_createsurface flags=7 ",
         false,
         {"dd_clipper_release", "dd_surface_release", "dd_release2", "dd_release"},
         false},
    };
    for (const give_up_case& c : cases) {
        prepare(c.cmdline);
        if (*c.fail) fake::fail(c.fail);
        if (c.palette) fake::set_display(0, 8, 0, 0, 0, 0);
        uint8_t* before = h_next;
        v_initbuffer(660, 300, 16, 0);
        std::string what = std::string(c.cmdline) + " / " + c.fail;
        EXPECT_TRUE(nothing_held()) << what;
        EXPECT_EQ(releases(), c.released) << what;
        EXPECT_NE(v_dc, nullptr) << what;  // the GDI-style path took over
        EXPECT_EQ(h_next - before >= 2 * v_size, c.buffers_taken) << what;
    }
    // A layout no converter covers is given up after the frame buffers were
    // taken from the heap; they stay taken.
    prepare("");
    fake::set_display(DDPF_RGB, 32, 0x3FF00000, 0x000FFC00, 0x000003FF, 0);
    uint8_t* before = h_next;
    v_initbuffer(660, 300, 16, 0);
    EXPECT_TRUE(nothing_held());
    EXPECT_EQ(releases(), surfaces_and_all);
    EXPECT_GE(h_next - before, 2 * v_size);
    EXPECT_NE(v_buffer, nullptr);
    EXPECT_NE(v_dc, nullptr);
}

TEST(DirectDraw, RefusedExclusiveModeGoesOnWindowedInTheScreenSizedWindow) {
    prepare("-fullscreen");
    fake::fail("dd_setcooperativelevel 13");
    v_initbuffer(660, 300, 16, 0);
    EXPECT_EQ(v_fullscreen, 0);
    EXPECT_NE(dx_ddraw, nullptr);
    EXPECT_NE(fake::calls_of({"createwindow"})[0].find("style=80000000 x=0 y=0 w=1280 h=1024"),
              std::string::npos);
    v_present(v_buffer);
    EXPECT_EQ(fake::calls_of({"dd_surface_blt"}).back(),
              "dd_surface_blt 0 0 1280 1024 from 0 0 660 300 flags=0");
}

struct layout_case {
    uint32_t bits, red, green, blue, alpha;
    dx_converter expected;
};

// The frame as the chosen converter writes it into a surface with the fake's
// row length; the bytes beyond each row keep the fake's fill.
std::vector<uint8_t> converted(const fake::display_frame& f) {
    std::vector<uint8_t> out(static_cast<size_t>(f.pitch) * f.height, 0xCD);
    dx_convert(out.data(), f.pitch, v_buffer, v_pitch, v_height);
    return out;
}

TEST(DirectDraw, EachDisplayLayoutGetsItsConverterAndFramesArriveConverted) {
    const layout_case cases[] = {
        {32, 0xFF0000, 0xFF00, 0xFF, 0, dx_565_xrgb32},
        {32, 0xFF, 0xFF00, 0xFF0000, 0, dx_565_xbgr32},
        {32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF, dx_565_rgba32},
        {32, 0xFF00, 0xFF0000, 0xFF000000, 0xFF, dx_565_bgra32},
        {24, 0xFF0000, 0xFF00, 0xFF, 0, dx_565_rgb24},
        {24, 0xFF, 0xFF00, 0xFF0000, 0, dx_565_bgr24},
        {16, 0xF800, 0x07E0, 0x001F, 0, dx_copy16},
        {16, 0x001F, 0x07E0, 0xF800, 0, dx_565_bgr565},
        {16, 0x7C00, 0x03E0, 0x001F, 0, dx_565_555},
        {16, 0x001F, 0x03E0, 0x7C00, 0, dx_565_bgr555},
    };
    for (const layout_case& c : cases) {
        prepare("");
        fake::set_display(DDPF_RGB, c.bits, c.red, c.green, c.blue, c.alpha);
        v_initbuffer(660, 300, 16, 0);
        ASSERT_NE(dx_ddraw, nullptr) << c.bits << " " << std::hex << c.red;
        EXPECT_EQ(dx_convert, c.expected) << c.bits << " " << std::hex << c.red;
        EXPECT_EQ(dx_format.depth, static_cast<int32_t>(c.bits));
        for (int32_t i = 0; i < v_size; ++i) v_buffer[i] = static_cast<uint8_t>(i * 131 + i / 1320);
        v_present(v_buffer);
        fake::display_frame f = fake::shown();
        ASSERT_EQ(f.width, 660);
        EXPECT_TRUE(f.memory == converted(f)) << c.bits << " " << std::hex << c.red;
    }
}

TEST(DirectDraw, FullscreenFlipsTheBackBufferInTheFramesOwnMode) {
    prepare("-fullscreen");
    fake::set_modes({{660, 300, 16}});
    v_initbuffer(660, 300, 16, 0);
    ASSERT_NE(dx_ddraw, nullptr);
    EXPECT_EQ(v_fullscreen, 1);
    EXPECT_EQ(dx_back, nullptr);  // looked up by the first frame
    std::vector<std::string> setup = {"dd_create",
                                      "dd_queryinterface2",
                                      "dd_setcooperativelevel 13",
                                      "dd_setdisplaymode 660 300 16 0 0",
                                      "dd_createsurface flags=21 caps=4218 back=1 w=0 h=0 size=" +
                                          std::to_string(sizeof(dd_surfacedesc)),
                                      "dd_surface_getpixelformat size=32"};
    EXPECT_EQ(fake::calls_of({"dd_create", "dd_queryinterface2", "dd_setcooperativelevel",
                              "dd_setdisplaymode", "dd_createsurface", "dd_surface_getpixelformat",
                              "dd_createclipper"}),
              setup);
    fake::reset();
    v_present(v_buffer);
    std::vector<std::string> frame = {"enterlock",
                                      "dd_surface_getattachedsurface 4",
                                      "dd_surface_islost",
                                      "dd_surface_islost",
                                      "dd_surface_lock all flags=1 size=" +
                                          std::to_string(sizeof(dd_surfacedesc)),
                                      "dd_surface_unlock",
                                      "dd_surface_flip 1",
                                      "leavelock"};
    EXPECT_EQ(fake::calls(), frame);
    EXPECT_NE(dx_back, nullptr);
}

TEST(DirectDraw, LostSurfacesAndFailedLocksDropTheFrame) {
    const char* failures[] = {"", "dd_surface_lock", "dd_surface_unlock"};
    for (const char* failure : failures) {
        prepare("");
        v_initbuffer(660, 300, 16, 0);
        if (*failure)
            fake::fail(failure);
        else
            fake::set_lost(true);
        v_present(v_buffer);
        EXPECT_EQ(fake::shows(), 0) << failure;
        EXPECT_TRUE(fake::calls_of({"dd_surface_blt"}).empty()) << failure;
    }
}

TEST(DirectDraw, TheBlitFollowsTheWindow) {
    prepare("");
    v_initbuffer(660, 300, 16, 0);
    v_present(v_buffer);
    fake::window()->x = 300;
    fake::window()->y = 200;
    v_present(v_buffer);
    // The fake's client area sits 3 pixels in and 26 down from the window's corner.
    std::vector<std::string> expected = {"dd_surface_blt 103 106 763 406 from 0 0 660 300 flags=0",
                                         "dd_surface_blt 303 226 963 526 from 0 0 660 300 flags=0"};
    EXPECT_EQ(fake::calls_of({"dd_surface_blt"}), expected);
}

TEST(DirectDraw, ReleaseGivesEveryObjectUpInOrder) {
    prepare("");
    v_initbuffer(660, 300, 16, 0);
    fake::reset();
    v_release();
    v_release();
    std::vector<std::string> expected = {"dd_surface_release", "dd_clipper_release",
                                         "dd_surface_release", "dd_release2", "dd_release"};
    EXPECT_EQ(releases(), expected);
    EXPECT_TRUE(nothing_held());
}

void start_on_a_broken_display() {
    prepare("");
    fake::set_display(DDPF_RGB, 16, 0x0F0F, 0x00F0, 0, 0);
    v_initbuffer(660, 300, 16, 0);
}

TEST(DirectDrawDeathTest, AMaskThatIsNotOneRunIsFatal) {
    EXPECT_EXIT(start_on_a_broken_display(), ::testing::ExitedWithCode(1),
                "korvite system panic: dx_decodemask: invalid mask \\(000000f0\\)");
}

}  // namespace
