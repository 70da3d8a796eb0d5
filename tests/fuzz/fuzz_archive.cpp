// Any byte string read as an archive either loads or raises EPyrelumeError;
// every member that loaded either extracts to exactly its size or raises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "assets/ResourceFile.h"
#include "gl/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TResourceFileArchive archive;
    TReadOnlyMemoryStream stream(std::span<const std::uint8_t>(data, size));
    try {
        archive.LoadFromStream(stream);
    } catch (const EPyrelumeError&) {
    }
    for (int i = 0; i < archive.Count(); ++i) {
        TArchiveFile& file = archive.Files(i);
        if (!file.Data)
            continue;
        TMemoryStream out;
        try {
            file.Extract(out);
            if (out.Size() != file.Size || out.Position() != 0)
                std::abort();
        } catch (const EPyrelumeError&) {
        }
    }
    return 0;
}
