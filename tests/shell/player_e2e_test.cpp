// The real player executable: a headless run with a screenshot, refusals of bad input, the
// single-instance rule with real processes, and the SDL window under a virtual X server.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "support/game_folder.h"
#include "support/player_process.h"

namespace vorn {
namespace {

using test::ProcessOptions;
using test::ProcessResult;
using test::RunProcess;
using test::TempFolder;

const std::string kPlayer = VORN_PLAYER_EXE;

// Width and height from a PNG's header, or {-1, -1}.
std::pair<int, int> PngSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char h[24] = {};
  if (!in.read(reinterpret_cast<char*>(h), sizeof h)) return {-1, -1};
  if (h[0] != 0x89 || h[1] != 'P' || h[12] != 'I' || h[13] != 'H') return {-1, -1};
  auto be = [&](int at) { return (h[at] << 24) | (h[at + 1] << 16) | (h[at + 2] << 8) | h[at + 3]; };
  return {be(16), be(20)};
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// A temporary folder holding a game whose start page waits for ever.
struct GameFolder : TempFolder {
  GameFolder() {
    testing::GameSpec game;
    game.pages["main.vsb"] = "Wait\n";
    testing::WriteGameFolder(Path(), game);
  }
};

TEST(PlayerRun, HeadlessThreeFramesWritesAScreenshotOfTheGameScreen) {
  GameFolder game;
  TempFolder out;
  const ProcessResult r = RunProcess(
      kPlayer, {"--headless", "--frames", "3", "--screenshot", "3:" + out.File("out.png"),
                "--trace", out.File("trace.txt"), "--dump-vars", out.File("vars.txt"), "--seed", "7",
                game.Path()});
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(PngSize(out.File("out.png")), std::make_pair(640, 480));
  EXPECT_TRUE(Exists(out.File("trace.txt")));
  EXPECT_TRUE(Exists(out.File("vars.txt")));
}

TEST(PlayerRun, ScriptedQuitEndsNormally) {
  GameFolder game;
  test::WriteTextFile(game.File("input.txt"), "1 click 10 10\n2 key 13\n3 quit\n");
  const ProcessResult r = RunProcess(
      kPlayer, {"--headless", "--input", game.File("input.txt"), "--screenshot",
                "2:" + game.File("two.png"), game.Path()});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_TRUE(Exists(game.File("two.png")));
}

TEST(PlayerRun, BadInputGivesAClearMessageAndAFailureStatus) {
  GameFolder game;
  test::WriteTextFile(game.File("bad.txt"), "1 move 1 1\n2 jump 3\n");
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"--bogus", game.Path()}, "unknown option --bogus"},
      {{"--headless", game.File("missing")}, "game folder not found: " },
      {{"--headless", "--input", game.File("bad.txt"), game.Path()}, "bad.txt line 2: unknown event \"jump\""},
      {{"--headless", "--input", game.File("none.txt"), game.Path()}, "input script not found"},
      {{"--headless", "--frames", "2", "--screenshot", "5:" + game.File("x.png"), game.Path()},
       "the run ended after frame 2"},
      {{"/CONFIG"}, "settings dialog (/config) is not available yet"},
      {{"--Config", game.Path()}, "settings dialog (/config) is not available yet"},
  };
  for (const auto& c : cases) {
    const ProcessResult r = RunProcess(kPlayer, c.args);
    EXPECT_NE(r.exitStatus, 0) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("AddressSanitizer"), std::string::npos) << r.err;
  }
}

TEST(PlayerRun, MalformedGameIniBesideTheExecutableIsRefused) {
  // A copy of the player in its own folder, so its game.ini is ours alone.
  TempFolder bin;
  GameFolder game;
  const std::string copy = bin.File("vornplayer");
  std::filesystem::copy_file(kPlayer, copy);
  chmod(copy.c_str(), 0755);
  test::WriteTextFile(bin.File("game.ini"), "[Sound]\r\nDelayTime=300\r\nthis is not a setting\r\n");
  ProcessResult r = RunProcess(copy, {"--headless", "--frames", "1", game.Path()});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_NE(r.err.find("game.ini line 3: expected [Section] or Key=Value"), std::string::npos) << r.err;

  test::WriteTextFile(bin.File("game.ini"), "[Sound]\r\nDelayTime=junk\r\n[Debug]\r\nScriptTrace=1\r\n");
  r = RunProcess(copy, {"--headless", "--frames", "1", game.Path()});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  // The trace enabled in game.ini goes to dbglog.txt beside the executable.
  EXPECT_TRUE(Exists(bin.File("dbglog.txt")));
}

TEST(PlayerRun, OneInstancePerGameFolder) {
  GameFolder first, second;
  TempFolder out;
  // The first player runs (almost) forever; its first screenshot tells that it holds the lock.
  const pid_t running = test::StartProcess(
      kPlayer, {"--headless", "--frames", "4000000000", "--screenshot", "1:" + out.File("first.png"),
                first.Path()});
  ASSERT_GT(running, 0);
  for (int i = 0; i < 300 && !Exists(out.File("first.png")); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_TRUE(Exists(out.File("first.png")));

  // Same folder, named differently: ends at once, silently, with a normal status.
  const ProcessResult same = RunProcess(
      kPlayer, {"--headless", "--frames", "3", "--screenshot", "3:" + out.File("same.png"),
                first.Path() + "/./"});
  EXPECT_EQ(same.exitStatus, 0);
  EXPECT_EQ(same.out, "");
  EXPECT_EQ(same.err, "");
  EXPECT_FALSE(Exists(out.File("same.png")));

  // Another folder runs.
  const ProcessResult other = RunProcess(
      kPlayer, {"--headless", "--frames", "3", "--screenshot", "3:" + out.File("other.png"),
                second.Path()});
  EXPECT_EQ(other.exitStatus, 0) << other.err;
  EXPECT_TRUE(Exists(out.File("other.png")));

  // SIGTERM ends the first one through the normal shutdown.
  EXPECT_EQ(test::StopProcess(running), 0);

  // With the first gone, the folder is free again.
  const ProcessResult again = RunProcess(
      kPlayer, {"--headless", "--frames", "1", "--screenshot", "1:" + out.File("again.png"), first.Path()});
  EXPECT_EQ(again.exitStatus, 0);
  EXPECT_TRUE(Exists(out.File("again.png")));
}

bool HaveXvfb() { return access("/usr/bin/xvfb-run", X_OK) == 0; }

TEST(PlayerWindow, RunsAFewFramesInARealWindowUnderXvfb) {
  if (!HaveXvfb()) GTEST_SKIP() << "xvfb-run is not installed";
  GameFolder game;
  ProcessOptions options;
  // Under the sanitizers, the X server's GL driver (loaded by SDL's renderer, without symbols)
  // keeps allocations to the end of the process; leaks are checked by the headless runs.
  options.setEnv = {{"SDL_AUDIODRIVER", "dummy"}, {"ASAN_OPTIONS", "detect_leaks=0"}};
  options.unsetEnv = {"WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
  options.timeoutSeconds = 120;
  const ProcessResult r = RunProcess(
      "xvfb-run", {"-a", "-s", "-screen 0 1024x768x24", kPlayer, "--frames", "5", "--screenshot",
                   "5:" + game.File("window.png"), game.Path()},
      options);
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(PngSize(game.File("window.png")), std::make_pair(640, 480));
}

TEST(PlayerWindow, WithoutADisplayItSaysSoAndFails) {
  GameFolder game;
  ProcessOptions options;
  options.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
  options.setEnv = {{"SDL_AUDIODRIVER", "dummy"}};
  const ProcessResult r = RunProcess(kPlayer, {"--frames", "2", game.Path()}, options);
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_NE(r.err.find("cannot open a window: no display available"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace vorn
