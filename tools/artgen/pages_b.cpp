// tools/artgen/pages_b.cpp -- the credits and the greetings.
#include <cmath>
#include <cstdio>
#include <string>

#include "tools/artgen/frame.h"
#include "tools/artgen/screens.h"
#include "tools/artgen/text.h"

namespace {

// A tracker's pattern view, faint, as the paper the credits are printed on.
void pattern_texture(canvas& c, ramp accent) {
    style cell{face::mono, 8, ramp_colour(accent, 0.7f), 0.13f};
    const char* notes[] = {"C-5", "D#5", "F-5", "G-4", "A#4", "C-6", "===", "..."};
    for (int row = 0; row < 30; row++) {
        float y = 10 + row * 10.0f;
        for (int ch = 0; ch < 5; ch++) {
            float x = stage_left + 12 + ch * 98.0f;
            float h = hash01(row, ch, 77);
            std::string text;
            if (h < 0.45f) {
                text = "... .. .. ...";
            } else {
                char buf[32];
                snprintf(buf, sizeof buf, "%s %02d %02d %c%02X",
                         notes[static_cast<int>(h * 97) % 8], 1 + static_cast<int>(h * 53) % 12,
                         static_cast<int>(h * 641) % 64, "ADGHJ"[static_cast<int>(h * 31) % 5],
                         static_cast<int>(h * 911) % 256);
                text = buf;
            }
            cell.alpha = (row % 4 == 0 ? 0.2f : 0.12f);
            draw_text(c, cell, x, y, text);
        }
    }
}

void credits_background(canvas& c, ramp accent) {
    paint(c, stage, [](float x, float y) {
        float d = std::hypot((x - 470) / 300, (y - 120) / 220);
        return gradient({ramp_colour(ramp::violet, 0.3f), ramp_colour(ramp::violet, 0.14f),
                         ramp_colour(ramp::indigo, 0.05f)},
                        d);
    });
    pattern_texture(c, accent);
    // A record's grooves in the lower right, catching the light.
    float cx = 620, cy = 268;
    paint_over(c, {440, 90, 220, 210}, [&](float x, float y) {
        float r = std::hypot(x - cx, y - cy);
        if (r > 170) return rgba{{}, 0};
        float angle = std::atan2(y - cy, x - cx);
        float groove = 0.5f + 0.5f * std::sin(r * 1.9f);
        float shine = std::pow(std::fabs(std::cos(angle * 1 + 0.6f)), 8.0f);
        rgb col = mix(ramp_colour(ramp::violet, 0.08f), ramp_colour(ramp::violet, 0.55f),
                      groove * 0.25f + shine * 0.5f);
        if (r < 34) col = ramp_colour(accent, 0.45f + 0.1f * std::sin(angle * 3));
        if (r < 4) col = ramp_colour(ramp::violet, 0.05f);
        return rgba{col, clamp01(170 - r) * 0.9f};
    });
}

struct credit {
    const char* role;
    const char* what;
};

void credit_block(canvas& c, ramp accent, float x, float y, const char* caption_text,
                  const credit* items, int count, float pitch) {
    style caption{face::sans_bold, 8, ramp_colour(accent, 0.85f)};
    caption.tracking = 1.8f;
    draw_text(c, caption, x, y, caption_text);
    style role{face::sans_bold, 10.5f, ink_colour(1)};
    style what{face::sans, 9, ink_colour(0.72f)};
    for (int i = 0; i < count; i++) {
        float top = y + 22 + pitch * i;
        draw_text(c, role, x, top, items[i].role);
        draw_text(c, what, x, top + 12.5f, items[i].what);
    }
}

}  // namespace

void draw_credits(canvas& c, ramp accent) {
    credits_background(c, accent);
    heading(c, accent, "CREDITS", "Built in the open");
    area left = {176, 76, 204, 216}, right = {388, 76, 262, 216};
    text_panel(c, left, 0.66f);
    text_panel(c, right, 0.66f);
    const credit roles[] = {
        {"Code", "the engine, the player, the tools"},
        {"Music", "twelve modules composed in code"},
        {"Instruments", "every sample synthesised"},
        {"Graphics", "screens and font drawn by a program"},
        {"Made by", "the korvite developers"},
    };
    credit_block(c, accent, left.x + 12, left.y + 18, "ROLES", roles, 5, 32);
    const credit libraries[] = {
        {"SDL2", "window, input and sound \u00B7 zlib licence"},
        {"libopenmpt", "plays the modules \u00B7 BSD licence"},
        {"giflib", "writes the pictures \u00B7 MIT licence"},
        {"FreeType", "draws the type \u00B7 FreeType licence"},
        {"DejaVu fonts", "the letters on every screen \u00B7 free licence"},
        {"GoogleTest, Google Benchmark, Xvfb", "testing and measuring"},
    };
    credit_block(c, accent, right.x + 12, right.y + 18, "BUILT ON", libraries, 6, 30.5f);
    style thanks{face::serif_italic, 9.5f, ramp_colour(accent, 0.8f)};
    draw_text(c, thanks, left.x + 12, left.y + left.h - 12, "thanks to all who share their code");
}

namespace {

// Sound rings spreading from a bright point, over a magenta dusk.
void greetings_background(canvas& c) {
    const float cx = 600, cy = 262;
    paint(c, stage, [&](float x, float y) {
        float d = std::hypot(x - cx, (y - cy) * 1.2f);
        rgb ground = gradient({ramp_colour(ramp::magenta, 0.5f), ramp_colour(ramp::magenta, 0.3f),
                               ramp_colour(ramp::violet, 0.18f), ramp_colour(ramp::indigo, 0.08f)},
                              d / 520);
        float ring = std::pow(0.5f + 0.5f * std::cos(d / 9.0f), 12.0f) * clamp01(1 - d / 480);
        return mix(ground, ramp_colour(ramp::magenta, 0.8f), ring * 0.3f);
    });
    glow(c, cx, cy, 90, ramp_colour(ramp::magenta, 0.92f), 0.55f);
    stars(c, stage, 120, 23, 0.9f);
    // Sparkles: four-pointed stars.
    for (int i = 0; i < 14; i++) {
        float x = stage_left + 20 + hash01(i, 1, 5) * 460, y = 80 + hash01(i, 2, 5) * 210;
        float size = 3 + 5 * hash01(i, 3, 5);
        fill_shape(
            c,
            {static_cast<int>(x - size) - 1, static_cast<int>(y - size) - 1,
             static_cast<int>(2 * size) + 3, static_cast<int>(2 * size) + 3},
            [&](float px, float py) {
                float dx = std::fabs(px - x), dy = std::fabs(py - y);
                return std::sqrt(dx) + std::sqrt(dy) - std::sqrt(size);
            },
            ramp_colour(ramp::gold, 0.95f), 0.5f);
    }
}

}  // namespace

void draw_greetings(canvas& c, ramp accent) {
    greetings_background(c);
    heading(c, accent, "GREETINGS", "Hello, everyone");
    struct line {
        face f;
        float size;
        float light;
        const char* text;
    };
    const line lines[] = {
        {face::serif_italic, 11, 0.85f, "warm greetings go out"},
        {face::sans_bold, 13, 1.0f, "to every tracker musician,"},
        {face::serif_italic, 11, 0.85f, "from a first pattern to a thousandth"},
        {face::sans_bold, 13, 1.0f, "to the demo groups and their coders,"},
        {face::sans_bold, 13, 1.0f, "pixel artists and musicians"},
        {face::serif_italic, 11, 0.85f, "to everyone who carries a computer to a party"},
        {face::serif_italic, 11, 0.85f, "and stays up until the competitions end"},
        {face::sans_bold, 13, 1.0f, "to the keepers of the module archives"},
        {face::serif_italic, 11, 0.85f, "and to those who write trackers and share them"},
        {face::sans_bold, 15, 1.0f, "and to you, for listening"},
    };
    float y = 88;
    for (const line& l : lines) {
        style s{l.f, l.size, mix(ramp_colour(ramp::magenta, 0.9f), ink_colour(1), l.light)};
        y += l.size * 0.95f;  // down to this line's baseline
        draw_text_shadowed(c, s, stage_centre, y, l.text, align::centre, 0.75f);
        y += l.size * 0.62f;
    }
}
