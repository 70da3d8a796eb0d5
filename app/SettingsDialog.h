#pragma once
// The settings dialog: the main form of the dialog and program modes. A live
// preview fills its left part; the fire's options sit on the right and below.
// Every change acts on the running preview through TFormSettings at once; OK
// saves the settings and closes, Cancel closes without saving.
#include <cstdint>
#include <string>

#include "app/DialogModel.h"

class TFormSettings;
class TGLScreenSaver;
class IGLDriverInfo;

class TSettingsDialog : public TDialogModel {
public:
    enum : int {
        PanelPreview = 100,
        GLWindow,
        ButtonPreview = 110,
        ButtonAbout,
        ButtonHelp,
        ButtonFeedBack,
        ButtonOk,
        ButtonCancel,
        ButtonAdvanced,
        GroupFlameWidth = 130,
        LabelWidthMin,
        LabelWidthMax,
        LabelFlameWidth,
        TrackBarFlameWidth,
        GroupFlameDecay = 140,
        LabelDecayMin,
        LabelDecayMax,
        LabelFlameDecay,
        TrackBarFlameDecay,
        GroupBurningRate = 150,
        LabelRateMin,
        LabelRateMax,
        LabelBurningRate,
        TrackBarBurningRate,
        GroupFlameColor = 160,
        ComboBoxFlameColor,
        CheckBoxSwapColors,
        GroupAdvanced = 170,
        LabelAdvanced,
        GroupFireplace = 180,
        LabelStyle,
        LabelMaterial,
        LabelFireguard,
        LabelLogs,
        ComboBoxFireplace,
        ComboBoxMaterial,
        ComboBoxFireguard,
        ComboBoxLogs,
        CheckBoxSparkles,
        CheckBoxSmoke,
        CheckBoxNearView
    };

    static constexpr TColorRef kFormColor = 4026879;   // red 255, green 113, blue 61
    static constexpr TColorRef kComboColor = 8838143;  // red 255, green 219, blue 134

    // saver and host may be null (then the buttons that need them do nothing).
    // Hooks itself into form.ShowDialogState and records the skin colours.
    TSettingsDialog(TFormSettings& form, TGLScreenSaver* saver, IDialogHost* host);
    ~TSettingsDialog() override;

    // Where the About box reads the OpenGL driver's strings; none shows empty values.
    IGLDriverInfo* DriverInfo = nullptr;

    // The view calls this once its window is shown: in the program and
    // configuration modes the application core places the dialog on the screen.
    void DoShow();

    // Fills the controls from the fire's state. ControlsReady is false and the
    // form disabled meanwhile; both are restored also when something raises.
    void ShowDialogState();

    // The flame width of a slider position and the slider position of a width.
    static int FlameWidthOfPosition(int position);
    static int PositionOfFlameWidth(int width);

    // True when the window system's command (WM_SYSCOMMAND's wParam) is swallowed:
    // close, screen-save and monitor-power, so that neither Alt+F4 nor the
    // system's own saver or display power-off interrupts the dialog.
    static bool SwallowsSystemCommand(std::uint32_t command);

protected:
    void Clicked(TDialogControl& control) override;
    void TrackBarChanged(TDialogControl& control) override;
    void ComboChanged(TDialogControl& control) override;
    void CheckChanged(TDialogControl& control) override;

private:
    void Build();
    bool Ready() const;

    TFormSettings& form_;
    TGLScreenSaver* saver_;
    IDialogHost* host_;
};
