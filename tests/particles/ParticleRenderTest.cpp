// The sparkles of the fireplace scene drawn through EGL: they change pixels
// above the fire from one frame to the next, beyond what the rest of the
// scene changes on its own.
#include "tests/particles/FireplaceRender.h"

namespace {

struct FramePair {
    std::vector<std::uint8_t> First, Second;
};

FramePair TwoFrames(bool sparkles, std::string& error)
{
    Random::SetState(0);
    FireplaceRender r;
    error = r.Error();
    if (!error.empty())
        return {};
    r.Scene->SetObjectVisible("Smoke", false);
    r.Scene->SetObjectVisible("Sparkles", sparkles);
    r.Frame(0);
    for (int i = 0; i < 10; ++i)
        r.Frame(1.0f / 30);
    FramePair p;
    p.First = r.Frame(1.0f / 30);
    p.Second = r.Frame(1.0f / 30);
    return p;
}

} // namespace

TEST(ParticleRender, SparklesChangePixelsAboveTheFire)
{
    const std::uint32_t saved = Random::State();
    std::string error;
    const FramePair on = TwoFrames(true, error);
    if (!error.empty())
        GTEST_SKIP() << error;
    const FramePair off = TwoFrames(false, error);
    Random::SetState(saved);

    // The fire's opening above the logs.
    const int x0 = 130, x1 = 510, y0 = 150, y1 = 280;
    const int moving = FireplaceRender::Differing(on.First, on.Second, x0, y0, x1, y1);
    const int still = FireplaceRender::Differing(off.First, off.Second, x0, y0, x1, y1);
    EXPECT_GT(moving, still + 5) << "sparkles on: " << moving << " changed pixels, off: " << still;
    // They are small points, most of them hidden by the flames and the guard.
    EXPECT_GT(FireplaceRender::Differing(on.Second, off.Second, x0, y0, x1, y1), 0);
    // Sparkles behind the wall stay hidden: over the mantel both runs agree.
    EXPECT_EQ(FireplaceRender::Differing(on.Second, off.Second, 0, 420, 640, 480), 0);
}
