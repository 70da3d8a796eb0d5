#pragma once
// Values that cross the seam between the program and its platform: opaque
// handles (window handles, device contexts) and screen rectangles.
#include <cstdint>

using TWindowHandle = std::uintptr_t;  // 0 = none
using TDeviceContext = std::uintptr_t; // 0 = none

struct TRect {
    std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;
};
