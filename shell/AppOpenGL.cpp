#include "shell/AppOpenGL.h"

#include "gl/GLApi.h"

void TCustomAppOpenGL::SetRenderer(TGLRenderer renderer)
{
    if (renderer != Renderer() && Active() && Restart)
        Restart(renderer);
    else
        TCustomOpenGL::SetRenderer(renderer);
}

TAppGLContext::TAppGLContext(std::unique_ptr<TGLContextDriver> driver) : gl_(std::move(driver)) {}

void TAppGLContext::SetRestartHandler(std::function<void(TGLRenderer)> handler)
{
    gl_.Restart = std::move(handler);
}

void TAppGLContext::SetBaseState()
{
    if (!gl_.Active() || !glEnable || !glAlphaFunc || !glBlendFunc || !glShadeModel)
        return;
    glEnable(GL_DITHER);
    glAlphaFunc(GL_GREATER, 0.0f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glShadeModel(GL_SMOOTH);
}

void TAppGLContext::ApplyViewport(const TViewportSetup& s)
{
    ApplyViewportSetup(gl_, viewport_, s);
}

void ApplyViewportSetup(TCustomOpenGL& gl, TGLViewport*& viewport, const TViewportSetup& s)
{
    if (!gl.Active() || !glClear)
        return;
    if (!viewport || gl.Viewports().IndexOf(viewport) < 0)
        viewport = gl.Viewports().AddViewport();
    TGLViewport& v = *viewport;
    v.SetRect(s.Left, s.Bottom, s.Width, s.Height);
    v.SetPerspective(s.FOV, s.Aspect, s.NearDepth, s.FarDepth);
    v.SetOrtho(s.Ortho.Left, s.Ortho.Right, s.Ortho.Bottom, s.Ortho.Top, s.Ortho.Near, s.Ortho.Far);
    v.Perspective = s.Perspective;
    v.SetCamera(s.Up, s.Direction);
    v.Position = s.Position;
    if (s.Cleared && glClearColor && glViewport && glDepthMask) {
        glClearColor(s.ClearColor.R, s.ClearColor.G, s.ClearColor.B, s.ClearColor.A);
        glViewport(0, 0, s.ClearWidth, s.ClearHeight);
        glDepthMask(GL_TRUE);
        GLbitfield mask = 0;
        if (s.ClearMode & cmColor)
            mask |= GL_COLOR_BUFFER_BIT;
        // Depth goes with the stencil, which no frame keeps for the next:
        // where both share one word (24-bit depth, 8-bit stencil) clearing
        // them together is a plain fill instead of a masked write of every
        // word.
        if (s.ClearMode & cmDepth)
            mask |= GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT;
        if (s.ClearMode & cmStencil)
            mask |= GL_STENCIL_BUFFER_BIT;
        if (s.ClearMode & cmAccum)
            mask |= GL_ACCUM_BUFFER_BIT;
        glClear(mask);
    }
    v.Apply();
}

bool TAppGLContext::Capture(std::int32_t width, std::int32_t height, TCapturedImage& image)
{
    if (!gl_.Active() || width <= 0 || height <= 0)
        return false;
    TGLScreenShot& shot = gl_.ScreenShot();
    shot.Capture(width, height);
    image.Width = shot.Width();
    image.Height = shot.Height();
    image.Rgb = shot.Buffer();
    return !image.Rgb.empty();
}
