#include "app/AdvancedSettingDlg.h"

#include "clock/GLClock.h"
#include "scene/GLGraphics.h"
#include "shell/GLScreenSaver.h"
#include "sound/SceneSounds.h"

namespace {

TFormAdvancedSettings* gCurrent = nullptr;

const std::vector<std::string> kTimeoutItems = {"None",    "1 min.",  "2 min.",  "3 min.",  "5 min.",  "10 min.",
                                                "15 min.", "20 min.", "25 min.", "30 min.", "45 min.", "1 hour",
                                                "2 hour",  "3 hour",  "4 hour",  "5 hour"};

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

TDialogControl List(int id, const char* name, TRect bounds, std::vector<std::string> items)
{
    TDialogControl c = Make(id, name, TControlKind::ckComboBox, bounds);
    c.Items = std::move(items);
    return c;
}

TDialogControl Label(int id, TRect bounds, const char* caption)
{
    return Make(id, "", TControlKind::ckLabel, bounds, caption);
}

TDialogControl Check(int id, const char* name, TRect bounds, const char* caption)
{
    return Make(id, name, TControlKind::ckCheckBox, bounds, caption);
}

} // namespace

TColorRef ClockColorToColorRef(const TGLColorBytes& color)
{
    return RGBColor(color.R, color.G, color.B);
}

TGLColorBytes ColorRefToClockColor(TColorRef color, std::uint8_t alpha)
{
    TGLColorBytes c{};
    c.R = static_cast<std::uint8_t>(color & 0xFF);
    c.G = static_cast<std::uint8_t>((color >> 8) & 0xFF);
    c.B = static_cast<std::uint8_t>((color >> 16) & 0xFF);
    c.A = alpha;
    return c;
}

TFormAdvancedSettings::TFormAdvancedSettings(TMainScene* scene, TGLScreenSaver& saver, IDialogHost* host)
    : scene_(scene), saver_(saver), host_(host)
{
    Build();
    if (scene_) {
        textures_ = dynamic_cast<TSceneTextureList*>(scene_->FindObject("Textures"));
        sounds_ = dynamic_cast<TSceneSoundList*>(scene_->FindObject("Sounds"));
        clock_ = dynamic_cast<TGLClock*>(scene_->FindObject("GLClock"));
    }
    gCurrent = this;
}

TFormAdvancedSettings::~TFormAdvancedSettings()
{
    if (gCurrent == this)
        gCurrent = nullptr;
}

TFormAdvancedSettings* TFormAdvancedSettings::Current()
{
    return gCurrent;
}

void TFormAdvancedSettings::Build()
{
    Form.Caption = "Advanced Settings";
    Form.ClientWidth = 437;
    Form.ClientHeight = 390;
    Form.StayOnTop = true;
    Form.BorderIcons = false;
    Form.Placement = TFormPlacement::fpMainFormCenter;
    Form.Font.Name = "Arial";
    Form.Font.Bold = true;
    Form.Font.Height = -11;

    using K = TControlKind;
    Add(Make(GroupGraphic, "", K::ckGroupBox, {10, 6, 227, 243}, "  Graphic options"));
    AddIn(GroupGraphic, Label(LabelDepth, {10, 23, 80, 14}, "Color Depth"));
    AddIn(GroupGraphic, List(ComboBoxDepth, "ComboBoxDepth", {94, 20, 124, 22}, {"16 bits", "32 bits"}));
    AddIn(GroupGraphic, Label(LabelResolution, {10, 51, 80, 14}, "Screen Size"));
    AddIn(GroupGraphic,
          List(ComboBoxResolution, "ComboBoxResolution", {94, 48, 124, 22}, {"640X480", "800X600", "1024X768"}));
    AddIn(GroupGraphic, Check(CheckBoxDesktop, "CheckBoxDesktop", {10, 76, 208, 17}, "Desktop Resolution"));
    AddIn(GroupGraphic, Label(LabelMultiMonitors, {10, 103, 80, 14}, "Multi-Monitors"));
    AddIn(GroupGraphic, List(ComboBoxMultiMonitors, "ComboBoxMultiMonitors", {94, 100, 124, 22}, {"None"}));
    AddIn(GroupGraphic, Label(LabelRenderer, {10, 131, 80, 14}, "Renderer"));
    AddIn(GroupGraphic, List(ComboBoxRenderer, "ComboBoxRenderer", {94, 128, 124, 22}, {"OpenGL", "DirectX"}));
    AddIn(GroupGraphic, Label(LabelTextures, {10, 159, 80, 14}, "Textures"));
    AddIn(GroupGraphic, List(ComboBoxTextures, "ComboBoxTextures", {94, 156, 124, 22},
                             {"Compressed", "True Color (32 bit)", "High Color (16 bit)"}));
    AddIn(GroupGraphic, Label(LabelQuality, {10, 187, 80, 14}, "Quality"));
    AddIn(GroupGraphic, List(ComboBoxQuality, "ComboBoxQuality", {94, 184, 124, 22}, {"High", "Normal", "Low"}));
    AddIn(GroupGraphic, Check(CheckBoxWaitSync, "CheckBoxWaitSync", {10, 220, 84, 17}, "Wait Sync"));
    AddIn(GroupGraphic, Check(CheckBoxFPS, "CheckBoxFPS", {98, 220, 120, 17}, "Display FPS")).Checked = true;

    Add(Make(GroupSystem, "", K::ckGroupBox, {242, 6, 171, 59}, "  System options"));
    AddIn(GroupSystem, Check(CheckBoxMouseMove, "CheckBoxMouseMove", {10, 18, 152, 17}, "Exit on Mouse Move"));
    AddIn(GroupSystem, Check(CheckBoxRunAsProg, "CheckBoxRunAsProg", {10, 36, 152, 17}, "Run As Program"));

    Add(Make(GroupPower, "", K::ckGroupBox, {242, 70, 171, 96}, "  Power Management options"));
    AddIn(GroupPower, Label(LabelMonitorOff, {8, 23, 62, 14}, "MonitorOff"));
    AddIn(GroupPower, List(ComboBoxMonitorOff, "ComboBoxMonitorOff", {72, 20, 72, 22}, kTimeoutItems));
    AddIn(GroupPower, Label(LabelPowerOff, {8, 51, 62, 14}, "Power Off"));
    AddIn(GroupPower, List(ComboBoxPowerOff, "ComboBoxPowerOff", {72, 48, 72, 22}, kTimeoutItems));
    AddIn(GroupPower, Check(CheckBoxFixedFPS, "CheckBoxFixedFPS", {8, 74, 152, 17}, "Low CPU Usage"));

    Add(Make(GroupClock, "", K::ckGroupBox, {242, 172, 171, 78}, "  Clock Options"));
    AddIn(GroupClock, Label(LabelClockMode, {8, 23, 62, 14}, "Mode"));
    AddIn(GroupClock, List(ComboBoxClockMode, "ComboBoxClockMode", {72, 20, 88, 22}, {"None", "24-Hour", "12-Hour"}));
    AddIn(GroupClock, Label(LabelColor, {8, 51, 62, 14}, "Color"));
    {
        TDialogControl swatch = Make(ShapeColor, "ShapeColor", K::ckColorSwatch, {72, 48, 88, 20});
        swatch.Color = RGBColor(255, 128, 128);
        swatch.Cursor = TCursorKind::crHand;
        AddIn(GroupClock, swatch);
    }

    Add(Make(GroupSound, "", K::ckGroupBox, {10, 252, 403, 93}, "  Sound options"));
    AddIn(GroupSound, Label(LabelSounds, {12, 18, 80, 14}, "Sounds"));
    AddIn(GroupSound, Make(CheckListBoxSounds, "CheckListBoxSounds", K::ckCheckList, {12, 36, 165, 49}));
    {
        TDialogControl t = Make(TrackBarSoundVolume, "TrackBarSoundVolume", K::ckTrackBar, {192, 52, 193, 21});
        t.Min = 0;
        t.Max = 100;
        t.PageSize = 5;
        t.TickFrequency = 5;
        t.Position = 50;
        AddIn(GroupSound, t);
    }
    AddIn(GroupSound, Label(LabelVolumeMin, {196, 74, 20, 14}, "0"));
    AddIn(GroupSound, Label(LabelVolumeMax, {362, 74, 24, 14}, "100"));
    {
        TDialogControl l = Make(LabelVolume, "LabelVolume", K::ckLabel, {192, 32, 193, 14}, "Volume");
        l.Align = TTextAlign::taCenter;
        AddIn(GroupSound, l);
    }
    AddIn(GroupSound, Make(LabelSoundVolume, "LabelSoundVolume", K::ckLabel, {280, 74, 30, 14}, "50"));

    TDialogControl ok = Make(ButtonOk, "ButtonOk", K::ckButton, {260, 354, 72, 25}, "OK");
    ok.ModalResult = mrOk;
    ok.SkinElement = "Button";
    Add(ok);
    TDialogControl cancel = Make(ButtonCancel, "ButtonCancel", K::ckButton, {338, 354, 72, 25}, "Cancel");
    cancel.ModalResult = mrCancel;
    cancel.SkinElement = "Button";
    Add(cancel);
}

void TFormAdvancedSettings::SelectDisplayMode()
{
    TCustomGLDisplay* display = saver_.Display();
    if (!display)
        return;
    SetItemIndex(ComboBoxDepth, display->DepthIndex());
    SetItemIndex(ComboBoxResolution, display->SizeIndex());
}

void TFormAdvancedSettings::Fill()
{
    TCustomGLDisplay* display = saver_.Display();
    IAppGLContext* context = saver_.Context();

    if (display) {
        std::vector<std::string> depths = Control(ComboBoxDepth).Items;
        display->DepthTexts(depths);
        SetItems(ComboBoxDepth, depths);
        std::vector<std::string> sizes = Control(ComboBoxResolution).Items;
        display->SizeTexts(sizes);
        SetItems(ComboBoxResolution, sizes);
        SelectDisplayMode();
        SetChecked(CheckBoxDesktop, display->DesktopOnly);
    }

    if (textures_) {
        SetItemIndex(ComboBoxTextures, static_cast<int>(textures_->ColorBit));
        SetItemIndex(ComboBoxQuality, static_cast<int>(textures_->Quality));
    }

    if (context) {
        SetChecked(CheckBoxWaitSync, context->WaitSync());
        const TGLRenderer r = context->EffectiveRenderer();
        SetItemIndex(ComboBoxRenderer, r == TGLRenderer::Generic ? -1 : static_cast<int>(r));
    }

    SetItemIndex(ComboBoxPowerOff, saver_.PowerOffIndex());
    SetItemIndex(ComboBoxMonitorOff, saver_.MonitorOffIndex());
    SetChecked(CheckBoxMouseMove, saver_.MouseMoveExit);
    SetChecked(CheckBoxRunAsProg, saver_.RunAsProgram);

    const bool desktop = Control(CheckBoxDesktop).Checked;
    SetEnabled(ComboBoxDepth, !desktop);
    SetEnabled(ComboBoxResolution, !desktop);

    SetChecked(CheckBoxFixedFPS, saver_.LowCPUUsage);

    if (clock_) {
        SetItemIndex(ComboBoxClockMode, clock_->Mode);
        SetColor(ShapeColor, ClockColorToColorRef(clock_->Color));
    }

    if (scene_)
        SetChecked(CheckBoxFPS, scene_->ShowFPS);

    const std::int32_t monitors = saver_.Services().Monitors ? saver_.Services().Monitors->MonitorCount() : 1;
    SetItems(ComboBoxMultiMonitors, MonitorChoiceTexts(monitors));
    SetItemIndex(ComboBoxMultiMonitors, (saver_.Window() ? saver_.Window()->Monitor : -1) + 1);

    soundLines_.clear();
    std::vector<std::string> names;
    if (sounds_)
        for (int i = 0; i < sounds_->GetCount(); ++i)
            if (auto* s = dynamic_cast<TSceneSound*>(sounds_->GetItem(i))) {
                soundLines_.push_back(s);
                names.push_back(s->Name());
            }
    SetItems(CheckListBoxSounds, names);
    TDialogControl& list = Control(CheckListBoxSounds);
    for (std::size_t i = 0; i < soundLines_.size(); ++i)
        list.ItemChecked[i] = soundLines_[i]->Visible;
    if (list.ItemIndex < 0 && !list.Items.empty())
        SetItemIndex(CheckListBoxSounds, 0);
    ShowSelectedSound();
}

TSceneSound* TFormAdvancedSettings::SelectedSound() const
{
    if (!sounds_)
        return nullptr;
    const int i = Control(CheckListBoxSounds).ItemIndex;
    if (i < 0 || i >= static_cast<int>(soundLines_.size()))
        return nullptr;
    return soundLines_[static_cast<std::size_t>(i)];
}

void TFormAdvancedSettings::ShowSelectedSound()
{
    TSceneSound* s = SelectedSound();
    if (!s)
        return;
    SetPosition(TrackBarSoundVolume, s->Volume());
    SetCaption(LabelVolume, s->Name() + " Volume");
    SetCaption(LabelSoundVolume, std::to_string(Control(TrackBarSoundVolume).Position));
}

void TFormAdvancedSettings::Clicked(TDialogControl& control)
{
    if (control.Id == ShapeColor) {
        TColorRef color = control.Color;
        if (host_ && host_->PickColor(color))
            SetColor(ShapeColor, color);
        return;
    }
    TDialogModel::Clicked(control);
}

void TFormAdvancedSettings::TrackBarChanged(TDialogControl& control)
{
    if (control.Id != TrackBarSoundVolume)
        return;
    SetCaption(LabelSoundVolume, std::to_string(control.Position));
    if (TSceneSound* s = SelectedSound())
        if (TCustomSound* sound = s->Sound())
            sound->SetVolume(control.Position);
}

void TFormAdvancedSettings::ComboChanged(TDialogControl& control)
{
    TCustomGLDisplay* display = saver_.Display();
    if (!display || control.ItemIndex < 0)
        return;
    const std::string& text = control.Items[static_cast<std::size_t>(control.ItemIndex)];
    if (control.Id == ComboBoxDepth) {
        if (display->DesktopOnly)
            return;
        display->StoredFullScreenMode().SetDepthText(text);
        std::vector<std::string> sizes = Control(ComboBoxResolution).Items;
        display->SizeTexts(sizes);
        SetItems(ComboBoxResolution, sizes);
        SetItemIndex(ComboBoxResolution, display->SizeIndex());
    } else if (control.Id == ComboBoxResolution) {
        if (!display->DesktopOnly)
            display->StoredFullScreenMode().SetSizeText(text);
    }
}

void TFormAdvancedSettings::CheckChanged(TDialogControl& control)
{
    if (control.Id != CheckBoxDesktop)
        return;
    const bool desktop = control.Checked;
    if (TCustomGLDisplay* display = saver_.Display())
        display->DesktopOnly = desktop;
    SetEnabled(ComboBoxDepth, !desktop);
    SetEnabled(ComboBoxResolution, !desktop);
    SelectDisplayMode();
}

void TFormAdvancedSettings::ItemChecked(TDialogControl& control, int)
{
    if (control.Id != CheckListBoxSounds || !sounds_)
        return;
    for (std::size_t i = 0; i < soundLines_.size() && i < control.ItemChecked.size(); ++i)
        soundLines_[i]->SetVisible(control.ItemChecked[i]);
}

void TFormAdvancedSettings::ItemClicked(TDialogControl& control, int)
{
    if (control.Id == CheckListBoxSounds)
        ShowSelectedSound();
}

void TFormAdvancedSettings::Apply()
{
    // The sound changes were made live; the list is not touched again.
    sounds_ = nullptr;

    if (TCustomGLDisplay* display = saver_.Display()) {
        // Through the read view of the mode: while DesktopOnly it is the
        // desktop's, so the parse has no lasting effect. A list without a
        // selection keeps the current mode.
        const TDialogControl& depth = Control(ComboBoxDepth);
        const TDialogControl& size = Control(ComboBoxResolution);
        TScreenMode scratch = display->FullScreenMode();
        TScreenMode& target = display->DesktopOnly ? scratch : static_cast<TScreenMode&>(display->StoredFullScreenMode());
        if (depth.ItemIndex >= 0)
            target.SetDepthText(depth.Items[static_cast<std::size_t>(depth.ItemIndex)]);
        if (size.ItemIndex >= 0)
            target.SetSizeText(size.Items[static_cast<std::size_t>(size.ItemIndex)]);
        display->DesktopOnly = Control(CheckBoxDesktop).Checked;
    }

    std::int32_t monitor = saver_.Window() ? saver_.Window()->Monitor : -1;
    const int monitorItem = Control(ComboBoxMultiMonitors).ItemIndex;
    if (monitorItem >= 0) {
        monitor = monitorItem - 1;
        if (saver_.Window())
            saver_.Window()->Monitor = monitor;
    }

    // DirectX only drives the primary monitor. No selection keeps the renderer.
    if (monitor < 0) {
        const int r = Control(ComboBoxRenderer).ItemIndex;
        if (r >= 0)
            saver_.SetRenderer(static_cast<TGLRenderer>(r));
    } else {
        saver_.SetRenderer(TGLRenderer::OpenGL);
    }

    saver_.SetPowerOffIndex(Control(ComboBoxPowerOff).ItemIndex);
    saver_.SetMonitorOffIndex(Control(ComboBoxMonitorOff).ItemIndex);

    if (clock_) {
        const int mode = Control(ComboBoxClockMode).ItemIndex;
        if (mode >= 0)
            clock_->SetMode(mode);
        clock_->Color = ColorRefToClockColor(Control(ShapeColor).Color, clock_->Color.A);
    }

    if (IAppGLContext* context = saver_.Context())
        context->SetWaitSync(Control(CheckBoxWaitSync).Checked);

    if (textures_) {
        const int format = Control(ComboBoxTextures).ItemIndex;
        const int quality = Control(ComboBoxQuality).ItemIndex;
        const bool formatChanged = format >= 0 && format != static_cast<int>(textures_->ColorBit);
        const bool qualityChanged = quality >= 0 && quality != static_cast<int>(textures_->Quality);
        if (formatChanged)
            textures_->ColorBit = static_cast<TTextureColorBit>(format);
        if (qualityChanged)
            textures_->Quality = static_cast<TTextureQuality>(quality);
        if (qualityChanged)
            textures_->ReleaseTextures();
        else if (formatChanged)
            textures_->ApplyTextureParameters();
    }

    saver_.RunAsProgram = Control(CheckBoxRunAsProg).Checked;
    saver_.MouseMoveExit = Control(CheckBoxMouseMove).Checked;

    if (scene_)
        scene_->ShowFps(Control(CheckBoxFPS).Checked);

    saver_.LowCPUUsage = Control(CheckBoxFixedFPS).Checked;
}

int ShowAdvancedSettings(TMainScene* scene, TGLScreenSaver& saver, IDialogHost& host)
{
    auto dialog = std::make_unique<TFormAdvancedSettings>(scene, saver, &host);
    ApplySkinColors(*dialog);
    dialog->Fill();
    const int result = host.RunModal(*dialog);
    if (result == mrOk)
        dialog->Apply();
    return result;
}
