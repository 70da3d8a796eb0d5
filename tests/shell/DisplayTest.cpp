#include <gtest/gtest.h>

#include "Fakes.h"
#include "gl/Errors.h"
#include "shell/DisplayControl.h"

namespace {

TEST(ScreenMode, PackingTextFormsAndParsing)
{
    TScreenMode m;
    m.SetScreenSize(41943520);
    EXPECT_EQ(m.SizeText(), "640x480");
    m.SetSize(1024, 768);
    EXPECT_EQ(m.ScreenSize(), 1024 * 65536 + 768);
    EXPECT_EQ(TScreenMode(640, 480, 16).SizeText(), "640x480");
    EXPECT_EQ(TScreenMode(0, 0, 16).DepthText(), "High Color(16 bit)");
    EXPECT_EQ(TScreenMode(0, 0, 8).DepthText(), "256 Color(8 bit)");
    EXPECT_EQ(TScreenMode(0, 0, 24).DepthText(), "16777216 Color(24 bit)");

    m = TScreenMode(640, 480, 24);
    m.SetModeText("1024x768x32");
    EXPECT_EQ(m.ModeText(), "1024x768x32");
    m.SetModeText("1024x768"); // incomplete: the default mode
    EXPECT_EQ(m.ModeText(), "800x600x16");
    m.SetColorDepth(8);
    m.SetSizeText("1024x768");
    EXPECT_EQ(m.ModeText(), "1024x768x8");
    m.SetSizeText("big");
    EXPECT_EQ(m.SizeText(), "800x600");
    m.SetDepthText("True Color(32 bit)");
    EXPECT_EQ(m.ColorDepth(), 32);
    m.SetDepthText("256 Color(8 bit)");
    EXPECT_EQ(m.ColorDepth(), 16);
    EXPECT_THROW(m.SetModeText("axbxc"), EPyrelumeError);
    EXPECT_THROW(m.SetModeText("1024x768x"), EPyrelumeError);
    EXPECT_THROW(m.SetSizeText("x768"), EPyrelumeError);
}

class DisplayTest : public ::testing::Test {
protected:
    FakeDisplaySettings sys;
    FakeHost host;
    std::unique_ptr<TCustomGLDisplay> display;
    int before = 0, after = 0;

    void SetUp() override
    {
        sys.System = {{640, 480, 16, 60},  {640, 480, 16, 85},  {800, 600, 16, 0},   {1024, 768, 32, 60},
                      {1280, 1024, 32, 75}, {1280, 1024, 32, 60}, {640, 400, 32, 60},  {1600, 1200, 8, 60}};
        sys.Current = {1024, 768, 32, 60};
        display = std::make_unique<TCustomGLDisplay>(&sys, &host);
        display->ModeFilter = [](std::int32_t d, std::int32_t, std::int32_t h) { return d >= 16 && h >= 480; };
        display->BeforeSwitch = [&] { ++before; };
        display->AfterSwitch = [&] { ++after; };
        display->Loaded();
    }
};

TEST_F(DisplayTest, EnumerationGroupsUsableModesOnce)
{
    const TVideoModesList& list = display->VideoModes();
    // Duplicates appear once, with the highest frequency; frequency 0 is stored as 1.
    ASSERT_EQ(list.Modes().size(), 6u);
    EXPECT_EQ(list.Modes()[0].Frequency, 85);
    EXPECT_EQ(list.Modes()[1].Frequency, 1);
    EXPECT_EQ(list.Modes()[3].Frequency, 75);
    std::vector<std::string> depths, sizes;
    display->DepthTexts(depths);
    EXPECT_EQ(depths, (std::vector<std::string>{"High Color(16 bit)", "True Color(32 bit)"}));
    // Default: the desktop size at 16 bits, adopted to the first 16-bit size.
    EXPECT_EQ(display->FullScreenMode().ModeText(), "640x480x16");
    display->SizeTexts(sizes);
    EXPECT_EQ(sizes, (std::vector<std::string>{"640x480", "800x600"}));
    EXPECT_EQ(display->DepthIndex(), 0);
    EXPECT_EQ(display->SizeIndex(), 0);
}

TEST_F(DisplayTest, FullScreenModeStaysValid)
{
    display->SetFullScreenMode(TScreenMode(1600, 1200, 32));
    EXPECT_EQ(display->FullScreenMode().ModeText(), "1024x768x32");
    display->SetFullScreenMode(TScreenMode(800, 600, 24));
    EXPECT_EQ(display->FullScreenMode().ModeText(), "800x600x16");
    display->SetFullScreenMode(TScreenMode(1280, 1024, 32));
    EXPECT_EQ(display->SizeIndex(), 1);
    display->StoredFullScreenMode().SetColorDepth(8); // adopts entry 0
    EXPECT_EQ(display->FullScreenMode().ColorDepth(), 16);
}

TEST_F(DisplayTest, SwitchUsesTheHighestFrequencyAndRestores)
{
    display->SetFullScreenMode(TScreenMode(640, 480, 16));
    display->SetFullScreen(true);
    EXPECT_TRUE(display->FullScreen());
    ASSERT_EQ(sys.Changes.size(), 1u);
    EXPECT_EQ(sys.Changes[0].Frequency, 85);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(host.CursorCounter, -1);
    display->SetFullScreen(false);
    EXPECT_FALSE(display->FullScreen());
    EXPECT_EQ(sys.Restores, 1);
    EXPECT_EQ(host.CursorCounter, 0);
    EXPECT_EQ(after, 2);
}

TEST_F(DisplayTest, DesktopOnlyNeverChangesTheMode)
{
    display->DesktopOnly = true;
    display->SetFullScreenMode(TScreenMode(640, 480, 16));
    EXPECT_EQ(display->FullScreenMode().ModeText(), "1024x768x32");
    display->SetFullScreen(true);
    EXPECT_TRUE(display->FullScreen());
    EXPECT_TRUE(sys.Changes.empty());
}

TEST_F(DisplayTest, RefusedOrUnlistedModeStaysWindowed)
{
    sys.RefuseChange = true;
    EXPECT_FALSE(display->EnterFullScreen(640, 480, 16));
    EXPECT_FALSE(display->FullScreen());
    EXPECT_EQ(after, 1);

    FakeDisplaySettings other;
    TCustomGLDisplay d(&other, nullptr); // modes never enumerated
    EXPECT_FALSE(d.EnterFullScreen(800, 600, 16));
    EXPECT_FALSE(d.FullScreen());
    EXPECT_TRUE(other.Changes.empty());
}

TEST(DisplayControl, EmptyModeListKeepsTheStoredMode)
{
    FakeDisplaySettings sys;
    TCustomGLDisplay d(&sys, nullptr);
    d.SetFullScreenMode(TScreenMode(1600, 1200, 24));
    EXPECT_EQ(d.FullScreenMode().ModeText(), "1600x1200x24");
    EXPECT_EQ(d.DepthIndex(), -1);
    EXPECT_EQ(d.SizeIndex(), -1);
    std::vector<std::string> sizes{"keep"};
    d.SizeTexts(sizes);
    EXPECT_EQ(sizes, std::vector<std::string>{"keep"});
}

TEST(DisplayControl, DestructionRestoresAChangedModeEvenAfterAFailedSecondSwitch)
{
    FakeDisplaySettings sys;
    sys.System = {{640, 480, 16, 60}, {800, 600, 16, 60}};
    sys.Current = {1024, 768, 32, 60};
    {
        TVideoModesList list(&sys);
        list.Rebuild();
        EXPECT_TRUE(list.Switch(640, 480, 16));
        sys.RefuseChange = true;
        EXPECT_FALSE(list.Switch(800, 600, 16));
        EXPECT_FALSE(list.Switched());
    }
    EXPECT_EQ(sys.Restores, 1);
    EXPECT_EQ(sys.Current.Width, 1024);
}

TEST(DisplayControl, MonitorChoices)
{
    EXPECT_EQ(MonitorChoiceTexts(1),
              (std::vector<std::string>{"Primary Monitor", "1 - Monitor", "Dual View", "Virtual Desktop"}));
    EXPECT_EQ(MonitorChoiceTexts(2)[2], "2 - Monitor");
}

} // namespace
