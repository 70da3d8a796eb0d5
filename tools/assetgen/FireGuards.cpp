// Fire guards: a black iron screen with an arched centre panel and a square
// wire mesh, and a brass screen with a scrollwork band and a diagonal mesh.
// The picture holds three panels side by side (wing, centre, wing) in the
// proportions the models map them with; the mesh holes are fully clear.
#include <cmath>

#include "tools/assetgen/AssetGen.h"

namespace assetgen {

namespace {

constexpr float kSplit = 0.15f;
constexpr float kClearRows = 8;

// Distance to the nearest line of a family spaced `pitch` apart.
float LineDist(float v, float pitch) { return std::fabs(v - pitch * std::round(v / pitch)); }

float Coverage(float halfWidth, float dist) { return Clamp01(halfWidth + 0.5f - dist); }

struct Panel {
    float x0, x1;  // pixel span
};

// A rounded bar profile lit from above: bright along its upper edge.
Rgb Metal(Rgb base, float across, float sheen) {
    float lit = 0.55f + 0.9f * std::max(0.0f, 1 - std::fabs(across - 0.3f) * 2.2f);
    return base * lit + Rgb{1, 0.95f, 0.85f} * (sheen * std::pow(std::max(0.0f, 1 - std::fabs(across - 0.25f) * 5), 3.0f));
}

Image IronGuard(int w, int h, std::uint32_t seed) {
    Image img(w, h);
    const Panel panels[3] = {{0, w * kSplit}, {w * kSplit, w * (1 - kSplit)}, {w * (1 - kSplit), static_cast<float>(w)}};
    const Rgb iron = Hex(0x232325), wire = Hex(0x2c2b2a), brass = Hex(0xb08a3c);
    const float frame = 7, rail = 11, pitch = 5.0f;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            int pi = px < panels[0].x1 ? 0 : (px < panels[1].x1 ? 1 : 2);
            const Panel& p = panels[pi];
            float cx = (p.x0 + p.x1) / 2, hw = (p.x1 - p.x0) / 2;
            float rel = (px - cx) / hw;
            float top = pi == 1 ? 12 + 30 * rel * rel : 42.0f;
            float dTop = py - top;                     // inside below the top edge
            float dSide = hw - std::fabs(px - cx);
            // clear bottom rows, enough for two texel rows at the lowest
            // texture quality (a quarter size): the top edge must not wrap
            // onto the rail
            float dBottom = h - kClearRows - py;
            float inside = std::min(std::min(dTop, dSide), dBottom);
            Rgb col = Hex(0x101010);
            float a = 0;
            if (inside > -1) {
                // mesh
                float d = std::min(LineDist(px - p.x0, pitch), LineDist(py, pitch));
                float cov = Coverage(0.3f, d) * 0.95f;
                float sheen = Noise(px / 9.0f, py / 9.0f, 64, 64, seed);
                col = wire * (0.8f + 0.6f * sheen);
                a = cov * Clamp01(0.5f + inside);
                // frame bars along the top, sides and bottom rail
                float fd = std::min(std::min(dTop, dSide), dBottom - rail + frame);
                if (fd < frame) {
                    float across = Clamp01(fd / frame);
                    float fc = Clamp01(0.5f + inside) * Clamp01(frame - fd + 0.5f);
                    col = Mix(col, Metal(iron, across, 0.35f), fc / std::max(a + fc * (1 - a), 1e-3f));
                    a = fc + a * (1 - fc);
                }
                // a twisted bar across the middle of each panel
                float barY = h * 0.55f;
                float bd = std::fabs(py - barY);
                if (bd < 3.5f && dSide > 0) {
                    float twist = 0.5f + 0.5f * std::sin(px * 0.9f);
                    col = Metal(iron, Clamp01((py - barY + 3.5f) / 7), 0.2f + 0.3f * twist);
                    a = std::max(a, Coverage(3.0f, bd));
                }
            }
            // finials and the handle
            auto knob = [&](float kx, float ky, float kr, Rgb base) {
                float d = std::hypot(px - kx, py - ky);
                if (d < kr + 1) {
                    float c = Coverage(kr - 0.5f, d);
                    float hl = std::max(0.0f, 1 - std::hypot(px - kx + kr * 0.35f, py - ky + kr * 0.4f) / (kr * 0.6f));
                    Rgb kc = base * (0.6f + 0.5f * (1 - d / kr)) + Rgb{1, 0.95f, 0.8f} * (hl * hl * 0.8f);
                    col = Mix(col, kc, c);
                    a = std::max(a, c);
                }
            };
            knob(w * 0.5f, 9, 8, brass);
            knob(4, 40, 6, iron);
            knob(w - 4.0f, 40, 6, iron);
            knob(w * kSplit, 34, 5, iron);
            knob(w * (1 - kSplit), 34, 5, iron);
            img.At(x, y) = col;
            img.A(x, y) = a;
        }
    return img;
}

Image BrassGuard(int w, int h, std::uint32_t seed) {
    Image img(w, h);
    const Panel panels[3] = {{0, w * kSplit}, {w * kSplit, w * (1 - kSplit)}, {w * (1 - kSplit), static_cast<float>(w)}};
    const Rgb brass = Hex(0xa8823a), wire = Hex(0x3a3128);
    const float frame = 9, pitch = 6.0f;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            int pi = px < panels[0].x1 ? 0 : (px < panels[1].x1 ? 1 : 2);
            const Panel& p = panels[pi];
            float cx = (p.x0 + p.x1) / 2, hw = (p.x1 - p.x0) / 2;
            float top = pi == 1 ? 18.0f : 30.0f;
            float dTop = py - top, dSide = hw - std::fabs(px - cx), dBottom = h - kClearRows - py;
            float inside = std::min(std::min(dTop, dSide), dBottom);
            Rgb col = Hex(0x100c08);
            float a = 0;
            float tarnish = Fbm(px / 24.0f, py / 24.0f, 32, 16, 3, seed);
            Rgb metal = Mix(brass, Hex(0x6a5024), Smooth(0.55f, 0.8f, tarnish));
            if (inside > -1) {
                float d = std::min(LineDist(px + py, pitch * 1.4142f), LineDist(px - py, pitch * 1.4142f)) / 1.4142f;
                col = wire * (0.8f + 0.4f * Noise(px / 7.0f, py / 7.0f, 80, 40, seed + 1));
                a = Coverage(0.3f, d) * 0.92f * Clamp01(0.5f + inside);
                // scrollwork band under the top rail: rings joined by a bar
                float bandTop = top + frame, bandBot = bandTop + 34;
                if (py > bandTop - 1 && py < bandBot + 2) {
                    float ringPitch = 34;
                    float rx = px - p.x0 - ringPitch / 2;
                    float lx = rx - ringPitch * std::round(rx / ringPitch);
                    float ly = py - (bandTop + bandBot) / 2;
                    float rd = std::fabs(std::hypot(lx, ly) - 11);
                    float c = Coverage(2.2f, rd);
                    float dot = Coverage(3.0f, std::hypot(lx, ly));
                    float bar = Coverage(1.6f, std::fabs(py - bandBot));
                    float m = std::max(std::max(c, dot), bar) * Clamp01(0.5f + dSide);
                    Rgb mc = Metal(metal, Clamp01((ly + 11) / 22), 0.5f);
                    if (py < bandBot) {  // open scrollwork: no mesh behind it
                        col = mc;
                        a = m;
                    } else if (m > 0) {
                        col = Mix(col, mc, m);
                        a = std::max(a, m);
                    }
                }
                float fd = std::min(std::min(dTop, dSide), dBottom);
                if (fd < frame) {
                    float fc = Clamp01(0.5f + inside) * Clamp01(frame - fd + 0.5f);
                    col = Mix(col, Metal(metal, Clamp01(fd / frame), 0.6f), fc);
                    a = std::max(a, fc);
                }
            }
            // a row of balls along each top rail
            float ballPitch = pi == 1 ? 24.0f : 19.0f;
            float bx = px - p.x0 - ballPitch / 2;
            float lx = bx - ballPitch * std::round(bx / ballPitch);
            if (std::fabs(px - cx) < hw - 6) {
                float d = std::hypot(lx, py - (top - 4));
                if (d < 6) {
                    float c = Coverage(4.5f, d);
                    float hl = std::max(0.0f, 1 - std::hypot(lx + 1.5f, py - (top - 4) + 2) / 3.0f);
                    col = Mix(col, metal * (0.7f + 0.5f * (1 - d / 5)) + Rgb{1, 0.95f, 0.8f} * (hl * 0.9f), c);
                    a = std::max(a, c);
                }
            }
            img.At(x, y) = col;
            img.A(x, y) = a;
        }
    return img;
}

}  // namespace

void WriteFireGuards(const std::string& dir) {
    Image a = IronGuard(512, 256, 0x1604);
    WriteJpeg(dir + "/FireGuard01.jpg", a, 95);
    WriteJpeg(dir + "/FireGuardA01.jpg", a.AlphaAsGrey(), 95);
    Image b = BrassGuard(512, 256, 0xB4A5);
    WriteJpeg(dir + "/FireGuard05.jpg", b, 95);
    WriteJpeg(dir + "/FireGuardA05.jpg", b.AlphaAsGrey(), 95);
}

}  // namespace assetgen
