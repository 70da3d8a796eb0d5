#include <unistd.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AdvancedSettingDlg.h"
#include "app/SettingsDialog.h"
#include "assets/Streams.h"
#include "sound/FileWaveOutput.h"
#include "sound/SceneSounds.h"
#include "tests/dialogs/DialogFakes.h"
#include "tests/dialogs/SceneFixture.h"
#include "tests/sound/WaveTestUtil.h"

namespace {

using A = TFormAdvancedSettings;
namespace fs = std::filesystem;

class AdvancedSettingsTest : public ::testing::Test, public FireplaceFixture {
protected:
    AdvancedSettingsTest()
    {
        fp.Display.System = {{640, 480, 16, 60}, {800, 600, 16, 60}, {640, 480, 32, 60}, {1024, 768, 32, 60}};
        display.EnumerateModes();
        display.SetFullScreenMode(TScreenMode(800, 600, 16));
        saver->SetDisplay(&display);
        auto ctx = std::make_unique<FakeContext>();
        context = ctx.get();
        saver->SetContext(std::move(ctx));
        saver->SetWindow(&window);
    }
    ~AdvancedSettingsTest() override
    {
        saver->SetWindow(nullptr);
        saver->SetDisplay(nullptr);
    }

    // Runs the dialog; act changes controls inside the modal run.
    int Show(int result, std::function<void(A&)> act = {})
    {
        host.Modal = [&](TDialogModel& d) {
            auto& dlg = dynamic_cast<A&>(d);
            if (act)
                act(dlg);
            return result;
        };
        return ShowAdvancedSettings(form.Scene.get(), *saver, host);
    }

    FakeDialogHost host;
    TGLDisplay display{&fp.Display, &fp.Host};
    FakeWindow window;
    FakeContext* context = nullptr;
};

TEST_F(AdvancedSettingsTest, FillShowsTheCurrentState)
{
    textures->ColorBit = TTextureColorBit::Bit16;
    textures->Quality = TTextureQuality::Low;
    context->Sync = false;
    context->Renderer = TGLRenderer::DirectX;
    saver->SetPowerOffIndex(3);
    saver->MouseMoveExit = true;
    clock->Mode = 2;

    A dlg(form.Scene.get(), *saver, &host);
    EXPECT_EQ(A::Current(), &dlg);
    dlg.Fill();
    EXPECT_EQ(dlg.Control(A::ComboBoxDepth).Items,
              (std::vector<std::string>{"High Color(16 bit)", "True Color(32 bit)"}));
    EXPECT_EQ(dlg.Control(A::ComboBoxDepth).ItemIndex, 0);
    EXPECT_EQ(dlg.Control(A::ComboBoxResolution).Items, (std::vector<std::string>{"640x480", "800x600"}));
    EXPECT_EQ(dlg.Control(A::ComboBoxResolution).ItemIndex, 1);
    EXPECT_TRUE(dlg.Control(A::ComboBoxDepth).Enabled);
    EXPECT_EQ(dlg.Control(A::ComboBoxTextures).ItemIndex, 2);
    EXPECT_EQ(dlg.Control(A::ComboBoxQuality).ItemIndex, 2);
    EXPECT_FALSE(dlg.Control(A::CheckBoxWaitSync).Checked);
    EXPECT_EQ(dlg.Control(A::ComboBoxRenderer).ItemIndex, 1);
    EXPECT_EQ(dlg.Control(A::ComboBoxPowerOff).ItemIndex, 3);
    EXPECT_EQ(dlg.Control(A::ComboBoxPowerOff).Items.size(), 16u);
    EXPECT_TRUE(dlg.Control(A::CheckBoxMouseMove).Checked);
    EXPECT_EQ(dlg.Control(A::ComboBoxClockMode).ItemIndex, 2);
    EXPECT_EQ(dlg.Control(A::ShapeColor).Color, RGBColor(255, 120, 40));
    EXPECT_FALSE(dlg.Control(A::CheckBoxFPS).Checked);

    context->Renderer = TGLRenderer::Generic;  // no line stands for the generic renderer
    dlg.Fill();
    EXPECT_EQ(dlg.Control(A::ComboBoxRenderer).ItemIndex, -1);
}

TEST_F(AdvancedSettingsTest, OneMonitorGivesFourLinesAndPrimarySelected)
{
    A dlg(form.Scene.get(), *saver, &host);
    dlg.Fill();
    EXPECT_EQ(dlg.Control(A::ComboBoxMultiMonitors).Items,
              (std::vector<std::string>{"Primary Monitor", "1 - Monitor", "Dual View", "Virtual Desktop"}));
    EXPECT_EQ(dlg.Control(A::ComboBoxMultiMonitors).ItemIndex, 0);
}

TEST_F(AdvancedSettingsTest, DirectXOnlyOnThePrimaryMonitor)
{
    Show(mrOk, [](A& d) {
        d.OnComboChange(A::ComboBoxRenderer, 1);
        d.OnComboChange(A::ComboBoxMultiMonitors, 1);  // "1 - Monitor"
    });
    EXPECT_EQ(window.Monitor, 0);
    EXPECT_EQ(context->Renderer, TGLRenderer::OpenGL);

    Show(mrOk, [](A& d) {
        d.OnComboChange(A::ComboBoxRenderer, 1);
        d.OnComboChange(A::ComboBoxMultiMonitors, 0);
    });
    EXPECT_EQ(window.Monitor, -1);
    EXPECT_EQ(context->Renderer, TGLRenderer::DirectX);

    // With the generic renderer nothing is selected and OK keeps it.
    context->Renderer = TGLRenderer::Generic;
    Show(mrOk);
    EXPECT_EQ(context->Renderer, TGLRenderer::Generic);
}

TEST_F(AdvancedSettingsTest, DepthChangeRefillsSizesAndDesktopDisablesBoth)
{
    A dlg(form.Scene.get(), *saver, &host);
    dlg.Fill();
    dlg.OnComboChange(A::ComboBoxDepth, 1);
    EXPECT_EQ(display.StoredFullScreenMode().ColorDepth(), 32);
    EXPECT_EQ(dlg.Control(A::ComboBoxResolution).Items, (std::vector<std::string>{"640x480", "1024x768"}));
    EXPECT_EQ(dlg.Control(A::ComboBoxResolution).ItemIndex, 0);  // 800x600 is not a 32-bit size here
    dlg.OnComboChange(A::ComboBoxResolution, 1);
    EXPECT_EQ(display.StoredFullScreenMode().Width(), 1024);

    dlg.OnCheck(A::CheckBoxDesktop, true);
    EXPECT_TRUE(display.DesktopOnly);  // at once, before OK
    EXPECT_FALSE(dlg.Control(A::ComboBoxDepth).Enabled);
    EXPECT_FALSE(dlg.Control(A::ComboBoxResolution).Enabled);
    dlg.OnComboChange(A::ComboBoxDepth, 0);
    dlg.Apply();
    EXPECT_EQ(display.StoredFullScreenMode().ColorDepth(), 32);
    EXPECT_EQ(display.StoredFullScreenMode().Width(), 1024);
}

TEST_F(AdvancedSettingsTest, FormatChangeReappliesQualityChangeReloads)
{
    TSceneTexture* front = form.FrontTexture;
    front->CreateGLTexture(TTextureFormat::Texture);
    TGLTexture* gl = front->GLTexture();
    ASSERT_NE(gl, nullptr);

    Show(mrOk, [](A& d) { d.OnComboChange(A::ComboBoxTextures, 1); });
    EXPECT_EQ(textures->ColorBit, TTextureColorBit::Bit32);
    EXPECT_EQ(front->GLTexture(), gl);  // parameters re-applied, image kept

    Show(mrOk, [](A& d) { d.OnComboChange(A::ComboBoxQuality, 1); });
    EXPECT_EQ(textures->Quality, TTextureQuality::Medium);
    EXPECT_EQ(front->GLTexture(), nullptr);  // released, rebuilt at the new quality
}

TEST_F(AdvancedSettingsTest, OkAppliesCancelKeeps)
{
    auto act = [](A& d) {
        d.OnComboChange(A::ComboBoxPowerOff, 4);
        d.OnComboChange(A::ComboBoxMonitorOff, 2);
        d.OnCheck(A::CheckBoxMouseMove, true);
        d.OnCheck(A::CheckBoxRunAsProg, true);
        d.OnCheck(A::CheckBoxFixedFPS, true);
        d.OnCheck(A::CheckBoxWaitSync, false);
        d.OnCheck(A::CheckBoxFPS, true);
        d.OnComboChange(A::ComboBoxClockMode, 1);
        d.OnClick(A::ShapeColor);
    };
    context->Sync = true;
    EXPECT_EQ(Show(mrCancel, act), mrCancel);
    EXPECT_EQ(saver->PowerOffIndex(), 0);
    EXPECT_FALSE(saver->MouseMoveExit);
    EXPECT_TRUE(context->Sync);
    EXPECT_EQ(clock->Mode, 0);
    EXPECT_EQ(clock->Color.G, 120);

    EXPECT_EQ(Show(mrOk, act), mrOk);
    EXPECT_EQ(saver->PowerOffIndex(), 4);
    EXPECT_EQ(saver->MonitorOffIndex(), 2);
    EXPECT_TRUE(saver->MouseMoveExit);
    EXPECT_TRUE(saver->RunAsProgram);
    EXPECT_TRUE(saver->LowCPUUsage);
    EXPECT_FALSE(context->Sync);
    EXPECT_TRUE(form.Scene->ShowFPS);
    EXPECT_EQ(clock->Mode, 1);
    // The colour dialog opened preset to the swatch; the clock keeps its alpha.
    EXPECT_EQ(host.PresetColors.back(), RGBColor(255, 120, 40));
    EXPECT_EQ(clock->Color.R, 10);
    EXPECT_EQ(clock->Color.G, 20);
    EXPECT_EQ(clock->Color.B, 30);
    EXPECT_EQ(clock->Color.A, 200);
    EXPECT_EQ(A::Current(), nullptr);
}

TEST_F(AdvancedSettingsTest, SkinColoursFollowTheSettingsDialog)
{
    TSettingsDialog settings(form, saver.get(), &host);
    Show(mrCancel, [](A& d) {
        EXPECT_EQ(d.Form.Color, TSettingsDialog::kFormColor);
        EXPECT_EQ(d.Control(A::ComboBoxQuality).Color, TSettingsDialog::kComboColor);
        EXPECT_EQ(d.Control(A::CheckListBoxSounds).Color, TSettingsDialog::kComboColor);
        EXPECT_EQ(d.Control(A::LabelQuality).Color, TSettingsDialog::kFormColor);
    });
}

// ---- Sounds: enabling and volume act at once, also under Cancel.

class AdvancedSoundsTest : public AdvancedSettingsTest {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("pyr_dialog_sounds_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        WriteFileBytes((dir_ / "snap.wav").string(), wavetest::PcmWave(2, 22050, 16, wavetest::Bytes(400, 7)));
        WriteFileBytes((dir_ / "crackle.wav").string(), wavetest::PcmWave(2, 22050, 16, wavetest::Bytes(400, 9)));
        TWinSoundDevice& d = *form.Sound;
        d.SetFormat(1, true, 2);
        list = AddNamed<TSceneSoundList>(*form.Scene, "Sounds", d);
        list->Path = dir_.string() + "/";
        snap = AddNamed<TSceneSound>(*list, "Snap Sound", d);
        snap->SetFileName("snap.wav");
        crackle = AddNamed<TSceneSound>(*list, "Crackle Sound", d);
        crackle->SetFileName("crackle.wav");
        ASSERT_TRUE(snap->Sound() && crackle->Sound());
        crackle->Sound()->SetVolume(70);
    }
    void TearDown() override
    {
        form.Scene.reset();
        form.Sound->Clear();
        fs::remove_all(dir_);
    }

    fs::path dir_;
    TSceneSoundList* list = nullptr;
    TSceneSound* snap = nullptr;
    TSceneSound* crackle = nullptr;
};

TEST_F(AdvancedSoundsTest, LinesVolumesAndLiveChangesSurviveCancel)
{
    Show(mrCancel, [&](A& d) {
        const TDialogControl& lines = d.Control(A::CheckListBoxSounds);
        // The list keeps its children in name order.
        ASSERT_EQ(lines.Items, (std::vector<std::string>{"Crackle Sound", "Snap Sound"}));
        EXPECT_EQ(lines.ItemChecked, (std::vector<bool>{true, true}));
        EXPECT_EQ(lines.ItemIndex, 0);
        EXPECT_EQ(d.Control(A::TrackBarSoundVolume).Position, 70);
        EXPECT_EQ(d.Control(A::LabelVolume).Caption, "Crackle Sound Volume");
        EXPECT_EQ(d.Control(A::LabelSoundVolume).Caption, "70");

        d.OnItemCheck(A::CheckListBoxSounds, 1, false);
        d.OnItemClick(A::CheckListBoxSounds, 1);
        EXPECT_EQ(d.Control(A::TrackBarSoundVolume).Position, 100);
        d.OnTrackBarChange(A::TrackBarSoundVolume, 35);
        EXPECT_EQ(d.Control(A::LabelSoundVolume).Caption, "35");
    });
    EXPECT_FALSE(snap->Visible);
    EXPECT_TRUE(crackle->Visible);
    EXPECT_EQ(snap->Volume(), 35);
    EXPECT_EQ(crackle->Volume(), 70);
}

TEST_F(AdvancedSoundsTest, OkForgetsTheSoundListBeforeApplying)
{
    A dlg(form.Scene.get(), *saver, &host);
    dlg.Fill();
    dlg.Apply();
    EXPECT_EQ(dlg.Sounds(), nullptr);
    dlg.OnItemCheck(A::CheckListBoxSounds, 0, false);  // ignored without the list
    EXPECT_TRUE(crackle->Visible);
}

} // namespace
