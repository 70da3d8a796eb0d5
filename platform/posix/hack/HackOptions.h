#pragma once
// The command line of the Linux display hack. Process options follow the
// conventions xscreensaver uses for its hacks (-root, -window, -window-id,
// -delay, -fps, -name); every fireplace setting has one option that turns into
// a value of the settings store the fireplace reads. Options are accepted with
// one or two leading dashes, the value as the next argument or after "=".
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

class TSettingsStore;
class TMainScene;

// A bad option or value; the message is one line for the user.
struct THackUsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class THackTarget : std::uint8_t {
    htWindow,   // an ordinary window of its own (-window, the default)
    htRoot,     // $XSCREENSAVER_WINDOW, else the root window (-root)
    htWindowId, // a window of another program (-window-id ID)
    htFullscreen // a window of its own covering the monitor under the pointer (-fullscreen)
};

struct THackOptions {
    THackTarget Target = THackTarget::htWindow;
    std::uint64_t WindowId = 0;            // -window-id
    std::string Display;                   // -display; empty: $DISPLAY
    std::string Name = "pyrelume";         // -name: the window's resource name
    int DelayMicroseconds = 16666;         // -delay: the frame period
    bool ShowFps = false;                  // -fps
    bool Sound = false;                    // -sound
    int Volume = -1;                       // -volume 0..100; -1 keeps the scene's
    bool Help = false;                     // -help
    // Fireplace settings in command-line order: store value name and text.
    std::vector<std::pair<std::string, std::string>> Settings;
};

// Parses the arguments after the program name on top of base (the settings
// file's options, or the defaults). Raises THackUsageError.
THackOptions ParseHackOptions(const std::vector<std::string>& args, const THackOptions& base = {});

// True for the targets that read the settings file: the program's own windows.
// Under xscreensaver (-root, -window-id) its settings come from the command line only.
bool UsesHackConfig(const THackOptions& options);

// The settings file: $XDG_CONFIG_HOME/pyrelume/pyrelume.conf, else
// $HOME/.config/pyrelume/pyrelume.conf; empty when neither is set.
std::string HackConfigPath(const char* xdgConfigHome, const char* home);

// Applies the text of a settings file: one option a line, named as on the
// command line (the dashes may be left out), its value after "=" or a space
// ("flame-color = orange", "clock 24", "near-view", "sound = off");
// blank lines and lines starting with '#' are skipped. The fireplace settings
// and -delay may be given; where it draws is for the command line. Raises
// THackUsageError "FILE:LINE: what is wrong" for the first bad line.
void ApplyHackConfig(THackOptions& options, const std::string& text, const std::string& fileName);

// Reads and applies the settings file at path. False when there is none;
// raises THackUsageError when it exists but cannot be read or has a bad line.
bool ReadHackConfigFile(const std::string& path, THackOptions& options);

// "0x..." (hex) or decimal window id; false for anything else or 0.
bool ParseWindowId(const std::string& text, std::uint64_t& id);

// The text of --help: every option with its range and default.
std::string HackHelpText();

// The option names of the fireplace settings (without dashes, negated forms
// included): what the settings file of xscreensaver offers.
std::vector<std::string> HackSettingOptionNames();

// Writes the options into the store the fireplace reads (plain names, user
// hive), including the per-sound values of the scene's sound list: the sounds
// play only with playSound, at Volume when given.
void FeedHackSettings(const THackOptions& options, TSettingsStore& store, TMainScene* scene, bool playSound);
