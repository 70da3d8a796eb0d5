#include "gl/GLRect.h"

TGLRect UnionRect(const TGLRect& a, const TGLRect& b)
{
    if (a.Empty())
        return b;
    if (b.Empty())
        return a;
    const int x0 = std::min(a.X, b.X), y0 = std::min(a.Y, b.Y);
    const int x1 = std::max(a.Right(), b.Right()), y1 = std::max(a.Top(), b.Top());
    return {x0, y0, x1 - x0, y1 - y0};
}

TGLRect IntersectRect(const TGLRect& a, const TGLRect& b)
{
    const int x0 = std::max(a.X, b.X), y0 = std::max(a.Y, b.Y);
    const int x1 = std::min(a.Right(), b.Right()), y1 = std::min(a.Top(), b.Top());
    if (x1 <= x0 || y1 <= y0)
        return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

bool RectsMeet(const TGLRect& a, const TGLRect& b)
{
    return !IntersectRect(a, b).Empty();
}

TGLRect InflateRect(const TGLRect& r, int n)
{
    if (r.Empty())
        return r;
    return {r.X - n, r.Y - n, r.Width + 2 * n, r.Height + 2 * n};
}

namespace {

// Pixels two rectangles may lie apart and still be joined: drawing a few
// more pixels costs less than another pass over the scene.
constexpr int kNear = 16;

// Whether joining a and b is worth it: they meet or nearly meet, or the
// union adds less than a quarter to their areas.
bool WorthJoining(const TGLRect& a, const TGLRect& b)
{
    if (RectsMeet(InflateRect(a, kNear), b))
        return true;
    const std::int64_t both = a.Area() + b.Area();
    return UnionRect(a, b).Area() * 4 <= both * 5;
}

} // namespace

void TGLRegion::Add(const TGLRect& r)
{
    if (r.Empty())
        return;
    // The new rectangle swallows every one worth joining, and again with
    // what it has grown to, so none left meets it.
    TGLRect grown = r;
    for (bool joined = true; joined;) {
        joined = false;
        for (std::size_t i = 0; i < rects_.size(); ++i)
            if (WorthJoining(rects_[i], grown)) {
                grown = UnionRect(grown, rects_[i]);
                rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(i));
                joined = true;
                break;
            }
    }
    rects_.push_back(grown);
    if (static_cast<int>(rects_.size()) <= maxRects_)
        return;
    // Too many: the pair whose union costs least is joined (and added anew,
    // to swallow what that union meets).
    std::size_t bi = 0, bj = 1;
    std::int64_t best = -1;
    for (std::size_t i = 0; i < rects_.size(); ++i)
        for (std::size_t j = i + 1; j < rects_.size(); ++j) {
            const std::int64_t extra = UnionRect(rects_[i], rects_[j]).Area() - rects_[i].Area() - rects_[j].Area();
            if (best < 0 || extra < best) {
                best = extra;
                bi = i;
                bj = j;
            }
        }
    const TGLRect joinedPair = UnionRect(rects_[bi], rects_[bj]);
    rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(bj));
    rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(bi));
    Add(joinedPair);
}

void TGLRegion::Add(const TGLRegion& other)
{
    for (const TGLRect& r : other.rects_)
        Add(r);
}

void TGLRegion::ClipTo(const TGLRect& bounds)
{
    std::vector<TGLRect> kept;
    for (const TGLRect& r : rects_) {
        const TGLRect c = IntersectRect(r, bounds);
        if (!c.Empty())
            kept.push_back(c);
    }
    rects_ = std::move(kept);
}

std::int64_t TGLRegion::Area() const
{
    std::int64_t a = 0;
    for (const TGLRect& r : rects_)
        a += r.Area();
    return a;
}

bool TGLRegion::Meets(const TGLRect& r) const
{
    for (const TGLRect& x : rects_)
        if (RectsMeet(x, r))
            return true;
    return false;
}

TGLRect TGLRegion::Bounds() const
{
    TGLRect b;
    for (const TGLRect& r : rects_)
        b = UnionRect(b, r);
    return b;
}
