#include "shell/ScreenShot.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

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

TBitmapImage BitmapFromCapture(const std::uint8_t* rgb, std::size_t size, std::int32_t width, std::int32_t height)
{
    TBitmapImage b;
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

int DefaultJpegQuality()
{
    return 75; // jpeg_set_defaults
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
