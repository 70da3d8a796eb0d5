#include <cmath>
#include <cstring>

#include "tests/render/RenderFixture.h"

namespace {
// A 10 x 10 quad at z = -10 facing the camera, texture coordinates 0..1.
TGLPrimitive* AddQuad(TCustomOpenGL& gl)
{
    TGLPrimitive* quad = gl.Primitives().AddPrimitive();
    const float v[] = {-5, -5, -10, 5, -5, -10, 5, 5, -10, -5, 5, -10};
    quad->Vertices.SetValues(v);
    const float t[] = {0, 0, 1, 0, 1, 1, 0, 1};
    quad->GetTextureCoords(0).SetValues(t);
    const std::uint16_t i[] = {0, 1, 2, 0, 2, 3};
    quad->Indices.SetValues(i);
    return quad;
}

// Camera at the origin looking down -Z with a 90 degree field of view: at
// z = -10 the view spans 10 units up and 10 x aspect units to the right.
TGLViewport* AddCamera(TCustomOpenGL& gl, int w, int h)
{
    TGLViewport* vp = gl.Viewports().AddViewport();
    vp->SetRect(0, 0, w, h);
    vp->SetPerspective(90, double(w) / h, 1, 100);
    return vp;
}

// A 2 x 2 texture in blue-first order: bottom row red, green; top row blue, white.
TGLTexture* AddChecker(TCustomOpenGL& gl)
{
    gl.Textures().UseBGRA = true;
    TGLTexture* tex = gl.Textures().AddRGB8(2, 2);
    tex->Filter = GL_NEAREST;
    tex->EnvMode = GL_REPLACE;
    const std::uint8_t bgr[] = {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};
    std::memcpy(tex->FramePixels(), bgr, sizeof bgr);
    return tex;
}

void Draw(TGLViewport* vp, TGLTexture* tex, TGLPrimitive* quad)
{
    vp->Apply();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    tex->Enable();
    quad->Render();
    glDisable(GL_TEXTURE_2D);
}
} // namespace

// The quad spans NDC x in [-0.375, 0.375] and y in [-0.5, 0.5]: pixels 20..44 by 12..36.
TEST_F(RenderTest, TexturedQuadLandsWhereTheCameraPutsIt)
{
    TGLViewport* vp = AddCamera(GL(), W, H);
    TGLTexture* tex = AddChecker(GL());
    TGLPrimitive* quad = AddQuad(GL());
    Draw(vp, tex, quad);
    EXPECT_TRUE(tex->Uploaded());
    EXPECT_TRUE(Near(Pixel(24, 16), {255, 0, 0, 255}));   // bottom-left texel
    EXPECT_TRUE(Near(Pixel(40, 16), {0, 255, 0, 255}));   // bottom-right
    EXPECT_TRUE(Near(Pixel(24, 32), {0, 0, 255, 255}));   // top-left
    EXPECT_TRUE(Near(Pixel(40, 32), {255, 255, 255, 255})); // top-right
    EXPECT_TRUE(Near(Pixel(18, 24), {0, 0, 0, 255}));     // left of the quad
    EXPECT_TRUE(Near(Pixel(32, 38), {0, 0, 0, 255}));     // above it
    EXPECT_TRUE(Near(Pixel(46, 24), {0, 0, 0, 255}));     // right of it
}

TEST_F(RenderTest, SubImageUpdateIsVisibleWithoutNewName)
{
    TGLViewport* vp = AddCamera(GL(), W, H);
    TGLTexture* tex = AddChecker(GL());
    TGLPrimitive* quad = AddQuad(GL());
    Draw(vp, tex, quad);
    const GLuint name = tex->Name();
    std::uint8_t* bottom = tex->RowPixels(0);
    bottom[0] = 255, bottom[1] = 0, bottom[2] = 255; // bottom-left becomes magenta
    tex->UpdateData();
    Draw(vp, tex, quad);
    EXPECT_EQ(tex->Name(), name);
    EXPECT_TRUE(Near(Pixel(24, 16), {255, 0, 255, 255}));
    EXPECT_TRUE(Near(Pixel(40, 16), {0, 255, 0, 255}));
}

TEST_F(RenderTest, RestartReuploadsTexturesFromMemory)
{
    TGLTexture* tex = AddChecker(GL());
    TGLPrimitive* quad = AddQuad(GL());
    AddCamera(GL(), W, H);
    int built = 0;
    TGLDisplayList* list = GL().DisplayLists().AddDisplayList(1, [&](TGLDisplayList& l) {
        ++built;
        glNewList(l.Base, GL_COMPILE);
        glEnd();
        glEndList();
    });
    // Lists are built at activation; one added later waits for BuildAll.
    EXPECT_EQ(built, 0);
    GL().DisplayLists().BuildAll();
    EXPECT_EQ(built, 1);
    EXPECT_TRUE(list->Built);
    Draw(GL().Viewports().Viewport(0), tex, quad);

    headless->Stop();
    EXPECT_FALSE(GL().Active());
    EXPECT_FALSE(tex->Uploaded());
    EXPECT_FALSE(list->Built);
    EXPECT_TRUE(GL().HardwareFormats.empty());

    ASSERT_TRUE(headless->Start()) << headless->Error();
    EXPECT_EQ(built, 2);
    EXPECT_TRUE(glIsList(list->Base));
    // The same objects draw the same picture in the new context.
    Draw(GL().Viewports().Viewport(0), tex, quad);
    EXPECT_TRUE(tex->Uploaded());
    EXPECT_TRUE(Near(Pixel(24, 16), {255, 0, 0, 255}));
    EXPECT_TRUE(Near(Pixel(40, 32), {255, 255, 255, 255}));
}

TEST_F(RenderTest, MipmapChainDefinesEveryLevel)
{
    TGLTexture* tex = GL().Textures().AddRGBA8(8, 2);
    tex->Filter = GL_LINEAR_MIPMAP_LINEAR;
    tex->Enable();
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_HEIGHT, &h);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 1);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &w);
    EXPECT_EQ(w, 4);
    EXPECT_EQ(glGetError(), GL_NO_ERROR);
}

TEST_F(RenderTest, ViewportLoadsCameraAndVolume)
{
    TGLViewport* vp = GL().Viewports().AddViewport();
    vp->Position = {0, 105, 240};
    vp->SetPerspective(90, 1.3333334, 100, 10000);
    vp->Apply();
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const float expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, -105, -240, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(m[i], expected[i], 1e-4) << i;
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    const TGLMatrix p = vp->ProjectionMatrix();
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(m[i], p[i], 1e-5) << i;
    GLint rect[4];
    glGetIntegerv(GL_VIEWPORT, rect);
    EXPECT_EQ(rect[2], 100);
    EXPECT_EQ(rect[3], 100);
}

TEST_F(RenderTest, InfiniteLightIsSentInEyeCoordinates)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(5, 6, 7); // must not affect the light's position
    TGLLight* light = GL().Lights().AddLight();
    light->SetDirection({0, -1, -1});
    light->Enable();
    EXPECT_TRUE(light->Enabled());
    EXPECT_EQ(light->Index(), 0);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    float pos[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, pos);
    EXPECT_FLOAT_EQ(pos[0], 0);
    EXPECT_FLOAT_EQ(pos[1], 1);
    EXPECT_FLOAT_EQ(pos[2], 1);
    EXPECT_FLOAT_EQ(pos[3], 0);
    TGLLight* second = GL().Lights().AddLight();
    second->Enable();
    EXPECT_EQ(second->Index(), 1);
    light->Disable();
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_EQ(GL().Lights().UsedSlots(), 0x2u);
}

TEST_F(RenderTest, ScreenShotHoldsTightRgbRows)
{
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    TGLScreenShot& shot = GL().ScreenShot();
    shot.Capture(W - 1, H); // an odd width still gives tightly packed rows
    EXPECT_EQ(shot.Count(), 1);
    EXPECT_EQ(shot.RowSize(), (W - 1) * 3);
    ASSERT_NE(shot.Row(H - 1), nullptr);
    EXPECT_EQ(shot.Row(H - 1)[(W - 2) * 3 + 1], 255);
    EXPECT_EQ(shot.Row(H - 1)[(W - 2) * 3], 0);
    EXPECT_EQ(shot.Row(H), nullptr);
}

TEST_F(RenderTest, SwapControlsTheIntervalAndParity)
{
    auto& driver = static_cast<TEglDriver&>(*GL().Driver());
    GL().WaitSync = false;
    GL().SwapBuffers(0);
    EXPECT_EQ(driver.GetSwapInterval(), 0);
    EXPECT_FALSE(GL().SwapParity());
    GL().PaintSwap(0); // parity false: swaps
    EXPECT_EQ(driver.SwapCount(), 2);
    GL().PaintSwap(0); // parity true again: nothing
    EXPECT_EQ(driver.SwapCount(), 2);
    GL().WaitSync = true;
    GL().SwapBuffers(0);
    EXPECT_EQ(driver.GetSwapInterval(), 1);
}
