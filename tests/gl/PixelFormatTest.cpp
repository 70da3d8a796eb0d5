#include <gtest/gtest.h>

#include "gl/GLPixelFormat.h"

namespace {
TGLPixelFormat Format(int color, int depth, int stencil = 0, int alpha = 0, bool doubleBuffer = true,
                      bool gdi = false, std::uint8_t flags = pfDrawToWindow)
{
    TGLPixelFormat f;
    f.ColorBits = color;
    f.DepthBits = depth;
    f.StencilBits = stencil;
    f.AlphaBits = alpha;
    f.DoubleBuffer = doubleBuffer;
    f.SupportGDI = gdi;
    f.Flags = flags;
    f.FormatNumber = 1;
    return f;
}
} // namespace

TEST(PixelFormatChoice, ExactMatchWinsEvenAfterHigherScores)
{
    const TGLPixelFormat request = DefaultPixelFormatRequest();
    // The first format scores full marks on every value it has, but its
    // depth differs; the exact match later in the list is still taken.
    std::vector<TGLPixelFormat> formats = {Format(32, 24, 8, 8), Format(16, 16), Format(32, 16, 8, 8)};
    EXPECT_EQ(SelectPixelFormat(formats, request), 2);
    // Zero request values never block a match: stencil and alpha 8 are fine.
    EXPECT_TRUE(PixelFormatMatches(request, formats[2]));
}

TEST(PixelFormatChoice, ScoresFollowTheWeightedRule)
{
    const TGLPixelFormat request = DefaultPixelFormatRequest();
    // 24-bit colour against a 32-bit request: 24 x 4096 / 32 = 3072; depth 16
    // exact: 3072; the three tests hold: 3 x 5120.
    EXPECT_EQ(PixelFormatScore(request, Format(24, 16)), 3072 + 3072 + 3 * 5120);
    // A larger value than requested scales by request / value: 16 x 3072 / 24 = 2048.
    EXPECT_EQ(PixelFormatScore(request, Format(32, 24)), 4096 + 2048 + 3 * 5120);
    // Zero requests (stencil, alpha, accum) contribute nothing.
    EXPECT_EQ(PixelFormatScore(request, Format(32, 16, 8, 8)), PixelFormatScore(request, Format(32, 16)));
    // Each failed test costs 5120.
    EXPECT_EQ(PixelFormatScore(request, Format(32, 16, 0, 0, false, true, pfDrawToBitmap)), 4096 + 3072);
}

TEST(PixelFormatChoice, HighestScoreFirstOnTies)
{
    const TGLPixelFormat request = DefaultPixelFormatRequest();
    std::vector<TGLPixelFormat> formats = {Format(16, 16), Format(24, 24), Format(24, 16), Format(24, 16, 8)};
    EXPECT_EQ(SelectPixelFormat(formats, request), 2);
}

TEST(PixelFormatChoice, EmptyOrWorthlessListGivesMinusOne)
{
    const TGLPixelFormat request = DefaultPixelFormatRequest();
    EXPECT_EQ(SelectPixelFormat({}, request), -1);
    // Nothing in common: zero values, no flags, other buffering and GDI.
    std::vector<TGLPixelFormat> formats = {Format(0, 0, 0, 0, false, true, 0)};
    EXPECT_EQ(PixelFormatScore(request, formats[0]), 0);
    EXPECT_EQ(SelectPixelFormat(formats, request), -1);
}

TEST(PixelFormatChoice, DescriptorFlagsBecomeFields)
{
    TGLPixelFormatDescriptor d;
    d.dwFlags = kPfdDrawToBitmap | kPfdSupportGdi | kPfdGenericFormat;
    d.cColorBits = 24;
    d.cAccumBits = 64;
    const TGLPixelFormat f = TGLPixelFormat::FromDescriptor(d, 5);
    EXPECT_EQ(f.Flags, pfDrawToBitmap);
    EXPECT_FALSE(f.DoubleBuffer);
    EXPECT_TRUE(f.SupportGDI);
    EXPECT_TRUE(f.IsGeneric());
    EXPECT_EQ(f.AccumBits, 64);
    EXPECT_EQ(f.FormatNumber, 5);
}

TEST(PixelFormatPalette, ThreeThreeTwoPaletteSpreadsToFullRange)
{
    TGLPixelFormatDescriptor d;
    d.dwFlags = kPfdNeedPalette;
    d.cColorBits = 8;
    d.cRedBits = 3, d.cRedShift = 0;
    d.cGreenBits = 3, d.cGreenShift = 3;
    d.cBlueBits = 2, d.cBlueShift = 6;
    const auto entries = BuildPaletteEntries(d);
    ASSERT_EQ(entries.size(), 256u);
    EXPECT_EQ(entries[0].Red, 0);
    EXPECT_EQ(entries[7].Red, 255);
    EXPECT_EQ(entries[3].Red, 3 * 255 / 7);
    EXPECT_EQ(entries[0xC0].Blue, 255);
    EXPECT_EQ(entries[0x40].Blue, 85);
    EXPECT_EQ(entries[0x38].Green, 255);
    EXPECT_EQ(entries[255].Flags, 0);
    d.cColorBits = 24;
    EXPECT_TRUE(BuildPaletteEntries(d).empty());
}
