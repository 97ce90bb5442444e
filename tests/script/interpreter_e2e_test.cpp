// The player executable running small compiled games headless: frames per command, waits,
// calls with results, the end page at shutdown, the script trace and the variable dump.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/game_folder.h"
#include "support/player_process.h"

namespace vorn {
namespace {

using test::ProcessResult;
using test::RunProcess;
using test::TempFolder;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

struct PlayResult {
  ProcessResult result;
  std::string vars;
  std::string trace;
};

// Writes the game, runs `frames` frames headless at 15 ms and reads the dump and the trace.
PlayResult Play(const testing::GameSpec& game, int frames) {
  TempFolder folder, out;
  testing::WriteGameFolder(folder.Path(), game);
  PlayResult run;
  run.result = RunProcess(VORN_PLAYER_EXE,
                          {"--headless", "--frames", std::to_string(frames), "--frame-ms", "15", "--trace",
                           out.File("t.txt"), "--dump-vars", out.File("v.txt"), folder.Path()});
  run.vars = ReadFile(out.File("v.txt"));
  run.trace = ReadFile(out.File("t.txt"));
  return run;
}

testing::GameSpec Game(const std::string& main, const testing::PageSources& more = {}) {
  testing::GameSpec g;
  g.pages = more;
  g.pages["main.vsb"] = main;
  return g;
}

TEST(InterpreterRun, CommandsWithoutTheContinueFlagTakeAFrameEach) {
  const std::string steps = "VarNew n; type: int; value: 0\n"
                            "Calc n = n + 1; continue: 0\nCalc n = n + 1; continue: 0\nCalc n = n + 1; continue: 0\n";
  for (int frames : {1, 2, 3}) {
    PlayResult r = Play(Game(steps), frames);
    EXPECT_EQ(r.result.exitStatus, 0) << r.result.err;
    EXPECT_EQ(r.vars, "n\tint\t" + std::to_string(frames) + "\n");
  }
  PlayResult all = Play(Game("VarNew n; type: int; value: 0\nCalc n = n + 1\nCalc n = n + 1\nCalc n = n + 1\n"), 1);
  EXPECT_EQ(all.vars, "n\tint\t3\n");
}

TEST(InterpreterRun, WaitOf100MsAt15MsFrames) {
  const std::string page = "VarNew done; type: int; value: 0\nWait 100\nCalc done = 1\n";
  EXPECT_EQ(Play(Game(page), 7).vars, "done\tint\t0\n");
  EXPECT_EQ(Play(Game(page), 8).vars, "done\tint\t1\n");
}

TEST(InterpreterRun, WaitWithNeitherConditionNorTimeNeverEnds) {
  PlayResult r = Play(Game("VarNew done; type: int; value: 0\nWait\nCalc done = 1\n"), 60);
  EXPECT_EQ(r.result.exitStatus, 0) << r.result.err;
  EXPECT_EQ(r.vars, "done\tint\t0\n");
}

TEST(InterpreterRun, CallOfAPageWithAnIntegerResultCreatesTheResultVariable) {
  PlayResult r = Play(Game("VarNew s; type: string; value: \"a\"\nCall page: sub.vsb; result: r; cond: TRUE; args: 7\n"
                    "Calc s = s ++ \"b\"\n",
                    {{"sub.vsb", "%result int\nVarNew inner; type: int; value: 1; scope: local\n"}}),
                1);
  EXPECT_EQ(r.vars, "s\tstring\tab\nr\tint\t0\n");
}

TEST(InterpreterRun, TraceLinesAndTheEndPageAtShutdown) {
  testing::GameSpec g = Game("VarNew e; type: int; value: 0\nWait 20\nJump page: main.vsb; label: here; cond: TRUE\n"
                             "*here\nDoEvent\n");
  g.endPage = "end.vsb";
  g.pages["end.vsb"] = "Calc e = 5\nWait\nCalc e = 6\n";
  PlayResult r = Play(g, 4);
  EXPECT_EQ(r.result.exitStatus, 0) << r.result.err;
  EXPECT_EQ(r.vars, "e\tint\t5\n");  // the end page ran up to its Wait
  EXPECT_EQ(r.trace,
            "0000000f : main.vsb(1)\n"
            "0000000f : main.vsb(2)\n"
            "0000002d : main.vsb(3)\n"
            "0000002d : main.vsb(4)\n"
            "0000002d : main.vsb(5)\n"
            "0000003c : end.vsb(1)\n"
            "0000003c : end.vsb(2)\n");
}

TEST(InterpreterRun, MissingStartPageEndsTheRunWithItsMessage) {
  testing::GameSpec g = Game("Calc 1\n");
  g.startPage = "none.vsb";
  TempFolder folder;
  testing::WriteGameFolder(folder.Path(), g);
  ProcessResult r = RunProcess(VORN_PLAYER_EXE, {"--headless", "--frames", "5", folder.Path()});
  EXPECT_NE(r.err.find("dialog: "), std::string::npos) << r.err;
}

}  // namespace
}  // namespace vorn
