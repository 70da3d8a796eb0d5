#pragma once
// Textures and their list. A texture keeps its pixels in memory (Data) and
// creates its GL name lazily; the name is released when the context goes
// away, and the next Enable uploads the same pixels again.
#include <cstdint>
#include <memory>
#include <vector>

#include "gl/FastMath.h"
#include "gl/GLApi.h"
#include "gl/GLItems.h"

class TGLTexture;

// Texture sources.
inline constexpr std::uint8_t tsData = 0;
inline constexpr std::uint8_t tsFrameBuffer = 1;

class TGLTextureList : public TGLItemList {
public:
    explicit TGLTextureList(IGLCapabilities* context = nullptr);

    void InitGL() override;

    // A texture with the list's defaults (256 x 256, GL_RGB / GL_RGB8, no data).
    TGLTexture* AddTexture();
    // Texture kinds: set the formats from the list's UseBGRA and
    // UsePackedPixels, then the size; pixels are allocated only when both
    // sizes are non-zero (otherwise the size is 0 x 0). Raise the
    // power-of-two errors of SetWidth/SetHeight.
    TGLTexture* AddRGBA4(int width, int height);
    TGLTexture* AddRGB5A1(int width, int height);
    TGLTexture* AddRGB5(int width, int height);
    TGLTexture* AddRGB8(int width, int height);
    TGLTexture* AddRGBA8(int width, int height);
    TGLTexture* AddCompressedRGBA(int width, int height);
    TGLTexture* AddCompressedRGB(int width, int height);

    // Releases the GL names of every texture (before the context is destroyed).
    void ReleaseAll();

    TGLTexture* Texture(int index) const;

    bool HasBGRA = false;
    bool HasPackedPixels = false;
    GLenum DefaultFilter = GL_LINEAR;
    GLenum DefaultEnvMode = GL_MODULATE;
    bool UseBGRA = false;
    bool UsePackedPixels = false;
    bool HasMultitexture = false;
    int MaxTextureUnits = 1;
    bool UseMultitexture = false;
    bool HasCompression = false;
    GLenum CompressedRGBFormat = GL_RGB8;
    GLenum CompressedRGBAFormat = GL_RGBA8;

private:
    TGLTexture* AddKind(GLenum internalFormat, GLenum rgbFormat, GLenum bgrFormat, GLenum packedType,
                        GLenum packedTypeRev, int width, int height);
};

// A rectangle of texels, bounds included; empty while X1 < X0.
struct TTexelBox {
    int X0 = 0, Y0 = 0, X1 = -1, Y1 = -1;
    bool Empty() const { return X1 < X0 || Y1 < Y0; }
};

class TGLTexture : public TGLItem {
public:
    TGLTexture();
    ~TGLTexture() override;

    // Width and height must be 0 or a power of two; otherwise
    // "TGLTexture.SetWidth error: Width is not power 2" (resp. SetHeight /
    // Height) is raised and the size is unchanged.
    void SetWidth(int n);
    void SetHeight(int n);
    void SetSize(int width, int height);
    void SetFormat(GLenum internalFormat, GLenum format, GLenum pixelType);
    void SetPixelType(GLenum pixelType);
    // Frames held in Data (at least 1); takes effect at the next AllocateData.
    void SetFrameCount(int n);

    // Frees Data, then allocates FrameCount x FrameSize bytes (zero-filled).
    void AllocateData();
    void FreeData();
    // Start of frame Frame in Data, or nullptr when Data does not hold it.
    std::uint8_t* FramePixels();
    const std::uint8_t* FramePixels() const;
    // FramePixels + row x RowSize (nullptr under the same rule).
    std::uint8_t* RowPixels(int row);

    // Creates the GL texture from Data (or the frame buffer); nothing when Uploaded.
    void UpLoad();
    // Replaces level 0 of an uploaded texture with the current pixels
    // (uploads first when not Uploaded).
    void UpdateData();
    void Bind();
    void Enable();
    // Deletes the GL name; Data stays.
    void Release();

    bool Uploaded() const { return uploaded_; }
    GLuint Name() const { return name_; }
    // Changes with every upload and update of the GL image: a number no
    // other image of any texture had before, so two equal revisions mean
    // the same pixels.
    std::uint64_t Revision() const { return revision_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    GLenum Format() const { return format_; }
    GLenum InternalFormat() const { return internalFormat_; }
    GLenum PixelType() const { return pixelType_; }
    int BytesPerPixel() const { return bytesPerPixel_; }
    int RowSize() const { return rowSize_; }
    int FrameSize() const { return frameSize_; }
    int Components() const { return components_; }
    int FrameCount() const { return frameCount_; }
    std::uint8_t* Data()
    {
        alphaBoundsValid_ = false;
        return data_.get();
    }
    // The texels of the current frame whose alpha can pass an alpha test
    // "greater than 0.05" (alpha of 13 or more), for 4-byte pixels of one
    // byte per component; false for other layouts or without pixels. Kept
    // until the pixels are written again (through Data, FramePixels or
    // RowPixels) or uploaded.
    bool AlphaBounds(TTexelBox& box) const;
    std::size_t DataSize() const { return dataSize_; }

    int CopyY = 0;
    int CopyX = 0;
    bool Repeat = true;
    float Priority = 1.0f;
    GLenum Filter = GL_LINEAR;
    GLenum Target = GL_TEXTURE_2D;
    GLenum EnvMode = GL_MODULATE;
    TGLColor EnvColor{1, 1, 1, 1};
    std::uint8_t Source = tsData;
    int TextureUnit = 0;
    int Frame = 0;
    float AlphaValue = 0;

private:
    void ComputeSizes();
    void UploadMipmaps(const std::uint8_t* pixels);

    mutable bool alphaBoundsValid_ = false;
    mutable int alphaBoundsFrame_ = 0;
    mutable bool alphaBoundsKnown_ = false;
    mutable TTexelBox alphaBounds_;

    bool uploaded_ = false;
    GLuint name_ = 0;
    std::uint64_t revision_ = 0;
    int width_ = 256;
    int height_ = 256;
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t dataSize_ = 0;
    GLenum format_ = GL_RGB;
    GLenum internalFormat_ = GL_RGB8;
    GLenum pixelType_ = GL_UNSIGNED_BYTE;
    int bytesPerPixel_ = 3;
    int rowSize_ = 768;
    int frameSize_ = 196608;
    int components_ = 3;
    int frameCount_ = 1;
};

// The texture last bound on a texture unit (0..3) through TGLTexture::Bind,
// while it exists; none for a unit nothing was bound on.
const TGLTexture* BoundTexture(int unit);

// ---- Portable helpers (used by the texture and tested on their own) ----

bool IsPowerOfTwoOrZero(int n);
// Components of a pixel format: 2 for luminance-alpha, 3 for RGB/BGR, 4 for RGBA/BGRA, else 1.
int TextureComponents(GLenum format);
// Bytes per pixel of a pixel type for the given number of components.
int TextureBytesPerPixel(GLenum pixelType, int components);
// True for the four mipmap minifying filters.
bool IsMipmapFilter(GLenum filter);
// The (width, height) of every mipmap level, from width x height down to 1 x 1;
// empty when a size is below 1.
std::vector<std::pair<int, int>> MipmapLevelSizes(int width, int height);
// Replaces the level in pixels (width x height, bytesPerPixel bytes each, one
// byte per component, rows tightly packed) in place with the next smaller
// level: each dimension of at least 2 is halved and every component is the sum
// of the 2 x 2 source components shifted right by 2; along a dimension of size
// 1 the same source row or column is used twice. Updates width and height.
void MipmapHalve(std::uint8_t* pixels, int& width, int& height, int bytesPerPixel);
