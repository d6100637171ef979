// video/display.cpp -- display initialisation, the GDI-style output path,
// presenting and release.
#include "video/display.h"

#include "app/player.h"
#include "platform/gdi.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "system/sys.h"
#include "system/wndproc.h"
#include "video/ddraw.h"

int32_t v_width = 0, v_height = 0;
int32_t v_bpp = 0;
int32_t v_pitch = 0;
int32_t v_size = 0;
v_pixelformat v_format{};
uint8_t* v_buffers[2] = {nullptr, nullptr};
uint8_t* v_buffer = nullptr;
uint8_t v_fullscreen = 0;
os_dc* v_dc = nullptr;
os_bitmap* v_bitmaps[2] = {nullptr, nullptr};

// A window with a caption, the system menu and a close box, no sizing border.
constexpr uint32_t windowed_style = WS_VISIBLE | WS_CAPTION | WS_SYSMENU;  // 0x10C80000

static void read_switches() {
    if (s_hasswitch("gdi")) v_fullscreen = 0;
    if (s_hasswitch("windowed"))
        v_fullscreen = 0;
    else if (s_hasswitch("fullscreen"))
        v_fullscreen = 1;
}

static void set_format(int32_t bpp) {
    if (bpp == 16)
        v_format = v_pixelformat{16, 5, 6, 5, 11, 5, 0, 0xF800, 0x07E0, 0x001F, 0};
    else if (bpp == 32)
        v_format = v_pixelformat{32, 8, 8, 8, 16, 8, 0, 0x00FF0000, 0x0000FF00, 0x000000FF, 0};
    else
        s_panic("v_initbuffer: %dbit color depth is not supported.", bpp);
}

struct geometry {
    os_rect rect;
    int32_t x, y;
    uint32_t style;
};

// Fullscreen: a borderless window over the whole screen, the pointer hidden
// before the window exists. Windowed: a client area of the frame's size where
// the desktop puts new windows.
static geometry window_geometry() {
    if (v_fullscreen) {
        geometry g{{0, 0, os_getsystemmetrics(SM_CXSCREEN), os_getsystemmetrics(SM_CYSCREEN)},
                   0,
                   0,
                   WS_POPUP};
        os_showcursor(false);
        return g;
    }
    geometry g{{0, 0, v_width, v_height}, CW_USEDEFAULT, CW_USEDEFAULT, windowed_style};
    os_adjustwindowrect(&g.rect, windowed_style, false);
    return g;
}

static void register_class() {
    os_windowclass wc{
        CS_HREDRAW | CS_VREDRAW, s_wndproc, s_instance, IDC_ARROW, BLACK_BRUSH, s_title};
    if (!os_registerclass(&wc)) s_panic("WinMain: RegisterClass failed");
}

static void create_window(const geometry& g) {
    s_hwnd = os_createwindow(0, s_title, s_title, g.style, g.x, g.y, g.rect.right - g.rect.left,
                             g.rect.bottom - g.rect.top, s_instance);
    if (!s_hwnd) s_panic("WinMain: could not create window");
}

void v_initbuffer(int32_t width, int32_t height, int32_t bpp, int32_t fullscreen) {
    if (!s_instance) s_panic("use s_windows_init!");
    v_width = width;
    v_height = height;
    v_bpp = bpp;
    v_pitch = width * ((bpp + 7) / 8);
    v_fullscreen = static_cast<uint8_t>(fullscreen);
    read_switches();
    set_format(bpp);
    geometry g = window_geometry();
    register_class();
    create_window(g);
    os_showwindow(s_hwnd, s_cmdshow);
    if (s_hasswitch("gdi") || !v_initbuffer_dx()) v_initbuffer_gdi();
    s_begintimer();
    player_handle = os_createthread(player_thread, nullptr);
    if (!player_handle) s_panic("v_initbuffer: could not start the player thread");
}

void v_initbuffer_gdi() {
    v_dc = gdi_createcompatibledc(nullptr);
    if (!v_dc) s_panic("v_initbuffer_gdi: could not create the frame buffers");
    os_bitmapinfo info{};
    info.size = 40;
    info.width = v_width;
    info.height = -v_height;  // top row first
    info.planes = 1;
    info.bitcount = static_cast<uint16_t>(v_bpp);
    info.compression = BI_BITFIELDS;
    info.masks[0] = v_format.red_mask;
    info.masks[1] = v_format.green_mask;
    info.masks[2] = v_format.blue_mask;
    for (int i = 0; i < 2; ++i) {
        void* bits = nullptr;
        v_bitmaps[i] = gdi_createdibsection(v_dc, &info, DIB_RGB_COLORS, &bits);
        v_buffers[i] = static_cast<uint8_t*>(bits);
        if (!v_bitmaps[i] || !bits) s_panic("v_initbuffer_gdi: could not create the frame buffers");
    }
    v_buffer = v_buffers[0];
    v_size = v_height * v_pitch;
}

void v_present(uint8_t* buffer) {
    if (!buffer) return;
    os_enterlock(s_lock);
    if (dx_ddraw) {
        if (v_fullscreen)
            dx_flip(buffer);
        else
            dx_blit(buffer);
    } else {
        v_putbuffer(buffer);
    }
    os_leavelock(s_lock);
}

void v_putbuffer(uint8_t* buffer) {
    os_bitmap* bitmap = buffer == v_buffers[0]   ? v_bitmaps[0]
                        : buffer == v_buffers[1] ? v_bitmaps[1]
                                                 : nullptr;
    if (!bitmap) {
        // The fatal road takes the lock again to release the display.
        os_leavelock(s_lock);
        s_panic("v_putbuffer: buffer is not initialized");
    }
    gdi_selectobject(v_dc, bitmap);
    gdi_invalidatergn(s_hwnd, false);
    os_dc* paint = gdi_beginpaint(s_hwnd);
    os_rect client;
    os_getclientrect(s_hwnd, &client);
    gdi_setstretchbltmode(paint, COLORONCOLOR);
    gdi_stretchblt(paint, 0, 0, client.right, client.bottom, v_dc, 0, 0, v_width, v_height,
                   SRCCOPY);
    gdi_endpaint(s_hwnd, paint);
}

void v_release() {
    if (dx_ddraw) {
        dx_release();
        return;
    }
    if (v_dc) gdi_deletedc(v_dc);
    for (os_bitmap*& bitmap : v_bitmaps) {
        if (bitmap) gdi_deleteobject(bitmap);
        bitmap = nullptr;
    }
    v_dc = nullptr;
    v_buffers[0] = v_buffers[1] = nullptr;
    v_buffer = nullptr;
}
