#include "fire/FireClasses.h"

#include <algorithm>
#include <cmath>

#include "gl/Errors.h"
#include "gl/GLPrimitives.h"
#include "gl/Random.h"
#include "scene/SceneFonts.h"
#include "scene/SceneLoader.h"
#include "scene/SceneMeshes.h"
#include "scene/SceneRender.h"
#include "scene/SceneTextures.h"

namespace {

// A population far beyond any fire; a description asking for more is damaged.
constexpr int kParticleLimit = 1 << 20;

float Draw()
{
    return static_cast<float>(Random::Real());
}

// a + r x (b - a); the argument order matters, callers pass the larger bound
// first where the draw counts down.
float RandRange(float a, float b)
{
    return static_cast<float>(static_cast<double>(a) + Random::Real() * (static_cast<double>(b) - a));
}

} // namespace

// ---------------------------------------------------------------- TSceneParticleList

TSceneParticleList::TSceneParticleList()
{
    // Particles come only from "ParticleCount": never read or written as children.
    ChildrenPersist = false;
    SetSorted(false);
}

TSceneParticle* TSceneParticleList::Particle(int index) const
{
    return static_cast<TSceneParticle*>(GetItem(index));
}

void TSceneParticleList::SetParticleCount(int n)
{
    n = std::max(n, 0);
    if (n > kParticleLimit)
        RaiseError("TSceneParticleList", "SetParticleCount", "Too many particles: " + std::to_string(n));
    const int count = GetCount();
    if (n < count) {
        FreeLast(count - n);
        return;
    }
    SetCapacity(n);
    for (int k = 1; count + k - 1 < n; ++k) {
        TSceneParticle* p = NewParticle();
        p->StoreName(Name() + std::to_string(GetCount()));
        if (!AddParticle(p)) {
            delete p;
            RaiseError("TSceneParticleList", "SetParticleCount", "Particle not added");
        }
        p->LifeTime = 0;
        p->Age = 1.0f;
        p->BatchIndex = k;
    }
}

void TSceneParticleList::Move(TSceneParticle& p, float dt)
{
    p.Position.X += p.Velocity.X * dt;
    p.Position.Y += p.Velocity.Y * dt;
    p.Position.Z += p.Velocity.Z * dt;
    p.Angles.X += p.Spin.X * dt;
    p.Angles.Y += p.Spin.Y * dt;
    p.Angles.Z += p.Spin.Z * dt;
    // The frame's step, also when dt is the catch-up age of a new particle.
    if (EnableGravity)
        p.Velocity.Y -= GravityStep;
}

void TSceneParticleList::Animate(float dt)
{
    TMainVisualObjectList::Animate(dt);
    if (EnableGravity)
        GravityStep = Gravity * dt;
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        TSceneParticle& p = *Particle(i);
        p.Age += dt;
        if (p.Age < 0)
            continue;
        if (p.Age <= p.LifeTime) {
            Move(p, dt);
            p.FirstLife = false;
            continue;
        }
        Respawn(p);
        if (p.Age < 0)
            continue;
        // The first generation is spread over its life, so the fire does not
        // start as one wave.
        if (p.FirstLife)
            p.Age = static_cast<float>(Random::Real() * (p.LifeTime - p.LifeTime / 8) + p.LifeTime / 16);
        Move(p, p.Age);
        p.FirstLife = false;
    }
}

void TSceneParticleList::LoadFromLoader(TResourceLoader& loader)
{
    TMainVisualObjectList::LoadFromLoader(loader);
    Gravity = loader.ReadFloat("Gravity", Gravity);
    EnableGravity = loader.ReadBool("EnableGravity", EnableGravity);
    SetParticleCount(loader.ReadInteger("ParticleCount", 0));
}

void TSceneParticleList::SaveToLoader(TResourceLoader& loader)
{
    TMainVisualObjectList::SaveToLoader(loader);
    loader.WriteFloat("Gravity", Gravity);
    loader.WriteBool("EnableGravity", EnableGravity);
    loader.WriteInteger("ParticleCount", GetCount());
}

// ---------------------------------------------------------------- styles

TBonFireStyle StrToBonFireStyle(const std::string& text)
{
    if (SameText(text, "Sparkle"))
        return TBonFireStyle::Sparkle;
    if (SameText(text, "Smoke"))
        return TBonFireStyle::Smoke;
    return TBonFireStyle::Flame;
}

std::string BonFireStyleToStr(TBonFireStyle style)
{
    switch (style) {
    case TBonFireStyle::Sparkle:
        return "Sparkle";
    case TBonFireStyle::Smoke:
        return "Smoke";
    default:
        return "Flame";
    }
}

// ---------------------------------------------------------------- TBonFire

TParticleView TBonFire::View() const
{
    const TGLViewport& vp = SceneViewport(MainScene);
    TParticleView v;
    v.Left = vp.Frustum.Left;
    v.Right = vp.Frustum.Right;
    v.Bottom = vp.Frustum.Bottom;
    v.Top = vp.Frustum.Top;
    v.Near = vp.Frustum.Near;
    v.Far = vp.Frustum.Far;
    v.Camera = vp.Position;
    return v;
}

void TBonFire::SetParticleCount(int n)
{
    TSceneParticleList::SetParticleCount(std::min(n, MaxCount));
}

void TBonFire::Respawn(TSceneParticle& particle)
{
    auto& p = static_cast<TBonFireParticle&>(particle);
    const TParticleView view = View();
    const double camX = view.Camera.X, camY = view.Camera.Y, camZ = view.Camera.Z;

    // Birth depth, in front of the origin.
    float z;
    if (Style == TBonFireStyle::Sparkle) {
        z = -RandRange(MinZ, MaxZ);
    } else {
        // Puffs form layers from MinZ toward MaxZ by their place in the batch;
        // a single puff has no spread and sits at MinZ.
        const int count = GetCount();
        const float f = count > 1 ? static_cast<float>(p.BatchIndex) / static_cast<float>(count - 1) : 0.0f;
        z = -(MinZ + (MaxZ - MinZ) * f);
    }

    // The visible half-height and half-width at that depth.
    const double a = view.Near != 0 ? std::fabs(z - camZ) / view.Near : 0.0;
    const double halfH = a * view.Top;
    const double halfW = a * view.Right;

    float yLow, yHigh;
    double xLow, xHigh;
    switch (Style) {
    case TBonFireStyle::Sparkle:
        yLow = static_cast<float>(std::max<double>(BottomY, camY - halfH));
        yHigh = static_cast<float>(std::min<double>(UpY, camY + halfH));
        xLow = (camX - halfW) / 2;
        xHigh = (camX + halfW) / 2;
        break;
    case TBonFireStyle::Smoke:
        yLow = static_cast<float>(std::max<double>(BottomY, camY - halfH));
        yHigh = UpY;
        xLow = (camX - halfW) / 3;
        xHigh = (camX + halfW) / 3;
        break;
    default:
        yLow = BottomY;
        yHigh = UpY;
        xLow = camX - halfW;
        xHigh = camX + halfW;
        break;
    }
    const float x = RandRange(static_cast<float>(xLow), static_cast<float>(xHigh));

    if (Style == TBonFireStyle::Sparkle)
        p.Spin = MakeVector(1300, 1700, 0);
    else
        p.Spin = MakeVector(0, 0, RandRange(160, -160));

    const float speed = RandRange(MinSpeed, MaxSpeed);

    if (Style == TBonFireStyle::Sparkle) {
        // Sparkles near the sides of the birth range live shorter.
        const double width = xHigh - xLow;
        p.CentreFactor = width != 0 ? static_cast<float>(1 - 2 * std::fabs(0.5 - (x - xLow) / width)) : 1.0f;
    } else {
        p.CentreFactor = 1;
    }
    // Without speed a particle would never get anywhere: it lives no time.
    const float travel = std::fabs(yHigh - yLow);
    p.LifeTime = speed > 0 ? travel / speed * p.CentreFactor : 0.0f;
    // A sparkle is reborn part-way along its path; Animate advances it by its age.
    p.Age = Style == TBonFireStyle::Sparkle ? RandRange(p.LifeTime, 0) : 0.0f;

    p.Position = MakeVector(x, yLow, z);
    p.Velocity = MakeVector(0, speed, 0);
    p.Angles = MakeVector(0, 0, 0);
    p.NextKick = 0;
}

void TBonFire::Move(TSceneParticle& particle, float dt)
{
    TSceneParticleList::Move(particle, dt);
    if (Style == TBonFireStyle::Smoke)
        return;
    auto& p = static_cast<TBonFireParticle&>(particle);
    if (p.NextKick <= p.Age) {
        const float s = MinSpeed + Draw() * (MaxSpeed - MinSpeed);
        p.Velocity.X = (Draw() - 0.5f) * s;
        p.NextKick = p.Age + Draw();
    }
}

void TBonFire::Render()
{
    if (auto* mesh = dynamic_cast<TSceneMesh*>(Visual))
        mesh->EnsureBuilt();
    TSceneParticleList::Render();
}

void TBonFire::RenderAlpha()
{
    SceneGL::SetCullFace(false);
    SceneGL::SetLighting(false);
    SceneGL::SetDepthTest(true);
    if (Style == TBonFireStyle::Sparkle)
        RenderSparkles();
    else
        RenderPuffs();
    SceneGL::SetCullFace(true);
}

void TBonFire::RenderSparkles()
{
    if (!Visible || !Visual)
        return;
    for (int i = GetCount() - 1; i >= 0; --i) {
        TSceneParticle& p = *Particle(i);
        p.BeginRender();
        // 0.8 at birth down to 0.2 at the end of life.
        const float c = p.LifeTime != 0 ? (1 - 0.75f * p.Age / p.LifeTime) * 0.8f : 0.8f;
        SceneGL::Scale(c, c, 1);
        Visual->RenderAlpha();
        p.EndRender();
    }
}

void TBonFire::RenderPuffs()
{
    if (!Visible)
        return;
    auto* mesh = dynamic_cast<TSceneMesh*>(Visual);
    if (!mesh)
        return;
    mesh->EnsureBuilt();
    TMeshGroup* group = !mesh->AlphaGroups().empty()    ? mesh->AlphaGroups().front().get()
                              : !mesh->OpaqueGroups().empty() ? mesh->OpaqueGroups().front().get()
                                                              : nullptr;
    if (!group || !group->Primitive)
        return;
    SetBlending(true);
    SetCurrentTexture(group->Texture);
    const bool ready = SceneGLReady();
    // The puff without its fully transparent margins, once for all particles.
    TGLPrimitive* puff = group->DrawnPrimitive();
    for (int i = GetCount() - 1; i >= 0; --i) {
        TSceneParticle& p = *Particle(i);
        p.BeginRender();
        if (ready)
            puff->Render();
        p.EndRender();
    }
}

void TBonFire::LoadFromLoader(TResourceLoader& loader)
{
    MaxZ = loader.ReadFloat("MaxZ", 0);
    MinZ = loader.ReadFloat("MinZ", 0);
    UpY = loader.ReadFloat("UpY", 0);
    BottomY = loader.ReadFloat("BottomY", 0);
    MaxSpeed = loader.ReadFloat("MaxSpeed", 0);
    MinSpeed = loader.ReadFloat("MinSpeed", 0);
    MaxCount = loader.ReadInteger("MaxCount", 0);
    Style = StrToBonFireStyle(loader.ReadString("Style", "Sparkle"));
    TSceneParticleList::LoadFromLoader(loader);
}

void TBonFire::SaveToLoader(TResourceLoader& loader)
{
    loader.WriteFloat("MaxZ", MaxZ);
    loader.WriteFloat("MinZ", MinZ);
    loader.WriteFloat("UpY", UpY);
    loader.WriteFloat("BottomY", BottomY);
    loader.WriteFloat("MaxSpeed", MaxSpeed);
    loader.WriteFloat("MinSpeed", MinSpeed);
    loader.WriteInteger("MaxCount", MaxCount);
    loader.WriteString("Style", BonFireStyleToStr(Style));
    TSceneParticleList::SaveToLoader(loader);
}

void RegisterFireTypes(TSceneTypeTable& types)
{
    types.Add<TBonFire>("TBonFire");
}
