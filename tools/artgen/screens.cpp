// tools/artgen/screens.cpp -- putting a screen together; the song pages'
// words; the shared brushes.
#include "tools/artgen/screens.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

#include "tools/artgen/frame.h"
#include "tools/artgen/text.h"

namespace {

constexpr ramp accents[screen_pictures] = {
    ramp::sunset, ramp::gold,   ramp::cyan,   ramp::magenta, ramp::blue,  ramp::gold,
    ramp::orange, ramp::indigo, ramp::violet, ramp::mint,    ramp::green, ramp::orange,
    ramp::sunset, ramp::cyan,   ramp::violet, ramp::magenta,
};

// The words of a song's page: its number and style, its title, a card with
// what the piece is, what the module holds and how to work it, and its
// number large in the corner.
void draw_song_words(canvas& c, const tune_info& t, ramp accent) {
    char number[8];
    snprintf(number, sizeof number, "%02d", t.number);
    style big{face::sans_light, 120, ink_colour(1), 0.22f};
    draw_text(c, big, 652, 292, number, align::right);

    std::string head = "SONG " + std::string(number) + " OF 12  \u00B7  ";
    for (char ch : t.style) head += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    heading(c, accent, head, t.title);

    char facts[128];
    snprintf(facts, sizeof facts,
             "%s  \u00B7  %d orders  \u00B7  %d patterns  \u00B7  %d channels  \u00B7  tempo %d",
             minutes_seconds(t.seconds).c_str(), t.orders, t.patterns, t.channels, t.tempo);
    const char* how = "Click it in the list again to pause or resume; \u25C0 order \u25B6 steps.";
    style line{face::sans, 10, ink_colour(0.92f)};
    style fact{face::sans_bold, 9, ramp_colour(accent, 0.8f)};
    style hint{face::sans, 8.5f, ink_colour(0.62f)};
    // The card is as wide as its longest line.
    float widest =
        std::max({text_width(line, t.description), text_width(fact, facts), text_width(hint, how)});
    area card = {176, 226, static_cast<int>(std::ceil(widest)) + 22, 64};
    text_panel(c, card, 0.72f);
    draw_text(c, line, card.x + 11, card.y + 17, t.description);
    draw_text(c, fact, card.x + 11, card.y + 34, facts);
    draw_text(c, hint, card.x + 11, card.y + 51, how);
}

}  // namespace

void heading(canvas& c, ramp accent, const std::string& caption_text,
             const std::string& title_text) {
    const float left = 179, room = 200;  // the transport panel starts at x 388
    paint_over(c, {stage_left, 0, 240, 80}, [](float x, float y) {
        float d = std::hypot((x - 250) / 150, (y - 40) / 42);
        return rgba{{2, 4, 10}, 0.45f * clamp01(1 - d)};
    });
    style caption{face::sans_bold, 8, ramp_colour(accent, 0.85f)};
    caption.tracking = 1.8f;
    draw_text_shadowed(c, caption, left + 1, 30, caption_text, align::left, 0.8f);
    style title{face::condensed_bold, 27, ink_colour(1)};
    while (title.size > 16 && text_width(title, title_text) > room) title.size -= 0.5f;
    draw_text_shadowed(c, title, left, 60, title_text, align::left, 0.85f);
}

ramp screen_accent(int screen) {
    return accents[screen];
}

canvas draw_screen(int screen, const std::vector<tune_info>& tunes) {
    canvas c(screen_width, screen_height, ink_colour(0));
    ramp accent = screen_accent(screen);
    if (screen == 0) {
        draw_intro(c, accent);
    } else if (screen <= 12) {
        draw_scene(c, screen);
        draw_song_words(c, tunes[screen - 1], accent);
    } else if (screen == 13) {
        draw_modinfo(c, tunes, accent);
    } else if (screen == 14) {
        draw_credits(c, accent);
    } else {
        draw_greetings(c, accent);
    }
    draw_frame(c, screen, tunes, accent);
    return c;
}

void draw_scene(canvas& c, int song) {
    if (song <= 6)
        draw_scene_a(c, song);
    else
        draw_scene_b(c, song);
}

void glow(canvas& c, float cx, float cy, float radius, rgb colour, float strength) {
    int r = static_cast<int>(std::ceil(radius));
    area a = {static_cast<int>(cx) - r, static_cast<int>(cy) - r, 2 * r + 2, 2 * r + 2};
    for (int y = a.y; y < a.y + a.h; y++)
        for (int x = a.x; x < a.x + a.w; x++) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
            if (d < 1) c.blend(x, y, colour, strength * (1 - d) * (1 - d));
        }
}

void stars(canvas& c, area where, int count, uint32_t seed, float brightness) {
    for (int i = 0; i < count; i++) {
        float x = where.x + hash01(i, 1, seed) * where.w;
        float y = where.y + hash01(i, 2, seed) * where.h;
        float b = brightness * (0.3f + 0.7f * hash01(i, 3, seed));
        rgb tint = mix(rgb{255, 255, 255}, rgb{190, 210, 255}, hash01(i, 4, seed));
        c.blend(static_cast<int>(x), static_cast<int>(y), tint, b);
        if (hash01(i, 5, seed) > 0.9f) {  // a few bright ones with a small cross
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                c.blend(static_cast<int>(x) + dx, static_cast<int>(y) + dy, tint, b * 0.45f);
        }
    }
}

void text_panel(canvas& c, area a, float opacity) {
    fill_shape(
        c, {a.x - 3, a.y - 3, a.w + 8, a.h + 8},
        [&](float x, float y) {
            return sd_box(x, y, {a.x + 2, a.y + 2, a.w, a.h}, 7) - 1;
        },
        {0, 0, 4}, opacity * 0.4f);
    fill_shape(
        c, a, [&](float x, float y) { return sd_box(x, y, a, 6); }, ink_colour(0.03f), opacity);
    fill_shape(
        c, a, [&](float x, float y) { return std::fabs(sd_box(x, y, a, 6) + 0.5f) - 0.5f; },
        ink_colour(0.5f), opacity * 0.45f);
}
