// Reading archives: round trips through the writer, the order rules, and
// damaged input of every kind.
#include <gtest/gtest.h>

#include "assets/ArchiveWriter.h"
#include "assets/ResourceFile.h"
#include "gl/Errors.h"
#include "tests/archive/ArchiveTestUtil.h"

using namespace archive_test;

namespace {

TResourceFileArchive LoadBytes(const Bytes& bytes)
{
    TResourceFileArchive archive;
    TReadOnlyMemoryStream stream(bytes);
    archive.LoadFromStream(stream);
    return archive;
}

Bytes ExtractMember(TResourceFileArchive& archive, const std::string& name)
{
    int index = -1;
    EXPECT_TRUE(archive.Find(name, index)) << name;
    if (index < 0 || index >= archive.Count())
        return {};
    TMemoryStream out;
    archive.Files(index).Extract(out);
    EXPECT_EQ(out.Position(), 0);
    return out.Bytes();
}

}  // namespace

TEST(ArchiveFormat, WriterOutputReadsBackByteIdentical)
{
    std::vector<std::pair<std::string, Bytes>> members = {
        {"Fireplace01.3dm", Text(std::string(5000, 'v') + "\n1.0 2.0 3.0\n")},
        {"clock.bmp", Noise(70000, 7)},  // incompressible: stored blocks inside the zlib stream
        {"a", Text("x")},
        {"ZED.TXT", Text("last in order")},
        {"crackle.wav", Noise(3, 1)},
    };
    Bytes big(300000);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>((i * i) >> 7);
    members.push_back({"big.raw", big});

    TResourceArchiveWriter writer;
    for (const auto& [name, bytes] : members)
        writer.Add(name, bytes);
    const Bytes archiveBytes = writer.SaveToBytes();

    TResourceFileArchive archive = LoadBytes(archiveBytes);
    ASSERT_EQ(archive.Count(), static_cast<int>(members.size()));
    for (const auto& [name, bytes] : members) {
        EXPECT_EQ(ExtractMember(archive, name), bytes) << name;
        int index = 0;
        ASSERT_TRUE(archive.Find(name, index));
        EXPECT_EQ(archive.Files(index).Size, static_cast<std::int32_t>(bytes.size()));
        EXPECT_EQ(archive.Files(index).Data->Size(), archive.Files(index).CompressedSize);
    }
}

TEST(ArchiveFormat, LoadingStopsRightAfterTheLastBlockAndStartsAtStreamPosition)
{
    TResourceArchiveWriter writer;
    writer.Add("one.txt", Text("1111111111"));
    writer.Add("two.txt", Noise(2000, 3));
    const Bytes archiveBytes = writer.SaveToBytes();

    // The archive sits inside a larger stream: loading starts at the position
    // and consumes exactly the archive, whatever zlib read ahead.
    TMemoryStream stream;
    stream.WriteBuffer("HEAD", 4);
    stream.WriteBuffer(archiveBytes.data(), archiveBytes.size());
    stream.WriteBuffer("TAIL", 4);
    stream.SetPosition(4);
    TResourceFileArchive archive;
    archive.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), 4 + static_cast<std::int64_t>(archiveBytes.size()));
    EXPECT_EQ(ExtractMember(archive, "two.txt"), Noise(2000, 3));
}

TEST(ArchiveFormat, DirectoryOutOfOrderAttachesBlocksInSortedOrder)
{
    // Same sizes, so the misattached blocks still inflate cleanly.
    RawEntry b = Entry("b.txt", Text("content of B"));
    RawEntry a = Entry("A.txt", Text("content of A"));
    RawEntry c = Entry("c.txt", Text("content of C"));
    ASSERT_EQ(a.compressedSize, b.compressedSize);
    ASSERT_EQ(a.compressedSize, c.compressedSize);

    TResourceFileArchive archive = LoadBytes(Assemble({b, c, a}));
    ASSERT_EQ(archive.Count(), 3);
    EXPECT_EQ(archive.Files(0).Name, "A.txt");
    EXPECT_EQ(archive.Files(1).Name, "b.txt");
    EXPECT_EQ(archive.Files(2).Name, "c.txt");
    // Blocks in file order (B, C, A) go to the sorted list (A, b, c).
    EXPECT_EQ(ExtractMember(archive, "a.txt"), Text("content of B"));
    EXPECT_EQ(ExtractMember(archive, "b.txt"), Text("content of C"));
    EXPECT_EQ(ExtractMember(archive, "c.txt"), Text("content of A"));
}

TEST(ArchiveFormat, CountZeroOrNegativeMeansNoEntries)
{
    for (std::int32_t count : {0, -1, -100000}) {
        Bytes out;
        const Bytes dir = Directory({}, count);
        PutInt(out, static_cast<std::int32_t>(dir.size()));
        const Bytes packed = Deflate(dir);
        out.insert(out.end(), packed.begin(), packed.end());
        TResourceFileArchive archive = LoadBytes(out);
        EXPECT_EQ(archive.Count(), 0) << count;
        int index = 7;
        EXPECT_FALSE(archive.Find("anything", index));
        EXPECT_EQ(index, 0);
    }
}

TEST(ArchiveFormat, FindIsCaseInsensitiveAndReportsInsertionPoint)
{
    TResourceArchiveWriter writer;
    for (const char* n : {"alpha.jpg", "Beta.jpg", "gamma.3dm"})
        writer.Add(n, Text(n));
    TResourceFileArchive archive = LoadBytes(writer.SaveToBytes());
    int index = -1;
    EXPECT_TRUE(archive.Find("BETA.JPG", index));
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(archive.Find("Gamma.3DM", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(archive.Find("b", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(archive.Find("zzz", index));
    EXPECT_EQ(index, 3);
    EXPECT_FALSE(archive.Find("textures\\alpha.jpg", index));  // Find itself takes bare names

    // Names differing only in case are all kept; Find gives the first.
    TResourceFileArchive twins = LoadBytes(Assemble({Entry("x.txt", Text("lower")), Entry("X.TXT", Text("UPPER"))}));
    ASSERT_EQ(twins.Count(), 2);
    ASSERT_TRUE(twins.Find("x.Txt", index));
    EXPECT_EQ(index, 0);
    EXPECT_TRUE(twins.Files(0).Data && twins.Files(1).Data);
}

TEST(ArchiveFormat, NameOrderLowerCasesAsciiOnly)
{
    EXPECT_EQ(CompareResourceNames("Clock.BMP", "clock.bmp"), 0);
    EXPECT_LT(CompareResourceNames("a.txt", "B.txt"), 0);
    EXPECT_GT(CompareResourceNames("Z1", "a2"), 0);  // 'z' > 'a' after folding
    EXPECT_LT(CompareResourceNames("ab", "abc"), 0);
    EXPECT_LT(CompareResourceNames("a.b", "a1"), 0);  // '.' < '1'
    EXPECT_LT(CompareResourceNames("_x", "a"), 0);    // '_' < 'a' once folded
    EXPECT_LT(CompareResourceNames("_x", "A"), 0);    // even though 'A' < '_' as bytes
}

TEST(ArchiveFormat, TruncationAtEveryOffsetRaisesAndNeverCrashes)
{
    TResourceArchiveWriter writer;
    writer.Add("a.txt", Text("some text some text some text"));
    writer.Add("b.bin", Noise(300, 9));
    const Bytes full = writer.SaveToBytes();
    for (std::size_t n = 0; n < full.size(); ++n) {
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
        TResourceFileArchive archive;
        TReadOnlyMemoryStream stream(cut);
        const std::string error = ErrorOf([&] { archive.LoadFromStream(stream); });
        EXPECT_TRUE(error == "Stream read error" || error == "Error") << "cut at " << n << ": " << error;
        // Whatever loaded stays usable: members with a block extract, the rest have none.
        for (int i = 0; i < archive.Count(); ++i) {
            if (archive.Files(i).Data) {
                TMemoryStream out;
                archive.Files(i).Extract(out);
                EXPECT_EQ(out.Size(), archive.Files(i).Size);
            }
        }
    }
}

TEST(ArchiveFormat, FlippedBytesRaiseOrLoadButNeverCrash)
{
    TResourceArchiveWriter writer;
    writer.Add("a.txt", Text("some text some text some text"));
    writer.Add("b.bin", Noise(200, 5));
    writer.Add("c.dat", Text(std::string(400, 'c')));
    const Bytes full = writer.SaveToBytes();
    int raised = 0;
    for (std::size_t at = 0; at < full.size(); ++at) {
        for (std::uint8_t mask : {0x01, 0x80, 0xFF}) {
            Bytes bad = full;
            bad[at] ^= mask;
            TResourceFileArchive archive;
            TReadOnlyMemoryStream stream(bad);
            try {
                archive.LoadFromStream(stream);
                for (int i = 0; i < archive.Count(); ++i) {
                    TMemoryStream out;
                    archive.Files(i).Extract(out);
                    EXPECT_EQ(out.Size(), archive.Files(i).Size);
                }
            } catch (const EPyrelumeError&) {
                ++raised;
            }
        }
    }
    EXPECT_GT(raised, 0);
}

TEST(ArchiveFormat, DamagedDirectoryMessages)
{
    RawEntry e = Entry("a.txt", Text("aaaa"));
    const Bytes good = Assemble({e});

    Bytes garbage = good;
    garbage[4] = 0x00;  // no longer a zlib header
    EXPECT_EQ(ErrorOf([&] { LoadBytes(garbage); }), "Error");

    Bytes tooLong = good;  // claims more directory than the stream inflates to
    tooLong[0] += 1;
    EXPECT_EQ(ErrorOf([&] { LoadBytes(tooLong); }), "Stream read error");

    Bytes negative = good;
    negative[3] = 0x80;
    EXPECT_NE(ErrorOf([&] { LoadBytes(negative); }), "<no error>");

    // A directory stream longer than DirectorySize: only DirectorySize bytes
    // count, so here the last entry's Size field is cut short.
    Bytes shorter = good;
    shorter[0] -= 1;
    EXPECT_EQ(ErrorOf([&] { LoadBytes(shorter); }), "Stream read error");
}

TEST(ArchiveFormat, ImpossibleEntrySizesAreRefusedWithoutHugeAllocations)
{
    RawEntry nameTooLong = Entry("a.txt", Text("aaaa"));
    Bytes dir = Directory({nameTooLong}, 1);
    dir[4] = 0xFF;  // NameLength far beyond the directory
    dir[5] = 0xFF;
    dir[6] = 0xFF;
    dir[7] = 0x7F;
    Bytes archiveBytes;
    PutInt(archiveBytes, static_cast<std::int32_t>(dir.size()));
    const Bytes packed = Deflate(dir);
    archiveBytes.insert(archiveBytes.end(), packed.begin(), packed.end());
    EXPECT_EQ(ErrorOf([&] { LoadBytes(archiveBytes); }), "Stream read error");

    RawEntry hugeBlock = Entry("a.txt", Text("aaaa"));
    hugeBlock.compressedSize = 0x7FFFFFFF;
    EXPECT_EQ(ErrorOf([&] { LoadBytes(Assemble({hugeBlock})); }), "Stream read error");

    RawEntry negative = Entry("a.txt", Text("aaaa"));
    negative.size = -5;
    EXPECT_EQ(ErrorOf([&] { LoadBytes(Assemble({negative})); }),
              "TArchiveFile.ReadEntry error: Negative size in the entry of \"a.txt\"");

    // A claimed size no block of that length can inflate to fails at once.
    RawEntry huge = Entry("a.txt", Text("aaaa"));
    huge.size = 0x7FFFFFFF;
    TResourceFileArchive archive = LoadBytes(Assemble({huge}));
    EXPECT_EQ(ErrorOf([&] { TMemoryStream out; archive.Files(0).Extract(out); }), "Stream read error");
}

TEST(ArchiveFormat, MemberExtractErrors)
{
    RawEntry shortMember = Entry("short.txt", Text("only this"));
    shortMember.size += 1;  // inflates one byte short
    RawEntry corrupt = Entry("corrupt.txt", Text("corrupt me please"));
    corrupt.block[corrupt.block.size() - 1] ^= 0x55;  // Adler-32 trailer no longer matches
    RawEntry longer = Entry("longer.txt", Text("0123456789"));
    longer.size = 4;  // only the first Size bytes are taken
    TResourceFileArchive archive = LoadBytes(Assemble({corrupt, longer, shortMember}));

    int index = 0;
    ASSERT_TRUE(archive.Find("short.txt", index));
    TMemoryStream target;
    EXPECT_EQ(ErrorOf([&] { archive.Files(index).Extract(target); }), "Stream read error");
    ASSERT_TRUE(archive.Find("corrupt.txt", index));
    EXPECT_EQ(ErrorOf([&] { archive.Files(index).Extract(target); }), "Error");
    EXPECT_EQ(ExtractMember(archive, "longer.txt"), Text("0123"));
}

TEST(ArchiveFormat, ExtractWithoutDataDoesNothingAndLoadDataReplaces)
{
    TArchiveFile file;
    file.Size = 10;
    TMemoryStream target;
    target.WriteBuffer("abc", 3);
    file.Extract(target);
    EXPECT_EQ(target.Size(), 3);
    EXPECT_EQ(target.Position(), 3);

    const Bytes block = Deflate(Text("payload"));
    Bytes source = block;
    source.insert(source.end(), block.begin(), block.end());
    TReadOnlyMemoryStream stream(source);
    file.CompressedSize = static_cast<std::int32_t>(block.size());
    file.Size = 7;
    file.LoadData(stream);
    file.LoadData(stream);
    EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(source.size()));
    EXPECT_EQ(ErrorOf([&] { file.LoadData(stream); }), "Stream read error");
    EXPECT_FALSE(file.Data);

    // A compressed size of 0 loads an empty block, not the rest of the stream.
    TReadOnlyMemoryStream again(source);
    file.CompressedSize = 0;
    file.Size = 0;
    file.LoadData(again);
    ASSERT_TRUE(file.Data);
    EXPECT_EQ(file.Data->Size(), 0);
    EXPECT_EQ(again.Position(), 0);
}
