// tools/artgen/gifout.cpp -- the GIF writer over giflib.
#include "tools/artgen/gifout.h"

#include <gif_lib.h>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const std::string& path, int error) {
    fprintf(stderr, "artgen: cannot write %s: %s\n", path.c_str(), GifErrorString(error));
    exit(1);
}

}  // namespace

void write_gif(const std::string& path, const indexed& picture, const std::vector<uint8_t>& rgb) {
    std::string temporary = path + ".tmp";
    int error = 0;
    GifFileType* gif = EGifOpenFileName(temporary.c_str(), false, &error);
    if (!gif) fail(temporary, error);
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    for (int i = 0; i < 256; i++) map->Colors[i] = {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]};
    // No extension is ever put, so giflib keeps the "GIF87a" signature and
    // the image descriptor follows the colour table directly.
    bool ok = EGifPutScreenDesc(gif, picture.width, picture.height, 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, false, nullptr) == GIF_OK;
    std::vector<GifPixelType> row(static_cast<size_t>(picture.width));
    for (int y = 0; ok && y < picture.height; y++) {
        for (int x = 0; x < picture.width; x++) row[x] = picture.at(x, y);
        ok = EGifPutLine(gif, row.data(), picture.width) == GIF_OK;
    }
    if (!ok) error = gif->Error;
    GifFreeMapObject(map);
    int close_error = 0;
    if (EGifCloseFile(gif, &close_error) != GIF_OK && ok) {
        ok = false;
        error = close_error;
    }
    if (!ok) {
        remove(temporary.c_str());
        fail(path, error);
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) fail(path, E_GIF_ERR_WRITE_FAILED);
}
