#include <gtest/gtest.h>

#include <algorithm>

#include "gl/Errors.h"
#include "sound/FileWaveOutput.h"
#include "sound/SceneSounds.h"
#include "tests/common/TestUtil.h"
#include "tests/sound/WaveTestUtil.h"

using namespace wavetest;

namespace {

// A device with a capture output in the scene's format.
class SceneSoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterSoundSceneTypes(types_, device_);
        std::filesystem::create_directories(dir_.Path() / "other");
        Bytes loop(4000);
        for (std::size_t i = 0; i < loop.size(); ++i)
            loop[i] = static_cast<std::uint8_t>(i * 13);
        WriteFileBytes(dir_.File("fireplace1.wav"), PcmWave(2, 22050, 16, loop));
        WriteFileBytes(dir_.File("fireplace2.wav"), PcmWave(1, 11025, 8, Bytes(500, 200)));
        WriteFileBytes(dir_.File("other/third.wav"), PcmWave(2, 22050, 16, Bytes(64, 1)));
        TWinSoundDevice& d = device_;
        d.SetFormat(1, true, 1);
        d.SetSoundVolume(100);
        d.SetMusicVolume(100);
        scene_.SourceMode = 1;
        scene_.Settings = &settings_;
    }
    void TearDown() override
    {
        scene_.Clear();
        device_.Clear();
    }

    // The fireplace's sound list with its two looping sounds; soundsExtra comes
    // first in the list's section, so it wins over the standard keys.
    void Load(const std::string& soundsExtra = "", const std::string& snapFile = "fireplace1.wav")
    {
        const std::vector<std::string> lines = {
            "[MainScene]", "Count=1",
            "[MainScene1]", "Type=TSceneSoundList", "Name=Sounds", soundsExtra, "ProcessOptions=[Render]",
            "Path=" + dir_.Dir(), "InitDevice=1", "Rate=1", "Bits=1", "Channels=2",
            "SoundVolume=100", "MusicVolume=100", "Active=1", "Capacity=4", "Count=2",
            "[Sounds1]", "Type=TSceneSound", "Name=Snap Sound", "Visible=1", "FileName=" + snapFile,
            "Looped=1", "Music=0", "Volume=100", "Pan=0",
            "[Sounds2]", "Type=TSceneSound", "Name=Crackle Sound", "Visible=1", "FileName=fireplace2.wav",
            "Looped=1", "Music=0", "Volume=100", "Pan=0"};
        TResourceLoader loader;
        loader.MainScene = &scene_;
        loader.Types = &types_;
        loader.Section = "MainScene";
        loader.OpenFromLines(lines);
        loader.LoadChildren(scene_);
        list_ = dynamic_cast<TSceneSoundList*>(scene_.FindObject("Sounds"));
        snap_ = dynamic_cast<TSceneSound*>(scene_.FindObject("Sounds/Snap Sound"));
        crackle_ = dynamic_cast<TSceneSound*>(scene_.FindObject("Sounds/Crackle Sound"));
        ASSERT_TRUE(list_ && snap_ && crackle_);
    }

    testutil::ScratchDir dir_{std::string("scenesound_") + ::testing::UnitTest::GetInstance()->current_test_info()->name()};
    TFileWaveOutput capture_{TWaveOutputFormat{2, 22050, 16}};
    TWinSoundDevice device_{&capture_};
    TSceneTypeTable types_;
    testutil::MemorySettings<TSceneSettingsStore> settings_;
    TMainScene scene_;
    TSceneSoundList* list_ = nullptr;
    TSceneSound* snap_ = nullptr;
    TSceneSound* crackle_ = nullptr;
};

}  // namespace

TEST_F(SceneSoundTest, LoadsTheDeviceFormatAndPlaysWhileRendering)
{
    Load();
    TWinSoundDevice& d = device_;
    EXPECT_EQ(d.Channels(), 2);
    EXPECT_TRUE(d.Bits16());
    EXPECT_EQ(d.RateIndex(), 1);
    EXPECT_FALSE(d.FromArchive);
    ASSERT_TRUE(snap_->Sound() && crackle_->Sound());
    // The mono 8-bit wave was matched to the device format.
    EXPECT_EQ(crackle_->Sound()->Wave()->Channels(), 2);
    EXPECT_EQ(crackle_->Sound()->Wave()->DataSize, 500u * 2 * 4);
    EXPECT_FALSE(capture_.IsOpen());

    scene_.ProcessFrame(0);
    EXPECT_EQ(d.PlayingCount(), 2);
    EXPECT_TRUE(capture_.IsOpen());
    capture_.Advance(2048);
    const auto& heard = capture_.Captured();
    EXPECT_TRUE(std::any_of(heard.begin(), heard.end(), [](std::uint8_t b) { return b != 0; }));

    // Hiding both sounds stops them; the next frame closes the output.
    scene_.SetObjectVisible("Sounds/Snap Sound", false);
    crackle_->SetVisible(false);
    EXPECT_EQ(d.PlayingCount(), 0);
    EXPECT_TRUE(capture_.IsOpen());
    scene_.ProcessFrame(0.016f);
    EXPECT_FALSE(capture_.IsOpen());
    EXPECT_EQ(capture_.OpenCount(), 1);
}

TEST_F(SceneSoundTest, SettingsPlayedVolumeAndPan)
{
    Load();
    settings_.Values = {{"Snap SoundPlayed", "0"}, {"Crackle SoundPlayed", "0"}};
    list_->ReadSettings();
    scene_.ProcessFrame(0);
    EXPECT_EQ(device_.PlayingCount(), 0);
    EXPECT_FALSE(capture_.IsOpen());

    // The list's volume applies to every sound; a sound's own value read later wins.
    settings_.Values = {{"Sounds SoundVolume", "40"}, {"Snap SoundVolume", "70"}, {"Crackle SoundPan", "-20"}};
    list_->ReadSettings();
    EXPECT_EQ(device_.SoundVolume(), 40);
    EXPECT_EQ(snap_->Volume(), 70);
    EXPECT_EQ(crackle_->Volume(), 40);
    EXPECT_EQ(crackle_->Pan(), -20);
    EXPECT_FALSE(snap_->Visible);  // still hidden from the first pass

    settings_.Values.clear();
    list_->WriteSettings();
    const std::map<std::string, std::string> expect = {
        {"Sounds SoundVolume", "40"}, {"Sounds MusicVolume", "100"}, {"Sounds Active", "0"},
        {"Snap SoundPlayed", "0"},    {"Snap SoundVolume", "70"},    {"Snap SoundPan", "0"},
        {"Crackle SoundPlayed", "0"}, {"Crackle SoundVolume", "40"}, {"Crackle SoundPan", "-20"}};
    EXPECT_EQ(settings_.Values, expect);
}

TEST_F(SceneSoundTest, FileNamesKeysAndSaving)
{
    Load("", dir_.File("other/third.wav"));  // a folder part ignores the list's Path
    ASSERT_TRUE(snap_->Sound());
    EXPECT_EQ(snap_->Sound()->Wave()->DataSize, 64u);

    TResourceLoader out;
    out.CreateNew();
    out.MainScene = &scene_;
    out.Section = "MainScene";
    out.SaveChildren(scene_);
    const std::vector<std::string> lines = out.Lines();
    auto has = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
    for (const char* line : {"Type=TSceneSoundList", "InitDevice=1", "Channels=2", "FileName=fireplace2.wav", "Looped=1"})
        EXPECT_TRUE(has(line)) << line;
    EXPECT_FALSE(has("Visible=0"));  // the list and its sounds are visible
}

TEST_F(SceneSoundTest, WithoutDeviceSoundsTheKeysSurviveAndNothingPlays)
{
    device_.SetFormat(1, true, 0);  // an unusable device hands out no sounds
    Load("InitDevice=0");
    EXPECT_EQ(snap_->Sound(), nullptr);
    EXPECT_EQ(snap_->Volume(), 0);
    scene_.ProcessFrame(0);
    list_->ReadSettings();
    list_->WriteSettings();
    EXPECT_EQ(settings_.Values.count("Snap SoundVolume"), 0u);

    TResourceLoader out;
    out.CreateNew();
    out.MainScene = &scene_;
    out.Section = "Sounds1";
    snap_->SaveToLoader(out);
    const auto lines = out.Lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Looped=1"), lines.end());
}

TEST_F(SceneSoundTest, BrokenWaveFailsTheLoad)
{
    WriteFileBytes(dir_.File("fireplace1.wav"), Riff(Chunk("fmt ", Fmt(1, 2, 22050, 16))));
    EXPECT_EQ(testutil::ErrorOf([&] { Load(); }), "TWaveSound.Load error: Find data CHUNK failed file " + dir_.File("fireplace1.wav"));
}
