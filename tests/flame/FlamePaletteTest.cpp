#include <gtest/gtest.h>

#include <cstdint>

#include "fire/FlameClasses.h"

namespace {

TFlamePixel Pixel(int r, int g, int b, int a)
{
    return TFlamePixel{static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(r),
                       static_cast<std::uint8_t>(a)};
}

TFlamePixel Swapped(TFlamePixel p)
{
    std::swap(p.B, p.R);
    return p;
}

std::uint8_t Byte(const TFlamePixel& p, int k)
{
    const std::uint8_t bytes[4] = {p.B, p.G, p.R, p.A};
    return bytes[k];
}

// The dither rule stated by bit pattern: bits 3..2 = 10 gain 16 in variants 1 and 2,
// bits 3..2 = 11 in variants 0, 1 and 2; bytes from 240 up never change.
std::uint8_t Dithered(std::uint8_t b, int v)
{
    if (b >= 240)
        return b;
    const int bits = (b >> 2) & 3;
    if ((bits == 2 && (v == 1 || v == 2)) || (bits == 3 && v != 3))
        return static_cast<std::uint8_t>(b + 16);
    return b;
}

} // namespace

TEST(FlamePalette, ControlColoursSitAtTheirPositions)
{
    struct Case {
        int index;
        TFlamePixel c[5];
    };
    const Case cases[] = {
        {0, {Pixel(0, 0, 64, 0), Pixel(0, 0, 128, 0), Pixel(255, 100, 0, 150), Pixel(255, 255, 150, 200), Pixel(255, 255, 255, 255)}},
        {1, {Pixel(0, 0, 64, 0), Pixel(0, 0, 128, 0), Pixel(255, 128, 0, 150), Pixel(255, 255, 160, 200), Pixel(255, 255, 255, 255)}},
        {2, {Pixel(0, 0, 64, 0), Pixel(0, 0, 128, 0), Pixel(255, 140, 0, 150), Pixel(255, 255, 160, 200), Pixel(255, 255, 255, 255)}},
        {3, {Pixel(0, 0, 64, 0), Pixel(0, 0, 128, 0), Pixel(255, 160, 0, 150), Pixel(255, 255, 160, 200), Pixel(255, 255, 255, 255)}},
        {4, {Pixel(25, 10, 0, 210), Pixel(64, 16, 0, 180), Pixel(255, 140, 0, 255), Pixel(255, 255, 140, 255), Pixel(255, 255, 255, 255)}},
        {-1, {Pixel(25, 10, 0, 210), Pixel(64, 16, 0, 180), Pixel(255, 140, 0, 255), Pixel(255, 255, 140, 255), Pixel(255, 255, 255, 255)}},
    };
    const int positions[] = {0, 256, 400, 500, 1024};
    TFlame2D f;
    for (const Case& c : cases) {
        f.SetFlameColor(c.index);
        EXPECT_TRUE(f.TaperedPositions());
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(f.Palette()[positions[k]], c.c[k]) << "index " << c.index << " control " << k;

        // Every channel moves monotonically from one control colour to the next.
        for (int k = 0; k < 4; ++k) {
            for (int ch = 0; ch < 4; ++ch) {
                const int from = Byte(c.c[k], ch), to = Byte(c.c[k + 1], ch);
                int prev = from;
                for (int n = positions[k]; n <= positions[k + 1]; ++n) {
                    const int b = Byte(f.Palette()[n], ch);
                    ASSERT_TRUE(to >= from ? (b >= prev && b <= to) : (b <= prev && b >= to))
                        << "index " << c.index << " entry " << n << " channel " << ch;
                    prev = b;
                }
            }
        }
    }
}

TEST(FlamePalette, InterpolationTruncatesTowardZero)
{
    TFlame2D f;  // colour set 0, tapered positions: 256..399 run from c1 to c2 over 144 steps
    EXPECT_EQ(f.Palette()[256 + 72], Pixel(127, 50, 64, 75));
    // A falling channel: 128 + 1 * (0 - 128) div 144 is 128, not 127.
    EXPECT_EQ(f.Palette()[257].B, 128);
    EXPECT_EQ(f.Palette()[399], Pixel(253, 99, 1, 148));

    // Light map: even positions, brown (6,3,0,128) fading to transparent black at 256.
    EXPECT_EQ(f.LightPalette()[0], Pixel(6, 3, 0, 128));
    EXPECT_EQ(f.LightPalette()[128], Pixel(3, 2, 0, 64));
    for (int n = 256; n <= 1024; ++n)
        ASSERT_EQ(f.LightPalette()[n], Pixel(0, 0, 0, 0)) << n;
    // The light palette is the same for every colour set.
    const auto light = f.LightPalette();
    f.SetFlameColor(4);
    EXPECT_EQ(f.LightPalette(), light);
}

TEST(FlamePalette, DitherVariantsFollowTheBitPattern)
{
    TFlame2D f;
    int raisedPattern10 = 0, raisedPattern11 = 0, highBytes = 0;
    for (int index : {0, 1, 2, 3, 4}) {
        f.SetFlameColor(index);
        for (int n = 0; n < TFlame2D::PaletteSize; ++n) {
            for (int v = 0; v < 4; ++v) {
                for (int ch = 0; ch < 4; ++ch) {
                    const std::uint8_t b = Byte(f.Palette()[n], ch);
                    const std::uint8_t d = Byte(f.DitherPalette()[n][v], ch);
                    ASSERT_EQ(d, Dithered(b, v)) << "entry " << n << " variant " << v << " byte " << ch;
                    raisedPattern10 += d != b && ((b >> 2) & 3) == 2;
                    raisedPattern11 += d != b && ((b >> 2) & 3) == 3;
                    highBytes += b >= 240 && (b & 8);
                }
            }
        }
    }
    // The palettes exercise every branch of the rule.
    EXPECT_GT(raisedPattern10, 0);
    EXPECT_GT(raisedPattern11, 0);
    EXPECT_GT(highBytes, 0);
    EXPECT_EQ(Dithered(0x48, 0), 0x48);
    EXPECT_EQ(Dithered(0x48, 1), 0x58);
    EXPECT_EQ(Dithered(0x48, 2), 0x58);
    EXPECT_EQ(Dithered(0x48, 3), 0x48);
    EXPECT_EQ(Dithered(0xF8, 1), 0xF8);
}

TEST(FlamePalette, SwapExchangesRedAndBlueOfFlamePalettesOnly)
{
    TFlame2D f;
    const auto palette = f.Palette();
    const auto dither = f.DitherPalette();
    const auto light = f.LightPalette();

    f.SetSwapBytes(true);
    EXPECT_EQ(f.Palette(), palette);  // no effect until rebuilt
    f.RebuildPalette();
    for (int n = 0; n < TFlame2D::PaletteSize; ++n) {
        ASSERT_EQ(f.Palette()[n], Swapped(palette[n])) << n;
        for (int v = 0; v < 4; ++v)
            ASSERT_EQ(f.DitherPalette()[n][v], Swapped(dither[n][v])) << n;
    }
    EXPECT_EQ(f.LightPalette(), light);

    // Selecting a colour while the swap is set swaps the light map too ...
    f.SetFlameColor(0);
    EXPECT_EQ(f.LightPalette()[0], Swapped(light[0]));
    EXPECT_EQ(f.Palette(), [&] {
        auto p = palette;
        for (auto& e : p)
            e = Swapped(e);
        return p;
    }());
    // ... and clearing it afterwards restores only the flame palettes.
    f.SetSwapBytes(false);
    f.RebuildPalette();
    EXPECT_EQ(f.Palette(), palette);
    EXPECT_EQ(f.DitherPalette(), dither);
    EXPECT_EQ(f.LightPalette()[0], Swapped(light[0]));
}
