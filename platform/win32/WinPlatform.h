#pragma once
// Every Windows service the program needs, owned together, and the services
// table the core is given.
#include <memory>

#include "clock/TimeProvider.h"
#include "platform/Services.h"
#include "platform/win32/ProgramResources.h"
#include "platform/win32/WinApplication.h"
#include "platform/win32/WinClockLocale.h"
#include "platform/win32/WinGdiGlyphs.h"
#include "platform/win32/WinServices.h"
#include "platform/win32/WinWaveOutput.h"

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
    TWinGdiGlyphs Glyphs;
    // The clock's names and separators from the user's locale.
    TSystemTimeProvider Time{ReadUserClockLocale()};
    std::unique_ptr<TWaveOutput> SoundOutput = CreateWinWaveOutput();
    TWin32ProgramResources Resources;

    TServices Services()
    {
        TServices s;
        s.Host = &Application;
        s.Settings = &Settings;
        s.Clock = &Clock;
        s.DisplaySettings = &DisplaySettings;
        s.Monitors = &Monitors;
        s.Power = &Power;
        s.Launcher = &Launcher;
        s.Passwords = &Passwords;
        s.Semaphores = &Semaphores;
        s.Glyphs = &Glyphs;
        s.Time = &Time;
        s.SoundOutput = SoundOutput.get();
        s.Resources = &Resources;
        return s;
    }
};
