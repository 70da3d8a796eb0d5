#pragma once
// Helpers for archive tests: archives assembled by hand with zlib (so that
// tests can break the writer's rules on purpose).
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "assets/Streams.h"
#include "tests/common/TestUtil.h"

namespace archive_test {

using testutil::ErrorOf;
using testutil::ScratchDir;
using Bytes = std::vector<std::uint8_t>;

inline Bytes Deflate(const Bytes& in, int level = 9)
{
    uLongf n = compressBound(static_cast<uLong>(in.size()));
    Bytes out(n);
    compress2(out.data(), &n, in.data(), static_cast<uLong>(in.size()), level);
    out.resize(n);
    return out;
}

inline Bytes Text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

// One entry as stored: its block and the sizes written into the directory.
struct RawEntry {
    std::string name;
    Bytes block;
    std::int32_t size;
    std::int32_t compressedSize;
};

inline RawEntry Entry(const std::string& name, const Bytes& content)
{
    Bytes block = Deflate(content);
    return {name, block, static_cast<std::int32_t>(content.size()), static_cast<std::int32_t>(block.size())};
}

inline void PutInt(Bytes& b, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

inline Bytes Directory(const std::vector<RawEntry>& entries, std::int32_t count)
{
    Bytes dir;
    PutInt(dir, count);
    for (const auto& e : entries) {
        PutInt(dir, static_cast<std::int32_t>(e.name.size()));
        dir.insert(dir.end(), e.name.begin(), e.name.end());
        PutInt(dir, e.compressedSize);
        PutInt(dir, e.size);
    }
    return dir;
}

// The entries exactly in the given order, blocks in the same order.
inline Bytes Assemble(const std::vector<RawEntry>& entries)
{
    const Bytes dir = Directory(entries, static_cast<std::int32_t>(entries.size()));
    Bytes out;
    PutInt(out, static_cast<std::int32_t>(dir.size()));
    const Bytes packed = Deflate(dir);
    out.insert(out.end(), packed.begin(), packed.end());
    for (const auto& e : entries)
        out.insert(out.end(), e.block.begin(), e.block.end());
    return out;
}

inline Bytes Noise(std::size_t n, std::uint32_t seed)
{
    Bytes b(n);
    for (auto& x : b) {
        seed = seed * 1664525u + 1013904223u;
        x = static_cast<std::uint8_t>(seed >> 24);
    }
    return b;
}

}  // namespace archive_test
