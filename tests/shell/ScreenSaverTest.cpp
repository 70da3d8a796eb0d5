#include <gtest/gtest.h>

#include "Fakes.h"
#include "gl/Errors.h"
#include "shell/ExecutePro.h"
#include "shell/GLScreenSaver.h"
#include "tests/common/TestUtil.h"

namespace {

const std::string kKey = "Software\\Varnel Software\\Pyrelume 3";

TEST(SaverModes, CommandLineTable)
{
    EXPECT_EQ(ParseSaverMode("C:\\x\\prog.scr", {}), TSaverMode::smConfigure);
    EXPECT_EQ(ParseSaverMode("C:\\x\\prog.exe", {}), TSaverMode::smProgram);
    EXPECT_EQ(ParseSaverMode("C:\\x\\PROG.EXE", {}), TSaverMode::smProgram);
    EXPECT_EQ(ParseSaverMode("C:\\x\\prog.exe", {"/s"}), TSaverMode::smSaver);
    EXPECT_EQ(ParseSaverMode("prog.scr", {"/c", "/s"}), TSaverMode::smConfigure);
    EXPECT_EQ(ParseSaverMode("prog.scr", {"/c:1234"}), TSaverMode::smConfigure);
    EXPECT_EQ(ParseSaverMode("prog.scr", {"/a", "55"}), TSaverMode::smPassword);
    EXPECT_EQ(ParseSaverMode("prog.scr", {"/p", "1234"}), TSaverMode::smPreview);
    EXPECT_EQ(ParseSaverMode("prog.scr", {"/l", "1234"}), TSaverMode::smPreview);
    EXPECT_EQ(ParseSaverMode("prog.scr", {"/x"}), TSaverMode::smProgram);
    // A dot in a folder name is not the program's extension.
    EXPECT_EQ(ProgramExtension("C:\\a.exe\\prog"), "");
}

TEST(SaverModes, ParentHandleForms)
{
    EXPECT_EQ(ParseParentHandle({"/p", "1234"}, 9), 1234u);
    EXPECT_EQ(ParseParentHandle({"/p:1234"}, 9), 1234u);
    EXPECT_EQ(ParseParentHandle({"/c:1234"}, 9), 1234u);
    EXPECT_EQ(ParseParentHandle({}, 9), 9u);
    // Up to 20 characters after the first ":".
    EXPECT_EQ(ParseParentHandle({"/p:000000000000000000012"}, 9), 1u);
    EXPECT_THROW(ParseParentHandle({"/p", "abc"}, 9), EPyrelumeError);
    EXPECT_THROW(ParseParentHandle({"/p:"}, 9), EPyrelumeError);
    EXPECT_EQ(testutil::ErrorOf([] { ParseParentHandle({"/p", "12x"}, 0); }), "'12x' is not a valid integer value");
    // A saver started with such a handle fails with that error, not a crash.
    FakePlatform fp;
    fp.Host.Params = {"/p", "hwnd"};
    EXPECT_THROW(TGLScreenSaver saver(fp.Services()), EPyrelumeError);
}

TEST(MouseTracker, FirstFiveIgnoredSixthSetsPointThenDiagonalMoveEndsOnlyWithMouseMoveExit)
{
    TMouseTracker t;
    t.Reset();
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(t.MoveEnds(true, 500 + 50 * i, 500 + 50 * i));
    EXPECT_FALSE(t.MoveEnds(true, 100, 100)); // reference point
    EXPECT_FALSE(t.MoveEnds(true, 102, 150)); // only 2 px horizontally
    EXPECT_FALSE(t.MoveEnds(true, 300, 100)); // purely horizontal
    EXPECT_FALSE(t.MoveEnds(true, 100, 300)); // purely vertical
    EXPECT_TRUE(t.MoveEnds(true, 103, 97));
    EXPECT_EQ(t.SkipMoves, 5); // a yes resets the tracker
    EXPECT_EQ(t.ExitX, -1);
    // Without MouseMoveExit moves never end the saver.
    t.Reset();
    for (int i = 0; i < 20; ++i)
        EXPECT_FALSE(t.MoveEnds(false, i * 100, i * 100));
    EXPECT_EQ(t.SkipMoves, 5);
}

TEST(ExitRules, KeysClicksAndOtherMessages)
{
    TMouseTracker t;
    auto msg = [](TMessageKind k, std::uint32_t key = 0) { return TAppMessage{k, key}; };
    EXPECT_EQ(DecideExit(msg(TMessageKind::mkKeyDown, 65), false, t), TExitDecision::edExit);
    EXPECT_EQ(DecideExit(msg(TMessageKind::mkKeyDown, 27), false, t), TExitDecision::edExit);
    for (std::uint32_t k : {16u, 17u, 44u})
        EXPECT_EQ(DecideExit(msg(TMessageKind::mkKeyDown, k), false, t), TExitDecision::edContinue) << k;
    EXPECT_EQ(DecideExit(msg(TMessageKind::mkSysKeyDown, 18), false, t), TExitDecision::edExit);
    EXPECT_EQ(DecideExit(msg(TMessageKind::mkButtonUp), false, t), TExitDecision::edExit);
    EXPECT_EQ(DecideExit(msg(TMessageKind::mkButtonDblClk), false, t), TExitDecision::edExit);
    EXPECT_EQ(DecideExit(msg(TMessageKind::mkKeyUp, 44), false, t), TExitDecision::edPassOn);
    EXPECT_EQ(DecideExit(msg(TMessageKind::mkOther), false, t), TExitDecision::edPassOn);
    EXPECT_EQ(DecideExit(msg(TMessageKind::mkMouseMove), false, t), TExitDecision::edContinue);
}

TEST(PowerTimeouts, TableAndOutOfRange)
{
    EXPECT_EQ(PowerTimeoutSeconds(0), -1.0f);
    EXPECT_EQ(PowerTimeoutSeconds(1), 60.0f);
    EXPECT_EQ(PowerTimeoutSeconds(10), 2700.0f);
    EXPECT_EQ(PowerTimeoutSeconds(15), 18000.0f);
    EXPECT_EQ(PowerTimeoutSeconds(16), -1.0f);
    EXPECT_EQ(PowerTimeoutSeconds(-3), -1.0f);
}

// A saver wired to fakes, as the main form sets it up.
class SaverTest : public ::testing::Test {
protected:
    FakePlatform fp;
    FakeWindow window;
    std::unique_ptr<TCustomGLDisplay> display;
    std::unique_ptr<TGLScreenSaver> saver;
    FakeContext* ctx = nullptr;

    void Make(std::vector<std::string> params, std::string program = "C:\\Saver\\Pyrelume.scr")
    {
        fp.Host.Program = std::move(program);
        fp.Host.Params = std::move(params);
        fp.Display.System = {{1024, 768, 32, 60}, {800, 600, 16, 60}};
        display = std::make_unique<TCustomGLDisplay>(&fp.Display, &fp.Host);
        saver = std::make_unique<TGLScreenSaver>(fp.Services());
        auto c = std::make_unique<FakeContext>();
        ctx = c.get();
        saver->SetContext(std::move(c));
        saver->Title = "Pyrelume";
        saver->Company = "Varnel Software";
        saver->MajorVersion = "3";
        saver->Active = true;
        saver->SetWindow(&window);
        saver->SetDisplay(display.get());
        saver->OnRender = [](float, bool) {};
        display->Loaded();
    }
    bool Send(TMessageKind kind, std::uint32_t key = 0, int x = 0, int y = 0, bool ctrl = false)
    {
        bool handled = false;
        saver->DoMessage(TAppMessage{kind, key, x, y, ctrl}, handled);
        return handled;
    }
    void Pass()
    {
        bool done = false;
        saver->DoIdle(done);
    }
};

TEST_F(SaverTest, SaverModeGoesFullScreenAndAKeyEndsIt)
{
    Make({"/s"});
    saver->Loaded();
    int snaps = 0;
    saver->OnSnapShot = [&] { ++snaps; };
    EXPECT_EQ(saver->Mode(), TSaverMode::smSaver);
    EXPECT_TRUE(display->FullScreen());
    EXPECT_TRUE(saver->TerminateOnWindowed);
    EXPECT_EQ(fp.Power.SaverRunning, std::vector<bool>{true});
    EXPECT_EQ(fp.Host.HiddenAway, 1);
    Send(TMessageKind::mkKeyDown, 16); // Shift, Ctrl and Print Screen go on
    Send(TMessageKind::mkKeyDown, 17);
    Send(TMessageKind::mkKeyDown, 44);
    EXPECT_TRUE(Send(TMessageKind::mkKeyUp, 44, 0, 0, true)); // reaches the screenshot handler
    EXPECT_EQ(snaps, 1);
    Send(TMessageKind::mkMouseMove, 0, 10, 10);
    Send(TMessageKind::mkMouseMove, 0, 900, 900);
    EXPECT_TRUE(display->FullScreen());
    Send(TMessageKind::mkKeyDown, 32);
    EXPECT_FALSE(display->FullScreen());
    EXPECT_EQ(fp.Host.Closes, 1);
    saver.reset();
    EXPECT_EQ(fp.Power.SaverRunning, (std::vector<bool>{true, false}));
}

TEST_F(SaverTest, RejectedPasswordKeepsRunningWithTrackerReset)
{
    Make({"/s"});
    fp.Registry.Set(THive::hkCurrentUser, "Control Panel\\desktop", "ScreenSaveUsePassword", "1");
    saver->MouseMoveExit = true;
    saver->Loaded();
    window.ShowWithHandle();
    Pass();
    fp.Passwords.Answer = TPasswordResult::prRejected;
    for (int i = 0; i < 3; ++i)
        Send(TMessageKind::mkMouseMove, 0, i, i);
    Send(TMessageKind::mkButtonUp);
    EXPECT_EQ(fp.Passwords.Verifies, 1);
    EXPECT_TRUE(display->FullScreen());
    EXPECT_EQ(saver->Tracker().SkipMoves, 5);
    EXPECT_EQ(ctx->PaintSwaps, 1);
    fp.Passwords.Answer = TPasswordResult::prUnavailable; // missing library: accepted
    Send(TMessageKind::mkKeyDown, 13);
    EXPECT_FALSE(display->FullScreen());
    EXPECT_EQ(fp.Host.Closes, 1);
}

TEST_F(SaverTest, PreviewFromTheSettingsDialogOnlyLeavesFullScreen)
{
    Make({}, "C:\\Saver\\Pyrelume.exe");
    saver->Loaded();
    EXPECT_EQ(saver->Mode(), TSaverMode::smProgram);
    EXPECT_EQ(saver->Tracker().SkipMoves, 0);
    display->SetFullScreen(true);
    Send(TMessageKind::mkButtonUp);
    EXPECT_FALSE(display->FullScreen());
    EXPECT_EQ(fp.Host.Closes, 0);
    EXPECT_EQ(fp.Passwords.Verifies, 0);
}

TEST_F(SaverTest, PreviewAndConfigureStartUp)
{
    Make({"/p", "4321"});
    saver->Loaded();
    EXPECT_EQ(saver->Mode(), TSaverMode::smPreview);
    EXPECT_EQ(window.Parent, 4321u);
    EXPECT_TRUE(saver->TerminateOnWindowed);
    EXPECT_FALSE(display->FullScreen());
    EXPECT_TRUE(fp.Power.SaverRunning.empty());

    saver.reset();
    Make({"/c:555"});
    saver->Loaded();
    EXPECT_EQ(saver->Mode(), TSaverMode::smConfigure);
    ASSERT_FALSE(fp.Host.Enabled.empty());
    EXPECT_EQ(fp.Host.Enabled.back(), std::make_pair(TWindowHandle{555}, false));
    fp.Clock.Sleeps.clear();
    Pass();
    EXPECT_EQ(fp.Clock.SleepCount(4), 1);
    saver.reset();
    EXPECT_EQ(fp.Host.Enabled.back(), std::make_pair(TWindowHandle{555}, true));

    Make({"/a", "66"}); // password mode changes the password at once
    EXPECT_EQ(fp.Passwords.Changes, std::vector<std::string>{"C:\\Windows\\System32\\@66"});
    EXPECT_EQ(fp.Host.Closes, 1);
}

TEST_F(SaverTest, SecondSaverInstanceShowsNothing)
{
    Make({"/s"});
    bool exists = false;
    auto held = fp.Semaphores.Create("PyrelumeSemaphore", exists);
    saver->Loaded();
    EXPECT_TRUE(fp.Host.IsTerminated);
    EXPECT_TRUE(fp.Display.Changes.empty());
    EXPECT_TRUE(fp.Power.SaverRunning.empty());
}

TEST_F(SaverTest, PowerOffAfterSixtySecondsOfFrames)
{
    Make({"/s"});
    fp.Registry.Set(THive::hkLocalMachine, kKey, "PowerOffIndex", "1");
    saver->Loaded();
    saver->LoadOptions();
    EXPECT_EQ(saver->PowerOffTime, 60.0f);
    EXPECT_TRUE(saver->SuspendEnabled);
    Pass();
    fp.Clock.Now += 59000;
    Pass();
    EXPECT_EQ(fp.Power.Suspends, 0);
    fp.Clock.Now += 1001;
    Pass();
    EXPECT_EQ(fp.Power.Suspends, 1);
    EXPECT_EQ(saver->PowerOffTime, -1.0f);
    Pass();
    EXPECT_EQ(fp.Power.Suspends, 1);
    // The suspend broadcast then ends the run.
    saver->DoPowerBroadcast(TPowerBroadcast::pbSuspend);
    EXPECT_FALSE(saver->SuspendEnabled);
    EXPECT_FALSE(display->FullScreen());
    EXPECT_EQ(fp.Host.Closes, 1);
}

TEST_F(SaverTest, MonitorOffTurnsFramesBlack)
{
    Make({"/s"});
    saver->Loaded();
    saver->SetMonitorOffIndex(4);
    window.Color = 0x123456;
    window.ShowWithHandle();
    int renders = 0, offs = 0;
    saver->OnRender = [&](float, bool) { ++renders; };
    saver->OnPowerOff = [&] { ++offs; };
    Pass();
    fp.Clock.Now += 300001;
    Pass();
    EXPECT_EQ(fp.Power.MonitorOffs, 1);
    EXPECT_EQ(offs, 1);
    EXPECT_EQ(window.Color, 0u);
    EXPECT_EQ(saver->Viewport().ClearMode, cmColor);
    const int before = renders;
    Pass();
    EXPECT_EQ(renders, before); // the program's drawing is replaced
    EXPECT_EQ(fp.Power.MonitorOffs, 1);
}

TEST_F(SaverTest, OptionsRoundTripAndOutOfRangeIndex)
{
    Make({"/s"});
    saver->MouseMoveExit = true;
    saver->SetPowerOffIndex(3);
    saver->SetMonitorOffIndex(12);
    saver->SaveOptions();
    // The desktop's size at 16 bits is not offered here: the first 16-bit size is used.
    EXPECT_EQ(*fp.Registry.Get(THive::hkLocalMachine, kKey, "MouseMoveExit"), "-1");
    EXPECT_EQ(*fp.Registry.Get(THive::hkLocalMachine, kKey, "MonitorOffIndex"), "12");
    EXPECT_EQ(*fp.Registry.Get(THive::hkLocalMachine, kKey, "FullScreenMode"), "800x600x16");

    fp.Registry.Set(THive::hkLocalMachine, kKey, "PowerOffIndex", "99");
    saver->MouseMoveExit = false;
    saver->LoadOptions();
    EXPECT_TRUE(saver->MouseMoveExit);
    EXPECT_EQ(saver->PowerOffIndex(), 0);
    EXPECT_EQ(saver->PowerOffTime, -1.0f);
    EXPECT_EQ(saver->MonitorOffTime, 7200.0f);
}

TEST_F(SaverTest, RunAsProgramHandsOverToTheExe)
{
    Make({"/s"});
    fp.Registry.Set(THive::hkLocalMachine, kKey, "RunAsProgram", "-1");
    fp.Registry.Set(THive::hkLocalMachine, kKey, "DataPath", "D:\\Fire\\");
    fp.Launcher.ActivePolls = 3;
    saver->Loaded();
    ASSERT_EQ(fp.Launcher.Started.size(), 1u);
    EXPECT_EQ(fp.Launcher.Started[0], "D:\\Fire\\Pyrelume.EXE /s");
    EXPECT_EQ(fp.Launcher.Dirs[0], "D:\\Fire\\");
    EXPECT_EQ(fp.Launcher.IdleCalls, 1);
    EXPECT_EQ(fp.Clock.SleepCount(100), 3);
    EXPECT_EQ(fp.Host.Closes, 1);
    EXPECT_FALSE(display->FullScreen());
}

TEST(ExecutePro, CommandLineSplitFailureReportAndShellModeForDocuments)
{
    FakeHost host;
    FakeLauncher launcher;
    launcher.FailStart = true;
    TExecutePro e(&launcher, &host, nullptr);
    e.SetCommandLine("C:\\My Saver\\Pyre.v2.EXE /s /x"); // split after the last dot
    EXPECT_EQ(e.DefaultDirectory + "|" + e.ProgramPart() + "|" + e.ParameterPart(), "C:\\My Saver\\|Pyre.v2.EXE|/s /x");
    e.SetCommandLine("D:\\other\\tool");
    EXPECT_EQ(e.DefaultDirectory + "|" + e.ProgramPart() + "|" + e.ParameterPart(), "C:\\My Saver\\|tool|"); // kept once set

    TExecutePro run(&launcher, &host, nullptr);
    run.Execute("C:\\x\\run.exe"); // reported, not raised
    EXPECT_EQ(host.Boxes, std::vector<std::string>{"TExecutePro.ProcessExecute error:  CommandLine: C:\\x\\run.exe "
                                                   "DefaultDirectory: C:\\x\\ Message: The system cannot find the file specified."});
    TExecutePro doc(&launcher, &host, nullptr);
    doc.Execute("C:\\x\\Help.html");
    EXPECT_EQ(launcher.Opened, std::vector<std::string>{"||C:\\x\\"});
}

} // namespace
