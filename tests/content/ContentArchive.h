#pragma once
// Access to the built fireplace archive for the content tests.
#include <cstdint>
#include <string>
#include <vector>

#include "assets/ResourceFile.h"

namespace content_test {

// The archive the build packs (build/data/data.rfa), loaded once.
TResourceFileArchive& Archive();
bool Has(const std::string& name);
std::vector<std::uint8_t> Member(const std::string& name);
std::string MemberText(const std::string& name);
std::vector<std::string> Lines(const std::string& text);

struct Picture {
    int width = 0, height = 0, components = 0, bitsPerPixel = 0;
};
// Header of a JPEG read through libjpeg; throws on a damaged header.
Picture JpegHeader(const std::vector<std::uint8_t>& bytes);
// Header of a Windows bitmap; throws when it is not one.
Picture BmpHeader(const std::vector<std::uint8_t>& bytes);

struct Wave {
    int formatTag = 0, channels = 0, rate = 0, bits = 0, blockAlign = 0, fmtSize = 0;
    std::vector<std::int16_t> samples;  // interleaved
};
Wave ParseWave(const std::vector<std::uint8_t>& bytes);

}  // namespace content_test
