#pragma once
// Render state shared by every drawing object of the scene: the caches for
// blending, the applied material group and the bound scene texture, the
// shared current colour, and thin switches over the GL state. All of them do
// nothing while no GL entry points are loaded, so the object model runs in
// tests without a context.
#include "gl/FastMath.h"

class TGroupMaterial;
class TSceneTexture;
class TMainScene;
class TGLTextureList;
class TGLMaterialList;
class TGLLightList;
class TGLPrimitiveList;

// True when GL entry points are loaded (a context has been created).
bool SceneGLReady();

namespace SceneGL {
void SetCullFace(bool on);
void SetDepthTest(bool on);
void SetLighting(bool on);
void SetFog(bool on);
void SetTexture2D(bool on);
void PushMatrix();
void PopMatrix();
void Translate(float x, float y, float z);
void Rotate(float angle, float x, float y, float z);
void Scale(float x, float y, float z);
void SetCurrentColor(const TGLColor& c);
// Switches to the projection matrix, pushes it, loads an orthographic volume;
// then switches to the model-view matrix, pushes it and loads the identity.
void BeginOrtho(double left, double right, double bottom, double top, double nearZ, double farZ);
// Pops both matrices pushed by BeginOrtho.
void EndOrtho();
} // namespace SceneGL

// Start of every scene render: blending off, no texture, no material group.
void ResetRenderStateCaches();

// How a pass blends: off; source alpha over the frame (one minus source
// alpha); or added to the frame (glowing layers: flames, firelight, sparks),
// which leaves the depth buffer as it is: glows hide nothing, so sparks and
// smoke show through the flames and overlapping glows all add up. Both
// blended modes test alpha > 0.05.
enum class TBlendMode { bmOff, bmAlpha, bmAdditive };
void SetBlendMode(TBlendMode mode);
// On: bmAlpha; off: bmOff.
void SetBlending(bool flag);
// True in either blended mode.
bool CurrentBlending();
TBlendMode CurrentBlendMode();

// The applied material group and the bound scene texture. ApplyMaterialGroup
// (scene/SceneMeshes.h) and SetCurrentTexture (scene/SceneTextures.h) change
// the GL state and record what they applied here.
TGroupMaterial* CurrentMaterialGroup();
void SetCachedMaterialGroup(TGroupMaterial* group);
TSceneTexture* CurrentTexture();
void SetCachedTexture(TSceneTexture* texture);

// Drops a cached material group or texture that is being destroyed.
void ForgetCachedObject(const void* object);

// The colour every drawing sets as the GL current colour: red, green and blue
// from the enabled light, alpha from the applied material group.
TGLColor& SharedCurrentColor();

// The GL object lists of the scene's context; without a context (tests,
// tools that only load) process-wide stand-in lists are used.
TGLTextureList& SceneGLTextures(TMainScene* scene);
TGLMaterialList& SceneGLMaterials(TMainScene* scene);
TGLLightList& SceneGLLights(TMainScene* scene);
TGLPrimitiveList& SceneGLPrimitives(TMainScene* scene);
// True when the context runs the system's generic (software) renderer.
bool SceneGenericRenderer(TMainScene* scene);
