#pragma once
// Pacing of the frame loop to the display. When the buffer swap is asked to
// wait for the vertical retrace but returns at once (displays and drivers that
// ignore the swap interval: virtual X servers, remote sessions), the loop
// would draw as fast as the processor allows. The pacer keeps a schedule of
// one frame per refresh period and tells the loop how long to wait for the
// next one; frames that already took a period or longer wait nothing.
#include <cstdint>

class TFramePacer {
public:
    // The display's refresh rate in Hz; 0 and 1 (the system's "default") and
    // implausible values give 60.
    void SetRefreshRate(std::int32_t hz);
    std::int32_t RefreshRate() const { return rate_; }
    long double Period() const { return 1.0L / rate_; }

    // Called once per frame at time now (seconds). Returns the milliseconds
    // to wait before the next frame; 0 whenever waitForRetrace is false, which
    // also forgets the schedule.
    std::uint32_t WaitMilliseconds(long double now, bool waitForRetrace);

private:
    std::int32_t rate_ = 60;
    bool scheduled_ = false;
    long double due_ = 0;  // when the next frame is due
};
