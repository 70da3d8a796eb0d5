#pragma once
// Rectangles of window pixels (origin at the bottom left, as the GL counts
// them) and a small region made of a few of them: what part of a picture
// changed from one frame to the next.
#include <algorithm>
#include <cstdint>
#include <vector>

struct TGLRect {
    int X = 0, Y = 0, Width = 0, Height = 0;

    bool Empty() const { return Width <= 0 || Height <= 0; }
    int Right() const { return X + Width; }
    int Top() const { return Y + Height; }
    std::int64_t Area() const { return Empty() ? 0 : static_cast<std::int64_t>(Width) * Height; }
    bool operator==(const TGLRect&) const = default;
};

// The smallest rectangle holding both (an empty one adds nothing).
TGLRect UnionRect(const TGLRect& a, const TGLRect& b);
// The common part; empty when they do not meet.
TGLRect IntersectRect(const TGLRect& a, const TGLRect& b);
bool RectsMeet(const TGLRect& a, const TGLRect& b);
// The rectangle grown by n pixels on every side.
TGLRect InflateRect(const TGLRect& r, int n);

// A few disjoint rectangles covering a changed area. Adding a rectangle
// joins it with any it meets or nearly meets (or whose union costs little
// more than the two), and past MaxRects rectangles the pair whose union
// costs least is joined; every pixel ever added stays covered, and no pixel
// lies in two rectangles.
class TGLRegion {
public:
    TGLRegion() = default;
    explicit TGLRegion(int maxRects) : maxRects_(std::max(1, maxRects)) {}

    void Clear() { rects_.clear(); }
    void Add(const TGLRect& r);
    void Add(const TGLRegion& other);
    // Takes rectangles known not to overlap as they are, without joining.
    void Assign(std::vector<TGLRect> disjoint) { rects_ = std::move(disjoint); }
    // Everything outside bounds is dropped.
    void ClipTo(const TGLRect& bounds);

    bool Empty() const { return rects_.empty(); }
    const std::vector<TGLRect>& Rects() const { return rects_; }
    // Sum of the rectangles' areas (they may overlap a little after joining).
    std::int64_t Area() const;
    bool Meets(const TGLRect& r) const;
    TGLRect Bounds() const;

private:
    std::vector<TGLRect> rects_;
    int maxRects_ = 4;
};

// Which tiles (squares of Tile pixels laid over an area from its bottom left
// corner) something covers: a changed area finer than a few rectangles.
class TGLTileMask {
public:
    TGLTileMask() = default;
    TGLTileMask(const TGLRect& area, int tile);

    const TGLRect& Area() const { return area_; }
    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    bool SameGrid(const TGLTileMask& other) const
    {
        return area_ == other.area_ && tile_ == other.tile_;
    }
    bool Empty() const;
    void Clear();
    // Marks the tiles columns c0..c1, rows r0..r1 (clipped to the grid).
    void MarkTiles(int c0, int r0, int c1, int r1);
    // Marks the tiles a rectangle of pixels touches.
    void Mark(const TGLRect& r);
    // Marks what other marks (of the same grid; another grid marks the
    // tiles its marked pixels touch).
    void Add(const TGLTileMask& other);
    bool Marked(int column, int row) const;
    // The pixels of a tile, within the area.
    TGLRect TileRect(int column, int row) const;
    // The smallest rectangle of pixels holding every marked tile.
    TGLRect Bounds() const;
    // Rectangles that do not overlap and cover every marked tile: runs of
    // tiles in a row, stacked where rows repeat them, then the pair whose
    // union costs least joined (with whatever that union meets) until at
    // most maxRects are left. Within the area.
    std::vector<TGLRect> Rectangles(int maxRects) const;

private:
    TGLRect area_;
    int tile_ = 16;
    int columns_ = 0, rows_ = 0;
    std::vector<std::uint64_t> bits_;
};
