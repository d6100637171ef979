// platform/common/core.cpp -- the main thread's queue, the hand-over of calls to
// the main thread, locks and stoppable threads.
#include "platform/common/core.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

struct os_lock {
    std::recursive_mutex mutex;
};

struct os_thread {
    uint32_t (*proc)(void*);
    void* param;
    std::atomic<bool> stop{false};  // a stop was asked for
    bool parked = false;            // stopped at a safe point, for good
    bool in_send = false;           // blocked in send while holding no lock
    bool finished = false;          // proc has returned
    int32_t locks = 0;              // locks held; only the thread itself touches it
};

namespace {

struct sent_message {
    os_msg msg;
    intptr_t result = 0;
    bool done = false;
};

struct main_call {
    void (*call)(void*);
    void* arg;
    bool done = false;
};

// All of the queue and the thread records are guarded by one mutex; the
// condition variable wakes every waiter on any change. The state is never
// destroyed: parked threads still wait on it while the process exits.
struct shared_state {
    std::mutex mutex;
    std::condition_variable changed;
    std::condition_variable never;  // parked threads wait here for good
    std::deque<os_msg> posted;
    std::deque<sent_message*> sent;
    std::deque<main_call*> calls;
    bool quit = false;
    int32_t quit_code = 0;
    // Every thread's record, kept for the life of the process: a stop may name a
    // thread that has long ended.
    std::vector<os_thread*> threads;
};

shared_state& state() {
    static shared_state* s = new shared_state;
    return *s;
}

const std::thread::id main_id = std::this_thread::get_id();
thread_local os_thread* self = nullptr;

[[noreturn]] void park_locked(std::unique_lock<std::mutex>& lock) {
    self->parked = true;
    state().changed.notify_all();
    for (;;) state().never.wait(lock);
}

// Runs every handed-over call; the lock is released while a call runs.
void serve_calls_locked(std::unique_lock<std::mutex>& lock) {
    shared_state& s = state();
    while (!s.calls.empty()) {
        main_call* c = s.calls.front();
        s.calls.pop_front();
        lock.unlock();
        c->call(c->arg);
        lock.lock();
        c->done = true;
        s.changed.notify_all();
    }
}

void serve_sent_locked(std::unique_lock<std::mutex>& lock) {
    shared_state& s = state();
    while (!s.sent.empty()) {
        sent_message* m = s.sent.front();
        s.sent.pop_front();
        lock.unlock();
        intptr_t result = os_dispatchmessage(&m->msg);
        lock.lock();
        m->result = result;
        m->done = true;
        s.changed.notify_all();
    }
}

}  // namespace

namespace core {

bool on_main_thread() {
    return std::this_thread::get_id() == main_id;
}

void post(const os_msg& msg) {
    std::lock_guard lock(state().mutex);
    state().posted.push_back(msg);
    state().changed.notify_all();
}

void post_quit(int32_t code) {
    std::lock_guard lock(state().mutex);
    state().quit = true;
    state().quit_code = code;
    state().changed.notify_all();
}

taken take(os_msg* msg) {
    shared_state& s = state();
    std::unique_lock lock(s.mutex);
    serve_calls_locked(lock);
    serve_sent_locked(lock);
    if (!s.posted.empty()) {
        *msg = s.posted.front();
        s.posted.pop_front();
        return taken::message;
    }
    if (s.quit) {
        s.quit = false;
        *msg = os_msg{nullptr, WM_QUIT, static_cast<uintptr_t>(s.quit_code), 0};
        return taken::quit;
    }
    return taken::nothing;
}

void wait(int32_t timeout_ms) {
    shared_state& s = state();
    std::unique_lock lock(s.mutex);
    auto ready = [&s] {
        return !s.posted.empty() || !s.sent.empty() || !s.calls.empty() || s.quit;
    };
    if (timeout_ms < 0)
        s.changed.wait(lock, ready);
    else
        s.changed.wait_for(lock, std::chrono::milliseconds(timeout_ms), ready);
}

intptr_t send(const os_msg& msg) {
    if (on_main_thread()) return os_dispatchmessage(&msg);
    shared_state& s = state();
    sent_message m{msg};
    std::unique_lock lock(s.mutex);
    s.sent.push_back(&m);
    if (self && self->locks == 0) self->in_send = true;
    s.changed.notify_all();
    s.changed.wait(lock, [&m] { return m.done; });
    if (self) {
        self->in_send = false;
        if (self->stop.load() && self->locks == 0) park_locked(lock);
    }
    return m.result;
}

void run_on_main(void (*call)(void*), void* arg) {
    if (on_main_thread()) {
        call(arg);
        return;
    }
    shared_state& s = state();
    main_call c{call, arg};
    std::unique_lock lock(s.mutex);
    s.calls.push_back(&c);
    s.changed.notify_all();
    s.changed.wait(lock, [&c] { return c.done; });
}

void serve_calls() {
    std::unique_lock lock(state().mutex);
    serve_calls_locked(lock);
}

void safepoint() {
    if (!self || !self->stop.load(std::memory_order_relaxed) || self->locks != 0) return;
    std::unique_lock lock(state().mutex);
    park_locked(lock);
}

os_lock* new_lock() {
    return new os_lock;
}

void enter_lock(os_lock* lock) {
    safepoint();
    if (on_main_thread()) {
        // The holder may be waiting for a call only this thread can serve.
        while (!lock->mutex.try_lock()) {
            std::unique_lock guard(state().mutex);
            serve_calls_locked(guard);
            state().changed.wait_for(guard, std::chrono::milliseconds(1),
                                     [] { return !state().calls.empty(); });
        }
    } else {
        lock->mutex.lock();
    }
    if (self) ++self->locks;
}

void leave_lock(os_lock* lock) {
    if (self) --self->locks;
    lock->mutex.unlock();
}

os_thread* create_thread(uint32_t (*proc)(void*), void* param) {
    os_thread* thread = new os_thread{proc, param};
    {
        std::lock_guard lock(state().mutex);
        state().threads.push_back(thread);
    }
    try {
        std::thread([thread] {
            self = thread;
            thread->proc(thread->param);
            std::lock_guard lock(state().mutex);
            thread->finished = true;
            state().changed.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return nullptr;
    }
    return thread;
}

void stop_thread(os_thread* thread) {
    if (!thread) return;
    if (thread == self) park();
    shared_state& s = state();
    std::unique_lock lock(s.mutex);
    thread->stop.store(true);
    s.changed.notify_all();
    bool main = on_main_thread();
    auto stopped = [thread] { return thread->parked || thread->finished || thread->in_send; };
    while (!stopped()) {
        if (main) serve_calls_locked(lock);
        s.changed.wait(lock, [&] { return stopped() || (main && !s.calls.empty()); });
    }
}

void park() {
    if (!self) return;
    std::unique_lock lock(state().mutex);
    park_locked(lock);
}

void reset_queue() {
    std::lock_guard lock(state().mutex);
    state().posted.clear();
    state().quit = false;
    state().quit_code = 0;
}

}  // namespace core
