#include "app/SettingsDialog.h"

#include "app/AboutDlg.h"
#include "app/AdvancedSettingDlg.h"
#include "app/FSettings.h"
#include "scene/GLGraphics.h"
#include "shell/AppPro.h"
#include "shell/GLScreenSaver.h"

namespace {

// The maker's contact address and the verb that opens it, kept complemented.
constexpr TScrambled kContactVerb("open");
constexpr TScrambled kContactAddress("mailto:support@pyrelume.example.org?subject=Pyrelume");

TDialogControl Make(int id, const char* name, TControlKind kind, TRect bounds, std::string caption = {})
{
    TDialogControl c;
    c.Id = id;
    c.Name = name;
    c.Kind = kind;
    c.Bounds = bounds;
    c.Caption = std::move(caption);
    return c;
}

TDialogControl Button(int id, const char* name, TRect bounds, const char* caption, int modalResult = mrNone)
{
    TDialogControl c = Make(id, name, TControlKind::ckButton, bounds, caption);
    c.ModalResult = modalResult;
    c.Cursor = TCursorKind::crHand;
    c.SkinElement = "Button";
    return c;
}

TDialogControl Track(int id, const char* name, int min, int max, int tick)
{
    TDialogControl c = Make(id, name, TControlKind::ckTrackBar, {8, 36, 176, 21});
    c.Min = min;
    c.Max = max;
    c.PageSize = 1;
    c.TickFrequency = tick;
    c.Position = min;
    return c;
}

TDialogControl Combo(int id, const char* name, TRect bounds)
{
    TDialogControl c = Make(id, name, TControlKind::ckComboBox, bounds);
    c.Color = TSettingsDialog::kComboColor;
    c.ItemHeight = 14;
    return c;
}

// Restores the form after a refresh, also when the refresh raised.
class TRefreshGuard {
public:
    TRefreshGuard(TFormSettings& form, TDialogForm& dialog) : form_(form), dialog_(dialog)
    {
        form_.ControlsReady = false;
        dialog_.Enabled = false;
    }
    ~TRefreshGuard()
    {
        form_.ControlsReady = true;
        dialog_.Enabled = true;
    }
    TRefreshGuard(const TRefreshGuard&) = delete;
    TRefreshGuard& operator=(const TRefreshGuard&) = delete;

private:
    TFormSettings& form_;
    TDialogForm& dialog_;
};

constexpr std::uint32_t kScClose = 0xF060;
constexpr std::uint32_t kScScreenSave = 0xF140;
constexpr std::uint32_t kScMonitorPower = 0xF170;

} // namespace

TSettingsDialog::TSettingsDialog(TFormSettings& form, TGLScreenSaver* saver, IDialogHost* host)
    : form_(form), saver_(saver), host_(host)
{
    Build();
    form_.OnShowDialogState = [this]() { ShowDialogState(); };
    TSkinColors& skin = SkinColors();
    skin.FormColor = kFormColor;
    skin.ControlColor = kComboColor;
    skin.Recorded = true;
}

TSettingsDialog::~TSettingsDialog()
{
    form_.OnShowDialogState = nullptr;
}

void TSettingsDialog::Build()
{
    Form.Caption = "Pyrelume";
    Form.ClientWidth = 690;
    Form.ClientHeight = 509;
    Form.Color = kFormColor;
    Form.Font.Name = "Arial";
    Form.Font.Bold = true;
    Form.Font.Height = -11;
    Form.Placement = TFormPlacement::fpDesktopCenter;
    Form.BorderIcons = false;

    using K = TControlKind;
    Add(Make(PanelPreview, "PanelPreview", K::ckPanel, {4, 4, 484, 364}));
    {
        TDialogControl gl = Make(GLWindow, "GLWindow", K::ckGLWindow, {1, 1, 482, 362});
        gl.Color = clBlack;
        AddIn(PanelPreview, gl);
    }

    Add(Button(ButtonPreview, "ButtonPreview", {4, 480, 80, 25}, "Preview"));
    Add(Button(ButtonAbout, "ButtonAbout", {202, 480, 80, 25}, "About"));
    Add(Button(ButtonHelp, "ButtonHelp", {288, 480, 80, 25}, "Help"));
    Add(Button(ButtonFeedBack, "ButtonFeedBack", {374, 480, 80, 25}, "Contact Us"));
    Add(Button(ButtonOk, "ButtonOk", {512, 480, 80, 25}, "OK", mrOk));
    Add(Button(ButtonCancel, "ButtonCancel", {598, 480, 80, 25}, "Cancel", mrCancel));

    // The three sliders share one layout: end labels at 12 and 160, value label at 88.
    struct SliderGroup {
        int group, minLabel, maxLabel, valueLabel, track;
        const char *groupCaption, *minText, *maxText, *valueName, *trackName;
        int top, min, max, tick;
    };
    const SliderGroup sliders[] = {
        {GroupFlameWidth, LabelWidthMin, LabelWidthMax, LabelFlameWidth, TrackBarFlameWidth, "  Flame Width", "50%",
         "100%", "LabelFlameWidth", "TrackBarFlameWidth", 4, 50, 100, 5},
        {GroupFlameDecay, LabelDecayMin, LabelDecayMax, LabelFlameDecay, TrackBarFlameDecay, "  Flame Decay", "1",
         "5", "LabelFlameDecay", "TrackBarFlameDecay", 79, 1, 5, 1},
        {GroupBurningRate, LabelRateMin, LabelRateMax, LabelBurningRate, TrackBarBurningRate, "  Burning Rate", "1",
         "10", "LabelBurningRate", "TrackBarBurningRate", 152, 1, 10, 1},
    };
    for (const SliderGroup& s : sliders) {
        Add(Make(s.group, "", K::ckGroupBox, {494, s.top, 190, 70}, s.groupCaption));
        AddIn(s.group, Make(s.minLabel, "", K::ckLabel, {12, 24, 30, 13}, s.minText));
        AddIn(s.group, Make(s.maxLabel, "", K::ckLabel, {160, 24, 28, 13}, s.maxText));
        AddIn(s.group, Make(s.valueLabel, s.valueName, K::ckLabel, {88, 24, 40, 13}));
        AddIn(s.group, Track(s.track, s.trackName, s.min, s.max, s.tick));
    }

    Add(Make(GroupFlameColor, "", K::ckGroupBox, {494, 224, 190, 77}, "  Flame Color"));
    {
        TDialogControl c = Combo(ComboBoxFlameColor, "ComboBoxFlameColor", {12, 23, 161, 22});
        c.Items = {"Red Color", "Orange Color", "Yellow Color"};
        AddIn(GroupFlameColor, c);
    }
    AddIn(GroupFlameColor, Make(CheckBoxSwapColors, "CheckBoxSwapColors", K::ckCheckBox, {12, 48, 93, 17}, "Swap Colors"));

    Add(Make(GroupAdvanced, "", K::ckGroupBox, {494, 304, 191, 165}, "  Advanced Options"));
    {
        TDialogControl l = Make(LabelAdvanced, "", K::ckLabel, {8, 33, 173, 84},
                                "Click on the Advanced Button to adjust the full screen mode, multi-monitors, graphics, "
                                "sound, power management and clock settings");
        l.WordWrap = true;
        AddIn(GroupAdvanced, l);
    }
    AddIn(GroupAdvanced, Button(ButtonAdvanced, "ButtonAdvanced", {84, 130, 84, 25}, "Advanced..."));

    Add(Make(GroupFireplace, "", K::ckGroupBox, {4, 374, 484, 95}, "  Fireplace options"));
    AddIn(GroupFireplace, Make(LabelStyle, "", K::ckLabel, {24, 28, 28, 14}, "Style"));
    AddIn(GroupFireplace, Make(LabelMaterial, "", K::ckLabel, {8, 64, 44, 14}, "Material"));
    AddIn(GroupFireplace, Make(LabelFireguard, "", K::ckLabel, {196, 28, 52, 14}, "Fireguard"));
    AddIn(GroupFireplace, Make(LabelLogs, "", K::ckLabel, {220, 64, 28, 14}, "Logs"));
    AddIn(GroupFireplace, Combo(ComboBoxFireplace, "ComboBoxFireplace", {54, 26, 120, 22}));
    AddIn(GroupFireplace, Combo(ComboBoxMaterial, "ComboBoxMaterial", {54, 62, 120, 22}));
    AddIn(GroupFireplace, Combo(ComboBoxFireguard, "ComboBoxFireguard", {250, 26, 120, 22}));
    AddIn(GroupFireplace, Combo(ComboBoxLogs, "ComboBoxLogs", {250, 62, 120, 22}));
    AddIn(GroupFireplace, Make(CheckBoxSparkles, "CheckBoxSparkles", K::ckCheckBox, {398, 28, 71, 17}, "Sparkles"));
    AddIn(GroupFireplace, Make(CheckBoxSmoke, "CheckBoxSmoke", K::ckCheckBox, {398, 48, 59, 17}, "Smoke"));
    AddIn(GroupFireplace, Make(CheckBoxNearView, "CheckBoxNearView", K::ckCheckBox, {398, 68, 79, 17}, "Near View"));
}

bool TSettingsDialog::Ready() const
{
    return form_.ControlsReady;
}

int TSettingsDialog::FlameWidthOfPosition(int position)
{
    return (position - 50) * 100 / 50 + 120;
}

int TSettingsDialog::PositionOfFlameWidth(int width)
{
    return (width * 50 - 6000) / 100 + 50;
}

bool TSettingsDialog::SwallowsSystemCommand(std::uint32_t command)
{
    const std::uint32_t sc = command & 0xFFF0u;
    return sc == kScClose || sc == kScScreenSave || sc == kScMonitorPower;
}

void TSettingsDialog::DoShow()
{
    if (saver_ && (saver_->Mode() == TSaverMode::smProgram || saver_->Mode() == TSaverMode::smConfigure))
        saver_->CenterMainForm();
}

void TSettingsDialog::ShowDialogState()
{
    TRefreshGuard guard(form_, Form);

    if (saver_)
        Form.Caption = saver_->Title + " v" + saver_->VersionText();

    // Fireplace models: one entry per line of the mesh's file list.
    std::vector<std::string> names;
    if (form_.FireplaceMesh)
        FileListDisplayNames(form_.FireplaceMesh->FileList, names, false);
    SetItems(ComboBoxFireplace, names);
    SetItemIndex(ComboBoxFireplace, form_.FireplaceMesh ? form_.FireplaceMesh->FileIndex : -1);

    std::vector<std::string> materials;
    if (form_.FrontTexture)
        for (std::size_t i = 1; i <= form_.FrontTexture->FileList.size(); ++i)
            materials.push_back("Material" + TwoDigits(static_cast<int>(i)));
    SetItems(ComboBoxMaterial, materials);
    SetItemIndex(ComboBoxMaterial, form_.FrontTexture ? form_.FrontTexture->GetFileIndex() : -1);

    // Fireguards and logs: their lists hold image / alpha-image pairs.
    for (auto [combo, texture] : {std::pair{int(ComboBoxFireguard), form_.FireGuardTexture},
                                  std::pair{int(ComboBoxLogs), form_.LogsTexture}}) {
        names.clear();
        if (texture)
            FileListDisplayNames(texture->FileList, names, true);
        SetItems(combo, names);
        SetItemIndex(combo, texture ? texture->GetFileIndex() : -1);
    }

    SetItems(ComboBoxFlameColor, {"Red Color", "Orange Color", "Yellow Color"});
    SetItemIndex(ComboBoxFlameColor, form_.FlameColorIndex);

    // The controls report these changes as a user's would; ControlsReady keeps
    // them from reaching the flame.
    if (TFlame2D* flame = form_.Flame.get()) {
        OnTrackBarChange(TrackBarFlameWidth, PositionOfFlameWidth(flame->FlameWidth()));
        OnTrackBarChange(TrackBarFlameDecay, flame->Decay());
        OnTrackBarChange(TrackBarBurningRate, flame->GetBurningRate());
        OnCheck(CheckBoxSwapColors, flame->SwapBytes());
    }
    SetCaption(LabelFlameWidth, std::to_string(Control(TrackBarFlameWidth).Position) + "%");
    SetCaption(LabelFlameDecay, std::to_string(Control(TrackBarFlameDecay).Position));
    SetCaption(LabelBurningRate, std::to_string(Control(TrackBarBurningRate).Position));

    OnCheck(CheckBoxNearView, form_.NearView);
    OnCheck(CheckBoxSmoke, form_.Smoke);
    OnCheck(CheckBoxSparkles, form_.Sparkles);
}

void TSettingsDialog::TrackBarChanged(TDialogControl& control)
{
    if (!Ready())
        return;
    TFlame2D* flame = form_.Flame.get();
    const int pos = control.Position;
    switch (control.Id) {
    case TrackBarFlameWidth:
        if (flame)
            flame->SetFlameWidth(FlameWidthOfPosition(pos));
        SetCaption(LabelFlameWidth, std::to_string(pos) + "%");
        break;
    case TrackBarFlameDecay:
        if (flame)
            flame->SetDecay(pos);
        SetCaption(LabelFlameDecay, std::to_string(pos));
        break;
    case TrackBarBurningRate:
        if (flame)
            flame->SetBurningRate(pos);
        SetCaption(LabelBurningRate, std::to_string(pos));
        break;
    default:
        break;
    }
}

void TSettingsDialog::ComboChanged(TDialogControl& control)
{
    if (!Ready())
        return;
    const int index = control.ItemIndex;
    if (index < 0)
        return;
    switch (control.Id) {
    case ComboBoxFlameColor:
        form_.SetFlameColorIndex(index);
        break;
    case ComboBoxFireplace:
        form_.SetFireplaceStyle(index);
        break;
    case ComboBoxMaterial:
        if (form_.FrontTexture)
            form_.FrontTexture->SetFileIndex(index);
        if (form_.BackTexture)
            form_.BackTexture->SetFileIndex(index);
        break;
    case ComboBoxFireguard:
        if (form_.FireGuardTexture)
            form_.FireGuardTexture->SetFileIndex(index);
        break;
    case ComboBoxLogs:
        if (form_.LogsTexture)
            form_.LogsTexture->SetFileIndex(index);
        break;
    default:
        break;
    }
}

void TSettingsDialog::CheckChanged(TDialogControl& control)
{
    if (!Ready())
        return;
    const bool on = control.Checked;
    switch (control.Id) {
    case CheckBoxSwapColors:
        if (TFlame2D* flame = form_.Flame.get()) {
            flame->SetSwapBytes(on);
            flame->RebuildPalette();
        }
        break;
    case CheckBoxNearView:
        form_.SetNearView(on);
        break;
    case CheckBoxSmoke:
        form_.SetSmoke(on);
        break;
    case CheckBoxSparkles:
        form_.SetSparkles(on);
        break;
    default:
        break;
    }
}

void TSettingsDialog::Clicked(TDialogControl& control)
{
    switch (control.Id) {
    case ButtonPreview:
        if (saver_ && saver_->Display())
            saver_->Display()->SetFullScreen(true);
        break;
    case ButtonAbout:
        if (saver_ && host_)
            ShowAbout(*saver_, *host_, DriverInfo);
        break;
    case ButtonHelp:
        if (saver_)
            saver_->ShowHelp();
        break;
    case ButtonFeedBack:
        if (host_)
            host_->OpenWithShell(Unscramble(kContactVerb.Text()), Unscramble(kContactAddress.Text()));
        break;
    case ButtonOk:
        if (saver_)
            saver_->SaveOptions();
        TDialogModel::Clicked(control);
        if (host_)
            host_->CloseDialog(*this);
        break;
    case ButtonCancel:
        TDialogModel::Clicked(control);
        if (host_)
            host_->CloseDialog(*this);
        break;
    case ButtonAdvanced:
        if (saver_ && host_)
            ShowAdvancedSettings(form_.Scene.get(), *saver_, *host_);
        break;
    default:
        TDialogModel::Clicked(control);
        break;
    }
}
