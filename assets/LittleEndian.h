#pragma once
// Little-endian 16- and 32-bit fields, the byte order of every file format the
// program reads and writes (bitmaps, wave files, archives, icons): read from
// and stored at a byte pointer, or appended to a growing buffer.
#include <cstdint>
#include <vector>

inline std::uint16_t LoadLE16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t LoadLE32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The low 16 bits of v.
inline void StoreLE16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void StoreLE32(std::uint8_t* p, std::uint32_t v)
{
    StoreLE16(p, v);
    StoreLE16(p + 2, v >> 16);
}

inline void AppendLE16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void AppendLE32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    AppendLE16(out, v);
    AppendLE16(out, v >> 16);
}
