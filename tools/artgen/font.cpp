// tools/artgen/font.cpp -- the digit font.
#include "tools/artgen/font.h"

#include <cmath>

#include "tools/artgen/palette.h"
#include "tools/artgen/text.h"

namespace {

constexpr face digit_face = face::condensed_bold;
constexpr float digit_size = 12;
constexpr int baseline = 10;  // row of the glyphs' feet, leaving row 11 clear

// Lays the character into its cell, centred across it, coverage mapped
// onto the ink ramp.
void put_glyph(indexed& font, char32_t ch, int first_column, int width) {
    glyph_image g = render_glyph(digit_face, digit_size, ch);
    int left = first_column + (width - g.width + 1) / 2;
    int top = baseline - g.top;
    for (int row = 0; row < g.height; row++)
        for (int col = 0; col < g.width; col++) {
            int x = left + col, y = top + row;
            if (x < first_column || x >= first_column + width || y < 0 || y >= font_height)
                continue;
            float cover = static_cast<unsigned char>(g.coverage[row * g.width + col]) / 255.0f;
            int level = static_cast<int>(std::lround(std::pow(cover, 0.8f) * (ink_levels - 1)));
            font.at(x, y) = static_cast<uint8_t>(font_background + level);
        }
}

}  // namespace

indexed draw_font() {
    indexed font{
        font_width, font_height,
        std::vector<uint8_t>(static_cast<size_t>(font_width) * font_height, font_background)};
    for (int d = 0; d < 10; d++) put_glyph(font, U'0' + d, 8 * d, 8);
    put_glyph(font, U':', 80, 4);
    return font;
}
