// The CPU cost of one fireplace frame against the fill floor, through the same
// headless EGL context (Mesa llvmpipe here).
//
// The fill floor is the cheapest picture that covers the screen: clear, one
// full-screen quad with a 512 x 512 RGBA texture filtered linearly, and the
// read-back of the frame as the stand-in for the buffer swap. The fireplace
// frame is the program's own: the flame step with its texture copies, the
// viewport, the scene with every option on (smoke, sparkles, flame, fire
// guard, clock, frame-rate text) and the same read-back; once drawn whole
// every frame (--full-redraw) and once as the program draws it, only where
// something changed (the frame cache). Each drawing has a framebuffer of its
// own, so one never draws over what another keeps.
//
// Costs are process CPU time per frame (llvmpipe rasterises on threads, so
// wall time would hide the work of all but one core). The whole frame is
// broken down by timing it drawn up to each render-list item and each part of
// the fireplace model; the partial frame by stopping it after each of its
// steps, with the region it draws (rectangles and pixels).
//
//   bench_frame [--size WxH] [--frames N] [--setting NAME=VALUE ...]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/FSettings.h"
#include "app/FireplaceFrame.h"
#include "app/MemorySettings.h"
#include "gl/GLClasses.h"
#include "platform/posix/FreeTypeGlyphs.h"
#include "platform/HeadlessGL.h"
#include "scene/GLGraphics.h"
#include "shell/AppPro.h"
#include "shell/GLApp.h"
#include "tools/pyrelume-tool/RenderScene.h"

namespace {

double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double WallSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct Options {
    int Width = 1024;
    int Height = 768;
    int Frames = 150;
    std::vector<std::pair<std::string, std::string>> Settings;
};

Options ParseOptions(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--size" && v && std::sscanf(v, "%dx%d", &o.Width, &o.Height) == 2 && o.Width > 0 && o.Height > 0) {
            ++i;
        } else if (a == "--frames" && v && std::atoi(v) > 0) {
            o.Frames = std::atoi(v);
            ++i;
        } else if (a == "--setting" && v && std::strchr(v, '=') && v[0] != '=') {
            const std::string s = v;
            o.Settings.emplace_back(s.substr(0, s.find('=')), s.substr(s.find('=') + 1));
            ++i;
        } else {
            std::fprintf(stderr, "usage: bench_frame [--size WxH] [--frames N] [--setting NAME=VALUE ...]\n");
            std::exit(2);
        }
    }
    return o;
}

// The swap stand-in: everything drawn is finished and read back, as the
// window system's copy of a software-rendered frame does.
class TSwapStandIn {
public:
    TSwapStandIn(int w, int h) : w_(w), h_(h), pixels_(static_cast<std::size_t>(w) * h * 4) {}
    void Swap()
    {
        glReadPixels(0, 0, w_, h_, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
    }
    void Swap(const std::vector<TGLRect>& rects)
    {
        glPixelStorei(GL_PACK_ROW_LENGTH, w_);
        for (const TGLRect& r : rects)
            glReadPixels(r.X, r.Y, r.Width, r.Height, GL_RGBA, GL_UNSIGNED_BYTE,
                         pixels_.data() + (static_cast<std::size_t>(r.Y) * w_ + r.X) * 4);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    }
    const std::vector<std::uint8_t>& Pixels() const { return pixels_; }

private:
    int w_, h_;
    std::vector<std::uint8_t> pixels_;
};

// A framebuffer of its own for one drawing: colour and depth textures of the
// output's size (depth of 16 bits, as the program asks its windows for).
class TBenchTarget {
public:
    TBenchTarget(int w, int h)
    {
        glGenTextures(1, &color_);
        glBindTexture(GL_TEXTURE_2D, color_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glGenTextures(1, &depth_);
        glBindTexture(GL_TEXTURE_2D, depth_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT16, w, h, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT, nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
        glGenFramebuffers(1, &fb_);
        glBindFramebuffer(GL_FRAMEBUFFER, fb_);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color_, 0);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depth_, 0);
        ok_ = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    ~TBenchTarget()
    {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &fb_);
        glDeleteTextures(1, &color_);
        glDeleteTextures(1, &depth_);
    }
    TBenchTarget(const TBenchTarget&) = delete;
    TBenchTarget& operator=(const TBenchTarget&) = delete;
    bool Ok() const { return ok_; }
    void Bind() const { glBindFramebuffer(GL_FRAMEBUFFER, fb_); }

private:
    GLuint fb_ = 0, color_ = 0, depth_ = 0;
    bool ok_ = false;
};

// Rounds of about ten frames: the least of many short rounds is the figure
// least disturbed by other work on a shared machine.
int Rounds(int frames)
{
    return std::max(3, frames / 10);
}

// The least CPU milliseconds per frame of each drawing, measured in
// alternating rounds of n frames so that both see the same machine load.
std::vector<double> CpuMsPerFrame(int n, const std::vector<std::function<void()>>& frames, int rounds)
{
    std::vector<double> best(frames.size(), 1e30);
    for (const auto& f : frames) {
        f();
        f();
    }
    const int per = std::max(1, n / rounds);
    for (int r = 0; r < rounds; ++r)
        for (std::size_t k = 0; k < frames.size(); ++k) {
            glFinish();
            const double t0 = CpuSeconds();
            for (int i = 0; i < per; ++i)
                frames[k]();
            glFinish();
            best[k] = std::min(best[k], (CpuSeconds() - t0) * 1000.0 / per);
        }
    return best;
}

// ---------------------------------------------------------------- fill floor

// Clear, a 512 x 512 RGBA texture filtered linearly on a full-screen quad,
// the swap stand-in. Each frame sets the state it needs and leaves texturing
// and the arrays off again for the fireplace frames between its rounds.
class TFillFloor {
public:
    TFillFloor(const Options& o, TSwapStandIn& swap) : o_(o), swap_(swap), target_(o.Width, o.Height)
    {
        std::vector<std::uint8_t> texels(512 * 512 * 4);
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x) {
                std::uint8_t* p = &texels[(static_cast<std::size_t>(y) * 512 + x) * 4];
                p[0] = static_cast<std::uint8_t>(x * 7 + y);
                p[1] = static_cast<std::uint8_t>(y * 5);
                p[2] = static_cast<std::uint8_t>((x ^ y) * 3);
                p[3] = 255;
            }
        glGenTextures(1, &name_);
        glBindTexture(GL_TEXTURE_2D, name_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 512, 512, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    }
    ~TFillFloor() { glDeleteTextures(1, &name_); }

    void Frame()
    {
        static const float vertices[] = {-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0};
        static const float coords[] = {0, 0, 1, 0, 1, 1, 0, 1};
        static const std::uint16_t indices[] = {0, 1, 2, 0, 2, 3};
        target_.Bind();
        glViewport(0, 0, o_.Width, o_.Height);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, name_);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glColor4f(1, 1, 1, 1);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, 12, vertices);
        glTexCoordPointer(2, GL_FLOAT, 8, coords);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, indices);
        swap_.Swap();
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisable(GL_TEXTURE_2D);
    }

private:
    const Options& o_;
    TSwapStandIn& swap_;
    TBenchTarget target_;
    GLuint name_ = 0;
};

// ---------------------------------------------------------------- fireplace

std::string ItemName(TMainItem* item)
{
    if (auto* o = dynamic_cast<TMainObject*>(item))
        return o->Name();
    return "?";
}

class TBenchFireplace {
public:
    TBenchFireplace(TCustomOpenGL& gl, const Options& o, TSwapStandIn& swap, const TServices& services, bool whole)
        : gl_(gl), o_(o), swap_(swap), target_(o.Width, o.Height), dv_(FireplaceViewport()), form_(services),
          frame_(form_, gl, dv_)
    {
        target_.Bind();
        TSettingsStore store(&memory_);
        store.SetKeyPath("Software\\Pyrelume");
        std::vector<std::pair<std::string, std::string>> settings = {
            {"Smoke", "1"}, {"Sparkles", "1"}, {"Clock Mode", "1"}, {"FPS", "1"}};
        settings.insert(settings.end(), o.Settings.begin(), o.Settings.end());
        for (const auto& [name, value] : settings)
            memory_.Set(THive::hkCurrentUser, store.KeyPath(), name, value);
        form_.Viewport = &dv_;
        const std::string source = tool::PrepareSceneSource(std::string(PYRELUME_BINARY_DIR) + "/data/data.rfa");
        const double t0 = WallSeconds(), c0 = CpuSeconds();
        form_.LoadScene(&gl, "", source, 2);
        form_.LoadSettings(store);
        form_.SetWideScreen(form_.WideScreen);
        form_.Scene->SetFpsValue(60);
        form_.FrameCache.FullRedraw = whole;
        loadWall_ = WallSeconds() - t0;
        loadCpu_ = CpuSeconds() - c0;
        vp_ = gl.Viewports().AddViewport();
        frame_.Width = o.Width;
        frame_.Height = o.Height;
        frame_.ClearColorFrames = 1;
        // The swap shows what changed: the whole picture, or with the
        // frame cache the rectangles it reports (as a copy of parts of the
        // back buffer does).
        frame_.Present = [this, whole] {
            if (whole)
                swap_.Swap();
            else
                swap_.Swap(form_.FrameCache.LastFrame().Changed.Rects());
        };
        const double t1 = WallSeconds();
        Frame();
        firstFrameWall_ = WallSeconds() - t1;
    }
    ~TBenchFireplace() { form_.Stop(); }

    TFormSettings& Form() { return form_; }
    double LoadWallSeconds() const { return loadWall_; }
    double LoadCpuSeconds() const { return loadCpu_; }
    double FirstFrameWallSeconds() const { return firstFrameWall_; }

    // One frame as the program draws it (the fireplace frame of the tools and
    // the Linux hack): flame step and copy, viewport, scene, swap.
    void Frame()
    {
        target_.Bind();
        bool done = false;
        frame_.RunFrame(done);
        dt_ = 1.0f / 60;
    }

    void BeginFrame()
    {
        target_.Bind();
        glViewport(0, 0, o_.Width, o_.Height);
        glDepthMask(GL_TRUE);
        glClear(GL_DEPTH_BUFFER_BIT);
    }

    void ApplyViewport()
    {
        TViewportEnvironment env;
        env.WindowWidth = o_.Width;
        env.WindowHeight = o_.Height;
        const TViewportSetup s = ComputeViewportSetup(dv_, env);
        vp_->SetRect(s.Left, s.Bottom, s.Width, s.Height);
        vp_->SetPerspective(s.FOV, s.Aspect, s.NearDepth, s.FarDepth);
        vp_->SetOrtho(s.Ortho.Left, s.Ortho.Right, s.Ortho.Bottom, s.Ortho.Top, s.Ortho.Near, s.Ortho.Far);
        vp_->Perspective = s.Perspective;
        vp_->SetCamera(s.Up, s.Direction);
        vp_->Position = s.Position;
        vp_->Apply();
    }

    // The frame drawn only up to a point: the render-list items before
    // `items`, and of the fireplace model only the groups left with their
    // primitive (see TModelParts). Events and animation run in full.
    void PartialFrame(int items)
    {
        BeginFrame();
        form_.Update(dt_);
        ApplyViewport();
        gl_.SetCullFace(true);
        gl_.SetLighting(true);
        gl_.SetDepthTest(true);
        TMainScene& scene = *form_.Scene;
        scene.ProcessEvents(dt_);
        scene.Animate(dt_);
        SceneGL::SetCullFace(true);
        ResetRenderStateCaches();
        for (int i = 0; i < std::min(items, scene.RenderList.GetCount()); ++i)
            scene.RenderList.GetItem(i)->Render();
        swap_.Swap();
    }

private:
    TCustomOpenGL& gl_;
    const Options& o_;
    TSwapStandIn& swap_;
    TBenchTarget target_;
    TMemorySettings memory_;
    TDefViewport dv_;
    TFormSettings form_;
    TFireplaceFrame frame_;
    TGLViewport* vp_ = nullptr;
    float dt_ = 0;
    double loadWall_ = 0, loadCpu_ = 0, firstFrameWall_ = 0;
};

std::string GroupName(const TMeshGroup& g)
{
    std::string s = g.MaterialGroup && g.MaterialGroup->Material ? g.MaterialGroup->Material->Name() : "?";
    if (g.Texture)
        s += " (" + g.Texture->Name() + ")";
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    const Options o = ParseOptions(argc, argv);
    if (!std::filesystem::exists(std::string(PYRELUME_BINARY_DIR) + "/data/data.rfa")) {
        std::fprintf(stderr, "bench_frame: no data.rfa (build the target pyrelume_data)\n");
        return 1;
    }
    TFreeTypeGlyphs glyphs;
    TServices services;
    services.Glyphs = &glyphs;
    THeadlessGL headless(o.Width, o.Height);
    if (!headless.Start()) {
        std::fprintf(stderr, "bench_frame: no OpenGL context: %s\n", headless.Error().c_str());
        return 1;
    }
    std::printf("renderer: %s, %dx%d, %d frames per figure\n", headless.GL().GLRenderer().c_str(), o.Width,
                o.Height, o.Frames);
    TSwapStandIn swap(o.Width, o.Height);
    TFillFloor floor(o, swap);
    {
        TBenchFireplace fire(headless.GL(), o, swap, services, true);
        TBenchFireplace cached(headless.GL(), o, swap, services, false);
        TSceneFrameCache& cache = cached.Form().FrameCache;
        // The cache's first frames draw whole; the rounds start once it draws in part.
        for (int i = 0; i < 5; ++i)
            cached.Frame();
        std::int64_t pixels = 0, frames = 0, partial = 0, rects = 0;
        auto partialFrame = [&] {
            cached.Frame();
            const TSceneFrameCache::TFrameReport& r = cache.LastFrame();
            ++frames;
            pixels += r.DrawnPixels;
            rects += static_cast<std::int64_t>(r.Drawn.Rects().size());
            partial += r.Kind == TSceneFrameCache::TFrameKind::Partial ? 1 : 0;
        };
        const std::vector<double> ms = CpuMsPerFrame(
            o.Frames, {[&] { floor.Frame(); }, [&] { fire.Frame(); }, partialFrame}, Rounds(o.Frames));
        const double floorMs = ms[0], wholeMs = ms[1], partMs = ms[2];
        const double screen = static_cast<double>(o.Width) * o.Height;
        std::printf("\nfill floor (clear, 512x512 RGBA quad, read-back): %7.2f ms CPU per frame (least of rounds of 10)\n", floorMs);
        std::printf("fireplace, every frame whole (--full-redraw):    %7.2f ms CPU per frame, %5.2f x the floor\n", wholeMs,
                    wholeMs / floorMs);
        std::printf("fireplace, drawn where it changes (the program): %7.2f ms CPU per frame, %5.2f x the floor\n", partMs,
                    partMs / floorMs);
        std::printf("  frames drawn in part %lld of %lld; drawn per frame %.0f pixels (%.1f%% of the screen) in %.1f rectangles\n",
                    static_cast<long long>(partial), static_cast<long long>(frames),
                    frames ? static_cast<double>(pixels) / static_cast<double>(frames) : 0.0,
                    frames ? 100.0 * static_cast<double>(pixels) / static_cast<double>(frames) / screen : 0.0,
                    frames ? static_cast<double>(rects) / static_cast<double>(frames) : 0.0);
        std::printf("scene load %.0f ms wall (%.0f ms CPU), first frame %.0f ms wall\n",
                    fire.LoadWallSeconds() * 1000, fire.LoadCpuSeconds() * 1000, fire.FirstFrameWallSeconds() * 1000);

        // The partial frame step by step: stopped after each of its steps in
        // turn; a step's cost is what it adds to the frame before it.
        {
            cached.Frame();
            const TSceneFrameCache::TFrameReport last = cache.LastFrame();
            std::printf("\npartial frame (%d draws, %d of them in the cached image), its region (changed tiles %.1f%% of the screen):\n",
                        last.Draws, last.CachedDraws, 100.0 * static_cast<double>(last.ChangedTilePixels) / screen);
            for (const TGLRect& r : last.Drawn.Rects())
                std::printf("  rectangle at %4d,%-4d %4d x %-4d %7lld pixels (%4.1f%% of the screen)\n", r.X, r.Y, r.Width,
                            r.Height, static_cast<long long>(r.Area()), 100.0 * static_cast<double>(r.Area()) / screen);
            const char* names[] = {"flame step and copy, measuring the draws, read-back", "putting the cached image back",
                                   "laying the cached draws' depth", "the changed draws and what lies on them"};
            std::vector<std::function<void()>> stepFrames;
            for (int k = 1; k <= 4; ++k)
                stepFrames.push_back([&, k] {
                    cache.PartialSteps = k;
                    cached.Frame();
                });
            const std::vector<double> steps = CpuMsPerFrame(o.Frames, stepFrames, Rounds(o.Frames));
            cache.PartialSteps = 4;
            for (int k = 0; k < 4; ++k)
                std::printf("  %-52s %7.2f\n", names[k], k == 0 ? steps[0] : steps[static_cast<std::size_t>(k)] - steps[static_cast<std::size_t>(k - 1)]);
            const double regionPixels = static_cast<double>(last.DrawnPixels);
            if (regionPixels > 0)
                std::printf("  per megapixel of region (restore, depth, draws):     %7.2f ms\n",
                            (steps[3] - steps[0]) / regionPixels * 1e6);
        }

        // Step by step: the frame drawn up to each step in turn, in drawing
        // order; a step's cost is what it adds to the frame before it. No
        // extra flushes are made, so the figures add up to the whole frame.
        TMainScene& scene = *fire.Form().Scene;
        TSceneMesh* mesh = fire.Form().FireplaceMesh;
        std::vector<TMeshGroup*> groups;
        if (mesh)
            for (const auto* list : {&mesh->OpaqueGroups(), &mesh->AlphaGroups()})
                for (const auto& g : *list)
                    groups.push_back(g.get());
        std::vector<TGLPrimitive*> primitives;
        for (TMeshGroup* g : groups)
            primitives.push_back(g->Primitive);
        // The model with only its first n groups (opaque list, then translucent).
        auto keepGroups = [&](std::size_t n) {
            for (std::size_t k = 0; k < groups.size(); ++k)
                groups[k]->Primitive = k < n ? primitives[k] : nullptr;
        };
        struct Step {
            std::string name;
            int items;
            std::size_t groups;
        };
        std::vector<Step> steps;
        int modelItem = scene.RenderList.GetCount();
        for (int i = 0; i < scene.RenderList.GetCount(); ++i)
            if (ItemName(scene.RenderList.GetItem(i)) == "Fireplace")
                modelItem = i;
        steps.push_back({"clear, flame step, light, read-back", std::min(modelItem, scene.RenderList.GetCount()), 0});
        for (std::size_t k = 0; k < groups.size(); ++k)
            steps.push_back({std::string(k < mesh->OpaqueGroups().size() ? "model opaque " : "model blended ") +
                                 GroupName(*groups[k]),
                             modelItem + 1, k + 1});
        for (int i = modelItem + 1; i < scene.RenderList.GetCount(); ++i)
            steps.push_back({ItemName(scene.RenderList.GetItem(i)), i + 1, groups.size()});
        std::vector<std::function<void()>> prefixes;
        for (const Step& st : steps)
            prefixes.push_back([&, st] {
                keepGroups(st.groups);
                fire.PartialFrame(st.items);
            });
        const std::vector<double> cost = CpuMsPerFrame(o.Frames, prefixes, Rounds(o.Frames));
        keepGroups(groups.size());
        std::printf("\nthe whole frame in drawing order (ms CPU that each step adds to it):\n");
        for (std::size_t k = 0; k < steps.size(); ++k)
            std::printf("  %-52s %7.2f\n", steps[k].name.c_str(), k == 0 ? cost[0] : cost[k] - cost[k - 1]);

        std::printf("\ntextures (width x height, internal format asked -> held, min filter, compressed):\n");
        TGLTextureList& textures = headless.GL().Textures();
        for (int i = 0; i < textures.Count(); ++i) {
            TGLTexture* t = textures.Texture(i);
            if (!t || !t->Uploaded())
                continue;
            glBindTexture(GL_TEXTURE_2D, t->Name());
            GLint held = 0, compressed = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &held);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, 0x86A1 /* GL_TEXTURE_COMPRESSED */, &compressed);
            std::printf("  %4d x %-4d 0x%04X -> 0x%04X, min filter 0x%04X %s\n", t->Width(), t->Height(),
                        t->InternalFormat(), static_cast<unsigned>(held), static_cast<unsigned>(t->Filter),
                        compressed ? "compressed" : "");
        }
    }
    headless.Stop();
    return 0;
}
