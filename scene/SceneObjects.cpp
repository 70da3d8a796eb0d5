#include "scene/SceneObjects.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "gl/Errors.h"

// ---------------------------------------------------------------- options

std::string ProcessOptionsToStr(TProcessOptions options)
{
    if ((options & 7) == 0)
        return {};
    return SetToStr({{(options & poRender) != 0, "Render"},
                     {(options & poAnimation) != 0, "Animation"},
                     {(options & poEvents) != 0, "Events"}});
}

std::string SetToStr(std::initializer_list<std::pair<bool, const char*>> members)
{
    std::string s = "[";
    for (const auto& [present, name] : members) {
        if (!present)
            continue;
        if (s.size() > 1)
            s += ",";
        s += name;
    }
    return s + "]";
}

TProcessOptions StrToProcessOptions(std::string_view text)
{
    TProcessOptions o = 0;
    if (text.find("Render") != std::string_view::npos)
        o |= poRender;
    if (text.find("Animation") != std::string_view::npos)
        o |= poAnimation;
    if (text.find("Events") != std::string_view::npos)
        o |= poEvents;
    return o;
}

// ---------------------------------------------------------------- names

namespace {

// Primary weight of one byte: punctuation and others, then digits, then letters
// (case folded).
int PrimaryWeight(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return 0x200 + c;
    if (std::isalpha(c))
        return 0x300 + std::tolower(c);
    return c;
}

} // namespace

int CompareNames(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int wa = PrimaryWeight(static_cast<unsigned char>(a[i]));
        const int wb = PrimaryWeight(static_cast<unsigned char>(b[i]));
        if (wa != wb)
            return wa < wb ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    // Same letters: lower case sorts before upper case at the first difference.
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (ca != cb) {
            const bool la = std::islower(ca) != 0;
            const bool lb = std::islower(cb) != 0;
            if (la != lb)
                return la ? -1 : 1;
            return ca < cb ? -1 : 1;
        }
    }
    return 0;
}

// ---------------------------------------------------------------- TMainItem

TMainItem::~TMainItem()
{
    if (Owner) {
        TResource* owner = Owner;
        Owner = nullptr;
        owner->RemoveItem(this);
    }
}

void TMainItem::Render()
{
    if (!Visible)
        return;
    BeginRender();
    RenderOpaque();
    if (Alpha)
        RenderAlpha();
    EndRender();
}

// ---------------------------------------------------------------- TMainObject

void TMainObject::SetName(const std::string& name)
{
    if (name == name_)
        return;
    if (Owner)
        Owner->RenameItem(this, name);
    else
        name_ = name;
}

TSceneSettingsStore* TMainSceneObject::SettingsStore() const
{
    return MainScene ? MainScene->Settings : nullptr;
}

// ---------------------------------------------------------------- TMainList

void TMainList::ProcessEvents(float dt)
{
    for (int i = 0; i < GetCount(); ++i)
        if (TMainItem* c = GetItem(i))
            c->ProcessEvents(dt);
}

void TMainList::Animate(float dt)
{
    for (int i = 0; i < GetCount(); ++i)
        if (TMainItem* c = GetItem(i))
            c->Animate(dt);
}

void TMainList::Render()
{
    if (!Visible)
        return;
    BeginRender();
    for (int i = 0; i < GetCount(); ++i) {
        TMainItem* c = GetItem(i);
        if (c && c->Visible)
            c->Render();
    }
    EndRender();
}

void TMainList::RenderOpaque()
{
    for (int i = 0; i < GetCount(); ++i) {
        TMainItem* c = GetItem(i);
        if (c && c->Visible)
            c->RenderOpaque();
    }
}

void TMainList::RenderAlpha()
{
    for (int i = 0; i < GetCount(); ++i) {
        TMainItem* c = GetItem(i);
        if (c && c->Visible)
            c->RenderAlpha();
    }
}

void TMainList::ReadSettings()
{
    for (int i = 0; i < GetCount(); ++i)
        if (auto* c = dynamic_cast<TMainSceneObject*>(GetItem(i)))
            c->ReadSettings();
}

void TMainList::WriteSettings()
{
    for (int i = 0; i < GetCount(); ++i)
        if (auto* c = dynamic_cast<TMainSceneObject*>(GetItem(i)))
            c->WriteSettings();
}

void TMainList::FreeLast(int n)
{
    if (n < 1)
        return;
    n = std::min(n, GetCount());
    for (int i = GetCount() - 1; n > 0; --i, --n) {
        TMainItem* c = GetItem(i);
        DeleteIndex(i);
        if (c) {
            if (c->Owner == this)
                c->Owner = nullptr;
            delete c;
        }
    }
}

void TMainList::DestroyChildrenOf(std::vector<TMainItem*>& items)
{
    while (!items.empty()) {
        TMainItem* c = items.back();
        items.pop_back();
        if (c) {
            if (c->Owner == this)
                c->Owner = nullptr;
            delete c;
        }
    }
}

// ---------------------------------------------------------------- TMainItemList

TMainItemList::~TMainItemList()
{
    if (ownsChildren_)
        DestroyChildrenOf(items_);
}

TMainItem* TMainItemList::GetItem(int index) const
{
    if (index < 0 || index >= GetCount())
        RaiseError("TMainItemList", "GetItem", "Index out of bounds");
    return items_[static_cast<std::size_t>(index)];
}

int TMainItemList::GetCapacity() const
{
    return std::max(capacity_, GetCount());
}

void TMainItemList::SetCapacity(int n)
{
    if (n < GetCount())
        n = GetCount();
    capacity_ = n;
    items_.reserve(static_cast<std::size_t>(std::min(n, 1 << 16)));
}

void TMainItemList::DeleteIndex(int index)
{
    if (index >= 0 && index < GetCount())
        items_.erase(items_.begin() + index);
}

bool TMainItemList::AddItem(TMainItem* item)
{
    if (!item)
        RaiseError("TMainItemList", "AddItem", "Add nil Object failed");
    item->MainScene = MainScene;
    items_.push_back(item);
    return true;
}

void TMainItemList::RemoveItem(TMainItem* item)
{
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it != items_.end())
        items_.erase(it);
}

// ---------------------------------------------------------------- TMainObjectList

TMainObjectList::~TMainObjectList()
{
    std::vector<TMainItem*> items;
    for (auto& e : index_)
        items.push_back(e.item);
    index_.clear();
    DestroyChildrenOf(items);
}

TMainItem* TMainObjectList::GetItem(int index) const
{
    if (index < 0 || index >= GetCount())
        RaiseError("TMainObjectList", "GetItem", "Index out of bounds");
    return index_[static_cast<std::size_t>(index)].item;
}

int TMainObjectList::GetCapacity() const
{
    return std::max(capacity_, GetCount());
}

void TMainObjectList::SetCapacity(int n)
{
    if (n < GetCount())
        n = GetCount();
    capacity_ = n;
    index_.reserve(static_cast<std::size_t>(std::min(n, 1 << 16)));
}

void TMainObjectList::DeleteIndex(int index)
{
    if (index >= 0 && index < GetCount())
        index_.erase(index_.begin() + index);
}

bool TMainObjectList::Locate(const std::string& name, std::size_t& pos) const
{
    auto it = std::lower_bound(index_.begin(), index_.end(), name,
                               [](const Entry& e, const std::string& n) { return CompareNames(e.name, n) < 0; });
    pos = static_cast<std::size_t>(it - index_.begin());
    return it != index_.end() && it->name == name;
}

bool TMainObjectList::EnterInIndex(TMainItem* item)
{
    if (!item)
        RaiseError("TMainObjectList", "AddItem", "Add nil Object failed");
    auto* obj = dynamic_cast<TMainObject*>(item);
    if (!obj || obj->Name().empty())
        RaiseError("TMainObjectList", "AddItem", "Add empty Object.Name failed");
    item->MainScene = MainScene;
    if (!sorted_) {
        index_.push_back({obj->Name(), item});
        return true;
    }
    std::size_t pos;
    if (Locate(obj->Name(), pos))
        return false;
    index_.insert(index_.begin() + static_cast<std::ptrdiff_t>(pos), Entry{obj->Name(), item});
    return true;
}

bool TMainObjectList::AddItem(TMainItem* item)
{
    return EnterInIndex(item);
}

void TMainObjectList::RemoveItem(TMainItem* item)
{
    for (std::size_t i = 0; i < index_.size(); ++i)
        if (index_[i].item == item) {
            index_.erase(index_.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
}

void TMainObjectList::RenameItem(TMainItem* item, const std::string& name)
{
    auto* obj = dynamic_cast<TMainObject*>(item);
    if (!obj || name.empty())
        return;
    std::size_t pos;
    if (sorted_) {
        if (Locate(name, pos))
            return;
        std::size_t old;
        if (!Locate(obj->Name(), old) || index_[old].item != item)
            return;
        index_.erase(index_.begin() + static_cast<std::ptrdiff_t>(old));
        Locate(name, pos);
        index_.insert(index_.begin() + static_cast<std::ptrdiff_t>(pos), Entry{name, item});
    } else {
        auto it = std::find_if(index_.begin(), index_.end(), [&](const Entry& e) { return e.item == item; });
        if (it == index_.end())
            return;
        it->name = name;
    }
    obj->StoreName(name);
}

void TMainObjectList::SetSorted(bool flag)
{
    if (flag == sorted_)
        return;
    sorted_ = flag;
    if (sorted_) {
        std::stable_sort(index_.begin(), index_.end(),
                         [](const Entry& a, const Entry& b) { return CompareNames(a.name, b.name) < 0; });
        // A sorted index holds every name once; later duplicates are dropped
        // from the index (their objects are freed with the list).
        std::vector<Entry> unique;
        std::vector<TMainItem*> dropped;
        for (auto& e : index_) {
            if (!unique.empty() && unique.back().name == e.name)
                dropped.push_back(e.item);
            else
                unique.push_back(e);
        }
        index_ = std::move(unique);
        DestroyChildrenOf(dropped);
    }
}

TMainObject* TMainObjectList::FindChild(const std::string& name) const
{
    if (sorted_) {
        std::size_t pos;
        if (!Locate(name, pos))
            return nullptr;
        return dynamic_cast<TMainObject*>(index_[pos].item);
    }
    for (const auto& e : index_)
        if (e.name == name)
            return dynamic_cast<TMainObject*>(e.item);
    return nullptr;
}

// ---------------------------------------------------------------- TResource

TResource::TResource()
{
    Visible = false;
}

TResource::~TResource()
{
    TResource::Clear();
}

bool TResource::AddItem(TMainItem* item)
{
    if (!EnterInIndex(item))
        return false;
    item->Owner = this;
    return true;
}

void TResource::Clear()
{
    std::vector<TMainItem*> items;
    for (auto& e : index_)
        items.push_back(e.item);
    index_.clear();
    DestroyChildrenOf(items);
}

bool TResource::AddSceneObject(TMainSceneObject* object, TProcessOptions options)
{
    if (object)
        object->ProcessOptions = options;
    return AddItem(object);
}

// ---------------------------------------------------------------- TMainScene

TMainScene::TMainScene()
{
    StoreName("MainScene");
    Alpha = true;
    Visible = true;
    MainScene = this;
    RenderList.Alpha = true;
    EventList.MainScene = this;
    AnimationList.MainScene = this;
    RenderList.MainScene = this;
}

TMainScene::~TMainScene()
{
    TMainScene::Clear();
}

TMainItem* TMainScene::GetItem(int index) const
{
    if (index < 0 || index >= GetCount())
        RaiseError("TMainScene", "GetItem", "Index out of bounds");
    return objects_[static_cast<std::size_t>(index)];
}

void TMainScene::DeleteIndex(int index)
{
    if (index < 0 || index >= GetCount())
        return;
    TMainItem* item = objects_[static_cast<std::size_t>(index)];
    if (!item)
        return;
    objects_[static_cast<std::size_t>(index)] = nullptr;
    ForgetFpsObject(item);
    TMainObjectList::RemoveItem(item);
    EventList.RemoveItem(item);
    AnimationList.RemoveItem(item);
    RenderList.RemoveItem(item);
}

bool TMainScene::AddItem(TMainItem* item)
{
    if (!TResource::AddItem(item))
        return false;
    auto* so = dynamic_cast<TMainSceneObject*>(item);
    objects_.push_back(item);
    if (so) {
        so->Identifier = static_cast<int>(objects_.size()) - 1;
        if (so->ProcessOptions & poRender)
            RenderList.AddItem(item);
        if (so->ProcessOptions & poAnimation)
            AnimationList.AddItem(item);
        if (so->ProcessOptions & poEvents)
            EventList.AddItem(item);
    }
    return true;
}

void TMainScene::RemoveItem(TMainItem* item)
{
    ForgetFpsObject(item);
    TMainObjectList::RemoveItem(item);
    for (auto& o : objects_)
        if (o == item)
            o = nullptr;
    EventList.RemoveItem(item);
    AnimationList.RemoveItem(item);
    RenderList.RemoveItem(item);
}

void TMainScene::Clear()
{
    // Children go last-added first; the name index and process lists follow.
    std::vector<TMainItem*> items = objects_;
    objects_.clear();
    FpsFont = nullptr;
    FpsStr = nullptr;
    index_.clear();
    EventList.ClearItems();
    AnimationList.ClearItems();
    RenderList.ClearItems();
    DestroyChildrenOf(items);
}

void TMainScene::ProcessEvents(float dt)
{
    for (int i = 0; i < EventList.GetCount(); ++i)
        EventList.GetItem(i)->ProcessEvents(dt);
}

void TMainScene::Animate(float dt)
{
    for (int i = 0; i < AnimationList.GetCount(); ++i)
        AnimationList.GetItem(i)->Animate(dt);
}

void TMainScene::ProcessFrame(float dt)
{
    ProcessEvents(dt);
    Animate(dt);
    Render();
}

TMainObject* TMainScene::FindObject(const std::string& path)
{
    return ::FindObject(this, path);
}

void TMainScene::SetObjectVisible(const std::string& path, bool flag)
{
    if (TMainObject* o = FindObject(path))
        o->SetVisible(flag);
}

// ---------------------------------------------------------------- paths

std::string RefferenceToStr(const TMainItem* root, const TMainItem* object)
{
    if (!object)
        return {};
    auto* obj = dynamic_cast<const TMainObject*>(object);
    std::string s = obj ? obj->Name() : std::string();
    const TMainItem* p = object->Owner;
    int guard = 0;
    while (p != root) {
        if (!p || ++guard > 100000)
            RaiseMessage("RefferenceToStr error: Owner is nil!");
        s = static_cast<const TMainObject*>(static_cast<const TResource*>(p))->Name() + "/" + s;
        p = p->Owner;
    }
    return s;
}

TMainObject* FindObject(TMainItem* root, const std::string& path)
{
    if (path.empty() || !root)
        return nullptr;
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < path.size()) {
        const std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) {
            names.push_back(path.substr(start));
            break;
        }
        names.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    TMainItem* cur = root;
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto* list = dynamic_cast<TMainObjectList*>(cur);
        if (!list)
            RaiseMessage("FindObject error: Invalid type cast: \"" + names[i - 1] + "\" in \"" + path +
                         "\" has no children");
        TMainObject* found = names[i].empty() ? nullptr : list->FindChild(names[i]);
        if (!found)
            return nullptr;
        cur = found;
    }
    return static_cast<TMainObject*>(cur);
}

// ---------------------------------------------------------------- type table

namespace {

std::string UpperAscii(const std::string& s)
{
    std::string u = s;
    for (auto& c : u)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

} // namespace

void TSceneTypeTable::Add(const std::string& name, Factory factory)
{
    types_[UpperAscii(name)] = std::move(factory);
}

bool TSceneTypeTable::Contains(const std::string& name) const
{
    return types_.count(UpperAscii(name)) != 0;
}

std::unique_ptr<TMainObject> TSceneTypeTable::Create(const std::string& typeName, const std::string& name) const
{
    auto it = types_.find(UpperAscii(typeName));
    if (it == types_.end())
        return nullptr;
    std::unique_ptr<TMainObject> obj = it->second();
    obj->StoreName(name);
    return obj;
}
