// system/wndproc.h -- the window procedure and the input state it records.
//
// s_wndproc runs on the main thread; the player thread reads the input state
// without a lock, so each value is an atomic written whole.
#pragma once
#include <atomic>
#include <cstdint>

struct os_window;
struct os_thread;

// Mouse position in client pixels, each the unsigned 16 bits of its half of
// the message: updated on a press, a release, and moves with the left button.
extern std::atomic<int32_t> s_mousex, s_mousey;
// Set to 1 by a left-button press; the player tests and clears it.
extern std::atomic<int32_t> s_clicked;
// The player thread, kept by v_initbuffer when it starts it; null until then.
extern os_thread* player_handle;

// Keys, mouse and click into the input state; the cursor held inside the
// client area while the left button is down; on WM_DESTROY the player
// stopped, the audio shut down, the system restored and the loop ended.
intptr_t s_wndproc(os_window* window, uint32_t message, uintptr_t wparam, intptr_t lparam);
