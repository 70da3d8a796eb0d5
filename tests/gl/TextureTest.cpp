#include <gtest/gtest.h>

#include "gl/Errors.h"
#include "gl/GLClasses.h"
#include "gl/GLState.h"
#include "tests/common/TestUtil.h"

using testutil::ErrorOf;

TEST(TextureSize, PowerOfTwoRule)
{
    TGLTexture t;
    EXPECT_NO_THROW(t.SetWidth(0));
    EXPECT_NO_THROW(t.SetHeight(512));
    t.SetWidth(64);
    EXPECT_EQ(ErrorOf([&] { t.SetWidth(100); }), "TGLTexture.SetWidth error: Width is not power 2");
    EXPECT_EQ(t.Width(), 64); // unchanged
    EXPECT_EQ(ErrorOf([&] { t.SetHeight(-4); }), "TGLTexture.SetHeight error: Height is not power 2");
    EXPECT_EQ(t.Height(), 512);
}

TEST(TextureSize, RowAndFrameSizesFollowFormatAndType)
{
    TGLTexture t; // 256 x 256 RGB bytes
    EXPECT_EQ(t.RowSize(), 768);
    EXPECT_EQ(t.FrameSize(), 196608);
    t.SetFormat(GL_RGBA4, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4);
    EXPECT_EQ(t.RowSize(), 512);
    t.SetPixelType(GL_FLOAT);
    EXPECT_EQ(t.BytesPerPixel(), 16);
    t.SetFormat(GL_LUMINANCE8_ALPHA8, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE);
    EXPECT_EQ(t.Components(), 2);
    EXPECT_EQ(TextureBytesPerPixel(GL_UNSIGNED_BYTE_3_3_2, 3), 1);
    EXPECT_EQ(TextureBytesPerPixel(GL_UNSIGNED_INT_2_10_10_10_REV, 4), 4);
    EXPECT_EQ(TextureComponents(GL_BGR_EXT), 3);
    EXPECT_EQ(TextureComponents(GL_ALPHA), 1);
}

TEST(TextureKinds, FormatsFollowTheListSwitches)
{
    TGLTextureList list;
    TGLTexture* plain = list.AddRGBA4(16, 16);
    EXPECT_EQ(plain->PixelType(), GL_UNSIGNED_BYTE);
    EXPECT_EQ(plain->DataSize(), 16u * 16u * 4u);

    list.UseBGRA = true;
    list.UsePackedPixels = true;
    list.DefaultFilter = GL_NEAREST;
    TGLTexture* packed = list.AddRGB5(8, 4);
    EXPECT_EQ(packed->Format(), GL_BGR_EXT);
    EXPECT_EQ(packed->PixelType(), GL_UNSIGNED_SHORT_5_6_5_REV);
    EXPECT_EQ(packed->RowSize(), 16);
    EXPECT_EQ(packed->Filter, GL_NEAREST);

    list.UseBGRA = false;
    EXPECT_EQ(list.AddRGB5A1(2, 2)->PixelType(), GL_UNSIGNED_SHORT_5_5_5_1);
    EXPECT_EQ(list.AddRGBA8(2, 2)->PixelType(), GL_UNSIGNED_INT_8_8_8_8);
    EXPECT_EQ(list.AddCompressedRGB(2, 2)->InternalFormat(), list.CompressedRGBFormat);
}

TEST(TextureKinds, ZeroWidthGivesNoPixelsAndBadSizeNoTexture)
{
    TGLTextureList list;
    TGLTexture* t = list.AddRGB8(0, 128);
    EXPECT_EQ(t->Width(), 0);
    EXPECT_EQ(t->Height(), 0);
    EXPECT_EQ(t->Data(), nullptr);
    EXPECT_EQ(t->FramePixels(), nullptr);
    EXPECT_THROW(list.AddRGB8(100, 64), EPyrelumeError);
    EXPECT_EQ(list.Count(), 1); // the failed kind did not join the list
}

TEST(TexturePixels, FramesAndRowsStayInsideTheBlock)
{
    TGLTexture t;
    t.SetSize(4, 2);
    t.SetFrameCount(3);
    t.AllocateData();
    EXPECT_EQ(t.DataSize(), 3u * 24u);
    t.Frame = 2;
    EXPECT_EQ(t.FramePixels(), t.Data() + 48);
    EXPECT_EQ(t.RowPixels(1), t.Data() + 60);
    EXPECT_EQ(t.RowPixels(2), nullptr);
    t.Frame = 3;
    EXPECT_EQ(t.FramePixels(), nullptr);
    // Grown after allocation: the old block no longer holds a frame.
    t.Frame = 0;
    t.SetSize(64, 64);
    EXPECT_EQ(t.FramePixels(), nullptr);
    t.AllocateData();
    EXPECT_NE(t.FramePixels(), nullptr);
}

TEST(TextureMipmap, LevelSizesRunDownToOne)
{
    using L = std::vector<std::pair<int, int>>;
    EXPECT_EQ(MipmapLevelSizes(4, 1), (L{{4, 1}, {2, 1}, {1, 1}}));
    EXPECT_EQ(MipmapLevelSizes(2, 8), (L{{2, 8}, {1, 4}, {1, 2}, {1, 1}}));
    EXPECT_EQ(MipmapLevelSizes(1, 1), (L{{1, 1}}));
    EXPECT_TRUE(MipmapLevelSizes(0, 4).empty());
    EXPECT_TRUE(IsMipmapFilter(GL_LINEAR_MIPMAP_NEAREST));
    EXPECT_FALSE(IsMipmapFilter(GL_LINEAR));
}

TEST(TextureMipmap, SingleRowUsesEachRowTwice)
{
    std::uint8_t px[] = {10, 20, 30, 11, 21, 31, 100, 200, 250, 103, 201, 255};
    int w = 4, h = 1;
    MipmapHalve(px, w, h, 3);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 1);
    // (a + b + a + b) >> 2 truncates: (10 + 11) * 2 / 4 = 10.
    EXPECT_EQ(std::vector<int>(px, px + 6), (std::vector<int>{10, 20, 30, 101, 200, 252}));
    MipmapHalve(px, w, h, 3);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(std::vector<int>(px, px + 3), (std::vector<int>{55, 110, 141}));
}

TEST(TextureMipmap, TwoByTwoBoxAverageInPlace)
{
    // 4 x 2 RGBA: left block all 4s and 8s, right block 0/255 mix.
    std::uint8_t px[] = {4, 4, 4, 4, 8, 8, 8, 8, 0, 0, 0, 0, 255, 255, 255, 255,
                         4, 4, 4, 4, 8, 8, 8, 8, 255, 255, 255, 255, 255, 255, 255, 255};
    int w = 4, h = 2;
    MipmapHalve(px, w, h, 4);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(std::vector<int>(px, px + 8), (std::vector<int>{6, 6, 6, 6, 191, 191, 191, 191}));
}

TEST(TextureUpload, WithoutALibraryNothingIsUploaded)
{
    ClearGLEntryPoints();
    TGLTextureList list;
    TGLTexture* t = list.AddRGB8(4, 4);
    t->Enable();
    t->UpdateData();
    EXPECT_FALSE(t->Uploaded());
    TGLMaterial m;
    m.Apply();
    EXPECT_EQ(m.Changed(), mcAll); // still to be sent
    // State switches are ignored rather than calling missing entry points.
    SwitchGLCapability(GL_CULL_FACE, true);
    SwitchGLCapability(GL_DEPTH_TEST, false);
}
