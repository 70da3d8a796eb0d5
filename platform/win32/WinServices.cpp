#include "platform/win32/WinServices.h"

#include "gl/Errors.h"
#include "platform/win32/WinText.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// ---- Registry ----

// Larger values are not settings; refuse them instead of allocating blindly.
constexpr DWORD kMaxValueBytes = 1u << 20;

class TWinRegistryKey : public ISettingsKey {
public:
    explicit TWinRegistryKey(HKEY key) : key_(key) {}
    ~TWinRegistryKey() override { RegCloseKey(key_); }
    TWinRegistryKey(const TWinRegistryKey&) = delete;
    TWinRegistryKey& operator=(const TWinRegistryKey&) = delete;

    bool ValueExists(const std::string& name) override
    {
        const std::wstring wide = Widen(name);
        return RegQueryValueExW(key_, wide.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }

    std::string ReadString(const std::string& name) override
    {
        const std::wstring wide = Widen(name);
        DWORD type = 0;
        DWORD size = 0;
        LONG rc = RegQueryValueExW(key_, wide.c_str(), nullptr, &type, nullptr, &size);
        if (rc != ERROR_SUCCESS)
            Fail("ReadString", name, rc);
        if (size > kMaxValueBytes)
            RaiseError("TRegistry", "ReadString", "Value " + name + " is too large");
        std::vector<BYTE> data(size + sizeof(wchar_t));
        DWORD got = size;
        rc = RegQueryValueExW(key_, wide.c_str(), nullptr, &type, data.data(), &got);
        if (rc != ERROR_SUCCESS)
            Fail("ReadString", name, rc);
        switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), got / sizeof(wchar_t));
            // The stored terminator (if any) and anything after it are not part of the text.
            const std::size_t end = text.find(L'\0');
            if (end != std::wstring::npos)
                text.resize(end);
            return Narrow(text);
        }
        case REG_DWORD:
            if (got >= sizeof(DWORD)) {
                DWORD value;
                std::memcpy(&value, data.data(), sizeof(value));
                return std::to_string(static_cast<std::int32_t>(value));
            }
            break;
        default:
            break;
        }
        RaiseError("TRegistry", "ReadString", "Invalid data type for '" + name + "'");
    }

    void WriteString(const std::string& name, const std::string& value) override
    {
        const std::wstring wide = Widen(name);
        const std::wstring text = Widen(value);
        const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
        const LONG rc =
            RegSetValueExW(key_, wide.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
        if (rc != ERROR_SUCCESS)
            Fail("WriteString", name, rc);
    }

private:
    [[noreturn]] static void Fail(const char* op, const std::string& name, LONG rc)
    {
        RaiseError("TRegistry", op, "'" + name + "': " + SystemErrorText(static_cast<unsigned long>(rc)));
    }

    HKEY key_;
};

HKEY RootOf(THive hive) { return hive == THive::hkLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

// ---- Processes ----

class TWinRunningProcess : public IRunningProcess {
public:
    explicit TWinRunningProcess(HANDLE process) : process_(process) {}
    ~TWinRunningProcess() override { CloseHandle(process_); }
    TWinRunningProcess(const TWinRunningProcess&) = delete;
    TWinRunningProcess& operator=(const TWinRunningProcess&) = delete;

    bool StillActive() override { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

private:
    HANDLE process_;
};

DWORD PriorityClassOf(TExecPriority priority)
{
    switch (priority) {
    case TExecPriority::epHigh:
        return HIGH_PRIORITY_CLASS;
    case TExecPriority::epIdle:
        return IDLE_PRIORITY_CLASS;
    case TExecPriority::epRealTime:
        return REALTIME_PRIORITY_CLASS;
    case TExecPriority::epNormal:
    default:
        return NORMAL_PRIORITY_CLASS;
    }
}

// A library loaded for one call and freed on every way out.
class TLoadedLibrary {
public:
    explicit TLoadedLibrary(const std::string& path) : module_(LoadLibraryW(Widen(path).c_str())) {}
    ~TLoadedLibrary()
    {
        if (module_)
            FreeLibrary(module_);
    }
    TLoadedLibrary(const TLoadedLibrary&) = delete;
    TLoadedLibrary& operator=(const TLoadedLibrary&) = delete;

    template <typename T>
    T Function(const char* name) const
    {
        if (!module_)
            return nullptr;
        return reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(module_, name)));
    }

private:
    HMODULE module_;
};

// ---- Semaphore ----

class TWinSemaphore : public INamedSemaphore {
public:
    explicit TWinSemaphore(HANDLE handle) : handle_(handle) {}
    ~TWinSemaphore() override
    {
        if (handle_)
            CloseHandle(handle_);
    }
    TWinSemaphore(const TWinSemaphore&) = delete;
    TWinSemaphore& operator=(const TWinSemaphore&) = delete;

private:
    HANDLE handle_;
};

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data)
{
    auto* list = reinterpret_cast<std::vector<TRect>*>(data);
    list->push_back({rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top});
    return TRUE;
}

DEVMODEW ModeRequest(const TVideoModeRecord& mode)
{
    DEVMODEW dm{};
    dm.dmSize = sizeof(dm);
    dm.dmPelsWidth = static_cast<DWORD>(mode.Width);
    dm.dmPelsHeight = static_cast<DWORD>(mode.Height);
    dm.dmBitsPerPel = static_cast<DWORD>(mode.Bits);
    dm.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    if (mode.Frequency > 1) {
        dm.dmDisplayFrequency = static_cast<DWORD>(mode.Frequency);
        dm.dmFields |= DM_DISPLAYFREQUENCY;
    }
    return dm;
}

} // namespace

// ---------------------------------------------------------------------------

std::unique_ptr<ISettingsKey> TWinSettingsBackend::OpenKey(THive hive, const std::string& path, bool writable)
{
    const std::wstring wide = Widen(path);
    HKEY key = nullptr;
    if (!writable) {
        const LONG rc = RegOpenKeyExW(RootOf(hive), wide.c_str(), 0, KEY_READ, &key);
        if (rc == ERROR_FILE_NOT_FOUND)
            return nullptr;
        if (rc != ERROR_SUCCESS)
            RaiseError("TRegistry", "OpenKey", "'" + path + "': " + SystemErrorText(static_cast<unsigned long>(rc)));
    } else {
        const LONG rc = RegCreateKeyExW(RootOf(hive), wide.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
        if (rc != ERROR_SUCCESS)
            RaiseError("TRegistry", "OpenKey", "'" + path + "': " + SystemErrorText(static_cast<unsigned long>(rc)));
    }
    return std::make_unique<TWinRegistryKey>(key);
}

// ---------------------------------------------------------------------------

std::uint32_t TWinClock::Tick() { return timeGetTime(); }

void TWinClock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

bool TWinClock::MinTimerPeriod(std::uint32_t& period)
{
    TIMECAPS caps{};
    if (timeGetDevCaps(&caps, sizeof(caps)) != TIMERR_NOERROR)
        return false;
    period = caps.wPeriodMin;
    return true;
}

bool TWinClock::BeginTimerPeriod(std::uint32_t period) { return timeBeginPeriod(period) == TIMERR_NOERROR; }

void TWinClock::EndTimerPeriod(std::uint32_t period) { timeEndPeriod(period); }

// ---------------------------------------------------------------------------

bool TWinDisplaySettings::EnumMode(std::int32_t index, TVideoModeRecord& mode)
{
    DEVMODEW dm{};
    dm.dmSize = sizeof(dm);
    if (!EnumDisplaySettingsW(nullptr, static_cast<DWORD>(index), &dm))
        return false;
    mode.Width = static_cast<std::int32_t>(dm.dmPelsWidth);
    mode.Height = static_cast<std::int32_t>(dm.dmPelsHeight);
    mode.Bits = static_cast<std::int32_t>(dm.dmBitsPerPel);
    mode.Frequency = static_cast<std::int32_t>(dm.dmDisplayFrequency);
    return true;
}

bool TWinDisplaySettings::TestMode(const TVideoModeRecord& mode)
{
    DEVMODEW dm = ModeRequest(mode);
    return ChangeDisplaySettingsW(&dm, CDS_TEST) == DISP_CHANGE_SUCCESSFUL;
}

bool TWinDisplaySettings::ChangeMode(const TVideoModeRecord& mode)
{
    DEVMODEW dm = ModeRequest(mode);
    return ChangeDisplaySettingsW(&dm, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

void TWinDisplaySettings::RestoreRegistryMode() { ChangeDisplaySettingsW(nullptr, 0); }

TVideoModeRecord TWinDisplaySettings::DesktopMode()
{
    TVideoModeRecord mode;
    mode.Width = GetSystemMetrics(SM_CXSCREEN);
    mode.Height = GetSystemMetrics(SM_CYSCREEN);
    if (HDC screen = GetDC(nullptr)) {
        mode.Bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
        // The refresh rate paces frames whose swaps do not wait for the
        // retrace; 0 or 1 when the system reports its hardware default.
        mode.Frequency = GetDeviceCaps(screen, VREFRESH);
        ReleaseDC(nullptr, screen);
    }
    return mode;
}

// ---------------------------------------------------------------------------

std::vector<TRect> TWinMonitorInfo::Enumerate()
{
    std::vector<TRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

std::int32_t TWinMonitorInfo::MonitorCount()
{
    const std::size_t count = Enumerate().size();
    return count == 0 ? 1 : static_cast<std::int32_t>(count);
}

TRect TWinMonitorInfo::MonitorRect(std::int32_t index)
{
    const std::vector<TRect> monitors = Enumerate();
    if (index < 0 || static_cast<std::size_t>(index) >= monitors.size())
        return PrimaryScreen();
    return monitors[static_cast<std::size_t>(index)];
}

TRect TWinMonitorInfo::PrimaryScreen() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

TRect TWinMonitorInfo::VirtualDesktop()
{
    TRect r{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (r.Width <= 0 || r.Height <= 0)
        return PrimaryScreen();
    return r;
}

// ---------------------------------------------------------------------------

bool TWinPowerControl::SetExecutionState(bool displayRequired, bool systemRequired)
{
    using PFN_SetThreadExecutionState = EXECUTION_STATE(WINAPI*)(EXECUTION_STATE);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto set = kernel ? reinterpret_cast<PFN_SetThreadExecutionState>(
                            reinterpret_cast<void*>(::GetProcAddress(kernel, "SetThreadExecutionState")))
                      : nullptr;
    if (!set)
        return false;
    EXECUTION_STATE state = ES_CONTINUOUS;
    if (displayRequired)
        state |= ES_DISPLAY_REQUIRED;
    if (systemRequired)
        state |= ES_SYSTEM_REQUIRED;
    set(state);
    return true;
}

void TWinPowerControl::SuspendSystem()
{
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES privileges{};
        if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
            privileges.PrivilegeCount = 1;
            privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
            AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        }
        CloseHandle(token);
    }
    // A forced suspend (not hibernation). The kernel's function is gone from
    // newer systems; the power library's equivalent takes over there.
    using PFN_SetSystemPowerState = BOOL(WINAPI*)(BOOL, BOOL);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setPowerState = kernel ? reinterpret_cast<PFN_SetSystemPowerState>(
                                      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetSystemPowerState")))
                                : nullptr;
    if (setPowerState && setPowerState(TRUE, TRUE))
        return;
    using PFN_SetSuspendState = BOOLEAN(WINAPI*)(BOOLEAN, BOOLEAN, BOOLEAN);
    if (HMODULE power = LoadLibraryW(L"powrprof.dll")) {
        auto suspend =
            reinterpret_cast<PFN_SetSuspendState>(reinterpret_cast<void*>(::GetProcAddress(power, "SetSuspendState")));
        if (suspend)
            suspend(FALSE, TRUE, FALSE);
        FreeLibrary(power);
    }
}

void TWinPowerControl::MonitorPowerOff()
{
    // Posted, so that a hung window cannot stall the saver.
    PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
}

void TWinPowerControl::SetScreenSaverRunning(bool running)
{
    BOOL previous = FALSE;
    SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? TRUE : FALSE, &previous, 0);
}

// ---------------------------------------------------------------------------

int ShowCommandOf(TExecWindowStyle style)
{
    switch (style) {
    case TExecWindowStyle::ewShow:
        return SW_SHOW;
    case TExecWindowStyle::ewHide:
        return SW_HIDE;
    case TExecWindowStyle::ewMaximize:
        return SW_SHOWMAXIMIZED;
    case TExecWindowStyle::ewMinimize:
    default:
        return SW_SHOWMINIMIZED;
    }
}

std::unique_ptr<IRunningProcess> TWinProcessLauncher::StartProcess(const std::string& commandLine,
                                                                   const std::string& directory,
                                                                   TExecWindowStyle style, TExecPriority priority,
                                                                   std::string& errorText)
{
    std::wstring command = Widen(commandLine);
    command.push_back(L'\0'); // CreateProcessW may write into the buffer
    const std::wstring folder = Widen(directory);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(ShowCommandOf(style));
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, PriorityClassOf(priority), nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        errorText = SystemErrorText(GetLastError());
        return nullptr;
    }
    CloseHandle(info.hThread);
    return std::make_unique<TWinRunningProcess>(info.hProcess);
}

void TWinProcessLauncher::ShellOpen(const std::string& file, const std::string& parameters,
                                    const std::string& directory, TExecWindowStyle style)
{
    const std::wstring wideFile = Widen(file);
    const std::wstring wideParameters = Widen(parameters);
    const std::wstring wideDirectory = Widen(directory);
    ShellExecuteW(nullptr, L"open", wideFile.empty() ? nullptr : wideFile.c_str(),
                  wideParameters.empty() ? nullptr : wideParameters.c_str(),
                  wideDirectory.empty() ? nullptr : wideDirectory.c_str(), ShowCommandOf(style));
}

void TWinProcessLauncher::SetOwnPriorityIdle() { SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS); }

// ---------------------------------------------------------------------------

TPasswordResult TWinPasswordCheck::VerifyPassword(const std::string& systemDir, TWindowHandle owner)
{
    using PFN_VerifyScreenSavePwd = BOOL(WINAPI*)(HWND);
    TLoadedLibrary library(systemDir + "PASSWORD.CPL");
    auto verify = library.Function<PFN_VerifyScreenSavePwd>("VerifyScreenSavePwd");
    if (!verify)
        return TPasswordResult::prUnavailable;
    return verify(reinterpret_cast<HWND>(owner)) ? TPasswordResult::prAccepted : TPasswordResult::prRejected;
}

void TWinPasswordCheck::ChangePassword(const std::string& systemDir, TWindowHandle parent)
{
    using PFN_PwdChangePasswordA = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
    TLoadedLibrary library(systemDir + "MPR.DLL");
    if (auto change = library.Function<PFN_PwdChangePasswordA>("PwdChangePasswordA"))
        change("SCRSAVE", reinterpret_cast<HWND>(parent), 0, nullptr);
}

// ---------------------------------------------------------------------------

std::unique_ptr<INamedSemaphore> TWinSemaphoreFactory::Create(const std::string& name, bool& alreadyExists)
{
    const std::wstring wide = Widen(name);
    SetLastError(ERROR_SUCCESS);
    HANDLE handle = CreateSemaphoreW(nullptr, 0, 1, wide.c_str());
    alreadyExists = GetLastError() == ERROR_ALREADY_EXISTS;
    return std::make_unique<TWinSemaphore>(handle);
}
