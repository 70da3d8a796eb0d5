// The scene's frame-rate text drawn through EGL: white glyphs at its place
// (16, 732 of the 1024 x 768 virtual screen) over the fireplace, nothing else.
#include "tests/particles/FireplaceRender.h"

namespace {

std::vector<std::uint8_t> Picture(bool fps, std::string& error)
{
    Random::SetState(0);
    FireplaceRender r;
    error = r.Error();
    if (!error.empty())
        return {};
    if (fps) {
        r.Scene->ShowFps(true);
        r.Scene->SetFpsValue(57);
    }
    return r.Frame(0);
}

} // namespace

TEST(FpsRender, FrameRateTextAtItsPlace)
{
    using R = FireplaceRender;
    const std::uint32_t saved = Random::State();
    std::string error;
    const auto off = Picture(false, error);
    if (!error.empty())
        GTEST_SKIP() << error;
    if (!FireplaceRender::HasFont())
        GTEST_SKIP() << "no DejaVu font installed (fonts-dejavu-core)";
    const auto on = Picture(true, error);
    Random::SetState(saved);

    // "57 fps" at 32 units per cell: about 6 x 20 units wide, one cell high.
    const int x0 = R::VX(16), x1 = R::VX(16 + 6 * 32), y0 = R::VY(732), y1 = R::H;
    const int inside = R::Differing(off, on, x0, y0, x1, y1);
    EXPECT_GT(inside, 50);
    EXPECT_EQ(R::Differing(off, on, 0, 0, R::W, R::H), inside);
    int white = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const Rgb p = R::At(on, x, y);
            white += p.R > 230 && p.G > 230 && p.B > 230;
        }
    EXPECT_GT(white, 20);
}
