#include <cstdio>

#include "tools/pyrelume-tool/Command.h"

static int RunVersion(const std::vector<std::string>&)
{
    std::printf("pyrelume-tool 3.0\n");
    return 0;
}

static ToolCommand reg("version", "version", &RunVersion);
