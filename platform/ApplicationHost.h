#pragma once
// The GUI framework as the shell sees it: the application object, its main
// form and message boxes.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/PlatformTypes.h"

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
    virtual void ShowMessage(const std::string& text, const std::string& caption, TMessageIcon icon) = 0;

    // The application's hidden top-level window.
    virtual void HideApplicationWindow() = 0;
    virtual void HideFromTaskBar() = 0;
    // One step of the system's cursor counter.
    virtual void ShowCursor(bool visible) = 0;
    // The hourglass while the program is busy (true), the normal cursor again (false).
    virtual void SetBusyCursor(bool busy) {}

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
