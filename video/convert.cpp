// video/convert.cpp -- mask decoding, converter matching, the converters and the
// lookup tables they read.
#include "video/convert.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstring>

#include "system/sys.h"
#include "video/display.h"

// Pixels are little-endian words in memory; the converters load and store them
// as native words.
static_assert(std::endian::native == std::endian::little);

v_pixelformat dx_format{};
dx_converter dx_convert = nullptr;

// ---- Lookup tables, built by the compiler from the scaling rule.

namespace {

using lut = std::array<dx_lut_entry, 256>;

// A 5-bit or 6-bit channel value scaled to 0..255, rounded down.
constexpr uint32_t e5(uint32_t x) {
    return x * 255 / 31;
}
constexpr uint32_t e6(uint32_t x) {
    return x * 255 / 63;
}

// The scaled channels a byte value v carries: as a pixel's low byte, blue in
// bits 4-0 and green's low three bits in bits 7-5; as its high byte, green's
// high three bits in bits 2-0 and red in bits 7-3.
struct byte_channels {
    uint32_t blue, green_low;  // as the low byte
    uint32_t red, green_high;  // as the high byte
};

constexpr byte_channels channels(uint32_t v) {
    return {e5(v & 31), e6(v >> 5), e5(v >> 3), e6((v & 7) * 8)};
}

// The two green halves are scaled apart, so their sum stays below 256 and a
// converted pixel is one addition with no carry between channels.
static_assert(e6(7) + e6(56) == 254);

constexpr dx_lut_entry xrgb_entry(uint32_t v) {
    byte_channels c = channels(v);
    return {c.blue | c.green_low << 8, c.red << 16 | c.green_high << 8};
}

constexpr dx_lut_entry xbgr_entry(uint32_t v) {
    byte_channels c = channels(v);
    return {c.blue << 16 | c.green_low << 8, c.red | c.green_high << 8};
}

// The colour bytes one byte up, and alpha 0xFF from the low part alone, so that
// it enters each pixel once.
constexpr dx_lut_entry with_alpha(dx_lut_entry e) {
    return {(e.low << 8) + 0xFF, e.high << 8};
}

template <typename Entry>
constexpr lut make_lut(Entry entry) {
    lut table{};
    for (uint32_t v = 0; v < 256; ++v) table[v] = entry(v);
    return table;
}

}  // namespace

alignas(64) constexpr lut dx_lut_xrgb = make_lut(xrgb_entry);
alignas(64) constexpr lut dx_lut_xbgr = make_lut(xbgr_entry);
alignas(64) constexpr lut dx_lut_rgba = make_lut([](uint32_t v) {
    return with_alpha(xrgb_entry(v));
});
alignas(64) constexpr lut dx_lut_bgra = make_lut([](uint32_t v) {
    return with_alpha(xbgr_entry(v));
});

// ---- Formats

void dx_decodemask(uint32_t mask, uint8_t* width, uint8_t* shift) {
    if (mask == 0) {
        *width = 0;
        *shift = 0;
        return;
    }
    int low = std::countr_zero(mask);
    int run = std::countr_one(mask >> low);
    // Widened, since a run that reaches bit 31 leaves a shift by 32.
    uint64_t rest = uint64_t{mask} >> (low + run);
    if (rest != 0) s_panic("dx_decodemask: invalid mask (%08lx)", static_cast<unsigned long>(rest));
    *width = static_cast<uint8_t>(run);
    *shift = static_cast<uint8_t>(low);
}

const dx_converter_row dx_converters[11] = {
    {16, 0xF800, 0x07E0, 0x001F, 0, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0, dx_565_xrgb32},
    {16, 0xF800, 0x07E0, 0x001F, 0, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0, dx_565_xbgr32},
    {16, 0xF800, 0x07E0, 0x001F, 0, 32, 0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF,
     dx_565_rgba32},
    {16, 0xF800, 0x07E0, 0x001F, 0, 32, 0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF,
     dx_565_bgra32},
    {16, 0xF800, 0x07E0, 0x001F, 0, 24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0, dx_565_rgb24},
    {16, 0xF800, 0x07E0, 0x001F, 0, 24, 0x000000FF, 0x0000FF00, 0x00FF0000, 0, dx_565_bgr24},
    {16, 0xF800, 0x07E0, 0x001F, 0, 16, 0xF800, 0x07E0, 0x001F, 0, dx_copy16},
    {16, 0xF800, 0x07E0, 0x001F, 0, 16, 0x001F, 0x07E0, 0xF800, 0, dx_565_bgr565},
    {16, 0xF800, 0x07E0, 0x001F, 0, 16, 0x7C00, 0x03E0, 0x001F, 0, dx_565_555},
    {16, 0xF800, 0x07E0, 0x001F, 0, 16, 0x001F, 0x03E0, 0x7C00, 0, dx_565_bgr555},
    {32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0,
     dx_copy32},
};

static bool matches(const dx_converter_row& row) {
    const v_pixelformat& s = v_format;
    const v_pixelformat& d = dx_format;
    return row.src_depth == static_cast<uint32_t>(v_bpp) && row.src_red == s.red_mask &&
           row.src_green == s.green_mask && row.src_blue == s.blue_mask &&
           row.src_alpha == s.alpha_mask && row.dst_depth == static_cast<uint32_t>(d.depth) &&
           row.dst_red == d.red_mask && row.dst_green == d.green_mask &&
           row.dst_blue == d.blue_mask && row.dst_alpha == d.alpha_mask;
}

bool dx_findconverter() {
    for (const dx_converter_row& row : dx_converters) {
        if (matches(row)) {
            dx_convert = row.convert;
            return true;
        }
    }
    return false;
}

// ---- Table converters
//
// Each keeps its two per-call values, the items per row and the row skip (the
// destination pitch less the bytes a row writes), in locals, and reads the
// source straight on. These loops are bound by their loads (two bytes and two
// table parts per pixel), so they stay scalar: built without -O3, where the
// compiler would emulate gathers through the stack and run slower. Words are
// stored through memcpy, which becomes a plain move at any alignment.

namespace {

void store32(uint8_t* p, uint32_t x) {
    std::memcpy(p, &x, 4);
}
void store64(uint8_t* p, uint64_t x) {
    std::memcpy(p, &x, 8);
}

// The low part of the low byte's entry plus the high part of the high byte's.
uint32_t lookup(const dx_lut_entry* table, const uint8_t* pixel) {
    return table[pixel[0]].low + table[pixel[1]].high;
}

// Four pixels per pass, stored as two 64-bit words; the pixels left over at the
// end of a row one by one.
void convert_lut32(const dx_lut_entry* __restrict table, uint8_t* __restrict dst, int32_t dst_pitch,
                   const uint8_t* __restrict src, int32_t src_pitch, int32_t rows) {
    const int32_t items = src_pitch / 2;
    const ptrdiff_t skip = ptrdiff_t{dst_pitch} - ptrdiff_t{items} * 4;
    const int32_t quads = items / 4;
    const int32_t rest = items % 4;
    for (int32_t row = 0; row < rows; ++row) {
        for (int32_t i = 0; i < quads; ++i) {
            uint64_t p0 = lookup(table, src), p1 = lookup(table, src + 2);
            uint64_t p2 = lookup(table, src + 4), p3 = lookup(table, src + 6);
            store64(dst, p0 | p1 << 32);
            store64(dst + 8, p2 | p3 << 32);
            src += 8;
            dst += 16;
        }
        for (int32_t i = 0; i < rest; ++i) {
            store32(dst, lookup(table, src));
            src += 2;
            dst += 4;
        }
        dst += skip;
    }
}

// Four pixels make three whole words; the pixels left over at the end of a row
// are written three bytes each, so nothing beyond the row is touched.
void convert_lut24(const dx_lut_entry* __restrict table, uint8_t* __restrict dst, int32_t dst_pitch,
                   const uint8_t* __restrict src, int32_t src_pitch, int32_t rows) {
    const int32_t items = src_pitch / 2;
    const ptrdiff_t skip = ptrdiff_t{dst_pitch} - ptrdiff_t{items} * 3;
    const int32_t quads = items / 4;
    const int32_t rest = items % 4;
    for (int32_t row = 0; row < rows; ++row) {
        for (int32_t i = 0; i < quads; ++i) {
            uint32_t p0 = lookup(table, src), p1 = lookup(table, src + 2);
            uint32_t p2 = lookup(table, src + 4), p3 = lookup(table, src + 6);
            store32(dst, p0 | p1 << 24);
            store32(dst + 4, p1 >> 8 | p2 << 16);
            store32(dst + 8, p2 >> 16 | p3 << 8);
            src += 8;
            dst += 12;
        }
        for (int32_t i = 0; i < rest; ++i) {
            uint32_t p = lookup(table, src);
            std::memcpy(dst, &p, 3);
            src += 2;
            dst += 3;
        }
        dst += skip;
    }
}

}  // namespace

void dx_565_xrgb32(uint8_t* dst, int32_t dst_pitch, const uint8_t* src, int32_t src_pitch,
                   int32_t rows) {
    convert_lut32(dx_lut_xrgb.data(), dst, dst_pitch, src, src_pitch, rows);
}

void dx_565_xbgr32(uint8_t* dst, int32_t dst_pitch, const uint8_t* src, int32_t src_pitch,
                   int32_t rows) {
    convert_lut32(dx_lut_xbgr.data(), dst, dst_pitch, src, src_pitch, rows);
}

void dx_565_rgba32(uint8_t* dst, int32_t dst_pitch, const uint8_t* src, int32_t src_pitch,
                   int32_t rows) {
    convert_lut32(dx_lut_rgba.data(), dst, dst_pitch, src, src_pitch, rows);
}

void dx_565_bgra32(uint8_t* dst, int32_t dst_pitch, const uint8_t* src, int32_t src_pitch,
                   int32_t rows) {
    convert_lut32(dx_lut_bgra.data(), dst, dst_pitch, src, src_pitch, rows);
}

void dx_565_rgb24(uint8_t* dst, int32_t dst_pitch, const uint8_t* src, int32_t src_pitch,
                  int32_t rows) {
    convert_lut24(dx_lut_xrgb.data(), dst, dst_pitch, src, src_pitch, rows);
}

void dx_565_bgr24(uint8_t* dst, int32_t dst_pitch, const uint8_t* src, int32_t src_pitch,
                  int32_t rows) {
    convert_lut24(dx_lut_xbgr.data(), dst, dst_pitch, src, src_pitch, rows);
}
