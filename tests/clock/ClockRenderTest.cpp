// The clock of the fireplace scene drawn through EGL at a fixed time: its
// pixels lie at the sprite layer's point (824, 20 of the 1024 x 768 virtual
// screen), tinted with the clock colour, and nowhere else.
#include "tests/particles/FireplaceRender.h"

namespace {

// The picture of frame 1 with the clock in a mode at a time; empty on skip.
std::vector<std::uint8_t> ClockPicture(int mode, const char* time, std::string& error)
{
    TFixedTimeProvider fixed;
    EXPECT_TRUE(ParseLocalTime(time, fixed.Time));
    Random::SetState(0);
    FireplaceRender r(&fixed);
    error = r.Error();
    std::vector<std::uint8_t> picture;
    if (error.empty()) {
        auto* clock = dynamic_cast<TGLClock*>(r.Scene->FindObject("GLClock"));
        EXPECT_NE(clock, nullptr);
        if (clock)
            clock->SetMode(mode);
        picture = r.Frame(0);
    }
    return picture;
}

} // namespace

TEST(ClockRender, DrawnAtTheSpriteLayersPointInTheClockColour)
{
    using R = FireplaceRender;
    const std::uint32_t saved = Random::State();
    std::string error;
    const auto hidden = ClockPicture(0, "2024-03-15T21:05:00", error);
    if (!error.empty())
        GTEST_SKIP() << error;
    const auto shown = ClockPicture(1, "2024-03-15T21:05:00", error);
    const auto morning = ClockPicture(1, "2024-03-15T09:05:00", error);
    const auto twelve = ClockPicture(2, "2024-03-15T21:05:00", error);
    Random::SetState(saved);

    // The plate: 180 x 131 at (824, 20).
    const int x0 = R::VX(824), x1 = R::VX(824 + 180), y0 = R::VY(20), y1 = R::VY(20 + 131);
    const int area = (x1 - x0) * (y1 - y0);
    EXPECT_GT(R::Differing(hidden, shown, x0, y0, x1, y1), area / 2);
    // Nothing else of the picture changes.
    EXPECT_EQ(R::Differing(hidden, shown, 0, 0, R::W, R::H) - R::Differing(hidden, shown, x0, y0, x1, y1), 0);

    // Tinted 255, 120, 40: the plate reads orange.
    long r = 0, b = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            r += R::At(shown, x, y).R;
            b += R::At(shown, x, y).B;
        }
    EXPECT_GT(r, 2 * b);

    // The hour's tens digit ("time1" at 12, 63 of the plate, 36 x 58) is
    // hidden at 09:05 and shows "2" at 21:05; the minutes stay.
    const int t0 = R::VX(824 + 12), t1 = R::VX(824 + 48), u0 = R::VY(20 + 63), u1 = R::VY(20 + 121);
    EXPECT_GT(R::Differing(shown, morning, t0, u0, t1, u1), 20);
    const int m0 = R::VX(824 + 100), m1 = R::VX(824 + 172);
    EXPECT_EQ(R::Differing(shown, morning, m0, u0, m1, u1), 0);
    // The 12-hour clock shows "9" where the 24-hour clock shows "1", and the
    // "pm" mark at (8, 100).
    EXPECT_GT(R::Differing(shown, twelve, t0, u0, t1, u1), 20);
    EXPECT_EQ(R::Differing(twelve, morning, m0, u0, m1, u1), 0);
}
