// Scenes drawn through the headless EGL context: placement by the camera
// maths, the 2D sprite layer and the order of translucent groups.
#include <unistd.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "gl/GLClasses.h"
#include "platform/HeadlessGL.h"
#include "scene/GLGraphics.h"

namespace {

// The scene graph's own types, for loading descriptions.
const TSceneTypeTable& GraphTypes()
{
    static const TSceneTypeTable types = [] {
        TSceneTypeTable t;
        RegisterSceneTypes(t);
        return t;
    }();
    return types;
}

constexpr int W = 128;
constexpr int H = 96;

struct RGB {
    int R, G, B;
};

TBitmapImage Solid(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    TBitmapImage img;
    img.Width = w;
    img.Height = h;
    for (int i = 0; i < w * h; ++i) {
        img.Pixels.push_back(b);
        img.Pixels.push_back(g);
        img.Pixels.push_back(r);
    }
    return img;
}

// A quad in the plane z from (x0, y0) to (x1, y1), counter-clockwise towards +Z.
std::string QuadObject(const std::string& name, const std::string& material, float x0, float y0, float x1,
                       float y1, float z)
{
    auto v = [&](float x, float y) {
        return "[" + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(z) + "]\n";
    };
    return "#Object 1\nName " + name + "\n#Vertices 4\n" + v(x0, y0) + v(x1, y0) + v(x1, y1) + v(x0, y1) +
           "#TextureCoords 4\n[0,0]\n[1,0]\n[1,1]\n[0,1]\n#VertexFaces 2\n[1,2,3]\n[1,3,4]\n"
           "#TextureCoordFaces 2\n[1,2,3]\n[1,3,4]\n#FaceMatID 2\n1\n1\n#Material 1\nName " +
           material + "\n";
}

std::string Material(const std::string& name, const std::string& colour, int opacity, const std::string& map)
{
    return "#MaterialStandard 6\nName " + name + "\nAmbient (color " + colour + ")\nDiffuse (color " + colour +
           ")\nOpacity " + std::to_string(opacity) + "\nDiffuseMap " + map + "\nOpacityMap undefined\n";
}

class SceneRenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless = std::make_unique<THeadlessGL>(W, H);
        if (!headless->Start())
            GTEST_SKIP() << "EGL could not create an OpenGL context: " << headless->Error();
        dir = (std::filesystem::temp_directory_path() / ("pyr_scene_render_" + std::to_string(::getpid()))).string() + "/";
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }

    void TearDown() override
    {
        scene.reset();
        headless.reset();
        std::error_code ec;
        if (!dir.empty())
            std::filesystem::remove_all(dir, ec);
    }

    void Write(const std::string& name, const std::string& text) { std::ofstream(dir + name, std::ios::binary) << text; }
    void WriteBmp(const std::string& name, const TBitmapImage& img)
    {
        const auto bytes = EncodeBmp24(img);
        std::ofstream(dir + name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                           static_cast<std::streamsize>(bytes.size()));
    }

    // The common head of the test descriptions: texture, material and mesh
    // lists under the test folder and a white ambient light.
    std::string Head(int count, int meshes = 1)
    {
        return "[MainScene]\nCount=" + std::to_string(count) +
               "\n[MainScene1]\nType=TSceneTextureList\nName=Textures\nPath=" + dir +
               "\nQuality=High\nColorBit=32bit\n"
               "[MainScene2]\nType=TSceneMaterialList\nName=Materials\n"
               "[MainScene3]\nType=TSceneMeshList\nName=Meshes\nPath=" +
               dir +
               "\nMaterials=Materials\nTextures=Textures\nCount=" + std::to_string(meshes) + "\n"
               "[MainScene4]\nType=TMainLight\nName=Light\nProcessOptions=[Render]\nAmbient=1,1,1,1\n";
    }

    void Load(const std::string& gsc)
    {
        Write("scene.gsc", gsc);
        scene = std::make_unique<TMainScene>();
        scene->OpenGL = &headless->GL();
        scene->Types = &GraphTypes();
        scene->Path = dir;
        scene->SourceName = "scene.gsc";
        scene->LoadFromSource();
    }

    // One frame as the program draws it: the fireplace camera, depth-only
    // clearing over a black start, culling, lighting and depth testing.
    void Frame()
    {
        TGLViewport* vp = headless->GL().Viewports().AddViewport();
        vp->SetRect(0, 0, W, H);
        vp->SetPerspective(39, 1.3333334f, 100, 10000);
        vp->SetCamera(TGLVector{0, 1, 0}, TGLVector{0, 0, -1});
        vp->Position = TGLVector{0, 105, 240};
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        vp->Apply();
        headless->GL().SetCullFace(true);
        headless->GL().SetLighting(true);
        headless->GL().SetDepthTest(true);
        scene->ProcessFrame(0);
        glFinish();
        pixels = headless->ReadPixels();
    }

    RGB Pixel(int x, int y) const
    {
        const std::uint8_t* q = pixels.data() + (static_cast<std::size_t>(y) * W + static_cast<std::size_t>(x)) * 4;
        return {q[0], q[1], q[2]};
    }

    static bool Near(RGB a, RGB b, int tol = 8)
    {
        return std::abs(a.R - b.R) <= tol && std::abs(a.G - b.G) <= tol && std::abs(a.B - b.B) <= tol;
    }

    std::unique_ptr<THeadlessGL> headless;
    std::unique_ptr<TMainScene> scene;
    std::vector<std::uint8_t> pixels;
    std::string dir;
};

} // namespace

TEST_F(SceneRenderTest, TexturedQuadLandsWhereTheCameraMathsSays)
{
    WriteBmp("quad.bmp", Solid(64, 64, 255, 160, 0));
    Write("quad.3dm", Material("QuadMat", "255 255 255", 100, "quad.bmp") +
                          QuadObject("Quad", "QuadMat", -20, 85, 20, 125, 0));
    Load(Head(5) + "[Meshes1]\nType=TSceneMesh\nName=Quad\nSourceName=quad.3dm\n"
                   ""
                   "[MainScene5]\nType=TMainVisualObject\nName=Q\nProcessOptions=[Render]\nVisual=Meshes/Quad\n");
    Frame();
    // At 240 units the view is tan(19.5 deg) x 240 = 85 units high above the
    // centre: the 40-unit quad around (0, 105) covers about 17 % of the width
    // and 23 % of the height around the middle of the window.
    EXPECT_TRUE(Near(Pixel(W / 2, H / 2), {255, 160, 0}));
    EXPECT_TRUE(Near(Pixel(W / 2 + 9, H / 2 + 9), {255, 160, 0}));
    EXPECT_TRUE(Near(Pixel(W / 2 + 14, H / 2), {0, 0, 0}));
    EXPECT_TRUE(Near(Pixel(W / 2, H / 2 + 14), {0, 0, 0}));
    EXPECT_TRUE(Near(Pixel(2, 2), {0, 0, 0}));
    // The model's material and texture were entered into the lists.
    EXPECT_NE(scene->FindObject("Materials/QuadMat"), nullptr);
    EXPECT_NE(scene->FindObject("Textures/quad.bmp"), nullptr);
}

TEST_F(SceneRenderTest, VisualObjectPositionMovesTheShape)
{
    WriteBmp("quad.bmp", Solid(64, 64, 255, 255, 255));
    Write("quad.3dm", Material("QuadMat", "255 255 255", 100, "quad.bmp") +
                          QuadObject("Quad", "QuadMat", -20, 85, 20, 125, 0));
    Load(Head(5) + "[Meshes1]\nType=TSceneMesh\nName=Quad\nSourceName=quad.3dm\n"
                   "[MainScene5]\nType=TMainVisualObject\nName=Q\nProcessOptions=[Render]\nVisual=Meshes/Quad\n"
                   "Position=60,0,0\n");
    Frame();
    // 60 units right is 60 / (85 x 4/3) of the half width: about 34 pixels.
    EXPECT_TRUE(Near(Pixel(W / 2, H / 2), {0, 0, 0}));
    EXPECT_TRUE(Near(Pixel(W / 2 + 34, H / 2), {255, 255, 255}));
}

TEST_F(SceneRenderTest, TranslucentGroupsAreDrawnAfterOpaqueOnes)
{
    // The translucent blue quad comes first in the model and lies in front of
    // the red one; blending needs the red one drawn first.
    Write("two.3dm", Material("Blue", "0 0 255", 50, "undefined") + Material("Red", "255 0 0", 100, "undefined") +
                         QuadObject("Front", "Blue", -20, 85, 20, 125, 10) +
                         QuadObject("Back", "Red", -30, 75, 0, 135, 0));
    Load(Head(5) + "[Meshes1]\nType=TSceneMesh\nName=Two\nSourceName=two.3dm\n"
                   "[MainScene5]\nType=TMainVisualObject\nName=T\nProcessOptions=[Render]\nAlpha=1\n"
                   "Visual=Meshes/Two\n");
    auto* mesh = dynamic_cast<TSceneMesh*>(scene->FindObject("Meshes/Two"));
    ASSERT_NE(mesh, nullptr);
    Frame();
    EXPECT_EQ(mesh->OpaqueGroups().size(), 1u);
    EXPECT_EQ(mesh->AlphaGroups().size(), 1u);
    EXPECT_TRUE(Near(Pixel(W / 2 - 5, H / 2), {128, 0, 128}, 12));  // blue over red
    EXPECT_TRUE(Near(Pixel(W / 2 + 5, H / 2), {0, 0, 128}, 12));    // blue over black
    EXPECT_TRUE(Near(Pixel(W / 2 - 17, H / 2), {255, 0, 0}, 12));   // red alone
}

TEST_F(SceneRenderTest, SpriteLayerPlacesSpritesOnTheVirtualScreen)
{
    WriteBmp("sprite.bmp", Solid(64, 64, 0, 255, 0));
    Load("[MainScene]\nCount=4\n"
         "[MainScene1]\nType=TSceneTextureList\nName=Textures\nPath=" +
         dir +
         "\nColorBit=32bit\nCount=1\n"
         "[Textures1]\nType=TSceneTexture\nName=sprite.bmp\nTextureName=sprite.bmp\n"
         "[MainScene2]\nType=TSceneMaterialList\nName=Materials\nCount=1\n"
         "[Materials1]\nType=TSceneMaterial\nName=Plain\nCount=1\n"
         "[MainScene3]\nType=TSceneMeshList\nName=Sprites\nCount=1\n"
         "[Sprites1]\nType=TSceneSprite\nName=Box\nMaterial=Materials/Plain\nTexture=Textures/sprite.bmp\n"
         "Width=64\nHeight=64\n"
         "[MainScene4]\nType=TMainSpriteList\nName=Overlay\nProcessOptions=[Render]\nPosition=824,20,0\n"
         "Count=1\n"
         "[Overlay1]\nType=TMainVisualObject\nName=B\nVisual=Sprites/Box\n");
    Frame();
    // Virtual (824..887, 20..83) of 1024 x 768 is window (103..110, 2..10).
    EXPECT_TRUE(Near(Pixel(106, 6), {0, 255, 0}));
    EXPECT_TRUE(Near(Pixel(100, 6), {0, 0, 0}));
    EXPECT_TRUE(Near(Pixel(106, 14), {0, 0, 0}));
    EXPECT_TRUE(Near(Pixel(114, 6), {0, 0, 0}));
    // The layer switched depth testing and culling back on.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(SceneRenderTest, UntexturedMaterialsKeepTheirColourFromFrameToFrame)
{
    // A plain red quad and a white self-lit one: from the second frame on the
    // red quad is drawn after the glowing one's material was the last sent,
    // and must still come out red, not in the other material's light.
    Write("two.3dm", Material("Red", "180 30 30", 100, "undefined") +
                         "#MaterialStandard 7\nName Glow\nAmbient (color 255 255 255)\n"
                         "Diffuse (color 255 255 255)\nselfIllumColor (color 255 255 255)\nOpacity 100\n"
                         "DiffuseMap undefined\nOpacityMap undefined\n" +
                         QuadObject("Left", "Red", -30, 85, -5, 125, 0) +
                         QuadObject("Right", "Glow", 5, 85, 30, 125, 0));
    Load(Head(5) + "[Meshes1]\nType=TSceneMesh\nName=Two\nSourceName=two.3dm\n"
                   "[MainScene5]\nType=TMainVisualObject\nName=T\nProcessOptions=[Render]\nVisual=Meshes/Two\n");
    for (int frame = 0; frame < 3; ++frame) {
        Frame();
        const RGB red = Pixel(W / 2 - 9, H / 2);
        EXPECT_GT(red.R, 150) << "frame " << frame;
        EXPECT_LT(red.G, 90) << "frame " << frame;
        EXPECT_LT(red.B, 90) << "frame " << frame;
        EXPECT_TRUE(Near(Pixel(W / 2 + 9, H / 2), {255, 255, 255})) << "frame " << frame;
    }
}
