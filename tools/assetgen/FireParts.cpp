// Pictures of the fire itself: the embers bed, the first frame of the flame
// and light-map textures (overwritten by the simulation once running), and
// the sparkle and smoke sprites with their soft alpha images.
#include <cmath>

#include "tools/assetgen/AssetGen.h"

namespace assetgen {

namespace {

// Colour of glowing material for a heat of 0..1: dull red to yellow-white.
Rgb Glow(float t) {
    t = Clamp01(t);
    if (t < 0.35f) return Mix(Hex(0x140402), Hex(0x8a1a02), t / 0.35f);
    if (t < 0.7f) return Mix(Hex(0x8a1a02), Hex(0xf06a0a), (t - 0.35f) / 0.35f);
    return Mix(Hex(0xf06a0a), Hex(0xffe08a), (t - 0.7f) / 0.3f);
}

// A bed of charcoal: broken chunks with glowing gaps and cracks, grey ash on
// the cooler rim, hottest under the middle of the fire.
Image Embers(int size, std::uint32_t seed) {
    Image img(size, size);
    std::vector<float> height(static_cast<std::size_t>(size) * size);
    std::vector<Rgb> col(height.size());
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            float r = std::hypot(u - 0.5f, (v - 0.5f) * 1.1f) * 2;  // 0 centre .. 1 rim
            float warp = Fbm(u * 6, v * 6, 6, 6, 3, seed + 1) - 0.5f;
            Cell c = Cellular(u * 22 + warp * 0.8f, v * 22 + warp * 0.8f, 22, 22, seed, 0.9f);
            Cell fine = Cellular(u * 70, v * 70, 70, 70, seed + 5, 0.9f);
            float gap = c.f2 - c.f1;
            float heatField = Fbm(u * 5, v * 5, 5, 5, 4, seed + 2);
            float heat = Clamp01((1.25f - r) * (0.6f + 0.8f * heatField));
            float chunkHeat = Hash2(c.id, 3, seed);
            std::size_t i = static_cast<std::size_t>(y) * size + x;
            if (gap < 0.06f + 0.05f * heat) {
                // the glowing bed seen between the chunks
                float g = heat * (1.05f - gap * 4);
                col[i] = Glow(0.35f + 0.65f * g);
                height[i] = -0.8f;
            } else {
                float surf = Fbm(u * 90, v * 90, 90, 90, 3, seed + 7);
                Rgb charcoal = Mix(Hex(0x0c0a09), Hex(0x2a2520), surf);
                // alligator checks on each chunk glow when the chunk is hot
                float crack = fine.f2 - fine.f1;
                float glowing = Smooth(0.45f, 0.9f, heat * (0.5f + chunkHeat));
                Rgb cc = charcoal;
                if (crack < 0.07f) cc = Mix(charcoal, Glow(0.3f + 0.7f * heat), glowing);
                // ember skin: dull red patches on hot chunks
                float skin = Smooth(0.55f, 0.75f, surf * glowing + heat * 0.4f);
                cc = Mix(cc, Glow(0.25f + 0.5f * heat * surf), skin * 0.8f);
                // ash on the cooler chunks and towards the rim
                float ash = Smooth(0.55f, 0.95f, r * 0.75f + (1 - chunkHeat) * 0.25f + surf * 0.2f);
                cc = Mix(cc, Hex(0x7a756f) * (0.5f + 0.5f * surf), ash * (1 - glowing) * 0.8f);
                col[i] = cc;
                height[i] = Smooth(0.09f, 0.3f, gap) * 1.5f + surf * 0.5f;
            }
        }
    std::vector<float> light = ShadeHeights(height, size, size, 3.0f, true);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            std::size_t i = static_cast<std::size_t>(y) * size + x;
            const Rgb& c = col[i];
            bool emissive = c.r > 0.3f && c.r > c.b * 2.5f;
            img.At(x, y) = emissive ? c : c * light[i];
            img.A(x, y) = 1;
        }
    return img;
}

// Flame heat picture: tongues rising from the bottom edge, as a palette image.
Image Flame(int size, std::uint32_t seed) {
    Image img(size, size);
    Rng rng(seed);
    struct Tongue {
        float x, h, w, phase;
    };
    std::vector<Tongue> tongues;
    for (int i = 0; i < 9; ++i)
        tongues.push_back({0.1f + 0.8f * (i + rng.Range(-0.3f, 0.3f)) / 8.0f, rng.Range(0.35f, 0.8f), rng.Range(0.05f, 0.09f),
                           rng.Range(0, 6.28f)});
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // the simulation's flames fill the lower third of the texture; the
            // first frame matches them
            float u = (x + 0.5f) / size, v = (1 - (y + 0.5f) / size) / 0.4f;
            float heat = 0;
            for (const Tongue& t : tongues) {
                float rel = v / t.h;
                if (rel > 1.2f) continue;
                float sway = 0.03f * std::sin(v * 12 + t.phase) * rel;
                float wdt = t.w * (1.3f - rel);
                if (wdt <= 0) continue;
                float d = (u - t.x - sway) / wdt;
                heat += std::exp(-d * d) * Clamp01(1.1f - rel);
            }
            float n = Fbm(u * 8, v * 5 - 0.0f, 8, 5, 3, seed + 3);
            heat = Clamp01(heat * (0.6f + 0.6f * n) + Smooth(0.15f, 0.0f, v) * 0.8f);
            heat *= Smooth(0.0f, 0.06f, u) * Smooth(1.0f, 0.94f, u);
            Rgb c = heat < 0.25f ? Hex(0x000000) : (heat < 0.5f ? Mix(Hex(0x000000), Hex(0xff6400), (heat - 0.25f) / 0.25f)
                                                      : (heat < 0.75f ? Mix(Hex(0xff6400), Hex(0xffff96), (heat - 0.5f) / 0.25f)
                                                                      : Mix(Hex(0xffff96), Hex(0xffffff), (heat - 0.75f) / 0.25f)));
            img.At(x, y) = c;
            img.A(x, y) = 1;
        }
    return img;
}

// First light-map frame: black (and so fully clear) with a faint warm glow
// low in the middle where the fire will be.
Image LightMap(int size) {
    Image img(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = (x + 0.5f) / size - 0.5f, v = (1 - (y + 0.5f) / size) / 0.5f;
            float g = 0.12f * std::exp(-(u * u) / 0.05f - (v * v) / 0.08f);
            img.At(x, y) = Hex(0xff8030) * g;
            img.A(x, y) = 1;
        }
    return img;
}

// A spark: a white-hot core in an orange halo with two faint streaks.
void Sparkle(int size, Image& colour, Image& alpha) {
    colour = Image(size, size);
    alpha = Image(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float dx = (x + 0.5f) / size * 2 - 1, dy = (y + 0.5f) / size * 2 - 1;
            float r = std::hypot(dx, dy);
            float core = std::exp(-r * r / 0.03f);
            float halo = std::exp(-r * r / 0.12f) * 0.8f;
            float streak = std::exp(-dx * dx / 0.004f) * std::exp(-dy * dy / 0.35f) * 0.5f +
                           std::exp(-dy * dy / 0.004f) * std::exp(-dx * dx / 0.35f) * 0.3f;
            float edge = Smooth(1.0f, 0.8f, r);
            float a = Clamp01((core + 0.75f * halo + 0.35f * streak) * edge);
            Rgb c = Mix(Hex(0xff5a08), Hex(0xfff2c0), Clamp01(core * 1.4f + streak * 0.5f));
            colour.At(x, y) = c;
            colour.A(x, y) = 1;
            alpha.At(x, y) = {a, a, a};
            alpha.A(x, y) = 1;
        }
}

// A smoke puff: soft grey billows, densest off-centre and thinning to
// nothing before the edge, so that it reads the same as it turns. Wood smoke
// over a fire is a soft grey, lit warm from below.
void Smoke(int size, std::uint32_t seed, Image& colour, Image& alpha) {
    colour = Image(size, size);
    alpha = Image(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            float dx = u * 2 - 1, dy = v * 2 - 1;
            float n = Fbm(u * 4, v * 4, 4, 4, 4, seed);
            float n2 = Fbm(u * 8 + 3, v * 8, 8, 8, 3, seed + 1);
            float r = std::hypot(dx, dy) + (n - 0.5f) * 0.45f;
            float body = Smooth(0.95f, 0.15f, r);
            float a = Clamp01(body * (0.3f + 0.9f * n2) * 0.68f) * Smooth(1.0f, 0.8f, std::hypot(dx, dy));
            float shade = 0.5f + 0.16f * n2 + 0.08f * (1 - v);
            colour.At(x, y) = Rgb{shade * 1.12f, shade * 1.0f, shade * 0.88f};
            colour.A(x, y) = 1;
            alpha.At(x, y) = {a, a, a};
            alpha.A(x, y) = 1;
        }
}

// The About box's picture: a small brick fireplace with a fire in its arched
// opening, on the dark warm ground of a firelit room.
Image AboutPicture(int w, int h, const Image& flame) {
    Image img(w, h);
    const float cx = w * 0.5f;
    const float archTop = h * 0.34f, archBottom = h * 0.86f, archHalf = w * 0.30f;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Running-bond bricks: 6 px courses, 14 px bricks, 1 px mortar.
            const int course = y / 6;
            const int bx = (x + (course % 2) * 7) % 14;
            const bool mortar = y % 6 == 5 || bx == 13;
            const float shade = 0.75f + 0.25f * Hash2((x + (course % 2) * 7) / 14, course, 0xAB0u);
            Rgb c = mortar ? Rgb{0.30f, 0.27f, 0.24f} : Rgb{0.55f, 0.20f, 0.13f} * shade;
            // Mantel shelf across the top third.
            if (y >= h * 0.24f && y < h * 0.29f)
                c = Rgb{0.62f, 0.58f, 0.52f} * (y < h * 0.26f ? 1.0f : 0.8f);
            // Hearth slab at the bottom.
            if (y >= archBottom)
                c = Rgb{0.42f, 0.40f, 0.37f} * (1.0f - 0.3f * (y - archBottom) / (h - archBottom));
            // The arched opening: dark firebox with the flame and a log.
            const float dx = (x + 0.5f - cx) / archHalf;
            const float ry = archTop + archHalf * 0.6f;
            const bool inArch = std::fabs(dx) < 1.0f && y < archBottom &&
                                (y >= ry || (y - ry) * (y - ry) / (archHalf * 0.6f * archHalf * 0.6f) + dx * dx < 1.0f);
            if (inArch) {
                const float depth = Clamp01((y - archTop) / (archBottom - archTop));
                c = Rgb{0.10f, 0.05f, 0.03f} + Rgb{0.35f, 0.12f, 0.03f} * depth * depth;
                // Flame: the lower half of the flame picture over the opening.
                const int fx = std::clamp(static_cast<int>((dx * 0.5f + 0.5f) * (flame.Width() - 1)), 0, flame.Width() - 1);
                const float fv = Clamp01((y - archTop) / (archBottom - archTop - 4));
                const int fy = std::clamp(static_cast<int>((0.5f + 0.5f * fv) * (flame.Height() - 1)), 0, flame.Height() - 1);
                const Rgb f = flame.At(fx, fy);
                const float lum = std::max(f.r, std::max(f.g, f.b));
                c = Mix(c, f, Clamp01(lum * 1.4f));
                // A log across the foot of the fire.
                if (y > archBottom - h * 0.09f && y < archBottom - h * 0.03f && std::fabs(dx) < 0.8f)
                    c = Rgb{0.22f, 0.13f, 0.07f} * (0.8f + 0.2f * Hash2(x / 3, y, 0x106u));
            }
            img.At(x, y) = c;
            img.A(x, y) = 1;
        }
    return img;
}

}  // namespace

void WriteFireParts(const std::string& dir) {
    WriteJpeg(dir + "/About.jpg", AboutPicture(106, 133, Flame(256, 0xF1A3)), 92);
    WriteJpeg(dir + "/Embers01.jpg", Embers(512, 0xE3BE), 90);
    WriteJpeg(dir + "/FLAME.jpg", Flame(256, 0xF1A3), 92);
    WriteJpeg(dir + "/LightMap.jpg", LightMap(128), 92);
    Image c, a;
    Sparkle(64, c, a);
    WriteJpeg(dir + "/Sparkle.jpg", c, 95);
    WriteJpeg(dir + "/SparkleA.jpg", a, 95);
    Smoke(64, 0x5A0E, c, a);
    WriteJpeg(dir + "/Smoke.jpg", c, 95);
    WriteJpeg(dir + "/SmokeA.jpg", a, 95);
}

}  // namespace assetgen
