#pragma once
// The application's OpenGL context: the GL layer's context bound to the frame
// loop. A renderer change while the context runs restarts it through the
// application (hide the window, unload the library, store, show again).
#include <functional>
#include <memory>

#include "gl/GLClasses.h"
#include "shell/GLApp.h"

class TCustomAppOpenGL : public TCustomOpenGL {
public:
    using TCustomOpenGL::TCustomOpenGL;

    // Restarts through the application when the value differs from the effective
    // renderer while active; otherwise only stores it.
    void SetRenderer(TGLRenderer renderer) override;
    // Stores without a restart.
    void StoreRenderer(TGLRenderer renderer) { TCustomOpenGL::SetRenderer(renderer); }

    std::function<void(TGLRenderer)> Restart;
};

// Fills viewport (added to gl's list when it is none or no longer listed),
// clears as the setup asks and applies it.
void ApplyViewportSetup(TCustomOpenGL& gl, TGLViewport*& viewport, const TViewportSetup& setup);

// IAppGLContext over TCustomAppOpenGL.
class TAppGLContext : public IAppGLContext {
public:
    explicit TAppGLContext(std::unique_ptr<TGLContextDriver> driver);

    TCustomAppOpenGL& GL() { return gl_; }

    bool Active() override { return gl_.Active(); }
    void Activate(TDeviceContext dc) override { gl_.Activate(dc); }
    void Deactivate() override { gl_.Deactivate(); }
    void SetBaseState() override;
    void SwapBuffers(TDeviceContext dc) override { gl_.SwapBuffers(dc); }
    void PaintSwap(TDeviceContext dc) override { gl_.PaintSwap(dc); }
    bool HardwareAccelerated() override { return gl_.Renderer() != TGLRenderer::Generic; }
    void ApplyViewport(const TViewportSetup& setup) override;
    bool Capture(std::int32_t width, std::int32_t height, TCapturedImage& image) override;
    std::int32_t CaptureCount() override { return gl_.ScreenShot().Count() - captureBase_; }
    void ResetCaptureCount() override { captureBase_ = gl_.ScreenShot().Count(); }
    bool WaitSync() override { return gl_.WaitSync; }
    void SetWaitSync(bool value) override { gl_.WaitSync = value; }
    TGLRenderer EffectiveRenderer() override { return gl_.Renderer(); }
    void StoreRenderer(TGLRenderer renderer) override { gl_.StoreRenderer(renderer); }
    void UnloadLibrary() override { gl_.UnloadOpenGL(); }
    void SetRestartHandler(std::function<void(TGLRenderer)> handler) override;
    void InvalidateFront() override { gl_.InvalidateFront(); }

private:
    TCustomAppOpenGL gl_;
    TGLViewport* viewport_ = nullptr;
    int captureBase_ = 0;
};
