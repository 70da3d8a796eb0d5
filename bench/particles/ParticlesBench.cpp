// Cost of the particle fire and of bitmap text: animating the fireplace's 25
// sparkles and 20 smoke puffs for one frame, the same with drawing through the
// headless EGL context, and drawing a 20-character string.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "fire/FireClasses.h"
#include "gl/GLClasses.h"
#include "gl/Random.h"
#include "platform/posix/FreeTypeGlyphs.h"
#include "platform/HeadlessGL.h"
#include "tools/pyrelume-tool/RenderScene.h"

namespace {

constexpr int W = 640;
constexpr int H = 480;

void FireplaceCamera(TCustomOpenGL& gl)
{
    TGLViewport* vp = gl.Viewports().AddViewport();
    vp->SetRect(0, 0, W, H);
    vp->SetPerspective(39, 1.3333334f, 100, 10000);
    vp->Perspective = true;
    vp->SetCamera(TGLVector{0, 1, 0}, TGLVector{0, 0, -1});
    vp->Position = TGLVector{0, 105, 240};
    vp->Apply();
}

// The fireplace scene with only its two particle fires drawn.
std::unique_ptr<TFormSettings> FiresOnly(TCustomOpenGL* gl, benchmark::State& state)
{
    const std::string archive = std::string(PYRELUME_BINARY_DIR) + "/data/data.rfa";
    if (!std::filesystem::exists(archive)) {
        state.SkipWithError("no data.rfa (build target pyrelume_data)");
        return nullptr;
    }
    auto form = tool::LoadToolScene(archive, gl, TServices{});
    for (const char* name : {"Fireplace", "GLClock", "ClockResource", "Sounds", "Light"})
        form->Scene->SetObjectVisible(name, false);
    return form;
}

} // namespace

static void BM_FiresAnimateOneFrame(benchmark::State& state)
{
    Random::SetState(0);
    auto form = FiresOnly(nullptr, state);
    if (!form)
        return;
    TMainScene* scene = form->Scene.get();
    auto* sparkles = dynamic_cast<TBonFire*>(scene->FindObject("Sparkles"));
    auto* smoke = dynamic_cast<TBonFire*>(scene->FindObject("Smoke"));
    sparkles->Animate(0);
    smoke->Animate(0);
    for (auto _ : state) {
        sparkles->Animate(1.0f / 60);
        smoke->Animate(1.0f / 60);
        benchmark::DoNotOptimize(sparkles->Particle(0)->Position);
    }
    state.counters["particles"] = sparkles->GetCount() + smoke->GetCount();
}
BENCHMARK(BM_FiresAnimateOneFrame);

static void BM_FiresAnimateAndDrawOneFrame(benchmark::State& state)
{
    THeadlessGL headless(W, H);
    if (!headless.Start()) {
        state.SkipWithError("no EGL context");
        return;
    }
    Random::SetState(0);
    {
        auto form = FiresOnly(&headless.GL(), state);
        if (!form)
            return;
        TMainScene* scene = form->Scene.get();
        FireplaceCamera(headless.GL());
        scene->ProcessFrame(0);
        for (auto _ : state) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            scene->ProcessFrame(1.0f / 60);
            glFinish();
        }
    }
    headless.Stop();
}
BENCHMARK(BM_FiresAnimateAndDrawOneFrame)->Unit(benchmark::kMicrosecond);

static void BM_DrawTwentyCharacterString(benchmark::State& state)
{
    THeadlessGL headless(W, H);
    if (!headless.Start()) {
        state.SkipWithError("no EGL context");
        return;
    }
    TFreeTypeGlyphs glyphs;
    {
        TMainScene scene;
        scene.OpenGL = &headless.GL();
        scene.Glyphs = &glyphs;
        FireplaceCamera(headless.GL());
        scene.ShowFps(true);
        scene.FpsStr->Text = "12345 fps 67890 fps ";
        scene.FpsStr->RenderAlpha(); // builds the font
        for (auto _ : state) {
            scene.FpsStr->RenderAlpha();
            glFinish();
        }
        state.counters["chars/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * 20,
                                                       benchmark::Counter::kIsRate);
        scene.Clear();
    }
    headless.Stop();
}
BENCHMARK(BM_DrawTwentyCharacterString)->Unit(benchmark::kMicrosecond);

static void BM_BuildFrameRateFont(benchmark::State& state)
{
    TFreeTypeGlyphs glyphs;
    TMainScene scene;
    scene.Glyphs = &glyphs;
    for (auto _ : state) {
        TSceneFont font;
        font.MainScene = &scene;
        font.FontOptions = foBuildFromFont | foSoften | foFixedView;
        font.FontCellSize = 32;
        font.ClearChars();
        font.AddString(" fps0123456789");
        benchmark::DoNotOptimize(font.RenderGlyphs());
    }
}
BENCHMARK(BM_BuildFrameRateFont)->Unit(benchmark::kMillisecond);
