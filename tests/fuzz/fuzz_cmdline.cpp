// A command line (parameters split at blanks and NULs, the first word as the
// program path): the mode, the parent window and the switches are computed or
// raise EPyrelumeError, never anything else.
#include <string>
#include <vector>

#include "shell/AppPro.h"
#include "shell/GLScreenSaver.h"
#include "tests/fuzz/FuzzUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> words(1);
    for (std::size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == ' ' || c == '\0') {
            if (!words.back().empty())
                words.emplace_back();
        } else {
            words.back() += c;
        }
    }
    if (words.back().empty() && words.size() > 1)
        words.pop_back();
    const std::string program = words.front();
    const std::vector<std::string> parameters(words.begin() + 1, words.end());
    (void)ProgramExtension(program);
    (void)ParseSaverMode(program, parameters);
    for (char letter : {'S', 'C', 'P', 'L', 'A'})
        (void)HasSwitch(parameters, letter);
    fuzz::Guarded([&] { (void)ParseParentHandle(parameters, 0); });
    return 0;
}
