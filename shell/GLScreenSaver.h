#pragma once
// The screen-saver component: the command line's mode, the start-up action of
// each mode, the rules that end a full-screen run with the system's password
// check, the power-off and monitor-off timers, and handing the run over to the
// program form of the file.
#include <cstdint>
#include <string>
#include <vector>

#include "shell/GLApp.h"

enum class TSaverMode : std::uint8_t { smProgram = 0, smSaver = 1, smPreview = 2, smConfigure = 3, smPassword = 4 };

// Upper-cased extension of the program path (".SCR", ".EXE", or empty).
std::string ProgramExtension(const std::string& programPath);
// The mode from the program's extension and the parameters (program excluded).
TSaverMode ParseSaverMode(const std::string& programPath, const std::vector<std::string>& parameters);
// The window named on the command line: the second parameter, else the text after
// the first ":" of the first; otherwise foreground. Raises
// "'<text>' is not a valid integer value" for a handle that is not a number.
TWindowHandle ParseParentHandle(const std::vector<std::string>& parameters, TWindowHandle foreground);

// Seconds of a time-out choice 0..15 (-1 = none); other indexes count as none.
float PowerTimeoutSeconds(std::int32_t index);

// Remembers where the mouse was so that only a real move ends the run.
class TMouseTracker {
public:
    std::int32_t ExitX = -1, ExitY = -1;
    std::int32_t SkipMoves = 5;

    // The saver modes' start: no point yet, five moves ignored.
    void Reset();
    // The program mode's start: point (0, 0), nothing ignored.
    void ResetForProgram();
    // True when a move to (x, y) ends the run: the first five moves are ignored, the
    // sixth sets the point, then only a move of more than 2 pixels on both axes.
    bool MoveEnds(bool mouseMoveExit, std::int32_t x, std::int32_t y);
};

enum class TExitDecision { edPassOn, edContinue, edExit };
// What a message does to a full-screen run.
TExitDecision DecideExit(const TAppMessage& message, bool mouseMoveExit, TMouseTracker& tracker);

class TGLScreenSaver : public TCustomGLApplication {
public:
    // Reads the mode and the parent window from the command line (may raise for a
    // non-numeric window handle); in smPassword mode runs the password change at once.
    explicit TGLScreenSaver(const TServices& services);
    ~TGLScreenSaver() override;

    bool MouseMoveExit = false;
    bool RunAsProgram = false;

    TSaverMode Mode() const { return mode_; }
    std::int32_t PowerOffIndex() const { return powerOffIndex_; }
    void SetPowerOffIndex(std::int32_t index);
    std::int32_t MonitorOffIndex() const { return monitorOffIndex_; }
    void SetMonitorOffIndex(std::int32_t index);
    float PowerOffTime = -1.0f;
    float MonitorOffTime = -1.0f;
    TMouseTracker& Tracker() { return tracker_; }

    bool IsExe() const;
    bool IsScr() const;

    bool PasswordNeeded();
    bool VerifyPassword();
    void ChangePassword();
    void StartAsProgram();
    void PowerOffSystem();
    void MonitorOff();

    void Initialize() override;
    void LoadOptions() override;
    void SaveOptions() override;
    void HandleMessage(const TAppMessage& message, bool& handled) override;
    void PowerOff() override;

protected:
    // Frame step after the frame: a 4 ms rest in the configuration mode; in
    // the saver mode the power-off and monitor-off timers.
    void SaverChecks() override;

private:
    std::string SystemFolder();
    void EndRun();

    TSaverMode mode_ = TSaverMode::smProgram;
    TWindowHandle parentHandle_ = 0;
    std::int32_t powerOffIndex_ = 0;
    std::int32_t monitorOffIndex_ = 0;
    TMouseTracker tracker_;
    bool saverFlagSet_ = false;
};
