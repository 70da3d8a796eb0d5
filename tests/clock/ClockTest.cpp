// The digital clock with a fixed time provider: digits, am/pm marks, hidden
// leading zeros, day names, dates, separators of other locales, the blinking
// colon, tint and settings; the text formatting and time parsing it relies on.
#include <gtest/gtest.h>

#include "clock/GLClock.h"
#include "scene/GLGraphics.h"
#include "tests/common/TestUtil.h"

namespace {

using MemoryStore = testutil::MemorySettings<TSceneSettingsStore>;

TLocalTime At(int year, int month, int day, int hour, int minute, int second = 0)
{
    TLocalTime t;
    EXPECT_TRUE(ParseLocalTime([&] {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, hour, minute, second);
        return std::string(buf);
    }(), t));
    return t;
}

// The clock pieces of the fireplace: 22 sprites and 14 instances.
class ClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scene = std::make_unique<TMainScene>();
        auto* res = new TResource();
        res->StoreName("ClockResource");
        scene->AddSceneObject(res, 0);
        // Sprites draw (without GL) from a texture and a material of their own.
        auto* tex = new TSceneTexture();
        tex->StoreName("clock.jpg");
        res->AddItem(tex);
        tex->CreateGLTexture(TTextureFormat::Texture);
        auto* mat = new TSceneMaterial();
        mat->StoreName("ClockMat");
        res->AddItem(mat);
        mat->AddGroup();
        sprites = new TSceneMeshList();
        sprites->StoreName("ClockSprites");
        res->AddItem(sprites);
        for (const char* n : {"Plate", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ":", "\\", "sun", "mon",
                              "tue", "wed", "thu", "fri", "sat", "am", "pm"}) {
            auto* s = new TSceneSprite();
            s->StoreName(n);
            sprites->AddItem(s);
            s->Texture = tex;
            s->Material = mat;
        }
        objects = new TMainSpriteList();
        objects->StoreName("ClockObjects");
        res->AddItem(objects);
        const std::pair<const char*, const char*> instances[] = {
            {"ClockPlate", "Plate"}, {"time1", "1"}, {"time2", "8"},  {"time3", ":"},    {"time4", "1"},
            {"time5", "8"},         {"month1", "8"}, {"month2", "8"}, {"month3", "\\"}, {"month4", "8"},
            {"month5", "8"},        {"day", "wed"},  {"time6", "am"}, {"time7", "pm"}};
        for (auto [name, visual] : instances) {
            auto* o = new TMainVisualObject();
            o->StoreName(name);
            o->Visual = sprites->FindChild(visual);
            objects->AddItem(o);
        }
        clock = new TGLClock();
        clock->StoreName("GLClock");
        scene->AddSceneObject(clock, poRender | poAnimation);
        clock->Sprites = sprites;
        clock->Objects = objects;
        clock->TimeProvider = &time;
        scene->Settings = &store;
    }

    // The sprite an instance shows.
    std::string Shows(const char* instance)
    {
        auto* o = dynamic_cast<TMainVisualObject*>(objects->FindChild(instance));
        auto* v = o ? dynamic_cast<TMainObject*>(o->Visual) : nullptr;
        return v ? v->Name() : "(none)";
    }
    bool Shown(const char* instance) { return objects->FindChild(instance)->Visible; }
    // What the instances show, hidden ones as "_": time1..time7 or month1..month5.
    std::string Face(const char* prefix, int count)
    {
        std::string out;
        for (int i = 1; i <= count; ++i) {
            const std::string name = prefix + std::to_string(i);
            out += (i > 1 ? " " : "") + (Shown(name.c_str()) ? Shows(name.c_str()) : std::string("_"));
        }
        return out;
    }
    std::string Time() { return Face("time", 7); }

    void Frame(const TLocalTime& t)
    {
        time.Time = t;
        clock->Render();
    }

    std::unique_ptr<TMainScene> scene;
    TSceneMeshList* sprites = nullptr;
    TMainSpriteList* objects = nullptr;
    TGLClock* clock = nullptr;
    TFixedTimeProvider time;
    MemoryStore store;
};

} // namespace

TEST_F(ClockTest, TwentyFourHourClockHidesTheLeadingZero)
{
    clock->SetMode(1);
    Frame(At(2024, 3, 15, 9, 5));
    EXPECT_EQ(clock->TimeText, "09:05");
    EXPECT_EQ(Time(), "_ 9 : 0 5 _ _");
    Frame(At(2024, 3, 15, 21, 5));
    EXPECT_EQ(Time(), "2 1 : 0 5 _ _");
}

TEST_F(ClockTest, TwelveHourClockShowsTheMarkAndHourOfTwelve)
{
    clock->SetMode(2);
    Frame(At(2024, 3, 15, 21, 5));
    EXPECT_EQ(clock->TimeText, "p09:05");
    EXPECT_EQ(Time(), "_ 9 : 0 5 _ pm");
    Frame(At(2024, 3, 15, 9, 5));
    EXPECT_EQ(Time(), "_ 9 : 0 5 am _");
    Frame(At(2024, 3, 16, 0, 30));
    EXPECT_EQ(clock->TimeText, "a12:30");
    EXPECT_EQ(Time(), "1 2 : 3 0 am _");
    // Back to 24 hours: the marks go away.
    clock->SetMode(1);
    Frame(At(2024, 3, 16, 13, 45));
    EXPECT_EQ(Time(), "1 3 : 4 5 _ _");
}

TEST_F(ClockTest, OtherSeparatorsWorkAndInvalidTextsAreIgnored)
{
    clock->SetMode(1);
    time.Locale_.TimeSeparator = ".";
    time.Locale_.DateSeparator = "-";
    Frame(At(2024, 11, 7, 23, 59));
    EXPECT_EQ(clock->TimeText, "23.59");
    EXPECT_EQ(Time(), "2 3 : 5 9 _ _");
    EXPECT_EQ(clock->DateText, "11-07");
    EXPECT_EQ(Face("month", 5), "1 1 \\ 0 7");

    // A two-character separator breaks the digit positions: nothing changes.
    time.Locale_.TimeSeparator = "::";
    time.Locale_.DateSeparator = "";
    Frame(At(2024, 12, 25, 8, 10));
    EXPECT_EQ(clock->TimeText, "23.59");
    EXPECT_EQ(Time(), "2 3 : 5 9 _ _");
    EXPECT_EQ(clock->DateText, "11-07");
    EXPECT_EQ(Face("month", 5), "1 1 \\ 0 7");

    clock->SetMode(2);
    time.Locale_.TimeSeparator = "";
    Frame(At(2024, 12, 25, 8, 10));
    EXPECT_EQ(clock->TimeText, "23.59");
}

TEST_F(ClockTest, DayNamesFollowTheLocalesOrder)
{
    clock->SetMode(1);
    Frame(At(2024, 3, 15, 9, 5)); // a Friday
    EXPECT_EQ(clock->DayText, "Fri");
    EXPECT_EQ(Shows("day"), "fri");
    Frame(At(2024, 3, 17, 9, 5));
    EXPECT_EQ(Shows("day"), "sun");

    time.Locale_.ShortDayNames = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
    Frame(At(2024, 3, 16, 9, 5));
    EXPECT_EQ(clock->DayText, "Sa");
    EXPECT_EQ(Shows("day"), "sat");
    Frame(At(2024, 3, 19, 9, 5));
    EXPECT_EQ(Shows("day"), "tue");
}

TEST_F(ClockTest, ColonBlinksOncePerSecondWhateverTheFrameRate)
{
    clock->SetMode(1);
    EXPECT_TRUE(Shown("time3"));
    for (int i = 0; i < 3; ++i)
        clock->Animate(0.3f);
    EXPECT_TRUE(Shown("time3"));
    clock->Animate(0.3f);
    EXPECT_FALSE(Shown("time3"));
    EXPECT_FLOAT_EQ(clock->BlinkTime, 0);
    clock->Animate(2.5f);
    EXPECT_TRUE(Shown("time3"));
}

TEST_F(ClockTest, ModeZeroHidesClockAndInstances)
{
    EXPECT_EQ(clock->Mode, -1);
    clock->SetMode(0);
    EXPECT_FALSE(clock->Visible);
    objects->SetVisible(true);
    Frame(At(2024, 3, 15, 9, 5));
    EXPECT_FALSE(objects->Visible);
    clock->SetMode(2);
    EXPECT_TRUE(clock->Visible);
    Frame(At(2024, 3, 15, 9, 5));
    EXPECT_TRUE(objects->Visible);
}

TEST_F(ClockTest, SettingsChooseModeAndTintEverySprite)
{
    store.Values["Clock Mode"] = "2";
    store.Values["Clock Color"] = "10,20,30,40";
    scene->ReadSettings();
    EXPECT_EQ(clock->Mode, 2);
    EXPECT_TRUE(clock->Visible);
    Frame(At(2024, 3, 15, 9, 5));
    for (int i = 0; i < sprites->GetCount(); ++i)
        EXPECT_EQ(dynamic_cast<TSceneSprite*>(sprites->GetItem(i))->Color, MakeColorBytes(10, 20, 30, 40));

    // A damaged stored colour keeps the current one.
    store.Values["Clock Color"] = "red";
    store.Values["Clock Mode"] = "0";
    scene->ReadSettings();
    EXPECT_EQ(clock->Color, MakeColorBytes(10, 20, 30, 40));
    EXPECT_FALSE(clock->Visible);

    clock->Color = MakeColorBytes(255, 120, 40, 255);
    clock->SetMode(1);
    scene->WriteSettings();
    EXPECT_EQ(store.Values["Clock Mode"], "1");
    EXPECT_EQ(store.Values["Clock Color"], "255,120,40,255");
}

TEST_F(ClockTest, LoadsItsKeysAndWritesThemBack)
{
    TResourceLoader loader;
    loader.OpenFromLines({"[C]", "Sprites=ClockResource/ClockSprites", "Objects=ClockResource/ClockObjects",
                          "Color=255,120,40,255", "Mode=0", "Visible=1"});
    loader.MainScene = scene.get();
    loader.Section = "C";
    TGLClock c;
    c.LoadFromLoader(loader);
    EXPECT_EQ(c.Sprites, sprites);
    EXPECT_EQ(c.Objects, objects);
    EXPECT_EQ(c.Color, MakeColorBytes(255, 120, 40, 255));
    EXPECT_EQ(c.Mode, 0);
    EXPECT_FALSE(c.Visible);

    TResourceLoader saver;
    saver.CreateNew();
    saver.MainScene = scene.get();
    saver.Section = "C";
    c.SaveToLoader(saver);
    EXPECT_EQ(*saver.Ini()->Find("C", "Sprites"), "ClockResource/ClockSprites");
    EXPECT_EQ(*saver.Ini()->Find("C", "Color"), "255,120,40,255");
    EXPECT_EQ(*saver.Ini()->Find("C", "Mode"), "0");
}

TEST(ClockFormat, PatternsOfTheClock)
{
    TClockLocale en;
    EXPECT_EQ(FormatClockTime("hh:nn", At(2024, 1, 2, 0, 7), en), "00:07");
    EXPECT_EQ(FormatClockTime("a/phh:nn", At(2024, 1, 2, 0, 7), en), "a12:07");
    EXPECT_EQ(FormatClockTime("a/phh:nn", At(2024, 1, 2, 12, 0), en), "p12:00");
    EXPECT_EQ(FormatClockTime("a/phh:nn", At(2024, 1, 2, 23, 59), en), "p11:59");
    EXPECT_EQ(FormatClockTime("mm/dd", At(2024, 1, 2, 23, 59), en), "01/02");
    EXPECT_EQ(FormatClockTime("ddd", At(2024, 1, 2, 23, 59), en), "Tue");
}

TEST(ClockFormat, SystemLocaleFallsBackToEnglishPerEntry)
{
    const TClockLocale de = MakeClockLocale({"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"}, ".", ".");
    EXPECT_EQ(FormatClockTime("ddd hh:nn", At(2024, 1, 2, 9, 5), de), "Di 09.05");
    EXPECT_EQ(FormatClockTime("mm/dd", At(2024, 1, 2, 9, 5), de), "01.02");
    const TClockLocale gaps = MakeClockLocale({"", "Mo", "", "", "", "", ""}, "", "-");
    EXPECT_EQ(gaps.ShortDayNames[0], "Sun");
    EXPECT_EQ(gaps.ShortDayNames[1], "Mo");
    EXPECT_EQ(gaps.TimeSeparator, ":");
    EXPECT_EQ(gaps.DateSeparator, "-");
}

TEST(ClockFormat, ParsesLocalTimesAndRejectsBadOnes)
{
    TLocalTime t;
    ASSERT_TRUE(ParseLocalTime("2000-02-29T23:59:58", t));
    EXPECT_EQ(t.DayOfWeek, 2); // a Tuesday
    EXPECT_EQ(t.Second, 58);
    for (const char* bad : {"2023-02-29T00:00:00", "2024-13-01T00:00:00", "2024-01-01T24:00:00", "2024-01-01",
                            "2024-01-01T00:60:00", "abcd-ef-ghTij:kl:mn", ""})
        EXPECT_FALSE(ParseLocalTime(bad, t)) << bad;
    EXPECT_EQ(DayOfWeek(1970, 1, 1), 4);
}

TEST(WatchClock, HandAngles)
{
    TLocalTime t = At(2024, 1, 1, 15, 30, 15);
    EXPECT_FLOAT_EQ(TWatchClock::MinuteAngle(t), 180);
    EXPECT_FLOAT_EQ(TWatchClock::SecondAngle(t), -90);
    EXPECT_FLOAT_EQ(TWatchClock::HourAngle(t), 90 + 2 * 6 - 90);
}

TEST(WatchClock, VisibilitySetting)
{
    TMainScene scene;
    MemoryStore store;
    scene.Settings = &store;
    auto* w = new TWatchClock();
    w->StoreName("Watch");
    scene.AddSceneObject(w, poRender);
    store.Values["ClockVisible"] = "0";
    scene.ReadSettings();
    EXPECT_FALSE(w->Visible);
    w->SetVisible(true);
    scene.WriteSettings();
    EXPECT_EQ(store.Values["ClockVisible"], "1");
}
