// system/wndproc.cpp -- the window procedure and the input state.
#include "system/wndproc.h"

#include "app/player.h"
#include "platform/messages.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "system/sys.h"

std::atomic<int32_t> s_mousex{0}, s_mousey{0};
std::atomic<int32_t> s_clicked{0};
os_thread* player_handle = nullptr;

static void store_position(intptr_t lparam) {
    s_mousex.store(static_cast<int32_t>(lparam & 0xFFFF), std::memory_order_relaxed);
    s_mousey.store(static_cast<int32_t>((lparam >> 16) & 0xFFFF), std::memory_order_relaxed);
}

static void set_key(uintptr_t key, uint8_t down) {
    // Virtual-key codes are below 256; anything else has no entry to set.
    if (key < 256) s_keys[key].store(down, std::memory_order_relaxed);
}

// Keeps the cursor inside the client area, in screen coordinates.
static void confine_cursor() {
    os_rect client;
    os_getclientrect(s_hwnd, &client);
    os_point top_left{client.left, client.top};
    os_point bottom_right{client.right, client.bottom};
    os_clienttoscreen(s_hwnd, &top_left);
    os_clienttoscreen(s_hwnd, &bottom_right);
    os_rect clip{top_left.x, top_left.y, bottom_right.x, bottom_right.y};
    os_clipcursor(&clip);
}

// The player is stopped before anything it uses is released; then the audio,
// the system, and the message loop.
static void shut_down() {
    if (player_handle) {
        os_stopthread(player_handle);
        music_done();
    }
    s_exit("");
    os_postquitmessage(0);
}

intptr_t s_wndproc(os_window* window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    switch (message) {
    case WM_KEYDOWN:
        set_key(wparam, 1);
        return 0;
    case WM_KEYUP:
        set_key(wparam, 0);
        return 0;
    case WM_MOUSEMOVE:
        if (wparam & MK_LBUTTON) store_position(lparam);
        return 0;
    case WM_LBUTTONDOWN:
        store_position(lparam);
        s_clicked.store(1, std::memory_order_relaxed);
        confine_cursor();
        return 0;
    case WM_LBUTTONUP:
        store_position(lparam);
        os_clipcursor(nullptr);
        return 0;
    case WM_DESTROY:
        shut_down();
        return 0;
    default:
        return os_defwindowproc(window, message, wparam, lparam);
    }
}
