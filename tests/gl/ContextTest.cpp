#include <gtest/gtest.h>

#include "gl/Errors.h"
#include "tests/common/TestUtil.h"
#include "tests/gl/FakeGL.h"

namespace {
struct Setup {
    FakeDriver* driver;
    std::unique_ptr<TCustomOpenGL> gl;
};

Setup Make(std::vector<TGLPixelFormatDescriptor> formats)
{
    auto driver = std::make_unique<FakeDriver>();
    driver->Formats = std::move(formats);
    FakeDriver* raw = driver.get();
    return {raw, std::make_unique<TCustomOpenGL>(std::move(driver))};
}

// Remembers the renderer values the virtual setter received.
class RecordingOpenGL : public TCustomOpenGL {
public:
    using TCustomOpenGL::TCustomOpenGL;
    void SetRenderer(TGLRenderer r) override
    {
        Set.push_back(r);
        TCustomOpenGL::SetRenderer(r);
    }
    std::vector<TGLRenderer> Set;
};
} // namespace

TEST(CustomOpenGL, ActivationChoosesFormatAndReadsCapabilities)
{
    auto s = Make({MakeDescriptor(32, 24, 8), MakeDescriptor(16, 16, 0, true), MakeDescriptor(32, 16, 0)});
    EXPECT_EQ(s.gl->GLRenderer(), ""); // never read while active
    s.gl->Activate(0);
    ASSERT_TRUE(s.gl->Active()) << s.gl->LastError();
    EXPECT_EQ(s.driver->LoadedName, "opengl32.dll");
    EXPECT_EQ(s.gl->HardwareFormats.size(), 2u);
    EXPECT_EQ(s.gl->GenericFormats.size(), 1u);
    EXPECT_EQ(s.gl->HardwareFormatIndex, 1);
    EXPECT_EQ(s.gl->HardwareFormats[1].FormatNumber, 3);
    EXPECT_EQ(s.gl->GLRenderer(), "Fake Renderer");
    EXPECT_EQ(s.gl->Extensions.size(), 3u);
    ASSERT_EQ(s.gl->WGLExtensions.size(), 2u);
    EXPECT_EQ(s.gl->WGLExtensions[1], "WGL_ARB_extensions_string");
    // Plain substring search.
    EXPECT_TRUE(s.gl->HasExtension("EXT_separate_specular_color"));
    EXPECT_FALSE(s.gl->HasExtension("GL_ARB_texture_compression"));
    // The lists were initialised from the extensions.
    EXPECT_TRUE(s.gl->Textures().HasBGRA);
    EXPECT_TRUE(s.gl->Textures().UseMultitexture);
    EXPECT_EQ(s.gl->Textures().MaxTextureUnits, 4);
    EXPECT_EQ(s.gl->Textures().CompressedRGBAFormat, GL_RGBA8); // no compression extension
    EXPECT_EQ(s.gl->Primitives().MaxTextureUnits, 4);
    EXPECT_TRUE(s.gl->Materials().HasSeparateSpecular);
    EXPECT_EQ(s.gl->GetInt(GL_MAX_LIGHTS), 8);

    s.gl->Deactivate();
    EXPECT_FALSE(s.gl->Active());
    EXPECT_FALSE(s.driver->Context);
    EXPECT_TRUE(s.gl->HardwareFormats.empty());
    EXPECT_FALSE(s.gl->FormatsEnumerated());
    EXPECT_TRUE(s.gl->LibraryLoaded());
}

TEST(CustomOpenGL, SoftwareRasterizerKeepsCompressedKindsUncompressed)
{
    const std::string extensions = FakeExtensions();
    FakeExtensions() += " GL_ARB_texture_compression";
    auto s = Make({MakeDescriptor(32, 16, 0)});
    s.gl->Activate(0);
    ASSERT_TRUE(s.gl->Active());
    EXPECT_FALSE(s.gl->SoftwareRasterizer());
    EXPECT_EQ(s.gl->Textures().CompressedRGBFormat, GL_COMPRESSED_RGB_ARB);
    EXPECT_EQ(s.gl->Textures().CompressedRGBAFormat, GL_COMPRESSED_RGBA_ARB);
    s.gl->Deactivate();

    FakeRenderer() = "llvmpipe (LLVM 15.0.6, 256 bits)";
    s.gl->Activate(0);
    EXPECT_TRUE(s.gl->SoftwareRasterizer());
    EXPECT_TRUE(s.gl->Textures().HasCompression);
    EXPECT_EQ(s.gl->Textures().CompressedRGBFormat, GL_RGB8);
    EXPECT_EQ(s.gl->Textures().CompressedRGBAFormat, GL_RGBA8);
    s.gl->Deactivate();
    FakeRenderer() = "Fake Renderer";
    FakeExtensions() = extensions;
}

TEST(CustomOpenGL, OnlyGenericFormatsMakeTheRendererGeneric)
{
    auto s = Make({MakeDescriptor(16, 16, 0, true), MakeDescriptor(32, 16, 0, true)});
    s.gl->Activate(0);
    ASSERT_TRUE(s.gl->Active()) << s.gl->LastError();
    EXPECT_EQ(s.gl->Renderer(), TGLRenderer::Generic);
    EXPECT_EQ(s.gl->GenericFormatIndex, 1);
    EXPECT_EQ(s.gl->ActiveFormats()[1].FormatNumber, 2);
}

TEST(CustomOpenGL, FailedDirectXActivationFallsBackToOpenGL)
{
    auto driver = std::make_unique<FakeDriver>();
    driver->Formats = {MakeDescriptor(32, 16, 0)};
    driver->FailLoad = true;
    RecordingOpenGL gl(std::move(driver));
    gl.SetRenderer(TGLRenderer::DirectX);
    gl.Activate(0);
    EXPECT_FALSE(gl.Active());
    EXPECT_EQ(gl.LastError(), "Error: Could not load DLL from dx7ogl32.dll");
    ASSERT_EQ(gl.Set.size(), 2u);
    EXPECT_EQ(gl.Set[1], TGLRenderer::OpenGL);
    EXPECT_EQ(gl.Renderer(), TGLRenderer::OpenGL);
}

TEST(CustomOpenGL, CreateRCErrorsLeaveTheContextInactive)
{
    auto none = Make({});
    none.gl->Activate(0);
    EXPECT_FALSE(none.gl->Active());
    EXPECT_EQ(none.gl->LastError(), "Create RC failed: FormatIndex is not selected!");

    auto failing = Make({MakeDescriptor(32, 16, 0)});
    failing.driver->FailContext = true;
    failing.gl->Activate(0);
    EXPECT_FALSE(failing.gl->Active());
    EXPECT_EQ(failing.gl->LastError(), "Create RC failed: Context is not created!");
    EXPECT_FALSE(failing.driver->Context);
}

TEST(CustomOpenGL, GetIntWithoutContextRaises)
{
    auto s = Make({MakeDescriptor(32, 16, 0)});
    EXPECT_EQ(testutil::ErrorOf([&] { s.gl->GetInt(GL_MAX_LIGHTS); }), "TCustomOpenGL.GetInt error: OpenGL is not activated!");
    EXPECT_THROW(s.gl->Lights().MaxLights(), EPyrelumeError);
}

TEST(CustomOpenGL, SwapParityAndInterval)
{
    auto s = Make({MakeDescriptor(32, 16, 0)});
    s.gl->PaintSwap(0); // parity starts true: nothing
    EXPECT_EQ(s.driver->Swaps, 0);
    s.gl->SwapBuffers(0);
    EXPECT_EQ(s.driver->Swaps, 1);
    EXPECT_EQ(s.driver->IntervalSets, 0); // WaitSync with interval 1 already
    s.gl->PaintSwap(0);
    EXPECT_EQ(s.driver->Swaps, 2);
    s.gl->PaintSwap(0);
    EXPECT_EQ(s.driver->Swaps, 2);
    s.gl->WaitSync = false;
    s.gl->SwapBuffers(0);
    EXPECT_EQ(s.driver->Interval, 0);
    s.gl->SwapBuffers(0);
    EXPECT_EQ(s.driver->IntervalSets, 1); // only when not 0 already
}

TEST(CustomOpenGL, DisplayListsAreBuiltOnActivationAndReleased)
{
    auto s = Make({MakeDescriptor(32, 16, 0)});
    int calls = 0;
    TGLDisplayList* list = s.gl->DisplayLists().AddDisplayList(3, [&](TGLDisplayList&) { ++calls; });
    s.gl->Activate(0);
    ASSERT_TRUE(s.gl->Active());
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(list->Base, 7u);
    EXPECT_TRUE(list->Built);
    FakeLog().clear();
    s.gl->Deactivate();
    auto deletes = FakeCalls("glDeleteLists");
    ASSERT_EQ(deletes.size(), 1u);
    EXPECT_EQ(deletes[0].Args, (std::vector<double>{7, 3}));
    EXPECT_FALSE(list->Built);
}

TEST(CustomOpenGL, ExtensionStringsSplitAtBlanksAndCommas)
{
    EXPECT_EQ(SplitExtensionString(" A_b,C  D,,E "), (std::vector<std::string>{"A_b", "C", "D", "E"}));
    EXPECT_TRUE(SplitExtensionString("").empty());
}

TEST(GLItems, DestroyedItemLeavesItsList)
{
    TGLTextureList list;
    TGLTexture* a = list.AddTexture();
    TGLTexture* b = list.AddTexture();
    EXPECT_EQ(list.Count(), 2);
    delete a;
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Texture(0), b);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}
