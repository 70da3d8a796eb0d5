#include "app/FSettings.h"

#include <algorithm>
#include <cstring>

#include "assets/ResourceFile.h"
#include "gl/GLClasses.h"
#include "gl/GLTextures.h"
#include "scene/GLGraphics.h"
#include "shell/AppPro.h"
#include "shell/AppOpenGL.h"
#include "shell/GLApp.h"
#include "shell/GLScreenSaver.h"
#include "clock/GLClock.h"
#include "fire/FireClasses.h"
#include "sound/SceneSounds.h"

void RegisterFireplaceSceneTypes(TSceneTypeTable& types, TCustomSoundDevice& sound, ITimeProvider& time)
{
    RegisterSceneTypes(types);
    RegisterSoundSceneTypes(types, sound);
    RegisterFireTypes(types);
    RegisterClockTypes(types, time);
}

namespace {

// The scene objects' settings go through the application's store.
class TStoreAdapter : public TSceneSettingsStore {
public:
    explicit TStoreAdapter(TSettingsStore* store) : store_(store) {}
    void SetStore(TSettingsStore* store) { store_ = store; }

    std::string ReadString(const std::string& name, const std::string& def) override
    {
        return store_ ? store_->ReadString(name, def) : def;
    }
    // Stored text that does not convert keeps the default, as for the
    // fireplace's own keys: a damaged value never stops the saver at start.
    bool ReadBool(const std::string& name, bool def) override
    {
        try {
            return store_ ? store_->ReadBool(name, def) : def;
        } catch (const std::exception&) {
            return def;
        }
    }
    int ReadInteger(const std::string& name, int def) override
    {
        try {
            return store_ ? store_->ReadInteger(name, def) : def;
        } catch (const std::exception&) {
            return def;
        }
    }
    void WriteString(const std::string& name, const std::string& value) override
    {
        if (store_)
            store_->WriteString(name, value);
    }
    void WriteBool(const std::string& name, bool value) override
    {
        if (store_)
            store_->WriteBool(name, value);
    }
    void WriteInteger(const std::string& name, int value) override
    {
        if (store_)
            store_->WriteInteger(name, value);
    }

private:
    TSettingsStore* store_;
};

// A stored value that cannot be converted keeps the default: the settings store
// raises for garbage such as "abc" where a number belongs.
int SafeReadInteger(TSettingsStore& store, const char* name, int def)
{
    try {
        return store.ReadInteger(name, def);
    } catch (const std::exception&) {
        return def;
    }
}

bool SafeReadBool(TSettingsStore& store, const char* name, bool def)
{
    try {
        return store.ReadBool(name, def);
    } catch (const std::exception&) {
        return def;
    }
}

template <class T>
T* FindTyped(TMainScene& scene, const char* path)
{
    return dynamic_cast<T*>(scene.FindObject(path));
}

} // namespace

TFormSettings::TFormSettings(const TServices& services)
    : Sound(std::make_unique<TWinSoundDevice>(services.SoundOutput)), Flame(std::make_unique<TFlame2D>()),
      services_(services), sceneSettings_(std::make_unique<TStoreAdapter>(nullptr))
{
    RegisterFireplaceSceneTypes(SceneTypes, *Sound, services.Time ? *services.Time : SystemTime());
}

TFormSettings::~TFormSettings()
{
    Stop();
}

void TFormSettings::WireEvents(TGLScreenSaver& saver, TCustomOpenGL* gl)
{
    saver_ = &saver;
    gl_ = gl;
    Viewport = &saver.Viewport();
    saver.OnStart = [this]() {
        // The hourglass while the scene loads; every way out restores the cursor.
        struct TBusy {
            IApplicationHost* host;
            explicit TBusy(IApplicationHost* h) : host(h)
            {
                if (host)
                    host->SetBusyCursor(true);
            }
            ~TBusy()
            {
                if (host)
                    host->SetBusyCursor(false);
            }
            TBusy(const TBusy&) = delete;
            TBusy& operator=(const TBusy&) = delete;
        } busy(saver_->Services().Host);
        StartScene(gl_, saver_->AppPath);
        saver_->LoadOptions();
    };
    saver.OnLoadOptions = [this]() { LoadSettings(saver_->Settings()); };
    saver.OnSaveOptions = [this]() { SaveSettings(saver_->Settings()); };
    saver.OnStartOpenGL = [this]() {
        if ((saver_->Mode() == TSaverMode::smProgram || saver_->Mode() == TSaverMode::smConfigure) &&
            !(saver_->Display() && saver_->Display()->FullScreen())) {
            ShowDialogState();
            saver_->CheckAcceleration();
        }
        SetWideScreen(WideScreen);
    };
    saver.OnUpdate = [this](float dt) { UpdateFlame(dt); };
    saver.OnCopyFlame = [this] { WriteFlameTextures(); };
    saver.OnRender = [this](float dt, bool) { Render(dt); };
    saver.OnFPSChanged = [this]() { SetFpsValue(saver_->FPS()); };
    saver.OnStop = [this]() { Stop(); };
}

void TFormSettings::StartScene(TCustomOpenGL* gl, const std::string& appPath)
{
    TResourceFileReader& reader = ResourceReader();
    reader.SetDirectory(".\\Scenes\\");
    reader.ArchiveName = "data.rfa";
    reader.Source = ReadSource::ArchiveResource;
    reader.Resources = services_.Resources;
    LoadScene(gl, appPath, "pyrelume.gsc", 2);
}

void TFormSettings::LoadScene(TCustomOpenGL* gl, const std::string& appPath, const std::string& sourceName,
                              int sourceMode)
{
    gl_ = gl;
    Scene.reset();
    auto scene = std::make_unique<TMainScene>();
    scene->OpenGL = gl;
    scene->Types = &SceneTypes;
    scene->Glyphs = services_.Glyphs;
    scene->Settings = sceneSettings_.get();
    scene->Path = appPath;
    scene->SourceName = sourceName;
    scene->SourceMode = sourceMode;
    scene->LoadFromSource();
    Scene = std::move(scene);

    TextureList = FindTyped<TSceneTextureList>(*Scene, "Textures");
    FlameTexture = FindTyped<TSceneTexture>(*Scene, "Textures/FLAMEA.jpg");
    LightMapTexture = FindTyped<TSceneTexture>(*Scene, "Textures/LightMapA.jpg");
    FireplaceMesh = FindTyped<TSceneMesh>(*Scene, "Meshes/Fireplace1");
    FrontTexture = FindTyped<TSceneTexture>(*Scene, "Textures/Front.jpg");
    BackTexture = FindTyped<TSceneTexture>(*Scene, "Textures/Back.jpg");
    FireGuardTexture = FindTyped<TSceneTexture>(*Scene, "Textures/FireGuardA.jpg");
    LogsTexture = FindTyped<TSceneTexture>(*Scene, "Textures/FireWoodA.jpg");
}

void TFormSettings::LoadSettings(TSettingsStore& store)
{
    Sparkles = true;
    Smoke = true;
    store.ScrambledNames = false;
    store.SetMachineRoot(false);
    static_cast<TStoreAdapter*>(sceneSettings_.get())->SetStore(&store);
    if (Scene)
        Scene->ReadSettings();

    WideScreen = SafeReadBool(store, "WideScreen", false);
    Flame->SetFlameWidth(SafeReadInteger(store, "FlameWidth", Flame->FlameWidth()));
    // Clamped to the slider's range, so that the fire that runs is the one the
    // dialog shows and OK writes back.
    Flame->SetDecay(std::clamp(SafeReadInteger(store, "FlameDecay", Flame->Decay()), 1, 5));
    Flame->SetBurningRate(SafeReadInteger(store, "BurningRate", Flame->GetBurningRate()));
    Flame->SetSwapBytes(SafeReadBool(store, "EnableSwapPalBytes", Flame->SwapBytes()));
    if (Flame->SwapBytes())
        Flame->RebuildPalette();
    SetFlameColorIndex(SafeReadInteger(store, "FlameColorIndex", FlameColorIndex));
    SetNearView(SafeReadBool(store, "NearView", false));
    SetSmoke(SafeReadBool(store, "Smoke", true));
    SetSparkles(SafeReadBool(store, "Sparkles", true));
    // How frames reach the screen, not a look of the fire: read only, so a
    // value set by hand for a driver that misbehaves stays as it is.
    FrameCache.FullRedraw = SafeReadBool(store, "FullRedraw", false);
}

void TFormSettings::SaveSettings(TSettingsStore& store)
{
    store.ScrambledNames = false;
    store.SetMachineRoot(false);
    static_cast<TStoreAdapter*>(sceneSettings_.get())->SetStore(&store);
    if (Scene)
        Scene->WriteSettings();
    store.WriteInteger("FlameWidth", Flame->FlameWidth());
    store.WriteInteger("FlameDecay", Flame->Decay());
    store.WriteInteger("BurningRate", Flame->GetBurningRate());
    store.WriteBool("EnableSwapPalBytes", Flame->SwapBytes());
    store.WriteInteger("FlameColorIndex", FlameColorIndex);
    store.WriteBool("WideScreen", WideScreen);
    store.WriteBool("NearView", NearView);
    store.WriteBool("Smoke", Smoke);
    store.WriteBool("Sparkles", Sparkles);
}

void TFormSettings::Update(float dt)
{
    if (!Flame)
        return;
    UpdateFlame(dt);
    WriteFlameTextures();
}

void TFormSettings::UpdateFlame(float dt)
{
    if (Flame)
        Flame->Update(dt);
}

void TFormSettings::WriteFlameTextures()
{
    // The light map is written only when the flame texture exists, as a pair.
    if (WriteFlameTexture())
        WriteLightMap();
}

bool TFormSettings::WriteFlameTexture()
{
    if (!Flame || !FlameTexture)
        return false;

    TGLTexture* tex = FlameTexture->GLTexture();
    if (!tex)
        return false;
    const int tw = tex->Width();
    const int th = tex->Height();
    // The copy writes 4-byte pixels and never leaves the grid or the texture block.
    if (tw > Flame->Width() || th > Flame->Height() || tex->RowSize() < tw * 4)
        return false;
    const bool dither = TextureList && TextureList->ColorBit == TTextureColorBit::Bit16;
    const auto& palette = Flame->Palette();
    const auto& dpal = Flame->DitherPalette();
    for (int y = 0; y < th; ++y) {
        std::uint8_t* row = tex->RowPixels(th - 1 - y);
        if (!row)
            return false;
        const std::int32_t* heat = Flame->Row(y);
        auto* out = reinterpret_cast<TFlamePixel*>(row);
        if (dither) {
            const int base = 2 * (y % 2);
            for (int x = 0; x + 1 < tw; x += 2) {
                out[x] = dpal[heat[x]][base];
                out[x + 1] = dpal[heat[x + 1]][base + 1];
            }
        } else {
            for (int x = 0; x < tw; ++x)
                out[x] = palette[heat[x]];
        }
    }
    tex->UpdateData();
    return true;
}

void TFormSettings::WriteLightMap()
{
    if (!Flame || !LightMapTexture)
        return;
    TGLTexture* light = LightMapTexture->GLTexture();
    if (!light)
        return;
    const int lw = light->Width();
    const int lh = light->Height();
    if (2 * lw > Flame->Width() || 2 * lh > Flame->Height() || light->RowSize() < lw * 4)
        return;
    const auto& lpal = Flame->LightPalette();
    for (int y = 0; y < lh; ++y) {
        std::uint8_t* row = light->RowPixels(lh - 1 - y);
        if (!row)
            return;
        const std::int32_t* heat = Flame->Row(2 * y);
        auto* out = reinterpret_cast<TFlamePixel*>(row);
        for (int x = 0; x < lw; ++x)
            out[x] = lpal[heat[2 * x]];
    }
    light->UpdateData();
}

void TFormSettings::Render(float dt)
{
    if (!Scene)
        return;
    if (gl_) {
        gl_->SetCullFace(true);
        gl_->SetLighting(true);
        gl_->SetDepthTest(true);
    }
    // The scene's frame (events, animation, render), with the render pass
    // drawn where something changed.
    Scene->ProcessEvents(dt);
    Scene->Animate(dt);
    FrameCache.Render(*Scene);
}

void TFormSettings::SetFpsValue(int fps)
{
    if (Scene)
        Scene->SetFpsValue(fps < 1 ? 1 : fps);
}

void TFormSettings::ShowDialogState()
{
    if (OnShowDialogState)
        OnShowDialogState();
}

void TFormSettings::Stop()
{
    FrameCache.ReleaseGL();
    Flame.reset();
    Scene.reset();
    TextureList = nullptr;
    FlameTexture = LightMapTexture = FrontTexture = BackTexture = FireGuardTexture = LogsTexture = nullptr;
    FireplaceMesh = nullptr;
}

void TFormSettings::SetNearView(bool flag)
{
    NearView = flag;
    if (!Viewport)
        return;
    Viewport->Camera.Position.Y = flag ? 80.0f : 105.0f;
    Viewport->Camera.Position.Z = flag ? 150.0f : 240.0f;
}

void TFormSettings::SetSmoke(bool flag)
{
    Smoke = flag;
    if (Scene)
        if (TMainObject* o = Scene->FindObject("Smoke"))
            if (auto* so = dynamic_cast<TMainSceneObject*>(o))
                so->SetVisible(flag);
}

void TFormSettings::SetSparkles(bool flag)
{
    Sparkles = flag;
    if (Scene)
        if (TMainObject* o = Scene->FindObject("Sparkles"))
            if (auto* so = dynamic_cast<TMainSceneObject*>(o))
                so->SetVisible(flag);
}

void TFormSettings::SetFlameColorIndex(int index)
{
    if (Flame)
        Flame->SetFlameColor(index);
    FlameColorIndex = index;
}

namespace {

// Multiplies U of texture-coordinate set 0 of every group of the mesh by ratio
// (building the mesh from its model file first).
void StretchMesh(TSceneMesh& mesh, float ratio)
{
    mesh.EnsureBuilt();
    if (ratio == 1.0f)
        return;
    for (const auto* groups : {&mesh.OpaqueGroups(), &mesh.AlphaGroups()})
        for (const auto& g : *groups) {
            if (!g->Primitive)
                continue;
            TGLTextureCoordDArray& tc = g->Primitive->TexCoords[0];
            for (std::int32_t k = 0; k < tc.Count(); ++k) {
                TGLTexCoord c = tc.GetTexCoord(k);
                c.S *= ratio;
                tc.SetTexCoord(k, c);
            }
        }
}

} // namespace

void TFormSettings::SetWideScreen(bool flag)
{
    const float f = flag ? 1.7777778f : 1.0f;
    if (Scene) {
        if (auto* meshes = dynamic_cast<TSceneMeshList*>(Scene->FindObject("Meshes"))) {
            const float ratio = f / WideFactor;
            for (int i = 0; i < meshes->GetCount(); ++i)
                if (auto* mesh = dynamic_cast<TSceneMesh*>(meshes->GetItem(i)))
                    StretchMesh(*mesh, ratio);
        }
    }
    WideFactor = f;
    WideScreen = flag;
}

void TFormSettings::SetFireplaceStyle(int index)
{
    if (!FireplaceMesh || index == FireplaceMesh->FileIndex)
        return;
    FireplaceMesh->SetFileIndex(index);
    // The new model comes with its coordinates as loaded: it gets the stretch
    // the other meshes carry, or a 16:9 screen would show it squeezed.
    // Unstretched it is built when first drawn, like any mesh.
    if (WideFactor != 1.0f)
        StretchMesh(*FireplaceMesh, WideFactor);
}
