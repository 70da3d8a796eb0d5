#pragma once
// Bitmap fonts and text. A TSceneFont holds a 256-entry character map and a
// texture with one cell per character, rendered at run time from a system font
// (through the platform's glyph rasteriser) or taken from a scene texture with
// a character-size file. TSceneString draws one line, TSceneText several lines
// with an optional background band and one highlighted, pulsing line.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "gl/FastMath.h"
#include "scene/SceneObjects.h"

class TGLTexture;
class TGLPrimitive;
class TGLViewport;
class TSceneTexture;
struct TGlyphBitmap;

// The viewport the scene is drawn with: the first viewport of the scene's
// context (the one the application applies every frame). Without a context or
// viewport, a process-wide stand-in (which tests may configure) is returned.
TGLViewport& SceneViewport(TMainScene* scene);

// ---------------------------------------------------------------- option sets

using TFontOptions = std::uint8_t;
constexpr TFontOptions foFixedSize = 1;
constexpr TFontOptions foSoften = 2;
constexpr TFontOptions foBuildFromFont = 4;
constexpr TFontOptions foFixedView = 8;
constexpr TFontOptions foScaled = 16;
constexpr TFontOptions fo3DView = 32;

using TFontStyles = std::uint8_t;
constexpr TFontStyles fsBold = 1;
constexpr TFontStyles fsItalic = 2;
constexpr TFontStyles fsUnderline = 4;
constexpr TFontStyles fsStrikeOut = 8;

// "[FixedSize,Soften,...]" ("[]" for none); read case-insensitively by substring.
std::string FontOptionsToStr(TFontOptions options);
TFontOptions StrToFontOptions(const std::string& text);
std::string FontStyleToStr(TFontStyles style);
TFontStyles StrToFontStyle(const std::string& text);

// Text anchors.
constexpr std::uint8_t ohLeft = 0;
constexpr std::uint8_t ohRight = 1;
constexpr std::uint8_t ovTop = 2;
constexpr std::uint8_t ovBottom = 3;
constexpr std::uint8_t ohCenter = 4;
constexpr std::uint8_t ovCenter = 4;

// "left"/"top" -> Left, "right"/"bottom" -> Right, any other word -> Center.
std::uint8_t StrToOriginHorizontal(const std::string& text);
std::string OriginHorizontalToStr(std::uint8_t origin);
// "left"/"top" -> Top, "right"/"bottom" -> Bottom, any other word -> Center.
std::uint8_t StrToOriginVertical(const std::string& text);
std::string OriginVerticalToStr(std::uint8_t origin);

// ---------------------------------------------------------------- font

struct TCharMapEntry {
    std::int32_t Reserved[2] = {0, 0};
    std::int32_t Width = 0; // glyph size in pixels
    std::int32_t Height = 0;
    std::uint8_t InSet = 0; // only characters in the set get a cell
    std::uint8_t Cell = 0;  // cell number, in code order among the set
    TGLTexCoord TexCoords[4]{};
    TGLVector Corners[4]{};
    float Advance = 0; // distance moved after the character
};

class TSceneFont : public TMainSceneObject {
public:
    TSceneFont();
    ~TSceneFont() override;
    std::string_view ClassName() const override { return "TSceneFont"; }

    int TextureSize = 256;
    int FontCellSize = 16;
    TGLColorBytes Color{255, 255, 255, 255};
    std::string FontName = "Arial";
    std::string FileName;
    TFontStyles FontStyle = fsBold;
    int ViewWidth = 1024;
    int ViewHeight = 768;
    float ScaleY = 1;
    float ScaleX = 1;
    int AlphaBackground = 0;
    TFontOptions FontOptions = foBuildFromFont;
    TSceneTexture* Texture = nullptr; // used without BuildFromFont; not owned
    TGLColorBytes BackgroundColor{0, 0, 0, 0};

    bool Built() const { return built_; }
    TGLTexture* OwnTexture() const { return ownTexture_; }
    int FixedAdvance() const { return fixedAdvance_; }
    int CharCount() const { return charCount_; }
    float Aspect() const { return aspect_; }

    void Build();
    void Release();
    void BeginText();
    void EndText();
    void DrawText(std::uint8_t horizontal, std::uint8_t vertical, const std::string& text, int x, int y);
    int TextWidth(const std::string& text);
    // Raises "TSceneFont.GetCharMap error: Index out of bounds!" outside 0-255.
    const TCharMapEntry& GetCharMap(int code) const;

    void ClearChars();
    void AddChar(char c);
    void AddCharRange(char first, char last);
    void AddCode(int code);
    void AddCodeRange(int first, int last);
    void AddString(const std::string& text);

    // The glyph picture of the set (TextureSize squared, rows bottom-up, four
    // bytes per texel), as RenderGlyphs puts it into the own texture.
    std::vector<std::uint8_t> RenderGlyphs();
    void ComputeCharGeometry();
    // Reads the character-size file; a missing file leaves the set empty.
    void LoadCharSizes();

    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;

private:
    void Renumber();
    void CheckSizes() const;
    void DrawChar(const TCharMapEntry& entry);

    bool built_ = false;
    TGLTexture* ownTexture_ = nullptr;
    std::array<TCharMapEntry, 256> charMap_{};
    int fixedAdvance_ = 0;
    TGLPrimitive* primitives_[2] = {nullptr, nullptr};
    int nextPrimitive_ = 0;
    int charCount_ = 0;
    float aspect_ = 1;
    bool projectionPushed_ = false;
};

// ---------------------------------------------------------------- texts

class TSceneBaseText : public TMainSceneObject {
public:
    TSceneBaseText();
    std::string_view ClassName() const override { return "TSceneBaseText"; }

    int X = 0;
    int Y = 0;
    TGLColorBytes Color{255, 255, 255, 255};
    TSceneFont* Font = nullptr; // not owned
    bool Enable3D = false;
    std::uint8_t OriginHorizontal = ohLeft;
    std::uint8_t OriginVertical = ovBottom;
    TGLColorBytes BackgroundColor{0, 0, 0, 0};

    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;
};

class TSceneString : public TSceneBaseText {
public:
    std::string_view ClassName() const override { return "TSceneString"; }

    std::string Text;

    void RenderAlpha() override;
    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;
};

class TSceneText : public TSceneBaseText {
public:
    TSceneText();
    std::string_view ClassName() const override { return "TSceneText"; }

    std::vector<std::string> Lines;
    int StringIndex = -1;
    TGLColorBytes StringColor;
    float Phase = 0;

    void Animate(float dt) override;
    void RenderAlpha() override;
    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;
};

// One colour channel of the highlighted line at pulse phase p (0..1): between
// 80 % and 100 % of c.
int PulseChannel(int c, float phase);
