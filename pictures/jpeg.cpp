// pictures/jpeg.cpp -- the jpeg module's entry point: loading the file, the
// decoders for each layout and output, and the colour conversion.
//
// Layouts: one component sampled 1 x 1 (grey), or three with the first
// sampled 2 x 1 or 2 x 2 and the other two 1 x 1 (JFIF Y, Cb, Cr). Outputs:
// 8-bit grey levels with the grey ramp as palette, or direct colour of 16 bits
// (5-6-5) or 32 bits (0x00RRGGBB). Chroma is repeated over its 2 x 1 or 2 x 2
// pixels, without interpolation.
#include "pictures/jpeg.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "data/archive.h"
#include "data/heap.h"
#include "pictures/jpeg_internal.h"
#include "pictures/picture.h"
#include "system/sys.h"

namespace jpeg {

uint8_t luma_mcu[256];
uint8_t cb_block[64];
uint8_t cr_block[64];
uint8_t rgb_mcu[768];

int32_t cr_r[256];
int32_t cb_b[256];
int32_t cr_g[256];
int32_t cb_g[256];
uint8_t clamp[512];

void init_colour() {
    for (int32_t s = 0; s < 256; ++s) {
        double x = s - 128;
        cr_r[s] = static_cast<int32_t>(std::nearbyint(1.402 * x + 128));
        cb_b[s] = static_cast<int32_t>(std::nearbyint(1.772 * x + 128));
        cr_g[s] = static_cast<int32_t>(std::nearbyint((-0.71414 * x + 128) * 65536));
        cb_g[s] = static_cast<int32_t>(std::nearbyint(-0.34414 * x * 65536));
    }
    for (int32_t i = 0; i < 128; ++i) {
        clamp[i] = 0;
        clamp[128 + i] = static_cast<uint8_t>(i);
        clamp[256 + i] = static_cast<uint8_t>(128 + i);
        clamp[384 + i] = 255;
    }
}

// clamp, with the indices below and above the table limited as well.
static uint8_t clamped(int32_t v) {
    return v < 0 ? 0 : v > 511 ? 255 : clamp[v];
}

void convert_mcu() {
    int32_t rows = comp[0].v == 2 ? 16 : 8;
    int32_t shift = comp[0].v == 2 ? 1 : 0;
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < 16; ++c) {
            int32_t y = luma_mcu[r * 16 + c];
            int32_t cb = cb_block[(r >> shift) * 8 + c / 2];
            int32_t cr = cr_block[(r >> shift) * 8 + c / 2];
            uint8_t* px = rgb_mcu + r * 48 + c * 3;
            px[0] = clamped(y + cb_b[cb]);
            px[1] = clamped(y + ((cr_g[cr] + cb_g[cb]) >> 16));
            px[2] = clamped(y + cr_r[cr]);
        }
}

// Decodes one block with the given tables and adds the predictor to its DC
// difference. The predictor wraps around as a 32-bit value, so damaged data
// cannot overflow it.
static void decode_with(int32_t t, int32_t& predictor) {
    decode_block(dc_huf[t], ac_huf[t]);
    predictor =
        static_cast<int32_t>(static_cast<uint32_t>(predictor) + static_cast<uint32_t>(coef[0]));
    coef[0] = predictor;
}

// Copies the part of a block of samples that lies inside the picture.
static void copy_clipped(uint8_t* out, int32_t x, int32_t y, const uint8_t* block,
                         int32_t block_width, int32_t block_height, int32_t stride) {
    int32_t rows = frame_height - y < block_height ? frame_height - y : block_height;
    int32_t cols = frame_width - x < block_width ? frame_width - x : block_width;
    for (int32_t r = 0; r < rows; ++r)
        memcpy(out + (int64_t{y} + r) * frame_width + x, block + r * stride, cols);
}

void decode_grey(uint8_t* out) {
    create_huf(dc_huf[0]);
    create_huf(ac_huf[0]);
    create_quant(0);
    int32_t predictor = 0;
    for (int32_t y = 0; y < frame_height; y += 8)
        for (int32_t x = 0; x < frame_width; x += 8) {
            decode_with(0, predictor);
            if (x + 8 <= frame_width && y + 8 <= frame_height) {
                // Inside the picture: straight into the output.
                idct(coef, qscale[0], out + int64_t{y} * frame_width + x, frame_width);
                continue;
            }
            idct(coef, qscale[0], luma_mcu, 8);
            copy_clipped(out, x, y, luma_mcu, 8, 8, 8);
        }
}

// The luma blocks of one MCU into luma_mcu: two side by side, and two more
// below them in the 2 x 2 layout.
static void decode_luma_blocks(int32_t& predictor) {
    int32_t blocks = comp[0].v == 2 ? 4 : 2;
    for (int32_t b = 0; b < blocks; ++b) {
        decode_with(0, predictor);
        idct(coef, qscale[0], luma_mcu + (b >> 1) * 128 + (b & 1) * 8, 16);
    }
}

void decode_luma(uint8_t* out) {
    for (int32_t t = 0; t < 2; ++t) {
        create_huf(dc_huf[t]);
        create_huf(ac_huf[t]);
        create_quant(t);
    }
    int32_t mcu_height = comp[0].v == 2 ? 16 : 8;
    int32_t predictor = 0;
    for (int32_t y = 0; y < frame_height; y += mcu_height)
        for (int32_t x = 0; x < frame_width; x += 16) {
            decode_luma_blocks(predictor);
            // Cb and Cr only to move on through the data.
            decode_block(dc_huf[1], ac_huf[1]);
            decode_block(dc_huf[1], ac_huf[1]);
            copy_clipped(out, x, y, luma_mcu, 16, mcu_height, 16);
        }
}

// Pixels are stored through memcpy: with a small alignment exponent the
// output buffer need not be aligned to its pixel size.
static void pack(uint16_t, uint8_t* px, const uint8_t* bgr) {
    uint16_t v = static_cast<uint16_t>((bgr[2] >> 3) << 11 | (bgr[1] >> 2) << 5 | bgr[0] >> 3);
    memcpy(px, &v, sizeof v);
}

static void pack(uint32_t, uint8_t* px, const uint8_t* bgr) {
    uint32_t v = static_cast<uint32_t>(bgr[2]) << 16 | bgr[1] << 8 | bgr[0];
    memcpy(px, &v, sizeof v);
}

// The conversion of an MCU that lies wholly inside the picture goes straight
// into the output, eight pixels at a time in the compiler's vector types.
// It is convert_mcu and pack step for step: clamp[v], for every index that
// convert_mcu forms, is v - 128 limited to 0..255, so each channel is Y plus
// a per-chroma offset less 128, limited.
typedef int16_t lanes __attribute__((vector_size(16)));
typedef uint16_t ulanes __attribute__((vector_size(16)));
typedef uint8_t lane_bytes __attribute__((vector_size(8)));

static lanes limited(lanes v) {
    lanes zero = {}, top = zero + 255;
    v = v < zero ? zero : v;
    return v > top ? top : v;
}

// The offsets of one chroma row, for the left and the right eight pixels of
// the MCU row: each chroma sample's offset over its two pixels.
struct chroma_row {
    lanes b[2], g[2], r[2];
};

static void widen(const int16_t* offsets, lanes* halves) {
    lanes v;
    memcpy(&v, offsets, sizeof v);
    halves[0] = __builtin_shufflevector(v, v, 0, 0, 1, 1, 2, 2, 3, 3);
    halves[1] = __builtin_shufflevector(v, v, 4, 4, 5, 5, 6, 6, 7, 7);
}

// The channels, limited to 0..255, packed as pack does.
static void store(uint16_t, uint8_t* out, lanes b, lanes g, lanes r) {
    ulanes v = (ulanes(r) >> 3) << 11 | (ulanes(g) >> 2) << 5 | ulanes(b) >> 3;
    memcpy(out, &v, sizeof v);
}

static void store(uint32_t, uint8_t* out, lanes b, lanes g, lanes r) {
    // Each pixel is its blue and green bytes in the low half, red in the high.
    ulanes bg = ulanes(b) | ulanes(g) << 8;
    ulanes low = __builtin_shufflevector(bg, ulanes(r), 0, 8, 1, 9, 2, 10, 3, 11);
    ulanes high = __builtin_shufflevector(bg, ulanes(r), 4, 12, 5, 13, 6, 14, 7, 15);
    memcpy(out, &low, sizeof low);
    memcpy(out + 16, &high, sizeof high);
}

// Eight luma samples, widened to 16 bits.
static lanes luma_lanes(const uint8_t* y) {
    lane_bytes v;
    memcpy(&v, y, sizeof v);
    return __builtin_convertvector(v, lanes);
}

template <class pixel>
static void convert_row(uint8_t* out, const uint8_t* luma, const chroma_row& c) {
    for (int32_t h = 0; h < 2; ++h) {
        lanes y = luma_lanes(luma + 8 * h);
        store(pixel{}, out + 8 * h * sizeof(pixel), limited(y + c.b[h]), limited(y + c.g[h]),
              limited(y + c.r[h]));
    }
}

template <class pixel>
static void convert_mcu_to(uint8_t* out, int64_t row_bytes) {
    // Per chroma sample; the 128 of clamp's index comes off the offsets
    // (for green off cr_g's bias, a multiple of 65536, so the shift is exact).
    int16_t off_b[64], off_g[64], off_r[64];
    for (int32_t i = 0; i < 64; ++i) {
        int32_t cb = cb_block[i], cr = cr_block[i];
        off_b[i] = static_cast<int16_t>(cb_b[cb] - 128);
        off_g[i] = static_cast<int16_t>((cr_g[cr] - (128 << 16) + cb_g[cb]) >> 16);
        off_r[i] = static_cast<int16_t>(cr_r[cr] - 128);
    }
    int32_t lines = comp[0].v;  // luma rows per chroma row
    for (int32_t row = 0; row < 8; ++row) {
        chroma_row c;
        widen(off_b + row * 8, c.b);
        widen(off_g + row * 8, c.g);
        widen(off_r + row * 8, c.r);
        for (int32_t l = 0; l < lines; ++l) {
            int32_t r = row * lines + l;
            convert_row<pixel>(out + r * row_bytes, luma_mcu + r * 16, c);
        }
    }
}

template <class pixel>
static void decode_colour_as(uint8_t* out) {
    for (int32_t t = 0; t < 2; ++t) {
        create_huf(dc_huf[t]);
        create_huf(ac_huf[t]);
        create_quant(t);
    }
    init_colour();
    int32_t mcu_height = comp[0].v == 2 ? 16 : 8;
    int64_t row_bytes = int64_t{frame_width} * sizeof(pixel);
    int32_t luma = 0, cb = 0, cr = 0;
    for (int32_t y = 0; y < frame_height; y += mcu_height)
        for (int32_t x = 0; x < frame_width; x += 16) {
            decode_luma_blocks(luma);
            decode_with(1, cb);
            idct(coef, qscale[1], cb_block, 8);
            decode_with(1, cr);
            idct(coef, qscale[1], cr_block, 8);
            uint8_t* corner = out + y * row_bytes + x * int64_t{sizeof(pixel)};
            if (x + 16 <= frame_width && y + mcu_height <= frame_height) {
                convert_mcu_to<pixel>(corner, row_bytes);
                continue;
            }
            // At the right and bottom edges, the part inside the picture.
            convert_mcu();
            int32_t rows = frame_height - y < mcu_height ? frame_height - y : mcu_height;
            int32_t cols = frame_width - x < 16 ? frame_width - x : 16;
            for (int32_t r = 0; r < rows; ++r)
                for (int32_t c = 0; c < cols; ++c)
                    pack(pixel{}, corner + r * row_bytes + c * sizeof(pixel),
                         rgb_mcu + r * 48 + c * 3);
        }
}

void decode_colour(uint8_t* out, int32_t depth) {
    if (depth == 16)
        decode_colour_as<uint16_t>(out);
    else
        decode_colour_as<uint32_t>(out);
}

enum class layout { grey, h2v1, h2v2 };

static bool sampled(const component& c, int32_t h, int32_t v) {
    return c.h == h && c.v == v;
}

static layout frame_layout() {
    if (frame_comps == 1 && sampled(comp[0], 1, 1)) return layout::grey;
    if (frame_comps == 3 && sampled(comp[1], 1, 1) && sampled(comp[2], 1, 1)) {
        if (sampled(comp[0], 2, 1)) return layout::h2v1;
        if (sampled(comp[0], 2, 2)) return layout::h2v2;
    }
    s_panic("l_loadjpeg: unsupported subsampling type");
}

// The output buffer of width x height pixels. Its size is counted in 64 bits:
// one the heap could never hold fails as a full heap does.
static void* output_buffer(int32_t bytes_per_pixel, int32_t a) {
    int64_t size = int64_t{frame_width} * frame_height * bytes_per_pixel;
    if (size > INT32_MAX) s_panic("h_alloc: internal heap is full.");
    return h_alloc(static_cast<int32_t>(size), a);
}

}  // namespace jpeg

int32_t l_loadjpeg(const char* name, uint8_t** pixels, int32_t type, int32_t a) {
    using namespace jpeg;
    jpeg_size = l_loadfile(name, &jpeg_data, 0);
    jpeg_pos = 0;
    read_header();
    bit_buf = 0;
    bit_cnt = 0;
    init_limit();
    l_width = frame_width;
    l_height = frame_height;
    layout shape = frame_layout();
    if (type == 0) type = shape == layout::grey ? 1 : 3;
    if (type != 1 && (shape == layout::grey || (type != 3 && type != 4)))
        s_panic("l_loadjpeg: %s cannot be converted", name);
    // Bytes per pixel and result code by type: 1 grey, 3 16-bit, 4 32-bit.
    int32_t bytes = type == 1 ? 1 : type == 3 ? 2 : 4;
    uint8_t* out = static_cast<uint8_t*>(output_buffer(bytes, a));
    *pixels = out;
    if (type != 1) {
        decode_colour(out, bytes * 8);
    } else {
        if (shape == layout::grey)
            decode_grey(out);
        else
            decode_luma(out);
        l_greypal();
    }
    int32_t result = type == 1 ? 1 : type == 3 ? 2 : 3;
    free(jpeg_data);
    jpeg_data = nullptr;
    return result;
}
