// The display hack's command line against the real fireplace: each setting
// option reaches the fireplace through the settings store, bad input is one
// line, the settings file pyrelume.conf sits under the command line, the
// settings form of xscreensaver offers exactly the accepted options (one dash,
// the same ranges), the man page documents them, the monitor a full screen
// covers, and the per-display sound lock.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "app/FSettings.h"
#include "app/MemorySettings.h"
#include "assets/ResourceFile.h"
#include "clock/GLClock.h"
#include "platform/posix/hack/HackOptions.h"
#include "platform/posix/hack/SoundLock.h"
#include "platform/posix/hack/XTarget.h"
#include "scene/GLGraphics.h"
#include "shell/AppPro.h"
#include "shell/GLApp.h"
#include "sound/SceneSounds.h"
#include "tests/common/TestUtil.h"

namespace {

std::string UsageError(const std::vector<std::string>& args)
{
    try {
        ParseHackOptions(args);
    } catch (const THackUsageError& e) {
        return e.what();
    }
    return "<accepted>";
}

class HackFireplace : public ::testing::Test {
protected:
    // Loads the fireplace, feeds the options and lets it read them.
    void Run(const std::vector<std::string>& args, bool playSound = false)
    {
        Run(ParseHackOptions(args), playSound);
    }
    void Run(const THackOptions& options, bool playSound)
    {
        TResourceFileReader& reader = ResourceReader();
        reader.Close();
        reader.Source = ReadSource::ArchiveFile;
        reader.ArchiveName = PYRELUME_BINARY_DIR "/data/data.rfa";
        form.Viewport = &viewport;
        form.LoadScene(nullptr, "", "pyrelume.gsc", 2);
        ASSERT_TRUE(form.Scene);
        store.SetKeyPath("Software\\Varnel Software\\Pyrelume 3");
        FeedHackSettings(options, store, form.Scene.get(), playSound);
        form.LoadSettings(store);
    }

    std::vector<TSceneSound*> Sounds()
    {
        std::vector<TSceneSound*> out;
        auto* list = dynamic_cast<TSceneSoundList*>(form.Scene->FindObject("Sounds"));
        for (int i = 0; list && i < list->GetCount(); ++i)
            if (auto* s = dynamic_cast<TSceneSound*>(list->GetItem(i)))
                out.push_back(s);
        return out;
    }

    TMemorySettings memory;
    TSettingsStore store{&memory};
    TDefViewport viewport;
    TFormSettings form{TServices{}};
};

TEST_F(HackFireplace, EverySettingOptionReachesTheFireplace)
{
    Run({"-style", "2", "--material=2", "-fire-guard", "2", "--logs", "2", "-flame-width", "75", "-decay", "4",
         "-burning-rate", "9", "-flame-color", "yellow", "-swap-colors", "-no-sparkles", "--no-smoke", "-near-view",
         "-clock", "12", "-clock-color", "#102030", "-fps", "-volume", "40"},
        true);
    EXPECT_EQ(form.FireplaceMesh->FileIndex, 1);
    EXPECT_EQ(form.FrontTexture->GetFileIndex(), 1);
    EXPECT_EQ(form.BackTexture->GetFileIndex(), 1);
    EXPECT_EQ(form.FireGuardTexture->GetFileIndex(), 1);
    EXPECT_EQ(form.LogsTexture->GetFileIndex(), 1);
    EXPECT_EQ(form.Flame->FlameWidth(), 170);  // the dialog's 75%
    EXPECT_EQ(form.Flame->Decay(), 4);
    EXPECT_EQ(form.Flame->GetBurningRate(), 9);
    EXPECT_EQ(form.FlameColorIndex, 2);
    EXPECT_TRUE(form.Flame->SwapBytes());
    EXPECT_FALSE(form.Sparkles);
    EXPECT_FALSE(form.Smoke);
    EXPECT_TRUE(form.NearView);
    EXPECT_FLOAT_EQ(viewport.Camera.Position.Z, 150.0f);
    auto* clock = dynamic_cast<TGLClock*>(form.Scene->FindObject("GLClock"));
    ASSERT_TRUE(clock);
    EXPECT_EQ(clock->Mode, 2);
    EXPECT_EQ(ColorBytesToStr(clock->Color), "16,32,48,255");
    EXPECT_TRUE(form.Scene->ShowFPS);
    ASSERT_EQ(Sounds().size(), 2u);
    for (TSceneSound* s : Sounds()) {
        EXPECT_TRUE(s->Visible) << s->Name();
        ASSERT_TRUE(s->Sound());
        EXPECT_EQ(s->Sound()->Volume(), 40) << s->Name();
    }
}

TEST_F(HackFireplace, WithoutOptionsTheFireplaceKeepsItsDefaultsAndIsSilent)
{
    Run({"-root", "-delay", "0", "-sound"}, false);  // -sound without the display's lock
    EXPECT_EQ(form.FireplaceMesh->FileIndex, 0);
    EXPECT_EQ(form.Flame->FlameWidth(), 254);
    EXPECT_EQ(form.FlameColorIndex, 0);
    EXPECT_TRUE(form.Sparkles && form.Smoke);
    EXPECT_FALSE(form.NearView);
    EXPECT_FALSE(form.Scene->ShowFPS);
    for (TSceneSound* s : Sounds()) {
        EXPECT_FALSE(s->Visible) << s->Name();
        EXPECT_EQ(s->Sound()->Volume(), 100) << s->Name();
    }
}

TEST_F(HackFireplace, ChoiceRangesMatchTheFileListsOfTheArchive)
{
    Run({});
    // Style, material, fireguard and logs offer one choice per entry of their
    // lists; the lists of the last two hold pairs (image, alpha image).
    const std::pair<const char*, std::size_t> lists[] = {{"-style", form.FireplaceMesh->FileList.size()},
                                                         {"-material", form.FrontTexture->FileList.size()},
                                                         {"-fire-guard", form.FireGuardTexture->FileList.size() / 2},
                                                         {"-logs", form.LogsTexture->FileList.size() / 2}};
    for (const auto& [option, count] : lists) {
        EXPECT_EQ(UsageError({option, std::to_string(count)}), "<accepted>") << option;
        EXPECT_NE(UsageError({option, std::to_string(count + 1)}), "<accepted>") << option;
    }
}

TEST(HackOptions, ProcessOptionsAndWindowIds)
{
    const THackOptions defaults = ParseHackOptions({});
    EXPECT_EQ(defaults.Target, THackTarget::htWindow);
    EXPECT_EQ(defaults.DelayMicroseconds, 16666);
    EXPECT_FALSE(defaults.Sound);
    const THackOptions o = ParseHackOptions({"--root", "-delay=0", "--name", "fire", "-display", ":3", "-fps"});
    EXPECT_EQ(o.Target, THackTarget::htRoot);
    EXPECT_EQ(o.DelayMicroseconds, 0);
    EXPECT_EQ(o.Name, "fire");
    EXPECT_EQ(o.Display, ":3");
    EXPECT_TRUE(o.ShowFps);
    EXPECT_EQ(ParseHackOptions({"-window-id", "0x1a00007"}).WindowId, 0x1a00007u);
    EXPECT_EQ(ParseHackOptions({"--window-id", "4194312"}).WindowId, 4194312u);
    std::uint64_t id = 0;
    for (const char* bad : {"", "0", "0x", "12ab", "0xg1", "-5", "0x20000000", "99999999999999999999"})
        EXPECT_FALSE(ParseWindowId(bad, id)) << bad;
}

TEST(HackOptions, BadInputIsOneClearLine)
{
    const std::vector<std::vector<std::string>> bad = {
        {"-bogus"}, {"root"}, {"-decay"}, {"-decay", "6"}, {"-decay", "2x"}, {"-flame-width", "49"},
        {"-burning-rate", "0"}, {"-style", "0"}, {"-volume", "101"}, {"-delay", "-1"}, {"-flame-color", "blue"},
        {"-clock", "13"}, {"-clock-color", "#12345"}, {"-clock-color", "1,2,256"}, {"-clock-color", "1,2"},
        {"-window-id", "nope"}, {"-fps=1"}, {"-name", ""}};
    for (const auto& args : bad) {
        const std::string e = UsageError(args);
        EXPECT_NE(e, "<accepted>") << args[0];
        EXPECT_EQ(e.find('\n'), std::string::npos) << e;
    }
    EXPECT_EQ(UsageError({"-decay", "9"}), "-decay wants a whole number from 1 to 5, not \"9\"");
    EXPECT_EQ(UsageError({"-flame-color", "blue"}), "-flame-color wants red, orange or yellow, not \"blue\"");
}

TEST(HackOptions, HelpListsEveryOptionWithRangeAndDefault)
{
    const std::string help = HackHelpText();
    for (const char* name : {"-root", "-window ", "-window-id ID", "-delay MICROSECONDS", "-fps", "-name NAME",
                             "-volume N", "-no-sound", "-clock-color COLOR"})
        EXPECT_NE(help.find(name), std::string::npos) << name;
    for (const std::string& name : HackSettingOptionNames())
        EXPECT_NE(help.find("-" + name), std::string::npos) << name;
    EXPECT_NE(help.find("flame decay: 1..5 (default: 2)"), std::string::npos);
}

// The attributes of every element of the settings file.
std::vector<std::map<std::string, std::string>> XmlElements(const std::string& text)
{
    std::vector<std::map<std::string, std::string>> out;
    const std::regex tag(R"(<([a-z_-]+)((\s+[a-z_-]+="[^"]*")*)\s*/?>)");
    const std::regex attr(R"(([a-z_-]+)="([^"]*)\")");
    for (std::sregex_iterator t(text.begin(), text.end(), tag), end; t != end; ++t) {
        std::map<std::string, std::string> e{{"", (*t)[1]}};
        const std::string attrs = (*t)[2];
        for (std::sregex_iterator a(attrs.begin(), attrs.end(), attr); a != end; ++a)
            e[(*a)[1]] = (*a)[2];
        out.push_back(e);
    }
    return out;
}

std::vector<std::string> Words(const std::string& s)
{
    std::istringstream in(s);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

TEST(HackSettingsFile, OffersExactlyTheAcceptedOptionsWithTheirRanges)
{
    const auto elements = XmlElements(testutil::ReadText(PYRELUME_SOURCE_DIR "/platform/posix/hack/pyrelume.xml"));
    std::set<std::string> offered;
    auto accept = [&](const std::string& arg, const std::string& value) {
        std::string a = arg;
        if (const auto p = a.find('%'); p != std::string::npos)
            a.replace(p, 1, value);
        const auto w = Words(a);
        EXPECT_EQ(UsageError(w), "<accepted>") << a;
        // xscreensaver's own settings files give their options with one dash.
        EXPECT_TRUE(w[0].size() > 1 && w[0][0] == '-' && w[0][1] != '-') << a;
        offered.insert(w[0].substr(1));
    };
    bool gl = false;
    for (const auto& e : elements) {
        const std::string& kind = e.at("");
        if (kind == "screensaver")
            gl = e.count("gl") && e.at("gl") == "yes" && e.at("name") == "pyrelume";
        if (kind == "command")
            EXPECT_EQ(e.at("arg"), "-root");
        if (kind == "number") {
            const int low = std::stoi(e.at("low")), high = std::stoi(e.at("high"));
            accept(e.at("arg"), e.at("low"));
            accept(e.at("arg"), e.at("high"));
            accept(e.at("arg"), e.at("default"));
            // The slider's ends are the setting's range (the frame-rate slider
            // covers the usual part of -delay only).
            std::string arg = e.at("arg");
            arg.resize(arg.find(' '));
            if (arg == "-delay")
                continue;
            EXPECT_NE(UsageError({arg, std::to_string(low - 1)}), "<accepted>") << arg;
            EXPECT_NE(UsageError({arg, std::to_string(high + 1)}), "<accepted>") << arg;
        }
        for (const char* key : {"arg-set", "arg-unset"})
            if ((kind == "boolean" || kind == "option") && e.count(key))
                accept(e.at(key), "");
    }
    EXPECT_TRUE(gl);
    offered.erase("delay");
    // Each setting (or its negation) is offered, and nothing else.
    std::set<std::string> settings;
    for (const std::string& n : HackSettingOptionNames())
        settings.insert(n);
    for (const std::string& n : offered)
        EXPECT_TRUE(settings.count(n)) << n;
    for (const std::string& n : settings)
        EXPECT_TRUE(offered.count(n) || offered.count("no-" + n) || offered.count(n.substr(3))) << n;
}

TEST_F(HackFireplace, TheSettingsFileReachesTheFireplaceUnderTheCommandLine)
{
    THackOptions file;
    ApplyHackConfig(file,
                    "# the living-room fire\n"
                    "flame-color = orange\n"
                    "\n"
                    "  decay 4\r\n"
                    "-near-view\n"
                    "--burning-rate=9\n"
                    "clock-color = #102030\n"
                    "smoke = off\n"
                    "sparkles off\n"
                    "sound = on\n"
                    "volume = 30\n"
                    "delay = 40000\n",
                    "pyrelume.conf");
    EXPECT_TRUE(file.Sound);
    EXPECT_EQ(file.DelayMicroseconds, 40000);
    EXPECT_EQ(file.Target, THackTarget::htWindow);
    // The command line wins: another colour, the sparkles back, no sound.
    const THackOptions o =
        ParseHackOptions({"-fullscreen", "-flame-color", "yellow", "-sparkles", "-no-sound", "-delay", "0"}, file);
    EXPECT_EQ(o.Target, THackTarget::htFullscreen);
    EXPECT_FALSE(o.Sound);
    EXPECT_EQ(o.DelayMicroseconds, 0);
    EXPECT_EQ(o.Volume, 30);
    Run(o, true);
    EXPECT_EQ(form.FlameColorIndex, 2);
    EXPECT_EQ(form.Flame->Decay(), 4);
    EXPECT_EQ(form.Flame->GetBurningRate(), 9);
    EXPECT_TRUE(form.NearView);
    EXPECT_FALSE(form.Smoke);
    EXPECT_TRUE(form.Sparkles);
    auto* clock = dynamic_cast<TGLClock*>(form.Scene->FindObject("GLClock"));
    ASSERT_TRUE(clock);
    EXPECT_EQ(ColorBytesToStr(clock->Color), "16,32,48,255");
}

std::string ConfigError(const std::string& text)
{
    try {
        THackOptions o;
        ApplyHackConfig(o, text, "/home/u/.config/pyrelume/pyrelume.conf");
    } catch (const THackUsageError& e) {
        return e.what();
    }
    return "<accepted>";
}

TEST(HackSettingsConf, BadLinesNameTheFileAndLine)
{
    const std::string file = "/home/u/.config/pyrelume/pyrelume.conf:";
    EXPECT_EQ(ConfigError("# ok\n\ndecay = 9\n"), file + "3: -decay wants a whole number from 1 to 5, not \"9\"");
    EXPECT_EQ(ConfigError("flames = high\n"), file + "1: unknown setting \"flames\" (see --help)");
    EXPECT_EQ(ConfigError("clock =\n"), file + "1: -clock needs a value MODE");
    EXPECT_EQ(ConfigError("smoke = maybe\n"), file + "1: -smoke wants on or off, not \"maybe\"");
    // Where it draws belongs on the command line: a launcher's file cannot send
    // the program to the root window or to another program's window.
    for (const char* line : {"root", "window-id 0x400007", "fullscreen", "display :1", "help"})
        EXPECT_EQ(ConfigError(line).find(file + "1: -"), 0u) << line;
    EXPECT_EQ(ConfigError("# only a comment\n   \n"), "<accepted>");
}

TEST(HackSettingsConf, WhereTheFileIsAndWhoReadsIt)
{
    EXPECT_EQ(HackConfigPath("/x/cfg", "/home/u"), "/x/cfg/pyrelume/pyrelume.conf");
    EXPECT_EQ(HackConfigPath("", "/home/u"), "/home/u/.config/pyrelume/pyrelume.conf");
    EXPECT_EQ(HackConfigPath("relative", "/home/u"), "/home/u/.config/pyrelume/pyrelume.conf");
    EXPECT_EQ(HackConfigPath(nullptr, nullptr), "");
    EXPECT_TRUE(UsesHackConfig(ParseHackOptions({})));
    EXPECT_TRUE(UsesHackConfig(ParseHackOptions({"-fullscreen"})));
    EXPECT_FALSE(UsesHackConfig(ParseHackOptions({"-root"})));
    EXPECT_FALSE(UsesHackConfig(ParseHackOptions({"-window-id", "0x400007"})));

    testutil::ScratchDir dir("hack_settings_conf");
    THackOptions o;
    EXPECT_FALSE(ReadHackConfigFile(dir.Path().string() + "/missing.conf", o));
    const std::string path = dir.Path().string() + "/pyrelume.conf";
    std::ofstream(path) << "flame-color yellow\nsound\n";
    EXPECT_TRUE(ReadHackConfigFile(path, o));
    EXPECT_TRUE(o.Sound);
    ASSERT_EQ(o.Settings.size(), 1u);
    EXPECT_EQ(o.Settings[0].second, "2");
    // A folder where the file should be is an error, not an empty file.
    try {
        ReadHackConfigFile(dir.Path().string(), o);
        ADD_FAILURE() << "a folder was read as a settings file";
    } catch (const THackUsageError& e) {
        EXPECT_NE(std::string(e.what()).find("cannot read the settings file"), std::string::npos) << e.what();
    }
}

TEST(HackFullscreen, CoversTheMonitorUnderThePointer)
{
    const TMonitorArea screen{0, 0, 1824, 768, true};
    const std::vector<TMonitorArea> two = {{0, 0, 1024, 768, false}, {1024, 0, 800, 600, true}};
    EXPECT_EQ(MonitorAt(two, 1300, 300, screen).X, 1024);
    EXPECT_EQ(MonitorAt(two, 1023, 767, screen).X, 0);
    // Below the smaller monitor the pointer is on none: the primary one.
    EXPECT_EQ(MonitorAt(two, 1300, 700, screen).Width, 800);
    EXPECT_EQ(MonitorAt({{0, 0, 1024, 768, false}, {1024, 0, 800, 600, false}}, 1300, 700, screen).Width, 1024);
    EXPECT_EQ(MonitorAt({}, 5, 5, screen).Width, 1824);
}

TEST(HackManPage, DocumentsEveryOptionAndTheFiles)
{
    const std::string page = testutil::ReadText(PYRELUME_SOURCE_DIR "/platform/posix/hack/pyrelume.6");
    // Every option --help lists, negations included.
    std::set<std::string> names;
    std::istringstream help(HackHelpText());
    const std::regex option(R"((^  |, )-([a-z][a-z-]*))");
    for (std::string line; std::getline(help, line);)
        for (std::sregex_iterator m(line.begin(), line.end(), option), end; m != end; ++m)
            names.insert((*m)[2]);
    EXPECT_TRUE(names.count("fullscreen") && names.count("no-smoke") && names.count("help")) << names.size();
    for (const std::string& n : names) {
        std::string roff;
        for (char c : n)
            roff += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(page.find("\\-" + roff), std::string::npos) << "-" << n;
    }
    for (const char* text : {"pyrelume.conf", "XDG_CONFIG_HOME", ".xscreensaver", "/usr/libexec/xscreensaver",
                             "XSCREENSAVER_WINDOW", ".TH PYRELUME 6"})
        EXPECT_NE(page.find(text), std::string::npos) << text;
}

TEST(HackSoundLock, OneHolderPerDisplay)
{
    EXPECT_EQ(SoundLockPath(":0", "/run/user/7", 7), "/run/user/7/pyrelume-sound-:0.lock");
    EXPECT_EQ(SoundLockPath("host/x:1", nullptr, 7), "/tmp/pyrelume-7-sound-host_x:1.lock");
    testutil::ScratchDir dir("hack_sound_lock");
    const std::string a = SoundLockPath(":5", dir.Path().c_str(), getuid());
    const std::string b = SoundLockPath(":6", dir.Path().c_str(), getuid());
    {
        TSoundLock first, second, other;
        EXPECT_TRUE(first.Acquire(a));
        EXPECT_FALSE(second.Acquire(a));
        EXPECT_TRUE(other.Acquire(b));
    }
    TSoundLock again;
    EXPECT_TRUE(again.Acquire(a));  // released with its holder
    TSoundLock nowhere;
    EXPECT_FALSE(nowhere.Acquire(dir.Path().string() + "/missing/x.lock"));
}

} // namespace
