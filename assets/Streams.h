#pragma once
// Seekable byte streams used by every loader: memory, read-only views over
// program data, and disk files. Short reads and writes through ReadBuffer and
// WriteBuffer raise "Stream read error" / "Stream write error".
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    // Reads up to count bytes; returns how many were read (0 at the end).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes count bytes; returns how many were written.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Moves the position; returns the new position. Positions are clamped at 0.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
    virtual std::int64_t Size() const = 0;

    std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(std::int64_t pos) { Seek(pos, TSeekOrigin::soBeginning); }

    // Reads exactly count bytes or raises "Stream read error".
    void ReadBuffer(void* buffer, std::size_t count);
    // Writes exactly count bytes or raises "Stream write error".
    void WriteBuffer(const void* buffer, std::size_t count);
    // Copies count bytes from source (all of it from position 0 when count is 0).
    std::int64_t CopyFrom(TStream& source, std::int64_t count);

    // Little-endian helpers over ReadBuffer/WriteBuffer.
    std::int32_t ReadInt32();
    void WriteInt32(std::int32_t v);
    // The rest of the stream from the current position.
    std::vector<std::uint8_t> ReadAll();
};

// A growable stream in memory that owns its bytes.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : data_(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() const override { return static_cast<std::int64_t>(data_.size()); }

    void SetSize(std::int64_t size);
    void Clear() { data_.clear(); pos_ = 0; }
    const std::vector<std::uint8_t>& Bytes() const { return data_; }
    std::vector<std::uint8_t>& Bytes() { return data_; }
    const std::uint8_t* Memory() const { return data_.data(); }

private:
    std::vector<std::uint8_t> data_;
    std::size_t pos_ = 0;
};

// A read-only stream over bytes owned by someone else (program resources).
class TReadOnlyMemoryStream : public TStream {
public:
    explicit TReadOnlyMemoryStream(std::span<const std::uint8_t> bytes) : data_(bytes) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void*, std::size_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() const override { return static_cast<std::int64_t>(data_.size()); }

private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

// A disk file. Opening fails with "Cannot open file "<name>". <reason>".
class TFileStream : public TStream {
public:
    enum class Mode {
        OpenRead,        // existing file, read only, others may read and write
        Create,          // create or truncate, read/write, exclusive access
        OpenReadWrite    // existing file, read/write
    };
    TFileStream(const std::string& fileName, Mode mode);
    ~TFileStream() override;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() const override;

    const std::string& FileName() const { return name_; }

private:
    std::FILE* file_ = nullptr;
    std::string name_;
};

// Whole-file helpers used by tools and tests; both raise on failure.
std::vector<std::uint8_t> ReadFileBytes(const std::string& fileName);
void WriteFileBytes(const std::string& fileName, std::span<const std::uint8_t> bytes);
