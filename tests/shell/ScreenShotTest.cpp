#include <unistd.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include <jpeglib.h>

#include "Fakes.h"
#include "gl/Errors.h"
#include "shell/GLApp.h"
#include "shell/ScreenShot.h"

namespace fs = std::filesystem;

namespace {

TEST(ScreenShotNames, NumberGoesFourCharactersFromTheEnd)
{
    EXPECT_EQ(NumberedFileName("Film.jpg", 1), "Film00001.jpg");
    EXPECT_EQ(NumberedFileName("Shot.jpeg", 12), "Shot00012.jpeg");
    EXPECT_EQ(NumberedFileName("S.JPEG", 1), "S00001.JPEG");
    EXPECT_EQ(NumberedFileName(".jpeg", 1), "00001.jpeg");
    EXPECT_EQ(NumberedFileName("Film", 3), "00003Film");
    EXPECT_EQ(NumberedFileName("abcdefgh", 123456), "abcd123456efgh");
    EXPECT_EQ(ImageFileKindOf("a.BMP"), TImageFileKind::ikBmp);
    EXPECT_EQ(ImageFileKindOf("a.Jpeg"), TImageFileKind::ikJpeg);
    EXPECT_EQ(ImageFileKindOf("a.png"), TImageFileKind::ikNone);
    EXPECT_EQ(ImageFileKindOf("dir.jpg\\file"), TImageFileKind::ikNone);
}

TEST(ScreenShotImage, RowsFlippedAndRedBlueSwapped)
{
    // 2 x 2 capture, bottom row first: (1,2,3) (4,5,6) / (7,8,9) (10,11,12)
    const std::uint8_t rgb[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const TBitmapImage b = BitmapFromCapture(rgb, sizeof rgb, 2, 2);
    EXPECT_EQ(b.Pixels, (std::vector<std::uint8_t>{9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4}));
    EXPECT_THROW(BitmapFromCapture(rgb, sizeof rgb, 3, 2), EPyrelumeError);
    EXPECT_TRUE(BitmapFromCapture(rgb, sizeof rgb, 0, 2).Pixels.empty());
}

TEST(ScreenShotImage, BmpAndJpegFiles)
{
    const std::uint8_t rgb[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const auto bmp = EncodeBmp24(BitmapFromCapture(rgb, sizeof rgb, 1, 4));
    ASSERT_EQ(bmp.size(), 54u + 4u * 4u); // rows padded to 4 bytes
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[28], 24);
    // File rows run bottom-up again: the captured bottom row comes first, as BGR.
    EXPECT_EQ(bmp[54], 3);
    EXPECT_EQ(bmp[56], 1);

    TBitmapImage b;
    b.Width = 17;
    b.Height = 9;
    b.Pixels.assign(17 * 9 * 3, 200);
    const auto jpg = EncodeJpeg(b, 90);
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, jpg.data(), static_cast<unsigned long>(jpg.size()));
    ASSERT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
    EXPECT_EQ(d.image_width, 17u);
    EXPECT_EQ(d.image_height, 9u);
    jpeg_destroy_decompress(&d);
    EXPECT_THROW(EncodeJpeg(TBitmapImage{}, 90), EPyrelumeError);
}

class FilmTest : public ::testing::Test {
protected:
    FakePlatform fp;
    FakeWindow window;
    TCustomGLDisplay display{&fp.Display, &fp.Host};
    std::unique_ptr<TCustomGLApplication> app;
    FakeContext* ctx = nullptr;
    fs::path dir = fs::path(PYRELUME_BINARY_DIR) / ("shell_film_test_" + std::to_string(::getpid()));
    std::vector<float> steps;

    void SetUp() override
    {
        fs::remove_all(dir);
        fs::create_directories(dir);
        app = std::make_unique<TCustomGLApplication>(fp.Services());
        auto c = std::make_unique<FakeContext>();
        ctx = c.get();
        app->SetContext(std::move(c));
        app->SetWindow(&window);
        app->SetDisplay(&display);
        app->Active = true;
        app->OnRender = [](float, bool) {};
        app->OnUpdate = [&](float dt) { steps.push_back(dt); };
        window.ShowWithHandle();
        bool done;
        app->DoIdle(done);
        steps.clear();
    }
    void TearDown() override { fs::remove_all(dir); }
    void PrintScreen(bool ctrl, bool shift)
    {
        bool handled = false;
        app->DoMessage(TAppMessage{TMessageKind::mkKeyUp, VK_PRINTSCREEN_KEY, 0, 0, ctrl, shift}, handled);
        EXPECT_TRUE(handled);
    }
};

TEST_F(FilmTest, ShiftPrintScreenWritesTwentyFiveNumberedFrames)
{
    app->ScreenShots = true;
    app->FilmName = (dir / "Film.jpg").string();
    PrintScreen(false, true);
    ASSERT_EQ(steps.size(), 25u);
    EXPECT_FLOAT_EQ(steps[0], 1.0f / 25.0f);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 25);
    EXPECT_TRUE(fs::exists(dir / "Film00001.jpg"));
    EXPECT_TRUE(fs::exists(dir / "Film00025.jpg"));
}

TEST_F(FilmTest, JpegExtensionSavesNumberedJpegFiles)
{
    app->ScreenShots = true;
    app->FilmName = (dir / "Shot.jpeg").string();
    PrintScreen(false, true);
    EXPECT_TRUE(fs::exists(dir / "Shot00001.jpeg"));
    EXPECT_TRUE(fs::exists(dir / "Shot00025.jpeg"));
}

TEST_F(FilmTest, AnyKeyStopsTheFilmEarly)
{
    app->ScreenShots = true;
    app->FilmName = (dir / "Film.bmp").string();
    int pumped = 0;
    fp.Host.OnProcessMessages = [&] {
        bool handled;
        if (++pumped == 3)
            app->DoMessage(TAppMessage{TMessageKind::mkKeyDown, 65}, handled);
    };
    PrintScreen(false, true);
    EXPECT_EQ(steps.size(), 3u);
    EXPECT_TRUE(fs::exists(dir / "Film00003.bmp"));
    EXPECT_FALSE(fs::exists(dir / "Film00004.bmp"));
}

TEST_F(FilmTest, ScreenShotsOffOnlySnapShotHandlerRuns)
{
    app->FilmName = (dir / "Film.jpg").string();
    PrintScreen(false, true);
    PrintScreen(true, false);
    EXPECT_EQ(ctx->Captures, 0);
    EXPECT_TRUE(fs::is_empty(dir));
    int snaps = 0;
    app->OnSnapShot = [&] { ++snaps; };
    PrintScreen(true, false);
    EXPECT_EQ(snaps, 1);
}

} // namespace
