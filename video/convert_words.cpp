// video/convert_words.cpp -- the word converters of video/convert.h: the frame
// taken as 32-bit words (two 16-bit pixels, or one 32-bit pixel), each turned
// into its result word by masks and shifts.
//
// These loops are pure arithmetic on independent words, so this file is built
// with -O3 and the compiler turns them into vector code; on x86-64 each is
// also cloned for the AVX2 and AVX-512 levels, the best one chosen when the
// program is loaded. The vector code computes exactly the word formulas.
#include <cstddef>
#include <cstring>

#include "video/convert.h"

// The loader picks a clone before any sanitizer runtime is up; ThreadSanitizer's
// instrumented resolver would crash there, so its builds go without clones.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define WORD_CLONES __attribute__((target_clones("default", "arch=x86-64-v3", "arch=x86-64-v4")))
#else
#define WORD_CLONES
#endif

namespace {

// Words through memcpy: plain moves at any alignment, without breaking aliasing.
uint32_t load32(const uint8_t* p) {
    uint32_t x;
    std::memcpy(&x, p, 4);
    return x;
}

void store32(uint8_t* p, uint32_t x) {
    std::memcpy(p, &x, 4);
}

// A word holds two 5-6-5 pixels, the left one in its low half; the masks keep
// every field inside its own half.
uint32_t bgr565_word(uint32_t x) {
    return (x & 0x07E007E0) + ((x & 0xF800F800) >> 11) + ((x & 0x001F001F) << 11);
}

uint32_t rgb555_word(uint32_t x) {
    return (x & 0x001F001F) + ((x & 0xFFC0FFC0) >> 1);
}

uint32_t bgr555_word(uint32_t x) {
    return ((x >> 1) & 0x03E003E0) + ((x & 0xF800F800) >> 11) + ((x & 0x001F001F) << 10);
}

// The per-call values, the words per row and the row skip (the destination
// pitch less the bytes a row writes), are locals; the source is read straight
// on. The two sides never overlap.
template <uint32_t (*Word)(uint32_t)>
[[gnu::always_inline]] inline void convert_words(uint8_t* __restrict dst, int32_t dst_pitch,
                                                 const uint8_t* __restrict src, int32_t src_pitch,
                                                 int32_t rows) {
    ptrdiff_t items = src_pitch / 4;
    const ptrdiff_t skip = ptrdiff_t{dst_pitch} - items * 4;
    // With no gap on either side the frame is one long row, and the vector loop
    // runs through it without a tail at every row's end.
    if (skip == 0 && items * 4 == src_pitch && rows > 1) {
        items *= rows;
        rows = 1;
    }
    for (int32_t row = 0; row < rows; ++row) {
        for (ptrdiff_t i = 0; i < items; ++i) {
            store32(dst, Word(load32(src)));
            src += 4;
            dst += 4;
        }
        dst += skip;
    }
}

// A copy moves whole rows through memcpy; with no gap on either side, the whole
// frame at once.
void copy_words(uint8_t* dst, int32_t dst_pitch, const uint8_t* src, int32_t src_pitch,
                int32_t rows) {
    if (rows <= 0) return;
    const size_t bytes = static_cast<size_t>(src_pitch / 4) * 4;
    const ptrdiff_t skip = ptrdiff_t{dst_pitch} - static_cast<ptrdiff_t>(bytes);
    if (skip == 0 && static_cast<size_t>(src_pitch) == bytes) {
        std::memcpy(dst, src, bytes * static_cast<size_t>(rows));
        return;
    }
    for (int32_t row = 0; row < rows; ++row) {
        std::memcpy(dst, src, bytes);
        src += bytes;
        dst += static_cast<ptrdiff_t>(bytes) + skip;
    }
}

}  // namespace

void dx_copy16(uint8_t* dst, int32_t dst_pitch, const uint8_t* src, int32_t src_pitch,
               int32_t rows) {
    copy_words(dst, dst_pitch, src, src_pitch, rows);
}

WORD_CLONES void dx_565_bgr565(uint8_t* dst, int32_t dst_pitch, const uint8_t* src,
                               int32_t src_pitch, int32_t rows) {
    convert_words<bgr565_word>(dst, dst_pitch, src, src_pitch, rows);
}

WORD_CLONES void dx_565_555(uint8_t* dst, int32_t dst_pitch, const uint8_t* src, int32_t src_pitch,
                            int32_t rows) {
    convert_words<rgb555_word>(dst, dst_pitch, src, src_pitch, rows);
}

WORD_CLONES void dx_565_bgr555(uint8_t* dst, int32_t dst_pitch, const uint8_t* src,
                               int32_t src_pitch, int32_t rows) {
    convert_words<bgr555_word>(dst, dst_pitch, src, src_pitch, rows);
}

void dx_copy32(uint8_t* dst, int32_t dst_pitch, const uint8_t* src, int32_t src_pitch,
               int32_t rows) {
    copy_words(dst, dst_pitch, src, src_pitch, rows);
}
