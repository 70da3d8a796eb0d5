// The "flame" command of pyrelume-tool, run as a separate process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>

#include "fire/FlameClasses.h"
#include "gl/Random.h"
#include "tests/common/TestUtil.h"

using testutil::ReadText;

namespace {

// Runs the tool's flame command in a fresh folder.
struct ToolRun : testutil::ScratchDir {
    ToolRun() : ScratchDir(std::string("flame_tool_") + ::testing::UnitTest::GetInstance()->current_test_info()->name()) {}
    std::string P(const char* name) const { return File(name); }
    int Run(const std::string& args, std::string* err)
    {
        const auto r = testutil::RunTool("flame " + args, *this);
        *err = r.Err;
        return r.Code;
    }
    long Files() const { return Count(); }
};

void Put(std::string& out, std::uint32_t v, int bytes)
{
    for (int k = 0; k < bytes; ++k)
        out.push_back(static_cast<char>(v >> (8 * k)));
}

} // namespace

TEST(FlameTool, DumpsMatchTheSimulationFromGeneratorZero)
{
    ToolRun t;
    std::string err;
    ASSERT_EQ(t.Run("--steps 30 --width 150 --decay 3 --rate 9 --color 2 --swap --dump " + t.P("g.bin") +
                        " --palettes " + t.P("p.bin"), &err), 0) << err;
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
    // Grid: little-endian int32, row 0 first. Palettes: flame, dither (entry-major), light.
    std::string grid, pal;
    for (int i = 0; i < f.Width() * f.Height(); ++i)
        Put(grid, static_cast<std::uint32_t>(f.Heat()[i]), 4);
    auto put = [&](const TFlamePixel& p) { Put(pal, p.B | p.G << 8 | p.R << 16 | std::uint32_t(p.A) << 24, 4); };
    std::for_each(f.Palette().begin(), f.Palette().end(), put);
    for (const auto& e : f.DitherPalette())
        std::for_each(e.begin(), e.end(), put);
    std::for_each(f.LightPalette().begin(), f.LightPalette().end(), put);
    EXPECT_TRUE(ReadText(t.P("g.bin")) == grid);
    EXPECT_TRUE(ReadText(t.P("p.bin")) == pal);
    EXPECT_EQ(t.Files(), 2);  // g.bin, p.bin: no temporary files left
}

TEST(FlameTool, BadArgumentsFailWithOneLineAndWriteNothing)
{
    ToolRun t;
    const std::string dump = t.P("keep.bin");
    std::ofstream(dump) << "old";
    const std::string bad[] = {
        "--steps abc --dump " + dump, "--steps 12x --dump " + dump, "--steps -1 --dump " + dump,
        "--steps 5 --width 99999999999 --dump " + dump, "--steps 5 --rate --dump " + dump,
        "--steps 5 --dump", "--dump " + dump, "--steps 5",
        // The palette file cannot be written, so the dump is not replaced either.
        "--steps 5 --dump " + dump + " --palettes " + t.P("missing/p.bin"),
    };
    std::string err;
    for (const std::string& args : bad) {
        EXPECT_NE(t.Run(args, &err), 0) << args;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << args << ": " << err;
        EXPECT_EQ(ReadText(dump), "old") << args;
    }
    EXPECT_EQ(t.Files(), 1);  // keep.bin
    EXPECT_NE(t.Run("--steps 1 --frobnicate --dump " + dump, &err), 0);
}
