#pragma once
// The OpenGL application: output window, viewport and camera, the idle-driven
// frame loop (pacing, context start, update, render, swap), screenshots and films.
// The GL context and the window are reached through small interfaces so the loop
// also runs headless.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gl/FastMath.h"
#include "gl/GLClasses.h"
#include "gl/GLPrimitives.h"
#include "shell/AppPro.h"
#include "shell/DisplayControl.h"
#include "platform/Services.h"

// ---- Viewport and camera ----

struct TOpenGLVector {
    float X = 0, Y = 0, Z = 0;
    TGLVector AsVector() const { return MakeVector(X, Y, Z); }
};

class TOpenGLCamera {
public:
    // Looks from (0, 0, 200) at the origin with up (0, 1, 0).
    TOpenGLCamera();
    TOpenGLVector Position, Direction, Up;
};

enum TClearModeFlag : std::uint8_t { cmColor = 1, cmDepth = 2, cmStencil = 4, cmAccum = 8 };
using TClearMode = std::uint8_t;

// Viewing volume: left, right, bottom, top, near, far.
using TFrustum = TGLVolume;

// Frustum of a vertical field of view: top = tan(fov/2) * near, right = top * aspect.
TFrustum PerspectiveFrustum(double fovDegrees, double aspect, double nearDepth, double farDepth);

class TDefViewport {
public:
    TDefViewport();

    TClearMode ClearMode = cmColor | cmDepth;
    TOpenGLCamera Camera;
    double FOV = 75.0;
    double NearDepth = 100.0;
    double FarDepth = 10000.0;
    bool Perspective = true;
    bool Enabled = true;
    bool Cleared = true;
    bool Stretch = false;
    bool WideScreen = false;

    // Copies the camera, FOV, depths, Perspective, Enabled and Cleared.
    void Assign(const TDefViewport& other);
    // The frustum the particles use: aspect 1.7777778 when wide screen without
    // stretch, else 1.3333334.
    TFrustum GetFrustum() const;
};

// What the viewport needs to know about the output.
struct TViewportEnvironment {
    bool FullScreen = false;
    std::int32_t Monitor = -1;
    std::int32_t WindowWidth = 0;
    std::int32_t WindowHeight = 0;
    std::uint32_t WindowColor = 0; // 0x00BBGGRR
    IMonitorInfo* Monitors = nullptr;
};

// Everything a GL viewport object needs for one frame.
struct TViewportSetup {
    std::int32_t Left = 0, Bottom = 0, Width = 0, Height = 0; // output rectangle
    double FOV = 0, Aspect = 0, NearDepth = 0, FarDepth = 0;  // SetPerspective
    TFrustum Ortho;                                           // SetOrtho
    bool Perspective = true;
    TGLVector Direction{}, Up{}, Position{}; // direction and up normalised
    bool Cleared = false;
    TGLColor ClearColor{};
    std::int32_t ClearWidth = 0, ClearHeight = 0; // GL viewport for the clear
    TClearMode ClearMode = 0;
};

struct TOutputSize {
    std::int32_t Width = 0, Height = 0;
};
// The output size chosen by the window mode and the monitor selection.
TOutputSize ViewportOutputSize(const TViewportEnvironment& env);
// Where the output lies in full screen, in screen coordinates: the selected
// monitor, the first two side by side, the virtual desktop, else the primary screen.
TRect FullScreenOutputArea(const TViewportEnvironment& env);
// Projection numbers for one frame; turns viewport.WideScreen on (for good)
// when the output is wider than 1.6.
TViewportSetup ComputeViewportSetup(TDefViewport& viewport, const TViewportEnvironment& env);

// ---- Rendering context as the application sees it ----

// Captured client area: RGB triples, rows bottom-up, tightly packed.
struct TCapturedImage {
    std::int32_t Width = 0, Height = 0;
    std::vector<std::uint8_t> Rgb;
};

class IAppGLContext {
public:
    virtual ~IAppGLContext() = default;
    virtual bool Active() = 0;
    // Creates and makes current a context on dc; failures leave Active false.
    virtual void Activate(TDeviceContext dc) = 0;
    virtual void Deactivate() = 0;
    // Dithering, alpha test > 0, source-alpha blending, smooth shading.
    virtual void SetBaseState() = 0;
    virtual void SwapBuffers(TDeviceContext dc) = 0;
    virtual void PaintSwap(TDeviceContext dc) = 0;
    virtual bool HardwareAccelerated() = 0;
    // Fills the context's viewport object, clears and applies it.
    virtual void ApplyViewport(const TViewportSetup& setup) = 0;
    // Reads width x height pixels of the current frame and counts the capture.
    virtual bool Capture(std::int32_t width, std::int32_t height, TCapturedImage& image) = 0;
    virtual std::int32_t CaptureCount() = 0;
    virtual void ResetCaptureCount() = 0;
    virtual bool WaitSync() = 0;
    virtual void SetWaitSync(bool value) = 0;
    virtual TGLRenderer EffectiveRenderer() = 0;
    virtual void StoreRenderer(TGLRenderer renderer) = 0;
    virtual void UnloadLibrary() = 0;
    // Called when the renderer is changed from inside the context (a failed
    // activation falls back to OpenGL) so the application can restart it.
    virtual void SetRestartHandler(std::function<void(TGLRenderer)> handler) {}
    // What the window showed was lost: the next swap shows the whole picture.
    virtual void InvalidateFront() {}
};

// Masks all x87 floating-point exceptions (control word 0x133F); drivers may change it.
void MaskFPUExceptions();

// ---- Output window ----

// The window's services the application uses; the platform creates the real window
// and calls the Handle* operations from its message handling.
class TCustomGLWindow {
public:
    virtual ~TCustomGLWindow();

    std::int32_t Monitor = -1;     // -1 primary, 0..count-1, count = dual view, count+1 = virtual desktop
    TDeviceContext DC = 0;
    std::uint32_t Color = 0;       // 0x00BBGGRR, black

    virtual std::int32_t ClientWidth() = 0;
    virtual std::int32_t ClientHeight() = 0;
    virtual bool HandleAllocated() = 0;
    virtual TWindowHandle Handle() = 0;
    // Visible with a handle (which creates the device context).
    virtual void ShowWithHandle() = 0;
    // Invisible, handle destroyed (which stops the context).
    virtual void HideAndDestroyHandle() = 0;
    // Leaves the parent control and lives inside another program's window.
    virtual void SetParentWindow(TWindowHandle parent) = 0;

    // Installed by the application.
    std::function<bool()> IsFullScreen;
    std::function<bool()> ContextActive;
    std::function<void(TDeviceContext)> DeviceContextCreated;
    std::function<bool()> CloseRequest;
    std::function<void()> WindowDestroyed;
    std::function<void(std::int32_t, std::int32_t)> OnResize;
    // The system asks for the window's picture again (it was covered).
    std::function<void()> Exposed;
    // Called from the destructor so that a linked application forgets the window.
    std::function<void()> Freed;
    void ClearCallbacks();

    // Decisions for the platform's message handling.
    bool SuppressEraseBackground() const { return !ContextActive || ContextActive(); }
    // True when the close is swallowed.
    bool HandleClose() { return CloseRequest && CloseRequest(); }
    void HandleCreated(TDeviceContext dc);
    void HandleResized(std::int32_t width, std::int32_t height);
    void HandlePaint()
    {
        if (Exposed)
            Exposed();
    }
    void HandleDestroyed();
};

// Full-screen bounds: the selected monitor, else the whole virtual desktop.
TRect FullScreenWindowBounds(std::int32_t monitor, IMonitorInfo& monitors);

// ---- The application ----

class TCustomGLApplication : public TCustomGraphicApplicationPro {
public:
    explicit TCustomGLApplication(const TServices& services);
    ~TCustomGLApplication() override;

    TCustomGLDisplay* Display() const { return display_; }
    void SetDisplay(TCustomGLDisplay* display);
    TCustomGLWindow* Window() const { return window_; }
    void SetWindow(TCustomGLWindow* window);
    TDefViewport& Viewport() { return viewport_; }
    void SetViewport(const TDefViewport& v) { viewport_.Assign(v); }
    IAppGLContext* Context() const { return context_.get(); }
    void SetContext(std::unique_ptr<IAppGLContext> context);
    bool Active = false;

    TNotifyEvent OnStartOpenGL, OnStopOpenGL, OnSnapShot;
    std::function<void(float deltaTime, bool select)> OnRender;
    std::function<void(float deltaTime)> OnUpdate;
    // Writes what OnUpdate simulated into textures (the fireplace's flame).
    TNotifyEvent OnCopyFlame;
    std::function<void(std::int32_t width, std::int32_t height)> OnResizeViewport;

    TDeviceContext DeviceContext = 0;
    bool OpenGLStarted() const { return openGLStarted_; }
    bool FrameBlocked() const { return InFrame() || powerBlocked_; }
    long double LastRenderTime = 0;
    bool DisplayOptionsLoaded = false;
    bool TerminateOnWindowed = false;
    bool HideCursor = false;
    bool ScreenShots = false;
    std::int32_t JPEGQuality = 100;
    std::string FilmName = "Film.jpg";
    std::int32_t FilmTime = 1;
    std::int32_t FilmFPS = 25;
    bool Filming = false;

    virtual void DisplayChanged();
    virtual void LoadDisplayOptions();
    virtual void StartOpenGL(TDeviceContext dc);
    virtual void StopOpenGL();
    virtual void ResizeViewport(std::int32_t width, std::int32_t height);

    void ApplyViewport();
    void ShowGLWindow();
    void HideGLWindow();
    // Restarts the context with another library when it changes while active.
    void SetRenderer(TGLRenderer renderer);
    void SaveScreenShot(const std::string& fileName);
    void RecordFilm(std::int32_t seconds, std::int32_t framesPerSecond, const std::string& fileName);
    void CheckAcceleration();
    TFrustum GetFrustum() const { return viewport_.GetFrustum(); }

    void Start() override;
    void Stop() override;
    void HandleException(const std::exception& e) override;
    void HandleMessage(const TAppMessage& message, bool& handled) override;
    void PowerOff() override;
    void PowerOn() override;
    void LoadOptions() override;
    void SaveOptions() override;

protected:
    std::int32_t MonitorCount() const;
    bool ContextActive() const { return context_ && context_->Active(); }
    // Frames follow the retrace while a context runs with WaitSync.
    bool PaceToDisplay() override { return ContextActive() && context_->WaitSync(); }

    // Frame steps of the GL application.
    bool FramePaused() override { return powerBlocked_; }
    // The context on the first pass with a device context, then the viewport's size.
    void StartContextOnce() override;
    // Active, with a window, a running context and something to render.
    bool ReadyToDraw() override;
    // The frame timer's seconds since the last frame (0 for the first).
    float FrameTime() override;
    void UpdateFrame(float dt) override;
    void CopyFlame() override;
    void RenderFrame(float dt) override;
    void SwapFrame() override;

private:
    void ReadDisplayValues();

    std::unique_ptr<IAppGLContext> context_;
    TCustomGLDisplay* display_ = nullptr;
    TCustomGLWindow* window_ = nullptr;
    TDefViewport viewport_;
    bool openGLStarted_ = false;
    bool powerBlocked_ = false;
};
