#pragma once
// The fireplace scene of the build's data.rfa drawn through the headless EGL
// context with the fireplace camera, frame by frame, for render tests. Tests
// skip when there is no context or no archive.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "clock/GLClock.h"
#include "fire/FireClasses.h"
#include "gl/GLClasses.h"
#include "gl/Random.h"
#include "platform/posix/FreeTypeGlyphs.h"
#include "platform/HeadlessGL.h"
#include "tools/pyrelume-tool/RenderScene.h"

struct Rgb {
    int R = 0, G = 0, B = 0;
};

class FireplaceRender {
public:
    static constexpr int W = 640;
    static constexpr int H = 480;

    // Empty Error() when ready. The clock reads time (the system's when none).
    explicit FireplaceRender(ITimeProvider* time = nullptr)
    {
        archive_ = std::string(PYRELUME_BINARY_DIR) + "/data/data.rfa";
        if (!std::filesystem::exists(archive_)) {
            error_ = "no " + archive_ + " (build target pyrelume_data)";
            return;
        }
        headless_ = std::make_unique<THeadlessGL>(W, H);
        if (!headless_->Start()) {
            error_ = "EGL could not create an OpenGL context: " + headless_->Error();
            return;
        }
        TServices services;
        services.Glyphs = &glyphs_;
        services.Time = time;
        const auto cwd = std::filesystem::current_path();
        form_ = tool::LoadToolScene(archive_, &headless_->GL(), services);
        Scene = form_->Scene.get();
        std::filesystem::current_path(cwd);
        TGLViewport* vp = headless_->GL().Viewports().AddViewport();
        vp->SetRect(0, 0, W, H);
        vp->SetPerspective(39, 1.3333334f, 100, 10000);
        vp->SetOrtho(0, W, 0, H, 100, 10000);
        vp->Perspective = true;
        vp->SetCamera(TGLVector{0, 1, 0}, TGLVector{0, 0, -1});
        vp->Position = TGLVector{0, 105, 240};
    }

    ~FireplaceRender()
    {
        form_.reset();
        headless_.reset();
    }

    // True when a DejaVu font can be opened (fonts-dejavu-core).
    static bool HasFont()
    {
        TFreeTypeGlyphs probe;
        return probe.SelectFont(TGlyphFont{});
    }

    const std::string& Error() const { return error_; }

    // One frame of dt seconds; the picture afterwards (RGBA, rows bottom-up).
    std::vector<std::uint8_t> Frame(float dt)
    {
        TCustomOpenGL& gl = headless_->GL();
        glViewport(0, 0, W, H);
        glDepthMask(GL_TRUE);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        gl.Viewports().Viewport(0)->Apply();
        gl.SetCullFace(true);
        gl.SetLighting(true);
        gl.SetDepthTest(true);
        Scene->ProcessFrame(dt);
        glFinish();
        return headless_->ReadPixels();
    }

    static Rgb At(const std::vector<std::uint8_t>& p, int x, int yFromBottom)
    {
        const std::uint8_t* q = &p[(static_cast<std::size_t>(yFromBottom) * W + x) * 4];
        return {q[0], q[1], q[2]};
    }

    // Pixels of the rectangle [x0, x1) x [y0, y1) (y from the bottom) that
    // differ by more than tolerance in any channel.
    static int Differing(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int x0, int y0,
                         int x1, int y1, int tolerance = 8)
    {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const Rgb p = At(a, x, y), q = At(b, x, y);
                if (std::abs(p.R - q.R) > tolerance || std::abs(p.G - q.G) > tolerance || std::abs(p.B - q.B) > tolerance)
                    ++n;
            }
        return n;
    }

    // Screen rectangle of a rectangle of the 1024 x 768 virtual screen.
    static int VX(double x) { return static_cast<int>(x * W / 1024.0); }
    static int VY(double y) { return static_cast<int>(y * H / 768.0); }

    TMainScene* Scene = nullptr;

private:
    TFreeTypeGlyphs glyphs_;
    std::unique_ptr<TFormSettings> form_;
    std::string archive_;
    std::string error_;
    std::unique_ptr<THeadlessGL> headless_;
};

#define PYR_REQUIRE_FIREPLACE(r)             \
    if (!(r).Error().empty())                \
    GTEST_SKIP() << (r).Error()
