// Any byte string read as a WAV either loads or raises EPyrelumeError; a loaded
// sound converts to each output format the device offers or raises, and the
// converted data is whole sample frames of that format.
#include "sound/WaveSound.h"
#include "tests/fuzz/FuzzUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const int formats[][3] = {{2, 22050, 16}, {1, 11025, 8}, {1, 44100, 16}};
    for (const auto& f : formats) {
        TWaveSound wave;
        wave.FileName = "fuzz.wav";
        fuzz::Guarded([&] {
            wave.Load(bytes);
            const bool converts = wave.Channels() != f[0] || wave.SamplesPerSec() != f[1] || wave.BitsPerSample() != f[2];
            wave.Match(f[0], f[1], f[2]);
            if (wave.Loaded && wave.DataSize != wave.Data.size())
                std::abort();
            if (wave.Loaded && converts &&
                (wave.Channels() != f[0] || wave.DataSize % static_cast<std::uint32_t>(f[0] * f[2] / 8) != 0))
                std::abort();
        });
    }
    return 0;
}
