#pragma once
// The "Advanced Settings" dialog: full-screen mode, monitor, renderer, texture
// format and quality, vertical sync, the frame-rate display, the saver's system
// options, power management, the clock's mode and colour, and each scene
// sound's enabling and volume. Sound changes act at once; the rest is applied
// by OK. Nothing is written to the settings store here.
#include <vector>

#include "app/DialogModel.h"
#include "gl/FastMath.h"

class TMainScene;
class TGLScreenSaver;
class TSceneTextureList;
class TSceneSoundList;
class TSceneSound;
class TGLClock;

// A clock colour as a window colour and back (the clock's alpha is kept).
TColorRef ClockColorToColorRef(const TGLColorBytes& color);
TGLColorBytes ColorRefToClockColor(TColorRef color, std::uint8_t alpha);

class TFormAdvancedSettings : public TDialogModel {
public:
    enum : int {
        GroupGraphic = 200,
        LabelDepth,
        ComboBoxDepth,
        LabelResolution,
        ComboBoxResolution,
        CheckBoxDesktop,
        LabelMultiMonitors,
        ComboBoxMultiMonitors,
        LabelRenderer,
        ComboBoxRenderer,
        LabelTextures,
        ComboBoxTextures,
        LabelQuality,
        ComboBoxQuality,
        CheckBoxWaitSync,
        CheckBoxFPS,
        GroupSystem = 230,
        CheckBoxMouseMove,
        CheckBoxRunAsProg,
        GroupPower = 240,
        LabelMonitorOff,
        ComboBoxMonitorOff,
        LabelPowerOff,
        ComboBoxPowerOff,
        CheckBoxFixedFPS,
        GroupClock = 250,
        LabelClockMode,
        ComboBoxClockMode,
        LabelColor,
        ShapeColor,
        GroupSound = 260,
        LabelSounds,
        CheckListBoxSounds,
        TrackBarSoundVolume,
        LabelVolumeMin,
        LabelVolumeMax,
        LabelVolume,
        LabelSoundVolume,
        ButtonOk = 280,
        ButtonCancel
    };

    // scene may be null (no textures, sounds or clock); host may be null (no
    // colour dialog).
    TFormAdvancedSettings(TMainScene* scene, TGLScreenSaver& saver, IDialogHost* host);
    ~TFormAdvancedSettings() override;

    // The dialog while it is open, else none.
    static TFormAdvancedSettings* Current();

    // Shows the current state in the controls.
    void Fill();
    // Applies the choices (what OK does).
    void Apply();

    // The scene objects found by name in the scene root (may be none).
    TSceneTextureList* Textures() const { return textures_; }
    TSceneSoundList* Sounds() const { return sounds_; }
    TGLClock* Clock() const { return clock_; }

protected:
    void Clicked(TDialogControl& control) override;
    void TrackBarChanged(TDialogControl& control) override;
    void ComboChanged(TDialogControl& control) override;
    void CheckChanged(TDialogControl& control) override;
    void ItemChecked(TDialogControl& control, int item) override;
    void ItemClicked(TDialogControl& control, int item) override;

private:
    void Build();
    void ShowSelectedSound();
    TSceneSound* SelectedSound() const;
    void SelectDisplayMode();

    TMainScene* scene_;
    TGLScreenSaver& saver_;
    IDialogHost* host_;
    TSceneTextureList* textures_ = nullptr;
    TSceneSoundList* sounds_ = nullptr;
    TGLClock* clock_ = nullptr;
    std::vector<TSceneSound*> soundLines_;  // the sound of each check-list line
};

// Creates the dialog, applies the skin colours, fills it, shows it modally
// through the host, applies the choices on OK and frees it in every case.
// Returns the modal result.
int ShowAdvancedSettings(TMainScene* scene, TGLScreenSaver& saver, IDialogHost& host);
