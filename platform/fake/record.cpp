// platform/fake/record.cpp -- the fake's record of calls, injected failures and
// settings.
#include <algorithm>
#include <mutex>

#include "platform/common/core.h"
#include "platform/fake/fake.h"
#include "platform/fake/state.h"

namespace fake {

state_t& state() {
    static state_t* s = new state_t;  // outlives parked threads at exit
    return *s;
}

void log(std::string line) {
    std::lock_guard lock(state().mutex);
    state().calls.push_back(std::move(line));
}

void reset() {
    core::reset_queue();
    reset_audio();
    std::lock_guard lock(state().mutex);
    state_t& s = state();
    s.calls.clear();
    s.failing.clear();
    s.saver = 1;
    s.periods = 0;
    s.time = 0;
    s.screen_width = 1280;
    s.screen_height = 1024;
    s.modulefilename = "/nonexistent/korvite-fake";
    s.classes.clear();
    s.window = nullptr;
    s.modules.clear();
    s.presented = frame{};
    s.presents = 0;
    s.bitmaps = 0;
    s.hold_threads = false;
    s.display = dd_pixelformat{32, DDPF_RGB, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0};
    s.modes.clear();
    s.lost = false;
    s.shown = display_frame{};
    s.shows = 0;  // windows of earlier tests stay allocated: threads may hold them
    s.exit_hook = nullptr;
}

std::vector<std::string> calls() {
    std::lock_guard lock(state().mutex);
    return state().calls;
}

std::vector<std::string> calls_of(std::initializer_list<std::string_view> words) {
    std::vector<std::string> out;
    for (const std::string& line : calls()) {
        std::string_view first = std::string_view(line).substr(0, line.find(' '));
        if (std::find(words.begin(), words.end(), first) != words.end()) out.push_back(line);
    }
    return out;
}

void record(std::string line) {
    log(std::move(line));
}

void fail(std::string_view operation) {
    std::lock_guard lock(state().mutex);
    state().failing.emplace_back(operation);
}

bool call(std::string line) {
    bool ok = true;
    {
        std::lock_guard lock(state().mutex);
        for (const std::string& f : state().failing)
            if (line.compare(0, f.size(), f) == 0) ok = false;
    }
    log(std::move(line));
    return ok;
}

void set_display(uint32_t flags, uint32_t bits, uint32_t red, uint32_t green, uint32_t blue,
                 uint32_t alpha) {
    std::lock_guard lock(state().mutex);
    state().display = dd_pixelformat{32, flags, 0, bits, red, green, blue, alpha};
}

void set_modes(std::vector<mode> modes) {
    std::lock_guard lock(state().mutex);
    state().modes = std::move(modes);
}

void set_lost(bool lost) {
    std::lock_guard lock(state().mutex);
    state().lost = lost;
}

bool failing(std::string_view operation) {
    std::lock_guard lock(state().mutex);
    const auto& f = state().failing;
    return std::find(f.begin(), f.end(), operation) != f.end();
}

void set_saver(int32_t active) {
    std::lock_guard lock(state().mutex);
    state().saver = active;
}

int32_t saver() {
    std::lock_guard lock(state().mutex);
    return state().saver;
}

int32_t open_periods() {
    std::lock_guard lock(state().mutex);
    return state().periods;
}

void set_screen(int32_t width, int32_t height) {
    std::lock_guard lock(state().mutex);
    state().screen_width = width;
    state().screen_height = height;
}

void set_modulefilename(const char* path) {
    std::lock_guard lock(state().mutex);
    state().modulefilename = path;
}

os_window* window() {
    std::lock_guard lock(state().mutex);
    return state().window;
}

void set_module(std::string_view file, int32_t orders) {
    std::lock_guard lock(state().mutex);
    state().modules[std::string(file)] = orders;
}

int32_t module_orders(std::string_view file) {
    std::lock_guard lock(state().mutex);
    auto found = state().modules.find(file);
    return found == state().modules.end() ? -1 : found->second;
}

void hold_threads(bool hold) {
    std::lock_guard lock(state().mutex);
    state().hold_threads = hold;
}

void set_exit_hook(void (*hook)(int code)) {
    std::lock_guard lock(state().mutex);
    state().exit_hook = hook;
}

}  // namespace fake
