#include "assets/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "assets/LittleEndian.h"
#include "gl/Errors.h"

void TStream::ReadBuffer(void* buffer, std::size_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        RaiseMessage("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::size_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        RaiseMessage("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min<std::int64_t>(count, 65536)));
    std::int64_t left = count;
    while (left > 0) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(chunk.size())));
        source.ReadBuffer(chunk.data(), n);
        WriteBuffer(chunk.data(), n);
        left -= static_cast<std::int64_t>(n);
    }
    return count;
}

std::int32_t TStream::ReadInt32()
{
    std::uint8_t b[4];
    ReadBuffer(b, 4);
    return static_cast<std::int32_t>(LoadLE32(b));
}

void TStream::WriteInt32(std::int32_t v)
{
    std::uint8_t b[4];
    StoreLE32(b, static_cast<std::uint32_t>(v));
    WriteBuffer(b, 4);
}

std::vector<std::uint8_t> TStream::ReadAll()
{
    const std::int64_t left = std::max<std::int64_t>(0, Size() - Position());
    std::vector<std::uint8_t> out(static_cast<std::size_t>(left));
    ReadBuffer(out.data(), out.size());
    return out;
}

// ---- TMemoryStream

// Copies up to count bytes of data from pos into buffer and advances pos.
static std::size_t ReadFromBytes(std::span<const std::uint8_t> data, std::size_t& pos, void* buffer, std::size_t count)
{
    if (pos >= data.size())
        return 0;
    const std::size_t n = std::min(count, data.size() - pos);
    std::memcpy(buffer, data.data() + pos, n);
    pos += n;
    return n;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count)
{
    return ReadFromBytes(data_, pos_, buffer, count);
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count)
{
    if (count == 0)
        return 0;
    if (pos_ + count > data_.size())
        data_.resize(pos_ + count);
    std::memcpy(data_.data() + pos_, buffer, count);
    pos_ += count;
    return count;
}

static std::int64_t SeekTarget(std::int64_t offset, TSeekOrigin origin, std::int64_t pos, std::int64_t size)
{
    std::int64_t base = 0;
    switch (origin) {
    case TSeekOrigin::soBeginning: base = 0; break;
    case TSeekOrigin::soCurrent: base = pos; break;
    case TSeekOrigin::soEnd: base = size; break;
    }
    return std::max<std::int64_t>(0, base + offset);
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    pos_ = static_cast<std::size_t>(SeekTarget(offset, origin, static_cast<std::int64_t>(pos_), Size()));
    return static_cast<std::int64_t>(pos_);
}

void TMemoryStream::SetSize(std::int64_t size)
{
    data_.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, size)));
    pos_ = std::min(pos_, data_.size());
}

// ---- TReadOnlyMemoryStream

std::size_t TReadOnlyMemoryStream::Read(void* buffer, std::size_t count)
{
    return ReadFromBytes(data_, pos_, buffer, count);
}

std::int64_t TReadOnlyMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    pos_ = static_cast<std::size_t>(SeekTarget(offset, origin, static_cast<std::int64_t>(pos_), Size()));
    return static_cast<std::int64_t>(pos_);
}

// ---- TFileStream

TFileStream::TFileStream(const std::string& fileName, Mode mode) : name_(fileName)
{
    const char* how = mode == Mode::OpenRead ? "rb" : mode == Mode::Create ? "w+b" : "r+b";
    file_ = std::fopen(fileName.c_str(), how);
    if (!file_)
        RaiseMessage("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
}

TFileStream::~TFileStream()
{
    if (file_)
        std::fclose(file_);
}

std::size_t TFileStream::Read(void* buffer, std::size_t count)
{
    return std::fread(buffer, 1, count, file_);
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count)
{
    return std::fwrite(buffer, 1, count, file_);
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    const std::int64_t target = SeekTarget(offset, origin, static_cast<std::int64_t>(std::ftell(file_)), Size());
    std::fseek(file_, static_cast<long>(target), SEEK_SET);
    return static_cast<std::int64_t>(std::ftell(file_));
}

std::int64_t TFileStream::Size() const
{
    const long here = std::ftell(file_);
    std::fseek(file_, 0, SEEK_END);
    const long end = std::ftell(file_);
    std::fseek(file_, here, SEEK_SET);
    return end;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& fileName)
{
    TFileStream f(fileName, TFileStream::Mode::OpenRead);
    return f.ReadAll();
}

void WriteFileBytes(const std::string& fileName, std::span<const std::uint8_t> bytes)
{
    // Written beside the target and renamed into place, so a failed write never
    // leaves a half-written file under the target's name.
    const std::string temp = fileName + ".part";
    try {
        TFileStream f(temp, TFileStream::Mode::Create);
        f.WriteBuffer(bytes.data(), bytes.size());
    } catch (...) {
        // The half-written temporary file goes, whatever failed; the error still reaches the caller.
        std::remove(temp.c_str());
        throw;
    }
#ifdef _WIN32
    std::remove(fileName.c_str());  // rename does not replace an existing file there
#endif
    if (std::rename(temp.c_str(), fileName.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(temp.c_str());
        RaiseMessage("Cannot create file \"" + fileName + "\". " + reason);
    }
}
