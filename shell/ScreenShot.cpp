#include "shell/ScreenShot.h"

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "gl/Errors.h"

std::string NumberedFileName(const std::string& fileName, std::int32_t count)
{
    char number[16];
    std::snprintf(number, sizeof number, "%.5d", static_cast<int>(count));
    // The number goes before the extension: four characters from the end, or
    // five for ".jpeg" (four would leave "Shot.00001jpeg", a name that is
    // neither a JPEG file nor anything else the capture can be saved as).
    std::size_t tail = 4;
    if (fileName.size() >= 5) {
        std::string ext = fileName.substr(fileName.size() - 5);
        for (char& c : ext)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext == ".jpeg")
            tail = 5;
    }
    const std::size_t at = fileName.size() > tail ? fileName.size() - tail : 0;
    return fileName.substr(0, at) + number + fileName.substr(at);
}

TBitmap24 BitmapFromCapture(const std::uint8_t* rgb, std::size_t size, std::int32_t width, std::int32_t height)
{
    TBitmap24 b;
    if (width <= 0 || height <= 0)
        return b;
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    if (!rgb || size < row * static_cast<std::size_t>(height))
        RaiseError("TScreenShot", "Bitmap", "captured buffer too small");
    b.Width = width;
    b.Height = height;
    b.Pixels.resize(row * static_cast<std::size_t>(height));
    for (std::int32_t r = 0; r < height; ++r) {
        const std::uint8_t* src = rgb + row * static_cast<std::size_t>(r);
        std::uint8_t* dst = b.Pixels.data() + row * static_cast<std::size_t>(height - 1 - r);
        for (std::int32_t x = 0; x < width; ++x) {
            dst[3 * x + 0] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x + 0];
        }
    }
    return b;
}

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

struct TJpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<TJpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

} // namespace

std::vector<std::uint8_t> EncodeBmp(const TBitmap24& bitmap)
{
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(bitmap.Width) * 3 + 3) & ~3u;
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(bitmap.Height);
    std::vector<std::uint8_t> out;
    out.reserve(54 + imageBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + imageBytes);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(bitmap.Width));
    Put32(out, static_cast<std::uint32_t>(bitmap.Height));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0); // BI_RGB
    Put32(out, imageBytes);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    const std::size_t row = static_cast<std::size_t>(bitmap.Width) * 3;
    // BMP rows run bottom-up.
    for (std::int32_t y = bitmap.Height - 1; y >= 0; --y) {
        const std::uint8_t* src = bitmap.Pixels.data() + row * static_cast<std::size_t>(y);
        out.insert(out.end(), src, src + row);
        out.insert(out.end(), rowBytes - row, 0);
    }
    return out;
}

int DefaultJpegQuality()
{
    return 75; // jpeg_set_defaults
}

std::vector<std::uint8_t> EncodeJpeg(const TBitmap24& bitmap, int quality)
{
    if (bitmap.Width <= 0 || bitmap.Height <= 0)
        RaiseError("TScreenShot", "EncodeJpeg", "empty image");
    jpeg_compress_struct cinfo;
    TJpegErrorManager jerr;
    unsigned char* buffer = nullptr;
    unsigned long bufferSize = 0;
    std::vector<std::uint8_t> rgbRow(static_cast<std::size_t>(bitmap.Width) * 3);

    cinfo.err = jpeg_std_error(&jerr.base);
    jerr.base.error_exit = JpegErrorExit;
    jerr.message[0] = 0;
    if (setjmp(jerr.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        RaiseError("TScreenShot", "EncodeJpeg", jerr.message);
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &bufferSize);
    cinfo.image_width = static_cast<JDIMENSION>(bitmap.Width);
    cinfo.image_height = static_cast<JDIMENSION>(bitmap.Height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, std::clamp(quality, 1, 100), TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t row = rgbRow.size();
    while (cinfo.next_scanline < cinfo.image_height) {
        const std::uint8_t* src = bitmap.Pixels.data() + row * cinfo.next_scanline;
        for (std::size_t x = 0; x < row; x += 3) {
            rgbRow[x + 0] = src[x + 2];
            rgbRow[x + 1] = src[x + 1];
            rgbRow[x + 2] = src[x + 0];
        }
        JSAMPROW rows[1] = {rgbRow.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<std::uint8_t> out(buffer, buffer + bufferSize);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

TImageFileKind ImageFileKindOf(const std::string& fileName)
{
    const std::size_t dot = fileName.find_last_of('.');
    const std::size_t slash = fileName.find_last_of("\\/");
    if (dot == std::string::npos || (slash != std::string::npos && slash > dot))
        return TImageFileKind::ikNone;
    std::string ext = fileName.substr(dot);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".bmp")
        return TImageFileKind::ikBmp;
    if (ext == ".jpg" || ext == ".jpeg")
        return TImageFileKind::ikJpeg;
    return TImageFileKind::ikNone;
}
