// tests/roads_support.h -- the program's start-up up to its message loop, with
// a stand-in player thread, for the tests of the roads out of the program.
#pragma once
#include <atomic>
#include <cstdint>

// What the stand-in player does on each pass, and what it has done.
struct stand_in {
    std::atomic<bool> fail{false};      // meet a fatal error on the next pass
    std::atomic<int64_t> passes{0};     // passes completed
    std::atomic<int32_t> lock_us{200};  // time spent holding s_lock per pass
};
extern stand_in player;

// The player's loop in miniature: a present under s_lock, a clock read, and on
// Escape the audio stopped and WM_CLOSE sent, waiting in that call.
uint32_t stand_in_player(void*);

// s_windows_init, h_init, s_stopsaver, the window with s_wndproc, the timer
// period and the player thread, in the order the program takes them.
void start_program(int32_t width, int32_t height);

// The program's end: the message loop's code, or 1 after a fatal error.
int32_t run_program();
