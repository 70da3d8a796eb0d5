// The access layer: sources, paths, names, the current stream and the
// archive's lifecycle inside a reader.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "assets/ArchiveWriter.h"
#include "assets/ResourceFile.h"
#include "gl/Errors.h"
#include "tests/archive/ArchiveTestUtil.h"

using namespace archive_test;

namespace {

Bytes StreamBytes(TStream* stream)
{
    if (!stream)
        return {};
    EXPECT_EQ(stream->Position(), 0);
    return stream->ReadAll();
}

// A table of program resources; readers are given it as their resources.
class FakeResources : public IProgramResources {
public:
    std::optional<std::span<const std::uint8_t>> Find(const std::string& name) override
    {
        ++lookups;
        for (const auto& [key, bytes] : table)
            if (CompareResourceNames(key, name) == 0)
                return std::span<const std::uint8_t>(bytes);
        return std::nullopt;
    }

    std::map<std::string, Bytes> table;
    int lookups = 0;
};

// A reader of the program resource data.rfa holding bytes.
struct ResourceArchiveReader {
    FakeResources resources;
    TResourceFileReader reader;
    explicit ResourceArchiveReader(const Bytes& bytes)
    {
        resources.table["data_rfa"] = bytes;
        reader.Resources = &resources;
        reader.Source = ReadSource::ArchiveResource;
        reader.ArchiveName = "data.rfa";
    }
};

Bytes SmallArchive()
{
    TResourceArchiveWriter writer;
    writer.Add("clock.bmp", Text("BM clock"));
    writer.Add("scene.gsc", Text("[Scene]"));
    return writer.SaveToBytes();
}

}  // namespace

TEST(ResourceNames, FileNamePartAndFirstDot)
{
    EXPECT_EQ(ResourceNameOf("data.rfa"), "data_rfa");
    EXPECT_EQ(ResourceNameOf("my.file.txt"), "my_file.txt");
    EXPECT_EQ(ResourceNameOf(".\\Scenes\\x.y.z"), "x_y.z");
    EXPECT_EQ(ResourceNameOf("C:noext"), "noext");
    EXPECT_EQ(ResourceNameOf("plain"), "plain");
    EXPECT_EQ(ResourceFileNamePart("textures\\clock.bmp"), "clock.bmp");
    EXPECT_EQ(ResourceFileNamePart("textures/clock.bmp"), "clock.bmp");
    EXPECT_EQ(ResourceFileNamePart("dir\\"), "");
}

TEST(ResourceReader, DiskFilesUseDirectoryUnlessTheNameHasAPath)
{
    ScratchDir root("archive-reader-disk");
    std::filesystem::create_directories(root.Path() / "Scenes");
    std::filesystem::create_directories(root.Path() / "x");
    WriteFileBytes(root.File("Scenes/a.txt"), Text("in scenes"));
    WriteFileBytes(root.File("x/a.txt"), Text("in x"));

    TResourceFileReader reader;
    reader.SetDirectory(root.Path().string() + "\\Scenes"); // one backslash is appended
    EXPECT_EQ(reader.Directory(), root.Path().string() + "\\Scenes\\");
    ASSERT_TRUE(reader.Open("a.txt"));
    EXPECT_EQ(StreamBytes(reader.Stream()), Text("in scenes"));

    // Backslash paths as the program writes them, e.g. ".\Scenes\a.txt".
    const std::string withPath = root.Path().string() + "\\x\\a.txt";
    ASSERT_TRUE(reader.Open(withPath));
    EXPECT_EQ(StreamBytes(reader.Stream()), Text("in x"));

    EXPECT_FALSE(reader.Open("missing.txt"));
    EXPECT_EQ(reader.Stream(), nullptr);
    reader.SetDirectory(root.Path().string());
    EXPECT_FALSE(reader.Open("Scenes"));  // a folder is not an asset
    EXPECT_EQ(reader.Stream(), nullptr);
}

TEST(ResourceReader, RelativeDirectoryLikeTheProgramSetsIt)
{
    ScratchDir root("archive-reader-relative");
    std::filesystem::create_directories(root.Path() / "Scenes");
    WriteFileBytes(root.File("Scenes/a.txt"), Text("relative"));
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(root.Path());
    TResourceFileReader reader;
    reader.SetDirectory(".\\Scenes\\");
    EXPECT_EQ(reader.Directory(), ".\\Scenes\\"); // no second backslash
    const bool opened = reader.Open("a.txt");
    const Bytes bytes = StreamBytes(reader.Stream());
    reader.Close();
    std::filesystem::current_path(cwd);
    EXPECT_TRUE(opened);
    EXPECT_EQ(bytes, Text("relative"));
}

TEST(ResourceReader, SuccessiveOpensFreeTheFirstStream)
{
    FakeResources resources;
    resources.table["one_txt"] = Text("1");
    resources.table["two_txt"] = Text("22");
    TResourceFileReader reader;
    reader.Resources = &resources;
    reader.Source = ReadSource::ResourceFiles;
    ASSERT_TRUE(reader.Open("one.txt"));
    ASSERT_TRUE(reader.Open("two.txt"));
    EXPECT_EQ(StreamBytes(reader.Stream()), Text("22"));
    EXPECT_FALSE(reader.Open("three.txt"));
    EXPECT_EQ(reader.Stream(), nullptr);
    ASSERT_TRUE(reader.Open("one.txt"));
    reader.Close();
    EXPECT_EQ(reader.Stream(), nullptr);
}

TEST(ResourceReader, ResourceFilesDeriveTheResourceName)
{
    FakeResources resources;
    resources.table["MY_FILE.TXT"] = Text("dots");
    TResourceFileReader reader;
    reader.Resources = &resources;
    reader.Source = ReadSource::ResourceFiles;
    ASSERT_TRUE(reader.Open("Textures\\my.file.txt"));
    EXPECT_EQ(StreamBytes(reader.Stream()), Text("dots"));
    EXPECT_FALSE(reader.Open("my_file_txt"));
    EXPECT_FALSE(reader.Open("my.file.txt.bak"));
}

TEST(ResourceReader, ArchiveResourceLookupIgnoresPathsAndCase)
{
    ResourceArchiveReader r(SmallArchive());
    TResourceFileReader& reader = r.reader;
    reader.SetDirectory(".\\Scenes\\");
    ASSERT_TRUE(reader.Open("Clock.BMP"));
    EXPECT_EQ(StreamBytes(reader.Stream()), Text("BM clock"));
    ASSERT_TRUE(reader.Open("textures\\clock.bmp"));
    EXPECT_EQ(StreamBytes(reader.Stream()), Text("BM clock"));
    ASSERT_TRUE(reader.Open("SCENE.gsc"));
    EXPECT_EQ(StreamBytes(reader.Stream()), Text("[Scene]"));
    EXPECT_FALSE(reader.Open("clock.jpg"));
    EXPECT_EQ(reader.Stream(), nullptr);
    // The directory was read once.
    EXPECT_EQ(r.resources.lookups, 1);
    ASSERT_NE(reader.Archive(), nullptr);
    EXPECT_EQ(reader.Archive()->Count(), 2);
}

TEST(ResourceReader, ArchiveIsNotReloadedAfterSourceChanges)
{
    ScratchDir root("archive-reader-archive-file");
    TResourceArchiveWriter other;
    other.Add("other.txt", Text("other"));
    WriteFileBytes(root.File("data.rfa"), SmallArchive());
    WriteFileBytes(root.File("other.rfa"), other.SaveToBytes());

    TResourceFileReader reader;
    reader.Source = ReadSource::ArchiveFile;
    reader.SetDirectory("ignored-for-the-archive");
    reader.ArchiveName = root.File("data.rfa");
    ASSERT_TRUE(reader.Open("clock.bmp"));
    reader.ArchiveName = root.File("other.rfa");
    EXPECT_FALSE(reader.Open("other.txt"));
    EXPECT_TRUE(reader.Open("scene.gsc"));
}

TEST(ResourceReader, MissingArchivesRaiseOnceThenLookupsFail)
{
    FakeResources resources;
    TResourceFileReader fromResource;
    fromResource.Resources = &resources;
    fromResource.Source = ReadSource::ArchiveResource;
    fromResource.ArchiveName = "data.rfa";
    EXPECT_EQ(ErrorOf([&] { fromResource.Open("clock.bmp"); }), "Resource data_rfa not found");
    EXPECT_EQ(fromResource.Stream(), nullptr);
    // The (empty) archive stays; nothing is raised or looked up again.
    EXPECT_FALSE(fromResource.Open("clock.bmp"));
    EXPECT_EQ(resources.lookups, 1);

    TResourceFileReader fromFile;
    fromFile.Resources = &resources;
    fromFile.Source = ReadSource::ArchiveFile;
    fromFile.ArchiveName = "no-such-dir/no.rfa";
    const std::string error = ErrorOf([&] { fromFile.Open("clock.bmp"); });
    EXPECT_EQ(error.rfind("Cannot open file \"no-such-dir/no.rfa\". ", 0), 0u) << error;
    EXPECT_FALSE(fromFile.Open("clock.bmp"));
}

TEST(ResourceReader, DamagedArchiveKeepsWhatLoadedAndRefusesMembersWithoutData)
{
    Bytes full = SmallArchive();
    full.resize(full.size() - 3);  // the last block ("scene.gsc") is cut short
    ResourceArchiveReader r(full);
    TResourceFileReader& reader = r.reader;
    EXPECT_EQ(ErrorOf([&] { reader.Open("clock.bmp"); }), "Stream read error");
    ASSERT_TRUE(reader.Open("clock.bmp"));
    EXPECT_EQ(StreamBytes(reader.Stream()), Text("BM clock"));
    EXPECT_FALSE(reader.Open("scene.gsc"));
    EXPECT_EQ(reader.Stream(), nullptr);
}

TEST(ResourceReader, EmptyArchivesEmptyMembersAndShortMembers)
{
    ResourceArchiveReader none(TResourceArchiveWriter().SaveToBytes());
    EXPECT_FALSE(none.reader.Open("a.txt"));
    EXPECT_FALSE(none.reader.Open(""));
    EXPECT_EQ(none.reader.Archive()->Count(), 0);

    TResourceArchiveWriter writer;
    writer.Add("empty.txt", {});
    ResourceArchiveReader empty(writer.SaveToBytes());
    ASSERT_TRUE(empty.reader.Open("empty.txt"));
    EXPECT_EQ(empty.reader.Stream()->Size(), 0);

    RawEntry e = Entry("a.txt", Text("abc"));
    e.size = 4; // inflates one byte short: raised out of Open
    ResourceArchiveReader shortMember(Assemble({e}));
    EXPECT_EQ(ErrorOf([&] { shortMember.reader.Open("a.txt"); }), "Stream read error");
    EXPECT_EQ(shortMember.reader.Stream(), nullptr);
}

TEST(ResourceWriter, OpenCreatesAndTruncates)
{
    ScratchDir root("archive-writer-open");
    TResourceFileWriter writer;
    writer.SetDirectory(root.Path().string());
    ASSERT_TRUE(writer.Open("out.txt"));
    writer.Stream()->WriteBuffer("long content", 12);
    ASSERT_TRUE(writer.Open("out.txt"));  // closes the first, truncates
    writer.Stream()->WriteBuffer("new", 3);
    writer.Close();
    EXPECT_EQ(ReadFileBytes(root.File("out.txt")), Text("new"));
    EXPECT_FALSE(writer.Open("no-such-folder\\x.txt"));
    EXPECT_EQ(writer.Stream(), nullptr);
}
