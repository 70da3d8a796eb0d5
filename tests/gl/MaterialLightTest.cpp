#include <gtest/gtest.h>

#include "gl/Errors.h"
#include "tests/gl/FakeGL.h"

namespace {
class MaterialTest : public ::testing::Test {
protected:
    void SetUp() override { InstallFakeGL(); }
    void TearDown() override { ClearGLEntryPoints(); }
};
} // namespace

TEST_F(MaterialTest, FirstApplySendsEverythingThenOnlyChangedValues)
{
    TGLMaterial m;
    m.Apply();
    auto colours = FakeCalls("glMaterialfv");
    ASSERT_EQ(colours.size(), 4u);
    EXPECT_EQ(colours[0].Args[1], GL_AMBIENT);
    EXPECT_EQ(colours[1].Args[1], GL_DIFFUSE);
    EXPECT_EQ(colours[2].Args[1], GL_SPECULAR);
    EXPECT_EQ(colours[3].Args[1], GL_EMISSION);
    EXPECT_EQ(colours[0].Args[0], GL_FRONT);
    EXPECT_EQ(FakeCalls("glMaterialf").size(), 1u);
    EXPECT_EQ(m.Changed(), 0u);
    FakeLog().clear();
    m.Apply();
    EXPECT_TRUE(FakeLog().empty());
    m.SetDiffuse({1, 0, 0, 1});
    m.SetShininess(20);
    EXPECT_EQ(m.Changed(), mcDiffuse | mcShininess);
    m.Apply();
    ASSERT_EQ(FakeLog().size(), 2u);
    EXPECT_EQ(FakeLog()[0].Args, (std::vector<double>{GL_FRONT, GL_DIFFUSE, 1, 0, 0, 1}));
    EXPECT_EQ(FakeLog()[1].Args, (std::vector<double>{GL_FRONT, GL_SHININESS, 20}));
    m.SetBack(true);
    EXPECT_EQ(m.Changed(), 0x3Bu);
}

TEST_F(MaterialTest, FaceFollowsFrontAndBack)
{
    TGLMaterial m;
    m.SetBack(true);
    EXPECT_EQ(m.Face(), GL_FRONT_AND_BACK);
    m.SetFront(false);
    EXPECT_EQ(m.Face(), GL_BACK);
    m.SetBack(false);
    EXPECT_EQ(m.Face(), GL_BACK); // neither: still the back face
    m.ApplyAll();
    EXPECT_EQ(FakeCalls("glMaterialfv")[0].Args[0], GL_BACK);
}

TEST(LightSlots, LowestFreeSlotAndOverflowToZero)
{
    TGLLightList list;
    list.SetMaxLights(8);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(list.AllocSlot(), i);
    list.FreeSlot(1);
    EXPECT_EQ(list.AllocSlot(), 1);
    for (int i = 3; i < 8; ++i)
        EXPECT_EQ(list.AllocSlot(), i);
    EXPECT_EQ(list.AllocSlot(), 0); // all used: slot 0 again, nothing marked
    list.FreeSlot(40);              // out of range: ignored
    EXPECT_EQ(list.UsedSlots(), 0xFFu);

    // Drivers with many lights are limited to the 32-bit mask.
    TGLLightList many;
    many.SetMaxLights(100);
    EXPECT_EQ(many.MaxLights(), 32);
    for (int i = 0; i < 32; ++i)
        many.AllocSlot();
    EXPECT_EQ(many.UsedSlots(), 0xFFFFFFFFu);
    EXPECT_EQ(many.AllocSlot(), 0);
}

TEST(LightParameters, DirtyBitsAndPosition)
{
    TGLLight light;
    EXPECT_EQ(light.Changed(), lcAll);
    light.SetChanged(0);
    light.SetDirection({0, -1, -1});
    light.SetSpotCutoff(45);
    light.SetTwoSide(true);
    EXPECT_EQ(light.Changed(), lcDirection | lcSpotCutoff | lcTwoSide);
    float p[4];
    light.GLPosition(p);
    EXPECT_EQ(std::vector<float>(p, p + 4), (std::vector<float>{0, 1, 1, 0}));
    light.SetInfinite(false);
    light.SetPosition({1, 2, 3});
    light.GLPosition(p);
    EXPECT_EQ(std::vector<float>(p, p + 4), (std::vector<float>{1, 2, 3, 1}));
    // Without an active context nothing is sent and the bits stay.
    light.Apply();
    EXPECT_NE(light.Changed(), 0u);
    light.Enable();
    EXPECT_FALSE(light.Enabled());
}

TEST(LightParameters, StylePresets)
{
    TGLLight light;
    light.SetDirection({0, -1, 0});
    light.SetLinearAttenuation(0.5f);
    light.SetStyleParallel();
    EXPECT_TRUE(light.Infinite());
    EXPECT_FLOAT_EQ(light.Position().Y, -1e37f);
    EXPECT_EQ(light.LinearAttenuation(), 0);
    EXPECT_EQ(light.SpotCutoff(), 180);
    light.SetSpotExponent(3);
    light.SetStylePoint();
    EXPECT_FALSE(light.Infinite());
    EXPECT_EQ(light.SpotExponent(), 0);
}
