// platform/cli/window.cpp -- no windows: every request for one fails.
#include "platform/window.h"

bool os_registerclass(const os_windowclass*) {
    return false;
}
os_window* os_createwindow(uint32_t, const char*, const char*, uint32_t, int32_t, int32_t, int32_t,
                           int32_t, void*) {
    return nullptr;
}
void os_showwindow(os_window*, int32_t) {}
void os_destroywindow(os_window*) {}
void os_adjustwindowrect(os_rect*, uint32_t, bool) {}
void os_getclientrect(os_window*, os_rect* rect) {
    *rect = os_rect{0, 0, 0, 0};
}
void os_clienttoscreen(os_window*, os_point*) {}
int32_t os_getsystemmetrics(int32_t) {
    return 0;
}
os_window* os_getforegroundwindow() {
    return nullptr;
}
void os_showcursor(bool) {}
void os_clipcursor(const os_rect*) {}
