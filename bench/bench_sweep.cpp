// The tuning map's speed: 100 x 100 grid points of 1200 ticks each (12
// million ticks) through the same code as kavlon-sim --sweep, on one thread
// and on all cores.
#include "cli/SimTuning.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <thread>

namespace {

kavlon::sim::SimOptions Scenario(char plant)
{
    kavlon::sim::SimOptions o;
    o.plant = plant - 'A';
    o.ticks = 1200;
    kavlon::SweepPlan plan;
    kavlon::ParseSweepAxis("0.1:10:0.1", kavlon::SpinValue::Kr, plan.kr);
    kavlon::ParseSweepAxis("2:200:2", kavlon::SpinValue::Tn, plan.tn);
    o.sweep = plan;
    return o;
}

void Sweep(benchmark::State &state, char plant)
{
    const kavlon::sim::SimOptions o = Scenario(plant);
    const auto threads = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        const auto cells = kavlon::sim::RunSweepOf(o, threads);
        benchmark::DoNotOptimize(cells.data());
    }
    state.counters["points"] = static_cast<double>(o.sweep->Points());
}

void SweepA(benchmark::State &state) { Sweep(state, 'A'); }
void SweepB(benchmark::State &state) { Sweep(state, 'B'); }

} // namespace

BENCHMARK(SweepA)
    ->Arg(1)
    ->Arg(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(SweepB)
    ->Arg(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_MAIN();
