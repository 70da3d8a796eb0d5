#include "fire/FlameClasses.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "gl/Errors.h"
#include "gl/Random.h"

namespace {

constexpr std::array<std::int32_t, TFlame2D::ControlCount> kEvenPositions{0, 256, 512, 768, 1024};
constexpr std::array<std::int32_t, TFlame2D::ControlCount> kTaperedPositions{0, 256, 400, 500, 1024};

using TColorSet = std::array<TFlameControlColor, TFlame2D::ControlCount>;

// Light map: a dim, half-transparent brown at heat 0 fading to transparent black.
constexpr TColorSet kLightColors{{{6, 3, 0, 128}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}};

// Flame colour sets 0..3 and the set used for every other index.
constexpr std::array<TColorSet, 4> kFlameColors{{
    {{{0, 0, 64, 0}, {0, 0, 128, 0}, {255, 100, 0, 150}, {255, 255, 150, 200}, {255, 255, 255, 255}}},
    {{{0, 0, 64, 0}, {0, 0, 128, 0}, {255, 128, 0, 150}, {255, 255, 160, 200}, {255, 255, 255, 255}}},
    {{{0, 0, 64, 0}, {0, 0, 128, 0}, {255, 140, 0, 150}, {255, 255, 160, 200}, {255, 255, 255, 255}}},
    {{{0, 0, 64, 0}, {0, 0, 128, 0}, {255, 160, 0, 150}, {255, 255, 160, 200}, {255, 255, 255, 255}}},
}};
constexpr TColorSet kOtherFlameColors{
    {{25, 10, 0, 210}, {64, 16, 0, 180}, {255, 140, 0, 255}, {255, 255, 140, 255}, {255, 255, 255, 255}}};

// Ordered-dither increments, indexed by (byte and 12) + variant. Only bytes with
// bit 3 set are raised: bits 3..2 = 10 in variants 1 and 2, bits 3..2 = 11 in
// variants 0, 1 and 2, so a 2 x 2 block gains one 4-bit level in proportion to
// the bits a 16-bit texture drops.
constexpr std::array<std::uint8_t, 16> kDitherTable{0, 0, 0, 0, 16, 0, 0, 0, 0, 16, 16, 0, 16, 16, 16, 0};

// One step of a channel between two control colours; integer division truncates
// toward zero as the colour may fall as well as rise.
std::uint8_t Interpolate(std::uint8_t from, std::uint8_t to, std::int32_t i, std::int32_t length)
{
    const std::int32_t delta = static_cast<std::int32_t>(to) - static_cast<std::int32_t>(from);
    return static_cast<std::uint8_t>(static_cast<std::int32_t>(from) + i * delta / length);
}

std::uint8_t Dither(std::uint8_t b, int variant)
{
    if (b < 240 && (b & 8) != 0)
        return static_cast<std::uint8_t>(b + kDitherTable[(b & 12) + variant]);
    return b;
}

// Uniform draw in -a..a.
std::int32_t JitterDraw(std::int32_t a)
{
    return static_cast<std::int32_t>(Random::Below(2u * static_cast<std::uint32_t>(a) + 1u)) - a;
}

// Uniform draw in 0..n-1; a span of 0 columns still takes its draw (and yields 0),
// so the sequence of draws does not depend on the width.
std::int32_t IntDraw(std::int32_t n)
{
    return static_cast<std::int32_t>(Random::Below(static_cast<std::uint32_t>(std::max(n, 1))));
}

// Rounds a result to single precision. On an x87 unit, intermediate results may
// otherwise stay in 80-bit registers and change how many steps a frame yields;
// going through memory gives the same value as SSE arithmetic.
float Single(float x)
{
    volatile float stored = x;
    return stored;
}

} // namespace

TFlame2D::TFlame2D()
{
    jitter_ = 100;
    decay_ = 2;
    SetFlameWidth(254);  // no grid yet: stored only, clamped by SetSize below
    timeAccumulator_ = 0.0f;
    SetBurningRate(5);
    taperedPositions_ = true;
    ResetPalette();
    SetSize(256, 256);
}

void TFlame2D::SetSize(int width, int height)
{
    if (width == width_ && height == height_)
        return;
    if (width < MinWidth || width > MaxDimension || height < MinHeight || height > MaxDimension)
        RaiseError("TFlame2D", "SetSize",
                   "Invalid flame size " + std::to_string(width) + "x" + std::to_string(height));
    std::vector<std::int32_t> heat(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    std::vector<std::int32_t> seeds(static_cast<std::size_t>(width));
    std::memset(seeds.data(), 25, seeds.size() * sizeof(std::int32_t));
    width_ = width;
    height_ = height;
    heat_.swap(heat);
    seeds_.swap(seeds);
    flameWidth_ = std::clamp(flameWidth_, 0, width_ - 2);
}

const std::int32_t* TFlame2D::Row(int y) const
{
    if (y < 0 || y >= height_)
        RaiseError("TFlame2D", "Row", "Row index " + std::to_string(y) + " out of range");
    return heat_.data() + static_cast<std::size_t>(y) * width_;
}

void TFlame2D::SetFlameWidth(int columns)
{
    // Before the grid exists the width is only stored; SetSize clamps it.
    flameWidth_ = heat_.empty() ? columns : std::clamp(columns, 0, width_ - 2);
    std::fill(heat_.begin(), heat_.end(), 0);
}

void TFlame2D::SetDecay(int decay) { decay_ = std::max(decay, 0); }

void TFlame2D::SetJitter(int jitter) { jitter_ = std::clamp(jitter, 0, MaxJitter); }

void TFlame2D::SetBurningRate(int rate) { stepRate_ = std::clamp(rate, 1, 10) * 12 + 50; }

int TFlame2D::GetBurningRate() const { return std::clamp((stepRate_ - 50) / 12, 1, 10); }

void TFlame2D::Update(float dt)
{
    // The comparison is false for NaN, so a bad time never poisons the accumulator.
    if (!(dt >= 0.0f))
        dt = 0.0f;
    // Every operation is rounded to single precision before it is used, so the
    // number of steps does not depend on the floating-point unit.
    timeAccumulator_ = Single(timeAccumulator_ + dt);
    if (timeAccumulator_ > 0.1f)
        timeAccumulator_ = 0.1f;
    const float stepTime = Single(1.0f / static_cast<float>(stepRate_));
    while (stepTime <= timeAccumulator_) {
        timeAccumulator_ = Single(timeAccumulator_ - stepTime);
        Step();
    }
}

void TFlame2D::Step()
{
    const int W = width_;
    const int H = height_;
    const int left = (W - flameWidth_) / 2;
    const int right = W - left;
    std::int32_t* seeds = seeds_.data();

    // 1. Random walk of the fuel line over the span, one draw per column.
    for (int i = left; i <= right; ++i) {
        const std::int32_t v = seeds[i] + 4 * JitterDraw(jitter_);
        seeds[i] = std::clamp(v, 0, MaxHeat);
    }

    // 2. One gap of 1..12 cold cells per step.
    const int s = left + IntDraw(right - left);
    const int e = std::min(s + IntDraw(12), right);
    for (int i = s; i <= e; ++i)
        seeds[i] = 0;

    // 3. The source row takes the average of three seeds and its own heat.
    {
        std::int32_t* row = MutableRow(H - 7);
        row[left] = 0;
        row[right] = 0;
        for (int i = left + 1; i < right; ++i)
            row[i] = (seeds[i - 1] + seeds[i] + seeds[i + 1] + row[i]) / 4;
    }

    // 4. Heat rises: each row above takes the average of the three cells below it
    //    and its own, less the decay.
    const std::int32_t decay = decay_;
    for (int y = H - 7; y >= 1; --y) {
        const std::int32_t* src = MutableRow(y);
        std::int32_t* tgt = MutableRow(y - 1);
        tgt[left] = 0;
        tgt[right] = 0;
        for (int i = left + 1; i < right; ++i) {
            std::int32_t v = (src[i - 1] + src[i] + src[i + 1] + tgt[i]) / 4;
            if (v >= decay)
                v -= decay;
            tgt[i] = v;
        }
    }

    // 5. A faint glow below the source row, which also fades the source row itself.
    for (int y = H - 8; y <= H - 2; ++y) {
        const std::int32_t* src = MutableRow(y);
        std::int32_t* tgt = MutableRow(y + 1);
        tgt[left] = 0;
        tgt[right] = 0;
        for (int i = left + 1; i < right; ++i)
            tgt[i] = ((src[i - 1] + src[i] + src[i + 1] + tgt[i]) / 45) * 10;
    }
}

void TFlame2D::SetTaperedPositions(bool tapered)
{
    taperedPositions_ = tapered;
    controlPositions_ = tapered ? kTaperedPositions : kEvenPositions;
}

void TFlame2D::BuildPalette()
{
    for (int k = 0; k < ControlCount - 1; ++k) {
        const std::int32_t p0 = controlPositions_[k];
        const std::int32_t length = controlPositions_[k + 1] - p0;
        const TFlameControlColor& c0 = controlColors_[k];
        const TFlameControlColor& c1 = controlColors_[k + 1];
        for (std::int32_t i = 0; i < length; ++i) {
            TFlamePixel& p = palette_[p0 + i];
            p.R = Interpolate(c0.R, c1.R, i, length);
            p.G = Interpolate(c0.G, c1.G, i, length);
            p.B = Interpolate(c0.B, c1.B, i, length);
            p.A = Interpolate(c0.A, c1.A, i, length);
        }
    }
    const TFlameControlColor& last = controlColors_[ControlCount - 1];
    palette_[MaxHeat] = TFlamePixel{last.B, last.G, last.R, last.A};
}

void TFlame2D::BuildDitherPalette()
{
    for (int n = 0; n < PaletteSize; ++n) {
        const TFlamePixel& p = palette_[n];
        for (int v = 0; v < DitherVariants; ++v)
            ditherPalette_[n][v] = TFlamePixel{Dither(p.B, v), Dither(p.G, v), Dither(p.R, v), Dither(p.A, v)};
    }
}

void TFlame2D::SwapPaletteBytes()
{
    for (TFlamePixel& p : palette_)
        std::swap(p.B, p.R);
    for (TDitherEntry& entry : ditherPalette_)
        for (TFlamePixel& p : entry)
            std::swap(p.B, p.R);
}

void TFlame2D::RebuildPalette()
{
    BuildPalette();
    BuildDitherPalette();
    if (swapBytes_)
        SwapPaletteBytes();
}

void TFlame2D::SetFlameColor(int index)
{
    SetTaperedPositions(false);
    controlColors_ = kLightColors;
    RebuildPalette();
    lightPalette_ = palette_;

    SetTaperedPositions(true);
    controlColors_ = (index >= 0 && index < static_cast<int>(kFlameColors.size())) ? kFlameColors[index]
                                                                                   : kOtherFlameColors;
    RebuildPalette();
}

void TFlame2D::ResetPalette()
{
    SetTaperedPositions(taperedPositions_);
    SetFlameColor(0);
}
