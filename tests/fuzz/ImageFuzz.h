#pragma once
// What every image target does with a decoded picture: fit it to the texture
// sides and build the texels of every format at every reduction factor, as
// the scene textures do.
#include <cstdlib>
#include <vector>

#include "scene/SceneImages.h"
#include "scene/SceneTextures.h"

namespace fuzz {

inline void CheckTextureImage(const TBitmapImage& decoded)
{
    if (decoded.Width > MaxImageSide || decoded.Height > MaxImageSide)
        std::abort();
    TBitmapImage img = decoded;
    FitToPowerOfTwo(img);
    if (!img.Empty() && (!IsTexturePowerOfTwo(img.Width) || !IsTexturePowerOfTwo(img.Height)))
        std::abort();
    if (img.Empty())
        return;
    for (TTextureQuality q : {TTextureQuality::High, TTextureQuality::Low}) {
        const int f = TextureReductionFactor(img.Width, img.Height, q);
        const int w = img.Width / f, h = img.Height / f;
        for (TTextureFormat format : {TTextureFormat::Texture, TTextureFormat::Sprite, TTextureFormat::Alpha}) {
            const int bpp = format == TTextureFormat::Texture ? 3 : 4;
            std::vector<std::uint8_t> texels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * bpp);
            TTexelSource src;
            src.Format = format;
            src.Image = &img;
            src.AlphaImage = &img;
            src.Factor = f;
            src.AutoKey = true;
            BuildTexels(src, texels.data(), w, h, w * bpp);
        }
    }
}

} // namespace fuzz
