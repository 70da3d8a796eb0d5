#include "platform/win32/WinGLWindow.h"

#include "platform/win32/WinApplication.h"

#include <windows.h>

namespace {

constexpr wchar_t kWindowClass[] = L"TGLWindow";
constexpr UINT_PTR kFollowMonitorsTimer = 0x5059;

HWND AsHwnd(TWindowHandle h) { return reinterpret_cast<HWND>(h); }
TWindowHandle AsHandle(HWND h) { return reinterpret_cast<TWindowHandle>(h); }

LRESULT CALLBACK GLWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TWinGLWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    try {
        return static_cast<LRESULT>(self->WindowMessage(AsHandle(window), message, wParam, lParam));
    } catch (const std::exception& e) {
        if (TWinApplication* app = CurrentWinApplication())
            app->ReportException(e);
        return 0;
    }
}

bool RegisterGLWindowClass()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(instance, kWindowClass, &wc))
        return true;
    wc.cbSize = sizeof(wc);
    wc.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = &GLWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = nullptr;
    wc.lpszClassName = kWindowClass;
    return RegisterClassExW(&wc) != 0;
}

} // namespace

TWinGLWindow::TWinGLWindow(TWinApplication& host, IMonitorInfo& monitors) : host_(host), monitors_(monitors) {}

TWinGLWindow::~TWinGLWindow()
{
    // The application is gone or has cleared its callbacks by now.
    DestroyHandle();
}

std::int32_t TWinGLWindow::ClientWidth()
{
    RECT r{};
    if (window_ && GetClientRect(AsHwnd(window_), &r))
        return r.right - r.left;
    return width_;
}

std::int32_t TWinGLWindow::ClientHeight()
{
    RECT r{};
    if (window_ && GetClientRect(AsHwnd(window_), &r))
        return r.bottom - r.top;
    return height_;
}

void TWinGLWindow::ShowWithHandle()
{
    visible_ = true;
    if (!window_)
        CreateHandle();
}

void TWinGLWindow::HideAndDestroyHandle()
{
    visible_ = false;
    DestroyHandle();
}

void TWinGLWindow::SetParentWindow(TWindowHandle parent)
{
    if (parent == parentWindow_)
        return;
    parentWindow_ = parent;
    if (window_) {
        DestroyHandle();
        CreateHandle();
    }
}

void TWinGLWindow::CreateHandle()
{
    if (window_ || !RegisterGLWindowClass())
        return;
    const bool fullScreen = IsFullScreen && IsFullScreen();
    HWND parent = nullptr;
    DWORD style = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    DWORD exStyle = 0;
    TRect bounds{0, 0, width_, height_};
    bool ownParent = false;
    if (fullScreen) {
        bounds = FullScreenWindowBounds(Monitor, monitors_);
        style |= WS_POPUP | WS_VISIBLE;
        exStyle = WS_EX_APPWINDOW | WS_EX_TOPMOST;
    } else {
        if (parentWindow_) {
            parent = AsHwnd(parentWindow_);
            ownParent = true;
            RECT r{};
            if (GetWindowRect(parent, &r))
                bounds = {0, 0, r.right - r.left, r.bottom - r.top};
        } else {
            parent = AsHwnd(host_.PreviewPanel());
            RECT r{};
            if (parent && GetClientRect(parent, &r))
                bounds = {0, 0, r.right - r.left, r.bottom - r.top};
        }
        style |= WS_TABSTOP | (visible_ ? WS_VISIBLE : 0);
        style |= parent ? WS_CHILD : WS_OVERLAPPEDWINDOW;
    }
    HWND window = CreateWindowExW(exStyle, kWindowClass, L"", style, bounds.Left, bounds.Top, bounds.Width,
                                  bounds.Height, parent, nullptr, GetModuleHandleW(nullptr), this);
    if (!window) {
        // Another program's window that is already gone (or never was one):
        // a preview with nowhere to draw ends like a closed preview.
        if (ownParent && !IsWindow(parent))
            HandleClose();
        return;
    }
    window_ = AsHandle(window);
    width_ = bounds.Width;
    height_ = bounds.Height;
    if (fullScreen) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        // Keys and clicks must reach this program while the saver runs.
        SetForegroundWindow(window);
        SetFocus(window);
        // Not every system tells a window that a monitor came or went (wine
        // on some X servers does not), so the window also checks once a second.
        SetTimer(window, kFollowMonitorsTimer, 1000, nullptr);
    }
    HandleCreated(reinterpret_cast<TDeviceContext>(GetDC(window)));
}

// A monitor came or went: the full-screen window covers what the monitor
// choice names now (the whole desktop, with the picture on the primary
// screen, when the chosen monitor is gone). Nothing moves while it fits.
void TWinGLWindow::FollowMonitors()
{
    if (!window_ || !IsFullScreen || !IsFullScreen())
        return;
    HWND window = AsHwnd(window_);
    const TRect bounds = FullScreenWindowBounds(Monitor, monitors_);
    RECT r{};
    if (GetWindowRect(window, &r) && r.left == bounds.Left && r.top == bounds.Top &&
        r.right - r.left == bounds.Width && r.bottom - r.top == bounds.Height)
        return;
    SetWindowPos(window, HWND_TOPMOST, bounds.Left, bounds.Top, bounds.Width, bounds.Height, SWP_NOACTIVATE);
}

void TWinGLWindow::DestroyHandle()
{
    if (!window_)
        return;
    destroying_ = true;
    DestroyWindow(AsHwnd(window_));
    destroying_ = false;
    window_ = 0;
}

std::intptr_t TWinGLWindow::WindowMessage(TWindowHandle handle, unsigned message, std::uintptr_t wParam,
                                          std::intptr_t lParam)
{
    HWND window = AsHwnd(handle);
    switch (message) {
    case WM_ERASEBKGND:
        if (SuppressEraseBackground())
            return 1;
        {
            RECT r{};
            GetClientRect(window, &r);
            HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(Color));
            FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
            DeleteObject(brush);
        }
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        // The next frame shows the whole picture again.
        HandlePaint();
        return 0;
    }
    case WM_CLOSE:
        if (HandleClose())
            return 0;
        break;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
        case SC_SCREENSAVE:
        case SC_MONITORPOWER:
            return 0;
        default:
            break;
        }
        break;
    case WM_DISPLAYCHANGE:
        FollowMonitors();
        break;
    case WM_TIMER:
        if (wParam == kFollowMonitorsTimer) {
            FollowMonitors();
            return 0;
        }
        break;
    case WM_SIZE: {
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        HandleResized(LOWORD(lParam), HIWORD(lParam));
        return result;
    }
    case WM_DESTROY: {
        const bool external = !destroying_;
        HDC dc = reinterpret_cast<HDC>(DC);
        HandleDestroyed();
        if (dc)
            ReleaseDC(window, dc);
        if (window_ == handle)
            window_ = 0;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        // The window of the program we draw into went away (the preview's host
        // closed): nothing is left to draw into, so the preview ends.
        if (external && parentWindow_)
            HandleClose();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
