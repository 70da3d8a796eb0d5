#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "gl/Errors.h"
#include "platform/posix/HeadlessGL.h"
#include "tools/pyrelume-tool/PngWrite.h"

namespace {
std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::string("pyr_png_") + name)).string();
}
} // namespace

TEST(PngWrite, BottomUpRowsAreFlippedOnDisk)
{
    // 2 x 3 image, bottom row red, middle green, top blue (as the GL returns it).
    std::vector<std::uint8_t> px;
    const std::uint8_t rows[3][4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 128}};
    for (const auto& row : rows)
        for (int x = 0; x < 2; ++x)
            px.insert(px.end(), row, row + 4);
    const std::string path = TempPath("flip.png");
    WritePngRGBA(path, 2, 3, px.data(), true);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    int w = 0, h = 0;
    const std::vector<std::uint8_t> back = ReadPngRGBA(path, w, h);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 3);
    ASSERT_EQ(back.size(), 24u);
    EXPECT_EQ(back[2], 255); // first row on disk is the top (blue)
    EXPECT_EQ(back[3], 128);
    EXPECT_EQ(back[16], 255); // last row is the bottom (red)
    EXPECT_EQ(FlipRows(back, 8, 3), px);
    std::remove(path.c_str());
}

TEST(PngWrite, SecondWriteReplacesTheFile)
{
    const std::string path = TempPath("replace.png");
    const std::vector<std::uint8_t> big(4 * 4 * 4, 200);
    const std::vector<std::uint8_t> small = {10, 20, 30, 255};
    WritePngRGBA(path, 4, 4, big.data(), false);
    WritePngRGBA(path, 1, 1, small.data(), false);
    int w = 0, h = 0;
    const std::vector<std::uint8_t> back = ReadPngRGBA(path, w, h);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(back, small);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    std::remove(path.c_str());
}

TEST(PngWrite, FailuresRaiseAndLeaveNoFile)
{
    const std::uint8_t px[4] = {1, 2, 3, 4};
    EXPECT_THROW(WritePngRGBA("/nonexistent-dir/x.png", 1, 1, px, false), EPyrelumeError);
    EXPECT_THROW(WritePngRGBA(TempPath("empty.png"), 0, 1, px, false), EPyrelumeError);
    EXPECT_FALSE(std::filesystem::exists(TempPath("empty.png")));
    int w, h;
    EXPECT_THROW(ReadPngRGBA(TempPath("missing.png"), w, h), EPyrelumeError);
}
