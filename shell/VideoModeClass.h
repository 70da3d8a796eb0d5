#pragma once
// Display modes: the raw list the system offers with the actual mode change, a
// colour depth with a screen size and their text forms, and the usable modes
// grouped by colour depth.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DisplaySettings.h"

// The system's modes, tested once, without duplicates (the highest frequency of
// equal modes is kept), and the switch into one of them.
class TVideoModesList {
public:
    explicit TVideoModesList(IDisplaySettings* settings) : settings_(settings) {}
    ~TVideoModesList();
    TVideoModesList(const TVideoModesList&) = delete;
    TVideoModesList& operator=(const TVideoModesList&) = delete;

    // Re-reads the modes from the system, keeping only those that pass a test change.
    void Rebuild();
    const std::vector<TVideoModeRecord>& Modes() const { return modes_; }
    std::int32_t IndexOf(std::int32_t width, std::int32_t height, std::int32_t bits) const;
    // The primary screen's current width, height and bits (frequency 0).
    TVideoModeRecord Desktop() const;

    // Switches to a listed mode; true when the screen is in that mode afterwards.
    bool Switch(std::int32_t width, std::int32_t height, std::int32_t bits);
    // Restores the mode stored in the system's registry.
    void Restore();

    bool Switched() const { return switched_; }

private:
    void AddTested(const TVideoModeRecord& mode);

    IDisplaySettings* settings_;
    std::vector<TVideoModeRecord> modes_;
    bool switched_ = false;
    // Any successful change not yet undone; restored at destruction even when a
    // later change failed and cleared Switched.
    bool changePending_ = false;
};

// A colour depth and a screen size (width in the high 16 bits, height in the low).
class TScreenMode {
public:
    TScreenMode() = default;
    TScreenMode(std::int32_t width, std::int32_t height, std::int32_t colorDepth);
    TScreenMode(const TScreenMode& other) : colorDepth_(other.colorDepth_), screenSize_(other.screenSize_) {}
    TScreenMode& operator=(const TScreenMode& other)
    {
        Assign(other);
        return *this;
    }
    virtual ~TScreenMode() = default;

    std::int32_t ColorDepth() const { return colorDepth_; }
    void SetColorDepth(std::int32_t depth);
    std::int32_t ScreenSize() const { return screenSize_; }
    void SetScreenSize(std::int32_t size);
    std::int32_t Width() const { return screenSize_ >> 16; }
    std::int32_t Height() const { return screenSize_ & 0xFFFF; }
    // Width, height and depth together (one change notification).
    void SetMode(std::int32_t width, std::int32_t height, std::int32_t depth);
    void SetSize(std::int32_t width, std::int32_t height);
    void Assign(const TScreenMode& other) { SetModeRaw(other.colorDepth_, other.screenSize_); }

    // "640x480"
    std::string SizeText() const;
    // "640x480x16", the form kept in the settings.
    std::string ModeText() const;
    // "High Color(16 bit)", "True Color(32 bit)", else "<2^depth> Color(<depth> bit)".
    std::string DepthText() const;
    // Width and height from "WxH"; 800x600 without an "x". Raises for non-integers.
    void SetSizeText(std::string_view text);
    // 32 for "True Color(32 bit)", 16 for anything else.
    void SetDepthText(std::string_view text);
    // "WxHxD"; 800x600x16 with fewer than two "x". Raises for non-integers.
    void SetModeText(std::string_view text);

    bool SameAs(const TScreenMode& other) const
    {
        return colorDepth_ == other.colorDepth_ && screenSize_ == other.screenSize_;
    }

protected:
    virtual void Changed() {}
    void SetModeRaw(std::int32_t depth, std::int32_t size);

private:
    std::int32_t colorDepth_ = 0;
    std::int32_t screenSize_ = 0;
};

std::int32_t MakeScreenSize(std::int32_t width, std::int32_t height);
std::string DepthTextOf(std::int32_t depth);

using TScreenModes = std::vector<TScreenMode>;

struct TColorDepthMode {
    std::int32_t ColorDepth = 0;
    TScreenModes Sizes; // in the order the system reported them
    std::int32_t IndexOfSize(std::int32_t width, std::int32_t height) const;
};

class TColorDepthModes {
public:
    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    const TColorDepthMode& operator[](std::int32_t i) const { return items_.at(static_cast<std::size_t>(i)); }
    TColorDepthMode& operator[](std::int32_t i) { return items_.at(static_cast<std::size_t>(i)); }
    // Index of the entry of depth, or -1.
    std::int32_t IndexOf(std::int32_t depth) const;
    // The entry of depth, appended at the end when missing.
    TColorDepthMode& FindOrAdd(std::int32_t depth);
    void Clear() { items_.clear(); }

private:
    std::vector<TColorDepthMode> items_;
};
