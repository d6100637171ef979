// tools/artgen/palette.cpp -- the shared palette and the quantiser.
//
// Layout: 0 black; 1..30 the ink ramp; 31..45 the grey ramp (black is its
// darkest level); 46..253 thirteen hue ramps of sixteen levels; 254 and 255
// the kept button colours.
#include "tools/artgen/palette.h"

#include <array>
#include <cmath>
#include <unordered_map>

namespace {

struct ramp_def {
    int first, levels;
    std::vector<rgb> stops;  // evenly spaced, dark to light
};

const std::vector<ramp_def>& ramps() {
    static const std::vector<ramp_def> table = [] {
        std::vector<ramp_def> t;
        t.push_back({1, ink_levels, {hex(0x0B1220), hex(0xEAF3FF)}});
        t.push_back({31, 15, {hex(0x141414), hex(0xFFFFFF)}});
        const std::vector<std::vector<uint32_t>> hues = {
            {0x030818, 0x0E2A6A, 0x2F6AD0, 0x9CC8FF, 0xF0F8FF},  // blue
            {0x02141A, 0x075660, 0x16A6B0, 0x7AE8E8, 0xEAFFFF},  // cyan
            {0x041008, 0x124A1C, 0x3A9A34, 0xA0DC6A, 0xF2FFE0},  // green
            {0x1A1002, 0x6A4608, 0xC89018, 0xF8D860, 0xFFFBE6},  // gold
            {0x1C0800, 0x6E2404, 0xD8600E, 0xFFA850, 0xFFF0DC},  // orange
            {0x180206, 0x620A14, 0xC0202C, 0xF87868, 0xFFE4DE},  // red
            {0x18021A, 0x5E0A4E, 0xC0208E, 0xF078C8, 0xFFE6F6},  // magenta
            {0x0E0620, 0x3A1670, 0x7A40C8, 0xC4A0F4, 0xF6EEFF},  // violet
            {0x05061A, 0x141A4E, 0x2E3A96, 0x7A88DC, 0xE4E8FF},  // indigo
            {0x1A0E06, 0x5C3A1C, 0xA87440, 0xE8C08A, 0xFFF4E2},  // sand
            {0x160A2E, 0x561A66, 0xC0344E, 0xF88A3A, 0xFFE890},  // sunset
            {0x021410, 0x0A4A3A, 0x1A9A74, 0x70DCB0, 0xE6FFF4},  // mint
            {0x0E0806, 0x3A2416, 0x6E4A30, 0xAA8262, 0xECDCC8},  // brown
        };
        int first = 46;
        for (const auto& h : hues) {
            ramp_def d{first, ramp_levels, {}};
            for (uint32_t v : h) d.stops.push_back(hex(v));
            t.push_back(d);
            first += ramp_levels;
        }
        return t;
    }();
    return table;
}

const ramp_def& def(ramp r) {
    return ramps()[static_cast<size_t>(r)];
}

// The kept colours: a muted blue-grey outline and a warm light marker.
constexpr uint32_t edge_colour = 0x3A4A68, marker_colour = 0xFFEEA8;

std::vector<uint8_t> build() {
    std::vector<uint8_t> p(768, 0);
    auto put = [&](int i, rgb c) {
        p[3 * i] = static_cast<uint8_t>(std::lround(c.r));
        p[3 * i + 1] = static_cast<uint8_t>(std::lround(c.g));
        p[3 * i + 2] = static_cast<uint8_t>(std::lround(c.b));
    };
    for (const ramp_def& d : ramps())
        for (int level = 0; level < d.levels; level++)
            put(d.first + level, gradient(d.stops, level / float(d.levels - 1)));
    put(edge_index, hex(edge_colour));
    put(marker_index, hex(marker_colour));
    return p;
}

// Colour distance with the eye's weights: green counts most, blue least.
float distance2(const float* a, const float* b) {
    float dr = a[0] - b[0], dg = a[1] - b[1], db = a[2] - b[2];
    return 2 * dr * dr + 4 * dg * dg + 3 * db * db;
}

// How one colour is shown: entry low, and entry high on the share of the
// dither thresholds below share (0..64).
struct plan {
    uint8_t low, high, share;
};

// The nearest entry, then the partner whose mix with it comes closest, where
// the mix pays for its noise (the two entries' distance where they alternate).
plan plan_for(const float* c, const std::array<std::array<float, 3>, 254>& entries) {
    int best = 0;
    float best_d = 1e30f;
    for (int i = 0; i < 254; i++) {
        float d = distance2(c, entries[i].data());
        if (d < best_d) best_d = d, best = i;
    }
    plan result{static_cast<uint8_t>(best), static_cast<uint8_t>(best), 0};
    if (best_d < 1) return result;
    const float* p = entries[best].data();
    float cost_alone = best_d;
    for (int i = 0; i < 254; i++) {
        if (i == best) continue;
        const float* q = entries[i].data();
        float v[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
        float w[3] = {c[0] - p[0], c[1] - p[1], c[2] - p[2]};
        float vv = 2 * v[0] * v[0] + 4 * v[1] * v[1] + 3 * v[2] * v[2];
        if (vv <= 0) continue;
        float t = (2 * v[0] * w[0] + 4 * v[1] * w[1] + 3 * v[2] * w[2]) / vv;
        if (t <= 0) continue;
        if (t > 0.5f) t = 0.5f;  // past the middle, q itself would be nearer
        float m[3] = {p[0] + v[0] * t, p[1] + v[1] * t, p[2] + v[2] * t};
        float cost = distance2(c, m) + 0.35f * vv * t * (1 - t);
        if (cost < cost_alone) {
            cost_alone = cost;
            result.high = static_cast<uint8_t>(i);
            result.share = static_cast<uint8_t>(std::lround(t * 64));
        }
    }
    return result;
}

}  // namespace

rgb ramp_colour(ramp r, float t) {
    return gradient(def(r).stops, t);
}

uint8_t ramp_index(ramp r, int level) {
    const ramp_def& d = def(r);
    if (level < 0) level = 0;
    if (level >= d.levels) level = d.levels - 1;
    return static_cast<uint8_t>(d.first + level);
}

rgb level_colour(ramp r, int l) {
    return ramp_colour(r, static_cast<float>(l) / (def(r).levels - 1));
}

rgb ink_colour(float t) {
    return ramp_colour(ramp::ink, t);
}

int ramp_level_count(ramp r) {
    return def(r).levels;
}

const std::vector<uint8_t>& palette_rgb() {
    static const std::vector<uint8_t> p = build();
    return p;
}

indexed quantise(const canvas& c) {
    static std::array<std::array<float, 3>, 254> entries = [] {
        std::array<std::array<float, 3>, 254> e{};
        const std::vector<uint8_t>& p = palette_rgb();
        for (int i = 0; i < 254; i++)
            for (int k = 0; k < 3; k++) e[i][k] = p[3 * i + k];
        return e;
    }();
    // Plans by exact colour, shared by all screens: gradients repeat colours.
    static std::unordered_map<uint32_t, plan> plans;
    indexed out{c.width, c.height, std::vector<uint8_t>(c.pixels.size())};
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++) {
            const rgb& v = c.at(x, y);
            float q[3];
            uint32_t key = 0;
            for (int k = 0; k < 3; k++) {
                float f = k == 0 ? v.r : k == 1 ? v.g : v.b;
                long n = std::lround(f < 0 ? 0 : f > 255 ? 255 : f);
                q[k] = static_cast<float>(n);
                key = key << 8 | static_cast<uint32_t>(n);
            }
            auto it = plans.find(key);
            if (it == plans.end()) it = plans.emplace(key, plan_for(q, entries)).first;
            const plan& pl = it->second;
            out.at(x, y) = bayer8(x, y) < pl.share ? pl.high : pl.low;
        }
    return out;
}
