// The player on the fake backend, pass by pass on the test's thread: screens
// and songs chosen by clicks on the link map, pause and order steps through
// the recording audio library, the play time on a clock the test moves, the
// end of a song, the way out on Escape, and the fatal start-up failures.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/player.h"
#include "app/playtime.h"
#include "app/startup.h"
#include "platform/fake/fake.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "system/sys.h"
#include "system/wndproc.h"
#include "video/display.h"

namespace {

constexpr int32_t frame_pixels = 660 * 300;
// Row 250 of the link map holds code x at column x, so that any code can be
// clicked; greetings (16) also fills the top right corner, and screen 2's link
// (3) lies where a position past the right edge would land in the next row.
constexpr int32_t code_row = 250;

// Screen s is painted with index 100 + s, each index has a colour of its own.
uint16_t colour(int32_t index) {
    return static_cast<uint16_t>(0x1000 + index * 37);
}

void give_assets() {
    static std::vector<uint8_t> pictures[screen_count], map, font;
    static std::vector<uint16_t> palette;
    if (map.empty()) {
        for (int32_t s = 0; s < screen_count; ++s) pictures[s].assign(frame_pixels, 100 + s);
        map.assign(frame_pixels, 0);
        for (int32_t x = 0; x < 256; ++x) map[code_row * 660 + x] = static_cast<uint8_t>(x);
        for (int32_t y = 0; y < 30; ++y)
            for (int32_t x = 600; x < 660; ++x) map[y * 660 + x] = 16;
        map[11 * 660 + 40] = 3;
        font.assign(84 * 12, 7);
        for (int32_t i = 0; i < 256; ++i) palette.push_back(colour(i));
    }
    for (int32_t s = 0; s < screen_count; ++s) screens[s].pixels = pictures[s].data();
    links = map.data();
    digits = font.data();
    pal16 = palette.data();
}

void reset_player() {
    cur_screen = 0;
    cur_song = -1;
    music = 0;
    music_sync = 0;
    music_length = 0;
    song_ended = 0;
    time_start = pause_start = pause_total = 0;
    shown_seconds = 0;
}

// tuneNN.it has NN + 3 orders.
void declare_modules() {
    for (int32_t s = 1; s <= 12; ++s) fake::set_module(screens[s].module, s + 3);
}

// The audio calls since the test's last mark.
std::vector<std::string> audio_since_mark() {
    std::vector<std::string> all = fake::calls(), out;
    for (const std::string& line : all) {
        if (line == "mark") out.clear();
        if (line.compare(0, 3, "au_") == 0) out.push_back(line);
    }
    return out;
}

void mark() {
    fake::record("mark");
}

// The screen the last present showed, told by the colour of its top-left pixel.
int32_t shown_screen() {
    fake::frame f = fake::presented();
    if (f.pixels.size() < 2) return -1;
    uint16_t pixel = static_cast<uint16_t>(f.pixels[0] | f.pixels[1] << 8);
    return (pixel - 0x1000) / 37 - 100;
}

// The lines music_play records for module handle m (its predecessor p, or 0).
std::vector<std::string> play_calls(const char* file, int32_t m, int32_t p) {
    std::vector<std::string> calls;
    std::string mm = std::to_string(m), pp = std::to_string(p);
    if (p) calls.push_back("au_channelremovesync " + pp + " " + std::to_string(100 + p));
    calls.push_back("au_stop");
    if (p) calls.push_back("au_musicfree " + pp);
    calls.push_back(std::string("au_musicload ") + file + " 1");
    calls.push_back("au_start");
    calls.push_back("au_musicsetpositionscaler " + mm + " 1");
    calls.push_back("au_channelsetsync " + mm + " 2 0 0");
    calls.push_back("au_musicgetlength " + mm);
    calls.push_back("au_musicplay " + mm);
    return calls;
}

class Player : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        fake::hold_threads(true);  // the test runs the player's passes itself
        fake::fail("dd_create");   // the GDI-style path, whose frames the fake keeps
        v_release();
        s_hwnd = nullptr;
        player_handle = nullptr;
        static char line[] = "";
        s_windows_init(line, nullptr, line, SW_SHOWDEFAULT);
        v_initbuffer(660, 300, 16, 0);
        give_assets();
        reset_player();
        declare_modules();
        s_clicked = 0;
        fake::set_time(5000);
        music_init();
        mark();
    }

    void pass() { ASSERT_TRUE(player_pass()); }

    void click_at(int32_t x, int32_t y) {
        s_mousex = x;
        s_mousey = y;
        s_clicked = 1;
        pass();
    }

    void click(int32_t code) { click_at(code, code_row); }

    // Clicks, then the state and the audio calls they led to. A pass paints
    // before it reads the click, so the next pass shows the screen chosen.
    void expect_after(std::initializer_list<int32_t> codes, int32_t screen, int32_t song,
                      const std::vector<std::string>& calls) {
        mark();
        for (int32_t c : codes) click(c);
        EXPECT_EQ(cur_screen, screen);
        pass();
        EXPECT_EQ(shown_screen(), screen);
        EXPECT_EQ(cur_song, song);
        EXPECT_EQ(audio_since_mark(), calls);
    }
};

const std::vector<std::string> nothing;

TEST_F(Player, StartsOnTheIntroWithNoSongAndShowsThePictureThroughThePalette) {
    fake::advance_time(90000);
    pass();
    EXPECT_EQ(shown_screen(), 0);
    EXPECT_EQ(cur_song, -1);
    EXPECT_EQ(shown_seconds, 0);
    EXPECT_EQ(audio_since_mark(), nothing);
    EXPECT_EQ(fake::presents(), 1);
    // Every pixel but the time's is the picture's through pal16.
    fake::frame f = fake::presented();
    int64_t wrong = 0;
    for (int32_t y = 0; y < 300; ++y)
        for (int32_t x = 0; x < 660; ++x) {
            uint16_t pixel = static_cast<uint16_t>(f.pixels[y * 1320 + 2 * x] |
                                                   f.pixels[y * 1320 + 2 * x + 1] << 8);
            bool time = y >= 38 && y < 50 && x >= 482 && x < 510;
            if (pixel != colour(time ? 7 : 100)) ++wrong;
        }
    EXPECT_EQ(wrong, 0);
}

// Every row of the outcomes of a click on a screen's link: T the link's
// screen, C the current screen, P the playing song's screen.
TEST_F(Player, TOtherThanCButPShowsTheSongsScreenWithoutRestartingIt) {
    click(4);   // song 3
    click(15);  // credits
    expect_after({4}, 3, 3, nothing);
}

TEST_F(Player, TOtherThanCAndPWithAModuleReplacesTheSongFromTheStart) {
    expect_after({4}, 3, 3, play_calls("tune03.it", 1, 0));
    click(15);
    fake::advance_time(3000);
    expect_after({6}, 5, 5, play_calls("tune05.it", 2, 1));
    EXPECT_EQ(time_start, 8000u);
    EXPECT_EQ(music_length, 8);
    EXPECT_EQ(shown_seconds, 0);
}

TEST_F(Player, TOtherThanCAndPWithoutAModuleLeavesTheSongAsItIs) {
    click(4);
    expect_after({15}, 14, 3, nothing);
    click(4);
    click(4);  // paused
    expect_after({14}, 13, 3, nothing);
    EXPECT_NE(pause_start, 0u);
}

TEST_F(Player, TEqualToCAndPPausesAndResumesInPlace) {
    click(4);
    expect_after({4}, 3, 3, {"au_pause"});
    EXPECT_EQ(pause_start, 5000u);
    expect_after({4}, 3, 3, {"au_start"});
    EXPECT_EQ(pause_start, 0u);
}

TEST_F(Player, TheOwnLinkOfAScreenWithoutASongLeadsToThePlayingSong) {
    click(4);
    click(15);
    expect_after({15}, 3, 3, nothing);
}

TEST_F(Player, TheOwnLinkOfASongScreenWithNoSongYetStartsIt) {
    cur_screen = 7;
    expect_after({8}, 7, 7, play_calls("tune07.it", 1, 0));
}

TEST_F(Player, TheOwnLinkOfAScreenWithoutASongAndNoSongDoesNothing) {
    expect_after({1}, 0, -1, nothing);
    click(14);
    expect_after({14}, 13, -1, nothing);
}

TEST_F(Player, APauseLeavesItsTimeOutOfThePlayTime) {
    click(4);
    fake::advance_time(42000);
    pass();
    EXPECT_EQ(shown_seconds, 42);
    click(4);  // pause at 0:42 for a minute
    fake::advance_time(60000);
    pass();
    EXPECT_EQ(shown_seconds, 42);
    click(4);
    EXPECT_EQ(shown_seconds, 42);
    EXPECT_EQ(pause_total, 60000u);
    fake::advance_time(1000);
    pass();
    EXPECT_EQ(shown_seconds, 43);
}

// The clock reads 0 as the pause begins: that counts as no pause, so the time
// runs on and the next click pauses again.
TEST_F(Player, APauseThatBeginsAtClockZeroCountsAsNone) {
    fake::set_time(4294960000u);
    click(4);
    fake::set_time(0);
    expect_after({4}, 3, 3, {"au_pause"});
    EXPECT_EQ(pause_start, 0u);
    fake::advance_time(3000);
    pass();
    EXPECT_EQ(shown_seconds, 10);  // 7.296 s to the wrap and 3 s after it
    expect_after({4}, 3, 3, {"au_pause"});
}

struct step_case {
    uint32_t position;  // where the module is
    int32_t code;
    uint32_t target;
};

TEST_F(Player, OrderStepsStayInsideTheModule) {
    click(4);  // tune03.it: 6 orders
    const step_case cases[] = {
        {0, 17, 0}, {3, 17, 2}, {5, 17, 4},          {3, 18, 4},
        {4, 18, 5}, {5, 18, 5}, {0x00070003, 18, 4},  // row 7 of order 3: only the order counts
    };
    for (const step_case& c : cases) {
        fake::set_position(c.position);
        expect_after(
            {c.code}, 3, 3,
            {"au_channelgetposition 1", "au_channelsetposition 1 " + std::to_string(c.target)});
    }
}

TEST_F(Player, AStepResumesAPausedSongWithoutCountingThePause) {
    click(4);
    fake::advance_time(10000);
    click(4);
    fake::advance_time(30000);
    fake::set_position(2);
    expect_after({18}, 3, 3, {"au_start", "au_channelgetposition 1", "au_channelsetposition 1 3"});
    EXPECT_EQ(pause_start, 0u);
    EXPECT_EQ(shown_seconds, 10);
    fake::advance_time(1000);
    click(17);  // a step back does not set the time back
    EXPECT_EQ(shown_seconds, 11);
}

TEST_F(Player, StepsWithNoModuleGoToTheLibraryUnchanged) {
    expect_after({18}, 0, -1, {"au_channelgetposition 0", "au_channelsetposition 0 4294967295"});
    expect_after({17}, 0, -1, {"au_channelgetposition 0", "au_channelsetposition 0 0"});
}

TEST_F(Player, ANewSongWhilePausedPlaysUnpausedFromZero) {
    click(4);
    fake::advance_time(5000);
    click(4);
    fake::advance_time(5000);
    expect_after({6}, 5, 5, play_calls("tune05.it", 2, 1));
    EXPECT_EQ(pause_start, 0u);
    EXPECT_EQ(pause_total, 0u);
    EXPECT_EQ(shown_seconds, 0);
    fake::advance_time(2000);
    pass();
    EXPECT_EQ(shown_seconds, 2);
}

TEST_F(Player, AfterTheEndTheTimeHoldsAndTheOwnLinkOnlyPauses) {
    click(4);
    fake::advance_time(7000);
    pass();
    fake::end_music();  // on a thread of the library's own
    EXPECT_EQ(song_ended.load(), 1u);
    fake::advance_time(10000);
    pass();
    EXPECT_EQ(shown_seconds, 7);
    expect_after({15}, 14, 3, nothing);
    EXPECT_EQ(shown_seconds, 7);
    expect_after({4}, 3, 3, nothing);  // its screen again: not reloaded
    expect_after({4}, 3, 3, {"au_pause"});
    expect_after({4}, 3, 3, {"au_start"});
    EXPECT_EQ(shown_seconds, 7);
    // Another module plays, and the time runs again from 0:00.
    expect_after({6}, 5, 5, play_calls("tune05.it", 2, 1));
    EXPECT_EQ(song_ended.load(), 0u);
    fake::advance_time(1000);
    pass();
    EXPECT_EQ(shown_seconds, 1);
}

TEST_F(Player, CodesWithoutALinkChangeNothing) {
    for (int32_t song : {-1, 3}) {
        if (song == 3) {
            click(4);
            click(4);  // paused
        }
        for (int32_t code : {0, 19, 20, 100, 255}) {
            uint32_t paused_at = pause_start;
            expect_after({code}, song == -1 ? 0 : 3, song, nothing);
            EXPECT_EQ(pause_start, paused_at) << code;
        }
    }
}

struct mapped_click {
    int32_t client_width, client_height;
    int32_t x, y;
    int32_t screen;  // shown after the click
};

// The mouse position is in client pixels; the frame is stretched over the
// client area, so the position is scaled to the frame before the map is read.
TEST_F(Player, AClickIsReadWhereThePictureShowsUnderIt) {
    const mapped_click cases[] = {
        {660, 300, 630, 10, 15},    // greetings' corner
        {1320, 600, 1260, 20, 15},  // the same spot, stretched twice
        {1320, 600, 630, 10, 0},    // where the corner would be unstretched
        {330, 150, 315, 5, 15},     // shrunk
        {1280, 1024, 1250, 50, 15},
        {660, 300, 700, 10, 0},    // right of the map: not the next row's link
        {660, 300, 65535, 10, 0},  // left of the window while the button is held
        {660, 300, 10, 300, 0},    // below the map
        {0, 0, 630, 10, 0},        // minimised
    };
    for (const mapped_click& c : cases) {
        reset_player();
        fake::window()->client = os_rect{0, 0, c.client_width, c.client_height};
        click_at(c.x, c.y);
        EXPECT_EQ(cur_screen, c.screen)
            << c.client_width << "x" << c.client_height << " at " << c.x << "," << c.y;
    }
}

TEST_F(Player, EscapeEndsTheLoopAfterThePassIsPresented) {
    pass();
    s_keys[VK_ESCAPE] = 1;
    EXPECT_FALSE(player_pass());
    EXPECT_EQ(fake::presents(), 2);
}

// The thread's whole life on this thread: the click latched before it starts
// plays song 2, Escape is already down, and the exit sequence closes the
// window, whose destruction shuts the program down.
TEST_F(Player, OnEscapeTheThreadStopsTheAudioAndClosesTheWindow) {
    s_keys[VK_ESCAPE] = 1;
    s_mousex = 3;
    s_mousey = code_row;
    s_clicked = 1;
    EXPECT_EQ(player_thread(nullptr), 0u);
    std::vector<std::string> expected = {"au_getversion",    "au_init -1 44100 0 window",
                                         "au_stop",          "au_musicplay 1",  // the click
                                         "au_stop",          "au_free",
                                         "sendmessage 16",  // the exit
                                         "destroywindow",    "stopthread",
                                         "au_stop",          "au_free",
                                         "postquitmessage 0"};
    std::vector<std::string> story =
        fake::calls_of({"au_getversion", "au_init", "au_musicplay", "au_stop", "au_free",
                        "sendmessage", "destroywindow", "stopthread", "postquitmessage"});
    story.erase(story.begin(), story.begin() + 2);  // music_init of SetUp
    EXPECT_EQ(story, expected);
    EXPECT_EQ(cur_song, 2);
}

struct start_failure {
    const char* fail;
    const char* message;
};

TEST_F(Player, TheAudioLibraryMustStart) {
    const start_failure cases[] = {
        {"au_getversion", "korvite system panic: bass version 0.8 was not loaded"},
        {"au_init", "korvite system panic: bass: can't initialize device"},
    };
    for (const start_failure& c : cases)
        EXPECT_EXIT((fake::fail(c.fail), music_init()), ::testing::ExitedWithCode(1), c.message)
            << c.fail;
}

TEST_F(Player, AModuleThatDoesNotLoadIsFatalWithItsName) {
    fake::set_module("tune05.it", -1);
    EXPECT_EXIT(click(6), ::testing::ExitedWithCode(1),
                "korvite system panic: bass: can't play file tune05.it");
}

}  // namespace
