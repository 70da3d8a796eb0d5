#include <unistd.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "gl/Errors.h"
#include "sound/WaveSound.h"
#include "tests/common/TestUtil.h"
#include "tests/sound/WaveTestUtil.h"

using namespace wavetest;

namespace {

std::string LoadError(const Bytes& image, TWaveSound& w)
{
    return testutil::ErrorOf([&] { w.Load(image); });
}

void ExpectEmpty(const TWaveSound& w)
{
    EXPECT_FALSE(w.Loaded);
    EXPECT_TRUE(w.Format.empty());
    EXPECT_TRUE(w.Data.empty());
    EXPECT_EQ(w.DataSize, 0u);
    EXPECT_EQ(w.Channels(), 0);
    EXPECT_EQ(w.SamplesPerSec(), 0);
    EXPECT_EQ(w.BitsPerSample(), 0);
}

}  // namespace

TEST(WaveChunks, PcmWithSixteenByteFormatAndExtraData)
{
    TWaveSound w("a.wav");
    w.Load(PcmWave(2, 22050, 16, Samples16({1, -2, 3, -4})));
    EXPECT_TRUE(w.Loaded);
    EXPECT_EQ(w.Format.size(), 18u);  // extra size 0 is added
    EXPECT_EQ(w.Info().ExtraSize, 0);
    EXPECT_EQ(w.Channels(), 2);
    EXPECT_EQ(w.SamplesPerSec(), 22050);
    EXPECT_EQ(w.BitsPerSample(), 16);
    EXPECT_EQ(w.DataSize, 8u);
    EXPECT_EQ(Sample16(w.Data, 3), -4);

    // An 18-byte record with extra bytes keeps them after the fixed part.
    TWaveSound x("b.wav");
    x.Load(Riff(Cat({Chunk("fmt ", Fmt(1, 1, 8000, 8, true, {7, 9})), Chunk("data", {1, 2, 3})})));
    ASSERT_EQ(x.Format.size(), 20u);
    EXPECT_EQ(x.Info().ExtraSize, 2);
    EXPECT_EQ(x.Format[18], 7);
    EXPECT_EQ(x.Format[19], 9);
    EXPECT_EQ(x.DataSize, 3u);
}

TEST(WaveChunks, OddChunksArePaddedAndSkipped)
{
    // A LIST chunk of odd size before and after "fmt ", and an odd data chunk at the end.
    const Bytes img = Riff(Cat({Chunk("LIST", {1, 2, 3}), Chunk("fmt ", Fmt(1, 1, 11025, 8)), Chunk("junk", {9}),
                                Chunk("data", {10, 20, 30, 40, 50})}));
    TWaveSound w("pad.wav");
    w.Load(img);
    EXPECT_EQ(w.DataSize, 5u);
    EXPECT_EQ(w.Data, (Bytes{10, 20, 30, 40, 50}));
    // A RIFF chunk of another form before the WAVE one is passed over.
    TWaveSound v("two.wav");
    v.Load(Cat({Riff(Chunk("abcd", {1}), "AVI "), img}));
    EXPECT_EQ(v.DataSize, 5u);
}

TEST(WaveChunks, DataShorterThanOneBlockLowersBlockAlign)
{
    TWaveSound w("short.wav");
    w.Load(PcmWave(2, 22050, 16, {1, 2}));
    EXPECT_EQ(w.BlockAlign(), 2);
    EXPECT_EQ(w.DataSize, 2u);
    // An empty data chunk is a loaded sound without samples.
    TWaveSound e("empty.wav");
    e.Load(PcmWave(1, 22050, 16, {}));
    EXPECT_TRUE(e.Loaded);
    EXPECT_EQ(e.BlockAlign(), 0);
    EXPECT_EQ(e.DataSize, 0u);
}

TEST(WaveChunks, FaultsRaiseTheirMessagesAndLeaveTheSoundEmpty)
{
    const Bytes fmt = Chunk("fmt ", Fmt(1, 1, 22050, 16));
    // Extra size 6 in an 18-byte chunk: the extra bytes would come from the next chunk.
    Bytes badExtra = Fmt(1, 1, 22050, 16, true);
    badExtra[16] = 6;
    struct Case {
        const char* name;
        Bytes image;
        const char* reason;
    } cases[] = {
        {"empty", {}, "Find RIFF failed"},
        {"not riff", Chunk("RIFX", {'W', 'A', 'V', 'E'}), "Find RIFF failed"},
        {"other form", Riff(fmt, "AVI "), "Find RIFF failed"},
        {"no fmt", Riff(Chunk("data", {1, 2})), "Find fmt CHUNK failed"},
        {"data before fmt", Riff(Cat({Chunk("data", {1, 2}), fmt})), "Find data CHUNK failed"},
        {"no data", Riff(fmt), "Find data CHUNK failed"},
        {"short fmt", Riff(Cat({Chunk("fmt ", Bytes(14, 1)), Chunk("data", {1, 2})})), "Read Wave format failed"},
        {"extra beyond chunk", Riff(Cat({Chunk("fmt ", badExtra), Chunk("data", {1, 2})})), "Read Extra data failed"},
        {"data truncated", Riff(Cat({fmt, Chunk("data", {1, 2, 3, 4}, 400)})), "Read Wave data failed"},
        {"fmt truncated", Riff(Chunk("fmt ", Fmt(1, 1, 22050, 16, true), 40)), "Release CHUNCK failed"},
    };

    for (const auto& c : cases) {
        TWaveSound w("dir/bad.wav");
        w.Load(PcmWave(1, 22050, 16, {5, 6}));  // something loaded before
        const std::string msg = LoadError(c.image, w);
        EXPECT_EQ(msg, std::string("TWaveSound.Load error: ") + c.reason + " file dir/bad.wav") << c.name;
        ExpectEmpty(w);
    }
}

TEST(WaveChunks, EveryTruncationOfAValidFileFailsCleanly)
{
    const Bytes img = Riff(Cat({Chunk("LIST", {1, 2, 3}), Chunk("fmt ", Fmt(1, 2, 22050, 16, true, {1, 2})),
                                Chunk("data", Samples16({1, 2, 3, 4, 5, 6}))}));
    for (std::size_t n = 0; n < img.size() - 1; ++n) {  // the last byte is only the RIFF's own end
        TWaveSound w("t.wav");
        const Bytes part(img.begin(), img.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_NE(LoadError(part, w), "<no error>") << "length " << n;
        ExpectEmpty(w);
    }
}

TEST(WaveSoundFiles, FileAndStreamLoading)
{
    TWaveSound missing("/nonexistent/dir/x.wav");
    EXPECT_EQ(testutil::ErrorOf([&] { missing.LoadFromFile(); }),
              "TWaveSound.LoadFromFile error: file /nonexistent/dir/x.wav is not open");
    ExpectEmpty(missing);

    const Bytes img = PcmWave(1, 11025, 8, {100, 110, 120});
    const auto path = std::filesystem::temp_directory_path() / ("pyr_sound_file_test_" + std::to_string(::getpid()) + ".wav");
    WriteFileBytes(path.string(), img);
    TWaveSound f(path.string());
    f.LoadFromFile();
    EXPECT_EQ(f.Data, (Bytes{100, 110, 120}));
#ifndef _WIN32
    // Scene names with backslashes find the same file.
    const std::string dir = path.parent_path().string();
    TWaveSound b(dir + "\\" + path.filename().string());
    b.LoadFromFile();
    EXPECT_EQ(b.DataSize, 3u);
#endif
    std::filesystem::remove(path);

    // A memory stream is read from its start whatever its position; other streams are copied.
    TMemoryStream mem(img);
    mem.SetPosition(10);
    TWaveSound m("m.wav");
    m.LoadFromStream(mem);
    EXPECT_EQ(m.DataSize, 3u);
    TReadOnlyMemoryStream ro(img);
    ro.SetPosition(5);
    TWaveSound r("r.wav");
    r.LoadFromStream(ro);
    EXPECT_EQ(r.Data, (Bytes{100, 110, 120}));
}

TEST(WaveConvert, NonPcmTags)
{
    // ADPCM cannot be converted: a clear error and an empty sound, never garbage samples.
    TWaveSound a("adpcm.wav");
    const Bytes adpcm = Riff(Cat({Chunk("fmt ", Fmt(2, 1, 22050, 4, true, Bytes(32, 0), 256)), Chunk("data", Bytes(256, 7))}));
    EXPECT_EQ(LoadError(adpcm, a), "TWaveSound.Convert error: format tag 2 is not PCM and cannot be converted file adpcm.wav");
    ExpectEmpty(a);

    // 32-bit float becomes 16-bit PCM, clipped to the full scale.
    Bytes floats;
    for (float f : {0.0f, 0.5f, -1.0f, 2.0f}) {
        std::uint8_t b[4];
        std::memcpy(b, &f, 4);
        floats.insert(floats.end(), b, b + 4);
    }
    TWaveSound fl("float.wav");
    fl.Load(Riff(Cat({Chunk("fmt ", Fmt(3, 1, 8000, 32, true)), Chunk("data", floats)})));
    EXPECT_EQ(fl.FormatTag(), 1);
    EXPECT_EQ(fl.BitsPerSample(), 16);
    ASSERT_EQ(fl.DataSize, 8u);
    EXPECT_EQ(Sample16(fl.Data, 0), 0);
    EXPECT_EQ(Sample16(fl.Data, 1), 16384);
    EXPECT_EQ(Sample16(fl.Data, 2), -32768);
    EXPECT_EQ(Sample16(fl.Data, 3), 32767);

    // The extensible wrapper around PCM is unwrapped to plain PCM with the same samples.
    Bytes ext;
    PutU16(ext, 16);  // valid bits
    PutU32(ext, 3);   // channel mask
    PutU16(ext, 1);   // sub-format: PCM
    ext.resize(22, 0);
    const Bytes samples = Samples16({5, -5, 300, -300});
    TWaveSound e("ext.wav");
    e.Load(Riff(Cat({Chunk("fmt ", Fmt(0xFFFE, 2, 22050, 16, true, ext)), Chunk("data", samples)})));
    EXPECT_EQ(e.FormatTag(), 1);
    EXPECT_EQ(e.Format.size(), 18u);
    EXPECT_EQ(e.Data, samples);
}

TEST(WaveConvert, BitDepthChannelsAndInterpolation)
{
    TWaveSound w("c.wav");
    w.Load(PcmWave(1, 11025, 8, {128, 200, 0, 255}));
    const std::uint8_t* before = w.Data.data();
    w.Match(1, 11025, 8);  // same format: nothing happens
    EXPECT_EQ(w.Data.data(), before);

    w.Convert(2, 11025, 16);
    ASSERT_EQ(w.DataSize, 16u);
    const int expect[] = {0, 72 * 256, -128 * 256, 127 * 256};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Sample16(w.Data, 2 * i), expect[i]);
        EXPECT_EQ(Sample16(w.Data, 2 * i + 1), expect[i]);
    }
    EXPECT_EQ(w.Info().AvgBytesPerSec, 11025u * 4);
    EXPECT_EQ(w.BlockAlign(), 4);

    // Back to 8-bit mono: the values survive exactly.
    w.Convert(1, 11025, 8);
    EXPECT_EQ(w.Data, (Bytes{128, 200, 0, 255}));

    // Stereo to mono averages the channels.
    TWaveSound s("s.wav");
    s.Load(PcmWave(2, 22050, 16, Samples16({1000, 3000, -1000, -2000})));
    s.Convert(1, 22050, 16);
    ASSERT_EQ(s.DataSize, 4u);
    EXPECT_EQ(Sample16(s.Data, 0), 2000);
    EXPECT_EQ(Sample16(s.Data, 1), -1500);

    // Doubling the rate interpolates between neighbours; the last frame is held.
    TWaveSound u("u.wav");
    u.Load(PcmWave(1, 11025, 16, Samples16({0, 1000, -1000})));
    u.Convert(1, 22050, 16);
    ASSERT_EQ(u.DataSize, 12u);
    const int up[] = {0, 500, 1000, 0, -1000, -1000};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Sample16(u.Data, i), up[i]) << i;

    // A destination the mixer cannot use is refused and the data kept.
    const Bytes kept = u.Data;
    EXPECT_THROW(u.Convert(1, 22050, 24), EPyrelumeError);
    EXPECT_THROW(u.Convert(1, -5, 16), EPyrelumeError);
    EXPECT_EQ(u.Data, kept);
    EXPECT_EQ(u.SamplesPerSec(), 22050);
}

namespace {

int ZeroCrossings(const Bytes& data, int channels, int channel)
{
    int count = 0;
    int prev = 0;
    const std::size_t frames = data.size() / static_cast<std::size_t>(2 * channels);
    for (std::size_t i = 0; i < frames; ++i) {
        const int v = Sample16(data, i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(channel));
        const int sign = v > 0 ? 1 : v < 0 ? -1 : 0;
        if (sign != 0 && prev != 0 && sign != prev)
            ++count;
        if (sign != 0)
            prev = sign;
    }
    return count;
}

}  // namespace

TEST(WaveConvert, SineKeepsItsFrequencyAcrossRatesAndChannels)
{
    // One second of a 441 Hz sine at 44100 Hz, 8-bit mono: 882 zero crossings.
    Bytes data(44100);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(128 + std::lround(100 * std::sin(2 * M_PI * 441.0 * (static_cast<double>(i) + 0.5) / 44100)));
    TWaveSound w("sine.wav");
    w.Load(PcmWave(1, 44100, 8, data));

    w.Convert(2, 22050, 16);
    EXPECT_EQ(w.DataSize, 22050u * 4);
    EXPECT_NEAR(ZeroCrossings(w.Data, 2, 0), 882, 1);
    EXPECT_EQ(ZeroCrossings(w.Data, 2, 0), ZeroCrossings(w.Data, 2, 1));

    w.Convert(1, 11025, 16);
    EXPECT_EQ(w.DataSize, 11025u * 2);
    EXPECT_NEAR(ZeroCrossings(w.Data, 1, 0), 882, 1);

    w.Convert(2, 44100, 16);
    EXPECT_EQ(w.DataSize, 44100u * 4);
    EXPECT_NEAR(ZeroCrossings(w.Data, 2, 1), 882, 1);
}
