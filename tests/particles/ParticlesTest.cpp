// Particle fire: population from the description, birth and rebirth per style,
// ageing, the spread of the first generation, kicks, gravity and the view-
// dependent birth window. Everything runs without a GL context.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "fire/FireClasses.h"
#include "gl/GLPrimitives.h"
#include "gl/Random.h"
#include "scene/GLGraphics.h"
#include "tests/common/TestUtil.h"

namespace {

// The fireplace camera: 39 degrees, 4:3, near 100, at (0, y, z).
void SetView(float cameraY, float cameraZ)
{
    TGLViewport& vp = SceneViewport(nullptr);
    vp.SetRect(0, 0, 640, 480);
    vp.SetPerspective(39, 1.3333334f, 100, 10000);
    vp.Position = MakeVector(0, cameraY, cameraZ);
}

std::unique_ptr<TBonFire> MakeFire(TBonFireStyle style, int count)
{
    auto f = std::make_unique<TBonFire>();
    f->StoreName("Fire");
    f->Style = style;
    f->MaxCount = 1000;
    if (style == TBonFireStyle::Sparkle) {
        f->MinZ = 50;
        f->MaxZ = 125;
        f->MinSpeed = 50;
        f->MaxSpeed = 150;
        f->BottomY = -500;
        f->UpY = 700;
    } else {
        f->MinZ = 35;
        f->MaxZ = 40;
        f->MinSpeed = 120;
        f->MaxSpeed = 240;
        f->BottomY = 30;
        f->UpY = 300;
    }
    f->SetParticleCount(count);
    return f;
}

TBonFireParticle& P(TBonFire& f, int i)
{
    return static_cast<TBonFireParticle&>(*f.Particle(i));
}

// A scene of one particle list "Sparkles" described by the given keys.
struct LoadedFire {
    TSceneTypeTable Types;
    std::unique_ptr<TMainScene> Scene = std::make_unique<TMainScene>();
    TBonFire* Fire = nullptr;
    explicit LoadedFire(const std::string& keys)
    {
        RegisterFireTypes(Types);
        Scene->Types = &Types;
        testutil::ScratchDir dir(std::string("particles_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::ofstream(dir.File("scene.gsc"), std::ios::binary)
            << "[MainScene]\nCount=1\n\n[MainScene1]\nType=TBonFire\nName=Sparkles\nProcessOptions=[Render,Animation]\n"
            << keys;
        Scene->Path = dir.Dir();
        Scene->SourceName = "scene.gsc";
        Scene->LoadFromSource();
        Fire = dynamic_cast<TBonFire*>(Scene->FindObject("Sparkles"));
        EXPECT_NE(Fire, nullptr);
    }
};

class ParticleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = Random::State();
        Random::SetState(0);
        SetView(105, 240);
    }
    void TearDown() override { Random::SetState(saved_); }

private:
    std::uint32_t saved_ = 0;
};

} // namespace

// ---------------------------------------------------------------- population

TEST_F(ParticleTest, CountIsCappedByMaxCountAndAbsentMaxCountGivesNone)
{
    EXPECT_EQ(LoadedFire("ParticleCount=25\nMaxCount=10\nCapacity=100\nCount=3\n").Fire->GetCount(), 10);
    EXPECT_EQ(LoadedFire("ParticleCount=25\n").Fire->GetCount(), 0);
}

TEST_F(ParticleTest, NewParticlesAreNamedInOrderAndPastTheirLife)
{
    auto f = MakeFire(TBonFireStyle::Smoke, 0);
    f->StoreName("Smoke");
    f->SetParticleCount(3);
    f->SetParticleCount(5);
    ASSERT_EQ(f->GetCount(), 5);
    const int batch[] = {1, 2, 3, 1, 2};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(f->Particle(i)->Name(), "Smoke" + std::to_string(i));
        EXPECT_EQ(f->Particle(i)->BatchIndex, batch[i]);
        EXPECT_FLOAT_EQ(f->Particle(i)->Age, 1.0f); // past its (zero) life: born on the first frame
        EXPECT_TRUE(f->Particle(i)->FirstLife);
    }
    f->SetParticleCount(2);
    ASSERT_EQ(f->GetCount(), 2);
    EXPECT_EQ(f->Particle(1)->Name(), "Smoke1");
    f->SetParticleCount(-4);
    EXPECT_EQ(f->GetCount(), 0);
}

TEST_F(ParticleTest, StyleTextIgnoresCaseAndAnythingElseIsFlame)
{
    EXPECT_EQ(StrToBonFireStyle("sparkle"), TBonFireStyle::Sparkle);
    EXPECT_EQ(StrToBonFireStyle("fire"), TBonFireStyle::Flame);
    EXPECT_EQ(LoadedFire("Style=sMoKe\nMaxCount=4\nParticleCount=4\n").Fire->Style, TBonFireStyle::Smoke);
    EXPECT_EQ(LoadedFire("").Fire->Style, TBonFireStyle::Sparkle); // no key: the default style
}

TEST_F(ParticleTest, SavedKeysRoundTripWithoutChildSections)
{
    LoadedFire loaded("MaxZ=125\nMinZ=50\nUpY=700\nBottomY=-500\nMaxSpeed=150\nMinSpeed=50\n"
                      "MaxCount=200\nStyle=Smoke\nGravity=9.5\nEnableGravity=1\nParticleCount=25\n");
    TBonFire* f = loaded.Fire;
    ASSERT_NE(f, nullptr);
    TResourceLoader saver;
    saver.CreateNew();
    saver.MainScene = loaded.Scene.get();
    saver.Section = "X";
    f->SaveToLoader(saver);
    const TIniMemFile& ini = *saver.Ini();
    auto value = [&](const char* key) { return *ini.Find("X", key); };
    EXPECT_EQ(value("ParticleCount"), "25");
    EXPECT_EQ(value("Style"), "Smoke");
    EXPECT_EQ(value("MaxCount"), "200");
    EXPECT_EQ(value("EnableGravity"), "1");
    EXPECT_FALSE(ini.ValueExists("X", "Count"));
    EXPECT_FALSE(ini.ValueExists("X", "Capacity"));
    EXPECT_FALSE(ini.SectionExists("Sparkles1"));
    EXPECT_FLOAT_EQ(f->Gravity, 9.5f);
    EXPECT_FLOAT_EQ(f->BottomY, -500);
}

// ---------------------------------------------------------------- birth and ageing

TEST_F(ParticleTest, FirstFrameBirthSpreadsAgesOverTheLife)
{
    auto f = MakeFire(TBonFireStyle::Smoke, 20);
    f->Animate(0);
    const double camZ = 240, near = 100, top = std::tan(19.5 * M_PI / 180) * near;
    for (int i = 0; i < 20; ++i) {
        const TBonFireParticle& p = P(*f, i);
        EXPECT_FALSE(p.FirstLife);
        ASSERT_GT(p.LifeTime, 0);
        EXPECT_GE(p.Age, p.LifeTime / 16 - 1e-5f) << i;
        EXPECT_LE(p.Age, p.LifeTime * 15 / 16 + 1e-5f) << i;
        const float speed = p.Velocity.Y;
        EXPECT_GE(speed, 120);
        EXPECT_LT(speed, 240);
        // Puffs form layers by their place in the batch.
        const float z = -(35.0f + 5.0f * static_cast<float>(i + 1) / 19.0f);
        EXPECT_NEAR(p.Position.Z, z, 1e-4);
        const double a = std::fabs(z - camZ) / near;
        const float yLow = static_cast<float>(std::max(30.0, 105 - a * top));
        EXPECT_NEAR(p.LifeTime, std::fabs(300 - yLow) / speed, 1e-4);
        // Advanced by its whole age at once.
        EXPECT_NEAR(p.Position.Y, yLow + speed * p.Age, 1e-3);
        EXPECT_NEAR(p.Angles.Z, p.Spin.Z * p.Age, 1e-3);
    }
    // Not all at the same age: the first generation is no single wave.
    EXPECT_NE(P(*f, 0).Age / P(*f, 0).LifeTime, P(*f, 1).Age / P(*f, 1).LifeTime);
}

TEST_F(ParticleTest, BirthDrawsFollowTheTableOrder)
{
    auto f = MakeFire(TBonFireStyle::Sparkle, 1);
    Random::SetState(12345);
    // Replay the generator: depth, x, speed, age, then the first-life spread.
    std::vector<double> r;
    for (int i = 0; i < 5; ++i)
        r.push_back(Random::Real());
    Random::SetState(12345);
    f->Respawn(*f->Particle(0));
    const TBonFireParticle& p = P(*f, 0);
    const float z = -static_cast<float>(50 + r[0] * 75);
    EXPECT_FLOAT_EQ(p.Position.Z, z);
    const double top = std::tan(19.5 * M_PI / 180) * 100, right = top * 1.3333334f;
    const double a = std::fabs(z - 240.0) / 100;
    const double xLow = (0 - a * right) / 2, xHigh = (0 + a * right) / 2;
    EXPECT_NEAR(p.Position.X, xLow + r[1] * (xHigh - xLow), 1e-3);
    const float speed = static_cast<float>(50 + r[2] * 100);
    EXPECT_FLOAT_EQ(p.Velocity.Y, speed);
    const double yLow = std::max(-500.0, 105 - a * top), yHigh = std::min(700.0, 105 + a * top);
    EXPECT_NEAR(p.Position.Y, yLow, 1e-3);
    const double cf = 1 - 2 * std::fabs(0.5 - (p.Position.X - xLow) / (xHigh - xLow));
    EXPECT_NEAR(p.CentreFactor, cf, 1e-4);
    EXPECT_NEAR(p.LifeTime, (yHigh - yLow) / speed * cf, 1e-4);
    EXPECT_NEAR(p.Age, p.LifeTime * (1 - r[3]), 1e-4);
    EXPECT_EQ(p.Spin, MakeVector(1300, 1700, 0));
    EXPECT_EQ(p.NextKick, 0);
    EXPECT_EQ(p.Angles, MakeVector(0, 0, 0));
    EXPECT_EQ(Random::State(), [] {
        Random::SetState(12345);
        for (int i = 0; i < 4; ++i)
            Random::Real();
        return Random::State();
    }());
}

TEST_F(ParticleTest, AgeEqualToLifeIsMovedNotReborn)
{
    auto f = MakeFire(TBonFireStyle::Smoke, 2);
    f->Animate(0);
    TBonFireParticle& p = P(*f, 0);
    p.LifeTime = 2.0f;
    p.Age = 1.5f;
    p.Position = MakeVector(1, 2, 3);
    p.Velocity = MakeVector(0, 8, 0);
    f->Animate(0.5f);
    EXPECT_FLOAT_EQ(p.Age, 2.0f);
    EXPECT_EQ(p.Position, MakeVector(1, 6, 3));

    // Past the end it is reborn at the bottom of the window with age 0.
    f->Animate(0.25f);
    EXPECT_FLOAT_EQ(p.Age, 0.0f);
    EXPECT_FALSE(p.FirstLife);
    EXPECT_GE(p.Velocity.Y, 120);
    EXPECT_GE(p.Position.Y, 30);
}

TEST_F(ParticleTest, UnbornParticlesWait)
{
    auto f = MakeFire(TBonFireStyle::Smoke, 1);
    TBonFireParticle& p = P(*f, 0);
    p.Age = -1.0f;
    p.Position = MakeVector(5, 5, 5);
    f->Animate(0.5f);
    EXPECT_FLOAT_EQ(p.Age, -0.5f);
    EXPECT_EQ(p.Position, MakeVector(5, 5, 5));
    EXPECT_TRUE(p.FirstLife);
}

TEST_F(ParticleTest, SparklesAreKickedSidewaysAndSmokeIsNot)
{
    auto sparks = MakeFire(TBonFireStyle::Sparkle, 10);
    sparks->Animate(0);
    for (int i = 0; i < 10; ++i) {
        const TBonFireParticle& p = P(*sparks, i);
        EXPECT_LE(std::fabs(p.Velocity.X), 75.0f);
        EXPECT_GT(p.NextKick, p.Age);
        EXPECT_LE(p.NextKick, p.Age + 1.0f);
    }
    EXPECT_NE(P(*sparks, 0).Velocity.X, 0);
    auto smoke = MakeFire(TBonFireStyle::Smoke, 5);
    smoke->Animate(0);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(P(*smoke, i).Velocity.X, 0);
}

TEST_F(ParticleTest, GravityTakesTheFramesStepFromTheVerticalSpeed)
{
    auto f = MakeFire(TBonFireStyle::Smoke, 1);
    f->Animate(0);
    f->EnableGravity = true;
    f->Gravity = 10;
    TBonFireParticle& p = P(*f, 0);
    p.LifeTime = 100;
    p.Age = 1;
    p.Velocity = MakeVector(0, 50, 0);
    f->Animate(0.5f);
    EXPECT_FLOAT_EQ(f->GravityStep, 5.0f);
    EXPECT_FLOAT_EQ(p.Velocity.Y, 45.0f);
}

TEST_F(ParticleTest, NearerCameraNarrowsTheSparkleWindowAndShortensLives)
{
    auto f = MakeFire(TBonFireStyle::Sparkle, 1);
    auto born = [&](float cameraY, float cameraZ) {
        SetView(cameraY, cameraZ);
        Random::SetState(777);
        f->Respawn(*f->Particle(0));
        return std::make_pair(std::fabs(P(*f, 0).Position.X), P(*f, 0).LifeTime);
    };
    const auto far = born(105, 240), near = born(80, 150);
    EXPECT_LT(near.first, far.first);   // narrower window
    EXPECT_LT(near.second, far.second); // shorter life
}

TEST_F(ParticleTest, FlameStyleUsesTheWholeRangesAndSinglePuffSitsAtMinZ)
{
    auto f = MakeFire(TBonFireStyle::Flame, 1);
    f->Respawn(*f->Particle(0));
    const TBonFireParticle& p = P(*f, 0);
    EXPECT_FLOAT_EQ(p.Position.Z, -35.0f);
    EXPECT_FLOAT_EQ(p.Position.Y, 30.0f);
    EXPECT_FLOAT_EQ(p.CentreFactor, 1.0f);
    EXPECT_NEAR(p.LifeTime, 270.0f / p.Velocity.Y, 1e-5);
    EXPECT_FLOAT_EQ(p.Age, 0);
}

TEST_F(ParticleTest, StandstillFireHasNoLifeInsteadOfNaN)
{
    auto f = std::make_unique<TBonFire>();
    f->StoreName("Still");
    f->MaxCount = 2;
    f->SetParticleCount(2);
    f->Animate(0);
    f->Animate(0.1f);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(std::isnan(P(*f, i).Age));
        EXPECT_FALSE(std::isnan(P(*f, i).Position.X));
        EXPECT_FLOAT_EQ(P(*f, i).LifeTime, 0);
    }
}

TEST_F(ParticleTest, HiddenListStillAnimates)
{
    auto f = MakeFire(TBonFireStyle::Smoke, 3);
    f->SetVisible(false);
    f->Animate(0);
    EXPECT_FALSE(P(*f, 0).FirstLife);
    f->Render(); // draws nothing and needs no context
}
