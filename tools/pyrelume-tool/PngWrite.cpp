#include "tools/pyrelume-tool/PngWrite.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>

#include "gl/Errors.h"
#include "scene/SceneImages.h"

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const
    {
        if (f)
            std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Moves the finished file over its final name. The C library's rename refuses
// to replace an existing file on Windows, so a second render to the same name
// would fail there; filesystem::rename replaces it, and where even that is
// refused the old file is removed first.
bool ReplaceFile(const std::string& from, const std::string& to)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::rename(from, to, ec);
    if (ec && fs::exists(to)) {
        std::error_code ignored;
        fs::remove(to, ignored);
        ec.clear();
        fs::rename(from, to, ec);
    }
    return !ec;
}
} // namespace

void WritePngRGBA(const std::string& path, int width, int height, const std::uint8_t* pixels, bool bottomUp)
{
    if (width <= 0 || height <= 0 || !pixels)
        RaiseError("PngWriter", "Write", "empty image");
    const std::string temp = path + ".tmp";
    FilePtr file(std::fopen(temp.c_str(), "wb"));
    if (!file)
        RaiseError("PngWriter", "Write", "cannot create " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, nullptr);
        file.reset();
        std::remove(temp.c_str());
        RaiseError("PngWriter", "Write", "out of memory");
    }
    volatile bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file.get());
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        const std::size_t rowSize = static_cast<std::size_t>(width) * 4;
        for (int y = 0; y < height; ++y) {
            const int source = bottomUp ? height - 1 - y : y;
            png_write_row(png, const_cast<png_bytep>(pixels + static_cast<std::size_t>(source) * rowSize));
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    const bool closed = std::fclose(file.release()) == 0;
    if (!ok || !closed || !ReplaceFile(temp, path)) {
        std::remove(temp.c_str());
        RaiseError("PngWriter", "Write", "cannot write " + path);
    }
}

// The 32-bit big-endian data length of the chunk that starts at pos.
static std::size_t ChunkLength(std::span<const std::uint8_t> bytes, std::size_t pos)
{
    return (std::size_t{bytes[pos]} << 24) | (std::size_t{bytes[pos + 1]} << 16) | (std::size_t{bytes[pos + 2]} << 8) |
           bytes[pos + 3];
}

// True when every chunk after the signature fits in the bytes that follow it.
// libpng allocates a chunk's declared length as soon as it has read the 8-byte
// length and type, before the data, so a damaged length would cost up to 2 GiB
// for a file of a few bytes. A last chunk cut off after its type counts too.
static bool ChunkLengthsFit(std::span<const std::uint8_t> bytes)
{
    std::size_t pos = 8;
    while (pos + 8 <= bytes.size()) {
        if (pos + 12 > bytes.size())
            return false;
        const std::size_t length = ChunkLength(bytes, pos);
        if (length > bytes.size() - pos - 12)
            return false;
        if (std::memcmp(&bytes[pos + 4], "IEND", 4) == 0)
            return true; // libpng reads nothing after the end chunk
        pos += 12 + length;
    }
    return true;
}

static bool IsTextChunk(const std::uint8_t* type)
{
    return std::memcmp(type, "tEXt", 4) == 0 || std::memcmp(type, "zTXt", 4) == 0 || std::memcmp(type, "iTXt", 4) == 0;
}

// The file without its text chunks, or an empty vector when it has none. Text
// never changes the pixels, and libpng inflates every compressed one (up to
// 8 MB each), so a small file of many such chunks would cost seconds and
// hundreds of MB. Called only after ChunkLengthsFit has passed.
static std::vector<std::uint8_t> WithoutTextChunks(std::span<const std::uint8_t> bytes)
{
    std::vector<std::uint8_t> kept;
    std::size_t pos = 8;
    std::size_t copied = 0; // bytes before this are in kept once a text chunk was met
    bool any = false;
    while (pos + 12 <= bytes.size()) {
        const std::size_t end = pos + 12 + ChunkLength(bytes, pos);
        if (IsTextChunk(&bytes[pos + 4])) {
            if (!any)
                kept.reserve(bytes.size());
            any = true;
            kept.insert(kept.end(), bytes.begin() + copied, bytes.begin() + pos);
            copied = end;
        }
        if (std::memcmp(&bytes[pos + 4], "IEND", 4) == 0)
            break;
        pos = end;
    }
    if (any)
        kept.insert(kept.end(), bytes.begin() + copied, bytes.end());
    return kept;
}

std::vector<std::uint8_t> DecodePngRGBA(std::span<const std::uint8_t> bytes, const std::string& name, int& width,
                                        int& height)
{
    if (!ChunkLengthsFit(bytes))
        RaiseError("PngReader", "Read", "cannot read " + name + ": a chunk is longer than the file");
    const std::vector<std::uint8_t> stripped = WithoutTextChunks(bytes);
    if (!stripped.empty())
        bytes = stripped;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (bytes.empty() || !png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        RaiseError("PngReader", "Read", "cannot read " + name);
    // The header's sides are checked before the pixels are allocated.
    if (image.width == 0 || image.height == 0 || image.width > static_cast<png_uint_32>(MaxImageSide) ||
        image.height > static_cast<png_uint_32>(MaxImageSide)) {
        png_image_free(&image);
        RaiseError("PngReader", "Read",
                   name + ": picture of " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                       " pixels is larger than " + std::to_string(MaxImageSide) + " x " + std::to_string(MaxImageSide));
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(image.width) * image.height * 4u);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        RaiseError("PngReader", "Read", "cannot decode " + name);
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return pixels;
}

std::vector<std::uint8_t> ReadPngRGBA(const std::string& path, int& width, int& height)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        RaiseError("PngReader", "Read", "cannot read " + path);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return DecodePngRGBA(bytes, path, width, height);
}
