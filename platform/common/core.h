// platform/common/core.h -- what the backends share: the main thread's queue,
// calls handed to the main thread, locks, and threads that can be stopped.
// Backends build their platform operations on these; the engine never sees them.
#pragma once
#include <cstdint>

#include "platform/messages.h"
#include "platform/thread.h"

namespace core {

// The main thread is the one that ran the program's static initialisation.
bool on_main_thread();

void post(const os_msg& msg);
void post_quit(int32_t code);

enum class taken { nothing, message, quit };

// Main thread: serves sent messages and handed-over calls, then takes the
// oldest posted message, or the quit once no posted message is left.
taken take(os_msg* msg);

// Blocks the main thread until something is posted, sent or handed over, or
// until timeout_ms have passed (-1: no limit).
void wait(int32_t timeout_ms);

// From another thread: queues msg for the main thread and waits for the result
// of its handling; on the main thread it is dispatched at once.
intptr_t send(const os_msg& msg);

// Runs call(arg) on the main thread and returns once it has run. The main thread
// serves such calls in every wait of its own (queue, lock, thread stop).
void run_on_main(void (*call)(void*), void* arg);
void serve_calls();

// The calling thread's safe point: a thread asked to stop parks here, if it
// holds no lock.
void safepoint();

os_lock* new_lock();
void enter_lock(os_lock* lock);
void leave_lock(os_lock* lock);

os_thread* create_thread(uint32_t (*proc)(void*), void* param);
void stop_thread(os_thread* thread);
void park();

// Tests: forget what is queued and pending quits, for the next scenario.
void reset_queue();

}  // namespace core
