// SPDX-License-Identifier: Zlib
// Frame pacing on the real clock: 600 frames of 17 ms, with the mean frame
// interval, its 99th percentile and the processor time used.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <vector>

#include "platform/platform.h"
#include "shell/timer.h"

namespace {

double CpuSeconds() {
  rusage u;
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double WallSeconds() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec + ts.tv_nsec / 1e9;
}

void BM_WaitFrame600(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<double> gaps;
    game::WaitFrame(17);
    double cpu0 = CpuSeconds(), wall0 = WallSeconds(), last = wall0;
    for (int i = 0; i < 600; ++i) {
      game::WaitFrame(17);
      double now = WallSeconds();
      gaps.push_back((now - last) * 1000.0);
      last = now;
    }
    double wall = WallSeconds() - wall0, cpu = CpuSeconds() - cpu0;
    std::sort(gaps.begin(), gaps.end());
    double mean = wall * 1000.0 / 600;
    state.counters["mean_ms"] = mean;
    state.counters["p99_ms"] = gaps[gaps.size() * 99 / 100];
    state.counters["cpu_pct"] = 100.0 * cpu / wall;
  }
}
BENCHMARK(BM_WaitFrame600)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
