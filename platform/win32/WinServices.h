#pragma once
// Win32 implementations of the shell's operating-system services: the
// registry, the millisecond tick and multimedia timer resolution, display
// settings, monitors, power requests, processes and the shell, the system's
// screen-saver password libraries and the named semaphore.
#include <memory>
#include <string>
#include <vector>

#include "platform/Services.h"

// Registry keys with string values (REG_SZ). Reading also accepts REG_EXPAND_SZ
// and REG_DWORD (as decimal text), since the system stores some of its own
// flags that way; any other type is a registry error.
class TWinSettingsBackend : public ISettingsBackend {
public:
    std::unique_ptr<ISettingsKey> OpenKey(THive hive, const std::string& path, bool writable) override;
};

// timeGetTime for the tick (accurate once the timer resolution is raised).
class TWinClock : public IClock {
public:
    std::uint32_t Tick() override;
    void Sleep(std::uint32_t milliseconds) override;
    bool MinTimerPeriod(std::uint32_t& period) override;
    bool BeginTimerPeriod(std::uint32_t period) override;
    void EndTimerPeriod(std::uint32_t period) override;
};

class TWinDisplaySettings : public IDisplaySettings {
public:
    bool EnumMode(std::int32_t index, TVideoModeRecord& mode) override;
    bool TestMode(const TVideoModeRecord& mode) override;
    bool ChangeMode(const TVideoModeRecord& mode) override;
    void RestoreRegistryMode() override;
    TVideoModeRecord DesktopMode() override;
};

// Monitors in the order the system enumerates them; asked afresh each time,
// so a monitor plugged in or removed is seen at once.
class TWinMonitorInfo : public IMonitorInfo {
public:
    std::int32_t MonitorCount() override;
    TRect MonitorRect(std::int32_t index) override;
    TRect PrimaryScreen() override;
    TRect VirtualDesktop() override;

private:
    std::vector<TRect> Enumerate();
};

class TWinPowerControl : public IPowerControl {
public:
    bool SetExecutionState(bool displayRequired, bool systemRequired) override;
    void SuspendSystem() override;
    void MonitorPowerOff() override;
    void SetScreenSaverRunning(bool running) override;
};

class TWinProcessLauncher : public IProcessLauncher {
public:
    std::unique_ptr<IRunningProcess> StartProcess(const std::string& commandLine, const std::string& directory,
                                                  TExecWindowStyle style, TExecPriority priority,
                                                  std::string& errorText) override;
    void ShellOpen(const std::string& file, const std::string& parameters, const std::string& directory,
                   TExecWindowStyle style) override;
    void SetOwnPriorityIdle() override;
};

class TWinPasswordCheck : public IPasswordCheck {
public:
    TPasswordResult VerifyPassword(const std::string& systemDir, TWindowHandle owner) override;
    void ChangePassword(const std::string& systemDir, TWindowHandle parent) override;
};

class TWinSemaphoreFactory : public ISemaphoreFactory {
public:
    std::unique_ptr<INamedSemaphore> Create(const std::string& name, bool& alreadyExists) override;
};

// The show command of a window style (SW_SHOW, SW_HIDE, SW_MAXIMIZE, SW_MINIMIZE).
int ShowCommandOf(TExecWindowStyle style);
