// The generator writes the same bytes on every run, so the archive (and the
// program that embeds it) is reproducible.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> ReadAll(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir)) {
        std::ifstream in(e.path(), std::ios::binary);
        files[e.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

int RunGenerator(const fs::path& out) {
    std::string cmd = std::string("\"") + PYRELUME_ASSETGEN + "\" \"" + out.string() + "\"";
    return std::system(cmd.c_str());
}

}  // namespace

TEST(ContentGenerator, TwoRunsGiveIdenticalFiles) {
    fs::path base = fs::temp_directory_path() / ("pyrelume-assetgen-determinism-" + std::to_string(::getpid()));
    fs::remove_all(base);
    ASSERT_EQ(RunGenerator(base / "a"), 0);
    ASSERT_EQ(RunGenerator(base / "b"), 0);
    auto a = ReadAll(base / "a"), b = ReadAll(base / "b");
    EXPECT_EQ(a.size(), b.size());
    EXPECT_EQ(a.size(), 28u);
    for (const auto& [name, bytes] : a) {
        ASSERT_TRUE(b.count(name)) << name;
        EXPECT_TRUE(bytes == b[name]) << name << " differs between runs";
        EXPECT_FALSE(name.ends_with(".tmp")) << "a temporary file was left behind";
    }
    fs::remove_all(base);
}

TEST(ContentGenerator, RefusesAMissingOutputArgument) {
    std::string cmd = std::string("\"") + PYRELUME_ASSETGEN + "\" 2>/dev/null";
    EXPECT_NE(std::system(cmd.c_str()), 0);
}

TEST(ContentGenerator, ReportsAMissingFont) {
    fs::path out = fs::temp_directory_path() / "pyrelume-assetgen-nofont";
    std::string cmd = std::string("\"") + PYRELUME_ASSETGEN + "\" \"" + out.string() + "\" --font /nonexistent.ttf 2>/dev/null";
    EXPECT_NE(std::system(cmd.c_str()), 0);
    fs::remove_all(out);
}
