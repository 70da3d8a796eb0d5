#pragma once
// The fireplace program: loads the fireplace scene from the embedded archive,
// steps the flame and writes it into the scene's flame and light-map textures
// every frame, renders the scene, and reads and writes the fireplace settings.
// The settings dialog (a Win32 view) and the headless tools drive this object;
// it has no window code of its own.
#include <functional>
#include <memory>
#include <string>

#include "fire/FlameClasses.h"
#include "platform/Services.h"
#include "scene/SceneFrameCache.h"
#include "scene/SceneObjects.h"

class TMainScene;
class TMainObject;
class TSceneTexture;
class TSceneTextureList;
class TSceneMesh;
class TCustomOpenGL;
class TSettingsStore;
class TSceneSettingsStore;
class TDefViewport;
class TGLScreenSaver;
class TCustomSoundDevice;
class TWinSoundDevice;

// Every scene type the fireplace description uses: the scene graph's own, the
// fire, the sounds (played on sound) and the clocks (reading time).
void RegisterFireplaceSceneTypes(TSceneTypeTable& types, TCustomSoundDevice& sound, ITimeProvider& time);

class TFormSettings {
public:
    // The program's services: the sound output, the clock's time, the glyph
    // rasteriser and the program resources reach the scene from here.
    explicit TFormSettings(const TServices& services);
    ~TFormSettings();
    TFormSettings(const TFormSettings&) = delete;
    TFormSettings& operator=(const TFormSettings&) = delete;

    // ---- State
    // The sound device the scene's sounds play on (outlives the scene).
    std::unique_ptr<TWinSoundDevice> Sound;
    // The types the scene loader may create.
    TSceneTypeTable SceneTypes;
    std::unique_ptr<TMainScene> Scene;
    std::unique_ptr<TFlame2D> Flame;
    TSceneTextureList* TextureList = nullptr;
    TSceneTexture* FlameTexture = nullptr;
    TSceneTexture* LightMapTexture = nullptr;
    TSceneTexture* FrontTexture = nullptr;
    TSceneTexture* BackTexture = nullptr;
    TSceneTexture* FireGuardTexture = nullptr;
    TSceneTexture* LogsTexture = nullptr;
    TSceneMesh* FireplaceMesh = nullptr;
    bool ControlsReady = false;
    bool WideScreen = false;
    bool NearView = false;
    bool Sparkles = true;
    bool Smoke = true;
    int FlameColorIndex = 0;
    float WideFactor = 1.0f;

    // The camera that SetNearView moves (the screen saver's viewport); may be none.
    TDefViewport* Viewport = nullptr;
    // Draws each frame where something changed (or whole, with its
    // FullRedraw, which the stored value "FullRedraw" sets).
    TSceneFrameCache FrameCache;

    // ---- Screen-saver events
    // Wires OnStart, OnStop, OnLoadOptions, OnSaveOptions, OnStartOpenGL, OnUpdate,
    // OnCopyFlame, OnRender and OnFPSChanged of the saver to this object. The saver's context
    // must be the GL layer's TCustomOpenGL, handed in as gl.
    void WireEvents(TGLScreenSaver& saver, TCustomOpenGL* gl);

    // Points the resource reader at the embedded archive, creates and loads the
    // scene and looks up the references. The caller then loads the options.
    void StartScene(TCustomOpenGL* gl, const std::string& appPath);
    // Creates and loads the scene from the resource reader as it is set up, and
    // looks up the references (the tools point the reader at a file first).
    void LoadScene(TCustomOpenGL* gl, const std::string& appPath, const std::string& sourceName, int sourceMode);
    // Reads the fireplace settings (plain names, user hive) and applies them in order.
    void LoadSettings(TSettingsStore& store);
    void SaveSettings(TSettingsStore& store);
    // Steps the flame by dt seconds and writes it into the two textures
    // (UpdateFlame, then WriteFlameTextures).
    void Update(float dt);
    // Steps the flame simulation by dt seconds.
    void UpdateFlame(float dt);
    // Switches on culling, lighting and depth testing and processes one scene
    // frame: events, animation, and the render pass through FrameCache.
    void Render(float dt);
    void SetFpsValue(int fps);
    // Frees the frame cache's GL objects, the flame, then the scene.
    void Stop();

    // ---- Operations of the dialogs
    void SetNearView(bool flag);
    void SetSmoke(bool flag);
    void SetSparkles(bool flag);
    void SetFlameColorIndex(int index);
    void SetWideScreen(bool flag);
    // Chooses the fireplace model (the mesh's file-list line); the new model
    // keeps the wide-screen stretch.
    void SetFireplaceStyle(int index);
    // Refreshes the dialog's controls from the state: runs OnShowDialogState,
    // which the settings dialog installs while it exists.
    void ShowDialogState();
    std::function<void()> OnShowDialogState;

    // Copies the flame's heat grid through its palettes into the flame texture and
    // the light map (also used by the headless renderer).
    void WriteFlameTextures();
    // The two halves: false when the flame texture is missing or unusable.
    bool WriteFlameTexture();
    void WriteLightMap();

private:
    TServices services_;
    std::unique_ptr<TSceneSettingsStore> sceneSettings_;
    TGLScreenSaver* saver_ = nullptr;
    TCustomOpenGL* gl_ = nullptr;
};
