#pragma once
// In-memory stand-ins for the platform services of the shell.
#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "shell/GLApp.h"
#include "platform/Services.h"

// ---- Registry ----

class FakeRegistry : public ISettingsBackend {
public:
    using Key = std::tuple<THive, std::string, std::string>;
    std::map<Key, std::string> Values;
    std::map<std::pair<THive, std::string>, bool> Keys; // existing keys
    bool MachineReadFails = false;
    bool MachineWriteFails = false;

    void Set(THive hive, const std::string& path, const std::string& name, const std::string& value)
    {
        Keys[{hive, path}] = true;
        Values[{hive, path, name}] = value;
    }
    const std::string* Get(THive hive, const std::string& path, const std::string& name) const
    {
        auto it = Values.find({hive, path, name});
        return it == Values.end() ? nullptr : &it->second;
    }

    class FakeKey : public ISettingsKey {
    public:
        FakeKey(FakeRegistry& r, THive h, std::string p) : reg(r), hive(h), path(std::move(p)) {}
        bool ValueExists(const std::string& name) override { return Check(false).count({hive, path, name}) != 0; }
        std::string ReadString(const std::string& name) override { return Check(false).at({hive, path, name}); }
        void WriteString(const std::string& name, const std::string& v) override { Check(true)[{hive, path, name}] = v; }
        std::map<Key, std::string>& Check(bool write)
        {
            if (hive == THive::hkLocalMachine && (write ? reg.MachineWriteFails : reg.MachineReadFails))
                throw std::runtime_error("access denied");
            return reg.Values;
        }
        FakeRegistry& reg;
        THive hive;
        std::string path;
    };

    std::unique_ptr<ISettingsKey> OpenKey(THive hive, const std::string& path, bool writable) override
    {
        if (!Keys.count({hive, path})) {
            if (!writable)
                return nullptr;
            Keys[{hive, path}] = true;
        }
        return std::make_unique<FakeKey>(*this, hive, path);
    }
};

// ---- Clock ----

class FakeClock : public IClock {
public:
    std::uint32_t Now = 1000;
    std::vector<std::uint32_t> Sleeps;
    std::vector<std::uint32_t> Begun, Ended;
    bool HasCaps = true;
    std::uint32_t Caps = 1;
    bool RefuseBegin = false;
    bool SleepAdvances = false;

    std::uint32_t Tick() override { return Now; }
    void Sleep(std::uint32_t ms) override
    {
        Sleeps.push_back(ms);
        if (SleepAdvances)
            Now += ms;
    }
    bool MinTimerPeriod(std::uint32_t& period) override { return period = Caps, HasCaps; }
    bool BeginTimerPeriod(std::uint32_t period) override { return Begun.push_back(period), !(RefuseBegin && period != 1); }
    void EndTimerPeriod(std::uint32_t period) override { Ended.push_back(period); }
    long SleepCount(std::uint32_t ms) const { return std::count(Sleeps.begin(), Sleeps.end(), ms); }
};

// ---- Monitors and display modes ----

class FakeMonitors : public IMonitorInfo {
public:
    std::vector<TRect> Rects{{0, 0, 1024, 768}};
    TRect Virtual{0, 0, 1024, 768};
    std::int32_t MonitorCount() override { return static_cast<std::int32_t>(Rects.size()); }
    TRect MonitorRect(std::int32_t i) override { return Rects.at(static_cast<std::size_t>(i)); }
    TRect PrimaryScreen() override { return {0, 0, Rects[0].Width, Rects[0].Height}; }
    TRect VirtualDesktop() override { return Virtual; }
};

class FakeDisplaySettings : public IDisplaySettings {
public:
    std::vector<TVideoModeRecord> System;
    TVideoModeRecord Current{1024, 768, 32, 60};
    TVideoModeRecord Registry{1024, 768, 32, 60};
    std::vector<TVideoModeRecord> Changes;
    int Restores = 0;
    bool RefuseChange = false;

    bool EnumMode(std::int32_t index, TVideoModeRecord& mode) override
    {
        if (index < 0 || index >= static_cast<std::int32_t>(System.size()))
            return false;
        mode = System[static_cast<std::size_t>(index)];
        return true;
    }
    bool TestMode(const TVideoModeRecord&) override { return true; }
    bool ChangeMode(const TVideoModeRecord& mode) override
    {
        Changes.push_back(mode);
        if (RefuseChange)
            return false;
        Current = mode;
        return true;
    }
    void RestoreRegistryMode() override { ++Restores, Current = Registry; }
    TVideoModeRecord DesktopMode() override { return {Current.Width, Current.Height, Current.Bits, 0}; }
};

// ---- Power, processes, passwords, semaphores ----

class FakePower : public IPowerControl {
public:
    std::vector<std::pair<bool, bool>> States;
    int Suspends = 0, MonitorOffs = 0;
    std::vector<bool> SaverRunning;
    bool SetExecutionState(bool d, bool s) override { return States.push_back({d, s}), true; }
    void SuspendSystem() override { ++Suspends; }
    void MonitorPowerOff() override { ++MonitorOffs; }
    void SetScreenSaverRunning(bool running) override { SaverRunning.push_back(running); }
};

class FakeLauncher : public IProcessLauncher {
public:
    struct Proc : IRunningProcess {
        int* polls;
        bool StillActive() override { return (*polls)-- > 0; }
    };
    std::vector<std::string> Started, Dirs;
    std::vector<std::string> Opened;
    bool FailStart = false;
    int ActivePolls = 0;
    int IdleCalls = 0;

    std::unique_ptr<IRunningProcess> StartProcess(const std::string& cmd, const std::string& dir, TExecWindowStyle,
                                                  TExecPriority, std::string& errorText) override
    {
        Started.push_back(cmd);
        Dirs.push_back(dir);
        if (FailStart) {
            errorText = "The system cannot find the file specified.";
            return nullptr;
        }
        auto p = std::make_unique<Proc>();
        p->polls = &ActivePolls;
        return p;
    }
    void ShellOpen(const std::string& file, const std::string& params, const std::string& dir,
                   TExecWindowStyle) override
    {
        Opened.push_back(file + "|" + params + "|" + dir);
    }
    void SetOwnPriorityIdle() override { ++IdleCalls; }
};

class FakePasswords : public IPasswordCheck {
public:
    TPasswordResult Answer = TPasswordResult::prAccepted;
    int Verifies = 0;
    std::vector<std::string> Changes;
    TPasswordResult VerifyPassword(const std::string&, TWindowHandle) override { return ++Verifies, Answer; }
    void ChangePassword(const std::string& d, TWindowHandle w) override { Changes.push_back(d + "@" + std::to_string(w)); }
};

class FakeSemaphores : public ISemaphoreFactory {
public:
    std::map<std::string, int> Live;
    struct Sem : INamedSemaphore {
        FakeSemaphores* owner;
        std::string name;
        ~Sem() override { --owner->Live[name]; }
    };
    std::unique_ptr<INamedSemaphore> Create(const std::string& name, bool& alreadyExists) override
    {
        alreadyExists = Live[name] > 0;
        ++Live[name];
        auto s = std::make_unique<Sem>();
        s->owner = this;
        s->name = name;
        return s;
    }
};

// ---- GUI framework ----

class FakeHost : public IApplicationHost {
public:
    std::string Program = "C:\\Saver\\Pyrelume.scr";
    std::vector<std::string> Params;
    std::string AppTitle;
    bool IsTerminated = false;
    bool Halted = false;
    int CursorCounter = 0;
    int Closes = 0, Suppressed = 0, HiddenAway = 0;
    bool MainEnabled = true;
    bool MainForm = true;
    std::vector<std::pair<TWindowHandle, bool>> Enabled;
    std::vector<std::string> Boxes;
    std::function<void()> OnProcessMessages;

    std::string ProgramPath() override { return Program; }
    std::string LongPathName(const std::string& p) override { return p; }
    std::string SystemDirectory() override { return "C:\\Windows\\System32"; }
    std::string WindowsDirectory() override { return "C:\\Windows"; }
    std::vector<std::string> Parameters() override { return Params; }
    std::string Title() override { return AppTitle; }
    void SetTitle(const std::string& t) override { AppTitle = t; }
    void Terminate() override { IsTerminated = true; }
    bool Terminated() override { return IsTerminated; }
    void Halt() override { Halted = true; }
    void ProcessMessages() override
    {
        if (OnProcessMessages)
            OnProcessMessages();
    }
    void ShowMessage(const std::string& text, const std::string&, TMessageIcon) override { Boxes.push_back(text); }
    void HideApplicationWindow() override {}
    void HideFromTaskBar() override {}
    void ShowCursor(bool visible) override { CursorCounter += visible ? 1 : -1; }
    std::vector<bool> BusyCursor;
    void SetBusyCursor(bool busy) override { BusyCursor.push_back(busy); }
    TWindowHandle ForegroundWindow() override { return 77; }
    void EnableWindow(TWindowHandle w, bool e) override { Enabled.push_back({w, e}); }
    bool HasMainForm() override { return MainForm; }
    bool MainFormIsTopLevel() override { return true; }
    TRect FormBounds{0, 0, 400, 300};
    int FormLeft = -1, FormTop = -1;
    TRect MainFormBounds() override { return FormBounds; }
    void SetMainFormPosition(std::int32_t l, std::int32_t t) override
    {
        FormLeft = l;
        FormTop = t;
    }
    void HideMainFormWindow() override {}
    void HideMainFormAway() override { ++HiddenAway; }
    void SetMainFormEnabled(bool e) override { MainEnabled = e; }
    void CloseMainForm() override { ++Closes; }
    void SuppressMainForm() override { ++Suppressed; }
};

// ---- GL context and window ----

class FakeContext : public IAppGLContext {
public:
    bool IsActive = false;
    bool FailActivate = false;
    int Activations = 0, Swaps = 0, PaintSwaps = 0, Captures = 0;
    bool Sync = true;
    TGLRenderer Renderer = TGLRenderer::OpenGL;
    std::vector<std::string>* Log = nullptr;

    bool Active() override { return IsActive; }
    void Activate(TDeviceContext) override
    {
        ++Activations;
        IsActive = !FailActivate;
    }
    void Deactivate() override { IsActive = false; }
    void SetBaseState() override {}
    void SwapBuffers(TDeviceContext) override { ++Swaps, Note("Swap"); }
    void Note(const char* what)
    {
        if (Log)
            Log->push_back(what);
    }
    void PaintSwap(TDeviceContext) override { ++PaintSwaps; }
    bool HardwareAccelerated() override { return true; }
    void ApplyViewport(const TViewportSetup&) override { Note("Viewport"); }
    bool Capture(std::int32_t, std::int32_t, TCapturedImage& image) override
    {
        ++Captures;
        image.Width = 4;
        image.Height = 2;
        image.Rgb.assign(4 * 2 * 3, 0x80);
        return true;
    }
    std::int32_t CaptureCount() override { return Captures; }
    void ResetCaptureCount() override { Captures = 0; }
    bool WaitSync() override { return Sync; }
    void SetWaitSync(bool v) override { Sync = v; }
    TGLRenderer EffectiveRenderer() override { return Renderer; }
    void StoreRenderer(TGLRenderer r) override { Renderer = r; }
    void UnloadLibrary() override {}
};

class FakeWindow : public TCustomGLWindow {
public:
    std::int32_t W = 640, H = 480;
    bool HasHandle = false;
    TDeviceContext NextDC = 1234;
    TWindowHandle Parent = 0;
    int Creates = 0;

    std::int32_t ClientWidth() override { return W; }
    std::int32_t ClientHeight() override { return H; }
    bool HandleAllocated() override { return HasHandle; }
    TWindowHandle Handle() override { return HasHandle ? 99 : 0; }
    void ShowWithHandle() override
    {
        HasHandle = true;
        ++Creates;
        HandleCreated(NextDC);
    }
    void HideAndDestroyHandle() override
    {
        HasHandle = false;
        HandleDestroyed();
    }
    void SetParentWindow(TWindowHandle parent) override { Parent = parent; }
};

// The program's resources: the archive "DATA_RFA" when one is set.
struct FakeProgramResources : IProgramResources {
    std::optional<std::vector<std::uint8_t>> Archive;
    std::optional<std::span<const std::uint8_t>> Find(const std::string& name) override
    {
        if (!Archive || (name != "DATA_RFA" && name != "data_rfa"))
            return std::nullopt;
        return std::span<const std::uint8_t>(*Archive);
    }
};

// Every service at once, wired into a TServices.
struct FakePlatform {
    FakeHost Host;
    FakeRegistry Registry;
    FakeClock Clock;
    FakeDisplaySettings Display;
    FakeMonitors Monitors;
    FakePower Power;
    FakeLauncher Launcher;
    FakePasswords Passwords;
    FakeSemaphores Semaphores;
    FakeProgramResources Resources;

    TServices Services()
    {
        TServices p;
        p.Host = &Host;
        p.Settings = &Registry;
        p.Clock = &Clock;
        p.DisplaySettings = &Display;
        p.Monitors = &Monitors;
        p.Power = &Power;
        p.Launcher = &Launcher;
        p.Passwords = &Passwords;
        p.Semaphores = &Semaphores;
        p.Resources = &Resources;
        return p;
    }
};
