// The fireplace drawn only where it changes must be the picture the whole
// frame gives: through the tool's render with and without --full-redraw, and
// frame by frame in the program's frame, where each picture drawn in part is
// compared with the same scene drawn whole. The cached image is made again
// when what it shows changes: the output's size, the materials, wide screen,
// the camera, the model, a new context.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "app/FSettings.h"
#include "app/FireplaceFrame.h"
#include "app/MemorySettings.h"
#include "clock/TimeProvider.h"
#include "gl/GLClasses.h"
#include "platform/HeadlessGL.h"
#include "platform/posix/EglDriver.h"
#include "platform/posix/FreeTypeGlyphs.h"
#include "scene/SceneMeshes.h"
#include "scene/SceneTextures.h"
#include "shell/AppPro.h"
#include "tools/pyrelume-tool/PngWrite.h"
#include "tools/pyrelume-tool/RenderScene.h"

namespace fs = std::filesystem;

namespace {

using TPicture = std::vector<std::uint8_t>;
using TKind = TSceneFrameCache::TFrameKind;

std::string Archive()
{
    return std::string(PYRELUME_BINARY_DIR) + "/data/data.rfa";
}

// The same picture up to rounding: a mean difference of at most half a
// level and at most one sample in a thousand more than 3 levels apart
// (red, green and blue of every pixel).
::testing::AssertionResult SamePicture(const TPicture& a, const TPicture& b)
{
    if (a.size() != b.size() || a.empty())
        return ::testing::AssertionFailure() << "pictures of " << a.size() << " and " << b.size() << " bytes";
    double sum = 0;
    std::size_t far = 0, samples = 0;
    for (std::size_t i = 0; i < a.size(); i += 4)
        for (int c = 0; c < 3; ++c) {
            const int d = std::abs(static_cast<int>(a[i + c]) - static_cast<int>(b[i + c]));
            sum += d;
            far += d > 3 ? 1 : 0;
            ++samples;
        }
    const double mean = sum / static_cast<double>(samples);
    const double share = static_cast<double>(far) / static_cast<double>(samples);
    if (mean <= 0.5 && share <= 0.001)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "mean difference " << mean << ", " << 100 * share
                                         << "% of the samples more than 3 levels apart";
}

// Pixels of the rectangle (y from the bottom) that differ at all.
int Differing(const TPicture& a, const TPicture& b, int width, const TGLRect& r)
{
    int n = 0;
    for (int y = r.Y; y < r.Top(); ++y)
        for (int x = r.X; x < r.Right(); ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
            n += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2] ? 1 : 0;
        }
    return n;
}

// The fireplace program's frame on a headless context, as the tool's render
// runs it, with a clock time the test sets.
class TCachedFireplace {
public:
    TCachedFireplace(int width, int height, const std::vector<std::pair<std::string, std::string>>& settings)
        : width_(width), height_(height), headless_(width, height), viewport_(FireplaceViewport())
    {
        if (!fs::exists(Archive())) {
            error_ = "no " + Archive() + " (build target pyrelume_data)";
            return;
        }
        if (!headless_.Start()) {
            error_ = "EGL could not create an OpenGL context: " + headless_.Error();
            return;
        }
        ParseLocalTime("2024-01-10T15:35:00", time_.Time);
        services_.Glyphs = &glyphs_;
        services_.Time = &time_;
        form_ = std::make_unique<TFormSettings>(services_);
        TSettingsStore store(&memory_);
        store.SetKeyPath("Software\\Pyrelume");
        for (const auto& [name, value] : settings)
            memory_.Set(THive::hkCurrentUser, store.KeyPath(), name, value);
        form_->Viewport = &viewport_;
        form_->LoadScene(&headless_.GL(), "", tool::PrepareSceneSource(Archive()), 2);
        form_->LoadSettings(store);
        form_->SetWideScreen(form_->WideScreen);
        frame_ = std::make_unique<TFireplaceFrame>(*form_, headless_.GL(), viewport_);
        frame_->Width = width;
        frame_->Height = height;
        frame_->TimeStep = 0.04f;
    }
    ~TCachedFireplace()
    {
        if (form_)
            form_->Stop();
    }

    const std::string& Error() const { return error_; }
    TFormSettings& Form() { return *form_; }
    TLocalTime& Time() { return time_.Time; }
    int Width() const { return width_; }
    const TSceneFrameCache::TFrameReport& Last() const { return form_->FrameCache.LastFrame(); }

    TKind Frames(int n)
    {
        for (int i = 0; i < n; ++i) {
            bool done = false;
            frame_->RunFrame(done);
        }
        return Last().Kind;
    }
    TPicture Picture() const { return ReadPixelsRGBA(width_, height_); }
    // The same scene drawn whole now: the viewport, then the render pass
    // with every draw, as a frame without the cache draws it.
    TPicture Whole()
    {
        frame_->ApplyViewport();
        TCustomOpenGL& gl = headless_.GL();
        gl.SetCullFace(true);
        gl.SetLighting(true);
        gl.SetDepthTest(true);
        form_->Scene->Render();
        return Picture();
    }
    void Resize(int width, int height)
    {
        width_ = width;
        height_ = height;
        if (auto* egl = dynamic_cast<TEglDriver*>(headless_.GL().Driver()))
            egl->SetSize(width, height);
        frame_->Width = width;
        frame_->Height = height;
    }
    void RestartContext()
    {
        headless_.Stop();
        ASSERT_TRUE(headless_.Start());
    }

private:
    int width_, height_;
    THeadlessGL headless_;
    TDefViewport viewport_;
    TFreeTypeGlyphs glyphs_;
    TFixedTimeProvider time_;
    TServices services_;
    TMemorySettings memory_;
    std::unique_ptr<TFormSettings> form_;
    std::unique_ptr<TFireplaceFrame> frame_;
    std::string error_;
};

#define PYR_REQUIRE(f)             \
    if (!(f).Error().empty())      \
    GTEST_SKIP() << (f).Error()

constexpr int W = 512;
constexpr int H = 384;

} // namespace

TEST(FrameCache, FramesDrawnInPartAreTheWholeFramesPicture)
{
    TCachedFireplace f(W, H, {{"Clock Mode", "1"}});
    PYR_REQUIRE(f);
    EXPECT_EQ(f.Frames(1), TKind::Whole) << "the first frame has nothing still to cache yet";
    EXPECT_EQ(f.Frames(1), TKind::Rebuilt);
    for (int i = 0; i < 6; ++i) {
        ASSERT_EQ(f.Frames(1), TKind::Partial) << "frame " << i + 3;
        EXPECT_LT(f.Last().DrawnPixels, static_cast<std::int64_t>(W) * H * 9 / 10);
        EXPECT_GT(f.Last().CachedDraws, 0);
        const TPicture part = f.Picture();
        EXPECT_TRUE(SamePicture(part, f.Whole())) << "frame " << i + 3;
    }
}

TEST(FrameCache, NearViewWithTheClockTurningOverAMinute)
{
    TCachedFireplace f(W, H, {{"NearView", "1"}, {"Clock Mode", "1"}});
    PYR_REQUIRE(f);
    ParseLocalTime("2024-01-10T23:59:59", f.Time());
    ASSERT_EQ(f.Frames(5), TKind::Partial);
    const TPicture before = f.Picture();
    // Midnight: the time, the date and the day change at once. The clock is
    // not cached (it changes), so the picture is right whichever way the
    // frame is drawn: a clock whose sprites change while the frame is being
    // measured has it drawn whole once.
    ParseLocalTime("2024-01-11T00:00:00", f.Time());
    f.Frames(1);
    EXPECT_NE(f.Last().Kind, TKind::Rebuilt) << "the cached image does not hold the clock";
    const TPicture after = f.Picture();
    // The clock's plate, bottom right on the virtual 1024 x 768 screen.
    const TGLRect clock{824 * W / 1024, 20 * H / 768, 180 * W / 1024, 131 * H / 768};
    EXPECT_GT(Differing(before, after, W, clock), 200) << "the clock shows the new time";
    EXPECT_TRUE(SamePicture(after, f.Whole()));
    ASSERT_EQ(f.Frames(1), TKind::Partial);
    EXPECT_TRUE(SamePicture(f.Picture(), f.Whole()));
    ASSERT_EQ(f.Frames(3), TKind::Partial);
    EXPECT_TRUE(SamePicture(f.Picture(), f.Whole()));
}

TEST(FrameCache, StoredFullRedrawDrawsEveryFrameWhole)
{
    TCachedFireplace f(W, H, {{"FullRedraw", "1"}});
    PYR_REQUIRE(f);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(f.Frames(1), TKind::Whole);
}

TEST(FrameCache, MadeAgainWhenWhatItShowsChanges)
{
    const std::vector<std::pair<const char*, std::function<void(TCachedFireplace&)>>> changes = {
        {"the output resized (a window, a monitor, a dpi change)", [](TCachedFireplace& f) { f.Resize(400, 300); }},
        {"the material switched",
         [](TCachedFireplace& f) {
             f.Form().FrontTexture->SetFileIndex(1);
             f.Form().BackTexture->SetFileIndex(1);
         }},
        {"wide screen", [](TCachedFireplace& f) { f.Form().SetWideScreen(true); }},
        {"near view", [](TCachedFireplace& f) { f.Form().SetNearView(true); }},
        {"the fireplace style", [](TCachedFireplace& f) { f.Form().SetFireplaceStyle(1); }},
        {"a context restart", [](TCachedFireplace& f) { f.RestartContext(); }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        TCachedFireplace f(W, H, {});
        PYR_REQUIRE(f);
        ASSERT_EQ(f.Frames(4), TKind::Partial);
        change(f);
        // Drawn whole while what changed settles (a draw that changed waits a
        // frame or more before it is cached again), the image made again,
        // then drawn in part; right all the way.
        EXPECT_NE(f.Frames(1), TKind::Partial);
        EXPECT_TRUE(SamePicture(f.Picture(), f.Whole()));
        bool rebuilt = f.Last().Kind == TKind::Rebuilt;
        for (int i = 0; i < 8 && f.Last().Kind != TKind::Partial; ++i)
            rebuilt = f.Frames(1) == TKind::Rebuilt || rebuilt;
        EXPECT_TRUE(rebuilt);
        EXPECT_EQ(f.Frames(1), TKind::Partial);
        EXPECT_TRUE(SamePicture(f.Picture(), f.Whole()));
    }
}

// The tool's render, once as the program draws and once with --full-redraw,
// each in a process of its own (so both runs draw the same fire).
class FrameCacheTool : public ::testing::TestWithParam<const char*> {};

TEST_P(FrameCacheTool, RenderWithAndWithoutFullRedrawIsTheSamePicture)
{
    if (!fs::exists(Archive()))
        GTEST_SKIP() << "no data.rfa (build target pyrelume_data)";
    {
        THeadlessGL probe(8, 8);
        if (!probe.Start())
            GTEST_SKIP() << "no headless OpenGL context";
    }
    TPicture pictures[2];
    for (int full = 0; full < 2; ++full) {
        const fs::path png =
            fs::temp_directory_path() / ("pyrelume-cache-" + std::to_string(::getpid()) + "-" + std::to_string(full) + ".png");
        const std::string cmd = std::string("\"") + PYRELUME_TOOL + "\" render \"" + Archive() +
                                "\" --size 640x480 --frames 40 --dt 0.04 --time 2024-01-10T15:35:00 --out \"" +
                                png.string() + "\" " + GetParam() + (full ? " --full-redraw" : "");
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
        int w = 0, h = 0;
        pictures[full] = ReadPngRGBA(png.string(), w, h);
        fs::remove(png);
        ASSERT_EQ(w, 640);
        ASSERT_EQ(h, 480);
    }
    EXPECT_TRUE(SamePicture(pictures[0], pictures[1]));
}

INSTANTIATE_TEST_SUITE_P(Scenes, FrameCacheTool,
                         ::testing::Values("--setting \"Clock Mode=1\"",
                                           "--setting NearView=1 --setting \"Clock Mode=1\""));
