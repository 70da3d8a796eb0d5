#include "platform/win32/WinWaveOutput.h"

#include <windows.h>
#include <mmsystem.h>

#include <array>
#include <atomic>
#include <mutex>
#include <vector>

#include "gl/Errors.h"

namespace {

class TWinWaveOutput final : public TWaveOutput {
public:
    ~TWinWaveOutput() override
    {
        try {
            Close();
        } catch (...) {
        }
    }

    void Open(const TWaveOutputFormat& format, std::size_t bufferSize, TWaveSource& source) override
    {
        if (handle_)
            return;
        WAVEFORMATEX wfx{};
        wfx.wFormatTag = WAVE_FORMAT_PCM;
        wfx.nChannels = static_cast<WORD>(format.Channels);
        wfx.nSamplesPerSec = static_cast<DWORD>(format.SamplesPerSec);
        wfx.wBitsPerSample = static_cast<WORD>(format.BitsPerSample);
        wfx.nBlockAlign = static_cast<WORD>(format.BlockAlign());
        wfx.nAvgBytesPerSec = static_cast<DWORD>(format.AvgBytesPerSec());
        wfx.cbSize = 0;

        source_ = &source;
        stopping_.store(true);  // nothing is refilled until the ring is primed
        HWAVEOUT h = nullptr;
        if (waveOutOpen(&h, WAVE_MAPPER, &wfx, reinterpret_cast<DWORD_PTR>(&Callback),
                        reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION) != MMSYSERR_NOERROR)
            RaiseError("TWinSoundDevice", "Activate", "waveOutOpen failed");
        handle_ = h;

        for (std::size_t i = 0; i < headers_.size(); ++i) {
            WAVEHDR& hdr = headers_[i];
            ZeroMemory(&hdr, sizeof(hdr));
            blocks_[i].assign(bufferSize, 0);
            hdr.lpData = reinterpret_cast<LPSTR>(blocks_[i].data());
            hdr.dwBufferLength = static_cast<DWORD>(bufferSize);
            if (waveOutPrepareHeader(handle_, &hdr, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
                // Release what was prepared so far; nothing stays open behind the error.
                for (std::size_t k = 0; k < i; ++k)
                    waveOutUnprepareHeader(handle_, &headers_[k], sizeof(WAVEHDR));
                waveOutClose(handle_);
                handle_ = nullptr;
                ReleaseBlocks();
                RaiseError("TWinSoundDevice", "Activate", "waveOutPrepareHeader failed");
            }
        }

        // Fill and queue the whole ring in order. Completions that arrive meanwhile
        // wait for the lock and then refill the next buffer.
        std::lock_guard<std::mutex> g(fillLock_);
        stopping_.store(false);
        nextBuffer_ = 0;
        queued_.store(0);
        for (std::size_t i = 0; i < headers_.size(); ++i)
            FillAndQueueLocked();
    }

    void Close() override
    {
        if (!handle_)
            return;
        {
            // After this no callback is inside a refill, and none will start one.
            std::lock_guard<std::mutex> g(fillLock_);
            stopping_.store(true);
        }
        const char* failure = nullptr;
        if (waveOutReset(handle_) != MMSYSERR_NOERROR)
            failure = "waveOutReset failed";
        for (WAVEHDR& hdr : headers_)
            if (waveOutUnprepareHeader(handle_, &hdr, sizeof(WAVEHDR)) != MMSYSERR_NOERROR && !failure)
                failure = "waveOutUnprepareHeader failed";
        if (waveOutClose(handle_) != MMSYSERR_NOERROR && !failure)
            failure = "waveOutClose failed";
        handle_ = nullptr;
        source_ = nullptr;
        ReleaseBlocks();
        if (failure)
            RaiseError("TWinSoundDevice", "Deactivate", failure);
    }

    bool IsOpen() const override { return handle_ != nullptr; }

    void Pause() override
    {
        if (!handle_ || waveOutPause(handle_) != MMSYSERR_NOERROR)
            RaiseError("TWinSoundDevice", "Pause", "waveOutPause failed");
    }

    void Resume() override
    {
        if (!handle_ || waveOutRestart(handle_) != MMSYSERR_NOERROR)
            RaiseError("TWinSoundDevice", "Resume", "waveOutRestart failed");
    }

private:
    void ReleaseBlocks()
    {
        for (auto& b : blocks_)
            std::vector<std::uint8_t>().swap(b);
    }

    // Mixes into the next buffer of the ring and hands it to the system.
    void FillAndQueueLocked()
    {
        WAVEHDR& hdr = headers_[static_cast<std::size_t>(nextBuffer_)];
        source_->FillBuffer(reinterpret_cast<std::uint8_t*>(hdr.lpData), hdr.dwBufferLength);
        waveOutWrite(handle_, &hdr, sizeof(WAVEHDR));
        nextBuffer_ = (nextBuffer_ + 1) % kWaveBufferCount;
        queued_.fetch_add(1);
    }

    static void CALLBACK Callback(HWAVEOUT, UINT msg, DWORD_PTR instance, DWORD_PTR, DWORD_PTR)
    {
        if (msg != WOM_DONE)  // 957: a buffer has been played
            return;
        auto* self = reinterpret_cast<TWinWaveOutput*>(instance);
        self->queued_.fetch_sub(1);
        if (self->stopping_.load())
            return;
        try {
            std::lock_guard<std::mutex> g(self->fillLock_);
            if (!self->stopping_.load())
                self->FillAndQueueLocked();
        } catch (...) {
            // Nothing may escape into the system's callback thread.
        }
    }

    HWAVEOUT handle_ = nullptr;
    std::array<WAVEHDR, kWaveBufferCount> headers_{};
    std::array<std::vector<std::uint8_t>, kWaveBufferCount> blocks_;
    TWaveSource* source_ = nullptr;
    std::mutex fillLock_;
    std::atomic<bool> stopping_{true};
    int nextBuffer_ = 0;
    std::atomic<int> queued_{0};
};

}  // namespace

std::unique_ptr<TWaveOutput> CreateWinWaveOutput()
{
    return std::make_unique<TWinWaveOutput>();
}
