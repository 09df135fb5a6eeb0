// ComputeDiff on the workloads in memory, so engine time can be told apart from process time.

#include "diff/diffengine.h"
#include "diff/leftmostlcs.h"
#include "diff/linekeys.h"
#include "workloads.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

const workloads::TWorkload& Workload(int index) {
  static const std::vector<workloads::TWorkload> all = workloads::All();
  return all[index];
}

void ComputeDiffOn(benchmark::State& state) {
  const workloads::TWorkload& w = Workload(int(state.range(0)));
  state.SetLabel(w.Name);
  qsizetype rows = 0;
  for (auto _ : state) rows = ComputeDiff(w.Left, w.Right, TDiffOptions{}).size();
  state.counters["rows"] = double(rows);
}

// Key interning alone, with the options that rewrite most lines.
void KeysOn(benchmark::State& state) {
  const workloads::TWorkload& w = Workload(int(state.range(0)));
  state.SetLabel(w.Name);
  TDiffOptions options;
  options.IgnoreCase = state.range(1) != 0;
  options.IgnoreWsAmount = state.range(1) != 0;
  for (auto _ : state) benchmark::DoNotOptimize(InternKeys(w.Left, w.Right, options));
}

// The common subsequence alone, with and without a second thread.
void SubsequenceOn(benchmark::State& state) {
  const workloads::TWorkload& w = Workload(int(state.range(0)));
  const TLineIds ids = InternKeys(w.Left, w.Right, TDiffOptions{});
  TAlignTuning tuning;
  tuning.ParallelDepth = int(state.range(1));
  state.SetLabel(std::string(w.Name) + (tuning.ParallelDepth ? " threads" : " one thread"));
  for (auto _ : state) benchmark::DoNotOptimize(LeftmostLcs(ids.Left, ids.Right, ids.DistinctCount, tuning));
}

// The machine is shared: the fastest of the repetitions is the steadiest figure.
double Fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

}  // namespace

BENCHMARK(ComputeDiffOn)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
BENCHMARK(KeysOn)->ArgsProduct({{0, 2}, {0, 1}})->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
BENCHMARK(SubsequenceOn)
    ->ArgsProduct({{0, 2, 3}, {0, 2}})
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Fastest);

BENCHMARK_MAIN();
