#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Fakes.h"
#include "gl/Errors.h"
#include "shell/AppPro.h"
#include "tests/common/TestUtil.h"

namespace {

const std::string kKey = "Software\\Varnel Software\\Pyrelume 3";

TEST(SettingsText, ScramblingSwitchesAndConversions)
{
    const std::string plain = std::string("DataPath\x00\x7f\xff", 11);
    const std::string scrambled = Unscramble(plain);
    ASSERT_EQ(scrambled.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i)
        EXPECT_EQ(static_cast<unsigned char>(scrambled[i]), static_cast<unsigned char>(~plain[i] & 0xFF));
    EXPECT_EQ(Unscramble(scrambled), plain);
    constexpr TScrambled stored("Monitor");
    EXPECT_EQ(Unscramble(stored.Text()), "Monitor");

    EXPECT_TRUE(HasSwitch({"-S"}, 's'));
    EXPECT_TRUE(HasSwitch({"/SAVE"}, 'S'));
    EXPECT_TRUE(HasSwitch({"x", "/p"}, 'P'));
    // The first occurrence of the letter must be at position 2.
    EXPECT_FALSE(HasSwitch({"/ss"}, 'x'));
    EXPECT_FALSE(HasSwitch({"/cs"}, 'S'));
    EXPECT_FALSE(HasSwitch({"s"}, 'S'));
    EXPECT_FALSE(HasSwitch({"/"}, 'S'));
    EXPECT_FALSE(HasSwitch({}, 'S'));

    EXPECT_TRUE(TextToBool("-1"));
    EXPECT_TRUE(TextToBool("1"));
    EXPECT_TRUE(TextToBool("TRUE"));
    EXPECT_FALSE(TextToBool("0"));
    EXPECT_FALSE(TextToBool("false"));
    EXPECT_THROW(TextToBool("yes"), EPyrelumeError);
    EXPECT_THROW(TextToBool(""), EPyrelumeError);
    EXPECT_EQ(BoolToText(true), "-1");

    EXPECT_EQ(SettingsKeyPath("Varnel Software", "Pyrelume", "3"), kKey);
    EXPECT_EQ(SettingsKeyPath("", "Pyrelume", "3"), "Software\\Pyrelume 3");
}

class SettingsStoreTest : public ::testing::Test {
protected:
    FakeRegistry reg;
    TSettingsStore store{&reg};
    void SetUp() override
    {
        store.SetKeyPath(kKey);
        store.SetMachineRoot(true);
    }
};

TEST_F(SettingsStoreTest, MachineHiveWinsUserHiveFillsGaps)
{
    reg.Set(THive::hkCurrentUser, kKey, "A", "user");
    EXPECT_EQ(store.ReadString("A", "d"), "user"); // no machine key at all
    reg.Set(THive::hkLocalMachine, kKey, "A", "machine");
    reg.Set(THive::hkCurrentUser, kKey, "B", "userOnly");
    EXPECT_EQ(store.ReadString("A", "d"), "machine");
    EXPECT_EQ(store.ReadString("B", "d"), "userOnly");
    EXPECT_EQ(store.ReadString("C", "d"), "d");
    EXPECT_TRUE(store.MachineRoot()); // the fallback switches back

    reg.MachineReadFails = true; // an error leaves the user hive as root
    EXPECT_EQ(store.ReadString("A", "d"), "user");
    EXPECT_FALSE(store.MachineRoot());
}

TEST_F(SettingsStoreTest, WritesFallBackToUserHiveAndReadBack)
{
    store.WriteBool("Flag", true);
    store.WriteInteger("Count", -12);
    EXPECT_EQ(*reg.Get(THive::hkLocalMachine, kKey, "Flag"), "-1");
    EXPECT_TRUE(store.ReadBool("Flag", false));
    EXPECT_EQ(store.ReadInteger("Count", 0), -12);

    reg.MachineWriteFails = true;
    store.WriteString("Name", "x");
    EXPECT_EQ(reg.Get(THive::hkLocalMachine, kKey, "Name"), nullptr);
    EXPECT_EQ(*reg.Get(THive::hkCurrentUser, kKey, "Name"), "x");
}

TEST_F(SettingsStoreTest, ScrambledNamesAndGarbageValues)
{
    store.ScrambledNames = true;
    constexpr TScrambled name("LowCPUUsage");
    store.WriteBool(name.Text(), true);
    EXPECT_NE(reg.Get(THive::hkLocalMachine, kKey, "LowCPUUsage"), nullptr);
    EXPECT_TRUE(store.ReadBool(name.Text(), false));

    store.ScrambledNames = false;
    reg.Set(THive::hkLocalMachine, kKey, "N", "12abc");
    reg.Set(THive::hkLocalMachine, kKey, "B", "maybe");
    EXPECT_THROW(store.ReadInteger("N", 0), EPyrelumeError);
    EXPECT_THROW(store.ReadBool("B", false), EPyrelumeError);
}

TEST(ProgramPaths, NamesFromTheLongPathAndFormCentring)
{
    const TProgramPaths p = SplitProgramPath("C:\\Prog\\a.b.scr");
    EXPECT_EQ(p.ExeName + "|" + p.AppName + "|" + p.AppPath + "|" + p.LogFileName,
              "a.b.scr|a|C:\\Prog\\|C:\\Prog\\a.log");
    const TProgramPaths q = SplitProgramPath("C:\\Prog\\noext");
    EXPECT_EQ(q.AppName + "|" + q.LogFileName, "|C:\\Prog\\.log");

    // Two 1280x1024 monitors side by side: centred in the left 4:3 area.
    TFormPosition f = CenterFormPosition(400, 300, 2560, 1024);
    EXPECT_EQ(f.Left, (1024 * 4 / 3 - 400) / 2);
    EXPECT_EQ(f.Top, (1024 - 300) / 2);
    EXPECT_EQ(CenterFormPosition(2000, 300, 1024, 768).Left, 0); // wider than the screen
    f = CenterFormPosition(400, 300, 768, 1024);                 // portrait
    EXPECT_EQ(f.Top, (768 * 3 / 4 - 300) / 2);
    EXPECT_EQ(f.Left, (768 - 400) / 2);
}

TEST(LogFile, StartsAt16KGrowsPastTheLineThatWouldPassTheEndAndNeedsDebug)
{
    testutil::ScratchDir dir("shell_log");
    const std::string path = dir.File("test.log");
    {
        TLogFile log(path);
        log.Write("first");
        EXPECT_EQ(std::filesystem::file_size(path), 16384u);
        log.Write(std::string(16376, 'x')); // 7 + 16378 passes 16384: the file grows to 7 + 16384
        EXPECT_EQ(std::filesystem::file_size(path), 7u + 16384u);
        log.Write("z"); // fits, no growth
        EXPECT_EQ(std::filesystem::file_size(path), 7u + 16384u);
    }
    const std::string content = testutil::ReadText(path);
    EXPECT_EQ(content.substr(0, 7), "first\r\n");
    EXPECT_EQ(content.substr(7 + 16376, 2), "\r\n");
    EXPECT_EQ(content.substr(7 + 16378, 3), "z\r\n");
    EXPECT_EQ(content.find_first_not_of('\0', 7 + 16381), std::string::npos);

    // The application logs only with the log file on and Debug set.
    const std::string appLog = dir.File("app.log");
    FakePlatform fp;
    TCustomApplicationPro app(fp.Services());
    app.LogFileName = appLog;
    bool reported = false;
    app.OnException = [&](const std::exception&) { reported = true; };
    app.Debug = true;
    app.DoException(std::runtime_error("boom"));
    EXPECT_TRUE(reported);
    EXPECT_FALSE(std::filesystem::exists(appLog));
    app.SetLogFile(true);
    app.DoException(std::runtime_error("boom"));
    EXPECT_EQ(testutil::ReadText(appLog).substr(0, 6), "boom\r\n");
}

TEST(ApplicationCore, UnhandledExceptionIsReportedAndEndsTheProgram)
{
    FakePlatform fp;
    TCustomApplicationPro app(fp.Services());
    app.DoException(std::runtime_error("bad thing"));
    EXPECT_EQ(fp.Host.Boxes, std::vector<std::string>{"bad thing"});
    EXPECT_TRUE(fp.Host.IsTerminated);
}

TEST(ApplicationCore, InitializeDerivesPathsAndGuardsASecondInstance)
{
    FakePlatform fp;
    fp.Host.Program = "C:\\Games\\Pyre.lume.scr";
    TCustomApplicationPro first(fp.Services());
    first.Title = "Pyrelume";
    first.Loaded();
    EXPECT_EQ(first.AppName, "Pyre");
    EXPECT_EQ(first.DataPath, "C:\\Games\\");
    EXPECT_EQ(first.SystemDir, "C:\\Windows\\System32\\");
    EXPECT_EQ(fp.Host.AppTitle, "Pyrelume");
    EXPECT_FALSE(first.SecondInstance());
    EXPECT_FALSE(fp.Host.IsTerminated);

    TCustomApplicationPro second(fp.Services());
    second.SetLogFile(true);
    second.Loaded();
    EXPECT_TRUE(second.SecondInstance());
    EXPECT_TRUE(fp.Host.IsTerminated);
    EXPECT_EQ(fp.Host.Suppressed, 1);
    EXPECT_FALSE(second.LogFile());
    EXPECT_EQ(fp.Semaphores.Live["PyreSemaphore"], 2);
}

TEST(ApplicationCore, LoadOptionsVersionAndPowerRequests)
{
    FakePlatform fp;
    TCustomApplicationPro app(fp.Services());
    app.Title = "Pyrelume";
    app.Company = "Varnel Software";
    app.MajorVersion = "3";
    fp.Registry.Set(THive::hkLocalMachine, kKey, "Version", "3,1");
    fp.Registry.Set(THive::hkLocalMachine, kKey, "NeedSystem", "True");
    app.LoadOptions();
    EXPECT_EQ(app.MinorVersion, "1");
    EXPECT_TRUE(app.NeedSystem());
    ASSERT_FALSE(fp.Power.States.empty());
    EXPECT_EQ(fp.Power.States.back(), std::make_pair(false, true));

    fp.Registry.Set(THive::hkLocalMachine, kKey, "Version", "4");
    app.LoadOptions();
    EXPECT_EQ(app.VersionText(), "3.1");
}

TEST(ApplicationCore, PowerBroadcasts)
{
    FakePlatform fp;
    TCustomApplicationPro app(fp.Services());
    int off = 0, on = 0;
    app.OnPowerOff = [&] { ++off; };
    app.OnPowerOn = [&] { ++on; };
    EXPECT_EQ(TCustomApplicationPro::OwningInstance(), &app);
    EXPECT_EQ(TCustomApplicationPro::DispatchPowerBroadcast(TPowerBroadcast::pbQuerySuspend), TPowerAnswer::paDeny);
    app.SuspendEnabled = true;
    EXPECT_EQ(app.DoPowerBroadcast(TPowerBroadcast::pbQueryStandby), TPowerAnswer::paDefault);
    app.DoPowerBroadcast(TPowerBroadcast::pbStandby);
    app.DoPowerBroadcast(TPowerBroadcast::pbResumeSuspend);
    EXPECT_EQ(off, 1);
    EXPECT_EQ(on, 1);
}

TEST(ApplicationCore, FirstIdlePassStartsOnceAndClosesTheRegistry)
{
    FakePlatform fp;
    TCustomApplicationPro app(fp.Services());
    int starts = 0, stops = 0;
    app.OnStart = [&] {
        ++starts;
        app.ReadString("x", "");
    };
    app.OnStop = [&] { ++stops; };
    bool done = true;
    app.DoIdle(done);
    app.DoIdle(done);
    EXPECT_FALSE(done);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(app.State(), TAppState::Running);
    EXPECT_FALSE(app.Settings().IsOpen());
    app.Stop();
    app.Stop();
    EXPECT_EQ(stops, 1);
}

} // namespace
