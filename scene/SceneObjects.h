#pragma once
// The scene object model: one named tree rooted in TMainScene. Containers own
// their children; references between objects are plain pointers resolved from
// slash-separated name paths ("Meshes/Fireplace1").
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <initializer_list>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

class TMainScene;
class TResource;
class TResourceLoader;
class TCustomOpenGL;
class TSceneFont;
class TSceneString;
class TSceneTypeTable;
class IGlyphRasterizer;

// ---------------------------------------------------------------- options

// Which per-frame lists of the scene a direct child of the scene joins.
using TProcessOptions = std::uint8_t;
constexpr TProcessOptions poRender = 1;
constexpr TProcessOptions poAnimation = 2;
constexpr TProcessOptions poEvents = 4;

// "" / "[Render]" / "[Animation]" / "[Render,Animation]" / ... / "[Render,Animation,Events]".
std::string ProcessOptionsToStr(TProcessOptions options);
// The bracketed text form of a set: "[" + the names of the members present,
// comma-separated + "]".
std::string SetToStr(std::initializer_list<std::pair<bool, const char*>> members);
// Tests the text for "Render", "Animation" and "Events" independently (case-sensitive).
TProcessOptions StrToProcessOptions(std::string_view text);

// ---------------------------------------------------------------- settings

// The application's settings store as the scene objects see it: typed
// accessors over one key, every value a string. The application installs one
// in TMainScene::Settings before it forwards ReadSettings / WriteSettings.
class TSceneSettingsStore {
public:
    virtual ~TSceneSettingsStore() = default;
    virtual std::string ReadString(const std::string& name, const std::string& def) = 0;
    virtual bool ReadBool(const std::string& name, bool def) = 0;
    virtual int ReadInteger(const std::string& name, int def) = 0;
    virtual void WriteString(const std::string& name, const std::string& value) = 0;
    virtual void WriteBool(const std::string& name, bool value) = 0;
    virtual void WriteInteger(const std::string& name, int value) = 0;
};

// ---------------------------------------------------------------- items

class TMainItem {
public:
    TMainItem() = default;
    virtual ~TMainItem();
    TMainItem(const TMainItem&) = delete;
    TMainItem& operator=(const TMainItem&) = delete;

    // The class name as written in the "Type" key of the description.
    virtual std::string_view ClassName() const { return "TMainItem"; }

    bool Visible = true;
    bool Alpha = false;
    TMainScene* MainScene = nullptr;  // not owned; the scene refers to itself
    TResource* Owner = nullptr;       // not owned; the containing resource

    virtual void SetVisible(bool flag) { Visible = flag; }
    virtual void ProcessEvents(float dt) {}
    virtual void Animate(float dt) {}
    virtual void BeginRender() {}
    virtual void EndRender() {}
    // If visible: BeginRender, RenderOpaque, RenderAlpha when Alpha, EndRender.
    virtual void Render();
    virtual void RenderOpaque() {}
    virtual void RenderAlpha() {}
    virtual void SaveToLoader(TResourceLoader& loader) {}
    virtual void LoadFromLoader(TResourceLoader& loader) {}
};

class TMainObject : public TMainItem {
public:
    std::string_view ClassName() const override { return "TMainObject"; }

    const std::string& Name() const { return name_; }
    // Renames through the owner's index when there is an owner.
    void SetName(const std::string& name);
    // Stores the name without consulting the owner (used by containers).
    void StoreName(const std::string& name) { name_ = name; }

    // Visible (only when false) and Alpha (only when true); with the other
    // description keys of the model in scene/SceneLoader.cpp.
    void SaveToLoader(TResourceLoader& loader) override;
    void LoadFromLoader(TResourceLoader& loader) override;

private:
    std::string name_;
};

class TMainSceneObject : public TMainObject {
public:
    std::string_view ClassName() const override { return "TMainSceneObject"; }

    TProcessOptions ProcessOptions = 0;
    bool Loadable = true;  // a resource without it neither loads nor saves its source file
    int Identifier = -1;   // position in the scene's object table

    virtual void ReadSettings() {}
    virtual void WriteSettings() {}

    // The scene's settings store, or none (then settings are skipped).
    TSceneSettingsStore* SettingsStore() const;
};

// ---------------------------------------------------------------- containers

class TMainList : public TMainSceneObject {
public:
    std::string_view ClassName() const override { return "TMainList"; }

    // The loader reads and writes Capacity, Count and the child sections.
    bool ChildrenPersist = true;

    void ProcessEvents(float dt) override;
    void Animate(float dt) override;
    void Render() override;
    void RenderOpaque() override;
    void RenderAlpha() override;
    void ReadSettings() override;
    void WriteSettings() override;

    virtual TMainItem* GetItem(int index) const = 0;
    virtual int GetCount() const = 0;
    virtual int GetCapacity() const = 0;
    virtual void SetCapacity(int n) = 0;
    virtual void DeleteIndex(int index) = 0;
    // Adds a child; false when it was not entered (duplicate name).
    virtual bool AddItem(TMainItem* item) = 0;
    virtual void FreeLast(int n);
    virtual void RemoveItem(TMainItem* item) = 0;
    virtual void RenameItem(TMainItem* item, const std::string& name) {}
    virtual void ClearItems() = 0;
    virtual void Clear() { FreeLast(GetCount()); }
    virtual void SetSorted(bool flag) {}

    int Count() const { return GetCount(); }

protected:
    // Frees every child (used by destructors, which may not call virtuals of
    // derived classes).
    void DestroyChildrenOf(std::vector<TMainItem*>& items);
};

// Unnamed container in insertion order. It does not set Owner.
class TMainItemList : public TMainList {
public:
    explicit TMainItemList(bool ownsChildren = true) : ownsChildren_(ownsChildren) {}
    ~TMainItemList() override;
    std::string_view ClassName() const override { return "TMainItemList"; }

    TMainItem* GetItem(int index) const override;
    int GetCount() const override { return static_cast<int>(items_.size()); }
    int GetCapacity() const override;
    void SetCapacity(int n) override;
    void DeleteIndex(int index) override;
    bool AddItem(TMainItem* item) override;
    void RemoveItem(TMainItem* item) override;
    void ClearItems() override { items_.clear(); }

private:
    std::vector<TMainItem*> items_;
    int capacity_ = 0;
    bool ownsChildren_;
};

// Container indexed by child name (sorted, case-sensitive; duplicates ignored).
// Enumeration by position follows name order.
class TMainObjectList : public TMainList {
public:
    TMainObjectList() = default;
    ~TMainObjectList() override;
    std::string_view ClassName() const override { return "TMainObjectList"; }

    TMainItem* GetItem(int index) const override;
    int GetCount() const override { return static_cast<int>(index_.size()); }
    int GetCapacity() const override;
    void SetCapacity(int n) override;
    void DeleteIndex(int index) override;
    bool AddItem(TMainItem* item) override;
    void RemoveItem(TMainItem* item) override;
    void RenameItem(TMainItem* item, const std::string& name) override;
    void ClearItems() override { index_.clear(); }
    void SetSorted(bool flag) override;

    // Exact, case-sensitive lookup; none when absent.
    TMainObject* FindChild(const std::string& name) const;

protected:
    struct Entry {
        std::string name;
        TMainItem* item;
    };
    // Position of name in a sorted index, and whether it is there.
    bool Locate(const std::string& name, std::size_t& pos) const;
    bool EnterInIndex(TMainItem* item);
    std::vector<Entry> index_;
    int capacity_ = 0;
    bool sorted_ = true;
};

// Owns its children; may keep them in a source file of its own.
class TResource : public TMainObjectList {
public:
    TResource();
    ~TResource() override;
    std::string_view ClassName() const override { return "TResource"; }

    std::string Path = ".\\";
    std::string SourceName;
    bool Scrambled = false;

    bool AddItem(TMainItem* item) override;
    void Clear() override;
    // Sets ProcessOptions, then AddItem.
    bool AddSceneObject(TMainSceneObject* object, TProcessOptions options);

    void SaveToLoader(TResourceLoader& loader) override;
    void LoadFromLoader(TResourceLoader& loader) override;

    virtual void ListResourceFiles(std::vector<std::string>& lines) {}
    virtual void LoadFromSource();
    virtual void SaveToSource();
};

// The root of the tree.
class TMainScene : public TResource {
public:
    TMainScene();
    ~TMainScene() override;
    std::string_view ClassName() const override { return "TMainScene"; }

    TMainItemList EventList{false};
    TMainItemList AnimationList{false};
    TMainItemList RenderList{false};

    // Reached by lights, textures, meshes: the context's GL object lists.
    // Not owned; the program sets it right after creating the scene.
    TCustomOpenGL* OpenGL = nullptr;
    // The types the loader may create; not owned. Without a table nothing loads.
    const TSceneTypeTable* Types = nullptr;
    // Draws the glyphs of the scene's fonts; none gives empty glyphs. Not owned.
    IGlyphRasterizer* Glyphs = nullptr;
    // The application's settings store; not owned.
    TSceneSettingsStore* Settings = nullptr;

    // Bit 1: read the source from disk; bit 2: from the resource archive.
    int SourceMode = 1;
    bool FromDisk() const { return (SourceMode & 1) != 0; }
    bool FromArchive() const { return (SourceMode & 2) != 0; }

    // The frame-rate display (scene/SceneFonts.cpp): created on the first
    // ShowFps(true), owned as children; cleared when they leave the scene.
    bool ShowFPS = false;
    TSceneFont* FpsFont = nullptr;
    TSceneString* FpsStr = nullptr;
    void ShowFps(bool flag);
    // "<n> fps" while the text is shown.
    void SetFpsValue(int n);
    // "FPS" of the settings store, then the children.
    void ReadSettings() override;
    void WriteSettings() override;

    TMainItem* GetItem(int index) const override;
    int GetCount() const override { return static_cast<int>(objects_.size()); }
    void DeleteIndex(int index) override;
    bool AddItem(TMainItem* item) override;
    void RemoveItem(TMainItem* item) override;
    void Clear() override;

    void ProcessEvents(float dt) override;
    void Animate(float dt) override;
    // Face culling on, render caches reset, then the render list
    // (scene/SceneRender.cpp, with the render state).
    void Render() override;
    // Events, animation, then rendering.
    void ProcessFrame(float dt);

    TMainObject* FindObject(const std::string& path);
    void SetObjectVisible(const std::string& path, bool flag);

private:
    void ForgetFpsObject(TMainItem* item);
    std::vector<TMainItem*> objects_;  // every direct child in order of addition; removed ones are null
};

// ---------------------------------------------------------------- paths

// The path of object relative to root: owner names joined by "/", root-most first.
std::string RefferenceToStr(const TMainItem* root, const TMainItem* object);
// Resolves a slash-separated path from root; none when any name is missing.
TMainObject* FindObject(TMainItem* root, const std::string& path);

// Order of names in a named container: letters compare without regard to case
// first (punctuation before digits before letters), lower case before upper
// case on ties, bytes last. Zero only for equal names.
int CompareNames(const std::string& a, const std::string& b);

// ---------------------------------------------------------------- type table

// The scene types a program knows, by class name (case-insensitive). The
// program fills one table (the scene graph's own types, then fire, sound and
// clock types) and hands it to the scene; the loader creates every described
// object through it.
class TSceneTypeTable {
public:
    using Factory = std::function<std::unique_ptr<TMainObject>()>;

    void Add(const std::string& name, Factory factory);
    template <class T>
    void Add(const std::string& name)
    {
        Add(name, [] { return std::unique_ptr<TMainObject>(new T()); });
    }
    bool Contains(const std::string& name) const;
    // A new object of the named type with its Name set, or none for an unknown type.
    std::unique_ptr<TMainObject> Create(const std::string& typeName, const std::string& name) const;

private:
    std::map<std::string, Factory> types_;  // key: the upper-cased type name
};
