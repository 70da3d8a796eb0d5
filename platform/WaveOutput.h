#pragma once
// The wave-output service the sound device streams its mix to. A back end keeps
// a ring of kWaveBufferCount buffers: opening fills and queues all of them in
// order (on the caller's thread), and every buffer the system has played is
// refilled and queued again at once from the back end's own thread or callback.
// The source's FillBuffer may therefore run on another thread than the caller
// of Open and Close; Close returns only when no FillBuffer runs any more.
#include <cstddef>
#include <cstdint>

inline constexpr int kWaveBufferCount = 33;

struct TWaveOutputFormat {
    int Channels = 1;
    int SamplesPerSec = 22050;
    int BitsPerSample = 16;

    int BlockAlign() const { return BitsPerSample * Channels / 8; }
    int AvgBytesPerSec() const { return BlockAlign() * SamplesPerSec; }
    // Size of one ring buffer: (average bytes per second div 11025) x 64 bytes.
    std::size_t BufferSize() const { return static_cast<std::size_t>(AvgBytesPerSec() / 11025) * 64; }
};

// Producer of the samples: writes the next length bytes of the stream to out.
class TWaveSource {
public:
    virtual void FillBuffer(std::uint8_t* out, std::size_t length) = 0;

protected:
    ~TWaveSource() = default;
};

class TWaveOutput {
public:
    virtual ~TWaveOutput() = default;
    TWaveOutput() = default;
    TWaveOutput(const TWaveOutput&) = delete;
    TWaveOutput& operator=(const TWaveOutput&) = delete;

    // Opens the output and starts streaming; raises EPyrelumeError on failure and
    // leaves nothing open behind.
    virtual void Open(const TWaveOutputFormat& format, std::size_t bufferSize, TWaveSource& source) = 0;
    // Stops refilling, discards what is queued and releases everything. Closing a
    // closed output does nothing. Raises EPyrelumeError on failure; the output is
    // released anyway.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
};
