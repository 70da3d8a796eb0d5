#include <benchmark/benchmark.h>

#include <vector>

#include "gl/DArrays.h"
#include "gl/FastMath.h"

// Vertex-frame animation of a model: LerpArray over n vertices per frame.
static void BM_LerpArray(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<TGLVector> a(n, {1, 2, 3}), b(n, {4, 5, 6}), d(n);
    for (auto _ : state) {
        LerpArray(a.data(), b.data(), d.data(), 0.37f, n);
        benchmark::DoNotOptimize(d.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_LerpArray)->Arg(256)->Arg(4096);

static void BM_TransformPoints(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<TGLVector> p(n, {1, 2, 3});
    const TGLMatrix m = LookAtMatrix({0, 105, 240}, {0, 100, 0}, {0, 1, 0});
    for (auto _ : state) {
        TransformPoints(p.data(), p.data(), n, m);
        benchmark::DoNotOptimize(p.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_TransformPoints)->Arg(4096);

static void BM_NormalizeArray(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<TGLVector> p(n, {1, 2, 3}), d(n);
    for (auto _ : state) {
        NormalizeArray(p.data(), d.data(), n);
        benchmark::DoNotOptimize(d.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_NormalizeArray)->Arg(4096);

// Growing one item at a time: every change reallocates to the exact size.
static void BM_DArrayGrowByOne(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        TGLVectorDArray a;
        for (int i = 0; i < n; ++i)
            a.Grow(1);
        benchmark::DoNotOptimize(a.Memory());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_DArrayGrowByOne)->Arg(1000);

static void BM_StrToVector(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(StrToVector("0.25, -105.5, 240"));
}
BENCHMARK(BM_StrToVector);

static void BM_ColorToStr(benchmark::State& state)
{
    const TGLColor c{0.1f, 0.3333333f, 1234.5f, 1};
    for (auto _ : state)
        benchmark::DoNotOptimize(ColorToStr(c));
}
BENCHMARK(BM_ColorToStr);
