#include "sound/SceneSounds.h"

#include <algorithm>

// ---- TSceneSoundList

TSceneSoundList::TSceneSoundList(TCustomSoundDevice& device) : device_(device)
{
    // The list exists to play its sounds: it starts visible (a hidden resource
    // would never render, and so never start, its children).
    Visible = true;
}

void TSceneSoundList::LoadFromLoader(TResourceLoader& loader)
{
    TCustomSoundDevice& dev = device_;
    InitDevice = loader.ReadBool("InitDevice", InitDevice);
    Rate = loader.ReadInteger("Rate", Rate);
    Bits = loader.ReadInteger("Bits", Bits);
    Channels = loader.ReadInteger("Channels", Channels);
    if (InitDevice)
        dev.SetFormat(Rate, Bits != 0, Channels);
    dev.SetSoundVolume(loader.ReadInteger("SoundVolume", dev.SoundVolume()));
    dev.SetMusicVolume(loader.ReadInteger("MusicVolume", dev.MusicVolume()));
    const TMainScene* scene = MainScene ? MainScene : loader.MainScene;
    dev.FromArchive = scene ? scene->FromArchive() : loader.FromArchive;
    TResource::LoadFromLoader(loader);
}

void TSceneSoundList::SaveToLoader(TResourceLoader& loader)
{
    TResource::SaveToLoader(loader);
    const TCustomSoundDevice& dev = device_;
    loader.WriteBool("InitDevice", InitDevice);
    loader.WriteInteger("Rate", Rate);
    loader.WriteInteger("Bits", Bits);
    loader.WriteInteger("Channels", Channels);
    loader.WriteInteger("SoundVolume", dev.SoundVolume());
    loader.WriteInteger("MusicVolume", dev.MusicVolume());
}

void TSceneSoundList::Render()
{
    TResource::Render();
    TCustomSoundDevice& dev = device_;
    dev.SetActive(dev.PlayingCount() > 0);
}

void TSceneSoundList::ReadSettings()
{
    if (TSceneSettingsStore* store = SettingsStore()) {
        TCustomSoundDevice& dev = device_;
        dev.SetSoundVolume(store->ReadInteger(Name() + " SoundVolume", dev.SoundVolume()));
        dev.SetMusicVolume(store->ReadInteger(Name() + " MusicVolume", dev.MusicVolume()));
        dev.SetActive(store->ReadBool(Name() + " Active", dev.OutputOpen()));
        for (int i = 0; i < GetCount(); ++i) {
            auto* s = dynamic_cast<TSceneSound*>(GetItem(i));
            if (!s || !s->Sound())
                continue;
            s->SetVisible(store->ReadBool(s->Name() + "Played", s->Visible));
            // The dialog's volume runs 0..100; a stored value outside it is clamped.
            s->Sound()->SetVolume(std::clamp(store->ReadInteger(s->Name() + "Volume", s->Sound()->Volume()), 0, 100));
            s->Sound()->SetPan(store->ReadInteger(s->Name() + "Pan", s->Sound()->Pan()));
        }
    }
    TResource::ReadSettings();
}

void TSceneSoundList::WriteSettings()
{
    if (TSceneSettingsStore* store = SettingsStore()) {
        const TCustomSoundDevice& dev = device_;
        store->WriteInteger(Name() + " SoundVolume", dev.SoundVolume());
        store->WriteInteger(Name() + " MusicVolume", dev.MusicVolume());
        store->WriteBool(Name() + " Active", dev.OutputOpen());
        for (int i = 0; i < GetCount(); ++i) {
            auto* s = dynamic_cast<TSceneSound*>(GetItem(i));
            if (!s || !s->Sound())
                continue;
            store->WriteBool(s->Name() + "Played", s->Visible);
            store->WriteInteger(s->Name() + "Volume", s->Sound()->Volume());
            store->WriteInteger(s->Name() + "Pan", s->Sound()->Pan());
        }
    }
    TResource::WriteSettings();
}

// ---- TSceneSound

TSceneSound::~TSceneSound() = default;

void TSceneSound::SetFileName(const std::string& name)
{
    sound_.reset();
    fileName_ = name;
    if (name.empty())
        return;
    const auto* list = dynamic_cast<const TResource*>(Owner);
    const std::string resolved = ResolveFileName(name, list ? list->Path : std::string());
    sound_ = device_.AddSound(resolved);
}

void TSceneSound::SetVisible(bool flag)
{
    TMainObject::SetVisible(flag);
    if (!flag && sound_)
        sound_->Stop();
}

void TSceneSound::Render()
{
    TMainObject::Render();
    if (sound_ && !sound_->IsPlaying())
        sound_->Play();
}

void TSceneSound::LoadFromLoader(TResourceLoader& loader)
{
    TMainObject::LoadFromLoader(loader);
    SetFileName(loader.ReadString("FileName", fileName_));
    if (sound_) {
        sound_->SetLooped(loader.ReadBool("Looped", sound_->Looped()));
        sound_->SetMusic(loader.ReadBool("Music", sound_->Music()));  // also resets the volume to the device's
        sound_->SetVolume(loader.ReadInteger("Volume", sound_->Volume()));
        sound_->SetPan(loader.ReadInteger("Pan", sound_->Pan()));
    } else {
        // Without a device sound the keys are kept so that saving writes them back.
        looped_ = loader.ReadBool("Looped", looped_);
        music_ = loader.ReadBool("Music", music_);
        volume_ = loader.ReadInteger("Volume", volume_);
        pan_ = loader.ReadInteger("Pan", pan_);
    }
}

void TSceneSound::SaveToLoader(TResourceLoader& loader)
{
    loader.WriteString("FileName", fileName_);
    loader.WriteBool("Looped", sound_ ? sound_->Looped() : looped_);
    loader.WriteBool("Music", sound_ ? sound_->Music() : music_);
    loader.WriteInteger("Volume", sound_ ? sound_->Volume() : volume_);
    loader.WriteInteger("Pan", sound_ ? sound_->Pan() : pan_);
    TMainObject::SaveToLoader(loader);
}

void RegisterSoundSceneTypes(TSceneTypeTable& types, TCustomSoundDevice& device)
{
    TCustomSoundDevice* d = &device;
    types.Add("TSceneSoundList", [d] { return std::unique_ptr<TMainObject>(new TSceneSoundList(*d)); });
    types.Add("TSceneSound", [d] { return std::unique_ptr<TMainObject>(new TSceneSound(*d)); });
}
