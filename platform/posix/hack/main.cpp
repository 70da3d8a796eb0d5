// pyrelume: the fireplace as a display hack for xscreensaver (-root), on
// another program's window (-window-id), in a window of its own (-window) or
// filling a monitor (-fullscreen). Its own windows also read the settings file.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "platform/posix/hack/HackOptions.h"
#include "platform/posix/hack/HackProgram.h"

int main(int argc, char** argv)
{
    InstallHackStopSignals();
    const std::vector<std::string> args(argv + 1, argv + argc);
    THackOptions options;
    try {
        options = ParseHackOptions(args);
        if (!options.Help && UsesHackConfig(options)) {
            // The file first, then the command line over it.
            THackOptions fromFile;
            const std::string path = HackConfigPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
            if (!path.empty() && ReadHackConfigFile(path, fromFile))
                options = ParseHackOptions(args, fromFile);
        }
    } catch (const THackUsageError& e) {
        std::fprintf(stderr, "pyrelume: %s\n", e.what());
        return 2;
    }
    if (options.Help) {
        std::fputs(HackHelpText().c_str(), stdout);
        return 0;
    }
    try {
        return RunHack(options);
    } catch (const THackUsageError& e) {
        std::fprintf(stderr, "pyrelume: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pyrelume: %s\n", e.what());
        return 1;
    }
}
