// render (ARCHIVE.rfa | FILE.gsc) --size WxH --frames N --dt S --out FILE.png
//        [--setting NAME=VALUE ...] [--time YYYY-MM-DDTHH:MM:SS] [--fps N]:
// draws the scene headlessly with a fixed time step and writes the last frame.
// The time is the clock's local time, N the value of the frame-rate text.
#include <cstdio>
#include <string>
#include <vector>

#include "app/FSettings.h"
#include "app/MemorySettings.h"
#include "clock/TimeProvider.h"
#include "gl/Errors.h"
#include "gl/GLClasses.h"
#ifdef _WIN32
#include "platform/win32/HeadlessWgl.h"
#include "platform/win32/WinGdiGlyphs.h"
#else
#include "platform/posix/FreeTypeGlyphs.h"
#include "platform/posix/HeadlessGL.h"
#endif
#include "tools/pyrelume-tool/PngWrite.h"
#include "tools/pyrelume-tool/Command.h"
#include "tools/pyrelume-tool/RenderOptions.h"
#include "tools/pyrelume-tool/RenderScene.h"
#include "shell/AppPro.h"
#include "shell/GLApp.h"

namespace {

// The viewport values the main form stores: 39 degree field of view, depth 100
// to 10000, camera at (0, 105, 240) looking along -Z, the picture stretched 4:3
// over any size, depth-only clearing on a black window.
TDefViewport FormViewport()
{
    TDefViewport v;
    v.ClearMode = cmDepth;
    v.Camera.Position = {0, 105, 240};
    v.Camera.Direction = {0, 0, -1};
    v.Camera.Up = {0, 1, 0};
    v.FOV = 39.0;
    v.NearDepth = 100.0;
    v.FarDepth = 10000.0;
    v.Stretch = true;
    return v;
}

void SetupViewport(TGLViewport& vp, TDefViewport& dv, int width, int height)
{
    TViewportEnvironment env;
    env.WindowWidth = width;
    env.WindowHeight = height;
    const TViewportSetup s = ComputeViewportSetup(dv, env);
    vp.SetRect(s.Left, s.Bottom, s.Width, s.Height);
    vp.SetPerspective(s.FOV, s.Aspect, s.NearDepth, s.FarDepth);
    vp.SetOrtho(s.Ortho.Left, s.Ortho.Right, s.Ortho.Bottom, s.Ortho.Top, s.Ortho.Near, s.Ortho.Far);
    vp.Perspective = s.Perspective;
    vp.SetCamera(s.Up, s.Direction);
    vp.Position = s.Position;
}

int RunRender(const std::vector<std::string>& args)
{
    const tool::RenderOptions o = tool::ParseRenderOptions(args);
    TFixedTimeProvider fixedTime;
    if (!o.Time.empty() && !ParseLocalTime(o.Time, fixedTime.Time))
        throw ToolUsageError{"bad --time \"" + o.Time + "\", expected YYYY-MM-DDTHH:MM:SS"};
    // The clock reads the given time for the whole run.
    struct TimeScope {
        explicit TimeScope(ITimeProvider* p) { SetClockTimeProvider(p); }
        ~TimeScope() { SetClockTimeProvider(nullptr); }
    } timeScope(o.Time.empty() ? nullptr : &fixedTime);
#ifdef _WIN32
    // GDI draws the clock's characters, as in the program.
    TWinGdiGlyphs gdiGlyphs;
    struct GlyphScope {
        explicit GlyphScope(IGlyphRasterizer* r) { SetGlyphRasterizer(r); }
        ~GlyphScope() { SetGlyphRasterizer(nullptr); }
    } glyphScope(&gdiGlyphs);
#else
    InstallFreeTypeGlyphs();
#endif
    THeadlessGL headless(o.Width, o.Height);
    if (!headless.Start())
        RaiseMessage("render: no OpenGL context: " + headless.Error());
    TCustomOpenGL& gl = headless.GL();
    std::vector<std::uint8_t> pixels;
    {
        // The fireplace program drives the scene as it does in the saver: its
        // settings come from --setting through an in-memory store.
        TMemorySettings memory;
        TSettingsStore store(&memory);
        store.SetKeyPath("Software\\Pyrelume");
        for (const auto& [name, value] : o.Settings)
            memory.Set(THive::hkCurrentUser, store.KeyPath(), name, value);
        TDefViewport dv = FormViewport();
        TFormSettings form;
        form.Viewport = &dv;
        tool::RegisterAllSceneTypes();
        const std::string source = tool::PrepareSceneSource(o.Scene);
        form.LoadScene(&gl, "", source, 2);
        form.LoadSettings(store);
        form.SetWideScreen(form.WideScreen);
        if (o.Fps >= 0 && form.Scene)
            form.Scene->SetFpsValue(o.Fps);
        TGLViewport* vp = gl.Viewports().AddViewport();
        // A black window: the colour buffer is cleared once, every frame
        // clears depth only.
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int frame = 0; frame < o.Frames; ++frame) {
            const float dt = frame == 0 ? 0.0f : o.Dt;
            glViewport(0, 0, o.Width, o.Height);
            glDepthMask(GL_TRUE);
            glClear(GL_DEPTH_BUFFER_BIT);
            form.Update(dt);
            SetupViewport(*vp, dv, o.Width, o.Height);
            vp->Apply();
            form.Render(dt);
        }
        glFinish();
        pixels = headless.ReadPixels();
        form.Stop();  // scene objects release their GL objects before the context goes
    }
    // A screen shows only red, green and blue; the frame buffer's alpha is what
    // blending left there and would make viewers show the picture washed out.
    for (std::size_t i = 3; i < pixels.size(); i += 4)
        pixels[i] = 255;
    WritePngRGBA(o.Out, o.Width, o.Height, pixels.data(), true);
    headless.Stop();
    return 0;
}

} // namespace

static ToolCommand reg("render", "render (ARCHIVE.rfa | FILE.gsc) --size WxH --frames N --dt S --out FILE.png [--setting NAME=VALUE ...]"
                       " [--time YYYY-MM-DDTHH:MM:SS] [--fps N]",
                       &RunRender);
