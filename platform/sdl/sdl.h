// platform/sdl/sdl.h -- what the SDL backend's files share.
#pragma once
#include <SDL.h>

#include <atomic>

#include "platform/messages.h"

// The window, and what other threads need to know of it without asking the
// main thread: kept up to date on the main thread from SDL's window events.
struct os_window {
    os_wndproc proc;
    SDL_Window* sdl;
    std::atomic<bool> destroyed;
    std::atomic<int32_t> x, y, width, height;  // client area on the screen
    std::atomic<bool> minimised, hidden;
};

namespace sdl {

// SDL's video, started once with the backend's hints; false without a display.
// Main thread only.
bool video();

// The window made last, or null.
os_window* the_window();

// Reads the window's position, size and state from SDL into os_window.
// Main thread only.
void note_geometry(os_window* window);

// Turns pending SDL events into posted messages; true if any was posted.
// Main thread only.
bool pump_events();

// Runs call on the main thread (at once when already there) and waits for it.
template <typename F>
void on_main(F&& call);

}  // namespace sdl

#include "platform/common/core.h"

template <typename F>
void sdl::on_main(F&& call) {
    core::run_on_main([](void* p) { (*static_cast<F*>(p))(); }, &call);
}
