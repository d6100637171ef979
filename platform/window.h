// platform/window.h -- the program's single window: its class, creation and
// geometry, the screen, and the mouse pointer. Main thread only.
#pragma once
#include <cstdint>

#include "platform/messages.h"

struct os_rect {
    int32_t left, top, right, bottom;
};

struct os_point {
    int32_t x, y;
};

// Class styles, window styles and the other values the window calls take.
constexpr uint32_t CS_VREDRAW = 0x0001;
constexpr uint32_t CS_HREDRAW = 0x0002;
constexpr uint32_t WS_POPUP = 0x80000000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr uint32_t WS_CAPTION = 0x00C00000;
constexpr uint32_t WS_SYSMENU = 0x00080000;
constexpr int32_t CW_USEDEFAULT = INT32_MIN;
constexpr int32_t SW_SHOWDEFAULT = 10;
constexpr uint32_t IDC_ARROW = 32512;
constexpr uint32_t BLACK_BRUSH = 4;
constexpr int32_t SM_CXSCREEN = 0;
constexpr int32_t SM_CYSCREEN = 1;

struct os_windowclass {
    uint32_t style;
    os_wndproc proc;
    void* instance;
    uint32_t cursor;      // a standard pointer such as IDC_ARROW; 0 for none
    uint32_t background;  // a stock brush such as BLACK_BRUSH
    const char* name;     // copied
};

// False when the class cannot be registered.
bool os_registerclass(const os_windowclass* windowclass);

// Creates the window; x and y may be CW_USEDEFAULT (where the desktop puts new
// windows); width and height are the outer size. Null on failure.
os_window* os_createwindow(uint32_t exstyle, const char* classname, const char* caption,
                           uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                           void* instance);
void os_showwindow(os_window* window, int32_t cmdshow);

// Delivers WM_DESTROY to the window's procedure, then takes the window off the
// screen; later messages for it are dropped.
void os_destroywindow(os_window* window);

// Grows rect from the client area to the outer rectangle of a window of style.
void os_adjustwindowrect(os_rect* rect, uint32_t style, bool menu);
void os_getclientrect(os_window* window, os_rect* rect);  // left and top are 0
void os_clienttoscreen(os_window* window, os_point* point);
int32_t os_getsystemmetrics(int32_t index);

// The window that has the keyboard focus, or null.
os_window* os_getforegroundwindow();

// Hides or shows the mouse pointer for the rest of the run.
void os_showcursor(bool show);
// Keeps the pointer inside rect (screen coordinates); null frees it.
void os_clipcursor(const os_rect* rect);
