#pragma once
// Options of "pyrelume-tool render", parsed in one place. Each option is one
// entry of the table in ParseRenderOptions; new options (settings, a fixed
// start time, a frame rate) are added there and as fields here.
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tools/pyrelume-tool/Command.h"

namespace tool {

struct RenderOptions {
    std::string Scene;          // ARCHIVE.rfa or FILE.gsc
    int Width = 640;
    int Height = 480;
    int Frames = 1;
    float Dt = 1.0f / 30.0f;    // seconds per frame after the first (which gets 0)
    std::string Out;            // PNG of the last frame, an absolute path once parsed
    // --setting NAME=VALUE, in order: the fireplace's stored settings.
    std::vector<std::pair<std::string, std::string>> Settings;
    std::string Time;           // --time YYYY-MM-DDTHH:MM:SS: the clock's local time
    int Fps = -1;               // --fps N: the value the frame-rate text shows
    bool FullRedraw = false;    // --full-redraw: every frame drawn whole
};

inline int ParsePositive(const std::string& text, const char* what)
{
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < 1 || v > 100000)
        throw ToolUsageError{std::string("bad ") + what + " \"" + text + "\""};
    return static_cast<int>(v);
}

inline RenderOptions ParseRenderOptions(const std::vector<std::string>& args)
{
    RenderOptions o;
    using Handler = std::function<void(const std::string&)>;
    const std::map<std::string, Handler> options = {
        {"--size",
         [&](const std::string& v) {
             const auto x = v.find('x');
             if (x == std::string::npos)
                 throw ToolUsageError{"bad --size \"" + v + "\", expected WxH"};
             o.Width = ParsePositive(v.substr(0, x), "width");
             o.Height = ParsePositive(v.substr(x + 1), "height");
             if (o.Width > 8192 || o.Height > 8192)
                 throw ToolUsageError{"--size is limited to 8192x8192"};
         }},
        {"--frames", [&](const std::string& v) { o.Frames = ParsePositive(v, "--frames"); }},
        {"--dt",
         [&](const std::string& v) {
             char* end = nullptr;
             const double d = std::strtod(v.c_str(), &end);
             if (v.empty() || *end != '\0' || !(d >= 0) || d > 3600)
                 throw ToolUsageError{"bad --dt \"" + v + "\""};
             o.Dt = static_cast<float>(d);
         }},
        {"--out", [&](const std::string& v) { o.Out = std::filesystem::absolute(v).string(); }},
        {"--setting",
         [&](const std::string& v) {
             const auto eq = v.find('=');
             if (eq == std::string::npos || eq == 0)
                 throw ToolUsageError{"bad --setting \"" + v + "\", expected NAME=VALUE"};
             o.Settings.emplace_back(v.substr(0, eq), v.substr(eq + 1));
         }},
        {"--time", [&](const std::string& v) { o.Time = v; }},
        {"--fps",
         [&](const std::string& v) {
             char* end = nullptr;
             const long n = std::strtol(v.c_str(), &end, 10);
             if (v.empty() || *end != '\0' || n < 0 || n > 100000)
                 throw ToolUsageError{"bad --fps \"" + v + "\""};
             o.Fps = static_cast<int>(n);
         }},
    };
    // Options without a value.
    const std::map<std::string, std::function<void()>> flags = {
        {"--full-redraw", [&] { o.FullRedraw = true; }},
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (auto flag = flags.find(a); flag != flags.end()) {
            flag->second();
        } else if (a.rfind("--", 0) == 0) {
            auto it = options.find(a);
            if (it == options.end())
                throw ToolUsageError{"unknown option " + a};
            if (i + 1 >= args.size())
                throw ToolUsageError{a + " needs a value"};
            it->second(args[++i]);
        } else if (o.Scene.empty()) {
            o.Scene = a;
        } else {
            throw ToolUsageError{"unexpected argument \"" + a + "\""};
        }
    }
    if (o.Scene.empty())
        throw ToolUsageError{"no scene given"};
    if (o.Out.empty())
        throw ToolUsageError{"--out FILE.png is required"};
    return o;
}

} // namespace tool
