#include "scene/SceneTextures.h"

#include <algorithm>
#include <new>

#include "assets/ResourceFile.h"
#include "assets/Streams.h"
#include "gl/Errors.h"
#include "gl/GLTextures.h"
#include "scene/SceneLoader.h"
#include "scene/SceneRender.h"

// ---------------------------------------------------------------- text forms

std::string TextureFormatToStr(TTextureFormat f)
{
    switch (f) {
    case TTextureFormat::Alpha:
        return "Alpha";
    case TTextureFormat::Sprite:
        return "Sprite";
    default:
        return "Texture";
    }
}

TTextureFormat StrToTextureFormat(const std::string& s)
{
    if (s.find("Texture") != std::string::npos)
        return TTextureFormat::Texture;
    if (s.find("Alpha") != std::string::npos)
        return TTextureFormat::Alpha;
    if (s.find("Sprite") != std::string::npos)
        return TTextureFormat::Sprite;
    return TTextureFormat::Texture;
}

std::string QualityToStr(TTextureQuality q)
{
    return q == TTextureQuality::High ? "High" : q == TTextureQuality::Medium ? "Medium" : "Low";
}

TTextureQuality StrToQuality(const std::string& s)
{
    if (s.find("High") != std::string::npos)
        return TTextureQuality::High;
    if (s.find("Medium") != std::string::npos)
        return TTextureQuality::Medium;
    return TTextureQuality::Low;
}

std::string ColorBitToStr(TTextureColorBit c)
{
    return c == TTextureColorBit::Bit32 ? "32bit" : c == TTextureColorBit::Bit16 ? "16bit" : "Compressed";
}

TTextureColorBit StrToColorBit(const std::string& s)
{
    if (s.find("32") != std::string::npos)
        return TTextureColorBit::Bit32;
    if (s.find("16") != std::string::npos)
        return TTextureColorBit::Bit16;
    return TTextureColorBit::Compressed;
}

// ---------------------------------------------------------------- texels

int TextureReductionFactor(int width, int height, TTextureQuality quality)
{
    if (width < 32)
        return 1;
    int f = quality == TTextureQuality::High ? 1 : quality == TTextureQuality::Medium ? 2 : 4;
    if (quality != TTextureQuality::High) {
        const int big = std::max(width, height);
        if (big == 1024 || big <= 256)
            f /= 2;
    }
    if (width / f < 32)
        f = width / 32;
    return std::max(f, 1);
}

namespace {

struct Sample {
    int r = 0, g = 0, b = 0;
};

// The eight of sixteen pixels of a 4 x 4 block that a large step averages (row, column).
constexpr int kSparse[8][2] = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {0, 2}, {1, 2}, {2, 3}, {3, 3}};

Sample Pixel(const TBitmapImage& img, int x, int y)
{
    std::uint8_t b, g, r;
    img.GetBGR(x, y, b, g, r);
    return {r, g, b};
}

// Averaged colour of a block and the sum of all channels over the same samples.
Sample BlockColor(const TBitmapImage& img, int cx, int ry, int f, int* channelSum, int* sampleCount)
{
    Sample s;
    int n = 0;
    auto add = [&](int x, int y) {
        const Sample p = Pixel(img, x, y);
        s.r += p.r;
        s.g += p.g;
        s.b += p.b;
        ++n;
    };
    if (f <= 1 || img.BitsPerPixel != 24) {
        add(cx, ry);
    } else if (f == 2) {
        add(cx, ry);
        add(cx + 1, ry);
        add(cx, ry + 1);
        add(cx + 1, ry + 1);
    } else {
        for (const auto& rc : kSparse)
            add(cx + rc[1], ry + rc[0]);
    }
    if (channelSum)
        *channelSum = s.r + s.g + s.b;
    if (sampleCount)
        *sampleCount = n;
    const int shift = n == 4 ? 2 : n == 8 ? 3 : 0;
    s.r >>= shift;
    s.g >>= shift;
    s.b >>= shift;
    return s;
}

} // namespace

void BuildTexels(const TTexelSource& src, std::uint8_t* texels, int width, int height, int rowSize)
{
    if (!src.Image || !texels)
        return;
    const TBitmapImage& img = *src.Image;
    const TBitmapImage& alpha = src.AlphaImage ? *src.AlphaImage : img;
    if (src.Format == TTextureFormat::Alpha && (img.Width != alpha.Width || img.Height != alpha.Height))
        RaiseError("TSceneTexture", "AlphaFromBitmap", "Texture size is not equal Alpha size!");
    const int f = std::max(src.Factor, 1);
    TGLColorBytes key = src.KeyColor;
    if (src.Format == TTextureFormat::Sprite && src.AutoKey && !img.Empty()) {
        const Sample p = Pixel(img, 0, 0);
        key.R = static_cast<std::uint8_t>(p.r);
        key.G = static_cast<std::uint8_t>(p.g);
        key.B = static_cast<std::uint8_t>(p.b);
    }
    const bool bothTrueColor = img.BitsPerPixel == 24 && alpha.BitsPerPixel == 24;
    for (int y = 0; y < height; ++y) {
        const int ry = (height - 1 - y) * f;
        std::uint8_t* row = texels + static_cast<std::size_t>(y) * static_cast<std::size_t>(rowSize);
        for (int x = 0; x < width; ++x) {
            const int cx = x * f;
            switch (src.Format) {
            case TTextureFormat::Texture: {
                const Sample s = BlockColor(img, cx, ry, f, nullptr, nullptr);
                row[x * 3] = static_cast<std::uint8_t>(s.b);
                row[x * 3 + 1] = static_cast<std::uint8_t>(s.g);
                row[x * 3 + 2] = static_cast<std::uint8_t>(s.r);
                break;
            }
            case TTextureFormat::Sprite: {
                const Sample s = Pixel(img, cx, ry);
                std::uint8_t* t = row + x * 4;
                t[0] = static_cast<std::uint8_t>(s.b);
                t[1] = static_cast<std::uint8_t>(s.g);
                t[2] = static_cast<std::uint8_t>(s.r);
                t[3] = (s.r == key.R && s.g == key.G && s.b == key.B) ? 0 : 255;
                break;
            }
            case TTextureFormat::Alpha: {
                std::uint8_t* t = row + x * 4;
                Sample s;
                int a = 0;
                if (bothTrueColor) {
                    s = BlockColor(img, cx, ry, f, nullptr, nullptr);
                    int sum = 0, n = 0;
                    BlockColor(alpha, cx, ry, f, &sum, &n);
                    a = sum / (3 * n);
                } else {
                    s = Pixel(img, cx, ry);
                    const Sample p = Pixel(alpha, cx, ry);
                    a = (p.r + p.g + p.b) / 3;
                }
                t[0] = static_cast<std::uint8_t>(s.b);
                t[1] = static_cast<std::uint8_t>(s.g);
                t[2] = static_cast<std::uint8_t>(s.r);
                t[3] = static_cast<std::uint8_t>(a);
                break;
            }
            }
        }
    }
}

// ---------------------------------------------------------------- helpers

void FileListDisplayNames(const std::vector<std::string>& fileList, std::vector<std::string>& names, bool paired)
{
    names.clear();
    for (std::size_t i = 0; i < fileList.size(); ++i) {
        if (paired && (i % 2) != 0)
            continue;
        std::string n = ChangeFileExt(ExtractFileName(fileList[i]), "");
        std::replace(n.begin(), n.end(), '_', ' ');
        names.push_back(n);
    }
}

std::string ResourceScriptLine(const std::string& fileName)
{
    const bool bmp = LowerAscii(ExtractFileExt(fileName)) == ".bmp";
    return ResourceNameOf(fileName) + (bmp ? " Bitmap " : " RCData ") + fileName;
}

std::string FileListKeyName(const std::string& fileListName)
{
    return ChangeFileExt(ExtractFileName(fileListName), "");
}

namespace {


} // namespace

// ---------------------------------------------------------------- TSceneTexture

TSceneTexture::TSceneTexture() = default;

TSceneTexture::~TSceneTexture()
{
    ForgetCachedObject(this);
    ReleaseTexture();
}

TSceneTextureList* TSceneTexture::List() const
{
    return dynamic_cast<TSceneTextureList*>(Owner);
}

TGLTextureList& TSceneTexture::GLList() const
{
    return SceneGLTextures(MainScene);
}

TBitmapImage TSceneTexture::LoadBitmap(const std::string& fileName)
{
    TBitmapImage img;
    const std::string ext = LowerAscii(ExtractFileExt(fileName));
    const bool bmp = ext == ".bmp";
    const bool jpg = ext == ".jpg" || ext == ".jpeg" || ext == ".jepg";
    if (bmp || jpg) {
        const bool disk = LoadFromFile || !MainScene || MainScene->FromDisk();
        try {
            std::vector<std::uint8_t> bytes;
            bool have = true;
            if (disk) {
                bytes = ReadFileBytes(NativeFilePath(fileName));
            } else {
                TResourceFileReader& reader = ResourceReader();
                have = reader.Open(fileName) && reader.Stream();
                if (have) {
                    reader.Stream()->SetPosition(0);
                    bytes = reader.Stream()->ReadAll();
                    reader.Close();
                }
            }
            if (have) {
                // A damaged picture is reported with the file it came from.
                try {
                    img = bmp ? DecodeBmp(bytes) : DecodeJpeg(bytes);
                } catch (const EPyrelumeError& e) {
                    RaiseMessage(std::string(e.what()) + " file " + fileName);
                }
            }
            ImageWidth = img.Width;
            ImageHeight = img.Height;
            FitToPowerOfTwo(img);
        } catch (const std::bad_alloc&) {
            RaiseError("TSceneTexture", "LoadBitmap", "Not enough memory to load file " + fileName);
        }
        return img;
    }
    ImageWidth = img.Width;
    ImageHeight = img.Height;
    return img;
}

void TSceneTexture::CreateGLTexture(TTextureFormat format)
{
    ReleaseTexture();
    Format = format;
    TGLTextureList& list = GLList();
    list.UseBGRA = true;
    list.UsePackedPixels = false;
    const TSceneTextureList* owner = List();
    list.DefaultFilter = owner ? owner->MinFilterFor(format) : GL_LINEAR;
    const TTextureColorBit bits = owner ? owner->ColorBit : TTextureColorBit::Compressed;
    const bool rgb = format == TTextureFormat::Texture;
    if (Animated || bits == TTextureColorBit::Bit32)
        glTexture_ = rgb ? list.AddRGB8(0, 0) : list.AddRGBA8(0, 0);
    else if (bits == TTextureColorBit::Bit16)
        glTexture_ = rgb ? list.AddRGB5(0, 0) : format == TTextureFormat::Alpha ? list.AddRGBA4(0, 0) : list.AddRGB5A1(0, 0);
    else
        glTexture_ = rgb ? list.AddCompressedRGB(0, 0) : list.AddCompressedRGBA(0, 0);
    glTexture_->AlphaValue = format == TTextureFormat::Sprite ? 0.5f : format == TTextureFormat::Alpha ? 0.02f : 0.0f;
}

void TSceneTexture::LoadTexture()
{
    if (!glTexture_)
        CreateGLTexture(Format);
    TBitmapImage image = LoadBitmap(ResolveFileName(TextureName, Path));
    const TSceneTextureList* owner = List();
    // An animated texture is rewritten every frame from a producer's grid at
    // its full size (the flame and its light map); reduced, it would show
    // only the grid's top rows, where the flames never reach.
    const int f = Animated ? 1 : TextureReductionFactor(image.Width, image.Height, owner ? owner->Quality : TTextureQuality::High);
    ReductionFactor = f;
    glTexture_->SetSize(image.Width / f, image.Height / f);
    glTexture_->AllocateData();
    if (Format == TTextureFormat::Alpha) {
        if (SameText(TextureName, AlphaName)) {
            AlphaFromBitmap(image, &image);
        } else {
            const int w = ImageWidth, h = ImageHeight;
            TBitmapImage alpha = LoadBitmap(ResolveFileName(AlphaName, Path));
            ImageWidth = w;
            ImageHeight = h;
            AlphaFromBitmap(image, &alpha);
        }
    } else {
        AlphaFromBitmap(image, nullptr);
    }
}

void TSceneTexture::AlphaFromBitmap(const TBitmapImage& image, const TBitmapImage* alphaImage)
{
    if (!glTexture_)
        return;
    TTexelSource src;
    src.Format = Format;
    src.Image = &image;
    src.AlphaImage = alphaImage;
    src.Factor = ReductionFactor;
    src.KeyColor = SpriteColor;
    src.AutoKey = AutoSpriteColor;
    const int w = glTexture_->Width(), h = glTexture_->Height();
    const int bpp = Format == TTextureFormat::Texture ? 3 : 4;
    if (w <= 0 || h <= 0 || !glTexture_->FramePixels())
        return;
    if (glTexture_->RowSize() < w * bpp || glTexture_->DataSize() < static_cast<std::size_t>(glTexture_->RowSize()) * static_cast<std::size_t>(h))
        return;
    BuildTexels(src, glTexture_->FramePixels(), w, h, glTexture_->RowSize());
}

void TSceneTexture::EnsureLoaded()
{
    if (glTexture_)
        return;
    CreateGLTexture(Format);
    try {
        LoadTexture();
    } catch (...) {
        // A texture that failed to load is not left half-built.
        ReleaseTexture();
        throw;
    }
}

void TSceneTexture::Bind()
{
    EnsureLoaded();
    if (glTexture_ && SceneGLReady())
        glTexture_->Enable();
}

void SetCurrentTexture(TSceneTexture* texture)
{
    TSceneTexture* current = CurrentTexture();
    if (texture == current)
        return;
    if (texture) {
        if (!current)
            SceneGL::SetTexture2D(true);
        texture->Bind();
    } else {
        SceneGL::SetTexture2D(false);
    }
    SetCachedTexture(texture);
}

void TSceneTexture::ReleaseTexture()
{
    if (glTexture_) {
        TGLTexture* t = glTexture_;
        glTexture_ = nullptr;
        delete t;
    }
}

void TSceneTexture::SetLoadFromFile(bool flag)
{
    LoadFromFile = flag;
    ReleaseTexture();
}

void TSceneTexture::SetTextureName(const std::string& name)
{
    if (name != TextureName)
        TextureName = name;
}

void TSceneTexture::SetAlphaName(const std::string& name)
{
    if (name != AlphaName)
        AlphaName = name;
}

void TSceneTexture::SetSpriteColor(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    SpriteColor.R = r;
    SpriteColor.G = g;
    SpriteColor.B = b;
}

void TSceneTexture::SetFileIndex(int index)
{
    if (FileList.empty())
        return;
    const bool paired = PairedList();
    long long i = std::max(index, 0);
    if (paired)
        i *= 2;
    i %= static_cast<long long>(FileList.size());
    FileIndex = static_cast<int>(i);
    TextureName = FileList[static_cast<std::size_t>(i)];
    if (paired && static_cast<std::size_t>(i) + 1 < FileList.size())
        AlphaName = FileList[static_cast<std::size_t>(i) + 1];
    ReleaseTexture();
}

int TSceneTexture::GetFileIndex() const
{
    return PairedList() ? FileIndex / 2 : FileIndex;
}

void TSceneTexture::LoadFromLoader(TResourceLoader& loader)
{
    TMainObject::LoadFromLoader(loader);
    const std::string listPath = Owner ? Owner->Path : std::string(".\\");
    Path = loader.ReadString("Path", listPath);
    TextureName = loader.ReadFileName("TextureName", Path);
    AlphaName = loader.ReadFileName("AlphaName", Path);
    Format = StrToTextureFormat(loader.ReadString("Format", (Alpha || !AlphaName.empty()) ? "Alpha" : "Texture"));
    Animated = loader.ReadBool("Animated", false);
    SpriteColor = loader.ReadByteColor("SpriteColor", SpriteColor);
    AutoSpriteColor = loader.ReadBool("AutoSpriteColor", false);
    FileListName = loader.ReadFileName("FileListName", Path);
    if (!FileListName.empty())
        FileList = ReadFileList(FileListName, !MainScene || MainScene->FromDisk());
    SetFileIndex(loader.ReadInteger("FileIndex", GetFileIndex()));
    ReleaseTexture();
}

void TSceneTexture::SaveToLoader(TResourceLoader& loader)
{
    TMainObject::SaveToLoader(loader);
    if (Format != TTextureFormat::Texture)
        loader.WriteString("Format", TextureFormatToStr(Format));
    if (!TextureName.empty())
        loader.WriteFileName("TextureName", TextureName, Path);
    if (Format != TTextureFormat::Texture)
        loader.WriteFloat("AlphaValue", glTexture_ ? glTexture_->AlphaValue
                                                   : (Format == TTextureFormat::Sprite ? 0.5f : 0.02f));
    if (Format == TTextureFormat::Alpha && !AlphaName.empty())
        loader.WriteFileName("AlphaName", AlphaName, Path);
    if (Format == TTextureFormat::Sprite) {
        if (AutoSpriteColor)
            loader.WriteBool("AutoSpriteColor", true);
        else
            loader.WriteByteColor("SpriteColor", SpriteColor);
    }
    loader.WriteBool("Animated", Animated);
    loader.WriteInteger("FileIndex", GetFileIndex());
    loader.WriteString("Path", Path);
    if (!FileListName.empty())
        loader.WriteFileName("FileListName", FileListName, Path);
}

// ---------------------------------------------------------------- TSceneTextureList

unsigned TSceneTextureList::MinFilterFor(TTextureFormat format) const
{
    const bool mip = MipMap && format == TTextureFormat::Texture;
    if (SceneGenericRenderer(MainScene))
        return mip ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST;
    return mip ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR;
}

void TSceneTextureList::SetQuality(TTextureQuality q)
{
    if (q == Quality)
        return;
    Quality = q;
    ApplyTextureParameters();
}

void TSceneTextureList::SetColorBit(TTextureColorBit c)
{
    if (c == ColorBit)
        return;
    ColorBit = c;
    ApplyTextureParameters();
}

void TSceneTextureList::SetMipMap(bool flag)
{
    if (flag == MipMap)
        return;
    MipMap = flag;
    ApplyTextureParameters();
}

void TSceneTextureList::ApplyTextureParameters()
{
    const bool generic = SceneGenericRenderer(MainScene);
    TGLTextureList& gl = SceneGLTextures(MainScene);
    for (int i = 0; i < GetCount(); ++i) {
        auto* t = dynamic_cast<TSceneTexture*>(GetItem(i));
        if (!t || !t->GLTexture())
            continue;
        TGLTexture* g = t->GLTexture();
        g->Release();
        if (generic)
            g->Filter = (MipMap && t->Format == TTextureFormat::Texture) ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST;
        else
            g->Filter = MipMap ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR;
        const bool rgb = t->Format == TTextureFormat::Texture;
        GLenum internal;
        if (t->Animated || ColorBit == TTextureColorBit::Bit32)
            internal = rgb ? GL_RGB8 : GL_RGBA8;
        else if (ColorBit == TTextureColorBit::Bit16)
            internal = rgb ? GL_RGB5 : t->Format == TTextureFormat::Alpha ? GL_RGBA4 : GL_RGB5_A1;
        else
            internal = rgb ? gl.CompressedRGBFormat : gl.CompressedRGBAFormat;
        g->SetFormat(internal, g->Format(), g->PixelType());
    }
}

void TSceneTextureList::ReleaseTextures()
{
    for (int i = 0; i < GetCount(); ++i)
        if (auto* t = dynamic_cast<TSceneTexture*>(GetItem(i)))
            t->ReleaseTexture();
}

TSceneTexture* TSceneTextureList::AddTextureFile(TTextureFormat format, const std::string& name,
                                                 const std::string& textureFile, const std::string& alphaFile,
                                                 std::uint8_t r, std::uint8_t g, std::uint8_t b, bool autoKey)
{
    const std::string n = ExtractFileName(name);
    if (TSceneTexture* existing = FindTexture(n))
        return existing;
    if (n.empty())
        return nullptr;
    auto* t = new TSceneTexture();
    t->StoreName(n);
    AddItem(t);
    t->Path = Path;
    t->CreateGLTexture(format);
    t->TextureName = ResolveFileName(textureFile, Path);
    if (!alphaFile.empty())
        t->AlphaName = ResolveFileName(alphaFile, Path);
    t->SetSpriteColor(r, g, b);
    t->AutoSpriteColor = autoKey;
    t->LoadTexture();
    return t;
}

TSceneTexture* TSceneTextureList::AddOpaqueTexture(const std::string& name, const std::string& file)
{
    return AddTextureFile(TTextureFormat::Texture, name, file, "", 0, 0, 0, false);
}

TSceneTexture* TSceneTextureList::AddAlphaTexture(const std::string& name, const std::string& file,
                                                  const std::string& alphaFile)
{
    return AddTextureFile(TTextureFormat::Alpha, name, file, alphaFile, 0, 0, 0, false);
}

TSceneTexture* TSceneTextureList::AddSpriteTexture(const std::string& name, const std::string& file)
{
    return AddTextureFile(TTextureFormat::Sprite, name, file, "", 0, 0, 0, true);
}

TSceneTexture* TSceneTextureList::FindTexture(const std::string& name) const
{
    return dynamic_cast<TSceneTexture*>(FindChild(name));
}

void TSceneTextureList::ListResourceFiles(std::vector<std::string>& lines)
{
    for (int i = 0; i < GetCount(); ++i) {
        auto* t = dynamic_cast<TSceneTexture*>(GetItem(i));
        if (!t)
            continue;
        lines.push_back(ResourceScriptLine(t->TextureName));
        if (!t->AlphaName.empty())
            lines.push_back(ResourceScriptLine(t->AlphaName));
    }
}

void TSceneTextureList::LoadFromLoader(TResourceLoader& loader)
{
    TResource::LoadFromLoader(loader);
    SetQuality(StrToQuality(loader.ReadString("Quality", "High")));
    SetColorBit(StrToColorBit(loader.ReadString("ColorBit", "Compressed")));
    SetMipMap(loader.ReadBool("MipMap", false));
}

void TSceneTextureList::SaveToLoader(TResourceLoader& loader)
{
    TResource::SaveToLoader(loader);
    loader.WriteString("Quality", QualityToStr(Quality));
    loader.WriteString("ColorBit", ColorBitToStr(ColorBit));
    loader.WriteBool("MipMap", MipMap);
}

void TSceneTextureList::ReadSettings()
{
    if (TSceneSettingsStore* s = SettingsStore()) {
        SetQuality(StrToQuality(s->ReadString(Name() + " Quality", QualityToStr(Quality))));
        SetColorBit(StrToColorBit(s->ReadString(Name() + " ColorBit", ColorBitToStr(ColorBit))));
        SetMipMap(s->ReadBool(Name() + " MipMap", MipMap));
        for (int i = 0; i < GetCount(); ++i) {
            auto* t = dynamic_cast<TSceneTexture*>(GetItem(i));
            if (!t)
                continue;
            if (!t->FileListName.empty()) {
                // An index past the list's choices is clamped to the last one,
                // the one the dialog's choice box shows.
                const int choices = t->PairedList() ? static_cast<int>(t->FileList.size() / 2)
                                                    : static_cast<int>(t->FileList.size());
                t->SetFileIndex(std::clamp(s->ReadInteger(FileListKeyName(t->FileListName) + "Index", 0), 0,
                                           std::max(choices - 1, 0)));
            }
            t->SetLoadFromFile(s->ReadBool(t->Name() + " LoadFromFile", t->LoadFromFile));
            if (t->LoadFromFile) {
                t->SetTextureName(s->ReadString(t->Name() + " TextureName", t->TextureName));
                t->SetAlphaName(s->ReadString(t->Name() + " AlphaName", t->AlphaName));
            }
        }
    }
    TResource::ReadSettings();
}

void TSceneTextureList::WriteSettings()
{
    if (TSceneSettingsStore* s = SettingsStore()) {
        s->WriteString(Name() + " Quality", QualityToStr(Quality));
        s->WriteString(Name() + " ColorBit", ColorBitToStr(ColorBit));
        s->WriteBool(Name() + " MipMap", MipMap);
        for (int i = 0; i < GetCount(); ++i) {
            auto* t = dynamic_cast<TSceneTexture*>(GetItem(i));
            if (!t)
                continue;
            if (!t->FileListName.empty())
                s->WriteInteger(FileListKeyName(t->FileListName) + "Index", t->GetFileIndex());
            s->WriteBool(t->Name() + " LoadFromFile", t->LoadFromFile);
            if (t->LoadFromFile) {
                s->WriteString(t->Name() + " TextureName", t->TextureName);
                s->WriteString(t->Name() + " AlphaName", t->AlphaName);
            }
        }
    }
    TResource::WriteSettings();
}
