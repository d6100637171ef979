// platform/ddraw.h -- direct access to the display: the display object, its
// surfaces (the visible one, a back buffer, plain offscreen ones) and a
// clipper. Every call returns DD_OK or an error code; objects come back
// through the last argument.
#pragma once
#include <cstdint>

struct os_window;
struct os_rect;
struct os_ddraw;
struct os_ddraw2;
struct os_surface;
struct os_clipper;

constexpr int32_t DD_OK = 0;
constexpr int32_t DDERR_GENERIC = -2147467259;      // 0x80004005
constexpr int32_t DDERR_SURFACELOST = -2005532222;  // 0x887601C2
constexpr int32_t DDERR_INVALIDMODE = -2005532492;  // 0x887600B4

constexpr uint32_t DDSCL_FULLSCREEN = 0x01, DDSCL_ALLOWREBOOT = 0x02, DDSCL_NORMAL = 0x08,
                   DDSCL_EXCLUSIVE = 0x10;
constexpr uint32_t DDSD_CAPS = 0x01, DDSD_HEIGHT = 0x02, DDSD_WIDTH = 0x04,
                   DDSD_BACKBUFFERCOUNT = 0x20;
constexpr uint32_t DDSCAPS_BACKBUFFER = 0x04, DDSCAPS_COMPLEX = 0x08, DDSCAPS_FLIP = 0x10,
                   DDSCAPS_OFFSCREENPLAIN = 0x40, DDSCAPS_PRIMARYSURFACE = 0x200,
                   DDSCAPS_VIDEOMEMORY = 0x4000;
constexpr uint32_t DDPF_RGB = 0x40;
constexpr uint32_t DDLOCK_WAIT = 0x01, DDFLIP_WAIT = 0x01;

struct dd_pixelformat {
    uint32_t size;  // 32
    uint32_t flags, fourcc, rgb_bits, red_mask, green_mask, blue_mask, alpha_mask;
};

struct dd_surfacedesc {
    uint32_t size;
    uint32_t flags;
    uint32_t height, width;
    int32_t pitch;  // set by a lock
    uint32_t back_buffers;
    void* surface;  // set by a lock: the first byte of the locked rectangle
    dd_pixelformat pixelformat;
    uint32_t caps;
};

int32_t dd_create(os_ddraw** ddraw);  // the primary display
int32_t dd_queryinterface2(os_ddraw* ddraw, os_ddraw2** ddraw2);
int32_t dd_setcooperativelevel(os_ddraw2* ddraw2, os_window* window, uint32_t flags);
// Only a display that really switches to exactly this mode succeeds.
int32_t dd_setdisplaymode(os_ddraw2* ddraw2, uint32_t width, uint32_t height, uint32_t bits,
                          uint32_t refresh, uint32_t flags);
int32_t dd_createsurface(os_ddraw2* ddraw2, const dd_surfacedesc* desc, os_surface** surface);
int32_t dd_createclipper(os_ddraw2* ddraw2, uint32_t flags, os_clipper** clipper);
int32_t dd_clipper_sethwnd(os_clipper* clipper, uint32_t flags, os_window* window);
int32_t dd_surface_setclipper(os_surface* surface, os_clipper* clipper);
int32_t dd_surface_getpixelformat(os_surface* surface, dd_pixelformat* format);
int32_t dd_surface_getattachedsurface(os_surface* surface, uint32_t caps, os_surface** attached);
// DDERR_SURFACELOST once the display has taken the surface's memory away.
int32_t dd_surface_islost(os_surface* surface);
// Direct access to the surface's memory: a null rect locks all of it.
int32_t dd_surface_lock(os_surface* surface, const os_rect* rect, dd_surfacedesc* desc,
                        uint32_t flags);
int32_t dd_surface_unlock(os_surface* surface, void* locked);
// Shows the back buffer; the frame is on the screen when it returns.
int32_t dd_surface_flip(os_surface* surface, os_surface* target, uint32_t flags);
// Copies src_rect of src onto dest_rect (screen coordinates) of the visible
// surface, stretched by the nearest pixel, within its clipper's window.
int32_t dd_surface_blt(os_surface* dest, const os_rect* dest_rect, os_surface* src,
                       const os_rect* src_rect, uint32_t flags);

// Releases give the objects up; a flipping primary's back buffer goes with its
// primary, so releasing it on its own does nothing.
void dd_release(os_ddraw* ddraw);
void dd_release2(os_ddraw2* ddraw2);
void dd_surface_release(os_surface* surface);
void dd_clipper_release(os_clipper* clipper);
