#include "shell/FramePacer.h"

void TFramePacer::SetRefreshRate(std::int32_t hz)
{
    rate_ = hz >= 24 && hz <= 1000 ? hz : 60;
    scheduled_ = false;
}

std::uint32_t TFramePacer::WaitMilliseconds(long double now, bool waitForRetrace)
{
    if (!waitForRetrace) {
        scheduled_ = false;
        return 0;
    }
    const long double period = Period();
    if (!scheduled_ || now < due_ - 2 * period) {
        // First frame, or the clock went back: start a new schedule.
        scheduled_ = true;
        due_ = now + period;
        return 0;
    }
    if (now >= due_) {
        // The frame took its period (a swap that waited, or a slow frame).
        // A little late keeps the schedule so the average stays one frame per
        // period; a whole period late starts it again from now.
        due_ = now - due_ < period ? due_ + period : now + period;
        return 0;
    }
    // Early: wait for the due time (whole milliseconds, never longer than it).
    const auto wait = static_cast<std::uint32_t>((due_ - now) * 1000.0L);
    due_ += period;
    return wait;
}
