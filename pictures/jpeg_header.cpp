// pictures/jpeg_header.cpp -- the jpeg module's front half: bytes and markers
// of the file image, the frame header, the Huffman and quantisation table
// segments, the JFIF APP0 segment, and the Huffman look-ups.
//
// Supported: one interleaved baseline or extended sequential scan with Huffman
// coding, 8-bit samples, one or three components, at most two tables of each
// kind, no restart intervals, a JFIF APP0 without thumbnail. Everything else
// is refused with a message naming the function that met it.
#include <cstring>

#include "pictures/jpeg_internal.h"
#include "system/sys.h"

namespace jpeg {

uint8_t* jpeg_data;
int32_t jpeg_size;
int32_t jpeg_pos;

int32_t frame_height;
int32_t frame_width;
int32_t frame_comps;
component comp[3];

huf_table dc_huf[2];
huf_table ac_huf[2];
uint8_t quant[2][64];
defined_tables defined;

const uint8_t zigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                            12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                            35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                            58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

int32_t get_1() {
    if (jpeg_pos >= jpeg_size) s_panic("jpeg.get_1: unexpected end of jpeg file");
    return jpeg_data[jpeg_pos++];
}

static int32_t get_2() {
    int32_t high = get_1();
    return high << 8 | get_1();
}

int32_t get_marker() {
    for (;;) {
        if (get_1() != 0xFF) s_panic("jpeg.get_marker: garbage data between markers");
        int32_t m;
        do m = get_1();
        while (m == 0xFF);
        // 0xFF 0x00 is a stuffed byte, not a marker; another 0xFF must follow.
        if (m != 0x00) return m;
    }
}

int32_t get_len() {
    int32_t length = get_2();
    // The stored length counts its own two bytes, so this asks for two more
    // bytes after the segment: the next marker's, in a well-formed file.
    if (int64_t{jpeg_pos} + length > jpeg_size) s_panic("jpeg.get_len: marker exceeds file");
    return length - 2;
}

void get_sof() {
    int32_t n = get_len();
    int64_t end = int64_t{jpeg_pos} + n;
    if (get_1() != 8) s_panic("jpeg.get_sof: only 8 bit channels are supported");
    frame_height = get_2();
    frame_width = get_2();
    if (frame_height == 0 || frame_width == 0) s_panic("jpeg.get_sof: invalid image dimensions");
    frame_comps = get_1();
    if (frame_comps != 1 && frame_comps != 3)
        s_panic("jpeg.get_sof: only grayscale or rgb jpegs are supported");
    for (int32_t i = 0; i < frame_comps; ++i) {
        comp[i].id = get_1();
        int32_t sampling = get_1();
        comp[i].h = sampling >> 4;
        comp[i].v = sampling & 15;
        comp[i].tq = get_1();
    }
    if (jpeg_pos != end) s_panic("jpeg.get_sof: marker size mismatch");
    defined.frame = true;
}

// The table that a DHT class-and-identifier byte selects, with its flag.
static huf_table& huffman_slot(int32_t selector) {
    switch (selector) {
    case 0x00:
        defined.dc[0] = true;
        return dc_huf[0];
    case 0x10:
        defined.ac[0] = true;
        return ac_huf[0];
    case 0x01:
        defined.dc[1] = true;
        return dc_huf[1];
    case 0x11:
        defined.ac[1] = true;
        return ac_huf[1];
    }
    s_panic("jpeg.get_dht: unsupported huffman table");
}

void get_dht() {
    int32_t n = get_len();
    while (n > 0) {
        huf_table& table = huffman_slot(get_1());
        int32_t total = 0;
        table.bits[0] = 0;
        for (int32_t l = 1; l <= 16; ++l) {
            table.bits[l] = static_cast<uint8_t>(get_1());
            total += table.bits[l];
        }
        if (total > 256 || total > n) s_panic("jpeg.get_dht: huffman table overrun");
        for (int32_t i = 0; i < total; ++i) table.huffval[i] = static_cast<uint8_t>(get_1());
        n -= 17 + total;
    }
}

void get_dqt() {
    int32_t n = get_len();
    while (n > 0) {
        // The high four bits are the precision: a 16-bit table is refused here too.
        int32_t t = get_1();
        if (t >= 2) s_panic("jpeg.get_dqt: too many quantization tables");
        for (int32_t i = 0; i < 64; ++i) quant[t][zigzag[i]] = static_cast<uint8_t>(get_1());
        defined.quant[t] = true;
        n -= 65;
    }
}

void get_jfif() {
    int32_t n = get_len();
    // 14 bytes is a JFIF APP0 without thumbnail: identifier, version, units,
    // two densities and a thumbnail size of 0 x 0.
    if (n != 14) s_panic("jpeg.get_jfif: missized JFIF marker");
    const uint8_t* payload = jpeg_data + jpeg_pos;
    if (memcmp(payload, "JFIF", 5) != 0) s_panic("jpeg.get_jfif: invalid JFIF marker");
    if (payload[5] != 1 || payload[6] > 2) s_panic("jpeg.get_jfif: unsupported JFIF version");
    jpeg_pos += n;
}

// The scan may start only on tables this file defined: the frame header, and
// the quantisation and Huffman tables 0, and 1 too for a colour frame.
static void check_defined() {
    if (!defined.frame) s_panic("jpeg.read_header: missing frame header");
    int32_t tables = frame_comps == 1 ? 1 : 2;
    for (int32_t t = 0; t < tables; ++t) {
        if (!defined.quant[t]) s_panic("jpeg.read_header: missing quantization table");
        if (!defined.dc[t] || !defined.ac[t]) s_panic("jpeg.read_header: missing huffman table");
    }
}

void read_header() {
    defined = defined_tables{};
    for (;;) {
        int32_t m = get_marker();
        switch (m) {
        case 0xC0:  // SOF0, baseline
        case 0xC1:  // SOF1, extended sequential
            get_sof();
            break;
        case 0xC2:  // SOF2, progressive
        case 0xC3:  // SOF3, lossless
        case 0xC5:  // SOF5..SOF7, hierarchical
        case 0xC6:
        case 0xC7:
        case 0xC8:  // JPG, reserved
        case 0xC9:  // SOF9..SOF11, arithmetic coding
        case 0xCA:
        case 0xCB:
        case 0xCD:  // SOF13..SOF15, hierarchical arithmetic coding
        case 0xCE:
        case 0xCF:
            s_panic("jpeg.read_header: unsupported jpeg encoding");
        case 0xC4:  // DHT
            get_dht();
            break;
        case 0xCC:  // DAC
            s_panic("jpeg.read_header: DAC marker not supported");
        case 0xD0:  // RST0..RST7 carry no length
        case 0xD1:
        case 0xD2:
        case 0xD3:
        case 0xD4:
        case 0xD5:
        case 0xD6:
        case 0xD7:
        case 0xD8:  // SOI, wherever it stands
            break;
        case 0xD9:  // EOI
            s_panic("jpeg.read_header: header only jpeg file");
        case 0xDA: {  // SOS: the scan header is not parsed; the data follows it
            int32_t n = get_len();
            jpeg_pos += n;
            check_defined();
            return;
        }
        case 0xDB:  // DQT
            get_dqt();
            break;
        case 0xDD:  // DRI
            s_panic("jpeg.read_header: DRI marker not supported");
        case 0xE0:  // APP0
            get_jfif();
            break;
        case 0xFE: {  // COM
            int32_t n = get_len();
            jpeg_pos += n;
            break;
        }
        default:
            if (m >= 0xE1 && m <= 0xEF) s_panic("jpeg.read_header: unsupported APP# marker");
            s_panic("jpeg.read_header: unknown or unexpected marker: 0x02X");
        }
    }
}

// The AC symbols whose code and value bits fit in 8 bits, with the value
// already extended to its sign, so that the decoder takes small coefficients
// in one look-up. The value is one of s bits after a code of l bits.
static void create_fast_ac(huf_table& table) {
    for (int32_t i = 0; i < 256; ++i) {
        int32_t l = table.fast_len[i];
        int32_t s = table.fast_sym[i] & 15;
        int32_t run = table.fast_sym[i] >> 4;
        table.fast_ac[i] = 0;
        if (l == 0 || s == 0 || l + s > 8) continue;
        int32_t v = (i >> (8 - l - s)) & ((1 << s) - 1);
        if (v < 1 << (s - 1)) v += 1 - (1 << s);
        table.fast_ac[i] = static_cast<int16_t>(v * 256 + (run << 4 | (l + s)));
    }
}

void create_huf(huf_table& table) {
    int32_t code = 0;
    int32_t k = 0;
    for (int32_t l = 1; l <= 16; ++l) {
        table.code_start[l] = code;
        table.sym_start[l] = k;
        code += table.bits[l] * (65536 >> l);
        k += table.bits[l];
    }
    table.code_start[17] = 65536;
    // A table read by get_dht has at most 256 symbols; counting them here too
    // keeps every look-up inside huffval whoever filled bits.
    if (code > 65536 || k > 256) s_panic("jpeg.create_huf: huffman table corrupted");
    int32_t j = 0;
    k = 0;
    for (int32_t l = 1; l <= 8; ++l)
        for (int32_t i = 0; i < table.bits[l]; ++i, ++k) {
            int32_t span = 256 >> l;
            memset(table.fast_len + j, l, span);
            memset(table.fast_sym + j, table.huffval[k], span);
            j += span;
        }
    memset(table.fast_len + j, 0, 256 - j);
    memset(table.fast_sym + j, 0, 256 - j);
    create_fast_ac(table);
}

}  // namespace jpeg
