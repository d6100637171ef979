// video/display.h -- the frame buffers and the way they reach the screen.
//
// v_initbuffer (called once by WinMain) fixes the frame's size and format; the
// player thread fills v_buffer and presents it; s_restore calls v_release, with
// s_lock held, on every shutdown road.
#pragma once
#include <cstdint>

#include "video/pixelformat.h"

// The frame, fixed by v_initbuffer before the player thread starts.
extern int32_t v_width, v_height;
extern int32_t v_bpp;    // bits per pixel of the frame buffer: 16 or 32
extern int32_t v_pitch;  // bytes per frame row
extern int32_t v_size;   // bytes per frame buffer
extern v_pixelformat v_format;

// Releases whatever output path is set up; a second call finds nothing to do.
void v_release();
