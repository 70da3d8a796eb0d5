// Cost of turning one captured frame into a film image (bitmap, BMP, JPEG).
#include <benchmark/benchmark.h>

#include <vector>

#include "shell/ScreenShot.h"

namespace {

std::vector<std::uint8_t> Frame(int w, int h)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<std::uint8_t>((i * 7) ^ (i >> 9));
    return rgb;
}

void BM_BitmapFromCapture(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = w * 3 / 4;
    const auto rgb = Frame(w, h);
    for (auto _ : state)
        benchmark::DoNotOptimize(BitmapFromCapture(rgb.data(), rgb.size(), w, h));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(rgb.size()));
}

void BM_EncodeBmp(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = w * 3 / 4;
    const auto rgb = Frame(w, h);
    const TBitmapImage b = BitmapFromCapture(rgb.data(), rgb.size(), w, h);
    for (auto _ : state)
        benchmark::DoNotOptimize(EncodeBmp24(b));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(rgb.size()));
}

void BM_EncodeJpeg(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = w * 3 / 4;
    const auto rgb = Frame(w, h);
    const TBitmapImage b = BitmapFromCapture(rgb.data(), rgb.size(), w, h);
    for (auto _ : state)
        benchmark::DoNotOptimize(EncodeJpeg(b, 100));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(rgb.size()));
}

} // namespace

BENCHMARK(BM_BitmapFromCapture)->Arg(640)->Arg(1024);
BENCHMARK(BM_EncodeBmp)->Arg(640)->Arg(1024);
BENCHMARK(BM_EncodeJpeg)->Arg(640)->Arg(1024);
