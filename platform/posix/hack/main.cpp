// pyrelume: the fireplace as a display hack for xscreensaver (-root), on
// another program's window (-window-id) or in a window of its own (-window).
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "platform/posix/hack/HackOptions.h"
#include "platform/posix/hack/HackProgram.h"

int main(int argc, char** argv)
{
    InstallHackStopSignals();
    THackOptions options;
    try {
        options = ParseHackOptions(std::vector<std::string>(argv + 1, argv + argc));
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
