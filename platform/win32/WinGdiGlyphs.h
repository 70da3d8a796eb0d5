#pragma once
// The glyph rasteriser on Windows: GDI fonts drawn white on black into a
// device-independent bitmap, then copied into the caller's picture. Character
// codes are Windows-1252; heights are cell heights (a positive font height).
#include <memory>

#include "platform/GlyphRasterizer.h"

class TWinGdiGlyphs : public IGlyphRasterizer {
public:
    TWinGdiGlyphs();
    ~TWinGdiGlyphs() override;
    TWinGdiGlyphs(const TWinGdiGlyphs&) = delete;
    TWinGdiGlyphs& operator=(const TWinGdiGlyphs&) = delete;

    bool SelectFont(const TGlyphFont& font) override;
    TGlyphExtent CharExtent(unsigned char code) override;
    void DrawChar(unsigned char code, int x, int y, TGlyphBitmap& target) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
