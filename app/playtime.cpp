// app/playtime.cpp -- the play-time display.
#include "app/playtime.h"

#include <cstdio>

#include "app/player.h"
#include "app/startup.h"
#include "system/sys.h"
#include "video/display.h"

int32_t shown_seconds = 0;

namespace {

// The text's place: its top row, and 514 less 8 per character for its first
// column, so that the one colon (4 wide, the rest 8) ends it at column 510.
constexpr int32_t top_row = 38, first_column_base = 514;
// The digit font: glyphs side by side in rows of 84 pixels, 12 rows used.
constexpr int32_t font_row = 84, glyph_rows = 12;

struct glyph {
    int32_t width, column;  // its width and first column in the font
};

glyph glyph_of(char c) {
    if (c == ':') return glyph{4, 80};
    return glyph{8, 8 * (c - '0')};
}

void update_seconds() {
    if (cur_song == -1 || song_ended.load(std::memory_order_relaxed) != 0) return;
    uint32_t end = pause_start != 0 ? pause_start : s_gettime();
    uint32_t elapsed = end - time_start - pause_total;  // wraps with the clock
    shown_seconds = static_cast<int32_t>(elapsed * 0.001);
}

// Opaque: the font's background replaces the picture under it.
void draw_glyph(uint16_t* frame, int32_t x, glyph g) {
    for (int32_t r = 0; r < glyph_rows; ++r) {
        uint16_t* out = frame + (top_row + r) * v_width + x;
        const uint8_t* in = digits + r * font_row + g.column;
        for (int32_t k = 0; k < g.width; ++k) out[k] = pal16[in[k]];
    }
}

}  // namespace

void draw_time() {
    update_seconds();
    char text[16];
    int32_t length = snprintf(text, sizeof text, "%d:%02d", shown_seconds / 60, shown_seconds % 60);
    auto* frame = reinterpret_cast<uint16_t*>(v_buffer);
    int32_t x = first_column_base - 8 * length;
    for (int32_t i = 0; i < length; ++i) {
        glyph g = glyph_of(text[i]);
        draw_glyph(frame, x, g);
        x += g.width;
    }
}
