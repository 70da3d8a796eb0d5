#include "platform/posix/hack/HackOptions.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "scene/SceneObjects.h"
#include "shell/AppPro.h"
#include "sound/SceneSounds.h"

namespace {

using TApply = void (*)(THackOptions&, const std::string& option, const std::string& value);

// One command-line option. Value-less options are switches.
struct TOptionSpec {
    const char* Name;       // without dashes
    const char* ValueName;  // nullptr for a switch
    const char* Range;      // as --help shows it
    const char* Default;    // as --help shows it
    const char* Help;
    TApply Apply;
    bool Setting;           // a fireplace setting (offered by the settings file)
};

[[noreturn]] void Bad(const std::string& option, const std::string& value, const std::string& wanted)
{
    throw THackUsageError("-" + option + " wants " + wanted + ", not \"" + value + "\"");
}

int Whole(const std::string& option, const std::string& value, long low, long high)
{
    errno = 0;
    char* end = nullptr;
    const long n = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || errno == ERANGE || n < low || n > high)
        Bad(option, value, "a whole number from " + std::to_string(low) + " to " + std::to_string(high));
    return static_cast<int>(n);
}

void Store(THackOptions& o, const char* name, const std::string& text) { o.Settings.emplace_back(name, text); }
void StoreInt(THackOptions& o, const char* name, int value) { Store(o, name, std::to_string(value)); }
void StoreBool(THackOptions& o, const char* name, bool value) { Store(o, name, BoolToText(value)); }

// "#RRGGBB" or "R,G,B" with each part 0..255; the clock's stored form "R,G,B,255".
std::string ClockColor(const std::string& option, const std::string& value)
{
    int rgb[3] = {0, 0, 0};
    bool ok = false;
    if (value.size() == 7 && value[0] == '#') {
        char* end = nullptr;
        const unsigned long v = std::strtoul(value.c_str() + 1, &end, 16);
        ok = *end == '\0' && std::strspn(value.c_str() + 1, "0123456789abcdefABCDEF") == 6;
        rgb[0] = static_cast<int>((v >> 16) & 255);
        rgb[1] = static_cast<int>((v >> 8) & 255);
        rgb[2] = static_cast<int>(v & 255);
    } else {
        const char* p = value.c_str();
        ok = true;
        for (int i = 0; i < 3 && ok; ++i) {
            char* end = nullptr;
            errno = 0;
            const long n = std::strtol(p, &end, 10);
            ok = end != p && n >= 0 && n <= 255 && errno == 0 && (i < 2 ? *end == ',' : *end == '\0');
            rgb[i] = static_cast<int>(n);
            p = end + (i < 2 ? 1 : 0);
        }
    }
    if (!ok)
        Bad(option, value, "a colour #RRGGBB or R,G,B");
    return std::to_string(rgb[0]) + "," + std::to_string(rgb[1]) + "," + std::to_string(rgb[2]) + ",255";
}

int Choice(const std::string& option, const std::string& value, std::initializer_list<const char*> names)
{
    int i = 0;
    std::string list;
    for (const char* n : names) {
        if (value == n)
            return i;
        list += (i ? (i + 1 == static_cast<int>(names.size()) ? " or " : ", ") : "") + std::string(n);
        ++i;
    }
    Bad(option, value, list);
}

// The choices of the fireplace's file lists, numbered from 1 as the dialog's
// lists show them. The stored values are the lists' indexes from 0.
constexpr int kChoices = 2;

const TOptionSpec kOptions[] = {
    {"root", nullptr, nullptr, nullptr, "draw on $XSCREENSAVER_WINDOW when it is set, else on the root window",
     [](THackOptions& o, const std::string&, const std::string&) { o.Target = THackTarget::htRoot; }, false},
    {"window", nullptr, nullptr, nullptr, "draw in a window of its own (the default; Escape or q closes it)",
     [](THackOptions& o, const std::string&, const std::string&) { o.Target = THackTarget::htWindow; }, false},
    {"fullscreen", nullptr, nullptr, nullptr,
     "a window filling the monitor under the pointer (Escape or q ends it)",
     [](THackOptions& o, const std::string&, const std::string&) { o.Target = THackTarget::htFullscreen; }, false},
    {"window-id", "ID", nullptr, nullptr, "draw on the window ID of another program (0x... hex or decimal)",
     [](THackOptions& o, const std::string& opt, const std::string& v) {
         if (!ParseWindowId(v, o.WindowId))
             Bad(opt, v, "a window id (0x... or decimal)");
         o.Target = THackTarget::htWindowId;
     },
     false},
    {"display", "NAME", nullptr, "$DISPLAY", "the X display",
     [](THackOptions& o, const std::string&, const std::string& v) { o.Display = v; }, false},
    {"name", "NAME", nullptr, "pyrelume", "the resource name of its own window",
     [](THackOptions& o, const std::string& opt, const std::string& v) {
         if (v.empty())
             Bad(opt, v, "a name");
         o.Name = v;
     },
     false},
    {"delay", "MICROSECONDS", "0..10000000", "16666, about 60 frames per second", "time from one frame to the next",
     [](THackOptions& o, const std::string& opt, const std::string& v) {
         o.DelayMicroseconds = Whole(opt, v, 0, 10000000);
     },
     false},
    {"fps", nullptr, nullptr, "off", "show the frame rate",
     [](THackOptions& o, const std::string&, const std::string&) {
         o.ShowFps = true;
         StoreBool(o, "FPS", true);
     },
     true},
    {"full-redraw", nullptr, nullptr, "off", "draw every frame whole, not only where the fire changed it",
     [](THackOptions& o, const std::string&, const std::string&) { StoreBool(o, "FullRedraw", true); }, false},
    {"style", "N", "1..2", "1", "fireplace style",
     [](THackOptions& o, const std::string& opt, const std::string& v) {
         StoreInt(o, "DemoFireplaceIndex", Whole(opt, v, 1, kChoices) - 1);
     },
     true},
    {"material", "N", "1..2", "1", "fireplace material",
     [](THackOptions& o, const std::string& opt, const std::string& v) {
         const int i = Whole(opt, v, 1, kChoices) - 1;
         StoreInt(o, "DemoFrontIndex", i);
         StoreInt(o, "DemoBackIndex", i);
     },
     true},
    {"fire-guard", "N", "1..2", "1", "fire guard",
     [](THackOptions& o, const std::string& opt, const std::string& v) {
         StoreInt(o, "DemoFireGuardIndex", Whole(opt, v, 1, kChoices) - 1);
     },
     true},
    {"logs", "N", "1..2", "1", "logs",
     [](THackOptions& o, const std::string& opt, const std::string& v) {
         StoreInt(o, "FireWoodIndex", Whole(opt, v, 1, kChoices) - 1);
     },
     true},
    {"flame-width", "PERCENT", "50..100", "the full width, 254 columns", "flame width",
     [](THackOptions& o, const std::string& opt, const std::string& v) {
         // The dialog's slider: 50% is 120 columns, 100% is 220.
         StoreInt(o, "FlameWidth", (Whole(opt, v, 50, 100) - 50) * 100 / 50 + 120);
     },
     true},
    {"decay", "N", "1..5", "2", "flame decay",
     [](THackOptions& o, const std::string& opt, const std::string& v) { StoreInt(o, "FlameDecay", Whole(opt, v, 1, 5)); },
     true},
    {"burning-rate", "N", "1..10", "5", "burning rate",
     [](THackOptions& o, const std::string& opt, const std::string& v) { StoreInt(o, "BurningRate", Whole(opt, v, 1, 10)); },
     true},
    {"flame-color", "COLOR", "red, orange or yellow", "red", "flame colour",
     [](THackOptions& o, const std::string& opt, const std::string& v) {
         StoreInt(o, "FlameColorIndex", Choice(opt, v, {"red", "orange", "yellow"}));
     },
     true},
    {"swap-colors", nullptr, nullptr, "off", "swap the flame's colour bytes",
     [](THackOptions& o, const std::string&, const std::string&) { StoreBool(o, "EnableSwapPalBytes", true); }, true},
    {"no-swap-colors", nullptr, nullptr, nullptr, nullptr,
     [](THackOptions& o, const std::string&, const std::string&) { StoreBool(o, "EnableSwapPalBytes", false); }, true},
    {"sparkles", nullptr, nullptr, "on", "rising sparkles",
     [](THackOptions& o, const std::string&, const std::string&) { StoreBool(o, "Sparkles", true); }, true},
    {"no-sparkles", nullptr, nullptr, nullptr, nullptr,
     [](THackOptions& o, const std::string&, const std::string&) { StoreBool(o, "Sparkles", false); }, true},
    {"smoke", nullptr, nullptr, "on", "rising smoke",
     [](THackOptions& o, const std::string&, const std::string&) { StoreBool(o, "Smoke", true); }, true},
    {"no-smoke", nullptr, nullptr, nullptr, nullptr,
     [](THackOptions& o, const std::string&, const std::string&) { StoreBool(o, "Smoke", false); }, true},
    {"near-view", nullptr, nullptr, "off", "camera nearer to the fire",
     [](THackOptions& o, const std::string&, const std::string&) { StoreBool(o, "NearView", true); }, true},
    {"no-near-view", nullptr, nullptr, nullptr, nullptr,
     [](THackOptions& o, const std::string&, const std::string&) { StoreBool(o, "NearView", false); }, true},
    {"clock", "MODE", "none, 24 or 12", "none", "clock",
     [](THackOptions& o, const std::string& opt, const std::string& v) {
         StoreInt(o, "Clock Mode", Choice(opt, v, {"none", "24", "12"}));
     },
     true},
    {"clock-color", "COLOR", "#RRGGBB or R,G,B", "255,120,40", "clock colour",
     [](THackOptions& o, const std::string& opt, const std::string& v) { Store(o, "Clock Color", ClockColor(opt, v)); },
     true},
    {"sound", nullptr, nullptr, "off", "play the fire's sounds (one process per display plays)",
     [](THackOptions& o, const std::string&, const std::string&) { o.Sound = true; }, true},
    {"no-sound", nullptr, nullptr, nullptr, nullptr,
     [](THackOptions& o, const std::string&, const std::string&) { o.Sound = false; }, true},
    {"volume", "N", "0..100", "100", "sound volume",
     [](THackOptions& o, const std::string& opt, const std::string& v) { o.Volume = Whole(opt, v, 0, 100); }, true},
    {"help", nullptr, nullptr, nullptr, "show this text",
     [](THackOptions& o, const std::string&, const std::string&) { o.Help = true; }, false},
};

const TOptionSpec* FindOption(const std::string& name)
{
    for (const TOptionSpec& s : kOptions)
        if (name == s.Name)
            return &s;
    return nullptr;
}

} // namespace

bool ParseWindowId(const std::string& text, std::uint64_t& id)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = text.c_str() + (hex ? 2 : 0);
    if (*digits == '\0' || std::strspn(digits, hex ? "0123456789abcdefABCDEF" : "0123456789") != std::strlen(digits))
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(digits, &end, hex ? 16 : 10);
    // X resource ids have 29 bits.
    if (errno == ERANGE || v == 0 || v > 0x1FFFFFFFull)
        return false;
    id = v;
    return true;
}

THackOptions ParseHackOptions(const std::vector<std::string>& args, const THackOptions& base)
{
    THackOptions o = base;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() < 2 || a[0] != '-')
            throw THackUsageError("unexpected argument \"" + a + "\" (see --help)");
        std::string name = a.substr(a[1] == '-' ? 2 : 1);
        std::string value;
        bool hasValue = false;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            hasValue = true;
        }
        const TOptionSpec* spec = FindOption(name);
        if (!spec)
            throw THackUsageError("unknown option " + a + " (see --help)");
        if (spec->ValueName && !hasValue) {
            if (i + 1 >= args.size())
                throw THackUsageError("-" + name + " needs a value " + spec->ValueName);
            value = args[++i];
        } else if (!spec->ValueName && hasValue) {
            throw THackUsageError("-" + name + " takes no value");
        }
        spec->Apply(o, name, value);
    }
    return o;
}

bool UsesHackConfig(const THackOptions& options)
{
    return options.Target == THackTarget::htWindow || options.Target == THackTarget::htFullscreen;
}

std::string HackConfigPath(const char* xdgConfigHome, const char* home)
{
    // The base directory specification: a relative $XDG_CONFIG_HOME is invalid and ignored.
    if (xdgConfigHome && xdgConfigHome[0] == '/')
        return std::string(xdgConfigHome) + "/pyrelume/pyrelume.conf";
    if (home && *home)
        return std::string(home) + "/.config/pyrelume/pyrelume.conf";
    return {};
}

void ApplyHackConfig(THackOptions& options, const std::string& text, const std::string& fileName)
{
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string where = fileName + ":" + std::to_string(number) + ": ";
        const char* const space = " \t\r";
        const auto first = line.find_first_not_of(space);
        if (first == std::string::npos || line[first] == '#')
            continue;
        line = line.substr(first, line.find_last_not_of(space) + 1 - first);
        // NAME, NAME VALUE or NAME = VALUE; the dashes of the command line may stay.
        const auto nameEnd = line.find_first_of(" \t=");
        std::string name = line.substr(0, nameEnd);
        std::string value;
        bool hasValue = false;
        if (nameEnd != std::string::npos) {
            std::size_t v = line.find_first_not_of(" \t", nameEnd);
            if (v != std::string::npos && line[v] == '=')
                v = line.find_first_not_of(" \t", v + 1);
            hasValue = v != std::string::npos || line.find('=', nameEnd) != std::string::npos;
            if (v != std::string::npos)
                value = line.substr(v);
        }
        name.erase(0, name.find_first_not_of('-'));
        const TOptionSpec* spec = FindOption(name);
        if (!spec)
            throw THackUsageError(where + "unknown setting \"" + name + "\" (see --help)");
        if (!spec->Setting && name != "delay")
            throw THackUsageError(where + "-" + name + " belongs on the command line, not in the settings file");
        try {
            if (spec->ValueName) {
                if (value.empty())
                    throw THackUsageError("-" + name + " needs a value " + spec->ValueName);
                spec->Apply(options, name, value);
            } else if (!hasValue) {
                spec->Apply(options, name, value);
            } else {
                // A switch may say on or off; off is its "no-" form where there is one.
                const bool on = value == "on" || value == "yes" || value == "true" || value == "1";
                if (!on && value != "off" && value != "no" && value != "false" && value != "0")
                    Bad(name, value, "on or off");
                if (on)
                    spec->Apply(options, name, {});
                else if (const TOptionSpec* off = FindOption("no-" + name))
                    off->Apply(options, off->Name, {});
            }
        } catch (const THackUsageError& e) {
            throw THackUsageError(where + e.what());
        }
    }
}

bool ReadHackConfigFile(const std::string& path, THackOptions& options)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        throw THackUsageError("cannot read the settings file " + path + ": " + std::strerror(errno));
    }
    struct TFd {
        int fd;
        ~TFd() { close(fd); }
    } guard{fd};
    std::string text;
    char buf[4096];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw THackUsageError("cannot read the settings file " + path + ": " + std::strerror(errno));
        if (n == 0)
            break;
        // A settings file is a few lines; anything this big is not one.
        if (text.size() + static_cast<std::size_t>(n) > (1u << 20))
            throw THackUsageError("the settings file " + path + " is larger than 1 MiB");
        text.append(buf, static_cast<std::size_t>(n));
    }
    ApplyHackConfig(options, text, path);
    return true;
}

std::vector<std::string> HackSettingOptionNames()
{
    std::vector<std::string> names;
    for (const TOptionSpec& s : kOptions)
        if (s.Setting)
            names.emplace_back(s.Name);
    return names;
}

std::string HackHelpText()
{
    std::string t =
        "usage: pyrelume [OPTION]...\n"
        "A burning fireplace in OpenGL: a display hack for xscreensaver, or a window of its own.\n"
        "Options take one or two dashes; a value follows as the next argument or after \"=\".\n";
    bool settings = false;
    for (const TOptionSpec& s : kOptions) {
        if (!s.Help)
            continue;
        if (s.Setting && !settings) {
            t += "\nFireplace settings:\n";
            settings = true;
        } else if (!s.Setting && settings) {
            t += "\n";
            settings = false;
        }
        std::string left = std::string("  -") + s.Name;
        if (s.ValueName)
            left += std::string(" ") + s.ValueName;
        const std::string negated = std::string("no-") + s.Name;
        if (!s.ValueName && FindOption(negated))
            left += ", -" + negated;
        if (left.size() < 30)
            left.resize(30, ' ');
        else
            left += "\n" + std::string(30, ' ');
        std::string right = s.Help;
        if (s.Range)
            right += std::string(": ") + s.Range;
        if (s.Default)
            right += std::string(" (default: ") + s.Default + ")";
        t += left + right + "\n";
    }
    t += "\nSettings file (for -window and -fullscreen, not under xscreensaver):\n"
         "  $XDG_CONFIG_HOME/pyrelume/pyrelume.conf, else ~/.config/pyrelume/pyrelume.conf.\n"
         "  One setting a line, named as above without the dash, its value after \"=\" or a\n"
         "  space; a switch may say on or off; lines starting with # are comments. -delay and\n"
         "  the fireplace settings may be given there; the command line wins over the file:\n"
         "    flame-color = orange\n"
         "    clock = 24\n"
         "    sound = on\n";
    return t;
}

void FeedHackSettings(const THackOptions& options, TSettingsStore& store, TMainScene* scene, bool playSound)
{
    store.ScrambledNames = false;
    store.SetMachineRoot(false);
    for (const auto& [name, value] : options.Settings)
        store.WriteString(name, value);
    // Every sound of the scene's list is switched on or off, and gets the volume.
    auto* sounds = scene ? dynamic_cast<TSceneSoundList*>(scene->FindObject("Sounds")) : nullptr;
    if (!sounds)
        return;
    for (int i = 0; i < sounds->GetCount(); ++i) {
        auto* s = dynamic_cast<TSceneSound*>(sounds->GetItem(i));
        if (!s)
            continue;
        store.WriteBool(s->Name() + "Played", playSound);
        if (options.Volume >= 0)
            store.WriteInteger(s->Name() + "Volume", options.Volume);
    }
}
