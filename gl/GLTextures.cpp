#include "gl/GLTextures.h"

#include <algorithm>
#include <cstring>

#include "gl/Errors.h"
#include "gl/GLCapabilities.h"

// ---- Portable helpers ----

bool IsPowerOfTwoOrZero(int n) { return n >= 0 && (n & (n - 1)) == 0; }

int TextureComponents(GLenum format)
{
    switch (format) {
    case GL_LUMINANCE_ALPHA:
        return 2;
    case GL_RGB:
    case GL_BGR_EXT:
        return 3;
    case GL_RGBA:
    case GL_BGRA_EXT:
        return 4;
    default:
        return 1;
    }
}

int TextureBytesPerPixel(GLenum pixelType, int components)
{
    switch (pixelType) {
    case GL_SHORT:
    case GL_UNSIGNED_SHORT:
        return 2 * components;
    case GL_INT:
    case GL_UNSIGNED_INT:
    case GL_FLOAT:
        return 4 * components;
    case GL_UNSIGNED_BYTE_3_3_2:
    case GL_UNSIGNED_BYTE_2_3_3_REV:
        return 1;
    case GL_UNSIGNED_SHORT_4_4_4_4:
    case GL_UNSIGNED_SHORT_5_5_5_1:
    case GL_UNSIGNED_SHORT_5_6_5:
    case GL_UNSIGNED_SHORT_5_6_5_REV:
    case GL_UNSIGNED_SHORT_4_4_4_4_REV:
    case GL_UNSIGNED_SHORT_1_5_5_5_REV:
        return 2;
    case GL_UNSIGNED_INT_8_8_8_8:
    case GL_UNSIGNED_INT_10_10_10_2:
    case GL_UNSIGNED_INT_8_8_8_8_REV:
    case GL_UNSIGNED_INT_2_10_10_10_REV:
        return 4;
    default:
        return components;
    }
}

bool IsMipmapFilter(GLenum filter)
{
    return filter == GL_NEAREST_MIPMAP_NEAREST || filter == GL_LINEAR_MIPMAP_NEAREST ||
           filter == GL_NEAREST_MIPMAP_LINEAR || filter == GL_LINEAR_MIPMAP_LINEAR;
}

std::vector<std::pair<int, int>> MipmapLevelSizes(int width, int height)
{
    std::vector<std::pair<int, int>> sizes;
    if (width < 1 || height < 1)
        return sizes;
    for (;;) {
        sizes.emplace_back(width, height);
        if (width == 1 && height == 1)
            break;
        if (width >= 2)
            width /= 2;
        if (height >= 2)
            height /= 2;
    }
    return sizes;
}

void MipmapHalve(std::uint8_t* pixels, int& width, int& height, int bytesPerPixel)
{
    if (width < 1 || height < 1 || (width == 1 && height == 1))
        return;
    const int newWidth = width >= 2 ? width / 2 : 1;
    const int newHeight = height >= 2 ? height / 2 : 1;
    const std::size_t srcRow = static_cast<std::size_t>(width) * bytesPerPixel;
    // Writing in place is safe: the destination offset of a pixel never
    // exceeds the offset of the first source pixel it reads, and all later
    // reads lie beyond it.
    for (int y = 0; y < newHeight; ++y) {
        const int y0 = height >= 2 ? 2 * y : y;
        const int y1 = height >= 2 ? 2 * y + 1 : y;
        const std::uint8_t* row0 = pixels + y0 * srcRow;
        const std::uint8_t* row1 = pixels + y1 * srcRow;
        std::uint8_t* out = pixels + static_cast<std::size_t>(y) * newWidth * bytesPerPixel;
        for (int x = 0; x < newWidth; ++x) {
            const int x0 = (width >= 2 ? 2 * x : x) * bytesPerPixel;
            const int x1 = (width >= 2 ? 2 * x + 1 : x) * bytesPerPixel;
            for (int c = 0; c < bytesPerPixel; ++c) {
                const unsigned sum = unsigned(row0[x0 + c]) + row0[x1 + c] + row1[x0 + c] + row1[x1 + c];
                out[x * bytesPerPixel + c] = static_cast<std::uint8_t>(sum >> 2);
            }
        }
    }
    width = newWidth;
    height = newHeight;
}

// ---- TGLTextureList ----

TGLTextureList::TGLTextureList(IGLCapabilities* context) : TGLItemList(context) {}

void TGLTextureList::InitGL()
{
    IGLCapabilities* gl = Context();
    if (!gl)
        return;
    gl->SetPerspectiveHint(true);
    HasBGRA = gl->HasExtension("GL_EXT_bgra");
    HasPackedPixels = gl->HasExtension("GL_EXT_packed_pixels");
    HasMultitexture = gl->HasExtension("GL_ARB_multitexture");
    UseMultitexture = HasMultitexture;
    MaxTextureUnits = HasMultitexture ? gl->GetInt(GL_MAX_TEXTURE_UNITS_ARB) : 1;
    if (gl->HasExtension("GL_ARB_texture_compression")) {
        HasCompression = true;
        CompressedRGBFormat = GL_COMPRESSED_RGB_ARB;
        CompressedRGBAFormat = GL_COMPRESSED_RGBA_ARB;
        if (glHint)
            glHint(GL_TEXTURE_COMPRESSION_HINT_ARB, GL_FASTEST);
    } else if (gl->HasExtension("GL_EXT_texture_compression_s3tc")) {
        HasCompression = true;
        CompressedRGBFormat = GL_COMPRESSED_RGB_S3TC_DXT1_EXT;
        CompressedRGBAFormat = GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
    } else {
        HasCompression = false;
        CompressedRGBFormat = GL_RGB8;
        CompressedRGBAFormat = GL_RGBA8;
    }
    // A software rasteriser compresses the texels at upload and decodes them
    // again for every sample it takes, which costs far more CPU per frame (and
    // start-up time) than the memory it saves: there the compressed kinds are
    // held with 8 bits per channel.
    if (HasCompression && gl->SoftwareRasterizer()) {
        CompressedRGBFormat = GL_RGB8;
        CompressedRGBAFormat = GL_RGBA8;
    }
    UseBGRA = false;
    UsePackedPixels = false;
    DefaultFilter = GL_LINEAR;
    DefaultEnvMode = GL_MODULATE;
}

TGLTexture* TGLTextureList::AddTexture()
{
    auto* texture = new TGLTexture();
    Add(texture);
    return texture;
}

TGLTexture* TGLTextureList::Texture(int index) const { return static_cast<TGLTexture*>(Item(index)); }

TGLTexture* TGLTextureList::AddKind(GLenum internalFormat, GLenum rgbFormat, GLenum bgrFormat, GLenum packedType,
                                    GLenum packedTypeRev, int width, int height)
{
    auto texture = std::make_unique<TGLTexture>();
    const GLenum format = UseBGRA ? bgrFormat : rgbFormat;
    const GLenum type = UsePackedPixels ? (UseBGRA ? packedTypeRev : packedType) : GL_UNSIGNED_BYTE;
    texture->SetFormat(internalFormat, format, type);
    if (width != 0 && height != 0) {
        texture->SetSize(width, height); // raises before the texture joins the list
        texture->AllocateData();
    } else {
        texture->SetSize(0, 0);
    }
    texture->EnvMode = DefaultEnvMode;
    texture->Filter = DefaultFilter;
    TGLTexture* result = texture.release();
    Add(result);
    return result;
}

TGLTexture* TGLTextureList::AddRGBA4(int width, int height)
{
    return AddKind(GL_RGBA4, GL_RGBA, GL_BGRA_EXT, GL_UNSIGNED_SHORT_4_4_4_4, GL_UNSIGNED_SHORT_4_4_4_4_REV, width,
                   height);
}

TGLTexture* TGLTextureList::AddRGB5A1(int width, int height)
{
    return AddKind(GL_RGB5_A1, GL_RGBA, GL_BGRA_EXT, GL_UNSIGNED_SHORT_5_5_5_1, GL_UNSIGNED_SHORT_1_5_5_5_REV, width,
                   height);
}

TGLTexture* TGLTextureList::AddRGB5(int width, int height)
{
    return AddKind(GL_RGB5, GL_RGB, GL_BGR_EXT, GL_UNSIGNED_SHORT_5_6_5, GL_UNSIGNED_SHORT_5_6_5_REV, width, height);
}

TGLTexture* TGLTextureList::AddRGB8(int width, int height)
{
    return AddKind(GL_RGB8, GL_RGB, GL_BGR_EXT, GL_UNSIGNED_INT_8_8_8_8, GL_UNSIGNED_INT_8_8_8_8_REV, width, height);
}

TGLTexture* TGLTextureList::AddRGBA8(int width, int height)
{
    return AddKind(GL_RGBA8, GL_RGBA, GL_BGRA_EXT, GL_UNSIGNED_INT_8_8_8_8, GL_UNSIGNED_INT_8_8_8_8_REV, width,
                   height);
}

TGLTexture* TGLTextureList::AddCompressedRGBA(int width, int height)
{
    return AddKind(CompressedRGBAFormat, GL_RGBA, GL_BGRA_EXT, GL_UNSIGNED_INT_8_8_8_8, GL_UNSIGNED_INT_8_8_8_8_REV,
                   width, height);
}

TGLTexture* TGLTextureList::AddCompressedRGB(int width, int height)
{
    return AddKind(CompressedRGBFormat, GL_RGB, GL_BGR_EXT, GL_UNSIGNED_INT_8_8_8_8, GL_UNSIGNED_INT_8_8_8_8_REV,
                   width, height);
}

void TGLTextureList::ReleaseAll()
{
    for (TGLItem* item : Items())
        static_cast<TGLTexture*>(item)->Release();
}

// ---- TGLTexture ----

namespace {

std::uint64_t g_lastRevision = 0;
constexpr int kTrackedUnits = 4;
const TGLTexture* g_bound[kTrackedUnits] = {};

void ForgetBound(const TGLTexture* texture)
{
    for (const TGLTexture*& b : g_bound)
        if (b == texture)
            b = nullptr;
}

} // namespace

const TGLTexture* BoundTexture(int unit)
{
    return unit >= 0 && unit < kTrackedUnits ? g_bound[unit] : nullptr;
}

TGLTexture::TGLTexture() { ComputeSizes(); }

TGLTexture::~TGLTexture()
{
    Release();
    FreeData();
    ForgetBound(this);
}

void TGLTexture::SetWidth(int n)
{
    if (!IsPowerOfTwoOrZero(n))
        RaiseError("TGLTexture", "SetWidth", "Width is not power 2");
    width_ = n;
    ComputeSizes();
}

void TGLTexture::SetHeight(int n)
{
    if (!IsPowerOfTwoOrZero(n))
        RaiseError("TGLTexture", "SetHeight", "Height is not power 2");
    height_ = n;
    ComputeSizes();
}

void TGLTexture::SetSize(int width, int height)
{
    SetWidth(width);
    SetHeight(height);
}

void TGLTexture::SetFormat(GLenum internalFormat, GLenum format, GLenum pixelType)
{
    internalFormat_ = internalFormat;
    format_ = format;
    pixelType_ = pixelType;
    ComputeSizes();
}

void TGLTexture::SetPixelType(GLenum pixelType)
{
    pixelType_ = pixelType;
    ComputeSizes();
}

void TGLTexture::SetFrameCount(int n) { frameCount_ = n < 1 ? 1 : n; }

void TGLTexture::ComputeSizes()
{
    components_ = TextureComponents(format_);
    bytesPerPixel_ = TextureBytesPerPixel(pixelType_, components_);
    rowSize_ = bytesPerPixel_ * width_;
    frameSize_ = rowSize_ * height_;
}

bool TGLTexture::AlphaBounds(TTexelBox& box) const
{
    if (!alphaBoundsValid_ || alphaBoundsFrame_ != Frame) {
        alphaBoundsValid_ = true;
        alphaBoundsFrame_ = Frame;
        alphaBoundsKnown_ = false;
        alphaBounds_ = TTexelBox{};
        const std::uint8_t* pixels = FramePixels();
        if (pixels && bytesPerPixel_ == 4 && pixelType_ == GL_UNSIGNED_BYTE &&
            (format_ == GL_RGBA || format_ == GL_BGRA_EXT) && width_ > 0 && height_ > 0) {
            alphaBoundsKnown_ = true;
            TTexelBox b{width_, height_, -1, -1};
            for (int y = 0; y < height_; ++y) {
                const std::uint8_t* a = pixels + static_cast<std::size_t>(y) * rowSize_ + 3;
                int first = -1, last = -1;
                for (int x = 0; x < width_; ++x)
                    if (a[4 * x] >= 13) {
                        if (first < 0)
                            first = x;
                        last = x;
                    }
                if (first < 0)
                    continue;
                b.X0 = std::min(b.X0, first);
                b.X1 = std::max(b.X1, last);
                b.Y0 = std::min(b.Y0, y);
                b.Y1 = y;
            }
            if (!b.Empty())
                alphaBounds_ = b;
        }
    }
    box = alphaBounds_;
    return alphaBoundsKnown_;
}

void TGLTexture::AllocateData()
{
    alphaBoundsValid_ = false;
    FreeData();
    const std::size_t size = static_cast<std::size_t>(frameCount_) * static_cast<std::size_t>(frameSize_);
    if (size == 0)
        return;
    data_ = std::make_unique<std::uint8_t[]>(size);
    dataSize_ = size;
}

void TGLTexture::FreeData()
{
    alphaBoundsValid_ = false;
    data_.reset();
    dataSize_ = 0;
}

const std::uint8_t* TGLTexture::FramePixels() const
{
    if (!data_ || Frame < 0 || frameSize_ <= 0)
        return nullptr;
    const std::size_t start = static_cast<std::size_t>(Frame) * static_cast<std::size_t>(frameSize_);
    // The block must hold the whole frame at the current size; a texture
    // resized after allocation has no valid pixels until AllocateData.
    if (start + static_cast<std::size_t>(frameSize_) > dataSize_)
        return nullptr;
    return data_.get() + start;
}

std::uint8_t* TGLTexture::FramePixels()
{
    alphaBoundsValid_ = false;
    return const_cast<std::uint8_t*>(static_cast<const TGLTexture*>(this)->FramePixels());
}

std::uint8_t* TGLTexture::RowPixels(int row)
{
    std::uint8_t* frame = FramePixels();
    if (!frame || row < 0 || row >= height_)
        return nullptr;
    return frame + static_cast<std::size_t>(row) * rowSize_;
}

void TGLTexture::Bind()
{
    auto* list = dynamic_cast<TGLTextureList*>(Owner());
    if (list && list->UseMultitexture && glActiveTextureARB)
        glActiveTextureARB(GL_TEXTURE0_ARB + static_cast<GLenum>(TextureUnit));
    glBindTexture(Target, name_);
    if (TextureUnit >= 0 && TextureUnit < kTrackedUnits)
        g_bound[TextureUnit] = this;
}

void TGLTexture::UploadMipmaps(const std::uint8_t* pixels)
{
    const bool byteFormat = format_ == GL_RGB || format_ == GL_BGR_EXT || format_ == GL_RGBA || format_ == GL_BGRA_EXT;
    if (!byteFormat || bytesPerPixel_ != components_ || width_ < 1 || height_ < 1 || !pixels)
        return;
    std::vector<std::uint8_t> work(pixels, pixels + frameSize_);
    int w = width_;
    int h = height_;
    for (GLint level = 0;; ++level) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, level, static_cast<GLint>(internalFormat_), w, h, 0, format_, pixelType_,
                     work.data());
        if (w == 1 && h == 1)
            break;
        MipmapHalve(work.data(), w, h, bytesPerPixel_);
    }
}

void TGLTexture::UpLoad()
{
    // Without a loaded library there is nothing to upload to; try again later.
    if (uploaded_ || !glGenTextures || !glBindTexture)
        return;
    glGenTextures(1, &name_);
    Bind();
    glTexParameteri(Target, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(Filter));
    glTexParameteri(Target, GL_TEXTURE_MAG_FILTER, Filter <= GL_NEAREST ? GL_NEAREST : GL_LINEAR);
    glTexParameteri(Target, GL_TEXTURE_WRAP_S, Repeat ? GL_REPEAT : GL_CLAMP);
    glTexParameteri(Target, GL_TEXTURE_WRAP_T, Repeat ? GL_REPEAT : GL_CLAMP);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLint>(EnvMode));
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, &EnvColor.R);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glTexParameterf(Target, GL_TEXTURE_PRIORITY, Priority);
    if (Source == tsFrameBuffer) {
        if (Target == GL_TEXTURE_2D)
            glCopyTexImage2D(GL_TEXTURE_2D, 0, internalFormat_, CopyX, CopyY, width_, height_, 0);
        else if (Target == GL_TEXTURE_1D)
            glCopyTexImage1D(GL_TEXTURE_1D, 0, internalFormat_, CopyX, CopyY, width_, 0);
    } else {
        // A pixel block that does not hold the frame at the current size is
        // not read; the texture is then defined with undefined contents.
        const std::uint8_t* pixels = FramePixels();
        if (IsMipmapFilter(Filter)) {
            UploadMipmaps(pixels);
        } else if (Target == GL_TEXTURE_2D) {
            glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormat_), width_, height_, 0, format_,
                         pixelType_, pixels);
        } else if (Target == GL_TEXTURE_1D) {
            glTexImage1D(GL_TEXTURE_1D, 0, static_cast<GLint>(internalFormat_), width_, 0, format_, pixelType_,
                         pixels);
        } else {
            glDeleteTextures(1, &name_);
            name_ = 0;
            RaiseError("TGLTexture", "UpLoad", "Target has invalid format");
        }
    }
    uploaded_ = true;
    revision_ = ++g_lastRevision;
}

void TGLTexture::UpdateData()
{
    if (!uploaded_) {
        UpLoad();
        return;
    }
    if (!glBindTexture)
        return;
    Bind();
    if (Target != GL_TEXTURE_2D && Target != GL_TEXTURE_1D)
        RaiseError("TGLTexture", "UpdateData", "Target has invalid format");
    revision_ = ++g_lastRevision;
    if (Source == tsFrameBuffer) {
        if (Target == GL_TEXTURE_2D)
            glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, CopyX, CopyY, width_, height_);
        else
            glCopyTexSubImage1D(GL_TEXTURE_1D, 0, 0, CopyX, CopyY, width_);
        return;
    }
    const std::uint8_t* pixels = FramePixels();
    if (!pixels)
        return; // nothing valid to send
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (Target == GL_TEXTURE_2D)
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width_, height_, format_, pixelType_, pixels);
    else
        glTexSubImage1D(GL_TEXTURE_1D, 0, 0, width_, format_, pixelType_, pixels);
}

void TGLTexture::Enable()
{
    if (!uploaded_)
        UpLoad();
    if (!uploaded_)
        return;
    Bind();
    glEnable(Target);
}

void TGLTexture::Release()
{
    if (uploaded_) {
        if (glDeleteTextures && name_ != 0)
            glDeleteTextures(1, &name_);
        name_ = 0;
        uploaded_ = false;
        revision_ = ++g_lastRevision;
    }
}
