#pragma once
// The particle fire: rising sparkles and drifting smoke puffs as scene objects.
//
// TSceneParticleList is a visual-object list whose children are particles that
// age, move and are reborn in place; all of them are drawn with the list's
// shared Visual. TBonFire gives it three styles that differ in where a particle
// is born, how it moves and how it is drawn. Birth windows follow the visible
// frustum at the birth depth, so a nearer camera gives a narrower fire.
//
// Every random draw goes through the process-wide generator (gl/Random.h) in a
// fixed order, so a run is reproducible from the generator's state. The
// population is fixed once loaded: no allocation happens per frame.
#include <cstdint>
#include <string>

#include "gl/FastMath.h"
#include "scene/SceneVisuals.h"

class TSceneParticle : public TMainVisualObject {
public:
    std::string_view ClassName() const override { return "TSceneParticle"; }

    float Age = 0;        // seconds since birth; negative: not yet born
    float LifeTime = 0;   // seconds
    TGLVector Velocity{}; // units per second, added to Position
    TGLVector Spin{};     // degrees per second, added to Angles
    int BatchIndex = 0;   // 1-based place within the batch that created it
    bool FirstLife = true;
};

class TBonFireParticle : public TSceneParticle {
public:
    std::string_view ClassName() const override { return "TBonFireParticle"; }

    float NextKick = 0;     // age at which the next sideways kick is due
    float CentreFactor = 0; // 0..1: 1 in the middle of the birth range
};

class TSceneParticleList : public TMainVisualObjectList {
public:
    TSceneParticleList();
    std::string_view ClassName() const override { return "TSceneParticleList"; }

    bool EnableGravity = false;
    float Gravity = 0;
    float GravityStep = 0; // Gravity x dt of the current frame

    // Ages every particle; dead ones are reborn (Respawn) and advanced by their
    // new age at once. The first generation is spread over its life.
    void Animate(float dt) override;

    virtual void Respawn(TSceneParticle& particle) {}
    virtual void Move(TSceneParticle& particle, float dt);
    virtual TSceneParticle* NewParticle() { return new TSceneParticle(); }
    // Grows (new particles are past their life: born at the next Animate) or
    // shrinks the list to n.
    virtual void SetParticleCount(int n);

    int ParticleCount() const { return GetCount(); }
    TSceneParticle* Particle(int index) const;

    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;
};

enum class TBonFireStyle : std::uint8_t { Sparkle = 0, Smoke = 1, Flame = 2 };

// "Sparkle" and "Smoke" without regard to case; any other text is Flame.
TBonFireStyle StrToBonFireStyle(const std::string& text);
std::string BonFireStyleToStr(TBonFireStyle style);

// The view a particle is born in: the viewing volume and the camera position.
struct TParticleView {
    double Left = -1, Right = 1, Bottom = -1, Top = 1, Near = 1, Far = 100;
    TGLVector Camera{};
};

class TBonFire : public TSceneParticleList {
public:
    std::string_view ClassName() const override { return "TBonFire"; }

    float MaxZ = 0;
    float MinZ = 0;
    float UpY = 0;
    float BottomY = 0;
    float MaxSpeed = 0;
    float MinSpeed = 0;
    int MaxCount = 0;
    TBonFireStyle Style = TBonFireStyle::Sparkle;

    // Builds the shared mesh before the base decides on the translucent pass,
    // so the very first frame already draws the particles.
    void Render() override;
    void RenderAlpha() override;
    void Respawn(TSceneParticle& particle) override;
    void Move(TSceneParticle& particle, float dt) override;
    TSceneParticle* NewParticle() override { return new TBonFireParticle(); }
    // Caps n at MaxCount first.
    void SetParticleCount(int n) override;

    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;

    // The frustum and camera of the scene's view (the viewport the frame is
    // drawn with).
    TParticleView View() const;

private:
    void RenderSparkles();
    void RenderPuffs();
};

// Enters TBonFire into the scene type table.
void RegisterFireTypes(TSceneTypeTable& types);
