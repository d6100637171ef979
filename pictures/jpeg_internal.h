// pictures/jpeg_internal.h -- the state and the steps of the jpeg module, shared
// by its three stages and reached by the tests.
//
// jpeg_header.cpp reads bytes and markers, the frame header and the table
// segments, and builds the Huffman look-ups; jpeg_block.cpp reads the
// entropy-coded bits, decodes blocks and runs the inverse DCT; jpeg.cpp is the
// entry point l_loadjpeg, the decoders per layout and the colour conversion.
//
// All of it is module-level state that one picture at a time uses, on the
// start-up thread. Tables keep their contents from picture to picture; which
// of them the file being read defined is tracked separately, so that a scan
// never runs on what an earlier picture left.
#pragma once
#include <cstdint>

namespace jpeg {

// Input, set by l_loadjpeg: the file image (from the general heap), its size
// and the index of the next byte to read.
extern uint8_t* jpeg_data;
extern int32_t jpeg_size;
extern int32_t jpeg_pos;

// Frame parameters, written by get_sof.
struct component {
    int32_t id;  // component identifier (not used)
    int32_t h;   // horizontal sampling factor
    int32_t v;   // vertical sampling factor
    int32_t tq;  // quantisation table selector (not used)
};
extern int32_t frame_height;
extern int32_t frame_width;
extern int32_t frame_comps;  // 1 or 3
extern component comp[3];

// A Huffman table as the file stores it (bits, huffval) and the look-ups that
// create_huf builds from it.
struct huf_table {
    uint8_t bits[17];        // bits[l]: number of codes of length l; bits[0] is 0
    uint8_t huffval[256];    // the symbols by increasing code length
    int32_t code_start[18];  // [1..16] first code of each length, left-aligned in
                             // 16 bits; [17] the sentinel 65536
    int32_t sym_start[17];   // [1..16] index in huffval of each length's first symbol
    uint8_t fast_len[256];   // by the next 8 bits: length of the code they begin, or 0
    uint8_t fast_sym[256];   // the symbol of that code, or 0
    // By the next 8 bits, when they hold a whole AC code and all its value
    // bits: value << 8 | run << 4 | bits used; 0 otherwise.
    int16_t fast_ac[256];
};
// Table 0 serves the first component, table 1 the other two.
extern huf_table dc_huf[2];
extern huf_table ac_huf[2];

// Quantisation tables in natural (row-major) order.
extern uint8_t quant[2][64];

// What the file being read defined: reset by read_header at its start, set by
// the segment parsers, checked when the scan begins.
struct defined_tables {
    bool frame;
    bool quant[2];
    bool dc[2];
    bool ac[2];
};
extern defined_tables defined;

// Natural (row-major) position of each zig-zag index.
extern const uint8_t zigzag[64];

// --- markers and header (jpeg_header.cpp) ---

// The next byte; "jpeg.get_1: unexpected end of jpeg file" when none is left.
int32_t get_1();
// The code of the next marker (1..254), fill bytes skipped; jpeg_pos after it.
int32_t get_marker();
// A segment's payload length (the stored length minus 2); jpeg_pos at the payload.
int32_t get_len();
// Each parses one segment, called just after its marker.
void get_sof();
void get_dht();
void get_dqt();
void get_jfif();
// Reads the header from jpeg_pos on; returns at the first byte of the scan data.
void read_header();
// Fills code_start, sym_start, fast_len, fast_sym and fast_ac from bits and
// huffval.
void create_huf(huf_table& table);

// --- block engine (jpeg_block.cpp) ---

// Bit buffer: the low bit_cnt bits are valid, the next one to use highest.
extern uint32_t bit_buf;
extern int32_t bit_cnt;
// Coefficients of the block being decoded, natural order; [0] is the DC difference.
extern int32_t coef[64];
// Dequantisation folded with the transform's scale factors, natural order.
extern double qscale[2][64];
extern const double aan_scale[8];
// Range limit of the transform's rounded output, indexed by its low 9 bits.
extern uint8_t limit[512];

// Tops bit_buf up until bit_cnt is above 24.
void fill_bits();
// The next n bits (0 <= n <= 16) as an unsigned value.
uint32_t get_bits(int32_t n);
// The next n bits (1 <= n <= 16) as a signed coefficient value.
int32_t get_signed(int32_t n);
// The next Huffman symbol; "jpeg.get_huf: corrupt huffman data" for bits that
// begin no code of the table.
int32_t get_huf(const huf_table& table);
// One block into coef.
void decode_block(const huf_table& dc, const huf_table& ac);
void create_quant(int32_t t);
void init_limit();
// 8 x 8 samples from coef and the scaled table q, row r at out + r * stride.
void idct(const int32_t* coef, const double* q, uint8_t* out, int32_t stride);
// The builds of the transform that idct chooses from, once: one for any
// processor of the target and, on x86, one for processors with AVX2. Their
// samples are the same.
void idct_generic(const int32_t* coef, const double* q, uint8_t* out, int32_t stride);
#if defined(__x86_64__) || defined(__i386__)
void idct_avx2(const int32_t* coef, const double* q, uint8_t* out, int32_t stride);
#endif

// --- colour conversion and output (jpeg.cpp) ---

// One MCU: luma in rows of 16 (a one-component picture uses the first 64
// bytes with rows of 8), the two chroma blocks, and the converted pixels as
// blue, green, red in rows of 48 bytes.
extern uint8_t luma_mcu[256];
extern uint8_t cb_block[64];
extern uint8_t cr_block[64];
extern uint8_t rgb_mcu[768];

// By chroma sample: red and blue offsets with the bias 128; the green terms in
// 16.16 fixed point, cr_g carrying the bias. clamp[v] is v - 128 limited to 0..255.
extern int32_t cr_r[256];
extern int32_t cb_b[256];
extern int32_t cr_g[256];
extern int32_t cb_g[256];
extern uint8_t clamp[512];

void init_colour();
// luma_mcu, cb_block and cr_block into rgb_mcu, for the 2 x 1 (comp[0].v == 1)
// or the 2 x 2 layout.
void convert_mcu();
// The decoders, each writing frame_width x frame_height pixels to out, row
// after row: grey levels from a one-component or from a colour frame, and
// direct colour of depth 16 (5-6-5) or 32 (0x00RRGGBB, little-endian).
void decode_grey(uint8_t* out);
void decode_luma(uint8_t* out);
void decode_colour(uint8_t* out, int32_t depth);

}  // namespace jpeg
