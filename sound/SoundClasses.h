#pragma once
// The process-wide sound device: a cache of waves in the output format, the
// playable sounds made from them, the sound and music volumes, and the software
// mixer that streams up to eight playing sounds to a wave output.
//
// Threads: the main thread plays, stops, changes volumes and the format; the
// wave output's thread calls FillBuffer. One mutex per device guards the playing
// list and every sound's playback fields (position, mix volume, playing flag).
// OnPlay and OnStop run with that lock held (FillBuffer stops sounds that reach
// their end on the output's thread), so they must not call back into the device.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/WaveOutput.h"
#include "sound/WaveSound.h"

class TCustomSoundDevice;

// One playable instance of a cached wave. Owned by whoever asked the device for
// it; the device keeps a non-owning list and detaches every sound (Device and
// Wave become null) when it is cleared, so either may be destroyed first.
class TCustomSound {
public:
    using TSoundEvent = std::function<void(TCustomSound&)>;

    TCustomSound(TWaveSound* wave, TCustomSoundDevice* device);
    virtual ~TCustomSound();
    TCustomSound(const TCustomSound&) = delete;
    TCustomSound& operator=(const TCustomSound&) = delete;

    bool Looped() const { return looped_.load(std::memory_order_relaxed); }
    void SetLooped(bool v) { looped_.store(v, std::memory_order_relaxed); }
    int Volume() const { return volume_; }
    void SetVolume(int v);
    int Pan() const { return pan_; }
    void SetPan(int p);
    bool Music() const { return music_; }
    void SetMusic(bool flag);
    bool IsPlaying() const { return isPlaying_.load(std::memory_order_acquire); }
    TCustomSoundDevice* Device() const { return device_; }
    TWaveSound* Wave() const { return wave_; }

    TSoundEvent OnPlay;
    TSoundEvent OnStop;

    // Virtual operations in slot order. ApplyPan and ApplyVolume run with the
    // device lock held.
    virtual void ApplyPan() {}
    virtual void ApplyVolume() {}
    virtual void Play() = 0;
    virtual void Stop() = 0;

protected:
    friend class TCustomSoundDevice;
    void SetVolumeLocked(int v);
    void Detach();  // removes the sound from its device's list; call with the lock held

    std::atomic<bool> looped_{false};
    int volume_ = 100;
    int pan_ = 0;
    TCustomSoundDevice* device_ = nullptr;
    std::atomic<bool> isPlaying_{false};
    TWaveSound* wave_ = nullptr;
    bool music_ = false;
};

class TCustomSoundDevice {
public:
    static constexpr int kMaxPlaying = 8;

    TCustomSoundDevice() = default;
    virtual ~TCustomSoundDevice();
    TCustomSoundDevice(const TCustomSoundDevice&) = delete;
    TCustomSoundDevice& operator=(const TCustomSoundDevice&) = delete;

    bool Active() const { return active_; }
    void SetActive(bool flag);
    int Channels() const { return channels_; }
    bool Bits16() const { return bits16_; }
    int Bits() const { return bits16_ ? 16 : 8; }
    int RateIndex() const { return rateIndex_; }
    // 11025 for index 0, 44100 for index 2, 22050 otherwise.
    int SamplesPerSec() const;
    static int RateOfIndex(int rateIndex);
    TWaveOutputFormat OutputFormat() const { return {channels_, SamplesPerSec(), Bits()}; }
    int SoundVolume() const { return soundVolume_; }
    void SetSoundVolume(int v);
    int MusicVolume() const { return musicVolume_; }
    void SetMusicVolume(int v);
    bool Usable() const { return usable_.load(std::memory_order_acquire); }
    int PlayingCount() const { return playingCount_.load(std::memory_order_acquire); }

    // Waves are read through the process-wide resource reader instead of from disk.
    bool FromArchive = false;

    // A new sound for the wave of fileName (loaded and cached under its name
    // without folder on first use), or null when the device is not usable. Wave
    // loading errors propagate.
    std::unique_ptr<TCustomSound> AddSound(const std::string& fileName);
    // Reads the wave's FileName (from the archive or disk) and matches it to the
    // output format. Nothing when not usable.
    void LoadWave(TWaveSound& wave);
    TWaveSound* FindWave(const std::string& name) const;
    int WaveCount() const { return static_cast<int>(waves_.size()); }
    int SoundCount() const;
    // Stops and detaches every sound, closes the output and frees all waves.
    void Clear();

    // Virtual operations in slot order.
    virtual void Activate() = 0;
    virtual void Deactivate() = 0;
    virtual std::unique_ptr<TCustomSound> NewSound(TWaveSound* wave) = 0;
    virtual void SetFormat(int rateIndex, bool bits16, int channels);
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual void StopAll() = 0;

    // Whether the output is open now.
    virtual bool OutputOpen() const = 0;

protected:
    friend class TCustomSound;
    friend class TWinSound;
    // The wave's contents were replaced; called with the lock held.
    virtual void WaveChangedLocked(TWaveSound& wave) {}
    void DetachAllLocked();

    mutable std::mutex lock_;
    bool active_ = false;
    int channels_ = 1;
    bool bits16_ = true;
    int rateIndex_ = 1;
    std::vector<TCustomSound*> sounds_;
    std::map<std::string, std::unique_ptr<TWaveSound>> waves_;
    bool paused_ = false;
    int soundVolume_ = 100;
    int musicVolume_ = 100;
    std::atomic<bool> usable_{true};
    std::atomic<int> playingCount_{0};
};

class TWinSoundDevice;

// The mixer-side state of a sound: bytes played of the wave's data and the
// volume the mixer applies.
class TWinSound : public TCustomSound {
public:
    TWinSound(TWaveSound* wave, TWinSoundDevice* device);
    ~TWinSound() override;

    void ApplyVolume() override;
    void Play() override;
    void Stop() override;

    // Read under the device lock (or when no output runs).
    std::uint32_t Position() const { return position_; }
    int MixVolume() const { return mixVolume_; }

private:
    friend class TWinSoundDevice;
    std::uint32_t position_ = 0;  // the next unplayed byte is Wave()->Data[position_]
    int mixVolume_ = 100;
};

// The device that mixes its playing sounds in software and streams them to a
// wave output (waveOut on Windows, ALSA on Linux, a capture for tools).
class TWinSoundDevice : public TCustomSoundDevice, public TWaveSource {
public:
    // Streams to output (the program's, not owned; none keeps the device silent).
    explicit TWinSoundDevice(TWaveOutput* output = nullptr);
    // Streams to an output of its own (tools and tests).
    explicit TWinSoundDevice(std::unique_ptr<TWaveOutput> output);
    ~TWinSoundDevice() override;

    TWaveOutput* Output() const { return output_; }

    void Activate() override;
    void Deactivate() override;
    std::unique_ptr<TCustomSound> NewSound(TWaveSound* wave) override;
    void Pause() override;
    void Resume() override;
    void StopAll() override;

    // Mixes the next length bytes of the stream into out: the playing sounds are
    // summed per byte (8-bit) or per 16-bit sample with their mix volumes, in
    // chunks that never cross a sound's end; looped sounds restart, others stop.
    void FillBuffer(std::uint8_t* out, std::size_t length) override;

    // Number of sounds in the playing list.
    int PlayingListCount() const;

    bool OutputOpen() const override { return output_ && output_->IsOpen(); }

protected:
    void WaveChangedLocked(TWaveSound& wave) override;

private:
    friend class TWinSound;
    bool AdmitLocked(TWinSound& sound);
    void StopLocked(TWinSound& sound);

    std::unique_ptr<TWaveOutput> ownOutput_;
    TWaveOutput* output_ = nullptr;
    std::array<TWinSound*, kMaxPlaying> playing_{};
    int playingN_ = 0;
};

