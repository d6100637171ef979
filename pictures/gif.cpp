// pictures/gif.cpp -- the GIF reader.
//
// Reads one image laid out the simple way: header, global colour table, the
// image descriptor right after it, and the LZW data up to the end code. No
// extension blocks, no local colour table, no interlacing: a file that has
// them is read as if it had not (a local table's first byte is taken for the
// code size, interlaced rows stay in the order of the passes).
//
// Pixels go straight into the picture buffer. While the data are well formed,
// every string a code stands for has been written out whole before, so it is
// copied from there (decode_fast); the walk along the prefix table, one pixel
// at a time through the stack, takes over for what that cannot serve: data
// before the first clear code, codes beyond the next code, and strings that
// would run past the end of the picture (decode_code).
#include "pictures/gif.h"

#include <cstdlib>
#include <cstring>

#include "data/archive.h"
#include "data/heap.h"
#include "pictures/picture.h"
#include "system/sys.h"

static constexpr int32_t table_size = 4097;  // codes 0 to 4095, and one to spare
static constexpr uint32_t max_width = 12;

// Mask of the low w bits of a code of width w.
static constexpr uint32_t code_mask[13] = {0x000, 0x001, 0x003, 0x007, 0x00F, 0x01F, 0x03F,
                                           0x07F, 0x0FF, 0x1FF, 0x3FF, 0x7FF, 0xFFF};

// The file, whole, as l_loadfile returned it, and the index of the next byte.
static uint8_t* file_data;
static int32_t file_size;
static int32_t read_pos;

// The data sub-block being read.
static uint8_t block[256];

// Where getcode stands in the image data. The fast decoder works on a copy in
// local variables, so that its stores into the picture cannot be taken for
// changes of this state, and puts it back when it stops.
struct code_reader {
    const uint8_t* block_pos;  // next byte of the sub-block
    int32_t block_left;        // bytes left in the sub-block
    uint32_t byte;             // the byte being taken apart
    uint32_t bits_left;        // its high bits not used yet
    uint32_t width;            // bits per code, s + 1 to 12
};
static code_reader reader;

// The code table.
static uint32_t first_width;                       // s + 1
static uint32_t clear_code, end_code, first_free;  // 2^s, 2^s + 1, 2^s + 2
static uint32_t next_code;                         // the code the next entry gets
static uint32_t width_limit;                       // 2^width: the next code that widens the codes
static uint32_t prev_code;                         // the code read before the current one
static uint32_t first_pixel;  // first pixel of the string of the last entry made
static uint16_t* prefix;      // per code: the code of its string without the last pixel
static uint8_t* suffix;       // per code: the last pixel of its string
static uint8_t* stack;        // a string, collected last pixel first

// For decode_fast, where the string of each entry lies in the picture and its
// length (current only for the entries it made since the last clear code),
// and length 0 for the clear and end codes, which it leaves to its caller.
struct string_at {
    const uint8_t* from;
    uint32_t length;
};
static string_at* strings;
static const uint8_t* prev_string;  // the string of prev_code, as decode_fast wrote it
static uint32_t prev_length;

// The picture buffer and the next pixel to write; pixels past its end are
// dropped.
static uint8_t* out;
static uint32_t out_size, out_pos;

static uint32_t getb() {
    if (read_pos >= file_size) s_panic("gif.getb: unexpected end of gif file");
    return file_data[read_pos++];
}

// Reads the next data sub-block into block and returns its count. A count of 0
// is the block terminator, which only comes after the end code in good data.
static int32_t start_block() {
    int32_t count = static_cast<int32_t>(getb());
    if (count == 0) s_panic("gif.getcode: unexpected end of image data");
    // The bytes as getb would take them, one check for the whole block.
    if (count > file_size - read_pos) s_panic("gif.getb: unexpected end of gif file");
    memcpy(block, file_data + read_pos, static_cast<size_t>(count));
    read_pos += count;
    return count;
}

static inline uint32_t next_block_byte(code_reader& r) {
    if (r.block_left == 0) {
        r.block_left = start_block();
        r.block_pos = block;
    }
    --r.block_left;
    return *r.block_pos++;
}

// Codes are packed least significant bit first, running on across the
// sub-blocks; a byte is fetched only when a code needs its bits.
static inline uint32_t getcode(code_reader& r) {
    if (r.block_left >= 2) {
        // The steps below without their branches, while the sub-block holds
        // the two bytes a code may need: n bytes taken, the last of them
        // becoming the current byte.
        uint32_t more = r.block_pos[0] | r.block_pos[1] << 8;
        uint32_t code = (r.byte >> (8 - r.bits_left)) | more << r.bits_left;
        uint32_t n = (r.width + 7 - r.bits_left) >> 3;
        if (n) r.byte = (more >> (8 * (n - 1))) & 0xFF;
        r.block_pos += n;
        r.block_left -= static_cast<int32_t>(n);
        r.bits_left += 8 * n - r.width;
        return code & code_mask[r.width];
    }
    if (r.bits_left == 0) {
        r.byte = next_block_byte(r);
        r.bits_left = 8;
    }
    uint32_t code = r.byte >> (8 - r.bits_left);
    while (r.bits_left < r.width) {
        r.byte = next_block_byte(r);
        code |= r.byte << r.bits_left;
        r.bits_left += 8;
    }
    r.bits_left -= r.width;
    return code & code_mask[r.width];
}

// Picture buffer and tables.

// The buffer for l_width x l_height pixels, from l_alloc with the caller's
// exponent. Two 16-bit sides can pass a signed 32-bit count; a picture that
// large fails as any picture too large for its heap does.
static void alloc_picture(uint8_t** pixels, int32_t a) {
    int64_t size = int64_t{l_width} * l_height;
    out = static_cast<uint8_t*>(l_alloc64(size, a));
    out_size = static_cast<uint32_t>(size);
    out_pos = 0;
    *pixels = out;
}

// Cleared for every load, so that data which reach entries never made in this
// load find zeros there and nothing of an earlier picture.
static void alloc_tables() {
    stack = static_cast<uint8_t*>(calloc(table_size, 1));
    suffix = static_cast<uint8_t*>(calloc(table_size, 1));
    prefix = static_cast<uint16_t*>(calloc(table_size, sizeof *prefix));
    strings = static_cast<string_at*>(calloc(table_size, sizeof *strings));
    if (!stack || !suffix || !prefix || !strings) s_panic("l_loadgif: not enough memory");
}

static void free_tables() {
    free(stack);
    free(suffix);
    free(prefix);
    free(strings);
    stack = suffix = nullptr;
    prefix = nullptr;
    strings = nullptr;
}

// Decoding.

static void start_decode(uint32_t s) {
    first_width = s + 1;
    clear_code = 1u << s;
    end_code = clear_code + 1;
    first_free = clear_code + 2;
    reader = {block, 0, 0, 0, s + 1};
    next_code = first_free;
    width_limit = 1u << (s + 1);
    prev_code = first_pixel = 0;
    strings[clear_code] = strings[end_code] = {nullptr, 0};
}

// At a clear code the table starts afresh; clear codes in a row act as one.
// Returns the first code after them.
static uint32_t clear_table() {
    reader.width = first_width;
    next_code = first_free;
    width_limit = 1u << reader.width;
    uint32_t c;
    do c = getcode(reader);
    while (c == clear_code);
    return c;
}

// The code after a clear code is one pixel; one that is no root code yet
// stands for pixel 0. True when it was written, so that the strings that
// follow can be copied from the picture.
static bool start_string(uint32_t c) {
    if (c >= next_code) c = 0;
    prev_code = first_pixel = c;
    if (out_pos == out_size) return false;
    prev_string = out + out_pos;
    prev_length = 1;
    out[out_pos++] = static_cast<uint8_t>(c);
    return true;
}

// Copies a string of length 1 or more that lies wholly before to, earlier in
// the picture. Touches nothing outside the two ranges: the bytes after the
// string are pixels still to come, or a part of the buffer the data never
// reach, which keeps what it held.
static inline void copy_string(uint8_t* to, const uint8_t* from, uint32_t length) {
    if (length <= 3) {
        // 1 to 3 bytes without a branch on which.
        to[0] = from[0];
        to[length / 2] = from[length / 2];
        to[length - 1] = from[length - 1];
    } else if (length <= 8) {
        memcpy(to, from, 4);
        memcpy(to + length - 4, from + length - 4, 4);
    } else {
        for (uint32_t i = 0; i + 8 < length; i += 8) memcpy(to + i, from + i, 8);
        memcpy(to + length - 8, from + length - 8, 8);
    }
}

// Decodes codes for as long as each string is at hand: a root's one pixel,
// the string of an entry below the next code, or for the next code itself the
// previous string and its first pixel again. Makes the entries as decode_code would, and
// notes where each string lies. Returns the first code it does not take: the
// end code, a clear code, a code beyond the next code, or one whose string
// would not fit in the picture.
static uint32_t decode_fast(uint32_t c) {
    code_reader r = reader;
    uint8_t* to = out + out_pos;
    uint8_t* const end = out + out_size;
    uint16_t* const pre = prefix;
    uint8_t* const suf = suffix;
    string_at* const at = strings;
    uint32_t next = next_code, prev = prev_code;
    const uint8_t* prev_from = prev_string;
    uint32_t prev_count = prev_length;
    const uint32_t clear = clear_code;
    for (;;) {
        uint32_t length;
        if (c < clear) {
            // A root: one pixel, the commonest code in busy pictures.
            if (to == end) break;
            *to = static_cast<uint8_t>(c);
            length = 1;
        } else if (c < next) {
            length = at[c].length;
            if (length == 0 || length > static_cast<uint32_t>(end - to)) break;
            copy_string(to, at[c].from, length);
        } else if (c == next) {
            length = prev_count + 1;
            if (length > static_cast<uint32_t>(end - to)) break;
            copy_string(to, prev_from, prev_count);
            to[prev_count] = prev_from[0];
        } else {
            break;
        }
        // Entries are made up to 4095, the codes widening on the way.
        if (next < table_size - 1) {
            pre[next] = static_cast<uint16_t>(prev);
            suf[next] = to[0];
            at[next] = {prev_from, prev_count + 1};
            prev = c;
            prev_from = to;
            prev_count = length;
            if (++next == 1u << r.width && r.width < max_width) ++r.width;
        }
        to += length;
        c = getcode(r);
    }
    reader = r;
    out_pos = static_cast<uint32_t>(to - out);
    next_code = next;
    width_limit = 1u << r.width;
    prev_code = prev;
    first_pixel = prev_from[0];
    prev_string = prev_from;
    prev_length = prev_count;
    return c;
}

// A code's string, one pixel at a time: pushes the string of code c onto the
// stack, last pixel first, and returns the number of pixels; *root receives
// the root code it starts with. A code beyond the next code is read
// as the next code. A walk longer than the stack comes only from a cycle in
// the table, which good data never make.
static uint32_t expand(uint32_t c, uint32_t* root) {
    uint32_t depth = 0;
    uint32_t code = c;
    if (c >= next_code) {
        stack[depth++] = static_cast<uint8_t>(first_pixel);
        code = prev_code;
    }
    for (; code >= first_free; code = prefix[code]) {
        if (depth == table_size - 1) s_panic("gif.decode: corrupt lzw data");
        stack[depth++] = suffix[code];
    }
    stack[depth++] = static_cast<uint8_t>(code);
    *root = code;
    return depth;
}

// The new entry: the previous string and the root of this one. A full table
// takes none, and the previous code and first pixel stay as they were.
static void add_entry(uint32_t c, uint32_t root) {
    if (next_code < width_limit) {
        suffix[next_code] = static_cast<uint8_t>(root);
        prefix[next_code] = static_cast<uint16_t>(prev_code);
        first_pixel = root;
        ++next_code;
        prev_code = c;
    }
    if (next_code == width_limit && reader.width < max_width) {
        ++reader.width;
        width_limit <<= 1;
    }
}

// The stack onto the picture, first pixel first, as far as the picture goes.
static void pop_stack(uint32_t depth) {
    uint32_t room = out_size - out_pos;
    uint32_t count = depth < room ? depth : room;
    for (uint32_t i = 0; i < count; ++i) out[out_pos + i] = stack[depth - 1 - i];
    out_pos += count;
}

static void decode_code(uint32_t c) {
    uint32_t root;
    uint32_t depth = expand(c, &root);
    add_entry(c, root);
    pop_stack(depth);
}

// The image data up to the end code. Until the first clear code, and after a
// code decode_fast does not take, codes go through decode_code; a clear code
// starts the table and decode_fast afresh.
static void decode() {
    bool copying = false;
    uint32_t c = getcode(reader);
    for (;;) {
        if (copying) c = decode_fast(c);
        if (c == end_code) return;
        if (c == clear_code) {
            c = clear_table();
            if (c == end_code) return;
            copying = start_string(c);
        } else {
            copying = false;
            decode_code(c);
        }
        c = getcode(reader);
    }
}

// The file's parts, in the order they come.

static void read_signature(const char* name) {
    uint8_t signature[6];
    for (uint8_t& b : signature) b = static_cast<uint8_t>(getb());
    if (memcmp(signature, "GIF", 3) != 0 && memcmp(signature, "F& ", 3) != 0)
        s_panic("l_loadgif: %s is not a GIF file", name);
}

// The screen descriptor; returns n, the colour table having 2^(n+1) entries.
static uint32_t read_screen() {
    uint32_t flags = 0;
    for (int i = 0; i < 7; ++i) {
        uint32_t b = getb();
        if (i == 4) flags = b;
    }
    return flags & 7;
}

// Read whether or not the flags announce it; entries it does not have are 0.
static void read_colour_table(uint32_t n) {
    memset(l_palette, 0, sizeof l_palette);
    uint32_t count = 3u << (n + 1);
    for (uint32_t i = 0; i < count; ++i) l_palette[i] = static_cast<uint8_t>(getb());
}

// The image descriptor up to the flags: separator, left and top unread.
static void read_image_size() {
    for (int i = 0; i < 5; ++i) getb();
    uint32_t low = getb();
    l_width = static_cast<int32_t>(low | getb() << 8);
    low = getb();
    l_height = static_cast<int32_t>(low | getb() << 8);
}

int32_t l_loadgif(const char* name, uint8_t** pixels, int32_t type, int32_t a) {
    if (type == 0) type = 2;
    if (type != 1 && type != 2) s_panic("l_loadgif: %s cannot be converted", name);
    file_size = l_loadfile(name, &file_data, 0);
    read_pos = 0;
    read_signature(name);
    read_colour_table(read_screen());
    read_image_size();
    alloc_picture(pixels, a);
    getb();  // image flags
    uint32_t s = getb();
    if (s < 2 || s > 9) s_panic("l_loadgif: %s has size problems", name);
    alloc_tables();
    start_decode(s);
    decode();
    free_tables();
    free(file_data);
    file_data = nullptr;
    if (type == 1) l_makegrey(*pixels);
    return type;
}
