#include "platform/win32/WinWaveOutput.h"

#include <windows.h>
#include <mmsystem.h>

#include <array>
#include <vector>

#include "gl/Errors.h"
#include "sound/WaveRefill.h"

namespace {

// An auto-reset event, closed with its owner.
class TEvent {
public:
    TEvent() : handle_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~TEvent()
    {
        if (handle_)
            CloseHandle(handle_);
    }
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

// The output opens with CALLBACK_EVENT: the system only signals the event when
// a buffer is done, and the refill thread mixes and writes. No wave function
// is ever called from a system callback (the documented way to deadlock).
class TWinWaveOutput final : public TWaveOutput, private IWaveRingDriver {
public:
    ~TWinWaveOutput() override
    {
        try {
            Close();
        } catch (...) {
            // A destructor must not throw.
        }
    }

    void Open(const TWaveOutputFormat& format, std::size_t bufferSize, TWaveSource& source) override
    {
        if (handle_)
            return;
        if (!event_.Get())
            RaiseError("TWinSoundDevice", "Activate", "CreateEvent failed");
        WAVEFORMATEX wfx{};
        wfx.wFormatTag = WAVE_FORMAT_PCM;
        wfx.nChannels = static_cast<WORD>(format.Channels);
        wfx.nSamplesPerSec = static_cast<DWORD>(format.SamplesPerSec);
        wfx.wBitsPerSample = static_cast<WORD>(format.BitsPerSample);
        wfx.nBlockAlign = static_cast<WORD>(format.BlockAlign());
        wfx.nAvgBytesPerSec = static_cast<DWORD>(format.AvgBytesPerSec());
        wfx.cbSize = 0;

        HWAVEOUT h = nullptr;
        if (waveOutOpen(&h, WAVE_MAPPER, &wfx, reinterpret_cast<DWORD_PTR>(event_.Get()), 0, CALLBACK_EVENT) !=
            MMSYSERR_NOERROR)
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
        // Primes the ring in order on this thread (no lock is involved: the
        // refill thread starts afterwards), then keeps it full.
        refill_.Start(*this, source, kWaveBufferCount);
    }

    void Close() override
    {
        if (!handle_)
            return;
        // The refill thread leaves first, so nothing writes after the reset.
        refill_.Stop();
        const char* failure = nullptr;
        if (waveOutReset(handle_) != MMSYSERR_NOERROR)
            failure = "waveOutReset failed";
        for (WAVEHDR& hdr : headers_)
            if (waveOutUnprepareHeader(handle_, &hdr, sizeof(WAVEHDR)) != MMSYSERR_NOERROR && !failure)
                failure = "waveOutUnprepareHeader failed";
        if (waveOutClose(handle_) != MMSYSERR_NOERROR && !failure)
            failure = "waveOutClose failed";
        handle_ = nullptr;
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
    // ---- IWaveRingDriver, used by the refill thread
    bool Done(int index) override
    {
        return (static_cast<volatile DWORD&>(headers_[static_cast<std::size_t>(index)].dwFlags) & WHDR_DONE) != 0;
    }
    void Write(int index) override { waveOutWrite(handle_, &headers_[static_cast<std::size_t>(index)], sizeof(WAVEHDR)); }
    void Wait() override { WaitForSingleObject(event_.Get(), INFINITE); }
    void Wake() override { SetEvent(event_.Get()); }
    std::uint8_t* Data(int index) override { return blocks_[static_cast<std::size_t>(index)].data(); }
    std::size_t Length(int index) override { return blocks_[static_cast<std::size_t>(index)].size(); }

    void ReleaseBlocks()
    {
        for (auto& b : blocks_)
            std::vector<std::uint8_t>().swap(b);
    }

    HWAVEOUT handle_ = nullptr;
    TEvent event_;
    std::array<WAVEHDR, kWaveBufferCount> headers_{};
    std::array<std::vector<std::uint8_t>, kWaveBufferCount> blocks_;
    TWaveRefillThread refill_;
};

}  // namespace

std::unique_ptr<TWaveOutput> CreateWinWaveOutput()
{
    return std::make_unique<TWinWaveOutput>();
}
