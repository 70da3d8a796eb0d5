#include "clock/GLClock.h"

#include <algorithm>
#include <cctype>

#include "gl/Errors.h"
#include "scene/SceneLoader.h"
#include "scene/SceneMeshes.h"
#include "scene/SceneRender.h"

namespace {

bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool DigitsAt(const std::string& s, std::initializer_list<int> positions)
{
    for (int p : positions)
        if (!IsDigit(s[static_cast<std::size_t>(p)]))
            return false;
    return true;
}

const char* const kDaySprites[7] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};

} // namespace

// ---------------------------------------------------------------- TGLClock

TGLClock::TGLClock() = default;

void TGLClock::SetMode(int mode)
{
    if (mode == Mode)
        return;
    Mode = mode;
    SetVisible(mode > 0);
}

TMainVisualObject* TGLClock::Instance(const char* name) const
{
    if (!Objects)
        return nullptr;
    return dynamic_cast<TMainVisualObject*>(Objects->FindChild(name));
}

void TGLClock::ShowInstance(const char* name, bool flag) const
{
    if (TMainVisualObject* o = Instance(name))
        o->SetVisible(flag);
}

void TGLClock::PointAt(const char* instance, const std::string& sprite) const
{
    TMainVisualObject* o = Instance(instance);
    if (!o || !Sprites)
        return;
    if (TMainObject* s = Sprites->FindChild(sprite))
        o->Visual = s;
}

void TGLClock::Animate(float dt)
{
    TMainSceneObject::Animate(dt);
    BlinkTime += dt;
    // The colon blinks once per second whatever the frame rate.
    if (BlinkTime >= 1.0f) {
        BlinkTime = 0;
        if (TMainVisualObject* colon = Instance("time3"))
            colon->SetVisible(!colon->Visible);
    }
}

void TGLClock::Tint()
{
    if (!Sprites)
        return;
    for (int i = 0; i < Sprites->GetCount(); ++i)
        if (auto* s = dynamic_cast<TSceneSprite*>(Sprites->GetItem(i)))
            s->Color = Color;
}

void TGLClock::UpdateTime()
{
    const bool twelve = Mode == 2;
    const std::string text =
        FormatClockTime(twelve ? "a/phh:nn" : "hh:nn", Provider().Now(), Provider().Locale());
    if (text == TimeText)
        return;
    if (twelve) {
        if (text.size() != 6 || (text[0] != 'a' && text[0] != 'p') || !DigitsAt(text, {1, 2, 4, 5}))
            return;
    } else {
        if (text.size() != 5 || !DigitsAt(text, {0, 1, 3, 4}))
            return;
    }
    TimeText = text;
    const int o = twelve ? 1 : 0;
    if (twelve) {
        ShowInstance("time6", text[0] == 'a');
        ShowInstance("time7", text[0] == 'p');
    } else {
        ShowInstance("time6", false);
        ShowInstance("time7", false);
    }
    // A leading zero of the hour is hidden.
    ShowInstance("time1", text[static_cast<std::size_t>(o)] != '0');
    PointAt("time1", std::string(1, text[static_cast<std::size_t>(o)]));
    PointAt("time2", std::string(1, text[static_cast<std::size_t>(o + 1)]));
    PointAt("time4", std::string(1, text[static_cast<std::size_t>(o + 3)]));
    PointAt("time5", std::string(1, text[static_cast<std::size_t>(o + 4)]));
}

void TGLClock::UpdateDay()
{
    const TClockLocale& locale = Provider().Locale();
    const std::string text = FormatClockTime("ddd", Provider().Now(), locale);
    if (text == DayText)
        return;
    int i = 0;
    for (int k = 0; k < 7; ++k)
        if (locale.ShortDayNames[static_cast<std::size_t>(k)] == text) {
            i = k + 1;
            break;
        }
    if (i == 0)
        return;
    DayText = text;
    PointAt("day", kDaySprites[i - 1]);
}

void TGLClock::UpdateDate()
{
    const std::string text = FormatClockTime("mm/dd", Provider().Now(), Provider().Locale());
    if (text == DateText || text.size() != 5 || !DigitsAt(text, {0, 1, 3, 4}))
        return;
    DateText = text;
    PointAt("month1", std::string(1, text[0]));
    PointAt("month2", std::string(1, text[1]));
    PointAt("month4", std::string(1, text[3]));
    PointAt("month5", std::string(1, text[4]));
}

void TGLClock::Render()
{
    TMainSceneObject::Render();
    Tint();
    UpdateTime();
    UpdateDay();
    UpdateDate();
    if (Objects) {
        Objects->SetVisible(Visible);
        Objects->Render();
    }
}

void TGLClock::ReadSettings()
{
    TSceneSettingsStore* store = SettingsStore();
    if (!store)
        return;
    // The dialog offers None, 24-Hour and 12-Hour (0..2).
    SetMode(std::clamp(store->ReadInteger("Clock Mode", Mode), 0, 2));
    const std::string text = store->ReadString("Clock Color", ColorBytesToStr(Color));
    try {
        Color = StrToColorBytes(text);
    } catch (const EPyrelumeError&) {
        // A damaged stored colour keeps the current one.
    }
}

void TGLClock::WriteSettings()
{
    TSceneSettingsStore* store = SettingsStore();
    if (!store)
        return;
    store->WriteInteger("Clock Mode", Mode);
    store->WriteString("Clock Color", ColorBytesToStr(Color));
}

void TGLClock::LoadFromLoader(TResourceLoader& loader)
{
    TMainSceneObject::LoadFromLoader(loader);
    Sprites = loader.ReadReferenceAs<TSceneMeshList>("Sprites", Sprites);
    Objects = loader.ReadReferenceAs<TMainSpriteList>("Objects", Objects);
    const std::string color = loader.ReadString("Color", ColorBytesToStr(Color));
    try {
        Color = StrToColorBytes(color);
    } catch (const EPyrelumeError& e) {
        RaiseError("TGLClock", "LoadFromLoader", std::string("bad Color: ") + e.what());
    }
    SetMode(loader.ReadInteger("Mode", 0));
}

void TGLClock::SaveToLoader(TResourceLoader& loader)
{
    TMainSceneObject::SaveToLoader(loader);
    loader.WriteReference("Sprites", Sprites);
    loader.WriteReference("Objects", Objects);
    loader.WriteString("Color", ColorBytesToStr(Color));
    loader.WriteInteger("Mode", Mode);
}

// ---------------------------------------------------------------- TWatchClock

float TWatchClock::MinuteAngle(const TLocalTime& t)
{
    return static_cast<float>(t.Minute * 6);
}

float TWatchClock::SecondAngle(const TLocalTime& t)
{
    return static_cast<float>(t.Second * 6 - 180);
}

float TWatchClock::HourAngle(const TLocalTime& t)
{
    return static_cast<float>((t.Hour * 30) % 360 + (t.Minute / 12) * 6 - 90);
}

void TWatchClock::RenderOpaque()
{
    TMainVisualObject::RenderOpaque();
    BeginRender();
    for (TMainVisualObject* part : {ClockFace, HourHand, MinHand, SecHand})
        if (part)
            part->RenderOpaque();
    EndRender();
}

void TWatchClock::RenderAlpha()
{
    TMainVisualObject::RenderAlpha();
    const TLocalTime now = (TimeProvider ? *TimeProvider : SystemTime()).Now();
    SceneGL::SetDepthTest(false);
    BeginRender();
    if (ClockFace)
        ClockFace->RenderAlpha();
    auto hand = [](TMainVisualObject* h, float angle) {
        if (!h)
            return;
        SceneGL::PushMatrix();
        SceneGL::Rotate(angle, 0, 0, -1);
        h->RenderAlpha();
        SceneGL::PopMatrix();
    };
    hand(MinHand, MinuteAngle(now));
    hand(SecHand, SecondAngle(now));
    hand(HourHand, HourAngle(now));
    EndRender();
}

void TWatchClock::ReadSettings()
{
    if (TSceneSettingsStore* store = SettingsStore())
        SetVisible(store->ReadBool("ClockVisible", true));
}

void TWatchClock::WriteSettings()
{
    if (TSceneSettingsStore* store = SettingsStore())
        store->WriteBool("ClockVisible", Visible);
}

void TWatchClock::LoadFromLoader(TResourceLoader& loader)
{
    TMainVisualObject::LoadFromLoader(loader);
    ClockFace = loader.ReadReferenceAs<TMainVisualObject>("ClockFace", ClockFace);
    HourHand = loader.ReadReferenceAs<TMainVisualObject>("HourHand", HourHand);
    MinHand = loader.ReadReferenceAs<TMainVisualObject>("MinHand", MinHand);
    SecHand = loader.ReadReferenceAs<TMainVisualObject>("SecHand", SecHand);
}

void TWatchClock::SaveToLoader(TResourceLoader& loader)
{
    TMainVisualObject::SaveToLoader(loader);
    loader.WriteReference("ClockFace", ClockFace);
    loader.WriteReference("HourHand", HourHand);
    loader.WriteReference("MinHand", MinHand);
    loader.WriteReference("SecHand", SecHand);
}

void RegisterClockTypes(TSceneTypeTable& types, ITimeProvider& time)
{
    ITimeProvider* t = &time;
    types.Add("TGLClock", [t] {
        auto clock = std::make_unique<TGLClock>();
        clock->TimeProvider = t;
        return std::unique_ptr<TMainObject>(std::move(clock));
    });
    types.Add("TWatchClock", [t] {
        auto clock = std::make_unique<TWatchClock>();
        clock->TimeProvider = t;
        return std::unique_ptr<TMainObject>(std::move(clock));
    });
}
