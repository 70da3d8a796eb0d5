// Figures for the CPU-side hot paths of the GL layer: the mipmap box filter
// run on every mipmapped upload and the normal generation of model meshes.
#include <benchmark/benchmark.h>

#include <vector>

#include "gl/GLClasses.h"

static void BM_MipmapChain(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    std::vector<std::uint8_t> source(static_cast<std::size_t>(size) * size * 4);
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<std::uint8_t>(i * 31);
    std::vector<std::uint8_t> work;
    for (auto _ : state) {
        work = source;
        int w = size, h = size;
        while (w > 1 || h > 1)
            MipmapHalve(work.data(), w, h, 4);
        benchmark::DoNotOptimize(work.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source.size()));
}
BENCHMARK(BM_MipmapChain)->Arg(256)->Arg(512);

static void BM_ComputeNormalsGrid(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0)); // n x n vertex grid
    TGLPrimitive p;
    p.Vertices.SetCount(n * n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            p.Vertices.SetVector(y * n + x, float(x), float(y), float((x * y) % 7));
    std::vector<std::uint16_t> idx;
    for (int y = 0; y + 1 < n; ++y)
        for (int x = 0; x + 1 < n; ++x) {
            const auto a = std::uint16_t(y * n + x), b = std::uint16_t(a + 1), c = std::uint16_t(a + n),
                       d = std::uint16_t(a + n + 1);
            idx.insert(idx.end(), {a, b, d, a, d, c});
        }
    p.Indices.SetValues(idx);
    for (auto _ : state) {
        p.ComputeOwnNormals();
        benchmark::DoNotOptimize(p.Normals.Data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(idx.size() / 3));
}
BENCHMARK(BM_ComputeNormalsGrid)->Arg(64)->Arg(128);
