#pragma once
// Reader of the line-oriented .3dm text model format: a material library, mesh
// objects (vertices, normals, texture coordinates, vertex colours, faces, a
// transform) and optional vertex-frame animation. The reader is tolerant in
// the way the format's writers expect: it trusts section counts, picks values
// out of lines by position, and stops quietly when the file ends early.
// Malformed numbers raise the usual conversion errors; the objects and
// materials read until then stay in the model.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "assets/Streams.h"

struct T3DMVertex {
    float X = 0, Y = 0, Z = 0;
    friend bool operator==(const T3DMVertex&, const T3DMVertex&) = default;
};
struct T3DMColor {  // as written, 0 .. 255
    float R = 0, G = 0, B = 0;
    friend bool operator==(const T3DMColor&, const T3DMColor&) = default;
};
struct T3DMTexCoord {
    float U = 0, V = 0;
    friend bool operator==(const T3DMTexCoord&, const T3DMTexCoord&) = default;
};
struct T3DMFace {  // 1-based vertex (or coordinate, colour) numbers
    std::int32_t A = 0, B = 0, C = 0;
    friend bool operator==(const T3DMFace&, const T3DMFace&) = default;
};

// Ordered list of fixed-size items.
class T3DMList {
public:
    virtual ~T3DMList() = default;
    virtual void Clear() = 0;
    virtual std::int32_t Count() const = 0;
};

template <typename Item>
class T3DMItemList : public T3DMList {
public:
    void Clear() override { items_.clear(); }
    std::int32_t Count() const override { return static_cast<std::int32_t>(items_.size()); }
    void Add(const Item& item) { items_.push_back(item); }
    // 0-based access; raises for an index outside the list.
    const Item& Items(std::int32_t index) const;
    Item& Items(std::int32_t index);
    const std::vector<Item>& Data() const { return items_; }

protected:
    std::vector<Item> items_;
};

// Vertices and normals; read by 1-based number (Get(n) is item n-1) as faces refer to them.
class T3DMVertexList : public T3DMItemList<T3DMVertex> {
public:
    const T3DMVertex& Get(std::int32_t number) const;
};
class T3DMColorList : public T3DMItemList<T3DMColor> {
public:
    const T3DMColor& Get(std::int32_t number) const;
};
class T3DMTextureCoordList : public T3DMItemList<T3DMTexCoord> {
public:
    const T3DMTexCoord& Get(std::int32_t number) const;
};
// Faces, read by 0-based face index.
class T3DMFaceList : public T3DMItemList<T3DMFace> {};

// One vertex list per animation frame. The announced length only limits how
// many frames an "AnimMesh" section may add: a frame costs memory once the file
// provides it, so a header claiming a million frames costs nothing.
class T3DMVertexFrameList {
public:
    // The frames read so far.
    std::int32_t Count() const { return static_cast<std::int32_t>(frames_.size()); }
    T3DMVertexList& Frames(std::int32_t index);
    const T3DMVertexList& Frames(std::int32_t index) const;
    // Announces n frames (negative counts as 0); a smaller n drops the last frames.
    void SetLength(std::int32_t n);
    std::int32_t Length() const { return length_; }
    // Appends an empty frame when fewer than Length are present; null otherwise.
    T3DMVertexList* AddFrame();
    void Clear()
    {
        frames_.clear();
        length_ = 0;
    }

    bool Loop = false;

private:
    std::vector<std::unique_ptr<T3DMVertexList>> frames_;
    std::int32_t length_ = 0;
};

class T3DMObject {
public:
    T3DMVertexList Vertices;
    T3DMVertexList Normals;
    T3DMColorList Colors;
    T3DMTextureCoordList TextureCoords;
    T3DMFaceList VertexFaces;
    T3DMFaceList ColorFaces;
    T3DMFaceList TextureCoordFaces;
    std::string Name;
    bool HasNormals = false;
    bool HasTextureCoords = false;
    bool HasColors = false;
    bool HasTransform = false;
    std::uint32_t MirrorFlags = 0;  // 1: x mirrored, 2: y, 4: z
    float Matrix[12] = {};          // 4 rows of 3: three axis rows, then the translation
    std::string MaterialName;
    std::vector<std::int32_t> FaceMatIDs;  // 1-based, one per face
    T3DMVertexFrameList Frames;
};

class T3DMMaterialList;

class T3DMMaterial {
public:
    virtual ~T3DMMaterial() = default;
    T3DMMaterial() = default;
    T3DMMaterial(const T3DMMaterial&) = delete;
    T3DMMaterial& operator=(const T3DMMaterial&) = delete;

    const std::string& Name() const { return name_; }
    // Re-indexes the material in its list under the new name.
    void SetName(const std::string& name);
    T3DMMaterialList* Owner() const { return owner_; }
    // Moves the material from its list into list, which takes ownership; a
    // material in no list raises (hand it to T3DMMaterialList::Add instead).
    void SetOwner(T3DMMaterialList& list);

private:
    friend class T3DMMaterialList;
    std::string name_;
    T3DMMaterialList* owner_ = nullptr;
};

class T3DMMaterialStandard : public T3DMMaterial {
public:
    bool Faceted = false;
    bool TwoSided = false;
    std::int32_t ShaderType = 0;
    std::int32_t OpacityType = 0;
    std::int32_t WireSize = 0;
    float Glossiness = 0;
    float SpecularLevel = 0;
    float Opacity = 0;
    std::string DiffuseMap;
    std::string ReflectionMap;
    std::string OpacityMap;
    std::string BumpMap;
    T3DMColor Ambient;
    T3DMColor Diffuse;
    T3DMColor SelfIllumColor;
    T3DMColor Specular;
};

// Owns its materials; keeps them in order and indexed by case-insensitive name.
class T3DMMaterialList {
public:
    T3DMMaterialList() = default;
    ~T3DMMaterialList();
    T3DMMaterialList(const T3DMMaterialList&) = delete;
    T3DMMaterialList& operator=(const T3DMMaterialList&) = delete;

    // Raises "T3DMMaterialList error: Add a NIL Material" for no material.
    T3DMMaterial* Add(std::unique_ptr<T3DMMaterial> material);
    // The first material of that name (case-insensitive), or nullptr.
    T3DMMaterial* FindMaterial(const std::string& name) const;
    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    T3DMMaterial& Items(std::int32_t index) const;
    // Takes the material out of the list and hands it back (nullptr if not in it).
    std::unique_ptr<T3DMMaterial> Remove(T3DMMaterial* material);
    void Clear();

private:
    friend class T3DMMaterial;
    void Reindex(T3DMMaterial* material, const std::string& oldName);
    std::vector<std::unique_ptr<T3DMMaterial>> items_;
    std::multimap<std::string, T3DMMaterial*> index_;  // lower-case name -> material
};

class T3DMMaterialMultiSubObject : public T3DMMaterial {
public:
    T3DMMaterialList SubMaterials;
};

class T3DMFile {
public:
    T3DMFile() = default;
    T3DMFile(const T3DMFile&) = delete;
    T3DMFile& operator=(const T3DMFile&) = delete;

    // Clears the model and reads name: through the shared resource reader when
    // FromArchive (a missing asset gives an empty model), else from the disk
    // (a missing file raises the file error).
    void LoadFromFile(const std::string& name);
    // Clears the model and reads the rest of the stream.
    void LoadFromStream(TStream& stream);
    // Clears the model and parses the text.
    void LoadFromText(std::string_view text);
    void Clear();

    std::int32_t Count() const { return static_cast<std::int32_t>(objects_.size()); }
    T3DMObject& Objects(std::int32_t index) const;

    std::int32_t Version = 0;
    T3DMMaterialList Materials;
    bool FromArchive = false;

private:
    std::vector<std::unique_ptr<T3DMObject>> objects_;
    friend class T3DMParser;
};
