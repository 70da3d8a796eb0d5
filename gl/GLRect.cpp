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

// ---------------------------------------------------------------- tile mask

TGLTileMask::TGLTileMask(const TGLRect& area, int tile)
    : area_(area), tile_(std::max(1, tile)), columns_(area.Empty() ? 0 : (area.Width + tile_ - 1) / tile_),
      rows_(area.Empty() ? 0 : (area.Height + tile_ - 1) / tile_),
      bits_((static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_) + 63) / 64, 0)
{
}

bool TGLTileMask::Empty() const
{
    for (std::uint64_t w : bits_)
        if (w)
            return false;
    return true;
}

void TGLTileMask::Clear()
{
    std::fill(bits_.begin(), bits_.end(), 0);
}

void TGLTileMask::MarkTiles(int c0, int r0, int c1, int r1)
{
    c0 = std::max(c0, 0);
    r0 = std::max(r0, 0);
    c1 = std::min(c1, columns_ - 1);
    r1 = std::min(r1, rows_ - 1);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const std::size_t i = static_cast<std::size_t>(r) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(c);
            bits_[i / 64] |= std::uint64_t{1} << (i % 64);
        }
}

void TGLTileMask::Mark(const TGLRect& r)
{
    const TGLRect c = IntersectRect(r, area_);
    if (c.Empty())
        return;
    MarkTiles((c.X - area_.X) / tile_, (c.Y - area_.Y) / tile_, (c.Right() - 1 - area_.X) / tile_,
              (c.Top() - 1 - area_.Y) / tile_);
}

void TGLTileMask::Add(const TGLTileMask& other)
{
    if (SameGrid(other)) {
        for (std::size_t i = 0; i < bits_.size(); ++i)
            bits_[i] |= other.bits_[i];
        return;
    }
    for (const TGLRect& r : other.Rectangles(1 << 20))
        Mark(r);
}

bool TGLTileMask::Marked(int column, int row) const
{
    if (column < 0 || row < 0 || column >= columns_ || row >= rows_)
        return false;
    const std::size_t i = static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(column);
    return (bits_[i / 64] >> (i % 64)) & 1;
}

TGLRect TGLTileMask::TileRect(int column, int row) const
{
    return IntersectRect({area_.X + column * tile_, area_.Y + row * tile_, tile_, tile_}, area_);
}

TGLRect TGLTileMask::Bounds() const
{
    TGLRect b;
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < columns_; ++c)
            if (Marked(c, r))
                b = UnionRect(b, TileRect(c, r));
    return b;
}

std::vector<TGLRect> TGLTileMask::Rectangles(int maxRects) const
{
    // In tiles: column0, row0, column1, row1, bounds included.
    struct TTiles {
        int C0, R0, C1, R1;
        std::int64_t Area() const { return static_cast<std::int64_t>(C1 - C0 + 1) * (R1 - R0 + 1); }
        bool Meets(const TTiles& o) const { return C0 <= o.C1 && o.C0 <= C1 && R0 <= o.R1 && o.R0 <= R1; }
        TTiles Join(const TTiles& o) const
        {
            return {std::min(C0, o.C0), std::min(R0, o.R0), std::max(C1, o.C1), std::max(R1, o.R1)};
        }
    };
    // Greedy maximal rectangles: from the first tile not yet taken, as far
    // right as tiles are marked, then as far up as the whole width is.
    std::vector<TTiles> done;
    std::vector<char> taken(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), 0);
    auto free = [&](int c, int r) {
        return Marked(c, r) && !taken[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(c)];
    };
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < columns_; ++c) {
            if (!free(c, r))
                continue;
            int e = c;
            while (e + 1 < columns_ && free(e + 1, r))
                ++e;
            int top = r;
            for (bool whole = true; whole && top + 1 < rows_;) {
                for (int x = c; x <= e && whole; ++x)
                    whole = free(x, top + 1);
                if (whole)
                    ++top;
            }
            for (int y = r; y <= top; ++y)
                for (int x = c; x <= e; ++x)
                    taken[static_cast<std::size_t>(y) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(x)] = 1;
            done.push_back({c, r, e, top});
        }
    maxRects = std::max(1, maxRects);
    while (static_cast<int>(done.size()) > maxRects) {
        std::size_t bi = 0, bj = 1;
        std::int64_t best = -1;
        for (std::size_t i = 0; i < done.size(); ++i)
            for (std::size_t j = i + 1; j < done.size(); ++j) {
                const std::int64_t extra = done[i].Join(done[j]).Area() - done[i].Area() - done[j].Area();
                if (best < 0 || extra < best) {
                    best = extra;
                    bi = i;
                    bj = j;
                }
            }
        TTiles joined = done[bi].Join(done[bj]);
        done.erase(done.begin() + static_cast<std::ptrdiff_t>(bj));
        done.erase(done.begin() + static_cast<std::ptrdiff_t>(bi));
        // The union swallows what it meets, so no two overlap.
        for (bool grew = true; grew;) {
            grew = false;
            for (std::size_t k = 0; k < done.size(); ++k)
                if (joined.Meets(done[k])) {
                    joined = joined.Join(done[k]);
                    done.erase(done.begin() + static_cast<std::ptrdiff_t>(k));
                    grew = true;
                    break;
                }
        }
        done.push_back(joined);
    }
    std::vector<TGLRect> rects;
    for (const TTiles& t : done)
        rects.push_back(UnionRect(TileRect(t.C0, t.R0), TileRect(t.C1, t.R1)));
    return rects;
}
