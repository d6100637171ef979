// tools/artgen/canvas.cpp -- the true-colour surface and its primitives.
#include "tools/artgen/canvas.h"

#include <algorithm>
#include <cmath>

rgb operator+(rgb a, rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

rgb operator*(rgb a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}

rgb mix(rgb a, rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

rgb hex(uint32_t v) {
    return {static_cast<float>(v >> 16 & 0xFF), static_cast<float>(v >> 8 & 0xFF),
            static_cast<float>(v & 0xFF)};
}

canvas::canvas(int w, int h, rgb fill)
    : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}

void canvas::blend(int x, int y, rgb colour, float alpha) {
    if (x < 0 || y < 0 || x >= width || y >= height || alpha <= 0) return;
    rgb& p = at(x, y);
    p = mix(p, colour, std::min(alpha, 1.0f));
}

namespace {

// Four sample points in a rotated grid: smoother edges than a 2 x 2 grid at
// the same cost.
constexpr float samples[4][2] = {
    {0.375f, 0.125f}, {0.875f, 0.375f}, {0.625f, 0.875f}, {0.125f, 0.625f}};

area clipped(const canvas& c, area a) {
    int x0 = std::max(a.x, 0), y0 = std::max(a.y, 0);
    int x1 = std::min(a.x + a.w, c.width), y1 = std::min(a.y + a.h, c.height);
    return {x0, y0, std::max(x1 - x0, 0), std::max(y1 - y0, 0)};
}

}  // namespace

void paint(canvas& c, area where, const shader& s) {
    area a = clipped(c, where);
    for (int y = a.y; y < a.y + a.h; y++)
        for (int x = a.x; x < a.x + a.w; x++) {
            rgb sum;
            for (const auto& p : samples) sum = sum + s(x + p[0], y + p[1]);
            c.at(x, y) = sum * 0.25f;
        }
}

void paint_over(canvas& c, area where, const overlay_shader& s) {
    area a = clipped(c, where);
    for (int y = a.y; y < a.y + a.h; y++)
        for (int x = a.x; x < a.x + a.w; x++) {
            rgb sum;
            float alpha = 0;
            for (const auto& p : samples) {
                rgba v = s(x + p[0], y + p[1]);
                sum = sum + v.colour * v.alpha;
                alpha += v.alpha;
            }
            if (alpha > 0) c.blend(x, y, sum * (1 / alpha), alpha * 0.25f);
        }
}

void fill_shape(canvas& c, area bounds, const std::function<float(float, float)>& distance,
                rgb colour, float alpha) {
    area a = clipped(c, bounds);
    for (int y = a.y; y < a.y + a.h; y++)
        for (int x = a.x; x < a.x + a.w; x++) {
            float cover = clamp01(0.5f - distance(x + 0.5f, y + 0.5f));
            if (cover > 0) c.blend(x, y, colour, cover * alpha);
        }
}

float sd_circle(float x, float y, float cx, float cy, float r) {
    return std::hypot(x - cx, y - cy) - r;
}

float sd_box(float x, float y, area a, float radius) {
    float hw = a.w * 0.5f, hh = a.h * 0.5f;
    float dx = std::fabs(x - (a.x + hw)) - (hw - radius);
    float dy = std::fabs(y - (a.y + hh)) - (hh - radius);
    float outside = std::hypot(std::max(dx, 0.0f), std::max(dy, 0.0f));
    return outside + std::min(std::max(dx, dy), 0.0f) - radius;
}

float sd_segment(float x, float y, float x0, float y0, float x1, float y1, float half_width) {
    float vx = x1 - x0, vy = y1 - y0;
    float len2 = vx * vx + vy * vy;
    float t = len2 > 0 ? clamp01(((x - x0) * vx + (y - y0) * vy) / len2) : 0;
    return std::hypot(x - (x0 + t * vx), y - (y0 + t * vy)) - half_width;
}

float sd_triangle(float x, float y, float ax, float ay, float bx, float by, float cx, float cy) {
    float turn = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax) > 0 ? 1.0f : -1.0f;
    auto edge = [&](float px, float py, float qx, float qy) {
        float ex = qx - px, ey = qy - py;
        return turn * ((x - px) * ey - (y - py) * ex) / std::hypot(ex, ey);
    };
    return std::max({edge(ax, ay, bx, by), edge(bx, by, cx, cy), edge(cx, cy, ax, ay)});
}

rgb gradient(const std::vector<rgb>& stops, float t) {
    if (stops.size() == 1) return stops[0];
    float p = clamp01(t) * static_cast<float>(stops.size() - 1);
    size_t i = std::min(static_cast<size_t>(p), stops.size() - 2);
    return mix(stops[i], stops[i + 1], p - static_cast<float>(i));
}

int bayer8(int x, int y) {
    // Interleaves the bits of x ^ y and y, highest pair first.
    int v = 0, a = x ^ y, b = y;
    for (int bit = 2; bit >= 0; bit--) {
        v = v << 2 | (a >> (2 - bit) & 1) << 1 | (b >> (2 - bit) & 1);
    }
    return v;
}

float hash01(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^
                 seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return static_cast<float>(h >> 8) * (1.0f / 16777216.0f);
}

float value_noise(float x, float y, uint32_t seed) {
    int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    float fx = x - xi, fy = y - yi;
    float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    float top = hash01(xi, yi, seed) + (hash01(xi + 1, yi, seed) - hash01(xi, yi, seed)) * sx;
    float bottom =
        hash01(xi, yi + 1, seed) + (hash01(xi + 1, yi + 1, seed) - hash01(xi, yi + 1, seed)) * sx;
    return top + (bottom - top) * sy;
}

float fractal_noise(float x, float y, uint32_t seed, int octaves) {
    float sum = 0, weight = 0.5f, total = 0;
    for (int o = 0; o < octaves; o++) {
        sum += value_noise(x, y, seed + o) * weight;
        total += weight;
        x *= 2.03f;
        y *= 2.03f;
        weight *= 0.5f;
    }
    return sum / total;
}

float clamp01(float v) {
    return std::min(std::max(v, 0.0f), 1.0f);
}

float smoothstep(float edge0, float edge1, float v) {
    float t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}
