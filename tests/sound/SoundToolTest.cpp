// The "wav" and "mix" commands of pyrelume-tool, run as separate processes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "assets/Streams.h"
#include "sound/WaveSound.h"
#include "tests/sound/WaveTestUtil.h"

using namespace wavetest;
namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A folder with a loose scene description holding one sound list of two sounds.
struct SoundScene {
    fs::path dir = fs::temp_directory_path() /
                   ("pyr_sound_tool_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    SoundScene()
    {
        fs::create_directories(dir);
        Bytes a(8000), b(3000);
        // Quiet enough that the two sounds never clip: samples within -256..255.
        for (std::size_t i = 0; i < a.size(); ++i)
            a[i] = static_cast<std::uint8_t>(i % 2 == 0 ? i * 31 : ((i / 2) % 2 ? 0x00 : 0xFF));
        for (std::size_t i = 0; i < b.size(); ++i)
            b[i] = static_cast<std::uint8_t>(128 + ((i / 20) % 2 ? 60 : -60));
        WriteFileBytes((dir / "one.wav").string(), PcmWave(2, 22050, 16, a));
        WriteFileBytes((dir / "two.wav").string(), PcmWave(1, 11025, 8, b));
        const std::string gsc =
            "[MainScene]\nCount=1\n\n[MainScene1]\nType=TSceneSoundList\nName=Sounds\nProcessOptions=[Render]\n"
            "Path=.\\\nInitDevice=1\nRate=0\nBits=1\nChannels=1\nCount=2\n\n"
            "[Sounds1]\nType=TSceneSound\nName=One\nFileName=one.wav\nLooped=1\n\n"
            "[Sounds2]\nType=TSceneSound\nName=Two\nFileName=two.wav\nLooped=0\n";
        std::ofstream(dir / "s.gsc") << gsc;
    }
    ~SoundScene() { fs::remove_all(dir); }
    std::string P(const char* name) const { return (dir / name).string(); }
    int Run(const std::string& args, std::string* out, std::string* err) const
    {
        const std::string cmd = std::string("\"") + PYRELUME_BINARY_DIR + "/tools/pyrelume-tool/pyrelume-tool\" " + args +
                                " >\"" + P("out.txt") + "\" 2>\"" + P("err.txt") + "\"";
        const int status = std::system(cmd.c_str());
        *out = ReadText(P("out.txt"));
        *err = ReadText(P("err.txt"));
        return status;
    }
};

}  // namespace

TEST(SoundTool, WavInfoShowsTheStoredFormat)
{
    SoundScene s;
    std::string out, err;
    ASSERT_EQ(s.Run("wav info " + s.P("two.wav"), &out, &err), 0) << err;
    EXPECT_EQ(out,
              "format: tag 1 (PCM), 1 channels, 11025 Hz, 8 bits\n"
              "block align: 1, bytes per second: 11025, extra size: 0\n"
              "data: 3000 bytes\nduration: 0.272 s\n");
    EXPECT_NE(s.Run("wav info " + s.P("s.gsc"), &out, &err), 0);
    EXPECT_NE(err.find("TWaveSound.Load error: Find RIFF failed file"), std::string::npos) << err;
}

TEST(SoundTool, MixRendersTheSceneSoundsInTheDeviceFormat)
{
    SoundScene s;
    std::string out, err;
    ASSERT_EQ(s.Run("mix " + s.P("s.gsc") + " --seconds 0.5 --out " + s.P("mix.wav"), &out, &err), 0) << err;
    TWaveSound w(s.P("mix.wav"));
    w.LoadFromFile();
    // Rate 0, 16 bits, mono: 11025 Hz for half a second.
    EXPECT_EQ(w.Channels(), 1);
    EXPECT_EQ(w.SamplesPerSec(), 11025);
    EXPECT_EQ(w.BitsPerSample(), 16);
    ASSERT_EQ(w.DataSize, 5513u * 2);  // 5512.5 frames, rounded
    int loud = 0;
    for (std::size_t i = 0; i < w.DataSize / 2; ++i)
        loud += Sample16(w.Data, i) != 0;
    EXPECT_GT(loud, 4000);

    // Both sounds switched off by their settings: silence.
    ASSERT_EQ(s.Run("mix " + s.P("s.gsc") + " --seconds 0.2 --out " + s.P("off.wav") +
                        " --setting OnePlayed=0 --setting TwoPlayed=0",
                    &out, &err),
              0)
        << err;
    TWaveSound off(s.P("off.wav"));
    off.LoadFromFile();
    EXPECT_EQ(off.Data, Bytes(off.DataSize, 0));

    // Volume 50 for every sound halves the mix (each sample truncated toward zero).
    ASSERT_EQ(s.Run("mix " + s.P("s.gsc") + " --seconds 0.5 --out " + s.P("half.wav") + " --setting \"Sounds SoundVolume=50\"",
                    &out, &err),
              0)
        << err;
    TWaveSound half(s.P("half.wav"));
    half.LoadFromFile();
    ASSERT_EQ(half.DataSize, w.DataSize);
    long diff = 0;
    for (std::size_t i = 0; i < w.DataSize / 2; ++i)
        diff = std::max<long>(diff, std::labs(Sample16(w.Data, i) / 2 - Sample16(half.Data, i)));
    EXPECT_LE(diff, 1);
}

TEST(SoundTool, MixFailuresLeaveNoOutput)
{
    SoundScene s;
    std::string out, err;
    EXPECT_NE(s.Run("mix " + s.P("s.gsc") + " --seconds 1 --out " + s.P("x.wav") + " --setting \"Sounds SoundVolume=loud\"",
                    &out, &err),
              0);
    EXPECT_NE(err.find("is not a number"), std::string::npos) << err;
    WriteFileBytes(s.P("two.wav"), Riff(Chunk("fmt ", Fmt(1, 1, 11025, 8))));
    EXPECT_NE(s.Run("mix " + s.P("s.gsc") + " --seconds 1 --out " + s.P("x.wav"), &out, &err), 0);
    EXPECT_NE(err.find("Find data CHUNK failed"), std::string::npos) << err;
    EXPECT_NE(s.Run("mix " + s.P("s.gsc") + " --seconds -1 --out " + s.P("x.wav"), &out, &err), 0);
    EXPECT_FALSE(fs::exists(s.P("x.wav")));
    EXPECT_FALSE(fs::exists(s.P("x.wav.tmp")));
}
