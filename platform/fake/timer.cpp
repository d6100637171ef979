// platform/fake/timer.cpp -- a clock that only the test moves, and recorded
// timer periods.
#include <mutex>

#include "platform/common/core.h"
#include "platform/fake/fake.h"
#include "platform/fake/state.h"
#include "platform/timer.h"

void os_timebeginperiod(uint32_t period) {
    fake::log("timebeginperiod " + std::to_string(period));
    std::lock_guard lock(fake::state().mutex);
    ++fake::state().periods;
}

void os_timeendperiod(uint32_t period) {
    fake::log("timeendperiod " + std::to_string(period));
    std::lock_guard lock(fake::state().mutex);
    if (fake::state().periods > 0) --fake::state().periods;
}

uint32_t os_gettime() {
    core::safepoint();
    return fake::state().time.load(std::memory_order_relaxed);
}

namespace fake {
void set_time(uint32_t ms) {
    state().time.store(ms, std::memory_order_relaxed);
}
void advance_time(uint32_t ms) {
    state().time.fetch_add(ms, std::memory_order_relaxed);
}
}  // namespace fake
