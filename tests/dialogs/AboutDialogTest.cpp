#include <gtest/gtest.h>

#include <map>

#include "app/AboutDlg.h"
#include "app/SettingsDialog.h"
#include "assets/ArchiveWriter.h"
#include "gl/Errors.h"
#include "scene/SceneImages.h"
#include "tests/dialogs/DialogFakes.h"
#include "tests/dialogs/SceneFixture.h"

namespace {

using B = TAboutDialog;

class FakeDriver : public IGLDriverInfo {
public:
    std::string GLVendor() override { return "Mesa"; }
    std::string GLRenderer() override { return "llvmpipe"; }
    std::string GLVersion() override { return "4.5"; }
};

TBitmapImage Picture(int w, int h)
{
    TBitmapImage img;
    img.Width = w;
    img.Height = h;
    img.Pixels.assign(static_cast<std::size_t>(w * h * 3), 0x60);
    return img;
}

std::vector<std::uint8_t> ArchiveWith(const std::string& name, std::vector<std::uint8_t> bytes)
{
    TResourceArchiveWriter w;
    w.Add(name, std::move(bytes));
    w.Add("Other.txt", {'x'});
    return w.SaveToBytes();
}

bool Readable(const std::string& s)
{
    for (unsigned char c : s)
        if (c >= 0x80 || (c < 0x20 && c != '\r' && c != '\n'))
            return false;
    return true;
}

class AboutDialogTest : public ::testing::Test, public FireplaceFixture {
protected:
    AboutDialogTest() { fp.Resources.Archive = ArchiveWith(B::PictureEntry(), EncodeJpeg(Picture(106, 133), 90)); }
};

TEST_F(AboutDialogTest, ShowsTitleVersionYearAndDriver)
{
    saver->MajorVersion = "4";
    saver->MinorVersion = "07";
    FakeDriver driver;
    B box(*saver, &driver, 2031);
    EXPECT_NE(box.Form.Caption.find("Pyrelume"), std::string::npos);
    EXPECT_EQ(box.Control(B::LabelTitle).Caption, "Pyrelume");
    EXPECT_EQ(box.Control(B::LabelTitle).Font.Size, 16);
    const std::string version = box.Control(B::LabelVersion).Caption;
    EXPECT_EQ(version.substr(version.size() - 5), " 4.07");
    EXPECT_NE(box.Control(B::LabelNotice).Caption.find("2031"), std::string::npos);
    const std::string drv = box.Control(B::LabelDriver).Caption;
    EXPECT_NE(drv.find("Mesa\r\n"), std::string::npos);
    EXPECT_NE(drv.find("llvmpipe\r\n"), std::string::npos);
    EXPECT_EQ(drv.substr(drv.size() - 3), "4.5");
    // Every stored text came out unscrambled.
    for (const auto& c : box.Controls())
        EXPECT_TRUE(Readable(c.Caption) && Readable(c.Font.Name)) << c.Id;
    EXPECT_TRUE(Readable(B::LinkTarget()) && Readable(B::LinkVerb()));
    EXPECT_EQ(box.Control(B::LabelLink).Font.Color, clBlue);
    EXPECT_TRUE(box.Control(B::LabelLink).Font.Underline);
}

TEST_F(AboutDialogTest, WindowSizeIsTheWholeWindowAndKeysCloseIt)
{
    B box(*saver, nullptr, 2031);
    // 422 x 404 is the size of the window, frame and caption included.
    EXPECT_EQ(box.Form.Width, 422);
    EXPECT_EQ(box.Form.Height, 404);
    EXPECT_EQ(box.Form.ClientWidth, 0);
    // Its one button closes it on Enter and on Escape.
    EXPECT_EQ(KeyButton(box, TDialogKey::dkEnter), int(B::ButtonClose));
    EXPECT_EQ(KeyButton(box, TDialogKey::dkEscape), int(B::ButtonClose));
}

TEST(DialogDpi, EdgesScaleSoNeighboursStayNeighbours)
{
    EXPECT_EQ(ScaleToDpi(25, 96), 25);
    EXPECT_EQ(ScaleToDpi(25, 144), 38);  // 37.5 rounds up
    EXPECT_EQ(ScaleToDpi(-11, 144), -17);  // font heights are negative
    EXPECT_EQ(ScaleToDpi(690, 192), 1380);
    const TRect a = ScaleRectToDpi({5, 5, 81, 25}, 144);
    const TRect b = ScaleRectToDpi({86, 5, 81, 25}, 144);
    EXPECT_EQ(a.Left + a.Width, b.Left);  // they met at 96 dpi and still do
    EXPECT_EQ(a.Left, 8);
    EXPECT_EQ(a.Width, 121);
    EXPECT_EQ(b.Width, 122);
}

TEST_F(AboutDialogTest, WithoutAContextTheDriverValuesAreEmpty)
{
    B box(*saver, nullptr, 2024);
    const std::string drv = box.Control(B::LabelDriver).Caption;
    // Three prefixes, nothing after them.
    EXPECT_EQ(drv.substr(drv.size() - 2), ": ");
    EXPECT_EQ(std::count(drv.begin(), drv.end(), '\n'), 2);
    TContextDriverInfo none(nullptr);
    EXPECT_EQ(none.GLVendor(), "");
}

TEST_F(AboutDialogTest, ButtonClosesLinkAndPictureOpenTheTarget)
{
    B box(*saver, nullptr, 2024);
    std::vector<std::string> opened;
    box.OpenLink = [&](const std::string& verb, const std::string& target) { opened.push_back(verb + " " + target); };
    box.OnClick(B::LabelLink);
    box.OnClick(B::ImagePicture);
    EXPECT_EQ(box.ModalResult, mrNone);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], B::LinkVerb() + " " + B::LinkTarget());
    box.OnClick(B::ButtonClose);
    EXPECT_EQ(box.ModalResult, mrOk);
}

TEST_F(AboutDialogTest, PictureComesFromTheArchive)
{
    B box(*saver, nullptr, 2024);
    const auto& pic = box.Control(B::ImagePicture);
    ASSERT_TRUE(pic.Picture);
    EXPECT_EQ(pic.Picture->Width, 106);
    EXPECT_EQ(pic.Picture->Height, 133);
    EXPECT_EQ(pic.Bounds.Left, 10);
    EXPECT_EQ(pic.Bounds.Top, 34);
}

TEST(AboutPicture, BitmapJpegMissingOtherAndDamaged)
{
    TResourceArchiveWriter w;
    w.Add("a.BMP", EncodeBmp24(Picture(4, 3)));
    w.Add("b.jpg", EncodeJpeg(Picture(8, 8), 90));
    w.Add("c.png", {1, 2, 3});
    w.Add("d.jpg", {0xFF, 0xD8, 0x00});
    FakeProgramResources res;
    res.Archive = w.SaveToBytes();
    EXPECT_EQ(LoadArchivePicture(&res, "a.BMP")->Width, 4);
    EXPECT_EQ(LoadArchivePicture(&res, "b.jpg")->Height, 8);
    EXPECT_TRUE(LoadArchivePicture(&res, "missing.jpg")->Empty());
    EXPECT_TRUE(LoadArchivePicture(&res, "c.png")->Empty());
    EXPECT_TRUE(LoadArchivePicture(&res, "d.jpg")->Empty());
}

TEST(AboutPicture, MissingArchiveReachesTheCaller)
{
    FakeProgramResources none;
    EXPECT_THROW(LoadArchivePicture(&none, "About.jpg"), EPyrelumeError);
}

TEST_F(AboutDialogTest, ShowAboutRunsModallyWithSkinAndShellLinks)
{
    TSettingsDialog settings(form, saver.get(), nullptr);
    FakeDialogHost host;
    int year = 0;
    host.Modal = [&](TDialogModel& d) {
        EXPECT_EQ(d.Form.Color, TSettingsDialog::kFormColor);
        d.OnClick(B::LabelLink);
        const std::string notice = d.Control(B::LabelNotice).Caption;
        year = CurrentYear();
        EXPECT_NE(notice.find(std::to_string(year)), std::string::npos);
        d.OnClick(B::ButtonClose);
        return d.ModalResult;
    };
    ShowAbout(*saver, host, nullptr);
    ASSERT_EQ(host.Shell.size(), 1u);
    EXPECT_EQ(host.Shell[0], B::LinkVerb() + " " + B::LinkTarget());
    EXPECT_GE(year, 2024);
}

} // namespace
