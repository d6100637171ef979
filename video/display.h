// video/display.h -- the frame buffers and the way they reach the screen.
//
// v_initbuffer (called once by WinMain) fixes the frame's size and format,
// creates the window, sets up an output path and starts the player thread,
// which fills v_buffer and hands it to v_present once per frame. s_restore
// calls v_release, with s_lock held, on every shutdown road.
#pragma once
#include <cstdint>

#include "video/pixelformat.h"

struct os_dc;
struct os_bitmap;

// The frame, fixed by v_initbuffer before the player thread starts.
extern int32_t v_width, v_height;
extern int32_t v_bpp;    // bits per pixel of the frame buffer: 16 or 32
extern int32_t v_pitch;  // bytes per frame row
extern int32_t v_size;   // bytes per frame buffer
extern v_pixelformat v_format;
// The two frame buffers, null until an output path is set up (and again after
// the GDI-style path is released); v_buffer is v_buffers[0], the one the player
// fills and presents.
extern uint8_t* v_buffers[2];
extern uint8_t* v_buffer;
// Non-zero while fullscreen output is asked for or active.
extern uint8_t v_fullscreen;
// The GDI-style path's memory context and the bitmaps that own v_buffers.
extern os_dc* v_dc;
extern os_bitmap* v_bitmaps[2];

// Frame of width x height at bpp (16 or 32) bits, fullscreen 1 or windowed 0
// unless the switches "gdi", "windowed" and "fullscreen" say otherwise. Returns
// once the player thread runs; every failure on the way is fatal.
void v_initbuffer(int32_t width, int32_t height, int32_t bpp, int32_t fullscreen);
void v_initbuffer_gdi();

// Shows a frame buffer by the active path, under s_lock; null is ignored.
void v_present(uint8_t* buffer);
// The GDI-style present; s_lock held by the caller.
void v_putbuffer(uint8_t* buffer);

// Releases whatever output path is set up; a second call finds nothing to do.
void v_release();
