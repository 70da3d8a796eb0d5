#pragma once
// The asset access layer: named assets handed out as seekable streams, from
// loose disk files, from a compressed archive (data.rfa) on disk, from one
// program resource per asset, or from the archive stored whole as a program
// resource ("DATA_RFA").
//
// Archive layout (integers 32-bit little-endian):
//   DirectorySize, then the directory as one zlib stream inflating to exactly
//   DirectorySize bytes: Count, then per entry NameLength, Name, CompressedSize,
//   Size. The members' zlib blocks follow the directory stream directly, in
//   directory order. Entries are sorted by CompareResourceNames and unique
//   under it; the reader hands the blocks, in file order, to the entries in
//   sorted order.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "assets/Streams.h"
#include "platform/ProgramResources.h"

enum class ReadSource : std::uint8_t { DiskFiles = 0, ArchiveFile = 1, ResourceFiles = 2, ArchiveResource = 3 };

// One directory entry of an archive.
class TArchiveFile {
public:
    std::string Name;
    std::int32_t CompressedSize = 0;
    std::int32_t Size = 0;
    std::unique_ptr<TMemoryStream> Data;  // the compressed block, absent until loaded

    // Reads NameLength, Name, CompressedSize, Size. Raises "Stream read error"
    // when the stream is short and a clear error for negative sizes.
    void ReadEntry(TStream& stream);
    // Replaces Data with the next CompressedSize bytes of the stream; on a short
    // stream raises "Stream read error" and leaves Data absent.
    void LoadData(TStream& stream);
    // Inflates exactly Size bytes of Data into target (at its position), then
    // rewinds target to 0. Does nothing when Data is absent. zlib errors raise
    // "Error"; a block that inflates short raises "Stream read error".
    void Extract(TStream& target);
};

// A loaded archive: entries in a sorted, case-insensitive list.
class TResourceFileArchive {
public:
    // Opens the file read-only (shared) and loads it; the file is closed in every case.
    void LoadFromFile(const std::string& fileName);
    // Reads an archive starting at the stream's position. Entries already read
    // stay in the list when a later step fails.
    void LoadFromStream(TStream& stream);
    // Binary search by CompareResourceNames. On success index is the entry's
    // position; otherwise it is where the name would be inserted.
    bool Find(const std::string& name, int& index) const;
    int Count() const { return static_cast<int>(files_.size()); }
    TArchiveFile& Files(int index) { return *files_.at(static_cast<std::size_t>(index)); }
    const TArchiveFile& Files(int index) const { return *files_.at(static_cast<std::size_t>(index)); }
    void Clear() { files_.clear(); }

private:
    void Insert(std::unique_ptr<TArchiveFile> file);
    std::vector<std::unique_ptr<TArchiveFile>> files_;  // kept in case-insensitive name order
};

// Base of the access layer: creates files for writing.
class TResourceFileWriter {
public:
    virtual ~TResourceFileWriter();
    TResourceFileWriter() = default;
    TResourceFileWriter(const TResourceFileWriter&) = delete;
    TResourceFileWriter& operator=(const TResourceFileWriter&) = delete;

    // Creates (truncates) Directory + name, or name itself when it carries a
    // path, as the current stream. Failures return false with no stream.
    virtual bool Open(const std::string& name);
    void Close();
    TStream* Stream() const { return stream_.get(); }

    const std::string& Directory() const { return directory_; }
    // A non-empty directory always ends in a backslash; it is appended if missing.
    void SetDirectory(const std::string& dir);

protected:
    // Directory + name, or name when it has a directory part of its own.
    std::string DiskPath(const std::string& name) const;

    std::unique_ptr<TStream> stream_;
    std::string directory_;
};

class TResourceFileReader : public TResourceFileWriter {
public:
    ~TResourceFileReader() override;
    // Opens the named asset from Source as the current stream, positioned at 0.
    // Missing assets return false; a missing or damaged archive raises out of
    // the first archive Open (the archive is not loaded again afterwards).
    bool Open(const std::string& name) override;

    ReadSource Source = ReadSource::DiskFiles;
    // What Open found and did not find since the last ClearRecord: the number
    // of assets opened, and each name that was missing once, in order (the
    // tools report them; the program treats a missing asset as empty).
    int OpenedCount = 0;
    std::vector<std::string> MissingNames;
    void ClearRecord()
    {
        OpenedCount = 0;
        MissingNames.clear();
    }
    std::string ArchiveName;
    // Where the resource sources read from (the program's services); not owned.
    IProgramResources* Resources = nullptr;
    TResourceFileArchive* Archive() const { return archive_.get(); }

private:
    bool OpenAsset(const std::string& name);
    void LoadArchive();
    std::unique_ptr<TResourceFileArchive> archive_;
};

// The process-wide reader every asset loader uses.
TResourceFileReader& ResourceReader();

// Order of archive entries: names compared byte by byte after lower-casing
// ASCII letters. Returns <0, 0 or >0.
int CompareResourceNames(std::string_view a, std::string_view b);

// The file-name part of a path: the text after the last '\', '/' or ':'.
std::string ResourceFileNamePart(std::string_view path);

// "data.rfa" -> "data_rfa": the file-name part with its first dot replaced by "_".
std::string ResourceNameOf(const std::string& fileName);

// A path from the access layer ('\' separators) in the form the host's file
// functions take: on POSIX systems backslashes become slashes.
std::string NativeFilePath(std::string_view path);

// The resources a native build carries inside the program (cmake/EmbedArchive.cmake
// assembles each file in and adds it to this list before main runs); a native
// program's main hands this object to the reader as its program resources.
class TEmbeddedResources : public IProgramResources {
public:
    std::optional<std::span<const std::uint8_t>> Find(const std::string& name) override;

    // One embedded file; the generated code defines one per file with static storage.
    struct TEntry {
        TEntry(const char* name, std::span<const std::uint8_t> bytes);
        const char* Name;
        std::span<const std::uint8_t> Bytes;
        const TEntry* Next;
    };
};
