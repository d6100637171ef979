// tests/png_out.cpp -- the PNG container: signature, IHDR, one IDAT of
// filter-0 rows deflated by zlib, IEND; every chunk with its CRC.
#include "tests/png_out.h"

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void put32(std::vector<uint8_t>* out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(v >> shift));
}

void chunk(std::vector<uint8_t>* out, const char type[5], const std::vector<uint8_t>& data) {
    put32(out, static_cast<uint32_t>(data.size()));
    size_t start = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    uLong crc = crc32(0, out->data() + start, static_cast<uInt>(out->size() - start));
    put32(out, static_cast<uint32_t>(crc));
}

// A channel of a pixel as 8 bits, whatever the width of its mask.
uint8_t channel(uint32_t pixel, uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0, width = 0;
    while (!(mask >> shift & 1)) ++shift;
    while (shift + width < 32 && (mask >> (shift + width) & 1)) ++width;
    uint32_t v = (pixel & mask) >> shift, top = (1u << width) - 1;
    return static_cast<uint8_t>(v * 255 / top);
}

}  // namespace

bool png_write(const std::string& path, const xwd_image& image) {
    if (image.width <= 0 || image.height <= 0 || !image.red_mask || !image.green_mask ||
        !image.blue_mask)
        return false;
    std::vector<uint8_t> rows;
    rows.reserve(static_cast<size_t>(image.height) * (1 + 3 * image.width));
    for (int32_t y = 0; y < image.height; ++y) {
        rows.push_back(0);  // filter: none
        for (int32_t x = 0; x < image.width; ++x) {
            uint32_t p = image.pixel(x, y);
            rows.push_back(channel(p, image.red_mask));
            rows.push_back(channel(p, image.green_mask));
            rows.push_back(channel(p, image.blue_mask));
        }
    }
    uLongf packed_size = compressBound(static_cast<uLong>(rows.size()));
    std::vector<uint8_t> packed(packed_size);
    if (compress2(packed.data(), &packed_size, rows.data(), static_cast<uLong>(rows.size()), 9) !=
        Z_OK)
        return false;
    packed.resize(packed_size);

    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    put32(&header, static_cast<uint32_t>(image.width));
    put32(&header, static_cast<uint32_t>(image.height));
    header.insert(header.end(),
                  {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter set, no interlace
    chunk(&file, "IHDR", header);
    chunk(&file, "IDAT", packed);
    chunk(&file, "IEND", {});
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    bool written = fwrite(file.data(), 1, file.size(), f) == file.size();
    return fclose(f) == 0 && written;
}
