// tests/sample_data.h -- deterministic inputs shaped like what a disk holds,
// for the compression tests and benchmarks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

// Prose: words of a small vocabulary, the common ones far more often, in
// sentences and lines of about 70 characters.
inline std::vector<uint8_t> text_like(size_t size, uint32_t seed = 1) {
    static const char* const words[] = {
        "the",    "of",      "and",    "a",       "to",     "in",      "is",        "music",
        "disk",   "song",    "screen", "picture", "play",   "time",    "order",     "sample",
        "module", "pattern", "track",  "click",   "window", "colour",  "palette",   "every",
        "with",   "from",    "that",   "which",   "sound",  "tracker", "greetings", "credits",
        "night",  "light",   "over",   "under",   "while",  "beneath", "along",     "through"};
    const size_t count = sizeof words / sizeof words[0];
    std::mt19937 rng(seed);
    std::vector<uint8_t> out;
    size_t line = 0;
    bool capital = true;
    while (out.size() < size) {
        // Squaring the draw favours the first words, as in real text.
        double u = std::uniform_real_distribution<double>(0, 1)(rng);
        std::string w = words[static_cast<size_t>(u * u * count)];
        if (capital) w[0] = static_cast<char>(w[0] - 'a' + 'A');
        capital = rng() % 9 == 0;
        w += capital ? ". " : (rng() % 12 == 0 ? ", " : " ");
        line += w.size();
        if (line > 70) {
            w.back() = '\n';
            line = 0;
        }
        out.insert(out.end(), w.begin(), w.end());
    }
    out.resize(size);
    return out;
}

// An 8-bit picture of palette indices: banded gradients, flat shapes, a
// dithered patch and a noisy one, as drawn artwork has them.
inline std::vector<uint8_t> picture_like(size_t width, size_t height, uint32_t seed = 1) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> pixels(width * height);
    for (size_t y = 0; y < height; ++y)
        for (size_t x = 0; x < width; ++x) {
            uint8_t v = static_cast<uint8_t>(16 + y * 32 / height);  // sky bands
            if ((x / 64 + y / 48) % 5 == 0) v = static_cast<uint8_t>(100 + (x / 64) % 8);
            int64_t dx = int64_t(x % 160) - 80, dy = int64_t(y % 120) - 60;
            if (dx * dx + dy * dy < 900) v = 200;  // discs
            if (x > width / 2 && y > height / 2 && y < height * 3 / 4)
                v = static_cast<uint8_t>(60 + ((x ^ y) & 3) * 2);  // ordered dither
            if (x < width / 4 && y > height * 3 / 4) v = static_cast<uint8_t>(rng() % 16 + 140);
            pixels[y * width + x] = v;
        }
    return pixels;
}
