// platform/fake/fake.h -- controls of the fake backend, for tests.
//
// The fake records every platform call in order as one line of text, can be
// told to fail any operation, runs a clock that only the test moves, and keeps
// its window as plain data that tests read. Its message queue and threads are
// the real ones of platform/common, so the roads between threads behave as in
// the product.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messages.h"
#include "platform/window.h"

struct os_window {
    os_wndproc proc;
    std::string classname, caption;
    uint32_t exstyle, style;
    int32_t x, y, width, height;  // outer rectangle on the screen
    os_rect client;               // client area in window coordinates
    int32_t cmdshow;
    bool destroyed;
};

namespace fake {

// Forgets calls, failures, windows and the queue, and sets every setting back.
void reset();

// The calls so far, e.g. "setsaveractive 0", "messagebox owner=none style=16
// caption=korvite system panic text=...". Safe from any thread.
std::vector<std::string> calls();
// The calls whose line begins with one of the given words, in order.
std::vector<std::string> calls_of(std::initializer_list<std::string_view> words);
// Appends a line of the test's own, to mark a point in the record.
void record(std::string line);

// Every later call of the operation (the first word of its line) fails as the
// operation fails: false, null, or an error result.
void fail(std::string_view operation);
bool failing(std::string_view operation);

void set_saver(int32_t active);
int32_t saver();
// Timer periods begun and not yet ended.
int32_t open_periods();

void set_time(uint32_t ms);
void advance_time(uint32_t ms);

void set_screen(int32_t width, int32_t height);
void set_modulefilename(const char* path);

// The window made last, or null; tests may change its client area (an empty one
// is a minimised window).
os_window* window();

// Modules the fake audio library can load, by file name, with their length in
// orders; any other name (or orders -1) fails to load. reset() also numbers
// loaded modules from 1 again. end_music fires the loaded module's end
// sync on a thread of the library's own; set_position moves its play position.
void set_module(std::string_view file, int32_t orders);
int32_t module_orders(std::string_view file);  // -1 when unknown
void end_music();
void set_position(uint32_t order);

// The frame the last present copied to the window: the source bitmap's pixels
// as they were, in its own format; and how many presents there were.
struct frame {
    int32_t bitmap = -1;  // which bitmap, by order of creation
    int32_t width = 0, height = 0, bpp = 0, pitch = 0;
    std::vector<uint8_t> pixels;
};
frame presented();
int64_t presents();

// The display the DirectDraw-style calls see: its pixel format (32-bit
// 0x00RRGGBB by default), the modes it can switch to (none by default), and
// whether its surfaces are lost. shown() is the surface the last flip or blit
// put on the screen, as its memory held it; shows() counts them.
void set_display(uint32_t flags, uint32_t bits, uint32_t red, uint32_t green, uint32_t blue,
                 uint32_t alpha);
struct mode {
    uint32_t width, height, bits;
};
void set_modes(std::vector<mode> modes);
void set_lost(bool lost);
struct display_frame {
    int32_t width = 0, height = 0, bytes = 0, pitch = 0;
    std::vector<uint8_t> memory;
};
display_frame shown();
int64_t shows();

// Records line; false when a failure was asked for an operation the line
// begins with (fail("dd_setcooperativelevel 13") fails exclusive mode alone).
bool call(std::string line);

// Threads are made but their procedures never run, while set: the test looks
// at everything start-up did without a player running.
void hold_threads(bool hold);

// Called instead of the standard library's exit when set (a harness that must
// go on after the engine's fatal road); it must not return.
void set_exit_hook(void (*hook)(int code));

}  // namespace fake
