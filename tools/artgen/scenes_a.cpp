// tools/artgen/scenes_a.cpp -- the pictures of songs 1 to 6: a pixel-art
// sunrise, glassy tide, neon circuits, a city at the blue hour, a carousel
// and a caravan crossing the dunes.
#include <cmath>
#include <vector>

#include "tools/artgen/frame.h"
#include "tools/artgen/screens.h"

namespace {

// Song 1: a sunrise in big pixels, with banded sky and checkered seams
// between the bands, as drawn by hand on an old machine.
void pixel_sunrise(canvas& c) {
    const int block = 4;
    const float horizon = 188;
    const struct {
        ramp r;
        int l;
    } bands[] = {{ramp::blue, 6},    {ramp::blue, 7},    {ramp::blue, 8},    {ramp::blue, 9},
                 {ramp::sunset, 9},  {ramp::sunset, 10}, {ramp::sunset, 11}, {ramp::orange, 10},
                 {ramp::orange, 11}, {ramp::orange, 12}};
    const int band_count = sizeof bands / sizeof bands[0];
    auto hill = [](float x, float base, float a, float f, float phase) {
        return base -
               a * (0.6f * std::sin(x * f + phase) + 0.4f * std::sin(x * f * 2.3f + phase * 1.7f));
    };
    paint(c, stage, [&](float x, float y) {
        int bx = static_cast<int>(x) / block, by = static_cast<int>(y) / block;
        float cx = bx * block + 2.0f, cy = by * block + 2.0f;
        // Sky bands, each band seven blocks high, the last row of each a
        // checker of it and the next.
        float rows = horizon / block;
        float pos = cy / block / rows * band_count;
        int b = std::min(static_cast<int>(pos), band_count - 1);
        bool seam = pos - b > 0.86f && ((bx + by) & 1) && b + 1 < band_count;
        rgb col = seam ? level_colour(bands[b + 1].r, bands[b + 1].l)
                       : level_colour(bands[b].r, bands[b].l);
        // The sun, rising behind the far hills: a white core in a gold ring.
        float d = std::hypot(cx - 520, cy - 168);
        if (d < 40) col = d < 32 ? level_colour(ramp::gold, 15) : level_colour(ramp::gold, 13);
        // Clouds: rounded blocks, lit from below.
        for (int k = 0; k < 4; k++) {
            float ox = 250 + k * 105.0f + 30 * std::sin(k * 2.1f),
                  oy = 70 + 30 * std::sin(k * 1.3f);
            float cloud = std::min({std::hypot((cx - ox) / 2.6f, cy - oy) - 9,
                                    std::hypot((cx - ox - 18) / 1.8f, cy - oy + 6) - 9,
                                    std::hypot((cx - ox + 16) / 2.0f, cy - oy + 2) - 7});
            if (cloud < 0)
                col = cy > oy + 2 ? level_colour(ramp::sunset, 13) : level_colour(ramp::grey, 14);
        }
        // Far hills, near hills, the meadow.
        if (cy > hill(cx, horizon - 10, 18, 0.013f, 1.0f)) col = level_colour(ramp::indigo, 8);
        if (cy > hill(cx, horizon + 6, 14, 0.021f, 2.4f)) col = level_colour(ramp::green, 7);
        if (cy > hill(cx, horizon + 40, 10, 0.017f, 4.0f)) col = level_colour(ramp::green, 9);
        if (cy > horizon + 62) col = level_colour(ramp::green, 6);
        // Tufts and flowers on the meadow.
        if (cy > horizon + 20 && hash01(bx, by, 9) > 0.965f)
            col = hash01(bx, by, 10) > 0.5f ? level_colour(ramp::gold, 14)
                                            : level_colour(ramp::magenta, 12);
        return col;
    });
    // A few birds: small pixel chevrons.
    for (int k = 0; k < 3; k++) {
        int x = 430 + k * 22, y = 118 - (k % 2) * 8;
        for (int i = -2; i <= 2; i++) {
            int yy = y - (i < 0 ? -i : i) + 2;
            c.at(x + i * 2, yy) = c.at(x + i * 2 + 1, yy) = level_colour(ramp::indigo, 3);
        }
    }
}

// Song 2: the sea at dawn in layers of glassy waves, crests catching the
// light, glass spheres afloat.
void tidal_glass(canvas& c) {
    const float horizon = 124;
    const int layers = 8;
    auto wave_top = [&](int k, float x) {
        float depth = static_cast<float>(k) / layers;
        float base = horizon + 176 * depth * depth + 6 * k;
        float amp = 1.5f + 7 * depth;
        return base - amp * std::sin(x / (18 + 22 * depth) + k * 1.7f) -
               amp * 0.5f * std::sin(x / (9 + 9 * depth) + k * 0.6f);
    };
    paint(c, stage, [&](float x, float y) {
        if (y < horizon) {
            rgb sky = gradient({level_colour(ramp::indigo, 3), level_colour(ramp::cyan, 6),
                                level_colour(ramp::mint, 10), level_colour(ramp::cyan, 13)},
                               y / horizon);
            float sun = std::hypot(x - 540, (y - horizon) * 1.4f);
            return mix(sky, level_colour(ramp::gold, 14), clamp01(1 - sun / 70) * 0.5f);
        }
        int k = 0;
        while (k + 1 < layers && y > wave_top(k + 1, x)) k++;
        float depth = static_cast<float>(k) / layers;
        float top = wave_top(k, x);
        float inside = clamp01((y - top) / 14);
        rgb body = mix(ramp_colour(ramp::cyan, 0.72f - 0.55f * depth),
                       ramp_colour(ramp::cyan, 0.5f - 0.42f * depth), inside);
        // The crest line and the sun's path on the water.
        float crest = clamp01(1 - (y - top) / (1.2f + depth * 2));
        float path = clamp01(1 - std::fabs(x - 540) / (30 + 140 * depth)) *
                     (0.5f + 0.5f * std::sin(x * 0.9f + y * 0.3f));
        body = mix(body, level_colour(ramp::mint, 14), crest * (0.75f - 0.4f * depth));
        return mix(body, level_colour(ramp::gold, 14), path * 0.35f * (1 - depth));
    });
    const float spheres[][3] = {
        {300, 170, 9}, {585, 200, 16}, {470, 150, 6}, {380, 240, 12}, {630, 150, 5}};
    for (const auto& s : spheres) {
        float sx = s[0], sy = s[1], r = s[2];
        paint_over(c,
                   {static_cast<int>(sx - r) - 2, static_cast<int>(sy - r) - 2,
                    static_cast<int>(2 * r) + 5, static_cast<int>(2 * r) + 5},
                   [&](float x, float y) {
                       float d = std::hypot(x - sx, y - sy) / r;
                       if (d > 1) return rgba{{}, 0};
                       float rim = std::pow(d, 6.0f);
                       float spot = clamp01(1 - std::hypot(x - sx + r * 0.35f, y - sy + r * 0.4f) /
                                                    (r * 0.3f));
                       rgb col = mix(level_colour(ramp::cyan, 9), level_colour(ramp::mint, 15),
                                     rim + spot);
                       return rgba{col, 0.25f + 0.6f * rim + 0.75f * spot};
                   });
    }
}

// Song 3: circuit traces glowing in the dark, on a board of little pads.
void neon_circuit(canvas& c) {
    paint(c, stage, [](float x, float y) {
        rgb ground =
            mix(level_colour(ramp::indigo, 1), level_colour(ramp::violet, 3), y / screen_height);
        int gx = static_cast<int>(x) % 8, gy = static_cast<int>(y) % 8;
        return gx == 4 && gy == 4 ? level_colour(ramp::indigo, 4) : ground;
    });
    struct trace {
        std::vector<std::pair<float, float>> points;
        ramp colour;
    };
    std::vector<trace> traces;
    const int dirs[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    for (int i = 0; i < 34; i++) {
        trace t;
        int gx = 22 + static_cast<int>(hash01(i, 1, 3) * 60),
            gy = static_cast<int>(hash01(i, 2, 3) * 37);
        int dir = (static_cast<int>(hash01(i, 3, 3) * 4) * 2) % 8;
        t.points.push_back({gx * 8.0f + 4, gy * 8.0f + 4});
        for (int seg = 0; seg < 3; seg++) {
            int len = 2 + static_cast<int>(hash01(i, 10 + seg, 3) * 8);
            gx += dirs[dir][0] * len;
            gy += dirs[dir][1] * len;
            t.points.push_back({gx * 8.0f + 4, gy * 8.0f + 4});
            dir = (dir + (hash01(i, 20 + seg, 3) > 0.5f ? 1 : 7)) % 8;
        }
        t.colour = i % 3 == 0 ? ramp::cyan : ramp::magenta;
        traces.push_back(t);
    }
    for (const trace& t : traces) {
        for (size_t k = 0; k + 1 < t.points.size(); k++) {
            auto [x0, y0] = t.points[k];
            auto [x1, y1] = t.points[k + 1];
            area box = {static_cast<int>(std::min(x0, x1)) - 8,
                        static_cast<int>(std::min(y0, y1)) - 8,
                        static_cast<int>(std::fabs(x1 - x0)) + 17,
                        static_cast<int>(std::fabs(y1 - y0)) + 17};
            paint_over(c, box, [&](float x, float y) {
                float d = sd_segment(x, y, x0, y0, x1, y1, 0);
                float core = clamp01(1.4f - d);
                float halo = clamp01(1 - d / 9);
                rgb col = mix(ramp_colour(t.colour, 0.6f), ramp_colour(t.colour, 0.97f), core);
                return rgba{col, std::max(core, halo * halo * 0.45f)};
            });
        }
        for (size_t k : {size_t{0}, t.points.size() - 1}) {
            auto [px, py] = t.points[k];
            fill_shape(
                c, {static_cast<int>(px) - 5, static_cast<int>(py) - 5, 11, 11},
                [&](float x, float y) { return std::fabs(sd_circle(x, y, px, py, 2.6f)) - 0.9f; },
                ramp_colour(t.colour, 0.9f));
        }
    }
    // The chip: a dark package with its legs, a glowing die mark.
    area chip = {470, 130, 96, 64};
    for (int i = 0; i < 8; i++) {
        for (int side : {0, 1}) {
            area leg = {chip.x + 8 + i * 11, side ? chip.y + chip.h : chip.y - 6, 5, 6};
            fill_shape(
                c, leg, [&](float x, float y) { return sd_box(x, y, leg, 1); },
                level_colour(ramp::grey, 10));
        }
    }
    fill_shape(
        c, chip, [&](float x, float y) { return sd_box(x, y, chip, 4); },
        level_colour(ramp::indigo, 2));
    fill_shape(
        c, chip, [&](float x, float y) { return std::fabs(sd_box(x, y, chip, 4) + 1) - 0.6f; },
        level_colour(ramp::magenta, 9), 0.8f);
    glow(c, chip.x + chip.w / 2.0f, chip.y + chip.h / 2.0f, 26, ramp_colour(ramp::cyan, 0.8f),
         0.5f);
}

// Song 4: a city at the blue hour, windows lit, a moon, the river below.
void blue_hour(canvas& c) {
    const float horizon = 226;
    struct building {
        float x0, x1, top;
    };
    std::vector<building> city;
    for (float x = stage_left - 10; x < screen_width;) {
        float w = 16 + hash01(static_cast<int>(x), 1, 4) * 26;
        float h = 36 + std::pow(hash01(static_cast<int>(x), 2, 4), 1.5f) * 110;
        city.push_back({x, x + w, horizon - h});
        x += w + 1 + hash01(static_cast<int>(x), 3, 4) * 4;
    }
    auto skyline = [&](float x, float y, bool& window) {
        window = false;
        for (const building& b : city) {
            if (x < b.x0 || x >= b.x1 || y < b.top) continue;
            int col = static_cast<int>(x - b.x0 - 3) / 5, row = static_cast<int>(y - b.top - 4) / 7;
            float fx = x - b.x0 - 3 - col * 5, fy = y - b.top - 4 - row * 7;
            bool in_grid = x - b.x0 > 3 && b.x1 - x > 3 && y - b.top > 4 && fx < 2.5f && fy < 3.5f;
            window = in_grid && hash01(static_cast<int>(b.x0) * 7 + col, row, 8) > 0.62f;
            return true;
        }
        return false;
    };
    paint(c, stage, [&](float x, float y) {
        float sy = y < horizon ? y : 2 * horizon - y + 2 * std::sin(y * 0.8f + x * 0.05f);
        rgb col = gradient({level_colour(ramp::indigo, 3), level_colour(ramp::blue, 6),
                            level_colour(ramp::indigo, 9), level_colour(ramp::violet, 10),
                            level_colour(ramp::sunset, 10)},
                           sy / horizon);
        float moon = std::hypot(x - 592, sy - 76);
        col = mix(col, level_colour(ramp::indigo, 12), clamp01(1 - moon / 60) * 0.35f);
        bool window;
        if (skyline(x, sy, window))
            col = window ? mix(level_colour(ramp::gold, 12), level_colour(ramp::orange, 11),
                               hash01(int(x) / 5, int(sy) / 7, 2))
                         : mix(level_colour(ramp::indigo, 1), level_colour(ramp::indigo, 3),
                               (horizon - sy) / 160);
        if (y >= horizon)
            col = mix(col, level_colour(ramp::indigo, 2), 0.45f + 0.3f * (y - horizon) / 74);
        return col;
    });
    stars(c, {stage_left, 0, screen_width - stage_left, 90}, 50, 41, 0.7f);
    // The moon: a crescent, the dark part cut by a second circle.
    fill_shape(
        c, {560, 44, 64, 64},
        [](float x, float y) {
            return std::max(sd_circle(x, y, 592, 76, 17), -sd_circle(x, y, 600, 70, 15));
        },
        level_colour(ramp::gold, 14));
}

// Song 5: under a carousel's striped canopy, bulbs along its scalloped rim,
// brass poles and warm lights beyond.
void carousel_waltz(canvas& c) {
    const float ax = 450, ay = -60;
    auto rim = [](float x) { return 112 + 9 * std::fabs(std::sin((x - 164) * 3.14159f / 41)); };
    paint(c, stage, [&](float x, float y) {
        if (y < rim(x)) {
            float angle = std::atan2(x - ax, y - ay);
            bool stripe = static_cast<int>(std::floor(angle * 14)) & 1;
            float shade = clamp01((y - ay) / 190);
            rgb a = stripe ? level_colour(ramp::red, 8) : level_colour(ramp::sand, 14);
            return mix(a * 0.55f, a, shade);
        }
        rgb ground = gradient(
            {level_colour(ramp::red, 3), level_colour(ramp::brown, 2), level_colour(ramp::red, 1)},
            (y - 110) / 190);
        return ground;
    });
    // Lights of the fair beyond, out of focus: soft discs with brighter rims.
    for (int i = 0; i < 22; i++) {
        float x = stage_left + 10 + hash01(i, 1, 6) * 480, y = 140 + hash01(i, 2, 6) * 110;
        float r = 5 + hash01(i, 3, 6) * 12;
        rgb col = ramp_colour(i % 3 ? ramp::gold : ramp::orange, 0.72f + 0.2f * hash01(i, 4, 6));
        float strength = 0.16f + 0.14f * hash01(i, 5, 6);
        paint_over(c,
                   {static_cast<int>(x - r) - 2, static_cast<int>(y - r) - 2,
                    static_cast<int>(2 * r) + 5, static_cast<int>(2 * r) + 5},
                   [&](float px, float py) {
                       float d = std::hypot(px - x, py - y) / r;
                       if (d > 1) return rgba{{}, 0};
                       return rgba{col, strength * (0.7f + 0.5f * std::pow(d, 6.0f))};
                   });
    }
    for (float px : {236.0f, 420.0f, 604.0f}) {
        paint_over(c, {static_cast<int>(px) - 4, 120, 9, 140}, [&](float x, float y) {
            float d = std::fabs(x - px) / 3.5f;
            if (d > 1) return rgba{{}, 0};
            float twist = 0.5f + 0.5f * std::sin((y + x * 2) * 0.5f);
            rgb col = mix(level_colour(ramp::gold, 6), level_colour(ramp::gold, 14),
                          (1 - d * d) * (0.4f + 0.6f * twist));
            return rgba{col, 1};
        });
    }
    // The turning platform: a wooden drum with a brass trim and its lamps.
    auto deck = [](float x) { return 256 + 10 * std::pow((x - 412) / 250, 2.0f); };
    paint_over(c, {stage_left, 250, screen_width - stage_left, 50}, [&](float x, float y) {
        float top = deck(x);
        if (y < top) return rgba{{}, 0};
        if (y < top + 2) return rgba{level_colour(ramp::gold, 13), 1};
        float plank = std::fmod(x + (y - top) * 0.2f, 22) < 1 ? 0.6f : 1.0f;
        return rgba{mix(level_colour(ramp::brown, 5), level_colour(ramp::brown, 2),
                        clamp01((y - top) / 40)) *
                        plank,
                    1};
    });
    for (int i = 0; i < 12; i++) {
        float x = stage_left + 20 + i * 42.0f, y = deck(x) + 9;
        glow(c, x, y, 8, level_colour(ramp::gold, 13), 0.5f);
        fill_shape(
            c, {static_cast<int>(x) - 3, static_cast<int>(y) - 3, 7, 7},
            [&](float px, float py) { return sd_circle(px, py, x, y, 1.8f); },
            level_colour(ramp::gold, 15));
    }
    for (int i = 0; i < 13; i++) {
        float x = stage_left + 20.5f * 2 * i;
        float y = rim(x) - 1;
        glow(c, x, y, 14, level_colour(ramp::gold, 13), 0.6f);
        fill_shape(
            c, {static_cast<int>(x) - 4, static_cast<int>(y) - 4, 9, 9},
            [&](float px, float py) { return sd_circle(px, py, x, y, 2.8f); },
            level_colour(ramp::gold, 15));
    }
}

// Song 6: dunes under a low sun, a caravan walking along a crest.
void desert_caravan(canvas& c) {
    const float horizon = 168;
    auto dune = [](int k, float x) {
        float base = 172 + k * 30.0f;
        return base - (14 + 6 * k) * std::sin(x / (60 + 25 * k) + k * 2.1f) -
               5 * std::sin(x / 23 + k);
    };
    paint(c, stage, [&](float x, float y) {
        rgb col = gradient({level_colour(ramp::sunset, 1), level_colour(ramp::sunset, 5),
                            level_colour(ramp::sunset, 10), level_colour(ramp::sunset, 13),
                            level_colour(ramp::gold, 14)},
                           y / horizon);
        col = mix(col, level_colour(ramp::gold, 15),
                  clamp01(1 - std::hypot(x - 560, y - 160) / 90) * 0.6f);
        if (std::hypot(x - 560, y - 160) < 34) col = level_colour(ramp::gold, 15);
        for (int k = 0; k < 4; k++) {
            float top = dune(k, x);
            if (y < top) continue;
            float slope = (dune(k, x + 1) - dune(k, x - 1)) * 0.5f;
            float lit = clamp01(0.5f - slope * 1.6f);
            float t = 0.62f - 0.12f * k;
            col = mix(ramp_colour(ramp::sand, t - 0.25f), ramp_colour(ramp::sand, t + 0.12f), lit);
            col = mix(col, ramp_colour(ramp::sand, t + 0.3f), clamp01(1 - (y - top) / 1.5f) * lit);
        }
        return col;
    });
    stars(c, {stage_left, 0, screen_width - stage_left, 70}, 40, 61, 0.7f);
    // Camels: body, hump, neck and head, legs mid-stride, in silhouette.
    rgb shade = level_colour(ramp::brown, 1);
    for (int i = 0; i < 4; i++) {
        float cx = 400 + i * 34.0f;
        float ground = dune(1, cx) + 1;
        float s = 1.0f - i * 0.04f;
        auto camel = [&](float x, float y) {
            float u = (x - cx) / s, v = (y - ground) / s;
            float body = std::hypot(u / 1.6f, (v + 17) / 1.0f) - 6;
            float hump = sd_circle(u, v, -1, -22, 5);
            float neck = sd_segment(u, v, 9, -18, 14, -28, 1.8f);
            float head = std::hypot((u - 16.5f) / 1.6f, v + 28.5f) - 2.2f;
            float phase = (i % 2) * 2.0f;
            float legs = 1e9f;
            for (float lx : {-6.0f, -3.0f, 5.0f, 8.0f}) {
                float swing = 2.5f * std::sin(lx + phase);
                legs = std::min(legs, sd_segment(u, v, lx, -14, lx + swing, 0, 1.0f));
            }
            return std::min({body, hump, neck, head, legs}) * s;
        };
        fill_shape(c, {static_cast<int>(cx) - 16, static_cast<int>(ground) - 36, 40, 38}, camel,
                   shade);
    }
}

}  // namespace

void draw_scene_a(canvas& c, int song) {
    switch (song) {
    case 1:
        pixel_sunrise(c);
        break;
    case 2:
        tidal_glass(c);
        break;
    case 3:
        neon_circuit(c);
        break;
    case 4:
        blue_hour(c);
        break;
    case 5:
        carousel_waltz(c);
        break;
    default:
        desert_caravan(c);
        break;
    }
}
