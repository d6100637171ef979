// app/paint.cpp -- the palette lookup over a whole frame.
//
// A plain loop does one lookup per pixel and runs at a small fraction of a
// memory copy's speed. Where the processor has AVX-512BW, 32 pixels go at once:
// the 256-entry table is held in eight vector registers as four quarters of 64
// entries, each quarter looked up by one two-register word permute on the
// index's low six bits, and bits 6 and 7 of the index pick among the four
// results. With AVX-512 VBMI as well, 64 pixels go at once through byte
// permutes (below), at about the speed of a memory copy. Every path computes
// exactly what the plain loop does.
#include "app/paint.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define PAINT_AVX512 1
#endif

namespace {

void paint_plain(uint16_t* __restrict frame, const uint8_t* __restrict pixels,
                 const uint16_t* __restrict palette, int32_t count) {
    for (int32_t i = 0; i < count; ++i) frame[i] = palette[pixels[i]];
}

#ifdef PAINT_AVX512
__attribute__((target("avx512bw"))) void paint_avx512(uint16_t* __restrict frame,
                                                      const uint8_t* __restrict pixels,
                                                      const uint16_t* __restrict palette,
                                                      int32_t count) {
    __m512i quarter[8];
    for (int q = 0; q < 8; ++q) quarter[q] = _mm512_loadu_si512(palette + 32 * q);
    const __m512i bit6 = _mm512_set1_epi16(64), bit7 = _mm512_set1_epi16(128);
    int32_t i = 0;
    for (; i + 32 <= count; i += 32) {
        __m512i index =
            _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels + i)));
        // The permute reads only the low six bits of each index.
        __m512i a = _mm512_permutex2var_epi16(quarter[0], index, quarter[1]);
        __m512i b = _mm512_permutex2var_epi16(quarter[2], index, quarter[3]);
        __m512i c = _mm512_permutex2var_epi16(quarter[4], index, quarter[5]);
        __m512i d = _mm512_permutex2var_epi16(quarter[6], index, quarter[7]);
        __mmask32 high6 = _mm512_test_epi16_mask(index, bit6);
        __mmask32 high7 = _mm512_test_epi16_mask(index, bit7);
        __m512i low_half = _mm512_mask_blend_epi16(high6, a, b);
        __m512i high_half = _mm512_mask_blend_epi16(high6, c, d);
        _mm512_storeu_si512(frame + i, _mm512_mask_blend_epi16(high7, low_half, high_half));
    }
    paint_plain(frame + i, pixels + i, palette, count - i);
}

// With AVX-512 VBMI, 64 pixels go at once: the table is split into its low
// and its high bytes, each plane looked up by two-register byte permutes on the
// index's low seven bits and bit 7 picking between them; the two planes are
// then interleaved into words. The interleave works within 128-bit lanes, so
// the indices are first put in the order that makes its output run straight.
__attribute__((target("avx512bw,avx512vbmi"))) void paint_vbmi(uint16_t* __restrict frame,
                                                               const uint8_t* __restrict pixels,
                                                               const uint16_t* __restrict palette,
                                                               int32_t count) {
    alignas(64) uint8_t low[256], high[256];
    for (int32_t i = 0; i < 256; ++i) {
        low[i] = static_cast<uint8_t>(palette[i]);
        high[i] = static_cast<uint8_t>(palette[i] >> 8);
    }
    __m512i plane[8];
    for (int q = 0; q < 4; ++q) {
        plane[q] = _mm512_load_si512(low + 64 * q);
        plane[4 + q] = _mm512_load_si512(high + 64 * q);
    }
    // Lane k of the reordered indices holds pixels 8k to 8k + 7, then 32 + 8k
    // to 32 + 8k + 7: the low and the high interleave then give pixels 0 to 31
    // and 32 to 63.
    alignas(64) uint8_t order[64];
    for (int32_t k = 0; k < 4; ++k)
        for (int32_t j = 0; j < 8; ++j) {
            order[16 * k + j] = static_cast<uint8_t>(8 * k + j);
            order[16 * k + 8 + j] = static_cast<uint8_t>(32 + 8 * k + j);
        }
    const __m512i reorder = _mm512_load_si512(order);
    int32_t i = 0;
    for (; i + 64 <= count; i += 64) {
        __m512i index =
            _mm512_maskz_permutexvar_epi8(~__mmask64{0}, reorder, _mm512_loadu_si512(pixels + i));
        __mmask64 upper = _mm512_movepi8_mask(index);  // bit 7: the table's second half
        __m512i lo =
            _mm512_mask_blend_epi8(upper, _mm512_permutex2var_epi8(plane[0], index, plane[1]),
                                   _mm512_permutex2var_epi8(plane[2], index, plane[3]));
        __m512i hi =
            _mm512_mask_blend_epi8(upper, _mm512_permutex2var_epi8(plane[4], index, plane[5]),
                                   _mm512_permutex2var_epi8(plane[6], index, plane[7]));
        _mm512_storeu_si512(frame + i, _mm512_unpacklo_epi8(lo, hi));
        _mm512_storeu_si512(frame + i + 32, _mm512_unpackhi_epi8(lo, hi));
    }
    paint_avx512(frame + i, pixels + i, palette, count - i);
}

// Which of the vector paths this processor can run: 2 VBMI, 1 BW, 0 neither.
int vector_level() {
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx512bw")) return 0;
    return __builtin_cpu_supports("avx512vbmi") ? 2 : 1;
}
#endif

}  // namespace

void paint_screen(uint16_t* frame, const uint8_t* pixels, const uint16_t* palette, int32_t count) {
#ifdef PAINT_AVX512
    static const int level = vector_level();
    if (level == 2) {
        paint_vbmi(frame, pixels, palette, count);
        return;
    }
    if (level == 1) {
        paint_avx512(frame, pixels, palette, count);
        return;
    }
#endif
    paint_plain(frame, pixels, palette, count);
}
