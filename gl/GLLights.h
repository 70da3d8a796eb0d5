#pragma once
// Materials and lights. Each keeps its parameters in memory with a set of
// dirty bits and sends them to the GL when applied; lights share the GL's
// light slots over a frame (Enable takes a free slot, Disable gives it back).
#include <cstdint>

#include "gl/FastMath.h"
#include "gl/GLApi.h"
#include "gl/GLItems.h"

class TGLMaterial;
class TGLLight;

// Dirty bits of TGLMaterial.
inline constexpr std::uint32_t mcAmbient = 0x1;
inline constexpr std::uint32_t mcDiffuse = 0x2;
inline constexpr std::uint32_t mcSpecular = 0x8;
inline constexpr std::uint32_t mcEmission = 0x10;
inline constexpr std::uint32_t mcShininess = 0x20;
inline constexpr std::uint32_t mcAll = 0x3B;

// Dirty bits of TGLLight.
inline constexpr std::uint32_t lcAmbient = 0x1;
inline constexpr std::uint32_t lcDiffuse = 0x2;
inline constexpr std::uint32_t lcSpecular = 0x8;
inline constexpr std::uint32_t lcInfinite = 0x40;
inline constexpr std::uint32_t lcPosition = 0x80;
inline constexpr std::uint32_t lcDirection = 0x100;
inline constexpr std::uint32_t lcSpotExponent = 0x200;
inline constexpr std::uint32_t lcSpotCutoff = 0x400;
inline constexpr std::uint32_t lcConstantAttenuation = 0x800;
inline constexpr std::uint32_t lcLinearAttenuation = 0x1000;
inline constexpr std::uint32_t lcQuadraticAttenuation = 0x2000;
inline constexpr std::uint32_t lcTwoSide = 0x4000;
inline constexpr std::uint32_t lcLocalViewer = 0x8000;
inline constexpr std::uint32_t lcAll = 0xFFCB;

class TGLMaterialList : public TGLItemList {
public:
    explicit TGLMaterialList(IGLCapabilities* context = nullptr) : TGLItemList(context) {}

    // Probes separate specular colour; with LightModel set, selects the local
    // viewer and separate specular colour in the light model.
    void InitGL() override;
    TGLMaterial* AddMaterial();
    TGLMaterial* Material(int index) const;

    bool LightModel = false;
    bool HasSeparateSpecular = false;
};

class TGLMaterial : public TGLItem {
public:
    TGLMaterial();

    // Ambient (0.2,0.2,0.2,1), Diffuse (0.8,0.8,0.8,1), Specular and Emission
    // (0,0,0,0), Shininess 0 (no dirty bit), Back false, Front true.
    void SetDefaults();

    void SetAmbient(const TGLColor& c);
    void SetDiffuse(const TGLColor& c);
    void SetSpecular(const TGLColor& c);
    void SetEmission(const TGLColor& c);
    void SetShininess(float s);
    void SetFront(bool front);
    void SetBack(bool back);

    // Sends the changed values to the face(s) and clears Changed.
    void Apply();
    // Marks everything changed, then applies.
    void ApplyAll();
    // GL_FRONT_AND_BACK, GL_FRONT or GL_BACK from Front and Back.
    GLenum Face() const;

    const TGLColor& Ambient() const { return ambient_; }
    const TGLColor& Diffuse() const { return diffuse_; }
    const TGLColor& Specular() const { return specular_; }
    const TGLColor& Emission() const { return emission_; }
    float Shininess() const { return shininess_; }
    bool Front() const { return front_; }
    bool Back() const { return back_; }
    std::uint32_t Changed() const { return changed_; }
    void SetChanged(std::uint32_t bits) { changed_ = bits; }

private:
    TGLColor ambient_, diffuse_, specular_, emission_;
    float shininess_ = 0;
    std::uint32_t changed_ = mcAll;
    bool back_ = false;
    bool front_ = true;
};

class TGLLightList : public TGLItemList {
public:
    // Light slots are tracked in a 32-bit mask, so at most this many are used.
    static constexpr int SlotLimit = 32;

    explicit TGLLightList(IGLCapabilities* context = nullptr) : TGLItemList(context) {}

    // Sets the global ambient colour to (0,0,0,1).
    void InitGL() override;
    TGLLight* AddLight();
    TGLLight* Light(int index) const;

    // GL_MAX_LIGHTS on first use (limited to SlotLimit), then cached; raises
    // the context's GetInt error without an active context.
    int MaxLights();
    // Sets the cached count (tests, or a driver known in advance).
    void SetMaxLights(int n) { maxLights_ = n > SlotLimit ? SlotLimit : n; }
    // The lowest free slot below MaxLights, marked used; 0 (unmarked) when all are in use.
    int AllocSlot();
    void FreeSlot(int index);
    std::uint32_t UsedSlots() const { return usedSlots_; }

    // Stores the global ambient colour and sends it when a context is active.
    void SetAmbient(const TGLColor& c);
    const TGLColor& Ambient() const { return ambient_; }

private:
    int maxLights_ = 0;
    TGLColor ambient_{0, 0, 0, 1};
    std::uint32_t usedSlots_ = 0;
};

class TGLLight : public TGLItem {
public:
    TGLLight() = default;

    void SetAmbient(const TGLColor& c) { ambient_ = c; changed_ |= lcAmbient; }
    void SetDiffuse(const TGLColor& c) { diffuse_ = c; changed_ |= lcDiffuse; }
    void SetSpecular(const TGLColor& c) { specular_ = c; changed_ |= lcSpecular; }
    void SetPosition(const TGLVector& v) { position_ = v; changed_ |= lcPosition; }
    void SetDirection(const TGLVector& v) { direction_ = v; changed_ |= lcDirection; }
    void SetSpotExponent(float v) { spotExponent_ = v; changed_ |= lcSpotExponent; }
    void SetSpotCutoff(float v) { spotCutoff_ = v; changed_ |= lcSpotCutoff; }
    void SetConstantAttenuation(float v) { constantAttenuation_ = v; changed_ |= lcConstantAttenuation; }
    void SetLinearAttenuation(float v) { linearAttenuation_ = v; changed_ |= lcLinearAttenuation; }
    void SetQuadraticAttenuation(float v) { quadraticAttenuation_ = v; changed_ |= lcQuadraticAttenuation; }
    void SetInfinite(bool v) { infinite_ = v; changed_ |= lcInfinite; }
    void SetLocalViewer(bool v) { localViewer_ = v; changed_ |= lcLocalViewer; }
    void SetTwoSide(bool v) { twoSide_ = v; changed_ |= lcTwoSide; }

    // Only with an active context: takes a slot when not enabled, applies
    // everything and enables GL_LIGHT0 + Index.
    void Enable();
    // Only when enabled and the context is active: frees the slot and
    // disables the GL light.
    void Disable();
    // Sends every parameter when anything changed (and the context is active).
    void Apply();
    void ApplyAll();

    // The position sent as GL_POSITION: (-Direction, 0) when Infinite, else (Position, 1).
    void GLPosition(float out[4]) const;

    // "LightStyle" presets.
    void SetStyleParallel();
    void SetStyleParallelPoint();
    void SetStylePoint();
    void SetStyleDirectional();

    const TGLColor& Ambient() const { return ambient_; }
    const TGLColor& Diffuse() const { return diffuse_; }
    const TGLColor& Specular() const { return specular_; }
    const TGLVector& Position() const { return position_; }
    const TGLVector& Direction() const { return direction_; }
    float SpotExponent() const { return spotExponent_; }
    float SpotCutoff() const { return spotCutoff_; }
    float ConstantAttenuation() const { return constantAttenuation_; }
    float LinearAttenuation() const { return linearAttenuation_; }
    float QuadraticAttenuation() const { return quadraticAttenuation_; }
    bool Infinite() const { return infinite_; }
    bool LocalViewer() const { return localViewer_; }
    bool TwoSide() const { return twoSide_; }
    bool Enabled() const { return enabled_; }
    int Index() const { return index_; }
    void SetIndex(int index) { index_ = index; }
    std::uint32_t Changed() const { return changed_; }
    void SetChanged(std::uint32_t bits) { changed_ = bits; }

private:
    TGLLightList* List() const;

    TGLColor ambient_{0, 0, 0, 1};
    TGLColor diffuse_{1, 1, 1, 1};
    TGLColor specular_{1, 1, 1, 1};
    TGLVector position_{0, 0, 0};
    TGLVector direction_{-1, -1, -1};
    float spotExponent_ = 0;
    float spotCutoff_ = 180;
    float constantAttenuation_ = 1;
    float linearAttenuation_ = 0;
    float quadraticAttenuation_ = 0;
    bool infinite_ = true;
    bool localViewer_ = false;
    bool twoSide_ = false;
    bool enabled_ = false;
    int index_ = 0;
    std::uint32_t changed_ = lcAll;
};
