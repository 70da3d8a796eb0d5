#pragma once
// Decoded pictures for scene textures: 24-bit (blue, green, red) or 8-bit
// palettised, rows stored top-down and tightly packed. BMP files are read
// here; JPEG files through libjpeg.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct TBitmapImage {
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 24;  // 24 or 8
    std::vector<std::uint8_t> Pixels;  // Height rows of Width * (BitsPerPixel / 8) bytes, top row first
    std::array<std::uint8_t, 256 * 3> Palette{};  // blue, green, red per entry (8-bit images)

    bool Empty() const { return Width <= 0 || Height <= 0; }
    int RowBytes() const { return Width * (BitsPerPixel / 8); }
    // Blue, green, red of the pixel at (x, y), y counted from the top.
    void GetBGR(int x, int y, std::uint8_t& b, std::uint8_t& g, std::uint8_t& r) const;
};

// Reads a Windows bitmap: BITMAPINFOHEADER (or a later version of it),
// uncompressed, 24 bits or 8 bits with a palette, bottom-up or top-down.
// Anything else, and truncated data, raises an EPyrelumeError naming what.
TBitmapImage DecodeBmp(std::span<const std::uint8_t> bytes);
// Writes a 24-bit bottom-up bitmap (screenshots, tests and tools).
std::vector<std::uint8_t> EncodeBmp24(const TBitmapImage& image);
// Writes an 8-bit palettised bottom-up bitmap (tests and tools).
std::vector<std::uint8_t> EncodeBmp8(const TBitmapImage& image);

// Decodes a JPEG into a 24-bit image; damaged data raises an EPyrelumeError.
TBitmapImage DecodeJpeg(std::span<const std::uint8_t> bytes);
// Encodes an image as baseline JPEG, quality clamped to 1..100 (screenshots,
// tests and tools). An empty image or an encoder error raises.
std::vector<std::uint8_t> EncodeJpeg(const TBitmapImage& image, int quality);

// Largest power of two not above n, capped at 1024 (0 stays 0).
int PowerOfTwoBelow(int n);
bool IsTexturePowerOfTwo(int n);  // a power of two between 1 and 1024
// When a side is not a power of two between 1 and 1024, the image is stretched
// (nearest pixel) into a 24-bit image of PowerOfTwoBelow of each side.
void FitToPowerOfTwo(TBitmapImage& image);

// The limit on either side of a decoded image. A texture uses at most 1024
// pixels a side, and a picture of up to four times that still stretches down
// to it with every fourth pixel sampled (the step the Low quality uses). A
// 4096 x 4096 picture takes 48 MB while it is decoded; larger headers are
// refused before anything is allocated.
constexpr int MaxImageSide = 4096;
