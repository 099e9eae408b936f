#pragma once
// The clock and thread identity the measurement registry reads.

#include <cstdint>

namespace tarnwick {

class IPerformanceCounter {
public:
    virtual ~IPerformanceCounter() = default;
    virtual std::int64_t QueryPerformanceCounter() = 0;
    virtual std::int64_t QueryPerformanceFrequency() = 0;
    // Non-zero and distinct for every live thread.
    virtual std::uint32_t GetCurrentThreadId() = 0;
};

// The high-resolution monotonic clock of the standard library (the performance counter on Windows),
// counting nanoseconds.
class TSteadyPerformanceCounter final : public IPerformanceCounter {
public:
    std::int64_t QueryPerformanceCounter() override;
    std::int64_t QueryPerformanceFrequency() override { return 1'000'000'000; }
    std::uint32_t GetCurrentThreadId() override;
};

} // namespace tarnwick
