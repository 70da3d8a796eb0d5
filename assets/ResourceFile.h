#pragma once
// The asset access layer: named assets handed out as seekable streams, from
// loose disk files, from a compressed archive (data.rfa) on disk, from one
// program resource per asset, or from the archive stored whole as a program
// resource ("DATA_RFA").
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "assets/Streams.h"

enum class ReadSource : std::uint8_t { DiskFiles = 0, ArchiveFile = 1, ResourceFiles = 2, ArchiveResource = 3 };

// One directory entry of an archive.
class TArchiveFile {
public:
    std::string Name;
    std::int32_t CompressedSize = 0;
    std::int32_t Size = 0;
    std::unique_ptr<TMemoryStream> Data;  // the compressed block, absent until loaded

    void ReadEntry(TStream& stream);
    void LoadData(TStream& stream);
    void Extract(TStream& target);
};

// A loaded archive: entries in a sorted, case-insensitive list.
class TResourceFileArchive {
public:
    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(TStream& stream);
    bool Find(const std::string& name, int& index) const;
    int Count() const { return static_cast<int>(files_.size()); }
    TArchiveFile& Files(int index) { return *files_.at(static_cast<std::size_t>(index)); }
    const TArchiveFile& Files(int index) const { return *files_.at(static_cast<std::size_t>(index)); }
    void Clear() { files_.clear(); }

private:
    std::vector<std::unique_ptr<TArchiveFile>> files_;  // kept in case-insensitive name order
};

// Base of the access layer: creates files for writing.
class TResourceFileWriter {
public:
    virtual ~TResourceFileWriter();
    TResourceFileWriter() = default;
    TResourceFileWriter(const TResourceFileWriter&) = delete;
    TResourceFileWriter& operator=(const TResourceFileWriter&) = delete;

    virtual bool Open(const std::string& name);
    void Close();
    TStream* Stream() const { return stream_.get(); }

    const std::string& Directory() const { return directory_; }
    void SetDirectory(const std::string& dir);

protected:
    std::unique_ptr<TStream> stream_;
    std::string directory_;
};

class TResourceFileReader : public TResourceFileWriter {
public:
    ~TResourceFileReader() override;
    bool Open(const std::string& name) override;

    ReadSource Source = ReadSource::DiskFiles;
    std::string ArchiveName;
    TResourceFileArchive* Archive() const { return archive_.get(); }

private:
    void LoadArchive();
    std::unique_ptr<TResourceFileArchive> archive_;
};

// The process-wide reader every asset loader uses.
TResourceFileReader& ResourceReader();

// "data.rfa" -> "data_rfa": the file-name part with its first dot replaced by "_".
std::string ResourceNameOf(const std::string& fileName);

// Program resources (RCDATA): the platform installs a lookup that finds the
// bytes of a named resource in the program module (case-insensitively), or
// nothing. Natively the build embeds data.rfa and registers it as "DATA_RFA".
using ProgramResourceLookup = std::function<std::optional<std::span<const std::uint8_t>>(const std::string& name)>;
void SetProgramResourceLookup(ProgramResourceLookup lookup);
std::optional<std::span<const std::uint8_t>> FindProgramResource(const std::string& name);
