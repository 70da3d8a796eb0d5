#include "shell/GLScreenSaver.h"

#include <cctype>
#include <cstdlib>

#include "gl/Errors.h"
#include "gl/FastMath.h"
#include "shell/ExecutePro.h"

namespace {

constexpr TScrambled kMouseMoveExitName("MouseMoveExit");
constexpr TScrambled kRunAsProgramName("RunAsProgram");
constexpr TScrambled kPowerOffIndexName("PowerOffIndex");
constexpr TScrambled kMonitorOffIndexName("MonitorOffIndex");
constexpr TScrambled kDataPathName("DataPath");

constexpr float kTimeouts[16] = {-1.0f, 60,   120,  180,  300,   600,   900,   1200,
                                 1500,  1800, 2700, 3600, 7200, 10800, 14400, 18000};

} // namespace

// ---------------------------------------------------------------------------
// Command line

std::string ProgramExtension(const std::string& programPath)
{
    const std::size_t dot = programPath.find_last_of('.');
    const std::size_t slash = programPath.find_last_of("\\/:");
    if (dot == std::string::npos || (slash != std::string::npos && slash > dot))
        return std::string();
    std::string ext = programPath.substr(dot);
    for (char& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

TSaverMode ParseSaverMode(const std::string& programPath, const std::vector<std::string>& parameters)
{
    if (ProgramExtension(programPath) == ".EXE" && parameters.empty())
        return TSaverMode::smProgram;
    if (parameters.empty() || HasSwitch(parameters, 'C'))
        return TSaverMode::smConfigure;
    if (HasSwitch(parameters, 'A'))
        return TSaverMode::smPassword;
    if (HasSwitch(parameters, 'P') || HasSwitch(parameters, 'L'))
        return TSaverMode::smPreview;
    if (HasSwitch(parameters, 'S'))
        return TSaverMode::smSaver;
    return TSaverMode::smProgram;
}

TWindowHandle ParseParentHandle(const std::vector<std::string>& parameters, TWindowHandle foreground)
{
    std::string text;
    if (parameters.size() >= 2) {
        text = parameters[1];
    } else if (!parameters.empty()) {
        const std::size_t colon = parameters[0].find(':');
        if (colon == std::string::npos)
            return foreground;
        text = parameters[0].substr(colon + 1, 20);
    } else {
        return foreground;
    }
    // Window handles are 32-bit values; negative texts wrap as the system would.
    return static_cast<TWindowHandle>(static_cast<std::uint32_t>(StrToIntStrict(text)));
}

float PowerTimeoutSeconds(std::int32_t index)
{
    if (index < 0 || index > 15)
        return -1.0f;
    return kTimeouts[index];
}

// ---------------------------------------------------------------------------
// Exit rules

void TMouseTracker::Reset()
{
    ExitX = -1;
    ExitY = -1;
    SkipMoves = 5;
}

void TMouseTracker::ResetForProgram()
{
    ExitX = 0;
    ExitY = 0;
    SkipMoves = 0;
}

bool TMouseTracker::MoveEnds(bool mouseMoveExit, std::int32_t x, std::int32_t y)
{
    if (!mouseMoveExit)
        return false;
    if (SkipMoves > 0) {
        --SkipMoves;
        return false;
    }
    if (ExitX == -1 && ExitY == -1) {
        ExitX = x;
        ExitY = y;
        return false;
    }
    if (std::abs(x - ExitX) > 2 && std::abs(y - ExitY) > 2) {
        Reset();
        return true;
    }
    return false;
}

TExitDecision DecideExit(const TAppMessage& message, bool mouseMoveExit, TMouseTracker& tracker)
{
    switch (message.Kind) {
    case TMessageKind::mkMouseMove:
        return tracker.MoveEnds(mouseMoveExit, message.X, message.Y) ? TExitDecision::edExit
                                                                       : TExitDecision::edContinue;
    case TMessageKind::mkKeyDown:
        if (message.Key == VK_SHIFT_KEY || message.Key == VK_CONTROL_KEY || message.Key == VK_PRINTSCREEN_KEY)
            return TExitDecision::edContinue;
        return TExitDecision::edExit;
    case TMessageKind::mkButtonUp:
    case TMessageKind::mkButtonDblClk:
    case TMessageKind::mkSysKeyDown:
        return TExitDecision::edExit;
    default:
        return TExitDecision::edPassOn;
    }
}

// ---------------------------------------------------------------------------
// TGLScreenSaver

TGLScreenSaver::TGLScreenSaver(const TServices& services) : TCustomGLApplication(services)
{
    SetNeedDisplay(true);
    HideCursor = true;
    const std::string programPath = services_.Host ? services_.Host->ProgramPath() : std::string();
    mode_ = ParseSaverMode(programPath, parameters_);
    parentHandle_ = ParseParentHandle(parameters_, services_.Host ? services_.Host->ForegroundWindow() : 0);
    if (mode_ == TSaverMode::smPassword)
        ChangePassword();
}

TGLScreenSaver::~TGLScreenSaver()
{
    try {
        if (saverFlagSet_ && services_.Power)
            services_.Power->SetScreenSaverRunning(false);
        if (mode_ == TSaverMode::smConfigure && parentHandle_ != 0 && services_.Host)
            services_.Host->EnableWindow(parentHandle_, true);
    } catch (...) {
        // A destructor must not throw.
    }
}

bool TGLScreenSaver::IsExe() const
{
    return services_.Host && ProgramExtension(services_.Host->ProgramPath()) == ".EXE";
}

bool TGLScreenSaver::IsScr() const
{
    return services_.Host && ProgramExtension(services_.Host->ProgramPath()) == ".SCR";
}

void TGLScreenSaver::SetPowerOffIndex(std::int32_t index)
{
    if (index < 0 || index > 15)
        index = 0;
    powerOffIndex_ = index;
    PowerOffTime = PowerTimeoutSeconds(index);
    SuspendEnabled = index != 0;
}

void TGLScreenSaver::SetMonitorOffIndex(std::int32_t index)
{
    if (index < 0 || index > 15)
        index = 0;
    monitorOffIndex_ = index;
    MonitorOffTime = PowerTimeoutSeconds(index);
}

std::string TGLScreenSaver::SystemFolder()
{
    // The password change runs from the constructor, before Initialize fills SystemDir.
    if (SystemDir.empty() && services_.Host)
        return WithTrailingSeparator(services_.Host->SystemDirectory());
    return SystemDir;
}

void TGLScreenSaver::Initialize()
{
    SetMachineRoot(true);
    SetScrambledNames(true);
    RunAsProgram = ReadBool(kRunAsProgramName.Text(), false);
    SingleInstance = IsExe() || (!RunAsProgram && mode_ == TSaverMode::smSaver);
    TCustomGLApplication::Initialize();
    // A second instance ends at its first message loop; it must not touch the screen.
    if (SecondInstance())
        return;

    if (IsScr() && RunAsProgram) {
        SetMachineRoot(true);
        SetScrambledNames(true);
        DataPath = ReadString(kDataPathName.Text(), DataPath);
        StartAsProgram();
        return;
    }

    IApplicationHost* host = services_.Host;
    if ((mode_ == TSaverMode::smProgram || mode_ == TSaverMode::smSaver) && services_.Power) {
        services_.Power->SetScreenSaverRunning(true);
        saverFlagSet_ = true;
    }
    switch (mode_) {
    case TSaverMode::smSaver:
        SetCursorVisible(false);
        if (host)
            host->HideMainFormAway();
        TerminateOnWindowed = true;
        if (Display())
            Display()->SetFullScreen(true);
        break;
    case TSaverMode::smPreview:
        HideApplication();
        HideFromTaskBar();
        if (host)
            host->HideMainFormAway();
        TerminateOnWindowed = true;
        if (Window())
            Window()->SetParentWindow(parentHandle_);
        break;
    case TSaverMode::smConfigure:
        HideApplication();
        HideFromTaskBar();
        if (parentHandle_ != 0 && host)
            host->EnableWindow(parentHandle_, false);
        break;
    default:
        break;
    }
    if (mode_ == TSaverMode::smProgram)
        tracker_.ResetForProgram();
    else
        tracker_.Reset();
}

void TGLScreenSaver::LoadOptions()
{
    SetMachineRoot(true);
    SetScrambledNames(true);
    MouseMoveExit = ReadBool(kMouseMoveExitName.Text(), MouseMoveExit);
    RunAsProgram = ReadBool(kRunAsProgramName.Text(), false);
    SetPowerOffIndex(ReadInteger(kPowerOffIndexName.Text(), powerOffIndex_));
    SetMonitorOffIndex(ReadInteger(kMonitorOffIndexName.Text(), monitorOffIndex_));
    TCustomGLApplication::LoadOptions();
}

void TGLScreenSaver::SaveOptions()
{
    SetMachineRoot(true);
    SetScrambledNames(true);
    WriteBool(kMouseMoveExitName.Text(), MouseMoveExit);
    WriteBool(kRunAsProgramName.Text(), RunAsProgram);
    WriteInteger(kPowerOffIndexName.Text(), powerOffIndex_);
    WriteInteger(kMonitorOffIndexName.Text(), monitorOffIndex_);
    TCustomGLApplication::SaveOptions();
}

bool TGLScreenSaver::PasswordNeeded()
{
    if (!services_.Settings)
        return false;
    try {
        auto key = services_.Settings->OpenKey(THive::hkCurrentUser, "Control Panel\\desktop", false);
        if (!key || !key->ValueExists("ScreenSaveUsePassword"))
            return false;
        return StrToIntStrict(key->ReadString("ScreenSaveUsePassword")) != 0;
    } catch (const std::exception&) {
        // An unreadable flag must not lock the user in the saver: the system's
        // password check decides (and accepts when it is not available).
        return true;
    }
}

bool TGLScreenSaver::VerifyPassword()
{
    if (!services_.Passwords)
        return true;
    const TWindowHandle owner = services_.Host ? services_.Host->ForegroundWindow() : 0;
    SetCursorVisible(true);
    TPasswordResult result;
    try {
        result = services_.Passwords->VerifyPassword(SystemFolder(), owner);
    } catch (...) {
        // The cursor is hidden again whatever the password check raised.
        SetCursorVisible(false);
        throw;
    }
    SetCursorVisible(false);
    return result != TPasswordResult::prRejected;
}

void TGLScreenSaver::ChangePassword()
{
    if (services_.Passwords)
        services_.Passwords->ChangePassword(SystemFolder(), parentHandle_);
    CloseApplication();
}

void TGLScreenSaver::StartAsProgram()
{
    IApplicationHost* host = services_.Host;
    if (host)
        host->HideMainFormAway();
    try {
        TExecutePro exec(services_.Launcher, host, services_.Clock);
        exec.WindowStyle = TExecWindowStyle::ewShow;
        exec.Wait = true;
        exec.Mode = TExecMode::emProcess;
        exec.DefaultDirectory = DataPath;
        if (services_.Launcher)
            services_.Launcher->SetOwnPriorityIdle();
        std::string commandLine = DataPath + AppName + ".EXE";
        for (const std::string& p : parameters_)
            commandLine += " " + p;
        exec.Execute(commandLine);
    } catch (const std::exception&) {
        RaiseMessage("TGLScreenSaver.StartAsProgram error: run " + DataPath + AppName + ".EXE " +
                     (parameters_.empty() ? std::string() : parameters_[0]));
    }
    CloseApplication();
}

void TGLScreenSaver::EndRun()
{
    if (mode_ == TSaverMode::smSaver) {
        if (PasswordNeeded()) {
            if (Context() && Context()->Active() && Window())
                Context()->PaintSwap(Window()->DC);
            SetCursorVisible(true);
            bool accepted;
            try {
                accepted = VerifyPassword();
            } catch (...) {
                // The cursor is hidden again whatever the password check raised.
                SetCursorVisible(false);
                throw;
            }
            SetCursorVisible(false);
            if (!accepted) {
                tracker_.Reset();
                return;
            }
        }
        Display()->SetFullScreen(false);
        CloseApplication();
    } else {
        Display()->SetFullScreen(false);
    }
}

void TGLScreenSaver::HandleMessage(const TAppMessage& message, bool& handled)
{
    if (!Display() || !Display()->FullScreen()) {
        TCustomGLApplication::HandleMessage(message, handled);
        return;
    }
    handled = false;
    const TExitDecision decision = DecideExit(message, MouseMoveExit, tracker_);
    if (decision == TExitDecision::edPassOn) {
        TCustomGLApplication::HandleMessage(message, handled);
        return;
    }
    if (decision == TExitDecision::edContinue)
        return;
    handled = true;
    try {
        EndRun();
    } catch (...) {
        // The run continues; a failing password check must not end the program.
    }
}

void TGLScreenSaver::SaverChecks()
{
    if (mode_ == TSaverMode::smConfigure)
        Sleep(4);
    if (mode_ != TSaverMode::smSaver)
        return;
    if (PowerOffTime > 0 && Seconds() > PowerOffTime)
        PowerOffSystem();
    if (MonitorOffTime > 0 && Seconds() > MonitorOffTime)
        MonitorOff();
}

void TGLScreenSaver::PowerOffSystem()
{
    PowerOffTime = -1.0f;
    SuspendEnabled = true;
    if (services_.Power)
        services_.Power->SuspendSystem();
}

void TGLScreenSaver::PowerOff()
{
    SuspendEnabled = false;
    TCustomGLApplication::PowerOff();
    if (Display() && Display()->FullScreen())
        Display()->SetFullScreen(false);
    CloseApplication();
}

void TGLScreenSaver::MonitorOff()
{
    MonitorOffTime = -1.0f;
    OnRender = [](float, bool) {};
    Viewport().ClearMode = cmColor;
    if (Window())
        Window()->Color = 0;
    if (OnPowerOff)
        OnPowerOff();
    if (services_.Power)
        services_.Power->MonitorPowerOff();
}
