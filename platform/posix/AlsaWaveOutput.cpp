#include "platform/posix/AlsaWaveOutput.h"

#include <alsa/asoundlib.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "gl/Errors.h"

namespace {

[[noreturn]] void Fail(const char* op, const char* what, int err)
{
    RaiseError("TWinSoundDevice", op, std::string(what) + " failed: " + snd_strerror(err));
}

class TAlsaWaveOutput final : public TWaveOutput {
public:
    explicit TAlsaWaveOutput(std::string device) : device_(std::move(device)) {}
    ~TAlsaWaveOutput() override
    {
        try {
            Close();
        } catch (...) {
            // A destructor must not throw.
        }
    }

    void Open(const TWaveOutputFormat& format, std::size_t bufferSize, TWaveSource& source) override
    {
        if (pcm_)
            return;
        const int frame = format.BlockAlign();
        if (frame <= 0 || bufferSize == 0 || bufferSize % static_cast<std::size_t>(frame) != 0)
            RaiseError("TWinSoundDevice", "Activate", "invalid output format");

        snd_pcm_t* pcm = nullptr;
        int err = snd_pcm_open(&pcm, device_.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
        if (err < 0)
            Fail("Activate", "snd_pcm_open", err);
        std::unique_ptr<snd_pcm_t, int (*)(snd_pcm_t*)> guard(pcm, &snd_pcm_close);
        // ALSA's own queue stays short; the ring of mixed buffers is the latency.
        err = snd_pcm_set_params(pcm, format.BitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE,
                                 SND_PCM_ACCESS_RW_INTERLEAVED, static_cast<unsigned>(format.Channels),
                                 static_cast<unsigned>(format.SamplesPerSec), 1, 40000);
        if (err < 0)
            Fail("Activate", "snd_pcm_set_params", err);

        frameBytes_ = static_cast<std::size_t>(frame);
        ring_.assign(kWaveBufferCount, std::vector<std::uint8_t>(bufferSize));
        for (auto& b : ring_)
            source.FillBuffer(b.data(), b.size());
        source_ = &source;
        stopping_.store(false);
        paused_ = false;
        pcm_ = guard.release();
        thread_ = std::thread([this] { Run(); });
    }

    void Close() override
    {
        if (!pcm_)
            return;
        stopping_.store(true);
        {
            std::lock_guard<std::mutex> g(pauseLock_);
            paused_ = false;
        }
        pauseWake_.notify_all();
        if (thread_.joinable())
            thread_.join();
        snd_pcm_drop(pcm_);
        const int err = snd_pcm_close(pcm_);
        pcm_ = nullptr;
        source_ = nullptr;
        ring_.clear();
        if (err < 0)
            Fail("Deactivate", "snd_pcm_close", err);
    }

    bool IsOpen() const override { return pcm_ != nullptr; }

    void Pause() override
    {
        if (!pcm_)
            RaiseError("TWinSoundDevice", "Pause", "waveOutPause failed");
        std::lock_guard<std::mutex> g(pauseLock_);
        paused_ = true;
    }

    void Resume() override
    {
        if (!pcm_)
            RaiseError("TWinSoundDevice", "Resume", "waveOutRestart failed");
        {
            std::lock_guard<std::mutex> g(pauseLock_);
            paused_ = false;
        }
        pauseWake_.notify_all();
    }

private:
    // The writer thread: hands the buffers to ALSA in ring order and refills each
    // one as soon as ALSA has taken all of it.
    void Run()
    {
        std::size_t next = 0;
        std::size_t offset = 0;
        while (!stopping_.load()) {
            {
                std::unique_lock<std::mutex> g(pauseLock_);
                pauseWake_.wait(g, [this] { return !paused_ || stopping_.load(); });
            }
            if (stopping_.load())
                break;
            auto& b = ring_[next];
            const snd_pcm_uframes_t frames = (b.size() - offset) / frameBytes_;
            const snd_pcm_sframes_t written = snd_pcm_writei(pcm_, b.data() + offset, frames);
            if (written == -EAGAIN) {
                snd_pcm_wait(pcm_, 20);
                continue;
            }
            if (written < 0) {
                // Underruns and suspends are recovered; anything else ends the stream.
                if (snd_pcm_recover(pcm_, static_cast<int>(written), 1) < 0)
                    break;
                continue;
            }
            offset += static_cast<std::size_t>(written) * frameBytes_;
            if (offset >= b.size()) {
                source_->FillBuffer(b.data(), b.size());
                next = (next + 1) % ring_.size();
                offset = 0;
            }
        }
    }

    std::string device_;
    snd_pcm_t* pcm_ = nullptr;
    TWaveSource* source_ = nullptr;
    std::vector<std::vector<std::uint8_t>> ring_;
    std::size_t frameBytes_ = 1;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::mutex pauseLock_;
    std::condition_variable pauseWake_;
    bool paused_ = false;
};

}  // namespace

std::unique_ptr<TWaveOutput> CreateAlsaWaveOutput(const std::string& device)
{
    return std::make_unique<TAlsaWaveOutput>(device);
}

namespace {

extern "C" void IgnoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void SilenceAlsaMessages() { snd_lib_error_set_handler(&IgnoreAlsaMessage); }

std::string AlsaDeviceProblem(const std::string& device)
{
    snd_pcm_t* pcm = nullptr;
    const int err = snd_pcm_open(&pcm, device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (err >= 0) {
        snd_pcm_close(pcm);
        return {};
    }
    int card = -1;
    if (snd_card_next(&card) < 0 || card < 0)
        return "no sound card was found";
    return "the sound device \"" + device + "\" cannot be opened (" + snd_strerror(err) + ")";
}
