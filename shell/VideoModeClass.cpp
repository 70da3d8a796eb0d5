#include "shell/VideoModeClass.h"

#include <cstdio>

#include "gl/FastMath.h"

// ---------------------------------------------------------------------------
// TVideoModesList

TVideoModesList::~TVideoModesList()
{
    if (switched_ || changePending_) {
        try {
            Restore();
        } catch (...) {
            // A destructor must not throw.
        }
    }
}

TVideoModeRecord TVideoModesList::Desktop() const
{
    TVideoModeRecord d;
    if (settings_)
        d = settings_->DesktopMode();
    d.Frequency = 0;
    return d;
}

std::int32_t TVideoModesList::IndexOf(std::int32_t width, std::int32_t height, std::int32_t bits) const
{
    for (std::size_t i = 0; i < modes_.size(); ++i)
        if (modes_[i].Width == width && modes_[i].Height == height && modes_[i].Bits == bits)
            return static_cast<std::int32_t>(i);
    return -1;
}

void TVideoModesList::AddTested(const TVideoModeRecord& mode)
{
    if (!settings_->TestMode(mode))
        return;
    TVideoModeRecord r = mode;
    if (r.Frequency == 0)
        r.Frequency = 1;
    modes_.push_back(r);
}

void TVideoModesList::Rebuild()
{
    modes_.clear();
    if (!settings_)
        return;
    TVideoModeRecord mode;
    for (std::int32_t i = 0; settings_->EnumMode(i, mode); ++i) {
        const std::int32_t at = IndexOf(mode.Width, mode.Height, mode.Bits);
        if (at >= 0) {
            if (mode.Frequency > modes_[static_cast<std::size_t>(at)].Frequency)
                modes_[static_cast<std::size_t>(at)].Frequency = mode.Frequency;
        } else {
            AddTested(mode);
        }
    }
    const TVideoModeRecord desktop = Desktop();
    if (IndexOf(desktop.Width, desktop.Height, desktop.Bits) < 0)
        AddTested(desktop);
}

bool TVideoModesList::Switch(std::int32_t width, std::int32_t height, std::int32_t bits)
{
    const TVideoModeRecord desktop = Desktop();
    if (desktop.Width == width && desktop.Height == height && desktop.Bits == bits) {
        switched_ = true;
        return true;
    }
    const std::int32_t at = IndexOf(width, height, bits);
    if (at < 0 || !settings_)
        return false;
    const TVideoModeRecord& r = modes_[static_cast<std::size_t>(at)];
    const bool ok = settings_->ChangeMode(r);
    if (ok)
        changePending_ = true;
    switched_ = ok;
    return ok;
}

void TVideoModesList::Restore()
{
    if (settings_)
        settings_->RestoreRegistryMode();
    switched_ = false;
    changePending_ = false;
}

// ---------------------------------------------------------------------------
// TScreenMode

std::int32_t MakeScreenSize(std::int32_t width, std::int32_t height)
{
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(width) << 16) +
                                     static_cast<std::uint32_t>(height));
}

std::string DepthTextOf(std::int32_t depth)
{
    if (depth == 16)
        return "High Color(16 bit)";
    if (depth == 32)
        return "True Color(32 bit)";
    // 2^depth as an unsigned count of colours; out-of-range depths count 0.
    const unsigned long long colours = depth >= 0 && depth < 64 ? (1ull << depth) : 0ull;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%llu Color(%d bit)", colours, static_cast<int>(depth));
    return buffer;
}

TScreenMode::TScreenMode(std::int32_t width, std::int32_t height, std::int32_t colorDepth)
    : colorDepth_(colorDepth), screenSize_(MakeScreenSize(width, height))
{
}

void TScreenMode::SetModeRaw(std::int32_t depth, std::int32_t size)
{
    colorDepth_ = depth;
    screenSize_ = size;
    Changed();
}

void TScreenMode::SetColorDepth(std::int32_t depth)
{
    SetModeRaw(depth, screenSize_);
}

void TScreenMode::SetScreenSize(std::int32_t size)
{
    SetModeRaw(colorDepth_, size);
}

void TScreenMode::SetMode(std::int32_t width, std::int32_t height, std::int32_t depth)
{
    SetModeRaw(depth, MakeScreenSize(width, height));
}

void TScreenMode::SetSize(std::int32_t width, std::int32_t height)
{
    SetModeRaw(colorDepth_, MakeScreenSize(width, height));
}

std::string TScreenMode::SizeText() const
{
    return std::to_string(Width()) + "x" + std::to_string(Height());
}

std::string TScreenMode::ModeText() const
{
    return SizeText() + "x" + std::to_string(colorDepth_);
}

std::string TScreenMode::DepthText() const
{
    return DepthTextOf(colorDepth_);
}

void TScreenMode::SetSizeText(std::string_view text)
{
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) {
        SetSize(800, 600);
        return;
    }
    const std::int32_t w = StrToIntStrict(text.substr(0, x));
    const std::int32_t h = StrToIntStrict(text.substr(x + 1));
    SetSize(w, h);
}

void TScreenMode::SetDepthText(std::string_view text)
{
    SetColorDepth(text == "True Color(32 bit)" ? 32 : 16);
}

void TScreenMode::SetModeText(std::string_view text)
{
    const std::size_t x1 = text.find('x');
    const std::size_t x2 = x1 == std::string_view::npos ? x1 : text.find('x', x1 + 1);
    if (x2 == std::string_view::npos) {
        SetMode(800, 600, 16);
        return;
    }
    const std::int32_t w = StrToIntStrict(text.substr(0, x1));
    const std::int32_t h = StrToIntStrict(text.substr(x1 + 1, x2 - x1 - 1));
    const std::int32_t d = StrToIntStrict(text.substr(x2 + 1));
    SetMode(w, h, d);
}

// ---------------------------------------------------------------------------
// Colour-depth groups

std::int32_t TColorDepthMode::IndexOfSize(std::int32_t width, std::int32_t height) const
{
    const std::int32_t size = MakeScreenSize(width, height);
    for (std::size_t i = 0; i < Sizes.size(); ++i)
        if (Sizes[i].ScreenSize() == size)
            return static_cast<std::int32_t>(i);
    return -1;
}

std::int32_t TColorDepthModes::IndexOf(std::int32_t depth) const
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].ColorDepth == depth)
            return static_cast<std::int32_t>(i);
    return -1;
}

TColorDepthMode& TColorDepthModes::FindOrAdd(std::int32_t depth)
{
    const std::int32_t at = IndexOf(depth);
    if (at >= 0)
        return items_[static_cast<std::size_t>(at)];
    items_.push_back(TColorDepthMode{depth, {}});
    return items_.back();
}
