#pragma once
// The clock overlay. TGLClock draws nothing itself: each frame it points the
// sprite instances of its instance list ("time1".."time7", "month1".."month5",
// "day") at the sprites showing the current digits, day name and am/pm mark,
// tints every clock sprite, and draws the instance list. TWatchClock is an
// analog clock built from a face and three hands.
#include <cstdint>
#include <string>

#include "clock/TimeProvider.h"
#include "gl/FastMath.h"
#include "scene/SceneVisuals.h"

class TMainSpriteList;
class TSceneMeshList;

class TGLClock : public TMainSceneObject {
public:
    TGLClock();
    std::string_view ClassName() const override { return "TGLClock"; }

    std::string TimeText; // the last time string shown
    std::string DateText; // the last month/day string shown
    std::string DayText;  // the last day name shown
    TMainSpriteList* Objects = nullptr; // the instances; not owned
    TSceneMeshList* Sprites = nullptr;  // the digit, day and mark sprites; not owned
    float BlinkTime = 0;
    int Mode = -1; // 0 hidden, 1 24-hour, 2 12-hour; -1 until first set
    TGLColorBytes Color{255, 255, 255, 255};
    // The time source; none means the process-wide provider.
    ITimeProvider* TimeProvider = nullptr;

    // Stores a changed mode and shows the clock for modes above 0.
    void SetMode(int mode);

    void Animate(float dt) override;
    void Render() override;
    void ReadSettings() override;
    void WriteSettings() override;
    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;

    // The per-frame steps, in the order Render runs them.
    void Tint();
    void UpdateTime();
    void UpdateDay();
    void UpdateDate();

private:
    ITimeProvider& Provider() const { return TimeProvider ? *TimeProvider : SystemTime(); }
    TMainVisualObject* Instance(const char* name) const;
    void ShowInstance(const char* name, bool flag) const;
    // Points the instance at the sprite of that name (kept when missing).
    void PointAt(const char* instance, const std::string& sprite) const;
};

class TWatchClock : public TMainVisualObject {
public:
    std::string_view ClassName() const override { return "TWatchClock"; }

    TMainVisualObject* SecHand = nullptr;
    TMainVisualObject* HourHand = nullptr;
    TMainVisualObject* ClockFace = nullptr;
    TMainVisualObject* MinHand = nullptr;
    ITimeProvider* TimeProvider = nullptr;

    void RenderOpaque() override;
    void RenderAlpha() override;
    void ReadSettings() override;
    void WriteSettings() override;
    void LoadFromLoader(TResourceLoader& loader) override;
    void SaveToLoader(TResourceLoader& loader) override;

    // Hand angles in degrees (about -Z) at a local time.
    static float MinuteAngle(const TLocalTime& t);
    static float SecondAngle(const TLocalTime& t);
    static float HourAngle(const TLocalTime& t);
};

// Enters TGLClock and TWatchClock into types; their clocks read time.
void RegisterClockTypes(TSceneTypeTable& types, ITimeProvider& time);
