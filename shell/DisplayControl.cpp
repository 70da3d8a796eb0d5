#include "shell/DisplayControl.h"

// ---------------------------------------------------------------------------
// TFullScreenMode

void TFullScreenMode::Changed()
{
    if (validating_)
        return;
    const TColorDepthModes& depths = owner_.depthModes_;
    if (depths.Count() == 0)
        return;
    validating_ = true;
    std::int32_t at = depths.IndexOf(ColorDepth());
    if (at < 0)
        at = 0;
    const TColorDepthMode& entry = depths[at];
    std::int32_t depth = entry.ColorDepth;
    std::int32_t size = ScreenSize();
    if (entry.IndexOfSize(Width(), Height()) < 0 && !entry.Sizes.empty())
        size = entry.Sizes.front().ScreenSize();
    SetModeRaw(depth, size);
    validating_ = false;
}

// ---------------------------------------------------------------------------
// TCustomDisplayControl

TCustomDisplayControl::TCustomDisplayControl(IDisplaySettings* settings, IApplicationHost* cursor)
    : settings_(settings), cursor_(cursor), videoModes_(settings), fullScreenMode_(*this)
{
}

TCustomDisplayControl::~TCustomDisplayControl()
{
    if (fullScreen_) {
        try {
            LeaveFullScreen();
        } catch (...) {
            // A destructor must not throw.
        }
    }
    if (Freed)
        Freed();
}

void TCustomDisplayControl::CursorStep(bool visible)
{
    if (cursor_)
        cursor_->ShowCursor(visible);
}

void TCustomDisplayControl::SetFullScreen(bool value)
{
    if (value == fullScreen_)
        return;
    if (Loading) {
        fullScreen_ = value;
        return;
    }
    if (value) {
        const TScreenMode mode = FullScreenMode();
        EnterFullScreen(mode.Width(), mode.Height(), mode.ColorDepth());
    } else {
        LeaveFullScreen();
    }
}

const TScreenMode& TCustomDisplayControl::FullScreenMode()
{
    if (DesktopOnly) {
        const TVideoModeRecord d = videoModes_.Desktop();
        desktopMode_.SetMode(d.Width, d.Height, d.Bits);
        return desktopMode_;
    }
    return fullScreenMode_;
}

TScreenMode TCustomDisplayControl::DefaultMode() const
{
    const TVideoModeRecord d = videoModes_.Desktop();
    return TScreenMode(d.Width, d.Height, 16);
}

void TCustomDisplayControl::EnumerateModes()
{
    depthModes_.Clear();
    videoModes_.Rebuild();
    for (const TVideoModeRecord& r : videoModes_.Modes()) {
        if (ModeFilter && !ModeFilter(r.Bits, r.Width, r.Height))
            continue;
        TColorDepthMode& entry = depthModes_.FindOrAdd(r.Bits);
        if (entry.IndexOfSize(r.Width, r.Height) < 0)
            entry.Sizes.emplace_back(r.Width, r.Height, r.Bits);
    }
    fullScreenMode_.Assign(DefaultMode());
}

void TCustomDisplayControl::DepthTexts(std::vector<std::string>& list)
{
    list.clear();
    for (std::int32_t i = 0; i < depthModes_.Count(); ++i) {
        const TColorDepthMode& e = depthModes_[i];
        list.push_back(e.Sizes.empty() ? DepthTextOf(e.ColorDepth) : e.Sizes.front().DepthText());
    }
}

void TCustomDisplayControl::SizeTexts(std::vector<std::string>& list)
{
    const std::int32_t at = depthModes_.IndexOf(FullScreenMode().ColorDepth());
    if (at < 0)
        return;
    list.clear();
    for (const TScreenMode& s : depthModes_[at].Sizes)
        list.push_back(s.SizeText());
}

std::int32_t TCustomDisplayControl::DepthIndex()
{
    return depthModes_.IndexOf(FullScreenMode().ColorDepth());
}

std::int32_t TCustomDisplayControl::SizeIndex()
{
    const TScreenMode& mode = FullScreenMode();
    const std::int32_t at = depthModes_.IndexOf(mode.ColorDepth());
    if (at < 0)
        return -1;
    return depthModes_[at].IndexOfSize(mode.Width(), mode.Height());
}

void TCustomDisplayControl::Loaded()
{
    Loading = false;
    if (EnumerateOnLoad)
        EnumerateModes();
    if (fullScreen_) {
        fullScreen_ = false;
        const TScreenMode mode = FullScreenMode();
        EnterFullScreen(mode.Width(), mode.Height(), mode.ColorDepth());
    }
}

bool TCustomDisplayControl::EnterFullScreen(std::int32_t width, std::int32_t height, std::int32_t depth)
{
    CursorStep(false);
    fullScreenMode_.SetMode(width, height, depth);
    if (BeforeSwitch)
        BeforeSwitch();
    const TScreenMode mode = FullScreenMode();
    const bool result = videoModes_.Switch(mode.Width(), mode.Height(), mode.ColorDepth());
    fullScreen_ = videoModes_.Switched();
    if (AfterSwitch)
        AfterSwitch();
    return result;
}

void TCustomDisplayControl::LeaveFullScreen()
{
    CursorStep(true);
    if (BeforeSwitch)
        BeforeSwitch();
    videoModes_.Restore();
    fullScreen_ = false;
    if (AfterSwitch)
        AfterSwitch();
}

std::vector<std::string> MonitorChoiceTexts(std::int32_t monitorCount)
{
    std::vector<std::string> list{"Primary Monitor"};
    for (std::int32_t k = 1; k <= monitorCount; ++k)
        list.push_back(std::to_string(k) + " - Monitor");
    list.push_back("Dual View");
    list.push_back("Virtual Desktop");
    return list;
}
