// platform/thread.h -- locks and the threads the engine starts.
//
// A thread started by os_createthread can be stopped by another. The stop is
// cooperative: the thread stops at its next safe point and never returns from
// the call in which it stopped. Its safe points are its own calls into the
// platform made while it holds no lock: entering a lock, sending a message,
// reading the clock, every audio call. A thread blocked in os_sendmessage is at
// one, so a stop never waits for the thread it is itself serving.
#pragma once
#include <cstdint>

struct os_lock;
struct os_thread;

// A lock that the thread holding it may enter again (it counts).
os_lock* os_newlock();
// While the main thread waits to enter, it keeps serving what other threads
// have handed to it (presents), so that the holder can get on and leave.
void os_enterlock(os_lock* lock);
void os_leavelock(os_lock* lock);

// Starts proc(param) on a new thread at once; null when no thread can be started.
os_thread* os_createthread(uint32_t (*proc)(void*), void* param);

// Stops thread at its next safe point and returns once it runs none of the
// engine's code any more (or has ended). Serves the thread's requests to the
// main thread while it waits. A null thread is ignored.
void os_stopthread(os_thread* thread);

// On a thread started by os_createthread: blocks it for good, as if stopped.
// On any other thread: returns at once.
void os_parkthread();
