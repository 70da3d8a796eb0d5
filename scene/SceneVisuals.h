#pragma once
// Placed shapes (visual objects and lists of them), the scene light, layers
// and the 2D sprite layer drawn over a fixed virtual screen.
#include <cstdint>
#include <string>

#include "gl/FastMath.h"
#include "scene/SceneObjects.h"

class TGLLight;

using TVisualOptions = std::uint8_t;
constexpr TVisualOptions voPosition = 1;
constexpr TVisualOptions voRotation = 2;
constexpr TVisualOptions voScale = 4;

// "[]", "[Position]", ..., "[Position,Rotation,Scale]".
std::string VisualOptionsToStr(TVisualOptions options);
TVisualOptions StrToVisualOptions(const std::string& text);

class TMainVisualObject : public TMainSceneObject {
public:
    std::string_view ClassName() const override { return "TMainVisualObject"; }

    TGLVector Position{0, 0, 0};
    TGLVector Scale{1, 1, 1};
    TGLVector Angles{0, 0, 0};
    TVisualOptions VisualOptions = voPosition | voRotation;
    TMainItem* Visual = nullptr;  // not owned

    void BeginRender() override;
    void EndRender() override;
    void Render() override;
    void RenderOpaque() override;
    void RenderAlpha() override;
    void Animate(float dt) override;
    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;

private:
    int pushed_ = 0;  // matrices pushed by BeginRender and not yet popped
};

class TMainVisualObjectList : public TResource {
public:
    TMainVisualObjectList();
    std::string_view ClassName() const override { return "TMainVisualObjectList"; }

    TMainItem* Visual = nullptr;  // the shared shape, not owned

    void Render() override;
    void RenderOpaque() override;
    void RenderAlpha() override;
    void Animate(float dt) override;
    void SetSorted(bool flag) override { TMainObjectList::SetSorted(flag); }
    bool AddParticle(TMainItem* object) { return AddItem(object); }
    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;
};

class TMainRenderState : public TMainSceneObject {
public:
    std::string_view ClassName() const override { return "TMainRenderState"; }

    bool Enabled = true;
    virtual void Enable() { Enabled = true; }
    virtual void Disable() { Enabled = false; }

    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;
};

enum class TLightStyle : std::uint8_t { Parallel = 0, ParallelPoint = 1, Point = 2, Directional = 3, Ambient = 4 };
std::string LightStyleToStr(TLightStyle style);
// "ParallelPoint", "Parallel", "Point", "Directional" in this order; else Ambient.
TLightStyle StrToLightStyle(const std::string& text);

class TMainLight : public TMainRenderState {
public:
    ~TMainLight() override;
    std::string_view ClassName() const override { return "TMainLight"; }

    TGLLight* GLLight() const { return glLight_; }
    TLightStyle LightStyle = TLightStyle::Parallel;

    void CreateGLLight();
    void SetLightStyle(TLightStyle style);
    void Enable() override;
    void Disable() override;
    void Render() override;
    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;

private:
    void DestroyGLLight();
    TGLLight* glLight_ = nullptr;
};

class TSceneLayer : public TResource {
public:
    TSceneLayer();
    std::string_view ClassName() const override { return "TSceneLayer"; }
    void Render() override;
};

class TMainSpriteList : public TSceneLayer {
public:
    std::string_view ClassName() const override { return "TMainSpriteList"; }

    float ViewWidth = 1024;
    float ViewHeight = 768;
    TGLVector Position{0, 0, 0};
    bool Lighting = false;

    void Render() override;
    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;
};
