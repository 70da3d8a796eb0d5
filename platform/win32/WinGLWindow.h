#pragma once
// The output window on Windows. Full screen it is a top-most pop-up over the
// selected monitor (or the whole virtual desktop); in a preview it is a child
// filling another program's window; otherwise a child filling the main form's
// preview panel. Its class has its own device context, which is handed to the
// application as soon as the window exists.
#include <cstdint>

#include "shell/GLApp.h"
#include "platform/Services.h"

class TWinApplication;

class TWinGLWindow : public TCustomGLWindow {
public:
    TWinGLWindow(TWinApplication& host, IMonitorInfo& monitors);
    ~TWinGLWindow() override;
    TWinGLWindow(const TWinGLWindow&) = delete;
    TWinGLWindow& operator=(const TWinGLWindow&) = delete;

    std::int32_t ClientWidth() override;
    std::int32_t ClientHeight() override;
    bool HandleAllocated() override { return window_ != 0; }
    TWindowHandle Handle() override { return window_; }
    void ShowWithHandle() override;
    void HideAndDestroyHandle() override;
    void SetParentWindow(TWindowHandle parent) override;

    // Internal: the window procedure's body.
    std::intptr_t WindowMessage(TWindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

private:
    void CreateHandle();
    void DestroyHandle();
    void FollowMonitors();

    TWinApplication& host_;
    IMonitorInfo& monitors_;
    TWindowHandle window_ = 0;
    TWindowHandle parentWindow_ = 0;
    std::int32_t width_ = 640;
    std::int32_t height_ = 480;
    bool visible_ = false;
    bool destroying_ = false;
};
