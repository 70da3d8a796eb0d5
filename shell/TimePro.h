#pragma once
// Millisecond running time and the high-resolution frame timer of the frame loop.
#include <cstdint>

#include "platform/SystemClock.h"

// A total in milliseconds with its day/hour/minute/second breakdown.
class TTime {
public:
    std::uint32_t Milliseconds() const { return milliseconds_; }
    void SetMilliseconds(std::uint32_t total);
    std::uint32_t MSec() const { return msec_; }
    std::uint32_t Sec() const { return sec_; }
    std::uint32_t Min() const { return min_; }
    std::uint32_t Hour() const { return hour_; }
    std::uint32_t Day() const { return day_; }
    long double Seconds() const { return static_cast<long double>(milliseconds_) / 1000.0L; }
    void Reset();

private:
    std::uint32_t milliseconds_ = 0, msec_ = 0, sec_ = 0, min_ = 0, hour_ = 0, day_ = 0;
};

// Accumulates the system tick while running. Raises the multimedia timer
// resolution for its lifetime so that the tick and short sleeps are accurate.
class TTimerPro {
public:
    explicit TTimerPro(IClock& clock);
    ~TTimerPro();
    TTimerPro(const TTimerPro&) = delete;
    TTimerPro& operator=(const TTimerPro&) = delete;

    void StartTimer();
    // Adds the ticks since the last update (nothing when the tick went backwards).
    const TTime& CurrentTime();
    bool Running() const { return running_; }
    std::uint32_t Period() const { return period_; }

private:
    IClock& clock_;
    TTime time_;
    bool running_ = false;
    std::uint32_t lastTick_ = 0;
    std::uint32_t period_ = 1;
};
