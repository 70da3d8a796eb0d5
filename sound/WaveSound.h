#pragma once
// One sound's audio in memory: the wave format record and the sample bytes of a
// RIFF WAVE file, read from disk or from a stream (an archive member), plus the
// conversion of the samples to the PCM format of the output device.
//
// The format block keeps the system's wave format record layout (little endian,
// packed): tag u16, channels u16, samples per second u32, average bytes per
// second u32, block alignment u16, bits per sample u16, extra size u16, then
// extra-size bytes of format-specific data.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "assets/Streams.h"

// Size of the fixed part of a wave format record including the extra-size field.
inline constexpr std::size_t kWaveFormatSize = 18;
inline constexpr std::uint16_t kWaveFormatPCM = 1;
inline constexpr std::uint16_t kWaveFormatIEEEFloat = 3;
inline constexpr std::uint16_t kWaveFormatExtensible = 0xFFFE;

// Typed view of a wave format record.
struct TWaveFormatInfo {
    std::uint16_t FormatTag = 0;
    std::uint16_t Channels = 0;
    std::uint32_t SamplesPerSec = 0;
    std::uint32_t AvgBytesPerSec = 0;
    std::uint16_t BlockAlign = 0;
    std::uint16_t BitsPerSample = 0;
    std::uint16_t ExtraSize = 0;
};

// Reads the fixed fields of a format block (zeros for a block shorter than 18 bytes).
TWaveFormatInfo DecodeWaveFormat(std::span<const std::uint8_t> format);
// Builds an 18-byte PCM format block with block alignment and byte rate filled in.
std::vector<std::uint8_t> MakePCMFormat(int channels, int samplesPerSec, int bitsPerSample);

// Result of walking the chunks of a RIFF WAVE image: the format block (18 bytes +
// extra) and where the sample bytes lie inside the image.
struct TWaveChunks {
    std::vector<std::uint8_t> Format;
    std::size_t DataOffset = 0;
    std::uint32_t DataSize = 0;
};

// Walks the RIFF chunks of a whole WAVE image (RIFF/WAVE, "fmt ", "data") and
// returns the format block and the data location. Raises
// "TWaveSound.Load error: <reason> file <fileName>" on every fault. The block
// alignment is lowered to the data size when the data is shorter than one block.
TWaveChunks ReadWaveChunks(std::span<const std::uint8_t> image, const std::string& fileName);

class TWaveSound {
public:
    TWaveSound() = default;
    explicit TWaveSound(std::string fileName) : FileName(std::move(fileName)) {}
    ~TWaveSound() { Clear(); }
    TWaveSound(const TWaveSound&) = delete;
    TWaveSound& operator=(const TWaveSound&) = delete;

    std::vector<std::uint8_t> Format;  // format record, empty when nothing is loaded
    std::vector<std::uint8_t> Data;    // sample bytes, empty when nothing is loaded
    std::uint32_t DataSize = 0;        // byte count of Data
    std::string FileName;              // full name; also the archive member name
    bool Loaded = false;

    // Format fields; 0 when no format is held.
    int Channels() const;
    int SamplesPerSec() const;
    int BitsPerSample() const;
    int FormatTag() const;
    int BlockAlign() const;
    TWaveFormatInfo Info() const { return DecodeWaveFormat(Format); }

    void Clear();
    // Reads FileName from disk. Open failure: "TWaveSound.LoadFromFile error: file <name> is not open".
    void LoadFromFile();
    // Reads the whole stream (from its start) as a WAVE image.
    void LoadFromStream(TStream& stream);
    // Parses a whole WAVE image in memory; converts non-PCM data to PCM.
    void Load(std::span<const std::uint8_t> image);
    // Converts Data to PCM with the given format; 0 keeps the current value
    // (bits: 16 for sources deeper than 16 bits). Channels are averaged or
    // repeated, the rate is changed by linear interpolation. On error the
    // sound keeps its previous data.
    void Convert(int channels, int samplesPerSec, int bits);
    void ConvertToPCM() { Convert(0, 0, 0); }
    // Converts when loaded and any of the three differs from the current format.
    void Match(int channels, int samplesPerSec, int bits);

    // Moves the contents of other into this sound (FileName is kept).
    void TakeFrom(TWaveSound& other);

private:
    [[noreturn]] void Fail(const char* op, const std::string& reason) const;
};
