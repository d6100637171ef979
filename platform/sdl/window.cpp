// platform/sdl/window.cpp -- the program's window over SDL. SDL sizes windows
// by their client area and leaves the frame to the window manager, so the
// outer rectangle the engine computes is the client area itself.
#include <atomic>
#include <map>
#include <string>

#include "platform/sdl/sdl.h"
#include "platform/window.h"

static std::map<std::string, os_windowclass> classes;
static std::atomic<os_window*> current{nullptr};

os_window* sdl::the_window() {
    return current.load();
}

bool os_registerclass(const os_windowclass* windowclass) {
    os_windowclass copy = *windowclass;
    classes[windowclass->name] = copy;
    return true;
}

os_window* os_createwindow(uint32_t, const char* classname, const char* caption, uint32_t style,
                           int32_t x, int32_t y, int32_t width, int32_t height, void*) {
    auto found = classes.find(classname);
    if (found == classes.end() || !sdl::video()) return nullptr;
    uint32_t flags = (style & WS_VISIBLE) ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    if (style & WS_POPUP) flags |= SDL_WINDOW_BORDERLESS;
    int sx = x == CW_USEDEFAULT ? SDL_WINDOWPOS_UNDEFINED : x;
    int sy = y == CW_USEDEFAULT ? SDL_WINDOWPOS_UNDEFINED : y;
    SDL_Window* window = SDL_CreateWindow(caption, sx, sy, width, height, flags);
    if (!window) return nullptr;
    auto* w =
        new os_window{found->second.proc, window, {false}, {0}, {0}, {0}, {0}, {false}, {false}};
    sdl::note_geometry(w);
    current.store(w);
    return w;
}

void sdl::note_geometry(os_window* w) {
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetWindowPosition(w->sdl, &x, &y);
    SDL_GetWindowSize(w->sdl, &width, &height);
    uint32_t flags = SDL_GetWindowFlags(w->sdl);
    w->x.store(x), w->y.store(y), w->width.store(width), w->height.store(height);
    w->minimised.store(flags & SDL_WINDOW_MINIMIZED);
    w->hidden.store(flags & SDL_WINDOW_HIDDEN);
}

void os_showwindow(os_window* window, int32_t cmdshow) {
    sdl::on_main([&] {
        if (cmdshow == 0)
            SDL_HideWindow(window->sdl);
        else if (cmdshow == 2 || cmdshow == 6 || cmdshow == 7)
            SDL_MinimizeWindow(window->sdl);
        else
            SDL_ShowWindow(window->sdl);
        sdl::note_geometry(window);
    });
}

void os_destroywindow(os_window* window) {
    if (window->destroyed.load()) return;
    window->proc(window, WM_DESTROY, 0, 0);
    window->destroyed.store(true);
    sdl::on_main([&] { SDL_DestroyWindow(window->sdl); });
}

void os_adjustwindowrect(os_rect*, uint32_t, bool) {}

// From what the window's events said, so that the presenting thread need not
// wait for the main thread; a minimised window's client area is empty.
void os_getclientrect(os_window* window, os_rect* rect) {
    bool shown = !window->minimised.load() && !window->hidden.load();
    *rect = os_rect{0, 0, shown ? window->width.load() : 0, shown ? window->height.load() : 0};
}

void os_clienttoscreen(os_window* window, os_point* point) {
    point->x += window->x.load();
    point->y += window->y.load();
}

int32_t os_getsystemmetrics(int32_t index) {
    SDL_DisplayMode mode{};
    sdl::on_main([&] {
        if (sdl::video()) SDL_GetDesktopDisplayMode(0, &mode);
    });
    if (index == SM_CXSCREEN) return mode.w;
    if (index == SM_CYSCREEN) return mode.h;
    return 0;
}

os_window* os_getforegroundwindow() {
    os_window* w = current.load();
    bool focused = false;
    sdl::on_main([&] { focused = w && !w->destroyed.load() && SDL_GetKeyboardFocus() == w->sdl; });
    return focused ? w : nullptr;
}

void os_showcursor(bool show) {
    sdl::on_main([&] {
        if (sdl::video()) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    });
}

void os_clipcursor(const os_rect* rect) {
    os_window* w = current.load();
    if (!w || w->destroyed.load()) return;
    sdl::on_main([&] {
        if (!rect) {
            SDL_SetWindowMouseRect(w->sdl, nullptr);
            return;
        }
        int x = 0, y = 0;
        SDL_GetWindowPosition(w->sdl, &x, &y);
        SDL_Rect r{rect->left - x, rect->top - y, rect->right - rect->left,
                   rect->bottom - rect->top};
        SDL_SetWindowMouseRect(w->sdl, &r);
    });
}
