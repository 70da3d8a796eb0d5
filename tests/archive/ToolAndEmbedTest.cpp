// pyrelume-tool's rfa commands driven from outside, and an archive packed by
// the tool and carried inside this test program as a program resource.
#include <gtest/gtest.h>

#include <filesystem>

#include "assets/ResourceFile.h"
#include "tests/archive/ArchiveTestUtil.h"

using namespace archive_test;
namespace fs = std::filesystem;

namespace {

using testutil::RunTool;
using RunResult = testutil::ToolResult;

std::vector<std::string> FilesIn(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(RfaTool, PackListExtractRoundTrip)
{
    ScratchDir root("archive-tool-roundtrip");
    fs::create_directories(root.Path() / "in" / "sub");
    Bytes binary = Noise(40000, 11);
    binary[0] = 0;
    binary[1] = '\r';
    binary[2] = '\n';
    binary[3] = 0x1A;
    WriteFileBytes(root.File("in/Sound.WAV"), binary);
    WriteFileBytes(root.File("in/a.txt"), Text("hello\n"));
    WriteFileBytes(root.File("in/sub/skipped.txt"), Text("not a bare member"));

    ASSERT_EQ(RunTool("rfa pack \"" + root.File("in") + "\" \"" + root.File("out.rfa") + "\"", root).Code, 0);
    const RunResult list = RunTool("rfa list \"" + root.File("out.rfa") + "\"", root);
    ASSERT_EQ(list.Code, 0) << list.Err;
    const Bytes smallBlock = Deflate(Text("hello\n"));
    EXPECT_EQ(list.Out.substr(0, list.Out.find('\n') + 1), "a.txt\t" + std::to_string(smallBlock.size()) + "\t6\n");
    EXPECT_NE(list.Out.find("\nSound.WAV\t"), std::string::npos);
    EXPECT_NE(list.Out.find("\t40000\n"), std::string::npos);
    EXPECT_EQ(list.Out.find("skipped"), std::string::npos);

    const RunResult toStdout = RunTool("rfa extract \"" + root.File("out.rfa") + "\" sound.wav", root);
    ASSERT_EQ(toStdout.Code, 0) << toStdout.Err;
    EXPECT_EQ(Bytes(toStdout.Out.begin(), toStdout.Out.end()), binary);

    ASSERT_EQ(RunTool("rfa extract \"" + root.File("out.rfa") + "\" A.TXT \"" + root.File("a.out") + "\"", root).Code, 0);
    EXPECT_EQ(ReadFileBytes(root.File("a.out")), Text("hello\n"));
}

TEST(RfaTool, ErrorsLeaveNoOutputBehind)
{
    ScratchDir root("archive-tool-errors");
    fs::create_directories(root.Path() / "dup");
    WriteFileBytes(root.File("dup/x.txt"), Text("1"));
    WriteFileBytes(root.File("dup/X.TXT"), Text("2"));
    WriteFileBytes(root.File("keep.rfa"), Text("old"));

    RunResult r = RunTool("rfa pack \"" + root.File("dup") + "\" \"" + root.File("keep.rfa") + "\"", root);
    EXPECT_NE(r.Code, 0);
    EXPECT_NE(r.Err.find("Duplicate member name"), std::string::npos) << r.Err;
    EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
    EXPECT_EQ(ReadFileBytes(root.File("keep.rfa")), Text("old"));

    fs::remove(root.File("dup/X.TXT"));
    ASSERT_EQ(RunTool("rfa pack \"" + root.File("dup") + "\" \"" + root.File("good.rfa") + "\"", root).Code, 0);
    r = RunTool("rfa extract \"" + root.File("good.rfa") + "\" missing.txt \"" + root.File("missing.out") + "\"", root);
    EXPECT_NE(r.Code, 0);
    EXPECT_NE(r.Err.find("No member \"missing.txt\""), std::string::npos) << r.Err;

    // A damaged archive names the file and the problem.
    Bytes cut = ReadFileBytes(root.File("good.rfa"));
    cut.resize(cut.size() - 2);
    WriteFileBytes(root.File("cut.rfa"), cut);
    r = RunTool("rfa extract \"" + root.File("cut.rfa") + "\" x.txt \"" + root.File("cut.out") + "\"", root);
    EXPECT_NE(r.Code, 0);
    EXPECT_NE(r.Err.find("not a readable archive: Stream read error"), std::string::npos) << r.Err;

    EXPECT_EQ(FilesIn(root.Path()), (std::vector<std::string>{"cut.rfa", "dup", "good.rfa", "keep.rfa"}));
    EXPECT_NE(RunTool("rfa list \"" + root.File("nothing.rfa") + "\"", root).Code, 0);
    EXPECT_NE(RunTool("rfa frobnicate", root).Code, 0);
}

TEST(EmbeddedArchive, PackedByTheToolAndFoundAsProgramResource)
{
    TEmbeddedResources embedded;
    ASSERT_TRUE(embedded.Find("embedded_rfa"));
    TResourceFileReader reader;
    reader.Resources = &embedded;
    reader.Source = ReadSource::ArchiveResource;
    reader.ArchiveName = "embedded.rfa";
    ASSERT_TRUE(reader.Open("FIRST.TXT"));
    EXPECT_EQ(reader.Stream()->ReadAll(), ReadFileBytes(PYRELUME_SOURCE_DIR "/tests/archive/data/First.txt"));
    ASSERT_TRUE(reader.Open("Scenes\\scene.gsc"));
    EXPECT_EQ(reader.Stream()->ReadAll(), ReadFileBytes(PYRELUME_SOURCE_DIR "/tests/archive/data/scene.gsc"));
}
