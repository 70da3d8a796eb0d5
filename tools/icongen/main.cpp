// pyrelume-icongen OUT.ico: draws the program icon (a flame over a log, on a
// transparent background) at 16, 32, 48 and 256 pixels and writes a Windows
// icon file with 32-bit images.
// pyrelume-icongen --hicolor DIR NAME: the same drawing as PNG files in the
// sizes of the desktops' hicolor icon theme, DIR/<n>x<n>/apps/NAME.png.
// Deterministic: same bytes on every run.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/LittleEndian.h"
#include "tools/pyrelume-tool/PngWrite.h"

namespace {

struct Rgba {
    float r, g, b, a;
};

// Coverage of a teardrop flame centred at cx, with base at y=by and tip at y=ty
// (y grows downwards), half-width w at its widest; smooth edges.
float Teardrop(float x, float y, float cx, float by, float ty, float w, float n)
{
    if (y < ty || y > by + w)
        return 0.0f;
    const float h = by - ty;
    float half;
    if (y <= by) {
        const float t = (y - ty) / h;           // 0 at the tip, 1 at the base line
        half = w * std::pow(t, 0.75f) * (1.0f - 0.15f * t);
    } else {
        const float d = (y - by) / w;           // rounded bottom
        half = w * 0.85f * std::sqrt(std::max(0.0f, 1.0f - d * d));
    }
    const float wob = 0.08f * w * std::sin((y - ty) / h * 6.0f);
    const float dx = std::fabs(x - cx - wob);
    return std::clamp((half - dx) * n + 0.5f, 0.0f, 1.0f);
}

void Over(Rgba& dst, Rgba src, float cover)
{
    const float a = src.a * cover;
    dst.r = src.r * a + dst.r * (1 - a);
    dst.g = src.g * a + dst.g * (1 - a);
    dst.b = src.b * a + dst.b * (1 - a);
    dst.a = a + dst.a * (1 - a);
}

std::vector<std::uint8_t> DrawIcon(int n)
{
    std::vector<std::uint8_t> bgra(static_cast<std::size_t>(n) * n * 4);
    const int ss = 4;  // supersampling per axis
    const float fn = static_cast<float>(n);
    for (int py = 0; py < n; ++py)
        for (int px = 0; px < n; ++px) {
            Rgba acc{0, 0, 0, 0};
            for (int sy = 0; sy < ss; ++sy)
                for (int sx = 0; sx < ss; ++sx) {
                    const float x = (px + (sx + 0.5f) / ss) / n;
                    const float y = (py + (sy + 0.5f) / ss) / n;
                    Rgba c{0, 0, 0, 0};
                    // Flames: red outer, orange middle, yellow core.
                    Over(c, {0.85f, 0.12f, 0.02f, 1}, Teardrop(x, y, 0.50f, 0.66f, 0.02f, 0.30f, fn));
                    Over(c, {1.00f, 0.50f, 0.05f, 1}, Teardrop(x, y, 0.52f, 0.68f, 0.22f, 0.21f, fn));
                    Over(c, {1.00f, 0.90f, 0.35f, 1}, Teardrop(x, y, 0.50f, 0.70f, 0.42f, 0.11f, fn));
                    // Log in front of the flame's foot: a brown bar with lighter cut ends.
                    const float ly = std::fabs(y - 0.86f), lx = std::fabs(x - 0.5f);
                    if (ly < 0.08f && lx < 0.42f)
                        Over(c, lx > 0.36f ? Rgba{0.78f, 0.58f, 0.33f, 1} : Rgba{0.40f, 0.22f, 0.10f, 1}, 1);
                    acc.r += c.r; acc.g += c.g; acc.b += c.b; acc.a += c.a;
                }
            const float k = 1.0f / (ss * ss);
            const float a = acc.a * k;
            auto byte = [](float v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
            // Colours were accumulated premultiplied; icons store straight alpha.
            const float un = a > 0 ? 1.0f / (acc.a) : 0.0f;
            // Icon rows are stored bottom-up.
            std::uint8_t* p = &bgra[(static_cast<std::size_t>(n - 1 - py) * n + px) * 4];
            p[0] = byte(acc.b * un);
            p[1] = byte(acc.g * un);
            p[2] = byte(acc.r * un);
            p[3] = byte(a);
        }
    return bgra;
}

// One icon image: BITMAPINFOHEADER (double height), BGRA rows, then the AND mask.
std::vector<std::uint8_t> IconImage(int n)
{
    std::vector<std::uint8_t> out;
    AppendLE32(out, 40);
    AppendLE32(out, static_cast<unsigned>(n));
    AppendLE32(out, static_cast<unsigned>(2 * n));
    AppendLE16(out, 1);
    AppendLE16(out, 32);
    AppendLE32(out, 0);
    AppendLE32(out, 0);
    for (int i = 0; i < 4; ++i)
        AppendLE32(out, 0);
    const auto bgra = DrawIcon(n);
    out.insert(out.end(), bgra.begin(), bgra.end());
    const int maskRow = ((n + 31) / 32) * 4;
    for (int y = 0; y < n; ++y)
        for (int b = 0; b < maskRow; ++b) {
            std::uint8_t m = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int x = b * 8 + bit;
                if (x < n && bgra[(static_cast<std::size_t>(y) * n + x) * 4 + 3] == 0)
                    m |= static_cast<std::uint8_t>(0x80 >> bit);
            }
            out.push_back(m);
        }
    return out;
}

} // namespace

namespace {

// The icon in each hicolor size as DIR/<n>x<n>/apps/NAME.png (straight alpha, top row first).
int WriteHicolor(const std::string& dir, const std::string& name)
{
    for (int n : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const auto bgra = DrawIcon(n);
        std::vector<std::uint8_t> rgba(bgra.size());
        for (std::size_t i = 0; i < bgra.size(); i += 4) {
            rgba[i] = bgra[i + 2];
            rgba[i + 1] = bgra[i + 1];
            rgba[i + 2] = bgra[i];
            rgba[i + 3] = bgra[i + 3];
        }
        const std::string size = std::to_string(n) + "x" + std::to_string(n);
        const std::string folder = dir + "/" + size + "/apps";
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        try {
            // DrawIcon stores the rows bottom-up, as icon files do.
            WritePngRGBA(folder + "/" + name + ".png", n, n, rgba.data(), true);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "pyrelume-icongen: %s\n", e.what());
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--hicolor")
        return WriteHicolor(argv[2], argv[3]);
    if (argc != 2) {
        std::fprintf(stderr, "usage: pyrelume-icongen OUT.ico | pyrelume-icongen --hicolor DIR NAME\n");
        return 2;
    }
    const int sizes[] = {16, 32, 48, 256};
    std::vector<std::vector<std::uint8_t>> images;
    for (int s : sizes)
        images.push_back(IconImage(s));
    std::vector<std::uint8_t> file;
    AppendLE16(file, 0);
    AppendLE16(file, 1);
    AppendLE16(file, static_cast<unsigned>(images.size()));
    unsigned offset = 6 + 16 * static_cast<unsigned>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<std::uint8_t>(sizes[i] & 0xFF));  // 256 is stored as 0
        file.push_back(static_cast<std::uint8_t>(sizes[i] & 0xFF));
        file.push_back(0);
        file.push_back(0);
        AppendLE16(file, 1);
        AppendLE16(file, 32);
        AppendLE32(file, static_cast<unsigned>(images[i].size()));
        AppendLE32(file, offset);
        offset += static_cast<unsigned>(images[i].size());
    }
    for (const auto& img : images)
        file.insert(file.end(), img.begin(), img.end());
    const std::string tmp = std::string(argv[1]) + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f || std::fwrite(file.data(), 1, file.size(), f) != file.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "pyrelume-icongen: cannot write %s\n", argv[1]);
        return 1;
    }
    if (std::rename(tmp.c_str(), argv[1]) != 0) {
        std::fprintf(stderr, "pyrelume-icongen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
