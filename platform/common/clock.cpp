// platform/common/clock.cpp -- the millisecond clock of the real backends.
#include <chrono>

#include "platform/common/core.h"
#include "platform/timer.h"

// The system's clocks already tick at a millisecond or finer, so a period asks
// for nothing more.
void os_timebeginperiod(uint32_t) {}
void os_timeendperiod(uint32_t) {}

uint32_t os_gettime() {
    core::safepoint();
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}
