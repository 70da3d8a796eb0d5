#pragma once
// Sounds as scene objects: a sound list that configures the program's sound
// device from the scene description and keeps its output open exactly while a
// sound plays, and the sounds in it, each backed by a device sound.
#include <memory>
#include <string>

#include "scene/GLGraphics.h"
#include "sound/SoundClasses.h"

class TSceneSoundList : public TResource {
public:
    explicit TSceneSoundList(TCustomSoundDevice& device);
    std::string_view ClassName() const override { return "TSceneSoundList"; }

    bool InitDevice = false;  // loading applies Rate, Bits and Channels to the device
    int Channels = 1;
    int Bits = 1;  // 1: 16-bit, 0: 8-bit
    int Rate = 1;  // 0: 11025 Hz, 1: 22050 Hz, 2: 44100 Hz

    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;
    // Plays the visible sounds, then opens the output while any sound plays and
    // closes it when none does.
    void Render() override;
    void ReadSettings() override;
    void WriteSettings() override;

private:
    TCustomSoundDevice& device_;
};

class TSceneSound : public TMainObject {
public:
    explicit TSceneSound(TCustomSoundDevice& device) : device_(device) {}
    ~TSceneSound() override;
    std::string_view ClassName() const override { return "TSceneSound"; }

    // The device sound; none until a file is set or when the device is not usable.
    TCustomSound* Sound() const { return sound_.get(); }
    const std::string& FileName() const { return fileName_; }
    // Frees the current sound, then asks the device for a sound of the name
    // resolved against the owning list's Path. Wave loading errors propagate.
    void SetFileName(const std::string& name);

    // The device sound's values; 0 (false) without a device sound.
    bool Looped() const { return sound_ ? sound_->Looped() : false; }
    bool Music() const { return sound_ ? sound_->Music() : false; }
    int Volume() const { return sound_ ? sound_->Volume() : 0; }
    int Pan() const { return sound_ ? sound_->Pan() : 0; }

    void SetVisible(bool flag) override;
    void Render() override;
    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;

private:
    TCustomSoundDevice& device_;
    std::unique_ptr<TCustomSound> sound_;
    std::string fileName_;
    // Key values read while no device sound exists, written back unchanged on save.
    bool looped_ = false;
    bool music_ = false;
    int volume_ = 100;
    int pan_ = 0;
};

// Enters TSceneSoundList and TSceneSound into types; their objects play through device.
void RegisterSoundSceneTypes(TSceneTypeTable& types, TCustomSoundDevice& device);
