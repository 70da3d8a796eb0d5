#include "scene/SceneImages.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "assets/LittleEndian.h"
#include "gl/Errors.h"

extern "C" {
#include <jpeglib.h>
}

void TBitmapImage::GetBGR(int x, int y, std::uint8_t& b, std::uint8_t& g, std::uint8_t& r) const
{
    if (x < 0 || y < 0 || x >= Width || y >= Height) {
        b = g = r = 0;
        return;
    }
    if (BitsPerPixel == 8) {
        const std::uint8_t i = Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)];
        b = Palette[i * 3u];
        g = Palette[i * 3u + 1];
        r = Palette[i * 3u + 2];
        return;
    }
    const std::uint8_t* p = &Pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)) * 3u];
    b = p[0];
    g = p[1];
    r = p[2];
}

// ---------------------------------------------------------------- BMP

namespace {

[[noreturn]] void BmpError(const std::string& reason)
{
    RaiseError("TSceneTexture", "LoadBitmap", "Invalid bitmap: " + reason);
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at)
{
    return LoadLE32(&b[at]);
}

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at)
{
    return LoadLE16(&b[at]);
}

std::vector<std::uint8_t> EncodeBmp(const TBitmapImage& image, int bits)
{
    const std::size_t stride = ((static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(bits) + 31) / 32) * 4;
    const std::uint32_t paletteBytes = bits == 8 ? 1024 : 0;
    const std::uint32_t offBits = 14 + 40 + paletteBytes;
    const std::size_t size = offBits + stride * static_cast<std::size_t>(image.Height);
    std::vector<std::uint8_t> v;
    v.reserve(size);
    v.push_back('B');
    v.push_back('M');
    AppendLE32(v, static_cast<std::uint32_t>(size));
    AppendLE32(v, 0);
    AppendLE32(v, offBits);
    AppendLE32(v, 40);
    AppendLE32(v, static_cast<std::uint32_t>(image.Width));
    AppendLE32(v, static_cast<std::uint32_t>(image.Height));
    AppendLE16(v, 1);
    AppendLE16(v, static_cast<std::uint16_t>(bits));
    AppendLE32(v, 0);
    AppendLE32(v, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(image.Height)));
    AppendLE32(v, 2835);
    AppendLE32(v, 2835);
    AppendLE32(v, bits == 8 ? 256 : 0);
    AppendLE32(v, 0);
    if (bits == 8)
        for (int i = 0; i < 256; ++i) {
            v.push_back(image.Palette[i * 3u]);
            v.push_back(image.Palette[i * 3u + 1]);
            v.push_back(image.Palette[i * 3u + 2]);
            v.push_back(0);
        }
    const int rowBytes = image.RowBytes();
    for (int y = image.Height - 1; y >= 0; --y) {
        const std::uint8_t* row = image.Pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(rowBytes);
        v.insert(v.end(), row, row + rowBytes);
        v.insert(v.end(), stride - static_cast<std::size_t>(rowBytes), 0);
    }
    return v;
}

} // namespace

TBitmapImage DecodeBmp(std::span<const std::uint8_t> b)
{
    // Offsets and sizes are 32-bit fields of the file: every sum of them is
    // taken in 64 bits, so a field near 2^32 cannot wrap around on a 32-bit
    // build and slip past a bounds check.
    const std::uint64_t size = b.size();
    if (size < 14 + 12)
        BmpError("file too short");
    if (b[0] != 'B' || b[1] != 'M')
        BmpError("no \"BM\" signature");
    const std::uint32_t offBits = U32(b, 10);
    const std::uint32_t headerSize = U32(b, 14);
    if (headerSize < 40)
        BmpError("unsupported header (" + std::to_string(headerSize) + " bytes)");
    if (size < 14 + 40)
        BmpError("truncated header");
    const auto width = static_cast<std::int32_t>(U32(b, 18));
    const auto rawHeight = static_cast<std::int32_t>(U32(b, 22));
    const std::uint16_t planes = U16(b, 26);
    const std::uint16_t bits = U16(b, 28);
    const std::uint32_t compression = U32(b, 30);
    std::uint32_t colorsUsed = U32(b, 46);
    if (planes != 1)
        BmpError("planes must be 1");
    if (compression != 0)
        BmpError("compressed bitmaps are not supported (compression " + std::to_string(compression) + ")");
    if (bits != 24 && bits != 8)
        BmpError(std::to_string(bits) + " bits per pixel is not supported (24 or 8 only)");
    if (rawHeight == INT32_MIN)
        BmpError("bad height");
    const bool topDown = rawHeight < 0;
    const int height = topDown ? -rawHeight : rawHeight;
    if (width < 0)
        BmpError("bad size " + std::to_string(width) + " x " + std::to_string(rawHeight));
    if (width > MaxImageSide || height > MaxImageSide)
        BmpError("picture of " + std::to_string(width) + " x " + std::to_string(height) + " pixels is larger than " +
                 std::to_string(MaxImageSide) + " x " + std::to_string(MaxImageSide));

    TBitmapImage img;
    img.BitsPerPixel = bits;
    if (bits == 8) {
        if (colorsUsed == 0 || colorsUsed > 256)
            colorsUsed = 256;
        const std::uint64_t palAt = 14 + static_cast<std::uint64_t>(headerSize);
        if (palAt > size || size - palAt < static_cast<std::uint64_t>(colorsUsed) * 4u)
            BmpError("truncated palette");
        const std::size_t at = static_cast<std::size_t>(palAt);
        for (std::uint32_t i = 0; i < colorsUsed; ++i) {
            img.Palette[i * 3u] = b[at + i * 4u];
            img.Palette[i * 3u + 1] = b[at + i * 4u + 1];
            img.Palette[i * 3u + 2] = b[at + i * 4u + 2];
        }
    }
    const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
    const std::uint64_t need = stride * static_cast<std::uint64_t>(height);
    if (offBits > size || size - offBits < need)
        BmpError("truncated pixel data");
    if (width == 0 || height == 0) {
        img.BitsPerPixel = bits;
        return img;
    }
    img.Width = width;
    img.Height = height;
    const std::size_t rowBytes = static_cast<std::size_t>(img.RowBytes());
    img.Pixels.resize(rowBytes * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const int srcRow = topDown ? y : height - 1 - y;
        std::memcpy(img.Pixels.data() + rowBytes * static_cast<std::size_t>(y),
                    b.data() + offBits + static_cast<std::size_t>(stride) * static_cast<std::size_t>(srcRow), rowBytes);
    }
    return img;
}

std::vector<std::uint8_t> EncodeBmp24(const TBitmapImage& image)
{
    return EncodeBmp(image, 24);
}

std::vector<std::uint8_t> EncodeBmp8(const TBitmapImage& image)
{
    return EncodeBmp(image, 8);
}

// ---------------------------------------------------------------- JPEG

namespace {

struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    jpeg_progress_mgr progress;
};

// Working memory of the decoder beyond the output picture.
constexpr long kJpegMemoryLimit = 64L * 1024 * 1024;
// A progressive picture needs a dozen scans; thousands of tiny ones only cost time.
constexpr int kJpegMaxScans = 500;

extern "C" void JpegErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

extern "C" void JpegSilentMessage(j_common_ptr, int) {}

extern "C" void JpegProgress(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kJpegMaxScans) {
        auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
        std::snprintf(err->message, sizeof err->message, "more than %d scans", kJpegMaxScans);
        std::longjmp(err->jump, 1);
    }
}

// Decodes into out (already empty); returns false with err->message set on failure.
// Kept free of objects with destructors between setjmp and longjmp.
bool DecodeJpegRaw(const std::uint8_t* data, unsigned long size, TBitmapImage* out, JpegErrorManager* err)
{
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err->pub);
    err->pub.error_exit = JpegErrorExit;
    err->pub.emit_message = JpegSilentMessage;
    err->progress = {};
    err->progress.progress_monitor = JpegProgress;
    // Changed after setjmp and read after longjmp: volatile, or its value is lost.
    unsigned char* volatile row = nullptr;
    if (setjmp(err->jump)) {
        std::free(row);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    // The decoder's own working memory (a progressive picture keeps all its
    // coefficients) is capped; beyond it libjpeg reports an error.
    cinfo.mem->max_memory_to_use = kJpegMemoryLimit;
    cinfo.progress = &err->progress;
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.image_width > static_cast<JDIMENSION>(MaxImageSide) ||
        cinfo.image_height > static_cast<JDIMENSION>(MaxImageSide)) {
        std::snprintf(err->message, sizeof err->message, "picture of %u x %u pixels is larger than %d x %d",
                      static_cast<unsigned>(cinfo.image_width), static_cast<unsigned>(cinfo.image_height), MaxImageSide,
                      MaxImageSide);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (cinfo.num_components != 1 && cinfo.num_components != 3) {
        std::snprintf(err->message, sizeof err->message, "unsupported JPEG colour space (%d components)",
                      cinfo.num_components);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const int w = static_cast<int>(cinfo.output_width);
    const int h = static_cast<int>(cinfo.output_height);
    if (w > MaxImageSide || h > MaxImageSide || cinfo.output_components != 3) {
        std::snprintf(err->message, sizeof err->message, "unsupported JPEG size %d x %d", w, h);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    out->Width = w;
    out->Height = h;
    out->BitsPerPixel = 24;
    try {
        out->Pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3u);
    } catch (const std::bad_alloc&) {
        out->Width = out->Height = 0;
        std::snprintf(err->message, sizeof err->message, "not enough memory for %d x %d pixels", w, h);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    row = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(w) * 3u + 1));
    if (!row) {
        std::snprintf(err->message, sizeof err->message, "not enough memory for %d x %d pixels", w, h);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW rows[1] = {row};
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1)
            break;
        std::uint8_t* dst = out->Pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 3u;
        for (int x = 0; x < w; ++x) {
            dst[x * 3] = row[x * 3 + 2];
            dst[x * 3 + 1] = row[x * 3 + 1];
            dst[x * 3 + 2] = row[x * 3];
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::free(row);
    return true;
}

bool EncodeJpegRaw(const TBitmapImage* image, int quality, unsigned char** outBuf, unsigned long* outSize,
                   JpegErrorManager* err)
{
    jpeg_compress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err->pub);
    err->pub.error_exit = JpegErrorExit;
    // Changed after setjmp and read after longjmp: volatile, or its value is lost.
    unsigned char* volatile row = nullptr;
    if (setjmp(err->jump)) {
        std::free(row);
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, outBuf, outSize);
    cinfo.image_width = static_cast<JDIMENSION>(image->Width);
    cinfo.image_height = static_cast<JDIMENSION>(image->Height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    row = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(image->Width) * 3u + 1));
    if (!row) {
        std::snprintf(err->message, sizeof err->message, "not enough memory for a row of %d pixels", image->Width);
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(image->Width) * 3u;
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        if (image->BitsPerPixel == 24) {
            // Screen captures are large: swap blue and red a row at a time.
            const std::uint8_t* src = image->Pixels.data() + rowBytes * static_cast<std::size_t>(y);
            for (std::size_t x = 0; x < rowBytes; x += 3) {
                row[x] = src[x + 2];
                row[x + 1] = src[x + 1];
                row[x + 2] = src[x];
            }
        } else {
            for (int x = 0; x < image->Width; ++x) {
                std::uint8_t b, g, r;
                image->GetBGR(x, y, b, g, r);
                row[x * 3] = r;
                row[x * 3 + 1] = g;
                row[x * 3 + 2] = b;
            }
        }
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::free(row);
    return true;
}

} // namespace

TBitmapImage DecodeJpeg(std::span<const std::uint8_t> bytes)
{
    TBitmapImage img;
    if (bytes.empty())
        RaiseError("TSceneTexture", "LoadBitmap", "Invalid JPEG: empty data");
    JpegErrorManager err{};
    if (!DecodeJpegRaw(bytes.data(), static_cast<unsigned long>(bytes.size()), &img, &err))
        RaiseError("TSceneTexture", "LoadBitmap", std::string("Invalid JPEG: ") + err.message);
    return img;
}

std::vector<std::uint8_t> EncodeJpeg(const TBitmapImage& image, int quality)
{
    if (image.Empty())
        RaiseError("TSceneTexture", "SaveJpeg", "empty image");
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    JpegErrorManager err{};
    const bool ok = EncodeJpegRaw(&image, std::clamp(quality, 1, 100), &buf, &size, &err);
    std::vector<std::uint8_t> out;
    if (ok && buf)
        out.assign(buf, buf + size);
    std::free(buf);
    if (!ok)
        RaiseError("TSceneTexture", "SaveJpeg", err.message);
    return out;
}

// ---------------------------------------------------------------- scaling

int PowerOfTwoBelow(int n)
{
    if (n <= 0)
        return 0;
    int p = 1;
    while (p * 2 <= n && p < 1024)
        p *= 2;
    return p;
}

bool IsTexturePowerOfTwo(int n)
{
    return n >= 1 && n <= 1024 && (n & (n - 1)) == 0;
}

void FitToPowerOfTwo(TBitmapImage& image)
{
    if (IsTexturePowerOfTwo(image.Width) && IsTexturePowerOfTwo(image.Height))
        return;
    const int w = PowerOfTwoBelow(image.Width);
    const int h = PowerOfTwoBelow(image.Height);
    TBitmapImage out;
    out.BitsPerPixel = 24;
    if (w == 0 || h == 0) {
        image = out;
        return;
    }
    out.Width = w;
    out.Height = h;
    out.Pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3u);
    for (int y = 0; y < h; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y) * image.Height / h);
        for (int x = 0; x < w; ++x) {
            const int sx = static_cast<int>(static_cast<long long>(x) * image.Width / w);
            std::uint8_t* d = &out.Pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)) * 3u];
            image.GetBGR(sx, sy, d[0], d[1], d[2]);
        }
    }
    image = std::move(out);
}
