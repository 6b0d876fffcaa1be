// kavlon-sim --ticks 1000000 --output /dev/null, as a whole process.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

void BM_MillionTicks(benchmark::State &state, const char *extra)
{
    const std::string cmd =
        std::string(KAVLON_SIM_PATH) + " --ticks 1000000 --output /dev/null " + extra;
    for (auto _ : state) {
        if (std::system(cmd.c_str()) != 0)
            state.SkipWithError("kavlon-sim failed");
    }
}

} // namespace

// Plant A at rest settles, so most columns repeat; plant G with a derivative
// part oscillates for ever and changes every column of every row.
BENCHMARK_CAPTURE(BM_MillionTicks, plant_A_defaults, "")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_MillionTicks, plant_G_oscillating, "--plant G --kr 1 --tn 10 --tv 1")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_MAIN();
