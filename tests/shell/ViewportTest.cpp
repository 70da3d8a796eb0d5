#include <gtest/gtest.h>

#include "Fakes.h"
#include "shell/GLApp.h"

namespace {

TViewportEnvironment Windowed(int w, int h)
{
    TViewportEnvironment env;
    env.WindowWidth = w;
    env.WindowHeight = h;
    return env;
}

TEST(Viewport, AssignCopiesTheCameraButNotStretchOrClear)
{
    TDefViewport v, w;
    w.FOV = 39;
    w.Stretch = true;
    w.ClearMode = cmDepth;
    w.Camera.Position = {0, 105, 240};
    v.Assign(w);
    EXPECT_EQ(v.FOV, 39.0);
    EXPECT_EQ(v.Camera.Position.Y, 105.0f);
    EXPECT_FALSE(v.Stretch);
    EXPECT_EQ(v.ClearMode, cmColor | cmDepth);
}

TEST(Viewport, FrustumForTheParticles)
{
    TDefViewport v;
    v.FOV = 90;
    v.NearDepth = 100;
    TFrustum f = v.GetFrustum();
    EXPECT_NEAR(f.Top, 100.0, 1e-9);
    EXPECT_NEAR(f.Right, 100.0 * 1.3333334f, 1e-4);
    EXPECT_EQ(f.Left, -f.Right);
    EXPECT_EQ(f.Far, 10000.0);
    v.WideScreen = true;
    EXPECT_NEAR(v.GetFrustum().Right, 100.0 * 1.7777778f, 1e-4);
    v.Stretch = true;
    EXPECT_NEAR(v.GetFrustum().Right, 100.0 * 1.3333334f, 1e-4);
}

TEST(Viewport, WideWindowTurnsWideScreenOnForGoodUnlessStretched)
{
    TDefViewport v;
    ComputeViewportSetup(v, Windowed(160, 0)); // minimised: no change
    EXPECT_FALSE(v.WideScreen);
    EXPECT_DOUBLE_EQ(ComputeViewportSetup(v, Windowed(1024, 768)).Aspect, 4.0 / 3.0);
    EXPECT_FALSE(v.WideScreen);
    EXPECT_DOUBLE_EQ(ComputeViewportSetup(v, Windowed(1280, 720)).Aspect, 16.0 / 9.0);
    EXPECT_DOUBLE_EQ(ComputeViewportSetup(v, Windowed(800, 600)).Aspect, 16.0 / 9.0);
    EXPECT_TRUE(v.WideScreen);

    TDefViewport s;
    s.Stretch = true;
    EXPECT_EQ(ComputeViewportSetup(s, Windowed(1920, 800)).Aspect, static_cast<double>(1.3333334f));
    EXPECT_FALSE(s.WideScreen);
    s.WideScreen = true;
    EXPECT_EQ(ComputeViewportSetup(s, Windowed(1920, 800)).Aspect, static_cast<double>(1.3333334f));
}

TEST(Viewport, FullScreenUsesTheDesktopRatioAndMonitorChoice)
{
    FakeMonitors m;
    m.Rects = {{0, 0, 1280, 1024}, {1280, 0, 1920, 1080}};
    m.Virtual = {0, 0, 3200, 1080};
    TViewportEnvironment env = Windowed(1920, 1080);
    env.FullScreen = true;
    env.Monitors = &m;
    TDefViewport v;
    env.Monitor = 1; // a 16:9 monitor, but the primary desktop is 5:4
    TViewportSetup s = ComputeViewportSetup(v, env);
    EXPECT_FALSE(v.WideScreen);
    EXPECT_EQ(s.Width, 1920);
    EXPECT_EQ(s.Height, 1080);
    env.Monitor = -1;
    EXPECT_EQ(ComputeViewportSetup(v, env).Width, 1280);
    env.Monitor = 2; // dual view
    s = ComputeViewportSetup(v, env);
    EXPECT_EQ(s.Width, 1280 + 1920);
    EXPECT_EQ(s.Height, 1080);
    env.Monitor = 3; // virtual desktop
    EXPECT_EQ(ComputeViewportSetup(v, env).Width, 3200);
    EXPECT_EQ(FullScreenWindowBounds(1, m).Left, 1280);
    EXPECT_EQ(FullScreenWindowBounds(-1, m).Width, 3200);
    EXPECT_EQ(FullScreenWindowBounds(2, m).Width, 3200);
    m.Rects[0] = {0, 0, 1920, 1080};
    ComputeViewportSetup(v, env);
    EXPECT_TRUE(v.WideScreen);
}

TEST(Viewport, FullScreenPictureSitsOnItsMonitorInsideTheWindow)
{
    // A second monitor left of the primary one and taller: the window spans
    // the virtual desktop, the picture stays on the primary monitor.
    FakeMonitors m;
    m.Rects = {{0, 0, 1024, 768}, {-800, -100, 800, 1000}};
    m.Virtual = {-800, -100, 1824, 1000};
    TViewportEnvironment env = Windowed(1824, 1000);
    env.FullScreen = true;
    env.Monitors = &m;
    TDefViewport v;
    TViewportSetup s = ComputeViewportSetup(v, env);
    EXPECT_EQ(s.Left, 800);
    EXPECT_EQ(s.Bottom, 1000 - 100 - 768);
    EXPECT_EQ(s.Width, 1024);
    EXPECT_EQ(s.ClearWidth, 1824);  // the rest of the window is cleared black
    env.Monitor = 2; // dual view: both monitors from the left edge
    s = ComputeViewportSetup(v, env);
    EXPECT_EQ(s.Left, 0);
    EXPECT_EQ(s.Width, 1824);
    EXPECT_EQ(s.Bottom, 0);
    // A monitor of its own: its window is just that monitor.
    env.Monitor = 1;
    env.WindowWidth = 800;
    env.WindowHeight = 1000;
    s = ComputeViewportSetup(v, env);
    EXPECT_EQ(s.Left, 0);
    EXPECT_EQ(s.Bottom, 0);
    EXPECT_EQ(s.Height, 1000);
    // The monitor went away: the picture falls back to the primary screen.
    m.Rects.resize(1);
    m.Virtual = {0, 0, 1024, 768};
    env.WindowWidth = 1024;
    env.WindowHeight = 768;
    s = ComputeViewportSetup(v, env);
    EXPECT_EQ(s.Left, 0);
    EXPECT_EQ(s.Bottom, 0);
    EXPECT_EQ(s.Width, 1024);
}

TEST(Viewport, SetupCarriesCameraOrthoAndClear)
{
    TDefViewport v;
    v.Camera.Direction = {0, 0, -5};
    v.Camera.Position = {1, 2, 3};
    TViewportEnvironment env = Windowed(640, 480);
    env.WindowColor = 0x0000FF; // red
    TViewportSetup s = ComputeViewportSetup(v, env);
    EXPECT_EQ(s.Direction.Z, -1.0f);
    EXPECT_EQ(s.Position.Y, 2.0f);
    EXPECT_EQ(s.Ortho.Right, 640.0);
    EXPECT_EQ(s.Ortho.Top, 480.0);
    EXPECT_EQ(s.ClearColor.R, 1.0f);
    EXPECT_EQ(s.ClearColor.B, 0.0f);
    EXPECT_EQ(s.ClearColor.A, 1.0f);
    EXPECT_EQ(s.ClearMode, cmColor | cmDepth);
}

} // namespace
