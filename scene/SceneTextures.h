#pragma once
// Scene textures: named pictures loaded from JPEG or BMP files (with an
// optional alpha picture), scaled to powers of two and the quality setting,
// held in GL textures of the context's texture list.
#include <cstdint>
#include <string>
#include <vector>

#include "gl/FastMath.h"
#include "scene/SceneImages.h"
#include "scene/SceneObjects.h"

class TGLTexture;
class TGLTextureList;
class TSceneTextureList;

enum class TTextureFormat : std::uint8_t { Texture = 0, Alpha = 1, Sprite = 2 };
enum class TTextureColorBit : std::uint8_t { Compressed = 0, Bit32 = 1, Bit16 = 2 };
enum class TTextureQuality : std::uint8_t { High = 0, Medium = 1, Low = 2 };

std::string TextureFormatToStr(TTextureFormat f);
// "Texture" wins, then "Alpha", then "Sprite"; anything else is Texture.
TTextureFormat StrToTextureFormat(const std::string& s);
std::string QualityToStr(TTextureQuality q);
TTextureQuality StrToQuality(const std::string& s);
std::string ColorBitToStr(TTextureColorBit c);
TTextureColorBit StrToColorBit(const std::string& s);

// The sampling step for an image of the given size at a quality.
int TextureReductionFactor(int width, int height, TTextureQuality quality);

// Fills texels (rows bottom-up, blue-green-red[-alpha]) of a w x h texture
// from image (and alpha image for the Alpha format) sampled with step f.
// rowSize is the texture's row length in bytes. Raises the size error when an
// Alpha pair differs in size.
struct TTexelSource {
    TTextureFormat Format = TTextureFormat::Texture;
    const TBitmapImage* Image = nullptr;
    const TBitmapImage* AlphaImage = nullptr;
    int Factor = 1;
    TGLColorBytes KeyColor{};
    bool AutoKey = false;
};
void BuildTexels(const TTexelSource& src, std::uint8_t* texels, int width, int height, int rowSize);

class TSceneTexture : public TMainObject {
public:
    TSceneTexture();
    ~TSceneTexture() override;
    std::string_view ClassName() const override { return "TSceneTexture"; }

    std::string AlphaName;
    std::string TextureName;
    TGLColorBytes SpriteColor{0, 0, 0, 0};
    TTextureFormat Format = TTextureFormat::Texture;
    bool AutoSpriteColor = false;
    int ReductionFactor = 1;
    std::vector<std::string> FileList;
    int FileIndex = -1;
    std::string FileListName;
    std::string Path;
    bool Animated = false;
    bool LoadFromFile = false;
    int ImageWidth = 0;   // the loaded picture, before scaling
    int ImageHeight = 0;

    TGLTexture* GLTexture() const { return glTexture_; }
    TSceneTextureList* List() const;

    // A new picture from a file (24-bit or palettised), fitted to a power of two.
    TBitmapImage LoadBitmap(const std::string& fileName);
    void CreateGLTexture(TTextureFormat format);
    void LoadTexture();
    void EnsureLoaded();
    void Bind();
    void ReleaseTexture();
    void SetLoadFromFile(bool flag);
    void SetTextureName(const std::string& name);
    void SetAlphaName(const std::string& name);
    void SetSpriteColor(std::uint8_t r, std::uint8_t g, std::uint8_t b);
    void SetFileIndex(int index);
    int GetFileIndex() const;
    void AlphaFromBitmap(const TBitmapImage& image, const TBitmapImage* alphaImage);
    // True when the file list is used as colour / alpha pairs.
    bool PairedList() const { return Alpha || !AlphaName.empty() ; }

    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;

private:
    TGLTextureList& GLList() const;
    TGLTexture* glTexture_ = nullptr;
};

// Makes a scene texture current (binding and loading it), or none.
void SetCurrentTexture(TSceneTexture* texture);

class TSceneTextureList : public TResource {
public:
    std::string_view ClassName() const override { return "TSceneTextureList"; }

    bool MipMap = false;
    TTextureColorBit ColorBit = TTextureColorBit::Compressed;
    TTextureQuality Quality = TTextureQuality::High;

    void SetQuality(TTextureQuality q);
    void SetColorBit(TTextureColorBit c);
    void SetMipMap(bool flag);
    void ApplyTextureParameters();
    void ReleaseTextures();
    // Creates and loads a texture unless one of that name exists; returns it.
    TSceneTexture* AddTextureFile(TTextureFormat format, const std::string& name, const std::string& textureFile,
                                  const std::string& alphaFile, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                  bool autoKey);
    TSceneTexture* AddOpaqueTexture(const std::string& name, const std::string& file);
    TSceneTexture* AddAlphaTexture(const std::string& name, const std::string& file, const std::string& alphaFile);
    TSceneTexture* AddSpriteTexture(const std::string& name, const std::string& file);
    TSceneTexture* FindTexture(const std::string& name) const;

    // The minifying filter for a texture of the format under the current settings.
    unsigned MinFilterFor(TTextureFormat format) const;

    void ListResourceFiles(std::vector<std::string>& lines) override;
    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;
    void ReadSettings() override;
    void WriteSettings() override;
};

// Display names of a file list: the file part without folder and extension,
// "_" as blanks; only even lines when paired.
void FileListDisplayNames(const std::vector<std::string>& fileList, std::vector<std::string>& names, bool paired);
// "Front.jpg" -> "Front_jpg RCData Front.jpg"; ".bmp" files are "Bitmap".
std::string ResourceScriptLine(const std::string& fileName);
// The file-list name without folder and extension ("Textures\Guards.txt" -> "Guards").
std::string FileListKeyName(const std::string& fileListName);
