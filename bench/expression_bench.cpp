// Evaluation speed of a compiled expression mix (integer and real arithmetic, string
// concatenation, comparisons, array access) beside the same computation written in C++.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "params/build_vorn_parser.h"
#include "params/number_format.h"
#include "params/param_collection.h"
#include "params/vorn_parser.h"

namespace {

using namespace vorn;

struct Fixture {
  TParamCollection vars;
  TVornParser parser;
  Fixture() {
    vars.CreateVariable("i", PT_INT, SCOPE_GLOBAL)->Value().SetInt(7);
    vars.CreateVariable("r", PT_FLOAT, SCOPE_GLOBAL)->Value().SetFloat(1.25L);
    vars.CreateVariable("s", PT_STR, SCOPE_GLOBAL)->Value().SetStr("name");
    auto* a = vars.CreateVariable("a", PT_INT, SCOPE_GLOBAL);
    a->Value().SetDims({4, 8});
    for (int k = 0; k < 32; ++k) a->Value().SetIntAt(k, k);
    vars.CreateVariable("n", PT_INT, SCOPE_GLOBAL);
    vars.CreateVariable("x", PT_FLOAT, SCOPE_GLOBAL);
    vars.CreateVariable("t", PT_STR, SCOPE_GLOBAL);
    vars.CreateVariable("f", PT_BOOL, SCOPE_GLOBAL);
    TBuildVornParser b;
    b.Compile("n = (i * 3 + a[2, i - 1]) % 17");
    b.Compile("x = r * 2.5 + i / 2.0");
    b.Compile("t = s ++ \"_\" ++ n");
    b.Compile("f = n >= 5 & x < 100.0");
    parser = b.Build();
  }
};

void BM_CompiledMix(benchmark::State& state) {
  Fixture fx;
  for (auto _ : state) {
    fx.parser.Execute(fx.vars);
    benchmark::DoNotOptimize(fx.vars.Count());
  }
  state.counters["evals/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CompiledMix);

// The same four statements in C++ with the same value semantics (extended reals, the general
// number format for the string join).
void BM_NativeMix(benchmark::State& state) {
  int32_t i = 7;
  long double r = 1.25L;
  std::string s = "name";
  std::vector<int32_t> a(32);
  for (int k = 0; k < 32; ++k) a[static_cast<size_t>(k)] = k;
  benchmark::DoNotOptimize(a.data());
  for (auto _ : state) {
    benchmark::DoNotOptimize(i);
    int32_t n = (i * 3 + a[static_cast<size_t>(2 * 8 + (i - 1))]) % 17;
    long double x = r * 2.5L + i / 2.0L;
    std::string t = s + "_" + FormatInt(n);
    bool f = n >= 5 && x < 100.0L;
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(t);
    benchmark::DoNotOptimize(f);
  }
  state.counters["evals/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_NativeMix);

void BM_CompileMix(benchmark::State& state) {
  for (auto _ : state) {
    TBuildVornParser b;
    b.Compile("n = (i * 3 + a[2, i - 1]) % 17");
    b.Compile("t = s ++ \"_\" ++ n");
    benchmark::DoNotOptimize(b.Build());
  }
}
BENCHMARK(BM_CompileMix);

}  // namespace
