// tools/artgen/frame.cpp -- the screen list, the transport panel and the
// link map.
#include "tools/artgen/frame.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "tools/artgen/text.h"

namespace {

// The list's label of each screen, and the sign in its number column.
std::string list_label(int code, const std::vector<tune_info>& tunes) {
    switch (code) {
    case 1:
        return "Intro";
    case 14:
        return "Module info";
    case 15:
        return "Credits";
    case 16:
        return "Greetings";
    default:
        return tunes[code - 2].title;
    }
}

std::string list_sign(int code) {
    char text[8];
    switch (code) {
    case 1:
        return "\u25C6";  // diamond
    case 14:
        return "\u2261";  // three bars
    case 15:
        return "\u00A9";  // copyright sign
    case 16:
        return "\u2665";  // heart
    default:
        snprintf(text, sizeof text, "%02d", code - 1);
        return text;
    }
}

// The outline of an entry leaves its last row open, so that stacked
// entries stand apart by one row.
area outline_of(int code) {
    area a = link_area(code);
    if (code < step_back) a.h -= 1;
    return a;
}

void draw_sidebar(canvas& c, ramp accent) {
    paint(c, {0, 0, stage_left, screen_height}, [&](float x, float y) {
        rgb base = mix(ink_colour(0.07f), ink_colour(0.015f), y / screen_height);
        // A faint diagonal weave, and the accent glowing behind the name.
        float weave = (static_cast<int>(x + y) % 6 == 0) ? 0.025f : 0;
        float glow = clamp01(1 - std::hypot(x - 30, (y - 18) * 1.6f) / 120) * 0.35f;
        return mix(base + rgb{1, 1, 1} * (weave * 255), ramp_colour(accent, 0.35f), glow * glow);
    });
    // Accent line down the edge and a soft shadow on the stage beside it.
    paint_over(c, {stage_left - 1, 0, 1, screen_height}, [&](float, float y) {
        return rgba{ramp_colour(accent, 0.62f), 0.55f + 0.45f * (1 - y / screen_height)};
    });
    paint_over(c, {stage_left, 0, 10, screen_height}, [](float x, float) {
        float t = (x - stage_left) / 10;
        return rgba{{2, 3, 8}, 0.5f * (1 - t) * (1 - t)};
    });
    style name{face::sans_bold, 22, ink_colour(1)};
    name.tracking = 0.5f;
    float end = draw_text_shadowed(c, name, 13, 28, "korvite");
    fill_shape(
        c, {0, 0, stage_left, 48},
        [&](float x, float y) { return sd_circle(x, y, end + 4, 25.5f, 2.6f); },
        ramp_colour(accent, 0.75f));
    style tag{face::sans_bold, 7, ink_colour(0.6f)};
    tag.tracking = 1.6f;
    draw_text(c, tag, 14, 40, "MUSIC DISK \u00B7 12 TUNES");
    // Rules between the groups of the list.
    for (int y : {64, 247})
        paint_over(c, {10, y, stage_left - 20, 1}, [](float x, float) {
            return rgba{ink_colour(0.4f), 0.55f * clamp01(1 - std::fabs(x - 82) / 80)};
        });
}

void draw_entry(canvas& c, int code, bool current, const std::vector<tune_info>& tunes,
                ramp accent) {
    area o = outline_of(code);
    area face_area = {o.x + 1, o.y + 1, o.w - 2, o.h - 2};
    if (current) {
        paint(c, face_area, [&](float x, float) {
            float t = (x - face_area.x) / face_area.w;
            return mix(ramp_colour(accent, 0.5f), ramp_colour(accent, 0.26f), t);
        });
    } else {
        paint_over(c, face_area, [&](float, float y) {
            float t = (y - face_area.y) / face_area.h;
            return rgba{mix(ink_colour(0.13f), ink_colour(0.08f), t), 0.85f};
        });
    }
    float baseline = static_cast<float>(o.y + 10);
    style sign{code >= 2 && code <= 13 ? face::mono_bold : face::sans_bold, 9.5f,
               current ? ink_colour(1) : ramp_colour(accent, 0.72f)};
    draw_text(c, sign, o.x + 15, baseline, list_sign(code), align::centre);
    style label{current ? face::sans_bold : face::sans, 10.5f,
                current ? ink_colour(1) : ink_colour(0.8f)};
    if (current)
        draw_text_shadowed(c, label, o.x + 27, baseline, list_label(code, tunes), align::left,
                           0.5f);
    else
        draw_text(c, label, o.x + 27, baseline, list_label(code, tunes));
}

void draw_button(canvas& c, int code) {
    area a = link_area(code);
    area face_area = {a.x + 1, a.y + 1, a.w - 2, a.h - 2};
    paint(c, face_area, [&](float, float y) {
        float t = (y - face_area.y) / face_area.h;
        return mix(ink_colour(0.24f), ink_colour(0.1f), t);
    });
    paint_over(c, {face_area.x, face_area.y, face_area.w, 1}, [](float, float) {
        return rgba{ink_colour(0.45f), 0.7f};
    });
    style label{face::sans_bold, 9.5f, ink_colour(0.92f)};
    const char* text = code == step_back ? "\u25C0 order" : "order \u25B6";
    draw_text_shadowed(c, label, a.x + a.w / 2.0f, a.y + 16, text, align::centre, 0.7f);
}

void draw_transport(canvas& c, ramp accent) {
    area panel = {388, 16, 200, 46};
    fill_shape(
        c, {panel.x - 4, panel.y - 4, panel.w + 8, panel.h + 8},
        [&](float x, float y) {
            return sd_box(x, y, {panel.x + 2, panel.y + 3, panel.w, panel.h}, 8);
        },
        {0, 0, 4}, 0.35f);
    fill_shape(
        c, panel, [&](float x, float y) { return sd_box(x, y, panel, 7); },
        mix(ink_colour(0.09f), ink_colour(0.04f), 0.3f), 0.9f);
    fill_shape(
        c, panel, [&](float x, float y) { return std::fabs(sd_box(x, y, panel, 7) + 0.5f) - 0.5f; },
        ink_colour(0.4f), 0.6f);
    style caption{face::sans_bold, 7, ramp_colour(accent, 0.78f)};
    caption.tracking = 1.8f;
    draw_text(c, caption, time_box.x + time_box.w / 2.0f, 29, "PLAY TIME", align::centre);
    // The play-time window: a frame, and inside it the font's background.
    area window = {time_box.x - 4, time_box.y - 3, time_box.w + 8, time_box.h + 6};
    paint(c, {window.x - 1, window.y - 1, window.w + 2, window.h + 2},
          [](float, float) { return ink_colour(0.32f); });
    paint(c, window, [](float, float) { return ink_colour(0); });
    for (int code : {step_back, step_forward}) draw_button(c, code);
}

void outline(indexed& p, area a) {
    for (int x = a.x + 1; x < a.x + a.w - 1; x++) {
        p.at(x, a.y) = edge_index;
        p.at(x, a.y + a.h - 1) = edge_index;
    }
    for (int y = a.y + 1; y < a.y + a.h - 1; y++) {
        p.at(a.x, y) = edge_index;
        p.at(a.x + a.w - 1, y) = edge_index;
    }
}

// A small triangle pointing at the entry, near its right end.
void marker(indexed& p, area a) {
    int left = a.x + a.w - 11, middle = a.y + a.h / 2;
    for (int r = -3; r <= 3; r++)
        for (int k = 0; k <= 3 - (r < 0 ? -r : r); k++) p.at(left + k, middle + r) = marker_index;
}

}  // namespace

void draw_frame(canvas& c, int screen, const std::vector<tune_info>& tunes, ramp accent) {
    draw_sidebar(c, accent);
    for (int code = 1; code <= screen_pictures; code++)
        draw_entry(c, code, code == screen + 1, tunes, accent);
    draw_transport(c, accent);
}

void finish_frame(indexed& p, int screen) {
    for (int code = 1; code <= link_count; code++) outline(p, outline_of(code));
    marker(p, outline_of(screen + 1));
    for (int y = time_box.y; y < time_box.y + time_box.h; y++)
        for (int x = time_box.x; x < time_box.x + time_box.w; x++) p.at(x, y) = font_background;
}

indexed draw_links() {
    indexed map{screen_width, screen_height,
                std::vector<uint8_t>(static_cast<size_t>(screen_width) * screen_height, 0)};
    for (int code = 1; code <= link_count; code++) {
        area a = link_area(code);
        for (int y = a.y; y < a.y + a.h; y++)
            for (int x = a.x; x < a.x + a.w; x++) map.at(x, y) = static_cast<uint8_t>(code);
    }
    return map;
}
