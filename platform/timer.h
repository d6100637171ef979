// platform/timer.h -- the millisecond clock and the timer period.
#pragma once
#include <cstdint>

// Asks for a timer resolution of period milliseconds for the rest of the run, and
// gives the request back. Each end matches one begin.
void os_timebeginperiod(uint32_t period);
void os_timeendperiod(uint32_t period);

// Milliseconds since an arbitrary start, at 1 ms resolution, wrapping at 2^32.
// A safe point of the calling thread (platform/thread.h).
uint32_t os_gettime();
