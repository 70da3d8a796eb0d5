// The clock picture: a translucent plate, the digits, the colon, the date
// separator, the day names and the am/pm marks, each inside its sprite's
// rectangle of a 256 x 256 image. The clock tints its sprites, so the picture
// is grey: white glyphs with a soft grey glow. Glyphs come from a TrueType
// font rasterised with FreeType.
#include <cmath>
#include <memory>
#include <stdexcept>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "tools/assetgen/AssetGen.h"

namespace assetgen {

namespace {

struct FtLibrary {
    FT_Library lib = nullptr;
    FtLibrary() {
        if (FT_Init_FreeType(&lib)) throw std::runtime_error("FreeType initialisation failed");
    }
    ~FtLibrary() { FT_Done_FreeType(lib); }
    FtLibrary(const FtLibrary&) = delete;
    FtLibrary& operator=(const FtLibrary&) = delete;
};

struct FtFace {
    FT_Face face = nullptr;
    FtFace(FT_Library lib, const std::string& file) {
        if (FT_New_Face(lib, file.c_str(), 0, &face)) throw std::runtime_error("cannot open font " + file);
    }
    ~FtFace() { FT_Done_Face(face); }
    FtFace(const FtFace&) = delete;
    FtFace& operator=(const FtFace&) = delete;
};

struct Rect {
    int x, y, w, h;
};

// Coverage of a text line rendered at pixel size (sx, sy), with its ink box.
struct Ink {
    int w = 0, h = 0;
    std::vector<float> cov;
    int inkX0 = 0, inkX1 = 0;   // ink columns
    int baseline = 0;           // row of the baseline in `cov`
};

Ink Render(FT_Face face, const std::string& text, int sx, int sy) {
    FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(sx), static_cast<FT_UInt>(sy));
    const int pad = 4;
    int asc = static_cast<int>(face->size->metrics.ascender >> 6), desc = static_cast<int>(-(face->size->metrics.descender >> 6));
    int width = pad * 2;
    for (char ch : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(ch), FT_LOAD_DEFAULT)) throw std::runtime_error("missing glyph");
        width += static_cast<int>(face->glyph->advance.x >> 6);
    }
    Ink ink;
    ink.w = width;
    ink.h = asc + desc + pad * 2;
    ink.baseline = pad + asc;
    ink.cov.assign(static_cast<std::size_t>(ink.w) * ink.h, 0.0f);
    int penX = pad;
    for (char ch : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(ch), FT_LOAD_RENDER)) throw std::runtime_error("glyph render failed");
        const FT_Bitmap& bm = face->glyph->bitmap;
        int ox = penX + face->glyph->bitmap_left, oy = ink.baseline - face->glyph->bitmap_top;
        for (unsigned r = 0; r < bm.rows; ++r)
            for (unsigned c = 0; c < bm.width; ++c) {
                int x = ox + static_cast<int>(c), y = oy + static_cast<int>(r);
                if (x < 0 || y < 0 || x >= ink.w || y >= ink.h) continue;
                float v = bm.buffer[r * static_cast<unsigned>(bm.pitch) + c] / 255.0f;
                float& d = ink.cov[static_cast<std::size_t>(y) * ink.w + x];
                d = std::max(d, v);
            }
        penX += static_cast<int>(face->glyph->advance.x >> 6);
    }
    ink.inkX0 = ink.w;
    ink.inkX1 = -1;
    for (int y = 0; y < ink.h; ++y)
        for (int x = 0; x < ink.w; ++x)
            if (ink.cov[static_cast<std::size_t>(y) * ink.w + x] > 0.02f) {
                ink.inkX0 = std::min(ink.inkX0, x);
                ink.inkX1 = std::max(ink.inkX1, x);
            }
    return ink;
}

int InkWidth(const Ink& i) { return i.inkX1 >= i.inkX0 ? i.inkX1 - i.inkX0 + 1 : 0; }

// Largest size (keeping the aspect sx:sy) at which every text's ink fits
// `maxW` and whose cap height reaches at most `maxH`.
void FitSize(FT_Face face, const std::vector<std::string>& texts, int maxW, int maxH, float aspect, int& sx, int& sy) {
    for (sy = maxH * 2; sy > 4; --sy) {
        sx = std::max(4, static_cast<int>(std::lround(sy * aspect)));
        FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(sx), static_cast<FT_UInt>(sy));
        FT_Load_Char(face, 'H', FT_LOAD_DEFAULT);
        int cap = static_cast<int>(face->glyph->metrics.height >> 6);
        if (cap > maxH) continue;
        bool fits = true;
        for (const std::string& t : texts)
            if (InkWidth(Render(face, t, sx, sy)) > maxW) fits = false;
        if (fits) return;
    }
}

// Puts text into a rectangle: ink centred horizontally, cap height centred
// vertically, with a soft glow; everything stays inside the rectangle.
void Place(FT_Face face, Image& colour, Image& alpha, Rect r, const std::string& text, int sx, int sy) {
    Ink ink = Render(face, text, sx, sy);
    FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(sx), static_cast<FT_UInt>(sy));
    FT_Load_Char(face, 'H', FT_LOAD_DEFAULT);
    int cap = static_cast<int>(face->glyph->metrics.height >> 6);
    int dx = r.x + (r.w - InkWidth(ink)) / 2 - ink.inkX0;
    int dy = r.y + (r.h - cap + 1) / 2 + cap - ink.baseline;
    std::vector<float> cov(static_cast<std::size_t>(r.w) * r.h, 0.0f);
    for (int y = 0; y < ink.h; ++y)
        for (int x = 0; x < ink.w; ++x) {
            int tx = x + dx - r.x, ty = y + dy - r.y;
            if (tx < 1 || ty < 1 || tx >= r.w - 1 || ty >= r.h - 1) continue;
            cov[static_cast<std::size_t>(ty) * r.w + tx] = ink.cov[static_cast<std::size_t>(y) * ink.w + x];
        }
    // glow: two box blurs of radius 2
    std::vector<float> glow = cov, tmp(cov.size());
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < r.h; ++y)
            for (int x = 0; x < r.w; ++x) {
                float s = 0;
                int n = 0;
                for (int k = -2; k <= 2; ++k) {
                    int xx = x + k;
                    if (xx < 0 || xx >= r.w) continue;
                    s += glow[static_cast<std::size_t>(y) * r.w + xx];
                    ++n;
                }
                tmp[static_cast<std::size_t>(y) * r.w + x] = s / 5;
                (void)n;
            }
        for (int y = 0; y < r.h; ++y)
            for (int x = 0; x < r.w; ++x) {
                float s = 0;
                for (int k = -2; k <= 2; ++k) {
                    int yy = y + k;
                    if (yy < 0 || yy >= r.h) continue;
                    s += tmp[static_cast<std::size_t>(yy) * r.w + x];
                }
                glow[static_cast<std::size_t>(y) * r.w + x] = s / 5;
            }
    }
    for (int y = 1; y < r.h - 1; ++y)
        for (int x = 1; x < r.w - 1; ++x) {
            std::size_t i = static_cast<std::size_t>(y) * r.w + x;
            float c = cov[i], g = std::min(1.0f, glow[i] * 1.6f) * 0.5f;
            float a = c + g * (1 - c);
            float lum = a > 0 ? (c + g * (1 - c) * 0.55f) / a : 0;
            colour.At(r.x + x, r.y + y) = {lum, lum, lum};
            alpha.At(r.x + x, r.y + y) = {a, a, a};
        }
}

// The plate behind the clock: a dark translucent rounded panel with a light
// rim and a rule between the time above and the date below.
void Plate(Image& colour, Image& alpha, Rect r) {
    const float radius = 9;
    for (int y = 0; y < r.h; ++y)
        for (int x = 0; x < r.w; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float qx = std::max(0.0f, std::max(radius - px, px - (r.w - radius)));
            float qy = std::max(0.0f, std::max(radius - py, py - (r.h - radius)));
            float d = radius - std::hypot(qx, qy);  // distance inside the rounded outline
            float inside = Clamp01(d - 0.5f);
            float rim = Clamp01(1.6f - std::fabs(d - 2.5f));
            float fill = 0.42f + 0.12f * (1 - py / r.h);
            float rule = (y == 80 && x > 10 && x < r.w - 10) ? 0.55f : 0.0f;
            float a = inside * std::max(std::max(fill, rim * 0.9f), rule);
            float lum = rim > 0.3f ? 0.9f : (rule > 0 ? 0.7f : 0.16f + 0.1f * (1 - py / r.h));
            colour.At(r.x + x, r.y + y) = {lum, lum, lum};
            alpha.At(r.x + x, r.y + y) = {a, a, a};
        }
}

}  // namespace

void WriteClock(const std::string& dir, const std::string& fontFile) {
    FtLibrary lib;
    FtFace font(lib.lib, fontFile);
    FT_Face face = font.face;
    Image colour(256, 256), alpha(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            colour.A(x, y) = 1;
            alpha.A(x, y) = 1;
        }
    Plate(colour, alpha, {0, 0, 180, 131});

    std::vector<std::string> digits;
    for (char c = '0'; c <= '9'; ++c) digits.push_back(std::string(1, c));
    int dsx = 0, dsy = 0;
    FitSize(face, digits, 28, 46, 0.62f, dsx, dsy);
    for (int i = 0; i < 10; ++i) {
        Rect r = i < 5 ? Rect{36 * i, 140, 36, 58} : Rect{36 * (i - 5), 198, 36, 58};
        Place(face, colour, alpha, r, digits[static_cast<std::size_t>(i)], dsx, dsy);
    }
    Place(face, colour, alpha, {180, 198, 13, 58}, ":", dsx, dsy);
    Place(face, colour, alpha, {216, 198, 36, 58}, "/", dsx, dsy);

    const char* days[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
    const int dayV[] = {0, 27, 55, 83, 111, 139, 167};
    int wsx = 0, wsy = 0;
    FitSize(face, std::vector<std::string>(days, days + 7), 58, 16, 1.0f, wsx, wsy);
    for (int i = 0; i < 7; ++i) Place(face, colour, alpha, {184, dayV[i], 66, 25}, days[i], wsx, wsy);

    int asx = 0, asy = 0;
    FitSize(face, {"AM", "PM"}, 21, 10, 1.0f, asx, asy);
    Place(face, colour, alpha, {192, 199, 25, 17}, "AM", asx, asy);
    Place(face, colour, alpha, {192, 215, 25, 17}, "PM", asx, asy);

    WriteGreyBmp8(dir + "/clock.bmp", colour);
    WriteGreyBmp8(dir + "/ClockA.bmp", alpha);
}

}  // namespace assetgen
