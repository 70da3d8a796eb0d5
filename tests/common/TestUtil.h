#pragma once
// Helpers shared by the test folders: error capture, scratch folders, an
// in-memory settings store and running pyrelume-tool as a separate process.
#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>

#include "gl/Errors.h"

namespace testutil {

// The message of the EPyrelumeError f raises, or "<no error>".
inline std::string ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EPyrelumeError& e) {
        return e.what();
    }
    return "<no error>";
}

inline std::string ReadText(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fresh, empty folder in the temporary directory, removed at destruction.
class ScratchDir {
public:
    // The process id keeps parallel test processes out of each other's folders.
    explicit ScratchDir(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / ("pyr_" + name + "_" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // The folder with a trailing slash, as scene paths are written.
    std::string Dir() const { return path_.string() + "/"; }
    long Count() const
    {
        return std::distance(std::filesystem::directory_iterator(path_), std::filesystem::directory_iterator());
    }

private:
    std::filesystem::path path_;
};

struct ToolResult {
    int Code;
    std::string Out, Err;
};

// Runs pyrelume-tool with args (already quoted as needed); its output goes
// through files in dir that are removed again.
inline ToolResult RunTool(const std::string& args, const ScratchDir& dir)
{
    const std::string out = dir.File(".stdout"), err = dir.File(".stderr");
    const std::string cmd = std::string("\"") + PYRELUME_BINARY_DIR + "/tools/pyrelume-tool/pyrelume-tool\" " + args +
                            " >\"" + out + "\" 2>\"" + err + "\"";
    ToolResult r{std::system(cmd.c_str()), ReadText(out), ReadText(err)};
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return r;
}

// A settings store in memory; Bool is written as "1"/"0", unreadable numbers
// give the default.
template <typename Store>
class MemorySettings : public Store {
public:
    std::map<std::string, std::string> Values;
    std::string ReadString(const std::string& n, const std::string& d) override
    {
        auto it = Values.find(n);
        return it == Values.end() ? d : it->second;
    }
    bool ReadBool(const std::string& n, bool d) override { return ReadInteger(n, d ? 1 : 0) != 0; }
    int ReadInteger(const std::string& n, int d) override
    {
        auto it = Values.find(n);
        try {
            return it == Values.end() ? d : std::stoi(it->second);
        } catch (...) {
            // A value that is not a number reads as the default, as the real store does.
            return d;
        }
    }
    void WriteString(const std::string& n, const std::string& v) override { Values[n] = v; }
    void WriteBool(const std::string& n, bool v) override { Values[n] = v ? "1" : "0"; }
    void WriteInteger(const std::string& n, int v) override { Values[n] = std::to_string(v); }
};

}  // namespace testutil
