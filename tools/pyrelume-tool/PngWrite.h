#pragma once
// PNG output through libpng, for screenshots of the headless renderer.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Writes an 8-bit RGBA image (4 bytes per pixel, rows tightly packed). With
// bottomUp the first row in memory is the bottom row of the picture, as the GL
// returns it. The file is written beside its final name and renamed, so no
// half-written file is left on error. Raises EPyrelumeError on failure.
void WritePngRGBA(const std::string& path, int width, int height, const std::uint8_t* pixels, bool bottomUp);

// Reads an 8-bit RGBA image written by WritePngRGBA (or any PNG, converted to
// RGBA), rows top-down. Raises EPyrelumeError on failure.
std::vector<std::uint8_t> ReadPngRGBA(const std::string& path, int& width, int& height);
// The same from bytes in memory; name is used in the error messages. Pictures
// with a side above MaxImageSide are refused before their pixels are allocated.
std::vector<std::uint8_t> DecodePngRGBA(std::span<const std::uint8_t> bytes, const std::string& name, int& width,
                                        int& height);
