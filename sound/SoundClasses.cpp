#include "sound/SoundClasses.h"

#include <algorithm>
#include <cstring>

#include "assets/ResourceFile.h"
#include "gl/Errors.h"

namespace {

int Clamp100(int v) { return std::clamp(v, 0, 100); }

// "C:\Sounds\fire.wav" and "Scenes/fire.wav" -> "fire.wav".
std::string NameWithoutFolder(const std::string& fileName)
{
    const std::size_t slash = fileName.find_last_of("\\/:");
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

}  // namespace

// ---- TCustomSound

TCustomSound::TCustomSound(TWaveSound* wave, TCustomSoundDevice* device) : device_(device), wave_(wave)
{
    if (device_) {
        std::lock_guard<std::mutex> g(device_->lock_);
        volume_ = device_->soundVolume_;
        device_->sounds_.push_back(this);
    }
}

TCustomSound::~TCustomSound()
{
    if (device_) {
        std::lock_guard<std::mutex> g(device_->lock_);
        Detach();
    }
}

void TCustomSound::Detach()
{
    if (!device_)
        return;
    auto& list = device_->sounds_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    device_ = nullptr;
    wave_ = nullptr;
}

void TCustomSound::SetVolumeLocked(int v)
{
    if (v == volume_)
        return;
    volume_ = v;
    ApplyVolume();
}

void TCustomSound::SetVolume(int v)
{
    if (device_) {
        std::lock_guard<std::mutex> g(device_->lock_);
        SetVolumeLocked(v);
    } else {
        SetVolumeLocked(v);
    }
}

void TCustomSound::SetPan(int p)
{
    if (p == pan_)
        return;
    pan_ = p;
    ApplyPan();
}

void TCustomSound::SetMusic(bool flag)
{
    music_ = flag;
    if (device_)
        SetVolume(flag ? device_->MusicVolume() : device_->SoundVolume());
}

// ---- TCustomSoundDevice

TCustomSoundDevice::~TCustomSoundDevice()
{
    // The derived device has already closed its output and stopped its sounds.
    std::lock_guard<std::mutex> g(lock_);
    DetachAllLocked();
}

int TCustomSoundDevice::RateOfIndex(int rateIndex)
{
    switch (rateIndex) {
    case 0: return 11025;
    case 2: return 44100;
    default: return 22050;
    }
}

int TCustomSoundDevice::SamplesPerSec() const { return RateOfIndex(rateIndex_); }

int TCustomSoundDevice::SoundCount() const
{
    std::lock_guard<std::mutex> g(lock_);
    return static_cast<int>(sounds_.size());
}

void TCustomSoundDevice::SetActive(bool flag)
{
    if (flag == active_)
        return;
    active_ = flag;
    try {
        if (active_ && Usable())
            Activate();
        else
            Deactivate();
    } catch (...) {
        // A device that cannot open or close falls silent instead of failing the program.
        usable_.store(false, std::memory_order_release);
        active_ = false;
    }
}

void TCustomSoundDevice::SetSoundVolume(int v)
{
    if (v == soundVolume_)
        return;
    std::lock_guard<std::mutex> g(lock_);
    soundVolume_ = Clamp100(v);
    for (TCustomSound* s : sounds_)
        if (!s->music_)
            s->SetVolumeLocked(soundVolume_);
}

void TCustomSoundDevice::SetMusicVolume(int v)
{
    if (v == musicVolume_)
        return;
    std::lock_guard<std::mutex> g(lock_);
    musicVolume_ = Clamp100(v);
    for (TCustomSound* s : sounds_)
        if (s->music_)
            s->SetVolumeLocked(musicVolume_);
}

TWaveSound* TCustomSoundDevice::FindWave(const std::string& name) const
{
    auto it = waves_.find(name);
    return it == waves_.end() ? nullptr : it->second.get();
}

std::unique_ptr<TCustomSound> TCustomSoundDevice::AddSound(const std::string& fileName)
{
    if (!Usable())
        return nullptr;
    const std::string key = NameWithoutFolder(fileName);
    TWaveSound* wave = FindWave(key);
    if (!wave) {
        auto fresh = std::make_unique<TWaveSound>(fileName);
        LoadWave(*fresh);  // a wave that fails to load is not entered
        wave = fresh.get();
        waves_.emplace(key, std::move(fresh));
    }
    return NewSound(wave);
}

void TCustomSoundDevice::LoadWave(TWaveSound& wave)
{
    if (!Usable())
        return;
    // Load into a separate object so the mixer keeps reading the old data until
    // the new data is swapped in under the lock.
    TWaveSound fresh(wave.FileName);
    auto install = [&] {
        std::lock_guard<std::mutex> g(lock_);
        wave.TakeFrom(fresh);
        WaveChangedLocked(wave);
    };
    try {
        if (FromArchive) {
            TResourceFileReader& reader = ResourceReader();
            if (reader.Open(wave.FileName) && reader.Stream())
                fresh.LoadFromStream(*reader.Stream());
        } else {
            fresh.LoadFromFile();
        }
        fresh.Match(channels_, SamplesPerSec(), Bits());
        // The mixer steps whole sample frames: drop a trailing partial frame.
        if (fresh.Loaded) {
            const std::uint32_t frame = static_cast<std::uint32_t>(channels_ * Bits() / 8);
            if (frame > 1 && fresh.DataSize % frame != 0) {
                fresh.DataSize -= fresh.DataSize % frame;
                fresh.Data.resize(fresh.DataSize);
            }
        }
    } catch (...) {
        // The previous sounds are put back, whatever failed, before the error goes on.
        fresh.Clear();
        install();
        throw;
    }
    install();
}

void TCustomSoundDevice::SetFormat(int rateIndex, bool bits16, int channels)
{
    const bool wasOpen = OutputOpen();
    if (wasOpen) {
        try {
            Deactivate();
        } catch (...) {
            // A device that cannot close is reopened with the new format below, or falls silent there.
        }
    }
    {
        std::lock_guard<std::mutex> g(lock_);
        rateIndex_ = rateIndex;
        bits16_ = bits16;
        channels_ = channels;
    }
    // Outside 1..8 channels no output could be opened and no wave matched to it.
    usable_.store(channels >= 1 && channels <= 8, std::memory_order_release);
    if (wasOpen) {
        try {
            if (Usable())
                Activate();
        } catch (...) {
            // A device that cannot reopen falls silent instead of failing the program.
            usable_.store(false, std::memory_order_release);
            active_ = false;
        }
    }
    for (auto& [name, wave] : waves_)
        LoadWave(*wave);
}

void TCustomSoundDevice::DetachAllLocked()
{
    while (!sounds_.empty())
        sounds_.back()->Detach();
}

void TCustomSoundDevice::Clear()
{
    SetActive(false);
    StopAll();
    std::lock_guard<std::mutex> g(lock_);
    DetachAllLocked();
    waves_.clear();
}

// ---- TWinSound

TWinSound::TWinSound(TWaveSound* wave, TWinSoundDevice* device) : TCustomSound(wave, device) {}

TWinSound::~TWinSound()
{
    if (device_) {
        std::lock_guard<std::mutex> g(device_->lock_);
        static_cast<TWinSoundDevice*>(device_)->StopLocked(*this);
        Detach();
    }
}

void TWinSound::ApplyVolume() { mixVolume_ = Clamp100(volume_); }

void TWinSound::Play()
{
    if (!device_)
        return;
    auto* dev = static_cast<TWinSoundDevice*>(device_);
    std::lock_guard<std::mutex> g(dev->lock_);
    if (IsPlaying())
        return;
    position_ = 0;
    mixVolume_ = Clamp100(volume_);
    if (!dev->AdmitLocked(*this))
        return;
    if (OnPlay)
        OnPlay(*this);
    isPlaying_.store(true, std::memory_order_release);
    dev->playingCount_.fetch_add(1, std::memory_order_acq_rel);
}

void TWinSound::Stop()
{
    if (!device_)
        return;
    auto* dev = static_cast<TWinSoundDevice*>(device_);
    std::lock_guard<std::mutex> g(dev->lock_);
    dev->StopLocked(*this);
}

// ---- TWinSoundDevice

TWinSoundDevice::TWinSoundDevice(TWaveOutput* output) : output_(output) {}

TWinSoundDevice::TWinSoundDevice(std::unique_ptr<TWaveOutput> output)
    : ownOutput_(std::move(output)), output_(ownOutput_.get())
{
}

TWinSoundDevice::~TWinSoundDevice()
{
    try {
        Clear();
    } catch (...) {
        // A destructor must not throw.
    }
    if (output_) {
        try {
            output_->Close();
        } catch (...) {
            // A destructor must not throw.
        }
    }
}

void TWinSoundDevice::Activate()
{
    if (!output_)
        RaiseError("TWinSoundDevice", "Activate", "no wave output");
    if (output_->IsOpen())
        return;
    const TWaveOutputFormat format = OutputFormat();
    if (format.BufferSize() == 0)
        RaiseError("TWinSoundDevice", "Activate", "unsupported output format");
    output_->Open(format, format.BufferSize(), *this);
}

void TWinSoundDevice::Deactivate()
{
    if (output_)
        output_->Close();
}

std::unique_ptr<TCustomSound> TWinSoundDevice::NewSound(TWaveSound* wave)
{
    return std::make_unique<TWinSound>(wave, this);
}

void TWinSoundDevice::Pause()
{
    if (!OutputOpen())
        RaiseError("TWinSoundDevice", "Pause", "waveOutPause failed");
    output_->Pause();
    paused_ = true;
}

void TWinSoundDevice::Resume()
{
    if (!OutputOpen())
        RaiseError("TWinSoundDevice", "Resume", "waveOutRestart failed");
    output_->Resume();
    paused_ = false;
}

void TWinSoundDevice::StopAll()
{
    std::lock_guard<std::mutex> g(lock_);
    while (playingN_ > 0)
        StopLocked(*playing_[static_cast<std::size_t>(playingN_ - 1)]);
}

int TWinSoundDevice::PlayingListCount() const
{
    std::lock_guard<std::mutex> g(lock_);
    return playingN_;
}

bool TWinSoundDevice::AdmitLocked(TWinSound& sound)
{
    if (!Usable() || playingN_ >= kMaxPlaying)
        return false;
    playing_[static_cast<std::size_t>(playingN_++)] = &sound;
    return true;
}

void TWinSoundDevice::StopLocked(TWinSound& sound)
{
    if (!sound.IsPlaying())
        return;
    auto end = playing_.begin() + playingN_;
    auto it = std::find(playing_.begin(), end, &sound);
    if (it != end) {
        std::move(it + 1, end, it);
        --playingN_;
        playing_[static_cast<std::size_t>(playingN_)] = nullptr;
    }
    if (sound.OnStop)
        sound.OnStop(sound);
    sound.isPlaying_.store(false, std::memory_order_release);
    playingCount_.fetch_sub(1, std::memory_order_acq_rel);
}

void TWinSoundDevice::WaveChangedLocked(TWaveSound& wave)
{
    // The old bytes are gone; playing sounds of this wave start over on the new data.
    for (int i = 0; i < playingN_; ++i)
        if (playing_[static_cast<std::size_t>(i)]->wave_ == &wave)
            playing_[static_cast<std::size_t>(i)]->position_ = 0;
}

namespace {

// The bytes of a sound's wave the mixer may play: whole 16-bit samples in 16-bit mode.
std::uint32_t PlayableSize(const TWinSound& s, bool b16)
{
    const TWaveSound* w = s.Wave();
    if (!w)
        return 0;
    const std::uint32_t size = std::min<std::uint32_t>(w->DataSize, static_cast<std::uint32_t>(w->Data.size()));
    return b16 ? size & ~1u : size;
}

}  // namespace

void TWinSoundDevice::FillBuffer(std::uint8_t* out, std::size_t length)
{
    std::lock_guard<std::mutex> g(lock_);
    const bool b16 = bits16_;
    std::size_t total = length;
    if (b16 && (length & 1u)) {
        out[length - 1] = 0;  // a 16-bit stream has no half samples
        total = length - 1;
    }

    std::size_t done = 0;
    while (done < total) {
        // Gather the sounds that take part in this chunk. A non-looped sound with
        // nothing left stops; a looped sound without data is left out, as it could
        // never let a chunk advance.
        TWinSound* part[kMaxPlaying];
        std::uint32_t size[kMaxPlaying];
        int np = 0;
        std::size_t n = total - done;
        for (int i = 0; i < playingN_;) {
            TWinSound* s = playing_[static_cast<std::size_t>(i)];
            const std::uint32_t sz = PlayableSize(*s, b16);
            if (s->position_ >= sz) {
                if (!s->Looped()) {
                    StopLocked(*s);  // shifts the list; i now names the next sound
                    continue;
                }
                if (sz == 0) {
                    ++i;
                    continue;
                }
                s->position_ = 0;
            }
            part[np] = s;
            size[np] = sz;
            n = std::min<std::size_t>(n, sz - s->position_);
            ++np;
            ++i;
        }

        // Snapshot of the cursors and mix volumes of this chunk.
        const std::uint8_t* cur[kMaxPlaying];
        int vol[kMaxPlaying];
        for (int k = 0; k < np; ++k) {
            cur[k] = part[k]->wave_->Data.data() + part[k]->position_;
            vol[k] = part[k]->mixVolume_;
        }

        std::uint8_t* o = out + done;
        if (b16) {
            const std::size_t samples = n / 2;
            for (std::size_t j = 0; j < samples; ++j) {
                std::int32_t acc = 0;
                for (int k = 0; k < np; ++k) {
                    std::int16_t smp;
                    std::memcpy(&smp, cur[k] + 2 * j, 2);
                    acc += static_cast<std::int32_t>(smp) * vol[k] / 100;
                }
                const auto v = static_cast<std::int16_t>(std::clamp(acc, -32768, 32767));
                std::memcpy(o + 2 * j, &v, 2);
            }
        } else {
            for (std::size_t j = 0; j < n; ++j) {
                std::int32_t acc = 128;
                for (int k = 0; k < np; ++k)
                    acc += (static_cast<std::int32_t>(cur[k][j]) - 128) * vol[k] / 100;
                o[j] = static_cast<std::uint8_t>(std::clamp(acc, 0, 255));
            }
        }

        // Advance every participant exactly once; stop the finished non-looped
        // sounds only after all have been advanced.
        TWinSound* ended[kMaxPlaying];
        int ne = 0;
        for (int k = 0; k < np; ++k) {
            TWinSound* s = part[k];
            s->position_ += static_cast<std::uint32_t>(n);
            if (s->position_ >= size[k]) {
                if (s->Looped())
                    s->position_ = 0;
                else
                    ended[ne++] = s;
            }
        }
        for (int k = 0; k < ne; ++k)
            StopLocked(*ended[k]);
        done += n;
    }
}

