#pragma once
// The portable half of the program's dialogs. A dialog is a model: a form
// description plus a table of controls (kind, caption, place, items, range and
// the state to show), and handlers the window layer calls when the user acts.
// A thin view (standard Win32 controls) builds one window per control from the
// table, forwards user input to the On* handlers, and after every call into the
// model re-reads the state of every control (Revision() tells it something
// changed). Nothing here includes a window-system header.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/PlatformTypes.h"

struct TBitmapImage;

// A colour as the window system takes it: 0x00BBGGRR.
using TColorRef = std::uint32_t;
// "Use the system's colour for this control."
constexpr TColorRef clDefault = 0xFF000000u;
constexpr TColorRef clBlack = 0x000000u;
constexpr TColorRef clBlue = 0xFF0000u;

constexpr TColorRef RGBColor(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return static_cast<TColorRef>(r) | (static_cast<TColorRef>(g) << 8) | (static_cast<TColorRef>(b) << 16);
}

enum class TControlKind : std::uint8_t {
    ckPanel,       // sunken panel (a container drawn as a frame)
    ckGLWindow,    // the OpenGL output window hosted inside a panel
    ckButton,      // push button; ModalResult != mrNone closes the dialog with it
    ckGroupBox,    // frame with a caption
    ckLabel,       // static text
    ckTrackBar,    // horizontal slider: Min..Max, PageSize, TickFrequency, Position
    ckComboBox,    // drop-down list: Items, ItemIndex
    ckCheckBox,    // Caption, Checked
    ckCheckList,   // list box with a check box per line: Items, ItemChecked, ItemIndex
    ckColorSwatch, // filled rectangle of Color; a click asks the model (OnClick)
    ckPicture      // image control showing Picture, stretched into Bounds
};

enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

enum class TTextAlign : std::uint8_t { taLeft, taCenter, taRight };

enum class TCursorKind : std::uint8_t { crDefault, crHand };

// A font; empty fields inherit the form's.
struct TControlFont {
    std::string Name;
    int Height = 0;        // LOGFONT height: negative = character height in pixels; 0 = see Size
    int Size = 0;          // points (used when Height is 0); 0 = inherit
    bool Bold = false;
    bool Underline = false;
    TColorRef Color = clDefault;
};

struct TDialogControl {
    int Id = 0;
    std::string Name;  // the field name of the control ("TrackBarFlameWidth")
    TControlKind Kind = TControlKind::ckLabel;
    int Parent = 0;    // id of the containing group box or panel; 0 = the form
    TRect Bounds;      // in the form's client area (group offsets already added)
    std::string Caption;
    std::vector<std::string> Items;

    // Track bars.
    int Min = 0, Max = 0, PageSize = 1, TickFrequency = 1;

    // State shown by the view.
    int Position = 0;
    int ItemIndex = -1;
    bool Checked = false;
    std::vector<bool> ItemChecked;  // check lists, one per item
    bool Enabled = true;
    bool Visible = true;

    // Look.
    TColorRef Color = clDefault;  // background (the swatch's fill)
    TControlFont Font;
    TTextAlign Align = TTextAlign::taLeft;
    bool VerticalCenter = false;
    bool WordWrap = false;
    bool AutoSize = false;
    bool Stretch = false;
    TCursorKind Cursor = TCursorKind::crDefault;
    int ItemHeight = 0;            // combo boxes; 0 = system default
    std::string SkinElement;       // skinned buttons: the skin's element name
    int ModalResult = mrNone;      // buttons: result given to the dialog on click
    std::shared_ptr<const TBitmapImage> Picture;  // ckPicture; may be null or empty
};

enum class TFormPlacement : std::uint8_t { fpDesigned, fpDesktopCenter, fpMainFormCenter };

struct TDialogForm {
    std::string Caption;
    int Left = 0, Top = 0;  // designed position (fpDesigned)
    int ClientWidth = 0, ClientHeight = 0;
    // The window's own size, frame and caption included; when set it takes
    // the place of the client size.
    int Width = 0, Height = 0;
    TColorRef Color = clDefault;
    TControlFont Font;
    bool StayOnTop = false;
    bool BorderIcons = false;  // system menu / close box
    TFormPlacement Placement = TFormPlacement::fpDesigned;
    bool Enabled = true;
    std::string SkinData;      // handed on to skinned controls; unused by plain views
};

// Services a dialog needs from the window layer.
class IDialogHost {
public:
    virtual ~IDialogHost() = default;
    // Builds a window for dialog, shows it modally and returns its modal result.
    virtual int RunModal(class TDialogModel& dialog) = 0;
    // The system colour dialog preset to color; true (and color set) when confirmed.
    virtual bool PickColor(TColorRef& color) = 0;
    // Asks the shell to run verb on target in a normal window.
    virtual void OpenWithShell(const std::string& verb, const std::string& target) = 0;
    // Closes the non-modal main dialog (which ends the program).
    virtual void CloseDialog(class TDialogModel& dialog) = 0;
};

class TDialogModel {
public:
    TDialogModel() = default;
    virtual ~TDialogModel();
    TDialogModel(const TDialogModel&) = delete;
    TDialogModel& operator=(const TDialogModel&) = delete;

    TDialogForm Form;
    int ModalResult = mrNone;

    const std::vector<TDialogControl>& Controls() const { return controls_; }
    // The control of that id; raises an EPyrelumeError for an unknown id.
    TDialogControl& Control(int id);
    const TDialogControl& Control(int id) const;
    const TDialogControl* Find(int id) const;
    const TDialogControl* FindByName(const std::string& name) const;

    // Bumped by every state change the model makes; the view re-reads the
    // controls when it differs from the value it saw last.
    std::uint32_t Revision() const { return revision_; }

    // ---- User input, called by the view (and by the model to emulate a
    // control that reports a programmatic change). Each stores the new state
    // and then runs the dialog's handler for that control.
    // A button, swatch or picture was clicked.
    void OnClick(int id);
    // Track bar moved; the position is limited to Min..Max. Same position: nothing.
    void OnTrackBarChange(int id, int position);
    // Combo box selection (-1 = none).
    void OnComboChange(int id, int index);
    // Check box clicked to the given state. Same state: nothing.
    void OnCheck(int id, bool checked);
    // A check-list line's box was toggled.
    void OnItemCheck(int id, int item, bool checked);
    // A check-list line was selected.
    void OnItemClick(int id, int item);

    // Takes the recorded skin: see ApplySkinColors.
    void ApplySkin(const struct TSkinColors& skin);

protected:
    TDialogControl& Add(TDialogControl control);
    // Adds a control placed relative to the parent control's top-left corner.
    TDialogControl& AddIn(int parent, TDialogControl control);

    // Model-side changes (no handler runs).
    void SetCaption(int id, const std::string& caption);
    void SetItems(int id, std::vector<std::string> items);
    void SetItemIndex(int id, int index);
    void SetPosition(int id, int position);
    void SetChecked(int id, bool checked);
    void SetEnabled(int id, bool enabled);
    void SetColor(int id, TColorRef color);
    void Touch() { ++revision_; }

    // Handlers of the concrete dialog, run after the state was stored.
    virtual void Clicked(TDialogControl& control);
    virtual void TrackBarChanged(TDialogControl& control) {}
    virtual void ComboChanged(TDialogControl& control) {}
    virtual void CheckChanged(TDialogControl& control) {}
    virtual void ItemChecked(TDialogControl& control, int item) {}
    virtual void ItemClicked(TDialogControl& control, int item) {}

private:
    std::vector<TDialogControl> controls_;
    std::uint32_t revision_ = 0;
};

// ---- Skin colours shared by the dialogs built after the settings dialog.
struct TSkinColors {
    TColorRef FormColor = clDefault;     // form and labels
    TColorRef ControlColor = clDefault;  // combo boxes and check lists
    std::string SkinData;
    bool Recorded = false;
};
TSkinColors& SkinColors();
// Gives the form and its labels the first colour, combo boxes and check lists
// the second, and the skin data to the form. Nothing before colours were recorded.
void ApplySkinColors(TDialogModel& dialog);

// "%.2d" formatting of a non-negative number ("Material01").
std::string TwoDigits(int n);

// ---- Dots per inch. Every position, size and font height of the dialogs is
// designed at 96 dots per inch; a view shows them at its monitor's.
constexpr int kDesignDpi = 96;
// A length at dpi, rounded to the nearest pixel.
int ScaleToDpi(int value, int dpi);
// A rectangle at dpi: its edges are scaled, so rectangles that meet or line up
// at 96 dpi still do.
TRect ScaleRectToDpi(const TRect& r, int dpi);

// Which button a key press stands for: Enter the OK button, Escape the Cancel
// button (or, in a box whose only closing button is OK, that one). 0 when the
// dialog has no enabled button of that kind.
enum class TDialogKey : std::uint8_t { dkEnter, dkEscape };
int KeyButton(const TDialogModel& dialog, TDialogKey key);
