#pragma once
// The display control: the usable display modes grouped by colour depth, the
// user's full-screen mode kept valid against them, and the switch of the whole
// screen into that mode and back.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ApplicationHost.h"
#include "platform/DisplaySettings.h"
#include "shell/VideoModeClass.h"

class TCustomDisplayControl;

// The chosen full-screen mode; after every change it adopts a usable depth and
// size once the modes are known.
class TFullScreenMode : public TScreenMode {
public:
    explicit TFullScreenMode(TCustomDisplayControl& owner) : TScreenMode(640, 480, 16), owner_(owner) {}
    TFullScreenMode& operator=(const TScreenMode& other)
    {
        Assign(other);
        return *this;
    }

protected:
    void Changed() override;

private:
    TCustomDisplayControl& owner_;
    bool validating_ = false;
};

class TCustomDisplayControl {
public:
    // cursor may be null (no cursor steps).
    TCustomDisplayControl(IDisplaySettings* settings, IApplicationHost* cursor);
    virtual ~TCustomDisplayControl();
    TCustomDisplayControl(const TCustomDisplayControl&) = delete;
    TCustomDisplayControl& operator=(const TCustomDisplayControl&) = delete;

    bool DesktopOnly = false;
    bool EnumerateOnLoad = false;
    // While true, setting FullScreen only stores the value (the form is loading).
    bool Loading = false;

    bool FullScreen() const { return fullScreen_; }
    void SetFullScreen(bool value);

    // The desktop's current mode when DesktopOnly, otherwise the chosen mode.
    const TScreenMode& FullScreenMode();
    // Writes into the chosen mode (validated).
    void SetFullScreenMode(const TScreenMode& mode) { fullScreenMode_.Assign(mode); }
    // The chosen mode itself, whatever DesktopOnly says.
    TFullScreenMode& StoredFullScreenMode() { return fullScreenMode_; }
    // The desktop's width and height at 16 bits.
    TScreenMode DefaultMode() const;

    void EnumerateModes();
    const TColorDepthModes& ColorDepthModes() const { return depthModes_; }
    TVideoModesList& VideoModes() { return videoModes_; }

    // Depth text of the first size of every depth entry.
    void DepthTexts(std::vector<std::string>& list);
    // Size texts of the chosen depth; the list is left alone when that depth is unknown.
    void SizeTexts(std::vector<std::string>& list);
    std::int32_t DepthIndex();
    std::int32_t SizeIndex();

    // After the stored properties were read.
    void Loaded();

    virtual void LeaveFullScreen();
    virtual bool EnterFullScreen(std::int32_t width, std::int32_t height, std::int32_t depth);

    // Installed by the application.
    std::function<bool(std::int32_t depth, std::int32_t width, std::int32_t height)> ModeFilter;
    std::function<void()> BeforeSwitch;
    std::function<void()> AfterSwitch;
    // Called from the destructor so that a linked application forgets the control.
    std::function<void()> Freed;

private:
    friend class TFullScreenMode;
    void CursorStep(bool visible);

    IDisplaySettings* settings_;
    IApplicationHost* cursor_;
    TVideoModesList videoModes_;
    TColorDepthModes depthModes_;
    TScreenMode desktopMode_;
    TFullScreenMode fullScreenMode_;
    bool fullScreen_ = false;
};

// The variant the OpenGL application links: it enumerates the modes at load.
class TCustomGLDisplay : public TCustomDisplayControl {
public:
    TCustomGLDisplay(IDisplaySettings* settings, IApplicationHost* cursor) : TCustomDisplayControl(settings, cursor)
    {
        EnumerateOnLoad = true;
    }
};

class TGLDisplay : public TCustomGLDisplay {
public:
    using TCustomGLDisplay::TCustomGLDisplay;
};

// The monitor choices of the output window: "Primary Monitor", "<k> - Monitor"
// for k = 1..count, "Dual View", "Virtual Desktop" (item index = Monitor + 1).
std::vector<std::string> MonitorChoiceTexts(std::int32_t monitorCount);
