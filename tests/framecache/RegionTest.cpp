// The changed area of a frame: rectangles that never overlap (a draw cut to
// each in turn must touch a pixel once) and always cover what was added.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gl/GLRect.h"

namespace {

bool Covered(const std::vector<TGLRect>& rects, int x, int y)
{
    for (const TGLRect& r : rects)
        if (x >= r.X && x < r.Right() && y >= r.Y && y < r.Top())
            return true;
    return false;
}

void ExpectDisjoint(const std::vector<TGLRect>& rects)
{
    for (std::size_t i = 0; i < rects.size(); ++i)
        for (std::size_t j = i + 1; j < rects.size(); ++j)
            EXPECT_FALSE(RectsMeet(rects[i], rects[j])) << i << " and " << j;
}

// A small fixed sequence of pseudo-random rectangles.
std::vector<TGLRect> Scatter(int n, std::uint32_t seed)
{
    std::vector<TGLRect> out;
    for (int i = 0; i < n; ++i) {
        auto next = [&](int m) {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(m));
        };
        out.push_back({next(900), next(700), 1 + next(120), 1 + next(60)});
    }
    return out;
}

} // namespace

TEST(Region, RectanglesStayDisjointAndCoverEverythingAdded)
{
    for (std::uint32_t seed : {1u, 7u, 99u}) {
        TGLRegion region(6);
        const std::vector<TGLRect> added = Scatter(40, seed);
        for (const TGLRect& r : added)
            region.Add(r);
        EXPECT_LE(region.Rects().size(), 6u);
        ExpectDisjoint(region.Rects());
        for (const TGLRect& r : added)
            for (int y = r.Y; y < r.Top(); y += 7)
                for (int x = r.X; x < r.Right(); x += 7)
                    ASSERT_TRUE(Covered(region.Rects(), x, y)) << x << "," << y;
        region.ClipTo({0, 0, 500, 400});
        EXPECT_LE(region.Bounds().Right(), 500);
        EXPECT_LE(region.Bounds().Top(), 400);
    }
}

TEST(Region, TileMaskRectanglesAreTheMarkedTilesOnlyUntilTheyMustBeJoined)
{
    const TGLRect area{0, 0, 1000, 750};
    TGLTileMask mask(area, 16);
    EXPECT_TRUE(mask.Empty());
    // An L of tiles and a far single tile.
    mask.Mark({0, 0, 160, 16});
    mask.Mark({0, 16, 16, 144});
    mask.Mark({800, 600, 5, 5});
    EXPECT_FALSE(mask.Empty());
    const std::vector<TGLRect> exact = mask.Rectangles(100);
    ExpectDisjoint(exact);
    std::int64_t area16 = 0;
    for (const TGLRect& r : exact)
        area16 += r.Area();
    EXPECT_EQ(area16, (10 + 9 + 1) * 256) << "only the marked tiles";
    // Fewer rectangles join pieces, still disjoint and covering.
    const std::vector<TGLRect> two = mask.Rectangles(2);
    EXPECT_LE(two.size(), 2u);
    ExpectDisjoint(two);
    for (int c = 0; c < mask.Columns(); ++c)
        for (int r = 0; r < mask.Rows(); ++r) {
            if (mask.Marked(c, r)) {
                EXPECT_TRUE(Covered(two, mask.TileRect(c, r).X, mask.TileRect(c, r).Y));
            }
        }
    // The last column and row are cut to the area.
    TGLTileMask edge(area, 16);
    edge.Mark({990, 740, 50, 50});
    EXPECT_EQ(edge.Bounds(), (TGLRect{976, 736, 24, 14}));
}
