#include "scene/SceneVisuals.h"

#include "gl/Errors.h"
#include "gl/GLClasses.h"
#include "scene/SceneLoader.h"
#include "scene/SceneRender.h"

// ---------------------------------------------------------------- text forms

std::string VisualOptionsToStr(TVisualOptions options)
{
    return SetToStr({{(options & voPosition) != 0, "Position"},
                     {(options & voRotation) != 0, "Rotation"},
                     {(options & voScale) != 0, "Scale"}});
}

TVisualOptions StrToVisualOptions(const std::string& text)
{
    TVisualOptions o = 0;
    if (text.find("Position") != std::string::npos)
        o |= voPosition;
    if (text.find("Rotation") != std::string::npos)
        o |= voRotation;
    if (text.find("Scale") != std::string::npos)
        o |= voScale;
    return o;
}

std::string LightStyleToStr(TLightStyle style)
{
    switch (style) {
    case TLightStyle::Parallel:
        return "Parallel";
    case TLightStyle::ParallelPoint:
        return "ParallelPoint";
    case TLightStyle::Point:
        return "Point";
    case TLightStyle::Directional:
        return "Directional";
    default:
        return "Ambient";
    }
}

TLightStyle StrToLightStyle(const std::string& text)
{
    if (text.find("ParallelPoint") != std::string::npos)
        return TLightStyle::ParallelPoint;
    if (text.find("Parallel") != std::string::npos)
        return TLightStyle::Parallel;
    if (text.find("Point") != std::string::npos)
        return TLightStyle::Point;
    if (text.find("Directional") != std::string::npos)
        return TLightStyle::Directional;
    return TLightStyle::Ambient;
}

// ---------------------------------------------------------------- TMainVisualObject

void TMainVisualObject::BeginRender()
{
    if ((VisualOptions & 7) == 0)
        return;
    SceneGL::PushMatrix();
    ++pushed_;
    if (VisualOptions & voPosition)
        SceneGL::Translate(Position.X, Position.Y, Position.Z);
    if (VisualOptions & voRotation) {
        SceneGL::Rotate(Angles.Y, 0, 1, 0);
        SceneGL::Rotate(Angles.X, 1, 0, 0);
        SceneGL::Rotate(Angles.Z, 0, 0, 1);
    }
    if (VisualOptions & voScale)
        SceneGL::Scale(Scale.X, Scale.Y, Scale.Z);
}

void TMainVisualObject::EndRender()
{
    if (pushed_ <= 0)
        return;
    --pushed_;
    SceneGL::PopMatrix();
}

void TMainVisualObject::Render()
{
    if (!Visible)
        return;
    RenderOpaque();
    if (Alpha)
        RenderAlpha();
}

void TMainVisualObject::RenderOpaque()
{
    if (!Visual)
        return;
    BeginRender();
    Visual->RenderOpaque();
    EndRender();
}

void TMainVisualObject::RenderAlpha()
{
    if (!Visual)
        return;
    BeginRender();
    Visual->RenderAlpha();
    EndRender();
}

void TMainVisualObject::Animate(float dt)
{
    if (Visual)
        Visual->Animate(dt);
}

void TMainVisualObject::LoadFromLoader(TResourceLoader& loader)
{
    TMainObject::LoadFromLoader(loader);
    VisualOptions = StrToVisualOptions(loader.ReadString("VisualOptions", "[Position,Rotation]"));
    Position = loader.ReadVector("Position", Position);
    Scale = loader.ReadVector("Scale", Scale);
    Angles = loader.ReadVector("Angles", Angles);
    Visual = loader.ReadReference("Visual", dynamic_cast<TMainObject*>(Visual));
}

void TMainVisualObject::SaveToLoader(TResourceLoader& loader)
{
    TMainObject::SaveToLoader(loader);
    loader.WriteString("VisualOptions", VisualOptionsToStr(VisualOptions));
    loader.WriteVector("Position", Position);
    loader.WriteVector("Scale", Scale);
    loader.WriteVector("Angles", Angles);
    loader.WriteReference("Visual", Visual);
}

// ---------------------------------------------------------------- TMainVisualObjectList

TMainVisualObjectList::TMainVisualObjectList()
{
    Visible = true;
}

void TMainVisualObjectList::Render()
{
    Alpha = Visual && Visual->Alpha;
    if (!Visible)
        return;
    RenderOpaque();
    if (Alpha)
        RenderAlpha();
}

void TMainVisualObjectList::RenderOpaque()
{
    if (!Visual)
        return;
    for (int i = 0; i < GetCount(); ++i) {
        TMainItem* c = GetItem(i);
        if (!c)
            continue;
        c->BeginRender();
        Visual->RenderOpaque();
        c->EndRender();
    }
}

void TMainVisualObjectList::RenderAlpha()
{
    if (!Visual || !Visual->Alpha)
        return;
    for (int i = 0; i < GetCount(); ++i) {
        TMainItem* c = GetItem(i);
        if (!c)
            continue;
        c->BeginRender();
        Visual->RenderAlpha();
        c->EndRender();
    }
}

void TMainVisualObjectList::Animate(float dt)
{
    if (Visual && GetCount() > 0)
        Visual->Animate(dt);
}

void TMainVisualObjectList::LoadFromLoader(TResourceLoader& loader)
{
    TResource::LoadFromLoader(loader);
    Visual = loader.ReadReference("Visual", dynamic_cast<TMainObject*>(Visual));
}

void TMainVisualObjectList::SaveToLoader(TResourceLoader& loader)
{
    TResource::SaveToLoader(loader);
    loader.WriteReference("Visual", Visual);
}

// ---------------------------------------------------------------- TMainRenderState

void TMainRenderState::LoadFromLoader(TResourceLoader& loader)
{
    TMainObject::LoadFromLoader(loader);
    Enabled = loader.ReadBool("Enabled", Enabled);
}

void TMainRenderState::SaveToLoader(TResourceLoader& loader)
{
    TMainObject::SaveToLoader(loader);
    loader.WriteBool("Enabled", Enabled);
}

// ---------------------------------------------------------------- TMainLight

TMainLight::~TMainLight()
{
    DestroyGLLight();
}

void TMainLight::DestroyGLLight()
{
    if (!glLight_)
        return;
    TGLLight* l = glLight_;
    glLight_ = nullptr;
    l->Disable();
    delete l;
}

void TMainLight::CreateGLLight()
{
    if (glLight_)
        return;
    if (!MainScene)
        RaiseError("TMainLight", "CreateGLLight", "MainScene is nil!");
    glLight_ = SceneGLLights(MainScene).AddLight();
    switch (LightStyle) {
    case TLightStyle::Parallel:
        glLight_->SetStyleParallel();
        break;
    case TLightStyle::ParallelPoint:
        glLight_->SetStyleParallelPoint();
        break;
    case TLightStyle::Point:
        glLight_->SetStylePoint();
        break;
    case TLightStyle::Directional:
        glLight_->SetStyleDirectional();
        break;
    case TLightStyle::Ambient:
        break;
    }
}

void TMainLight::SetLightStyle(TLightStyle style)
{
    if (style == LightStyle)
        return;
    LightStyle = style;
    DestroyGLLight();
    CreateGLLight();
}

void TMainLight::Enable()
{
    CreateGLLight();
    if (LightStyle == TLightStyle::Ambient) {
        SceneGLLights(MainScene).SetAmbient(glLight_->Ambient());
        SharedCurrentColor() = glLight_->Ambient();
    } else {
        glLight_->Enable();
        SharedCurrentColor() = glLight_->Diffuse();
    }
    Enabled = true;
}

void TMainLight::Disable()
{
    if (glLight_)
        glLight_->Disable();
    Enabled = false;
}

void TMainLight::Render()
{
    if (Enabled)
        Enable();
    else
        Disable();
}

void TMainLight::LoadFromLoader(TResourceLoader& loader)
{
    TMainRenderState::LoadFromLoader(loader);
    CreateGLLight();
    SetLightStyle(StrToLightStyle(loader.ReadString("LightStyle", "")));
    TGLLight& l = *glLight_;
    l.SetInfinite(loader.ReadBool("Infinite", l.Infinite()));
    l.SetAmbient(loader.ReadColor("Ambient", l.Ambient()));
    l.SetDiffuse(loader.ReadColor("Diffuse", l.Diffuse()));
    l.SetSpecular(loader.ReadColor("Specular", l.Specular()));
    l.SetPosition(loader.ReadVector("Position", l.Position()));
    l.SetDirection(loader.ReadVector("Direction", l.Direction()));
    l.SetSpotExponent(loader.ReadFloat("SpotExponent", l.SpotExponent()));
    l.SetSpotCutoff(loader.ReadFloat("SpotCutoff", l.SpotCutoff()));
    l.SetConstantAttenuation(loader.ReadFloat("ConstantAttenuation", l.ConstantAttenuation()));
    l.SetLinearAttenuation(loader.ReadFloat("LinearAttenuation", l.LinearAttenuation()));
    l.SetQuadraticAttenuation(loader.ReadFloat("QuadraticAttenuation", l.QuadraticAttenuation()));
    l.SetTwoSide(loader.ReadBool("TwoSide", l.TwoSide()));
    l.SetLocalViewer(loader.ReadBool("LocalViewer", l.LocalViewer()));
}

void TMainLight::SaveToLoader(TResourceLoader& loader)
{
    TMainObject::SaveToLoader(loader);
    CreateGLLight();
    const TGLLight& l = *glLight_;
    loader.WriteBool("Enabled", Enabled);
    loader.WriteString("LightStyle", LightStyleToStr(LightStyle));
    loader.WriteBool("Infinite", l.Infinite());
    loader.WriteColor("Ambient", l.Ambient());
    loader.WriteColor("Diffuse", l.Diffuse());
    loader.WriteColor("Specular", l.Specular());
    loader.WriteVector("Position", l.Position());
    loader.WriteVector("Direction", l.Direction());
    loader.WriteFloat("SpotExponent", l.SpotExponent());
    loader.WriteFloat("SpotCutoff", l.SpotCutoff());
    loader.WriteFloat("ConstantAttenuation", l.ConstantAttenuation());
    loader.WriteFloat("LinearAttenuation", l.LinearAttenuation());
    loader.WriteFloat("QuadraticAttenuation", l.QuadraticAttenuation());
    loader.WriteBool("TwoSide", l.TwoSide());
    loader.WriteBool("LocalViewer", l.LocalViewer());
}

// ---------------------------------------------------------------- layers

TSceneLayer::TSceneLayer()
{
    Visible = true;
}

void TSceneLayer::Render()
{
    if (!Visible)
        return;
    BeginRender();
    RenderOpaque();
    if (Alpha)
        RenderAlpha();
    EndRender();
}

void TMainSpriteList::Render()
{
    SceneGL::SetLighting(Lighting);
    SceneGL::SetCullFace(false);
    SceneGL::SetDepthTest(false);
    SceneGL::SetFog(false);
    SceneGL::BeginOrtho(0, ViewWidth, 0, ViewHeight, -100, 100);
    SceneGL::Translate(Position.X, Position.Y, 0);
    try {
        TSceneLayer::Render();
    } catch (...) {
        // The orthographic projection is undone before any error leaves the layer.
        SceneGL::EndOrtho();
        throw;
    }
    SceneGL::EndOrtho();
    SceneGL::SetDepthTest(true);
    SceneGL::SetCullFace(true);
}

void TMainSpriteList::LoadFromLoader(TResourceLoader& loader)
{
    TResource::LoadFromLoader(loader);
    Position = loader.ReadVector("Position", Position);
    ViewWidth = loader.ReadFloat("ViewWidth", ViewWidth);
    ViewHeight = loader.ReadFloat("ViewHeight", ViewHeight);
    Lighting = loader.ReadBool("Lighting", Lighting);
}

void TMainSpriteList::SaveToLoader(TResourceLoader& loader)
{
    TResource::SaveToLoader(loader);
    loader.WriteVector("Position", Position);
    loader.WriteFloat("ViewWidth", ViewWidth);
    loader.WriteFloat("ViewHeight", ViewHeight);
    loader.WriteBool("Lighting", Lighting);
}
