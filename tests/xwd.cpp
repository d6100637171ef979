// tests/xwd.cpp -- the XWD dump format: a big-endian header of 25 words, the
// window's name, the colour map entries, then the image rows.
#include "tests/xwd.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "tests/xserver.h"

static uint32_t be32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

bool xwd_read(const std::string& id, xwd_image* image) {
    char path[] = "/tmp/korvite-xwd-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return false;
    close(fd);
    std::string target = id == "root" ? "-root" : "-id " + id;
    bool dumped = x_command("xwd -silent " + target + " -out " + path, 10) == 0;
    std::vector<uint8_t> data;
    if (FILE* f = fopen(path, "rb")) {
        uint8_t buffer[65536];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
            data.insert(data.end(), buffer, buffer + n);
        fclose(f);
    }
    unlink(path);
    if (!dumped || data.size() < 100) return false;
    uint32_t h[25];
    for (int i = 0; i < 25; ++i) h[i] = be32(data.data() + 4 * i);
    uint32_t header_size = h[0], format = h[2], byte_order = h[7], bpp = h[11], line = h[12];
    uint32_t ncolours = h[19];
    if (h[1] != 7 || format != 2 || (bpp != 8 && bpp != 16 && bpp != 32)) return false;
    image->depth = static_cast<int32_t>(h[3]);
    image->width = static_cast<int32_t>(h[4]);
    image->height = static_cast<int32_t>(h[5]);
    image->bits_per_pixel = static_cast<int32_t>(bpp);
    image->red_mask = h[14], image->green_mask = h[15], image->blue_mask = h[16];
    size_t colours = header_size;
    size_t rows = colours + size_t{ncolours} * 12;
    if (data.size() < rows + size_t{line} * image->height) return false;
    image->colourmap.assign(256, 0);
    for (uint32_t i = 0; i < ncolours; ++i) {
        const uint8_t* c = data.data() + colours + 12 * i;
        uint32_t index = be32(c);
        // Red, green and blue are 16-bit big-endian; keep the high bytes.
        if (index < 256)
            image->colourmap[index] = uint32_t{c[4]} << 16 | uint32_t{c[6]} << 8 | c[8];
    }
    image->pixels.resize(static_cast<size_t>(image->width) * image->height);
    for (int32_t y = 0; y < image->height; ++y)
        for (int32_t x = 0; x < image->width; ++x) {
            const uint8_t* p = data.data() + rows + size_t{line} * y + size_t{bpp / 8} * x;
            uint32_t v = 0;
            for (uint32_t b = 0; b < bpp / 8; ++b)
                v |= uint32_t{p[b]} << (8 * (byte_order == 0 ? b : bpp / 8 - 1 - b));
            image->pixels[static_cast<size_t>(y) * image->width + x] = v;
        }
    return true;
}
