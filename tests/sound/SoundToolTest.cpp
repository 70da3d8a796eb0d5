// The "wav" and "mix" commands of pyrelume-tool, run as separate processes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "assets/Streams.h"
#include "sound/WaveSound.h"
#include "tests/common/TestUtil.h"
#include "tests/sound/WaveTestUtil.h"

using namespace wavetest;
using testutil::RunTool;

namespace {

// A folder with a loose scene description holding one sound list of two sounds.
struct SoundScene : testutil::ScratchDir {
    SoundScene() : ScratchDir(std::string("sound_tool_") + ::testing::UnitTest::GetInstance()->current_test_info()->name())
    {
        Bytes a(8000), b(3000);
        // Quiet enough that the two sounds never clip: samples within -256..255.
        for (std::size_t i = 0; i < a.size(); ++i)
            a[i] = static_cast<std::uint8_t>(i % 2 == 0 ? i * 31 : ((i / 2) % 2 ? 0x00 : 0xFF));
        for (std::size_t i = 0; i < b.size(); ++i)
            b[i] = static_cast<std::uint8_t>(128 + ((i / 20) % 2 ? 60 : -60));
        WriteFileBytes(File("one.wav"), PcmWave(2, 22050, 16, a));
        WriteFileBytes(File("two.wav"), PcmWave(1, 11025, 8, b));
        std::ofstream(File("s.gsc"))
            << "[MainScene]\nCount=1\n\n[MainScene1]\nType=TSceneSoundList\nName=Sounds\nProcessOptions=[Render]\n"
               "Path=.\\\nInitDevice=1\nRate=0\nBits=1\nChannels=1\nCount=2\n\n"
               "[Sounds1]\nType=TSceneSound\nName=One\nFileName=one.wav\nLooped=1\n\n"
               "[Sounds2]\nType=TSceneSound\nName=Two\nFileName=two.wav\nLooped=0\n";
    }
    // The mix of the scene for seconds into out with settings; its loaded result.
    std::unique_ptr<TWaveSound> Mix(const std::string& seconds, const char* out, const std::string& settings = "")
    {
        const auto r = RunTool("mix " + File("s.gsc") + " --seconds " + seconds + " --out " + File(out) + settings, *this);
        EXPECT_EQ(r.Code, 0) << r.Err;
        auto w = std::make_unique<TWaveSound>(File(out));
        w->LoadFromFile();
        return w;
    }
};

}  // namespace

TEST(SoundTool, WavInfoShowsTheStoredFormat)
{
    SoundScene s;
    auto r = RunTool("wav info " + s.File("two.wav"), s);
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(r.Out,
              "format: tag 1 (PCM), 1 channels, 11025 Hz, 8 bits\n"
              "block align: 1, bytes per second: 11025, extra size: 0\n"
              "data: 3000 bytes\nduration: 0.272 s\n");
    r = RunTool("wav info " + s.File("s.gsc"), s);
    EXPECT_NE(r.Code, 0);
    EXPECT_NE(r.Err.find("TWaveSound.Load error: Find RIFF failed file"), std::string::npos) << r.Err;
}

TEST(SoundTool, MixRendersTheSceneSoundsInTheDeviceFormat)
{
    SoundScene s;
    const auto mix = s.Mix("0.5", "mix.wav");
    const TWaveSound& w = *mix;
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
    const auto off = s.Mix("0.2", "off.wav", " --setting OnePlayed=0 --setting TwoPlayed=0");
    EXPECT_EQ(off->Data, Bytes(off->DataSize, 0));

}

TEST(SoundTool, MixFailuresLeaveNoOutput)
{
    SoundScene s;
    const std::string mix = "mix " + s.File("s.gsc") + " --out " + s.File("x.wav");
    auto r = RunTool(mix + " --seconds 1 --setting \"Sounds SoundVolume=loud\"", s);
    EXPECT_NE(r.Code, 0);
    EXPECT_NE(r.Err.find("is not a number"), std::string::npos) << r.Err;
    WriteFileBytes(s.File("two.wav"), Riff(Chunk("fmt ", Fmt(1, 1, 11025, 8))));
    r = RunTool(mix + " --seconds 1", s);
    EXPECT_NE(r.Code, 0);
    EXPECT_NE(r.Err.find("Find data CHUNK failed"), std::string::npos) << r.Err;
    EXPECT_NE(RunTool(mix + " --seconds -1", s).Code, 0);
    EXPECT_FALSE(std::filesystem::exists(s.File("x.wav")));
    EXPECT_FALSE(std::filesystem::exists(s.File("x.wav.tmp")));
}

namespace {

// Stereo 16-bit frames at 22050 Hz from a function of (frame, channel) in -1..1.
template <typename F>
Bytes Stereo16(int frames, F f)
{
    Bytes b;
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < 2; ++c)
            PutU16(b, static_cast<std::uint32_t>(static_cast<std::uint16_t>(
                          static_cast<std::int16_t>(std::lround(f(i, c) * 32767)))));
    return b;
}

struct Stats {
    double low = -1, corr = 2, perSec = -1;
    int pops = -1;
};

Stats ParseStats(const std::string& out)
{
    Stats s;
    const char* at = std::strstr(out.c_str(), "energy below 400 Hz:");
    if (at)
        std::sscanf(at, "energy below 400 Hz: %lf%%\nleft/right correlation: %lf\npops: %d, %lf", &s.low, &s.corr,
                    &s.pops, &s.perSec);
    return s;
}

}  // namespace

TEST(SoundTool, WavStatsMeasuresLowEnergyCorrelationAndPops)
{
    SoundScene s;
    constexpr double kTwoPi = 6.283185307179586;
    // 100 Hz on the left, 3 kHz on the right at the same level: half the
    // energy below 400 Hz, channels unrelated, no transient.
    WriteFileBytes(s.File("tones.wav"), PcmWave(2, 22050, 16, Stereo16(4 * 22050, [&](int i, int c) {
                                                    return 0.2 * std::sin(kTwoPi * (c == 0 ? 100 : 3000) * i / 22050.0);
                                                })));
    auto r = RunTool("wav stats " + s.File("tones.wav"), s);
    ASSERT_EQ(r.Code, 0) << r.Err;
    Stats t = ParseStats(r.Out);
    EXPECT_NEAR(t.low, 50, 3) << r.Out;
    EXPECT_NEAR(t.corr, 0, 0.02) << r.Out;
    EXPECT_EQ(t.pops, 0) << r.Out;

    // A quiet 1 kHz bed, the same on both sides, with clicks: one 30 ms after
    // another falls in the pause after a pop and does not count, one 100 ms
    // after does.
    const double clicks[] = {0.5, 1.0, 1.03, 1.5, 1.6, 2.0, 2.5};
    WriteFileBytes(s.File("clicks.wav"), PcmWave(2, 22050, 16, Stereo16(3 * 22050, [&](int i, int) {
                                                     double v = 0.01 * std::sin(kTwoPi * 1000 * i / 22050.0);
                                                     for (double t : clicks) {
                                                         const int k = i - static_cast<int>(t * 22050);
                                                         if (k >= 0 && k < 3)
                                                             v += 0.9 * (k == 1 ? -1 : 1);
                                                     }
                                                     return v;
                                                 })));
    r = RunTool("wav stats " + s.File("clicks.wav"), s);
    ASSERT_EQ(r.Code, 0) << r.Err;
    t = ParseStats(r.Out);
    EXPECT_EQ(t.pops, 6) << r.Out;
    EXPECT_NEAR(t.perSec, 2.0, 0.01) << r.Out;
    EXPECT_NEAR(t.corr, 1, 0.001) << r.Out;

    r = RunTool("wav spectrogram " + s.File("clicks.wav") + " --out " + s.File("c.png") + " --seconds 1", s);
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_TRUE(std::filesystem::exists(s.File("c.png")));
    // 8-bit mono measures as well; anything else is refused by name
    EXPECT_EQ(RunTool("wav stats " + s.File("two.wav"), s).Code, 0);
    WriteFileBytes(s.File("f.wav"), Riff(Cat({Chunk("fmt ", Fmt(3, 1, 22050, 32)), Chunk("data", Bytes(64, 0))})));
    r = RunTool("wav stats " + s.File("f.wav"), s);
    EXPECT_NE(r.Code, 0);
    EXPECT_NE(r.Err.find("f.wav"), std::string::npos) << r.Err;
}
