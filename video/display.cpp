// video/display.cpp -- display initialisation, presenting and release.
#include "video/display.h"

int32_t v_width = 0, v_height = 0;
int32_t v_bpp = 0;
int32_t v_pitch = 0;
int32_t v_size = 0;
v_pixelformat v_format{};

void v_release() {
    // No output path is built yet, so there is nothing to hand back.
}
