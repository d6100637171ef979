// app/player.h -- the player: its thread, song control through the audio
// library, and the player state.
//
// The window procedure calls music_done when the window is destroyed, after
// the player thread has been stopped.
#pragma once
#include <cstdint>

// The player thread's procedure, started by v_initbuffer; its exit code is 0.
uint32_t player_thread(void* unused);

// Stops the output and releases the audio library.
void music_done();
