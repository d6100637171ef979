// tools/artgen/scenes_b.cpp -- the pictures of songs 7 to 12: rain on a
// window, a highway at midnight, a harbour, a clockwork garden, a lantern
// festival and the road home.
#include <cmath>
#include <vector>

#include "tools/artgen/frame.h"
#include "tools/artgen/screens.h"

namespace {

area around(float x, float y, float r) {
    return {static_cast<int>(x - r) - 1, static_cast<int>(y - r) - 1, static_cast<int>(2 * r) + 3,
            static_cast<int>(2 * r) + 3};
}

// Song 7: the city blurred behind a wet window: soft lights, streaks of
// rain, drops on the glass.
void quiet_rain(canvas& c) {
    paint(c, stage, [](float x, float y) {
        float n = fractal_noise(x / 60, y / 60, 71, 3);
        return gradient({level_colour(ramp::blue, 3), level_colour(ramp::indigo, 5),
                         level_colour(ramp::blue, 5), level_colour(ramp::indigo, 3)},
                        clamp01(y / screen_height * 0.85f + n * 0.25f));
    });
    // Lights of the street, blurred: mostly cool, a few warm and fainter,
    // so that they mix with the blue without grain.
    const ramp lights[] = {ramp::blue, ramp::cyan, ramp::indigo, ramp::blue, ramp::sand};
    for (int i = 0; i < 34; i++) {
        float x = stage_left + hash01(i, 1, 7) * 500, y = 60 + hash01(i, 2, 7) * 220;
        float r = 5 + hash01(i, 3, 7) * 18;
        bool warm = i % 5 == 4;
        rgb col = ramp_colour(lights[i % 5], warm ? 0.6f : 0.72f);
        float strength = warm ? 0.16f : 0.24f;
        paint_over(c, around(x, y, r), [&](float px, float py) {
            float d = std::hypot(px - x, py - y) / r;
            return rgba{col, d < 1 ? strength * (1 - std::pow(d, 8.0f)) : 0};
        });
    }
    for (int i = 0; i < 150; i++) {
        float x = stage_left + hash01(i, 1, 8) * 520, y = hash01(i, 2, 8) * 300;
        float len = 8 + hash01(i, 3, 8) * 26;
        float alpha = 0.12f + 0.25f * hash01(i, 4, 8);
        float x1 = x - len * 0.18f, y1 = y + len;
        paint_over(c,
                   {static_cast<int>(std::min(x, x1)) - 2, static_cast<int>(y) - 2,
                    static_cast<int>(std::fabs(x - x1)) + 5, static_cast<int>(len) + 5},
                   [&](float px, float py) {
                       float d = sd_segment(px, py, x, y, x1, y1, 0.35f);
                       return rgba{level_colour(ramp::blue, 13), clamp01(0.5f - d) * alpha};
                   });
    }
    for (int i = 0; i < 40; i++) {
        float x = stage_left + 8 + hash01(i, 1, 9) * 480, y = 8 + hash01(i, 2, 9) * 284;
        float r = 1.5f + std::pow(hash01(i, 3, 9), 2.0f) * 4;
        paint_over(c, around(x, y, r + 1), [&](float px, float py) {
            float d = std::hypot(px - x, py - y) / r;
            if (d > 1) return rgba{{}, 0};
            float below = clamp01((py - y) / r);
            float spark =
                clamp01(1 - std::hypot(px - x + r * 0.35f, py - y + r * 0.35f) / (r * 0.35f));
            rgb col =
                mix(level_colour(ramp::blue, 12), level_colour(ramp::indigo, 2), below * 0.7f);
            return rgba{mix(col, {255, 255, 255}, spark), 0.55f + 0.4f * spark};
        });
    }
}

// Song 8: a highway running to the horizon at midnight, hills lit from
// below, a car's tail lights far ahead.
void midnight_highway(canvas& c) {
    const float horizon = 156, vx = 470;
    paint(c, stage, [&](float x, float y) {
        if (y < horizon) {
            rgb sky = gradient({level_colour(ramp::violet, 1), level_colour(ramp::violet, 3),
                                level_colour(ramp::magenta, 6), level_colour(ramp::sunset, 9)},
                               y / horizon);
            float hills = horizon - 22 - 16 * std::sin(x / 47) - 9 * std::sin(x / 19 + 1) -
                          12 * std::exp(-std::pow((x - 300) / 50, 2.0f));
            if (y > hills) {
                float rim = clamp01(1 - (y - hills) / 2);
                return mix(level_colour(ramp::violet, 2), level_colour(ramp::magenta, 10),
                           rim * 0.8f);
            }
            return sky;
        }
        float dy = y - horizon + 0.5f;
        float z = 900 / dy;             // distance along the road
        float wx = (x - vx) * z / 200;  // metres across it
        float fade = clamp01(dy / 40);
        rgb col = level_colour(ramp::violet, 1);
        float grid_x = std::fabs(wx / 12 - std::round(wx / 12));
        float grid_z = std::fabs(z / 10 - std::round(z / 10));
        // Distances to the nearest grid lines in pixels; rows of lines closer
        // than a few pixels near the horizon fade out instead of merging.
        float across = grid_x * 12 * 200 / z, along = grid_z * 10 * dy * dy / 900;
        float spacing = 10 * dy * dy / 900;
        float line = std::max(clamp01(1 - across / 1.5f),
                              clamp01(1 - along / 0.9f) * clamp01((spacing - 2) / 6));
        col = mix(col, level_colour(ramp::magenta, 9), line * 0.7f * fade);
        if (std::fabs(wx) < 7) {
            col = mix(level_colour(ramp::indigo, 1), level_colour(ramp::indigo, 3), fade);
            if (std::fabs(std::fabs(wx) - 6.6f) < 0.16f) col = level_colour(ramp::magenta, 11);
            bool dash = std::fmod(z, 9) < 4 && std::fabs(wx) < 0.18f;
            if (dash) col = mix(col, level_colour(ramp::gold, 13), clamp01(dy / 12));
        }
        return mix(level_colour(ramp::sunset, 8), col, clamp01(dy / 6));
    });
    stars(c, {stage_left, 0, screen_width - stage_left, 110}, 90, 81, 0.8f);
    // The car far ahead: a dark body with two red lights.
    const float cy = 178;
    const area car = {static_cast<int>(vx) - 10, static_cast<int>(cy) - 6, 20, 8};
    fill_shape(
        c, {car.x - 4, car.y - 2, car.w + 8, car.h + 4},
        [&](float x, float y) { return sd_box(x, y, car, 2); }, level_colour(ramp::indigo, 0));
    for (float lx : {vx - 7, vx + 7}) {
        glow(c, lx, cy - 2, 12, level_colour(ramp::red, 10), 0.6f);
        fill_shape(
            c, around(lx, cy - 2, 3),
            [&](float x, float y) { return sd_circle(x, y, lx, cy - 2, 1.6f); },
            level_colour(ramp::red, 13));
    }
}

// Song 9: a harbour on a bright morning: lighthouse, jetty, boats, gulls.
void harbour_jig(canvas& c) {
    const float horizon = 176;
    paint(c, stage, [&](float x, float y) {
        if (y < horizon) {
            rgb sky = gradient({level_colour(ramp::blue, 8), level_colour(ramp::blue, 10),
                                level_colour(ramp::blue, 12), level_colour(ramp::cyan, 13)},
                               y / horizon);
            float cloud = smoothstep(0.52f, 0.72f, fractal_noise(x / 70, y / 22, 91, 4)) *
                          clamp01((150 - y) / 60);
            return mix(sky, level_colour(ramp::grey, 14), cloud * 0.85f);
        }
        float t = (y - horizon) / (screen_height - horizon);
        rgb sea = gradient(
            {level_colour(ramp::mint, 9), level_colour(ramp::cyan, 7), level_colour(ramp::blue, 5)},
            t);
        // Glints: noise stretched flat, finer towards the horizon.
        float glint = fractal_noise(x / (10 + 30 * t), y / (1 + 5 * t), 93, 3);
        return mix(sea, level_colour(ramp::mint, 14),
                   smoothstep(0.6f, 0.72f, glint) * (0.9f - 0.5f * t));
    });
    // The lighthouse on its rocks.
    fill_shape(
        c, {540, 186, 120, 50},
        [](float x, float y) {
            return std::min(std::hypot((x - 600) / 3.0f, y - 214) - 11,
                            std::hypot((x - 630) / 2.2f, y - 212) - 9);
        },
        level_colour(ramp::brown, 4));
    paint_over(c, {584, 96, 34, 112}, [](float x, float y) {
        float half = 8 + (y - 100) * 0.045f;
        if (std::fabs(x - 600) > half || y < 104) return rgba{{}, 0};
        bool red = static_cast<int>((y - 104) / 17) % 2 == 0;
        float shade = 0.7f + 0.3f * (1 - (x - 600 + half) / (2 * half));
        return rgba{(red ? level_colour(ramp::red, 8) : level_colour(ramp::grey, 14)) * shade, 1};
    });
    fill_shape(
        c, {588, 86, 26, 20},
        [](float x, float y) {
            return sd_box(x, y, {592, 92, 17, 12}, 2);
        },
        level_colour(ramp::gold, 14));
    fill_shape(
        c, {586, 80, 30, 14},
        [](float x, float y) { return sd_triangle(x, y, 600.5f, 81, 588.5f, 92, 612.5f, 92); },
        level_colour(ramp::red, 5));
    glow(c, 600, 98, 40, level_colour(ramp::gold, 15), 0.45f);
    // The jetty: planks on posts.
    paint_over(c, {164, 196, 190, 40}, [](float x, float y) {
        bool deck = y > 198 && y < 204 && x < 350;
        bool post = y >= 204 && y < 232 && std::fmod(x - 170, 34) < 4;
        if (!deck && !post) return rgba{{}, 0};
        return rgba{deck ? level_colour(ramp::brown, 7) : level_colour(ramp::brown, 3), 1};
    });
    // Two boats: hull, mast and two sails.
    for (int i = 0; i < 2; i++) {
        float bx = 430 + i * 85.0f, by = 198 + i * 10.0f, s = 1 - i * 0.2f;
        area box = {int(bx) - 26, int(by) - 52, 54, 60};
        fill_shape(
            c, box,
            [&](float x, float y) {
                float u = (x - bx) / s, v = (y - by) / s;
                return std::max({v - 6, -v, std::fabs(u) - 20 + v * 1.2f}) * s;
            },
            i ? level_colour(ramp::red, 6) : level_colour(ramp::brown, 6));
        fill_shape(
            c, box,
            [&](float x, float y) {
                float u = (x - bx) / s, v = (y - by) / s;
                return sd_segment(u, v, 0, 0, 0, -44, 0.7f) * s;
            },
            level_colour(ramp::brown, 3));
        fill_shape(
            c, box,
            [&](float x, float y) {
                float u = (x - bx) / s, v = (y - by) / s;
                float main = sd_triangle(u, v, 1.5f, -42, 1.5f, -4, 19, -4);
                float jib = sd_triangle(u, v, -1.5f, -38, -1.5f, -5, -15, -5);
                return std::min(main, jib) * s;
            },
            level_colour(ramp::grey, 14));
    }
    for (int i = 0; i < 5; i++) {
        float gx = 300 + hash01(i, 1, 12) * 220, gy = 70 + hash01(i, 2, 12) * 60,
              w = 5 + hash01(i, 3, 12) * 3;
        fill_shape(
            c, around(gx, gy, w + 2),
            [&](float x, float y) {
                float left =
                    std::fabs(sd_circle(x, y, gx - w * 0.5f, gy + w * 0.45f, w * 0.55f)) - 0.6f;
                float right =
                    std::fabs(sd_circle(x, y, gx + w * 0.5f, gy + w * 0.45f, w * 0.55f)) - 0.6f;
                return y > gy + w * 0.35f ? 9.0f : std::min(left, right);
            },
            level_colour(ramp::grey, 3));
    }
}

// A gear's outline by angle: teeth as a rounded square wave round the rim.
float sd_gear(float x, float y, float cx, float cy, float r, int teeth, float turn) {
    float dx = x - cx, dy = y - cy;
    float d = std::hypot(dx, dy);
    float a = std::atan2(dy, dx) + turn;
    float wave = smoothstep(-0.3f, 0.3f, std::sin(a * teeth));
    float rim = r + wave * r * 0.14f;
    float hub = r * 0.22f - d;
    float outer = d - rim;
    // Spokes: six windows cut between hub and rim.
    float spoke = std::fabs(std::sin(a * 3));
    float window = std::max({r * 0.35f - d, d - r * 0.72f, 0.3f - spoke * r * 0.25f});
    return std::max({outer, hub, -window});
}

// Song 10: brass gears turning in a garden of leaves and small flowers.
void clockwork_garden(canvas& c) {
    paint(c, stage, [](float x, float y) {
        float n = fractal_noise(x / 28, y / 28, 101, 4);
        float leaf = smoothstep(0.45f, 0.7f, n);
        return mix(gradient({level_colour(ramp::green, 2), level_colour(ramp::green, 4),
                             level_colour(ramp::green, 2)},
                            y / screen_height),
                   level_colour(ramp::green, 6), leaf * 0.6f);
    });
    struct gear {
        float x, y, r;
        int teeth;
        float turn;
    };
    const gear gears[] = {{520, 120, 62, 16, 0.1f},
                          {606, 212, 40, 11, 0.3f},
                          {420, 210, 34, 10, 0.0f},
                          {360, 110, 26, 8, 0.5f},
                          {640, 70, 30, 9, 0.2f}};
    for (const gear& g : gears) {
        float reach = g.r * 1.2f + 2;
        fill_shape(
            c, around(g.x + 3, g.y + 4, reach),
            [&](float x, float y) {
                return sd_gear(x, y, g.x + 3, g.y + 4, g.r, g.teeth, g.turn) - 1;
            },
            level_colour(ramp::green, 0), 0.5f);
        paint_over(c, around(g.x, g.y, reach), [&](float x, float y) {
            float d = sd_gear(x, y, g.x, g.y, g.r, g.teeth, g.turn);
            if (d > 0) return rgba{{}, 0};
            float light = clamp01(0.5f + ((g.x - x) + (g.y - y)) / (g.r * 2.8f));
            rgb col = mix(level_colour(ramp::gold, 5), level_colour(ramp::gold, 13), light);
            float edge = clamp01(1 + d / 1.5f);
            return rgba{mix(col, level_colour(ramp::gold, 15), edge * light * 0.7f), 1};
        });
    }
    // Vines with leaves, and flowers.
    for (int v = 0; v < 3; v++) {
        float base = 170 + v * 45.0f;
        auto stem = [&](float x) { return base + 18 * std::sin(x / 50 + v * 2); };
        for (float x = stage_left; x < screen_width; x += 6) {
            float x0 = x + v * 7, x1 = x0 + 6;
            fill_shape(
                c,
                {static_cast<int>(x0) - 2, static_cast<int>(std::min(stem(x0), stem(x1))) - 2, 10,
                 8},
                [&](float px, float py) {
                    return sd_segment(px, py, x0, stem(x0), x1, stem(x1), 0.7f);
                },
                level_colour(ramp::green, 5));
        }
        for (int i = 0; i < 24; i++) {
            float x = stage_left + i * 21.0f + v * 7;
            float y = base + 18 * std::sin(x / 50 + v * 2);
            float angle = (i % 2 ? 0.7f : -0.7f) + std::sin(x / 13);
            float ca = std::cos(angle), sa = std::sin(angle);
            fill_shape(
                c, around(x, y, 10),
                [&](float px, float py) {
                    float u = (px - x) * ca + (py - y) * sa - 4, w = -(px - x) * sa + (py - y) * ca;
                    return (std::hypot(u / 2.2f, w) - 2.6f) * 1.5f;
                },
                level_colour(ramp::green, 8 + (i + v) % 3));
            if (hash01(i, v, 13) > 0.8f) {
                for (int p = 0; p < 5; p++) {
                    float a = p * 1.2566f;
                    float fx = x + 3.2f * std::cos(a), fy = y - 6 + 3.2f * std::sin(a);
                    fill_shape(
                        c, around(fx, fy, 3),
                        [&](float px, float py) { return sd_circle(px, py, fx, fy, 2.1f); },
                        level_colour(v % 2 ? ramp::magenta : ramp::gold, 13));
                }
                fill_shape(
                    c, around(x, y - 6, 2),
                    [&](float px, float py) { return sd_circle(px, py, x, y - 6, 1.4f); },
                    level_colour(ramp::orange, 10));
            }
        }
    }
}

// Song 11: paper lanterns rising into the night, the near ones large and
// bright, the far ones small and dim.
void lantern_festival(canvas& c) {
    paint(c, stage, [](float x, float y) {
        rgb sky = gradient({level_colour(ramp::indigo, 1), level_colour(ramp::indigo, 3),
                            level_colour(ramp::violet, 5), level_colour(ramp::sunset, 6)},
                           y / screen_height);
        float hills = 262 - 14 * std::sin(x / 60) - 8 * std::sin(x / 23);
        return y > hills ? level_colour(ramp::indigo, 1) : sky;
    });
    stars(c, {stage_left, 0, screen_width - stage_left, 160}, 110, 111, 0.75f);
    for (int i = 0; i < 36; i++) {
        float depth = hash01(i, 1, 14);
        float s = 4 + depth * depth * 15;
        float x = stage_left + 10 + hash01(i, 2, 14) * 480, y = 24 + hash01(i, 3, 14) * 226;
        if (x < 400 && y < 80) continue;  // the heading's corner stays clear
        float bright = 0.45f + 0.55f * depth;
        // The glow follows the sunset ramp, which runs from the violet of the
        // sky to the lanterns' orange, so that it blends without grain.
        glow(c, x, y, s * 3, ramp_colour(ramp::sunset, 0.45f + 0.2f * depth), 0.3f * bright);
        area box = {static_cast<int>(x - s) - 2, static_cast<int>(y - s * 1.4f) - 2,
                    static_cast<int>(2 * s) + 5, static_cast<int>(2.8f * s) + 5};
        paint_over(c, box, [&](float px, float py) {
            float u = (px - x) / (s * 0.85f), v = (py - y) / (s * 1.3f);
            float body = std::hypot(u * (1 + 0.3f * v * v), v) - 1;
            if (body > 0) return rgba{{}, 0};
            float core = clamp01(1 - std::hypot(u * 1.1f, v + 0.15f));
            rgb col = mix(level_colour(ramp::orange, 8), level_colour(ramp::gold, 14), core);
            if (std::fabs(v) > 0.84f) col = level_colour(ramp::red, 3);  // the rims
            return rgba{mix(level_colour(ramp::sunset, 3), col, bright), 1};
        });
    }
}

// Song 12: the way home at dusk, over rolling hills to a lit window.
void homeward(canvas& c) {
    auto hill = [](int k, float x) {
        return 150 + k * 34.0f - (12 + 4 * k) * std::sin(x / (70 - 8 * k) + k * 1.9f) -
               5 * std::sin(x / 21 + k * 3);
    };
    const float door = hill(1, 516) + 1;  // the path ends at the house
    paint(c, stage, [&](float x, float y) {
        rgb col = gradient({level_colour(ramp::blue, 5), level_colour(ramp::indigo, 9),
                            level_colour(ramp::sunset, 12), level_colour(ramp::gold, 14)},
                           clamp01(y / 160));
        for (int k = 0; k < 4; k++) {
            if (y < hill(k, x)) continue;
            float haze = 1 - k / 3.0f;
            rgb near = mix(level_colour(ramp::green, 5 - k), level_colour(ramp::green, 7 - k),
                           clamp01((y - hill(k, x)) / 30));
            col = mix(near, level_colour(ramp::indigo, 8), haze * 0.55f);
        }
        // The path winds up from the foot of the picture to the house.
        float t = clamp01((300 - y) / (300 - door));
        float px = 400 + 89.7f * t + 40 * std::sin(t * 7);
        float half = 1 + 16 * (1 - t) * (1 - t);
        if (y > door && std::fabs(x - px) < half)
            col = mix(level_colour(ramp::sand, 9), level_colour(ramp::sand, 12), t);
        return col;
    });
    stars(c, {stage_left, 0, screen_width - stage_left, 60}, 30, 121, 0.6f);
    // The house on the hill, its window lit, smoke from the chimney.
    float hx = 516, hy = hill(1, 516) + 2;
    rgb dark = level_colour(ramp::brown, 1);
    fill_shape(
        c, {int(hx) - 20, int(hy) - 36, 40, 40},
        [&](float x, float y) {
            float walls = sd_box(x, y, {int(hx) - 12, int(hy) - 16, 24, 17}, 0);
            float roof = sd_triangle(x, y, hx, hy - 30, hx - 16, hy - 15, hx + 16, hy - 15);
            float chimney = sd_box(x, y, {int(hx) + 5, int(hy) - 30, 4, 10}, 0);
            return std::min({walls, roof, chimney});
        },
        dark);
    fill_shape(
        c, {int(hx) - 8, int(hy) - 13, 10, 10},
        [&](float x, float y) {
            return sd_box(x, y, {int(hx) - 6, int(hy) - 11, 6, 6}, 0);
        },
        level_colour(ramp::gold, 14));
    glow(c, hx - 3, hy - 8, 22, level_colour(ramp::gold, 13), 0.4f);
    for (int i = 0; i < 6; i++)
        glow(c, hx + 7 + i * 3.0f, hy - 34 - i * 6.0f, 4 + i * 1.5f, level_colour(ramp::grey, 12),
             0.3f);
    // Trees along the hills: round crowns on short trunks.
    for (int i = 0; i < 9; i++) {
        float tx = stage_left + 30 + i * 55.0f + hash01(i, 1, 15) * 20;
        int k = 1 + i % 2;
        float ty = hill(k, tx) + 2, r = 6 + hash01(i, 2, 15) * 6;
        fill_shape(
            c, {int(tx) - int(r) - 2, int(ty - 3 * r) - 2, int(2 * r) + 5, int(3 * r) + 4},
            [&](float x, float y) {
                return std::min(sd_circle(x, y, tx, ty - 1.8f * r, r),
                                sd_segment(x, y, tx, ty, tx, ty - r, 1.2f));
            },
            mix(level_colour(ramp::green, 2), level_colour(ramp::indigo, 3), 0.4f));
    }
}

}  // namespace

void draw_scene_b(canvas& c, int song) {
    switch (song) {
    case 7:
        quiet_rain(c);
        break;
    case 8:
        midnight_highway(c);
        break;
    case 9:
        harbour_jig(c);
        break;
    case 10:
        clockwork_garden(c);
        break;
    case 11:
        lantern_festival(c);
        break;
    default:
        homeward(c);
        break;
    }
}
