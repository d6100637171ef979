// The GDI-style path on the SDL backend under an X server of the test's own:
// the window's geometry and the frame the X server shows, read back with xwd.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/startup.h"
#include "data/heap.h"
#include "platform/thread.h"
#include "system/sys.h"
#include "tests/xserver.h"
#include "tests/xwd.h"
#include "video/convert.h"
#include "video/display.h"

namespace {

using namespace std::chrono_literals;

// The player paints its screen through pal16 on every pass: a picture of
// scattered palette indices and a palette that sets every bit of the 5-6-5
// word somewhere. The play-time box holds index 0, and so does the whole digit
// font, so the frame the player presents is exactly pattern().
uint8_t index_at(int32_t x, int32_t y) {
    bool time_box = y >= 38 && y < 50 && x >= 466 && x < 510;
    return time_box ? 0 : static_cast<uint8_t>(x * 97 + y * 331 + (x ^ y));
}

uint16_t colour(uint32_t i) {
    return static_cast<uint16_t>(i * 0x9E37u ^ i << 9 ^ 0x0841u);
}

uint16_t pattern(int32_t x, int32_t y) {
    return colour(index_at(x, y));
}

// The assets the player reads, in place of load_assets; and the dummy sound
// driver, since the player starts the audio first.
void give_player_assets() {
    static std::vector<uint8_t> picture(660 * 300), map(660 * 300), font(84 * 12);
    static std::vector<uint16_t> palette(256);
    for (int32_t y = 0; y < 300; ++y)
        for (int32_t x = 0; x < 660; ++x) picture[y * 660 + x] = index_at(x, y);
    for (uint32_t i = 0; i < 256; ++i) palette[i] = colour(i);
    for (screen& s : screens) s.pixels = picture.data();
    links = map.data();
    digits = font.data();
    pal16 = palette.data();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
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
    give_player_assets();
    v_initbuffer(660, 300, 16, 0);
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
    EXPECT_EXIT(show("-gdi", 660, 300), ::testing::ExitedWithCode(0),
                "geometry [0-9]+ [0-9]+ 660 300\nread 1 size 660x300 wrong 0\n");
}

// "-gdi -fullscreen", and "-fullscreen" on a display without a 660 x 300 mode
// (the DirectDraw-style path gives up), both stretch the frame over the screen.
TEST_F(SdlDisplay, FullscreenOnTheGdiPathStretchesTheFrameOverTheScreen) {
    x_server x(24, false, 1024, 768);
    ASSERT_TRUE(x.ok());
    for (const char* switches : {"-gdi -fullscreen", "-fullscreen"})
        EXPECT_EXIT(show(switches, 1024, 768), ::testing::ExitedWithCode(0),
                    "geometry 0 0 1024 768\nread 1 size 1024x768 wrong 0\n")
            << switches;
}

// The DirectDraw-style path: the converter the display's format chose, and the
// window's pixels equal to the frame as that converter writes it.
const char* converter_name() {
    struct named {
        dx_converter convert;
        const char* name;
    };
    const named names[] = {{dx_565_xrgb32, "xrgb32"},
                           {dx_copy16, "copy16"},
                           {dx_565_555, "555"},
                           {dx_565_rgb24, "rgb24"},
                           {nullptr, "none"}};
    for (const named& n : names)
        if (dx_convert == n.convert) return n.name;
    return "other";
}

void check_converted() {
    std::string id = x_window();
    std::this_thread::sleep_for(300ms);
    xwd_image image;
    bool read = xwd_read(id, &image);
    int32_t bytes = image.bits_per_pixel / 8;
    std::vector<uint16_t> frame(660 * 300);
    for (int32_t y = 0; y < 300; ++y)
        for (int32_t x = 0; x < 660; ++x) frame[y * 660 + x] = pattern(x, y);
    std::vector<uint8_t> expected(660 * 300 * 4);
    dx_convert(expected.data(), 660 * bytes, reinterpret_cast<uint8_t*>(frame.data()), 1320, 300);
    int64_t wrong = 0;
    for (int32_t y = 0; read && y < 300; ++y)
        for (int32_t x = 0; x < 660; ++x) {
            uint32_t want = 0;
            memcpy(&want, expected.data() + (y * 660 + x) * bytes, bytes);
            uint32_t mask = bytes == 4 ? 0xFFFFFF : 0xFFFF;
            if ((image.pixel(x, y) & mask) != (want & mask)) ++wrong;
        }
    fprintf(stderr, "converter %s read %d wrong %lld\n", converter_name(), read,
            static_cast<long long>(wrong));
    x_press_until_gone(id, "Escape", false);
}

void show_converted() {
    static char line[] = "";
    s_windows_init(line, nullptr, line, 10);
    h_init(1 << 20);
    give_player_assets();
    v_initbuffer(660, 300, 16, 0);
    std::thread(check_converted).detach();
    std::exit(s_messageloop());
}

struct depth_case {
    int depth;
    const char* converter;
};

TEST_F(SdlDisplay, TheDisplaysOwnFormatPicksTheConverterAndTheFrameArrivesConverted) {
    const depth_case cases[] = {{24, "xrgb32"}, {16, "copy16"}, {15, "555"}};
    for (const depth_case& c : cases) {
        x_server x(c.depth);
        ASSERT_TRUE(x.ok());
        EXPECT_EXIT(show_converted(), ::testing::ExitedWithCode(0),
                    std::string("converter ") + c.converter + " read 1 wrong 0\n")
            << "depth " << c.depth;
    }
}

// At depth 8 the DirectDraw-style path gives up (no RGB format), and the
// GDI-style path cannot have a window surface either.
TEST_F(SdlDisplay, APaletteDisplayCannotTakeTheFrameBuffers) {
    x_server x(8);
    ASSERT_TRUE(x.ok());
    for (const char* switches : {"", "-gdi"})
        EXPECT_EXIT(show(switches, 660, 300, true), ::testing::ExitedWithCode(1),
                    "korvite system panic: v_initbuffer_gdi: could not create the frame buffers");
}

}  // namespace
