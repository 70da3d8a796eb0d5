#include "sound/FileWaveOutput.h"

#include <algorithm>
#include <cstdio>

#include "assets/LittleEndian.h"
#include "assets/Streams.h"
#include "gl/Errors.h"

void TFileWaveOutput::Open(const TWaveOutputFormat& format, std::size_t bufferSize, TWaveSource& source)
{
    if (IsOpen())
        return;
    if (format.Channels != format_.Channels || format.SamplesPerSec != format_.SamplesPerSec ||
        format.BitsPerSample != format_.BitsPerSample)
        RaiseError("TFileWaveOutput", "Open", "format differs from the capture format");
    if (bufferSize == 0)
        RaiseError("TFileWaveOutput", "Open", "buffer size is 0");
    bufferSize_ = bufferSize;
    ring_.assign(kWaveBufferCount, std::vector<std::uint8_t>(bufferSize));
    source_ = &source;
    ++openCount_;
    // Fill and queue the whole ring in order.
    for (auto& b : ring_)
        source.FillBuffer(b.data(), b.size());
    head_ = 0;
    headOffset_ = 0;
}

void TFileWaveOutput::Close()
{
    // Queued buffers are discarded, as a reset of a sound card would.
    source_ = nullptr;
    ring_.clear();
    paused_ = false;
}

void TFileWaveOutput::QueueNext()
{
    // The played buffer is refilled at once and goes to the end of the queue.
    auto& b = ring_[static_cast<std::size_t>(head_)];
    source_->FillBuffer(b.data(), b.size());
    head_ = (head_ + 1) % kWaveBufferCount;
    headOffset_ = 0;
}

void TFileWaveOutput::Advance(std::size_t bytes)
{
    const std::size_t frame = static_cast<std::size_t>(std::max(1, format_.BlockAlign()));
    bytes -= bytes % frame;
    if (!IsOpen() || paused_) {
        captured_.insert(captured_.end(), bytes, static_cast<std::uint8_t>(format_.BitsPerSample == 8 ? 128 : 0));
        return;
    }
    while (bytes > 0) {
        const auto& b = ring_[static_cast<std::size_t>(head_)];
        const std::size_t n = std::min(bytes, b.size() - headOffset_);
        captured_.insert(captured_.end(), b.begin() + static_cast<std::ptrdiff_t>(headOffset_),
                         b.begin() + static_cast<std::ptrdiff_t>(headOffset_ + n));
        headOffset_ += n;
        bytes -= n;
        if (headOffset_ == b.size())
            QueueNext();
    }
}

std::vector<std::uint8_t> MakeWaveImage(const TWaveOutputFormat& format, const std::vector<std::uint8_t>& data)
{
    TMemoryStream s;
    auto u16 = [&](std::uint32_t v) {
        std::uint8_t b[2];
        StoreLE16(b, v);
        s.WriteBuffer(b, 2);
    };
    auto u32 = [&](std::uint32_t v) { s.WriteInt32(static_cast<std::int32_t>(v)); };
    const auto size = static_cast<std::uint32_t>(data.size());
    s.WriteBuffer("RIFF", 4);
    u32(4 + 8 + 16 + 8 + size + (size & 1u));
    s.WriteBuffer("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(static_cast<std::uint32_t>(format.Channels));
    u32(static_cast<std::uint32_t>(format.SamplesPerSec));
    u32(static_cast<std::uint32_t>(format.AvgBytesPerSec()));
    u16(static_cast<std::uint32_t>(format.BlockAlign()));
    u16(static_cast<std::uint32_t>(format.BitsPerSample));
    s.WriteBuffer("data", 4);
    u32(size);
    s.WriteBuffer(data.data(), data.size());
    if (size & 1u)
        s.WriteBuffer("\0", 1);
    return std::move(s.Bytes());
}

void TFileWaveOutput::SaveToFile(const std::string& fileName, bool wav) const
{
    const std::string temp = fileName + ".tmp";
    try {
        if (wav) {
            const auto image = MakeWaveImage(format_, captured_);
            WriteFileBytes(temp, image);
        } else {
            WriteFileBytes(temp, captured_);
        }
    } catch (...) {
        // The half-written temporary file goes, whatever failed; the error still reaches the caller.
        std::remove(temp.c_str());
        throw;
    }
    if (std::rename(temp.c_str(), fileName.c_str()) != 0) {
        std::remove(temp.c_str());
        RaiseError("TFileWaveOutput", "SaveToFile", "cannot write " + fileName);
    }
}
