// platform/fake/window.cpp -- the window as plain data: a fixed frame around
// the client area, a fixed default position, a settable screen.
#include <cstdio>
#include <mutex>

#include "platform/fake/fake.h"
#include "platform/fake/state.h"
#include "platform/window.h"

// The frame a captioned window gets, and where the desktop puts new windows.
constexpr int32_t frame_side = 3, frame_top = 26;
constexpr int32_t default_x = 100, default_y = 80;

static bool captioned(uint32_t style) {
    return (style & WS_CAPTION) == WS_CAPTION;
}

bool os_registerclass(const os_windowclass* c) {
    char line[512];
    snprintf(line, sizeof line, "registerclass style=%u cursor=%u background=%u name=%s", c->style,
             c->cursor, c->background, c->name);
    fake::log(line);
    if (fake::failing("registerclass")) return false;
    std::lock_guard lock(fake::state().mutex);
    os_windowclass copy = *c;
    auto& slot = fake::state().classes[c->name];
    slot = copy;
    return true;
}

os_window* os_createwindow(uint32_t exstyle, const char* classname, const char* caption,
                           uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                           void*) {
    char line[768];
    snprintf(line, sizeof line,
             "createwindow exstyle=%u class=%s caption=%s style=%08x x=%d y=%d w=%d h=%d", exstyle,
             classname, caption, style, x, y, width, height);
    fake::log(line);
    if (fake::failing("createwindow")) return nullptr;
    std::lock_guard lock(fake::state().mutex);
    auto found = fake::state().classes.find(classname);
    if (found == fake::state().classes.end()) return nullptr;
    auto* w = new os_window{
        found->second.proc, classname, caption, exstyle, style, x, y, width, height, {}, 0, false};
    if (x == CW_USEDEFAULT) w->x = default_x;
    if (y == CW_USEDEFAULT) w->y = default_y;
    int32_t side = captioned(style) ? frame_side : 0, top = captioned(style) ? frame_top : 0;
    w->client = os_rect{0, 0, width - 2 * side, height - top - side};
    fake::state().window = w;
    fake::state().windows.push_back(w);
    return w;
}

void os_showwindow(os_window* window, int32_t cmdshow) {
    fake::log("showwindow " + std::to_string(cmdshow));
    window->cmdshow = cmdshow;
}

void os_destroywindow(os_window* window) {
    fake::log("destroywindow");
    if (window->destroyed) return;
    window->proc(window, WM_DESTROY, 0, 0);
    window->destroyed = true;
}

void os_adjustwindowrect(os_rect* rect, uint32_t style, bool) {
    if (!captioned(style)) return;
    rect->left -= frame_side;
    rect->right += frame_side;
    rect->top -= frame_top;
    rect->bottom += frame_side;
}

void os_getclientrect(os_window* window, os_rect* rect) {
    *rect = window->client;
}

void os_clienttoscreen(os_window* window, os_point* point) {
    bool c = captioned(window->style);
    point->x += window->x + (c ? frame_side : 0);
    point->y += window->y + (c ? frame_top : 0);
}

int32_t os_getsystemmetrics(int32_t index) {
    std::lock_guard lock(fake::state().mutex);
    if (index == SM_CXSCREEN) return fake::state().screen_width;
    if (index == SM_CYSCREEN) return fake::state().screen_height;
    return 0;
}

os_window* os_getforegroundwindow() {
    fake::log("getforegroundwindow");
    return fake::window();
}

void os_showcursor(bool show) {
    fake::log(std::string("showcursor ") + (show ? "1" : "0"));
}

void os_clipcursor(const os_rect* r) {
    char line[96];
    if (r)
        snprintf(line, sizeof line, "clipcursor %d %d %d %d", r->left, r->top, r->right, r->bottom);
    else
        snprintf(line, sizeof line, "clipcursor none");
    fake::log(line);
}
