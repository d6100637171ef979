// data/lzss.cpp -- the LZSS decoder.
#include "data/lzss.h"

#include <cstring>

#include "system/sys.h"

static constexpr uint32_t window_size = 4096;
static constexpr uint32_t window_mask = window_size - 1;
static constexpr uint32_t max_length = 18;
static constexpr uint32_t first_write = window_size - max_length;  // 4078

// The ring of the most recent output. Its last 18 bytes are not reset between
// decodes; a stream written for this format never reads them before writing.
static uint8_t window[window_size];
static uint32_t write_pos;  // where the next output byte goes in the window
// The current flag byte in the low 8 bits; the high bits are a marker whose
// last 1 reaches bit 8 after the eighth item, so a new flag byte is due when
// bit 8 is clear.
static uint32_t flags;
static FILE* input;
static int32_t input_left;  // bytes that may still be read
static uint8_t* output;
static uint32_t output_pos;  // next byte of output to write
static int32_t output_left;  // bytes still to produce

static void start_decode(FILE* in, uint8_t* out, int32_t size, int32_t stored) {
    memset(window, ' ', first_write);
    write_pos = first_write;
    flags = 0;
    input = in;
    input_left = stored;
    output = out;
    output_pos = 0;
    output_left = size;
}

// The next input byte; the stored size and the end of the file both end it.
static uint8_t read_byte() {
    int c = EOF;
    if (input_left > 0) {
        --input_left;
        c = getc(input);
    }
    if (c == EOF) s_panic("lzss_decode: premature end of input file (%d bytes left)", output_left);
    return static_cast<uint8_t>(c);
}

// Stores c in the output and the window; true once the output is complete.
static bool emit(uint8_t c) {
    output[output_pos++] = c;
    window[write_pos] = c;
    write_pos = (write_pos + 1) & window_mask;
    return --output_left == 0;
}

// Moves to the next item's flag bit, reading a flag byte every eight items;
// true when the item is a literal.
static bool next_is_literal() {
    flags >>= 1;
    if ((flags & 0x100) == 0) flags = read_byte() | 0xFF00u;
    return (flags & 1) != 0;
}

// Copies a reference byte by byte, so that one overlapping the write position
// repeats what it has just produced; true once the output is complete.
static bool copy_reference() {
    uint32_t b1 = read_byte();
    uint32_t b2 = read_byte();
    uint32_t pos = b1 | (b2 & 0xF0) << 4;
    uint32_t length = (b2 & 0x0F) + 3;
    for (uint32_t k = 0; k < length; ++k)
        if (emit(window[(pos + k) & window_mask])) return true;
    return false;
}

void lzss_decode(FILE* in, uint8_t* out, int32_t size, int32_t stored) {
    start_decode(in, out, size, stored);
    if (output_left <= 0) return;
    for (;;) {
        if (next_is_literal()) {
            if (emit(read_byte())) return;
        } else if (copy_reference()) {
            return;
        }
    }
}
