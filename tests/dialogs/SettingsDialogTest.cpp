#include <gtest/gtest.h>

#include "app/AboutDlg.h"
#include "app/AdvancedSettingDlg.h"
#include "app/SettingsDialog.h"
#include "assets/ArchiveWriter.h"
#include "tests/dialogs/DialogFakes.h"
#include "tests/dialogs/SceneFixture.h"

namespace {

using D = TSettingsDialog;

class SettingsDialogTest : public ::testing::Test, public FireplaceFixture {
protected:
    FakeDialogHost host;
    TSettingsDialog dialog{form, saver.get(), &host};

    const TDialogControl& C(int id) const { return dialog.Control(id); }
    // A fireplace value stored under the user's hive, or null.
    const std::string* Stored(const std::string& name) const
    {
        for (const auto& [key, value] : fp.Registry.Values)
            if (std::get<0>(key) == THive::hkCurrentUser && std::get<2>(key) == name)
                return &value;
        return nullptr;
    }
};

TEST_F(SettingsDialogTest, SliderMappingsBothWays)
{
    EXPECT_EQ(D::PositionOfFlameWidth(254), 117);
    EXPECT_EQ(D::PositionOfFlameWidth(120), 50);
    EXPECT_EQ(D::PositionOfFlameWidth(220), 100);
    EXPECT_EQ(D::FlameWidthOfPosition(50), 120);
    EXPECT_EQ(D::FlameWidthOfPosition(75), 170);
    EXPECT_EQ(D::FlameWidthOfPosition(100), 220);
}

TEST_F(SettingsDialogTest, DefaultFireIsShownWithWidthLimitedToTheSliderEnd)
{
    form.ShowDialogState();  // the refresh the form runs when the preview's context starts
    EXPECT_EQ(dialog.Form.Caption, "Pyrelume v3.1");
    EXPECT_EQ(C(D::TrackBarFlameWidth).Position, 100);
    EXPECT_EQ(C(D::LabelFlameWidth).Caption, "100%");
    EXPECT_EQ(C(D::TrackBarFlameDecay).Position, 2);
    EXPECT_EQ(C(D::LabelFlameDecay).Caption, "2");
    EXPECT_EQ(C(D::TrackBarBurningRate).Position, 5);
    EXPECT_EQ(C(D::LabelBurningRate).Caption, "5");
    EXPECT_EQ(C(D::ComboBoxFlameColor).Items,
              (std::vector<std::string>{"Red Color", "Orange Color", "Yellow Color"}));
    EXPECT_EQ(C(D::ComboBoxFlameColor).ItemIndex, 0);
    EXPECT_FALSE(C(D::CheckBoxSwapColors).Checked);
    EXPECT_FALSE(C(D::CheckBoxNearView).Checked);
    EXPECT_TRUE(C(D::CheckBoxSmoke).Checked);
    EXPECT_TRUE(C(D::CheckBoxSparkles).Checked);
    EXPECT_TRUE(form.ControlsReady);
    EXPECT_TRUE(dialog.Form.Enabled);
}

TEST_F(SettingsDialogTest, RefreshDoesNotFeedBackIntoTheFlame)
{
    // The flame width 254 shows as 100%, which stands for 220: the refresh must
    // not turn that display value back into a width.
    form.Flame->SetDecay(4);
    form.Flame->SetSwapBytes(true);
    form.NearView = true;
    form.Smoke = false;
    const float z = saver->Viewport().Camera.Position.Z;
    form.ShowDialogState();
    EXPECT_EQ(form.Flame->FlameWidth(), 254);
    EXPECT_EQ(form.Flame->Decay(), 4);
    EXPECT_TRUE(C(D::CheckBoxSwapColors).Checked);
    EXPECT_FALSE(C(D::CheckBoxSmoke).Checked);
    EXPECT_TRUE(smoke->Visible);  // showing the state does not apply it again
    EXPECT_EQ(saver->Viewport().Camera.Position.Z, z);

    // Handlers do nothing while the controls are not ready.
    form.ControlsReady = false;
    dialog.OnTrackBarChange(D::TrackBarFlameWidth, 60);
    dialog.OnComboChange(D::ComboBoxFireguard, 2);
    dialog.OnCheck(D::CheckBoxSparkles, false);
    EXPECT_EQ(form.Flame->FlameWidth(), 254);
    EXPECT_EQ(form.FireGuardTexture->GetFileIndex(), 0);
    EXPECT_TRUE(sparkles->Visible);
}

TEST_F(SettingsDialogTest, SlidersAndChecksActOnTheLiveFire)
{
    form.ShowDialogState();
    dialog.OnTrackBarChange(D::TrackBarFlameWidth, 75);
    EXPECT_EQ(form.Flame->FlameWidth(), 170);
    EXPECT_EQ(C(D::LabelFlameWidth).Caption, "75%");
    dialog.OnTrackBarChange(D::TrackBarFlameWidth, 130);  // the slider stops at its end
    EXPECT_EQ(C(D::TrackBarFlameWidth).Position, 100);
    EXPECT_EQ(form.Flame->FlameWidth(), 220);
    dialog.OnTrackBarChange(D::TrackBarFlameDecay, 5);
    EXPECT_EQ(form.Flame->Decay(), 5);
    dialog.OnTrackBarChange(D::TrackBarBurningRate, 9);
    EXPECT_EQ(form.Flame->GetBurningRate(), 9);
    EXPECT_EQ(C(D::LabelBurningRate).Caption, "9");

    dialog.OnComboChange(D::ComboBoxFlameColor, 2);
    EXPECT_EQ(form.FlameColorIndex, 2);
    dialog.OnCheck(D::CheckBoxSwapColors, true);
    EXPECT_TRUE(form.Flame->SwapBytes());

    dialog.OnCheck(D::CheckBoxNearView, true);
    EXPECT_FLOAT_EQ(saver->Viewport().Camera.Position.Y, 80.0f);
    EXPECT_FLOAT_EQ(saver->Viewport().Camera.Position.Z, 150.0f);
    dialog.OnCheck(D::CheckBoxSmoke, false);
    dialog.OnCheck(D::CheckBoxSparkles, false);
    EXPECT_FALSE(smoke->Visible);
    EXPECT_FALSE(sparkles->Visible);
    EXPECT_FALSE(form.Smoke);
    EXPECT_FALSE(form.Sparkles);
}

TEST_F(SettingsDialogTest, FireplaceListsComeFromTheFileLists)
{
    form.LogsTexture->SetFileIndex(1);
    form.ShowDialogState();
    EXPECT_EQ(C(D::ComboBoxFireplace).Items, (std::vector<std::string>{"Fireplace01", "Old Stone Hearth"}));
    EXPECT_EQ(C(D::ComboBoxFireplace).ItemIndex, 0);
    EXPECT_EQ(C(D::ComboBoxMaterial).Items, (std::vector<std::string>{"Material01", "Material02"}));
    // Six lines in pairs: three fireguards, named without folder or extension.
    EXPECT_EQ(C(D::ComboBoxFireguard).Items,
              (std::vector<std::string>{"FireGuard01", "Brass Mesh", "FireGuard05"}));
    EXPECT_EQ(C(D::ComboBoxLogs).Items, (std::vector<std::string>{"FireWood01", "FireWood02"}));
    EXPECT_EQ(C(D::ComboBoxLogs).ItemIndex, 1);

    dialog.OnComboChange(D::ComboBoxFireguard, 2);
    EXPECT_EQ(form.FireGuardTexture->TextureName, "FireGuard05.jpg");
    EXPECT_EQ(form.FireGuardTexture->AlphaName, "FireGuardA05.jpg");
    dialog.OnComboChange(D::ComboBoxMaterial, 1);
    EXPECT_EQ(form.FrontTexture->TextureName, "Front02.jpg");
    EXPECT_EQ(form.BackTexture->TextureName, "Back02.jpg");
    dialog.OnComboChange(D::ComboBoxFireplace, 1);
    EXPECT_EQ(form.FireplaceMesh->SourceName, "Old_Stone_Hearth.3dm");
}

TEST_F(SettingsDialogTest, MissingSceneObjectsLeaveEmptyLists)
{
    form.FireGuardTexture = nullptr;
    form.FireplaceMesh = nullptr;
    form.ShowDialogState();
    EXPECT_TRUE(C(D::ComboBoxFireguard).Items.empty());
    EXPECT_EQ(C(D::ComboBoxFireplace).ItemIndex, -1);
    dialog.OnComboChange(D::ComboBoxFireguard, 0);  // nothing to change, no crash
}

TEST_F(SettingsDialogTest, OkSavesAndClosesCancelOnlyCloses)
{
    form.WireEvents(*saver, nullptr);
    form.ShowDialogState();
    dialog.OnTrackBarChange(D::TrackBarFlameWidth, 75);
    dialog.OnClick(D::ButtonCancel);
    EXPECT_EQ(dialog.ModalResult, mrCancel);
    EXPECT_EQ(host.Closes, 1);
    EXPECT_EQ(Stored("FlameWidth"), nullptr);

    dialog.OnClick(D::ButtonOk);
    EXPECT_EQ(dialog.ModalResult, mrOk);
    EXPECT_EQ(host.Closes, 2);
    ASSERT_NE(Stored("FlameWidth"), nullptr);
    EXPECT_EQ(*Stored("FlameWidth"), "170");
}

TEST_F(SettingsDialogTest, HourglassWhileTheSceneLoadsAlsoWhenLoadingFails)
{
    form.WireEvents(*saver, nullptr);
    ASSERT_TRUE(saver->OnStart);
    try {
        saver->OnStart();
    } catch (const std::exception&) {
    }
    EXPECT_EQ(fp.Host.BusyCursor, (std::vector<bool>{true, false}));
}

TEST_F(SettingsDialogTest, ButtonsReachHelpShellAboutAdvancedAndPreview)
{
    dialog.OnClick(D::ButtonHelp);
    ASSERT_EQ(fp.Launcher.Opened.size(), 1u);
    EXPECT_EQ(fp.Launcher.Opened[0], "C:\\Saver\\Help.html||");

    dialog.OnClick(D::ButtonFeedBack);
    ASSERT_EQ(host.Shell.size(), 1u);
    EXPECT_EQ(host.Shell[0].rfind("open mailto:", 0), 0u);

    fp.Resources.Archive = TResourceArchiveWriter().SaveToBytes();  // no picture in it
    std::vector<std::string> kinds;
    host.Modal = [&](TDialogModel& d) {
        kinds.push_back(dynamic_cast<TAboutDialog*>(&d) ? "about" : dynamic_cast<TFormAdvancedSettings*>(&d) ? "advanced" : "?");
        return int(mrCancel);
    };
    dialog.OnClick(D::ButtonAbout);
    dialog.OnClick(D::ButtonAdvanced);
    EXPECT_EQ(kinds, (std::vector<std::string>{"about", "advanced"}));

    TGLDisplay display(&fp.Display, &fp.Host);
    fp.Display.System = {{800, 600, 32, 60}};
    display.EnumerateModes();
    saver->SetDisplay(&display);
    dialog.OnClick(D::ButtonPreview);
    EXPECT_TRUE(display.FullScreen());
    display.SetFullScreen(false);
    saver->SetDisplay(nullptr);
}

TEST_F(SettingsDialogTest, ShownDialogIsPlacedByTheApplicationCore)
{
    fp.Host.FormBounds = {0, 0, 696, 538};
    fp.Monitors.Rects = {{0, 0, 1920, 1080}};
    dialog.DoShow();  // configuration mode: the left-hand 4:3 area of the wide screen
    EXPECT_EQ(fp.Host.FormLeft, (1080 * 4 / 3 - 696) / 2);
    EXPECT_EQ(fp.Host.FormTop, (1080 - 538) / 2);
}

TEST(SettingsDialogCommands, CloseScreenSaveAndMonitorPowerAreSwallowed)
{
    EXPECT_TRUE(D::SwallowsSystemCommand(0xF060));  // close (Alt+F4)
    EXPECT_TRUE(D::SwallowsSystemCommand(0xF063));  // low bits are the system's own
    EXPECT_TRUE(D::SwallowsSystemCommand(0xF140));  // screen save
    EXPECT_TRUE(D::SwallowsSystemCommand(0xF170));  // monitor power
    EXPECT_FALSE(D::SwallowsSystemCommand(0xF020)); // minimize
    EXPECT_FALSE(D::SwallowsSystemCommand(0xF010)); // move
}

TEST_F(SettingsDialogTest, LayoutPlacesGroupChildrenInFormCoordinates)
{
    EXPECT_EQ(dialog.Form.ClientWidth, 690);
    EXPECT_EQ(dialog.Form.ClientHeight, 509);
    const TRect t = C(D::TrackBarFlameWidth).Bounds;
    EXPECT_EQ(t.Left, 494 + 8);
    EXPECT_EQ(t.Top, 4 + 36);
    EXPECT_EQ(C(D::TrackBarFlameWidth).Parent, int(D::GroupFlameWidth));
    EXPECT_EQ(C(D::GLWindow).Bounds.Left, 5);
    EXPECT_EQ(C(D::ButtonOk).ModalResult, mrOk);
    EXPECT_EQ(KeyButton(dialog, TDialogKey::dkEnter), int(D::ButtonOk));
    EXPECT_EQ(KeyButton(dialog, TDialogKey::dkEscape), int(D::ButtonCancel));
    // Every id is unique and every control can be found by id.
    for (const auto& c : dialog.Controls())
        EXPECT_EQ(dialog.Find(c.Id), &c);
}

} // namespace
