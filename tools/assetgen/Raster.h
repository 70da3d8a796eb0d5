#pragma once
// Pixel buffers, a local deterministic random source, tileable noise and the
// image writers (JPEG through libjpeg, 8-bit palettised BMP) used by the asset
// generator. Everything here depends only on its inputs, so every run of the
// generator writes the same bytes.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

constexpr float kPi = 3.14159265358979f;

struct Rgb {
    float r = 0, g = 0, b = 0;
};
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator-(Rgb a, Rgb b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Rgb operator*(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Rgb Mix(Rgb a, Rgb b, float t) { return a + (b - a) * t; }
inline Rgb Hex(std::uint32_t v) {
    return {((v >> 16) & 255) / 255.0f, ((v >> 8) & 255) / 255.0f, (v & 255) / 255.0f};
}

inline float Clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }
inline float Smooth(float e0, float e1, float x) {
    float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
inline float Lerp(float a, float b, float t) { return a + (b - a) * t; }

// Small counter-based generator (SplitMix64); independent of the program's own
// process-wide generator so that content never shifts when that one is used.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    float Real() { return static_cast<float>(Next() >> 40) * (1.0f / 16777216.0f); }  // [0,1)
    float Range(float a, float b) { return a + (b - a) * Real(); }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    float Gauss() {  // sum of uniforms: cheap, bounded, close enough to normal
        return Real() + Real() + Real() + Real() - 2.0f;
    }

private:
    std::uint64_t state_;
};

// Hash of integer lattice coordinates to [0,1).
float Hash2(int x, int y, std::uint32_t seed);
float Hash3(int x, int y, int z, std::uint32_t seed);

// Value noise on a lattice that repeats every (px, py) cells; returns [0,1).
float Noise(float x, float y, int px, int py, std::uint32_t seed);
// Fractal sum of octaves, each with doubled frequency and period; about [0,1).
float Fbm(float x, float y, int px, int py, int octaves, std::uint32_t seed, float gain = 0.5f);
// Non-repeating versions (period large enough never to show).
float NoiseF(float x, float y, std::uint32_t seed);
float FbmF(float x, float y, int octaves, std::uint32_t seed, float gain = 0.5f);

// Cellular noise over jittered points on a grid of (cx, cy) cells that repeats.
struct Cell {
    float f1 = 1e9f, f2 = 1e9f;  // nearest and second nearest distances (cell units)
    int id = 0;                  // identity of the nearest point
    float px = 0, py = 0;        // nearest point (cell units)
};
Cell Cellular(float x, float y, int cx, int cy, std::uint32_t seed, float jitter = 0.8f);

// An RGB image with an optional alpha plane, rows top-down, channels 0..1.
class Image {
public:
    Image() = default;
    Image(int w, int h) : w_(w), h_(h), rgb_(static_cast<std::size_t>(w) * h), alpha_(static_cast<std::size_t>(w) * h, 0.0f) {}
    int Width() const { return w_; }
    int Height() const { return h_; }
    Rgb& At(int x, int y) { return rgb_[static_cast<std::size_t>(y) * w_ + x]; }
    const Rgb& At(int x, int y) const { return rgb_[static_cast<std::size_t>(y) * w_ + x]; }
    float& A(int x, int y) { return alpha_[static_cast<std::size_t>(y) * w_ + x]; }
    float A(int x, int y) const { return alpha_[static_cast<std::size_t>(y) * w_ + x]; }
    // Composites colour c with coverage a over the pixel (colour and alpha).
    void Blend(int x, int y, Rgb c, float a);
    // The alpha plane as a grey picture.
    Image AlphaAsGrey() const;

private:
    int w_ = 0, h_ = 0;
    std::vector<Rgb> rgb_;
    std::vector<float> alpha_;
};

// Writes a baseline JPEG with three components and no chroma subsampling.
void WriteJpeg(const std::string& path, const Image& img, int quality);
// Writes an uncompressed bottom-up BMP with 8 bits per pixel and a grey
// 256-entry palette holding the image's luminance.
void WriteGreyBmp8(const std::string& path, const Image& img);
// Writes a file in one go (temp name then rename); throws on failure.
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);

inline std::uint8_t ToByte(float v) { return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255.0f)); }

}  // namespace assetgen
