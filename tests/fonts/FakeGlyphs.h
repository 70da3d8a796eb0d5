#pragma once
// A rasteriser for tests: every glyph is a solid grey (200) block of a fixed
// width and the font's height at the cell's corner.
#include "platform/GlyphRasterizer.h"

class FakeGlyphs : public IGlyphRasterizer {
public:
    explicit FakeGlyphs(int width) : width_(width) {}
    bool SelectFont(const TGlyphFont& font) override
    {
        LastHeight = font.Height;
        return true;
    }
    TGlyphExtent CharExtent(unsigned char) override { return {width_, LastHeight}; }
    void DrawChar(unsigned char, int x, int y, TGlyphBitmap& target) override
    {
        for (int j = 0; j < LastHeight; ++j)
            for (int i = 0; i < width_; ++i)
                if (x + i < target.Width && y + j < target.Height) {
                    std::uint8_t* p = target.Pixel(x + i, y + j);
                    p[0] = p[1] = p[2] = 200;
                }
    }
    int LastHeight = 0;

private:
    int width_;
};
