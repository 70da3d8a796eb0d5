#include "shell/GLApp.h"

#include <algorithm>
#include <cmath>

#include "assets/Streams.h"
#include "gl/Errors.h"
#include "shell/ScreenShot.h"

namespace {

constexpr TScrambled kMonitorName("Monitor");
constexpr TScrambled kDesktopOnlyName("DesktopOnly");
constexpr TScrambled kFullScreenModeName("FullScreenMode");
constexpr TScrambled kWaitSyncName("WaitSync");
constexpr TScrambled kDirectXName("DirectX");
constexpr TScrambled kFilmNameName("FilmName");
constexpr TScrambled kFilmTimeName("FilmTime");
constexpr TScrambled kFilmFPSName("FilmFPS");
constexpr TScrambled kScreenShotsName("ScreenShots");
constexpr TScrambled kJPEGQualityName("JPEGQuality");
constexpr TScrambled kWideScreenName("WideScreen");

constexpr float kAspect4x3 = 1.3333334f;
constexpr float kAspect16x9 = 1.7777778f;

const char* const kNoAccelerationWarning =
    "Warning! In this video mode, hardware 3D acceleration was not detected! The program runs in Software "
    "Rendering mode with lower performance and quality! Try to change Color Depth of your Windows desktop to "
    "High Color (16 bits) and update your video drivers. See the HELP for more details.";

const char* const kNoColorDepthWarning =
    "Warning! In this video mode, hardware 3D acceleration was not detected! \r\n"
    "You need to change Color Depth of your Windows desktop to High Color (16 bits) to run this program!";

} // namespace

// ---------------------------------------------------------------------------
// Viewport maths

TOpenGLCamera::TOpenGLCamera()
{
    Position = {0, 0, 200};
    const TGLVector dir = Normalize(VectorSub(MakeVector(0, 0, 0), MakeVector(0, 0, 200)));
    Direction = {dir.X, dir.Y, dir.Z};
    const TGLVector up = Normalize(MakeVector(0, 1, 0));
    Up = {up.X, up.Y, up.Z};
}

TDefViewport::TDefViewport()
{
    Camera.Position = {0, 0, -0.00005f};
}

void TDefViewport::Assign(const TDefViewport& other)
{
    Camera = other.Camera;
    FOV = other.FOV;
    NearDepth = other.NearDepth;
    FarDepth = other.FarDepth;
    Perspective = other.Perspective;
    Enabled = other.Enabled;
    Cleared = other.Cleared;
}

TFrustum PerspectiveFrustum(double fovDegrees, double aspect, double nearDepth, double farDepth)
{
    TGLViewport v;
    v.SetPerspective(fovDegrees, aspect, nearDepth, farDepth);
    return v.Frustum;
}

TFrustum TDefViewport::GetFrustum() const
{
    const float a = (WideScreen && !Stretch) ? kAspect16x9 : kAspect4x3;
    return PerspectiveFrustum(FOV, static_cast<double>(a), NearDepth, FarDepth);
}

TOutputSize ViewportOutputSize(const TViewportEnvironment& env)
{
    if (!env.FullScreen || !env.Monitors)
        return {env.WindowWidth, env.WindowHeight};
    IMonitorInfo& m = *env.Monitors;
    const std::int32_t count = m.MonitorCount();
    if (env.Monitor < 0 || count <= 1) {
        const TRect p = m.PrimaryScreen();
        return {p.Width, p.Height};
    }
    if (env.Monitor < count) {
        const TRect r = m.MonitorRect(env.Monitor);
        return {r.Width, r.Height};
    }
    if (env.Monitor == count + 1) {
        const TRect v = m.VirtualDesktop();
        return {v.Width, v.Height};
    }
    if (env.Monitor == count) {
        const TRect a = m.MonitorRect(0);
        const TRect b = m.MonitorRect(1);
        return {a.Width + b.Width, std::max(a.Height, b.Height)};
    }
    // A selection beyond the known choices (a monitor was removed): the primary screen.
    const TRect p = m.PrimaryScreen();
    return {p.Width, p.Height};
}

TRect FullScreenOutputArea(const TViewportEnvironment& env)
{
    IMonitorInfo& m = *env.Monitors;
    const std::int32_t count = m.MonitorCount();
    const TOutputSize out = ViewportOutputSize(env);
    if (env.Monitor >= 0 && env.Monitor < count && count > 1)
        return m.MonitorRect(env.Monitor);
    if (env.Monitor == count + 1 && count > 1)
        return m.VirtualDesktop();
    if (env.Monitor == count && count > 1) {
        const TRect a = m.MonitorRect(0);
        const TRect b = m.MonitorRect(1);
        return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), out.Width, out.Height};
    }
    return {0, 0, out.Width, out.Height}; // the primary screen sits at the origin
}

TViewportSetup ComputeViewportSetup(TDefViewport& viewport, const TViewportEnvironment& env)
{
    TViewportSetup s;
    const TOutputSize out = ViewportOutputSize(env);
    s.Width = out.Width;
    s.Height = out.Height;
    if (env.FullScreen && env.Monitors) {
        // The picture sits where its monitors are inside the full-screen window
        // (which may span the whole virtual desktop, with monitors left of or
        // above the primary one); GL counts rows from the bottom.
        const TRect window = FullScreenWindowBounds(env.Monitor, *env.Monitors);
        const TRect area = FullScreenOutputArea(env);
        s.Left = area.Left - window.Left;
        s.Bottom = env.WindowHeight - (area.Top - window.Top) - area.Height;
    }

    // A zero-height output (a minimised window) has no shape to measure; it must
    // not switch wide screen on.
    const bool measurable = out.Height > 0 && out.Width > 0;
    float a = measurable ? static_cast<float>(out.Width) / static_cast<float>(out.Height) : kAspect4x3;
    if (viewport.Stretch)
        a = kAspect4x3;

    if (!viewport.WideScreen) {
        if (env.FullScreen) {
            if (env.Monitors) {
                const TRect d = env.Monitors->PrimaryScreen();
                if (d.Height > 0)
                    viewport.WideScreen = static_cast<long double>(d.Width) / static_cast<long double>(d.Height) > 1.6L;
            }
        } else if (measurable) {
            viewport.WideScreen = a > 1.6f;
        }
    }

    double aspect;
    if (viewport.Stretch)
        aspect = static_cast<double>(a);
    else
        aspect = viewport.WideScreen ? 16.0 / 9.0 : 4.0 / 3.0;

    s.FOV = viewport.FOV;
    s.Aspect = aspect;
    s.NearDepth = viewport.NearDepth;
    s.FarDepth = viewport.FarDepth;
    s.Ortho = {0, static_cast<double>(env.WindowWidth), 0, static_cast<double>(env.WindowHeight), viewport.NearDepth,
               viewport.FarDepth};
    s.Perspective = viewport.Perspective;
    s.Direction = Normalize(viewport.Camera.Direction.AsVector());
    s.Up = Normalize(viewport.Camera.Up.AsVector());
    s.Position = viewport.Camera.Position.AsVector();
    s.Cleared = viewport.Cleared;
    s.ClearColor = MakeColor(static_cast<float>(env.WindowColor & 0xFF) / 255.0f,
                             static_cast<float>((env.WindowColor >> 8) & 0xFF) / 255.0f,
                             static_cast<float>((env.WindowColor >> 16) & 0xFF) / 255.0f, 1.0f);
    s.ClearWidth = env.WindowWidth;
    s.ClearHeight = env.WindowHeight;
    s.ClearMode = viewport.ClearMode;
    return s;
}

void MaskFPUExceptions()
{
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
    const unsigned short cw = 0x133F;
    __asm__ __volatile__("fldcw %0" : : "m"(cw));
#endif
}

// ---------------------------------------------------------------------------
// TCustomGLWindow

TCustomGLWindow::~TCustomGLWindow()
{
    if (Freed)
        Freed();
}

void TCustomGLWindow::ClearCallbacks()
{
    Freed = nullptr;
    IsFullScreen = nullptr;
    ContextActive = nullptr;
    DeviceContextCreated = nullptr;
    CloseRequest = nullptr;
    WindowDestroyed = nullptr;
    OnResize = nullptr;
    Exposed = nullptr;
}

void TCustomGLWindow::HandleCreated(TDeviceContext dc)
{
    DC = dc;
    if (DeviceContextCreated)
        DeviceContextCreated(dc);
}

void TCustomGLWindow::HandleResized(std::int32_t width, std::int32_t height)
{
    if (OnResize)
        OnResize(width, height);
}

void TCustomGLWindow::HandleDestroyed()
{
    if (WindowDestroyed)
        WindowDestroyed();
    DC = 0;
}

TRect FullScreenWindowBounds(std::int32_t monitor, IMonitorInfo& monitors)
{
    if (monitor >= 0 && monitor < monitors.MonitorCount())
        return monitors.MonitorRect(monitor);
    return monitors.VirtualDesktop();
}

// ---------------------------------------------------------------------------
// TCustomGLApplication

TCustomGLApplication::TCustomGLApplication(const TServices& services) : TCustomGraphicApplicationPro(services) {}

TCustomGLApplication::~TCustomGLApplication()
{
    powerBlocked_ = true;
    try {
        if (display_ && display_->FullScreen())
            display_->SetFullScreen(false);
    } catch (...) {
        // A destructor must not throw.
    }
    if (display_) {
        display_->ModeFilter = nullptr;
        display_->BeforeSwitch = nullptr;
        display_->AfterSwitch = nullptr;
        display_->Freed = nullptr;
    }
    if (window_)
        window_->ClearCallbacks();
    try {
        if (ContextActive())
            context_->Deactivate();
    } catch (...) {
        // A destructor must not throw.
    }
    context_.reset();
}

void TCustomGLApplication::SetContext(std::unique_ptr<IAppGLContext> context)
{
    if (context_)
        context_->SetRestartHandler(nullptr);
    context_ = std::move(context);
    if (context_)
        context_->SetRestartHandler([this](TGLRenderer r) { SetRenderer(r); });
}

void TCustomGLApplication::SetDisplay(TCustomGLDisplay* display)
{
    if (display_ == display)
        return;
    if (display_) {
        display_->ModeFilter = nullptr;
        display_->BeforeSwitch = nullptr;
        display_->AfterSwitch = nullptr;
        display_->Freed = nullptr;
    }
    display_ = display;
    if (display_) {
        display_->ModeFilter = [](std::int32_t depth, std::int32_t, std::int32_t height) {
            return depth >= 16 && height >= 480;
        };
        display_->AfterSwitch = [this] { DisplayChanged(); };
        display_->BeforeSwitch = [this] { LoadDisplayOptions(); };
        display_->Freed = [this] { display_ = nullptr; };
    }
}

void TCustomGLApplication::SetWindow(TCustomGLWindow* window)
{
    if (window_ == window)
        return;
    if (window_)
        window_->ClearCallbacks();
    window_ = window;
    if (!window_)
        return;
    window_->IsFullScreen = [this] { return display_ && display_->FullScreen(); };
    window_->ContextActive = [this] { return ContextActive(); };
    window_->DeviceContextCreated = [this](TDeviceContext dc) { DeviceContext = dc; };
    window_->CloseRequest = [this] {
        const bool full = display_ && display_->FullScreen();
        if (full)
            display_->SetFullScreen(false);
        if (TerminateOnWindowed && services_.Host)
            services_.Host->Terminate();
        return full;
    };
    window_->WindowDestroyed = [this] {
        StopOpenGL();
        DeviceContext = 0;
    };
    window_->OnResize = [this](std::int32_t w, std::int32_t h) { ResizeViewport(w, h); };
    window_->Exposed = [this] {
        if (ContextActive())
            context_->InvalidateFront();
    };
    window_->Freed = [this] { window_ = nullptr; };
}

std::int32_t TCustomGLApplication::MonitorCount() const
{
    return services_.Monitors ? services_.Monitors->MonitorCount() : 1;
}

void TCustomGLApplication::StartOpenGL(TDeviceContext dc)
{
    if (!context_ || context_->Active())
        return;
    context_->Activate(dc);
    if (context_->Active()) {
        Pacer.SetRefreshRate(Services().DisplaySettings ? Services().DisplaySettings->DesktopMode().Frequency : 0);
        context_->SetBaseState();
        if (OnStartOpenGL)
            OnStartOpenGL();
        openGLStarted_ = true;
    }
}

void TCustomGLApplication::StopOpenGL()
{
    if (!ContextActive())
        return;
    if (OnStopOpenGL)
        OnStopOpenGL();
    context_->Deactivate();
    openGLStarted_ = context_->Active();
}

void TCustomGLApplication::ResizeViewport(std::int32_t width, std::int32_t height)
{
    if (OnResizeViewport && ContextActive())
        OnResizeViewport(width, height);
}

void TCustomGLApplication::StartContextOnce()
{
    if (!Active || openGLStarted_ || DeviceContext == 0)
        return;
    Sleep(1);
    StartOpenGL(DeviceContext);
    Sleep(1);
    if (window_)
        ResizeViewport(window_->ClientWidth(), window_->ClientHeight());
    Sleep(1);
}

bool TCustomGLApplication::ReadyToDraw()
{
    return Active && window_ && ContextActive() && OnRender;
}

float TCustomGLApplication::FrameTime()
{
    const long double now = Seconds();
    if (LastRenderTime == 0)
        LastRenderTime = now;
    const float deltaTime = static_cast<float>(now - LastRenderTime);
    LastRenderTime = now;
    MaskFPUExceptions();
    return deltaTime;
}

void TCustomGLApplication::UpdateFrame(float dt)
{
    if (OnUpdate)
        OnUpdate(dt);
}

void TCustomGLApplication::CopyFlame()
{
    if (OnCopyFlame)
        OnCopyFlame();
}

void TCustomGLApplication::RenderFrame(float dt)
{
    if (!OnRender || !ContextActive())
        return;
    ApplyViewport();
    OnRender(dt, false);
}

void TCustomGLApplication::SwapFrame()
{
    if (!OnRender || !ContextActive())
        return;
    MaskFPUExceptions();
    context_->SwapBuffers(DeviceContext);
}

void TCustomGLApplication::ApplyViewport()
{
    if (!viewport_.Enabled || !window_ || !display_ || !context_)
        return;
    TViewportEnvironment env;
    env.FullScreen = display_->FullScreen();
    env.Monitor = window_->Monitor;
    env.WindowWidth = window_->ClientWidth();
    env.WindowHeight = window_->ClientHeight();
    env.WindowColor = window_->Color;
    env.Monitors = services_.Monitors;
    context_->ApplyViewport(ComputeViewportSetup(viewport_, env));
}

void TCustomGLApplication::ShowGLWindow()
{
    if (window_ && !window_->HandleAllocated())
        window_->ShowWithHandle();
}

void TCustomGLApplication::HideGLWindow()
{
    if (window_ && window_->HandleAllocated())
        window_->HideAndDestroyHandle();
}

void TCustomGLApplication::SetRenderer(TGLRenderer renderer)
{
    if (!context_)
        return;
    if (renderer != context_->EffectiveRenderer() && context_->Active()) {
        HideGLWindow();
        context_->UnloadLibrary();
        context_->StoreRenderer(renderer);
        ShowGLWindow();
    } else {
        context_->StoreRenderer(renderer);
    }
}

void TCustomGLApplication::SaveScreenShot(const std::string& fileName)
{
    if (!ScreenShots || !ContextActive() || !window_)
        return;
    // After a swap the back buffer holds nothing defined, and the front buffer
    // cannot be read back everywhere: draw the current frame again (no time
    // passes) and capture it before it is shown.
    if (OnRender) {
        ApplyViewport();
        OnRender(0.0f, false);
    }
    TCapturedImage image;
    if (!context_->Capture(window_->ClientWidth(), window_->ClientHeight(), image))
        return;
    const std::string name = NumberedFileName(fileName, context_->CaptureCount());
    const TBitmapImage bitmap = BitmapFromCapture(image.Rgb.data(), image.Rgb.size(), image.Width, image.Height);
    switch (ImageFileKindOf(name)) {
    case TImageFileKind::ikBmp:
        WriteFileBytes(name, EncodeBmp24(bitmap));
        break;
    case TImageFileKind::ikJpeg:
        WriteFileBytes(name, EncodeJpeg(bitmap, JPEGQuality));
        break;
    case TImageFileKind::ikNone:
        break;
    }
}

void TCustomGLApplication::RecordFilm(std::int32_t seconds, std::int32_t framesPerSecond, const std::string& fileName)
{
    if (!ScreenShots || !Active || !window_ || !ContextActive())
        return;
    if (framesPerSecond <= 0 || seconds <= 0)
        return;
    context_->ResetCaptureCount();
    Filming = true;
    const float step = 1.0f / static_cast<float>(framesPerSecond);
    const std::int64_t frames = static_cast<std::int64_t>(seconds) * framesPerSecond;
    for (std::int64_t i = 0; i < frames; ++i) {
        UpdateFrame(step);
        CopyFlame();
        RenderFrame(step);
        SwapFrame();
        SaveScreenShot(fileName);
        if (services_.Host)
            services_.Host->ProcessMessages();
        if (!Filming)
            break;
    }
}

void TCustomGLApplication::CheckAcceleration()
{
    if (context_ && !context_->HardwareAccelerated() && services_.Host)
        services_.Host->ShowMessage(kNoAccelerationWarning, services_.Host->Title(), TMessageIcon::miError);
}

void TCustomGLApplication::Start()
{
    if (display_) {
        display_->EnumerateModes();
        if (display_->ColorDepthModes().Count() == 0) {
            if (services_.Host) {
                services_.Host->ShowMessage(kNoColorDepthWarning, services_.Host->Title(), TMessageIcon::miError);
                services_.Host->Terminate();
                services_.Host->Halt();
            }
            return;
        }
    }
    TCustomGraphicApplicationPro::Start();
}

void TCustomGLApplication::Stop()
{
    StopOpenGL();
    TCustomGraphicApplicationPro::Stop();
}

void TCustomGLApplication::HandleException(const std::exception& e)
{
    try {
        if (display_ && display_->FullScreen()) {
            if (ContextActive() && window_ && window_->HandleAllocated())
                context_->PaintSwap(window_->DC);
            TerminateOnWindowed = true;
            display_->SetFullScreen(false);
        }
    } catch (...) {
        // Leaving full screen is best effort: the error being handled is still reported below.
    }
    TCustomGraphicApplicationPro::HandleException(e);
}

void TCustomGLApplication::HandleMessage(const TAppMessage& message, bool& handled)
{
    if (message.Kind == TMessageKind::mkKeyUp && message.Key == VK_PRINTSCREEN_KEY) {
        handled = true;
        if (message.CtrlDown) {
            if (OnSnapShot)
                OnSnapShot();
            else
                SaveScreenShot(AppName + ".jpg");
        } else if (message.ShiftDown) {
            RecordFilm(FilmTime, FilmFPS, FilmName);
        }
        return;
    }
    if (message.Kind == TMessageKind::mkKeyDown)
        Filming = false;
    TCustomGraphicApplicationPro::HandleMessage(message, handled);
}

void TCustomGLApplication::PowerOff()
{
    TCustomGraphicApplicationPro::PowerOff();
    powerBlocked_ = true;
    StopOpenGL();
}

void TCustomGLApplication::PowerOn()
{
    TCustomGraphicApplicationPro::PowerOn();
    CloseApplication();
}

void TCustomGLApplication::DisplayChanged()
{
    IApplicationHost* host = services_.Host;
    if (display_ && display_->FullScreen()) {
        if (window_ && window_->HandleAllocated()) {
            HideGLWindow();
            ShowGLWindow();
        }
        if (host)
            host->SetMainFormEnabled(false);
        SetCursorVisible(!HideCursor);
    } else {
        if (host)
            host->SetMainFormEnabled(true);
        HideGLWindow();
        if (!TerminateOnWindowed && !(host && host->Terminated()))
            ShowGLWindow();
        SetCursorVisible(true);
    }
}

void TCustomGLApplication::ReadDisplayValues()
{
    if (!display_)
        return;
    display_->DesktopOnly = ReadBool(kDesktopOnlyName.Text(), true);
    const std::string text = ReadString(kFullScreenModeName.Text(), display_->DefaultMode().ModeText());
    // Parsed like the stored mode itself; while DesktopOnly the read property is the
    // desktop's mode, so the value then has no lasting effect.
    TScreenMode parsed(640, 480, 16);
    parsed.SetModeText(text);
    if (!display_->DesktopOnly)
        display_->SetFullScreenMode(parsed);
}

void TCustomGLApplication::LoadDisplayOptions()
{
    if (DisplayOptionsLoaded)
        return;
    SetMachineRoot(true);
    SetScrambledNames(true);
    ReadDisplayValues();
    DisplayOptionsLoaded = true;
}

void TCustomGLApplication::LoadOptions()
{
    SetMachineRoot(true);
    SetScrambledNames(true);
    if (window_) {
        if (MonitorCount() <= 1)
            window_->Monitor = -1;
        else
            window_->Monitor = ReadInteger(kMonitorName.Text(), window_->Monitor);
        HideGLWindow();
        ShowGLWindow();
    }
    ReadDisplayValues();
    DisplayOptionsLoaded = true;
    if (context_) {
        context_->SetWaitSync(ReadBool(kWaitSyncName.Text(), context_->WaitSync()));
        if (ReadBool(kDirectXName.Text(), true))
            SetRenderer(TGLRenderer::DirectX);
    }
    FilmName = ReadString(kFilmNameName.Text(), "Film.jpg");
    FilmTime = ReadInteger(kFilmTimeName.Text(), 1);
    FilmFPS = ReadInteger(kFilmFPSName.Text(), 25);
    ScreenShots = ReadBool(kScreenShotsName.Text(), false);
    JPEGQuality = ReadInteger(kJPEGQualityName.Text(), DefaultJpegQuality());
    viewport_.WideScreen = ReadBool(kWideScreenName.Text(), viewport_.WideScreen);
    TCustomGraphicApplicationPro::LoadOptions();
}

void TCustomGLApplication::SaveOptions()
{
    SetMachineRoot(true);
    SetScrambledNames(true);
    if (window_)
        WriteInteger(kMonitorName.Text(), window_->Monitor);
    if (display_) {
        WriteBool(kDesktopOnlyName.Text(), display_->DesktopOnly);
        WriteString(kFullScreenModeName.Text(), display_->FullScreenMode().ModeText());
    }
    if (context_) {
        WriteBool(kWaitSyncName.Text(), context_->WaitSync());
        WriteBool(kDirectXName.Text(), context_->EffectiveRenderer() == TGLRenderer::DirectX);
    }
    WriteString(kFilmNameName.Text(), FilmName);
    WriteInteger(kFilmTimeName.Text(), FilmTime);
    WriteInteger(kFilmFPSName.Text(), FilmFPS);
    WriteInteger(kJPEGQualityName.Text(), JPEGQuality);
    TCustomGraphicApplicationPro::SaveOptions();
}
