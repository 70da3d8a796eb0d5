// The "flame" command of pyrelume-tool, driven as a separate process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fire/FlameClasses.h"
#include "gl/Random.h"

namespace fs = std::filesystem;

namespace {

class FlameTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("pyr_flame_tool_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs the tool with args; returns its exit status, stderr in err_.
    int Run(const std::string& args)
    {
        const fs::path errFile = dir_ / "stderr.txt";
        const std::string cmd = std::string("\"") + PYRELUME_BINARY_DIR + "/tools/pyrelume-tool/pyrelume-tool\" flame " +
                                args + " 2>\"" + errFile.string() + "\"";
        const int status = std::system(cmd.c_str());
        err_ = Read(errFile);
        return status;
    }
    static std::string Read(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string P(const char* name) const { return (dir_ / name).string(); }

    fs::path dir_;
    std::string err_;
};

std::string LittleEndian(const TFlame2D& f)
{
    std::string out;
    for (int y = 0; y < f.Height(); ++y)
        for (int x = 0; x < f.Width(); ++x) {
            const auto u = static_cast<std::uint32_t>(f.Row(y)[x]);
            for (int k = 0; k < 4; ++k)
                out.push_back(static_cast<char>(u >> (8 * k)));
        }
    return out;
}

std::string PaletteBytes(const TFlame2D& f)
{
    std::string out;
    auto put = [&](const TFlamePixel& p) { out += {char(p.B), char(p.G), char(p.R), char(p.A)}; };
    for (const auto& p : f.Palette())
        put(p);
    for (const auto& e : f.DitherPalette())
        for (const auto& p : e)
            put(p);
    for (const auto& p : f.LightPalette())
        put(p);
    return out;
}

} // namespace

TEST_F(FlameTool, DumpsMatchTheSimulationFromGeneratorZero)
{
    ASSERT_EQ(Run("--steps 30 --width 150 --decay 3 --rate 9 --color 2 --swap --dump " + P("g.bin") +
                  " --palettes " + P("p.bin")),
              0)
        << err_;

    Random::SetState(0);
    TFlame2D f;
    f.SetFlameWidth(150);
    f.SetDecay(3);
    f.SetBurningRate(9);
    f.SetFlameColor(2);
    f.SetSwapBytes(true);
    f.RebuildPalette();
    for (int n = 0; n < 30; ++n)
        f.Step();
    const std::string grid = Read(P("g.bin"));
    ASSERT_EQ(grid.size(), 256u * 256u * 4u);
    EXPECT_TRUE(grid == LittleEndian(f));
    const std::string pal = Read(P("p.bin"));
    ASSERT_EQ(pal.size(), 1025u * 4u * 6u);
    EXPECT_TRUE(pal == PaletteBytes(f));

    // Same arguments, same bytes; nothing but the outputs is left behind.
    ASSERT_EQ(Run("--steps 30 --width 150 --decay 3 --rate 9 --color 2 --swap --dump " + P("g2.bin")), 0);
    EXPECT_TRUE(Read(P("g2.bin")) == grid);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 4);  // g, p, g2, stderr
}

TEST_F(FlameTool, BadArgumentsFailWithOneLineAndWriteNothing)
{
    const std::string dump = P("keep.bin");
    std::ofstream(dump) << "old";
    const std::string bad[] = {
        "--steps abc --dump " + dump,
        "--steps 12x --dump " + dump,
        "--steps -1 --dump " + dump,
        "--steps 5 --width 99999999999 --dump " + dump,
        "--steps 5 --rate --dump " + dump,
        "--steps 5 --dump",
        "--dump " + dump,
        "--steps 5",
        // The palette file cannot be written, so the dump is not replaced either.
        "--steps 5 --dump " + dump + " --palettes " + P("missing/dir/p.bin"),
    };
    for (const std::string& args : bad) {
        EXPECT_NE(Run(args), 0) << args;
        EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 1) << args << ": " << err_;
        EXPECT_EQ(Read(dump), "old") << args;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);  // keep.bin, stderr
    EXPECT_NE(Run("--steps 1 --frobnicate --dump " + dump), 0);
}
