#pragma once
// A window layer stand-in for the dialog models: records what the dialogs ask
// of it and lets a test act inside a modal run.
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/DialogModel.h"
#include "assets/ResourceFile.h"

class FakeDialogHost : public IDialogHost {
public:
    // Runs inside RunModal with the shown dialog; its result is returned.
    std::function<int(TDialogModel&)> Modal = [](TDialogModel&) { return int(mrCancel); };
    std::vector<std::string> ModalCaptions;
    std::vector<std::string> Shell;
    int Closes = 0;
    bool ConfirmColor = true;
    TColorRef ChosenColor = RGBColor(10, 20, 30);
    std::vector<TColorRef> PresetColors;

    int RunModal(TDialogModel& dialog) override
    {
        ModalCaptions.push_back(dialog.Form.Caption);
        return Modal(dialog);
    }
    bool PickColor(TColorRef& color) override
    {
        PresetColors.push_back(color);
        if (ConfirmColor)
            color = ChosenColor;
        return ConfirmColor;
    }
    void OpenWithShell(const std::string& verb, const std::string& target) override
    {
        Shell.push_back(verb + " " + target);
    }
    void CloseDialog(TDialogModel&) override { ++Closes; }
};


