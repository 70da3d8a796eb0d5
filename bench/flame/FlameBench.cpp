// Cost of the flame simulation: one step of the default 256 x 256 grid, and one
// simulated second of frames at 60 frames per second (110 steps at rate 5).
#include <benchmark/benchmark.h>

#include "fire/FlameClasses.h"
#include "gl/Random.h"

static void BM_FlameStep(benchmark::State& state)
{
    Random::SetState(0);
    TFlame2D flame;
    for (int n = 0; n < 50; ++n)  // a grown fire, not an empty grid
        flame.Step();
    for (auto _ : state) {
        flame.Step();
        benchmark::DoNotOptimize(flame.Row(0));
    }
    state.counters["cells/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * flame.Width() * flame.Height(),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FlameStep);

static void BM_FlameUpdateOneSecondAt60fps(benchmark::State& state)
{
    Random::SetState(0);
    TFlame2D flame;
    flame.SetBurningRate(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (int frame = 0; frame < 60; ++frame)
            flame.Update(1.0f / 60.0f);
        benchmark::DoNotOptimize(flame.Row(0));
    }
    state.counters["steps/s"] = flame.StepRate();
}
BENCHMARK(BM_FlameUpdateOneSecondAt60fps)->Arg(1)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);

static void BM_FlameRebuildPalette(benchmark::State& state)
{
    TFlame2D flame;
    for (auto _ : state) {
        flame.SetFlameColor(0);
        benchmark::DoNotOptimize(flame.Palette().data());
    }
}
BENCHMARK(BM_FlameRebuildPalette);
