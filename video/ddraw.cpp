// video/ddraw.cpp -- the DirectDraw-style output path.
#include "video/ddraw.h"

#include "data/heap.h"
#include "platform/ddraw.h"
#include "platform/window.h"
#include "system/sys.h"
#include "video/convert.h"
#include "video/display.h"

os_ddraw* dx_ddraw = nullptr;
os_ddraw2* dx_ddraw2 = nullptr;
os_surface* dx_primary = nullptr;
os_surface* dx_back = nullptr;
os_clipper* dx_clipper = nullptr;

bool dx_ok(int32_t result, const char*) {
    return result == DD_OK;
}

static bool give_up() {
    dx_release();
    return false;
}

// Fullscreen: exclusive use of the display, in the frame's own mode. When
// exclusive use is refused the path goes on windowed, in the screen-sized
// window already made.
static bool set_cooperation() {
    constexpr uint32_t exclusive = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT;  // 0x13
    if (v_fullscreen && !dx_ok(dd_setcooperativelevel(dx_ddraw2, s_hwnd, exclusive),
                               "entering exclusive cooperative mode"))
        v_fullscreen = 0;
    if (!v_fullscreen && !dx_ok(dd_setcooperativelevel(dx_ddraw2, s_hwnd, DDSCL_NORMAL),
                                "entering normal cooperative mode"))
        return false;
    return !v_fullscreen ||
           dx_ok(dd_setdisplaymode(dx_ddraw2, v_width, v_height, v_bpp, 0, 0), "SetDisplayMode");
}

// The visible surface: with one back buffer to flip to in fullscreen.
static bool create_primary() {
    dd_surfacedesc desc{};
    desc.size = sizeof desc;
    if (v_fullscreen) {
        desc.flags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.back_buffers = 1;
        desc.caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
    } else {
        desc.flags = DDSD_CAPS;
        desc.caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY;
    }
    return dx_ok(dd_createsurface(dx_ddraw2, &desc, &dx_primary), "create primary surface");
}

// dx_format from the primary's pixel format; a palette display has no RGB one.
static bool read_format() {
    dd_pixelformat format{};
    format.size = sizeof format;
    if (!dx_ok(dd_surface_getpixelformat(dx_primary, &format), "get pixel format")) return false;
    if (!(format.flags & DDPF_RGB)) return false;
    dx_format.depth = static_cast<int32_t>(format.rgb_bits);
    dx_format.red_mask = format.red_mask;
    dx_format.green_mask = format.green_mask;
    dx_format.blue_mask = format.blue_mask;
    dx_format.alpha_mask = format.alpha_mask;
    dx_decodemask(format.red_mask, &dx_format.red_width, &dx_format.red_shift);
    dx_decodemask(format.green_mask, &dx_format.green_width, &dx_format.green_shift);
    dx_decodemask(format.blue_mask, &dx_format.blue_width, &dx_format.blue_shift);
    return true;
}

// Windowed: a clipper that keeps blits inside the window, and an offscreen
// surface of the frame's size in the display's format.
static bool set_up_window_output() {
    if (!dx_ok(dd_createclipper(dx_ddraw2, 0, &dx_clipper), "CreateClipper")) return false;
    if (!dx_ok(dd_clipper_sethwnd(dx_clipper, 0, s_hwnd), "Clipper SetHwnd")) return false;
    if (!dx_ok(dd_surface_setclipper(dx_primary, dx_clipper), "SetClipper")) return false;
    dd_surfacedesc desc{};
    desc.size = sizeof desc;
    desc.flags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.width = static_cast<uint32_t>(v_width);
    desc.height = static_cast<uint32_t>(v_height);
    desc.caps = DDSCAPS_OFFSCREENPLAIN;
    return dx_ok(dd_createsurface(dx_ddraw2, &desc, &dx_back), "create backbuffer surface");
}

static void take_frame_buffers() {
    v_size = v_height * v_pitch;
    v_buffers[0] = static_cast<uint8_t*>(h_alloc(v_size, 2));
    v_buffers[1] = static_cast<uint8_t*>(h_alloc(v_size, 2));
    v_buffer = v_buffers[0];
}

bool v_initbuffer_dx() {
    if (!dx_ok(dd_create(&dx_ddraw), "DirectDrawCreate")) {
        dx_ddraw = nullptr;
        return false;
    }
    if (!dx_ok(dd_queryinterface2(dx_ddraw, &dx_ddraw2), "DirectDraw2 QueryInterface"))
        return give_up();
    if (!set_cooperation()) return give_up();
    if (!create_primary()) return give_up();
    if (!read_format()) return give_up();
    if (!v_fullscreen && !set_up_window_output()) return give_up();
    take_frame_buffers();
    if (!dx_findconverter()) return give_up();
    return true;
}

// Locks surface (rect, or all of it), converts the frame into it and unlocks;
// false drops the frame.
static bool convert_into(os_surface* surface, const os_rect* rect, const uint8_t* buffer) {
    dd_surfacedesc desc{};
    desc.size = sizeof desc;
    if (!dx_ok(dd_surface_lock(surface, rect, &desc, DDLOCK_WAIT),
               "IDirectDrawSurface2_Lock backbuffer"))
        return false;
    dx_convert(static_cast<uint8_t*>(desc.surface), desc.pitch, buffer, v_pitch, v_height);
    return dx_ok(dd_surface_unlock(surface, desc.surface), "IDirectDrawSurface2_Unlock backbuffer");
}

void dx_flip(uint8_t* buffer) {
    // A back buffer that cannot be found drops the frame: no null surface is used.
    os_surface* back = nullptr;
    if (dd_surface_getattachedsurface(dx_primary, DDSCAPS_BACKBUFFER, &back) != DD_OK || !back)
        return;
    dx_back = back;
    if (dd_surface_islost(dx_primary) != DD_OK || dd_surface_islost(dx_back) != DD_OK) return;
    if (!convert_into(dx_back, nullptr, buffer)) return;
    dx_ok(dd_surface_flip(dx_primary, nullptr, DDFLIP_WAIT), "flip");
}

void dx_blit(uint8_t* buffer) {
    os_rect dest;
    os_getclientrect(s_hwnd, &dest);
    os_point corner{0, 0};
    os_clienttoscreen(s_hwnd, &corner);
    dest = os_rect{dest.left + corner.x, dest.top + corner.y, dest.right + corner.x,
                   dest.bottom + corner.y};
    os_rect source{0, 0, v_width, v_height};
    if (dd_surface_islost(dx_primary) != DD_OK) return;
    if (dd_surface_islost(dx_back) != DD_OK) return;
    if (!convert_into(dx_back, &source, buffer)) return;
    dx_ok(dd_surface_blt(dx_primary, &dest, dx_back, &source, 0), "blit");
}

void dx_release() {
    if (dx_back) dd_surface_release(dx_back);
    if (dx_clipper) dd_clipper_release(dx_clipper);
    if (dx_primary) dd_surface_release(dx_primary);
    if (dx_ddraw2) dd_release2(dx_ddraw2);
    if (dx_ddraw) dd_release(dx_ddraw);
    dx_back = nullptr;
    dx_clipper = nullptr;
    dx_primary = nullptr;
    dx_ddraw2 = nullptr;
    dx_ddraw = nullptr;
}
