#include "tools/pyrelume-tool/PngWrite.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "gl/Errors.h"

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

std::vector<std::uint8_t> ReadPngRGBA(const std::string& path, int& width, int& height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        RaiseError("PngReader", "Read", "cannot read " + path);
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        RaiseError("PngReader", "Read", "cannot decode " + path);
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return pixels;
}
