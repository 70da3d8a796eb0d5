#include "shell/TimePro.h"

#include <algorithm>

void TTime::SetMilliseconds(std::uint32_t total)
{
    milliseconds_ = total;
    day_ = total / 86400000u;
    std::uint32_t rest = total % 86400000u;
    hour_ = rest / 3600000u;
    rest %= 3600000u;
    min_ = rest / 60000u;
    rest %= 60000u;
    sec_ = rest / 1000u;
    msec_ = rest % 1000u;
}

void TTime::Reset()
{
    milliseconds_ = msec_ = sec_ = min_ = hour_ = day_ = 0;
}

TTimerPro::TTimerPro(IClock& clock) : clock_(clock)
{
    std::uint32_t minPeriod = 0;
    if (clock_.MinTimerPeriod(minPeriod)) {
        period_ = std::max<std::uint32_t>(minPeriod, 1);
        if (!clock_.BeginTimerPeriod(period_)) {
            period_ = 1;
            clock_.BeginTimerPeriod(period_);
        }
    } else {
        period_ = 1;
        clock_.BeginTimerPeriod(period_);
    }
}

TTimerPro::~TTimerPro()
{
    clock_.EndTimerPeriod(period_);
}

void TTimerPro::StartTimer()
{
    if (!running_) {
        lastTick_ = clock_.Tick();
        time_.Reset();
    }
    running_ = true;
}

const TTime& TTimerPro::CurrentTime()
{
    if (running_) {
        const std::uint32_t tick = clock_.Tick();
        const auto diff = static_cast<std::int32_t>(tick - lastTick_);
        if (diff > 0)
            time_.SetMilliseconds(time_.Milliseconds() + static_cast<std::uint32_t>(diff));
        lastTick_ = tick;
    }
    return time_;
}
