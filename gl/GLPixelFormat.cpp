#include "gl/GLPixelFormat.h"

TGLPixelFormat TGLPixelFormat::FromDescriptor(const TGLPixelFormatDescriptor& d, int formatNumber)
{
    TGLPixelFormat f;
    f.ColorBits = d.cColorBits;
    f.DepthBits = d.cDepthBits;
    f.StencilBits = d.cStencilBits;
    f.AlphaBits = d.cAlphaBits;
    f.AccumBits = d.cAccumBits;
    f.Flags = 0;
    if (d.dwFlags & kPfdDrawToWindow)
        f.Flags |= pfDrawToWindow;
    if (d.dwFlags & kPfdDrawToBitmap)
        f.Flags |= pfDrawToBitmap;
    f.DoubleBuffer = (d.dwFlags & kPfdDoubleBuffer) != 0;
    f.SupportGDI = (d.dwFlags & kPfdSupportGdi) != 0;
    f.FormatNumber = formatNumber;
    f.Descriptor = d;
    return f;
}

TGLPixelFormat DefaultPixelFormatRequest()
{
    TGLPixelFormat r;
    r.ColorBits = 32;
    r.DepthBits = 16;
    r.StencilBits = 0;
    r.AlphaBits = 0;
    r.AccumBits = 0;
    r.Flags = pfDrawToWindow;
    r.DoubleBuffer = true;
    r.SupportGDI = false;
    return r;
}

namespace {
bool ValueMatches(int request, int value) { return request == 0 || request == value; }

// Part score of one value: nothing for a zero request, else the weight scaled
// by how close the format's value comes to the request (1 when equal).
int PartScore(int request, int value, int weight)
{
    if (request == 0)
        return 0;
    if (request >= value)
        return static_cast<int>(static_cast<long long>(value) * weight / request);
    return static_cast<int>(static_cast<long long>(request) * weight / value);
}

bool FlagsContained(const TGLPixelFormat& request, const TGLPixelFormat& format)
{
    return (request.Flags & format.Flags) == request.Flags;
}
} // namespace

bool PixelFormatMatches(const TGLPixelFormat& request, const TGLPixelFormat& format)
{
    return ValueMatches(request.ColorBits, format.ColorBits) && ValueMatches(request.DepthBits, format.DepthBits) &&
           ValueMatches(request.StencilBits, format.StencilBits) && ValueMatches(request.AlphaBits, format.AlphaBits) &&
           ValueMatches(request.AccumBits, format.AccumBits) && FlagsContained(request, format) &&
           request.DoubleBuffer == format.DoubleBuffer && request.SupportGDI == format.SupportGDI;
}

int PixelFormatScore(const TGLPixelFormat& request, const TGLPixelFormat& format)
{
    int score = PartScore(request.ColorBits, format.ColorBits, 4096) + PartScore(request.DepthBits, format.DepthBits, 3072) +
                PartScore(request.StencilBits, format.StencilBits, 2048) +
                PartScore(request.AlphaBits, format.AlphaBits, 1024) + PartScore(request.AccumBits, format.AccumBits, 1);
    int tests = (FlagsContained(request, format) ? 1 : 0) + (request.DoubleBuffer == format.DoubleBuffer ? 1 : 0) +
                (request.SupportGDI == format.SupportGDI ? 1 : 0);
    return score + 5120 * tests;
}

int SelectPixelFormat(const std::vector<TGLPixelFormat>& formats, const TGLPixelFormat& request)
{
    int best = -1;
    int bestScore = 0;
    for (std::size_t i = 0; i < formats.size(); ++i) {
        if (PixelFormatMatches(request, formats[i]))
            return static_cast<int>(i);
        int score = PixelFormatScore(request, formats[i]);
        if (score > bestScore) {
            bestScore = score;
            best = static_cast<int>(i);
        }
    }
    return best;
}

std::vector<TGLPaletteEntry> BuildPaletteEntries(const TGLPixelFormatDescriptor& d)
{
    std::vector<TGLPaletteEntry> entries;
    if (d.cColorBits == 0 || d.cColorBits > 8)
        return entries;
    const int n = 1 << d.cColorBits;
    auto component = [](int i, int bits, int shift) -> std::uint8_t {
        if (bits <= 0 || bits > 8 || shift > 16)
            return 0;
        const int mask = (1 << bits) - 1;
        return static_cast<std::uint8_t>(((i >> shift) & mask) * 255 / mask);
    };
    entries.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        entries[static_cast<std::size_t>(i)] = {component(i, d.cRedBits, d.cRedShift),
                                                component(i, d.cGreenBits, d.cGreenShift),
                                                component(i, d.cBlueBits, d.cBlueShift), 0};
    return entries;
}
