#include "platform/win32/WinApplication.h"

#include "shell/AppPro.h"
#include "platform/win32/WinText.h"

#include <windows.h>
#include <windowsx.h>

#include <string>
#include <vector>

namespace {

TWinApplication* gApplication = nullptr;

constexpr wchar_t kAppClass[] = L"PyrelumeApplication";
constexpr wchar_t kFormClass[] = L"PyrelumeForm";
constexpr wchar_t kEventClass[] = L"AppEvents";
constexpr int kFormClientWidth = 640;
constexpr int kFormClientHeight = 480;

HWND AsHwnd(TWindowHandle h) { return reinterpret_cast<HWND>(h); }
TWindowHandle AsHandle(HWND h) { return reinterpret_cast<TWindowHandle>(h); }

LRESULT CALLBACK AppWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        // Closing the task-bar button closes the program.
        if (gApplication)
            gApplication->CloseMainForm();
        return 0;
    case WM_ACTIVATEAPP:
        if (gApplication && gApplication->Attached()) {
            try {
                if (wParam)
                    gApplication->Attached()->DoActivate();
                else
                    gApplication->Attached()->DoDeactivate();
            } catch (const std::exception& e) {
                gApplication->ReportException(e);
            }
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK FormWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return static_cast<LRESULT>(TWinApplication::MainFormMessage(AsHandle(window), message, wParam, lParam));
}

LRESULT CALLBACK EventWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return static_cast<LRESULT>(TWinApplication::EventWindowMessage(AsHandle(window), message, wParam, lParam));
}

bool RegisterWindowClass(const wchar_t* name, WNDPROC proc, UINT style, HBRUSH background)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, name, &wc))
        return true;
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

TMessageKind KindOf(UINT message)
{
    switch (message) {
    case WM_KEYDOWN:
        return TMessageKind::mkKeyDown;
    case WM_KEYUP:
        return TMessageKind::mkKeyUp;
    case WM_SYSKEYDOWN:
        return TMessageKind::mkSysKeyDown;
    case WM_MOUSEMOVE:
        return TMessageKind::mkMouseMove;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP:
        return TMessageKind::mkButtonUp;
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        return TMessageKind::mkButtonDblClk;
    default:
        return TMessageKind::mkOther;
    }
}

TAppMessage Translate(const MSG& msg)
{
    TAppMessage m;
    m.Kind = KindOf(msg.message);
    switch (m.Kind) {
    case TMessageKind::mkKeyDown:
    case TMessageKind::mkKeyUp:
    case TMessageKind::mkSysKeyDown:
        m.Key = static_cast<std::uint32_t>(msg.wParam);
        break;
    case TMessageKind::mkMouseMove:
    case TMessageKind::mkButtonUp:
    case TMessageKind::mkButtonDblClk:
        m.X = GET_X_LPARAM(msg.lParam);
        m.Y = GET_Y_LPARAM(msg.lParam);
        break;
    default:
        break;
    }
    m.CtrlDown = GetKeyState(VK_CONTROL) < 0;
    m.ShiftDown = GetKeyState(VK_SHIFT) < 0;
    return m;
}

std::string ModuleFileName()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return Narrow(buffer);
        }
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

// The long form of a path rebuilt from the right, one component at a time,
// with a file search per component (for systems without GetLongPathName).
std::wstring RebuildLongPath(std::wstring path)
{
    std::wstring result;
    while (path.size() > 2) {
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW(path.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return {};
        FindClose(search);
        result = L"\\" + std::wstring(found.cFileName) + result;
        const std::size_t cut = path.find_last_of(L'\\');
        if (cut == std::wstring::npos)
            break;
        path.resize(cut);
    }
    return path.substr(0, 2) + result;
}

} // namespace

TWinApplication* CurrentWinApplication() { return gApplication; }

std::vector<std::string> SplitCommandLine(const std::string& commandLine)
{
    std::vector<std::string> parameters;
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    for (;;) {
        while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t'))
            ++i;
        if (i >= n)
            break;
        std::string item;
        bool quoted = false;
        while (i < n && (quoted || (commandLine[i] != ' ' && commandLine[i] != '\t'))) {
            if (commandLine[i] == '"')
                quoted = !quoted;
            else
                item.push_back(commandLine[i]);
            ++i;
        }
        parameters.push_back(item);
    }
    return parameters;
}

// ---------------------------------------------------------------------------

TWinApplication::TWinApplication()
{
    gApplication = this;
    title_ = ModuleFileName();
    const std::size_t slash = title_.find_last_of("\\/");
    if (slash != std::string::npos)
        title_.erase(0, slash + 1);
    const std::size_t dot = title_.find_last_of('.');
    if (dot != std::string::npos)
        title_.resize(dot);

    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (RegisterWindowClass(kAppClass, &AppWindowProc, 0, nullptr)) {
        const std::wstring title = Widen(title_);
        // Zero-sized: it only carries the title and the task-bar button.
        appWindow_ = AsHandle(CreateWindowExW(0, kAppClass, title.c_str(),
                                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0,
                                              0, nullptr, nullptr, instance, nullptr));
    }
    CreateMainForm();
}

TWinApplication::~TWinApplication()
{
    DestroyEventWindow();
    if (ownsMainForm_ && mainForm_)
        DestroyWindow(AsHwnd(mainForm_));
    if (appWindow_)
        DestroyWindow(AsHwnd(appWindow_));
    if (gApplication == this)
        gApplication = nullptr;
}

void TWinApplication::CreateMainForm()
{
    if (!RegisterWindowClass(kFormClass, &FormWindowProc, CS_DBLCLKS,
                             static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))))
        return;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT r{0, 0, kFormClientWidth, kFormClientHeight};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    const std::wstring title = Widen(title_);
    HWND form = CreateWindowExW(0, kFormClass, title.c_str(), style, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, AsHwnd(appWindow_),
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    mainForm_ = AsHandle(form);
    previewPanel_ = 0;
    ownsMainForm_ = form != nullptr;
}

void TWinApplication::SetMainForm(TWindowHandle form, TWindowHandle previewPanel)
{
    if (ownsMainForm_ && mainForm_ && mainForm_ != form)
        DestroyWindow(AsHwnd(mainForm_));
    ownsMainForm_ = false;
    mainForm_ = form;
    previewPanel_ = previewPanel;
    // A form brought by the program is a dialog: Tab, Enter and Escape move
    // between and press its controls.
    dialogKeys_ = form != 0;
    OwnMainFormByAppWindow();
}

// ---- Event window ----

void TWinApplication::CreateEventWindow()
{
    if (eventWindow_)
        return;
    auto report = [](const char* text) {
        MessageBoxW(nullptr, Widen(text).c_str(), L"ApplicationPro Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    };
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = &EventWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kEventClass;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        report("CreateWnd: Failed to register the window class!");
        return;
    }
    eventClassRegistered_ = true;
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE, kEventClass, L"AppEvents",
                                  WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, -1, -1, 1, 1, nullptr, nullptr,
                                  instance, nullptr);
    if (!window) {
        UnregisterClassW(kEventClass, instance);
        eventClassRegistered_ = false;
        report("CreateWnd: Unable to create window!");
        return;
    }
    eventWindow_ = AsHandle(window);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);
}

void TWinApplication::DestroyEventWindow()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (eventWindow_) {
        if (!DestroyWindow(AsHwnd(eventWindow_)))
            MessageBoxW(nullptr, L"KillWnd: Unable to destroy window!", L"ApplicationPro Error",
                        MB_OK | MB_ICONERROR | MB_TASKMODAL);
        eventWindow_ = 0;
    }
    if (eventClassRegistered_) {
        if (!UnregisterClassW(kEventClass, instance))
            MessageBoxW(nullptr, L"KillWnd: Unable to unregister window class!", L"ApplicationPro Error",
                        MB_OK | MB_ICONERROR | MB_TASKMODAL);
        eventClassRegistered_ = false;
    }
}

std::intptr_t TWinApplication::EventWindowMessage(TWindowHandle handle, unsigned message, std::uintptr_t wParam,
                                                  std::intptr_t lParam)
{
    HWND window = AsHwnd(handle);
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    if (message == WM_POWERBROADCAST) {
        TPowerBroadcast kind = TPowerBroadcast::pbOther;
        switch (wParam) {
        case PBT_APMQUERYSUSPEND:
            kind = TPowerBroadcast::pbQuerySuspend;
            break;
        case PBT_APMQUERYSTANDBY:
            kind = TPowerBroadcast::pbQueryStandby;
            break;
        case PBT_APMSUSPEND:
            kind = TPowerBroadcast::pbSuspend;
            break;
        case PBT_APMSTANDBY:
            kind = TPowerBroadcast::pbStandby;
            break;
        case PBT_APMRESUMECRITICAL:
            kind = TPowerBroadcast::pbResumeCritical;
            break;
        case PBT_APMRESUMESUSPEND:
            kind = TPowerBroadcast::pbResumeSuspend;
            break;
        case PBT_APMRESUMESTANDBY:
            kind = TPowerBroadcast::pbResumeStandby;
            break;
        default:
            break;
        }
        if (kind != TPowerBroadcast::pbOther) {
            TPowerAnswer answer = TPowerAnswer::paDefault;
            try {
                answer = TCustomApplicationPro::DispatchPowerBroadcast(kind);
            } catch (const std::exception& e) {
                if (gApplication)
                    gApplication->ReportException(e);
            }
            if (answer == TPowerAnswer::paDeny)
                return BROADCAST_QUERY_DENY;
        }
    }
    return DefWindowProcW(window, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

// ---- Main form ----

std::intptr_t TWinApplication::MainFormMessage(TWindowHandle handle, unsigned message, std::uintptr_t wParam,
                                               std::intptr_t lParam)
{
    HWND window = AsHwnd(handle);
    switch (message) {
    case WM_CLOSE:
        if (gApplication) {
            if (gApplication->OnMainFormClose) {
                try {
                    gApplication->OnMainFormClose();
                } catch (const std::exception& e) {
                    gApplication->ReportException(e);
                }
            }
            gApplication->CloseMainForm();
        }
        return 0;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED || wParam == SIZE_RESTORED) {
            if (gApplication && gApplication->Attached()) {
                try {
                    if (wParam == SIZE_MINIMIZED)
                        gApplication->Attached()->DoMinimize();
                    else
                        gApplication->Attached()->DoRestore();
                } catch (const std::exception& e) {
                    gApplication->ReportException(e);
                }
            }
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

// ---- Loop ----

void TWinApplication::Run()
{
    if (!terminated_ && !suppressed_) {
        if (appWindow_ && IsWindowVisible(AsHwnd(appWindow_)) == FALSE && !appHidden_)
            ShowWindow(AsHwnd(appWindow_), SW_SHOWNOACTIVATE);
        if (mainForm_ && !hiddenAway_) {
            ShowWindow(AsHwnd(mainForm_), SW_SHOW);
            SetForegroundWindow(AsHwnd(mainForm_));
        }
    }
    while (!terminated_) {
        if (!ProcessMessage())
            Idle();
    }
}

bool TWinApplication::ProcessMessage()
{
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    bool handled = false;
    if (app_) {
        const TAppMessage m = Translate(msg);
        try {
            app_->DoMessage(m, handled);
            if (!handled && (m.Kind == TMessageKind::mkKeyDown || m.Kind == TMessageKind::mkSysKeyDown))
                app_->DoShortCut(m, handled);
        } catch (const std::exception& e) {
            ReportException(e);
        }
    }
    if (!handled && dialogKeys_ && mainForm_ && IsWindowEnabled(AsHwnd(mainForm_)) &&
        IsDialogMessageW(AsHwnd(mainForm_), &msg))
        handled = true;
    if (!handled) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

void TWinApplication::Idle()
{
    bool done = true;
    if (app_) {
        try {
            app_->DoIdle(done);
        } catch (const std::exception& e) {
            ReportException(e);
        }
    }
    if (done && !terminated_)
        WaitMessage();
}

void TWinApplication::ProcessMessages()
{
    while (ProcessMessage()) {
    }
}

void TWinApplication::ReportException(const std::exception& e)
{
    // An error raised while an error is being shown is not reported again.
    if (inException_)
        return;
    inException_ = true;
    try {
        if (app_) {
            app_->DoException(e);
        } else {
            ShowMessage(e.what(), title_, TMessageIcon::miError);
            Terminate();
        }
    } catch (...) {
        // An error from the error handler itself ends the program instead of escaping the message loop.
        Terminate();
    }
    inException_ = false;
}

// ---- IApplicationHost ----

std::string TWinApplication::ProgramPath() { return ModuleFileName(); }

std::string TWinApplication::LongPathName(const std::string& path)
{
    const std::wstring wide = Widen(path);
    using PFN_GetLongPathNameW = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto getLong = kernel ? reinterpret_cast<PFN_GetLongPathNameW>(
                                reinterpret_cast<void*>(GetProcAddress(kernel, "GetLongPathNameW")))
                          : nullptr;
    if (getLong) {
        std::wstring buffer(MAX_PATH, L'\0');
        DWORD length = getLong(wide.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length >= buffer.size()) {
            buffer.resize(length + 1);
            length = getLong(wide.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        }
        if (length > 0 && length < buffer.size()) {
            buffer.resize(length);
            return Narrow(buffer);
        }
        return {};
    }
    return Narrow(RebuildLongPath(wide));
}

std::string TWinApplication::SystemDirectory()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? Narrow(std::wstring_view(buffer, length)) : std::string();
}

std::string TWinApplication::WindowsDirectory()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? Narrow(std::wstring_view(buffer, length)) : std::string();
}

std::vector<std::string> TWinApplication::Parameters()
{
    std::vector<std::string> all = SplitCommandLine(Narrow(GetCommandLineW()));
    if (!all.empty())
        all.erase(all.begin());
    return all;
}

void TWinApplication::SetTitle(const std::string& title)
{
    title_ = title;
    const std::wstring wide = Widen(title);
    if (appWindow_)
        SetWindowTextW(AsHwnd(appWindow_), wide.c_str());
    if (mainForm_ && ownsMainForm_)
        SetWindowTextW(AsHwnd(mainForm_), wide.c_str());
}

void TWinApplication::Terminate()
{
    if (!terminated_)
        PostQuitMessage(0);
    terminated_ = true;
}

void TWinApplication::Halt() { ExitProcess(0); }

void TWinApplication::ShowMessage(const std::string& text, const std::string& caption, TMessageIcon icon)
{
    UINT flags = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND;
    switch (icon) {
    case TMessageIcon::miError:
        flags |= MB_ICONERROR;
        break;
    case TMessageIcon::miWarning:
        flags |= MB_ICONWARNING;
        break;
    case TMessageIcon::miInformation:
        flags |= MB_ICONINFORMATION;
        break;
    }
    MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), flags);
}

void TWinApplication::HideApplicationWindow()
{
    appHidden_ = true;
    if (appWindow_)
        ShowWindow(AsHwnd(appWindow_), SW_HIDE);
}

void TWinApplication::HideFromTaskBar()
{
    if (!appWindow_)
        return;
    taskBarHidden_ = true;
    HWND window = AsHwnd(appWindow_);
    SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    OwnMainFormByAppWindow();
}

// A top-level window owned by another gets no task-bar button of its own: the
// program's form is owned by the hidden application window while the task bar
// is to show nothing.
void TWinApplication::OwnMainFormByAppWindow()
{
    if (taskBarHidden_ && dialogKeys_ && mainForm_ && appWindow_ && IsWindow(AsHwnd(mainForm_)))
        SetWindowLongPtrW(AsHwnd(mainForm_), GWLP_HWNDPARENT, static_cast<LONG_PTR>(appWindow_));
}

void TWinApplication::ShowCursor(bool visible) { ::ShowCursor(visible ? TRUE : FALSE); }

void TWinApplication::SetBusyCursor(bool busy)
{
    // Loading runs inside one idle pass, so no WM_SETCURSOR replaces the
    // hourglass until the arrow comes back.
    ::SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(busy ? IDC_WAIT : IDC_ARROW)));
}

TWindowHandle TWinApplication::ForegroundWindow() { return AsHandle(GetForegroundWindow()); }

void TWinApplication::EnableWindow(TWindowHandle window, bool enabled)
{
    if (window && IsWindow(AsHwnd(window)))
        ::EnableWindow(AsHwnd(window), enabled ? TRUE : FALSE);
}

bool TWinApplication::MainFormIsTopLevel()
{
    return mainForm_ && (GetWindowLongPtrW(AsHwnd(mainForm_), GWL_STYLE) & WS_CHILD) == 0;
}

TRect TWinApplication::MainFormBounds()
{
    RECT r{};
    if (mainForm_)
        GetWindowRect(AsHwnd(mainForm_), &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void TWinApplication::SetMainFormPosition(std::int32_t left, std::int32_t top)
{
    if (mainForm_)
        SetWindowPos(AsHwnd(mainForm_), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinApplication::HideMainFormWindow()
{
    // Only a form that is already on screen is hidden; before the loop runs
    // the form has not been shown yet and shows as usual.
    if (mainForm_ && IsWindowVisible(AsHwnd(mainForm_)))
        ShowWindow(AsHwnd(mainForm_), SW_HIDE);
}

void TWinApplication::HideMainFormAway()
{
    hiddenAway_ = true;
    if (!mainForm_)
        return;
    HWND form = AsHwnd(mainForm_);
    const TRect bounds = MainFormBounds();
    ::EnableWindow(form, FALSE);
    SetWindowLongPtrW(form, GWL_STYLE,
                      (GetWindowLongPtrW(form, GWL_STYLE) & ~(WS_CAPTION | WS_THICKFRAME | WS_SYSMENU)) | WS_POPUP);
    SetWindowPos(form, nullptr, -bounds.Width, -bounds.Height, 0, 0,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWinApplication::SetMainFormEnabled(bool enabled)
{
    if (mainForm_ && !hiddenAway_)
        ::EnableWindow(AsHwnd(mainForm_), enabled ? TRUE : FALSE);
}

void TWinApplication::CloseMainForm()
{
    if (mainForm_)
        ShowWindow(AsHwnd(mainForm_), SW_HIDE);
    Terminate();
}

void TWinApplication::SuppressMainForm() { suppressed_ = true; }
