// tests/xwd.h -- a window's pixels as the X server has them, read back with
// xwd, for tests that compare what is on the screen with what was drawn.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct xwd_image {
    int32_t width = 0, height = 0, depth = 0, bits_per_pixel = 0;
    uint32_t red_mask = 0, green_mask = 0, blue_mask = 0;
    std::vector<uint32_t> pixels;     // the server's own pixel values, row by row
    std::vector<uint32_t> colourmap;  // 0x00RRGGBB per index, for palette visuals
    uint32_t pixel(int32_t x, int32_t y) const {
        return pixels[static_cast<size_t>(y) * width + x];
    }
};

// Dumps window id (root for "root") with xwd and decodes it; false when the
// dump fails or is not a ZPixmap this reader knows.
bool xwd_read(const std::string& id, xwd_image* image);
