#pragma once
// The millisecond tick, sleeping and the timer resolution.
#include <cstdint>

class IClock {
public:
    virtual ~IClock() = default;
    // System millisecond tick (wraps at 2^32).
    virtual std::uint32_t Tick() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Minimum period of the multimedia timer; false when the query fails.
    virtual bool MinTimerPeriod(std::uint32_t& period) = 0;
    // Requests a timer resolution; false when refused.
    virtual bool BeginTimerPeriod(std::uint32_t period) = 0;
    virtual void EndTimerPeriod(std::uint32_t period) = 0;
};
