#include "tests/render/RenderFixture.h"

TEST_F(RenderTest, ActivationReadsVersionAndExtensions)
{
    EXPECT_TRUE(GL().LibraryLoaded());
    EXPECT_FALSE(GL().GLVersion().empty());
    EXPECT_FALSE(GL().GLRenderer().empty());
    EXPECT_FALSE(GL().Extensions.empty());
    EXPECT_TRUE(GL().HasExtension("GL_ARB_multitexture"));
    EXPECT_FALSE(GL().HasExtension("GL_NO_SUCH_extension_here"));
    // The default request (32 colour, 16 depth) matches the second format exactly.
    EXPECT_EQ(GL().HardwareFormats.size(), 2u);
    EXPECT_EQ(GL().HardwareFormatIndex, 1);
    EXPECT_EQ(GL().Renderer(), TGLRenderer::OpenGL);
    EXPECT_GE(GL().Lights().MaxLights(), 8);
}

TEST_F(RenderTest, ClearColourReachesEveryPixel)
{
    glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const std::vector<std::uint8_t> p = headless->ReadPixels();
    ASSERT_EQ(p.size(), static_cast<std::size_t>(W * H * 4));
    for (int y : {0, H / 2, H - 1})
        for (int x : {0, W / 2, W - 1})
            EXPECT_TRUE(Near(Pixel(x, y), {255, 128, 0, 255})) << x << "," << y;
}
