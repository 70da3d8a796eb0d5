// pyrelume-tool: archive, flame, scene, model, sound and render utilities.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/pyrelume-tool/Command.h"

std::vector<ToolCommandInfo>& ToolCommands()
{
    static std::vector<ToolCommandInfo> commands;
    return commands;
}

ToolCommand::ToolCommand(const char* name, const char* usage, ToolHandler handler)
{
    ToolCommands().push_back({name, usage, handler});
}

static void PrintUsage(std::FILE* to)
{
    std::fprintf(to, "usage: pyrelume-tool COMMAND ...\n");
    for (const auto& c : ToolCommands())
        std::fprintf(to, "  pyrelume-tool %s\n", c.usage.c_str());
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(stdout);
        return 0;
    }
    for (const auto& c : ToolCommands()) {
        if (c.name != name)
            continue;
        std::vector<std::string> args(argv + 2, argv + argc);
        try {
            return c.handler(args);
        } catch (const ToolUsageError& e) {
            std::fprintf(stderr, "pyrelume-tool %s: %s\nusage: pyrelume-tool %s\n", name.c_str(), e.message.c_str(),
                         c.usage.c_str());
            return 2;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "pyrelume-tool %s: %s\n", name.c_str(), e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "pyrelume-tool: unknown command \"%s\"\n", name.c_str());
    PrintUsage(stderr);
    return 2;
}
