// draw_time over a frame of the test's own: where the text stands, how its
// glyphs are copied, and which time it shows in each playback state, on the
// fake backend's clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/player.h"
#include "app/playtime.h"
#include "app/startup.h"
#include "platform/fake/fake.h"
#include "video/display.h"

namespace {

constexpr uint16_t background = 0xBEEF;

std::vector<uint16_t> frame, palette;
std::vector<uint8_t> font;

// A font of distinct indices with the font's background, index 0, in every
// third pixel; the palette gives index i the colour 0x4000 + i.
void prepare() {
    fake::reset();
    font.resize(84 * 12);
    for (size_t i = 0; i < font.size(); ++i) font[i] = i % 3 == 0 ? 0 : 1 + i % 200;
    palette.resize(256);
    for (uint16_t i = 0; i < 256; ++i) palette[i] = 0x4000 + i;
    frame.assign(660 * 300, background);
    v_buffer = reinterpret_cast<uint8_t*>(frame.data());
    v_width = 660;
    digits = font.data();
    pal16 = palette.data();
    cur_song = -1;
    song_ended = 0;
    time_start = pause_start = pause_total = 0;
    shown_seconds = 0;
}

struct box {
    int32_t left = 660, top = 300, right = -1, bottom = -1;  // inclusive
};

box changed() {
    box b;
    for (int32_t y = 0; y < 300; ++y)
        for (int32_t x = 0; x < 660; ++x)
            if (frame[y * 660 + x] != background) {
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.top = std::min(b.top, y);
                b.bottom = std::max(b.bottom, y);
            }
    return b;
}

// The frame with text spelled in the font from left to right, ending at
// column 510, over the background; the count of pixels that differ.
int64_t differences(const std::string& text) {
    std::vector<uint16_t> want(frame.size(), background);
    int32_t x = 514 - 8 * static_cast<int32_t>(text.size());
    for (char c : text) {
        int32_t width = c == ':' ? 4 : 8, first = c == ':' ? 80 : 8 * (c - '0');
        for (int32_t r = 0; r < 12; ++r)
            for (int32_t k = 0; k < width; ++k)
                want[(38 + r) * 660 + x + k] = palette[font[r * 84 + first + k]];
        x += width;
    }
    int64_t wrong = 0;
    for (size_t i = 0; i < frame.size(); ++i) wrong += frame[i] != want[i];
    return wrong;
}

TEST(PlayTime, BeforeAnySongItShowsNoughtInItsBox) {
    prepare();
    fake::set_time(123456);
    draw_time();
    box b = changed();
    EXPECT_EQ(b.left, 482);
    EXPECT_EQ(b.right, 509);
    EXPECT_EQ(b.top, 38);
    EXPECT_EQ(b.bottom, 49);
    // Opaque: the font's background replaced the picture under it.
    EXPECT_EQ(differences("0:00"), 0);
    EXPECT_EQ(frame[38 * 660 + 482], palette[0]);
}

struct time_case {
    uint32_t elapsed_ms;
    const char* text;
    int32_t first_column;
};

TEST(PlayTime, TheTextIsRightAlignedWhateverItsLength) {
    const time_case cases[] = {
        {999, "0:00", 482},
        {1000, "0:01", 482},
        {59999, "0:59", 482},
        {60000, "1:00", 482},
        {599999, "9:59", 482},
        {600000, "10:00", 474},
        {3599000, "59:59", 474},
        {6000000, "100:00", 466},
        {4294967295u, "71582:47", 450},  // the largest count the clock gives
    };
    for (const time_case& c : cases) {
        prepare();
        cur_song = 4;
        time_start = 1000;
        fake::set_time(1000 + c.elapsed_ms);  // the largest wraps round to 999
        draw_time();
        EXPECT_EQ(differences(c.text), 0) << c.text;
        box b = changed();
        EXPECT_EQ(b.left, c.first_column) << c.text;
        EXPECT_EQ(b.right, 509) << c.text;
    }
}

// Whole seconds are the milliseconds times 0.001, truncated: the same as
// dividing by 1000 on both sides of every second's boundary.
TEST(PlayTime, WholeSecondsAreTheMillisecondsDividedDown) {
    prepare();
    cur_song = 1;
    for (uint32_t k = 1; k < 4294967; k += 4099) {
        for (uint32_t ms : {1000 * k - 1, 1000 * k}) {
            fake::set_time(ms);
            draw_time();
            ASSERT_EQ(shown_seconds, static_cast<int32_t>(ms / 1000)) << ms;
        }
    }
}

struct state_case {
    const char* state;
    int32_t song;
    uint32_t ended, start, paused_at, paused_total, now;
    int32_t shown_before;
    const char* text;
};

TEST(PlayTime, EachPlaybackStateShowsItsTime) {
    const state_case cases[] = {
        {"no song", -1, 0, 0, 0, 0, 100000, 0, "0:00"},
        {"playing", 2, 0, 1000, 0, 0, 76000, 0, "1:15"},
        {"playing after pauses", 2, 0, 1000, 0, 5000, 50000, 0, "0:44"},
        {"paused", 2, 0, 1000, 30000, 0, 90000, 0, "0:29"},
        {"paused after pauses", 2, 0, 1000, 30000, 4000, 90000, 0, "0:25"},
        {"ended", 2, 1, 1000, 0, 0, 900000, 75, "1:15"},
        {"ended while paused", 2, 1, 1000, 30000, 0, 900000, 12, "0:12"},
        {"started on this pass", 2, 0, 64000, 0, 0, 64000, 42, "0:00"},
    };
    for (const state_case& c : cases) {
        prepare();
        cur_song = c.song;
        song_ended = c.ended;
        time_start = c.start;
        pause_start = c.paused_at;
        pause_total = c.paused_total;
        shown_seconds = c.shown_before;
        fake::set_time(c.now);
        draw_time();
        EXPECT_EQ(differences(c.text), 0) << c.state;
    }
}

TEST(PlayTime, TheLastTimeStandsOnceTheSongHasEnded) {
    prepare();
    cur_song = 7;
    time_start = 1000;
    fake::set_time(21500);
    draw_time();
    song_ended = 1;
    fake::advance_time(100000);
    draw_time();
    EXPECT_EQ(shown_seconds, 20);
    EXPECT_EQ(differences("0:20"), 0);
}

}  // namespace
