// video/convert.h -- pixel format conversion for the DirectDraw-style path: the
// display's format, the table of converters, the converter chosen for the pair
// of formats, the eleven converters and their lookup tables.
//
// v_initbuffer_dx fills dx_format (decoding each mask with dx_decodemask) and
// calls dx_findconverter once; dx_flip and dx_blit then run dx_convert on every
// frame, from v_buffer into the locked surface. Nothing here touches the
// platform: a converter reads one block of memory and writes another.
#pragma once
#include <array>
#include <cstdint>

#include "video/pixelformat.h"

// A converter: rows rows of the frame at src, read straight on (so its rows must
// lie exactly src_pitch bytes apart, as the frame buffer's do), converted into
// dst, whose rows start dst_pitch bytes apart. The bytes between the end of a
// converted row and the next row are left alone. It checks nothing: dst must
// hold rows rows of the converted width. Zero rows write nothing.
using dx_converter_routine = void(uint8_t* dst, int32_t dst_pitch, const uint8_t* src,
                                  int32_t src_pitch, int32_t rows);
using dx_converter = dx_converter_routine*;

// One layout pair: the frame's depth and red, green, blue, alpha masks, the
// display's, and the converter between them.
struct dx_converter_row {
    uint32_t src_depth, src_red, src_green, src_blue, src_alpha;
    uint32_t dst_depth, dst_red, dst_green, dst_blue, dst_alpha;
    dx_converter convert;
};

// The eleven pairs, searched in order: ten display layouts for a 16-bit 5-6-5
// frame, and 0x00RRGGBB for a 32-bit frame.
extern const dx_converter_row dx_converters[11];

// The display's format, written by v_initbuffer_dx from the primary surface.
extern v_pixelformat dx_format;
// The converter of the row dx_findconverter matched; null until one matched.
extern dx_converter dx_convert;

// Width and shift of the mask's run of one bits; 0 and 0 for a zero mask. One
// bits above the run are fatal: "dx_decodemask: invalid mask (%08lx)" with
// what is left above the run.
void dx_decodemask(uint32_t mask, uint8_t* width, uint8_t* shift);

// Walks dx_converters from the first row for the one whose source matches v_bpp
// and v_format's masks and whose destination matches dx_format's depth and
// masks, alpha included; sets dx_convert to it and returns true. No match
// returns false and leaves dx_convert alone.
bool dx_findconverter();

// The 5-6-5 frame through a lookup table into 32-bit or 24-bit pixels (24-bit:
// the three low bytes of the 32-bit result, lowest first).
dx_converter_routine dx_565_xrgb32, dx_565_xbgr32, dx_565_rgba32, dx_565_bgra32;
dx_converter_routine dx_565_rgb24, dx_565_bgr24;
// Whole 32-bit words of the frame (two 16-bit pixels, or one 32-bit pixel), by
// masks and shifts. The 5-5-5 results keep green's top five bits, bit 15 clear.
dx_converter_routine dx_copy16, dx_565_bgr565, dx_565_555, dx_565_bgr555, dx_copy32;

// An entry of a lookup table, indexed by a byte value of a 5-6-5 pixel: what the
// byte contributes as the pixel's low byte (blue, green's low three bits) and
// as its high byte (red, green's high three bits). A converted pixel is the low
// part of its low byte's entry plus the high part of its high byte's. Green is
// thus the sum of its two separately scaled halves: full green gives 254.
struct dx_lut_entry {
    uint32_t low, high;
};

// One table per destination layout: 0x00RRGGBB, 0x00BBGGRR, 0xRRGGBBAA and
// 0xBBGGRRAA; the alpha formats get alpha 0xFF, once per pixel, from the low part.
extern const std::array<dx_lut_entry, 256> dx_lut_xrgb;
extern const std::array<dx_lut_entry, 256> dx_lut_xbgr;
extern const std::array<dx_lut_entry, 256> dx_lut_rgba;
extern const std::array<dx_lut_entry, 256> dx_lut_bgra;
