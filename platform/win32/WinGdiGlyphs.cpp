#include "platform/win32/WinGdiGlyphs.h"

#include "platform/win32/WinText.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

namespace {

wchar_t WideCharOf(unsigned char code)
{
    const char c = static_cast<char>(code);
    wchar_t wide = 0;
    if (MultiByteToWideChar(1252, 0, &c, 1, &wide, 1) != 1)
        wide = static_cast<wchar_t>(code);
    return wide;
}

} // namespace

struct TWinGdiGlyphs::Impl {
    HDC dc = nullptr;
    HFONT font = nullptr;
    HGDIOBJ originalFont = nullptr;

    void ReleaseFont()
    {
        if (font) {
            SelectObject(dc, originalFont);
            DeleteObject(font);
            font = nullptr;
        }
    }
};

TWinGdiGlyphs::TWinGdiGlyphs() : impl_(std::make_unique<Impl>())
{
    impl_->dc = CreateCompatibleDC(nullptr);
}

TWinGdiGlyphs::~TWinGdiGlyphs()
{
    impl_->ReleaseFont();
    if (impl_->dc)
        DeleteDC(impl_->dc);
}

bool TWinGdiGlyphs::SelectFont(const TGlyphFont& font)
{
    Impl& m = *impl_;
    if (!m.dc)
        return false;
    m.ReleaseFont();
    const std::wstring face = Widen(font.Name).substr(0, LF_FACESIZE - 1);
    m.font = CreateFontW(font.Height > 0 ? font.Height : 1, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL,
                         font.Italic ? TRUE : FALSE, font.Underline ? TRUE : FALSE, font.StrikeOut ? TRUE : FALSE,
                         DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    if (!m.font)
        return false;
    m.originalFont = SelectObject(m.dc, m.font);
    return true;
}

TGlyphExtent TWinGdiGlyphs::CharExtent(unsigned char code)
{
    Impl& m = *impl_;
    TGlyphExtent extent;
    if (!m.dc || !m.font)
        return extent;
    const wchar_t wide = WideCharOf(code);
    SIZE size{};
    if (GetTextExtentPoint32W(m.dc, &wide, 1, &size)) {
        extent.Width = size.cx;
        extent.Height = size.cy;
    }
    return extent;
}

void TWinGdiGlyphs::DrawChar(unsigned char code, int x, int y, TGlyphBitmap& target)
{
    Impl& m = *impl_;
    const TGlyphExtent extent = CharExtent(code);
    // Italic glyphs overhang their advance; draw into a wider cell.
    const int width = extent.Width + extent.Height / 2 + 1;
    const int height = extent.Height;
    if (width <= 0 || height <= 0 || target.Width <= 0 || target.Height <= 0)
        return;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(m.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap)
            DeleteObject(bitmap);
        return;
    }
    HGDIOBJ previous = SelectObject(m.dc, bitmap);
    RECT all{0, 0, width, height};
    FillRect(m.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetBkMode(m.dc, TRANSPARENT);
    SetTextColor(m.dc, RGB(255, 255, 255));
    const wchar_t wide = WideCharOf(code);
    TextOutW(m.dc, 0, 0, &wide, 1);
    GdiFlush();

    const auto* pixels = static_cast<const std::uint8_t*>(bits);
    for (int row = 0; row < height; ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= target.Height)
            continue;
        for (int col = 0; col < width; ++col) {
            const int tx = x + col;
            if (tx < 0 || tx >= target.Width)
                continue;
            const std::uint8_t* src = pixels + (static_cast<std::size_t>(row) * width + col) * 4;
            if (!src[0] && !src[1] && !src[2])
                continue;
            std::uint8_t* dst = target.Pixel(tx, ty);
            dst[0] = std::max(dst[0], src[2]);
            dst[1] = std::max(dst[1], src[1]);
            dst[2] = std::max(dst[2], src[0]);
        }
    }
    SelectObject(m.dc, previous);
    DeleteObject(bitmap);
}
