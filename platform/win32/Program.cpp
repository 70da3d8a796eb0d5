#include "platform/win32/Program.h"

#include "app/FSettings.h"
#include "shell/AppOpenGL.h"
#include "shell/DisplayControl.h"
#include "shell/GLScreenSaver.h"
#include "sound/SoundClasses.h"
#include "platform/win32/DialogViews.h"
#include "platform/win32/ProgramResources.h"
#include "platform/win32/WglDriver.h"
#include "platform/win32/WinGLWindow.h"
#include "platform/win32/WinGdiGlyphs.h"
#include "platform/win32/WinPlatform.h"
#include "platform/win32/WinWaveOutput.h"


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

    TDefViewport& viewport = saver.Viewport();
    viewport.ClearMode = cmDepth;
    viewport.Camera.Position = {0, 105, 240};
    viewport.Camera.Direction = {0, 0, -1};
    viewport.Camera.Up = {0, 1, 0};
    viewport.FOV = 39.0;
    viewport.NearDepth = 100.0;
    viewport.FarDepth = 10000.0;
    viewport.Perspective = true;
    viewport.Enabled = true;
    viewport.Cleared = true;
    viewport.Stretch = true;
    viewport.WideScreen = false;

    display.Loading = true;
    display.DesktopOnly = false;
    display.SetFullScreen(false);
    TScreenMode stored;
    stored.SetColorDepth(16);
    stored.SetScreenSize(41943520);
    display.SetFullScreenMode(stored);
    display.Loading = false;
}

} // namespace

int RunPyrelume()
{
    InstallWin32ProgramResources();
    TWin32Platform platform;
    TWinApplication& host = platform.Application;
    const TPlatform services = platform.Services();

    TWinGdiGlyphs glyphs;
    SetGlyphRasterizer(&glyphs);
    SoundDevice().SetOutput(CreateWinWaveOutput());

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

        TFormSettings form;
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
        SoundDevice().SetOutput(nullptr);
    } catch (const std::exception& e) {
        host.Attach(nullptr);
        host.MessageBox(e.what(), host.Title(), TMessageIcon::miError);
        exitCode = 1;
    }
    SetGlyphRasterizer(nullptr);
    return exitCode;
}
