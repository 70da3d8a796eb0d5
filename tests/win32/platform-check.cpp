// Checks the Windows services behind the shell's interfaces on a real system
// (wine): command-line splitting, registry values and hive fallback through the
// settings store, the named semaphore, the clock, monitors and display modes,
// processes, the password libraries, GDI glyphs, and the application object's
// message loop, event window and output window.
// Prints one line per check and "platform-check: OK" when all held.
#include "platform/win32/WinApplication.h"
#include "platform/win32/WinClockLocale.h"
#include "platform/win32/WinGLWindow.h"
#include "platform/win32/WinGdiGlyphs.h"
#include "platform/win32/WinPlatform.h"
#include "platform/win32/WinText.h"
#include "shell/AppPro.h"

#include <windows.h>


#include <cstdio>
#include <string>
#include <vector>

namespace {

int failures = 0;

void Check(bool ok, const std::string& what)
{
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok)
        ++failures;
}

HWND AsHwnd(TWindowHandle h) { return reinterpret_cast<HWND>(h); }

const char* const kTestKey = "Software\\PyrelumeCheck\\Values";

void CheckCommandLine()
{
    using V = std::vector<std::string>;
    Check(SplitCommandLine("prog.scr /p 1234") == V{"prog.scr", "/p", "1234"}, "command line: blanks separate");
    Check(SplitCommandLine("\"C:\\Program Files\\a b.scr\"  /s") == V{"C:\\Program Files\\a b.scr", "/s"},
          "command line: quotes group and are removed");
    Check(SplitCommandLine("a\"b c\"d\t/c:77") == V{"ab cd", "/c:77"}, "command line: quotes inside a parameter");
    Check(SplitCommandLine("   ").empty(), "command line: blanks only");
}

void CheckRegistry(TWin32Platform& p)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\PyrelumeCheck");
    Check(p.Settings.OpenKey(THive::hkCurrentUser, kTestKey, false) == nullptr,
          "registry: read-only open of a missing key gives none");
    {
        auto key = p.Settings.OpenKey(THive::hkCurrentUser, kTestKey, true);
        Check(key != nullptr, "registry: writable open creates the key");
        if (!key)
            return;
        key->WriteString("Text", "Varnel \xE9 3");
        Check(key->ValueExists("Text") && !key->ValueExists("Missing"), "registry: value exists");
        Check(key->ReadString("Text") == "Varnel \xE9 3", "registry: string round trip");
        key->WriteString("Empty", "");
        Check(key->ReadString("Empty").empty(), "registry: empty string");
    }
    HKEY raw = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\PyrelumeCheck\\Values", 0, KEY_READ | KEY_WRITE, &raw);
    DWORD type = 0;
    wchar_t buffer[64];
    DWORD size = sizeof(buffer);
    RegQueryValueExW(raw, L"Text", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    Check(type == REG_SZ, "registry: values are stored as REG_SZ");
    const DWORD number = 42;
    RegSetValueExW(raw, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    const BYTE blob[3] = {1, 2, 3};
    RegSetValueExW(raw, L"Blob", 0, REG_BINARY, blob, sizeof(blob));
    // A string stored without its terminator.
    RegSetValueExW(raw, L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"abc"), 3 * sizeof(wchar_t));
    RegCloseKey(raw);
    {
        auto key = p.Settings.OpenKey(THive::hkCurrentUser, kTestKey, false);
        Check(key && key->ReadString("Number") == "42", "registry: a DWORD reads as decimal text");
        Check(key && key->ReadString("Bare") == "abc", "registry: an unterminated string reads whole");
        bool raised = false;
        try {
            if (key)
                key->ReadString("Blob");
        } catch (const std::exception&) {
            raised = true;
        }
        Check(raised, "registry: a binary value is a registry error");
        raised = false;
        try {
            if (key)
                key->ReadString("Missing");
        } catch (const std::exception&) {
            raised = true;
        }
        Check(raised, "registry: reading a missing value raises");
    }

    // The settings store over the registry: user-hive values are found when the
    // machine hive lacks them.
    TSettingsStore store(&p.Settings);
    store.SetKeyPath(kTestKey);
    store.SetMachineRoot(true);
    Check(store.ReadString("Text", "none") == "Varnel \xE9 3", "store: machine read falls back to the user hive");
    store.SetMachineRoot(false);
    store.WriteBool("Flag", true);
    store.WriteInteger("Count", -7);
    Check(store.ReadBool("Flag", false) && store.ReadInteger("Count", 0) == -7, "store: Boolean and integer");
    Check(store.ReadInteger("Number", 0) == 42, "store: a DWORD value reads as an integer");
    store.Close();
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\PyrelumeCheck");
}

void CheckSemaphore(TWin32Platform& p)
{
    bool exists = true;
    auto first = p.Semaphores.Create("PyrelumeCheckSemaphore", exists);
    Check(first && !exists, "semaphore: first instance");
    auto second = p.Semaphores.Create("PyrelumeCheckSemaphore", exists);
    Check(exists, "semaphore: second instance sees the first");
    first.reset();
    second.reset();
    auto third = p.Semaphores.Create("PyrelumeCheckSemaphore", exists);
    Check(!exists, "semaphore: released with its last handle");
}

void CheckClockAndScreens(TWin32Platform& p)
{
    std::uint32_t period = 0;
    Check(p.Clock.MinTimerPeriod(period) && period >= 1, "clock: timer capabilities");
    Check(p.Clock.BeginTimerPeriod(1), "clock: 1 ms resolution");
    const std::uint32_t t0 = p.Clock.Tick();
    p.Clock.Sleep(30);
    const std::uint32_t elapsed = p.Clock.Tick() - t0;
    Check(elapsed >= 25 && elapsed < 1000, "clock: tick advances with sleep (" + std::to_string(elapsed) + " ms)");
    p.Clock.EndTimerPeriod(1);

    const std::int32_t count = p.Monitors.MonitorCount();
    const TRect primary = p.Monitors.PrimaryScreen();
    const TRect first = p.Monitors.MonitorRect(0);
    const TRect desktop = p.Monitors.VirtualDesktop();
    std::printf("monitors: %d, primary %dx%d, virtual %d,%d %dx%d\n", count, primary.Width, primary.Height,
                desktop.Left, desktop.Top, desktop.Width, desktop.Height);
    Check(count >= 1 && primary.Width > 0 && primary.Height > 0, "monitors: at least one with a size");
    Check(first.Width > 0 && desktop.Width >= primary.Width && desktop.Height >= primary.Height,
          "monitors: the virtual desktop covers the primary screen");
    const TRect beyond = p.Monitors.MonitorRect(count + 5);
    Check(beyond.Width == primary.Width && beyond.Height == primary.Height,
          "monitors: an unknown index gives the primary screen");

    const TVideoModeRecord mode = p.DisplaySettings.DesktopMode();
    std::printf("desktop mode: %dx%dx%d\n", mode.Width, mode.Height, mode.Bits);
    Check(mode.Width == primary.Width && mode.Height == primary.Height && mode.Bits >= 16,
          "display: desktop mode is the primary screen");
    TVideoModeRecord listed;
    int modes = 0;
    while (modes < 10000 && p.DisplaySettings.EnumMode(modes, listed))
        ++modes;
    std::printf("display modes: %d\n", modes);
    Check(modes > 0, "display: modes are listed");
    Check(p.DisplaySettings.TestMode(mode), "display: the desktop mode passes the test change");
    Check(p.Power.SetExecutionState(true, false), "power: thread execution state is available");
    p.Power.SetExecutionState(false, false);
}

void CheckProcesses(TWin32Platform& p, TWinApplication& app)
{
    std::string error;
    auto process = p.Launcher.StartProcess("cmd.exe /c exit 3", "", TExecWindowStyle::ewHide,
                                           TExecPriority::epNormal, error);
    Check(process != nullptr, "process: started");
    int waited = 0;
    while (process && process->StillActive() && waited < 100) {
        Sleep(100);
        ++waited;
    }
    Check(process && !process->StillActive(), "process: ends and is seen as ended");
    auto missing = p.Launcher.StartProcess("Z:\\no\\such\\program.exe", "", TExecWindowStyle::ewShow,
                                           TExecPriority::epNormal, error);
    Check(!missing && !error.empty(), "process: a missing program reports the system's text: " + error);

    Check(p.Passwords.VerifyPassword("Z:\\no\\such\\folder\\", 0) == TPasswordResult::prUnavailable,
          "passwords: a missing library is unavailable");
    p.Passwords.ChangePassword("Z:\\no\\such\\folder\\", 0);
    Check(true, "passwords: a missing change library does nothing");

    const std::string path = app.ProgramPath();
    const std::string longPath = app.LongPathName(path);
    std::printf("program: %s\nlong: %s\nsystem: %s\n", path.c_str(), longPath.c_str(), app.SystemDirectory().c_str());
    Check(!longPath.empty() && longPath.find('~') == std::string::npos, "paths: long program path");
    const std::string system = app.SystemDirectory();
    Check(!system.empty() && system.back() != '\\', "paths: system folder without a trailing backslash");
}

void CheckGlyphs()
{
    TWinGdiGlyphs glyphs;
    TGlyphFont font;
    font.Name = "Tahoma";
    font.Height = 24;
    Check(glyphs.SelectFont(font), "glyphs: font selected");
    const TGlyphExtent extent = glyphs.CharExtent('W');
    Check(extent.Width > 0 && extent.Height >= 22 && extent.Height <= 26, "glyphs: extent of W (" + std::to_string(extent.Width) + "x" +
                                                       std::to_string(extent.Height) + ")");
    TGlyphBitmap picture(40, 30);
    glyphs.DrawChar('W', 2, 2, picture);
    int lit = 0;
    for (std::size_t i = 0; i < picture.Pixels.size(); i += 3)
        lit += picture.Pixels[i] > 128 ? 1 : 0;
    Check(lit > 10, "glyphs: W draws white pixels (" + std::to_string(lit) + ")");
    TGlyphBitmap small(4, 4);
    glyphs.DrawChar('W', -10, -10, small);
    glyphs.DrawChar('W', 100, 100, small);
    Check(true, "glyphs: drawing outside the picture is clipped");
}

// A bare application core that records what the loop hands it.
struct TRecorder {
    std::vector<TAppMessage> messages;
    int idlePasses = 0;
    int powerOffs = 0;
};

void CheckLoopAndWindows(TWin32Platform& p)
{
    TWinApplication& host = p.Application;
    TCustomApplicationPro app(p.Services());
    TRecorder rec;
    app.MessageHook = [&](const TAppMessage& m, bool& handled) {
        // Moves of the real pointer (the window appearing under it) are not ours.
        const bool ours = m.Kind != TMessageKind::mkMouseMove || (m.X == 12 && m.Y == 34);
        if (m.Kind != TMessageKind::mkOther && ours) {
            rec.messages.push_back(m);
            handled = m.Kind == TMessageKind::mkKeyDown;
        }
    };
    app.IdleHook = [&](bool&) {
        if (++rec.idlePasses == 5)
            host.Terminate();
    };
    app.OnPowerOff = [&] { ++rec.powerOffs; };
    host.Attach(&app);
    host.CreateEventWindow();
    Check(host.EventWindow() != 0, "event window created");

    // Power broadcasts.
    HWND events = AsHwnd(host.EventWindow());
    app.SuspendEnabled = false;
    Check(SendMessageW(events, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0) == BROADCAST_QUERY_DENY,
          "event window: suspend query denied");
    app.SuspendEnabled = true;
    Check(SendMessageW(events, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0) != BROADCAST_QUERY_DENY,
          "event window: suspend query allowed when enabled");
    SendMessageW(events, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    Check(rec.powerOffs == 1, "event window: suspend raises the power-off event");

    // The output window inside the main form.
    TWinGLWindow window(host, p.Monitors);
    TDeviceContext createdDC = 0;
    int destroyed = 0, closeRequests = 0;
    bool swallowClose = true;
    window.DeviceContextCreated = [&](TDeviceContext dc) { createdDC = dc; };
    window.WindowDestroyed = [&] { ++destroyed; };
    window.CloseRequest = [&] {
        ++closeRequests;
        return swallowClose;
    };
    window.ShowWithHandle();
    Check(window.HandleAllocated() && createdDC != 0 && window.DC == createdDC, "output window: device context");
    Check(window.ClientWidth() == 640 && window.ClientHeight() == 480, "output window: fills the preview panel");
    HWND gl = AsHwnd(window.Handle());
    Check(GetParent(gl) == AsHwnd(host.PreviewPanel()), "output window: child of the main form");
    SendMessageW(gl, WM_CLOSE, 0, 0);
    Check(closeRequests == 1 && IsWindow(gl), "output window: close swallowed while full screen");
    Check(SendMessageW(gl, WM_SYSCOMMAND, SC_SCREENSAVE, 0) == 0 && IsWindow(gl),
          "output window: screen-save command swallowed");

    // Messages reach the application before the windows; handled ones stop there.
    PostMessageW(gl, WM_KEYDOWN, 'A', 0);
    PostMessageW(gl, WM_MOUSEMOVE, 0, MAKELPARAM(12, 34));
    PostMessageW(gl, WM_RBUTTONUP, 0, MAKELPARAM(5, 6));
    PostMessageW(gl, WM_SYSKEYDOWN, VK_F4, 0);
    host.Run();
    Check(rec.idlePasses == 5, "loop: idle passes run until the application terminates");
    Check(rec.messages.size() == 4, "loop: four input messages seen (" + std::to_string(rec.messages.size()) + ")");
    if (rec.messages.size() == 4) {
        Check(rec.messages[0].Kind == TMessageKind::mkKeyDown && rec.messages[0].Key == 'A', "loop: key down");
        Check(rec.messages[1].Kind == TMessageKind::mkMouseMove && rec.messages[1].X == 12 &&
                  rec.messages[1].Y == 34,
              "loop: mouse move position");
        Check(rec.messages[2].Kind == TMessageKind::mkButtonUp, "loop: button up");
        Check(rec.messages[3].Kind == TMessageKind::mkSysKeyDown && rec.messages[3].Key == VK_F4,
              "loop: system key");
    }

    window.HideAndDestroyHandle();
    Check(!window.HandleAllocated() && destroyed == 1 && window.DC == 0, "output window: destroyed on hide");

    // Inside another program's window: that window going away ends the preview.
    HWND foreign = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 50, 50, 200, 150, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
    window.SetParentWindow(reinterpret_cast<TWindowHandle>(foreign));
    window.ShowWithHandle();
    Check(window.HandleAllocated() && GetParent(AsHwnd(window.Handle())) == foreign &&
              window.ClientWidth() == 200 && window.ClientHeight() == 150,
          "preview: child filling the host window");
    closeRequests = 0;
    swallowClose = false;
    DestroyWindow(foreign);
    Check(!window.HandleAllocated() && destroyed == 2 && closeRequests == 1,
          "preview: host window gone -> output destroyed and close requested");
    closeRequests = 0;
    window.ShowWithHandle();
    Check(!window.HandleAllocated() && closeRequests == 1, "preview: a dead host window ends the preview");

    host.DestroyEventWindow();
    host.Attach(nullptr);
}

} // namespace

// "--set NAME VALUE" / "--get NAME": one of the saver's own settings (value
// names stored scrambled, machine hive first), for the end-to-end tests.
int SaverSetting(int argc, char** argv)
{
    TWin32Platform platform;
    TSettingsStore store(&platform.Settings);
    store.SetKeyPath(SettingsKeyPath("Varnel Software", "Pyrelume", "3"));
    store.SetMachineRoot(true);
    store.ScrambledNames = true;
    const std::string name = Unscramble(argv[2]);
    if (std::string(argv[1]) == "--set" && argc > 3) {
        store.WriteString(name, argv[3]);
        return 0;
    }
    std::printf("%s\n", store.ReadString(name, "(none)").c_str());
    return 0;
}

// "--resources FILE": the program file's title strings, icon, version,
// manifest and embedded archive.
int CheckResources(const char* file)
{
    HMODULE module = LoadLibraryExW(Widen(file).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    Check(module != nullptr, std::string("resources: ") + file + " opens");
    if (!module)
        return 1;
    wchar_t text[64] = {};
    Check(LoadStringW(module, 1, text, 63) > 0 && std::wstring(text) == L"Pyrelume", "resources: string 1 is the title");
    text[0] = 0;
    Check(LoadStringW(module, 2, text, 63) > 0 && std::wstring(text) == L"Pyrelume", "resources: string 2 is the title");
    Check(FindResourceW(module, MAKEINTRESOURCEW(1), reinterpret_cast<LPCWSTR>(RT_GROUP_ICON)) != nullptr,
          "resources: icon");
    Check(FindResourceW(module, MAKEINTRESOURCEW(1), reinterpret_cast<LPCWSTR>(RT_MANIFEST)) != nullptr,
          "resources: manifest");
    HRSRC data = FindResourceW(module, L"DATA_RFA", reinterpret_cast<LPCWSTR>(RT_RCDATA));
    const DWORD size = data ? SizeofResource(module, data) : 0;
    Check(size > 1000, "resources: DATA_RFA archive (" + std::to_string(size) + " bytes)");
    FreeLibrary(module);

    DWORD ignored = 0;
    const std::wstring wide = Widen(file);
    const DWORD infoSize = GetFileVersionInfoSizeW(wide.c_str(), &ignored);
    std::vector<BYTE> info(infoSize ? infoSize : 1);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    const bool version = infoSize && GetFileVersionInfoW(wide.c_str(), 0, infoSize, info.data()) &&
                         VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) && fixed;
    Check(version && HIWORD(fixed->dwFileVersionMS) == 3 && LOWORD(fixed->dwFileVersionMS) == 0,
          "resources: file version 3.0");
    std::printf("platform-check: %s\n", failures ? "FAILED" : "OK");
    return failures ? 1 : 0;
}

// "--clock-locale": the clock's day names (Sunday first) and separators from
// the user's locale, one line: "Sun Mon ... Sat|:|/".
int PrintClockLocale()
{
    const TClockLocale locale = ReadUserClockLocale();
    std::string line;
    for (const std::string& name : locale.ShortDayNames)
        line += (line.empty() ? "" : " ") + name;
    std::printf("%s|%s|%s\n", line.c_str(), locale.TimeSeparator.c_str(), locale.DateSeparator.c_str());
    return 0;
}

// "--monitors": "count N", one "monitor I X,Y WxH" per monitor, then
// "desktop X,Y WxH" (the virtual desktop), as the monitor service sees them.
int PrintMonitors()
{
    TWinMonitorInfo monitors;
    const std::int32_t count = monitors.MonitorCount();
    std::printf("count %d\n", static_cast<int>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const TRect r = monitors.MonitorRect(i);
        std::printf("monitor %d %d,%d %dx%d\n", static_cast<int>(i), r.Left, r.Top, r.Width, r.Height);
    }
    const TRect v = monitors.VirtualDesktop();
    std::printf("desktop %d,%d %dx%d\n", v.Left, v.Top, v.Width, v.Height);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--monitors")
        return PrintMonitors();
    if (argc > 1 && std::string(argv[1]) == "--clock-locale")
        return PrintClockLocale();
    if (argc > 2 && (std::string(argv[1]) == "--set" || std::string(argv[1]) == "--get"))
        return SaverSetting(argc, argv);
    if (argc > 2 && std::string(argv[1]) == "--resources")
        return CheckResources(argv[2]);
    TWin32Platform platform;
    CheckCommandLine();
    CheckRegistry(platform);
    CheckSemaphore(platform);
    CheckClockAndScreens(platform);
    CheckProcesses(platform, platform.Application);
    CheckGlyphs();
    CheckLoopAndWindows(platform);
    std::printf("platform-check: %s\n", failures ? "FAILED" : "OK");
    return failures ? 1 : 0;
}
