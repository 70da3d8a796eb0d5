#pragma once
// Turning captured frame buffers into images on disk: numbered file names and
// a 24-bit bitmap built from the GL's bottom-up RGB rows. The bitmap is written
// with the scene's image encoders (EncodeBmp24, EncodeJpeg).
#include <cstdint>
#include <string>
#include <vector>

#include "scene/SceneImages.h"

// Inserts count as "%.5d" four characters before the end ("Film.jpg", 1 -> "Film00001.jpg"),
// five for a ".jpeg" name ("Shot.jpeg" -> "Shot00001.jpeg"); a name shorter than
// that gets it at the start.
std::string NumberedFileName(const std::string& fileName, std::int32_t count);

// Captured rows (RGB triples, row 0 at the bottom, tightly packed) -> 24-bit
// bitmap: captured row r becomes bitmap row height-1-r, red and blue swapped.
// Raises when the buffer is smaller than width x height x 3.
TBitmapImage BitmapFromCapture(const std::uint8_t* rgb, std::size_t size, std::int32_t width, std::int32_t height);

// The JPEG encoder's default quality.
int DefaultJpegQuality();

enum class TImageFileKind { ikNone, ikBmp, ikJpeg };
// By the lower-cased extension: ".bmp", ".jpg"/".jpeg", anything else none.
TImageFileKind ImageFileKindOf(const std::string& fileName);
