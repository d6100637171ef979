// tools/artgen/text.h -- typography: DejaVu faces through FreeType, measured
// and drawn anti-aliased onto a canvas.
//
// Owns the FreeType library and the open faces. main calls text_init once
// with the font folder before anything is drawn and text_done at the end.
// Text is UTF-8; glyphs are placed at fractional pen positions, with the
// faces' kerning, and hinted lightly (vertically only).
#pragma once
#include <string>
#include <string_view>

#include "tools/artgen/canvas.h"

enum class face {
    sans,
    sans_bold,
    sans_light,  // DejaVu Sans ExtraLight
    condensed,
    condensed_bold,
    mono,
    mono_bold,
    serif,
    serif_italic,
    serif_bold,
};

struct style {
    face f = face::sans;
    float size = 12;  // pixels per em
    rgb colour = {255, 255, 255};
    float alpha = 1;
    float tracking = 0;  // extra pixels after every character
};

enum class align { left, centre, right };

// Opens the faces from the folder; a missing font ends the program.
void text_init(const std::string& font_dir);
void text_done();

float text_width(const style& s, std::string_view text);
// Draws text with its baseline at y; x is the left end, the centre or the
// right end as a says. Returns the x just past the text.
float draw_text(canvas& c, const style& s, float x, float y, std::string_view text,
                align a = align::left);
// The same with a soft dark shadow under it, offset down and right.
float draw_text_shadowed(canvas& c, const style& s, float x, float y, std::string_view text,
                         align a = align::left, float shadow_alpha = 0.6f);

// The coverage (0..255) of one character at a pixel size, tightly cropped,
// and where its box lies relative to the pen on the baseline.
struct glyph_image {
    int width = 0, height = 0;
    int left = 0, top = 0;  // left of the pen, above the baseline
    std::string coverage;   // width * height bytes
};
glyph_image render_glyph(face f, float size, char32_t ch);

// A font's ascent and descent at a size, in pixels (both positive).
float face_ascent(face f, float size);
