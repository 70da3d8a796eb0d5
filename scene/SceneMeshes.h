#pragma once
// Materials (lists of material groups), meshes (groups of GL primitives with
// one material group and texture each, optionally frame-animated) built from
// .3dm models, and sprites: one textured rectangle cut from a texture.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gl/DArrays.h"
#include "gl/FastMath.h"
#include "scene/SceneObjects.h"

class TGLMaterial;
class TGLPrimitive;
class TSceneMaterial;
class TSceneTexture;
class TSceneTextureList;
class TSceneMeshList;
class T3DMFile;
class T3DMObject;
class T3DMMaterialStandard;

class TGroupMaterial {
public:
    TGroupMaterial(TSceneMaterial* owner, int index, TMainScene* scene);
    ~TGroupMaterial();
    TGroupMaterial(const TGroupMaterial&) = delete;
    TGroupMaterial& operator=(const TGroupMaterial&) = delete;

    TGLMaterial* GLMaterial() const { return glMaterial_; }
    // Diffuse alpha below 0.99, or added to the frame.
    bool Translucent() const;
    // Drawn added to the frame instead of over it: a glowing layer (a model
    // material whose opacity type is 2, additive).
    bool Additive = false;

    int Index = 0;
    TSceneMaterial* Material = nullptr;
    TGLColor VertexColor{1, 1, 1, 1};
    bool Applied = false;

private:
    TGLMaterial* glMaterial_ = nullptr;
};

// Applies a material group (or none) and sets the shared current colour; does
// nothing when the group is the one applied last and still applied.
void ApplyMaterialGroup(TGroupMaterial* group);

class TSceneMaterial : public TMainObject {
public:
    ~TSceneMaterial() override;
    std::string_view ClassName() const override { return "TSceneMaterial"; }

    bool UseVertexColor = true;

    TGroupMaterial* AddGroup();
    TGroupMaterial* GetGroup(int index) const;
    int GroupCount() const { return static_cast<int>(groups_.size()); }
    void ClearGroups();

    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;

private:
    std::vector<std::unique_ptr<TGroupMaterial>> groups_;
};

class TSceneMaterialList : public TResource {
public:
    std::string_view ClassName() const override { return "TSceneMaterialList"; }
};

class TMeshGroup {
public:
    TMeshGroup() = default;
    ~TMeshGroup();
    TMeshGroup(const TMeshGroup&) = delete;
    TMeshGroup& operator=(const TMeshGroup&) = delete;

    TSceneTexture* Texture = nullptr;
    TGroupMaterial* MaterialGroup = nullptr;
    TGLPrimitive* Primitive = nullptr;  // in the context's primitive list; freed with the group
    std::vector<TGLVectorDArray> VertexFrames;
    std::vector<TGLVectorDArray> NormalFrames;

    // Material group, texture, then the primitive (DrawnPrimitive).
    void Draw();
    // The primitive as the current pass draws it. In the blended pass (alpha
    // test on) the parts whose texels cannot pass the alpha test are cut
    // away, so they cost no fragments; the picture is the same. None without
    // a primitive.
    TGLPrimitive* DrawnPrimitive();
    // Area-weighted centre of the primitive's triangles (model coordinates).
    TGLVector Centre();

private:
    std::unique_ptr<TGLPrimitive> trimmed_;
    TGLVector centre_;
    int centreCount_ = -1;
};

class TSceneMesh : public TMainObject {
public:
    TSceneMesh() = default;
    ~TSceneMesh() override;
    std::string_view ClassName() const override { return "TSceneMesh"; }

    TSceneMaterial* Material = nullptr;
    float FPS = 6;
    std::string SourceName;
    float FramePosition = 0;
    int FileIndex = -1;
    std::string FileListName;
    std::vector<std::string> FileList;

    const std::vector<std::unique_ptr<TMeshGroup>>& OpaqueGroups() const { return opaque_; }
    const std::vector<std::unique_ptr<TMeshGroup>>& AlphaGroups() const { return alpha_; }
    bool Built() const { return built_; }
    TSceneMeshList* List() const;

    TMeshGroup* AddGroup(int frameCount, int materialIndex, TSceneTexture* texture);
    void ClearGroups();
    void SetSourceName(const std::string& name);
    void SetFileIndex(int index);
    void EnsureBuilt();
    void SetFramePosition(float position);

    void Animate(float dt) override;
    void RenderOpaque() override;
    void RenderAlpha() override;
    // One group as its pass draws it (translucent: the blended pass).
    void DrawGroup(TMeshGroup& group, bool translucent);
    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;

protected:
    // The opaque groups nearest first when the depth test decides what is
    // seen (hidden fragments are then rejected before they are textured);
    // otherwise in their own order.
    const std::vector<TMeshGroup*>& OpaqueDrawingOrder();

    std::vector<std::unique_ptr<TMeshGroup>> opaque_;
    std::vector<std::unique_ptr<TMeshGroup>> alpha_;
    bool built_ = false;
    std::vector<TMeshGroup*> opaqueOrder_;
};

class TSceneMeshList : public TResource {
public:
    std::string_view ClassName() const override { return "TSceneMeshList"; }

    TSceneMaterialList* Materials = nullptr;
    TSceneTextureList* Textures = nullptr;

    TSceneMesh* FindMesh(const std::string& name) const;
    void ListResourceFiles(std::vector<std::string>& lines) override;
    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;
    void ReadSettings() override;
    void WriteSettings() override;
};

class TSceneSprite : public TSceneMesh {
public:
    std::string_view ClassName() const override { return "TSceneSprite"; }

    int Width = 256;
    int Height = 256;
    int OriginX = 0;
    int OriginY = 0;
    int StartU = 0;
    int StartV = 0;
    TSceneTexture* Texture = nullptr;
    TGLColorBytes Color{255, 255, 255, 255};

    // Builds the rectangle once; sets the colour every call.
    void UpdateSpriteMesh();

    void RenderOpaque() override;
    void RenderAlpha() override;
    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;

private:
    bool spriteBuilt_ = false;
};

// Vertex de-duplication while one group is built: a corner reuses a vertex of
// the same model vertex with the same texture-coordinate number or the same
// u and v; otherwise it gets the next index.
class TVertIndices3DMList {
public:
    struct Entry {
        int ModelVertex;  // 1-based
        int Index;        // in the built primitive
        int TexCoord;     // 1-based, or -1 for none
        int Normal;
        float U, V;
    };
    explicit TVertIndices3DMList(int modelVertexCount) : buckets_(static_cast<std::size_t>(std::max(modelVertexCount, 0))) {}
    int IndexOf(int modelVertex, int texCoord, float u, float v);
    const std::vector<Entry>& Entries() const { return entries_; }
    int Count() const { return next_; }

private:
    std::vector<std::vector<int>> buckets_;  // per model vertex: positions in entries_
    std::vector<Entry> entries_;
    int next_ = 0;
};

class T3DMMeshLoader {
public:
    T3DMMeshLoader();
    ~T3DMMeshLoader();

    std::string Path = ".\\";
    bool FromArchive = false;
    T3DMFile& Model() { return *model_; }

    bool OpenFile(const std::string& name);
    void LoadMesh(const std::string& name, TSceneMesh& mesh);
    void AddMaterials(TSceneMeshList& meshList);
    void AddMesh(TSceneMesh& mesh, TSceneMeshList& meshList, const T3DMObject& object);

private:
    std::unique_ptr<T3DMFile> model_;
};

// The name of the scene texture for a model material ("FLAME.jpg" with an
// opacity map is "FLAMEA.jpg"); empty without a texture file.
std::string ModelTextureName(const T3DMMaterialStandard& material);
// Fills a material group from a model material (colours 0-255).
void FillMaterialGroup(TGroupMaterial& group, const T3DMMaterialStandard& material);
// Integer nearest to x, halves to the even neighbour.
int RoundHalfEven(double x);
