// platform/common/defproc.cpp -- the default handling of window messages.
#include "platform/messages.h"
#include "platform/window.h"

intptr_t os_defwindowproc(os_window* window, uint32_t message, uintptr_t wparam, intptr_t) {
    // Alt+F4 asks the window to close, as the desktop's own shortcut does.
    if (message == WM_SYSKEYDOWN && wparam == VK_F4) os_sendmessage(window, WM_CLOSE, 0, 0);
    if (message == WM_CLOSE) os_destroywindow(window);
    return 0;
}
