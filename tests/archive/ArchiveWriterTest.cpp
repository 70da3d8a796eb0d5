// The archive writer keeps the format's rules and refuses input that breaks them.
#include <gtest/gtest.h>

#include "assets/ArchiveWriter.h"
#include "assets/ResourceFile.h"
#include "gl/Errors.h"
#include "tests/archive/ArchiveTestUtil.h"

using namespace archive_test;

TEST(ArchiveWriter, SortsNamesCaseInsensitively)
{
    TResourceArchiveWriter writer;
    for (const char* n : {"b.txt", "_under.txt", "A.txt", "c1.txt", "C.txt", "a.b.txt"})
        writer.Add(n, Text(n));
    EXPECT_EQ(writer.Names(), (std::vector<std::string>{"_under.txt", "a.b.txt", "A.txt", "b.txt", "C.txt", "c1.txt"}));
}

TEST(ArchiveWriter, DirectoryAndEveryBlockAreBestLevelStreams)
{
    TResourceArchiveWriter writer;
    writer.Add("zz.bin", Noise(5000, 2));
    writer.Add("aa.txt", Text(std::string(3000, 'a')));
    writer.Add("mm.txt", Text("m"));
    const Bytes bytes = writer.SaveToBytes();
    EXPECT_EQ(bytes[4], 0x78);
    EXPECT_EQ(bytes[5], 0xDA);
    TResourceFileArchive archive;
    TReadOnlyMemoryStream stream(bytes);
    archive.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(bytes.size()));  // nothing follows the last block
    ASSERT_EQ(archive.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        const Bytes& block = archive.Files(i).Data->Bytes();
        ASSERT_GE(block.size(), 2u);
        EXPECT_EQ(block[0], 0x78) << archive.Files(i).Name;
        EXPECT_EQ(block[1], 0xDA) << archive.Files(i).Name;
    }
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
