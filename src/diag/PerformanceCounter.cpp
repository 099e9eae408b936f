#include "diag/PerformanceCounter.h"

#include <atomic>
#include <chrono>

#if defined(__x86_64__)
#include <x86intrin.h>
#define TARNWICK_HAS_TSC 1
#endif

namespace tarnwick {

namespace {

std::int64_t MonotonicNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

TSteadyPerformanceCounter::TSteadyPerformanceCounter()
    : FStartCount(QueryPerformanceCounter()), FStartNanoseconds(MonotonicNanoseconds()) {}

std::int64_t TSteadyPerformanceCounter::QueryPerformanceCounter() {
#ifdef TARNWICK_HAS_TSC
    return static_cast<std::int64_t>(__rdtsc());
#else
    return MonotonicNanoseconds();
#endif
}

std::int64_t TSteadyPerformanceCounter::QueryPerformanceFrequency() {
#ifdef TARNWICK_HAS_TSC
    if (FFrequency == 0) {
        // At least 10 ms between the two readings keeps the rate within a fraction of a percent.
        std::int64_t elapsed = 0;
        do {
            elapsed = MonotonicNanoseconds() - FStartNanoseconds;
        } while (elapsed < 10'000'000);
        const std::int64_t counts = QueryPerformanceCounter() - FStartCount;
        FFrequency =
            static_cast<std::int64_t>(static_cast<double>(counts) * 1e9 / static_cast<double>(elapsed));
    }
    return FFrequency;
#else
    return 1'000'000'000;
#endif
}

std::uint32_t TSteadyPerformanceCounter::GetCurrentThreadId() {
    static std::atomic<std::uint32_t> nextId{1};
    // Constant-initialised, so that reading it needs no guard: it is numbered on first use.
    thread_local std::uint32_t id = 0;
    if (id == 0) {
        id = nextId.fetch_add(1);
    }
    return id;
}

} // namespace tarnwick
