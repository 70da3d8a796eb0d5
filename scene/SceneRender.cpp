#include "scene/SceneRender.h"

#include "gl/GLClasses.h"
#include "gl/GLState.h"
#include "scene/SceneObjects.h"

bool SceneGLReady()
{
    return GLEntryPointsLoaded();
}

namespace SceneGL {

void SetCullFace(bool on) { SwitchGLCapability(GL_CULL_FACE, on); }
void SetDepthTest(bool on) { SwitchGLCapability(GL_DEPTH_TEST, on); }
void SetLighting(bool on) { SwitchGLCapability(GL_LIGHTING, on); }
void SetFog(bool on) { SwitchGLCapability(GL_FOG, on); }
void SetTexture2D(bool on) { SwitchGLCapability(GL_TEXTURE_2D, on); }

void PushMatrix()
{
    if (SceneGLReady())
        glPushMatrix();
}

void PopMatrix()
{
    if (SceneGLReady())
        glPopMatrix();
}

void Translate(float x, float y, float z)
{
    if (SceneGLReady())
        glTranslatef(x, y, z);
}

void Rotate(float angle, float x, float y, float z)
{
    if (SceneGLReady())
        glRotatef(angle, x, y, z);
}

void Scale(float x, float y, float z)
{
    if (SceneGLReady())
        glScalef(x, y, z);
}

void SetCurrentColor(const TGLColor& c)
{
    if (SceneGLReady())
        glColor4f(c.R, c.G, c.B, c.A);
}

void BeginOrtho(double left, double right, double bottom, double top, double nearZ, double farZ)
{
    if (!SceneGLReady())
        return;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(left, right, bottom, top, nearZ, farZ);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void EndOrtho()
{
    if (!SceneGLReady())
        return;
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

} // namespace SceneGL

// ---------------------------------------------------------------- caches

namespace {
TBlendMode g_blend = TBlendMode::bmOff;
TGroupMaterial* g_group = nullptr;
TSceneTexture* g_texture = nullptr;
TGLColor g_color{1, 1, 1, 1};
} // namespace

void ResetRenderStateCaches()
{
    // The GL state is made to match "off" whatever the caches last said: the
    // previous frame may have ended blended (additive blending would add
    // every opaque face to the frame) with depth writes off, or with
    // texturing on, which a first group without texture must not sample.
    if (SceneGLReady()) {
        glDepthMask(GL_TRUE);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_BLEND);
    }
    g_blend = TBlendMode::bmOff;
    g_group = nullptr;
    g_texture = nullptr;
    SceneGL::SetTexture2D(false);
}

void SetBlendMode(TBlendMode mode)
{
    if (mode == g_blend)
        return;
    const TBlendMode was = g_blend;
    g_blend = mode;
    if (!SceneGLReady())
        return;
    if (was == TBlendMode::bmAdditive)
        glDepthMask(GL_TRUE);
    switch (mode) {
    case TBlendMode::bmOff:
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_BLEND);
        break;
    case TBlendMode::bmAlpha:
    case TBlendMode::bmAdditive:
        glBlendFunc(GL_SRC_ALPHA, mode == TBlendMode::bmAdditive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
        if (mode == TBlendMode::bmAdditive)
            glDepthMask(GL_FALSE);
        if (was == TBlendMode::bmOff) {
            glAlphaFunc(GL_GREATER, 0.05f);
            glEnable(GL_ALPHA_TEST);
            glEnable(GL_BLEND);
        }
        break;
    }
}

void SetBlending(bool flag)
{
    SetBlendMode(flag ? TBlendMode::bmAlpha : TBlendMode::bmOff);
}

bool CurrentBlending()
{
    return g_blend != TBlendMode::bmOff;
}

TBlendMode CurrentBlendMode()
{
    return g_blend;
}

void SetCachedMaterialGroup(TGroupMaterial* group)
{
    g_group = group;
}

TGroupMaterial* CurrentMaterialGroup()
{
    return g_group;
}

void SetCachedTexture(TSceneTexture* texture)
{
    g_texture = texture;
}

TSceneTexture* CurrentTexture()
{
    return g_texture;
}

void ForgetCachedObject(const void* object)
{
    if (object && static_cast<const void*>(g_group) == object)
        g_group = nullptr;
    if (object && static_cast<const void*>(g_texture) == object)
        g_texture = nullptr;
}

TGLColor& SharedCurrentColor()
{
    return g_color;
}

// ---------------------------------------------------------------- scene

void TMainScene::Render()
{
    if (!Visible)
        return;
    SceneGL::SetCullFace(true);
    ResetRenderStateCaches();
    for (int i = 0; i < RenderList.GetCount(); ++i)
        RenderList.GetItem(i)->Render();
}

// ---------------------------------------------------------------- GL lists

namespace {
struct StandIns {
    TGLTextureList textures;
    TGLMaterialList materials;
    TGLLightList lights;
    TGLPrimitiveList primitives;
};
StandIns& Stand()
{
    static StandIns s;
    return s;
}
} // namespace

TGLTextureList& SceneGLTextures(TMainScene* scene)
{
    return scene && scene->OpenGL ? scene->OpenGL->Textures() : Stand().textures;
}

TGLMaterialList& SceneGLMaterials(TMainScene* scene)
{
    return scene && scene->OpenGL ? scene->OpenGL->Materials() : Stand().materials;
}

TGLLightList& SceneGLLights(TMainScene* scene)
{
    return scene && scene->OpenGL ? scene->OpenGL->Lights() : Stand().lights;
}

TGLPrimitiveList& SceneGLPrimitives(TMainScene* scene)
{
    return scene && scene->OpenGL ? scene->OpenGL->Primitives() : Stand().primitives;
}

bool SceneGenericRenderer(TMainScene* scene)
{
    return scene && scene->OpenGL && scene->OpenGL->Renderer() == TGLRenderer::Generic;
}
