// Bitmap fonts: the character set and its cells, the cell geometry, the glyph
// picture, the text forms, loading from descriptions and character-size files,
// the pulse of the highlighted line and the scene's frame-rate display.
#include <gtest/gtest.h>

#include <fstream>

#include "gl/Errors.h"
#include "gl/GLTextures.h"
#include "platform/posix/FreeTypeGlyphs.h"
#include "scene/GLGraphics.h"
#include "platform/GlyphRasterizer.h"
#include "tests/common/TestUtil.h"
#include "tests/fonts/FakeGlyphs.h"

namespace {

using testutil::ErrorOf;

std::unique_ptr<TResourceLoader> LoaderFor(const std::vector<std::string>& lines)
{
    auto l = std::make_unique<TResourceLoader>();
    l->OpenFromLines(lines);
    l->Section = "F";
    return l;
}

std::vector<int> SetCodes(const TSceneFont& f)
{
    std::vector<int> codes;
    for (int c = 0; c < 256; ++c)
        if (f.GetCharMap(c).InSet)
            codes.push_back(c);
    return codes;
}

} // namespace

// ---------------------------------------------------------------- character set

TEST(FontCharacterSet, EveryCodeAtFirstThenCellsFollowCodeOrder)
{
    TSceneFont f;
    EXPECT_EQ(f.CharCount(), 256);
    EXPECT_EQ(f.GetCharMap(200).Cell, 200);
    f.ClearChars();
    EXPECT_EQ(f.CharCount(), 0);
    f.AddString("sfp ");
    f.AddCharRange('0', '9');
    EXPECT_EQ(f.CharCount(), 14);
    EXPECT_EQ(f.GetCharMap(' ').Cell, 0);
    for (int d = 0; d < 10; ++d)
        EXPECT_EQ(f.GetCharMap('0' + d).Cell, d + 1);
    EXPECT_EQ(f.GetCharMap('f').Cell, 11);
    EXPECT_EQ(f.GetCharMap('p').Cell, 12);
    EXPECT_EQ(f.GetCharMap('s').Cell, 13);

    f.AddCodeRange(10, 9); // last below first adds nothing
    f.AddCode(300);        // outside the map
    f.AddCodeRange(250, 400);
    EXPECT_EQ(f.CharCount(), 14 + 6);
    EXPECT_EQ(f.GetCharMap(255).Cell, 19);
    EXPECT_EQ(ErrorOf([&] { f.GetCharMap(256); }), "TSceneFont.GetCharMap error: Index out of bounds!");
    EXPECT_EQ(ErrorOf([&] { f.GetCharMap(-1); }), "TSceneFont.GetCharMap error: Index out of bounds!");
}

TEST(FontCharacterSet, LoadedFromNumberedKeys)
{
    TSceneFont f;
    f.LoadFromLoader(*LoaderFor({"[F]", "Char1=ab", "Char2=c", "Char4=z", "StartChar1=0", "EndChar1=2",
                                 "Code1=32", "Code2=-1", "Code3=65", "StartCode1=200", "EndCode1=199",
                                 "StartCode2=250", "EndCode2=251", "Str1=xy", "FontOptions=[soften,FIXEDVIEW]",
                                 "FontStyle=[Italic]", "TextureSize=128", "FontCellSize=8"}));
    // StartCode2 follows a range that adds nothing: the list goes on.
    EXPECT_EQ(SetCodes(f), (std::vector<int>{' ', '0', '1', '2', 'a', 'c', 'x', 'y', 250, 251}));
    EXPECT_EQ(f.FontOptions, foSoften | foFixedView);
    EXPECT_EQ(f.FontStyle, fsItalic);
    EXPECT_EQ(f.TextureSize, 128);

    TSceneFont empty;
    empty.LoadFromLoader(*LoaderFor({"[F]", "FontName=Arial"}));
    EXPECT_EQ(empty.CharCount(), 0);
    EXPECT_EQ(empty.FontOptions, foBuildFromFont);
    EXPECT_EQ(empty.FontStyle, fsBold);
}

TEST(FontTextForms, OptionsStylesAndOrigins)
{
    EXPECT_EQ(FontOptionsToStr(0), "[]");
    EXPECT_EQ(FontOptionsToStr(63), "[FixedSize,Soften,BuildFromFont,FixedView,Scaled,3DView]");
    EXPECT_EQ(StrToFontOptions("[FixedSize,Soften,BuildFromFont,FixedView,Scaled,3DView]"), 63);
    EXPECT_EQ(StrToFontOptions("3dview scaled"), fo3DView | foScaled);
    EXPECT_EQ(FontStyleToStr(fsBold | fsStrikeOut), "[Bold,StrikeOut]");
    EXPECT_EQ(StrToFontStyle("[bold,UNDERLINE]"), fsBold | fsUnderline);

    // Origins are read by their place in the list, whatever the word, and written by name.
    EXPECT_EQ(StrToOriginHorizontal("CENTER"), ohCenter);
    EXPECT_EQ(StrToOriginHorizontal("top"), ohLeft);
    EXPECT_EQ(StrToOriginHorizontal("lefty"), ohCenter);
    EXPECT_EQ(StrToOriginVertical("Left"), ovTop);
    EXPECT_EQ(StrToOriginVertical("RIGHT"), ovBottom);

    TSceneString s;
    s.LoadFromLoader(*LoaderFor({"[F]", "OriginHorizontal=Bottom", "OriginVertical=top", "X=5", "Y=-7",
                                 "Color=1,2,3,4", "Text=hello"}));
    EXPECT_EQ(s.OriginHorizontal, ohRight);
    EXPECT_EQ(s.OriginVertical, ovTop);
    EXPECT_EQ(s.Y, -7);
    EXPECT_EQ(s.Text, "hello");
    TResourceLoader saver;
    saver.CreateNew();
    saver.Section = "S";
    s.SaveToLoader(saver);
    EXPECT_EQ(*saver.Ini()->Find("S", "OriginHorizontal"), "Right");
    EXPECT_EQ(*saver.Ini()->Find("S", "OriginVertical"), "Top");
    EXPECT_EQ(*saver.Ini()->Find("S", "Color"), "1,2,3,4");
}

// ---------------------------------------------------------------- geometry and glyphs

TEST(FontGlyphs, CellGeometryFromGlyphSizes)
{
    FakeGlyphs fake(10);
    TMainScene scene;  // the fonts draw with their scene's rasteriser
    scene.Glyphs = &fake;
    TSceneFont f; // 256 / 16: 16 cells per row, every code in the set
    f.MainScene = &scene;
    f.Build();
    ASSERT_TRUE(f.Built());
    const TCharMapEntry& a = f.GetCharMap('A'); // cell 65: column 1, row 4
    EXPECT_EQ(a.Width, 10);
    EXPECT_EQ(a.Height, 16);
    EXPECT_FLOAT_EQ(a.TexCoords[0].S, 16.0f / 256);
    EXPECT_FLOAT_EQ(a.TexCoords[2].S, 28.0f / 256);
    EXPECT_FLOAT_EQ(a.TexCoords[0].T, 191.0f / 256);
    EXPECT_FLOAT_EQ(a.TexCoords[1].T, 176.0f / 255);
    EXPECT_EQ(a.Corners[0], MakeVector(0, 16, 0));
    EXPECT_EQ(a.Corners[1], MakeVector(0, 0, 0));
    EXPECT_EQ(a.Corners[2], MakeVector(10, 0, 0));
    EXPECT_EQ(a.Corners[3], MakeVector(10, 16, 0));
    EXPECT_FLOAT_EQ(a.Advance, 10);
    EXPECT_EQ(f.FixedAdvance(), 10);
    EXPECT_EQ(f.TextWidth("AAA"), 30);
    // The own texture holds the glyph picture.
    ASSERT_NE(f.OwnTexture(), nullptr);
    EXPECT_EQ(f.OwnTexture()->Width(), 256);
    f.Release();
    EXPECT_FALSE(f.Built());
    EXPECT_EQ(f.OwnTexture(), nullptr);
}

TEST(FontGlyphs, GlyphPictureIsWhiteWithCoverageAlpha)
{
    FakeGlyphs fake(6);
    TMainScene scene;  // the fonts draw with their scene's rasteriser
    scene.Glyphs = &fake;
    TSceneFont f;
    f.MainScene = &scene;
    f.TextureSize = 64;
    f.FontCellSize = 16;
    f.AlphaBackground = 7;
    f.ClearChars();
    f.AddChar('B'); // cell 0: top-left of the picture
    const std::vector<std::uint8_t> t = f.RenderGlyphs();
    ASSERT_EQ(t.size(), 64u * 64 * 4);
    auto texel = [&](int x, int yFromBottom) { return &t[(static_cast<std::size_t>(yFromBottom) * 64 + x) * 4]; };
    // The fake fills its glyph (6 x 16 at the cell's corner) with grey 200.
    const std::uint8_t* inside = texel(2, 63);
    EXPECT_EQ(inside[0], 255);
    EXPECT_EQ(inside[3], 200);
    const std::uint8_t* outside = texel(10, 63);
    EXPECT_EQ(outside[0], 0);
    EXPECT_EQ(outside[3], 7);
    EXPECT_EQ(texel(2, 0)[3], 7);
    EXPECT_EQ(f.GetCharMap('B').Width, 6);
}

TEST(FontGlyphs, SoftenRendersTwiceAsLargeAndAverages)
{
    FakeGlyphs fake(13); // a 13 x 32 glyph at double size: 6 x 16 after halving
    TMainScene scene;  // the fonts draw with their scene's rasteriser
    scene.Glyphs = &fake;
    TSceneFont f;
    f.MainScene = &scene;
    f.TextureSize = 64;
    f.FontOptions = foBuildFromFont | foSoften | foFixedSize;
    f.ClearChars();
    f.AddString("W ");
    f.Build();
    const std::vector<std::uint8_t> t = f.RenderGlyphs();
    EXPECT_EQ(fake.LastHeight, 32);
    EXPECT_EQ(f.GetCharMap('W').Width, 6);
    EXPECT_EQ(f.GetCharMap('W').Height, 16);
    EXPECT_EQ(f.FixedAdvance(), 6);
    EXPECT_FLOAT_EQ(f.GetCharMap(' ').Advance, 6); // FixedSize: every advance is that of "W"
    // The half-covered column on the glyph's right edge averages to half the grey.
    const std::size_t edge = (static_cast<std::size_t>(63) * 64 + 5) * 4;
    EXPECT_EQ(t[edge + 3], 200);
    const std::size_t half = (static_cast<std::size_t>(63) * 64 + 6) * 4;
    EXPECT_EQ(t[half + 3], 100);
}

TEST(FontGlyphs, BadSizesAreReportedNotUsed)
{
    TSceneFont f;
    f.TextureSize = 100;
    EXPECT_EQ(ErrorOf([&] { f.Build(); }), "TSceneFont.Build error: TextureSize 100 is not a power of 2 up to 2048");
    f.TextureSize = 64;
    f.FontCellSize = 0;
    EXPECT_EQ(ErrorOf([&] { f.Build(); }), "TSceneFont.Build error: FontCellSize 0 does not fit the texture");
    EXPECT_FALSE(f.Built());
}

TEST(FontGlyphs, CharacterSizeFileOrEmptySet)
{
    testutil::ScratchDir dir("fonts");
    {
        std::ofstream out(dir.File("sizes.txt"));
        out << "header line\n";
        for (int c = 0; c < 256; ++c)
            out << (c == 'A' || c == 'Z' ? 1 : 0) << " " << (c == 'A' ? 9 : 12) << " 14\n";
    }
    TSceneFont f;
    f.FontOptions = 0;
    f.FileName = dir.File("sizes.txt");
    f.Build();
    EXPECT_EQ(SetCodes(f), (std::vector<int>{'A', 'Z'}));
    EXPECT_EQ(f.GetCharMap('Z').Cell, 1);
    EXPECT_EQ(f.GetCharMap('A').Width, 9);
    EXPECT_EQ(f.GetCharMap('Z').Height, 14);
    EXPECT_EQ(f.OwnTexture(), nullptr);

    TSceneFont missing;
    missing.FontOptions = 0;
    missing.FileName = dir.File("absent.txt");
    missing.Build();
    EXPECT_TRUE(missing.Built());
    EXPECT_EQ(missing.CharCount(), 0);
    EXPECT_EQ(missing.TextWidth("AZ"), 0);
}

// ---------------------------------------------------------------- texts

TEST(SceneText, PulseSwingsBetweenEightyAndHundredPercent)
{
    EXPECT_EQ(PulseChannel(200, 0.25f), 180);
    EXPECT_EQ(PulseChannel(200, 0.0f), 160);
    EXPECT_EQ(PulseChannel(200, 0.5f), 200);
    EXPECT_EQ(PulseChannel(200, 0.75f), 180);
    EXPECT_EQ(PulseChannel(255, 0.25f), 229);
    TSceneText t;
    t.Animate(0.75f);
    t.Animate(0.5f);
    EXPECT_NEAR(t.Phase, 0.25f, 1e-6);
    t.Animate(0.25f);
    EXPECT_NEAR(t.Phase, 0.5f, 1e-6);
    EXPECT_EQ(t.StringIndex, -1);
    EXPECT_EQ(t.StringColor, t.Color);
}

TEST(SceneText, LinesLoadAndSave)
{
    TSceneText t;
    t.LoadFromLoader(*LoaderFor({"[F]", "Text1=one", "Text2=two", "Text4=four", "StringIndex=1",
                                 "StringColor=10,20,30,255"}));
    EXPECT_EQ(t.Lines, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(t.StringIndex, 1);
    TResourceLoader saver;
    saver.CreateNew();
    saver.Section = "S";
    t.SaveToLoader(saver);
    EXPECT_EQ(*saver.Ini()->Find("S", "Text2"), "two");
    EXPECT_FALSE(saver.Ini()->ValueExists("S", "Text3"));
    EXPECT_EQ(*saver.Ini()->Find("S", "StringColor"), "10,20,30,255");
    // Without a font nothing is drawn.
    t.RenderAlpha();
}

// ---------------------------------------------------------------- frame-rate display

TEST(FrameRateDisplay, CreatedOnFirstShowAndHiddenAfterwards)
{
    TMainScene scene;
    scene.SetFpsValue(50); // nothing to show yet
    EXPECT_EQ(scene.FpsStr, nullptr);
    scene.ShowFps(false);
    EXPECT_EQ(scene.FpsFont, nullptr);

    scene.ShowFps(true);
    ASSERT_NE(scene.FpsFont, nullptr);
    ASSERT_NE(scene.FpsStr, nullptr);
    TSceneFont& font = *scene.FpsFont;
    EXPECT_EQ(font.CharCount(), 14); // digits, " fps"
    EXPECT_EQ(font.ProcessOptions, 0);
    EXPECT_EQ(scene.FpsStr->Font, &font);
    EXPECT_EQ(scene.RenderList.GetItem(scene.RenderList.GetCount() - 1), scene.FpsStr);

    scene.SetFpsValue(58);
    EXPECT_EQ(scene.FpsStr->Text, "58 fps");
    TSceneString* str = scene.FpsStr;
    scene.ShowFps(false);
    EXPECT_EQ(scene.FpsStr, str);
    EXPECT_FALSE(str->Visible);
    scene.SetFpsValue(12);
    EXPECT_EQ(str->Text, "58 fps");
    scene.ShowFps(true);
    EXPECT_EQ(scene.FpsStr, str);

    // Clearing the scene destroys both; a later show creates them again.
    scene.Clear();
    EXPECT_EQ(scene.FpsFont, nullptr);
    EXPECT_EQ(scene.FpsStr, nullptr);
    scene.ShowFps(true);
    EXPECT_NE(scene.FpsStr, nullptr);
    EXPECT_EQ(scene.FindObject("FpsStr"), scene.FpsStr);
}

TEST(FrameRateDisplay, FollowsTheFpsSetting)
{
    TMainScene scene;
    testutil::MemorySettings<TSceneSettingsStore> store;
    scene.Settings = &store;
    scene.ReadSettings();
    EXPECT_FALSE(scene.ShowFPS);
    EXPECT_EQ(scene.FpsStr, nullptr);
    store.Values["FPS"] = "1";
    scene.ReadSettings();
    EXPECT_TRUE(scene.ShowFPS);
    ASSERT_NE(scene.FpsStr, nullptr);
    EXPECT_TRUE(scene.FpsStr->Visible);
    scene.ShowFps(false);
    scene.WriteSettings();
    EXPECT_EQ(store.Values["FPS"], "0");
    // Removing the text alone leaves no dangling reference.
    delete scene.FpsStr;
    EXPECT_EQ(scene.FpsStr, nullptr);
    scene.SetFpsValue(3);
}

// ---------------------------------------------------------------- FreeType

TEST(FreeTypeGlyphsTest, MatchesDejaVuFacesAndDrawsWhiteGlyphs)
{
    TFreeTypeGlyphs ft;
    TGlyphFont font;
    font.Name = "Arial";
    font.Height = 32;
    font.Bold = true;
    if (!ft.SelectFont(font))
        GTEST_SKIP() << "no DejaVu font installed (fonts-dejavu-core)";
    EXPECT_NE(ft.SelectedFile().find("DejaVuSans-Bold.ttf"), std::string::npos);
    TGlyphFont mono = font;
    mono.Name = "Courier New";
    mono.Bold = false;
    EXPECT_NE(ft.FontFileFor(mono).find("DejaVuSansMono"), std::string::npos);

    const TGlyphExtent w = ft.CharExtent('W');
    EXPECT_GT(w.Width, 16);
    EXPECT_LT(w.Width, 48);
    EXPECT_EQ(w.Height, 32);
    EXPECT_EQ(ft.CharExtent(7).Width, 0);
    EXPECT_LT(ft.CharExtent('i').Width, w.Width);

    TGlyphBitmap bmp(64, 64);
    ft.DrawChar('W', 16, 16, bmp);
    int lit = 0, outside = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const std::uint8_t* p = bmp.Pixel(x, y);
            EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]);
            if (p[0] > 128) {
                ++lit;
                if (x < 16 || y < 16 || x >= 16 + w.Width + 2 || y >= 48)
                    ++outside;
            }
        }
    EXPECT_GT(lit, 100);
    EXPECT_EQ(outside, 0);
    // Drawing past the picture's edge is clipped, not a fault.
    ft.DrawChar('W', 60, -20, bmp);
    EXPECT_EQ(CodePointOf1252(0x80), 0x20ACu);
    EXPECT_EQ(CodePointOf1252('A'), 65u);
}
