#pragma once
// Turning captured frame buffers into images on disk: numbered file names, a
// 24-bit bitmap built from the GL's bottom-up RGB rows, BMP and JPEG files.
#include <cstdint>
#include <string>
#include <vector>

// Top-down rows of blue, green, red triples, tightly packed.
struct TBitmap24 {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::vector<std::uint8_t> Pixels;
};

// Inserts count as "%.5d" four characters before the end ("Film.jpg", 1 -> "Film00001.jpg"),
// five for a ".jpeg" name ("Shot.jpeg" -> "Shot00001.jpeg"); a name shorter than
// that gets it at the start.
std::string NumberedFileName(const std::string& fileName, std::int32_t count);

// Captured rows (RGB triples, row 0 at the bottom, tightly packed) -> bitmap:
// captured row r becomes bitmap row height-1-r, red and blue swapped.
// Raises when the buffer is smaller than width x height x 3.
TBitmap24 BitmapFromCapture(const std::uint8_t* rgb, std::size_t size, std::int32_t width, std::int32_t height);

// Complete files in memory.
std::vector<std::uint8_t> EncodeBmp(const TBitmap24& bitmap);
// Baseline JPEG through libjpeg (quality clamped to 1..100). Raises on encoder errors.
std::vector<std::uint8_t> EncodeJpeg(const TBitmap24& bitmap, int quality);
// The encoder's default quality.
int DefaultJpegQuality();

enum class TImageFileKind { ikNone, ikBmp, ikJpeg };
// By the lower-cased extension: ".bmp", ".jpg"/".jpeg", anything else none.
TImageFileKind ImageFileKindOf(const std::string& fileName);
