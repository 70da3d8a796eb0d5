#include "scene/SceneLoader.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <new>

#include "assets/ResourceFile.h"
#include "assets/Streams.h"
#include "gl/Errors.h"

// ---------------------------------------------------------------- text helpers

namespace {

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

std::string Trim(std::string_view s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return std::string(s.substr(b, e - b));
}

bool IsPathSeparator(char c)
{
    return c == '\\' || c == '/' || c == ':';
}

} // namespace

std::string LowerAscii(std::string s)
{
    for (auto& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string ExtractFilePath(const std::string& name)
{
    for (std::size_t i = name.size(); i > 0; --i)
        if (IsPathSeparator(name[i - 1]))
            return name.substr(0, i);
    return {};
}

std::string ExtractFileName(const std::string& name)
{
    return name.substr(ExtractFilePath(name).size());
}

std::string ExtractFileExt(const std::string& name)
{
    const std::string file = ExtractFileName(name);
    const std::size_t dot = file.rfind('.');
    return dot == std::string::npos ? std::string() : file.substr(dot);
}

std::string ChangeFileExt(const std::string& name, const std::string& ext)
{
    const std::string path = ExtractFilePath(name);
    std::string file = ExtractFileName(name);
    const std::size_t dot = file.rfind('.');
    if (dot != std::string::npos)
        file.resize(dot);
    return path + file + ext;
}

std::string ResolveFileName(const std::string& name, const std::string& folder)
{
    if (name.empty())
        return {};
    if (!ExtractFilePath(name).empty())
        return name;
    return folder + name;
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> ReadTextLines(const std::string& fileName, bool fromArchive)
{
    std::vector<std::uint8_t> bytes;
    if (fromArchive) {
        TResourceFileReader& reader = ResourceReader();
        if (!reader.Open(fileName) || !reader.Stream())
            return {};
        reader.Stream()->SetPosition(0);
        bytes = reader.Stream()->ReadAll();
        reader.Close();
    } else {
        if (fileName.empty())
            return {};
        bytes = ReadFileBytes(NativeFilePath(fileName));
    }
    return SplitLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool TryStrToInt(std::string_view text, int& value)
{
    try {
        value = StrToIntStrict(text);
        return true;
    } catch (const EPyrelumeError&) {
        return false;
    }
}

bool TryStrToFloat(std::string_view text, float& value)
{
    try {
        value = StrToFloatDot(text);
        return true;
    } catch (const EPyrelumeError&) {
        return false;
    }
}

// ---------------------------------------------------------------- TIniMemFile

namespace {
std::string LowerKey(std::string_view s)
{
    std::string r(s);
    for (auto& c : r)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}
} // namespace

const std::string* TIniMemFile::Section::Find(std::string_view key) const
{
    const auto it = index.find(LowerKey(key));
    return it == index.end() ? nullptr : &values[it->second].second;
}

TIniMemFile::Section& TIniMemFile::AddSection(std::string name)
{
    index_.emplace(LowerKey(name), sections_.size());
    sections_.push_back({std::move(name), {}, {}});
    return sections_.back();
}

void TIniMemFile::SetLines(const std::vector<std::string>& lines)
{
    sections_.clear();
    index_.clear();
    // Index of the section being filled; none before the first section and
    // while a repeated section runs (the first occurrence counts).
    std::size_t current = std::string::npos;
    for (const auto& raw : lines) {
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            std::string name = Trim(std::string_view(line).substr(1, line.size() - 2));
            if (FindSection(name)) {
                current = std::string::npos;
            } else {
                AddSection(std::move(name));
                current = sections_.size() - 1;
            }
            continue;
        }
        if (current == std::string::npos)
            continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        Section& section = sections_[current];
        std::string key = Trim(std::string_view(line).substr(0, eq));
        if (section.index.emplace(LowerKey(key), section.values.size()).second)
            section.values.emplace_back(std::move(key), Trim(std::string_view(line).substr(eq + 1)));
    }
}

std::vector<std::string> TIniMemFile::GetLines() const
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (i > 0)
            out.emplace_back();
        out.push_back("[" + sections_[i].name + "]");
        for (const auto& kv : sections_[i].values)
            out.push_back(kv.first + "=" + kv.second);
    }
    return out;
}

TIniMemFile::Section* TIniMemFile::FindSection(std::string_view name)
{
    const auto it = index_.find(LowerKey(name));
    return it == index_.end() ? nullptr : &sections_[it->second];
}

const TIniMemFile::Section* TIniMemFile::FindSection(std::string_view name) const
{
    const auto it = index_.find(LowerKey(name));
    return it == index_.end() ? nullptr : &sections_[it->second];
}

bool TIniMemFile::SectionExists(std::string_view section) const
{
    return FindSection(section) != nullptr;
}

bool TIniMemFile::ValueExists(std::string_view section, std::string_view key) const
{
    return Find(section, key) != nullptr;
}

const std::string* TIniMemFile::Find(std::string_view section, std::string_view key) const
{
    const Section* s = FindSection(section);
    return s ? s->Find(key) : nullptr;
}

void TIniMemFile::Write(std::string_view section, std::string_view key, const std::string& value)
{
    Section* s = FindSection(section);
    if (!s)
        s = &AddSection(std::string(section));
    const auto [it, added] = s->index.emplace(LowerKey(key), s->values.size());
    if (added)
        s->values.emplace_back(std::string(key), value);
    else
        s->values[it->second].second = value;
}

// ---------------------------------------------------------------- TResourceLoader

TResourceLoader::~TResourceLoader()
{
    try {
        Close();
    } catch (...) {
        // A destructor must not throw; a failed write was already reported by
        // an explicit Close where the caller wanted to know.
    }
}

void TResourceLoader::Open()
{
    Close();
    std::vector<std::string> lines;
    if (FromArchive)
        lines = ReadTextLines(FileName, true);
    else if (!FileName.empty())
        lines = ReadTextLines(FileName, false);
    else
        return;
    OpenFromLines(lines);
}

void TResourceLoader::OpenFromLines(const std::vector<std::string>& source)
{
    std::vector<std::string> lines = source;
    if (Scrambled)
        for (auto& l : lines)
            for (auto& c : l)
                c = static_cast<char>(~static_cast<unsigned char>(c));
    ini_ = std::make_unique<TIniMemFile>();
    ini_->SetLines(lines);
}

void TResourceLoader::CreateNew()
{
    Close();
    ini_ = std::make_unique<TIniMemFile>();
    Modified = true;
}

std::vector<std::string> TResourceLoader::Lines() const
{
    return ini_ ? ini_->GetLines() : std::vector<std::string>();
}

void TResourceLoader::Close()
{
    if (Modified && ini_ && !FileName.empty()) {
        Modified = false;
        std::vector<std::string> lines = ini_->GetLines();
        std::string text;
        for (auto& l : lines) {
            if (Scrambled)
                for (auto& c : l)
                    c = static_cast<char>(~static_cast<unsigned char>(c));
            text += l;
            text += "\r\n";
        }
        // Written beside the target, then renamed, so a failed write never
        // leaves a half-written description.
        const std::string target = NativeFilePath(FileName);
        const std::string temp = target + ".tmp";
        WriteFileBytes(temp, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        std::error_code ec;
        std::filesystem::rename(temp, target, ec);
        if (ec) {
            std::filesystem::remove(temp, ec);
            RaiseMessage("Cannot create file \"" + FileName + "\". " + ec.message());
        }
    }
    Modified = false;
    ini_.reset();
}

void TResourceLoader::EnsureIni()
{
    if (!ini_)
        ini_ = std::make_unique<TIniMemFile>();
}

const std::string* TResourceLoader::Raw(const std::string& key) const
{
    return ini_ ? ini_->Find(Section, key) : nullptr;
}

bool TResourceLoader::ValueExists(const std::string& key) const
{
    return Raw(key) != nullptr;
}

bool TResourceLoader::ReadBool(const std::string& key, bool def) const
{
    int v = 0;
    const std::string* s = Raw(key);
    if (!s || !TryStrToInt(*s, v))
        return def;
    return v != 0;
}

int TResourceLoader::ReadInteger(const std::string& key, int def) const
{
    int v = 0;
    const std::string* s = Raw(key);
    if (!s || !TryStrToInt(*s, v))
        return def;
    return v;
}

float TResourceLoader::ReadFloat(const std::string& key, float def) const
{
    float v = 0;
    const std::string* s = Raw(key);
    if (!s || !TryStrToFloat(*s, v))
        return def;
    return v;
}

std::string TResourceLoader::ReadString(const std::string& key, const std::string& def) const
{
    const std::string* s = Raw(key);
    if (!s)
        return def;
    // A key present with an empty value is not the same as a missing key.
    return s->empty() ? std::string(" ") : *s;
}

TGLColor TResourceLoader::ReadColor(const std::string& key, const TGLColor& def) const
{
    const std::string* s = Raw(key);
    return s ? StrToColor(*s) : def;
}

TGLColorBytes TResourceLoader::ReadByteColor(const std::string& key, TGLColorBytes def) const
{
    const std::string* s = Raw(key);
    return s ? StrToColorBytes(*s) : def;
}

TGLVector TResourceLoader::ReadVector(const std::string& key, const TGLVector& def) const
{
    const std::string* s = Raw(key);
    return s ? StrToVector(*s) : def;
}

TMainObject* TResourceLoader::ReadReference(const std::string& key, TMainObject* previous) const
{
    const std::string* s = Raw(key);
    if (!s)
        return previous;
    return FindObject(MainScene, *s);
}

std::string TResourceLoader::ReadFileName(const std::string& key, const std::string& folder) const
{
    const std::string* s = Raw(key);
    if (!s || s->empty())
        return {};
    return ResolveFileName(*s, folder);
}

void TResourceLoader::WriteBool(const std::string& key, bool value)
{
    WriteString(key, value ? "1" : "0");
}

void TResourceLoader::WriteInteger(const std::string& key, int value)
{
    WriteString(key, std::to_string(value));
}

void TResourceLoader::WriteFloat(const std::string& key, float value)
{
    WriteString(key, FloatToStrGeneral(value));
}

void TResourceLoader::WriteString(const std::string& key, const std::string& value)
{
    EnsureIni();
    ini_->Write(Section, key, value);
}

void TResourceLoader::WriteColor(const std::string& key, const TGLColor& value)
{
    WriteString(key, ColorToStr(value));
}

void TResourceLoader::WriteByteColor(const std::string& key, TGLColorBytes value)
{
    WriteString(key, ColorBytesToStr(value));
}

void TResourceLoader::WriteVector(const std::string& key, const TGLVector& value)
{
    WriteString(key, VectorToStr(value));
}

void TResourceLoader::WriteReference(const std::string& key, const TMainItem* object)
{
    WriteString(key, RefferenceToStr(MainScene, object));
}

void TResourceLoader::WriteFileName(const std::string& key, const std::string& name, const std::string& folder)
{
    if (SameText(ExtractFilePath(name), folder))
        WriteString(key, ExtractFileName(name));
    else
        WriteString(key, name);
}

// ---------------------------------------------------------------- the walks

namespace {
TSceneLoadObserver& LoadObserver()
{
    static TSceneLoadObserver observer;
    return observer;
}
} // namespace

void SetSceneLoadObserver(TSceneLoadObserver observer)
{
    LoadObserver() = std::move(observer);
}

std::unique_ptr<TMainObject> TResourceLoader::CreateObject()
{
    const std::string type = ReadString("Type", "");
    const std::string name = ReadString("Name", "");
    if (type.empty())
        RaiseMessage("TResourceLoader.CreateObject error: Unknown Object Type! for " + Section);
    if (name.empty())
        RaiseMessage("TResourceLoader.CreateObject error: Empty Object Name! for " + Section);
    std::unique_ptr<TMainObject> obj = Types ? Types->Create(type, name) : nullptr;
    if (!obj)
        RaiseMessage("TResourceLoader.CreateObject error: Object not created! for " + Section + " Type: " + type +
                     " Name: " + name);
    if (auto* so = dynamic_cast<TMainSceneObject*>(obj.get()))
        so->ProcessOptions = StrToProcessOptions(ReadString("ProcessOptions", ""));
    return obj;
}

namespace {

// The containers whose children are being read, with the loader reading them,
// and the source files being read: a child that reuses the name of a
// container above it, or a source file that leads back to itself, would
// otherwise be read again and again until the stack runs out.
struct TActiveContainer {
    const TResourceLoader* Loader;
    std::string Name;
};
thread_local std::vector<TActiveContainer> activeContainers;
thread_local std::vector<std::string> activeSources;
// Deeper nesting than this is not a scene but a stack overflow in waiting.
constexpr std::size_t kMaxNesting = 64;

template <class T>
class TActiveGuard {
public:
    TActiveGuard(std::vector<T>& list, T item) : list_(list) { list_.push_back(std::move(item)); }
    ~TActiveGuard() { list_.pop_back(); }
    TActiveGuard(const TActiveGuard&) = delete;
    TActiveGuard& operator=(const TActiveGuard&) = delete;

private:
    std::vector<T>& list_;
};

} // namespace

void TResourceLoader::LoadChildren(TMainList& container)
{
    if (!container.ChildrenPersist)
        return;
    for (const TActiveContainer& a : activeContainers)
        if (a.Loader == this && SameText(a.Name, container.Name()))
            RaiseError("TResourceLoader", "LoadChildren",
                       "Container \"" + container.Name() + "\" is already being read (section " + Section + ") file " +
                           FileName);
    if (activeContainers.size() >= kMaxNesting)
        RaiseError("TResourceLoader", "LoadChildren",
                   "Containers nested deeper than " + std::to_string(kMaxNesting) + " levels (section " + Section +
                       ") file " + FileName);
    TActiveGuard<TActiveContainer> reading(activeContainers, {this, container.Name()});
    const std::string containerSection = Section;
    container.SetCapacity(ReadInteger("Capacity", container.GetCapacity()));
    const int count = ReadInteger("Count", 0);
    const std::string base = container.Name();
    for (int i = 1; i <= count; ++i) {
        Section = base + std::to_string(i);
        std::unique_ptr<TMainObject> obj = CreateObject();
        TMainObject* child = obj.get();
        if (!container.AddItem(child)) {
            // Same name as an earlier child: it never enters the tree.
            Section = containerSection;
            continue;
        }
        obj.release();
        if (LoadObserver())
            LoadObserver()(*child);
        child->LoadFromLoader(*this);
        if (auto* res = dynamic_cast<TResource*>(child)) {
            std::string source = ReadString("SourceName", "");
            if (!source.empty()) {
                res->SourceName = ResolveFileName(source, res->Path);
                res->LoadFromSource();
            } else {
                LoadChildren(*res);
            }
        }
    }
    Section = containerSection;
}

void TResourceLoader::WriteHeader(const TMainObject& object)
{
    WriteString("Type", std::string(object.ClassName()));
    WriteString("Name", object.Name());
    if (auto* so = dynamic_cast<const TMainSceneObject*>(&object))
        if (so->ProcessOptions != 0)
            WriteString("ProcessOptions", ProcessOptionsToStr(so->ProcessOptions));
}

void TResourceLoader::SaveChildren(TMainList& container)
{
    if (!container.ChildrenPersist)
        return;
    const std::string containerSection = Section;
    std::vector<TMainObject*> children;
    for (int i = 0; i < container.GetCount(); ++i)
        if (auto* o = dynamic_cast<TMainObject*>(container.GetItem(i)))
            children.push_back(o);
    WriteInteger("Capacity", std::max(container.GetCapacity(), static_cast<int>(children.size())));
    WriteInteger("Count", static_cast<int>(children.size()));
    const std::string base = container.Name();
    int i = 0;
    for (TMainObject* child : children) {
        Section = base + std::to_string(++i);
        WriteHeader(*child);
        auto* res = dynamic_cast<TResource*>(child);
        if (res && !res->SourceName.empty()) {
            WriteFileName("SourceName", res->SourceName, res->Path);
            res->SaveToSource();
        } else {
            child->SaveToLoader(*this);
            if (res)
                SaveChildren(*res);
        }
        Section = containerSection;
    }
    Section = containerSection;
}

// ---------------------------------------------------------------- object keys

void TMainObject::SaveToLoader(TResourceLoader& loader)
{
    if (!Visible)
        loader.WriteBool("Visible", false);
    if (Alpha)
        loader.WriteBool("Alpha", true);
}

void TMainObject::LoadFromLoader(TResourceLoader& loader)
{
    SetVisible(loader.ReadBool("Visible", Visible));
    Alpha = loader.ReadBool("Alpha", Alpha);
}

void TResource::SaveToLoader(TResourceLoader& loader)
{
    TMainObject::SaveToLoader(loader);
    if (Path != ".\\")
        loader.WriteString("Path", Path);
}

void TResource::LoadFromLoader(TResourceLoader& loader)
{
    TMainObject::LoadFromLoader(loader);
    Path = loader.ReadString("Path", Path);
}

// ---------------------------------------------------------------- TResource sources

void TResource::LoadFromSource()
{
    TMainScene* scene = MainScene;
    const int mode = scene ? scene->SourceMode : 1;
    if (!Loadable || mode == 0)
        return;
    if ((mode & 1) && SourceName.empty())
        return;
    const std::string fileName = ResolveFileName(SourceName, Path);
    for (const std::string& active : activeSources)
        if (SameText(active, fileName))
            RaiseError("TResource", "LoadFromSource", "Source file " + fileName + " of \"" + Name() +
                                                          "\" is already being read");
    TActiveGuard<std::string> reading(activeSources, fileName);
    Clear();
    std::unique_ptr<TResourceLoader> disk, archive;
    auto make = [&](bool fromArchive) {
        auto l = std::make_unique<TResourceLoader>();
        l->FromArchive = fromArchive;
        l->Scrambled = Scrambled;
        l->FileName = fileName;
        l->Section = Name();
        l->MainScene = scene;
        l->Types = scene ? scene->Types : nullptr;
        l->Open();
        return l;
    };
    try {
        if (mode & 1)
            disk = make(false);
        if (mode & 2)
            archive = make(true);
        if (archive)
            LoadFromLoader(*archive);
        if (disk)
            LoadFromLoader(*disk);
        if (disk)
            disk->LoadChildren(*this);
        if (archive)
            archive->LoadChildren(*this);
    } catch (const std::bad_alloc&) {
        // Whatever ran out of memory while this file was read, the program
        // reports it as its own error naming the file.
        RaiseError("TResource", "LoadFromSource", "Not enough memory to load file " + fileName);
    }
}

void TResource::SaveToSource()
{
    TMainScene* scene = MainScene;
    const int mode = scene ? scene->SourceMode : 1;
    if (!Loadable || !(mode & 1) || SourceName.empty())
        return;
    TResourceLoader loader;
    loader.FromArchive = false;
    loader.Scrambled = Scrambled;
    loader.FileName = ResolveFileName(SourceName, Path);
    loader.Section = Name();
    loader.MainScene = scene;
    loader.CreateNew();
    loader.WriteHeader(*this);
    SaveToLoader(loader);
    loader.SaveChildren(*this);
    loader.Close();
}

std::vector<std::string> ReadFileList(const std::string& fileName, bool fromDisk)
{
    std::vector<std::string> out;
    for (auto& l : ReadTextLines(fileName, !fromDisk)) {
        std::size_t b = 0, e = l.size();
        while (b < e && static_cast<unsigned char>(l[b]) <= ' ')
            ++b;
        while (e > b && static_cast<unsigned char>(l[e - 1]) <= ' ')
            --e;
        if (e > b)
            out.push_back(l.substr(b, e - b));
    }
    return out;
}
