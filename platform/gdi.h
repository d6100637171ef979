// platform/gdi.h -- drawing into the window: a memory context, bitmaps whose
// pixels the program writes at any time, and the stretch copy onto the window.
#pragma once
#include <cstdint>

struct os_window;
struct os_dc;
struct os_bitmap;

constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t DIB_RGB_COLORS = 0;
constexpr int32_t COLORONCOLOR = 3;  // stretch by dropping or repeating pixels
constexpr uint32_t SRCCOPY = 0x00CC0020;

// A bitmap's header (40 bytes) and its red, green and blue masks. A negative
// height makes the bitmap top row first. Rows are padded to 4 bytes.
struct os_bitmapinfo {
    uint32_t size;
    int32_t width, height;
    uint16_t planes, bitcount;
    uint32_t compression, image_size;
    int32_t x_per_metre, y_per_metre;
    uint32_t colours_used, colours_important;
    uint32_t masks[3];
};
static_assert(sizeof(os_bitmapinfo) == 40 + 12);

// A memory context compatible with the screen (dc null); null when the screen
// cannot be drawn to.
os_dc* gdi_createcompatibledc(os_dc* dc);
// A bitmap in the format of info; its pixel memory, which stays valid until the
// bitmap is deleted, goes to *bits. Null when it cannot be made.
os_bitmap* gdi_createdibsection(os_dc* dc, const os_bitmapinfo* info, uint32_t usage, void** bits);
void gdi_selectobject(os_dc* dc, os_bitmap* bitmap);
void gdi_deletedc(os_dc* dc);
void gdi_deleteobject(os_bitmap* bitmap);

// The paint of the whole client area, from the calling thread: invalidate,
// begin (a context for the window), stretch into it, end. The frame is on the
// screen when gdi_endpaint returns.
void gdi_invalidatergn(os_window* window, bool erase);
os_dc* gdi_beginpaint(os_window* window);
void gdi_setstretchbltmode(os_dc* dc, int32_t mode);
bool gdi_stretchblt(os_dc* dest, int32_t x, int32_t y, int32_t width, int32_t height, os_dc* source,
                    int32_t sx, int32_t sy, int32_t swidth, int32_t sheight, uint32_t rop);
void gdi_endpaint(os_window* window, os_dc* dc);
