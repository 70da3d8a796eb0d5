#pragma once
// Display modes: enumeration, tests and full-screen changes.
#include <cstdint>

// One display mode as the system reports it.
struct TVideoModeRecord {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t Bits = 0;
    std::int32_t Frequency = 0;
};

class IDisplaySettings {
public:
    virtual ~IDisplaySettings() = default;
    // Mode number index; false when there are no more modes.
    virtual bool EnumMode(std::int32_t index, TVideoModeRecord& mode) = 0;
    // A test-only full-screen change: true when the system would accept the mode.
    virtual bool TestMode(const TVideoModeRecord& mode) = 0;
    // A full-screen change of width, height, bits and frequency; true on success.
    virtual bool ChangeMode(const TVideoModeRecord& mode) = 0;
    // Restores the mode stored in the system's registry (a change with no mode).
    virtual void RestoreRegistryMode() = 0;
    // Primary screen width and height, the screen's bits per pixel and its
    // refresh rate in Hz (0 or 1 when unknown).
    virtual TVideoModeRecord DesktopMode() = 0;
};
