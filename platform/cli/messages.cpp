// platform/cli/messages.cpp -- the queue of a program without windows.
#include "platform/messages.h"
#include "platform/common/core.h"

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
intptr_t os_dispatchmessage(const os_msg*) {
    return 0;
}
void os_postmessage(os_window* window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    core::post(os_msg{window, message, wparam, lparam});
}
intptr_t os_sendmessage(os_window* window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    return core::send(os_msg{window, message, wparam, lparam});
}
void os_postquitmessage(int32_t code) {
    core::post_quit(code);
}
