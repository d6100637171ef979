// platform/common/thread.cpp -- locks and threads for the real backends.
#include "platform/thread.h"
#include "platform/common/core.h"

os_lock* os_newlock() {
    return core::new_lock();
}
void os_enterlock(os_lock* lock) {
    core::enter_lock(lock);
}
void os_leavelock(os_lock* lock) {
    core::leave_lock(lock);
}
os_thread* os_createthread(uint32_t (*proc)(void*), void* param) {
    return core::create_thread(proc, param);
}
void os_stopthread(os_thread* thread) {
    core::stop_thread(thread);
}
void os_parkthread() {
    core::park();
}
