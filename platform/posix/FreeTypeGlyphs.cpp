#include "platform/posix/FreeTypeGlyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <map>

namespace {

const char* const kDefaultFolder = "/usr/share/fonts/truetype/dejavu/";

std::string Lower(std::string s)
{
    for (auto& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

int Round26(FT_Pos v)
{
    return static_cast<int>((v + 32) >> 6);
}

} // namespace

unsigned CodePointOf1252(unsigned char code)
{
    static const unsigned k80[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                     0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    if (code >= 0x80 && code < 0xA0)
        return k80[code - 0x80];
    return code;
}

struct TFreeTypeGlyphs::Impl {
    FT_Library library = nullptr;
    std::map<std::string, FT_Face> faces; // by file
    FT_Face face = nullptr;
    int ascender = 0;

    ~Impl()
    {
        for (auto& f : faces)
            if (f.second)
                FT_Done_Face(f.second);
        if (library)
            FT_Done_FreeType(library);
    }

    FT_Face Open(const std::string& file)
    {
        auto it = faces.find(file);
        if (it != faces.end())
            return it->second;
        FT_Face f = nullptr;
        if (!library || FT_New_Face(library, file.c_str(), 0, &f) != 0)
            f = nullptr;
        faces[file] = f;
        return f;
    }

    // Loads the glyph of a code; false for codes without one.
    bool Load(unsigned char code, FT_Int32 flags)
    {
        if (!face || code < 32 || code == 127)
            return false;
        const unsigned cp = CodePointOf1252(code);
        if (cp == 0)
            return false;
        const FT_UInt index = FT_Get_Char_Index(face, cp);
        if (index == 0)
            return false;
        return FT_Load_Glyph(face, index, flags) == 0;
    }
};

TFreeTypeGlyphs::TFreeTypeGlyphs(std::string fontFolder) : impl_(std::make_unique<Impl>()), folder_(std::move(fontFolder))
{
    if (folder_.empty())
        folder_ = kDefaultFolder;
    if (folder_.back() != '/')
        folder_ += '/';
    if (FT_Init_FreeType(&impl_->library) != 0)
        impl_->library = nullptr;
}

TFreeTypeGlyphs::~TFreeTypeGlyphs() = default;

std::string TFreeTypeGlyphs::FontFileFor(const TGlyphFont& font) const
{
    const std::string name = Lower(font.Name);
    std::string family = "DejaVuSans";
    bool serif = false;
    if (name.find("mono") != std::string::npos || name.find("courier") != std::string::npos ||
        name.find("consol") != std::string::npos || name.find("fixed") != std::string::npos)
        family = "DejaVuSansMono";
    else if (name.find("times") != std::string::npos || name.find("georgia") != std::string::npos ||
             (name.find("serif") != std::string::npos && name.find("sans") == std::string::npos)) {
        family = "DejaVuSerif";
        serif = true;
    }
    // Most specific first; fonts-dejavu-core has no oblique faces, so the
    // search falls back to the upright ones.
    std::vector<std::string> candidates;
    const std::string slant = serif ? "Italic" : "Oblique";
    if (font.Bold && font.Italic)
        candidates.push_back(family + "-Bold" + slant + ".ttf");
    if (font.Bold)
        candidates.push_back(family + "-Bold.ttf");
    if (font.Italic)
        candidates.push_back(family + "-" + slant + ".ttf");
    candidates.push_back(family + ".ttf");
    candidates.push_back("DejaVuSans.ttf");
    for (const auto& c : candidates)
        if (std::filesystem::exists(folder_ + c))
            return folder_ + c;
    return {};
}

bool TFreeTypeGlyphs::SelectFont(const TGlyphFont& font)
{
    impl_->face = nullptr;
    selectedFile_.clear();
    if (font.Height < 1 || font.Height > 4096)
        return false;
    const std::string file = FontFileFor(font);
    if (file.empty())
        return false;
    FT_Face face = impl_->Open(file);
    if (!face)
        return false;
    FT_Size_RequestRec req{};
    req.type = FT_SIZE_REQUEST_TYPE_CELL;
    req.height = static_cast<FT_Long>(font.Height) << 6;
    if (FT_Request_Size(face, &req) != 0 && FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(font.Height)) != 0)
        return false;
    impl_->face = face;
    impl_->ascender = Round26(face->size->metrics.ascender);
    selectedFile_ = file;
    font_ = font;
    return true;
}

TGlyphExtent TFreeTypeGlyphs::CharExtent(unsigned char code)
{
    TGlyphExtent e;
    e.Height = impl_->face ? font_.Height : 0;
    if (impl_->Load(code, FT_LOAD_DEFAULT))
        e.Width = Round26(impl_->face->glyph->advance.x);
    return e;
}

void TFreeTypeGlyphs::DrawChar(unsigned char code, int x, int y, TGlyphBitmap& target)
{
    if (!impl_->Load(code, FT_LOAD_RENDER))
        return;
    FT_GlyphSlot g = impl_->face->glyph;
    const FT_Bitmap& b = g->bitmap;
    auto plot = [&](int px, int py, int v) {
        if (px < 0 || py < 0 || px >= target.Width || py >= target.Height || v <= 0)
            return;
        std::uint8_t* p = target.Pixel(px, py);
        const auto c = static_cast<std::uint8_t>(std::min(v, 255));
        for (int ch = 0; ch < 3; ++ch)
            p[ch] = std::max(p[ch], c);
    };
    const int left = x + g->bitmap_left;
    const int top = y + impl_->ascender - g->bitmap_top;
    for (unsigned row = 0; row < b.rows; ++row) {
        const unsigned char* src = b.buffer + static_cast<std::ptrdiff_t>(row) * b.pitch;
        for (unsigned col = 0; col < b.width; ++col) {
            int v;
            if (b.pixel_mode == FT_PIXEL_MODE_MONO)
                v = (src[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
            else
                v = src[col];
            plot(left + static_cast<int>(col), top + static_cast<int>(row), v);
        }
    }
    // Underline and strike-out run over the whole advance.
    const int advance = Round26(g->advance.x);
    const int thickness = std::max(1, font_.Height / 16);
    auto line = [&](int yTop) {
        for (int t = 0; t < thickness; ++t)
            for (int px = 0; px < advance; ++px)
                plot(x + px, yTop + t, 255);
    };
    const int baseline = y + impl_->ascender;
    if (font_.Underline)
        line(baseline + std::max(1, thickness));
    if (font_.StrikeOut)
        line(baseline - impl_->ascender / 3);
}
