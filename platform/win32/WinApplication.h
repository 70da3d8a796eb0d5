#pragma once
// The GUI side of the program on Windows: the application object (its hidden
// top-level window, title, termination, message boxes, cursor), the main form
// with the panel that holds the output window, the hidden event window that
// receives power broadcasts, and the message loop, which hands every queued
// message to the application's message handler first and runs its idle
// handler whenever the queue is empty (as long as the handler reports that it
// is not done, the loop never waits).
//
// No <windows.h> here; handles are carried as TWindowHandle.
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "platform/Services.h"

class TCustomApplicationPro;

// Splits a command line the way the program's parameters are counted: blanks
// separate parameters, double quotes group blanks into one and are removed.
// The first item is the program itself.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

class TWinApplication : public IApplicationHost {
public:
    // Creates the hidden application window and the main form (not shown yet).
    TWinApplication();
    ~TWinApplication() override;
    TWinApplication(const TWinApplication&) = delete;
    TWinApplication& operator=(const TWinApplication&) = delete;

    // The application whose handlers the loop calls (messages, idle,
    // exceptions, activation). Null detaches.
    void Attach(TCustomApplicationPro* app) { app_ = app; }
    TCustomApplicationPro* Attached() const { return app_; }

    // The hidden 1 x 1 "AppEvents" window that forwards power broadcasts to
    // the owning application instance. Failures are reported in a message box
    // and the program continues without it.
    void CreateEventWindow();
    void DestroyEventWindow();
    TWindowHandle EventWindow() const { return eventWindow_; }

    // Shows the main form (unless it was suppressed or hidden away), then
    // processes messages and idle passes until the application terminates.
    void Run();
    // Takes one message from the queue and handles it; false when the queue was empty.
    bool ProcessMessage();
    // Reports an exception caught inside a window procedure or the loop.
    void ReportException(const std::exception& e);

    // The main form and the panel the output window lives in when it is
    // neither full screen nor inside another program's window. A dialog view
    // may bring its own form; the host then no longer owns a form window.
    TWindowHandle MainForm() const { return mainForm_; }
    TWindowHandle PreviewPanel() const { return previewPanel_ ? previewPanel_ : mainForm_; }
    void SetMainForm(TWindowHandle form, TWindowHandle previewPanel);
    bool MainFormHiddenAway() const { return hiddenAway_; }
    bool MainFormSuppressed() const { return suppressed_; }

    // Called when the main form is closed by the user.
    std::function<void()> OnMainFormClose;

    // IApplicationHost
    std::string ProgramPath() override;
    std::string LongPathName(const std::string& path) override;
    std::string SystemDirectory() override;
    std::string WindowsDirectory() override;
    std::vector<std::string> Parameters() override;
    std::string Title() override { return title_; }
    void SetTitle(const std::string& title) override;
    void Terminate() override;
    bool Terminated() override { return terminated_; }
    void Halt() override;
    void ProcessMessages() override;
    void ShowMessage(const std::string& text, const std::string& caption, TMessageIcon icon) override;
    void HideApplicationWindow() override;
    void HideFromTaskBar() override;
    void ShowCursor(bool visible) override;
    void SetBusyCursor(bool busy) override;
    TWindowHandle ForegroundWindow() override;
    void EnableWindow(TWindowHandle window, bool enabled) override;
    bool HasMainForm() override { return mainForm_ != 0; }
    bool MainFormIsTopLevel() override;
    TRect MainFormBounds() override;
    void SetMainFormPosition(std::int32_t left, std::int32_t top) override;
    void HideMainFormWindow() override;
    void HideMainFormAway() override;
    void SetMainFormEnabled(bool enabled) override;
    void CloseMainForm() override;
    void SuppressMainForm() override;

    // Window procedures (internal).
    static std::intptr_t MainFormMessage(TWindowHandle window, unsigned message, std::uintptr_t wParam,
                                         std::intptr_t lParam);
    static std::intptr_t EventWindowMessage(TWindowHandle window, unsigned message, std::uintptr_t wParam,
                                            std::intptr_t lParam);

private:
    void CreateMainForm();
    void Idle();

    TCustomApplicationPro* app_ = nullptr;
    TWindowHandle appWindow_ = 0;
    TWindowHandle mainForm_ = 0;
    TWindowHandle previewPanel_ = 0;
    TWindowHandle eventWindow_ = 0;
    bool ownsMainForm_ = false;
    bool eventClassRegistered_ = false;
    std::string title_;
    bool terminated_ = false;
    bool hiddenAway_ = false;
    bool appHidden_ = false;
    bool suppressed_ = false;
    bool inException_ = false;
    bool dialogKeys_ = false;  // the main form is a dialog with keyboard navigation
    bool taskBarHidden_ = false;
    void OwnMainFormByAppWindow();
};

// The process-wide application object (the one constructed last), for the
// window procedures.
TWinApplication* CurrentWinApplication();
