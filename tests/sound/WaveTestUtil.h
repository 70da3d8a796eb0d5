#pragma once
// Builders of hand-made RIFF images for the sound tests.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "assets/LittleEndian.h"

namespace wavetest {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes& b, std::uint32_t v) { AppendLE16(b, v); }
inline void PutU32(Bytes& b, std::uint32_t v) { AppendLE32(b, v); }

// One chunk with its pad byte when the size is odd. declared overrides the size field.
inline Bytes Chunk(const char* id, const Bytes& body, long declared = -1)
{
    Bytes b(id, id + 4);
    PutU32(b, declared >= 0 ? static_cast<std::uint32_t>(declared) : static_cast<std::uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1)
        b.push_back(0);
    return b;
}

// A format record: 16 bytes, or 18 + extra when withExtra.
inline Bytes Fmt(int tag, int channels, int rate, int bits, bool withExtra = false, const Bytes& extra = {},
                 int blockAlign = -1)
{
    Bytes b;
    const int align = blockAlign >= 0 ? blockAlign : channels * bits / 8;
    PutU16(b, static_cast<std::uint32_t>(tag));
    PutU16(b, static_cast<std::uint32_t>(channels));
    PutU32(b, static_cast<std::uint32_t>(rate));
    PutU32(b, static_cast<std::uint32_t>(align * rate));
    PutU16(b, static_cast<std::uint32_t>(align));
    PutU16(b, static_cast<std::uint32_t>(bits));
    if (withExtra) {
        PutU16(b, static_cast<std::uint32_t>(extra.size()));
        b.insert(b.end(), extra.begin(), extra.end());
    }
    return b;
}

// RIFF/WAVE around the given chunks.
inline Bytes Riff(const Bytes& chunks, const char* form = "WAVE")
{
    Bytes body(form, form + 4);
    body.insert(body.end(), chunks.begin(), chunks.end());
    return Chunk("RIFF", body);
}

inline Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes b;
    for (const auto& p : parts)
        b.insert(b.end(), p.begin(), p.end());
    return b;
}

inline Bytes PcmWave(int channels, int rate, int bits, const Bytes& data)
{
    return Riff(Cat({Chunk("fmt ", Fmt(1, channels, rate, bits)), Chunk("data", data)}));
}

inline Bytes Samples16(std::initializer_list<int> values)
{
    Bytes b;
    for (int v : values)
        PutU16(b, static_cast<std::uint32_t>(static_cast<std::uint16_t>(static_cast<std::int16_t>(v))));
    return b;
}

inline std::int16_t Sample16(const Bytes& b, std::size_t index)
{
    std::int16_t v;
    std::memcpy(&v, b.data() + 2 * index, 2);
    return v;
}

}  // namespace wavetest
