// tests/giflib_oracle.h -- giflib as the reference for the GIF reader: files
// its encoder writes (one image, global colour table, no extension blocks) and
// what its decoder makes of any file, both in memory.
#pragma once
#include <gif_lib.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace giflib {

using bytes = std::vector<uint8_t>;

// A picture of width x height indices below colours (a power of two, 2 to
// 256) with the colour table given as colours red, green, blue triples.
inline bytes write(int width, int height, const bytes& pixels, const bytes& table) {
    bytes out;
    auto put = [](GifFileType* gif, const GifByteType* data, int n) {
        bytes* to = static_cast<bytes*>(gif->UserData);
        to->insert(to->end(), data, data + n);
        return n;
    };
    int error = 0;
    GifFileType* gif = EGifOpen(&out, put, &error);
    int colours = int(table.size() / 3);
    ColorMapObject* map = GifMakeMapObject(colours, nullptr);
    memcpy(map->Colors, table.data(), table.size());
    int depth = 1;
    while ((1 << depth) < colours) ++depth;
    bool ok = gif && EGifPutScreenDesc(gif, width, height, depth, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    bytes row;
    for (int y = 0; ok && y < height; ++y) {
        row.assign(pixels.begin() + long(y) * width, pixels.begin() + long(y + 1) * width);
        ok = EGifPutLine(gif, row.data(), width) == GIF_OK;
    }
    if (gif) EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    if (!ok) out.clear();
    return out;
}

struct picture {
    bool ok = false;
    int width = 0, height = 0;
    bytes pixels;
    bytes table;  // the global colour table, 3 bytes per entry
};

// The first image of file as DGifSlurp reads it.
inline picture read(const bytes& file) {
    struct source {
        const bytes* file;
        size_t at;
    } from{&file, 0};
    auto get = [](GifFileType* gif, GifByteType* to, int n) {
        source* s = static_cast<source*>(gif->UserData);
        size_t count = std::min(size_t(n), s->file->size() - s->at);
        memcpy(to, s->file->data() + s->at, count);
        s->at += count;
        return int(count);
    };
    int error = 0;
    picture p;
    GifFileType* gif = DGifOpen(&from, get, &error);
    if (!gif) return p;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0) {
        const SavedImage& image = gif->SavedImages[0];
        p.ok = true;
        p.width = image.ImageDesc.Width;
        p.height = image.ImageDesc.Height;
        p.pixels.assign(image.RasterBits, image.RasterBits + size_t(p.width) * p.height);
        if (gif->SColorMap)
            p.table.assign(reinterpret_cast<uint8_t*>(gif->SColorMap->Colors),
                           reinterpret_cast<uint8_t*>(gif->SColorMap->Colors) +
                               3 * gif->SColorMap->ColorCount);
    }
    DGifCloseFile(gif, &error);
    return p;
}

}  // namespace giflib
