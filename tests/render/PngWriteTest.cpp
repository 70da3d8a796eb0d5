#include <unistd.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <zlib.h>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/Streams.h"
#include "gl/Errors.h"
#include "platform/HeadlessGL.h"
#include "tools/pyrelume-tool/PngWrite.h"

namespace {
std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::string("pyr_png_") + std::to_string(::getpid()) + "_" + name)).string();
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
    for (int y = 0; y < 3; ++y) // the file's rows are the GL's in reverse
        EXPECT_TRUE(std::equal(back.begin() + 8 * y, back.begin() + 8 * y + 8, px.begin() + 8 * (2 - y)));
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

// Hostile headers are refused before libpng or the decoder allocates what they
// claim: a chunk cut off after its type claiming 551 MB, and an IHDR claiming
// 100000 x 100000 pixels (40 GB of RGBA).
TEST(PngWrite, ClaimedSizesBeyondTheFileOrTheSideLimitAreRefused)
{
    const std::string path = TempPath("valid.png");
    const std::vector<std::uint8_t> px(4 * 4 * 4, 90);
    WritePngRGBA(path, 4, 4, px.data(), false);
    int w = 0, h = 0;
    std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    std::remove(path.c_str());
    ASSERT_EQ(DecodePngRGBA(bytes, "valid", w, h), px);
    // Text chunks before and after the pixels are skipped; the pixels stay.
    std::vector<std::uint8_t> text = bytes;
    const std::uint8_t chunk[] = {0, 0, 0, 3, 't', 'E', 'X', 't', 'a', 0, 'b', 0, 0, 0, 0};
    text.insert(text.begin() + 33, chunk, chunk + sizeof chunk);
    text.insert(text.end() - 12, chunk, chunk + sizeof chunk);
    EXPECT_EQ(DecodePngRGBA(text, "text", w, h), px);

    auto errorOf = [&](const std::vector<std::uint8_t>& file) {
        try {
            DecodePngRGBA(file, "bad", w, h);
        } catch (const EPyrelumeError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    // Signature and IHDR (8 + 25 bytes), then a tEXt header claiming 0x20dd3100 bytes and two of its data bytes.
    std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + 33);
    for (int b : {0x20, 0xdd, 0x31, 0x00, 0x74, 0x45, 0x58, 0x74, 0x64, 0x82})
        cut.push_back(static_cast<std::uint8_t>(b));
    EXPECT_NE(errorOf(cut).find("longer than the file"), std::string::npos);

    std::vector<std::uint8_t> huge = bytes;
    for (int i = 0; i < 8; ++i)
        huge[16 + i] = std::uint8_t(i % 4 == 1 ? 0x01 : i % 4 == 2 ? 0x86 : i % 4 == 3 ? 0xa0 : 0); // 100000
    const std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, &huge[12], 17));
    for (int i = 0; i < 4; ++i)
        huge[29 + i] = std::uint8_t(crc >> (24 - 8 * i));
    EXPECT_NE(errorOf(huge).find("100000 x 100000 pixels is larger than 4096 x 4096"), std::string::npos);
}
