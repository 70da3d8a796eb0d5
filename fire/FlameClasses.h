#pragma once
// TFlame2D: the two-dimensional heat simulation behind the fire picture.
//
// An integer heat grid (row 0 at the top, nominal range 0..1024) is fed from a
// randomly walking fuel line below it and rises row by row, losing `Decay` per
// row. Three precomputed palettes turn a heat value into a 4-byte texture pixel
// (memory order blue, green, red, alpha): the flame palette, its four 2 x 2
// ordered-dither variants for 16-bit textures, and the light-map palette.
//
// The class knows nothing of textures or OpenGL; the fireplace program reads the
// grid through Row() and the palettes and writes its own textures.
//
// All random draws go through the process-wide generator (gl/Random.h) in a fixed
// order, so a run is reproducible from the generator's state. Step() is integer
// only; Update() does its time bookkeeping in 32-bit floats.
#include <array>
#include <cstdint>
#include <vector>

// One palette entry as it is laid out in a texture pixel.
struct TFlamePixel {
    std::uint8_t B = 0;
    std::uint8_t G = 0;
    std::uint8_t R = 0;
    std::uint8_t A = 0;

    friend bool operator==(const TFlamePixel&, const TFlamePixel&) = default;
};
static_assert(sizeof(TFlamePixel) == 4, "a palette entry is one 32-bit texture pixel");

// A control colour, stored in the byte order R, G, B, A.
struct TFlameControlColor {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;
    std::uint8_t A = 0;

    friend bool operator==(const TFlameControlColor&, const TFlameControlColor&) = default;
};

class TFlame2D {
public:
    static constexpr int PaletteSize = 1025;   // heat values 0..1024
    static constexpr int MaxHeat = 1024;
    static constexpr int DitherVariants = 4;
    static constexpr int ControlCount = 5;
    // Grid dimensions accepted by SetSize. Step needs at least 8 rows (seven glow
    // rows below the source row) and 2 columns.
    static constexpr int MinWidth = 2;
    static constexpr int MinHeight = 8;
    static constexpr int MaxDimension = 8192;
    static constexpr int MaxJitter = 1 << 20;

    using TPalette = std::array<TFlamePixel, PaletteSize>;
    using TDitherEntry = std::array<TFlamePixel, DitherVariants>;
    using TDitherPalette = std::array<TDitherEntry, PaletteSize>;

    // Jitter 100, decay 2, flame width 254, burning rate 5, tapered positions,
    // colour set 0, and a 256 x 256 grid.
    TFlame2D();
    TFlame2D(const TFlame2D&) = delete;
    TFlame2D& operator=(const TFlame2D&) = delete;

    // Grid ----------------------------------------------------------------------
    // Reallocates the grid (zero heat) and the fuel line (every byte 25, far above
    // full heat) unless the size is unchanged. Raises EPyrelumeError for sizes
    // outside MinWidth/MinHeight..MaxDimension. The flame width is clamped to the
    // new grid.
    void SetSize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // First cell of grid row y; cell (x, y) is Row(y)[x]. Raises for y outside the grid.
    const std::int32_t* Row(int y) const;
    const std::int32_t* Heat() const { return heat_.data(); }
    const std::int32_t* Seeds() const { return seeds_.data(); }

    // Simulation ------------------------------------------------------------------
    // Turns elapsed seconds into steps at StepRate, with at most 0.1 s of catch-up.
    // Negative or NaN elapsed times count as 0.
    void Update(float dt);
    // One simulation step: seed walk, one gap, source row, rising and glow passes.
    void Step();

    // Width of the burning span in the middle of the grid; clamped to
    // 0..Width()-2 so that the span's edge cells stay inside every row. Clears the
    // whole heat grid (the fuel line is kept).
    void SetFlameWidth(int columns);
    int FlameWidth() const { return flameWidth_; }

    // Heat lost per row by a rising cell. Negative values are stored as 0: a
    // negative decay would add heat beyond the palette's range.
    void SetDecay(int decay);
    int Decay() const { return decay_; }

    // Amplitude of the fuel line's random walk, clamped to 0..MaxJitter.
    void SetJitter(int jitter);
    int Jitter() const { return jitter_; }

    // Burning rate 1..10 (out-of-range values are clamped) and the step rate it gives.
    void SetBurningRate(int rate);
    int GetBurningRate() const;
    int StepRate() const { return stepRate_; }
    float TimeAccumulator() const { return timeAccumulator_; }

    // Palettes ----------------------------------------------------------------------
    // Builds the light palette and then the flame palette of a colour set (0..3;
    // any other index selects the dark-red set).
    void SetFlameColor(int index);
    // Builds Palette and DitherPalette from the current control colours and
    // positions and exchanges their red and blue bytes when SwapBytes is set.
    void RebuildPalette();
    // Control positions from TaperedPositions, then colour set 0.
    void ResetPalette();

    // Whether the red and blue bytes of the flame palettes are exchanged. Setting it
    // has no immediate effect; RebuildPalette applies it.
    bool SwapBytes() const { return swapBytes_; }
    void SetSwapBytes(bool swap) { swapBytes_ = swap; }

    bool TaperedPositions() const { return taperedPositions_; }

    const TPalette& Palette() const { return palette_; }
    const TDitherPalette& DitherPalette() const { return ditherPalette_; }
    const TPalette& LightPalette() const { return lightPalette_; }

private:
    void SetTaperedPositions(bool tapered);
    void BuildPalette();
    void BuildDitherPalette();
    void SwapPaletteBytes();
    std::int32_t* MutableRow(int y) { return heat_.data() + static_cast<std::size_t>(y) * width_; }

    int height_ = 0;
    int width_ = 0;
    std::vector<std::int32_t> heat_;
    std::vector<std::int32_t> seeds_;
    int decay_ = 2;
    int jitter_ = 100;
    float timeAccumulator_ = 0.0f;
    int stepRate_ = 110;
    int flameWidth_ = 254;
    bool taperedPositions_ = true;
    bool swapBytes_ = false;
    TDitherPalette ditherPalette_{};
    TPalette palette_{};
    TPalette lightPalette_{};
    std::array<TFlameControlColor, ControlCount> controlColors_{};
    std::array<std::int32_t, ControlCount> controlPositions_{};
};
