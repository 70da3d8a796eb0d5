#pragma once
// A wave output that plays into memory, driven by its caller instead of a sound
// card: Advance(bytes) lets that much output time pass. Buffers of the ring that
// have been played completely are appended to the capture and refilled at once,
// exactly as a card's completion would; while the output is closed or paused the
// capture gets silence. Tools and tests use it to render the mix reproducibly and
// to write it to a WAV or raw file.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/WaveOutput.h"

class TFileWaveOutput : public TWaveOutput {
public:
    // format: the format of the capture (silence while closed); an Open with
    // another format raises.
    explicit TFileWaveOutput(const TWaveOutputFormat& format) : format_(format) {}

    void Open(const TWaveOutputFormat& format, std::size_t bufferSize, TWaveSource& source) override;
    void Close() override;
    bool IsOpen() const override { return source_ != nullptr; }
    void Pause() override { paused_ = true; }
    void Resume() override { paused_ = false; }

    // Lets bytes of output time pass (rounded down to whole sample frames).
    void Advance(std::size_t bytes);

    const TWaveOutputFormat& Format() const { return format_; }
    const std::vector<std::uint8_t>& Captured() const { return captured_; }
    int OpenCount() const { return openCount_; }
    std::size_t BufferSize() const { return bufferSize_; }

    // Writes the capture as a PCM WAV file (or raw samples) through a temporary
    // file renamed into place, so a failed write leaves no partial output.
    void SaveToFile(const std::string& fileName, bool wav) const;

private:
    void QueueNext();

    TWaveOutputFormat format_;
    TWaveSource* source_ = nullptr;
    std::vector<std::vector<std::uint8_t>> ring_;
    std::size_t bufferSize_ = 0;
    int head_ = 0;               // buffer being played
    std::size_t headOffset_ = 0;  // bytes of it already played
    bool paused_ = false;
    int openCount_ = 0;
    std::vector<std::uint8_t> captured_;
};

// A PCM WAV image: RIFF/WAVE with a 16-byte "fmt " chunk and the data chunk.
std::vector<std::uint8_t> MakeWaveImage(const TWaveOutputFormat& format, const std::vector<std::uint8_t>& data);
