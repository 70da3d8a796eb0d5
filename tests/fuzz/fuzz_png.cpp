// Any byte string read as a PNG either decodes to RGBA within the side limit or
// raises EPyrelumeError; the picture then fits to a texture like the others.
#include <cstring>

#include "tests/fuzz/FuzzUtil.h"
#include "tests/fuzz/ImageFuzz.h"
#include "tools/pyrelume-tool/PngWrite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Guarded([&] {
        int w = 0, h = 0;
        const std::vector<std::uint8_t> rgba = DecodePngRGBA(std::span<const std::uint8_t>(data, size), "fuzz.png", w, h);
        if (w <= 0 || h <= 0 || rgba.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4u)
            std::abort();
        TBitmapImage img;
        img.Width = w;
        img.Height = h;
        img.Pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3u);
        for (std::size_t i = 0, n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h); i < n; ++i) {
            img.Pixels[i * 3] = rgba[i * 4 + 2];
            img.Pixels[i * 3 + 1] = rgba[i * 4 + 1];
            img.Pixels[i * 3 + 2] = rgba[i * 4];
        }
        fuzz::CheckTextureImage(img);
    });
    return 0;
}
