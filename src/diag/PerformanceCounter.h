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

// The processor's time-stamp counter where there is one (what the platform's performance counter reads
// on current machines, without the call), else the standard library's monotonic clock in nanoseconds.
// Every measured step reads it twice, so its cost is the measurements' cost.
class TSteadyPerformanceCounter final : public IPerformanceCounter {
public:
    TSteadyPerformanceCounter();
    std::int64_t QueryPerformanceCounter() override;
    // Counts per second; the time-stamp counter's rate is measured against the monotonic clock once.
    std::int64_t QueryPerformanceFrequency() override;
    std::uint32_t GetCurrentThreadId() override;

private:
    std::int64_t FStartCount;
    std::int64_t FStartNanoseconds;
    std::int64_t FFrequency = 0;
};

} // namespace tarnwick
