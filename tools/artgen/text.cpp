// tools/artgen/text.cpp -- FreeType faces, text layout and drawing.
#include "tools/artgen/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* files[] = {
    "DejaVuSans.ttf",
    "DejaVuSans-Bold.ttf",
    "DejaVuSans-ExtraLight.ttf",
    "DejaVuSansCondensed.ttf",
    "DejaVuSansCondensed-Bold.ttf",
    "DejaVuSansMono.ttf",
    "DejaVuSansMono-Bold.ttf",
    "DejaVuSerif.ttf",
    "DejaVuSerif-Italic.ttf",
    "DejaVuSerif-Bold.ttf",
};
constexpr int face_count = sizeof files / sizeof files[0];

FT_Library library = nullptr;
FT_Face faces[face_count] = {};

[[noreturn]] void fail(const char* what, const std::string& name) {
    fprintf(stderr, "artgen: %s %s\n", what, name.c_str());
    exit(1);
}

FT_Face sized(face f, float size) {
    FT_Face ft = faces[static_cast<int>(f)];
    FT_Set_Char_Size(ft, 0, static_cast<FT_F26Dot6>(std::lround(size * 64)), 72, 72);
    return ft;
}

// Decodes one character of UTF-8 at i and moves i past it.
char32_t next_char(std::string_view s, size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i++]);
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t v = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 0; k < extra && i < s.size(); k++)
        v = v << 6 | (static_cast<unsigned char>(s[i++]) & 0x3F);
    return v;
}

// Walks the text, handing each glyph's pen position (26.6 fixed point) to
// the visitor; returns the pen after the last glyph.
template <typename visitor>
FT_Pos layout(FT_Face ft, const style& s, std::string_view text, FT_Pos pen, visitor&& visit) {
    FT_UInt previous = 0;
    FT_Pos tracking = static_cast<FT_Pos>(std::lround(s.tracking * 64));
    bool first = true;
    for (size_t i = 0; i < text.size();) {
        FT_UInt g = FT_Get_Char_Index(ft, next_char(text, i));
        if (previous && g && FT_HAS_KERNING(ft)) {
            FT_Vector k;
            FT_Get_Kerning(ft, previous, g, FT_KERNING_UNFITTED, &k);
            pen += k.x;
        }
        if (!first) pen += tracking;
        first = false;
        visit(g, pen);
        FT_Load_Glyph(ft, g, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT);
        pen += (ft->glyph->linearHoriAdvance + 512) >> 10;  // 16.16 to 26.6
        previous = g;
    }
    return pen;
}

void draw_raw(canvas& c, const style& s, rgb colour, float alpha, float x, float y,
              std::string_view text) {
    FT_Face ft = sized(s.f, s.size);
    FT_Pos start = static_cast<FT_Pos>(std::lround(x * 64));
    int baseline = static_cast<int>(std::lround(y));
    layout(ft, s, text, start, [&](FT_UInt g, FT_Pos pen) {
        FT_Vector shift = {pen & 63, 0};
        FT_Set_Transform(ft, nullptr, &shift);
        FT_Load_Glyph(ft, g, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT);
        FT_Set_Transform(ft, nullptr, nullptr);
        const FT_Bitmap& b = ft->glyph->bitmap;
        int left = static_cast<int>(pen >> 6) + ft->glyph->bitmap_left;
        int top = baseline - ft->glyph->bitmap_top;
        for (unsigned row = 0; row < b.rows; row++)
            for (unsigned col = 0; col < b.width; col++) {
                float cover = b.buffer[row * b.pitch + col] / 255.0f;
                // Light text on dark ground reads thin when blended linearly
                // in sRGB; a slight lift of the coverage evens it out.
                cover = std::pow(cover, 0.8f);
                c.blend(left + static_cast<int>(col), top + static_cast<int>(row), colour,
                        cover * alpha);
            }
    });
}

float start_x(const style& s, float x, std::string_view text, align a) {
    if (a == align::left) return x;
    float w = text_width(s, text);
    return a == align::centre ? x - w / 2 : x - w;
}

}  // namespace

void text_init(const std::string& font_dir) {
    if (FT_Init_FreeType(&library)) fail("cannot start", "FreeType");
    for (int i = 0; i < face_count; i++) {
        std::string path = font_dir + "/" + files[i];
        if (FT_New_Face(library, path.c_str(), 0, &faces[i])) fail("cannot open font", path);
    }
}

void text_done() {
    for (FT_Face& f : faces) {
        if (f) FT_Done_Face(f);
        f = nullptr;
    }
    if (library) FT_Done_FreeType(library);
    library = nullptr;
}

float text_width(const style& s, std::string_view text) {
    FT_Face ft = sized(s.f, s.size);
    return static_cast<float>(layout(ft, s, text, 0, [](FT_UInt, FT_Pos) {})) / 64.0f;
}

float draw_text(canvas& c, const style& s, float x, float y, std::string_view text, align a) {
    float left = start_x(s, x, text, a);
    draw_raw(c, s, s.colour, s.alpha, left, y, text);
    return left + text_width(s, text);
}

float draw_text_shadowed(canvas& c, const style& s, float x, float y, std::string_view text,
                         align a, float shadow_alpha) {
    float left = start_x(s, x, text, a);
    rgb dark = {4, 6, 12};
    draw_raw(c, s, dark, shadow_alpha * 0.45f, left + 2, y + 2, text);
    draw_raw(c, s, dark, shadow_alpha, left + 1, y + 1, text);
    draw_raw(c, s, s.colour, s.alpha, left, y, text);
    return left + text_width(s, text);
}

glyph_image render_glyph(face f, float size, char32_t ch) {
    FT_Face ft = sized(f, size);
    FT_Load_Char(ft, ch, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT);
    const FT_Bitmap& b = ft->glyph->bitmap;
    glyph_image g;
    g.width = static_cast<int>(b.width);
    g.height = static_cast<int>(b.rows);
    g.left = ft->glyph->bitmap_left;
    g.top = ft->glyph->bitmap_top;
    for (unsigned row = 0; row < b.rows; row++)
        for (unsigned col = 0; col < b.width; col++)
            g.coverage.push_back(static_cast<char>(b.buffer[row * b.pitch + col]));
    return g;
}

float face_ascent(face f, float size) {
    FT_Face ft = sized(f, size);
    return static_cast<float>(ft->size->metrics.ascender) / 64.0f;
}
