#include "app/AboutDlg.h"

#include "assets/ResourceFile.h"
#include "clock/TimeProvider.h"
#include "scene/SceneImages.h"
#include "shell/AppOpenGL.h"
#include "shell/AppPro.h"
#include "shell/GLScreenSaver.h"

namespace {

// Every fixed text of the box, complemented byte by byte.
constexpr TScrambled kCaptionPrefix("About ");
constexpr TScrambled kCaptionSuffix(" Screen Saver");
constexpr TScrambled kButtonCaption("OK");
constexpr TScrambled kVersionPrefix("Version ");
constexpr TScrambled kNoticePrefix("Copyright (C) ");
constexpr TScrambled kNoticeSuffix(" the Pyrelume authors");
constexpr TScrambled kLinkText("Visit the Pyrelume home page");
constexpr TScrambled kLinkTarget("https://pyrelume.example.org/");
constexpr TScrambled kVendorPrefix("OpenGL vendor: ");
constexpr TScrambled kRendererPrefix("OpenGL renderer: ");
constexpr TScrambled kGLVersionPrefix("OpenGL version: ");
constexpr TScrambled kLongNotice(
    "A fireplace for your screen: a simulated flame, rising sparkles and smoke, and the crackle of burning logs. "
    "Press Help in the settings dialog to read how to install the saver and what every option does.");
constexpr TScrambled kFontName("Arial");
constexpr TScrambled kPictureEntry("About.jpg");
constexpr TScrambled kArchiveName("data.rfa");
constexpr TScrambled kBitmapExt(".bmp");
constexpr TScrambled kJpegExt(".jpg");
constexpr TScrambled kShellVerb("open");
constexpr TScrambled kButtonSkin("Button");

std::string LowerExtension(const std::string& name)
{
    const std::size_t dot = name.find_last_of('.');
    const std::size_t sep = name.find_last_of("\\/:");
    if (dot == std::string::npos || (sep != std::string::npos && sep > dot))
        return {};
    std::string ext = name.substr(dot);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

} // namespace

// ---- Driver strings

namespace {
TCustomAppOpenGL* AppGL(IAppGLContext* context)
{
    auto* ctx = dynamic_cast<TAppGLContext*>(context);
    return ctx ? &ctx->GL() : nullptr;
}
} // namespace

std::string TContextDriverInfo::GLVendor()
{
    TCustomAppOpenGL* gl = AppGL(context_);
    return gl ? gl->GLVendor() : std::string();
}

std::string TContextDriverInfo::GLRenderer()
{
    TCustomAppOpenGL* gl = AppGL(context_);
    return gl ? gl->GLRenderer() : std::string();
}

std::string TContextDriverInfo::GLVersion()
{
    TCustomAppOpenGL* gl = AppGL(context_);
    return gl ? gl->GLVersion() : std::string();
}

// ---- Picture

std::shared_ptr<TBitmapImage> LoadArchivePicture(IProgramResources* resources, const std::string& entryName)
{
    auto bitmap = std::make_shared<TBitmapImage>();
    TResourceFileReader reader;
    reader.Resources = resources;
    reader.ArchiveName = Unscramble(kArchiveName.Text());
    reader.Source = ReadSource::ArchiveResource;
    if (!reader.Open(entryName) || !reader.Stream())
        return bitmap;
    const std::string ext = LowerExtension(entryName);
    const bool bmp = ext == Unscramble(kBitmapExt.Text());
    const bool jpg = ext == Unscramble(kJpegExt.Text());
    if (!bmp && !jpg)
        return bitmap;
    const std::vector<std::uint8_t> bytes = reader.Stream()->ReadAll();
    // A damaged picture leaves the box without one instead of ending the program.
    try {
        *bitmap = bmp ? DecodeBmp(bytes) : DecodeJpeg(bytes);
    } catch (const std::exception&) {
        *bitmap = TBitmapImage{};
    }
    return bitmap;
}

int CurrentYear()
{
    return TSystemTimeProvider().Now().Year;
}

// ---- The box

std::string TAboutDialog::LinkTarget()
{
    return Unscramble(kLinkTarget.Text());
}

std::string TAboutDialog::LinkVerb()
{
    return Unscramble(kShellVerb.Text());
}

std::string TAboutDialog::PictureEntry()
{
    return Unscramble(kPictureEntry.Text());
}

TDialogControl& TAboutDialog::CreateLabel(int id, TRect bounds, bool wordWrap, const std::string& text)
{
    TDialogControl c;
    c.Id = id;
    c.Kind = TControlKind::ckLabel;
    c.Caption = text;
    c.AutoSize = !wordWrap;
    c.Bounds = bounds;
    c.Font.Name = Unscramble(kFontName.Text());
    c.Font.Size = 10;
    c.Font.Bold = true;
    c.WordWrap = wordWrap;
    return Add(std::move(c));
}

TDialogControl& TAboutDialog::CreateLinkLabel(int id, TRect bounds, bool wordWrap, const std::string& text)
{
    TDialogControl& c = CreateLabel(id, bounds, wordWrap, text);
    c.Font.Color = clBlue;
    c.Font.Bold = true;
    c.Font.Underline = true;
    c.Cursor = TCursorKind::crHand;
    return c;
}

TDialogControl& TAboutDialog::CreatePicture(int id, int left, int top, const std::string& entryName)
{
    TDialogControl c;
    c.Id = id;
    c.Kind = TControlKind::ckPicture;
    c.Bounds = {left, top, 106, 133};
    c.AutoSize = true;
    c.Stretch = true;
    c.Cursor = TCursorKind::crHand;
    c.Picture = LoadArchivePicture(resources_, entryName);
    return Add(std::move(c));
}

TDialogControl& TAboutDialog::CreateButton(int id, TRect bounds, const std::string& caption)
{
    TDialogControl c;
    c.Id = id;
    c.Kind = TControlKind::ckButton;
    c.Caption = caption;
    c.SkinElement = Unscramble(kButtonSkin.Text());
    c.ModalResult = mrNone;
    c.Bounds = bounds;
    c.Cursor = TCursorKind::crHand;
    return Add(std::move(c));
}

TAboutDialog::TAboutDialog(const TCustomApplicationPro& app, IGLDriverInfo* info, int year)
    : resources_(app.Services().Resources)
{
    Form.Caption = Unscramble(kCaptionPrefix.Text()) + app.Title + Unscramble(kCaptionSuffix.Text());
    Form.Left = 562;
    Form.Top = 257;
    Form.Width = 422;
    Form.Height = 404;
    Form.Placement = TFormPlacement::fpMainFormCenter;
    Form.StayOnTop = true;
    Form.BorderIcons = true;

    CreateButton(ButtonClose, {320, 326, 70, 25}, Unscramble(kButtonCaption.Text())).ModalResult = mrOk;

    TDialogControl& title = CreateLabel(LabelTitle, {6, 8, 400, 25}, true, app.Title);
    title.Font.Size = 16;
    title.Align = TTextAlign::taCenter;
    title.VerticalCenter = true;

    CreateLabel(LabelVersion, {172, 32, 160, 16}, false, Unscramble(kVersionPrefix.Text()) + app.VersionText());
    CreateLabel(LabelNotice, {172, 56, 223, 37}, true,
                Unscramble(kNoticePrefix.Text()) + std::to_string(year) + Unscramble(kNoticeSuffix.Text()));
    CreateLinkLabel(LabelLink, {172, 96, 162, 16}, false, Unscramble(kLinkText.Text()));

    std::string vendor, renderer, version;
    if (info) {
        vendor = info->GLVendor();
        renderer = info->GLRenderer();
        version = info->GLVersion();
    }
    CreateLabel(LabelDriver, {12, 160, 389, 53}, true,
                Unscramble(kVendorPrefix.Text()) + vendor + "\r\n" + Unscramble(kRendererPrefix.Text()) + renderer +
                    "\r\n" + Unscramble(kGLVersionPrefix.Text()) + version);
    CreateLabel(LabelLongNotice, {8, 228, 382, 82}, true, Unscramble(kLongNotice.Text()));
    CreatePicture(ImagePicture, 10, 34, PictureEntry());
}

void TAboutDialog::Clicked(TDialogControl& control)
{
    if (control.Id == LabelLink || control.Id == ImagePicture) {
        if (OpenLink)
            OpenLink(LinkVerb(), LinkTarget());
        return;
    }
    TDialogModel::Clicked(control);
}

void ShowAbout(TGLScreenSaver& saver, IDialogHost& host, IGLDriverInfo* info)
{
    TContextDriverInfo contextInfo(saver.Context());
    auto dialog = std::make_unique<TAboutDialog>(saver, info ? info : &contextInfo, CurrentYear());
    dialog->OpenLink = [&host](const std::string& verb, const std::string& target) { host.OpenWithShell(verb, target); };
    ApplySkinColors(*dialog);
    host.RunModal(*dialog);
}
