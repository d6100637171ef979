// End to end: the built music disk under an X server of the test's own, seen
// from outside as a user sees it. The window, the frames it shows read back
// pixel for pixel at each display depth and on each output path, and the roads
// out of the program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/title.h"
#include "tests/e2e_support.h"
#include "tests/xserver.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

struct geometry {
    int x = -1, y = -1, width = -1, height = -1;
};

geometry geometry_of(const std::string& id) {
    std::string info;
    x_command("xwininfo -id " + id, 5, &info);
    auto field = [&](const char* name) {
        size_t at = info.find(name);
        return at == std::string::npos ? -1 : atoi(info.c_str() + at + strlen(name));
    };
    return {field("Absolute upper-left X:"), field("Absolute upper-left Y:"), field("Width:"),
            field("Height:")};
}

// One way of looking at the disk: the display's depth, the switches, and the
// output path they lead to.
struct look {
    int depth;
    const char* switches;
    bool gdi;
};

void PrintTo(const look& l, std::ostream* out) {
    *out << "depth " << l.depth << " \"" << l.switches << "\"";
}

class Look : public ::testing::TestWithParam<look> {};

// The caption, the client area, and the intro with 0:00 exactly as the
// pictures, the palette rule and the display's format make it; Escape then
// ends the program with 0.
TEST_P(Look, TheIntroShowsPixelExactInAWindowOfTheFramesSize) {
    const look& l = GetParam();
    x_server x(l.depth);
    ASSERT_TRUE(x.ok());
    e2e::disk disk(words(l.switches));
    std::string id = disk.window();
    ASSERT_FALSE(id.empty()) << disk.errors();
    std::string caption;
    x_command("xdotool getwindowname " + id, 5, &caption);
    EXPECT_EQ(caption, std::string(title_line) + "\n");
    geometry g = geometry_of(id);
    EXPECT_EQ(g.width, 660);
    EXPECT_EQ(g.height, 300);
    EXPECT_EQ(e2e::wait_for_frame(id, e2e::expected_frame(0, "0:00"), l.depth, l.gdi), "");
    x_press_until_gone(id, "Escape", false);
    EXPECT_EQ(disk.wait(), 0) << disk.errors();
}

INSTANTIATE_TEST_SUITE_P(E2e, Look,
                         ::testing::Values(look{24, "", false}, look{16, "", false},
                                           look{15, "", false}, look{24, "-gdi", true},
                                           look{16, "-GDI", true}, look{15, "/gdi", true},
                                           look{24, "-fullscreen -Windowed", false}));

// Under Xvfb the only mode is the screen's own, so a fullscreen request runs
// in a borderless window over the whole screen on the GDI-style path, with the
// frame stretched by the nearest pixel.
class Fullscreen : public ::testing::TestWithParam<const char*> {};

TEST_P(Fullscreen, CoversTheScreenWithTheFrameStretched) {
    x_server x(24, false, 1024, 768);
    ASSERT_TRUE(x.ok());
    e2e::disk disk(words(GetParam()));
    std::string id = disk.window();
    ASSERT_FALSE(id.empty()) << disk.errors();
    geometry g = geometry_of(id);
    EXPECT_EQ(g.x, 0);
    EXPECT_EQ(g.y, 0);
    EXPECT_EQ(g.width, 1024);
    EXPECT_EQ(g.height, 768);
    EXPECT_EQ(e2e::wait_for_frame(id, e2e::expected_frame(0, "0:00"), 24, true), "");
    x_press_until_gone(id, "Escape", false);
    EXPECT_EQ(disk.wait(), 0) << disk.errors();
}

INSTANTIATE_TEST_SUITE_P(E2e, Fullscreen, ::testing::Values("-fullscreen", "-gdi /FullScreen"));

// On an 8-bit display neither path can present: the program says so in its
// fatal box, which the user dismisses, and ends with 1.
class PaletteDisplay : public ::testing::TestWithParam<const char*> {};

TEST_P(PaletteDisplay, EndsWithTheFatalBoxAndOne) {
    x_server x(8);
    ASSERT_TRUE(x.ok());
    e2e::disk disk(words(GetParam()));
    std::string box = x_window("korvite system panic");
    ASSERT_FALSE(box.empty()) << disk.errors();
    x_press_until_gone(box, "Return", false);
    EXPECT_TRUE(x_gone(box));
    EXPECT_EQ(disk.wait(), 1);
    EXPECT_THAT(disk.errors(), HasSubstr("korvite system panic: v_initbuffer_gdi: could not "
                                         "create the frame buffers\n"));
}

INSTANTIATE_TEST_SUITE_P(E2e, PaletteDisplay, ::testing::Values("", "-gdi"));

TEST(E2eRoads, EscapeEndsWithZeroWhileTheLeftButtonIsHeld) {
    x_server x;
    ASSERT_TRUE(x.ok());
    e2e::disk disk;
    std::string id = disk.window();
    ASSERT_FALSE(id.empty()) << disk.errors();
    e2e::spot nothing = e2e::link_spot(0);
    ASSERT_GE(nothing.x, 0);
    x_command("xdotool mousemove --window " + id + " " + std::to_string(nothing.x) + " " +
              std::to_string(nothing.y) + " mousedown 1");
    x_press_until_gone(id, "Escape", false);
    x_command("xdotool mouseup 1");
    EXPECT_EQ(disk.wait(), 0) << disk.errors();
}

// Alt+F4 is the window manager's own close here: openbox holds the key and
// asks the window to close, as its close box does.
TEST(E2eRoads, ClosingThroughTheWindowManagerEndsWithZero) {
    x_server x(24, true);
    ASSERT_TRUE(x.ok());
    e2e::disk disk;
    std::string id = disk.window();
    ASSERT_FALSE(id.empty()) << disk.errors();
    std::string tree;
    x_command("xwininfo -tree -id " + id, 5, &tree);
    size_t parent = tree.find("Parent window id:");
    ASSERT_NE(parent, std::string::npos);
    EXPECT_THAT(tree.substr(parent, tree.find('\n', parent) - parent),
                Not(HasSubstr("(the root window)")))
        << "the window manager did not frame the window";
    x_press_until_gone(id, "alt+F4", true);
    EXPECT_EQ(disk.wait(), 0) << disk.errors();
}

// The pictures travel inside the program's own file.
TEST(E2eRoads, StartedFromAnotherDirectoryThePicturesStillShow) {
    x_server x;
    ASSERT_TRUE(x.ok());
    e2e::scratch_dir elsewhere;
    e2e::disk disk({}, elsewhere.path());
    std::string id = disk.window();
    ASSERT_FALSE(id.empty()) << disk.errors();
    EXPECT_EQ(e2e::wait_for_frame(id, e2e::expected_frame(0, "0:00"), 24, false), "");
    x_press_until_gone(id, "Escape", false);
    EXPECT_EQ(disk.wait(), 0) << disk.errors();
}

}  // namespace
