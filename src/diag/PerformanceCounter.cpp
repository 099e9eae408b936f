#include "diag/PerformanceCounter.h"

#include <atomic>
#include <chrono>

namespace tarnwick {

std::int64_t TSteadyPerformanceCounter::QueryPerformanceCounter() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::uint32_t TSteadyPerformanceCounter::GetCurrentThreadId() {
    static std::atomic<std::uint32_t> nextId{1};
    thread_local const std::uint32_t id = nextId.fetch_add(1);
    return id;
}

} // namespace tarnwick
