#include "assets/ArchiveWriter.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <limits>

#include "assets/ResourceFile.h"
#include "gl/Errors.h"

namespace {

constexpr std::size_t kMaxSize = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

[[noreturn]] void Refuse(const std::string& op, const std::string& reason)
{
    RaiseError("TResourceArchiveWriter", op, reason);
}

std::int32_t CheckedSize(std::size_t n, const std::string& what)
{
    if (n > kMaxSize)
        Refuse("SaveToStream", what + " is 2 GB or larger");
    return static_cast<std::int32_t>(n);
}

}  // namespace

std::vector<std::uint8_t> DeflateBest(std::span<const std::uint8_t> bytes)
{
    z_stream z{};
    if (deflateInit(&z, Z_BEST_COMPRESSION) != Z_OK)
        Refuse("Deflate", "zlib initialisation failed");
    std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(bytes.size())));
    z.next_in = const_cast<Bytef*>(bytes.data());
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int r = deflate(&z, Z_FINISH);
    const std::size_t produced = out.size() - z.avail_out;
    deflateEnd(&z);
    if (r != Z_STREAM_END)
        Refuse("Deflate", "zlib compression failed");
    out.resize(produced);
    return out;
}

void TResourceArchiveWriter::Add(const std::string& name, std::vector<std::uint8_t> bytes)
{
    if (name.empty())
        Refuse("Add", "Empty member name");
    for (const char c : name) {
        if (c == '\\' || c == '/' || c == ':')
            Refuse("Add", "Member name \"" + name + "\" carries a path; only bare file names are stored");
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            Refuse("Add", "Member name \"" + name + "\" contains a control character");
    }
    if (name.size() > kMaxSize)
        Refuse("Add", "Member name too long");
    if (bytes.size() > kMaxSize)
        Refuse("Add", "Member \"" + name + "\" is 2 GB or larger");
    const auto at = std::lower_bound(members_.begin(), members_.end(), name, [](const Member& m, const std::string& n) {
        return CompareResourceNames(m.name, n) < 0;
    });
    if (at != members_.end() && CompareResourceNames(at->name, name) == 0)
        Refuse("Add", "Duplicate member name \"" + name + "\" (same as \"" + at->name + "\" ignoring case)");
    members_.insert(at, Member{name, std::move(bytes)});
}

void TResourceArchiveWriter::AddFile(const std::string& path)
{
    const std::string name = std::filesystem::path(path).filename().string();
    Add(name, ReadFileBytes(path));
}

std::vector<std::string> TResourceArchiveWriter::Names() const
{
    std::vector<std::string> names;
    names.reserve(members_.size());
    for (const auto& m : members_)
        names.push_back(m.name);
    return names;
}

void TResourceArchiveWriter::SaveToStream(TStream& stream) const
{
    std::vector<std::vector<std::uint8_t>> blocks;
    blocks.reserve(members_.size());
    TMemoryStream directory;
    directory.WriteInt32(CheckedSize(members_.size(), "The member count"));
    for (const auto& m : members_) {
        blocks.push_back(DeflateBest(m.bytes));
        directory.WriteInt32(CheckedSize(m.name.size(), "A name"));
        directory.WriteBuffer(m.name.data(), m.name.size());
        directory.WriteInt32(CheckedSize(blocks.back().size(), "The compressed block of \"" + m.name + "\""));
        directory.WriteInt32(CheckedSize(m.bytes.size(), "Member \"" + m.name + "\""));
    }
    const std::vector<std::uint8_t> packed = DeflateBest(directory.Bytes());
    stream.WriteInt32(CheckedSize(directory.Bytes().size(), "The directory"));
    stream.WriteBuffer(packed.data(), packed.size());
    for (const auto& b : blocks)
        stream.WriteBuffer(b.data(), b.size());
}

std::vector<std::uint8_t> TResourceArchiveWriter::SaveToBytes() const
{
    TMemoryStream out;
    SaveToStream(out);
    return std::move(out.Bytes());
}
