#include "app/FireplaceFrame.h"

#include "app/FSettings.h"
#include "gl/GLApi.h"
#include "gl/GLClasses.h"
#include "shell/AppOpenGL.h"

TDefViewport FireplaceViewport()
{
    TDefViewport v;
    v.ClearMode = cmDepth;
    v.Camera.Position = {0, 105, 240};
    v.Camera.Direction = {0, 0, -1};
    v.Camera.Up = {0, 1, 0};
    v.FOV = 39.0;
    v.NearDepth = 100.0;
    v.FarDepth = 10000.0;
    v.Perspective = true;
    v.Enabled = true;
    v.Cleared = true;
    v.Stretch = true;
    v.WideScreen = false;
    return v;
}

TFireplaceFrame::TFireplaceFrame(TFormSettings& form, TCustomOpenGL& gl, TDefViewport& viewport)
    : form_(form), gl_(gl), viewport_(viewport)
{
}

bool TFireplaceFrame::ReadyToDraw()
{
    return form_.Scene && gl_.Active();
}

float TFireplaceFrame::FrameTime()
{
    MaskFPUExceptions();
    const float dt = first_ ? 0.0f : TimeStep;
    first_ = false;
    return dt;
}

void TFireplaceFrame::UpdateFrame(float dt)
{
    form_.UpdateFlame(dt);
}

void TFireplaceFrame::CopyFlame()
{
    form_.WriteFlameTextures();
}

void TFireplaceFrame::ApplyViewport()
{
    if (ClearColorFrames > 0) {
        --ClearColorFrames;
        glViewport(0, 0, Width, Height);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        // Nothing of the previous frame is left to build on.
        form_.FrameCache.Invalidate();
    }
    TViewportEnvironment env;
    env.WindowWidth = Width;
    env.WindowHeight = Height;
    ApplyViewportSetup(gl_, glViewport_, ComputeViewportSetup(viewport_, env));
}

void TFireplaceFrame::RenderFrame(float dt)
{
    ApplyViewport();
    form_.Render(dt);
}

void TFireplaceFrame::SwapFrame()
{
    MaskFPUExceptions();
    if (Present)
        Present();
}
