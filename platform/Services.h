#pragma once
// The services table: every service the program takes from its platform, as
// interfaces. Each program's main (the Windows saver, pyrelume-tool, the tests'
// fakes) owns the implementations, fills one table and hands it to the core
// once; nothing in the core installs or finds a service any other way.
// A member may be null where a program has no such service (the tools have no
// application host); the core checks the ones it can do without.
#include "platform/ApplicationHost.h"
#include "platform/DisplaySettings.h"
#include "platform/GlyphRasterizer.h"
#include "platform/MonitorInfo.h"
#include "platform/PasswordCheck.h"
#include "platform/PlatformTypes.h"
#include "platform/PowerControl.h"
#include "platform/ProcessLauncher.h"
#include "platform/ProgramResources.h"
#include "platform/Semaphores.h"
#include "platform/SettingsBackend.h"
#include "platform/SystemClock.h"
#include "platform/TimeProvider.h"
#include "platform/WaveOutput.h"

struct TServices {
    IApplicationHost* Host = nullptr;
    ISettingsBackend* Settings = nullptr;
    IClock* Clock = nullptr;
    IDisplaySettings* DisplaySettings = nullptr;
    IMonitorInfo* Monitors = nullptr;
    IPowerControl* Power = nullptr;
    IProcessLauncher* Launcher = nullptr;
    IPasswordCheck* Passwords = nullptr;
    ISemaphoreFactory* Semaphores = nullptr;
    // Text drawing of the scene's fonts; none gives empty glyphs.
    IGlyphRasterizer* Glyphs = nullptr;
    // Local time of the clocks; none gives the C library's.
    ITimeProvider* Time = nullptr;
    // Where the sound device streams its mix; none keeps the program silent.
    TWaveOutput* SoundOutput = nullptr;
    // Resources inside the program (the embedded scene archive).
    IProgramResources* Resources = nullptr;
};
