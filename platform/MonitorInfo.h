#pragma once
// Monitors and the desktop rectangles.
#include <cstdint>

#include "platform/PlatformTypes.h"

class IMonitorInfo {
public:
    virtual ~IMonitorInfo() = default;
    virtual std::int32_t MonitorCount() = 0;
    virtual TRect MonitorRect(std::int32_t index) = 0;
    virtual TRect PrimaryScreen() = 0;  // Left = Top = 0
    virtual TRect VirtualDesktop() = 0;
};
