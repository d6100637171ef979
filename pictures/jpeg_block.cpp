// pictures/jpeg_block.cpp -- the jpeg module's block engine: the bits of the
// entropy-coded data, Huffman symbols, the coefficients of one block, and the
// floating-point inverse DCT in the Arai-Agui-Nakajima arrangement with the
// dequantisation folded into a scaled table.
//
// Nothing here fails on damaged data but a bit pattern that begins no code or
// a DC size beyond 16 bits: data that ends early, or is cut short by a marker,
// reads as zero bits, and nonsense coefficients give nonsense samples.
#include <cmath>
#include <cstring>

#include "pictures/jpeg_internal.h"
#include "system/sys.h"

namespace jpeg {

uint32_t bit_buf;
int32_t bit_cnt;
int32_t coef[64];
double qscale[2][64];
const double aan_scale[8] = {1.0, 1.387039845, 1.306562965, 1.175875602,
                             1.0, 0.785694958, 0.541196100, 0.275899379};
uint8_t limit[512];

// The next byte of entropy-coded data. A stuffed 0xFF 0x00 is the byte 0xFF;
// a marker ends the data, and from then on, as past the end, the bytes are 0.
static uint32_t next_byte() {
    if (jpeg_pos >= jpeg_size) return 0;
    uint32_t b = jpeg_data[jpeg_pos++];
    if (b != 0xFF) return b;
    while (jpeg_pos < jpeg_size && jpeg_data[jpeg_pos] == 0xFF) ++jpeg_pos;
    if (jpeg_pos >= jpeg_size) return 0;
    if (jpeg_data[jpeg_pos++] == 0x00) return 0xFF;
    jpeg_pos = jpeg_size;
    return 0;
}

void fill_bits() {
    while (bit_cnt <= 24) {
        bit_buf = bit_buf << 8 | next_byte();
        bit_cnt += 8;
    }
}

uint32_t get_bits(int32_t n) {
    if (n > bit_cnt) fill_bits();
    bit_cnt -= n;
    // A 64-bit shift, so that n = 0 with 32 valid bits shifts by 32 safely.
    return static_cast<uint32_t>(uint64_t{bit_buf} >> bit_cnt) & ((1u << n) - 1);
}

int32_t get_signed(int32_t n) {
    int32_t v = static_cast<int32_t>(get_bits(n));
    return v < 1 << (n - 1) ? v - (1 << n) + 1 : v;
}

int32_t get_huf(const huf_table& table) {
    if (bit_cnt < 8) fill_bits();
    uint32_t i = (bit_buf >> (bit_cnt - 8)) & 0xFF;
    if (table.fast_len[i] != 0) {
        bit_cnt -= table.fast_len[i];
        return table.fast_sym[i];
    }
    // Longer than 8 bits: find the length whose range of left-aligned codes
    // holds the next 16 bits; the sentinel at 17 ends the search at 16.
    if (bit_cnt < 16) fill_bits();
    int32_t c = static_cast<int32_t>((bit_buf >> (bit_cnt - 16)) & 0xFFFF);
    int32_t d = 9;
    while (c >= table.code_start[d + 1]) ++d;
    int32_t index = (c - table.code_start[d]) >> (16 - d);
    // Only at 16 can the bits lie past the table's last code (the sentinel is
    // not the end of the codes in use).
    if (index >= table.bits[d]) s_panic("jpeg.get_huf: corrupt huffman data");
    bit_cnt -= d;
    return table.huffval[table.sym_start[d] + index];
}

void decode_block(const huf_table& dc, const huf_table& ac) {
    memset(coef, 0, sizeof coef);
    int32_t s = get_huf(dc);
    if (s > 16) s_panic("jpeg.decode_block: corrupt dc coefficient size");
    coef[0] = s != 0 ? get_signed(s) : 0;
    for (int32_t k = 1; k < 64;) {
        int32_t rs = get_huf(ac);
        int32_t r = rs >> 4;
        s = rs & 15;
        if (s != 0) {
            k += r;
            // A run past the last position ends the block; its value bits stay unread.
            if (k < 64) coef[zigzag[k]] = get_signed(s);
            ++k;
        } else if (r == 15) {
            k += 16;
        } else {
            break;  // end of block
        }
    }
}

void create_quant(int32_t t) {
    for (int32_t i = 0; i < 64; ++i)
        qscale[t][i] = quant[t][i] * aan_scale[i / 8] * aan_scale[i % 8] * 0.125;
}

void init_limit() {
    for (int32_t i = 0; i < 128; ++i) {
        limit[i] = static_cast<uint8_t>(128 + i);
        limit[128 + i] = 255;
        limit[256 + i] = 0;
        limit[384 + i] = static_cast<uint8_t>(i);
    }
}

// The one-dimensional transform of eight values, in place.
static void idct_1d(double* x0, double* x1, double* x2, double* x3, double* x4, double* x5,
                    double* x6, double* x7) {
    double t10 = *x0 + *x4;
    double t11 = *x0 - *x4;
    double t13 = *x2 + *x6;
    double t12 = (*x2 - *x6) * 1.414213562 - t13;
    double e0 = t10 + t13;
    double e3 = t10 - t13;
    double e1 = t11 + t12;
    double e2 = t11 - t12;

    double z13 = *x5 + *x3;
    double z10 = *x5 - *x3;
    double z11 = *x1 + *x7;
    double z12 = *x1 - *x7;
    double o7 = z11 + z13;
    double o11 = (z11 - z13) * 1.414213562;
    double z5 = (z10 + z12) * 1.847759065;
    double o10 = 1.082392200 * z12 - z5;
    double o12 = -2.613125930 * z10 + z5;
    double o6 = o12 - o7;
    double o5 = o11 - o6;
    double o4 = o10 + o5;

    *x0 = e0 + o7;
    *x7 = e0 - o7;
    *x1 = e1 + o6;
    *x6 = e1 - o6;
    *x2 = e2 + o5;
    *x5 = e2 - o5;
    *x4 = e3 + o4;
    *x3 = e3 - o4;
}

void idct(const int32_t* coef, const double* q, uint8_t* out, int32_t stride) {
    double ws[64];
    for (int32_t c = 0; c < 8; ++c) {
        bool ac = false;
        for (int32_t r = 1; r < 8; ++r) ac |= coef[r * 8 + c] != 0;
        if (!ac) {
            double dc = coef[c] * q[c];
            for (int32_t r = 0; r < 8; ++r) ws[r * 8 + c] = dc;
            continue;
        }
        double* w = ws + c;
        for (int32_t r = 0; r < 8; ++r) w[r * 8] = coef[r * 8 + c] * q[r * 8 + c];
        idct_1d(w, w + 8, w + 16, w + 24, w + 32, w + 40, w + 48, w + 56);
    }
    for (int32_t r = 0; r < 8; ++r) {
        double* w = ws + r * 8;
        idct_1d(w, w + 1, w + 2, w + 3, w + 4, w + 5, w + 6, w + 7);
        for (int32_t c = 0; c < 8; ++c)
            out[r * stride + c] = limit[static_cast<int64_t>(std::nearbyint(w[c])) & 511];
    }
}

}  // namespace jpeg
