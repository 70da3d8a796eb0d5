// render (ARCHIVE.rfa | FILE.gsc) --size WxH --frames N --dt S --out FILE.png:
// draws the scene headlessly with a fixed time step and writes the last frame.
#include <cstdio>
#include <string>
#include <vector>

#include "gl/Errors.h"
#include "gl/GLClasses.h"
#include "platform/posix/HeadlessGL.h"
#include "platform/posix/PngWrite.h"
#include "tools/pyrelume-tool/Command.h"
#include "tools/pyrelume-tool/RenderOptions.h"
#include "tools/pyrelume-tool/RenderScene.h"

namespace {

// The fireplace camera: 39 degree field of view, depth 100 to 10000, at
// (0, 105, 240) looking along -Z; the picture is stretched 4:3 over any size.
void SetupViewport(TGLViewport& vp, int width, int height)
{
    vp.SetRect(0, 0, width, height);
    vp.SetPerspective(39, 1.3333334f, 100, 10000);
    vp.SetOrtho(0, width, 0, height, 100, 10000);
    vp.Perspective = true;
    vp.SetCamera(TGLVector{0, 1, 0}, TGLVector{0, 0, -1});
    vp.Position = TGLVector{0, 105, 240};
}

int RunRender(const std::vector<std::string>& args)
{
    const tool::RenderOptions o = tool::ParseRenderOptions(args);
    THeadlessGL headless(o.Width, o.Height);
    if (!headless.Start())
        RaiseMessage("render: no OpenGL context: " + headless.Error());
    TCustomOpenGL& gl = headless.GL();
    std::vector<std::uint8_t> pixels;
    {
        std::unique_ptr<TMainScene> scene = tool::LoadToolScene(o.Scene, &gl);
        TGLViewport* vp = gl.Viewports().AddViewport();
        SetupViewport(*vp, o.Width, o.Height);
        // A black window: the colour buffer is cleared once, every frame
        // clears depth only.
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int frame = 0; frame < o.Frames; ++frame) {
            const float dt = frame == 0 ? 0.0f : o.Dt;
            glViewport(0, 0, o.Width, o.Height);
            glDepthMask(GL_TRUE);
            glClear(GL_DEPTH_BUFFER_BIT);
            vp->Apply();
            gl.SetCullFace(true);
            gl.SetLighting(true);
            gl.SetDepthTest(true);
            scene->ProcessFrame(dt);
        }
        glFinish();
        pixels = headless.ReadPixels();
        scene.reset();  // scene objects release their GL objects before the context goes
    }
    WritePngRGBA(o.Out, o.Width, o.Height, pixels.data(), true);
    headless.Stop();
    return 0;
}

} // namespace

static ToolCommand reg("render", "render (ARCHIVE.rfa | FILE.gsc) --size WxH --frames N --dt S --out FILE.png",
                       &RunRender);
