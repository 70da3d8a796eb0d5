#pragma once
// Application core of the screen saver: identity, paths, the registry-backed
// settings store, the log file, the single-instance guard, power broadcasts and
// the start/stop life cycle driven from idle processing.
#include <array>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Services.h"
#include "shell/FrameLoop.h"
#include "shell/FramePacer.h"
#include "shell/TimePro.h"


// ---- Scrambled texts ----

// Every byte complemented; applying it twice gives the text back.
std::string Unscramble(std::string_view text);

// A text kept complemented in the program image; Text() gives the stored
// (scrambled) form, which the settings accessors unscramble before use.
template <std::size_t N>
struct TScrambled {
    std::array<char, N - 1> Bytes{};
    consteval TScrambled(const char (&plain)[N])
    {
        for (std::size_t i = 0; i + 1 < N; ++i)
            Bytes[i] = static_cast<char>(~static_cast<unsigned char>(plain[i]));
    }
    std::string Text() const { return std::string(Bytes.data(), Bytes.size()); }
};

// ---- Command line ----

// True when some parameter starts with "-" or "/" and the upper-cased letter
// first occurs in the upper-cased parameter right after that prefix.
bool HasSwitch(const std::vector<std::string>& parameters, char letter);

// ---- Text conversions of the settings store ----

// "0" is false, any other integer true, "true"/"false" in any case; otherwise
// raises "'<text>' is not a valid boolean value".
bool TextToBool(std::string_view text);
// "-1" for true, "0" for false.
std::string BoolToText(bool value);

// ---- Settings store ----

// The settings of one registry key, read from the machine hive with a per-value
// fallback to the user hive and written to the machine hive with a fallback to
// the user hive. Registry errors are absorbed; conversion errors reach the caller.
class TSettingsStore {
public:
    explicit TSettingsStore(ISettingsBackend* backend = nullptr) : backend_(backend) {}

    void SetBackend(ISettingsBackend* backend);
    void SetKeyPath(const std::string& path);
    const std::string& KeyPath() const { return keyPath_; }

    bool MachineRoot() const { return machineRoot_; }
    void SetMachineRoot(bool value);
    void SetReadOnlyAccess(bool value);
    bool ScrambledNames = false;

    std::string ReadString(const std::string& name, const std::string& defaultValue);
    bool ReadBool(const std::string& name, bool defaultValue);
    std::int32_t ReadInteger(const std::string& name, std::int32_t defaultValue);
    void WriteString(const std::string& name, const std::string& value);
    void WriteBool(const std::string& name, bool value);
    void WriteInteger(const std::string& name, std::int32_t value);

    // Releases the open key (the next access reopens it).
    void Close() { key_.reset(); }
    bool IsOpen() const { return key_ != nullptr; }

private:
    // The open key for the current root and access; nullptr when it cannot be opened.
    ISettingsKey* Key();
    // The stored text of name with the hive fallback; nothing when absent.
    std::optional<std::string> ReadValue(const std::string& name);
    // Reads name from the current root when present.
    std::optional<std::string> ReadCurrent(const std::string& name);

    ISettingsBackend* backend_;
    std::string keyPath_;
    bool machineRoot_ = false;
    bool readOnly_ = false;
    std::unique_ptr<ISettingsKey> key_;
};

// "Software\<company>\<title> <major>", without the company level when it is empty.
std::string SettingsKeyPath(const std::string& company, const std::string& title, const std::string& majorVersion);

// ---- Log file ----

// A log that always consists of the written lines followed by zero bytes: it is
// created as 16384 zero bytes and grows by 16384 zero bytes past the start of any
// line that would pass its end.
class TLogFile {
public:
    static constexpr std::int64_t GrowSize = 16384;

    explicit TLogFile(std::string fileName);
    ~TLogFile();
    TLogFile(const TLogFile&) = delete;
    TLogFile& operator=(const TLogFile&) = delete;

    // Writes text + CR LF at the current position. Raises on I/O failure.
    void Write(const std::string& text);
    const std::string& FileName() const { return fileName_; }

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::string fileName_;
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::int64_t size_ = 0;
};

// ---- Paths ----

struct TProgramPaths {
    std::string ExeName;     // file name with extension
    std::string AppName;     // ExeName before its first "."
    std::string AppPath;     // folder with a trailing separator
    std::string LogFileName; // AppPath + AppName + ".log"
};
TProgramPaths SplitProgramPath(const std::string& longPath);
// Appends "\" unless the text already ends with a path separator (empty stays empty).
std::string WithTrailingSeparator(const std::string& folder);

// Position of the main form: centred in the left-hand 4:3 area of a wide desktop.
struct TFormPosition {
    std::int32_t Left = 0, Top = 0;
};
TFormPosition CenterFormPosition(std::int32_t width, std::int32_t height, std::int32_t screenWidth,
                                 std::int32_t screenHeight);

// ---- Messages and power broadcasts handed over by the platform ----

enum class TMessageKind { mkOther, mkKeyDown, mkKeyUp, mkSysKeyDown, mkMouseMove, mkButtonUp, mkButtonDblClk };

constexpr std::uint32_t VK_SHIFT_KEY = 16;
constexpr std::uint32_t VK_CONTROL_KEY = 17;
constexpr std::uint32_t VK_PRINTSCREEN_KEY = 44;

struct TAppMessage {
    TMessageKind Kind = TMessageKind::mkOther;
    std::uint32_t Key = 0;    // virtual key of key messages
    std::int32_t X = 0, Y = 0; // mouse position of mouse messages
    bool CtrlDown = false;    // modifier state when the message was taken
    bool ShiftDown = false;
};

enum class TPowerBroadcast {
    pbQuerySuspend, pbQueryStandby, pbSuspend, pbStandby,
    pbResumeCritical, pbResumeSuspend, pbResumeStandby, pbOther
};
enum class TPowerAnswer { paDefault, paDeny };

enum class TAppState : std::uint8_t { Stopped = 0, Running = 2 };

using TNotifyEvent = std::function<void()>;

// ---- The application core ----

class TCustomApplicationPro : public TFrameSteps {
public:
    explicit TCustomApplicationPro(const TServices& services);
    virtual ~TCustomApplicationPro();
    TCustomApplicationPro(const TCustomApplicationPro&) = delete;
    TCustomApplicationPro& operator=(const TCustomApplicationPro&) = delete;

    // The first instance constructed; it answers the power broadcasts.
    static TCustomApplicationPro* OwningInstance();
    // Forwarded by the event window to the owning instance (default without one).
    static TPowerAnswer DispatchPowerBroadcast(TPowerBroadcast kind);

    // Identity.
    std::string Title;
    std::string Company;
    std::string MajorVersion = "1";
    std::string MinorVersion = "0";
    std::string VersionText() const { return MajorVersion + "." + MinorVersion; }

    bool LogFile() const { return logFile_; }
    void SetLogFile(bool value);
    bool Debug = false;
    bool SuspendEnabled = false;
    bool NeedDisplay() const { return needDisplay_; }
    void SetNeedDisplay(bool value);
    bool NeedSystem() const { return needSystem_; }
    void SetNeedSystem(bool value);

    // Run-time state.
    std::string ExeName, AppName, AppPath, DataPath, SystemDir, WindowsDir, LogFileName;
    bool SingleInstance = true;
    // The single-instance guard found another running instance.
    bool SecondInstance() const { return secondInstance_; }
    TAppState State() const { return state_; }
    const std::vector<std::string>& Parameters() const { return parameters_; }

    // Settings (see TSettingsStore); the key is derived from the identity.
    TSettingsStore& Settings();
    bool MachineRoot() { return Settings().MachineRoot(); }
    void SetMachineRoot(bool value) { Settings().SetMachineRoot(value); }
    void SetScrambledNames(bool value) { Settings().ScrambledNames = value; }
    std::string ReadString(const std::string& name, const std::string& defaultValue);
    bool ReadBool(const std::string& name, bool defaultValue);
    std::int32_t ReadInteger(const std::string& name, std::int32_t defaultValue);
    void WriteString(const std::string& name, const std::string& value);
    void WriteBool(const std::string& name, bool value);
    void WriteInteger(const std::string& name, std::int32_t value);
    void CloseRegistry() { settings_.Close(); }

    bool HasSwitch(char letter) const { return ::HasSwitch(parameters_, letter); }
    void WriteLog(const std::string& text);

    void ShowHelp();
    void HideApplication();
    void HideFromTaskBar();
    void CloseApplication();
    void SetCursorVisible(bool visible);
    void CenterMainForm();

    // Events.
    TNotifyEvent OnLoadOptions, OnSaveOptions, OnStart, OnStop;
    std::function<void(const std::exception&)> OnException;
    TNotifyEvent OnActivate, OnDeactivate, OnHint, OnPowerOff, OnPowerOn, OnFPSChanged;
    std::function<void(std::string& hint, bool& canShow)> OnShowHint;
    std::function<void(const TAppMessage& message, bool& handled)> OnShortCut;
    std::function<bool(std::uint16_t command, std::int32_t data, bool& callHelp)> OnHelp;
    // Unpublished hooks.
    std::function<void(const TAppMessage& message, bool& handled)> MessageHook;
    std::function<void(bool& done)> IdleHook;
    TNotifyEvent MinimizeHook, RestoreHook;

    // Entry points for the platform's message loop.
    void Loaded() { Initialize(); }
    // One idle pass: one frame (RunFrame); does nothing while the handler is
    // detached (re-entrance).
    void DoIdle(bool& done);
    // Reports an exception that reached the message loop.
    void DoException(const std::exception& e);
    void DoMessage(const TAppMessage& message, bool& handled) { HandleMessage(message, handled); }
    TPowerAnswer DoPowerBroadcast(TPowerBroadcast kind);
    void DoActivate() { HandleActivate(); }
    void DoDeactivate() { HandleDeactivate(); }
    void DoMinimize() { HandleMinimize(); }
    void DoRestore() { HandleRestore(); }
    void DoShortCut(const TAppMessage& m, bool& handled) { HandleShortCut(m, handled); }
    void DoShowHint(std::string& hint, bool& canShow) { HandleShowHint(hint, canShow); }
    bool DoHelp(std::uint16_t command, std::int32_t data, bool& callHelp) { return HandleHelp(command, data, callHelp); }

    // Virtual operations.
    virtual void Start();
    virtual void Stop();
    virtual void HandleException(const std::exception& e);
    virtual void HandleMessage(const TAppMessage& message, bool& handled);
    virtual bool HandleHelp(std::uint16_t command, std::int32_t data, bool& callHelp);
    virtual void HandleHint();
    virtual void HandleDeactivate();
    virtual void HandleActivate();
    virtual void HandleMinimize();
    virtual void HandleRestore();
    virtual void HandleShortCut(const TAppMessage& message, bool& handled);
    virtual void HandleShowHint(std::string& hint, bool& canShow);
    virtual void PowerOff();
    virtual void PowerOn();
    virtual void Initialize();
    virtual void LoadOptions();
    virtual void SaveOptions();

    const TServices& Services() const { return services_; }

protected:
    // Detaches the idle handler for the lifetime of the guard.
    class TIdleDetach {
    public:
        explicit TIdleDetach(TCustomApplicationPro& app) : app_(app), was_(app.idleAttached_) { app_.idleAttached_ = false; }
        ~TIdleDetach() { app_.idleAttached_ = was_; }

    private:
        TCustomApplicationPro& app_;
        bool was_;
    };
    void ApplyExecutionState();
    // Frame step: starts the run while it is stopped, then the idle hook.
    void StartIfStopped(bool& done) override;

    TServices services_;
    std::vector<std::string> parameters_;

private:
    TSettingsStore settings_;
    std::unique_ptr<TLogFile> log_;
    std::unique_ptr<INamedSemaphore> semaphore_;
    TAppState state_ = TAppState::Stopped;
    bool logFile_ = false;
    bool needDisplay_ = false;
    bool needSystem_ = false;
    bool idleAttached_ = true;
    bool secondInstance_ = false;
};

// Adds the frame timer, the frame-rate measurement and the low-CPU-usage pacing.
class TCustomGraphicApplicationPro : public TCustomApplicationPro {
public:
    explicit TCustomGraphicApplicationPro(const TServices& services);
    ~TCustomGraphicApplicationPro() override;

    // The frame timer, created on first use.
    TTimerPro& Timer();
    // Current running seconds of the frame timer.
    long double Seconds() { return Timer().CurrentTime().Seconds(); }

    std::int32_t FPS() const { return fps_; }
    bool LowCPUUsage = false;
    std::uint32_t FrameCount() const { return frameCount_; }
    // Waits out the refresh period when swaps return before the retrace
    // they were asked to wait for (see PaceToDisplay).
    TFramePacer Pacer;

    void LoadOptions() override;
    void SaveOptions() override;

protected:
    // Frame step: counts the frame, measures the frame rate once a second and
    // sleeps (1 ms, 17 more with LowCPUUsage, the pacer's wait).
    void PaceAndMeasure(bool& done) override;
    void Sleep(std::uint32_t ms);
    // Whether frames are meant to follow the display's retrace (the GL
    // application: the context's WaitSync); the base paces nothing.
    virtual bool PaceToDisplay() { return false; }

private:
    std::unique_ptr<TTimerPro> timer_;
    std::int32_t fps_ = 1;
    std::uint32_t frameCount_ = 0;
    long double lastMeasure_ = 0;
    long double firstFrame_ = 0;
};
