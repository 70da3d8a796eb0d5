// render (ARCHIVE.rfa | FILE.gsc) --size WxH --frames N --dt S --out FILE.png
//        [--setting NAME=VALUE ...] [--time YYYY-MM-DDTHH:MM:SS] [--fps N] [--full-redraw]:
// draws the scene headlessly with a fixed time step and writes the last frame.
// The time is the clock's local time, N the value of the frame-rate text.
// Frames are drawn where something changed, as the program draws them;
// --full-redraw draws every frame whole.
#include <cstdio>
#include <string>
#include <vector>

#include "app/FSettings.h"
#include "app/FireplaceFrame.h"
#include "app/MemorySettings.h"
#include "assets/ResourceFile.h"
#include "clock/TimeProvider.h"
#include "gl/Errors.h"
#include "gl/GLClasses.h"
#include "platform/HeadlessGL.h"
#ifdef _WIN32
#include "platform/win32/WinGdiGlyphs.h"
#else
#include "platform/posix/FreeTypeGlyphs.h"
#endif
#include "tools/pyrelume-tool/PngWrite.h"
#include "tools/pyrelume-tool/Command.h"
#include "tools/pyrelume-tool/RenderOptions.h"
#include "tools/pyrelume-tool/RenderScene.h"
#include "shell/AppPro.h"
#include "shell/GLApp.h"

namespace {

int RunRender(const std::vector<std::string>& args)
{
    const tool::RenderOptions o = tool::ParseRenderOptions(args);
    TFixedTimeProvider fixedTime;
    if (!o.Time.empty() && !ParseLocalTime(o.Time, fixedTime.Time))
        throw ToolUsageError{"bad --time \"" + o.Time + "\", expected YYYY-MM-DDTHH:MM:SS"};
    // The tool's services: the clock reads the given time (or the system's), the
    // fonts draw with the platform's rasteriser, as in the program; no sound.
#ifdef _WIN32
    TWinGdiGlyphs glyphs;
#else
    TFreeTypeGlyphs glyphs;
#endif
    TServices services;
    services.Glyphs = &glyphs;
    services.Time = o.Time.empty() ? &SystemTime() : &fixedTime;
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
        TDefViewport dv = FireplaceViewport();
        TFormSettings form(services);
        form.Viewport = &dv;
        const std::string source = tool::PrepareSceneSource(o.Scene);
        ResourceReader().ClearRecord();
        form.LoadScene(&gl, "", source, 2);
        form.LoadSettings(store);
        form.SetWideScreen(form.WideScreen);
        if (o.FullRedraw)
            form.FrameCache.FullRedraw = true;
        if (o.Fps >= 0 && form.Scene)
            form.Scene->SetFpsValue(o.Fps);
        // The program's frame with a fixed time step on a black window (the
        // first frame clears the colour, every frame the depth); the last
        // frame stays in the framebuffer.
        TFireplaceFrame frame(form, gl, dv);
        frame.Width = o.Width;
        frame.Height = o.Height;
        frame.TimeStep = o.Dt;
        for (int i = 0; i < o.Frames; ++i) {
            bool done = false;
            frame.RunFrame(done);
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
    // The program draws a missing picture, model or sound as nothing; here the
    // content maker is told which files were not found, one line each, and the
    // run fails when nothing but the description itself was read.
    const TResourceFileReader& reader = ResourceReader();
    for (const std::string& name : reader.MissingNames)
        std::fprintf(stderr, "pyrelume-tool render: file not found: %s\n", name.c_str());
    if (!reader.MissingNames.empty() && reader.OpenedCount <= 1) {
        std::fprintf(stderr, "pyrelume-tool render: nothing of the scene loaded from %s\n", o.Scene.c_str());
        return 1;
    }
    return 0;
}

} // namespace

static ToolCommand reg("render", "render (ARCHIVE.rfa | FILE.gsc) --size WxH --frames N --dt S --out FILE.png [--setting NAME=VALUE ...]"
                       " [--time YYYY-MM-DDTHH:MM:SS] [--fps N] [--full-redraw]",
                       &RunRender);
