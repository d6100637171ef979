// platform/sdl/messages.cpp -- the queue over platform/common, fed with SDL's
// events while the main thread waits.
#include "platform/messages.h"
#include "platform/sdl/sdl.h"
#include "platform/window.h"

int32_t os_getmessage(os_msg* msg) {
    for (;;) {
        switch (core::take(msg)) {
        case core::taken::message:
            return 1;
        case core::taken::quit:
            return 0;
        case core::taken::nothing:
            break;
        }
        if (sdl::pump_events()) continue;
        // SDL's events are polled: wake at least every few milliseconds for them.
        core::wait(sdl::video() ? 4 : -1);
    }
}

void os_translatemessage(const os_msg*) {}

intptr_t os_dispatchmessage(const os_msg* msg) {
    os_window* w = msg->window;
    if (!w || w->destroyed.load()) return 0;
    return w->proc(w, msg->message, msg->wparam, msg->lparam);
}

void os_postmessage(os_window* window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    core::post(os_msg{window, message, wparam, lparam});
}

intptr_t os_sendmessage(os_window* window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    core::safepoint();
    return core::send(os_msg{window, message, wparam, lparam});
}

void os_postquitmessage(int32_t code) {
    core::post_quit(code);
}
