// The crackle loops play end to end forever: the jump from the last frame to
// the first must be no bigger than the ordinary steps inside the sound, and
// the loops must actually crackle (sharp peaks over a quiet bed). Played
// together as the scene plays them, they hold a low roar, are wide, and pop.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/common/TestUtil.h"
#include "tests/content/ContentArchive.h"

using namespace content_test;

namespace {

struct Stats {
    double rms = 0, diffRms = 0, peak = 0;
    double joinStep[2] = {0, 0};
};

Stats Measure(const Wave& w) {
    Stats s;
    const std::size_t frames = w.samples.size() / 2;
    double sum = 0, dsum = 0;
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < 2; ++c) {
            double v = w.samples[i * 2 + c];
            sum += v * v;
            s.peak = std::max(s.peak, std::fabs(v));
            if (i > 0) {
                double d = v - w.samples[(i - 1) * 2 + c];
                dsum += d * d;
            }
        }
    s.rms = std::sqrt(sum / (frames * 2.0));
    s.diffRms = std::sqrt(dsum / ((frames - 1) * 2.0));
    for (int c = 0; c < 2; ++c) s.joinStep[c] = std::fabs(double(w.samples[c]) - w.samples[(frames - 1) * 2 + c]);
    return s;
}

}  // namespace

TEST(ContentSounds, LoopsJoinWithoutAClick) {
    for (const char* name : {"fireplace1.wav", "fireplace2.wav"}) {
        SCOPED_TRACE(name);
        Wave w = ParseWave(Member(name));
        Stats s = Measure(w);
        for (int c = 0; c < 2; ++c) EXPECT_LE(s.joinStep[c], 3 * s.diffRms + 64) << "channel " << c;
        // the first and last 20 ms hold no event: their level is the bed's
        const std::size_t frames = w.samples.size() / 2, edge = 441;
        double edgePeak = 0;
        for (std::size_t i = 0; i < edge; ++i)
            for (int c = 0; c < 2; ++c)
                edgePeak = std::max({edgePeak, std::fabs(double(w.samples[i * 2 + c])),
                                     std::fabs(double(w.samples[(frames - 1 - i) * 2 + c]))});
        EXPECT_LT(edgePeak, s.peak * 0.5);
    }
}

TEST(ContentSounds, LoopsCrackleAndDiffer) {
    Wave a = ParseWave(Member("fireplace1.wav"));
    Wave b = ParseWave(Member("fireplace2.wav"));
    for (const Wave* w : {&a, &b}) {
        Stats s = Measure(*w);
        EXPECT_GT(s.rms, 300.0) << "an audible bed";
        EXPECT_LT(s.rms, 8000.0) << "a soft bed, not noise at full scale";
        EXPECT_GT(s.peak / s.rms, 6.0) << "pops and snaps stand out of the bed";
        EXPECT_LT(s.peak, 32767.0) << "no clipping";
    }
    EXPECT_NE(a.samples.size(), b.samples.size());
    // the channels are not copies of each other
    std::size_t same = 0;
    for (std::size_t i = 0; i + 1 < a.samples.size(); i += 2) same += a.samples[i] == a.samples[i + 1];
    EXPECT_LT(same, a.samples.size() / 20);
}

TEST(ContentSounds, TheSceneMixHasARoarWidthAndPops) {
    testutil::ScratchDir dir("content_sound_mix");
    const std::string archive = std::string(PYRELUME_BINARY_DIR) + "/data/data.rfa";
    auto r = testutil::RunTool("mix \"" + archive + "\" --seconds 20 --out \"" + dir.File("mix.wav") + "\"", dir);
    ASSERT_EQ(r.Code, 0) << r.Err;
    r = testutil::RunTool("wav stats \"" + dir.File("mix.wav") + "\"", dir);
    ASSERT_EQ(r.Code, 0) << r.Err;
    double low = -1, corr = 2, perSec = -1, peak = 0;
    int pops = 0;
    const char* at = std::strstr(r.Out.c_str(), "energy below 400 Hz:");
    ASSERT_NE(at, nullptr) << r.Out;
    ASSERT_EQ(std::sscanf(at, "energy below 400 Hz: %lf%%\nleft/right correlation: %lf\npops: %d, %lf", &low, &corr,
                          &pops, &perSec), 4)
        << r.Out;
    ASSERT_EQ(std::sscanf(std::strstr(r.Out.c_str(), "peak"), "peak %lf", &peak), 1) << r.Out;
    EXPECT_GE(low, 15.0) << "a low roar of flames under the crackle";
    EXPECT_LE(low, 80.0) << "the crackle is not drowned in rumble";
    EXPECT_LE(corr, 0.9) << "left and right differ";
    EXPECT_GE(corr, 0.1) << "still one fire in front of the listener";
    EXPECT_GE(perSec, 0.5);
    EXPECT_LE(perSec, 8.0);
    EXPECT_LT(peak, -1.0) << "the two loops together do not clip";
}
