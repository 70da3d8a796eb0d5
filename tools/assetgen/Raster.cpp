#include "tools/assetgen/Raster.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <jpeglib.h>

#include "assets/LittleEndian.h"

namespace assetgen {

namespace {
std::uint32_t Mix32(std::uint32_t h) {
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}
int Wrap(int v, int p) {
    int m = v % p;
    return m < 0 ? m + p : m;
}
float Fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }
}  // namespace

float Hash2(int x, int y, std::uint32_t seed) {
    std::uint32_t h = Mix32(static_cast<std::uint32_t>(x) * 0x8DA6B343u ^ Mix32(static_cast<std::uint32_t>(y) * 0xD8163841u ^ seed));
    return static_cast<float>(h >> 8) * (1.0f / 16777216.0f);
}

float Hash3(int x, int y, int z, std::uint32_t seed) {
    return Hash2(x, static_cast<int>(Mix32(static_cast<std::uint32_t>(y) ^ (static_cast<std::uint32_t>(z) * 0xCB1AB31Fu))), seed);
}

float Noise(float x, float y, int px, int py, std::uint32_t seed) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = Fade(x - fx), ty = Fade(y - fy);
    int x0 = Wrap(ix, px), x1 = Wrap(ix + 1, px), y0 = Wrap(iy, py), y1 = Wrap(iy + 1, py);
    float a = Hash2(x0, y0, seed), b = Hash2(x1, y0, seed);
    float c = Hash2(x0, y1, seed), d = Hash2(x1, y1, seed);
    return Lerp(Lerp(a, b, tx), Lerp(c, d, tx), ty);
}

float Fbm(float x, float y, int px, int py, int octaves, std::uint32_t seed, float gain) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * Noise(x, y, px, py, seed + static_cast<std::uint32_t>(o) * 1013u);
        norm += amp;
        amp *= gain;
        x *= 2;
        y *= 2;
        px *= 2;
        py *= 2;
    }
    return sum / norm;
}

float NoiseF(float x, float y, std::uint32_t seed) { return Noise(x, y, 1 << 20, 1 << 20, seed); }

float FbmF(float x, float y, int octaves, std::uint32_t seed, float gain) {
    return Fbm(x, y, 1 << 16, 1 << 16, octaves, seed, gain);
}

Cell Cellular(float x, float y, int cx, int cy, std::uint32_t seed, float jitter) {
    Cell c;
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            int gx = ix + dx, gy = iy + dy;
            int wx = Wrap(gx, cx), wy = Wrap(gy, cy);
            float ox = 0.5f + (Hash2(wx, wy, seed) - 0.5f) * jitter;
            float oy = 0.5f + (Hash2(wx, wy, seed ^ 0x5bd1e995u) - 0.5f) * jitter;
            float px = gx + ox, py = gy + oy;
            float d = std::hypot(px - x, py - y);
            if (d < c.f1) {
                c.f2 = c.f1;
                c.f1 = d;
                c.id = wy * cx + wx;
                c.px = px;
                c.py = py;
            } else if (d < c.f2) {
                c.f2 = d;
            }
        }
    }
    return c;
}

void Image::Blend(int x, int y, Rgb c, float a) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || a <= 0) return;
    a = Clamp01(a);
    Rgb& p = At(x, y);
    float& pa = A(x, y);
    float outA = a + pa * (1 - a);
    if (outA > 0) p = (c * a + p * (pa * (1 - a))) * (1.0f / outA);
    pa = outA;
}

Image Image::AlphaAsGrey() const {
    Image g(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            float a = A(x, y);
            g.At(x, y) = {a, a, a};
            g.A(x, y) = 1;
        }
    return g;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) throw std::runtime_error("cannot create " + tmp);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + tmp);
    }
    std::filesystem::rename(tmp, path);
}

void WriteText(const std::string& path, const std::string& text) {
    WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

namespace {
// libjpeg reports fatal errors through error_exit; turn them into exceptions.
struct JpegError {
    std::string message;
};
[[noreturn]] void JpegErrorExit(j_common_ptr cinfo) {
    char buf[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, buf);
    throw JpegError{buf};
}
}  // namespace

void WriteJpeg(const std::string& path, const Image& img, int quality) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jerr.error_exit = JpegErrorExit;
    unsigned char* mem = nullptr;
    unsigned long memSize = 0;
    std::vector<std::uint8_t> bytes;
    try {
        jpeg_create_compress(&cinfo);
        jpeg_mem_dest(&cinfo, &mem, &memSize);
        cinfo.image_width = static_cast<JDIMENSION>(img.Width());
        cinfo.image_height = static_cast<JDIMENSION>(img.Height());
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, quality, TRUE);
        for (int c = 0; c < 3; ++c) {
            cinfo.comp_info[c].h_samp_factor = 1;
            cinfo.comp_info[c].v_samp_factor = 1;
        }
        cinfo.optimize_coding = TRUE;
        cinfo.dct_method = JDCT_ISLOW;
        jpeg_start_compress(&cinfo, TRUE);
        std::vector<JSAMPLE> row(static_cast<std::size_t>(img.Width()) * 3);
        for (int y = 0; y < img.Height(); ++y) {
            for (int x = 0; x < img.Width(); ++x) {
                const Rgb& p = img.At(x, y);
                row[x * 3 + 0] = ToByte(p.r);
                row[x * 3 + 1] = ToByte(p.g);
                row[x * 3 + 2] = ToByte(p.b);
            }
            JSAMPROW rp = row.data();
            jpeg_write_scanlines(&cinfo, &rp, 1);
        }
        jpeg_finish_compress(&cinfo);
        bytes.assign(mem, mem + memSize);
    } catch (const JpegError& e) {
        jpeg_destroy_compress(&cinfo);
        std::free(mem);
        throw std::runtime_error("JPEG encoding of " + path + " failed: " + e.message);
    }
    jpeg_destroy_compress(&cinfo);
    std::free(mem);
    WriteFile(path, bytes);
}

void WriteGreyBmp8(const std::string& path, const Image& img) {
    const std::uint32_t w = static_cast<std::uint32_t>(img.Width()), h = static_cast<std::uint32_t>(img.Height());
    const std::uint32_t stride = (w + 3) & ~3u;
    const std::uint32_t offBits = 14 + 40 + 256 * 4;
    std::vector<std::uint8_t> b;
    b.reserve(offBits + stride * h);
    b.push_back('B');
    b.push_back('M');
    AppendLE32(b, offBits + stride * h);
    AppendLE32(b, 0);
    AppendLE32(b, offBits);
    AppendLE32(b, 40);       // header size
    AppendLE32(b, w);
    AppendLE32(b, h);        // positive: rows stored bottom-up
    AppendLE16(b, 1);        // planes
    AppendLE16(b, 8);        // bits per pixel
    AppendLE32(b, 0);        // no compression
    AppendLE32(b, stride * h);
    AppendLE32(b, 2835);     // 72 dpi
    AppendLE32(b, 2835);
    AppendLE32(b, 256);      // palette entries used
    AppendLE32(b, 0);
    for (std::uint32_t i = 0; i < 256; ++i) {
        b.push_back(static_cast<std::uint8_t>(i));
        b.push_back(static_cast<std::uint8_t>(i));
        b.push_back(static_cast<std::uint8_t>(i));
        b.push_back(0);
    }
    for (std::uint32_t row = 0; row < h; ++row) {
        int y = static_cast<int>(h - 1 - row);
        for (std::uint32_t x = 0; x < stride; ++x) {
            if (x < w) {
                const Rgb& p = img.At(static_cast<int>(x), y);
                b.push_back(ToByte(0.299f * p.r + 0.587f * p.g + 0.114f * p.b));
            } else {
                b.push_back(0);
            }
        }
    }
    WriteFile(path, b);
}

}  // namespace assetgen
