// platform/fake/desktop.cpp -- message boxes, screensaver, own path and exit,
// recorded.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/common/core.h"
#include "platform/desktop.h"
#include "platform/fake/fake.h"
#include "platform/fake/state.h"

void os_messagebox(os_window* owner, const char* text, const char* caption, uint32_t style) {
    fake::log(std::string("messagebox owner=") + (owner ? "window" : "none") +
              " thread=" + (core::on_main_thread() ? "main" : "other") +
              " style=" + std::to_string(style) + " caption=" + caption + " text=" + text);
    fprintf(stderr, "%s: %s\n", caption, text);
}

int32_t os_getsaveractive() {
    fake::log("getsaveractive");
    return fake::saver();
}

void os_setsaveractive(int32_t active) {
    fake::log("setsaveractive " + std::to_string(active));
    fake::set_saver(active);
}

void* os_instance() {
    static int token;
    return &token;
}

bool os_modulefilename(char* buffer, uint32_t size) {
    fake::log("modulefilename");
    std::string path;
    {
        std::lock_guard lock(fake::state().mutex);
        path = fake::state().modulefilename;
    }
    if (fake::failing("modulefilename") || path.size() + 1 > size) {
        if (size) buffer[0] = '\0';
        return false;
    }
    memcpy(buffer, path.c_str(), path.size() + 1);
    return true;
}

void os_exit(int code) {
    fake::log("exit " + std::to_string(code));
    void (*hook)(int);
    {
        std::lock_guard lock(fake::state().mutex);
        hook = fake::state().exit_hook;
    }
    if (hook) hook(code);
    // A death test sees the whole record on stderr.
    for (const std::string& line : fake::calls()) fprintf(stderr, "fake: %s\n", line.c_str());
    std::exit(code);
}
