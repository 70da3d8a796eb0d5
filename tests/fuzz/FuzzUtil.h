#pragma once
// Helpers shared by the fuzz targets: an input split into several files, and
// the process-wide resource reader serving those files from memory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "assets/ResourceFile.h"
#include "gl/Errors.h"

namespace fuzz {

// The input cut at every line that reads "%%": file 0, file 1, ...
inline std::vector<std::string_view> SplitFiles(const std::uint8_t* data, std::size_t size, std::size_t maxFiles)
{
    std::string_view all(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> files;
    while (files.size() + 1 < maxFiles) {
        const std::size_t cut = all.find("\n%%\n");
        if (cut == std::string_view::npos)
            break;
        files.push_back(all.substr(0, cut + 1));
        all.remove_prefix(cut + 4);
    }
    files.push_back(all);
    return files;
}

inline std::string LowerName(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Files the resource reader hands out, by resource name ("pyrelume_gsc").
inline std::map<std::string, std::vector<std::uint8_t>>& MemoryFiles()
{
    static std::map<std::string, std::vector<std::uint8_t>> files;
    return files;
}

inline void SetMemoryFile(const std::string& fileName, std::string_view bytes)
{
    MemoryFiles()[LowerName(ResourceNameOf(fileName))].assign(bytes.begin(), bytes.end());
}

// The program resources the reader finds: the files of MemoryFiles.
class TMemoryResources : public IProgramResources {
public:
    std::optional<std::span<const std::uint8_t>> Find(const std::string& name) override
    {
        const auto it = MemoryFiles().find(LowerName(name));
        if (it == MemoryFiles().end())
            return std::nullopt;
        return std::span<const std::uint8_t>(it->second);
    }
};

// Points the process-wide reader at MemoryFiles.
inline void UseMemoryFiles()
{
    static TMemoryResources resources;
    ResourceReader().Resources = &resources;
    ResourceReader().Source = ReadSource::ResourceFiles;
    ResourceReader().SetDirectory("");
}

// Raised errors are the expected way out of a parser; anything else escapes
// and libFuzzer reports it.
template <class F>
void Guarded(F&& f)
{
    try {
        f();
    } catch (const EPyrelumeError&) {
    }
}

} // namespace fuzz
