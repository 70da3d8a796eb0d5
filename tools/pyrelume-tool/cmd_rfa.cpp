// rfa pack|list|extract: build, inspect and unpack resource archives.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "assets/ArchiveWriter.h"
#include "assets/ResourceFile.h"
#include "gl/Errors.h"
#include "tools/pyrelume-tool/Command.h"

namespace fs = std::filesystem;

namespace {

// A file written beside its final name and moved into place only when complete;
// destroyed before Commit it removes what it wrote.
class TPendingFile {
public:
    explicit TPendingFile(const fs::path& target) : target_(target)
    {
        std::random_device rd;
        temp_ = target;
        temp_ += ".tmp" + std::to_string(rd() % 1000000);
    }
    ~TPendingFile()
    {
        if (!committed_) {
            std::error_code ec;
            fs::remove(temp_, ec);
        }
    }
    TPendingFile(const TPendingFile&) = delete;
    TPendingFile& operator=(const TPendingFile&) = delete;

    std::string TempName() const { return temp_.string(); }

    void Commit()
    {
        std::error_code ec;
        fs::rename(temp_, target_, ec);
        if (ec && fs::exists(target_)) {
            // Some platforms refuse to rename over an existing file.
            std::error_code ignored;
            fs::remove(target_, ignored);
            ec.clear();
            fs::rename(temp_, target_, ec);
        }
        if (ec)
            RaiseMessage("Cannot write \"" + target_.string() + "\": " + ec.message());
        committed_ = true;
    }

private:
    fs::path target_;
    fs::path temp_;
    bool committed_ = false;
};

void WriteAtomically(const std::string& fileName, const std::vector<std::uint8_t>& bytes)
{
    TPendingFile pending(fileName);
    {
        TFileStream out(pending.TempName(), TFileStream::Mode::Create);
        out.WriteBuffer(bytes.data(), bytes.size());
    }
    pending.Commit();
}

int Pack(const std::vector<std::string>& args)
{
    if (args.size() != 3)
        throw ToolUsageError{"pack takes DIR and OUT.rfa"};
    const fs::path dir = args[1];
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        RaiseMessage("\"" + args[1] + "\" is not a directory");
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    TResourceArchiveWriter writer;
    for (const auto& f : files) {
        // The archive being written may sit inside DIR from an earlier run.
        if (fs::exists(args[2]) && fs::equivalent(f, args[2], ec))
            continue;
        writer.AddFile(f.string());
    }
    WriteAtomically(args[2], writer.SaveToBytes());
    return 0;
}

// Loads the archive; damage is reported together with the file's name.
void LoadArchive(TResourceFileArchive& archive, const std::string& fileName)
{
    TFileStream file(fileName, TFileStream::Mode::OpenRead);
    try {
        archive.LoadFromStream(file);
    } catch (const std::exception& e) {
        RaiseMessage("\"" + fileName + "\" is not a readable archive: " + e.what());
    }
}

int List(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        throw ToolUsageError{"list takes ARCHIVE"};
    TResourceFileArchive archive;
    LoadArchive(archive, args[1]);
    for (int i = 0; i < archive.Count(); ++i) {
        const TArchiveFile& f = archive.Files(i);
        std::printf("%s\t%d\t%d\n", f.Name.c_str(), static_cast<int>(f.CompressedSize), static_cast<int>(f.Size));
    }
    return 0;
}

int Extract(const std::vector<std::string>& args)
{
    if (args.size() != 3 && args.size() != 4)
        throw ToolUsageError{"extract takes ARCHIVE NAME [OUT]"};
    TResourceFileArchive archive;
    LoadArchive(archive, args[1]);
    int index = 0;
    if (!archive.Find(args[2], index))
        RaiseMessage("No member \"" + args[2] + "\" in \"" + args[1] + "\"");
    TMemoryStream data;
    archive.Files(index).Extract(data);
    if (args.size() == 4) {
        WriteAtomically(args[3], data.Bytes());
        return 0;
    }
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const auto& bytes = data.Bytes();
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
        RaiseMessage("Cannot write to standard output");
    return 0;
}

int RunRfa(const std::vector<std::string>& args)
{
    if (args.empty())
        throw ToolUsageError{"missing subcommand"};
    if (args[0] == "pack")
        return Pack(args);
    if (args[0] == "list")
        return List(args);
    if (args[0] == "extract")
        return Extract(args);
    throw ToolUsageError{"unknown subcommand \"" + args[0] + "\""};
}

ToolCommand reg("rfa",
                "rfa pack DIR OUT.rfa | rfa list ARCHIVE | rfa extract ARCHIVE NAME [OUT]\n"
                "      pack: every regular file directly in DIR, stored under its bare name\n"
                "      list: one line per member: NAME<TAB>COMPRESSED-SIZE<TAB>SIZE\n"
                "      extract: member NAME (case-insensitive) to OUT, or to standard output",
                &RunRfa);

}  // namespace
