// tests/roads_support.cpp -- start-up and a stand-in player for road tests.
#include "tests/roads_support.h"

#include <chrono>
#include <thread>

#include "data/heap.h"
#include "platform/audio.h"
#include "platform/messages.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "system/sys.h"
#include "system/wndproc.h"

stand_in player;

uint32_t stand_in_player(void*) {
    while (s_keys[VK_ESCAPE].load(std::memory_order_relaxed) == 0) {
        if (player.fail.load()) s_panic("player: %s", "the stand-in failed");
        os_enterlock(s_lock);
        std::this_thread::sleep_for(std::chrono::microseconds(player.lock_us.load()));
        os_leavelock(s_lock);
        s_gettime();
        player.passes.fetch_add(1);
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    au_stop();
    au_free();
    os_sendmessage(s_hwnd, WM_CLOSE, 0, 0);
    return 0;
}

void start_program(int32_t width, int32_t height) {
    static char cmdline[1] = {'\0'};
    player.fail = false;
    player.passes = 0;
    s_hwnd = nullptr;
    player_handle = nullptr;
    s_saverstate = 1;
    s_clicked = 0;
    s_windows_init(&player, nullptr, cmdline, SW_SHOWDEFAULT);
    h_init(1 << 16);
    s_stopsaver();
    os_windowclass wc{
        CS_HREDRAW | CS_VREDRAW, s_wndproc, s_instance, IDC_ARROW, BLACK_BRUSH, s_title};
    os_registerclass(&wc);
    os_rect r{0, 0, width, height};
    os_adjustwindowrect(&r, WS_VISIBLE | WS_CAPTION | WS_SYSMENU, false);
    s_hwnd =
        os_createwindow(0, s_title, s_title, WS_VISIBLE | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                        CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, s_instance);
    if (!s_hwnd) s_panic("WinMain: could not create window");
    os_showwindow(s_hwnd, s_cmdshow);
    s_begintimer();
    player_handle = os_createthread(stand_in_player, nullptr);
}

int32_t run_program() {
    int32_t code = s_messageloop();
    return s_failed.load() ? 1 : code;
}
