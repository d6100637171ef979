// platform/fake/thread.cpp -- locks and threads, recorded; thread creation can
// be made to fail.
#include "platform/thread.h"
#include "platform/common/core.h"
#include "platform/fake/fake.h"
#include "platform/fake/state.h"

os_lock* os_newlock() {
    return core::new_lock();
}

void os_enterlock(os_lock* lock) {
    core::enter_lock(lock);
    fake::log("enterlock");
}

void os_leavelock(os_lock* lock) {
    fake::log("leavelock");
    core::leave_lock(lock);
}

os_thread* os_createthread(uint32_t (*proc)(void*), void* param) {
    fake::log("createthread");
    if (fake::failing("createthread")) return nullptr;
    bool hold;
    {
        std::lock_guard lock(fake::state().mutex);
        hold = fake::state().hold_threads;
    }
    if (hold) return core::create_thread([](void*) -> uint32_t { return 0; }, nullptr);
    return core::create_thread(proc, param);
}

void os_stopthread(os_thread* thread) {
    fake::log("stopthread");
    core::stop_thread(thread);
}

void os_parkthread() {
    core::park();
}
