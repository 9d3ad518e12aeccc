// Filling a keyed list of n elements and visiting it by id 1..n, as the mesh
// code does for every face: time per element should not grow with n.
#include "base/keyed_list.h"

#include <benchmark/benchmark.h>

struct cVertexLike {
    float x, y, z, u, v;
};

static void AppendThenVisitById(benchmark::State& state) {
    const int n = int(state.range(0));
    for (auto _ : state) {
        cKeyedList<cVertexLike> list;
        for (int i = 0; i < n; ++i) list.append(cVertexLike{float(i), 0, 0, 0, 0});
        float sum = 0;
        for (uint16_t k = 1; list.containsId(k); ++k) sum += list.findId(k)->element.x;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["ns_per_element"] =
        benchmark::Counter(double(state.iterations()) * n, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(AppendThenVisitById)->Arg(1000)->Arg(8000)->Arg(64000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
