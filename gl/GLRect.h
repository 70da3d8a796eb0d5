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
