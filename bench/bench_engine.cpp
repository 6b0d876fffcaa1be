// Engine ticks per second for each plant: ControllerStep then PlantStep, with
// the loop driven over its whole range by a set-point and disturbance pattern.
#include "engine/LoopState.h"
#include "engine/Plants.h"

#include <benchmark/benchmark.h>

namespace {

void BM_EngineTicks(benchmark::State &state)
{
    kavlon::LoopState s;
    s.PlantIndex = static_cast<std::uint8_t>(state.range(0));
    s.Tv = 2;
    kavlon::ResetLoopState(s, true, true, false);
    std::int64_t ticks = 0;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            // A step in w every 300 ticks keeps the loop moving.
            if ((ticks++ % 300) == 0)
                s.w = s.w > 400 ? 200 : 600;
            kavlon::SimulationStep(s);
        }
        benchmark::DoNotOptimize(s.x);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
    state.SetLabel(std::string(1, static_cast<char>('A' + state.range(0))));
}

} // namespace

BENCHMARK(BM_EngineTicks)->DenseRange(0, 6);
BENCHMARK_MAIN();
