#include <gtest/gtest.h>

#include "Fakes.h"
#include "shell/FramePacer.h"
#include "shell/GLApp.h"
#include "shell/TimePro.h"

namespace {

TEST(Time, BreakdownOfTheTotal)
{
    TTime t;
    t.SetMilliseconds(90061001u); // 1 day, 1 h, 1 min, 1 s, 1 ms
    EXPECT_EQ(t.Day(), 1u);
    EXPECT_EQ(t.Hour(), 1u);
    EXPECT_EQ(t.Min(), 1u);
    EXPECT_EQ(t.Sec(), 1u);
    EXPECT_EQ(t.MSec(), 1u);
    EXPECT_DOUBLE_EQ(static_cast<double>(t.Seconds()), 90061.001);
    t.Reset();
    EXPECT_EQ(t.Milliseconds(), 0u);
    EXPECT_EQ(t.Day(), 0u);
}

TEST(Timer, ResolutionRequestedAndReleased)
{
    FakeClock clock;
    clock.Caps = 0; // reported minimum below 1: at least 1 ms
    { TTimerPro t(clock); EXPECT_EQ(t.Period(), 1u); }
    EXPECT_EQ(clock.Ended, std::vector<std::uint32_t>{1});
    FakeClock refusing;
    refusing.Caps = 5;
    refusing.RefuseBegin = true;
    { TTimerPro t(refusing); EXPECT_EQ(t.Period(), 1u); }
    EXPECT_EQ(refusing.Begun, (std::vector<std::uint32_t>{5, 1}));
    EXPECT_EQ(refusing.Ended, std::vector<std::uint32_t>{1});

    FakeClock noCaps;
    noCaps.HasCaps = false;
    { TTimerPro t(noCaps); }
    EXPECT_EQ(noCaps.Begun, std::vector<std::uint32_t>{1});
}

TEST(Timer, AccumulatesForwardTicksOnlyAndAcrossWrap)
{
    FakeClock clock;
    TTimerPro t(clock);
    EXPECT_EQ(t.CurrentTime().Milliseconds(), 0u); // not running
    clock.Now = 0xFFFFFF00u;
    t.StartTimer();
    clock.Now = 0x00000100u; // wrapped: +512
    EXPECT_EQ(t.CurrentTime().Milliseconds(), 512u);
    clock.Now = 0x00000050u; // backwards: nothing added
    EXPECT_EQ(t.CurrentTime().Milliseconds(), 512u);
    clock.Now = 0x00000060u;
    EXPECT_EQ(t.CurrentTime().Milliseconds(), 528u);
    t.StartTimer(); // already running: no reset
    EXPECT_EQ(t.CurrentTime().Milliseconds(), 528u);
}

TEST(FramePacer, WaitsOutTheRestOfTheRefreshPeriod)
{
    TFramePacer p; // 60 Hz
    EXPECT_EQ(p.WaitMilliseconds(10.000L, true), 0u);   // schedule starts: next due at 10.0167
    EXPECT_EQ(p.WaitMilliseconds(10.005L, true), 11u);  // early: the rest of the period
    EXPECT_EQ(p.WaitMilliseconds(10.020L, true), 13u);  // due at 10.0333
    EXPECT_EQ(p.WaitMilliseconds(10.055L, true), 0u);   // a little late: keeps the schedule (due 10.0667)
    EXPECT_EQ(p.WaitMilliseconds(10.060L, true), 6u);
    EXPECT_EQ(p.WaitMilliseconds(10.500L, true), 0u);   // far behind: starts again, due 10.5167
    EXPECT_EQ(p.WaitMilliseconds(10.510L, true), 6u);
    EXPECT_EQ(p.WaitMilliseconds(10.511L, false), 0u);  // no retrace asked: no wait, schedule dropped
    EXPECT_EQ(p.WaitMilliseconds(10.512L, true), 0u);
    p.SetRefreshRate(1); // the system's "default"
    EXPECT_EQ(p.RefreshRate(), 60);
    p.SetRefreshRate(144);
    EXPECT_EQ(p.WaitMilliseconds(20.0L, true), 0u);
    EXPECT_EQ(p.WaitMilliseconds(20.001L, true), 5u);
}

// Frame loop driven headless with a fake clock, context and window.
class FrameLoopTest : public ::testing::Test {
protected:
    FakePlatform fp;
    std::unique_ptr<TCustomGLApplication> app;
    FakeContext* ctx = nullptr;
    FakeWindow window;
    TCustomGLDisplay display{&fp.Display, &fp.Host};
    std::vector<std::string> log;

    void SetUp() override
    {
        fp.Display.System = {{1024, 768, 32, 60}, {800, 600, 16, 60}};
        app = std::make_unique<TCustomGLApplication>(fp.Services());
        auto c = std::make_unique<FakeContext>();
        ctx = c.get();
        ctx->Log = &log;
        app->SetContext(std::move(c));
        app->SetWindow(&window);
        app->SetDisplay(&display);
        app->Active = true;
        app->OnStart = [&] { log.push_back("Start"); };
        app->OnStartOpenGL = [&] { log.push_back("StartOpenGL"); };
        app->OnResizeViewport = [&](int, int) { log.push_back("Resize"); };
        app->OnUpdate = [&](float dt) { log.push_back("Update"); deltas.push_back(dt); };
        app->OnRender = [&](float, bool select) { log.push_back(select ? "Select" : "Render"); };
        app->OnFPSChanged = [&] { log.push_back("FPS"); ++fpsChanges; };
    }
    void Pass()
    {
        bool done = true;
        app->DoIdle(done);
        EXPECT_FALSE(done);
    }
    std::vector<float> deltas;
    int fpsChanges = 0;
};

TEST_F(FrameLoopTest, StartUpOrderAndPerFrameOrder)
{
    window.ShowWithHandle();
    Pass();
    EXPECT_EQ(log, (std::vector<std::string>{"Start", "StartOpenGL", "Resize", "Update", "Viewport", "Render",
                                             "Swap"}));
    EXPECT_TRUE(app->OpenGLStarted());
    log.clear();
    fp.Clock.Now += 16;
    Pass();
    EXPECT_EQ(log, (std::vector<std::string>{"Update", "Viewport", "Render", "Swap"}));
}

TEST_F(FrameLoopTest, FirstFrameGetsZeroThenElapsedSeconds)
{
    window.ShowWithHandle();
    Pass();
    fp.Clock.Now += 20;
    Pass(); // the timer read 0 on the first frame, so this one starts the time base
    fp.Clock.Now += 25;
    Pass();
    ASSERT_EQ(deltas.size(), 3u);
    EXPECT_EQ(deltas[0], 0.0f);
    EXPECT_NEAR(deltas[2], 0.025f, 1e-6);
}

TEST_F(FrameLoopTest, NoContextWithoutDeviceContextAndRetriesAFailedStart)
{
    Pass();
    EXPECT_EQ(ctx->Activations, 0);
    ctx->FailActivate = true;
    window.ShowWithHandle();
    Pass();
    Pass();
    EXPECT_EQ(ctx->Activations, 2);
    EXPECT_FALSE(app->OpenGLStarted());
    ctx->FailActivate = false;
    Pass();
    EXPECT_TRUE(app->OpenGLStarted());
    // Destroying the window stops the context; a new handle starts it again.
    window.HideAndDestroyHandle();
    EXPECT_FALSE(ctx->IsActive);
    EXPECT_EQ(app->DeviceContext, 0u);
    window.ShowWithHandle();
    Pass();
    EXPECT_TRUE(ctx->IsActive);
}

TEST_F(FrameLoopTest, FrameRateRoundsHalfToEven)
{
    auto at = [&](std::uint32_t ms) {
        fp.Clock.Now = 1000 + ms;
        Pass();
    };
    at(0);
    at(250);
    at(500);
    at(750);
    at(2000); // 5 frames in 2.0 s: 2.5 -> 2
    EXPECT_EQ(app->FPS(), 2);
    at(2250);
    at(2500);
    at(2750);
    at(2800);
    at(2900);
    at(4000); // 7 frames in 2.0 s: 3.5 -> 4
    EXPECT_EQ(app->FPS(), 4);
    EXPECT_EQ(fpsChanges, 2);
    at(4250);
    at(4500);
    at(5000); // 4 frames in 1.0 s: unchanged, no event
    EXPECT_EQ(app->FPS(), 4);
    EXPECT_EQ(fpsChanges, 2);
}

TEST_F(FrameLoopTest, PacingSleepsOneMillisecondAndEighteenWithLowCPU)
{
    Pass(); // start-up pass
    fp.Clock.Sleeps.clear();
    Pass();
    EXPECT_EQ(fp.Clock.SleepCount(1), 1);
    EXPECT_EQ(fp.Clock.SleepCount(17), 0);
    app->LowCPUUsage = true;
    fp.Clock.Sleeps.clear();
    Pass();
    EXPECT_EQ(fp.Clock.SleepCount(1), 1);
    EXPECT_EQ(fp.Clock.SleepCount(17), 1);
}

TEST_F(FrameLoopTest, PowerOffBlocksFramesForGood)
{
    window.ShowWithHandle();
    Pass();
    const int swaps = ctx->Swaps;
    app->DoPowerBroadcast(TPowerBroadcast::pbSuspend);
    EXPECT_FALSE(ctx->IsActive);
    EXPECT_TRUE(app->FrameBlocked());
    bool done = true;
    app->DoIdle(done);
    EXPECT_TRUE(done); // the application may wait for messages again
    EXPECT_EQ(ctx->Swaps, swaps);
    EXPECT_EQ(ctx->Activations, 1);
}

TEST_F(FrameLoopTest, ReentrantPassFromAnEventDoesNothing)
{
    window.ShowWithHandle();
    int nested = 0;
    app->OnUpdate = [&](float) {
        bool done = true;
        ++nested;
        app->DoIdle(done); // message pumping inside a handler
    };
    Pass();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(ctx->Swaps, 1);
    EXPECT_FALSE(app->FrameBlocked());
}

TEST_F(FrameLoopTest, NoUsableColourDepthEndsTheProcess)
{
    fp.Display.System = {{640, 400, 8, 60}};
    fp.Display.Current = {640, 400, 8, 60};
    Pass();
    EXPECT_TRUE(fp.Host.Halted);
    ASSERT_EQ(fp.Host.Boxes.size(), 1u);
    EXPECT_NE(fp.Host.Boxes[0].find("High Color (16 bits) to run this program!"), std::string::npos);
    EXPECT_EQ(app->State(), TAppState::Stopped);
}

TEST_F(FrameLoopTest, DisplayChangeRecreatesTheWindowAndStepsTheCursor)
{
    window.ShowWithHandle();
    Pass();
    app->HideCursor = true;
    const int creates = window.Creates;
    fp.Host.CursorCounter = 0;
    display.SetFullScreen(true);
    EXPECT_EQ(window.Creates, creates + 1);
    EXPECT_FALSE(fp.Host.MainEnabled);
    EXPECT_EQ(fp.Host.CursorCounter, -2); // the switch and the application each hide once
    display.SetFullScreen(false);
    EXPECT_TRUE(fp.Host.MainEnabled);
    EXPECT_TRUE(window.HasHandle);
    app->TerminateOnWindowed = true;
    display.SetFullScreen(true);
    display.SetFullScreen(false);
    EXPECT_FALSE(window.HasHandle);
}

TEST_F(FrameLoopTest, CloseRequestLeavesFullScreenAndMayTerminate)
{
    display.Loaded();
    window.ShowWithHandle();
    EXPECT_FALSE(window.HandleClose());
    display.SetFullScreen(true);
    app->TerminateOnWindowed = true;
    EXPECT_TRUE(window.HandleClose());
    EXPECT_FALSE(display.FullScreen());
    EXPECT_TRUE(fp.Host.IsTerminated);
}

TEST(GLApplicationLinks, FreedWindowAndDisplayAreForgotten)
{
    FakePlatform fp;
    TCustomGLApplication app(fp.Services());
    auto window = std::make_unique<FakeWindow>();
    auto display = std::make_unique<TCustomGLDisplay>(&fp.Display, &fp.Host);
    app.SetWindow(window.get());
    app.SetDisplay(display.get());
    window.reset();
    display.reset();
    EXPECT_EQ(app.Window(), nullptr);
    EXPECT_EQ(app.Display(), nullptr);
    app.ApplyViewport(); // nothing linked: no access to freed objects
}

} // namespace

TEST_F(FrameLoopTest, WaitSyncPacesFramesToTheRefreshWhenSwapsReturnAtOnce)
{
    // Swaps and drawing take no time here, as on a display that ignores the
    // swap interval; only the loop's sleeps advance the clock.
    fp.Clock.SleepAdvances = true;
    window.ShowWithHandle();
    auto framesInOneSecond = [&] {
        const int swaps = ctx->Swaps;
        const std::uint32_t end = fp.Clock.Now + 1000;
        while (fp.Clock.Now < end)
            Pass();
        return ctx->Swaps - swaps;
    };
    Pass();
    const int paced = framesInOneSecond();
    EXPECT_GE(paced, 58);
    EXPECT_LE(paced, 61);
    ctx->Sync = false; // WaitSync off: only the loop's own 1 ms sleeps
    EXPECT_GT(framesInOneSecond(), 500);
}
