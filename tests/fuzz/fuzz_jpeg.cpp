// Any byte string read as a JPEG either decodes within the side limit or raises
// EPyrelumeError; a decoded picture fits to a texture and builds its texels.
#include "tests/fuzz/FuzzUtil.h"
#include "tests/fuzz/ImageFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Guarded([&] { fuzz::CheckTextureImage(DecodeJpeg(std::span<const std::uint8_t>(data, size))); });
    return 0;
}
