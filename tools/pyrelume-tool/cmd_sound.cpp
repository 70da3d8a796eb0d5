#include <cstdio>

#include "assets/Streams.h"
#include "sound/WaveSound.h"
#include "tools/pyrelume-tool/Command.h"

namespace {

const char* TagName(int tag)
{
    switch (tag) {
    case 1: return "PCM";
    case 2: return "MS ADPCM";
    case 3: return "IEEE float";
    case 6: return "A-law";
    case 7: return "mu-law";
    case 0x11: return "IMA ADPCM";
    case 0x55: return "MPEG layer 3";
    case 0xFFFE: return "extensible";
    default: return "unknown";
    }
}

// wav info FILE: the format as stored in the file, the data size and the duration.
int RunWav(const std::vector<std::string>& args)
{
    if (args.size() != 2 || args[0] != "info")
        throw ToolUsageError{"expected: wav info FILE.wav"};
    const auto bytes = ReadFileBytes(args[1]);
    const TWaveChunks chunks = ReadWaveChunks(bytes, args[1]);
    const TWaveFormatInfo f = DecodeWaveFormat(chunks.Format);
    std::printf("format: tag %d (%s), %d channels, %u Hz, %d bits\n", f.FormatTag, TagName(f.FormatTag), f.Channels,
                f.SamplesPerSec, f.BitsPerSample);
    std::printf("block align: %d, bytes per second: %u, extra size: %d\n", f.BlockAlign, f.AvgBytesPerSec, f.ExtraSize);
    std::printf("data: %u bytes\n", chunks.DataSize);
    if (f.AvgBytesPerSec != 0)
        std::printf("duration: %.3f s\n", static_cast<double>(chunks.DataSize) / f.AvgBytesPerSec);
    else
        std::printf("duration: unknown\n");
    return 0;
}

ToolCommand regWav("wav", "wav info FILE.wav", &RunWav);

}  // namespace
