// The archive writer keeps the format's rules and refuses input that breaks them.
#include <gtest/gtest.h>

#include "assets/ArchiveWriter.h"
#include "assets/ResourceFile.h"
#include "gl/Errors.h"
#include "tests/archive/ArchiveTestUtil.h"

using namespace archive_test;

namespace {

std::int32_t IntAt(const Bytes& b, std::size_t at)
{
    return static_cast<std::int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24));
}

}  // namespace

TEST(ArchiveWriter, SortsNamesCaseInsensitively)
{
    TResourceArchiveWriter writer;
    for (const char* n : {"b.txt", "_under.txt", "A.txt", "c1.txt", "C.txt", "a.b.txt"})
        writer.Add(n, Text(n));
    EXPECT_EQ(writer.Names(), (std::vector<std::string>{"_under.txt", "a.b.txt", "A.txt", "b.txt", "C.txt", "c1.txt"}));
}

TEST(ArchiveWriter, LayoutStreamsAndBlocksFollowTheRules)
{
    TResourceArchiveWriter writer;
    writer.Add("zz.bin", Noise(5000, 2));
    writer.Add("aa.txt", Text(std::string(3000, 'a')));
    writer.Add("mm.txt", Text("m"));
    const Bytes bytes = writer.SaveToBytes();

    // Walk the file by hand: the directory stream, then every block in order.
    const std::int32_t directorySize = IntAt(bytes, 0);
    z_stream z{};
    ASSERT_EQ(inflateInit(&z), Z_OK);
    Bytes dir(static_cast<std::size_t>(directorySize) + 16);
    z.next_in = const_cast<Bytef*>(bytes.data() + 4);
    z.avail_in = static_cast<uInt>(bytes.size() - 4);
    z.next_out = dir.data();
    z.avail_out = static_cast<uInt>(dir.size());
    ASSERT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    EXPECT_EQ(z.total_out, static_cast<uLong>(directorySize));
    std::size_t at = 4 + z.total_in;
    inflateEnd(&z);
    EXPECT_EQ(bytes[4], 0x78);
    EXPECT_EQ(bytes[5], 0xDA);

    std::size_t d = 0;
    ASSERT_EQ(IntAt(dir, d), 3);
    d += 4;
    std::vector<std::string> names;
    for (int i = 0; i < 3; ++i) {
        const std::int32_t nameLength = IntAt(dir, d);
        names.emplace_back(reinterpret_cast<const char*>(dir.data() + d + 4), static_cast<std::size_t>(nameLength));
        d += 4 + static_cast<std::size_t>(nameLength);
        const std::int32_t compressed = IntAt(dir, d);
        d += 8;
        EXPECT_EQ(bytes[at], 0x78) << names.back();
        EXPECT_EQ(bytes[at + 1], 0xDA) << names.back();
        at += static_cast<std::size_t>(compressed);
    }
    EXPECT_EQ(d, static_cast<std::size_t>(directorySize));
    EXPECT_EQ(at, bytes.size());  // nothing follows the last block
    EXPECT_EQ(names, (std::vector<std::string>{"aa.txt", "mm.txt", "zz.bin"}));
}

TEST(ArchiveWriter, RefusesNamesThatWouldBreakTheArchive)
{
    TResourceArchiveWriter writer;
    writer.Add("Clock.bmp", Text("x"));
    EXPECT_EQ(ErrorOf([&] { writer.Add("CLOCK.BMP", Text("y")); }),
              "TResourceArchiveWriter.Add error: Duplicate member name \"CLOCK.BMP\" (same as \"Clock.bmp\" ignoring case)");
    for (const char* bad : {"textures\\a.jpg", "textures/a.jpg", "C:a.jpg"})
        EXPECT_NE(ErrorOf([&] { writer.Add(bad, Text("z")); }).find("carries a path"), std::string::npos) << bad;
    EXPECT_EQ(ErrorOf([&] { writer.Add("", Text("z")); }), "TResourceArchiveWriter.Add error: Empty member name");
    EXPECT_NE(ErrorOf([&] { writer.Add("tab\there", Text("z")); }).find("control character"), std::string::npos);
    EXPECT_EQ(writer.Count(), 1);
}

TEST(ArchiveWriter, AddFileStoresTheBareName)
{
    ScratchDir root("archive-writer-addfile");
    WriteFileBytes(root.File("Fireplace01.3dm"), Text("model"));
    TResourceArchiveWriter writer;
    writer.AddFile(root.File("Fireplace01.3dm"));
    EXPECT_EQ(writer.Names(), std::vector<std::string>{"Fireplace01.3dm"});
    EXPECT_NE(ErrorOf([&] { writer.AddFile(root.File("missing.txt")); }).find("Cannot open file"), std::string::npos);
}

TEST(ArchiveWriter, DeflateBestUsesTheBestLevelHeader)
{
    for (const Bytes& in : {Bytes{}, Text("a"), Noise(100000, 4)}) {
        const Bytes out = DeflateBest(in);
        ASSERT_GE(out.size(), 2u);
        EXPECT_EQ(out[0], 0x78);
        EXPECT_EQ(out[1], 0xDA);
        Bytes back(in.size() + 1);
        uLongf n = static_cast<uLongf>(back.size());
        ASSERT_EQ(uncompress(back.data(), &n, out.data(), static_cast<uLong>(out.size())), Z_OK);
        back.resize(n);
        EXPECT_EQ(back, in);
    }
}
