#include "gl/GLLights.h"

#include "gl/GLCapabilities.h"

// ---- TGLMaterialList ----

void TGLMaterialList::InitGL()
{
    IGLCapabilities* gl = Context();
    if (!gl)
        return;
    HasSeparateSpecular = gl->HasExtension("EXT_separate_specular_color");
    if (LightModel) {
        glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
        glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    }
}

TGLMaterial* TGLMaterialList::AddMaterial()
{
    auto* material = new TGLMaterial();
    Add(material);
    return material;
}

TGLMaterial* TGLMaterialList::Material(int index) const { return static_cast<TGLMaterial*>(Item(index)); }

// ---- TGLMaterial ----

TGLMaterial::TGLMaterial() { SetDefaults(); }

void TGLMaterial::SetDefaults()
{
    SetAmbient({0.2f, 0.2f, 0.2f, 1});
    SetDiffuse({0.8f, 0.8f, 0.8f, 1});
    SetSpecular({0, 0, 0, 0});
    SetEmission({0, 0, 0, 0});
    shininess_ = 0;
    SetBack(false);
    SetFront(true);
}

void TGLMaterial::SetAmbient(const TGLColor& c) { ambient_ = c; changed_ |= mcAmbient; }
void TGLMaterial::SetDiffuse(const TGLColor& c) { diffuse_ = c; changed_ |= mcDiffuse; }
void TGLMaterial::SetSpecular(const TGLColor& c) { specular_ = c; changed_ |= mcSpecular; }
void TGLMaterial::SetEmission(const TGLColor& c) { emission_ = c; changed_ |= mcEmission; }
void TGLMaterial::SetShininess(float s) { shininess_ = s; changed_ |= mcShininess; }
void TGLMaterial::SetFront(bool front) { front_ = front; changed_ |= mcAll; }
void TGLMaterial::SetBack(bool back) { back_ = back; changed_ |= mcAll; }

GLenum TGLMaterial::Face() const
{
    if (front_ && back_)
        return GL_FRONT_AND_BACK;
    return front_ ? GL_FRONT : GL_BACK;
}

void TGLMaterial::Apply()
{
    // Kept dirty until there is a GL to send to.
    if (changed_ == 0 || !glMaterialfv)
        return;
    const GLenum face = Face();
    if (changed_ & mcAmbient)
        glMaterialfv(face, GL_AMBIENT, &ambient_.R);
    if (changed_ & mcDiffuse)
        glMaterialfv(face, GL_DIFFUSE, &diffuse_.R);
    if (changed_ & mcSpecular)
        glMaterialfv(face, GL_SPECULAR, &specular_.R);
    if (changed_ & mcEmission)
        glMaterialfv(face, GL_EMISSION, &emission_.R);
    if (changed_ & mcShininess)
        glMaterialf(face, GL_SHININESS, shininess_);
    changed_ = 0;
}

void TGLMaterial::ApplyAll()
{
    changed_ = mcAll;
    Apply();
}

// ---- TGLLightList ----

void TGLLightList::InitGL() { SetAmbient({0, 0, 0, 1}); }

TGLLight* TGLLightList::AddLight()
{
    auto* light = new TGLLight();
    light->SetIndex(Count());
    Add(light);
    return light;
}

TGLLight* TGLLightList::Light(int index) const { return static_cast<TGLLight*>(Item(index)); }

int TGLLightList::MaxLights()
{
    if (maxLights_ == 0) {
        IGLCapabilities* gl = Context();
        int n = gl ? gl->GetInt(GL_MAX_LIGHTS) : IGLCapabilities::RaiseNotActive();
        SetMaxLights(n);
    }
    return maxLights_;
}

int TGLLightList::AllocSlot()
{
    const int n = MaxLights();
    for (int i = 0; i < n; ++i) {
        const std::uint32_t bit = std::uint32_t(1) << i;
        if ((usedSlots_ & bit) == 0) {
            usedSlots_ |= bit;
            return i;
        }
    }
    return 0;
}

void TGLLightList::FreeSlot(int index)
{
    if (index >= 0 && index < SlotLimit)
        usedSlots_ &= ~(std::uint32_t(1) << index);
}

void TGLLightList::SetAmbient(const TGLColor& c)
{
    ambient_ = c;
    IGLCapabilities* gl = Context();
    if (gl && gl->Active())
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, &ambient_.R);
}

// ---- TGLLight ----

TGLLightList* TGLLight::List() const { return dynamic_cast<TGLLightList*>(Owner()); }

void TGLLight::GLPosition(float out[4]) const
{
    if (infinite_) {
        out[0] = -direction_.X;
        out[1] = -direction_.Y;
        out[2] = -direction_.Z;
        out[3] = 0;
    } else {
        out[0] = position_.X;
        out[1] = position_.Y;
        out[2] = position_.Z;
        out[3] = 1;
    }
}

void TGLLight::Apply()
{
    if (changed_ == 0 || !ContextActive())
        return;
    const GLenum light = GL_LIGHT0 + static_cast<GLenum>(index_);
    glLightfv(light, GL_AMBIENT, &ambient_.R);
    glLightfv(light, GL_DIFFUSE, &diffuse_.R);
    glLightfv(light, GL_SPECULAR, &specular_.R);
    float position[4];
    GLPosition(position);
    // Position and direction are taken in eye coordinates.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glLightfv(light, GL_POSITION, position);
    glLightfv(light, GL_SPOT_DIRECTION, &direction_.X);
    glPopMatrix();
    glLightf(light, GL_SPOT_EXPONENT, spotExponent_);
    glLightf(light, GL_SPOT_CUTOFF, spotCutoff_);
    glLightf(light, GL_CONSTANT_ATTENUATION, constantAttenuation_);
    glLightf(light, GL_LINEAR_ATTENUATION, linearAttenuation_);
    glLightf(light, GL_QUADRATIC_ATTENUATION, quadraticAttenuation_);
    // The light model always uses a local viewer and one-sided lighting; the
    // light's own LocalViewer and TwoSide values are only stored.
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    changed_ = 0;
}

void TGLLight::ApplyAll()
{
    changed_ = lcAll;
    Apply();
}

void TGLLight::Enable()
{
    if (!ContextActive())
        return;
    if (!enabled_) {
        TGLLightList* list = List();
        index_ = list ? list->AllocSlot() : 0;
    }
    ApplyAll();
    glEnable(GL_LIGHT0 + static_cast<GLenum>(index_));
    enabled_ = true;
}

void TGLLight::Disable()
{
    if (!enabled_ || !ContextActive())
        return;
    if (TGLLightList* list = List())
        list->FreeSlot(index_);
    glDisable(GL_LIGHT0 + static_cast<GLenum>(index_));
    enabled_ = false;
}

void TGLLight::SetStyleParallel()
{
    SetInfinite(true);
    SetPosition(VectorScale(direction_, 1e37f));
    SetSpotExponent(0);
    SetSpotCutoff(180);
    SetConstantAttenuation(1);
    SetLinearAttenuation(0);
    SetQuadraticAttenuation(0);
}

void TGLLight::SetStyleParallelPoint()
{
    SetInfinite(true);
    SetSpotExponent(0);
    SetSpotCutoff(180);
    SetConstantAttenuation(1);
    SetLinearAttenuation(0);
    SetQuadraticAttenuation(0);
}

void TGLLight::SetStylePoint()
{
    SetInfinite(false);
    SetSpotExponent(0);
    SetSpotCutoff(180);
}

void TGLLight::SetStyleDirectional() { SetInfinite(false); }
