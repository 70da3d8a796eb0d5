#include "scene/SceneMeshes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <map>

#include "assets/File3DM.h"
#include "assets/ResourceFile.h"
#include "gl/Errors.h"
#include "gl/GLClasses.h"
#include "scene/SceneLoader.h"
#include "scene/SceneRender.h"
#include "scene/SceneTextures.h"

namespace {

constexpr int kMaxMaterialGroups = 1000;


TGLColor ModelColor(const T3DMColor& c, float alpha, float scale = 1.0f)
{
    return TGLColor{c.R * scale / 255.0f, c.G * scale / 255.0f, c.B * scale / 255.0f, alpha};
}

} // namespace

int RoundHalfEven(double x)
{
    return static_cast<int>(std::nearbyint(x));
}

// ---------------------------------------------------------------- materials

TGroupMaterial::TGroupMaterial(TSceneMaterial* owner, int index, TMainScene* scene)
    : Index(index), Material(owner), glMaterial_(SceneGLMaterials(scene).AddMaterial())
{
}

TGroupMaterial::~TGroupMaterial()
{
    ForgetCachedObject(this);
    delete glMaterial_;
}

bool TGroupMaterial::Translucent() const
{
    return Additive || glMaterial_->Diffuse().A < 0.99f;
}

void ApplyMaterialGroup(TGroupMaterial* group)
{
    if (group == CurrentMaterialGroup() && (!group || group->Applied))
        return;
    TGLColor& color = SharedCurrentColor();
    if (group) {
        if (SceneGLReady())
            group->GLMaterial()->ApplyAll(); // other groups changed the GL material since
        group->Applied = true;
        color.A = group->GLMaterial()->Diffuse().A;
    } else {
        color.A = 1;
    }
    SceneGL::SetCurrentColor(color);
    SetCachedMaterialGroup(group);
}

TSceneMaterial::~TSceneMaterial()
{
    ClearGroups();
}

TGroupMaterial* TSceneMaterial::AddGroup()
{
    groups_.push_back(std::make_unique<TGroupMaterial>(this, GroupCount(), MainScene));
    return groups_.back().get();
}

TGroupMaterial* TSceneMaterial::GetGroup(int index) const
{
    if (index < 0 || index >= GroupCount())
        return nullptr;
    return groups_[static_cast<std::size_t>(index)].get();
}

void TSceneMaterial::ClearGroups()
{
    groups_.clear();
}

void TSceneMaterial::LoadFromLoader(TResourceLoader& loader)
{
    TMainObject::LoadFromLoader(loader);
    const int count = loader.ReadInteger("Count", 0);
    if (count > kMaxMaterialGroups)
        RaiseError("TSceneMaterial", "LoadFromLoader",
                   "Count " + std::to_string(count) + " is out of range for " + loader.Section);
    UseVertexColor = loader.ReadBool("UseVertexColor", UseVertexColor);
    for (int n = 1; n <= count; ++n) {
        const std::string k = std::to_string(n);
        TGroupMaterial* g = AddGroup();
        TGLMaterial* m = g->GLMaterial();
        m->SetAmbient(loader.ReadColor("Ambient" + k, m->Ambient()));
        m->SetDiffuse(loader.ReadColor("Diffuse" + k, m->Diffuse()));
        m->SetSpecular(loader.ReadColor("Specular" + k, m->Specular()));
        m->SetEmission(loader.ReadColor("Emission" + k, m->Emission()));
        g->VertexColor = loader.ReadColor("VertexColor" + k, TGLColor{1, 1, 1, 1});
        m->SetShininess(loader.ReadFloat("Shininess" + k, m->Shininess()));
        m->SetFront(loader.ReadBool("Front" + k, m->Front()));
        m->SetBack(loader.ReadBool("Back" + k, m->Back()));
    }
}

void TSceneMaterial::SaveToLoader(TResourceLoader& loader)
{
    TMainObject::SaveToLoader(loader);
    loader.WriteInteger("Count", GroupCount());
    loader.WriteBool("UseVertexColor", UseVertexColor);
    for (int n = 1; n <= GroupCount(); ++n) {
        const std::string k = std::to_string(n);
        const TGroupMaterial* g = GetGroup(n - 1);
        const TGLMaterial* m = g->GLMaterial();
        loader.WriteColor("Ambient" + k, m->Ambient());
        loader.WriteColor("Diffuse" + k, m->Diffuse());
        loader.WriteColor("Specular" + k, m->Specular());
        loader.WriteColor("Emission" + k, m->Emission());
        loader.WriteColor("VertexColor" + k, g->VertexColor);
        loader.WriteFloat("Shininess" + k, m->Shininess());
        loader.WriteBool("Front" + k, m->Front());
        loader.WriteBool("Back" + k, m->Back());
    }
}

// ---------------------------------------------------------------- mesh groups

TMeshGroup::~TMeshGroup()
{
    delete Primitive;
}

void TMeshGroup::Draw()
{
    ApplyMaterialGroup(MaterialGroup);
    SetCurrentTexture(Texture);
    TGLPrimitive* p = DrawnPrimitive();
    if (p && SceneGLReady())
        p->Render();
}

TGLPrimitive* TMeshGroup::DrawnPrimitive()
{
    if (!Primitive || !CurrentBlending() || !Texture)
        return Primitive;
    const TGLTexture* t = Texture->GLTexture();
    TTexelBox box;
    // The alpha test passes alpha above 0.05 of texture alpha times the
    // colour's (at most 1): with modulation or replacement only texels of
    // alpha 13 or more, and a linear or nearest filter reads no further than
    // one texel beside the sample point.
    if (!t || (t->EnvMode != GL_MODULATE && t->EnvMode != GL_REPLACE) || IsMipmapFilter(t->Filter) ||
        !t->AlphaBounds(box))
        return Primitive;
    constexpr float kAll = 1e30f;
    float s0 = -kAll, s1 = kAll, t0 = -kAll, t1 = kAll;
    const TGLTextureCoordDArray& coords = Primitive->TexCoords[0];
    auto within01 = [&](bool s) {
        for (std::int32_t i = 0; i < coords.Count(); ++i) {
            const float c = s ? coords.Data()[i].S : coords.Data()[i].T;
            if (c < 0 || c > 1)
                return false;
        }
        return true;
    };
    if (box.Empty()) {
        s0 = s1 = t0 = t1 = -kAll; // no texel shows: nothing is drawn
    } else {
        // A bound at the texture's edge reaches past it (clamping repeats the
        // edge, wrapping joins the far side); so do coordinates outside 0..1
        // of a repeating texture.
        const float w = static_cast<float>(t->Width()), h = static_cast<float>(t->Height());
        if (box.X0 > 0 && box.X1 < t->Width() - 1 && (!t->Repeat || within01(true))) {
            s0 = static_cast<float>(box.X0 - 1) / w;
            s1 = static_cast<float>(box.X1 + 2) / w;
        }
        if (box.Y0 > 0 && box.Y1 < t->Height() - 1 && (!t->Repeat || within01(false))) {
            t0 = static_cast<float>(box.Y0 - 1) / h;
            t1 = static_cast<float>(box.Y1 + 2) / h;
        }
    }
    if (!trimmed_)
        trimmed_ = std::make_unique<TGLPrimitive>();
    return ClipToTexCoordRect(*Primitive, s0, t0, s1, t1, *trimmed_) ? trimmed_.get() : Primitive;
}

TGLVector TMeshGroup::Centre()
{
    if (!Primitive)
        return {};
    const TGLPrimitive& p = *Primitive;
    const int count = p.Vertices.Count();
    if (count == centreCount_)
        return centre_;
    centreCount_ = count;
    const int n = p.Indices.Count() > 0 ? p.Indices.Count() : count;
    auto index = [&](int i) { return p.Indices.Count() > 0 ? p.Indices.Data()[i] : i; };
    double sx = 0, sy = 0, sz = 0, area = 0, cx = 0, cy = 0, cz = 0;
    for (int i = 0; i + 2 < n; i += 3) {
        const int a = index(i), b = index(i + 1), c = index(i + 2);
        if (a >= count || b >= count || c >= count)
            continue;
        const TGLVector va = p.Vertices.Data()[a], vb = p.Vertices.Data()[b], vc = p.Vertices.Data()[c];
        const TGLVector cr = CrossProduct(VectorSub(vb, va), VectorSub(vc, va));
        const double w = std::sqrt(double(cr.X) * cr.X + double(cr.Y) * cr.Y + double(cr.Z) * cr.Z);
        sx += w * (va.X + vb.X + vc.X) / 3;
        sy += w * (va.Y + vb.Y + vc.Y) / 3;
        sz += w * (va.Z + vb.Z + vc.Z) / 3;
        area += w;
        cx += va.X, cy += va.Y, cz += va.Z;
    }
    if (area > 0)
        centre_ = TGLVector{float(sx / area), float(sy / area), float(sz / area)};
    else if (n >= 3)
        centre_ = TGLVector{float(cx / (n / 3)), float(cy / (n / 3)), float(cz / (n / 3))};
    else
        centre_ = {};
    return centre_;
}

// ---------------------------------------------------------------- TSceneMesh

TSceneMesh::~TSceneMesh()
{
    ClearGroups();
}

TSceneMeshList* TSceneMesh::List() const
{
    return dynamic_cast<TSceneMeshList*>(Owner);
}

TMeshGroup* TSceneMesh::AddGroup(int frameCount, int materialIndex, TSceneTexture* texture)
{
    if (!Material)
        RaiseError("TSceneMesh", "AddGroup", "Material is not assigned!");
    TGroupMaterial* mg = Material->GetGroup(materialIndex);
    if (!mg)
        RaiseError("TSceneMesh", "AddGroup",
                   "Material \"" + Material->Name() + "\" has no group " + std::to_string(materialIndex));
    auto group = std::make_unique<TMeshGroup>();
    group->Texture = texture;
    group->MaterialGroup = mg;
    group->VertexFrames.resize(static_cast<std::size_t>(std::max(frameCount, 0)));
    group->NormalFrames.resize(static_cast<std::size_t>(std::max(frameCount, 0)));
    group->Primitive = SceneGLPrimitives(MainScene).AddPrimitive();
    const bool translucent = mg->Translucent() || (texture && texture->Format != TTextureFormat::Texture);
    TMeshGroup* g = group.get();
    if (translucent) {
        alpha_.push_back(std::move(group));
        Alpha = true;
    } else {
        opaque_.push_back(std::move(group));
    }
    return g;
}

void TSceneMesh::ClearGroups()
{
    opaque_.clear();
    alpha_.clear();
}

void TSceneMesh::SetSourceName(const std::string& name)
{
    if (name == SourceName)
        return;
    SourceName = name;
    built_ = false;
}

void TSceneMesh::SetFileIndex(int index)
{
    if (index == FileIndex)
        return;
    FileIndex = index;
    if (index >= 0 && index < static_cast<int>(FileList.size())) {
        SetSourceName(FileList[static_cast<std::size_t>(index)]);
        ClearGroups();
        // The groups are gone, so the mesh is rebuilt even when the new line
        // names the same model.
        built_ = false;
    }
}

void TSceneMesh::EnsureBuilt()
{
    if (built_ || SourceName.empty())
        return;
    built_ = true;
    T3DMMeshLoader loader;
    if (const TSceneMeshList* list = List())
        loader.Path = list->Path;
    loader.FromArchive = MainScene && MainScene->FromArchive();
    loader.LoadMesh(SourceName, *this);
}

void TSceneMesh::SetFramePosition(float position)
{
    const TMeshGroup* first = !opaque_.empty() ? opaque_.front().get() : !alpha_.empty() ? alpha_.front().get() : nullptr;
    if (!first || first->VertexFrames.empty())
        return;
    const int count = static_cast<int>(first->VertexFrames.size());
    double p = std::isfinite(position) ? position : 0.0;
    const double whole = std::floor(p);
    const float f = static_cast<float>(p - whole);
    int n = static_cast<int>(std::fmod(whole, static_cast<double>(count)));
    if (n < 0)
        n += count;
    FramePosition = static_cast<float>(n) + f;
    const int next = n + 1 >= count ? 0 : n + 1;
    auto step = [&](const std::vector<std::unique_ptr<TMeshGroup>>& groups) {
        for (const auto& g : groups) {
            if (static_cast<int>(g->VertexFrames.size()) <= std::max(n, next) || !g->Primitive)
                continue;
            g->Primitive->InterpolateVertices(g->VertexFrames[static_cast<std::size_t>(n)],
                                              g->VertexFrames[static_cast<std::size_t>(next)], f);
        }
    };
    step(opaque_);
    step(alpha_);
}

void TSceneMesh::Animate(float dt)
{
    SetFramePosition(dt * FPS + FramePosition);
}

void TSceneMesh::RenderOpaque()
{
    EnsureBuilt();
    if (opaque_.empty())
        return;
    for (TMeshGroup* g : OpaqueDrawingOrder())
        DrawGroup(*g, false);
}

const std::vector<TMeshGroup*>& TSceneMesh::OpaqueDrawingOrder()
{
    opaqueOrder_.clear();
    for (auto& g : opaque_)
        opaqueOrder_.push_back(g.get());
    if (opaqueOrder_.size() < 2 || !SceneGLReady() || !glIsEnabled(GL_DEPTH_TEST))
        return opaqueOrder_;
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    if (!depthWrites)
        return opaqueOrder_;
    // Distance along the view axis of each group's centre; ties keep the
    // description's order.
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    std::vector<std::pair<float, TMeshGroup*>> byDepth;
    for (TMeshGroup* g : opaqueOrder_) {
        const TGLVector c = g->Centre();
        byDepth.emplace_back(-(m[2] * c.X + m[6] * c.Y + m[10] * c.Z + m[14]), g);
    }
    std::stable_sort(byDepth.begin(), byDepth.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < byDepth.size(); ++i)
        opaqueOrder_[i] = byDepth[i].second;
    return opaqueOrder_;
}

void TSceneMesh::DrawGroup(TMeshGroup& group, bool translucent)
{
    if (!translucent)
        SetBlendMode(TBlendMode::bmOff);
    else
        SetBlendMode(group.MaterialGroup && group.MaterialGroup->Additive ? TBlendMode::bmAdditive
                                                                          : TBlendMode::bmAlpha);
    group.Draw();
}

void TSceneMesh::RenderAlpha()
{
    EnsureBuilt();
    if (alpha_.empty())
        return;
    for (auto& g : alpha_)
        DrawGroup(*g, true);
}

void TSceneMesh::LoadFromLoader(TResourceLoader& loader)
{
    TMainObject::LoadFromLoader(loader);
    ClearGroups();
    built_ = false;
    const std::string listPath = Owner ? Owner->Path : std::string(".\\");
    FPS = loader.ReadFloat("FPS", 6);
    SetSourceName(loader.ReadFileName("SourceName", listPath));
    Material = loader.ReadReferenceAs<TSceneMaterial>("Material", Material);
    FileListName = loader.ReadFileName("FileListName", listPath);
    if (!FileListName.empty())
        FileList = ReadFileList(FileListName, !MainScene || MainScene->FromDisk());
    SetFileIndex(loader.ReadInteger("FileIndex", FileIndex));
}

void TSceneMesh::SaveToLoader(TResourceLoader& loader)
{
    TMainObject::SaveToLoader(loader);
    const std::string listPath = Owner ? Owner->Path : std::string(".\\");
    loader.WriteReference("Material", Material);
    loader.WriteFloat("FPS", FPS);
    if (!SourceName.empty())
        loader.WriteFileName("SourceName", SourceName, listPath);
    loader.WriteInteger("FileIndex", FileIndex);
    if (!FileListName.empty())
        loader.WriteFileName("FileListName", FileListName, listPath);
}

// ---------------------------------------------------------------- TSceneMeshList

TSceneMesh* TSceneMeshList::FindMesh(const std::string& name) const
{
    return dynamic_cast<TSceneMesh*>(FindChild(name));
}

void TSceneMeshList::ListResourceFiles(std::vector<std::string>& lines)
{
    for (int i = 0; i < GetCount(); ++i)
        if (auto* m = dynamic_cast<TSceneMesh*>(GetItem(i)))
            if (!m->SourceName.empty())
                lines.push_back(ResourceNameOf(m->SourceName) + " RCData " + m->SourceName);
}

void TSceneMeshList::LoadFromLoader(TResourceLoader& loader)
{
    TResource::LoadFromLoader(loader);
    Materials = loader.ReadReferenceAs<TSceneMaterialList>("Materials", Materials);
    Textures = loader.ReadReferenceAs<TSceneTextureList>("Textures", Textures);
}

void TSceneMeshList::SaveToLoader(TResourceLoader& loader)
{
    TResource::SaveToLoader(loader);
    loader.WriteReference("Materials", Materials);
    loader.WriteReference("Textures", Textures);
}

void TSceneMeshList::ReadSettings()
{
    if (TSceneSettingsStore* s = SettingsStore())
        for (int i = 0; i < GetCount(); ++i) {
            auto* m = dynamic_cast<TSceneMesh*>(GetItem(i));
            if (m && !m->FileListName.empty())
                m->SetFileIndex(std::clamp(s->ReadInteger(FileListKeyName(m->FileListName) + "Index", 0), 0,
                                           std::max(static_cast<int>(m->FileList.size()) - 1, 0)));
        }
    TResource::ReadSettings();
}

void TSceneMeshList::WriteSettings()
{
    if (TSceneSettingsStore* s = SettingsStore())
        for (int i = 0; i < GetCount(); ++i) {
            auto* m = dynamic_cast<TSceneMesh*>(GetItem(i));
            if (m && !m->FileListName.empty())
                s->WriteInteger(FileListKeyName(m->FileListName) + "Index", m->FileIndex);
        }
    TResource::WriteSettings();
}

// ---------------------------------------------------------------- TSceneSprite

void TSceneSprite::UpdateSpriteMesh()
{
    if (!Texture)
        RaiseError("TSceneSprite", "UpdateSpriteMesh", "Texture=nil!");
    if (!spriteBuilt_) {
        ClearGroups();
        SetCurrentTexture(Texture);
        TMeshGroup* g = AddGroup(0, 0, Texture);
        TGLPrimitive& p = *g->Primitive;
        const std::uint16_t idx[6] = {0, 1, 2, 0, 2, 3};
        p.Indices.SetValues(idx);
        const float x0 = static_cast<float>(OriginX);
        const float y0 = static_cast<float>(OriginY);
        const float x1 = static_cast<float>(OriginX + Width - 1);
        const float y1 = static_cast<float>(OriginY + Height - 1);
        p.Vertices.SetCount(4);
        p.Vertices.SetVector(0, x0, y1, 0);
        p.Vertices.SetVector(1, x0, y0, 0);
        p.Vertices.SetVector(2, x1, y0, 0);
        p.Vertices.SetVector(3, x1, y1, 0);
        const int w = Texture->ImageWidth, h = Texture->ImageHeight;
        const float tw = w - 1 > 0 ? static_cast<float>(w - 1) : 1.0f;
        const float th = h - 1 > 0 ? static_cast<float>(h - 1) : 1.0f;
        const float u0 = static_cast<float>(StartU) / tw;
        const float v0 = static_cast<float>(static_cast<float>(h - 1 > 0 ? h - 1 : 1) - StartV - Height + 1) / th;
        const float u1 = u0 + static_cast<float>(Width - 1) / tw;
        const float v1 = v0 + static_cast<float>(Height - 1) / th;
        auto& tc = p.GetTextureCoords(0);
        tc.SetCount(4);
        tc.SetTexCoord(0, u0, v1);
        tc.SetTexCoord(1, u0, v0);
        tc.SetTexCoord(2, u1, v0);
        tc.SetTexCoord(3, u1, v1);
        p.ComputeOwnNormals();
        spriteBuilt_ = true;
    }
    for (auto* groups : {&opaque_, &alpha_})
        if (!groups->empty() && groups->front()->Primitive) {
            TGLColorDArray& c = groups->front()->Primitive->Colors;
            c.SetCount(1);
            c.SetColor(0, Color);
        }
}

void TSceneSprite::RenderOpaque()
{
    UpdateSpriteMesh();
    TSceneMesh::RenderOpaque();
}

void TSceneSprite::RenderAlpha()
{
    UpdateSpriteMesh();
    TSceneMesh::RenderAlpha();
}

void TSceneSprite::LoadFromLoader(TResourceLoader& loader)
{
    TSceneMesh::LoadFromLoader(loader);
    Texture = loader.ReadReferenceAs<TSceneTexture>("Texture", Texture);
    OriginX = loader.ReadInteger("OriginX", OriginX);
    OriginY = loader.ReadInteger("OriginY", OriginY);
    Width = loader.ReadInteger("Width", Width);
    Height = loader.ReadInteger("Height", Height);
    StartU = loader.ReadInteger("StartU", StartU);
    StartV = loader.ReadInteger("StartV", StartV);
    spriteBuilt_ = false;
}

void TSceneSprite::SaveToLoader(TResourceLoader& loader)
{
    TSceneMesh::SaveToLoader(loader);
    loader.WriteReference("Texture", Texture);
    loader.WriteInteger("OriginX", OriginX);
    loader.WriteInteger("OriginY", OriginY);
    loader.WriteInteger("Width", Width);
    loader.WriteInteger("Height", Height);
    loader.WriteInteger("StartU", StartU);
    loader.WriteInteger("StartV", StartV);
}

// ---------------------------------------------------------------- de-duplication

int TVertIndices3DMList::IndexOf(int modelVertex, int texCoord, float u, float v)
{
    const std::size_t b = static_cast<std::size_t>(modelVertex - 1);
    if (b < buckets_.size())
        for (int e : buckets_[b]) {
            const Entry& x = entries_[static_cast<std::size_t>(e)];
            if (x.TexCoord == texCoord || (x.U == u && x.V == v))
                return x.Index;
        }
    entries_.push_back({modelVertex, next_, texCoord, -1, u, v});
    if (b < buckets_.size())
        buckets_[b].push_back(static_cast<int>(entries_.size()) - 1);
    return next_++;
}

// ---------------------------------------------------------------- model loader

std::string ModelTextureName(const T3DMMaterialStandard& m)
{
    auto absent = [](const std::string& s) { return s.empty() || SameText(s, "undefined"); };
    if (absent(m.DiffuseMap))
        return {};
    const std::string file = ExtractFileName(m.DiffuseMap);
    if (absent(m.OpacityMap))
        return file;
    const std::size_t dot = file.find('.');
    const std::string stem = dot == std::string::npos ? file : file.substr(0, dot);
    return stem + "A" + ExtractFileExt(file);
}

void FillMaterialGroup(TGroupMaterial& group, const T3DMMaterialStandard& m)
{
    const float alpha = m.Opacity >= 99 ? 1.0f : m.Opacity * 0.01f;
    TGLMaterial* gm = group.GLMaterial();
    gm->SetAmbient(ModelColor(m.Ambient, alpha));
    gm->SetDiffuse(ModelColor(m.Diffuse, alpha));
    gm->SetEmission(ModelColor(m.SelfIllumColor, alpha));
    gm->SetSpecular(ModelColor(m.Specular, alpha, m.SpecularLevel * 0.01f));
    gm->SetShininess(m.Glossiness * 0.128f * 7.0f);
    gm->SetFront(true);
    gm->SetBack(m.TwoSided);
    // Opacity type 2 is the additive kind of transparency.
    group.Additive = m.OpacityType == 2;
}

namespace {

void AddModelTexture(const T3DMMaterialStandard& m, TSceneTextureList& textures)
{
    const std::string name = ModelTextureName(m);
    if (name.empty() || textures.FindTexture(name))
        return;
    auto absent = [](const std::string& s) { return s.empty() || SameText(s, "undefined"); };
    if (!absent(m.OpacityMap))
        textures.AddAlphaTexture(name, m.DiffuseMap, m.OpacityMap);
    else if (m.Opacity == 99)
        textures.AddSpriteTexture(name, m.DiffuseMap);
    else
        textures.AddOpaqueTexture(name, m.DiffuseMap);
}

// The memory the animation frames of one object may take once built.
constexpr std::uint64_t kMaxAnimationBytes = 32ull << 20;

void RequireLists(const TSceneMeshList& list)
{
    if (!list.Materials || !list.Textures)
        RaiseError("T3DMMeshLoader", "LoadMesh",
                   "Mesh list \"" + list.Name() + "\" needs both Materials and Textures to build models");
}

} // namespace

T3DMMeshLoader::T3DMMeshLoader() : model_(std::make_unique<T3DMFile>()) {}
T3DMMeshLoader::~T3DMMeshLoader() = default;

bool T3DMMeshLoader::OpenFile(const std::string& name)
{
    model_->Clear();
    model_->FromArchive = FromArchive;
    const std::string file = ResolveFileName(name, Path);
    model_->LoadFromFile(FromArchive ? file : NativeFilePath(file));
    return model_->Count() > 0;
}

void T3DMMeshLoader::LoadMesh(const std::string& name, TSceneMesh& mesh)
{
    const std::string file = ResolveFileName(name, Path);
    try {
        if (!OpenFile(name))
            return;
        TSceneMeshList* list = mesh.List();
        if (!list)
            RaiseError("T3DMMeshLoader", "LoadMesh", "Mesh \"" + mesh.Name() + "\" is not in a mesh list");
        RequireLists(*list);
        // Every animation frame becomes a copy of the object's positions and
        // normals; a model whose frames would take more than the budget is
        // refused before anything is built.
        for (int i = 0; i < model_->Count(); ++i) {
            const T3DMObject& o = model_->Objects(i);
            const std::uint64_t corners = 3ull * static_cast<std::uint64_t>(o.VertexFaces.Count());
            const std::uint64_t vertices =
                o.HasTextureCoords ? corners : std::min<std::uint64_t>(corners, static_cast<std::uint64_t>(o.Vertices.Count()));
            const std::uint64_t bytes = vertices * static_cast<std::uint64_t>(o.Frames.Count()) * 2u * sizeof(TGLVector);
            if (bytes > kMaxAnimationBytes)
                RaiseError("T3DMMeshLoader", "LoadMesh",
                           "Animation of object \"" + o.Name + "\" needs " + std::to_string(bytes >> 20) +
                               " MB, more than " + std::to_string(kMaxAnimationBytes >> 20) + " MB, file " + file);
        }
        AddMaterials(*list);
        for (int i = 0; i < model_->Count(); ++i)
            AddMesh(mesh, *list, model_->Objects(i));
    } catch (const std::bad_alloc&) {
        mesh.ClearGroups();
        RaiseError("T3DMMeshLoader", "LoadMesh", "Not enough memory to load file " + file);
    }
}

void T3DMMeshLoader::AddMaterials(TSceneMeshList& meshList)
{
    RequireLists(meshList);
    TSceneMaterialList& materials = *meshList.Materials;
    TSceneTextureList& textures = *meshList.Textures;
    for (int i = 0; i < model_->Materials.Count(); ++i) {
        T3DMMaterial& mm = model_->Materials.Items(i);
        auto* mat = dynamic_cast<TSceneMaterial*>(materials.FindChild(mm.Name()));
        const bool isNew = mat == nullptr;
        if (isNew) {
            auto owned = std::make_unique<TSceneMaterial>();
            owned->StoreName(mm.Name());
            if (!materials.AddItem(owned.get()))
                continue;
            mat = owned.release();
        }
        if (auto* std = dynamic_cast<T3DMMaterialStandard*>(&mm)) {
            AddModelTexture(*std, textures);
            if (isNew)
                FillMaterialGroup(*mat->AddGroup(), *std);
        } else if (auto* multi = dynamic_cast<T3DMMaterialMultiSubObject*>(&mm)) {
            for (int s = 0; s < multi->SubMaterials.Count(); ++s) {
                auto* sub = dynamic_cast<T3DMMaterialStandard*>(&multi->SubMaterials.Items(s));
                if (!sub)
                    continue;
                AddModelTexture(*sub, textures);
                if (isNew)
                    FillMaterialGroup(*mat->AddGroup(), *sub);
            }
        }
    }
}

void T3DMMeshLoader::AddMesh(TSceneMesh& mesh, TSceneMeshList& meshList, const T3DMObject& object)
{
    RequireLists(meshList);
    mesh.Material = dynamic_cast<TSceneMaterial*>(meshList.Materials->FindChild(object.MaterialName));
    const T3DMMaterial* modelMaterial = model_->Materials.FindMaterial(object.MaterialName);

    struct Pending {
        TMeshGroup* group;
        std::vector<int> faces;
    };
    std::map<int, std::size_t> byNumber;
    std::vector<Pending> order;
    const int faceCount = object.VertexFaces.Count();
    for (int i = 0; i < faceCount; ++i) {
        const int m = i < static_cast<int>(object.FaceMatIDs.size()) ? object.FaceMatIDs[static_cast<std::size_t>(i)] : 1;
        if (m > 1000)
            RaiseMessage("T3DMMeshLoader.AddMesh: FaceID>1000");
        auto it = byNumber.find(m);
        if (it == byNumber.end()) {
            const int groupCount = mesh.Material ? mesh.Material->GroupCount() : 0;
            const int g = std::max(0, std::min(m - 1, groupCount - 1));
            const T3DMMaterialStandard* texMat = dynamic_cast<const T3DMMaterialStandard*>(modelMaterial);
            if (auto* multi = dynamic_cast<const T3DMMaterialMultiSubObject*>(modelMaterial))
                texMat = g < multi->SubMaterials.Count()
                             ? dynamic_cast<const T3DMMaterialStandard*>(&multi->SubMaterials.Items(g))
                             : nullptr;
            TSceneTexture* tex = texMat ? meshList.Textures->FindTexture(ModelTextureName(*texMat)) : nullptr;
            TMeshGroup* group = mesh.AddGroup(0, g, tex);
            it = byNumber.emplace(m, order.size()).first;
            order.push_back({group, {}});
        }
        order[it->second].faces.push_back(i);
    }

    const int vertexCount = object.Vertices.Count();
    const bool hasTC = object.HasTextureCoords;
    for (Pending& pending : order) {
        TVertIndices3DMList table(vertexCount);
        std::vector<std::uint16_t> indices;
        indices.reserve(pending.faces.size() * 3);
        for (int fi : pending.faces) {
            const T3DMFace& vf = object.VertexFaces.Items(fi);
            const bool faceTC = hasTC && fi < object.TextureCoordFaces.Count();
            const T3DMFace tf = faceTC ? object.TextureCoordFaces.Items(fi) : T3DMFace{};
            const int vs[3] = {vf.A, vf.B, vf.C};
            const int ts[3] = {tf.A, tf.B, tf.C};
            for (int k = 0; k < 3; ++k) {
                if (vs[k] < 1 || vs[k] > vertexCount)
                    RaiseError("T3DMMeshLoader", "AddMesh",
                               "Vertex number " + std::to_string(vs[k]) + " out of range in object \"" + object.Name + "\"");
                int tcNumber = -1;
                float u = 0, v = 0;
                if (faceTC) {
                    if (ts[k] < 1 || ts[k] > object.TextureCoords.Count())
                        RaiseError("T3DMMeshLoader", "AddMesh",
                                   "Texture coordinate number " + std::to_string(ts[k]) + " out of range in object \"" +
                                       object.Name + "\"");
                    tcNumber = ts[k];
                    const T3DMTexCoord& c = object.TextureCoords.Get(ts[k]);
                    u = c.U;
                    v = c.V;
                }
                const int index = table.IndexOf(vs[k], tcNumber, u, v);
                if (index > 65535)
                    RaiseError("T3DMMeshLoader", "AddMesh",
                               "Object \"" + object.Name + "\" needs more than 65536 vertices in one group");
                indices.push_back(static_cast<std::uint16_t>(index));
            }
        }
        TGLPrimitive& p = *pending.group->Primitive;
        p.Indices.SetValues(indices);
        const auto& entries = table.Entries();
        const int n = static_cast<int>(entries.size());
        p.Vertices.SetCount(n);
        if (hasTC)
            p.GetTextureCoords(0).SetCount(n);
        for (int j = 0; j < n; ++j) {
            const T3DMVertex& mv = object.Vertices.Get(entries[static_cast<std::size_t>(j)].ModelVertex);
            p.Vertices.SetVector(j, mv.X, mv.Y, mv.Z);
            if (hasTC)
                p.GetTextureCoords(0).SetTexCoord(j, entries[static_cast<std::size_t>(j)].U, entries[static_cast<std::size_t>(j)].V);
        }
        for (int f = 0; f < object.Frames.Count(); ++f) {
            const T3DMVertexList& frame = object.Frames.Frames(f);
            TGLVectorDArray positions;
            positions.SetCount(n);
            for (int j = 0; j < n; ++j) {
                const int mvNumber = entries[static_cast<std::size_t>(j)].ModelVertex;
                // A frame shorter than the object keeps the base position.
                const T3DMVertex& mv = mvNumber <= frame.Count() ? frame.Get(mvNumber) : object.Vertices.Get(mvNumber);
                positions.SetVector(j, mv.X, mv.Y, mv.Z);
            }
            pending.group->VertexFrames.push_back(std::move(positions));
            pending.group->NormalFrames.emplace_back();
        }
        if (object.HasTransform) {
            const float* m = object.Matrix;
            auto transform = [m](TGLVectorDArray& a) {
                TGLVector* d = a.Data();
                for (int j = 0; j < a.Count(); ++j) {
                    const TGLVector q = d[j];
                    const float x = q.X * m[0] + q.Y * m[3] + q.Z * m[6] + m[9];
                    const float y = q.X * m[1] + q.Y * m[4] + q.Z * m[7] + m[10];
                    const float z = q.X * m[2] + q.Y * m[5] + q.Z * m[8] + m[11];
                    d[j] = TGLVector{x, z, -y};  // then 270 degrees about X
                }
            };
            transform(p.Vertices);
            for (auto& frame : pending.group->VertexFrames)
                transform(frame);
        }
        p.ComputeOwnNormals();
        for (std::size_t f = 0; f < pending.group->VertexFrames.size(); ++f)
            p.ComputeNormals(pending.group->VertexFrames[f], pending.group->NormalFrames[f]);
    }

    bool translucent = false;
    for (const auto& g : mesh.AlphaGroups()) {
        translucent = true;
        const float a = g->MaterialGroup->GLMaterial()->Diffuse().A;
        const int alpha = std::clamp(RoundHalfEven(static_cast<double>(a) * 255.0), 0, 255);
        TGLColorDArray& colors = g->Primitive->Colors;
        for (int j = 0; j < colors.Count(); ++j) {
            TGLColorBytes c = colors.GetColor(j);
            c.A = static_cast<std::uint8_t>(alpha);
            colors.SetColor(j, c);
        }
    }
    if (translucent)
        meshList.Alpha = true;
}
