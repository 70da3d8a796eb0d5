// Masonry pictures: the fireplace faces (brick and fieldstone, both tileable)
// and the firebox interiors (sooted firebrick and dark ashlar), each lit from
// above through a height field so joints and chipped edges read as relief.
#include <cmath>

#include "tools/assetgen/AssetGen.h"

namespace assetgen {

std::vector<float> ShadeHeights(const std::vector<float>& h, int w, int hgt, float strength, bool wrap) {
    std::vector<float> out(h.size());
    const float lx = -0.45f, ly = -0.6f, lz = 0.66f;  // light from the upper left (image y grows down)
    auto at = [&](int x, int y) {
        if (wrap) {
            x = (x % w + w) % w;
            y = (y % hgt + hgt) % hgt;
        } else {
            x = std::min(w - 1, std::max(0, x));
            y = std::min(hgt - 1, std::max(0, y));
        }
        return h[static_cast<std::size_t>(y) * w + x];
    };
    for (int y = 0; y < hgt; ++y)
        for (int x = 0; x < w; ++x) {
            float dx = (at(x + 1, y) - at(x - 1, y)) * 0.5f * strength;
            float dy = (at(x, y + 1) - at(x, y - 1)) * 0.5f * strength;
            float nx = -dx, ny = -dy, nz = 1;
            float len = std::sqrt(nx * nx + ny * ny + nz * nz);
            float d = (nx * lx + ny * ly + nz * lz) / len;
            out[static_cast<std::size_t>(y) * w + x] = 0.45f + 0.8f * std::max(0.0f, d);
        }
    return out;
}

namespace {

// Red brick in running bond: 4 bricks per course, 12 courses per tile.
Image Brick(int size, std::uint32_t seed) {
    const int w = size, h = size;
    const float course = h / 12.0f, brickLen = w / 4.0f, mortar = 5.0f;
    std::vector<float> height(static_cast<std::size_t>(w) * h);
    std::vector<Rgb> albedo(height.size());
    const Rgb palette[] = {Hex(0x8e3b27), Hex(0x9c4a30), Hex(0x7a3020), Hex(0xa85a3c), Hex(0x6b2a1d), Hex(0x93452e),
                           Hex(0x5a2419), Hex(0xb06848)};
    const Rgb mortarCol = Hex(0x9a9184);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int row = static_cast<int>(y / course);
            float yy = y - row * course;
            float off = (row % 2) * brickLen * 0.5f;
            float bxF = (x + off) / brickLen;
            int bx = static_cast<int>(std::floor(bxF)) % 4;
            float xx = (x + off) - std::floor(bxF) * brickLen;
            float edge = std::min(std::min(xx, brickLen - xx), std::min(yy, course - yy)) - mortar * 0.5f;
            // chipped, slightly wavy arrises
            float chip = (Fbm(x / 16.0f, y / 16.0f, w / 16, h / 16, 3, seed + 7) - 0.5f) * 5.0f;
            float fine = Fbm(x / 4.0f, y / 4.0f, w / 4, h / 4, 2, seed + 9);
            edge += chip;
            std::size_t i = static_cast<std::size_t>(y) * w + x;
            int id = row * 4 + bx;
            float r1 = Hash2(id, 1, seed), r2 = Hash2(id, 2, seed), r3 = Hash2(id, 3, seed);
            if (edge > 0) {
                Rgb base = Mix(palette[static_cast<int>(r1 * 8)], palette[static_cast<int>(r2 * 8)], 0.4f);
                float mottle = Fbm(x / 32.0f, y / 32.0f, w / 32, h / 32, 4, seed + 11);
                float speck = Noise(x / 2.0f, y / 2.0f, w / 2, h / 2, seed + 13);
                float flash = 0.9f + 0.2f * (xx / brickLen) * (r3 > 0.5f ? 1.0f : -0.6f);
                Rgb c = base * ((0.78f + 0.45f * mottle) * flash);
                if (speck > 0.82f) c = c * 0.6f;           // dark iron spots
                if (speck < 0.06f) c = Mix(c, Hex(0xc9a58a), 0.5f);  // lime bloom
                albedo[i] = c;
                height[i] = Smooth(0, 3.0f, edge) * 1.0f + fine * 0.25f + mottle * 0.3f;
            } else {
                float sand = Noise(x / 2.0f, y / 2.0f, w / 2, h / 2, seed + 17);
                albedo[i] = mortarCol * (0.8f + 0.3f * sand) * (0.85f + 0.2f * fine);
                height[i] = -0.6f + 0.15f * sand + Smooth(-2.5f, 0, edge) * 0.4f;
            }
        }
    std::vector<float> light = ShadeHeights(height, w, h, 2.5f, true);
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::size_t i = static_cast<std::size_t>(y) * w + x;
            float soot = 0.82f + 0.18f * Fbm(x / 128.0f, y / 128.0f, w / 128, h / 128, 3, seed + 21);
            float ao = height[i] < -0.2f ? 0.75f : 1.0f;
            img.At(x, y) = albedo[i] * (light[i] * soot * ao);
            img.A(x, y) = 1;
        }
    return img;
}

// Coursed fieldstone: irregular stones from a cellular pattern in deep mortar.
Image Fieldstone(int size, std::uint32_t seed) {
    const int w = size, h = size;
    const int cx = 4, cy = 8;  // stones wider than tall, laid in rough courses
    std::vector<float> height(static_cast<std::size_t>(w) * h);
    std::vector<Rgb> albedo(height.size());
    const Rgb stones[] = {Hex(0x8b857a), Hex(0x77706a), Hex(0x9a8f7d), Hex(0x6d675f), Hex(0xa39a8a), Hex(0x857462),
                          Hex(0x5f5b56), Hex(0x94887a)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float wx = (Fbm(x / 64.0f, y / 64.0f, w / 64, h / 64, 3, seed + 3) - 0.5f) * 0.5f;
            float wy = (Fbm(x / 64.0f, y / 64.0f, w / 64, h / 64, 3, seed + 4) - 0.5f) * 0.5f;
            float px = x * cx / static_cast<float>(w) + wx, py = y * cy / static_cast<float>(h) + wy;
            Cell c = Cellular(px, py * 1.0f, cx, cy, seed, 0.7f);
            float gap = c.f2 - c.f1;
            float rough = Fbm(x / 8.0f, y / 8.0f, w / 8, h / 8, 4, seed + 5);
            std::size_t i = static_cast<std::size_t>(y) * w + x;
            float r1 = Hash2(c.id, 11, seed), r2 = Hash2(c.id, 12, seed);
            float edge = gap - 0.07f - (rough - 0.5f) * 0.05f;
            if (edge > 0) {
                Rgb base = Mix(stones[static_cast<int>(r1 * 8)], stones[static_cast<int>(r2 * 8)], 0.35f);
                float mottle = Fbm(x / 16.0f + std::floor(r1 * 31), y / 16.0f, w / 16, h / 16, 4, seed + 6);
                float vein = std::fabs(Noise(x / 32.0f, y / 8.0f, w / 32, h / 8, seed + 8) - 0.5f);
                Rgb col = base * (0.75f + 0.5f * mottle);
                if (vein < 0.03f) col = col * 1.15f;
                if (Noise(x / 8.0f, y / 8.0f, w / 8, h / 8, seed + 10) > 0.8f) col = Mix(col, Hex(0x6e6a4a), 0.25f);  // lichen
                albedo[i] = col;
                float pillow = std::sqrt(Clamp01(edge / 0.25f));
                height[i] = pillow * 2.2f + rough * 0.8f;
            } else {
                float sand = Noise(x / 2.0f, y / 2.0f, w / 2, h / 2, seed + 9);
                albedo[i] = Hex(0x5e5950) * (0.6f + 0.35f * sand);
                height[i] = -0.5f + 0.2f * sand;
            }
        }
    std::vector<float> light = ShadeHeights(height, w, h, 2.0f, true);
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::size_t i = static_cast<std::size_t>(y) * w + x;
            float ao = height[i] < 0.3f ? 0.6f + height[i] * 0.3f : 1.0f;
            img.At(x, y) = albedo[i] * (light[i] * ao);
            img.A(x, y) = 1;
        }
    return img;
}

// Soot over a firebox wall: black towards the top and over the fire, with
// streaks rising from the hearth; `u`, `v` run 0..1 across the wall, v up.
float Soot(float u, float v, std::uint32_t seed) {
    float streak = Fbm(u * 14.0f, v * 2.5f, 14, 3, 3, seed + 40);
    float cloud = Fbm(u * 4.0f, v * 4.0f, 4, 4, 4, seed + 41);
    float s = Smooth(0.05f, 0.95f, v + (streak - 0.5f) * 0.35f + (cloud - 0.5f) * 0.3f);
    float centre = std::exp(-std::pow((u - 0.5f) / 0.35f, 2.0f));
    return Clamp01(0.25f + 0.75f * s * (0.7f + 0.3f * centre));
}

// The firebox back wall in firebrick, drawn as a function of (u, v) so that
// any pixel size maps onto the same wall.
Image Firebrick(int w, int h, std::uint32_t seed) {
    const int cols = 5, rows = 11;
    std::vector<float> height(static_cast<std::size_t>(w) * h);
    std::vector<Rgb> albedo(height.size());
    const float pxPerUnitX = w / 110.0f, pxPerUnitY = h / 123.0f;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float u = (x + 0.5f) / w, v = 1 - (y + 0.5f) / h;
            float cu = u * cols, cv = v * rows;
            int row = static_cast<int>(cv);
            float off = (row % 2) * 0.5f;
            float bu = cu + off;
            int col = static_cast<int>(std::floor(bu));
            float fu = bu - col, fv = cv - row;
            // distance to the joint in wall units
            float du = std::min(fu, 1 - fu) * 110.0f / cols, dv = std::min(fv, 1 - fv) * 123.0f / rows;
            float rough = Fbm(u * 40, v * 40, 40, 40, 3, seed + 2);
            float edge = std::min(du, dv) - 0.55f + (rough - 0.5f) * 0.5f;
            std::size_t i = static_cast<std::size_t>(y) * w + x;
            int id = row * 16 + col;
            float r1 = Hash2(id, 5, seed);
            float soot = Soot(u, v, seed);
            float heat = std::exp(-std::pow((u - 0.5f) / 0.3f, 2.0f) - std::pow(v / 0.35f, 2.0f));
            if (edge > 0) {
                Rgb base = Mix(Hex(0xb8936a), Hex(0x9c7650), r1);
                float mottle = Fbm(u * 24, v * 24, 24, 24, 4, seed + 3);
                Rgb c = base * (0.7f + 0.5f * mottle);
                c = Mix(c, Hex(0xd8c0a0), heat * 0.35f);          // bleached by the fire
                c = Mix(c, Hex(0x120d0a), soot * (0.75f + 0.25f * mottle));
                albedo[i] = c;
                height[i] = Smooth(0, 0.6f, edge) + rough * 0.3f;
            } else {
                albedo[i] = Mix(Hex(0x6c655c), Hex(0x0d0b0a), Clamp01(soot * 1.1f));
                height[i] = -0.4f;
            }
        }
    std::vector<float> light = ShadeHeights(height, w, h, 2.0f * std::min(pxPerUnitX, pxPerUnitY) / 4.0f, false);
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::size_t i = static_cast<std::size_t>(y) * w + x;
            img.At(x, y) = albedo[i] * light[i];
            img.A(x, y) = 1;
        }
    return img;
}

// Large dark ashlar blocks with a cast fireback plate in the middle.
Image Ashlar(int w, int h, std::uint32_t seed) {
    std::vector<float> height(static_cast<std::size_t>(w) * h);
    std::vector<Rgb> albedo(height.size());
    const float rowsV[] = {0.0f, 0.3f, 0.62f, 1.0f};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float u = (x + 0.5f) / w, v = 1 - (y + 0.5f) / h;
            int row = v < rowsV[1] ? 0 : (v < rowsV[2] ? 1 : 2);
            float fv0 = rowsV[row], fv1 = rowsV[row + 1];
            float off = row == 1 ? 0.17f : 0.0f;
            float cols = row == 1 ? 3.0f : 4.0f;
            float bu = (u + off) * cols;
            int col = static_cast<int>(std::floor(bu));
            float fu = bu - col;
            float du = std::min(fu, 1 - fu) * 160.0f / cols, dv = std::min(v - fv0, fv1 - v) * 110.0f;
            float rough = Fbm(u * 30, v * 30, 30, 30, 4, seed + 2);
            float edge = std::min(du, dv) - 0.8f + (rough - 0.5f) * 1.6f;
            std::size_t i = static_cast<std::size_t>(y) * w + x;
            float r1 = Hash2(row * 8 + col, 1, seed);
            float soot = Soot(u, v, seed + 100);
            // the fireback: a cast plate with a raised rim and an arched top
            float pu = (u - 0.5f) / 0.26f, pv = (v - 0.08f) / 0.62f;
            bool plate = std::fabs(pu) < 1 && pv > 0 && (pv < 0.8f || (pu * pu + std::pow((pv - 0.8f) / 0.2f, 2.0f)) < 1);
            if (plate) {
                float rimDist = std::min(1 - std::fabs(pu), pv < 0.8f ? 1.0f : 1 - std::sqrt(pu * pu + std::pow((pv - 0.8f) / 0.2f, 2.0f)));
                rimDist = std::min(rimDist, pv * 3.0f);
                float rim = rimDist < 0.08f ? 1.0f : 0.0f;
                float boss = std::exp(-(pu * pu + std::pow((pv - 0.5f) / 0.35f, 2.0f)) * 6.0f);
                float rust = Fbm(u * 50, v * 50, 50, 50, 3, seed + 9);
                Rgb c = Mix(Hex(0x2a2624), Hex(0x4a2e1e), Smooth(0.55f, 0.8f, rust));
                albedo[i] = c * (0.9f + 0.3f * rim);
                height[i] = 1.5f + rim * 1.2f + boss * 1.5f + rust * 0.3f;
            } else if (edge > 0) {
                Rgb base = Mix(Hex(0x6a625a), Hex(0x7a6e60), r1);
                float mottle = Fbm(u * 16 + r1 * 7, v * 16, 16, 16, 4, seed + 3);
                Rgb c = base * (0.7f + 0.55f * mottle);
                albedo[i] = Mix(c, Hex(0x0f0d0c), soot * 0.9f);
                height[i] = Smooth(0, 1.5f, edge) * 1.2f + rough * 0.9f;
            } else {
                albedo[i] = Mix(Hex(0x504a44), Hex(0x0b0a09), soot);
                height[i] = -0.5f;
            }
        }
    std::vector<float> light = ShadeHeights(height, w, h, 1.5f, false);
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::size_t i = static_cast<std::size_t>(y) * w + x;
            img.At(x, y) = albedo[i] * light[i];
            img.A(x, y) = 1;
        }
    return img;
}

}  // namespace

void WriteMasonry(const std::string& dir) {
    WriteJpeg(dir + "/Front01.jpg", Brick(512, 0xB41C), 90);
    WriteJpeg(dir + "/Front02.jpg", Fieldstone(512, 0x5707E), 90);
    WriteJpeg(dir + "/Back01.jpg", Firebrick(512, 512, 0xF1EB), 90);
    WriteJpeg(dir + "/Back02.jpg", Ashlar(512, 256, 0xA541), 90);
}

}  // namespace assetgen
