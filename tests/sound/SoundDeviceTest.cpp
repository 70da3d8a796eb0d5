#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <chrono>
#include <numeric>
#include <thread>

#include "assets/ResourceFile.h"
#include "gl/Errors.h"
#include "platform/posix/AlsaWaveOutput.h"
#include "sound/FileWaveOutput.h"
#include "sound/SoundClasses.h"
#include "sound/WaveRefill.h"
#include "tests/common/TestUtil.h"
#include "tests/sound/WaveTestUtil.h"

using namespace wavetest;

namespace {

// A device with waves written to a temporary folder in the device's own format.
class SoundDeviceTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const Bytes& image)
    {
        WriteFileBytes(dir_.File(name), image);
        return dir_.File(name);
    }

    // A new sound for PCM data in the device's format.
    std::unique_ptr<TCustomSound> Add(TWinSoundDevice& d, const std::string& name, const Bytes& data, bool looped = false)
    {
        auto s = d.AddSound(Write(name, PcmWave(d.Channels(), d.SamplesPerSec(), d.Bits(), data)));
        if (s)
            s->SetLooped(looped);
        return s;
    }

    testutil::ScratchDir dir_{std::string("sound_") + ::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

Bytes Fill(TWinSoundDevice& d, std::size_t n)
{
    Bytes out(n, 0xEE);
    d.FillBuffer(out.data(), out.size());
    return out;
}

TWinSound& Win(std::unique_ptr<TCustomSound>& s) { return static_cast<TWinSound&>(*s); }

}  // namespace

TEST_F(SoundDeviceTest, SixteenBitMixClampsAndTruncatesPerSound)
{
    TWinSoundDevice d;
    d.SetFormat(1, true, 1);
    auto a = Add(d, "a.wav", Samples16({20000, -20000, -101, 3, 7}), true);
    auto b = Add(d, "b.wav", Samples16({20000, -20000, 0, 3, 7}), true);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(Fill(d, 4), Bytes(4, 0));  // nothing plays: silence

    a->Play();
    b->Play();
    EXPECT_EQ(d.PlayingCount(), 2);
    Bytes out = Fill(d, 10);
    EXPECT_EQ(Sample16(out, 0), 32767);
    EXPECT_EQ(Sample16(out, 1), -32768);
    EXPECT_EQ(Sample16(out, 2), -101);

    // At volume 50 each sound is divided on its own, truncating toward zero.
    a->SetVolume(50);
    b->SetVolume(50);
    out = Fill(d, 10);
    EXPECT_EQ(Sample16(out, 0), 20000);
    EXPECT_EQ(Sample16(out, 2), -50);
    EXPECT_EQ(Sample16(out, 3), 2);  // 3*50/100 + 3*50/100 = 1 + 1
    EXPECT_EQ(Sample16(out, 4), 6);  // 3 + 3
}

TEST_F(SoundDeviceTest, EightBitMixClampsAroundTheMiddle)
{
    TWinSoundDevice d;
    d.SetFormat(0, false, 1);
    auto a = Add(d, "a.wav", {250, 10, 129, 127}, true);
    auto b = Add(d, "b.wav", {250, 10, 129, 127}, true);
    a->Play();
    EXPECT_EQ(Fill(d, 4), (Bytes{250, 10, 129, 127}));
    b->Play();
    EXPECT_EQ(Fill(d, 4), (Bytes{255, 0, 130, 126}));
    a->SetVolume(50);
    b->SetVolume(0);
    EXPECT_EQ(Fill(d, 4), (Bytes{128 + 61, 128 - 59, 128, 128}));  // (1*50)/100 == 0
    EXPECT_EQ(Fill(d, 3), (Bytes{189, 69, 128}));  // odd lengths are fine at 8 bits
}

TEST_F(SoundDeviceTest, VolumesOfSoundsAndMusic)
{
    TWinSoundDevice d;
    auto s = Add(d, "s.wav", Samples16({1000}), true);
    auto m = Add(d, "m.wav", Samples16({1000}), true);
    m->SetMusic(true);
    s->SetVolume(150);
    s->Play();
    EXPECT_EQ(Win(s).MixVolume(), 100);  // clamped for the mix
    s->SetVolume(-5);
    EXPECT_EQ(Win(s).MixVolume(), 0);

    d.SetSoundVolume(50);
    EXPECT_EQ(s->Volume(), 50);  // the device volume overrides the sound's own
    EXPECT_EQ(m->Volume(), 100);
    d.SetMusicVolume(250);
    EXPECT_EQ(d.MusicVolume(), 100);
    d.SetMusicVolume(30);
    EXPECT_EQ(m->Volume(), 30);
    EXPECT_EQ(s->Volume(), 50);
    m->SetMusic(false);  // back to the sound volume
    EXPECT_EQ(m->Volume(), 50);
    auto late = Add(d, "s.wav", Samples16({1}));  // same name: the cached wave is shared
    EXPECT_EQ(late->Volume(), 50);
    EXPECT_EQ(late->Wave(), s->Wave());
}

TEST_F(SoundDeviceTest, NonLoopedSoundEndsInsideAChunkOthersAdvance)
{
    TWinSoundDevice d;
    d.SetFormat(1, true, 1);
    int stops = 0;
    auto shortOne = Add(d, "short.wav", Samples16({100, 100, 100}));
    auto longOne = Add(d, "long.wav", Samples16({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), true);
    shortOne->OnStop = [&](TCustomSound&) { ++stops; };
    shortOne->Play();
    longOne->Play();
    const Bytes out = Fill(d, 16);
    EXPECT_EQ(Sample16(out, 0), 101);
    EXPECT_EQ(Sample16(out, 2), 103);
    EXPECT_EQ(Sample16(out, 3), 4);  // after the short sound's end only the long one
    EXPECT_EQ(Sample16(out, 7), 8);
    EXPECT_FALSE(shortOne->IsPlaying());
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(d.PlayingCount(), 1);
    EXPECT_EQ(Win(longOne).Position(), 16u);
    // The looped sound wraps to its start.
    const Bytes more = Fill(d, 8);
    EXPECT_EQ(Sample16(more, 0), 9);
    EXPECT_EQ(Sample16(more, 2), 1);
    // Playing again starts at the beginning.
    shortOne->Play();
    EXPECT_EQ(Win(shortOne).Position(), 0u);
    EXPECT_EQ(Sample16(Fill(d, 2), 0), 100 + 3);
}

TEST_F(SoundDeviceTest, NinthSoundIsRefusedAndStopAllEmptiesTheList)
{
    TWinSoundDevice d;
    std::vector<std::unique_ptr<TCustomSound>> sounds;
    for (int i = 0; i < 9; ++i)
        sounds.push_back(Add(d, "s.wav", Samples16({1, 2}), true));
    for (auto& s : sounds)
        s->Play();
    EXPECT_EQ(d.PlayingCount(), 8);
    EXPECT_FALSE(sounds[8]->IsPlaying());
    sounds[0]->Play();  // playing already: no second entry
    EXPECT_EQ(d.PlayingListCount(), 8);
    sounds[3].reset();  // destroying a playing sound removes it from the mix
    EXPECT_EQ(d.PlayingCount(), 7);
    sounds[8]->Play();
    EXPECT_TRUE(sounds[8]->IsPlaying());
    d.StopAll();
    EXPECT_EQ(d.PlayingCount(), 0);
    EXPECT_EQ(d.PlayingListCount(), 0);
}

TEST_F(SoundDeviceTest, EmptyWavesNeitherHangNorPlay)
{
    TWinSoundDevice d;
    d.FromArchive = true;  // the member does not exist: the wave stays empty
    auto ghost = d.AddSound(dir_.File("missing.wav"));
    ASSERT_TRUE(ghost);
    EXPECT_FALSE(ghost->Wave()->Loaded);
    ghost->SetLooped(true);
    d.FromArchive = false;
    auto real = Add(d, "real.wav", Samples16({5, 6}), true);
    ghost->Play();
    real->Play();
    const Bytes out = Fill(d, 8);
    EXPECT_EQ(Sample16(out, 0), 5);
    EXPECT_EQ(Sample16(out, 3), 6);
    EXPECT_TRUE(ghost->IsPlaying());  // left out of the mix, not stopped

    // A non-looped empty sound simply ends.
    ghost->Stop();
    ghost->SetLooped(false);
    ghost->Play();
    Fill(d, 4);
    EXPECT_FALSE(ghost->IsPlaying());

    // Only the looped empty sound plays: pure silence, no endless loop.
    real->Stop();
    ghost->SetLooped(true);
    ghost->Play();
    EXPECT_EQ(Fill(d, 6), Bytes(6, 0));
}

TEST_F(SoundDeviceTest, WaveLoadingMatchesTheDeviceFormat)
{
    TWinSoundDevice d;
    d.SetFormat(1, true, 2);
    // A mono 8-bit wave at 11025 Hz becomes stereo 16-bit at 22050 Hz.
    auto s = d.AddSound(Write("m.wav", PcmWave(1, 11025, 8, {128, 192, 64})));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Wave()->Channels(), 2);
    EXPECT_EQ(s->Wave()->SamplesPerSec(), 22050);
    EXPECT_EQ(s->Wave()->BitsPerSample(), 16);
    EXPECT_EQ(s->Wave()->DataSize, 6u * 4);

    // A same-format wave with a trailing partial frame loses that frame.
    Bytes odd = Samples16({1, 2, 3});
    odd.push_back(9);
    auto p = d.AddSound(Write("p.wav", PcmWave(2, 22050, 16, odd)));
    EXPECT_EQ(p->Wave()->DataSize, 4u);

    // A new format reloads every cached wave; playing sounds restart on the new data.
    s->SetLooped(true);
    s->Play();
    Fill(d, 8);
    d.SetFormat(0, false, 1);
    EXPECT_EQ(s->Wave()->BitsPerSample(), 8);
    EXPECT_EQ(s->Wave()->DataSize, 3u);
    EXPECT_EQ(Win(s).Position(), 0u);
    EXPECT_EQ(Fill(d, 3), (Bytes{128, 192, 64}));

    // Loading errors reach the caller; a bad wave is not cached.
    Write("bad.wav", Riff(Chunk("fmt ", Fmt(1, 1, 22050, 16))));
    EXPECT_THROW(d.AddSound(dir_.File("bad.wav")), EPyrelumeError);
    EXPECT_EQ(d.FindWave("bad.wav"), nullptr);
    EXPECT_THROW(d.AddSound(dir_.File("nope.wav")), EPyrelumeError);
}

TEST_F(SoundDeviceTest, UnusableDeviceIsSilentAndSafe)
{
    TWinSoundDevice d;  // no wave output installed
    auto s = Add(d, "s.wav", Samples16({1, 2}), true);
    d.SetActive(true);
    EXPECT_FALSE(d.Active());
    s->Play();
    EXPECT_FALSE(s->IsPlaying());
    EXPECT_EQ(d.AddSound(dir_.File("s.wav")), nullptr);
    EXPECT_THROW(d.Pause(), EPyrelumeError);
    d.SetFormat(1, true, 1);  // a new format makes it usable again
    EXPECT_TRUE(d.Usable());
    d.SetFormat(1, true, 0);  // but not without channels
    EXPECT_FALSE(d.Usable());

    // An output that fails to open leaves the device silent, not broken.
    TWinSoundDevice alsa(CreateAlsaWaveOutput("pyrelume_no_such_pcm"));
    alsa.SetActive(true);
    EXPECT_FALSE(alsa.Active());
    const std::string error = testutil::ErrorOf([&] { alsa.Output()->Open({1, 22050, 16}, 256, alsa); });
    EXPECT_EQ(error.rfind("TWinSoundDevice.Activate error: snd_pcm_open failed", 0), 0u) << error;
}

TEST_F(SoundDeviceTest, SoundsAndDeviceMayDieInEitherOrder)
{
    std::unique_ptr<TCustomSound> orphan;
    {
        TWinSoundDevice d;
        orphan = Add(d, "s.wav", Samples16({1}), true);
        orphan->Play();
        EXPECT_EQ(d.SoundCount(), 1);
    }
    EXPECT_EQ(orphan->Device(), nullptr);
    EXPECT_FALSE(orphan->IsPlaying());
    orphan->Play();  // detached: nothing happens
    orphan->SetVolume(10);
    orphan.reset();

    TWinSoundDevice d;
    {
        auto s = Add(d, "t.wav", Samples16({1}));
        EXPECT_EQ(d.SoundCount(), 1);
    }
    EXPECT_EQ(d.SoundCount(), 0);
    EXPECT_EQ(d.WaveCount(), 1);  // waves stay cached until the device is cleared
    d.Clear();
    EXPECT_EQ(d.WaveCount(), 0);
}

TEST_F(SoundDeviceTest, CaptureOutputStreamsTheRing)
{
    const TWaveOutputFormat fmt{1, 11025, 8};
    auto* capture = new TFileWaveOutput(fmt);
    TWinSoundDevice d{std::unique_ptr<TWaveOutput>(capture)};
    d.SetFormat(0, false, 1);
    Bytes ramp(100);
    std::iota(ramp.begin(), ramp.end(), 0);
    auto s = Add(d, "ramp.wav", ramp);
    s->Play();
    d.SetActive(true);
    ASSERT_TRUE(capture->IsOpen());
    EXPECT_EQ(capture->BufferSize(), 64u);  // (11025 div 11025) x 64 at 8-bit mono
    EXPECT_EQ((TWaveOutputFormat{2, 22050, 16}.BufferSize()), 512u);
    // The whole ring was mixed when opening: the sound ended long before it is heard.
    EXPECT_FALSE(s->IsPlaying());
    capture->Advance(128);
    const Bytes& c = capture->Captured();
    ASSERT_EQ(c.size(), 128u);
    EXPECT_EQ(c[0], 0);
    EXPECT_EQ(c[99], 99);
    EXPECT_EQ(c[100], 128);
    d.SetActive(false);
    EXPECT_FALSE(capture->IsOpen());
    capture->Advance(10);  // closed: silence
    EXPECT_EQ(c.size(), 138u);
    EXPECT_EQ(c.back(), 128);

    capture->SaveToFile(dir_.File("out.wav"), true);
    TWaveSound back(dir_.File("out.wav"));
    back.LoadFromFile();
    EXPECT_EQ(back.Data, c);
    EXPECT_EQ(back.SamplesPerSec(), 11025);
}

namespace {

// A wave output with its own thread that refills the ring as fast as it can,
// like a sound card that never waits.
class TSpinningOutput : public TWaveOutput {
public:
    ~TSpinningOutput() override { Close(); }
    void Open(const TWaveOutputFormat&, std::size_t bufferSize, TWaveSource& source) override
    {
        ring_.assign(kWaveBufferCount, Bytes(bufferSize));
        for (auto& b : ring_)
            source.FillBuffer(b.data(), b.size());
        stop_ = false;
        open_ = true;
        thread_ = std::thread([this, &source] {
            for (std::size_t i = 0; !stop_.load(); i = (i + 1) % ring_.size()) {
                source.FillBuffer(ring_[i].data(), ring_[i].size());
                fills.fetch_add(1);
            }
        });
    }
    void Close() override
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        open_ = false;
    }
    bool IsOpen() const override { return open_; }
    void Pause() override {}
    void Resume() override {}
    std::atomic<long> fills{0};

private:
    std::vector<Bytes> ring_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    bool open_ = false;
};

}  // namespace

// The mixer thread runs while the main thread plays, stops, changes volumes,
// reloads waves and opens and closes the output. Run under ThreadSanitizer.
TEST_F(SoundDeviceTest, MixerThreadAgainstMainThread)
{
    auto* out = new TSpinningOutput;
    TWinSoundDevice d{std::unique_ptr<TWaveOutput>(out)};
    d.SetFormat(1, true, 2);
    std::vector<std::unique_ptr<TCustomSound>> sounds;
    for (int i = 0; i < 10; ++i) {
        Bytes data = Samples16({1000, -1000, 2000, -2000});
        data.resize(static_cast<std::size_t>(4 * (i + 1) * 37), static_cast<std::uint8_t>(i));
        sounds.push_back(Add(d, "w" + std::to_string(i % 5) + ".wav", data, i % 2 == 0));
    }
    d.SetActive(true);
    ASSERT_TRUE(d.Active());
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
    int round = 0;
    while (std::chrono::steady_clock::now() < until) {
        auto& s = sounds[static_cast<std::size_t>(round % 10)];
        s->Play();
        if (round % 3 == 0)
            sounds[static_cast<std::size_t>((round + 5) % 10)]->Stop();
        s->SetVolume(round % 120);
        if (round % 50 == 0)
            d.SetSoundVolume(round % 100);
        if (round % 97 == 0)
            d.SetActive(!d.Active());
        if (round % 211 == 0)
            d.SetFormat(round % 3, true, 2);
        if (round % 131 == 0)
            sounds[static_cast<std::size_t>((round + 1) % 10)] = Add(d, "w9.wav", Samples16({7, 7}), true);
        EXPECT_LE(d.PlayingCount(), TCustomSoundDevice::kMaxPlaying);
        ++round;
    }
    d.SetActive(true);
    const long before = out->fills.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GT(out->fills.load(), before);  // the mixer is still running
    d.StopAll();
    d.SetActive(false);
    EXPECT_EQ(d.PlayingCount(), 0);
    int playing = 0;
    for (auto& s : sounds)
        playing += s->IsPlaying() ? 1 : 0;
    EXPECT_EQ(playing, 0);
}

namespace {

// The waveOut back end's refill thread over a stand-in for the system: a
// "driver" thread plays the queued buffers in order, marks each done and
// signals, as waveOut does with CALLBACK_EVENT.
class TEventRingOutput : public TWaveOutput, private IWaveRingDriver {
public:
    ~TEventRingOutput() override { Close(); }
    void Open(const TWaveOutputFormat&, std::size_t bufferSize, TWaveSource& source) override
    {
        ring_.assign(kWaveBufferCount, Bytes(bufferSize));
        for (auto& d : done_)
            d.store(false);
        queue_.clear();
        quit_ = false;
        system_ = std::thread([this] { Play(); });
        refill_.Start(*this, source, kWaveBufferCount);
    }
    void Close() override
    {
        refill_.Stop();
        {
            std::lock_guard<std::mutex> g(m_);
            quit_ = true;  // the reset: whatever is queued is dropped
        }
        cv_.notify_all();
        if (system_.joinable())
            system_.join();
    }
    bool IsOpen() const override { return system_.joinable(); }
    void Pause() override {}
    void Resume() override {}
    long Refills() const { return refill_.Refills(); }

private:
    void Play()
    {
        std::unique_lock<std::mutex> g(m_);
        while (!quit_) {
            if (queue_.empty()) {
                cv_.wait(g);
                continue;
            }
            const int i = queue_.front();
            queue_.erase(queue_.begin());
            checksum_ += std::accumulate(ring_[static_cast<std::size_t>(i)].begin(), ring_[static_cast<std::size_t>(i)].end(), 0L);
            done_[static_cast<std::size_t>(i)].store(true);
            signalled_ = true;
            cv_.notify_all();
        }
    }
    bool Done(int i) override { return done_[static_cast<std::size_t>(i)].load(); }
    void Write(int i) override
    {
        std::lock_guard<std::mutex> g(m_);
        done_[static_cast<std::size_t>(i)].store(false);
        queue_.push_back(i);
        cv_.notify_all();
    }
    void Wait() override
    {
        std::unique_lock<std::mutex> g(m_);
        cv_.wait(g, [this] { return signalled_ || woken_; });
        signalled_ = woken_ = false;
    }
    void Wake() override
    {
        std::lock_guard<std::mutex> g(m_);
        woken_ = true;
        cv_.notify_all();
    }
    std::uint8_t* Data(int i) override { return ring_[static_cast<std::size_t>(i)].data(); }
    std::size_t Length(int i) override { return ring_[static_cast<std::size_t>(i)].size(); }

    std::vector<Bytes> ring_;
    std::array<std::atomic<bool>, kWaveBufferCount> done_{};
    std::vector<int> queue_;
    std::mutex m_;
    std::condition_variable cv_;
    bool quit_ = false, signalled_ = false, woken_ = false;
    long checksum_ = 0;
    std::thread system_;
    TWaveRefillThread refill_;
};

}  // namespace

// Start, stop, mute, volume and format changes while the refill thread mixes,
// a few hundred times; every close returns with buffers in flight. Run under
// ThreadSanitizer (-DPYRELUME_TSAN=ON).
TEST_F(SoundDeviceTest, EventDrivenRingAgainstMainThread)
{
    auto* out = new TEventRingOutput;
    TWinSoundDevice d{std::unique_ptr<TWaveOutput>(out)};
    d.SetFormat(1, true, 2);
    std::vector<std::unique_ptr<TCustomSound>> sounds;
    for (int i = 0; i < 6; ++i)
        sounds.push_back(Add(d, "e" + std::to_string(i) + ".wav", Samples16({300, -300, 900, -900, 50, -50}), i % 2 == 0));
    for (int round = 0; round < 300; ++round) {
        d.SetActive(true);
        ASSERT_TRUE(d.Active()) << round;
        sounds[static_cast<std::size_t>(round % 6)]->Play();
        sounds[static_cast<std::size_t>((round + 3) % 6)]->Stop();
        sounds[static_cast<std::size_t>(round % 6)]->SetVolume(round % 101);
        d.SetSoundVolume(round % 4 == 0 ? 0 : 80);  // mute and back
        if (round % 25 == 0)
            d.SetFormat(round % 3, round % 50 != 0, 1 + round % 2);
        std::this_thread::yield();
        d.SetActive(false);
        ASSERT_FALSE(out->IsOpen()) << round;
    }
    d.SetActive(true);
    const long before = out->Refills();
    for (int i = 0; i < 200 && out->Refills() == before; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GT(out->Refills(), before);  // the ring keeps turning
    d.StopAll();
    d.SetActive(false);
}

// The same through ALSA's null device when this system's ALSA provides it.
TEST_F(SoundDeviceTest, AlsaNullOutputStreams)
{
    TWinSoundDevice d(CreateAlsaWaveOutput("null"));
    d.SetFormat(1, true, 2);
    auto s = Add(d, "s.wav", Samples16({1, 2, 3, 4}), true);
    s->Play();
    d.SetActive(true);
    if (!d.Usable())
        GTEST_SKIP() << "no ALSA null device here";
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    s->SetVolume(20);
    s->Stop();
    s->Play();
    d.SetActive(false);
    EXPECT_TRUE(d.Usable());
    EXPECT_FALSE(d.Output()->IsOpen());
}
