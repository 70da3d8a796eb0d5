#pragma once
// The scene description: an INI-style text in which every object is one
// section named after its container ("[Textures3]"), its class given by "Type".
// TResourceLoader reads and writes it and walks the object tree depth-first.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "gl/FastMath.h"
#include "scene/SceneObjects.h"

class TMainList;

// An INI file held in memory. Section and key names match without regard to
// case; the first occurrence of a section or key counts.
class TIniMemFile {
public:
    // Builds the sections from text lines (trimmed; empty and ";" lines skipped).
    void SetLines(const std::vector<std::string>& lines);
    // The file as text lines: "[Section]", "key=value", a blank line between sections.
    std::vector<std::string> GetLines() const;

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // The raw value, or none when the key is absent.
    const std::string* Find(std::string_view section, std::string_view key) const;
    void Write(std::string_view section, std::string_view key, const std::string& value);

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> values;
        std::unordered_map<std::string, std::size_t> index;  // lower-cased key -> position in values
        const std::string* Find(std::string_view key) const;
    };
    Section* FindSection(std::string_view name);
    const Section* FindSection(std::string_view name) const;
    Section& AddSection(std::string name);
    std::vector<Section> sections_;
    // Lower-cased section name -> position in sections_, so that a file of many
    // sections is read in linear time.
    std::unordered_map<std::string, std::size_t> index_;
};

// Text helpers shared by the loaders.
std::string ExtractFilePath(const std::string& name);   // up to and including the last "\" "/" or ":"
std::string ExtractFileName(const std::string& name);   // the part after it
std::string ExtractFileExt(const std::string& name);    // ".jpg" (from the last dot of the file part)
std::string ChangeFileExt(const std::string& name, const std::string& ext);
std::string LowerAscii(std::string s);
bool SameText(std::string_view a, std::string_view b);
// A file name resolved against a folder: used as is when it has a folder part.
std::string ResolveFileName(const std::string& name, const std::string& folder);
// Splits text into lines at CR, LF or CR LF.
std::vector<std::string> SplitLines(std::string_view text);
// The lines of an asset: from disk (raising when missing) or through the
// process-wide resource reader (a missing member gives no lines).
std::vector<std::string> ReadTextLines(const std::string& fileName, bool fromArchive);
// A file list of alternative pictures or models: one name per line, trimmed;
// blank lines are dropped.
std::vector<std::string> ReadFileList(const std::string& fileName, bool fromDisk);
// Parses an integer / float the way the description does; false when malformed.
bool TryStrToInt(std::string_view text, int& value);
bool TryStrToFloat(std::string_view text, float& value);

class TResourceLoader {
public:
    TResourceLoader() = default;
    ~TResourceLoader();
    TResourceLoader(const TResourceLoader&) = delete;
    TResourceLoader& operator=(const TResourceLoader&) = delete;

    std::string Section;
    std::string FileName;
    bool FromArchive = false;
    bool Modified = false;
    TMainScene* MainScene = nullptr;
    // The types CreateObject may make (the scene's table); not owned.
    const TSceneTypeTable* Types = nullptr;
    bool Scrambled = false;

    void Open();
    // Opens from text already in memory (tests and tools).
    void OpenFromLines(const std::vector<std::string>& lines);
    void CreateNew();
    void Close();
    TIniMemFile* Ini() const { return ini_.get(); }

    bool ReadBool(const std::string& key, bool def) const;
    int ReadInteger(const std::string& key, int def) const;
    float ReadFloat(const std::string& key, float def) const;
    std::string ReadString(const std::string& key, const std::string& def) const;
    TGLColor ReadColor(const std::string& key, const TGLColor& def) const;
    TGLColorBytes ReadByteColor(const std::string& key, TGLColorBytes def) const;
    TGLVector ReadVector(const std::string& key, const TGLVector& def) const;
    // Resolves the path from the scene root; a missing key keeps previous.
    TMainObject* ReadReference(const std::string& key, TMainObject* previous) const;
    template <class T>
    T* ReadReferenceAs(const std::string& key, T* previous) const
    {
        return dynamic_cast<T*>(ReadReference(key, previous));
    }
    std::string ReadFileName(const std::string& key, const std::string& folder) const;
    bool ValueExists(const std::string& key) const;

    void WriteBool(const std::string& key, bool value);
    void WriteInteger(const std::string& key, int value);
    void WriteFloat(const std::string& key, float value);
    void WriteString(const std::string& key, const std::string& value);
    void WriteColor(const std::string& key, const TGLColor& value);
    void WriteByteColor(const std::string& key, TGLColorBytes value);
    void WriteVector(const std::string& key, const TGLVector& value);
    void WriteReference(const std::string& key, const TMainItem* object);
    void WriteFileName(const std::string& key, const std::string& name, const std::string& folder);

    // Creates the object of Section from its Type and Name keys.
    std::unique_ptr<TMainObject> CreateObject();
    void LoadChildren(TMainList& container);
    void SaveChildren(TMainList& container);
    void WriteHeader(const TMainObject& object);

    // The description as text lines, as Close would write it (before scrambling).
    std::vector<std::string> Lines() const;

private:
    const std::string* Raw(const std::string& key) const;
    void EnsureIni();
    std::unique_ptr<TIniMemFile> ini_;
};

// Called for every object the loader enters into the tree, in load order
// (tools list the tree with it). An empty function removes the observer.
using TSceneLoadObserver = std::function<void(TMainObject& object)>;
void SetSceneLoadObserver(TSceneLoadObserver observer);

// Enters every type of the scene graph into types; the fire, sound and clock
// modules add theirs with their own Register functions.
void RegisterSceneTypes(TSceneTypeTable& types);
