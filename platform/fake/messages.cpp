// platform/fake/messages.cpp -- the queue over platform/common; input arrives
// as messages the test posts.
#include "platform/messages.h"
#include "platform/common/core.h"
#include "platform/fake/fake.h"
#include "platform/fake/state.h"

int32_t os_getmessage(os_msg* msg) {
    for (;;) {
        switch (core::take(msg)) {
        case core::taken::message:
            return 1;
        case core::taken::quit:
            return 0;
        case core::taken::nothing:
            core::wait(-1);
            break;
        }
    }
}

void os_translatemessage(const os_msg*) {}

intptr_t os_dispatchmessage(const os_msg* msg) {
    os_window* w = msg->window;
    if (!w || w->destroyed) return 0;
    return w->proc(w, msg->message, msg->wparam, msg->lparam);
}

void os_postmessage(os_window* window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    core::post(os_msg{window, message, wparam, lparam});
}

intptr_t os_sendmessage(os_window* window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    fake::log("sendmessage " + std::to_string(message));
    core::safepoint();
    return core::send(os_msg{window, message, wparam, lparam});
}

void os_postquitmessage(int32_t code) {
    fake::log("postquitmessage " + std::to_string(code));
    core::post_quit(code);
}
