#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "sound/FileWaveOutput.h"
#include "sound/SoundClasses.h"

namespace {

std::vector<std::uint8_t> WaveImage(int channels, int rate, int bits, const std::vector<std::uint8_t>& data)
{
    return MakeWaveImage(TWaveOutputFormat{channels, rate, bits}, data);
}

// One 512-byte ring buffer (22050 Hz, 16-bit, stereo) with eight looped sounds playing.
void BM_FillBufferEightSounds(benchmark::State& state)
{
    TWinSoundDevice device;
    device.SetFormat(1, true, 2);
    std::vector<std::unique_ptr<TWaveSound>> waves;
    std::vector<std::unique_ptr<TCustomSound>> sounds;
    for (int i = 0; i < 8; ++i) {
        // Loops of different lengths so that chunks are cut at different places.
        std::vector<std::uint8_t> data(static_cast<std::size_t>(4 * (22050 + 331 * i)));
        for (std::size_t k = 0; k < data.size(); ++k)
            data[k] = static_cast<std::uint8_t>(k * 7 + static_cast<std::size_t>(i));
        auto wave = std::make_unique<TWaveSound>("w" + std::to_string(i) + ".wav");
        wave->Load(WaveImage(2, 22050, 16, data));
        auto sound = device.NewSound(wave.get());
        sound->SetLooped(true);
        sound->SetVolume(60 + 5 * i);
        sound->Play();
        waves.push_back(std::move(wave));
        sounds.push_back(std::move(sound));
    }
    std::vector<std::uint8_t> out(TWaveOutputFormat{2, 22050, 16}.BufferSize());
    for (auto _ : state) {
        device.FillBuffer(out.data(), out.size());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(out.size()));
    sounds.clear();
}
BENCHMARK(BM_FillBufferEightSounds);

// Five seconds of 44100 Hz mono 8-bit converted to 22050 Hz stereo 16-bit.
void BM_ConvertFiveSeconds(benchmark::State& state)
{
    std::vector<std::uint8_t> data(5 * 44100);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(128 + std::lround(100 * std::sin(static_cast<double>(i) * 0.0628)));
    const auto image = WaveImage(1, 44100, 8, data);
    TWaveSound wave("bench.wav");
    for (auto _ : state) {
        state.PauseTiming();
        wave.Load(image);
        state.ResumeTiming();
        wave.Convert(2, 22050, 16);
        benchmark::DoNotOptimize(wave.Data.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(data.size()));
}
BENCHMARK(BM_ConvertFiveSeconds)->Unit(benchmark::kMillisecond);

}  // namespace
