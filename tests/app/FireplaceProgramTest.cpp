// The fireplace program core against the real generated archive, without a GL
// context: settings defaults and round trips, the flame copy into the scene's
// textures, the wide-screen stretch and the scene switches.
#include <gtest/gtest.h>

#include <cstring>

#include "app/FSettings.h"
#include "app/MemorySettings.h"
#include "assets/ResourceFile.h"
#include "gl/GLTextures.h"
#include "gl/Random.h"
#include "scene/GLGraphics.h"
#include "clock/GLClock.h"
#include "shell/AppPro.h"
#include "sound/SceneSounds.h"
#include "shell/GLApp.h"

namespace {

const char* kKey = "Software\\Pyrelume\\Pyrelume 3";

class FireplaceProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.SetKeyPath(kKey);
        form.Viewport = &viewport;
        viewport.Camera.Position = {0, 105, 240};
    }

    void LoadScene()
    {
        TResourceFileReader& reader = ResourceReader();
        reader.Close();
        reader.Source = ReadSource::ArchiveFile;
        reader.ArchiveName = PYRELUME_BINARY_DIR "/data/data.rfa";
        form.LoadScene(nullptr, "", "pyrelume.gsc", 2);
    }

    // Without a context textures are decoded on their first use; the copy needs them.
    void DecodeFlameTextures()
    {
        if (form.FlameTexture)
            form.FlameTexture->EnsureLoaded();
        if (form.LightMapTexture)
            form.LightMapTexture->EnsureLoaded();
    }

    void Stored(const char* name, const char* value) { memory.Set(THive::hkCurrentUser, kKey, name, value); }
    std::string Saved(const char* name)
    {
        const std::string* v = memory.Get(THive::hkCurrentUser, kKey, name);
        return v ? *v : std::string("<absent>");
    }

    TMemorySettings memory;
    TSettingsStore store{&memory};
    TDefViewport viewport;
    TFormSettings form{TServices{}};
};

std::uint32_t Word(const void* p)
{
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}

std::uint32_t Word(const TFlamePixel& p)
{
    return Word(static_cast<const void*>(&p));
}

TEST_F(FireplaceProgram, DefaultsWithoutStoredSettingsAndTheirRoundTrip)
{
    LoadScene();
    ASSERT_TRUE(form.Scene);
    viewport.Camera.Position = {0, 1, 2};
    form.LoadSettings(store);
    EXPECT_EQ(form.Flame->FlameWidth(), 254);
    EXPECT_EQ(form.Flame->Decay(), 2);
    EXPECT_EQ(form.Flame->GetBurningRate(), 5);
    EXPECT_EQ(form.FlameColorIndex, 0);
    EXPECT_FALSE(form.Flame->SwapBytes());
    EXPECT_FALSE(form.NearView);
    EXPECT_FALSE(form.WideScreen);
    EXPECT_TRUE(form.Sparkles);
    EXPECT_TRUE(form.Smoke);
    EXPECT_FLOAT_EQ(viewport.Camera.Position.Y, 105.0f);  // far camera applied
    EXPECT_FLOAT_EQ(viewport.Camera.Position.Z, 240.0f);

    form.SaveSettings(store);
    EXPECT_EQ(Saved("FlameWidth"), "254");
    EXPECT_EQ(Saved("FlameDecay"), "2");
    EXPECT_EQ(Saved("BurningRate"), "5");
    EXPECT_EQ(Saved("Sparkles"), "-1");
    EXPECT_EQ(Saved("NearView"), "0");
    // Fireplace values go to the user's hive under plain names, never the machine's.
    EXPECT_EQ(memory.Get(THive::hkLocalMachine, kKey, "FlameWidth"), nullptr);
}

TEST_F(FireplaceProgram, StoredSettingsAreAppliedAndWrittenBack)
{
    LoadScene();
    Stored("FlameWidth", "170");
    Stored("FlameDecay", "4");
    Stored("BurningRate", "15");  // clamped by the flame, saved back in range
    Stored("EnableSwapPalBytes", "-1");
    Stored("FlameColorIndex", "4");
    Stored("NearView", "-1");
    Stored("Smoke", "0");
    Stored("Sparkles", "false");
    form.LoadSettings(store);
    EXPECT_EQ(form.Flame->FlameWidth(), 170);
    EXPECT_EQ(form.Flame->Decay(), 4);
    EXPECT_EQ(form.Flame->GetBurningRate(), 10);
    EXPECT_TRUE(form.Flame->SwapBytes());
    EXPECT_EQ(form.FlameColorIndex, 4);
    EXPECT_FLOAT_EQ(viewport.Camera.Position.Y, 80.0f);
    EXPECT_FLOAT_EQ(viewport.Camera.Position.Z, 150.0f);
    auto* smoke = dynamic_cast<TMainSceneObject*>(form.Scene->FindObject("Smoke"));
    auto* sparkles = dynamic_cast<TMainSceneObject*>(form.Scene->FindObject("Sparkles"));
    ASSERT_TRUE(smoke && sparkles);
    EXPECT_FALSE(smoke->Visible);
    EXPECT_FALSE(sparkles->Visible);

    // The extra colour set: heat 0 is a dark red at alpha 210 (bytes B, G, R, A),
    // with red and blue exchanged by the swap.
    const TFlamePixel p0 = form.Flame->Palette()[0];
    EXPECT_EQ(p0.A, 210);
    EXPECT_EQ(p0.B, 25);
    EXPECT_EQ(p0.R, 0);

    form.SaveSettings(store);
    EXPECT_EQ(Saved("FlameWidth"), "170");
    EXPECT_EQ(Saved("BurningRate"), "10");
    EXPECT_EQ(Saved("FlameColorIndex"), "4");
    EXPECT_EQ(Saved("Smoke"), "0");
    EXPECT_EQ(Saved("EnableSwapPalBytes"), "-1");
}

TEST_F(FireplaceProgram, GarbageInTheStoreKeepsTheDefaults)
{
    LoadScene();
    Stored("FlameWidth", "wide");
    Stored("NearView", "maybe");
    Stored("FlameDecay", "");
    // The scene objects' own values are absorbed the same way.
    Stored("Clock Mode", "24h");
    Stored("Snap SoundVolume", "loud");
    Stored("FPS", "yes please");
    Stored("DemoFrontIndex", "second");
    EXPECT_NO_THROW(form.LoadSettings(store));
    EXPECT_EQ(form.Flame->FlameWidth(), 254);
    EXPECT_EQ(form.Flame->Decay(), 2);
    EXPECT_FALSE(form.NearView);
    auto* clock = dynamic_cast<TGLClock*>(form.Scene->FindObject("GLClock"));
    ASSERT_TRUE(clock);
    EXPECT_EQ(clock->Mode, 0);
    EXPECT_EQ(form.FrontTexture->GetFileIndex(), 0);
}

TEST_F(FireplaceProgram, StoredValuesOutsideTheControlsAreClampedAndWrittenBackClamped)
{
    LoadScene();
    Stored("FlameDecay", "50");
    Stored("Clock Mode", "7");
    Stored("Snap SoundVolume", "150");
    Stored("DemoFrontIndex", "9");
    Stored("DemoFireplaceIndex", "-3");
    form.LoadSettings(store);
    EXPECT_EQ(form.Flame->Decay(), 5);
    auto* snap = dynamic_cast<TSceneSound*>(form.Scene->FindObject("Sounds/Snap Sound"));
    ASSERT_TRUE(snap && snap->Sound());
    EXPECT_EQ(snap->Sound()->Volume(), 100);
    EXPECT_EQ(form.FrontTexture->GetFileIndex(), 1);  // the last of two choices
    EXPECT_EQ(form.FireplaceMesh->FileIndex, 0);
    form.SaveSettings(store);
    EXPECT_EQ(Saved("FlameDecay"), "5");
    EXPECT_EQ(Saved("Clock Mode"), "2");
    EXPECT_EQ(Saved("Snap SoundVolume"), "100");
    EXPECT_EQ(Saved("DemoFrontIndex"), "1");
    EXPECT_EQ(Saved("DemoFireplaceIndex"), "0");
}

TEST_F(FireplaceProgram, FlameIsCopiedThroughThePalettesBottomUp)
{
    LoadScene();
    form.LoadSettings(store);
    DecodeFlameTextures();
    ASSERT_TRUE(form.FlameTexture && form.LightMapTexture);
    TGLTexture* tex = form.FlameTexture->GLTexture();
    TGLTexture* light = form.LightMapTexture->GLTexture();
    ASSERT_TRUE(tex && light);
    ASSERT_EQ(tex->Width(), 256);
    ASSERT_EQ(light->Width(), 128);
    Random::SetState(0);
    for (int i = 0; i < 20; ++i)
        form.Update(0.04f);
    const auto& palette = form.Flame->Palette();
    const auto& lpal = form.Flame->LightPalette();
    int hot = 0;
    for (int y : {0, 100, 200, 240, 245, 255}) {
        const std::int32_t* heat = form.Flame->Row(y);
        const std::uint8_t* row = tex->RowPixels(255 - y);
        ASSERT_NE(row, nullptr);
        for (int x = 0; x < 256; x += 17) {
            ASSERT_EQ(Word(row + 4 * x), Word(palette[heat[x]])) << x << "," << y;
            hot += heat[x] > 100;
        }
    }
    EXPECT_GT(hot, 0) << "the flame never heated the sampled rows";
    for (int y : {0, 64, 127}) {
        const std::int32_t* heat = form.Flame->Row(2 * y);
        const std::uint8_t* row = light->RowPixels(127 - y);
        ASSERT_NE(row, nullptr);
        for (int x = 0; x < 128; x += 9)
            ASSERT_EQ(Word(row + 4 * x), Word(lpal[heat[2 * x]])) << x << "," << y;
    }
}

TEST_F(FireplaceProgram, SixteenBitTexturesGetTheDitherVariants)
{
    LoadScene();
    form.LoadSettings(store);
    ASSERT_TRUE(form.TextureList);
    form.TextureList->ColorBit = TTextureColorBit::Bit16;
    DecodeFlameTextures();
    for (int i = 0; i < 10; ++i)
        form.Update(0.04f);
    TGLTexture* tex = form.FlameTexture->GLTexture();
    ASSERT_NE(tex, nullptr);
    const auto& dpal = form.Flame->DitherPalette();
    for (int y : {201, 254}) {
        const std::int32_t* heat = form.Flame->Row(y);
        const std::uint8_t* row = tex->RowPixels(255 - y);
        for (int x : {40, 41, 128, 129}) {
            const int variant = 2 * (y % 2) + (x % 2);
            ASSERT_EQ(Word(row + 4 * x), Word(dpal[heat[x]][variant])) << x << "," << y;
        }
    }
}

TEST_F(FireplaceProgram, WideScreenStretchIsAppliedOnceAndUndone)
{
    LoadScene();
    ASSERT_TRUE(form.FireplaceMesh);
    form.FireplaceMesh->EnsureBuilt();
    auto firstU = [&] {
        for (const auto* groups : {&form.FireplaceMesh->OpaqueGroups(), &form.FireplaceMesh->AlphaGroups()})
            for (const auto& g : *groups)
                if (g->Primitive && g->Primitive->TexCoords[0].Count() > 0)
                    for (std::int32_t k = 0; k < g->Primitive->TexCoords[0].Count(); ++k) {
                        const float s = g->Primitive->TexCoords[0].GetTexCoord(k).S;
                        if (s != 0.0f)
                            return s;
                    }
        return 0.0f;
    };
    const float u = firstU();
    ASSERT_NE(u, 0.0f);
    form.SetWideScreen(true);
    form.SetWideScreen(true);
    EXPECT_NEAR(firstU(), u * 1.7777778f, 1e-4f);
    EXPECT_TRUE(form.WideScreen);
    form.SetWideScreen(false);
    EXPECT_NEAR(firstU(), u, 1e-5f);
    EXPECT_FLOAT_EQ(form.WideFactor, 1.0f);

    // Another Style loads another model: it is stretched like the rest, and
    // switching wide screen off restores it as loaded.
    form.SetFireplaceStyle(1);
    form.FireplaceMesh->EnsureBuilt();  // what the next frame does
    const float u1 = firstU();
    ASSERT_NE(u1, 0.0f);
    form.SetFireplaceStyle(0);
    form.SetWideScreen(true);
    form.SetFireplaceStyle(1);
    EXPECT_EQ(form.FireplaceMesh->FileIndex, 1);
    EXPECT_NEAR(firstU(), u1 * 1.7777778f, 1e-4f);
    form.SetWideScreen(false);
    EXPECT_NEAR(firstU(), u1, 1e-5f);
}

TEST_F(FireplaceProgram, SwitchesWithoutASceneOnlyStoreTheirValues)
{
    form.SetSmoke(false);
    form.SetSparkles(false);
    form.SetFlameColorIndex(2);
    form.SetWideScreen(true);
    EXPECT_FALSE(form.Smoke);
    EXPECT_FALSE(form.Sparkles);
    EXPECT_EQ(form.FlameColorIndex, 2);
    EXPECT_TRUE(form.WideScreen);
    EXPECT_NO_THROW(form.Update(0.1f));
    EXPECT_NO_THROW(form.Render(0.1f));
    form.Stop();
    EXPECT_NO_THROW(form.Update(0.1f));
}

} // namespace
