#pragma once
// Every Windows service the shell needs, owned together, and the table of
// interfaces the shell is given.
#include "platform/win32/WinApplication.h"
#include "platform/win32/WinServices.h"
#include "shell/Platform.h"

class TWin32Platform {
public:
    TWinApplication Application;
    TWinSettingsBackend Settings;
    TWinClock Clock;
    TWinDisplaySettings DisplaySettings;
    TWinMonitorInfo Monitors;
    TWinPowerControl Power;
    TWinProcessLauncher Launcher;
    TWinPasswordCheck Passwords;
    TWinSemaphoreFactory Semaphores;

    TPlatform Services()
    {
        TPlatform p;
        p.Host = &Application;
        p.Settings = &Settings;
        p.Clock = &Clock;
        p.DisplaySettings = &DisplaySettings;
        p.Monitors = &Monitors;
        p.Power = &Power;
        p.Launcher = &Launcher;
        p.Passwords = &Passwords;
        p.Semaphores = &Semaphores;
        return p;
    }
};
