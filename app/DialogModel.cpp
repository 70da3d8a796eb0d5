#include "app/DialogModel.h"

#include <algorithm>
#include <cstdio>

#include "gl/Errors.h"

TDialogModel::~TDialogModel() = default;

TDialogControl& TDialogModel::Control(int id)
{
    for (auto& c : controls_)
        if (c.Id == id)
            return c;
    RaiseError("TDialogModel", "Control", "Unknown control " + std::to_string(id));
}

const TDialogControl& TDialogModel::Control(int id) const
{
    return const_cast<TDialogModel*>(this)->Control(id);
}

const TDialogControl* TDialogModel::Find(int id) const
{
    for (const auto& c : controls_)
        if (c.Id == id)
            return &c;
    return nullptr;
}

const TDialogControl* TDialogModel::FindByName(const std::string& name) const
{
    for (const auto& c : controls_)
        if (c.Name == name)
            return &c;
    return nullptr;
}

TDialogControl& TDialogModel::Add(TDialogControl control)
{
    if (Find(control.Id))
        RaiseError("TDialogModel", "Add", "Duplicate control " + std::to_string(control.Id));
    if (control.Kind == TControlKind::ckCheckList)
        control.ItemChecked.resize(control.Items.size(), false);
    controls_.push_back(std::move(control));
    return controls_.back();
}

TDialogControl& TDialogModel::AddIn(int parent, TDialogControl control)
{
    const TDialogControl& p = Control(parent);
    control.Parent = parent;
    control.Bounds.Left += p.Bounds.Left;
    control.Bounds.Top += p.Bounds.Top;
    return Add(std::move(control));
}

void TDialogModel::SetCaption(int id, const std::string& caption)
{
    Control(id).Caption = caption;
    Touch();
}

void TDialogModel::SetItems(int id, std::vector<std::string> items)
{
    TDialogControl& c = Control(id);
    c.Items = std::move(items);
    if (c.Kind == TControlKind::ckCheckList)
        c.ItemChecked.assign(c.Items.size(), false);
    if (c.ItemIndex >= static_cast<int>(c.Items.size()))
        c.ItemIndex = -1;
    Touch();
}

void TDialogModel::SetItemIndex(int id, int index)
{
    TDialogControl& c = Control(id);
    c.ItemIndex = (index >= 0 && index < static_cast<int>(c.Items.size())) ? index : -1;
    Touch();
}

void TDialogModel::SetPosition(int id, int position)
{
    TDialogControl& c = Control(id);
    c.Position = std::clamp(position, c.Min, std::max(c.Min, c.Max));
    Touch();
}

void TDialogModel::SetChecked(int id, bool checked)
{
    Control(id).Checked = checked;
    Touch();
}

void TDialogModel::SetEnabled(int id, bool enabled)
{
    Control(id).Enabled = enabled;
    Touch();
}

void TDialogModel::SetColor(int id, TColorRef color)
{
    Control(id).Color = color;
    Touch();
}

void TDialogModel::OnClick(int id)
{
    Clicked(Control(id));
}

void TDialogModel::Clicked(TDialogControl& control)
{
    if (control.Kind == TControlKind::ckButton && control.ModalResult != mrNone) {
        ModalResult = control.ModalResult;
        Touch();
    }
}

void TDialogModel::OnTrackBarChange(int id, int position)
{
    TDialogControl& c = Control(id);
    const int before = c.Position;
    SetPosition(id, position);
    if (c.Position != before)
        TrackBarChanged(c);
}

void TDialogModel::OnComboChange(int id, int index)
{
    SetItemIndex(id, index);
    ComboChanged(Control(id));
}

void TDialogModel::OnCheck(int id, bool checked)
{
    TDialogControl& c = Control(id);
    if (c.Checked == checked)
        return;
    SetChecked(id, checked);
    CheckChanged(c);
}

void TDialogModel::OnItemCheck(int id, int item, bool checked)
{
    TDialogControl& c = Control(id);
    if (item < 0 || item >= static_cast<int>(c.ItemChecked.size()))
        return;
    c.ItemChecked[static_cast<std::size_t>(item)] = checked;
    Touch();
    ItemChecked(c, item);
}

void TDialogModel::OnItemClick(int id, int item)
{
    SetItemIndex(id, item);
    TDialogControl& c = Control(id);
    ItemClicked(c, c.ItemIndex);
}

void TDialogModel::ApplySkin(const TSkinColors& skin)
{
    if (!skin.Recorded)
        return;
    Form.Color = skin.FormColor;
    Form.SkinData = skin.SkinData;
    for (auto& c : controls_) {
        if (c.Kind == TControlKind::ckLabel)
            c.Color = skin.FormColor;
        else if (c.Kind == TControlKind::ckComboBox || c.Kind == TControlKind::ckCheckList)
            c.Color = skin.ControlColor;
    }
    Touch();
}

TSkinColors& SkinColors()
{
    static TSkinColors colors;
    return colors;
}

void ApplySkinColors(TDialogModel& dialog)
{
    dialog.ApplySkin(SkinColors());
}

std::string TwoDigits(int n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.2d", n);
    return buf;
}

int ScaleToDpi(int value, int dpi)
{
    const long long scaled = static_cast<long long>(value) * dpi;
    const long long half = kDesignDpi / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kDesignDpi : -((-scaled + half) / kDesignDpi));
}

TRect ScaleRectToDpi(const TRect& r, int dpi)
{
    const int left = ScaleToDpi(r.Left, dpi);
    const int top = ScaleToDpi(r.Top, dpi);
    return {left, top, ScaleToDpi(r.Left + r.Width, dpi) - left, ScaleToDpi(r.Top + r.Height, dpi) - top};
}

int KeyButton(const TDialogModel& dialog, TDialogKey key)
{
    const int wanted = key == TDialogKey::dkEnter ? mrOk : mrCancel;
    for (const TDialogControl& c : dialog.Controls())
        if (c.Kind == TControlKind::ckButton && c.Enabled && c.ModalResult == wanted)
            return c.Id;
    if (key == TDialogKey::dkEscape)
        for (const TDialogControl& c : dialog.Controls())
            if (c.Kind == TControlKind::ckButton && c.Enabled && c.ModalResult != mrNone)
                return c.Id;
    return 0;
}
