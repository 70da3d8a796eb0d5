#pragma once
// The glyph rasteriser on Linux: FreeType with the DejaVu fonts of Debian's
// fonts-dejavu-core. Font names are matched to a DejaVu face (sans, serif or
// monospaced, with bold and oblique variants); heights are cell heights, as a
// positive font height is on Windows.
#include <memory>
#include <string>

#include "platform/GlyphRasterizer.h"

class TFreeTypeGlyphs : public IGlyphRasterizer {
public:
    // fontFolder: where the DejaVu files are; empty for the system's folder.
    explicit TFreeTypeGlyphs(std::string fontFolder = {});
    ~TFreeTypeGlyphs() override;
    TFreeTypeGlyphs(const TFreeTypeGlyphs&) = delete;
    TFreeTypeGlyphs& operator=(const TFreeTypeGlyphs&) = delete;

    bool SelectFont(const TGlyphFont& font) override;
    TGlyphExtent CharExtent(unsigned char code) override;
    void DrawChar(unsigned char code, int x, int y, TGlyphBitmap& target) override;

    // The font file chosen for a request (for diagnostics and tests).
    std::string FontFileFor(const TGlyphFont& font) const;
    const std::string& SelectedFile() const { return selectedFile_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string folder_;
    std::string selectedFile_;
    TGlyphFont font_;
};

// The Unicode code point of a Windows-1252 character code.
unsigned CodePointOf1252(unsigned char code);
