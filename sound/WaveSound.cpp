#include "sound/WaveSound.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <new>

#include "assets/LittleEndian.h"
#include "assets/ResourceFile.h"
#include "gl/Errors.h"

static_assert(std::endian::native == std::endian::little, "sample data is handled as little endian");

namespace {

bool IdIs(const std::uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// A chunk header found inside [begin, end) of the image.
struct Chunk {
    std::size_t Offset = 0;  // of the 8-byte header
    std::uint32_t Size = 0;  // declared content size
};

// Scans the chunks of one level, starting at pos and ending at end, for the first
// chunk named id (and, for "RIFF", with the given form type). Chunks of odd size
// are followed by one pad byte. A chunk whose declared size runs past the end of
// the level ends the scan.
bool FindChunk(std::span<const std::uint8_t> img, std::size_t pos, std::size_t end, const char* id,
               const char* formType, Chunk& found)
{
    while (pos <= end && end - pos >= 8) {
        const std::uint8_t* h = img.data() + pos;
        const std::uint32_t size = LoadLE32(h + 4);
        if (IdIs(h, id)) {
            if (!formType) {
                found = {pos, size};
                return true;
            }
            if (end - pos >= 12 && size >= 4 && IdIs(h + 8, formType)) {
                found = {pos, size};
                return true;
            }
        }
        const std::uint64_t next = static_cast<std::uint64_t>(pos) + 8 + size + (size & 1u);
        if (next > end)
            return false;
        pos = static_cast<std::size_t>(next);
    }
    return false;
}

}  // namespace

TWaveFormatInfo DecodeWaveFormat(std::span<const std::uint8_t> f)
{
    TWaveFormatInfo info;
    if (f.size() < kWaveFormatSize)
        return info;
    info.FormatTag = LoadLE16(f.data());
    info.Channels = LoadLE16(f.data() + 2);
    info.SamplesPerSec = LoadLE32(f.data() + 4);
    info.AvgBytesPerSec = LoadLE32(f.data() + 8);
    info.BlockAlign = LoadLE16(f.data() + 12);
    info.BitsPerSample = LoadLE16(f.data() + 14);
    info.ExtraSize = LoadLE16(f.data() + 16);
    return info;
}

std::vector<std::uint8_t> MakePCMFormat(int channels, int samplesPerSec, int bitsPerSample)
{
    std::vector<std::uint8_t> f(kWaveFormatSize, 0);
    const auto block = static_cast<std::uint32_t>(channels * bitsPerSample / 8);
    StoreLE16(f.data(), kWaveFormatPCM);
    StoreLE16(f.data() + 2, static_cast<std::uint32_t>(channels));
    StoreLE32(f.data() + 4, static_cast<std::uint32_t>(samplesPerSec));
    StoreLE32(f.data() + 8, block * static_cast<std::uint32_t>(samplesPerSec));
    StoreLE16(f.data() + 12, block);
    StoreLE16(f.data() + 14, static_cast<std::uint32_t>(bitsPerSample));
    return f;
}

TWaveChunks ReadWaveChunks(std::span<const std::uint8_t> img, const std::string& fileName)
{
    auto fail = [&](const char* reason) {
        RaiseMessage(ErrorText("TWaveSound", "Load", reason) + " file " + fileName);
    };
    TWaveChunks out;

    Chunk riff;
    if (!FindChunk(img, 0, img.size(), "RIFF", "WAVE", riff))
        fail("Find RIFF failed");
    const std::size_t riffBegin = riff.Offset + 12;
    const std::size_t riffEnd =
        static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(riff.Offset) + 8 + riff.Size, img.size()));

    Chunk fmt;
    if (!FindChunk(img, riffBegin, riffEnd, "fmt ", nullptr, fmt))
        fail("Find fmt CHUNK failed");
    const std::size_t fmtData = fmt.Offset + 8;
    const std::size_t fmtAvail = img.size() - fmtData;  // bytes present after the header
    std::size_t fixed = 0;
    if (fmt.Size >= kWaveFormatSize)
        fixed = kWaveFormatSize;
    else if (fmt.Size >= 16)
        fixed = 16;
    // A chunk shorter than the 16-byte PCM record cannot hold a format.
    if (fixed == 0 || fmtAvail < fixed)
        fail("Read Wave format failed");
    std::uint16_t extra = fixed == kWaveFormatSize ? LoadLE16(img.data() + fmtData + 16) : 0;

    out.Format.assign(kWaveFormatSize + extra, 0);
    std::memcpy(out.Format.data(), img.data() + fmtData, fixed);
    StoreLE16(out.Format.data() + 16, extra);
    if (extra != 0) {
        // The extra bytes must lie inside the chunk; reading on would take bytes of the next chunk.
        if (fmt.Size < kWaveFormatSize + extra || fmtAvail < kWaveFormatSize + extra)
            fail("Read Extra data failed");
        std::memcpy(out.Format.data() + kWaveFormatSize, img.data() + fmtData + kWaveFormatSize, extra);
    }

    const std::uint64_t fmtEnd = static_cast<std::uint64_t>(fmtData) + fmt.Size;
    if (fmtEnd > img.size())
        fail("Release CHUNCK failed");
    const std::size_t afterFmt = static_cast<std::size_t>(std::min<std::uint64_t>(fmtEnd + (fmt.Size & 1u), img.size()));

    Chunk data;
    if (!FindChunk(img, afterFmt, riffEnd, "data", nullptr, data))
        fail("Find data CHUNK failed");
    if (LoadLE16(out.Format.data() + 12) > data.Size)
        StoreLE16(out.Format.data() + 12, data.Size);
    out.DataOffset = data.Offset + 8;
    out.DataSize = data.Size;
    if (img.size() - out.DataOffset < data.Size)
        fail("Read Wave data failed");
    return out;
}

// ---- TWaveSound

void TWaveSound::Fail(const char* op, const std::string& reason) const
{
    RaiseMessage(ErrorText("TWaveSound", op, reason) + " file " + FileName);
}

int TWaveSound::Channels() const { return Info().Channels; }
int TWaveSound::SamplesPerSec() const { return static_cast<int>(Info().SamplesPerSec); }
int TWaveSound::BitsPerSample() const { return Info().BitsPerSample; }
int TWaveSound::FormatTag() const { return Info().FormatTag; }
int TWaveSound::BlockAlign() const { return Info().BlockAlign; }

void TWaveSound::Clear()
{
    std::vector<std::uint8_t>().swap(Format);
    std::vector<std::uint8_t>().swap(Data);
    DataSize = 0;
    Loaded = false;
}

void TWaveSound::TakeFrom(TWaveSound& other)
{
    Format = std::move(other.Format);
    Data = std::move(other.Data);
    DataSize = other.DataSize;
    Loaded = other.Loaded;
    other.Clear();
}

void TWaveSound::LoadFromFile()
{
    Clear();
    std::vector<std::uint8_t> bytes;
    try {
        TFileStream file(NativeFilePath(FileName), TFileStream::Mode::OpenRead);
        file.SetPosition(0);
        bytes = file.ReadAll();
    } catch (const EPyrelumeError&) {
        RaiseMessage("TWaveSound.LoadFromFile error: file " + FileName + " is not open");
    }
    Load(bytes);
}

void TWaveSound::LoadFromStream(TStream& stream)
{
    Clear();
    if (auto* mem = dynamic_cast<TMemoryStream*>(&stream)) {
        Load(mem->Bytes());
        return;
    }
    std::vector<std::uint8_t> bytes;
    try {
        stream.SetPosition(0);
        bytes = stream.ReadAll();
    } catch (const EPyrelumeError&) {
        Fail("LoadFromStream", "mmioOpen stream failed");
    }
    Load(bytes);
}

void TWaveSound::Load(std::span<const std::uint8_t> image)
{
    Clear();
    TWaveChunks chunks = ReadWaveChunks(image, FileName);
    try {
        Format = std::move(chunks.Format);
        Data.assign(image.begin() + static_cast<std::ptrdiff_t>(chunks.DataOffset),
                    image.begin() + static_cast<std::ptrdiff_t>(chunks.DataOffset + chunks.DataSize));
    } catch (const std::bad_alloc&) {
        Clear();
        Fail("Load", "not enough memory for the sample data");
    }
    DataSize = chunks.DataSize;
    Loaded = true;
    if (FormatTag() != kWaveFormatPCM) {
        // A sound that cannot be brought to PCM is useless to the mixer: leave it empty.
        try {
            ConvertToPCM();
        } catch (...) {
            // A sound that cannot be converted is not left half-converted.
            Clear();
            throw;
        }
    }
}

void TWaveSound::Match(int channels, int samplesPerSec, int bits)
{
    if (Loaded && (Channels() != channels || SamplesPerSec() != samplesPerSec || BitsPerSample() != bits))
        Convert(channels, samplesPerSec, bits);
}

namespace {

// Sample rates above this are not audio a sound card plays.
constexpr std::uint32_t kMaxSampleRate = 768000;
// The largest sound a conversion makes: three minutes of 44100 Hz 16-bit stereo.
constexpr std::uint64_t kMaxConvertedBytes = 32ull << 20;

enum class SampleKind { Unsigned8, SignedInt, Float };

// Source sample layout after resolving the extensible wrapper.
struct SourceLayout {
    SampleKind Kind = SampleKind::SignedInt;
    int Bytes = 0;  // container bytes per sample
    int Channels = 0;
    std::uint32_t Rate = 0;
};

// Reads one sample as a signed value scaled to 24 bits.
std::int32_t ReadSample(const std::uint8_t* p, const SourceLayout& l)
{
    switch (l.Kind) {
    case SampleKind::Unsigned8: return (static_cast<std::int32_t>(p[0]) - 128) * 65536;
    case SampleKind::Float: {
        if (l.Bytes == 8) {
            double d;
            std::memcpy(&d, p, 8);
            if (!(d >= -1.0)) d = d > 1.0 ? 1.0 : -1.0;  // NaN and below -1 become -1
            if (d > 1.0) d = 1.0;
            return static_cast<std::int32_t>(d * 8388607.0);
        }
        float f;
        std::memcpy(&f, p, 4);
        if (!(f >= -1.0f)) f = f > 1.0f ? 1.0f : -1.0f;
        if (f > 1.0f) f = 1.0f;
        return static_cast<std::int32_t>(static_cast<double>(f) * 8388607.0);
    }
    case SampleKind::SignedInt:
        break;
    }
    switch (l.Bytes) {
    case 2: return static_cast<std::int32_t>(static_cast<std::int16_t>(LoadLE16(p))) * 256;
    case 3: {
        const std::uint32_t u = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                (static_cast<std::uint32_t>(p[2]) << 16);
        return static_cast<std::int32_t>(u << 8) / 256;
    }
    default: return static_cast<std::int32_t>(LoadLE32(p)) / 256;
    }
}

}  // namespace

void TWaveSound::Convert(int channels, int samplesPerSec, int bits)
{
    const char* op = "Convert";
    const TWaveFormatInfo src = Info();
    if (Format.size() < kWaveFormatSize)
        Fail(op, "no format to convert");

    // Resolve the sample layout of the source.
    SourceLayout l;
    l.Channels = src.Channels;
    l.Rate = src.SamplesPerSec;
    std::uint16_t tag = src.FormatTag;
    if (tag == kWaveFormatExtensible) {
        // The sub-format GUID follows valid bits (2) and channel mask (4); its first
        // two bytes carry the plain format tag.
        if (src.ExtraSize < 22)
            Fail(op, "extensible format without sub-format");
        tag = LoadLE16(Format.data() + kWaveFormatSize + 6);
    }
    if (tag == kWaveFormatPCM) {
        if (src.BitsPerSample == 0 || src.BitsPerSample > 32)
            Fail(op, "PCM with " + std::to_string(src.BitsPerSample) + " bits per sample is not supported");
        l.Bytes = (src.BitsPerSample + 7) / 8;
        l.Kind = l.Bytes == 1 ? SampleKind::Unsigned8 : SampleKind::SignedInt;
    } else if (tag == kWaveFormatIEEEFloat) {
        if (src.BitsPerSample != 32 && src.BitsPerSample != 64)
            Fail(op, "float samples of " + std::to_string(src.BitsPerSample) + " bits are not supported");
        l.Bytes = src.BitsPerSample / 8;
        l.Kind = SampleKind::Float;
    } else {
        Fail(op, "format tag " + std::to_string(tag) + " is not PCM and cannot be converted");
    }
    if (l.Channels < 1 || l.Channels > 16 || l.Rate == 0 || l.Rate > kMaxSampleRate)
        Fail(op, "source format is not valid");

    const int dstChannels = channels != 0 ? channels : l.Channels;
    const std::uint32_t dstRate = samplesPerSec != 0 ? static_cast<std::uint32_t>(samplesPerSec) : l.Rate;
    const int dstBits = bits != 0 ? bits : (l.Kind == SampleKind::Unsigned8 ? 8 : 16);
    if (dstChannels < 1 || dstChannels > 16 || samplesPerSec < 0 || dstRate == 0 || dstRate > kMaxSampleRate ||
        (dstBits != 8 && dstBits != 16))
        Fail(op, "destination format is not supported");

    const std::size_t srcFrame = static_cast<std::size_t>(l.Bytes) * static_cast<std::size_t>(l.Channels);
    const std::size_t srcFrames = std::min<std::size_t>(DataSize, Data.size()) / srcFrame;

    // The converted size is known before anything is allocated: a sound that
    // would grow past the limit (a low source rate turned into a high one
    // multiplies the data) is refused.
    const std::uint64_t dstFrames =
        srcFrames == 0 ? 0 : (static_cast<std::uint64_t>(srcFrames) * dstRate + l.Rate / 2) / l.Rate;
    const std::size_t dstFrameBytes = static_cast<std::size_t>(dstChannels * dstBits / 8);
    if (dstFrames * dstFrameBytes > kMaxConvertedBytes)
        Fail(op, "converted data of " + std::to_string((dstFrames * dstFrameBytes) >> 20) + " MB is larger than " +
                     std::to_string(kMaxConvertedBytes >> 20) + " MB");

    // 1. Decode and map the channels of one source frame: a mono destination
    //    averages all source channels, a mono source is repeated, otherwise
    //    channel c takes source c (wrapping when the destination has more).
    auto mapFrame = [&](std::size_t i, std::int32_t* o) {
        std::int32_t frame[16];
        const std::uint8_t* p = Data.data() + i * srcFrame;
        for (int c = 0; c < l.Channels; ++c)
            frame[c] = ReadSample(p + static_cast<std::size_t>(c * l.Bytes), l);
        if (dstChannels == 1 && l.Channels > 1) {
            std::int64_t sum = 0;
            for (int c = 0; c < l.Channels; ++c)
                sum += frame[c];
            o[0] = static_cast<std::int32_t>(sum / l.Channels);
        } else {
            for (int c = 0; c < dstChannels; ++c)
                o[c] = frame[c % l.Channels];
        }
    };

    // 2. Change the rate by linear interpolation between neighbouring frames.
    std::vector<std::uint8_t> out;
    try {
        out.resize(static_cast<std::size_t>(dstFrames) * dstFrameBytes);
    } catch (const std::bad_alloc&) {
        Fail(op, "not enough memory for the converted data");
    }
    std::uint8_t* w = out.data();
    std::int32_t a[16], b[16];
    std::size_t have = static_cast<std::size_t>(-1);  // source frame held in a
    for (std::uint64_t j = 0; j < dstFrames; ++j) {
        const std::uint64_t pos = j * l.Rate;
        const std::size_t i = static_cast<std::size_t>(pos / dstRate);
        const std::int64_t frac = static_cast<std::int64_t>(pos % dstRate);
        const std::size_t i0 = std::min(i, srcFrames - 1);
        const std::size_t i1 = std::min(i + 1, srcFrames - 1);
        if (have != i0) {
            mapFrame(i0, a);
            have = i0;
        }
        if (frac != 0)
            mapFrame(i1, b);
        for (int c = 0; c < dstChannels; ++c) {
            std::int64_t v = a[c];
            if (frac != 0)
                v += (static_cast<std::int64_t>(b[c]) - a[c]) * frac / static_cast<std::int64_t>(dstRate);
            // 3. Encode with rounding to the nearest step.
            if (dstBits == 16) {
                const std::int64_t s = std::clamp<std::int64_t>((v + 128) >> 8, -32768, 32767);
                StoreLE16(w, static_cast<std::uint32_t>(static_cast<std::uint16_t>(static_cast<std::int16_t>(s))));
                w += 2;
            } else {
                const std::int64_t s = std::clamp<std::int64_t>(((v + 32768) >> 16) + 128, 0, 255);
                *w++ = static_cast<std::uint8_t>(s);
            }
        }
    }

    Clear();
    Format = MakePCMFormat(dstChannels, static_cast<int>(dstRate), dstBits);
    Data = std::move(out);
    DataSize = static_cast<std::uint32_t>(Data.size());
    Loaded = true;
}
