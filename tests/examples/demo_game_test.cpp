// The demo game as the build makes it (examples/demo compiled by vornc, packed by vornpack),
// played headless by the player: what its variables hold at the end, and part-way through.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/player_process.h"

namespace vorn {
namespace {

using test::ProcessResult;
using test::RunProcess;
using test::TempFolder;

struct DemoRun {
  ProcessResult result;
  std::string vars;
  std::string trace;
};

DemoRun PlayDemo(int frames) {
  TempFolder out;
  // A copy of the game per run: one player per game folder, and the tests run in parallel.
  const std::string game = out.File("game");
  std::filesystem::copy(VORN_DEMO_GAME_DIR, game, std::filesystem::copy_options::recursive);
  DemoRun run;
  run.result = RunProcess(VORN_PLAYER_EXE, {"--headless", "--frames", std::to_string(frames), "--trace",
                                            out.File("t.txt"), "--dump-vars", out.File("v.txt"), game});
  run.vars = test::ReadTextFile(out.File("v.txt"));
  run.trace = test::ReadTextFile(out.File("t.txt"));
  return run;
}

TEST(DemoGame, IsOneArchiveInTheGameFolder) {
  EXPECT_TRUE(std::filesystem::is_regular_file(std::string(VORN_DEMO_GAME_DIR) + "/game.dat"));
  EXPECT_FALSE(std::filesystem::exists(std::string(VORN_DEMO_GAME_DIR) + "/vorn.vpb"));
}

TEST(DemoGame, RunsToItsLastWaitAndTheEndPageAtShutdown) {
  DemoRun run = PlayDemo(120);
  EXPECT_EQ(run.result.exitStatus, 0) << run.result.err;
  EXPECT_EQ(run.result.err, "");
  EXPECT_EQ(run.vars,
            "greeting\tstring\thello\n"
            "rounds\tint\t10\n"
            "total\tint\t100\n"
            "average\treal\t12.5\n"
            "finished\tflag\tTRUE\n"
            "story\tstring\thello loop call jump two end\n"
            "checked\tflag\tFALSE\n"
            "farewell\tstring\tbye\n");
  // Every page ran; the skipped and never-reached lines did not.
  for (const char* page : {"start.vsb(", "double.vsb(", "chapters.vsb(", "end.vsb("})
    EXPECT_NE(run.trace.find(page), std::string::npos) << page;
}

TEST(DemoGame, PartWayThroughTheLoopAndTheWait) {
  // Frame 4: the loop has added rounds 0..3 (one frame each).
  DemoRun loop = PlayDemo(4);
  EXPECT_EQ(loop.result.exitStatus, 0) << loop.result.err;
  EXPECT_NE(loop.vars.find("total\tint\t10\n"), std::string::npos) << loop.vars;
  EXPECT_NE(loop.vars.find("story\tstring\thello\n"), std::string::npos) << loop.vars;
  // Frame 20: inside the half-second wait, after the call.
  DemoRun wait = PlayDemo(20);
  EXPECT_NE(wait.vars.find("total\tint\t100\n"), std::string::npos) << wait.vars;
  EXPECT_NE(wait.vars.find("story\tstring\thello loop call\n"), std::string::npos) << wait.vars;
  EXPECT_NE(wait.vars.find("finished\tflag\tFALSE\n"), std::string::npos) << wait.vars;
}

}  // namespace
}  // namespace vorn
