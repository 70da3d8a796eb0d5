#include "assets/ResourceFile.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <limits>

#include "gl/Errors.h"

namespace {

// deflate never expands better than about 1032:1, so a block of n bytes cannot
// inflate to more than this; larger claimed sizes are short by construction.
constexpr std::int64_t kMaxInflateRatio = 1032;
constexpr std::int64_t kInflateSlack = 1024;

std::int64_t Remaining(TStream& stream)
{
    return std::max<std::int64_t>(0, stream.Size() - stream.Position());
}

[[noreturn]] void RaiseZlibError()
{
    RaiseMessage("Error");
}

[[noreturn]] void RaiseShortRead()
{
    RaiseMessage("Stream read error");
}

// Owns a z_stream set up for inflating.
class TInflater {
public:
    TInflater()
    {
        if (inflateInit(&z_) != Z_OK)
            RaiseZlibError();
    }
    ~TInflater() { inflateEnd(&z_); }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;
    z_stream& Z() { return z_; }

private:
    z_stream z_{};
};

// Inflates the zlib stream that starts at the source's position and returns its
// first `size` bytes. Afterwards the source stands on the first byte after the
// stream's trailer: input read ahead but not consumed is given back.
std::vector<std::uint8_t> InflateDirectory(TStream& source, std::int32_t size)
{
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(std::min<std::int64_t>(size, 1 << 20)));
    TInflater inflater;
    z_stream& z = inflater.Z();
    std::vector<std::uint8_t> in(16384);
    std::vector<std::uint8_t> chunk(16384);
    bool ended = false;
    while (!ended) {
        if (z.avail_in == 0) {
            const std::size_t n = source.Read(in.data(), in.size());
            if (n == 0)
                break;
            z.next_in = in.data();
            z.avail_in = static_cast<uInt>(n);
        }
        z.next_out = chunk.data();
        z.avail_out = static_cast<uInt>(chunk.size());
        const int r = inflate(&z, Z_NO_FLUSH);
        if (r != Z_OK && r != Z_STREAM_END && r != Z_BUF_ERROR)
            RaiseZlibError();
        const std::size_t produced = chunk.size() - z.avail_out;
        const std::size_t take = std::min(produced, static_cast<std::size_t>(size) - out.size());
        out.insert(out.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(take));
        ended = r == Z_STREAM_END;
    }
    if (!ended || out.size() != static_cast<std::size_t>(size))
        RaiseShortRead();
    source.Seek(-static_cast<std::int64_t>(z.avail_in), TSeekOrigin::soCurrent);
    return out;
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/' || c == ':';
}

}  // namespace

// ---- names

int CompareResourceNames(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(a[i]);
        auto cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'A' && ca <= 'Z')
            ca = static_cast<unsigned char>(ca + ('a' - 'A'));
        if (cb >= 'A' && cb <= 'Z')
            cb = static_cast<unsigned char>(cb + ('a' - 'A'));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string ResourceFileNamePart(std::string_view path)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); ++i)
        if (IsSeparator(path[i]))
            start = i + 1;
    return std::string(path.substr(start));
}

std::string ResourceNameOf(const std::string& fileName)
{
    std::string name = ResourceFileNamePart(fileName);
    const auto dot = name.find('.');
    if (dot != std::string::npos)
        name[dot] = '_';
    return name;
}

std::string NativeFilePath(std::string_view path)
{
    std::string out(path);
#ifndef _WIN32
    std::replace(out.begin(), out.end(), '\\', '/');
#endif
    return out;
}

// ---- program resources

namespace {

const TEmbeddedResources::TEntry*& EmbeddedHead()
{
    static const TEmbeddedResources::TEntry* head = nullptr;
    return head;
}

}  // namespace

TEmbeddedResources::TEntry::TEntry(const char* name, std::span<const std::uint8_t> bytes)
    : Name(name), Bytes(bytes), Next(EmbeddedHead())
{
    EmbeddedHead() = this;
}

std::optional<std::span<const std::uint8_t>> TEmbeddedResources::Find(const std::string& name)
{
    for (const TEntry* e = EmbeddedHead(); e; e = e->Next)
        if (CompareResourceNames(name, e->Name) == 0)
            return e->Bytes;
    return std::nullopt;
}

// ---- TArchiveFile

void TArchiveFile::ReadEntry(TStream& stream)
{
    const std::int32_t nameLength = stream.ReadInt32();
    if (nameLength < 0 || nameLength > Remaining(stream))
        RaiseShortRead();
    Name.assign(static_cast<std::size_t>(nameLength), '\0');
    stream.ReadBuffer(Name.data(), Name.size());
    CompressedSize = stream.ReadInt32();
    Size = stream.ReadInt32();
    if (CompressedSize < 0 || Size < 0)
        RaiseError("TArchiveFile", "ReadEntry", "Negative size in the entry of \"" + Name + "\"");
}

void TArchiveFile::LoadData(TStream& stream)
{
    Data.reset();
    if (CompressedSize > Remaining(stream))
        RaiseShortRead();
    auto data = std::make_unique<TMemoryStream>();
    data->SetSize(CompressedSize);
    stream.ReadBuffer(data->Bytes().data(), static_cast<std::size_t>(CompressedSize));
    Data = std::move(data);
}

void TArchiveFile::Extract(TStream& target)
{
    if (!Data)
        return;
    Data->SetPosition(0);
    if (Size > 0) {
        if (Size > Data->Size() * kMaxInflateRatio + kInflateSlack)
            RaiseShortRead();
        // Inflate straight into the target's buffer when it is in memory.
        std::vector<std::uint8_t> scratch;
        std::uint8_t* out = nullptr;
        auto* memory = dynamic_cast<TMemoryStream*>(&target);
        std::int64_t start = 0;
        if (memory) {
            start = memory->Position();
            if (memory->Size() < start + Size)
                memory->SetSize(start + Size);
            out = memory->Bytes().data() + start;
        } else {
            scratch.resize(static_cast<std::size_t>(Size));
            out = scratch.data();
        }
        TInflater inflater;
        z_stream& z = inflater.Z();
        z.next_in = Data->Bytes().data();
        z.avail_in = static_cast<uInt>(Data->Size());
        z.next_out = out;
        z.avail_out = static_cast<uInt>(Size);
        int r = Z_OK;
        while (z.avail_out > 0 && r == Z_OK)
            r = inflate(&z, Z_NO_FLUSH);
        const bool failed = r != Z_OK && r != Z_STREAM_END && r != Z_BUF_ERROR;
        if (failed || z.avail_out > 0) {
            if (memory)
                memory->SetSize(start);
            if (failed)
                RaiseZlibError();
            RaiseShortRead();
        }
        if (memory)
            memory->SetPosition(start + Size);
        else
            target.WriteBuffer(scratch.data(), scratch.size());
    }
    target.SetPosition(0);
}

// ---- TResourceFileArchive

void TResourceFileArchive::LoadFromFile(const std::string& fileName)
{
    TFileStream file(NativeFilePath(fileName), TFileStream::Mode::OpenRead);
    LoadFromStream(file);
}

void TResourceFileArchive::LoadFromStream(TStream& stream)
{
    const std::int32_t directorySize = stream.ReadInt32();
    if (directorySize < 0)
        RaiseError("TResourceFileArchive", "LoadFromStream", "Negative directory size");
    TMemoryStream directory(InflateDirectory(stream, directorySize));
    Clear();
    const std::int32_t count = directory.ReadInt32();
    for (std::int32_t i = 0; i < count; ++i) {
        auto file = std::make_unique<TArchiveFile>();
        file->ReadEntry(directory);
        Insert(std::move(file));
    }
    for (auto& file : files_)
        file->LoadData(stream);
}

void TResourceFileArchive::Insert(std::unique_ptr<TArchiveFile> file)
{
    // After any equal names, so a directory with names equal under the order
    // still keeps every entry and the blocks stay in step with the list.
    const auto at = std::upper_bound(files_.begin(), files_.end(), file->Name,
                                     [](const std::string& name, const std::unique_ptr<TArchiveFile>& f) {
                                         return CompareResourceNames(name, f->Name) < 0;
                                     });
    files_.insert(at, std::move(file));
}

bool TResourceFileArchive::Find(const std::string& name, int& index) const
{
    const auto at = std::lower_bound(files_.begin(), files_.end(), name,
                                     [](const std::unique_ptr<TArchiveFile>& f, const std::string& n) {
                                         return CompareResourceNames(f->Name, n) < 0;
                                     });
    index = static_cast<int>(at - files_.begin());
    return at != files_.end() && CompareResourceNames((*at)->Name, name) == 0;
}

// ---- TResourceFileWriter

TResourceFileWriter::~TResourceFileWriter()
{
    Close();
}

void TResourceFileWriter::Close()
{
    stream_.reset();
}

void TResourceFileWriter::SetDirectory(const std::string& dir)
{
    directory_ = dir;
    if (!directory_.empty() && directory_.back() != '\\')
        directory_ += '\\';
}

std::string TResourceFileWriter::DiskPath(const std::string& name) const
{
    const bool hasPath = std::any_of(name.begin(), name.end(), IsSeparator);
    return NativeFilePath(hasPath ? name : directory_ + name);
}

bool TResourceFileWriter::Open(const std::string& name)
{
    Close();
    try {
        stream_ = std::make_unique<TFileStream>(DiskPath(name), TFileStream::Mode::Create);
        return true;
    } catch (const std::exception&) {
        stream_.reset();
        return false;
    }
}

// ---- TResourceFileReader

TResourceFileReader::~TResourceFileReader()
{
    archive_.reset();
}

void TResourceFileReader::LoadArchive()
{
    archive_ = std::make_unique<TResourceFileArchive>();
    if (Source == ReadSource::ArchiveFile) {
        archive_->LoadFromFile(ArchiveName);
        return;
    }
    const std::string resource = ResourceNameOf(ArchiveName);
    const auto bytes = Resources ? Resources->Find(resource) : std::nullopt;
    if (!bytes)
        RaiseMessage("Resource " + resource + " not found");
    TReadOnlyMemoryStream stream(*bytes);
    archive_->LoadFromStream(stream);
}

bool TResourceFileReader::Open(const std::string& name)
{
    const bool found = OpenAsset(name);
    if (found)
        ++OpenedCount;
    else if (std::find(MissingNames.begin(), MissingNames.end(), name) == MissingNames.end())
        MissingNames.push_back(name);
    return found;
}

bool TResourceFileReader::OpenAsset(const std::string& name)
{
    Close();
    switch (Source) {
    case ReadSource::DiskFiles:
        try {
            const std::string path = DiskPath(name);
            std::error_code ec;
            if (std::filesystem::is_directory(path, ec))
                return false;
            stream_ = std::make_unique<TFileStream>(path, TFileStream::Mode::OpenRead);
            return true;
        } catch (const std::exception&) {
            stream_.reset();
            return false;
        }
    case ReadSource::ResourceFiles: {
        const auto bytes = Resources ? Resources->Find(ResourceNameOf(name)) : std::nullopt;
        if (!bytes)
            return false;
        stream_ = std::make_unique<TReadOnlyMemoryStream>(*bytes);
        return true;
    }
    case ReadSource::ArchiveFile:
    case ReadSource::ArchiveResource: {
        if (!archive_)
            LoadArchive();
        int index = 0;
        if (!archive_->Find(ResourceFileNamePart(name), index))
            return false;
        TArchiveFile& file = archive_->Files(index);
        // A member whose block never loaded (damaged archive) is not handed out
        // as an empty asset: it is reported as missing.
        if (!file.Data)
            return false;
        auto stream = std::make_unique<TMemoryStream>();
        file.Extract(*stream);
        stream_ = std::move(stream);
        return true;
    }
    }
    return false;
}

TResourceFileReader& ResourceReader()
{
    static TResourceFileReader reader;
    return reader;
}
