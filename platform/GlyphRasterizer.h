#pragma once
// The platform's text drawing as the bitmap fonts see it: select a font by
// name, style and cell height, measure one character, and draw it white into a
// black 24-bit picture. Windows draws with GDI, Linux with FreeType, tests with
// a fake. Without a rasteriser fonts build with empty glyphs.
#include <cstdint>
#include <string>
#include <vector>

// A 24-bit picture, rows top-down, three bytes per pixel (red, green, blue).
struct TGlyphBitmap {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Pixels;

    TGlyphBitmap() = default;
    TGlyphBitmap(int width, int height)
        : Width(width), Height(height), Pixels(static_cast<std::size_t>(width) * height * 3, 0) {}
    std::uint8_t* Pixel(int x, int y) { return &Pixels[(static_cast<std::size_t>(y) * Width + x) * 3]; }
    const std::uint8_t* Pixel(int x, int y) const { return &Pixels[(static_cast<std::size_t>(y) * Width + x) * 3]; }
};

struct TGlyphFont {
    std::string Name = "Arial";
    int Height = 16; // cell height in pixels (ascent plus descent)
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
};

struct TGlyphExtent {
    int Width = 0;  // advance in pixels
    int Height = 0; // cell height in pixels
};

class IGlyphRasterizer {
public:
    virtual ~IGlyphRasterizer() = default;
    // Chooses the font for the following calls; false when no font can be used.
    virtual bool SelectFont(const TGlyphFont& font) = 0;
    // The extent of one character code of the default (Windows-1252) character set.
    virtual TGlyphExtent CharExtent(unsigned char code) = 0;
    // Draws the character white (antialiased pixels grey) with its cell's
    // top-left corner at (x, y); pixels outside the picture are skipped.
    virtual void DrawChar(unsigned char code, int x, int y, TGlyphBitmap& target) = 0;
};
