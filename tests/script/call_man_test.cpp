// The interpreter on pages compiled in memory: frames per command, waits, calls and results,
// events and nested handlers on the queue, PCReset, the page cache and its load failures.
#include "script/call_man.h"

#include <gtest/gtest.h>

#include "support/game_folder.h"
#include "resources/error.h"
#include "resources/stream.h"
#include "script/commands_flow.h"

namespace vorn {
namespace {

using testing::MemoryPageHost;
using testing::PageSources;

class FakeSender : public TEventSender {
 public:
  explicit FakeSender(std::string n) : name(std::move(n)) {}
  std::string SenderName() const override { return name; }
  std::string name;
};

struct Interp {
  explicit Interp(const PageSources& pages) : host(pages), cm(vars, events, state, host) {}
  Interp(std::initializer_list<PageSources::value_type> pages) : Interp(PageSources(pages)) {}
  void Frame() {
    state.GameClock += 15;
    state.FrameDelta = 15;
    cm.Run();
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
  }
  int32_t Int(const std::string& name) {
    TParamCollectionItem* v = vars.FindVariable(name);
    EXPECT_NE(v, nullptr) << name;
    return v ? v->Value().GetInt() : -999;
  }
  bool Has(const std::string& name) { return vars.FindVariable(name) != nullptr; }
  void Enqueue(const FakeSender& s, const std::string& handler) {
    events.Enqueue(SenderRef(&s), handler, TArrayString(), 0);
  }

  TParamCollection vars;
  TTimerList events;
  EngineState state;
  MemoryPageHost host;
  TCallMan cm;
};

TEST(CallManTest, CommandsWithoutContinueTakeOneFrameEach) {
  Interp a({{"main.vsb",
             "VarNew n; type: int; value: 0\n"
             "Calc n = n + 1; continue: 0\nCalc n = n + 1; continue: 0\nCalc n = n + 1; continue: 0\n"}});
  a.cm.Start("main.vsb");
  a.Frame();  // VarNew continues into the first Calc
  EXPECT_EQ(a.Int("n"), 1);
  a.Frame();
  EXPECT_EQ(a.Int("n"), 2);
  a.Frame();
  EXPECT_EQ(a.Int("n"), 3);

  Interp b({{"main.vsb",
             "VarNew n; type: int; value: 0\nCalc n = n + 1\nCalc n = n + 1\nCalc n = n + 1\n"}});
  b.cm.Start("main.vsb");
  b.Frame();
  EXPECT_EQ(b.Int("n"), 3);
  EXPECT_FALSE(b.cm.RunFlag());  // the page ended with an empty stack
}

TEST(CallManTest, WaitOf100MsAt15MsFramesEndsAfterOneDelayFramePlusSeven) {
  Interp a({{"main.vsb", "VarNew done; type: int; value: 0\nWait 100\nCalc done = 1\n"}});
  a.cm.Start("main.vsb");
  for (int frame = 1; frame <= 7; ++frame) {
    a.Frame();
    EXPECT_EQ(a.Int("done"), 0) << "frame " << frame;
  }
  a.Frame();
  EXPECT_EQ(a.Int("done"), 1);
}

TEST(CallManTest, WaitWithoutConditionAndTimeNeverEndsButLetsEventsRun) {
  Interp a({{"main.vsb", "VarNew done; type: int; value: 0\nVarNew hits; type: int; value: 0\nWait\nCalc done = 1\n"},
            {"h.vsb", "Calc hits = hits + 1\n"}});
  a.cm.Start("main.vsb");
  a.Frames(50);
  EXPECT_EQ(a.Int("done"), 0);
  FakeSender s("button");
  a.Enqueue(s, "h.vsb");
  a.Frame();
  EXPECT_EQ(a.Int("hits"), 1);
  EXPECT_EQ(a.events.Count(), 0);
  a.Frames(5);
  EXPECT_EQ(a.Int("done"), 0);  // the Wait goes on after the handler
}

TEST(CallManTest, WaitWithNoEventsHoldsTheQueue) {
  Interp a({{"main.vsb", "VarNew hits; type: int; value: 0\nWait; cond: hits == 0; noevents: TRUE\n"},
            {"h.vsb", "Calc hits = hits + 1\n"}});
  a.cm.Start("main.vsb");
  a.Frame();
  FakeSender s("b");
  a.Enqueue(s, "h.vsb");
  a.Frames(3);
  EXPECT_EQ(a.Int("hits"), 0);
  EXPECT_EQ(a.events.Count(), 1);
}

TEST(CallManTest, WaitConditionFalseEndsIt) {
  Interp a({{"main.vsb", "VarNew go; type: int; value: 0\nVarNew done; type: int; value: 0\n"
                         "Wait; cond: go == 0\nCalc done = 1\n"}});
  a.cm.Start("main.vsb");
  a.Frames(3);
  EXPECT_EQ(a.Int("done"), 0);
  a.vars.FindVariable("go")->Value().SetInt(1);
  a.Frame();
  EXPECT_EQ(a.Int("done"), 1);
}

TEST(CallManTest, CallWithIntegerResultCreatesTheResultVariable) {
  Interp a({{"main.vsb", "VarNew a; type: string; value: \"x\"\nCall page: sub.vsb; result: r; cond: TRUE; args: 1 + 2, \"s\"\n"
                         "VarNew after; type: int; value: 1\n"},
            {"sub.vsb", "%result int\nVarNew loc; type: int; value: 5; scope: local\n"}});
  a.cm.Start("main.vsb");
  a.Frame();
  TParamCollectionItem* r = a.vars.FindVariable("r");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->GetType(), PT_INT);
  EXPECT_EQ(r->ScopeId, -1);
  EXPECT_EQ(a.Int("after"), 1);
  EXPECT_FALSE(a.Has("loc"));  // the called page's locals went with it
  EXPECT_EQ(a.vars.CurrentScope(), 0);
}

TEST(CallManTest, CallPassesArgumentsAndTheResultValueIntoAnExistingVariable) {
  Interp a({{"main.vsb", "VarNew r; type: string; value: \"old\"\nCall page: sub.vsb; result: r; cond: TRUE; args: 1 + 2, \"s\"\n"},
            {"sub.vsb", "%result real\nWait\n"}});
  a.cm.Start("main.vsb");
  a.Frame();
  ASSERT_EQ(a.cm.Stack().Count(), 1);
  EXPECT_EQ(a.cm.ArgCount(), 2);
  EXPECT_EQ(a.cm.Arg(0), "3");
  EXPECT_EQ(a.cm.Arg(1), "s");
  EXPECT_EQ(a.cm.Arg(2), "");
  ASSERT_NE(a.cm.CurrentResult(), nullptr);
  EXPECT_EQ(a.cm.CurrentResult()->GetType(), PT_FLOAT);
  a.cm.CurrentResult()->SetFloat(2.5L);
  // Leave the Wait by ending the page.
  a.cm.EndPage();
  a.Frame();
  EXPECT_EQ(a.vars.FindVariable("r")->Value().GetStr(), "2.5");  // typed copy into a string
  EXPECT_EQ(a.cm.ArgCount(), 0);
}

TEST(CallManTest, AResultThatDoesNotFitTheVariableIsDroppedAndTheCallerRunsOn) {
  // A real far outside the integer range cannot go into an integer result variable; the
  // return must not raise out of the run like a command error would not either.
  Interp a({{"main.vsb", "VarNew r; type: int; value: 7\nCall page: sub.vsb; result: r; cond: TRUE\n"
                         "VarNew after; type: int; value: 1\n"},
            {"sub.vsb", "%result real\nWait\n"}});
  a.cm.Start("main.vsb");
  a.Frame();
  ASSERT_NE(a.cm.CurrentResult(), nullptr);
  a.cm.CurrentResult()->SetFloat(1e10L);
  a.cm.EndPage();
  EXPECT_NO_THROW(a.Frame());
  EXPECT_EQ(a.Int("r"), 7);
  EXPECT_EQ(a.Int("after"), 1);
  EXPECT_EQ(a.cm.Stack().Count(), 0);
}

TEST(CallManTest, BranchesAndLoops) {
  Interp b({{"main.vsb",
             "VarNew s; type: int; value: 0\nVarNew i; type: int; value: 0\nVarNew k; type: int; value: 0\n"
             "While i < 10; init: i = 0; step: i = i + 1\n"
             "  If i == 2\n"
             "    Continue TRUE\n"
             "  Elseif i == 7\n"
             "    Break TRUE\n"
             "  Elseif i > 4\n"
             "    Calc s = s + 100\n"
             "  Else\n"
             "    Calc s = s + 1\n"
             "  Calc k = k + 1\n"
             "Exit TRUE\n"
             "Calc s = -1\n"}});
  b.cm.Start("main.vsb");
  b.Frame();
  // i = 0,1,3,4 add 1; i = 5,6 add 100; 2 skips the rest; 7 breaks.
  EXPECT_EQ(b.Int("s"), 204);
  EXPECT_EQ(b.Int("k"), 6);
  EXPECT_EQ(b.Int("i"), 7);
}

TEST(CallManTest, JumpAndLabels) {
  Interp a({{"main.vsb", "VarNew n; type: int; value: 1\nJump page: other.vsb; label: there; cond: TRUE\nCalc n = 99\n"},
            {"other.vsb", "Calc n = 0\n*there\nCalc n = n + 10\nJump page: other.vsb; label: there; cond: n < 30\n"
                          "Jump page: other.vsb; label: there; cond: FALSE\n"}});
  a.cm.Start("main.vsb");
  a.Frame();
  EXPECT_EQ(a.Int("n"), 31);

  // Written without a condition, Jump and Exit always happen.
  Interp b({{"main.vsb", "VarNew n; type: int; value: 1\nJump label: end\nCalc n = 99\n*end\nExit\nCalc n = 98\n"}});
  b.cm.Start("main.vsb");
  b.Frame();
  EXPECT_EQ(b.Int("n"), 1);
}

TEST(CallManTest, TraceWritesEachCommandOnceAndEventStarts) {
  Interp a({{"main.vsb", "VarNew n; type: int; value: 0\nWait 30\nCalc n = 1\n"},
            {"h.vsb", "Calc n = 5\n*lab\nCalc n = 6\n"}});
  a.state.GameClock = 0x1a;
  a.cm.Start("main.vsb");
  a.cm.Run();
  FakeSender s("b");
  a.Enqueue(s, "h.vps:lab");
  a.state.GameClock = 0x2b;
  a.cm.Run();
  a.state.GameClock = 0x3c;
  a.cm.Run();
  a.cm.Run();
  EXPECT_EQ(a.host.trace, (std::vector<std::string>{
                              "0000001a : main.vsb(1)",
                              "0000001a : main.vsb(2)",
                              "0000002b : <Event>h.vsb(2)",
                              "0000002b : h.vsb(2)",
                              "0000002b : h.vsb(3)",
                              "0000002b : main.vsb(2)",
                              "0000003c : main.vsb(3)",
                          }));
}

TEST(CallManTest, HandlerThatWaitsLetsASecondHandlerRunNested) {
  Interp a({{"main.vsb", "VarNew trail; type: string; value: \"-\"\nWait\n"},
            {"first.vsb", "Calc trail = trail ++ \"a\"\nWait 45\nCalc trail = trail ++ \"b\"\n"},
            {"second.vsb", "Calc trail = trail ++ \"x\"\nWait 15\nCalc trail = trail ++ \"y\"\n"}});
  a.cm.Start("main.vsb");
  a.Frame();
  FakeSender one("one"), two("two");
  a.Enqueue(one, "first.vsb");
  a.Frame();  // first starts and yields in its Wait
  EXPECT_EQ(a.cm.State(), 2);
  EXPECT_EQ(a.cm.SenderName(), "one");
  EXPECT_EQ(a.events[0].Level, 1);
  a.Enqueue(two, "second.vsb");
  a.Frame();  // second runs nested and yields
  EXPECT_EQ(a.vars.FindVariable("trail")->Value().GetStr(), "-ax");
  EXPECT_EQ(a.cm.Level(), 3);
  EXPECT_EQ(a.events[1].Level, 2);
  EXPECT_EQ(a.cm.SenderName(), "two");
  a.Frames(2);  // its Wait: a frame of delay, then 15 ms; it ends, the first resumes waiting
  EXPECT_EQ(a.vars.FindVariable("trail")->Value().GetStr(), "-axy");
  EXPECT_EQ(a.events.Count(), 1);
  EXPECT_EQ(a.cm.Level(), 2);
  a.Frames(3);  // 30 ms were left
  EXPECT_EQ(a.vars.FindVariable("trail")->Value().GetStr(), "-axyb");
  EXPECT_EQ(a.events.Count(), 0);
  EXPECT_EQ(a.cm.State(), 0);
  EXPECT_EQ(a.cm.SenderName(), "");
  EXPECT_EQ(a.cm.Stack().Count(), 0);
}

TEST(CallManTest, InterruptedWaitKeepsItsStateAcrossAHandler) {
  Interp a({{"main.vsb", "VarNew done; type: int; value: 0\nWait 60\nCalc done = 1\n"},
            {"h.vsb", "Calc done = 0\n"}});
  a.cm.Start("main.vsb");
  a.Frames(3);  // delay, 45 left, 30 left
  FakeSender s("s");
  a.Enqueue(s, "h.vsb");
  a.Frame();  // handler runs, the wait goes on from 30: 15 left
  EXPECT_EQ(a.Int("done"), 0);
  a.Frame();
  EXPECT_EQ(a.Int("done"), 1);
}

TEST(CallManTest, PCResetFromAHandlerChangesWhereTheMainFlowResumes) {
  Interp a({{"main.vsb", "VarNew n; type: int; value: 0\nWait\nCalc n = 1\n*target\nCalc n = 2\n"},
            {"h.vsb", "PCReset page: main.vsb; label: target\nCalc n = 50\n"}});
  a.cm.Start("main.vsb");
  a.Frame();
  FakeSender s("menu");
  a.Enqueue(s, "h.vsb");
  a.Frame();
  // The handler finishes, then the main flow continues at the target.
  EXPECT_EQ(a.Int("n"), 2);
  EXPECT_EQ(a.events.Count(), 0);
  EXPECT_EQ(a.cm.State(), 0);
}

TEST(CallManTest, PCResetInTheMainFlowIsAJumpAndAllRestartsEverything) {
  Interp a({{"main.vsb", "VarNew n; type: int; value: 0\nCall page: sub.vsb; cond: TRUE\n*t\nCalc n = n + 1\n"},
            {"sub.vsb", "VarNew loc; type: int; value: 1; scope: local\nPCReset page: main.vsb; label: t\nCalc n = 100\n"}});
  a.cm.Start("main.vsb");
  a.Frame();
  // Inside the called page PCReset jumps; the called page's frame still returns.
  EXPECT_EQ(a.Int("n"), 2);

  Interp b({{"main.vsb", "VarNew n; type: int; value: 0\nCall page: sub.vsb; cond: TRUE\nCalc n = 100\n*t\nCalc n = n + 1\n"},
            {"sub.vsb", "VarNew loc; type: int; value: 1; scope: local\nPCReset page: main.vsb; label: t; all: 1\n"}});
  b.cm.Start("main.vsb");
  FakeSender s("x");
  b.events.Enqueue(SenderRef(&s), "nothing.vsb", TArrayString(), 0).Level = 0;
  b.host.files.erase("nothing.vsb");
  b.Frame();
  EXPECT_EQ(b.Int("n"), 1);
  EXPECT_FALSE(b.Has("loc"));
  EXPECT_EQ(b.cm.Stack().Count(), 0);
}

TEST(CallManTest, ResetClearsVariablesAndStartsThePage) {
  Interp a({{"main.vsb", "VarNew keep; type: int; value: 7; scope: status\nVarNew n; type: int; value: 0\n"
                         "Calc n = n + 1\nReset page: main.vsb; label: again\n*again\nVarNew m; type: int; value: 3\n"}});
  a.cm.Start("main.vsb");
  a.Frame();
  EXPECT_FALSE(a.Has("n"));
  EXPECT_EQ(a.Int("keep"), 7);
  EXPECT_EQ(a.Int("m"), 3);
  EXPECT_EQ(a.host.resets, 1);
}

TEST(CallManTest, TerminateSetsTheQuitFlagAndStopsTheRun) {
  Interp a({{"main.vsb", "VarNew n; type: int; value: 0\nTerminate\nCalc n = 1\n"}});
  a.cm.Start("main.vsb");
  a.Frame();
  EXPECT_TRUE(a.state.TerminateRequested);
  EXPECT_EQ(a.host.closeRequests, 1);
  EXPECT_EQ(a.Int("n"), 0);
}

TEST(CallManTest, DoEventGivesUpTheFrame) {
  Interp a({{"main.vsb", "VarNew n; type: int; value: 0\nDoEvent\nCalc n = 1\n"}});
  a.cm.Start("main.vsb");
  a.Frame();
  EXPECT_EQ(a.Int("n"), 0);
  a.Frame();
  EXPECT_EQ(a.Int("n"), 1);
}

TEST(CallManTest, VarNewScopesAndStatusVariables) {
  Interp a({{"main.vsb", "VarNew g; type: int; value: 1\nVarNew st; type: int; value: 1; scope: status\n"
                         "Calc st = 9\nVarNew st; type: int; value: 1; scope: status\nVarNew g; type: int; value: 4\n"
                         "Call page: sub.vsb; cond: TRUE\nVarDel gone\nVarDel @Result\nVarNew \"\"\n"},
            {"sub.vsb", "VarNew g; type: int; value: 2; scope: local\nVarNew seen; type: int; value: g\n"
                        "VarNew au; type: real; value: 1.5; scope: auto\n"}});
  a.cm.Start("main.vsb");
  a.Frame();
  EXPECT_EQ(a.Int("st"), 9);     // a status variable keeps its value
  EXPECT_EQ(a.Int("g"), 4);      // an ordinary one is assigned again
  EXPECT_EQ(a.Int("seen"), 2);   // inside the called page the local wins
  EXPECT_FALSE(a.Has("au"));     // auto-deleted with the page
  EXPECT_TRUE(a.Has("@Result"));
}

// ---- failures ----

TEST(CallManTest, FailedLoadsLeaveTheFlowWhereItWas) {
  Interp a({{"main.vsb", "VarNew n; type: int; value: 0\nCall page: bad.vsb; cond: TRUE\nJump page: bad.vsb; cond: TRUE\n"
                         "Calc n = n + 1\n"},
            {"bad.vsb", ""}});
  a.host.files["bad.vsb"] = {0x74, 0, 0, 0, 1};  // truncated page
  a.cm.Start("main.vsb");
  a.Frame();
  EXPECT_EQ(a.Int("n"), 1);  // neither restarted nor run twice
  EXPECT_EQ(a.cm.Stack().Count(), 0);
  a.Frames(3);
  EXPECT_EQ(a.Int("n"), 1);
  EXPECT_EQ(a.host.loads["main.vsb"], 1);
}

TEST(CallManTest, EventWhoseHandlerCannotBeHadIsDroppedOnce) {
  Interp a({{"main.vsb", "VarNew n; type: int; value: 0\nWait\n"}, {"h.vsb", "Calc n = n + 1\n"}});
  a.cm.Start("main.vsb");
  a.Frame();
  FakeSender s("s");
  a.Enqueue(s, "missing.vsb");
  a.Enqueue(s, "h.vsb");
  a.Frame();
  EXPECT_EQ(a.Int("n"), 1);
  EXPECT_EQ(a.events.Count(), 0);
  EXPECT_EQ(a.host.warnings.size(), 1u);
}

TEST(CallManTest, AFrameWhosePageIsGoneUnwindsToTheFrameBelow) {
  Interp a({{"main.vsb", "VarNew n; type: int; value: 0\nCall page: mid.vsb; cond: TRUE\nCalc n = n + 100\n"},
            {"mid.vsb", "Call page: leaf.vsb; cond: TRUE\nCalc n = n + 10\n"},
            {"leaf.vsb", "Calc n = n + 1\nWait; cond: n == 1\n"}});
  a.cm.Start("main.vsb");
  a.Frame();
  // Force mid.vsb out of the cache and out of the files.
  a.host.files.erase("mid.vsb");
  for (int i = 0; i < 12; ++i) {
    std::string name = "p" + std::to_string(i) + ".vsb";
    a.host.files[name] = a.host.files["leaf.vsb"];
    a.cm.FindOrLoad(name, true);  // the running page stays, the others go from the back
  }
  a.cm.SetPc(1);
  a.vars.FindVariable("n")->Value().SetInt(2);
  a.Frames(2);
  EXPECT_EQ(a.Int("n"), 102);
  EXPECT_EQ(a.host.warnings.size(), 1u);
}

TEST(CallManTest, PageCacheKeepsTenPagesMostRecentFirst) {
  PageSources pages;
  for (int i = 0; i < 12; ++i) pages["p" + std::to_string(i) + ".vsb"] = "Label x\n";
  Interp a(pages);
  // A page's own internal variable goes when the page leaves the cache.
  a.vars.AddVariable(1)->SetName("\x01p0.vsb");
  a.vars.AddVariable(1)->SetName("\x01p5.vsb");
  for (int i = 0; i < 12; ++i) a.cm.FindOrLoad("p" + std::to_string(i) + ".vsb", true);
  ASSERT_EQ(a.cm.CachedPages(), 10);
  EXPECT_EQ(a.vars.Find("\x01p0.vsb"), nullptr);
  EXPECT_NE(a.vars.Find("\x01p5.vsb"), nullptr);
  EXPECT_EQ(a.cm.CachedPage(0)->Name(), "p11.vsb");
  EXPECT_EQ(a.cm.CachedPage(9)->Name(), "p2.vsb");
  a.cm.SetPc(5);
  a.cm.FindOrLoad("p5.vsb", true);
  EXPECT_EQ(a.cm.CachedPage(0)->Name(), "p5.vsb");
  EXPECT_EQ(a.cm.Pc(), 0);
  a.cm.SetPc(5);
  a.host.files["P5.vsb"] = a.host.files["p5.vsb"];
  a.cm.FindOrLoad("P5.vsb", false);  // names are matched exactly: a new page, appended
  EXPECT_EQ(a.cm.CachedPage(a.cm.CachedPages() - 1)->Name(), "P5.vsb");
  EXPECT_EQ(a.cm.Pc(), 5);
  EXPECT_EQ(a.host.loads["p5.vsb"], 1);
  EXPECT_THROW(a.cm.FindOrLoad("none.vsb", true), EVornError);
  EXPECT_EQ(a.cm.Pc(), 5);
}

TEST(CallManTest, StackPushAndPopWriteTheDepth) {
  TParamCollection vars;
  TStackList stack(vars);
  stack.Push(std::make_unique<TStack>());
  stack.Push(std::make_unique<TStack>());
  EXPECT_EQ(vars.CurrentScope(), 2);
  stack.Pop();
  EXPECT_EQ(vars.CurrentScope(), 1);
  stack.Pop();
  EXPECT_EQ(vars.CurrentScope(), 0);
  EXPECT_THROW(stack.Pop(), EVornError);
}

TEST(CallManTest, WaitStateRoundTripsWithAndWithoutTag) {
  TComWait w;
  w.remaining = 85;
  w.delay = 0;
  w.blocksEvents = true;
  MemoryStream out;
  BinaryWriter bw(out);
  w.SaveState(bw);
  std::vector<uint8_t> bytes = out.Take();
  ASSERT_EQ(bytes.size(), 7u + 4 + 4 + 1);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 7), "vorn100");
  TComWait back;
  MemoryView view(bytes);
  BinaryReader r(view, "state");
  back.LoadState(r);
  EXPECT_EQ(back.remaining, 85);
  EXPECT_EQ(back.delay, 0);
  EXPECT_TRUE(back.blocksEvents);

  // Version 0: no tag, no blocks-events byte.
  std::vector<uint8_t> old = {40, 0, 0, 0, 1, 0, 0, 0};
  TComWait o;
  o.blocksEvents = true;
  MemoryView v0(old);
  BinaryReader r0(v0, "state");
  o.LoadState(r0);
  EXPECT_EQ(o.remaining, 40);
  EXPECT_EQ(o.delay, 1);
  EXPECT_FALSE(o.blocksEvents);

  std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 9);
  MemoryView vc(cut);
  BinaryReader rc(vc, "state");
  EXPECT_THROW(o.LoadState(rc), EFormatError);
}

}  // namespace
}  // namespace vorn
