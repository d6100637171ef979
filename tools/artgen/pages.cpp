// tools/artgen/pages.cpp -- the intro and the module information screen.
#include <cmath>
#include <cstdio>
#include <string>

#include "app/title.h"
#include "tools/artgen/frame.h"
#include "tools/artgen/screens.h"
#include "tools/artgen/text.h"

namespace {

// Night sky, raster bars swinging behind the headline and a chequered floor
// running to the horizon.
void intro_background(canvas& c) {
    const float horizon = 236;
    paint(c, stage, [&](float x, float y) {
        if (y < horizon) {
            rgb sky = gradient({ramp_colour(ramp::indigo, 0.04f), ramp_colour(ramp::indigo, 0.16f),
                                ramp_colour(ramp::violet, 0.3f), ramp_colour(ramp::sunset, 0.42f)},
                               y / horizon);
            return sky;
        }
        // The floor: squares of 40 world units seen from 60 units up.
        float depth = 60 * 120 / (y - horizon + 0.001f);
        float wx = (x - stage_centre) * depth / 120;
        bool dark = (static_cast<int>(std::floor(wx / 40)) + static_cast<int>(depth / 40)) & 1;
        float fade = clamp01((y - horizon) / 64);
        rgb square = dark ? ramp_colour(ramp::violet, 0.12f) : ramp_colour(ramp::magenta, 0.46f);
        return mix(ramp_colour(ramp::sunset, 0.35f), square, fade);
    });
    stars(c, {stage_left, 0, screen_width - stage_left, 150}, 140, 11, 0.85f);
    glow(c, stage_centre, horizon, 170, ramp_colour(ramp::sunset, 0.7f), 0.35f);
    // Raster bars: each a rounded band of one ramp, lit in its middle.
    const ramp bars[] = {ramp::red,  ramp::orange, ramp::gold,  ramp::green,
                         ramp::cyan, ramp::blue,   ramp::violet};
    for (int i = 0; i < 7; i++) {
        float centre = 68 + i * 7.0f;
        paint_over(c, {stage_left, static_cast<int>(centre) - 8, screen_width - stage_left, 17},
                   [&, i](float x, float y) {
                       float wave = centre + 2.5f * std::sin((x - stage_left) / 55 + i * 0.8f);
                       float d = std::fabs(y - wave) / 3.5f;
                       if (d >= 1) return rgba{{}, 0};
                       rgb col = ramp_colour(bars[i], 0.9f - 0.6f * d * d);
                       float edge =
                           clamp01((x - stage_left) / 60) * clamp01((screen_width - x) / 20);
                       return rgba{col, 0.9f * (1 - d * d * d) * edge};
                   });
    }
    // A dark ribbon across the bars for the title line to stand on.
    paint_over(c, {stage_left, 78, screen_width - stage_left, 20}, [](float x, float y) {
        float edge = clamp01((x - stage_left) / 30) * clamp01((screen_width - x) / 10);
        float soft = clamp01(std::min(y - 78, 98 - y) / 2);
        return rgba{ramp_colour(ramp::indigo, 0.03f), 0.82f * edge * soft};
    });
}

}  // namespace

void draw_intro(canvas& c, ramp accent) {
    intro_background(c);
    heading(c, accent, "WELCOME TO THE DISK", "Twelve tunes");
    style headline{face::sans_bold, 15, ink_colour(1)};
    draw_text_shadowed(c, headline, stage_centre, 91, title_line, align::centre, 0.95f);

    area panel = {182, 110, 460, 150};
    text_panel(c, panel, 0.8f);
    style caption{face::sans_bold, 8, ramp_colour(accent, 0.85f)};
    caption.tracking = 1.8f;
    draw_text(c, caption, panel.x + 14, panel.y + 20, "HOW TO USE THIS DISK");
    const char* lines[] = {
        "Pick a song in the list on the left: it plays from its beginning.",
        "Click the playing song's entry again to pause it, once more to go on.",
        "\u25C0 order and order \u25B6 step the playing song one order back or on.",
        "The play time counts how long the song has played, pauses left out.",
        "Module info, credits and greetings keep the music going; a screen's",
        "own entry takes you back to the song that is playing.",
        "Press Escape to leave the disk.",
    };
    style body{face::sans, 10.5f, ink_colour(0.9f)};
    style bullet{face::sans_bold, 10.5f, ramp_colour(accent, 0.8f)};
    float y = panel.y + 40;
    for (size_t i = 0; i < sizeof lines / sizeof lines[0]; i++) {
        bool continued = i == 5;
        if (!continued) draw_text(c, bullet, panel.x + 16, y, "\u203A");
        draw_text(c, body, panel.x + 28, y, lines[i]);
        y += 15.5f;
    }
}

namespace {

// Blueprint paper: a blue ground, a fine grid and a coarse one, and a faint
// waveform running through.
void modinfo_background(canvas& c) {
    paint(c, stage, [](float x, float y) {
        float t = 0.16f + 0.1f * (1 - y / screen_height) + 0.04f * std::sin(x / 90);
        rgb ground = ramp_colour(ramp::blue, t);
        int gx = static_cast<int>(x - stage_left), gy = static_cast<int>(y);
        float line = 0;
        if (gx % 12 == 0 || gy % 12 == 0) line = 0.08f;
        if (gx % 60 == 0 || gy % 60 == 0) line = 0.16f;
        float wave = 150 + 40 * std::sin((x - stage_left) / 37) * std::sin((x - stage_left) / 131);
        float near = clamp01(1 - std::fabs(y - wave) / 1.6f) * 0.25f;
        return mix(ground, ramp_colour(ramp::cyan, 0.8f), line + near);
    });
}

}  // namespace

void draw_modinfo(canvas& c, const std::vector<tune_info>& tunes, ramp accent) {
    modinfo_background(c);
    heading(c, accent, "MODULE INFORMATION", "The modules");

    area panel = {176, 74, 474, 218};
    text_panel(c, panel, 0.82f);
    struct column {
        const char* name;
        float x;
        align a;
    };
    const column columns[] = {
        {"NO", 186, align::left},        {"TITLE", 208, align::left},
        {"STYLE", 322, align::left},     {"TIME", 432, align::right},
        {"ORDERS", 480, align::right},   {"PATTERNS", 536, align::right},
        {"CHANNELS", 592, align::right}, {"TEMPO", 638, align::right},
    };
    style head{face::sans_bold, 7, ramp_colour(accent, 0.85f)};
    head.tracking = 1.2f;
    for (const column& col : columns) draw_text(c, head, col.x, panel.y + 17, col.name, col.a);
    paint_over(c, {panel.x + 8, panel.y + 23, panel.w - 16, 1}, [&](float, float) {
        return rgba{ramp_colour(accent, 0.6f), 0.7f};
    });

    style number{face::mono_bold, 9.5f, ramp_colour(accent, 0.8f)};
    style title{face::sans_bold, 10, ink_colour(0.97f)};
    style plain{face::sans, 9.5f, ink_colour(0.78f)};
    style figure{face::sans, 9.5f, ink_colour(0.9f)};
    int total = 0;
    for (size_t i = 0; i < tunes.size(); i++) {
        const tune_info& t = tunes[i];
        float y = panel.y + 39 + 14.5f * i;
        if (i % 2 == 0)
            paint_over(c, {panel.x + 8, static_cast<int>(y) - 10, panel.w - 16, 14},
                       [](float, float) {
                           return rgba{ink_colour(0.3f), 0.18f};
                       });
        char text[16];
        snprintf(text, sizeof text, "%02d", t.number);
        draw_text(c, number, columns[0].x, y, text);
        draw_text(c, title, columns[1].x, y, t.title);
        draw_text(c, plain, columns[2].x, y, t.style);
        draw_text(c, figure, columns[3].x, y, minutes_seconds(t.seconds), align::right);
        const int values[] = {t.orders, t.patterns, t.channels, t.tempo};
        for (int k = 0; k < 4; k++) {
            snprintf(text, sizeof text, "%d", values[k]);
            draw_text(c, figure, columns[4 + k].x, y, text, align::right);
        }
        total += t.seconds;
    }
    style foot{face::sans, 8.5f, ink_colour(0.6f)};
    std::string summary = "Impulse Tracker modules, " + minutes_seconds(total) +
                          " of music in all. Times are as the play time counts them.";
    draw_text(c, foot, panel.x + 12, panel.y + panel.h - 9, summary);
}
