// app/player.cpp -- the player thread and song control.
#include "app/player.h"

#include "platform/audio.h"
#include "platform/messages.h"
#include "system/sys.h"
#include "video/display.h"

uint32_t player_thread(void*) {
    // Frames until Escape; the pictures, the clicks and the songs join here.
    while (s_keys[VK_ESCAPE].load(std::memory_order_relaxed) == 0) v_present(v_buffer);
    au_stop();
    au_free();
    // Waits here while the main thread destroys the window, which stops this thread.
    os_sendmessage(s_hwnd, WM_CLOSE, 0, 0);
    return 0;
}

void music_done() {
    au_stop();
    au_free();
}
