#pragma once
// Subcommand registry of pyrelume-tool. Each cmd_*.cpp file registers its
// commands with a static ToolCommand object:
//   static ToolCommand reg("rfa", "rfa pack|list|extract ...", &RunRfa);
// The handler gets the arguments after the command word and returns the exit code.
// Handlers report errors by throwing; main prints one line to stderr and exits 1.
#include <string>
#include <vector>

using ToolHandler = int (*)(const std::vector<std::string>& args);

struct ToolCommand {
    ToolCommand(const char* name, const char* usage, ToolHandler handler);
};

struct ToolCommandInfo {
    std::string name;
    std::string usage;
    ToolHandler handler;
};
std::vector<ToolCommandInfo>& ToolCommands();

// Raised for wrong usage; main prints the message and the command's usage.
struct ToolUsageError {
    std::string message;
};
