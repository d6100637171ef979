// video/pixelformat.h -- the description of a pixel format, shared by the frame
// buffer (v_format) and the display (dx_format).
#pragma once
#include <cstdint>

// Formats are told apart by depth and the four masks alone; the widths and
// shifts describe the three colour masks.
struct v_pixelformat {
    int32_t depth;  // bits per pixel
    uint8_t red_width, green_width, blue_width;
    uint8_t red_shift, green_shift, blue_shift;
    uint32_t red_mask, green_mask, blue_mask, alpha_mask;
};
