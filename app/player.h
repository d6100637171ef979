// app/player.h -- the player: its thread with the frame loop, song control
// through the audio library, and the player state.
//
// v_initbuffer starts player_thread once the window and the frame exist; the
// window procedure calls music_done when the window is destroyed, after the
// player thread has been stopped. draw_time reads the song's state below.
#pragma once
#include <atomic>
#include <cstdint>

#include "platform/audio.h"

// Written by the player thread alone, except song_ended, which the audio
// library's end sync sets on a thread of its own.
extern int32_t cur_screen;                // screen shown, an index into screens
extern int32_t cur_song;                  // screen whose module is loaded; -1 until one starts
extern au_music music;                    // the loaded module; 0 while none
extern au_sync music_sync;                // its end sync; 0 while none
extern int32_t music_length;              // the loaded module's length in orders
extern std::atomic<uint32_t> song_ended;  // 1 once the module has played to its end
// s_gettime values: when the module started, when the pause began (0: not
// paused), and the time spent paused since the module started.
extern uint32_t time_start, pause_start, pause_total;

// The player thread's procedure: music_init, frame passes until Escape, then
// the audio stopped and the window asked to close; its exit code is 0.
uint32_t player_thread(void* unused);

// One pass of the frame loop: paint the current screen, act on a latched
// click, draw the play time, present. False once Escape is down.
bool player_pass();

// Starts the audio library; a wrong version or no device is fatal.
void music_init();

// Loads and starts the module file name from the beginning, replacing the
// loaded one: 1. Null name: 0, and nothing happens. A file that does not load
// is fatal.
int32_t music_play(const char* name);

// The end sync's procedure: sets song_ended.
void music_ended(uint32_t sync, uint32_t channel, uint32_t data, uint32_t user);

// Stops the output and releases the audio library.
void music_done();
