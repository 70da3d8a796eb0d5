#pragma once
// The About box, built entirely at run time: title, version, a notice with the
// current year, a link, the OpenGL driver's vendor, renderer and version, a
// longer notice and a picture from the resource archive, with one button that
// closes it. Its fixed texts are kept complemented in the program image and
// unscrambled just before use.
#include <functional>
#include <memory>
#include <string>

#include "app/DialogModel.h"
#include "platform/ProgramResources.h"

struct TBitmapImage;
class TCustomApplicationPro;
class TGLScreenSaver;
class IAppGLContext;

// The strings the OpenGL driver reports (empty while no context was ever active).
class IGLDriverInfo {
public:
    virtual ~IGLDriverInfo() = default;
    virtual std::string GLVendor() = 0;
    virtual std::string GLRenderer() = 0;
    virtual std::string GLVersion() = 0;
};

// The strings cached by the application's context (TAppGLContext); empty for
// any other context or none.
class TContextDriverInfo : public IGLDriverInfo {
public:
    explicit TContextDriverInfo(IAppGLContext* context) : context_(context) {}
    std::string GLVendor() override;
    std::string GLRenderer() override;
    std::string GLVersion() override;

private:
    IAppGLContext* context_;
};

// A picture from the embedded archive: ".bmp" entries are read as bitmaps,
// ".jpg" entries decoded as JPEG; a missing entry or another extension gives
// an empty bitmap. Errors of the archive itself (missing or damaged) and of a
// damaged picture reach the caller. The archive is read from resources.
std::shared_ptr<TBitmapImage> LoadArchivePicture(IProgramResources* resources, const std::string& entryName);

// The current year of the system clock (local time).
int CurrentYear();

class TAboutDialog : public TDialogModel {
public:
    enum : int {
        ButtonClose = 300,
        LabelTitle,
        LabelVersion,
        LabelNotice,
        LabelLink,
        LabelDriver,
        LabelLongNotice,
        ImagePicture
    };

    // Builds the form for app's title and version, the given year and driver
    // strings (info may be null), and loads the picture from the archive
    // (which may raise: see LoadArchivePicture).
    TAboutDialog(const TCustomApplicationPro& app, IGLDriverInfo* info, int year);

    // The target the link label and the picture open, and the verb used.
    static std::string LinkTarget();
    static std::string LinkVerb();
    // The archive entry of the picture.
    static std::string PictureEntry();

    // Clicks on the link or the picture are passed here.
    std::function<void(const std::string& verb, const std::string& target)> OpenLink;

protected:
    void Clicked(TDialogControl& control) override;

private:
    TDialogControl& CreateLabel(int id, TRect bounds, bool wordWrap, const std::string& text);
    TDialogControl& CreateLinkLabel(int id, TRect bounds, bool wordWrap, const std::string& text);
    TDialogControl& CreatePicture(int id, int left, int top, const std::string& entryName);
    TDialogControl& CreateButton(int id, TRect bounds, const std::string& caption);

    IProgramResources* resources_ = nullptr;
};

// Builds the About box for the saver, shows it modally through the host and
// frees it. Link clicks go to the host's shell. The year is read now.
void ShowAbout(TGLScreenSaver& saver, IDialogHost& host, IGLDriverInfo* info);
