#pragma once
// Builds resource archives (data.rfa) that TResourceFileArchive reads: members
// sorted by CompareResourceNames and unique under it, bare file names only,
// every stream compressed at zlib's best level, the blocks right after the
// directory stream. Input that would break these rules is refused with an
// EPyrelumeError naming the member.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "assets/Streams.h"

class TResourceArchiveWriter {
public:
    // Adds a member. Refuses empty names, names with '\', '/' or ':' or control
    // characters, names equal to an earlier one ignoring case, and data of
    // 2^31 bytes or more. Empty members are allowed.
    void Add(const std::string& name, std::vector<std::uint8_t> bytes);
    // Adds the disk file under its bare file name.
    void AddFile(const std::string& path);

    int Count() const { return static_cast<int>(members_.size()); }
    // Member names in archive order.
    std::vector<std::string> Names() const;

    // Writes the whole archive at the stream's position.
    void SaveToStream(TStream& stream) const;
    std::vector<std::uint8_t> SaveToBytes() const;

private:
    struct Member {
        std::string name;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Member> members_;  // kept in archive order
};

// One complete zlib stream of bytes at the best compression level.
std::vector<std::uint8_t> DeflateBest(std::span<const std::uint8_t> bytes);
