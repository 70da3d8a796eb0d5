#include "platform/win32/Program.h"

#include "app/FSettings.h"
#include "app/FireplaceFrame.h"
#include "shell/AppOpenGL.h"
#include "shell/DisplayControl.h"
#include "shell/GLScreenSaver.h"
#include "platform/win32/DialogViews.h"
#include "platform/win32/WglDriver.h"
#include "platform/win32/WinGLWindow.h"
#include "platform/win32/WinPlatform.h"


#include <memory>

namespace {

// The values the main form stores for its components.
void ApplyStoredProperties(TGLScreenSaver& saver, TGLDisplay& display)
{
    saver.Title = "Pyrelume";
    saver.Company = "Varnel Software";
    saver.MajorVersion = "3";
    saver.MinorVersion = "0";
    saver.SetLogFile(false);
    saver.Debug = false;
    saver.SuspendEnabled = false;
    saver.SetNeedDisplay(false);
    saver.SetNeedSystem(false);
    saver.MouseMoveExit = false;
    saver.RunAsProgram = false;
    saver.Active = true;

    saver.Viewport() = FireplaceViewport();

    display.Loading = true;
    display.DesktopOnly = false;
    display.SetFullScreen(false);
    TScreenMode stored;
    stored.SetColorDepth(kFireplaceFullScreenDepth);
    stored.SetScreenSize(kFireplaceFullScreenSize);
    display.SetFullScreenMode(stored);
    display.Loading = false;
}

} // namespace

int RunPyrelume()
{
    TWin32Platform platform;
    TWinApplication& host = platform.Application;
    const TServices services = platform.Services();

    int exitCode = 0;
    try {
        // The components live longer than the screen saver that links them.
        TGLDisplay display(services.DisplaySettings, services.Host);
        TWinGLWindow window(host, platform.Monitors);
        // Reads the command line (a window handle that is not a number raises here).
        TGLScreenSaver saver(services);

        auto context = std::make_unique<TAppGLContext>(std::make_unique<TWglDriver>());
        TCustomOpenGL* gl = &context->GL();
        saver.SetContext(std::move(context));
        saver.SetDisplay(&display);
        saver.SetWindow(&window);
        ApplyStoredProperties(saver, display);
        host.Attach(&saver);
        host.CreateEventWindow();

        TFormSettings form(services);
        // In the program and configuration modes the settings dialog is the
        // main form and the output window lives in its preview panel.
        std::unique_ptr<TSettingsDialogWindow> dialog = CreateSettingsDialogWindow(host, form, saver);
        try {
            display.Loaded();
            saver.Loaded();
            if (!host.Terminated() && !host.MainFormSuppressed()) {
                // The form hooks the saver's events as it is shown.
                form.WireEvents(saver, gl);
                // The form's child windows get their handles as it is shown.
                saver.ShowGLWindow();
                if (dialog)
                    dialog->Show();
            }
        } catch (const std::exception& e) {
            host.ReportException(e);
        }
        host.Run();
        try {
            saver.Stop();
        } catch (const std::exception& e) {
            host.ReportException(e);
        }
        host.Attach(nullptr);
    } catch (const std::exception& e) {
        host.Attach(nullptr);
        host.ShowMessage(e.what(), host.Title(), TMessageIcon::miError);
        exitCode = 1;
    }
    return exitCode;
}
