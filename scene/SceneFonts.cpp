#include "scene/SceneFonts.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "gl/Errors.h"
#include "gl/GLClasses.h"
#include "platform/GlyphRasterizer.h"
#include "scene/SceneLoader.h"
#include "scene/SceneRender.h"
#include "scene/SceneTextures.h"

// ---------------------------------------------------------------- view

TGLViewport& SceneViewport(TMainScene* scene)
{
    if (scene && scene->OpenGL && scene->OpenGL->Viewports().Count() > 0)
        return *scene->OpenGL->Viewports().Viewport(0);
    static TGLViewport standIn;
    return standIn;
}

// ---------------------------------------------------------------- text forms

namespace {

bool Contains(const std::string& lowerText, const char* word)
{
    return lowerText.find(word) != std::string::npos;
}

std::string SetToStr(unsigned bits, std::initializer_list<const char*> names)
{
    std::string s = "[";
    unsigned bit = 1;
    for (const char* n : names) {
        if (bits & bit) {
            s += n;
            s += ",";
        }
        bit <<= 1;
    }
    if (s.size() > 1)
        s.back() = ']';
    else
        s += "]";
    return s;
}

} // namespace

std::string FontOptionsToStr(TFontOptions options)
{
    return SetToStr(options, {"FixedSize", "Soften", "BuildFromFont", "FixedView", "Scaled", "3DView"});
}

TFontOptions StrToFontOptions(const std::string& text)
{
    const std::string t = LowerAscii(text);
    TFontOptions o = 0;
    if (Contains(t, "fixedsize"))
        o |= foFixedSize;
    if (Contains(t, "soften"))
        o |= foSoften;
    if (Contains(t, "buildfromfont"))
        o |= foBuildFromFont;
    if (Contains(t, "fixedview"))
        o |= foFixedView;
    if (Contains(t, "scaled"))
        o |= foScaled;
    if (Contains(t, "3dview"))
        o |= fo3DView;
    return o;
}

std::string FontStyleToStr(TFontStyles style)
{
    return SetToStr(style, {"Bold", "Italic", "Underline", "StrikeOut"});
}

TFontStyles StrToFontStyle(const std::string& text)
{
    const std::string t = LowerAscii(text);
    TFontStyles s = 0;
    if (Contains(t, "bold"))
        s |= fsBold;
    if (Contains(t, "italic"))
        s |= fsItalic;
    if (Contains(t, "underline"))
        s |= fsUnderline;
    if (Contains(t, "strikeout"))
        s |= fsStrikeOut;
    return s;
}

std::uint8_t StrToOriginHorizontal(const std::string& text)
{
    const std::string t = LowerAscii(text);
    if (t == "left" || t == "top")
        return ohLeft;
    if (t == "right" || t == "bottom")
        return ohRight;
    return ohCenter;
}

std::string OriginHorizontalToStr(std::uint8_t origin)
{
    return origin == ohLeft ? "Left" : origin == ohRight ? "Right" : "Center";
}

std::uint8_t StrToOriginVertical(const std::string& text)
{
    const std::string t = LowerAscii(text);
    if (t == "left" || t == "top")
        return ovTop;
    if (t == "right" || t == "bottom")
        return ovBottom;
    return ovCenter;
}

std::string OriginVerticalToStr(std::uint8_t origin)
{
    return origin == ovTop ? "Top" : origin == ovBottom ? "Bottom" : "Center";
}

int PulseChannel(int c, float phase)
{
    const float d = 0.4f * static_cast<float>(c);
    const float v = phase >= 0.5f ? static_cast<float>(c) - d * (phase - 0.5f) : phase * d + 0.8f * static_cast<float>(c);
    return static_cast<int>(v);
}

// ---------------------------------------------------------------- TSceneFont

TSceneFont::TSceneFont()
{
    for (auto& e : charMap_)
        e.InSet = 1;
    Renumber();
}

TSceneFont::~TSceneFont()
{
    Release();
}

const TCharMapEntry& TSceneFont::GetCharMap(int code) const
{
    if (code < 0 || code > 255)
        RaiseError("TSceneFont", "GetCharMap", "Index out of bounds!");
    return charMap_[static_cast<std::size_t>(code)];
}

void TSceneFont::Renumber()
{
    int k = 0;
    for (auto& e : charMap_) {
        if (e.InSet)
            e.Cell = static_cast<std::uint8_t>(k++);
        else
            e.Cell = 0;
    }
    charCount_ = k;
}

void TSceneFont::ClearChars()
{
    for (auto& e : charMap_) {
        e.InSet = 0;
        e.Width = 0;
        e.Height = 0;
        e.Cell = 0;
    }
    charCount_ = 0;
}

void TSceneFont::AddCode(int code)
{
    if (code < 0 || code > 255)
        return;
    charMap_[static_cast<std::size_t>(code)].InSet = 1;
    Renumber();
}

void TSceneFont::AddCodeRange(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, 255);
    if (last < first)
        return;
    for (int c = first; c <= last; ++c)
        charMap_[static_cast<std::size_t>(c)].InSet = 1;
    Renumber();
}

void TSceneFont::AddChar(char c)
{
    AddCode(static_cast<unsigned char>(c));
}

void TSceneFont::AddCharRange(char first, char last)
{
    AddCodeRange(static_cast<unsigned char>(first), static_cast<unsigned char>(last));
}

void TSceneFont::AddString(const std::string& text)
{
    for (char c : text)
        charMap_[static_cast<unsigned char>(c)].InSet = 1;
    Renumber();
}

void TSceneFont::CheckSizes() const
{
    if (TextureSize < 1 || TextureSize > 2048 || (TextureSize & (TextureSize - 1)) != 0)
        RaiseError("TSceneFont", "Build", "TextureSize " + std::to_string(TextureSize) + " is not a power of 2 up to 2048");
    if (FontCellSize < 1 || FontCellSize > TextureSize)
        RaiseError("TSceneFont", "Build", "FontCellSize " + std::to_string(FontCellSize) + " does not fit the texture");
}

std::vector<std::uint8_t> TSceneFont::RenderGlyphs()
{
    CheckSizes();
    const int s = (FontOptions & foSoften) ? 2 : 1;
    const int perRow = TextureSize / FontCellSize;
    const int side = TextureSize * s;
    TGlyphBitmap bmp(side, side);

    IGlyphRasterizer* r = MainScene ? MainScene->Glyphs : nullptr;
    TGlyphFont font;
    font.Name = FontName;
    font.Height = FontCellSize * s;
    font.Bold = (FontStyle & fsBold) != 0;
    font.Italic = (FontStyle & fsItalic) != 0;
    font.Underline = (FontStyle & fsUnderline) != 0;
    font.StrikeOut = (FontStyle & fsStrikeOut) != 0;
    if (r && !r->SelectFont(font))
        r = nullptr;

    fixedAdvance_ = r ? r->CharExtent('W').Width / s : 0;
    for (int code = 0; code < 256; ++code) {
        TCharMapEntry& e = charMap_[static_cast<std::size_t>(code)];
        if (!e.InSet)
            continue;
        if (!r) {
            e.Width = 0;
            e.Height = 0;
            continue;
        }
        const TGlyphExtent ext = r->CharExtent(static_cast<unsigned char>(code));
        e.Width = ext.Width / s;
        e.Height = ext.Height / s;
        const int x = (e.Cell % perRow) * FontCellSize * s;
        const int y = (e.Cell / perRow) * FontCellSize * s;
        r->DrawChar(static_cast<unsigned char>(code), x, y, bmp);
    }

    if (s == 2) {
        TGlyphBitmap half(TextureSize, TextureSize);
        for (int y = 0; y < TextureSize; ++y)
            for (int x = 0; x < TextureSize; ++x) {
                const std::uint8_t* a = bmp.Pixel(2 * x, 2 * y);
                const std::uint8_t* b = bmp.Pixel(2 * x + 1, 2 * y);
                const std::uint8_t* c = bmp.Pixel(2 * x, 2 * y + 1);
                const std::uint8_t* d = bmp.Pixel(2 * x + 1, 2 * y + 1);
                std::uint8_t* o = half.Pixel(x, y);
                for (int ch = 0; ch < 3; ++ch)
                    o[ch] = static_cast<std::uint8_t>((a[ch] + b[ch] + c[ch] + d[ch]) / 4);
            }
        bmp = std::move(half);
    }

    // Texture rows are bottom-up; white texels whose alpha is the glyph's coverage.
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(TextureSize) * TextureSize * 4);
    const auto background = static_cast<std::uint8_t>(std::clamp(AlphaBackground, 0, 255));
    for (int y = 0; y < TextureSize; ++y) {
        std::uint8_t* row = &texels[static_cast<std::size_t>(y) * TextureSize * 4];
        for (int x = 0; x < TextureSize; ++x) {
            const std::uint8_t red = bmp.Pixel(x, TextureSize - 1 - y)[0];
            const std::uint8_t v = red != 0 ? 255 : 0;
            row[x * 4 + 0] = v;
            row[x * 4 + 1] = v;
            row[x * 4 + 2] = v;
            row[x * 4 + 3] = red != 0 ? red : background;
        }
    }
    return texels;
}

void TSceneFont::LoadCharSizes()
{
    ClearChars();
    std::vector<std::string> lines;
    const bool fromArchive = MainScene && MainScene->FromArchive();
    const std::string name = ResolveFileName(FileName, Owner ? Owner->Path : std::string(".\\"));
    try {
        lines = ReadTextLines(name, fromArchive);
    } catch (const EPyrelumeError&) {
        lines.clear(); // a missing file leaves the set empty
    }
    for (int code = 0; code < 256 && code + 1 < static_cast<int>(lines.size()); ++code) {
        std::istringstream in(lines[static_cast<std::size_t>(code) + 1]);
        long inSet = 0, w = 0, h = 0;
        if (!(in >> inSet >> w >> h))
            continue;
        TCharMapEntry& e = charMap_[static_cast<std::size_t>(code)];
        e.InSet = inSet != 0 ? 1 : 0;
        e.Width = static_cast<std::int32_t>(std::clamp<long>(w, 0, 1 << 16));
        e.Height = static_cast<std::int32_t>(std::clamp<long>(h, 0, 1 << 16));
    }
    Renumber();
}

void TSceneFont::ComputeCharGeometry()
{
    CheckSizes();
    const int T = TextureSize, S = FontCellSize, n = T / S;
    const float tf = static_cast<float>(T);
    for (auto& e : charMap_) {
        const int k = e.Cell, w = e.Width, h = e.Height;
        const int left = (k % n) * S;
        const int top = T - S * (k / n) - 1;
        const float u0 = static_cast<float>(left) / tf;
        const float u1 = static_cast<float>(left + w + 2) / tf;
        const float vTop = static_cast<float>(top) / tf;
        const float vBottom = static_cast<float>(top - h + 1) / static_cast<float>(T - 1 > 0 ? T - 1 : 1);
        const float fw = static_cast<float>(w), fs = static_cast<float>(S);
        e.Corners[0] = MakeVector(0, fs, 0);
        e.Corners[1] = MakeVector(0, 0, 0);
        e.Corners[2] = MakeVector(fw, 0, 0);
        e.Corners[3] = MakeVector(fw, fs, 0);
        e.TexCoords[0] = {u0, vTop};
        e.TexCoords[1] = {u0, vBottom};
        e.TexCoords[2] = {u1, vBottom};
        e.TexCoords[3] = {u1, vTop};
        e.Advance = (FontOptions & foFixedSize) ? static_cast<float>(fixedAdvance_) : fw;
    }
}

void TSceneFont::Build()
{
    if (built_)
        return;
    CheckSizes();
    TGLPrimitiveList& prims = SceneGLPrimitives(MainScene);
    primitives_[0] = prims.AddPrimitive();
    primitives_[1] = prims.AddPrimitive();
    nextPrimitive_ = 0;
    if (FontOptions & foBuildFromFont) {
        const std::vector<std::uint8_t> texels = RenderGlyphs();
        ownTexture_ = SceneGLTextures(MainScene).AddRGBA8(TextureSize, TextureSize);
        ownTexture_->Filter = GL_LINEAR;
        ownTexture_->Repeat = false;
        if (ownTexture_->FramePixels() && ownTexture_->FrameSize() == static_cast<int>(texels.size()))
            std::copy(texels.begin(), texels.end(), ownTexture_->FramePixels());
    } else {
        LoadCharSizes();
    }
    ComputeCharGeometry();
    built_ = true;
}

void TSceneFont::Release()
{
    if (!built_)
        return;
    for (auto*& p : primitives_) {
        delete p;
        p = nullptr;
    }
    if (ownTexture_) {
        TGLTexture* t = ownTexture_;
        ownTexture_ = nullptr;
        t->Release();
        delete t;
    }
    built_ = false;
}

void TSceneFont::BeginText()
{
    Build();
    SceneGL::SetLighting(false);
    SceneGL::SetCullFace(false);
    SceneGL::SetDepthTest(false);
    SceneGL::SetFog(false);
    if (ownTexture_) {
        // The font's texture is not a scene texture: the scene's texture cache
        // is emptied so the next scene texture binds again.
        SetCurrentTexture(nullptr);
        SceneGL::SetTexture2D(true);
        if (SceneGLReady())
            ownTexture_->Enable();
    } else {
        SceneGL::SetTexture2D(true);
        SetCurrentTexture(Texture);
    }
    SetBlending(true);
    const TGLViewport& vp = SceneViewport(MainScene);
    const float windowAspect = vp.Height > 0 ? static_cast<float>(vp.Width) / static_cast<float>(vp.Height) : 4.0f / 3.0f;
    aspect_ = ViewWidth != 0 ? windowAspect * (static_cast<float>(ViewHeight) / static_cast<float>(ViewWidth)) : 1.0f;
    projectionPushed_ = false;
    if (!(FontOptions & fo3DView) && SceneGLReady()) {
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        if (FontOptions & foFixedView)
            glOrtho(0, static_cast<double>(ViewWidth) * aspect_, 0, ViewHeight, -100, 100);
        else
            glOrtho(0, vp.Width, 0, vp.Height, -100, 100);
        glMatrixMode(GL_MODELVIEW);
        projectionPushed_ = true;
    }
}

void TSceneFont::EndText()
{
    if (projectionPushed_ && SceneGLReady()) {
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
    projectionPushed_ = false;
}

void TSceneFont::DrawChar(const TCharMapEntry& e)
{
    TGLPrimitive* p = primitives_[nextPrimitive_];
    nextPrimitive_ ^= 1;
    if (!p)
        return;
    static const std::uint16_t kIndices[6] = {0, 1, 2, 0, 2, 3};
    p->Indices.SetValues(kIndices);
    p->Vertices.SetCount(4);
    auto& tc = p->GetTextureCoords(0);
    tc.SetCount(4);
    for (int i = 0; i < 4; ++i) {
        p->Vertices.SetVector(i, e.Corners[i]);
        tc.SetTexCoord(i, e.TexCoords[i]);
    }
    if (SceneGLReady()) {
        if (BackgroundColor.A != 0) {
            glDisable(GL_TEXTURE_2D);
            glColor4ub(BackgroundColor.R, BackgroundColor.G, BackgroundColor.B, BackgroundColor.A);
            p->Render();
            glColor4ub(Color.R, Color.G, Color.B, Color.A);
            glEnable(GL_TEXTURE_2D);
        }
        p->Render();
        glTranslatef(e.Advance, 0, 0);
    }
}

void TSceneFont::DrawText(std::uint8_t horizontal, std::uint8_t vertical, const std::string& text, int x, int y)
{
    Build();
    SceneGL::SetLighting(false);
    const bool ready = SceneGLReady();
    if (ready) {
        glColor4ub(Color.R, Color.G, Color.B, Color.A);
        glPushMatrix();
        glLoadIdentity();
    }
    float ax = static_cast<float>(x);
    float ay = static_cast<float>(y);
    if (horizontal == ohCenter)
        ax += aspect_ * static_cast<float>(ViewWidth) / 2;
    else if (horizontal == ohRight)
        ax += aspect_ * static_cast<float>(ViewWidth);
    if (vertical == ovCenter)
        ay += static_cast<float>(ViewHeight) / 2;
    else if (vertical == ovTop)
        ay += static_cast<float>(ViewHeight);
    if (ready) {
        glTranslatef(ax, ay, 0);
        if (FontOptions & foScaled)
            glScalef(ScaleX, ScaleY, 0);
    }
    for (char c : text)
        DrawChar(charMap_[static_cast<unsigned char>(c)]);
    if (ready)
        glPopMatrix();
}

int TSceneFont::TextWidth(const std::string& text)
{
    Build();
    int w = 0;
    for (char c : text)
        w += charMap_[static_cast<unsigned char>(c)].Width;
    return w;
}

void TSceneFont::LoadFromLoader(TResourceLoader& loader)
{
    TMainObject::LoadFromLoader(loader);
    Color = loader.ReadByteColor("Color", Color);
    AlphaBackground = loader.ReadInteger("AlphaBackground", AlphaBackground);
    TextureSize = loader.ReadInteger("TextureSize", TextureSize);
    FontCellSize = loader.ReadInteger("FontCellSize", FontCellSize);
    ScaleX = loader.ReadFloat("ScaleX", ScaleX);
    ScaleY = loader.ReadFloat("ScaleY", ScaleY);
    ViewWidth = loader.ReadInteger("ViewWidth", ViewWidth);
    ViewHeight = loader.ReadInteger("ViewHeight", ViewHeight);
    FontName = loader.ReadString("FontName", FontName);
    FileName = loader.ReadString("FileName", FileName);
    FontOptions = StrToFontOptions(loader.ReadString("FontOptions", FontOptionsToStr(FontOptions)));
    FontStyle = StrToFontStyle(loader.ReadString("FontStyle", FontStyleToStr(FontStyle)));
    Texture = loader.ReadReferenceAs<TSceneTexture>("Texture", Texture);

    ClearChars();
    auto first = [](const std::string& v) { return v.empty() ? ' ' : v[0]; };
    for (int i = 1; loader.ValueExists("Char" + std::to_string(i)); ++i)
        AddChar(first(loader.ReadString("Char" + std::to_string(i), " ")));
    for (int i = 1; loader.ValueExists("StartChar" + std::to_string(i)) && loader.ValueExists("EndChar" + std::to_string(i)); ++i)
        AddCharRange(first(loader.ReadString("StartChar" + std::to_string(i), " ")),
                     first(loader.ReadString("EndChar" + std::to_string(i), " ")));
    for (int i = 1;; ++i) {
        const int code = loader.ReadInteger("Code" + std::to_string(i), -1);
        if (code == -1)
            break;
        AddCode(code);
    }
    for (int i = 1; loader.ValueExists("StartCode" + std::to_string(i)) && loader.ValueExists("EndCode" + std::to_string(i)); ++i)
        AddCodeRange(loader.ReadInteger("StartCode" + std::to_string(i), 0),
                     loader.ReadInteger("EndCode" + std::to_string(i), -1));
    for (int i = 1; loader.ValueExists("Str" + std::to_string(i)); ++i)
        AddString(loader.ReadString("Str" + std::to_string(i), ""));
}

void TSceneFont::SaveToLoader(TResourceLoader& loader)
{
    TMainObject::SaveToLoader(loader);
    loader.WriteByteColor("Color", Color);
    loader.WriteInteger("AlphaBackground", AlphaBackground);
    loader.WriteInteger("TextureSize", TextureSize);
    loader.WriteInteger("FontCellSize", FontCellSize);
    loader.WriteFloat("ScaleX", ScaleX);
    loader.WriteFloat("ScaleY", ScaleY);
    loader.WriteInteger("ViewWidth", ViewWidth);
    loader.WriteInteger("ViewHeight", ViewHeight);
    loader.WriteString("FontName", FontName);
    loader.WriteString("FileName", FileName);
    loader.WriteString("FontOptions", FontOptionsToStr(FontOptions));
    loader.WriteString("FontStyle", FontStyleToStr(FontStyle));
    loader.WriteReference("Texture", Texture);
}

// ---------------------------------------------------------------- texts

TSceneBaseText::TSceneBaseText()
{
    Alpha = true;
    Visible = true;
}

void TSceneBaseText::LoadFromLoader(TResourceLoader& loader)
{
    TMainObject::LoadFromLoader(loader);
    Color = loader.ReadByteColor("Color", Color);
    BackgroundColor = loader.ReadByteColor("BackgroundColor", BackgroundColor);
    X = loader.ReadInteger("X", X);
    Y = loader.ReadInteger("Y", Y);
    Font = loader.ReadReferenceAs<TSceneFont>("Font", Font);
    Enable3D = loader.ReadBool("Enable3D", Enable3D);
    OriginHorizontal = StrToOriginHorizontal(loader.ReadString("OriginHorizontal", OriginHorizontalToStr(OriginHorizontal)));
    OriginVertical = StrToOriginVertical(loader.ReadString("OriginVertical", OriginVerticalToStr(OriginVertical)));
}

void TSceneBaseText::SaveToLoader(TResourceLoader& loader)
{
    TMainObject::SaveToLoader(loader);
    loader.WriteByteColor("Color", Color);
    loader.WriteByteColor("BackgroundColor", BackgroundColor);
    loader.WriteInteger("X", X);
    loader.WriteInteger("Y", Y);
    loader.WriteReference("Font", Font);
    loader.WriteBool("Enable3D", Enable3D);
    loader.WriteString("OriginHorizontal", OriginHorizontalToStr(OriginHorizontal));
    loader.WriteString("OriginVertical", OriginVerticalToStr(OriginVertical));
}

void TSceneString::RenderAlpha()
{
    if (!Font)
        return;
    Font->BeginText();
    Font->Color = Color;
    Font->BackgroundColor = BackgroundColor;
    Font->DrawText(OriginHorizontal, OriginVertical, Text, X, Y);
    Font->EndText();
}

void TSceneString::LoadFromLoader(TResourceLoader& loader)
{
    TSceneBaseText::LoadFromLoader(loader);
    Text = loader.ReadString("Text", Text);
}

void TSceneString::SaveToLoader(TResourceLoader& loader)
{
    TSceneBaseText::SaveToLoader(loader);
    loader.WriteString("Text", Text);
}

TSceneText::TSceneText() : StringColor(Color) {}

void TSceneText::Animate(float dt)
{
    Phase += dt;
    if (Phase > 1)
        Phase -= std::floor(Phase);
}

void TSceneText::RenderAlpha()
{
    if (!Font)
        return;
    TSceneFont& f = *Font;
    f.BeginText();
    std::string band;
    if (BackgroundColor.A != 0) {
        int m = 0;
        for (const auto& line : Lines)
            m = std::max(m, f.TextWidth(line));
        // A font without a blank has nothing to fill the band with.
        const int blank = f.TextWidth(" ");
        if (m >= 1 && blank > 0)
            band.assign(static_cast<std::size_t>(m / blank + 1), ' ');
    }
    int o = 0;
    const int step = (f.FontOptions & foScaled) ? static_cast<int>(static_cast<float>(f.FontCellSize) * f.ScaleY)
                                                : f.FontCellSize;
    for (int i = 0; i < static_cast<int>(Lines.size()); ++i) {
        if (!band.empty()) {
            f.BackgroundColor = BackgroundColor;
            f.DrawText(OriginHorizontal, OriginVertical, band, X, Y - o);
            f.BackgroundColor = TGLColorBytes{0, 0, 0, 0};
        }
        if (i == StringIndex)
            f.Color = TGLColorBytes{static_cast<std::uint8_t>(PulseChannel(StringColor.R, Phase)),
                                    static_cast<std::uint8_t>(PulseChannel(StringColor.G, Phase)),
                                    static_cast<std::uint8_t>(PulseChannel(StringColor.B, Phase)), StringColor.A};
        else
            f.Color = Color;
        f.DrawText(OriginHorizontal, OriginVertical, Lines[static_cast<std::size_t>(i)], X, Y - o);
        o += step;
    }
    f.EndText();
}

void TSceneText::LoadFromLoader(TResourceLoader& loader)
{
    TSceneBaseText::LoadFromLoader(loader);
    Lines.clear();
    StringColor = loader.ReadByteColor("StringColor", StringColor);
    StringIndex = loader.ReadInteger("StringIndex", StringIndex);
    for (int i = 1; loader.ValueExists("Text" + std::to_string(i)); ++i)
        Lines.push_back(loader.ReadString("Text" + std::to_string(i), ""));
}

void TSceneText::SaveToLoader(TResourceLoader& loader)
{
    TSceneBaseText::SaveToLoader(loader);
    loader.WriteByteColor("StringColor", StringColor);
    loader.WriteInteger("StringIndex", StringIndex);
    for (std::size_t i = 0; i < Lines.size(); ++i)
        loader.WriteString("Text" + std::to_string(i + 1), Lines[i]);
}

// ---------------------------------------------------------------- the scene's frame-rate display

void TMainScene::ShowFps(bool flag)
{
    ShowFPS = flag;
    if (flag && !FpsFont) {
        auto* font = new TSceneFont();
        font->StoreName("FpsFont");
        font->FontOptions = foBuildFromFont | foSoften | foFixedView;
        font->ClearChars();
        font->AddChar(' ');
        font->AddChar('f');
        font->AddChar('p');
        font->AddChar('s');
        font->AddCharRange('0', '9');
        font->FontCellSize = 32;
        font->ViewWidth = 1024;
        font->ViewHeight = 768;
        if (!AddSceneObject(font, 0)) {
            delete font;
            return;
        }
        FpsFont = font;
        auto* str = new TSceneString();
        str->StoreName("FpsStr");
        str->Font = font;
        str->Visible = false;
        str->X = 16;
        str->Y = 732;
        if (!AddSceneObject(str, poRender)) {
            delete str;
            return;
        }
        FpsStr = str;
    }
    if (FpsStr)
        FpsStr->SetVisible(flag);
}

void TMainScene::SetFpsValue(int n)
{
    if (FpsStr && FpsStr->Visible) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%d fps", n);
        FpsStr->Text = buf;
    }
}

void TMainScene::ForgetFpsObject(TMainItem* item)
{
    if (FpsFont && item == static_cast<TMainItem*>(FpsFont))
        FpsFont = nullptr;
    if (FpsStr && item == static_cast<TMainItem*>(FpsStr))
        FpsStr = nullptr;
}

void TMainScene::ReadSettings()
{
    if (TSceneSettingsStore* store = Settings)
        ShowFps(store->ReadBool("FPS", false));
    TResource::ReadSettings();
}

void TMainScene::WriteSettings()
{
    if (TSceneSettingsStore* store = Settings)
        store->WriteBool("FPS", ShowFPS);
    TResource::WriteSettings();
}
