#pragma once
// Operating-system services the screen-saver shell relies on. The shell itself is
// portable; platform/win32 (and platform/posix) implement these interfaces, and
// the unit tests use in-memory fakes. Handles crossing this boundary are opaque
// integers (window handles, device contexts).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using TWindowHandle = std::uintptr_t;  // 0 = none
using TDeviceContext = std::uintptr_t; // 0 = none

struct TRect {
    std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;
};

// ---- Registry (settings store) ----

enum class THive { hkLocalMachine, hkCurrentUser };

// One open key. Every operation may throw (any std::exception) for a registry error.
class ISettingsKey {
public:
    virtual ~ISettingsKey() = default;
    virtual bool ValueExists(const std::string& name) = 0;
    // The value as text (string values are stored as REG_SZ).
    virtual std::string ReadString(const std::string& name) = 0;
    virtual void WriteString(const std::string& name, const std::string& value) = 0;
};

class ISettingsBackend {
public:
    virtual ~ISettingsBackend() = default;
    // Opens path under hive. Read-only opens never create the key and return nullptr
    // when it is missing; writable opens create it. Failures return nullptr or throw.
    virtual std::unique_ptr<ISettingsKey> OpenKey(THive hive, const std::string& path, bool writable) = 0;
};

// ---- Clock and timer resolution ----

class IClock {
public:
    virtual ~IClock() = default;
    // System millisecond tick (wraps at 2^32).
    virtual std::uint32_t Tick() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Minimum period of the multimedia timer; false when the query fails.
    virtual bool MinTimerPeriod(std::uint32_t& period) = 0;
    // Requests a timer resolution; false when refused.
    virtual bool BeginTimerPeriod(std::uint32_t period) = 0;
    virtual void EndTimerPeriod(std::uint32_t period) = 0;
};

// ---- Display settings and monitors ----

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
    // Primary screen width and height and the screen's bits per pixel (frequency 0).
    virtual TVideoModeRecord DesktopMode() = 0;
};

class IMonitorInfo {
public:
    virtual ~IMonitorInfo() = default;
    virtual std::int32_t MonitorCount() = 0;
    virtual TRect MonitorRect(std::int32_t index) = 0;
    virtual TRect PrimaryScreen() = 0;  // Left = Top = 0
    virtual TRect VirtualDesktop() = 0;
};

// ---- Power, cursor, system flags ----

class IPowerControl {
public:
    virtual ~IPowerControl() = default;
    // The thread execution state (continuous plus display/system required).
    // Returns false when the system has no such function.
    virtual bool SetExecutionState(bool displayRequired, bool systemRequired) = 0;
    // Enables the shutdown privilege (when possible) and asks for a forced suspend.
    virtual void SuspendSystem() = 0;
    // Broadcasts the monitor-power command "off" to all top-level windows.
    virtual void MonitorPowerOff() = 0;
    // The system parameter that marks a running screen saver.
    virtual void SetScreenSaverRunning(bool running) = 0;
};

// ---- Processes and the shell ----

enum class TExecWindowStyle { ewShow, ewHide, ewMaximize, ewMinimize };
enum class TExecPriority { epNormal, epHigh, epIdle, epRealTime };

class IRunningProcess {
public:
    virtual ~IRunningProcess() = default;
    virtual bool StillActive() = 0;
};

class IProcessLauncher {
public:
    virtual ~IProcessLauncher() = default;
    // Starts commandLine as a new process (handles not inherited). On failure returns
    // nullptr and puts the system's error text into errorText.
    virtual std::unique_ptr<IRunningProcess> StartProcess(const std::string& commandLine, const std::string& directory,
                                                          TExecWindowStyle style, TExecPriority priority,
                                                          std::string& errorText) = 0;
    // Opens a file or program through the shell with the verb "open".
    virtual void ShellOpen(const std::string& file, const std::string& parameters, const std::string& directory,
                           TExecWindowStyle style) = 0;
    // Lowers the running process to idle priority.
    virtual void SetOwnPriorityIdle() = 0;
};

// ---- Screen-saver password libraries ----

enum class TPasswordResult { prAccepted, prRejected, prUnavailable };

class IPasswordCheck {
public:
    virtual ~IPasswordCheck() = default;
    // Loads systemDir + "PASSWORD.CPL", calls "VerifyScreenSavePwd" with owner and frees
    // the library; prUnavailable when the library or the function is missing.
    virtual TPasswordResult VerifyPassword(const std::string& systemDir, TWindowHandle owner) = 0;
    // Loads systemDir + "MPR.DLL" and calls "PwdChangePasswordA"("SCRSAVE", parent, 0, 0);
    // nothing when missing.
    virtual void ChangePassword(const std::string& systemDir, TWindowHandle parent) = 0;
};

// ---- Single-instance guard ----

class INamedSemaphore {
public:
    virtual ~INamedSemaphore() = default; // closes the handle
};

class ISemaphoreFactory {
public:
    virtual ~ISemaphoreFactory() = default;
    // Creates the named semaphore (initial count 0, maximum 1); alreadyExists reports
    // that another process holds one of that name.
    virtual std::unique_ptr<INamedSemaphore> Create(const std::string& name, bool& alreadyExists) = 0;
};

// ---- The GUI framework: application object, main form, message boxes ----

enum class TMessageIcon { miError, miWarning, miInformation };

class IApplicationHost {
public:
    virtual ~IApplicationHost() = default;
    // Program path (as started), long-path conversion, system folders.
    virtual std::string ProgramPath() = 0;
    // Long form of a path; empty when the system cannot convert it.
    virtual std::string LongPathName(const std::string& path) = 0;
    virtual std::string SystemDirectory() = 0;  // without trailing backslash
    virtual std::string WindowsDirectory() = 0; // without trailing backslash
    // Parameters 1..N of the command line (parameter 0, the program, excluded).
    virtual std::vector<std::string> Parameters() = 0;

    virtual std::string Title() = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void Terminate() = 0;
    virtual bool Terminated() = 0;
    // Ends the process at once.
    virtual void Halt() = 0;
    virtual void ProcessMessages() = 0;
    virtual void MessageBox(const std::string& text, const std::string& caption, TMessageIcon icon) = 0;

    // The application's hidden top-level window.
    virtual void HideApplicationWindow() = 0;
    virtual void HideFromTaskBar() = 0;
    // One step of the system's cursor counter.
    virtual void ShowCursor(bool visible) = 0;

    virtual TWindowHandle ForegroundWindow() = 0;
    virtual void EnableWindow(TWindowHandle window, bool enabled) = 0;

    // Main form.
    virtual bool HasMainForm() = 0;
    virtual bool MainFormIsTopLevel() = 0; // no parent control and no parent window
    virtual TRect MainFormBounds() = 0;
    virtual void SetMainFormPosition(std::int32_t left, std::int32_t top) = 0;
    virtual void HideMainFormWindow() = 0; // only when its window exists
    // Black, disabled, no border, bounds (-width, -height, 0, 0).
    virtual void HideMainFormAway() = 0;
    virtual void SetMainFormEnabled(bool enabled) = 0;
    virtual void CloseMainForm() = 0;
    // A second instance: do not show the main form and drop its event handlers.
    virtual void SuppressMainForm() = 0;
};

// All services together; the program entry fills it with the platform's objects.
struct TPlatform {
    IApplicationHost* Host = nullptr;
    ISettingsBackend* Settings = nullptr;
    IClock* Clock = nullptr;
    IDisplaySettings* DisplaySettings = nullptr;
    IMonitorInfo* Monitors = nullptr;
    IPowerControl* Power = nullptr;
    IProcessLauncher* Launcher = nullptr;
    IPasswordCheck* Passwords = nullptr;
    ISemaphoreFactory* Semaphores = nullptr;
};
