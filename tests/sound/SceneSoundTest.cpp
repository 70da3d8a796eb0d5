#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "gl/Errors.h"
#include "sound/FileWaveOutput.h"
#include "sound/SceneSounds.h"
#include "tests/sound/WaveTestUtil.h"

using namespace wavetest;

namespace {

namespace fs = std::filesystem;

class MapSettings : public TSceneSettingsStore {
public:
    std::map<std::string, std::string> values;
    std::string ReadString(const std::string& n, const std::string& d) override
    {
        auto it = values.find(n);
        return it == values.end() ? d : it->second;
    }
    bool ReadBool(const std::string& n, bool d) override { return ReadString(n, d ? "1" : "0") == "1"; }
    int ReadInteger(const std::string& n, int d) override { return std::stoi(ReadString(n, std::to_string(d))); }
    void WriteString(const std::string& n, const std::string& v) override { values[n] = v; }
    void WriteBool(const std::string& n, bool v) override { values[n] = v ? "1" : "0"; }
    void WriteInteger(const std::string& n, int v) override { values[n] = std::to_string(v); }
};

// The process-wide device with a capture output in the scene's format.
class SceneSoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterSoundSceneTypes();
        dir_ = fs::temp_directory_path() /
               ("pyr_scenesound_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(dir_ / "other");
        Bytes loop(4000);
        for (std::size_t i = 0; i < loop.size(); ++i)
            loop[i] = static_cast<std::uint8_t>(i * 13);
        WriteFileBytes((dir_ / "fireplace1.wav").string(), PcmWave(2, 22050, 16, loop));
        WriteFileBytes((dir_ / "fireplace2.wav").string(), PcmWave(1, 11025, 8, Bytes(500, 200)));
        WriteFileBytes((dir_ / "other" / "third.wav").string(), PcmWave(2, 22050, 16, Bytes(64, 1)));
        TWinSoundDevice& d = SoundDevice();
        d.Clear();
        capture_ = new TFileWaveOutput(TWaveOutputFormat{2, 22050, 16});
        d.SetOutput(std::unique_ptr<TWaveOutput>(capture_));
        d.SetFormat(1, true, 1);
        d.SetSoundVolume(100);
        d.SetMusicVolume(100);
        scene_.SourceMode = 1;
        scene_.Settings = &settings_;
    }
    void TearDown() override
    {
        scene_.Clear();
        SoundDevice().Clear();
        SoundDevice().SetOutput(nullptr);
        fs::remove_all(dir_);
    }

    // The fireplace's sound list with its two looping sounds; soundsExtra comes
    // first in the list's section, so it wins over the standard keys.
    void Load(const std::string& soundsExtra = "", const std::string& snapFile = "fireplace1.wav")
    {
        const std::vector<std::string> lines = {
            "[MainScene]", "Count=1",
            "[MainScene1]", "Type=TSceneSoundList", "Name=Sounds", soundsExtra, "ProcessOptions=[Render]",
            "Path=" + dir_.string() + "/", "InitDevice=1", "Rate=1", "Bits=1", "Channels=2",
            "SoundVolume=100", "MusicVolume=100", "Active=1", "Capacity=4", "Count=2",
            "[Sounds1]", "Type=TSceneSound", "Name=Snap Sound", "Visible=1", "FileName=" + snapFile,
            "Looped=1", "Music=0", "Volume=100", "Pan=0",
            "[Sounds2]", "Type=TSceneSound", "Name=Crackle Sound", "Visible=1", "FileName=fireplace2.wav",
            "Looped=1", "Music=0", "Volume=100", "Pan=0"};
        TResourceLoader loader;
        loader.MainScene = &scene_;
        loader.Section = "MainScene";
        loader.OpenFromLines(lines);
        loader.LoadChildren(scene_);
        list_ = dynamic_cast<TSceneSoundList*>(scene_.FindObject("Sounds"));
        snap_ = dynamic_cast<TSceneSound*>(scene_.FindObject("Sounds/Snap Sound"));
        crackle_ = dynamic_cast<TSceneSound*>(scene_.FindObject("Sounds/Crackle Sound"));
        ASSERT_TRUE(list_ && snap_ && crackle_);
    }

    fs::path dir_;
    TFileWaveOutput* capture_ = nullptr;
    MapSettings settings_;
    TMainScene scene_;
    TSceneSoundList* list_ = nullptr;
    TSceneSound* snap_ = nullptr;
    TSceneSound* crackle_ = nullptr;
};

}  // namespace

TEST_F(SceneSoundTest, LoadsTheDeviceFormatAndPlaysWhileRendering)
{
    Load();
    TWinSoundDevice& d = SoundDevice();
    EXPECT_TRUE(list_->InitDevice);
    EXPECT_EQ(d.Channels(), 2);
    EXPECT_TRUE(d.Bits16());
    EXPECT_EQ(d.RateIndex(), 1);
    EXPECT_FALSE(d.FromArchive);
    ASSERT_TRUE(snap_->Sound() && crackle_->Sound());
    EXPECT_TRUE(snap_->Looped());
    EXPECT_EQ(snap_->Volume(), 100);
    // The mono 8-bit wave was matched to the device format.
    EXPECT_EQ(crackle_->Sound()->Wave()->Channels(), 2);
    EXPECT_EQ(crackle_->Sound()->Wave()->DataSize, 500u * 2 * 4);
    EXPECT_FALSE(capture_->IsOpen());

    scene_.ProcessFrame(0);
    EXPECT_EQ(d.PlayingCount(), 2);
    EXPECT_TRUE(capture_->IsOpen());
    capture_->Advance(2048);
    bool sound = false;
    for (std::uint8_t b : capture_->Captured())
        sound |= b != 0;
    EXPECT_TRUE(sound);

    // Hiding both sounds stops them; the next frame closes the output.
    scene_.SetObjectVisible("Sounds/Snap Sound", false);
    crackle_->SetVisible(false);
    EXPECT_EQ(d.PlayingCount(), 0);
    EXPECT_TRUE(capture_->IsOpen());
    scene_.ProcessFrame(0.016f);
    EXPECT_FALSE(capture_->IsOpen());
    EXPECT_EQ(capture_->OpenCount(), 1);
}

TEST_F(SceneSoundTest, SettingsPlayedVolumeAndPan)
{
    Load();
    settings_.values = {{"Snap SoundPlayed", "0"}, {"Crackle SoundPlayed", "0"}};
    list_->ReadSettings();
    scene_.ProcessFrame(0);
    EXPECT_EQ(SoundDevice().PlayingCount(), 0);
    EXPECT_FALSE(capture_->IsOpen());

    // The list's volume applies to every sound; a sound's own value read later wins.
    settings_.values = {{"Sounds SoundVolume", "40"}, {"Snap SoundVolume", "70"}, {"Crackle SoundPan", "-20"}};
    list_->ReadSettings();
    EXPECT_EQ(SoundDevice().SoundVolume(), 40);
    EXPECT_EQ(snap_->Volume(), 70);
    EXPECT_EQ(crackle_->Volume(), 40);
    EXPECT_EQ(crackle_->Pan(), -20);
    EXPECT_FALSE(snap_->Visible);  // still hidden from the first pass

    settings_.values.clear();
    list_->WriteSettings();
    const std::map<std::string, std::string> expect = {
        {"Sounds SoundVolume", "40"}, {"Sounds MusicVolume", "100"}, {"Sounds Active", "0"},
        {"Snap SoundPlayed", "0"},    {"Snap SoundVolume", "70"},    {"Snap SoundPan", "0"},
        {"Crackle SoundPlayed", "0"}, {"Crackle SoundVolume", "40"}, {"Crackle SoundPan", "-20"}};
    EXPECT_EQ(settings_.values, expect);
}

TEST_F(SceneSoundTest, FileNamesKeysAndSaving)
{
    Load("", (dir_ / "other" / "third.wav").string());  // a folder part ignores the list's Path
    ASSERT_TRUE(snap_->Sound());
    EXPECT_EQ(snap_->Sound()->Wave()->DataSize, 64u);

    TResourceLoader out;
    out.CreateNew();
    out.MainScene = &scene_;
    out.Section = "MainScene";
    out.SaveChildren(scene_);
    const std::vector<std::string> lines = out.Lines();
    auto has = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
    EXPECT_TRUE(has("Type=TSceneSoundList"));
    EXPECT_TRUE(has("InitDevice=1"));
    EXPECT_TRUE(has("Channels=2"));
    EXPECT_TRUE(has("SoundVolume=100"));
    EXPECT_TRUE(has("FileName=fireplace2.wav"));
    EXPECT_TRUE(has("Looped=1"));
    EXPECT_TRUE(has("Volume=100"));
    EXPECT_FALSE(has("Visible=0"));  // the list and its sounds are visible
}

TEST_F(SceneSoundTest, WithoutDeviceSoundsTheKeysSurviveAndNothingPlays)
{
    SoundDevice().SetFormat(1, true, 0);  // an unusable device hands out no sounds
    Load("InitDevice=0");
    EXPECT_EQ(snap_->Sound(), nullptr);
    EXPECT_EQ(snap_->Volume(), 0);
    scene_.ProcessFrame(0);
    list_->ReadSettings();
    list_->WriteSettings();
    EXPECT_EQ(settings_.values.count("Snap SoundVolume"), 0u);

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
    WriteFileBytes((dir_ / "fireplace1.wav").string(), Riff(Chunk("fmt ", Fmt(1, 2, 22050, 16))));
    try {
        Load();
        FAIL();
    } catch (const EPyrelumeError& e) {
        EXPECT_EQ(std::string(e.what()), "TWaveSound.Load error: Find data CHUNK failed file " + dir_.string() + "/fireplace1.wav");
    }
}
