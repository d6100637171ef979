// pictures/rix.cpp -- the RIX reader.
//
// A RIX file is "RIX" and one more byte, width and height (16-bit little-endian),
// two bytes not read, a palette of 256 red, green, blue triples of 0 to 63, and
// width x height palette indices, row after row. Nothing may follow them.
#include "pictures/rix.h"

#include <cstdlib>
#include <cstring>

#include "data/archive.h"
#include "data/heap.h"
#include "pictures/picture.h"
#include "system/sys.h"

static constexpr int32_t header_size = 10;
static constexpr int32_t pixels_at = header_size + 768;

static uint32_t read_u16(const uint8_t* p) {
    return p[0] | p[1] << 8;
}

int32_t l_loadrix(const char* name, uint8_t** pixels, int32_t type, int32_t a) {
    if (type == 0) type = 2;
    if (type != 1 && type != 2) s_panic("l_loadrix: %s cannot be converted", name);
    uint8_t* file = nullptr;
    int32_t size = l_loadfile(name, &file, 0);
    if (size < header_size || memcmp(file, "RIX", 3) != 0) {
        free(file);
        s_panic("l_loadrix: %s is not a RIX file", name);
    }
    l_width = static_cast<int32_t>(read_u16(file + 4));
    l_height = static_cast<int32_t>(read_u16(file + 6));
    int64_t count = int64_t{l_width} * l_height;
    if (size != count + pixels_at) {
        free(file);
        s_panic("l_loadrix: %s is a damaged file", name);
    }
    // Six bits to eight: 63 becomes 252, and what lies above 63 loses its top bits.
    for (int i = 0; i < 768; ++i) l_palette[i] = static_cast<uint8_t>(file[header_size + i] << 2);
    *pixels = static_cast<uint8_t*>(l_alloc(static_cast<int32_t>(count), a));
    memcpy(*pixels, file + pixels_at, static_cast<size_t>(count));
    free(file);
    if (type == 1) l_makegrey(*pixels);
    return type;
}
