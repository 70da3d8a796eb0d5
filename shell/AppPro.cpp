#include "shell/AppPro.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "gl/Errors.h"
#include "gl/FastMath.h"

namespace {

TCustomApplicationPro* gOwningInstance = nullptr;

std::string UpperCase(std::string_view text)
{
    std::string s(text);
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Value names of the core settings, kept scrambled in the program image.
constexpr TScrambled kDataPathName("DataPath");
constexpr TScrambled kAppPathName("AppPath");
constexpr TScrambled kAppNameName("AppName");
constexpr TScrambled kVersionName("Version");
constexpr TScrambled kNeedDisplayName("NeedDisplay");
constexpr TScrambled kNeedSystemName("NeedSystem");
constexpr TScrambled kLowCPUUsageName("LowCPUUsage");

} // namespace

// ---------------------------------------------------------------------------
// Free helpers

std::string Unscramble(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(~static_cast<unsigned char>(c));
    return result;
}

bool HasSwitch(const std::vector<std::string>& parameters, char letter)
{
    const char wanted = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (const std::string& p : parameters) {
        if (p.empty() || (p[0] != '-' && p[0] != '/'))
            continue;
        const std::string upper = UpperCase(p);
        if (upper.find(wanted) == 1)
            return true;
    }
    return false;
}

bool TextToBool(std::string_view text)
{
    const std::string upper = UpperCase(text);
    if (upper == "TRUE")
        return true;
    if (upper == "FALSE")
        return false;
    try {
        return StrToIntStrict(text) != 0;
    } catch (const EPyrelumeError&) {
        RaiseMessage("'" + std::string(text) + "' is not a valid boolean value");
    }
}

std::string BoolToText(bool value)
{
    return value ? "-1" : "0";
}

std::string SettingsKeyPath(const std::string& company, const std::string& title, const std::string& majorVersion)
{
    if (company.empty())
        return "Software\\" + title + " " + majorVersion;
    return "Software\\" + company + "\\" + title + " " + majorVersion;
}

std::string WithTrailingSeparator(const std::string& folder)
{
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/')
        return folder;
    return folder + "\\";
}

TProgramPaths SplitProgramPath(const std::string& longPath)
{
    TProgramPaths p;
    const std::size_t slash = longPath.find_last_of("\\/:");
    std::string folder;
    if (slash == std::string::npos) {
        p.ExeName = longPath;
    } else {
        p.ExeName = longPath.substr(slash + 1);
        folder = longPath.substr(0, slash + 1);
    }
    const std::size_t dot = p.ExeName.find('.');
    p.AppName = dot == std::string::npos ? std::string() : p.ExeName.substr(0, dot);
    p.AppPath = WithTrailingSeparator(folder);
    p.LogFileName = p.AppPath + p.AppName + ".log";
    return p;
}

TFormPosition CenterFormPosition(std::int32_t w, std::int32_t h, std::int32_t sw, std::int32_t sh)
{
    TFormPosition pos;
    if (sh < sw) {
        pos.Left = (sh * 4 / 3 - w) / 2;
        if (sw < w + pos.Left)
            pos.Left = sw - w;
        if (pos.Left < 0)
            pos.Left = 0;
        pos.Top = (sh - h) / 2;
    } else {
        pos.Top = (sw * 3 / 4 - h) / 2;
        if (sh < h + pos.Top)
            pos.Top = sh - h;
        if (pos.Top < 0)
            pos.Top = 0;
        pos.Left = (sw - w) / 2;
    }
    return pos;
}

// ---------------------------------------------------------------------------
// TSettingsStore

void TSettingsStore::SetBackend(ISettingsBackend* backend)
{
    Close();
    backend_ = backend;
}

void TSettingsStore::SetKeyPath(const std::string& path)
{
    if (path != keyPath_) {
        Close();
        keyPath_ = path;
    }
}

void TSettingsStore::SetMachineRoot(bool value)
{
    if (value != machineRoot_) {
        Close();
        machineRoot_ = value;
    }
}

void TSettingsStore::SetReadOnlyAccess(bool value)
{
    if (value != readOnly_) {
        Close();
        readOnly_ = value;
    }
}

ISettingsKey* TSettingsStore::Key()
{
    if (!key_ && backend_) {
        // A key that could not be opened is asked for again on the next access.
        key_ = backend_->OpenKey(machineRoot_ ? THive::hkLocalMachine : THive::hkCurrentUser, keyPath_, !readOnly_);
    }
    return key_.get();
}

std::optional<std::string> TSettingsStore::ReadCurrent(const std::string& name)
{
    ISettingsKey* key = Key();
    if (key && key->ValueExists(name))
        return key->ReadString(name);
    return std::nullopt;
}

std::string TSettingsStore::ReadString(const std::string& name, const std::string& defaultValue)
{
    return ReadValue(name).value_or(defaultValue);
}

std::optional<std::string> TSettingsStore::ReadValue(const std::string& name)
{
    SetReadOnlyAccess(true);
    std::optional<std::string> result;
    const std::string valueName = ScrambledNames ? Unscramble(name) : name;
    const bool wasMachine = machineRoot_;
    try {
        if (auto v = ReadCurrent(valueName)) {
            result = v;
        } else if (machineRoot_) {
            SetMachineRoot(false);
            if (auto u = ReadCurrent(valueName))
                result = u;
            SetMachineRoot(true);
        }
    } catch (const std::exception&) {
        if (wasMachine) {
            // The user hive stays the root after a failing machine hive.
            SetMachineRoot(false);
            try {
                if (auto u = ReadCurrent(valueName))
                    result = u;
            } catch (const std::exception&) {
            }
        }
    }
    return result;
}

bool TSettingsStore::ReadBool(const std::string& name, bool defaultValue)
{
    const auto text = ReadValue(name);
    return text ? TextToBool(*text) : defaultValue;
}

std::int32_t TSettingsStore::ReadInteger(const std::string& name, std::int32_t defaultValue)
{
    const auto text = ReadValue(name);
    return text ? StrToIntStrict(*text) : defaultValue;
}

void TSettingsStore::WriteString(const std::string& name, const std::string& value)
{
    SetReadOnlyAccess(false);
    const std::string valueName = ScrambledNames ? Unscramble(name) : name;
    try {
        ISettingsKey* key = Key();
        if (!key)
            RaiseError("TSettingsStore", "WriteString", "cannot open key " + keyPath_);
        key->WriteString(valueName, value);
    } catch (const std::exception&) {
        if (machineRoot_) {
            SetMachineRoot(false);
            try {
                if (ISettingsKey* key = Key())
                    key->WriteString(valueName, value);
            } catch (const std::exception&) {
            }
        }
    }
}

void TSettingsStore::WriteBool(const std::string& name, bool value)
{
    WriteString(name, BoolToText(value));
}

void TSettingsStore::WriteInteger(const std::string& name, std::int32_t value)
{
    WriteString(name, std::to_string(value));
}

// ---------------------------------------------------------------------------
// TLogFile

TLogFile::TLogFile(std::string fileName) : fileName_(std::move(fileName)) {}

TLogFile::~TLogFile() = default;

void TLogFile::Write(const std::string& text)
{
    static const std::vector<char> zeros(static_cast<std::size_t>(GrowSize), 0);
    auto fail = [&] { RaiseError("TLogFile", "Write", "cannot write " + fileName_); };
    if (!file_) {
        file_.reset(std::fopen(fileName_.c_str(), "w+b"));
        if (!file_ || std::fwrite(zeros.data(), 1, zeros.size(), file_.get()) != zeros.size() ||
            std::fseek(file_.get(), 0, SEEK_SET) != 0) {
            file_.reset();
            fail();
        }
        size_ = GrowSize;
    }
    std::FILE* f = file_.get();
    const std::string line = text + "\r\n";
    const long pos = std::ftell(f);
    if (pos < 0)
        fail();
    if (pos + static_cast<std::int64_t>(line.size()) > size_) {
        if (std::fwrite(zeros.data(), 1, zeros.size(), f) != zeros.size() || std::fseek(f, pos, SEEK_SET) != 0)
            fail();
        size_ = std::max<std::int64_t>(size_, pos + GrowSize);
    }
    if (std::fwrite(line.data(), 1, line.size(), f) != line.size())
        fail();
    size_ = std::max<std::int64_t>(size_, pos + static_cast<std::int64_t>(line.size()));
    // Kept on disk at once: the log is read after the program ended, maybe abruptly.
    std::fflush(f);
}

// ---------------------------------------------------------------------------
// TCustomApplicationPro

TCustomApplicationPro::TCustomApplicationPro(const TServices& services)
    : services_(services), settings_(services.Settings)
{
    if (services_.Host)
        parameters_ = services_.Host->Parameters();
    if (!gOwningInstance)
        gOwningInstance = this;
}

TCustomApplicationPro::~TCustomApplicationPro()
{
    semaphore_.reset();
    settings_.Close();
    log_.reset();
    if (gOwningInstance == this)
        gOwningInstance = nullptr;
    try {
        HideApplication();
    } catch (...) {
        // A destructor must not throw.
    }
}

TCustomApplicationPro* TCustomApplicationPro::OwningInstance()
{
    return gOwningInstance;
}

TPowerAnswer TCustomApplicationPro::DispatchPowerBroadcast(TPowerBroadcast kind)
{
    return gOwningInstance ? gOwningInstance->DoPowerBroadcast(kind) : TPowerAnswer::paDefault;
}

TPowerAnswer TCustomApplicationPro::DoPowerBroadcast(TPowerBroadcast kind)
{
    switch (kind) {
    case TPowerBroadcast::pbQuerySuspend:
    case TPowerBroadcast::pbQueryStandby:
        return SuspendEnabled ? TPowerAnswer::paDefault : TPowerAnswer::paDeny;
    case TPowerBroadcast::pbSuspend:
    case TPowerBroadcast::pbStandby:
        PowerOff();
        return TPowerAnswer::paDefault;
    case TPowerBroadcast::pbResumeCritical:
    case TPowerBroadcast::pbResumeSuspend:
    case TPowerBroadcast::pbResumeStandby:
        PowerOn();
        return TPowerAnswer::paDefault;
    default:
        return TPowerAnswer::paDefault;
    }
}

void TCustomApplicationPro::SetLogFile(bool value)
{
    logFile_ = value;
    if (!value)
        log_.reset();
}

void TCustomApplicationPro::ApplyExecutionState()
{
    if (services_.Power)
        services_.Power->SetExecutionState(needDisplay_, needSystem_);
}

void TCustomApplicationPro::SetNeedDisplay(bool value)
{
    if (value != needDisplay_) {
        needDisplay_ = value;
        ApplyExecutionState();
    }
}

void TCustomApplicationPro::SetNeedSystem(bool value)
{
    if (value != needSystem_) {
        needSystem_ = value;
        ApplyExecutionState();
    }
}

TSettingsStore& TCustomApplicationPro::Settings()
{
    settings_.SetKeyPath(SettingsKeyPath(Company, Title, MajorVersion));
    return settings_;
}

std::string TCustomApplicationPro::ReadString(const std::string& name, const std::string& defaultValue)
{
    return Settings().ReadString(name, defaultValue);
}

bool TCustomApplicationPro::ReadBool(const std::string& name, bool defaultValue)
{
    return Settings().ReadBool(name, defaultValue);
}

std::int32_t TCustomApplicationPro::ReadInteger(const std::string& name, std::int32_t defaultValue)
{
    return Settings().ReadInteger(name, defaultValue);
}

void TCustomApplicationPro::WriteString(const std::string& name, const std::string& value)
{
    Settings().WriteString(name, value);
}

void TCustomApplicationPro::WriteBool(const std::string& name, bool value)
{
    Settings().WriteBool(name, value);
}

void TCustomApplicationPro::WriteInteger(const std::string& name, std::int32_t value)
{
    Settings().WriteInteger(name, value);
}

void TCustomApplicationPro::WriteLog(const std::string& text)
{
    if (!logFile_)
        return;
    if (!log_ || log_->FileName() != LogFileName)
        log_ = std::make_unique<TLogFile>(LogFileName);
    log_->Write(text);
}

void TCustomApplicationPro::ShowHelp()
{
    if (services_.Launcher)
        services_.Launcher->ShellOpen(DataPath + "Help.html", "", "", TExecWindowStyle::ewShow);
}

void TCustomApplicationPro::HideApplication()
{
    if (!services_.Host)
        return;
    services_.Host->HideApplicationWindow();
    services_.Host->HideMainFormWindow();
}

void TCustomApplicationPro::HideFromTaskBar()
{
    if (services_.Host)
        services_.Host->HideFromTaskBar();
}

void TCustomApplicationPro::CloseApplication()
{
    HideApplication();
    SetCursorVisible(true);
    if (!services_.Host)
        return;
    if (services_.Host->HasMainForm())
        services_.Host->CloseMainForm();
    else
        services_.Host->Terminate();
}

void TCustomApplicationPro::SetCursorVisible(bool visible)
{
    if (services_.Host)
        services_.Host->ShowCursor(visible);
}

void TCustomApplicationPro::CenterMainForm()
{
    if (!services_.Host || !services_.Monitors || !services_.Host->HasMainForm() ||
        !services_.Host->MainFormIsTopLevel())
        return;
    const TRect form = services_.Host->MainFormBounds();
    const TRect screen = services_.Monitors->PrimaryScreen();
    const TFormPosition pos = CenterFormPosition(form.Width, form.Height, screen.Width, screen.Height);
    services_.Host->SetMainFormPosition(pos.Left, pos.Top);
}

void TCustomApplicationPro::DoIdle(bool& done)
{
    if (!idleAttached_) {
        done = true;
        return;
    }
    RunFrame(done);
}

void TCustomApplicationPro::DoException(const std::exception& e)
{
    HandleException(e);
}

void TCustomApplicationPro::Start()
{
    if (state_ == TAppState::Stopped) {
        if (OnStart)
            OnStart();
        state_ = TAppState::Running;
    }
}

void TCustomApplicationPro::Stop()
{
    if (state_ != TAppState::Stopped) {
        if (OnStop)
            OnStop();
        state_ = TAppState::Stopped;
    }
}

void TCustomApplicationPro::HandleException(const std::exception& e)
{
    if (Debug) {
        try {
            WriteLog(e.what());
        } catch (const std::exception&) {
            // A log that cannot be written must not hide the error being reported.
        }
    }
    TIdleDetach detach(*this);
    SetCursorVisible(true);
    if (OnException) {
        OnException(e);
    } else if (services_.Host) {
        services_.Host->ShowMessage(e.what(), services_.Host->Title(), TMessageIcon::miError);
        services_.Host->Terminate();
    }
}

void TCustomApplicationPro::HandleMessage(const TAppMessage& message, bool& handled)
{
    handled = false;
    if (MessageHook)
        MessageHook(message, handled);
}

bool TCustomApplicationPro::HandleHelp(std::uint16_t command, std::int32_t data, bool& callHelp)
{
    return OnHelp ? OnHelp(command, data, callHelp) : false;
}

void TCustomApplicationPro::HandleHint()
{
    if (OnHint)
        OnHint();
}

void TCustomApplicationPro::StartIfStopped(bool& done)
{
    while (state_ == TAppState::Stopped) {
        TIdleDetach detach(*this);
        if (services_.Clock)
            services_.Clock->Sleep(1);
        Start();
        if (services_.Clock)
            services_.Clock->Sleep(1);
        if (state_ == TAppState::Stopped)
            break; // Start refused (nothing to run yet); try again next pass.
    }
    if (IdleHook) {
        TIdleDetach detach(*this);
        IdleHook(done);
    }
    done = false;
    settings_.Close();
}

void TCustomApplicationPro::HandleDeactivate()
{
    if (OnDeactivate)
        OnDeactivate();
}

void TCustomApplicationPro::HandleActivate()
{
    if (OnActivate)
        OnActivate();
}

void TCustomApplicationPro::HandleMinimize()
{
    if (MinimizeHook)
        MinimizeHook();
}

void TCustomApplicationPro::HandleRestore()
{
    if (RestoreHook)
        RestoreHook();
}

void TCustomApplicationPro::HandleShortCut(const TAppMessage& message, bool& handled)
{
    if (OnShortCut)
        OnShortCut(message, handled);
}

void TCustomApplicationPro::HandleShowHint(std::string& hint, bool& canShow)
{
    if (OnShowHint)
        OnShowHint(hint, canShow);
}

void TCustomApplicationPro::PowerOff()
{
    if (OnPowerOff)
        OnPowerOff();
}

void TCustomApplicationPro::PowerOn()
{
    if (OnPowerOn)
        OnPowerOn();
}

void TCustomApplicationPro::Initialize()
{
    IApplicationHost* host = services_.Host;
    if (!host)
        return;
    if (!Title.empty())
        host->SetTitle(Title);
    if (!host->Title().empty())
        Title = host->Title();

    const std::string programPath = host->ProgramPath();
    std::string longPath = host->LongPathName(programPath);
    if (longPath.empty())
        longPath = programPath;
    const TProgramPaths paths = SplitProgramPath(longPath);
    ExeName = paths.ExeName;
    AppName = paths.AppName;
    AppPath = paths.AppPath;
    DataPath = AppPath;
    SystemDir = WithTrailingSeparator(host->SystemDirectory());
    WindowsDir = WithTrailingSeparator(host->WindowsDirectory());
    LogFileName = paths.LogFileName;

    if (SingleInstance && services_.Semaphores) {
        bool alreadyExists = false;
        semaphore_ = services_.Semaphores->Create(AppName + "Semaphore", alreadyExists);
        if (alreadyExists) {
            secondInstance_ = true;
            SetLogFile(false);
            host->Terminate();
            host->SuppressMainForm();
            host->HideMainFormWindow();
        }
    }
}

void TCustomApplicationPro::LoadOptions()
{
    SetMachineRoot(true);
    SetScrambledNames(true);
    DataPath = ReadString(kDataPathName.Text(), DataPath);
    AppPath = ReadString(kAppPathName.Text(), AppPath);
    AppName = ReadString(kAppNameName.Text(), AppName);
    const std::string version = ReadString(kVersionName.Text(), VersionText());
    std::size_t sep = version.find('.');
    if (sep == std::string::npos)
        sep = version.find(',');
    if (sep != std::string::npos) {
        MajorVersion = version.substr(0, sep);
        MinorVersion = version.substr(sep + 1);
    }
    SetNeedDisplay(ReadBool(kNeedDisplayName.Text(), NeedDisplay()));
    SetNeedSystem(ReadBool(kNeedSystemName.Text(), NeedSystem()));
    if (OnLoadOptions) {
        OnLoadOptions();
        CloseRegistry();
    }
}

void TCustomApplicationPro::SaveOptions()
{
    SetMachineRoot(true);
    SetScrambledNames(true);
    WriteString(kDataPathName.Text(), DataPath);
    WriteBool(kNeedDisplayName.Text(), NeedDisplay());
    WriteBool(kNeedSystemName.Text(), NeedSystem());
    if (OnSaveOptions) {
        OnSaveOptions();
        CloseRegistry();
    }
}

// ---------------------------------------------------------------------------
// TCustomGraphicApplicationPro

TCustomGraphicApplicationPro::TCustomGraphicApplicationPro(const TServices& services)
    : TCustomApplicationPro(services)
{
}

TCustomGraphicApplicationPro::~TCustomGraphicApplicationPro() = default;

TTimerPro& TCustomGraphicApplicationPro::Timer()
{
    if (!timer_) {
        if (!services_.Clock)
            RaiseError("TCustomGraphicApplicationPro", "Timer", "no clock");
        timer_ = std::make_unique<TTimerPro>(*services_.Clock);
    }
    return *timer_;
}

void TCustomGraphicApplicationPro::Sleep(std::uint32_t ms)
{
    if (services_.Clock)
        services_.Clock->Sleep(ms);
}

void TCustomGraphicApplicationPro::PaceAndMeasure(bool& done)
{
    if (State() != TAppState::Running) {
        done = false;
        return;
    }
    Sleep(1);
    ++frameCount_;
    if (!Timer().Running()) {
        Timer().StartTimer();
        lastMeasure_ = firstFrame_ = Seconds();
    }
    const long double now = Seconds();
    if (lastMeasure_ > now)
        lastMeasure_ = now;
    if (LowCPUUsage)
        Sleep(17);
    if (now - lastMeasure_ >= 1.0L) {
        Sleep(1);
        const long double elapsed = now - lastMeasure_;
        // Nearest integer, ties to even (the default rounding mode).
        const auto fps = static_cast<std::int32_t>(std::nearbyint(static_cast<long double>(frameCount_) / elapsed));
        if (fps != fps_ && OnFPSChanged) {
            fps_ = fps;
            OnFPSChanged();
        }
        fps_ = fps;
        lastMeasure_ = now;
        frameCount_ = 1;
    }
    if (const std::uint32_t wait = Pacer.WaitMilliseconds(Seconds(), PaceToDisplay()))
        Sleep(wait);
}

void TCustomGraphicApplicationPro::LoadOptions()
{
    SetMachineRoot(true);
    SetScrambledNames(true);
    LowCPUUsage = ReadBool(kLowCPUUsageName.Text(), false);
    TCustomApplicationPro::LoadOptions();
}

void TCustomGraphicApplicationPro::SaveOptions()
{
    SetMachineRoot(true);
    SetScrambledNames(true);
    WriteBool(kLowCPUUsageName.Text(), LowCPUUsage);
    TCustomApplicationPro::SaveOptions();
}
