#include "assets/File3DM.h"

#include <algorithm>
#include <cctype>

#include "assets/ResourceFile.h"
#include "gl/Errors.h"
#include "gl/FastMath.h"

namespace {

// A face section announcing more faces than the file holds repeats its last
// face for the rest; beyond this many repeats the file is taken as damaged
// instead of exhausting memory.
constexpr std::int64_t kMaxFacePadding = 1 << 20;
// Upper bound of an animation's frame count ("Length").
constexpr std::int32_t kMaxFrames = 1 << 20;

std::string Lower(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

inline bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view Trim(std::string_view s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlankOrControl(s[b]))
        ++b;
    while (e > b && IsBlankOrControl(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

// s[from, to) clamped to the string; empty when to <= from.
std::string_view Sub(std::string_view s, std::size_t from, std::size_t to)
{
    to = std::min(to, s.size());
    if (from >= to)
        return {};
    return s.substr(from, to - from);
}

[[noreturn]] void IndexError(const char* cls, std::int64_t index)
{
    RaiseError(cls, "Get", "Index out of bounds (" + std::to_string(index) + ")");
}

// Positions of "[a,b,c]": after "[" (or the line start when there is none) up
// to the first comma, between the first and second comma, and from the second
// comma to the last character.
struct TriplePositions {
    std::string_view a, b, c;
};

TriplePositions SplitTriple(std::string_view s)
{
    const std::size_t open = s.find('[');
    const std::size_t start = open == std::string_view::npos ? 0 : open + 1;
    const std::size_t c1 = s.find(',', start);
    const std::size_t c2 = c1 == std::string_view::npos ? std::string_view::npos : s.find(',', c1 + 1);
    TriplePositions t;
    t.a = Sub(s, start, c1);
    // A missing comma leaves the items after it empty (and so a conversion error).
    if (c2 != std::string_view::npos) {
        t.b = Sub(s, c1 + 1, c2);
        t.c = Sub(s, c2 + 1, s.size() - 1);
    }
    return t;
}

T3DMVertex ParseTriple(std::string_view s)
{
    const auto t = SplitTriple(s);
    return {StrToFloatDot(t.a), StrToFloatDot(t.b), StrToFloatDot(t.c)};
}

T3DMFace ParseFace(std::string_view s)
{
    const auto t = SplitTriple(s);
    return {StrToIntStrict(t.a), StrToIntStrict(t.b), StrToIntStrict(t.c)};
}

// "[u,v,w]" or "[u,v]": the first two reals.
T3DMTexCoord ParseTexCoord(std::string_view s)
{
    const std::size_t open = s.find('[');
    const std::size_t start = open == std::string_view::npos ? 0 : open + 1;
    const std::size_t c1 = s.find(',', start);
    T3DMTexCoord t;
    t.U = StrToFloatDot(Sub(s, start, c1));
    std::string_view v;
    if (c1 != std::string_view::npos) {
        const std::size_t c2 = s.find(',', c1 + 1);
        v = c2 != std::string_view::npos ? Sub(s, c1 + 1, c2) : Sub(s, c1 + 1, s.size() - 1);
    }
    t.V = StrToFloatDot(v);
    return t;
}

// "(color 45.6662 16.6665 16.6665)": from the eighth character on, three reals
// separated by single blanks, the last ending before the closing parenthesis.
T3DMColor ParseColor(std::string_view s)
{
    const std::string_view rest = Sub(s, 7, s.size());
    const std::size_t b1 = rest.find(' ');
    const std::size_t b2 = b1 == std::string_view::npos ? std::string_view::npos : rest.find(' ', b1 + 1);
    std::string_view r = Sub(rest, 0, b1), g, b;
    if (b2 != std::string_view::npos) {
        g = Sub(rest, b1 + 1, b2);
        b = Sub(rest, b2 + 1, rest.size() - 1);
    }
    return {StrToFloatDot(r), StrToFloatDot(g), StrToFloatDot(b)};
}

struct KeyLine {
    std::string_view key, value;
};

// "Key value with blanks"; a line without a blank is all value.
KeyLine SplitKey(std::string_view line)
{
    const std::size_t sp = line.find(' ');
    if (sp == std::string_view::npos)
        return {{}, line};
    return {line.substr(0, sp), line.substr(sp + 1)};
}

bool FirstLetterIsT(std::string_view v) { return !v.empty() && std::toupper(static_cast<unsigned char>(v[0])) == 'T'; }

std::string MapName(std::string_view v) { return Lower(v) == "undefined" ? std::string() : std::string(v); }

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t p = 0;
    while (p < text.size()) {
        std::size_t e = p;
        while (e < text.size() && text[e] != '\r' && text[e] != '\n')
            ++e;
        lines.push_back(text.substr(p, e - p));
        if (e < text.size() && text[e] == '\r')
            ++e;
        if (e < text.size() && text[e] == '\n')
            ++e;
        p = e;
    }
    return lines;
}

}  // namespace

// ---- Lists ----

template <typename Item>
const Item& T3DMItemList<Item>::Items(std::int32_t index) const
{
    if (index < 0 || index >= Count())
        IndexError("T3DMList", index);
    return items_[static_cast<std::size_t>(index)];
}

template <typename Item>
Item& T3DMItemList<Item>::Items(std::int32_t index)
{
    if (index < 0 || index >= Count())
        IndexError("T3DMList", index);
    return items_[static_cast<std::size_t>(index)];
}

template class T3DMItemList<T3DMVertex>;
template class T3DMItemList<T3DMColor>;
template class T3DMItemList<T3DMTexCoord>;
template class T3DMItemList<T3DMFace>;

const T3DMVertex& T3DMVertexList::Get(std::int32_t number) const
{
    if (number < 1 || number > Count())
        IndexError("T3DMVertexList", number);
    return items_[static_cast<std::size_t>(number - 1)];
}

const T3DMColor& T3DMColorList::Get(std::int32_t number) const
{
    if (number < 1 || number > Count())
        IndexError("T3DMColorList", number);
    return items_[static_cast<std::size_t>(number - 1)];
}

const T3DMTexCoord& T3DMTextureCoordList::Get(std::int32_t number) const
{
    if (number < 1 || number > Count())
        IndexError("T3DMTextureCoordList", number);
    return items_[static_cast<std::size_t>(number - 1)];
}

T3DMVertexList& T3DMVertexFrameList::Frames(std::int32_t index)
{
    if (index < 0 || index >= Count())
        RaiseError("T3DMVertexFrameList", "Frames", "Index out of bounds (" + std::to_string(index) + ")");
    return *frames_[static_cast<std::size_t>(index)];
}

const T3DMVertexList& T3DMVertexFrameList::Frames(std::int32_t index) const
{
    return const_cast<T3DMVertexFrameList*>(this)->Frames(index);
}

void T3DMVertexFrameList::SetLength(std::int32_t n)
{
    length_ = std::max(n, 0);
    if (length_ < Count())
        frames_.resize(static_cast<std::size_t>(length_));
}

T3DMVertexList* T3DMVertexFrameList::AddFrame()
{
    if (Count() >= length_)
        return nullptr;
    frames_.push_back(std::make_unique<T3DMVertexList>());
    return frames_.back().get();
}

// ---- Materials ----

void T3DMMaterial::SetName(const std::string& name)
{
    const std::string old = name_;
    name_ = name;
    if (owner_)
        owner_->Reindex(this, old);
}

void T3DMMaterial::SetOwner(T3DMMaterialList& list)
{
    if (owner_ == &list)
        return;
    // Only a listed material has an owner to take it from; others are added with Add.
    if (!owner_)
        RaiseError("T3DMMaterial", "SetOwner", "Material is in no list");
    list.Add(owner_->Remove(this));
}

T3DMMaterialList::~T3DMMaterialList() { Clear(); }

T3DMMaterial* T3DMMaterialList::Add(std::unique_ptr<T3DMMaterial> material)
{
    if (!material)
        RaiseMessage("T3DMMaterialList error: Add a NIL Material");
    T3DMMaterial* m = material.get();
    index_.emplace(Lower(m->name_), m);
    items_.push_back(std::move(material));
    m->owner_ = this;
    return m;
}

T3DMMaterial* T3DMMaterialList::FindMaterial(const std::string& name) const
{
    const auto it = index_.find(Lower(name));
    return it == index_.end() ? nullptr : it->second;
}

T3DMMaterial& T3DMMaterialList::Items(std::int32_t index) const
{
    if (index < 0 || index >= Count())
        RaiseError("T3DMMaterialList", "Items", "Index out of bounds (" + std::to_string(index) + ")");
    return *items_[static_cast<std::size_t>(index)];
}

std::unique_ptr<T3DMMaterial> T3DMMaterialList::Remove(T3DMMaterial* material)
{
    const auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& p) { return p.get() == material; });
    if (it == items_.end())
        return nullptr;
    auto range = index_.equal_range(Lower(material->name_));
    for (auto i = range.first; i != range.second; ++i)
        if (i->second == material) {
            index_.erase(i);
            break;
        }
    std::unique_ptr<T3DMMaterial> taken = std::move(*it);
    items_.erase(it);
    taken->owner_ = nullptr;
    return taken;
}

void T3DMMaterialList::Reindex(T3DMMaterial* material, const std::string& oldName)
{
    auto range = index_.equal_range(Lower(oldName));
    for (auto i = range.first; i != range.second; ++i)
        if (i->second == material) {
            index_.erase(i);
            break;
        }
    index_.emplace(Lower(material->name_), material);
}

void T3DMMaterialList::Clear()
{
    index_.clear();
    for (auto& m : items_)
        m->owner_ = nullptr;
    items_.clear();
}

// ---- Parser ----

class T3DMParser {
public:
    T3DMParser(T3DMFile& file, std::string_view text) : file_(file), lines_(SplitLines(text)) {}

    void Run()
    {
        std::string_view tag;
        std::int32_t count = 0;
        while (NextTag(tag, count))
            Dispatch(tag, count);
    }

private:
    // The next line, trimmed; lines of zero length are skipped. False at the end.
    bool ReadLine(std::string_view& line)
    {
        while (pos_ < lines_.size() && lines_[pos_].empty())
            ++pos_;
        if (pos_ >= lines_.size())
            return false;
        line = Trim(lines_[pos_++]);
        return true;
    }

    // Skips lines up to the next one that begins with "#" and splits it.
    bool NextTag(std::string_view& tag, std::int32_t& count)
    {
        std::string_view line;
        do {
            if (!ReadLine(line))
                return false;
        } while (line.empty() || line[0] != '#');
        const std::size_t sp = line.find(' ');
        if (sp == std::string_view::npos) {
            tag = line.substr(1);
            count = StrToIntStrict("");
        } else {
            tag = line.substr(1, sp - 1);
            count = StrToIntStrict(line.substr(sp + 1));
        }
        return true;
    }

    T3DMObject& Current(std::string_view tag)
    {
        if (file_.objects_.empty())
            RaiseMessage("T3DMFile error: Section #" + std::string(tag) + " comes before any #Object section");
        return *file_.objects_.back();
    }

    void Dispatch(std::string_view tag, std::int32_t n)
    {
        std::string_view line;
        if (tag == "Header") {
            for (std::int32_t i = 0; i < n && ReadLine(line); ++i) {
                const auto kv = SplitKey(line);
                if (kv.key == "Version") {
                    file_.Version = StrToIntStrict(kv.value);
                    break;
                }
            }
        } else if (tag == "Object") {
            file_.objects_.push_back(std::make_unique<T3DMObject>());
            T3DMObject& obj = *file_.objects_.back();
            for (std::int32_t i = 0; i < n && ReadLine(line); ++i) {
                const auto kv = SplitKey(line);
                if (kv.key == "Name") {
                    obj.Name = std::string(kv.value);
                    break;
                }
            }
        } else if (tag == "Vertices") {
            T3DMObject& obj = Current(tag);
            for (std::int32_t i = 0; i < n && ReadLine(line); ++i)
                obj.Vertices.Add(ParseTriple(line));
        } else if (tag == "Normals") {
            T3DMObject& obj = Current(tag);
            for (std::int32_t i = 0; i < n && ReadLine(line); ++i)
                obj.Normals.Add(ParseTriple(line));
            obj.HasNormals = obj.Normals.Count() > 0;
        } else if (tag == "TextureCoords") {
            T3DMObject& obj = Current(tag);
            for (std::int32_t i = 0; i < n && ReadLine(line); ++i)
                obj.TextureCoords.Add(ParseTexCoord(line));
            obj.HasTextureCoords = obj.TextureCoords.Count() > 0;
        } else if (tag == "Colors") {
            T3DMObject& obj = Current(tag);
            for (std::int32_t i = 0; i < n && ReadLine(line); ++i)
                obj.Colors.Add(ParseColor(line));
            obj.HasColors = obj.Colors.Count() > 0;
        } else if (tag == "VertexFaces") {
            ReadFaces(Current(tag).VertexFaces, n);
        } else if (tag == "TextureCoordFaces") {
            ReadFaces(Current(tag).TextureCoordFaces, n);
        } else if (tag == "ColorFaces") {
            ReadFaces(Current(tag).ColorFaces, n);
        } else if (tag == "FaceMatID") {
            T3DMObject& obj = Current(tag);
            for (std::int32_t i = 0; i < n && ReadLine(line); ++i)
                obj.FaceMatIDs.push_back(StrToIntStrict(line));
        } else if (tag == "Material") {
            T3DMObject& obj = Current(tag);
            if (ReadLine(line)) {
                const auto kv = SplitKey(line);
                if (kv.key == "Name")
                    obj.MaterialName = std::string(kv.value);
            }
        } else if (tag == "Transform") {
            ReadTransform(Current(tag), n);
        } else if (tag == "MaterialStandard") {
            file_.Materials.Add(ReadMaterialStandard(n));
        } else if (tag == "MaterialMultiSubObject") {
            ReadMultiMaterial(n);
        } else if (tag == "Animation") {
            T3DMObject& obj = Current(tag);
            for (std::int32_t i = 0; i < n && ReadLine(line); ++i) {
                const auto kv = SplitKey(line);
                if (kv.key == "Length") {
                    const std::int32_t frames = StrToIntStrict(kv.value);
                    if (frames > kMaxFrames)
                        RaiseMessage("T3DMFile error: Animation length " + std::to_string(frames) + " is too large");
                    obj.Frames.SetLength(frames);
                } else if (kv.key == "Loop") {
                    obj.Frames.Loop = Lower(kv.value) == "true";
                }
            }
        } else if (tag == "AnimMesh") {
            ReadAnimMesh(Current(tag));
        } else {
            for (std::int32_t i = 0; i < n && ReadLine(line); ++i) {
            }
        }
    }

    void ReadFaces(T3DMFaceList& faces, std::int32_t n)
    {
        T3DMFace last{};
        std::string_view line;
        for (std::int32_t i = 0; i < n; ++i) {
            if (!ReadLine(line)) {
                // The file has ended: the remaining faces repeat the last one read.
                const std::int64_t remaining = std::int64_t(n) - i;
                if (remaining > kMaxFacePadding)
                    RaiseMessage("T3DMFile error: Face section announces " + std::to_string(n) +
                                 " faces but the file ends after " + std::to_string(i));
                for (std::int64_t k = 0; k < remaining; ++k)
                    faces.Add(last);
                return;
            }
            last = ParseFace(line);
            faces.Add(last);
        }
    }

    void ReadTransform(T3DMObject& obj, std::int32_t n)
    {
        obj.HasTransform = true;
        obj.MirrorFlags = 0;
        std::string_view line;
        for (std::int32_t i = 0; i < n && ReadLine(line); ++i) {
            if (line.find("Scale") != std::string_view::npos) {
                const std::size_t sp = line.find(' ');
                const auto s = ParseTriple(sp == std::string_view::npos ? std::string_view() : line.substr(sp + 1));
                if (s.X < 0)
                    obj.MirrorFlags |= 1;
                if (s.Y < 0)
                    obj.MirrorFlags |= 2;
                if (s.Z < 0)
                    obj.MirrorFlags |= 4;
            } else if (line.find("(matrix3") != std::string_view::npos) {
                // Numbers start after "[" or "," and end before "," or "]".
                int k = 0;
                std::size_t p = 0;
                while (k < 12 && p < line.size()) {
                    if (line[p] == '[' || line[p] == ',') {
                        const std::size_t start = p + 1;
                        std::size_t e = start;
                        while (e < line.size() && line[e] != ',' && line[e] != ']')
                            ++e;
                        if (e >= line.size())
                            break;
                        obj.Matrix[k++] = StrToFloatDot(line.substr(start, e - start));
                        p = e;
                        if (line[p] == ']')
                            ++p;
                    } else {
                        ++p;
                    }
                }
            }
        }
    }

    std::unique_ptr<T3DMMaterialStandard> ReadMaterialStandard(std::int32_t n)
    {
        auto m = std::make_unique<T3DMMaterialStandard>();
        std::string_view line;
        for (std::int32_t i = 0; i < n && ReadLine(line); ++i) {
            const auto [key, value] = SplitKey(line);
            if (key == "Name") {
                m->SetName(std::string(value));
            } else if (key == "ShaderType") {
                const std::size_t sp = value.find(' ');
                m->ShaderType = StrToIntStrict(sp == std::string_view::npos ? value : value.substr(0, sp));
            } else if (key == "Faceted") {
                m->Faceted = FirstLetterIsT(value);
            } else if (key == "WireSize") {
                m->WireSize = StrToIntStrict(value);
            } else if (key == "TwoSided") {
                m->TwoSided = FirstLetterIsT(value);
            } else if (key == "OpacityType") {
                m->OpacityType = StrToIntStrict(value);
            } else if (key == "Opacity") {
                m->Opacity = StrToFloatDot(value);
            } else if (key == "selfIllumColor") {
                m->SelfIllumColor = ParseColor(value);
            } else if (key == "Ambient") {
                m->Ambient = ParseColor(value);
            } else if (key == "Diffuse") {
                m->Diffuse = ParseColor(value);
            } else if (key == "Specular") {
                m->Specular = ParseColor(value);
            } else if (key == "SpecularLevel") {
                m->SpecularLevel = StrToFloatDot(value);
            } else if (key == "Glossiness") {
                m->Glossiness = StrToFloatDot(value);
            } else if (key == "DiffuseMap") {
                m->DiffuseMap = MapName(value);
            } else if (key == "OpacityMap") {
                m->OpacityMap = MapName(value);
            } else if (key == "BumpMap") {
                m->BumpMap = MapName(value);
            } else if (key == "ReflectionMap") {
                m->ReflectionMap = MapName(value);
            }
        }
        return m;
    }

    void ReadMultiMaterial(std::int32_t n)
    {
        auto owned = std::make_unique<T3DMMaterialMultiSubObject>();
        std::int32_t subs = 0;
        std::string_view line;
        for (std::int32_t i = 0; i < n && ReadLine(line); ++i) {
            const auto kv = SplitKey(line);
            if (kv.key == "Name")
                owned->SetName(std::string(kv.value));
            else if (kv.key == "NumSubs")
                subs = StrToIntStrict(kv.value);
        }
        auto* multi = static_cast<T3DMMaterialMultiSubObject*>(file_.Materials.Add(std::move(owned)));
        for (std::int32_t s = 0; s < subs; ++s) {
            std::string_view tag;
            std::int32_t count = 0;
            if (!NextTag(tag, count))
                return;
            if (tag != "MaterialStandard")
                RaiseMessage("T3DMFile error: SubMaterial is not Standard");
            multi->SubMaterials.Add(ReadMaterialStandard(count));
        }
    }

    void ReadAnimMesh(T3DMObject& obj)
    {
        const std::int32_t vertices = obj.Vertices.Count();
        std::string_view line;
        for (std::int32_t f = 0; f < obj.Frames.Length(); ++f) {
            if (!ReadLine(line))
                return;
            if (SplitKey(line).key != "Frame")
                RaiseMessage("T3DMFile.ReadAnimMesh error: It is not vertex frame animation!");
            T3DMVertexList& frame = f < obj.Frames.Count() ? obj.Frames.Frames(f) : *obj.Frames.AddFrame();
            for (std::int32_t v = 0; v < vertices; ++v) {
                if (!ReadLine(line))
                    return;
                frame.Add(ParseTriple(line));
            }
        }
    }

    T3DMFile& file_;
    std::vector<std::string_view> lines_;
    std::size_t pos_ = 0;
};

// ---- T3DMFile ----

T3DMObject& T3DMFile::Objects(std::int32_t index) const
{
    if (index < 0 || index >= Count())
        RaiseError("T3DMFile", "Objects", "Index out of bounds (" + std::to_string(index) + ")");
    return *objects_[static_cast<std::size_t>(index)];
}

void T3DMFile::Clear()
{
    objects_.clear();
    Materials.Clear();
    Version = 0;
}

void T3DMFile::LoadFromText(std::string_view text)
{
    Clear();
    T3DMParser(*this, text).Run();
}

void T3DMFile::LoadFromStream(TStream& stream)
{
    const std::vector<std::uint8_t> bytes = stream.ReadAll();
    LoadFromText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void T3DMFile::LoadFromFile(const std::string& name)
{
    Clear();
    if (FromArchive) {
        TResourceFileReader& reader = ResourceReader();
        if (!reader.Open(name) || !reader.Stream())
            return;
        // Read everything first so the shared reader is free again before parsing.
        std::vector<std::uint8_t> bytes = reader.Stream()->ReadAll();
        reader.Close();
        LoadFromText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        return;
    }
    TFileStream file(name, TFileStream::Mode::OpenRead);
    LoadFromStream(file);
}
