#include <gtest/gtest.h>

#include <cstring>

#include "assets/Streams.h"
#include "gl/Errors.h"
#include "gl/GLClasses.h"
#include "scene/GLGraphics.h"
#include "tests/common/TestUtil.h"

using testutil::ErrorOf;

namespace {

TBitmapImage Image24(int w, int h, const std::function<void(int, int, std::uint8_t*)>& fill)
{
    TBitmapImage img;
    img.Width = w;
    img.Height = h;
    img.Pixels.resize(static_cast<std::size_t>(w * h * 3));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            fill(x, y, &img.Pixels[static_cast<std::size_t>((y * w + x) * 3)]);
    return img;
}

} // namespace

TEST(SceneTextureSizes, PowerOfTwoFittingAndReductionFactors)
{
    EXPECT_EQ(PowerOfTwoBelow(600), 512);
    EXPECT_EQ(PowerOfTwoBelow(2048), 1024);
    EXPECT_EQ(PowerOfTwoBelow(0), 0);
    EXPECT_EQ(PowerOfTwoBelow(1), 1);

    TBitmapImage wide = Image24(600, 300, [](int x, int, std::uint8_t* p) { p[0] = p[1] = p[2] = x < 300 ? 0 : 255; });
    FitToPowerOfTwo(wide);
    EXPECT_EQ(wide.Width, 512);
    EXPECT_EQ(wide.Height, 256);
    std::uint8_t b, g, r;
    wide.GetBGR(10, 10, b, g, r);
    EXPECT_EQ(r, 0);
    wide.GetBGR(500, 10, b, g, r);
    EXPECT_EQ(r, 255);

    using Q = TTextureQuality;
    EXPECT_EQ(TextureReductionFactor(512, 512, Q::Medium), 2);
    EXPECT_EQ(TextureReductionFactor(256, 256, Q::Medium), 1);
    EXPECT_EQ(TextureReductionFactor(1024, 512, Q::Medium), 1);
    EXPECT_EQ(TextureReductionFactor(512, 512, Q::Low), 4);
    EXPECT_EQ(TextureReductionFactor(64, 512, Q::Low), 2);  // 64 / 4 would be below 32
    EXPECT_EQ(TextureReductionFactor(16, 512, Q::Low), 1);
    EXPECT_EQ(TextureReductionFactor(1024, 1024, Q::High), 1);
}

TEST(SceneTextureTexels, AveragingRowsBottomUpAndSprites)
{
    // 4 x 4 image: each pixel's red is its column x 10 + row (from the top).
    const TBitmapImage img = Image24(4, 4, [](int x, int y, std::uint8_t* p) {
        p[0] = 0;
        p[1] = 0;
        p[2] = static_cast<std::uint8_t>(x * 10 + y);
    });
    std::vector<std::uint8_t> t(4 * 4 * 3);
    TTexelSource src;
    src.Image = &img;
    BuildTexels(src, t.data(), 4, 4, 12);
    EXPECT_EQ(t[2], 3);                 // texture row 0 is the image's bottom row
    EXPECT_EQ(t[3 * 12 + 3 * 3 + 2], 30);  // top-right
    src.Factor = 2;
    BuildTexels(src, t.data(), 2, 2, 6);
    EXPECT_EQ(t[2], (2 + 12 + 3 + 13) >> 2);  // bottom-left 2 x 2 block
    src.Factor = 4;
    BuildTexels(src, t.data(), 1, 1, 3);
    // (0,0) (1,0) (2,1) (3,1) (0,2) (1,2) (2,3) (3,3) as (row, column).
    EXPECT_EQ(t[2], (0 + 1 + 12 + 13 + 20 + 21 + 32 + 33) >> 3);

    // Sprite with an automatic key: white texels become transparent.
    const TBitmapImage spr = Image24(2, 2, [](int x, int y, std::uint8_t* p) {
        const std::uint8_t v = (x == 1 && y == 1) ? 10 : 255;
        p[0] = p[1] = p[2] = v;
    });
    std::vector<std::uint8_t> s(2 * 2 * 4);
    TTexelSource ss;
    ss.Format = TTextureFormat::Sprite;
    ss.Image = &spr;
    ss.AutoKey = true;
    BuildTexels(ss, s.data(), 2, 2, 8);
    EXPECT_EQ(s[3], 0);
    EXPECT_EQ(s[4 + 3], 255);  // texture (1, 0) is image (1, 1): not white
    EXPECT_EQ(s[8 + 3], 0);
}

TEST(SceneTextureTexels, AlphaFromSecondImageAndSizeMismatch)
{
    const TBitmapImage colour = Image24(2, 2, [](int, int, std::uint8_t* p) { p[0] = 1, p[1] = 2, p[2] = 3; });
    const TBitmapImage alpha = Image24(2, 2, [](int, int, std::uint8_t* p) { p[0] = 30, p[1] = 60, p[2] = 90; });
    std::vector<std::uint8_t> t(16);
    TTexelSource src;
    src.Format = TTextureFormat::Alpha;
    src.Image = &colour;
    src.AlphaImage = &alpha;
    BuildTexels(src, t.data(), 2, 2, 8);
    EXPECT_EQ(t[0], 1);
    EXPECT_EQ(t[2], 3);
    EXPECT_EQ(t[3], 60);
    src.Factor = 2;
    BuildTexels(src, t.data(), 1, 1, 4);
    EXPECT_EQ(t[3], (4 * 180) / 12);

    const TBitmapImage small = Image24(1, 2, [](int, int, std::uint8_t* p) { p[0] = p[1] = p[2] = 0; });
    src.AlphaImage = &small;
    EXPECT_EQ(ErrorOf([&] { BuildTexels(src, t.data(), 1, 1, 4); }),
              "TSceneTexture.AlphaFromBitmap error: Texture size is not equal Alpha size!");
}

TEST(SceneBitmaps, VariantsDecodeToTheSamePixels)
{
    // 3 pixels wide, so rows are padded to 12 (24-bit) and 4 (8-bit) bytes.
    TBitmapImage pal;
    pal.Width = 3;
    pal.Height = 2;
    pal.BitsPerPixel = 8;
    pal.Pixels = {0, 1, 2, 2, 1, 0};
    const std::uint8_t entries[3][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    for (int i = 0; i < 3; ++i)
        for (int c = 0; c < 3; ++c)
            pal.Palette[static_cast<std::size_t>(i * 3 + c)] = entries[i][c];
    const TBitmapImage p8 = DecodeBmp(EncodeBmp8(pal));
    EXPECT_EQ(p8.BitsPerPixel, 8);
    EXPECT_EQ(p8.Pixels, pal.Pixels);
    std::uint8_t b, g, r;
    p8.GetBGR(2, 0, b, g, r);
    EXPECT_EQ(r, 255);  // entry 2 is stored blue, green, red

    const TBitmapImage rgb = Image24(3, 2, [](int x, int y, std::uint8_t* p) {
        p[0] = static_cast<std::uint8_t>(x);
        p[1] = static_cast<std::uint8_t>(y);
        p[2] = 7;
    });
    std::vector<std::uint8_t> bottomUp = EncodeBmp24(rgb);
    EXPECT_EQ(DecodeBmp(bottomUp).Pixels, rgb.Pixels);

    // The same picture stored top-down (negative height, rows reversed).
    std::vector<std::uint8_t> topDown = bottomUp;
    const std::int32_t negative = -2;
    std::memcpy(&topDown[22], &negative, 4);
    std::copy(bottomUp.begin() + 54, bottomUp.begin() + 66, topDown.begin() + 66);
    std::copy(bottomUp.begin() + 66, bottomUp.begin() + 78, topDown.begin() + 54);
    EXPECT_EQ(DecodeBmp(topDown).Pixels, rgb.Pixels);
}

TEST(SceneBitmaps, DamagedAndUnsupportedFilesRaise)
{
    const TBitmapImage rgb = Image24(5, 3, [](int, int, std::uint8_t* p) { p[0] = p[1] = p[2] = 9; });
    const std::vector<std::uint8_t> good = EncodeBmp24(rgb);
    for (std::size_t n = 0; n < good.size(); ++n) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_THROW(DecodeBmp(cut), EPyrelumeError) << n;
    }
    auto withField = [&](std::size_t at, std::uint32_t value, int bytes) {
        std::vector<std::uint8_t> v = good;
        for (int i = 0; i < bytes; ++i)
            v[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
        return v;
    };
    EXPECT_NE(ErrorOf([&] { DecodeBmp(withField(28, 32, 2)); }).find("32 bits per pixel"), std::string::npos);
    EXPECT_NE(ErrorOf([&] { DecodeBmp(withField(30, 1, 4)); }).find("compressed"), std::string::npos);
    EXPECT_NE(ErrorOf([&] { DecodeBmp(withField(0, 'X', 1)); }).find("signature"), std::string::npos);
    EXPECT_THROW(DecodeBmp(withField(18, 0x7FFFFFFF, 4)), EPyrelumeError);
    EXPECT_THROW(DecodeBmp(withField(10, 0xFFFFFFF0u, 4)), EPyrelumeError);
    EXPECT_THROW(DecodeBmp(withField(14, 12, 4)), EPyrelumeError);
    // Sides above the limit are refused from the header alone.
    EXPECT_NE(ErrorOf([&] { DecodeBmp(withField(22, MaxImageSide + 1, 4)); }).find("larger than 4096 x 4096"),
              std::string::npos);
    // An 8-bit header size near 2^32: the palette end must not wrap around.
    TBitmapImage pal;
    pal.BitsPerPixel = 8;
    pal.Width = 2;
    pal.Height = 2;
    pal.Pixels.assign(4, 1);
    std::vector<std::uint8_t> p8 = EncodeBmp8(pal);
    for (std::uint32_t header : {0xFFFFFFF0u, 0xFFFFFFFFu, 0xFFFFFBFFu}) {
        for (int i = 0; i < 4; ++i)
            p8[14 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(header >> (8 * i));
        EXPECT_NE(ErrorOf([&] { DecodeBmp(p8); }).find("truncated palette"), std::string::npos) << header;
    }
}

TEST(SceneBitmaps, JpegRoundTripAndDamage)
{
    const TBitmapImage rgb = Image24(16, 8, [](int, int, std::uint8_t* p) { p[0] = 40, p[1] = 120, p[2] = 200; });
    const auto jpg = EncodeJpeg(rgb, 95);
    const TBitmapImage back = DecodeJpeg(jpg);
    ASSERT_EQ(back.Width, 16);
    ASSERT_EQ(back.Height, 8);
    std::uint8_t b, g, r;
    back.GetBGR(5, 5, b, g, r);
    EXPECT_NEAR(r, 200, 4);
    EXPECT_NEAR(b, 40, 4);
    std::vector<std::uint8_t> cut(jpg.begin(), jpg.begin() + 20);
    EXPECT_THROW(DecodeJpeg(cut), EPyrelumeError);
    EXPECT_THROW(DecodeJpeg({}), EPyrelumeError);
    std::vector<std::uint8_t> junk(300, 0x5A);
    EXPECT_THROW(DecodeJpeg(junk), EPyrelumeError);
}

TEST(SceneTextureFiles, PairedAndSingleFileLists)
{
    TSceneTexture t;
    t.AlphaName = "x";
    t.FileList = {"G1.jpg", "G1A.jpg", "G2.jpg", "G2A.jpg"};
    t.SetFileIndex(1);
    EXPECT_EQ(t.TextureName, "G2.jpg");
    EXPECT_EQ(t.AlphaName, "G2A.jpg");
    EXPECT_EQ(t.GetFileIndex(), 1);
    t.SetFileIndex(2);
    EXPECT_EQ(t.TextureName, "G1.jpg");
    EXPECT_EQ(t.AlphaName, "G1A.jpg");

    TSceneTexture single;
    EXPECT_EQ(single.GetFileIndex(), -1);
    single.SetFileIndex(3);  // empty list: nothing
    EXPECT_EQ(single.FileIndex, -1);
    single.FileList = {"a.jpg", "b.jpg", "c.jpg"};
    single.SetFileIndex(4);
    EXPECT_EQ(single.TextureName, "b.jpg");
    single.SetFileIndex(-5);
    EXPECT_EQ(single.TextureName, "a.jpg");

    std::vector<std::string> names;
    FileListDisplayNames({".\\x\\Old_Brick.jpg", "Old_BrickA.jpg", "Stone.bmp", "StoneA.bmp"}, names, true);
    EXPECT_EQ(names, (std::vector<std::string>{"Old Brick", "Stone"}));
    EXPECT_EQ(ResourceScriptLine("Front.jpg"), "Front_jpg RCData Front.jpg");
    EXPECT_EQ(ResourceScriptLine(".\\a\\Guard.Big.BMP"), "Guard_Big.BMP Bitmap .\\a\\Guard.Big.BMP");
    EXPECT_EQ(FileListKeyName(".\\Scenes\\DemoFront.txt"), "DemoFront");
}

TEST(SceneTextureFiles, LoadTextureScalesToQualityFromDisk)
{
    testutil::ScratchDir scratch("scene_tex_load");
    const std::string dir = scratch.Dir();
    WriteFileBytes(dir + "big.bmp", EncodeBmp24(Image24(600, 520, [](int, int, std::uint8_t* p) { p[0] = 1, p[1] = 2, p[2] = 3; })));
    TSceneTextureList list;
    list.StoreName("Textures");
    list.Path = dir;
    list.SetQuality(TTextureQuality::Medium);
    TSceneTexture* t = list.AddOpaqueTexture("big.bmp", "big.bmp");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->ImageWidth, 600);
    EXPECT_EQ(t->ImageHeight, 520);
    ASSERT_NE(t->GLTexture(), nullptr);
    EXPECT_EQ(t->GLTexture()->Width(), 256);  // 512 x 512 at Medium
    EXPECT_EQ(t->GLTexture()->Height(), 256);
    EXPECT_EQ(t->GLTexture()->FramePixels()[2], 3);
    EXPECT_EQ(list.AddOpaqueTexture(".\\other\\big.bmp", "x.bmp"), t);  // same name: nothing new
    t->ReleaseTexture();
    EXPECT_EQ(t->GLTexture(), nullptr);
    t->EnsureLoaded();
    EXPECT_NE(t->GLTexture(), nullptr);

    // A damaged file on disk gives the decoder's error and leaves no half-built texture.
    WriteFileBytes(dir + "bad.bmp", std::vector<std::uint8_t>{'B', 'M', 1, 2, 3});
    TSceneTexture* bad = list.AddOpaqueTexture("ok.bmp", "big.bmp");
    bad->TextureName = dir + "bad.bmp";
    bad->ReleaseTexture();
    EXPECT_THROW(bad->EnsureLoaded(), EPyrelumeError);
    EXPECT_EQ(bad->GLTexture(), nullptr);
}

TEST(SceneTextureFiles, AnimatedTexturesKeepTheirFullSizeAtLowQuality)
{
    // The flame's producer writes its grid at the texture's size; a reduced
    // texture would take only the grid's top rows, where no flame burns.
    testutil::ScratchDir scratch("scene_tex_animated");
    const std::string dir = scratch.Dir();
    WriteFileBytes(dir + "flame.bmp", EncodeBmp24(Image24(256, 256, [](int, int, std::uint8_t* p) { p[0] = p[1] = p[2] = 9; })));
    TSceneTextureList list;
    list.StoreName("Textures");
    list.Path = dir;
    list.SetQuality(TTextureQuality::Low);
    TSceneTexture* still = list.AddAlphaTexture("still.bmp", "flame.bmp", "flame.bmp");
    ASSERT_NE(still, nullptr);
    ASSERT_NE(still->GLTexture(), nullptr);
    EXPECT_EQ(still->GLTexture()->Width(), 128);  // an ordinary picture is reduced

    TSceneTexture* flame = list.AddAlphaTexture("flameA.bmp", "flame.bmp", "flame.bmp");
    ASSERT_NE(flame, nullptr);
    flame->Animated = true;
    flame->ReleaseTexture();
    flame->EnsureLoaded();
    ASSERT_NE(flame->GLTexture(), nullptr);
    EXPECT_EQ(flame->GLTexture()->Width(), 256);
    EXPECT_EQ(flame->GLTexture()->Height(), 256);
    EXPECT_EQ(flame->GLTexture()->FramePixels()[3], 9);  // alpha from the grey image
}
