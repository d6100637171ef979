// The pixel converters against the scaling rule, their lookup tables, the
// choice of converter for a pair of formats, and mask decoding.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "platform/fake/fake.h"
#include "video/convert.h"
#include "video/display.h"

namespace {

// The rule, computed per pixel: each channel scaled down to 0..255, green as
// the sum of its separately scaled low three and high three bits.
uint32_t e5(uint32_t x) {
    return x * 255 / 31;
}
uint32_t e6(uint32_t x) {
    return x * 255 / 63;
}

struct rgb {
    uint32_t r, g, b;
};

rgb expand(uint32_t p) {
    uint32_t green = (p >> 5) & 63;
    return {e5(p >> 11), e6(green & 7) + e6(green & 56), e5(p & 31)};
}

// The 5-6-5 fields of a pixel.
uint32_t r5(uint32_t p) {
    return p >> 11;
}
uint32_t g6(uint32_t p) {
    return (p >> 5) & 63;
}
uint32_t b5(uint32_t p) {
    return p & 31;
}

uint32_t xrgb(uint32_t p) {
    return expand(p).r << 16 | expand(p).g << 8 | expand(p).b;
}
uint32_t xbgr(uint32_t p) {
    return expand(p).b << 16 | expand(p).g << 8 | expand(p).r;
}
uint32_t rgba(uint32_t p) {
    return xrgb(p) << 8 | 0xFF;
}
uint32_t bgra(uint32_t p) {
    return xbgr(p) << 8 | 0xFF;
}
uint32_t same(uint32_t p) {
    return p;
}
uint32_t bgr565(uint32_t p) {
    return b5(p) << 11 | g6(p) << 5 | r5(p);
}
uint32_t rgb555(uint32_t p) {
    return r5(p) << 10 | (g6(p) >> 1) << 5 | b5(p);
}
uint32_t bgr555(uint32_t p) {
    return b5(p) << 10 | (g6(p) >> 1) << 5 | r5(p);
}

struct converter_case {
    const char* name;
    dx_converter convert;
    int32_t src_bytes, dst_bytes;  // per pixel; the result's low bytes are written
    uint32_t (*expected)(uint32_t source_pixel);
};

const converter_case converter_cases[] = {
    {"dx_565_xrgb32", dx_565_xrgb32, 2, 4, xrgb}, {"dx_565_xbgr32", dx_565_xbgr32, 2, 4, xbgr},
    {"dx_565_rgba32", dx_565_rgba32, 2, 4, rgba}, {"dx_565_bgra32", dx_565_bgra32, 2, 4, bgra},
    {"dx_565_rgb24", dx_565_rgb24, 2, 3, xrgb},   {"dx_565_bgr24", dx_565_bgr24, 2, 3, xbgr},
    {"dx_copy16", dx_copy16, 2, 2, same},         {"dx_565_bgr565", dx_565_bgr565, 2, 2, bgr565},
    {"dx_565_555", dx_565_555, 2, 2, rgb555},     {"dx_565_bgr555", dx_565_bgr555, 2, 2, bgr555},
    {"dx_copy32", dx_copy32, 4, 4, same},
};

uint32_t read_le(const uint8_t* p, int32_t bytes) {
    uint32_t value = 0;
    for (int32_t i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
    return value;
}

void write_le(uint8_t* p, uint32_t value, int32_t bytes) {
    for (int32_t i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

// Every 16-bit value once, in rows of 262 pixels: an odd number of pixel pairs
// and two pixels past a multiple of four, so that every loop has a tail.
constexpr int32_t frame_width = 262;
constexpr int32_t frame_rows = (65536 + frame_width - 1) / frame_width;
constexpr uint8_t untouched = 0xA5;

uint32_t source_pixel(int32_t index, int32_t src_bytes) {
    uint32_t p = static_cast<uint32_t>(index) & 0xFFFF;
    // A 32-bit frame gets distinct words with every byte in use.
    return src_bytes == 2 ? p : p * 0x9E3779B1u;
}

TEST(Converters, EveryConverterFollowsTheRuleForEveryPixelAndWritesOnlyItsRows) {
    for (const converter_case& c : converter_cases) {
        const int32_t src_pitch = frame_width * c.src_bytes;
        std::vector<uint8_t> src(size_t{frame_rows} * src_pitch);
        for (int32_t i = 0; i < frame_width * frame_rows; ++i)
            write_le(&src[size_t(i) * c.src_bytes], source_pixel(i, c.src_bytes), c.src_bytes);

        const int32_t row_bytes = frame_width * c.dst_bytes;
        // Rows back to back, and rows with an odd gap that leaves them unaligned.
        for (int32_t gap : {0, 7}) {
            const int32_t dst_pitch = row_bytes + gap;
            // One byte in, so that no store may rely on alignment.
            std::vector<uint8_t> memory(size_t{frame_rows} * dst_pitch + 1, untouched);
            uint8_t* dst = memory.data() + 1;

            c.convert(dst, dst_pitch, src.data(), src_pitch, 0);
            EXPECT_EQ(std::count(memory.begin(), memory.end(), untouched), memory.size())
                << c.name << ": zero rows wrote";

            c.convert(dst, dst_pitch, src.data(), src_pitch, frame_rows);
            int32_t wrong = 0, touched = 0;
            for (int32_t y = 0; y < frame_rows; ++y) {
                const uint8_t* row = dst + size_t(y) * dst_pitch;
                for (int32_t x = 0; x < frame_width; ++x) {
                    uint32_t source = source_pixel(y * frame_width + x, c.src_bytes);
                    uint32_t want = c.expected(source);
                    if (c.dst_bytes < 4) want &= (1u << (8 * c.dst_bytes)) - 1;
                    uint32_t got = read_le(row + x * c.dst_bytes, c.dst_bytes);
                    if (got != want && ++wrong <= 3)
                        ADD_FAILURE() << c.name << " pitch " << dst_pitch << std::hex << ": pixel "
                                      << source << " gave " << got << ", want " << want;
                }
                for (int32_t i = row_bytes; i < dst_pitch; ++i) touched += row[i] != untouched;
            }
            EXPECT_EQ(memory[0], untouched) << c.name;
            EXPECT_EQ(wrong, 0) << c.name << " pitch " << dst_pitch;
            EXPECT_EQ(touched, 0) << c.name << " pitch " << dst_pitch << ": bytes past the rows";
        }
    }
}

struct worked_case {
    dx_converter convert;
    const char* name;
    uint16_t pixel;
    std::vector<uint8_t> bytes;  // the converted pixel, lowest address first
};

std::vector<uint8_t> le(uint32_t value, int32_t bytes) {
    std::vector<uint8_t> out(bytes);
    write_le(out.data(), value, bytes);
    return out;
}

TEST(Converters, WorkedValues) {
    const worked_case cases[] = {
        // White: green is 254, never 255.
        {dx_565_xrgb32, "xrgb32", 0xFFFF, le(0x00FFFEFF, 4)},
        {dx_565_xbgr32, "xbgr32", 0xFFFF, le(0x00FFFEFF, 4)},
        {dx_565_rgba32, "rgba32", 0xFFFF, le(0xFFFEFFFF, 4)},
        {dx_565_bgra32, "bgra32", 0xFFFF, le(0xFFFEFFFF, 4)},
        {dx_565_rgb24, "rgb24", 0xFFFF, {0xFF, 0xFE, 0xFF}},
        // Red.
        {dx_565_xrgb32, "xrgb32", 0xF800, le(0x00FF0000, 4)},
        {dx_565_xbgr32, "xbgr32", 0xF800, le(0x000000FF, 4)},
        {dx_565_rgba32, "rgba32", 0xF800, le(0xFF0000FF, 4)},
        {dx_565_bgra32, "bgra32", 0xF800, le(0x0000FFFF, 4)},
        {dx_565_rgb24, "rgb24", 0xF800, {0x00, 0x00, 0xFF}},
        {dx_565_bgr24, "bgr24", 0xF800, {0xFF, 0x00, 0x00}},
        {dx_565_bgr565, "bgr565", 0xF800, le(0x001F, 2)},
        {dx_565_555, "555", 0xF800, le(0x7C00, 2)},
        {dx_565_bgr555, "bgr555", 0xF800, le(0x001F, 2)},
        // Green, and its lowest bit alone, which 5-5-5 drops.
        {dx_565_xrgb32, "xrgb32", 0x07E0, le(0x0000FE00, 4)},
        {dx_565_555, "555", 0x07E0, le(0x03E0, 2)},
        {dx_565_xrgb32, "xrgb32", 0x0020, le(0x00000400, 4)},
        {dx_565_555, "555", 0x0020, le(0x0000, 2)},
        {dx_565_bgr555, "bgr555", 0x0020, le(0x0000, 2)},
        // Grey.
        {dx_565_xrgb32, "xrgb32", 0x8410, le(0x00838183, 4)},
        // Black: alpha 0xFF where there is alpha, zero elsewhere.
        {dx_565_xrgb32, "xrgb32", 0x0000, le(0, 4)},
        {dx_565_xbgr32, "xbgr32", 0x0000, le(0, 4)},
        {dx_565_rgba32, "rgba32", 0x0000, le(0x000000FF, 4)},
        {dx_565_bgra32, "bgra32", 0x0000, le(0x000000FF, 4)},
        {dx_565_rgb24, "rgb24", 0x0000, {0, 0, 0}},
        {dx_565_bgr565, "bgr565", 0x0000, le(0, 2)},
        {dx_565_555, "555", 0x0000, le(0, 2)},
    };
    for (const worked_case& c : cases) {
        const uint8_t src[4] = {uint8_t(c.pixel), uint8_t(c.pixel >> 8), uint8_t(c.pixel),
                                uint8_t(c.pixel >> 8)};
        std::vector<uint8_t> dst(8, untouched);
        c.convert(dst.data(), 8, src, 4, 1);
        EXPECT_EQ(std::vector<uint8_t>(dst.begin(), dst.begin() + c.bytes.size()), c.bytes)
            << c.name << " of " << std::hex << c.pixel;
    }
}

TEST(Converters, TableEntriesHoldTheLowAndTheHighBytePart) {
    struct entry_case {
        uint8_t v;
        uint32_t low, high;
    };
    const entry_case cases[] = {
        {0x01, 0x00000008, 0x00002000},
        {0x1F, 0x000000FF, 0x0018E200},
        {0xFF, 0x00001CFF, 0x00FFE200},
    };
    for (const entry_case& c : cases) {
        EXPECT_EQ(dx_lut_xrgb[c.v].low, c.low) << int(c.v);
        EXPECT_EQ(dx_lut_xrgb[c.v].high, c.high) << int(c.v);
    }
    EXPECT_EQ(sizeof dx_lut_xrgb, 2048u);
    EXPECT_EQ(sizeof(dx_lut_entry), 8u);
}

// ---- Choosing a converter

constexpr v_pixelformat frame16 = {16, 5, 6, 5, 11, 5, 0, 0xF800, 0x07E0, 0x001F, 0};
constexpr v_pixelformat frame32 = {32, 8, 8, 8, 16, 8, 0, 0x00FF0000, 0x0000FF00, 0x000000FF, 0};

v_pixelformat display(int32_t depth, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    v_pixelformat f{};
    f.depth = depth;
    f.red_mask = r;
    f.green_mask = g;
    f.blue_mask = b;
    f.alpha_mask = a;
    return f;
}

struct layout_case {
    const v_pixelformat* frame;
    v_pixelformat display;
    dx_converter expected;  // null: no converter fits
};

TEST(FindConverter, PicksTheRowForEachLayoutAndNoneForTheRest) {
    const layout_case cases[] = {
        {&frame16, display(32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0), dx_565_xrgb32},
        {&frame16, display(32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0), dx_565_xbgr32},
        {&frame16, display(32, 0xFF000000, 0x00FF0000, 0x0000FF00, 0xFF), dx_565_rgba32},
        {&frame16, display(32, 0x0000FF00, 0x00FF0000, 0xFF000000, 0xFF), dx_565_bgra32},
        {&frame16, display(24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0), dx_565_rgb24},
        {&frame16, display(24, 0x000000FF, 0x0000FF00, 0x00FF0000, 0), dx_565_bgr24},
        {&frame16, display(16, 0xF800, 0x07E0, 0x001F, 0), dx_copy16},
        {&frame16, display(16, 0x001F, 0x07E0, 0xF800, 0), dx_565_bgr565},
        {&frame16, display(16, 0x7C00, 0x03E0, 0x001F, 0), dx_565_555},
        {&frame16, display(16, 0x001F, 0x03E0, 0x7C00, 0), dx_565_bgr555},
        {&frame32, display(32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0), dx_copy32},
        // A 32-bit frame goes to a 0x00RRGGBB display only.
        {&frame32, display(16, 0xF800, 0x07E0, 0x001F, 0), nullptr},
        {&frame32, display(24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0), nullptr},
        // Alpha masks take part: with alpha, 0x00RRGGBB is an unlisted layout,
        // and without alpha the colours of 0xRRGGBBAA are too.
        {&frame16, display(32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000), nullptr},
        {&frame16, display(32, 0xFF000000, 0x00FF0000, 0x0000FF00, 0), nullptr},
        // The depth takes part as well as the masks.
        {&frame16, display(32, 0xF800, 0x07E0, 0x001F, 0), nullptr},
        {&frame16, display(8, 0, 0, 0, 0), nullptr},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const layout_case& c = cases[i];
        v_bpp = c.frame->depth;
        v_format = *c.frame;
        dx_format = c.display;
        dx_convert = nullptr;
        if (c.expected) {
            EXPECT_TRUE(dx_findconverter()) << "case " << i;
            EXPECT_EQ(dx_convert, c.expected) << "case " << i;
        } else {
            dx_convert = dx_copy16;  // a failed search leaves the last choice alone
            EXPECT_FALSE(dx_findconverter()) << "case " << i;
            EXPECT_EQ(dx_convert, dx_copy16) << "case " << i;
        }
    }
}

TEST(FindConverter, TheFrameIsMatchedByItsBitsPerPixel) {
    // v_bpp, not the depth stored in v_format, names the frame's depth.
    v_bpp = 32;
    v_format = frame16;
    v_format.red_mask = 0x00FF0000;
    v_format.green_mask = 0x0000FF00;
    v_format.blue_mask = 0x000000FF;
    dx_format = display(32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    EXPECT_TRUE(dx_findconverter());
    EXPECT_EQ(dx_convert, dx_copy32);
}

// ---- Masks

TEST(DecodeMask, WidthAndShiftOfTheRun) {
    struct mask_case {
        uint32_t mask;
        uint8_t width, shift;
    };
    const mask_case cases[] = {
        {0xF800, 5, 11}, {0x07E0, 6, 5},     {0x0000FF00, 8, 8},  {0xFF000000, 8, 24}, {0, 0, 0},
        {0x001F, 5, 0},  {0x00000001, 1, 0}, {0x80000000, 1, 31}, {0xFFFFFFFF, 32, 0},
    };
    for (const mask_case& c : cases) {
        uint8_t width = 99, shift = 99;
        dx_decodemask(c.mask, &width, &shift);
        EXPECT_EQ(width, c.width) << std::hex << c.mask;
        EXPECT_EQ(shift, c.shift) << std::hex << c.mask;
    }
}

TEST(DecodeMask, BitsAboveTheRunAreFatalAndShown) {
    fake::reset();
    uint8_t width, shift;
    EXPECT_EXIT(dx_decodemask(0x00000F0F, &width, &shift), ::testing::ExitedWithCode(1),
                "korvite system panic: dx_decodemask: invalid mask \\(000000f0\\)");
    EXPECT_EXIT(dx_decodemask(0x80000001, &width, &shift), ::testing::ExitedWithCode(1),
                "dx_decodemask: invalid mask \\(40000000\\)");
}

}  // namespace
