#pragma once
// Win32 views of the program's dialogs. A TDialogView builds one top-level
// window from any TDialogModel's control table with the system's standard
// controls (buttons, group boxes, static labels, track bars, drop-down lists,
// check boxes, an owner-drawn check list, a colour swatch and a picture),
// forwards what the user does to the model's On* handlers, and after every call
// into the model shows the model's new state without letting the controls
// report it back. TWinDialogHost runs modal dialogs, the colour dialog and the
// shell for the models.
//
// No <windows.h> here; handles are carried as TWindowHandle.
#include <cstdint>
#include <memory>
#include <vector>

#include "app/DialogModel.h"
#include "platform/Services.h"

struct tagRECT;
struct tagSIZE;
class TWinApplication;
class TFormSettings;
class TGLScreenSaver;
class TSettingsDialog;
class IGLDriverInfo;

class TDialogView {
public:
    enum class TRole : std::uint8_t {
        rlModal,    // a dialog shown by TWinDialogHost::RunModal
        rlMainForm  // the program's main form (closing it ends the program)
    };

    // Creates the (hidden) window and its controls, placed as the form asks:
    // on the desktop's centre, the owner's centre or the designed position.
    TDialogView(TDialogModel& model, TWindowHandle owner, TRole role);
    ~TDialogView();
    TDialogView(const TDialogView&) = delete;
    TDialogView& operator=(const TDialogView&) = delete;

    TDialogModel& Model() { return model_; }
    TRole Role() const { return role_; }
    TWindowHandle Handle() const { return window_; }
    // The window of a control (0 for an unknown id or one without a window).
    TWindowHandle ControlHandle(int id) const;
    // The panel that holds the model's GL window (0 when it has none).
    TWindowHandle PreviewPanel() const { return previewPanel_; }

    // Shows the model's state when its revision moved (or always when forced).
    void Sync(bool force = false);
    // The dots per inch the dialog is shown at (its monitor's, or less when
    // the dialog would not fit into the monitor's work area).
    int Dpi() const { return dpi_; }
    // Shows the dialog at another monitor's dots per inch, around suggested
    // (a screen rectangle; null keeps it where it is).
    void ChangeDpi(int dpi, const tagRECT* suggested);

    // Window procedures (internal).
    std::intptr_t FormMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam, bool& handled);
    std::intptr_t CheckListMessage(TWindowHandle list, unsigned message, std::uintptr_t wParam,
                                   std::intptr_t lParam);

    struct TShown;  // a control's window and what it shows now

private:
    void CreateForm(TWindowHandle owner);
    tagSIZE OuterSize(int dpi) const;
    int FittingDpi(int dpi, const tagRECT& work) const;
    int Scaled(int value) const;
    void PlaceControl(TShown& shown, const TDialogControl& control);
    void FitLabel(TShown& shown, const TDialogControl& control);
    int MeasuredItemHeight(const TDialogControl& control);
    void SetComboItemHeights(TWindowHandle combo, const TDialogControl& control);
    void CreateControls();
    void CreateControl(const TDialogControl& control);
    void ApplyControl(TShown& shown, const TDialogControl& control, bool force);
    void ApplyForm(bool force);
    TShown* ShownOf(int id);
    TShown* ShownOfWindow(TWindowHandle window);
    void Command(int id, unsigned code, TWindowHandle control);
    void Scrolled(TWindowHandle control);
    void ToggleItem(TShown& shown, int item);
    std::uintptr_t FontFor(const TControlFont& font);
    std::uintptr_t BrushFor(TColorRef color);
    std::intptr_t ControlColor(TWindowHandle control, std::uintptr_t dc, bool editLike);
    void DrawItem(std::intptr_t drawItem);
    // Runs a call into the model, reports what it raises, then shows the new state.
    template <typename F> void Call(F&& call);

    TDialogModel& model_;
    TRole role_;
    TWindowHandle window_ = 0;
    TWindowHandle previewPanel_ = 0;
    std::vector<std::unique_ptr<TShown>> shown_;
    TDialogForm shownForm_;
    std::uint32_t shownRevision_ = 0;
    int dpi_ = kDesignDpi;
    bool built_ = false;
    bool syncing_ = false;
    struct TFontEntry;
    struct TBrushEntry;
    std::vector<std::unique_ptr<TFontEntry>> fonts_;
    std::vector<std::unique_ptr<TBrushEntry>> brushes_;
};

// The window layer's services for the dialog models.
class TWinDialogHost : public IDialogHost {
public:
    // app may be null (tests of the views alone); then modal loops only pump messages.
    explicit TWinDialogHost(TWinApplication* app);
    ~TWinDialogHost() override;

    // The main form: built from model and handed to the application as its main
    // form, with the GL window's panel as the output window's parent.
    TDialogView& CreateMainForm(TDialogModel& model);
    TDialogView* MainForm() { return main_.get(); }
    // Destroys the main form's window and hands the application no form.
    void DestroyMainForm();
    // The view of an open dialog (main or modal), else none.
    TDialogView* ViewOf(const TDialogModel& model);

    int RunModal(TDialogModel& dialog) override;
    bool PickColor(TColorRef& color) override;
    void OpenWithShell(const std::string& verb, const std::string& target) override;
    void CloseDialog(TDialogModel& dialog) override;

private:
    TWinApplication* app_;
    std::unique_ptr<TDialogView> main_;
    std::vector<TDialogView*> modal_;
};

// The settings dialog as the program's main form, with the live preview in its
// panel, for the program and configuration modes.
class TSettingsDialogWindow {
public:
    TSettingsDialogWindow(TWinApplication& app, TFormSettings& form, TGLScreenSaver& saver);
    ~TSettingsDialogWindow();

    // Shows the dialog (unless the run ended or the form is hidden away) and
    // lets the model place it.
    void Show();
    TDialogView& View() { return *view_; }

private:
    TWinApplication& app_;
    TWinDialogHost host_;
    std::unique_ptr<IGLDriverInfo> driverInfo_;
    std::unique_ptr<TSettingsDialog> model_;
    TDialogView* view_ = nullptr;
};

// The settings dialog window when the saver's mode shows one (program and
// configuration modes), else none. Call before the saver's Loaded so that the
// output window is created inside the dialog's preview panel.
std::unique_ptr<TSettingsDialogWindow> CreateSettingsDialogWindow(TWinApplication& app, TFormSettings& form,
                                                                  TGLScreenSaver& saver);
