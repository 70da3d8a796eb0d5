#include <gtest/gtest.h>

#include <cstdint>

#include "fire/FlameClasses.h"

namespace {

TFlamePixel Pixel(int r, int g, int b, int a)
{
    return {std::uint8_t(b), std::uint8_t(g), std::uint8_t(r), std::uint8_t(a)};
}

TFlamePixel Swapped(TFlamePixel p)
{
    std::swap(p.B, p.R);
    return p;
}

std::uint8_t Byte(const TFlamePixel& p, int k) { return k == 0 ? p.B : k == 1 ? p.G : k == 2 ? p.R : p.A; }

} // namespace

TEST(FlamePalette, ControlColoursSitAtTheirPositionsAndChannelsAreMonotonic)
{
    const int positions[] = {0, 256, 400, 500, 1024};
    const TFlamePixel red[] = {Pixel(0, 0, 64, 0), Pixel(0, 0, 128, 0), Pixel(255, 100, 0, 150),
                               Pixel(255, 255, 150, 200), Pixel(255, 255, 255, 255)};
    const TFlamePixel other[] = {Pixel(25, 10, 0, 210), Pixel(64, 16, 0, 180), Pixel(255, 140, 0, 255),
                                 Pixel(255, 255, 140, 255), Pixel(255, 255, 255, 255)};
    TFlame2D f;
    for (int index : {0, 1, 2, 3, 4, -1}) {
        f.SetFlameColor(index);
        const auto& p = f.Palette();
        if (index == 0 || index >= 4 || index < 0) {
            for (int k = 0; k < 5; ++k)
                EXPECT_EQ(p[positions[k]], (index == 0 ? red : other)[k]) << index << " control " << k;
        }
        EXPECT_EQ(p[1024], Pixel(255, 255, 255, 255));
        for (int k = 0; k < 4; ++k)
            for (int ch = 0; ch < 4; ++ch) {
                const int from = Byte(p[positions[k]], ch), to = Byte(p[positions[k + 1]], ch);
                for (int n = positions[k]; n < positions[k + 1]; ++n) {
                    const int a = Byte(p[n], ch), b = Byte(p[n + 1], ch);
                    ASSERT_TRUE(to >= from ? a <= b : a >= b) << index << " entry " << n << " byte " << ch;
                }
            }
    }
}

TEST(FlamePalette, InterpolationTruncatesTowardZero)
{
    TFlame2D f;  // set 0: entries 256..399 run from c1 to c2 over 144 steps
    EXPECT_EQ(f.Palette()[256 + 72], Pixel(127, 50, 64, 75));
    EXPECT_EQ(f.Palette()[257].B, 128);  // 128 + (-128) div 144, not 127
    EXPECT_EQ(f.Palette()[399], Pixel(253, 99, 1, 148));
    // Light map: even positions, brown fading to transparent black at 256; same for every set.
    EXPECT_EQ(f.LightPalette()[0], Pixel(6, 3, 0, 128));
    EXPECT_EQ(f.LightPalette()[128], Pixel(3, 2, 0, 64));
    for (int n = 256; n <= 1024; ++n)
        ASSERT_EQ(f.LightPalette()[n], Pixel(0, 0, 0, 0)) << n;
    const auto light = f.LightPalette();
    f.SetFlameColor(4);
    EXPECT_EQ(f.LightPalette(), light);
}

TEST(FlamePalette, DitherRaisesBytesByTheirLowBits)
{
    // Bits 3..2 = 10 gain 16 in variants 1 and 2 (0x48 -> 0x58); 11 in variants 0..2;
    // bytes from 240 up (0xF8) and variant 3 never change.
    auto dithered = [](int b, int v) {
        const int bits = (b >> 2) & 3;
        return b < 240 && ((bits == 2 && (v == 1 || v == 2)) || (bits == 3 && v != 3)) ? b + 16 : b;
    };
    TFlame2D f;
    int seen10 = 0, seen11 = 0, seenHigh = 0;
    for (int index : {0, 1, 2, 3, 4}) {
        f.SetFlameColor(index);
        for (int n = 0; n < TFlame2D::PaletteSize; ++n)
            for (int v = 0; v < 4; ++v)
                for (int ch = 0; ch < 4; ++ch) {
                    const int b = Byte(f.Palette()[n], ch);
                    ASSERT_EQ(Byte(f.DitherPalette()[n][v], ch), dithered(b, v)) << n << " v" << v << " b" << ch;
                    seen10 += b == 0x48;
                    seen11 += b < 240 && ((b >> 2) & 3) == 3;
                    seenHigh += b >= 240 && (b & 8);
                }
    }
    EXPECT_TRUE(seen10 && seen11 && seenHigh);  // every branch of the rule was met
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
    // Selecting a colour while swapped swaps the light map too; clearing the swap
    // afterwards restores only the flame palettes.
    f.SetFlameColor(0);
    EXPECT_EQ(f.LightPalette()[0], Swapped(light[0]));
    f.SetSwapBytes(false);
    f.RebuildPalette();
    EXPECT_EQ(f.Palette(), palette);
    EXPECT_EQ(f.DitherPalette(), dither);
    EXPECT_EQ(f.LightPalette()[0], Swapped(light[0]));
}
