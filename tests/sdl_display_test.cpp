// The GDI-style path on the SDL backend under an X server of the test's own:
// the window's geometry and the frame the X server shows, read back with xwd.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "data/heap.h"
#include "system/sys.h"
#include "tests/xserver.h"
#include "tests/xwd.h"
#include "video/display.h"

namespace {

using namespace std::chrono_literals;

uint16_t pattern(int32_t x, int32_t y) {
    return static_cast<uint16_t>(x * 97 + y * 331 + (x ^ y));
}

// 5-6-5 as the X server shows it at depth 24: each channel widened by
// repeating its top bits.
uint32_t widened(uint16_t v) {
    uint32_t r = v >> 11, g = (v >> 5) & 63, b = v & 31;
    return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

int32_t field(const std::string& info, const std::string& name) {
    size_t at = info.find(name);
    return at == std::string::npos ? -1 : atoi(info.c_str() + at + name.size());
}

// Reads the window back and compares every pixel with the frame stretched to
// the client area by the nearest pixel; prints what it found.
void check_window(int32_t x, int32_t y, int32_t width, int32_t height) {
    std::string id = x_window();
    std::string info;
    x_command("xwininfo -id " + id, 5, &info);
    fprintf(stderr, "geometry %d %d %d %d\n", field(info, "Absolute upper-left X:"),
            field(info, "Absolute upper-left Y:"), field(info, "Width:"), field(info, "Height:"));
    (void)x, (void)y;
    std::this_thread::sleep_for(300ms);  // a few frames
    xwd_image image;
    bool read = xwd_read(id, &image);
    int64_t wrong = 0;
    for (int32_t ty = 0; read && ty < height; ++ty)
        for (int32_t tx = 0; tx < width; ++tx) {
            uint16_t v = pattern(tx * 660 / width, ty * 300 / height);
            if ((image.pixel(tx, ty) & 0xFFFFFF) != widened(v)) ++wrong;
        }
    fprintf(stderr, "read %d size %dx%d wrong %lld\n", read, image.width, image.height,
            static_cast<long long>(wrong));
    x_press_until_gone(id, "Escape", false);
}

void show(const char* switches, int32_t width, int32_t height, bool fatal = false) {
    if (fatal)  // dismiss the box as a user would
        std::thread([] {
            x_press_until_gone(x_window("korvite system panic"), "Return", false);
        }).detach();
    static std::vector<char> line;
    line.assign(switches, switches + strlen(switches) + 1);
    s_windows_init(&line, nullptr, line.data(), 10);
    h_init(1 << 20);
    v_initbuffer(660, 300, 16, 0);
    auto* frame = reinterpret_cast<uint16_t*>(v_buffer);
    for (int32_t y = 0; y < 300; ++y)
        for (int32_t x = 0; x < 660; ++x) frame[y * 660 + x] = pattern(x, y);
    std::thread([=] { check_window(0, 0, width, height); }).detach();
    std::exit(s_messageloop());
}

class SdlDisplay : public ::testing::Test {
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "fast"); }
};

TEST_F(SdlDisplay, AWindowOfExactlyTheFramesSizeShowsTheFrame) {
    x_server x;
    ASSERT_TRUE(x.ok());
    EXPECT_EXIT(show("", 660, 300), ::testing::ExitedWithCode(0),
                "geometry [0-9]+ [0-9]+ 660 300\nread 1 size 660x300 wrong 0\n");
}

TEST_F(SdlDisplay, GdiFullscreenStretchesTheFrameOverTheScreen) {
    x_server x(24, false, 1024, 768);
    ASSERT_TRUE(x.ok());
    EXPECT_EXIT(show("-gdi -fullscreen", 1024, 768), ::testing::ExitedWithCode(0),
                "geometry 0 0 1024 768\nread 1 size 1024x768 wrong 0\n");
}

TEST_F(SdlDisplay, APaletteDisplayCannotTakeTheFrameBuffers) {
    x_server x(8);
    ASSERT_TRUE(x.ok());
    EXPECT_EXIT(show("-gdi", 660, 300, true), ::testing::ExitedWithCode(1),
                "korvite system panic: v_initbuffer_gdi: could not create the frame buffers");
}

}  // namespace
