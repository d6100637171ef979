// pictures/jpeg_block.cpp -- the jpeg module's block engine: the bits of the
// entropy-coded data, Huffman symbols, the coefficients of one block, and the
// floating-point inverse DCT in the Arai-Agui-Nakajima arrangement with the
// dequantisation folded into a scaled table.
//
// Nothing here fails on damaged data but a bit pattern that begins no code or
// a DC size beyond 16 bits: data that ends early, or is cut short by a marker,
// reads as zero bits, and nonsense coefficients give nonsense samples.
#include <bit>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

// The bit buffer and the read position in registers: decode_block works on
// copies of bit_buf, bit_cnt and jpeg_pos and stores them back at the end of
// the block; the public steps below wrap copies around each call.
struct bit_reader {
    uint32_t buf = bit_buf;
    int32_t cnt = bit_cnt;
    int32_t pos = jpeg_pos;

    ~bit_reader() {
        bit_buf = buf;
        bit_cnt = cnt;
        jpeg_pos = pos;
    }

    // The next byte of entropy-coded data. A stuffed 0xFF 0x00 is the byte
    // 0xFF; a marker ends the data, and from then on, as past the end, the
    // bytes are 0.
    uint32_t next_byte() {
        if (pos >= jpeg_size) return 0;
        uint32_t b = jpeg_data[pos++];
        if (b != 0xFF) return b;
        while (pos < jpeg_size && jpeg_data[pos] == 0xFF) ++pos;
        if (pos >= jpeg_size) return 0;
        if (jpeg_data[pos++] == 0x00) return 0xFF;
        pos = jpeg_size;
        return 0;
    }

    // Adds bytes until more than 24 bits are valid: (32 - cnt) / 8 of them.
    void fill() {
        if (cnt > 24) return;
        if (!plain_fill()) fill_bytes();
    }

    // Four plain bytes ahead, none of them 0xFF, go in at once; the number
    // taken is 0 when more than 24 bits are valid already.
    bool plain_fill() {
        if (pos > jpeg_size - 4) return false;
        const uint8_t* p = jpeg_data + pos;
        uint64_t w = uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3];
        if (((~w - 0x01010101u) & w & 0x80808080u) != 0) return false;
        int32_t shift = (32 - cnt) & ~7;  // eight times the bytes taken
        buf = static_cast<uint32_t>(uint64_t{buf} << shift | w >> (32 - shift));
        pos += shift >> 3;
        cnt += shift;
        return true;
    }

    void fill_bytes() {
        while (cnt <= 24) {
            buf = buf << 8 | next_byte();
            cnt += 8;
        }
    }

    // The same top-up, without asking first whether it is needed: the block
    // decoder runs it before every symbol, which spares an unpredictable
    // branch and leaves enough bits for a code of up to 8 bits with its value
    // bits, or for a longer code. Bits come in sooner, never other bits.
    void top_up() {
        if (!plain_fill()) fill_bytes();
    }

    uint32_t bits(int32_t n) {
        if (n > cnt) fill();
        cnt -= n;
        // A 64-bit shift, so that n = 0 with 32 valid bits shifts by 32 safely.
        return static_cast<uint32_t>(uint64_t{buf} >> cnt) & ((1u << n) - 1);
    }

    // Values below 2^(n-1) are negative: v - 2^n + 1, without a branch.
    int32_t extend(int32_t n) {
        int32_t v = static_cast<int32_t>(bits(n));
        int32_t negative = (v - (1 << (n - 1))) >> 31;
        return v + (negative & (1 - (1 << n)));
    }

    // The next 8 bits, after a top-up when fewer are left.
    uint32_t peek() {
        if (cnt < 8) fill();
        return (buf >> (cnt - 8)) & 0xFF;
    }

    // The symbol of the code the peeked bits i begin.
    int32_t huf(const huf_table& table, uint32_t i) {
        if (table.fast_len[i] != 0) {
            cnt -= table.fast_len[i];
            return table.fast_sym[i];
        }
        if (cnt < 16) fill();
        int32_t code = long_code(table, static_cast<int32_t>((buf >> (cnt - 16)) & 0xFFFF));
        cnt -= code >> 8;
        return code & 0xFF;
    }

    int32_t huf(const huf_table& table) { return huf(table, peek()); }

    // A code longer than 8 bits, begun by the next 16 bits c: its symbol,
    // plus its length times 256. The length is the one whose range of
    // left-aligned codes holds c: 9 plus the number of lengths from 10 to 16
    // whose first code c reaches (the first codes rise with the length, so
    // this is where a search from 9 upwards would stop; the sentinel at 17
    // is never reached).
    static int32_t long_code(const huf_table& table, int32_t c) {
        const int32_t* start = table.code_start;
        int32_t d = 9 + (c >= start[10]) + (c >= start[11]) + (c >= start[12]) + (c >= start[13]) +
                    (c >= start[14]) + (c >= start[15]) + (c >= start[16]);
        int32_t index = (c - table.code_start[d]) >> (16 - d);
        // Only at 16 can the bits lie past the table's last code (the sentinel
        // is not the end of the codes in use).
        if (index >= table.bits[d]) s_panic("jpeg.get_huf: corrupt huffman data");
        return table.huffval[table.sym_start[d] + index] | d << 8;
    }
};

// Zeroes coef in sixteen vector stores: memset costs more for so few bytes.
template <size_t... quarter>
void clear_coef(std::index_sequence<quarter...>) {
    typedef int32_t zeros __attribute__((vector_size(16)));
    zeros z = {};
    (memcpy(coef + 4 * quarter, &z, sizeof z), ...);
}

}  // namespace

void fill_bits() {
    bit_reader().fill();
}

uint32_t get_bits(int32_t n) {
    return bit_reader().bits(n);
}

int32_t get_signed(int32_t n) {
    return bit_reader().extend(n);
}

int32_t get_huf(const huf_table& table) {
    return bit_reader().huf(table);
}

void decode_block(const huf_table& dc, const huf_table& ac) {
    clear_coef(std::make_index_sequence<16>());
    bit_reader r;
    r.top_up();
    int32_t s = r.huf(dc);
    if (s > 16) s_panic("jpeg.decode_block: corrupt dc coefficient size");
    coef[0] = s != 0 ? r.extend(s) : 0;
    for (int32_t k = 1; k < 64;) {
        r.top_up();
        uint32_t i = (r.buf >> (r.cnt - 8)) & 0xFF;
        if (int32_t e = ac.fast_ac[i]) {
            // A short code and its value bits in one look-up.
            k += (e >> 4) & 15;
            if (k >= 64) {
                // A run past the last position ends the block; its value bits
                // stay unread.
                r.cnt -= ac.fast_len[i];
                break;
            }
            r.cnt -= e & 15;
            coef[zigzag[k++]] = e >> 8;
            continue;
        }
        int32_t rs = r.huf(ac, i);
        int32_t run = rs >> 4;
        s = rs & 15;
        if (s != 0) {
            k += run;
            if (k < 64) coef[zigzag[k]] = r.extend(s);
            ++k;
        } else if (run == 15) {
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

// The transform runs on vectors of four doubles (four columns in the first
// pass, four rows in the second) in the compiler's vector types: every lane
// does the same double-precision operations in the same order as one column
// or row alone would, so the samples are those of the plain transform.
typedef double four __attribute__((vector_size(32)));
typedef int32_t int_four __attribute__((vector_size(16)));
typedef int32_t int_eight __attribute__((vector_size(32)));

// Dequantised coefficients: four of them at p times the four scales at q.
// (Vectors of four doubles go by pointer: their passing by value depends on
// the processor the code is built for.)
[[gnu::always_inline]] static inline void dequantise(four* x, const int32_t* p, const double* q) {
    int_four v;
    memcpy(&v, p, sizeof v);
    four scale;
    memcpy(&scale, q, sizeof scale);
    *x = __builtin_convertvector(v, four) * scale;
}

// The one-dimensional transform of eight inputs, in place.
[[gnu::always_inline]] static inline void idct_1d(four* x) {
    four t10 = x[0] + x[4];
    four t11 = x[0] - x[4];
    four t13 = x[2] + x[6];
    four t12 = (x[2] - x[6]) * 1.414213562 - t13;
    four e0 = t10 + t13;
    four e3 = t10 - t13;
    four e1 = t11 + t12;
    four e2 = t11 - t12;

    four z13 = x[5] + x[3];
    four z10 = x[5] - x[3];
    four z11 = x[1] + x[7];
    four z12 = x[1] - x[7];
    four o7 = z11 + z13;
    four o11 = (z11 - z13) * 1.414213562;
    four z5 = (z10 + z12) * 1.847759065;
    four o10 = 1.082392200 * z12 - z5;
    four o12 = -2.613125930 * z10 + z5;
    four o6 = o12 - o7;
    four o5 = o11 - o6;
    four o4 = o10 + o5;

    x[0] = e0 + o7;
    x[7] = e0 - o7;
    x[1] = e1 + o6;
    x[6] = e1 - o6;
    x[2] = e2 + o5;
    x[5] = e2 - o5;
    x[4] = e3 + o4;
    x[3] = e3 - o4;
}

// Four rows of four columns turned into four columns of four rows.
[[gnu::always_inline]] static inline void transpose(const four* in, four* out) {
    four t0 = __builtin_shufflevector(in[0], in[1], 0, 4, 2, 6);
    four t1 = __builtin_shufflevector(in[0], in[1], 1, 5, 3, 7);
    four t2 = __builtin_shufflevector(in[2], in[3], 0, 4, 2, 6);
    four t3 = __builtin_shufflevector(in[2], in[3], 1, 5, 3, 7);
    out[0] = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
    out[1] = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
    out[2] = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
    out[3] = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
}

#if defined(__SSE2__)
// Four rows of eight samples from the rounded outputs by column: limit[v &
// 511] is v's low 9 bits read as a signed number, plus 128, limited to
// 0..255; the packing instructions limit, and a byte transpose puts each row
// together, so that it goes out in one 8-byte store.
[[gnu::always_inline]] static inline void store_rows(const int_four* rounded, uint8_t* out,
                                                     int32_t stride) {
    __m128i words[4];
    for (int32_t c = 0; c < 8; c += 2) {
        int_four a = ((rounded[c] << 23) >> 23) + 128;
        int_four b = ((rounded[c + 1] << 23) >> 23) + 128;
        words[c / 2] = _mm_packs_epi32(__m128i(a), __m128i(b));
    }
    // By column, the four rows: columns 0 to 3, and 4 to 7.
    __m128i left = _mm_packus_epi16(words[0], words[1]);
    __m128i right = _mm_packus_epi16(words[2], words[3]);
    __m128i t0 = _mm_unpacklo_epi8(left, right);
    __m128i t1 = _mm_unpackhi_epi8(left, right);
    __m128i u0 = _mm_unpacklo_epi8(t0, t1);
    __m128i u1 = _mm_unpackhi_epi8(t0, t1);
    __m128i rows01 = _mm_unpacklo_epi8(u0, u1);
    __m128i rows23 = _mm_unpackhi_epi8(u0, u1);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), rows01);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + stride), _mm_srli_si128(rows01, 8));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 2 * stride), rows23);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 3 * stride), _mm_srli_si128(rows23, 8));
}
#else
// Four rows of eight samples from the rounded outputs by column: each masked
// to its low 9 bits and looked up in limit.
static void store_rows(const int_four* rounded, uint8_t* out, int32_t stride) {
    for (int32_t r = 0; r < 4; ++r)
        for (int32_t c = 0; c < 8; ++c) out[r * stride + c] = limit[rounded[c][r] & 511];
}
#endif

// Adding 1.5 * 2^52 leaves a double whose unit is 1: the sum is the value
// rounded to the nearest integer, halves to even (the default rounding), and
// its low 32 bits are that integer's, for any value below 2^51 in magnitude
// (the transform's outputs stay far below, whatever the data).
static constexpr double round_bias = 6755399441055744.0;
static_assert(std::endian::native == std::endian::little, "the low 32 bits come first");

// A block with nothing but its DC coefficient: the transform gives
// coef[0] * q[0] in every sample, since every other input is zero.
static void flat_block(double value, uint8_t* out, int32_t stride) {
    double sum = value + round_bias;
    uint32_t bits;
    memcpy(&bits, &sum, sizeof bits);  // the low half: little-endian
    uint64_t row = limit[bits & 511] * 0x0101010101010101u;
    for (int32_t r = 0; r < 8; ++r) memcpy(out + r * stride, &row, sizeof row);
}

// The transform, built below once for any processor of the target and once
// for processors with AVX2, which run the four lanes in one instruction.
[[gnu::always_inline]] static inline void transform(const int32_t* coef, const double* q,
                                                    uint8_t* out, int32_t stride) {
    // Which columns carry AC coefficients (rows 1 to 7), by lane.
    int_four ac[2] = {};
    for (int32_t r = 1; r < 8; ++r)
        for (int32_t h = 0; h < 2; ++h) {
            int_four v;
            memcpy(&v, coef + r * 8 + 4 * h, sizeof v);
            ac[h] |= v;
        }
    bool has_ac[2];
    for (int32_t h = 0; h < 2; ++h) {
        uint64_t halves[2];
        memcpy(halves, &ac[h], sizeof halves);
        has_ac[h] = (halves[0] | halves[1]) != 0;
    }
    // Rows 1 to 7 all zero: every row of the first pass is the first row
    // dequantised, so all eight rows of samples are the same.
    bool one_row = !has_ac[0] && !has_ac[1];
    if (one_row && coef[1] == 0 && coef[2] == 0 && coef[3] == 0 && coef[4] == 0 && coef[5] == 0 &&
        coef[6] == 0 && coef[7] == 0)
        return flat_block(coef[0] * q[0], out, stride);
    // The first pass, over the columns in fours, leaves the workspace in
    // fours of rows: ws[g][c] holds column c of rows 4g to 4g + 3.
    four ws[2][8];
    for (int32_t h = 0; h < 2; ++h) {
        four col[8];
        if (!has_ac[h]) {
            // No AC energy in these columns: the DC value fills them. The
            // full transform of such a column gives that value in every row.
            dequantise(&col[0], coef + 4 * h, q + 4 * h);
            for (int32_t r = 1; r < 8; ++r) col[r] = col[0];
        } else {
            for (int32_t r = 0; r < 8; ++r)
                dequantise(&col[r], coef + r * 8 + 4 * h, q + r * 8 + 4 * h);
            idct_1d(col);
        }
        transpose(col, ws[0] + 4 * h);
        transpose(col + 4, ws[1] + 4 * h);
    }
    // The second pass, over the rows in fours; each output rounded, masked
    // to its low 9 bits and limited.
    for (int32_t g = 0; g < (one_row ? 1 : 2); ++g) {
        idct_1d(ws[g]);
        int_four rounded[8];  // by column, the low 32 bits of the four rows
        for (int32_t c = 0; c < 8; ++c) {
            four sum = ws[g][c] + round_bias;
            int_eight bits;
            memcpy(&bits, &sum, sizeof bits);
            rounded[c] = __builtin_shufflevector(bits, bits, 0, 2, 4, 6);
        }
        store_rows(rounded, out + 4 * g * stride, stride);
    }
    if (one_row)
        for (int32_t r = 4; r < 8; ++r) memcpy(out + r * stride, out, 8);
}

void idct_generic(const int32_t* coef, const double* q, uint8_t* out, int32_t stride) {
    transform(coef, q, out, stride);
}

#if defined(__x86_64__) || defined(__i386__)
[[gnu::target("avx2")]] void idct_avx2(const int32_t* coef, const double* q, uint8_t* out,
                                       int32_t stride) {
    transform(coef, q, out, stride);
}

// Which build runs is asked of the processor once, on the first block.
void idct(const int32_t* coef, const double* q, uint8_t* out, int32_t stride) {
    static const bool avx2 = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    (avx2 ? idct_avx2 : idct_generic)(coef, q, out, stride);
}
#else
void idct(const int32_t* coef, const double* q, uint8_t* out, int32_t stride) {
    idct_generic(coef, q, out, stride);
}
#endif

}  // namespace jpeg
