// platform/audio.h -- the audio library: music modules loaded from files and
// played through one output. Every call is a safe point of its thread
// (platform/thread.h); none is made while another thread is inside one.
#pragma once
#include <cstdint>

struct os_window;

using au_music = uint32_t;  // a loaded module; 0 is none
using au_sync = uint32_t;   // a sync set on a module; 0 is none
// Called on the library's own thread when a sync fires; no argument is needed.
using au_syncproc = void (*)(uint32_t sync, uint32_t channel, uint32_t data, uint32_t user);

// The interface version the engine is written for; au_getversion returns it
// when the library underneath is one this backend can work with.
constexpr uint32_t AU_VERSION = 0x80000;
// Sync type: the module has played to its end.
constexpr uint32_t AU_SYNC_END = 2;

uint32_t au_getversion();
// device -1 is the default output. True on success.
bool au_init(int32_t device, uint32_t frequency, uint32_t flags, os_window* window);
void au_free();

// Output as a whole: start (or resume), stop, pause in place.
bool au_start();
bool au_stop();
bool au_pause();

// A module from the file name (memory false; offset and length 0: the whole
// file). 0 when the file is missing or not a module.
au_music au_musicload(bool memory, const char* file, uint32_t offset, uint32_t length,
                      uint32_t flags);
void au_musicfree(au_music music);
// Scale 1: the order index stands in the low 16 bits of a position.
bool au_musicsetpositionscaler(au_music music, uint32_t scale);
uint32_t au_musicgetlength(au_music music);  // in orders
bool au_musicplay(au_music music);           // from the start
au_sync au_channelsetsync(au_music music, uint32_t type, uint64_t param, au_syncproc proc,
                          uint32_t user);
bool au_channelremovesync(au_music music, au_sync sync);
uint32_t au_channelgetposition(au_music music);
// Goes on from row 0 of the order in the low 16 bits of position.
bool au_channelsetposition(au_music music, uint32_t position);
