// platform/fake/state.h -- the fake backend's own state, shared by its files.
#pragma once
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ddraw.h"
#include "platform/fake/fake.h"
#include "platform/window.h"

namespace fake {

struct state_t {
    std::mutex mutex;
    std::vector<std::string> calls;
    std::vector<std::string> failing;
    int32_t saver = 1;
    int32_t periods = 0;
    std::atomic<uint32_t> time{0};
    int32_t screen_width = 1280, screen_height = 1024;
    std::string modulefilename = "/nonexistent/korvite-fake";
    std::map<std::string, os_windowclass> classes;
    os_window* window = nullptr;
    std::vector<os_window*> windows;  // every window made; kept, threads may hold them
    std::map<std::string, int32_t, std::less<>> modules;
    void (*exit_hook)(int) = nullptr;
    frame presented;
    int64_t presents = 0;
    int32_t bitmaps = 0;  // bitmaps made since the reset, which numbers them
    bool hold_threads = false;
    dd_pixelformat display{32, 0x40, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0};
    std::vector<mode> modes;
    bool lost = false;
    display_frame shown;
    int64_t shows = 0;
};

state_t& state();
void log(std::string line);
// Forgets the loaded module and numbers modules from 1 again.
void reset_audio();

}  // namespace fake
