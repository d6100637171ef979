// pictures/picture.cpp -- the picture front end and the palette helpers.
#include "pictures/picture.h"

#include "data/heap.h"
#include "pictures/gif.h"
#include "pictures/jpeg.h"
#include "pictures/rix.h"
#include "system/sys.h"

int32_t l_width = 0, l_height = 0;
uint8_t l_palette[768];

// The text after the last ".", or the whole name when it has none.
static const char* extension(const char* name) {
    const char* dot = nullptr;
    for (const char* c = name; *c; ++c)
        if (*c == '.') dot = c;
    return dot ? dot + 1 : name;
}

static bool same_letters(const char* a, const char* b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (; *a && *b; ++a, ++b)
        if (lower(*a) != lower(*b)) return false;
    return *a == *b;
}

int32_t l_loadpic(const char* name, uint8_t** pixels, int32_t type, int32_t a) {
    const char* ext = extension(name);
    if (same_letters(ext, "SCX") || same_letters(ext, "RIX"))
        return l_loadrix(name, pixels, type, a);
    if (same_letters(ext, "GIF")) return l_loadgif(name, pixels, type, a);
    if (same_letters(ext, "JPG")) return l_loadjpeg(name, pixels, type, a);
    s_panic("l_loadpic: unidentified picture %s", name);
}

void l_makegrey(uint8_t* pixels) {
    uint8_t grey[256];
    for (int i = 0; i < 256; ++i) {
        const uint8_t* rgb = l_palette + 3 * i;
        grey[i] = static_cast<uint8_t>(0.587 * rgb[1] + 0.299 * rgb[0] + 0.114 * rgb[2]);
    }
    int64_t count = int64_t{l_width} * l_height;
    for (int64_t i = 0; i < count; ++i) pixels[i] = grey[pixels[i]];
    l_greypal();
}

void l_greypal() {
    for (int i = 0; i < 256; ++i)
        l_palette[3 * i] = l_palette[3 * i + 1] = l_palette[3 * i + 2] = static_cast<uint8_t>(i);
}

void l_getpal6(uint8_t* buffer) {
    for (int i = 0; i < 768; ++i) buffer[i] = l_palette[i] >> 2;
}

void l_makepal16(const uint8_t* palette6, uint16_t** table, int32_t a) {
    uint16_t* entries = static_cast<uint16_t*>(h_alloc(512, a));
    *table = entries;
    for (int i = 0; i < 256; ++i) {
        const uint8_t* rgb = palette6 + 3 * i;
        entries[i] = static_cast<uint16_t>(((rgb[0] >> 1) << 11) | (rgb[1] << 5) | (rgb[2] >> 1));
    }
}
