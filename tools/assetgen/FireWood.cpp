// The two sets of logs, painted as cut-outs: oak with furrowed bark and
// birch with its white papery bark, both charred and glowing underneath,
// each log with a sawn end showing its growth rings.
#include <cmath>

#include "tools/assetgen/AssetGen.h"

namespace assetgen {

namespace {

enum class Wood { Oak, Birch };

struct Log {
    float x0, y0, x1, y1, r;
    bool cutAtEnd;  // the sawn face at (x1, y1); otherwise at (x0, y0)
    std::uint32_t seed;
};

struct LogSample {
    float alpha = 0;   // coverage
    float inside = -1e9f;  // distance inside the silhouette, pixels
    Rgb colour;
};

constexpr float kFore = 0.33f;  // foreshortening of the sawn ends

// Geometry of a log at a pixel: position along the axis and across it.
struct LogFrame {
    float t, s, len, a;  // along (px), across (-1 bottom .. 1 top), length, end-ellipse half-axis
};

LogFrame Frame(const Log& g, float px, float py) {
    float dx = g.x1 - g.x0, dy = g.y1 - g.y0;
    float len = std::hypot(dx, dy);
    dx /= len;
    dy /= len;
    float nx = -dy, ny = dx;
    if (ny > 0) {
        nx = -nx;
        ny = -ny;
    }
    float rx = px - g.x0, ry = py - g.y0;
    return {rx * dx + ry * dy, (rx * nx + ry * ny) / g.r, len, g.r * kFore};
}

// Signed distance inside the log's silhouette in pixels (negative outside).
float InsideDistance(const Log& g, const LogFrame& f, float wobble) {
    float r = g.r * (1 + wobble);
    float body = -1e9f;
    if (f.t >= 0 && f.t <= f.len) body = (1 - std::fabs(f.s) * g.r / r) * r;
    // rounded ends
    for (float c : {0.0f, f.len}) {
        float e = (f.t - c) / f.a, q = f.s;
        float d = (1 - std::sqrt(e * e + q * q)) * f.a;
        body = std::max(body, d);
    }
    return body;
}

Rgb BarkColour(Wood wood, float along, float around, float s, std::uint32_t seed) {
    if (wood == Wood::Oak) {
        // deep furrows running along the log between rough plates
        float furrow = FbmF(along / 90.0f, around / 4.0f, 3, seed);
        float plates = FbmF(along / 18.0f, around / 9.0f, 3, seed + 1);
        float fine = NoiseF(along / 3.0f, around / 1.5f, seed + 9);
        float ridge = Smooth(0.45f, 0.52f, furrow * 0.75f + plates * 0.25f);
        Rgb c = Mix(Hex(0x120d0a), Mix(Hex(0x47392d), Hex(0x6e5f4f), plates), ridge) * (0.8f + 0.4f * fine);
        float lichen = FbmF(along / 40.0f, around / 30.0f, 3, seed + 2);
        if (lichen > 0.68f && s > 0.2f) c = Mix(c, Hex(0x707a5a), 0.35f);
        return c;
    }
    float mottle = FbmF(along / 30.0f, around / 20.0f, 4, seed);
    Rgb c = Mix(Hex(0xb9b3a6), Hex(0xe8e4da), mottle);
    float lenticel = NoiseF(along / 2.0f, around / 12.0f, seed + 1);
    float len2 = NoiseF(along / 3.0f, around / 8.0f, seed + 5);
    if (lenticel > 0.8f || len2 > 0.86f) c = Mix(c, Hex(0x3b332d), 0.8f);
    float scar = FbmF(along / 45.0f, around / 28.0f, 3, seed + 3);
    if (scar > 0.7f) c = Mix(c, Hex(0x15110f), Smooth(0.7f, 0.76f, scar));
    float peel = FbmF(along / 60.0f, around / 8.0f, 2, seed + 4);
    if (peel > 0.72f) c = Mix(c, Hex(0xc89a70), 0.5f);  // orange inner bark under a peeled strip
    return c;
}

Rgb EndGrain(Wood wood, float e, float q, float r, std::uint32_t seed) {
    float rho = std::sqrt(e * e + q * q);
    float phi = std::atan2(q, e);
    float wob = FbmF(std::cos(phi) * 2 + 5, std::sin(phi) * 2 + 5, 3, seed) - 0.5f;
    float rings = (rho + wob * 0.08f) * (wood == Wood::Oak ? 16.0f : 11.0f);
    float ring = rings - std::floor(rings);
    Rgb light = wood == Wood::Oak ? Hex(0xa07850) : Hex(0xd9c49a);
    Rgb heart = wood == Wood::Oak ? Hex(0x6e4a2c) : Hex(0xc2a676);
    Rgb c = Mix(heart, light, Smooth(0.2f, 0.6f, rho));
    c = c * (ring < 0.18f ? 0.72f : 1.0f);
    // radial checks from drying
    for (int k = 0; k < 3; ++k) {
        float ang = Hash2(static_cast<int>(seed), k, 77) * 6.283f;
        float diff = std::fabs(std::remainder(phi - ang, 6.2831853f));
        float width = 0.035f * (1.2f - rho);
        if (rho > 0.15f && rho < 0.85f && diff < width) c = c * 0.3f;
    }
    float grain = FbmF(e * r / 3.0f, q * r / 3.0f, 2, seed + 9);
    c = c * (0.85f + 0.3f * grain);
    // the bark ring and a charred rim
    if (rho > 0.86f) c = wood == Wood::Oak ? Hex(0x2a2018) : Hex(0xd8d2c6) * 0.8f;
    else if (rho > 0.8f) c = c * 0.55f;
    return c;
}

Image PaintLogs(int w, int h, const std::vector<Log>& logs, Wood wood) {
    Image img(w, h);
    const int ss = 2;  // supersampling per axis for clean silhouettes
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Rgb acc;
            float accA = 0;
            for (int sy = 0; sy < ss; ++sy)
                for (int sx = 0; sx < ss; ++sx) {
                    float px = x + (sx + 0.5f) / ss, py = y + (sy + 0.5f) / ss;
                    Rgb col;
                    float a = 0;
                    for (std::size_t li = 0; li < logs.size(); ++li) {
                        const Log& g = logs[li];
                        LogFrame f = Frame(g, px, py);
                        float wobble = (NoiseF(f.t / 18.0f, 0.5f, g.seed) - 0.5f) * 0.08f;
                        float inside = InsideDistance(g, f, wobble);
                        if (inside < -1) continue;
                        float cov = Clamp01(0.5f + inside);
                        float s = std::max(-1.0f, std::min(1.0f, f.s));
                        float theta = std::asin(s);
                        float along = f.t, around = theta * g.r;
                        Rgb c = BarkColour(wood, along, around, s, g.seed);
                        // round shading: lit from above and in front, glowing from the embers below
                        float nz = std::sqrt(std::max(0.0f, 1 - s * s));
                        float lit = 0.25f + 0.75f * std::max(0.0f, 0.5f * s + 0.75f * nz);
                        // burnt wood: most of the bark charred black and split
                        // into the blocks of alligator char, grey with ash on the
                        // upper side; the cracks between the blocks glow on the
                        // lower, burning half, and the underside glows red
                        float under = Smooth(0.35f, -0.9f, s + (FbmF(along / 30.0f, 0, 2, g.seed + 8) - 0.5f) * 0.6f);
                        float charNoise = FbmF(along / 40.0f, around / 14.0f, 3, g.seed + 5);
                        float charAmount = Clamp01(0.5f + 0.55f * under + (charNoise - 0.5f) * 0.9f);
                        Cell ch = Cellular(along / 17.0f, around / 9.0f, 1 << 12, 1 << 12, g.seed + 7, 0.9f);
                        float crack = ch.f2 - ch.f1;
                        float block = Smooth(0.06f, 0.35f, crack);
                        Rgb charred = Hex(0x0c0a09) * (0.6f + 0.8f * FbmF(along / 6.0f, around / 6.0f, 2, g.seed + 6));
                        charred = Mix(charred * (0.5f + 0.5f * block), Hex(0x57524c), block * Smooth(-0.2f, 0.9f, s) * 0.5f);
                        c = Mix(c * lit, charred * (0.45f + 0.55f * lit), charAmount * 0.95f);
                        float hot = Smooth(0.1f, 0.8f, under + (charNoise - 0.5f) * 0.5f) * Smooth(0.085f, 0.02f, crack);
                        Rgb glow = Mix(Hex(0xb82802), Hex(0xffa436), Clamp01(Smooth(-0.4f, -1.0f, s) * 0.7f + Smooth(0.04f, 0.0f, crack) * 0.5f));
                        c = Mix(c, glow, hot);
                        c = c + Hex(0x702404) * (Smooth(-0.5f, -1.0f, s) * 0.85f);
                        float endC = g.cutAtEnd ? f.len : 0.0f;
                        float e = (f.t - endC) / f.a, q = f.s;
                        float endInside = (1 - std::sqrt(e * e + q * q)) * f.a;
                        if (endInside > -1) {
                            float ec = Clamp01(0.5f + endInside);
                            Rgb face = EndGrain(wood, e, q, g.r, g.seed + 3) * 0.78f;
                            face = face + Hex(0x501800) * Smooth(-0.4f, -1.0f, q);
                            c = Mix(c, face, ec);
                        }
                        // contact shadow from the logs drawn in front
                        float occ = 0;
                        for (std::size_t lj = li + 1; lj < logs.size(); ++lj) {
                            LogFrame fj = Frame(logs[lj], px, py);
                            float dj = InsideDistance(logs[lj], fj, 0);
                            if (dj < 0 && dj > -22) occ += (1 + dj / 22) * 0.6f;
                        }
                        c = c * (1 - std::min(0.7f, occ));
                        col = Mix(col, c, cov);
                        a = cov + a * (1 - cov);
                    }
                    acc = acc + col;
                    accA += a;
                }
            float n = 1.0f / (ss * ss);
            float a = accA * n;
            // colours were composited premultiplied; store them straight
            img.At(x, y) = accA > 0 ? acc * (1.0f / accA) : Rgb{};
            // clear border rows so a repeating sampler never pulls the logs
            // at the bottom edge onto the card's top edge
            img.A(x, y) = (y < 2 || y >= h - 2) ? 0.0f : a;
        }
    return img;
}

}  // namespace

void WriteFireWood(const std::string& dir) {
    const std::vector<Log> oak = {
        {110, 392, 935, 356, 56, true, 101},   // back, bottom
        {610, 352, 1005, 292, 30, true, 102},  // a split piece leaning on the right
        {178, 300, 842, 214, 48, false, 103},  // on top
        {52, 452, 892, 474, 60, false, 104},   // front, bottom
    };
    const std::vector<Log> birch = {
        {96, 420, 902, 436, 52, false, 201},
        {150, 334, 760, 392, 45, false, 202},
        {330, 404, 930, 296, 44, true, 203},
        {168, 474, 985, 446, 55, true, 204},
    };
    Image a = PaintLogs(1024, 512, oak, Wood::Oak);
    WriteJpeg(dir + "/FireWood01.jpg", a, 90);
    WriteJpeg(dir + "/FireWoodA01.jpg", a.AlphaAsGrey(), 92);
    Image b = PaintLogs(1024, 512, birch, Wood::Birch);
    WriteJpeg(dir + "/FireWood02.jpg", b, 90);
    WriteJpeg(dir + "/FireWood02A.jpg", b.AlphaAsGrey(), 92);
}

}  // namespace assetgen
