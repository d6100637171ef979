// app/paint.h -- 8-bit pictures turned into 5-6-5 frames through a palette
// table. The player loop repaints the whole frame with it on every pass.
#pragma once
#include <cstdint>

// frame[i] = palette[pixels[i]] for i below count; palette has 256 entries.
// The three never overlap.
void paint_screen(uint16_t* frame, const uint8_t* pixels, const uint16_t* palette, int32_t count);
