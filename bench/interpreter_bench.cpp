// The interpreter on a loop-heavy page (While with Calc, If and a Call per round), reported
// as commands per second; beside it, the same expressions evaluated directly without the
// interpreter, the floor that the command dispatch adds to.
#include <benchmark/benchmark.h>

#include "params/build_vorn_parser.h"
#include "support/game_folder.h"

namespace vorn {
namespace {

constexpr int kRounds = 2000;

const testing::PageSources& Pages() {
  static const testing::PageSources pages = {
      {"main.vsb",
       "VarNew i; type: int; value: 0\n"
       "VarNew s; type: int; value: 0\n"
       "VarNew odd; type: int; value: 0\n"
       "While i < " + std::to_string(kRounds) + "; init: i = 0; step: i = i + 1\n"
       "  Calc s = s + i\n"
       "  If i % 2 == 1\n"
       "    Calc odd = odd + 1\n"
       "  Else\n"
       "    Calc s = s - 1\n"
       "  Call page: sub.vsb; cond: TRUE\n"},
      {"sub.vsb", "Calc s = s + 2\n"},
  };
  return pages;
}

// Commands one run of the page executes: VarNew x3, WhileInit, per round While, Calc, If,
// one branch command (Calc, or Else skipped over plus Calc), Call, the called Calc and
// WhileLoop, and the final While.
int64_t CommandsPerRun() {
  return 3 + 1 + kRounds * 7 + 1;
}

void BM_InterpreterLoopPage(benchmark::State& st) {
  struct QuietHost : testing::MemoryPageHost {
    using MemoryPageHost::MemoryPageHost;
    bool TraceEnabled() const override { return false; }
  } quiet(Pages());
  for (auto _ : st) {
    TParamCollection vars;
    TTimerList events;
    EngineState state;
    TCallMan cm(vars, events, state, quiet);
    cm.Start("main.vsb");
    cm.Run();
    // sum of i, one less per even round, two more per call
    if (vars.FindVariable("s")->Value().GetInt() != 1999000 - 1000 + 2 * kRounds) {
      st.SkipWithError("the loop page computed a wrong sum");
      break;
    }
  }
  st.counters["commands/s"] =
      benchmark::Counter(static_cast<double>(CommandsPerRun()) * static_cast<double>(st.iterations()),
                         benchmark::Counter::kIsRate);
}
BENCHMARK(BM_InterpreterLoopPage)->Unit(benchmark::kMillisecond);

// Reference: the expressions of one round evaluated straight, no commands around them.
void BM_ExpressionsAlone(benchmark::State& st) {
  TVornParser cond = CompileExpression("i < " + std::to_string(kRounds));
  TVornParser add = CompileExpression("s = s + i");
  TVornParser odd = CompileExpression("i % 2 == 1");
  TVornParser incOdd = CompileExpression("odd = odd + 1");
  TVornParser sub = CompileExpression("s = s + 2");
  TVornParser step = CompileExpression("i = i + 1");
  for (auto _ : st) {
    TParamCollection vars;
    for (const char* n : {"i", "s", "odd"}) vars.CreateVariable(n, PT_INT, SCOPE_GLOBAL);
    for (;;) {
      cond.Execute(vars);
      if (!cond.Result()->GetBool()) break;
      add.Execute(vars);
      odd.Execute(vars);
      if (odd.Result()->GetBool()) incOdd.Execute(vars);
      sub.Execute(vars);
      step.Execute(vars);
    }
    benchmark::DoNotOptimize(vars.FindVariable("s")->Value().GetInt());
  }
  st.counters["rounds/s"] = benchmark::Counter(static_cast<double>(kRounds) * static_cast<double>(st.iterations()),
                                               benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ExpressionsAlone)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorn
