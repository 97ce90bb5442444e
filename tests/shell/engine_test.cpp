// The engine on the headless platform: start-up and shutdown order, the loop's time values,
// scripted quit, ConfirmQuit, an exception escaping Tick, activation, full-screen switching
// and the window layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/native.h"
#include "script/project_setting.h"
#include "shell/engine.h"
#include "shell/main_loop.h"
#include "shell/window_layout.h"
#include "support/game_folder.h"
#include "support/player_process.h"

namespace vorn {
namespace {

// A game whose start page waits for ever: it loads, runs and never ends by itself.
void WriteWaitingGame(const std::string& folder) {
  testing::GameSpec game;
  game.title = "Demo";
  game.pages["main.vsb"] = "Wait\n";
  testing::WriteGameFolder(folder, game);
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteWaitingGame(folder_.Path()); }

  std::unique_ptr<Engine> MakeEngine(BackendOptions options = {}) {
    std::string why;
    std::unique_ptr<Platform> platform = CreateHeadlessPlatform(options, why);
    EXPECT_TRUE(platform) << why;
    EngineConfig config;
    config.gameArgs = {folder_.Path()};
    config.exeFolder = folder_.Path() + "/";
    config.gameIniPath = folder_.File("game.ini");
    config.framePeriod = options.frameMs;
    return std::make_unique<Engine>(std::move(platform), config);
  }

  static InputEvent Event(InputKind kind) {
    InputEvent e;
    e.kind = kind;
    return e;
  }

  test::TempFolder folder_;
};

TEST_F(EngineTest, StartsAndShutsDownInTheDocumentedOrder) {
  std::unique_ptr<Engine> engine = MakeEngine();
  engine->Start();
  ASSERT_FALSE(engine->State().TerminateRequested);
  const std::vector<std::string> startUp = {"InitDll",        "FormCreate",      "TBasePanel.Create",
                                            "DXSound.Initialize", "VornInitialize", "TProject.Create",
                                            "MediaInit",      "VornInitColor"};
  EXPECT_EQ(engine->Checkpoints(), startUp);
  engine->FinalizeEngine();
  engine->FinalizeEngine();  // a second call changes nothing
  const std::vector<std::string> shutdown = {
      "Project.Free",  "SysFuncMan.Free", "ParamMan.Free", "VornFinalize",  "TextRead.Free",
      "TextHistoryFormats.Free", "Bases.Free", "SelRectDIB.Free", "TransBGDIB.Free", "GaleMan.Free",
      "ClipMan.Free",  "MediaFinal",      "ScreenMan.Free", "VideoMan.Free", "WaveMan.Free",
      "WmpMan.Free",   "OggMan.Free",     "CddaMan.Free",  "MidiMan.Free",  "vornFinal",
      "FormClose"};
  const std::vector<std::string> all = engine->Checkpoints();
  EXPECT_EQ(std::vector<std::string>(all.begin() + startUp.size(), all.end()), shutdown);
  EXPECT_EQ(engine->ExitStatus(), 0);
}

TEST_F(EngineTest, FramesAdvanceTheClockByTheFixedStep) {
  BackendOptions options;
  options.frameMs = 20;
  std::unique_ptr<Engine> engine = MakeEngine(options);
  engine->Start();
  const uint32_t frames = RunMainLoop(*engine, LoopOptions{5, {}});
  EXPECT_EQ(frames, 5u);
  EXPECT_EQ(engine->State().GameClock, 100u);
  EXPECT_EQ(engine->State().FrameDelta, 20u);
  EXPECT_TRUE(engine->State().TerminateRequested);
  EXPECT_EQ(engine->ExitStatus(), 0);
  EXPECT_EQ(engine->State().Seed, 0u);  // headless runs are deterministic by default
  // The game's 640 x 480 screen, black while nothing is drawn.
  const FrameBuffer& shown = engine->Services().display->Presented();
  EXPECT_EQ(shown.Width(), 640);
  EXPECT_EQ(shown.Height(), 480);
  EXPECT_TRUE(std::all_of(shown.Pixels().begin(), shown.Pixels().end(), [](uint32_t p) { return p == 0; }));
}

TEST_F(EngineTest, ScriptedQuitEndsBeforeItsFrame) {
  BackendOptions options;
  options.input.push_back({3, Event(InputKind::Quit)});
  std::unique_ptr<Engine> engine = MakeEngine(options);
  engine->Start();
  EXPECT_EQ(RunMainLoop(*engine, LoopOptions{}), 2u);
  EXPECT_EQ(engine->ExitStatus(), 0);
}

TEST_F(EngineTest, ConfirmQuitAsksWithTheTitleAndNoKeepsTheFlag) {
  const char* saved = std::getenv("LANG");
  const std::string savedLang = saved ? saved : "";
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  for (const DialogAnswer answer : {DialogAnswer::No, DialogAnswer::Yes}) {
    BackendOptions options;
    options.answer = answer;
    std::unique_ptr<Engine> engine = MakeEngine(options);
    engine->Start();
    setenv("LANG", "C", 1);
    ::testing::internal::CaptureStderr();
    engine->ConfirmQuit();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "dialog: Do you want to exit Demo?\n");
    EXPECT_EQ(engine->State().TerminateRequested, answer == DialogAnswer::Yes);
    EXPECT_EQ(engine->ExitStatus(), 0);
  }
  // In Japanese: "「Demo」を終了しますか？".
  BackendOptions options;
  options.answer = DialogAnswer::No;
  std::unique_ptr<Engine> engine = MakeEngine(options);
  engine->Start();
  setenv("LANG", "ja_JP.UTF-8", 1);
  ::testing::internal::CaptureStderr();
  engine->HandleInput(Event(InputKind::ToolbarQuit));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "dialog: \xE3\x80\x8C" "Demo\xE3\x80\x8D\xE3\x82\x92\xE7\xB5\x82\xE4\xBA\x86\xE3\x81"
            "\x97\xE3\x81\xBE\xE3\x81\x99\xE3\x81\x8B\xEF\xBC\x9F\n");
  EXPECT_FALSE(engine->State().TerminateRequested);
  if (saved) setenv("LANG", savedLang.c_str(), 1); else unsetenv("LANG");
}

// An engine whose frame fails from the given frame on.
class FailingEngine : public Engine {
 public:
  using Engine::Engine;
  void Tick() override {
    if (++ticks >= 2) throw std::runtime_error("boom");
  }
  int ticks = 0;
};

TEST_F(EngineTest, AnExceptionEscapingTickIsShownOnceAndEndsTheRun) {
  std::string why;
  WriteWaitingGame(folder_.Path());
  EngineConfig config;
  config.gameArgs = {folder_.Path()};
  config.exeFolder = folder_.Path() + "/";
  config.gameIniPath = folder_.File("game.ini");
  FailingEngine engine(CreateHeadlessPlatform({}, why), config);
  engine.Start();
  ::testing::internal::CaptureStderr();
  const uint32_t frames = RunMainLoop(engine, LoopOptions{100, {}});
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(frames, 2u);
  EXPECT_EQ(engine.ticks, 2);
  EXPECT_EQ(engine.ExitStatus(), 1);
  EXPECT_EQ(err, "vornplayer: boom\ndialog: boom\n");
  engine.FinalizeEngine();
  EXPECT_EQ(engine.Checkpoints().back(), "FormClose");
}

TEST_F(EngineTest, InactiveTimeIsNotCounted) {
  // The project pauses while the window is inactive.
  TProjectSetting setting;
  setting.title = "Demo";
  setting.startPage = "main.vsb";
  setting.pauseWhenInactive = true;
  const std::vector<uint8_t> bytes = setting.SaveToBytes();
  WriteFileAtomic(folder_.File("vorn.vpb"), bytes.data(), bytes.size());
  std::unique_ptr<Engine> engine = MakeEngine();
  engine->Start();
  RunMainLoop(*engine, LoopOptions{2, {}});
  const uint32_t before = engine->State().GameClock;
  engine->HandleInput(Event(InputKind::Deactivate));
  EXPECT_TRUE(engine->LoopSuspended());
  engine->Services().clock->Sleep(5000);
  engine->HandleInput(Event(InputKind::Activate));
  EXPECT_FALSE(engine->LoopSuspended());
  EXPECT_EQ(engine->State().LastTickTime, engine->Services().clock->NowMs());
  engine->State().TerminateRequested = false;
  RunMainLoop(*engine, LoopOptions{1, {}});
  EXPECT_EQ(engine->State().GameClock, before + 15);
}

TEST_F(EngineTest, AFolderWithoutAProjectEndsWithAFailureStatus) {
  std::remove(folder_.File("vorn.vpb").c_str());
  std::unique_ptr<Engine> engine = MakeEngine();
  ::testing::internal::CaptureStderr();
  engine->Start();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(engine->State().TerminateRequested);
  EXPECT_EQ(engine->ExitStatus(), 1);
  EXPECT_NE(err.find("vorn.vpb"), std::string::npos) << err;
  engine->FinalizeEngine();
}

TEST_F(EngineTest, WithoutPausingDeactivationKeepsTheLoopRunning) {
  std::unique_ptr<Engine> engine = MakeEngine();
  engine->Start();
  engine->HandleInput(Event(InputKind::Deactivate));
  EXPECT_FALSE(engine->LoopSuspended());
  EXPECT_EQ(RunMainLoop(*engine, LoopOptions{3, {}}), 3u);
}

TEST_F(EngineTest, FullScreenSwitchRelaysOutAndClearsTheSwitchingFlag) {
  std::unique_ptr<Engine> engine = MakeEngine();
  engine->Start();
  engine->HandleInput(Event(InputKind::ToolbarScreenSwitch));
  EXPECT_TRUE(engine->Services().display->IsFullScreen());
  EXPECT_FALSE(engine->State().SwitchingScreen);
  const std::vector<std::string>& cps = engine->Checkpoints();
  EXPECT_NE(std::find(cps.begin(), cps.end(), "SetFullScreen.Full.SetScreenManIndex"), cps.end());
  EXPECT_EQ(cps.back(), "SetFullScreen.MediaResume");
  engine->SetFullScreen(false);
  EXPECT_FALSE(engine->Services().display->IsFullScreen());
  EXPECT_NE(std::find(cps.begin(), cps.end(), "SetFullScreen.Normal.RestoreWindow"), cps.end());
}

TEST(WindowLayout, DockAboveTheScreenWhenWindowedNoneInFullScreen) {
  const WindowLayout windowed = ComputeWindowLayout(640, 480, true, false);
  EXPECT_EQ(windowed.clientWidth, 640);
  EXPECT_EQ(windowed.clientHeight, 502);
  EXPECT_EQ(windowed.panelX, 0);
  EXPECT_EQ(windowed.panelY, 22);
  const WindowLayout noDock = ComputeWindowLayout(800, 600, false, false);
  EXPECT_EQ(noDock.clientHeight, 600);
  EXPECT_EQ(noDock.panelY, 0);
  const WindowLayout full = ComputeWindowLayout(800, 600, true, true);
  EXPECT_EQ(full.clientHeight, 600);
  EXPECT_EQ(full.panelY, 0);
}

TEST(WindowLayout, CentringTruncatesTowardZero) {
  const Point a = CentreInArea(0, 0, 1920, 1040, 640, 502);
  EXPECT_EQ(a.x, 640);
  EXPECT_EQ(a.y, 269);
  const Point b = CentreInArea(10, 30, 1001, 767, 640, 502);
  EXPECT_EQ(b.x, 10 + 180);
  EXPECT_EQ(b.y, 30 + 132);
  // A window larger than the area: -70.5 truncates to -70, not -71.
  const Point c = CentreInArea(0, 0, 499, 400, 640, 400);
  EXPECT_EQ(c.x, -70);
}

}  // namespace
}  // namespace vorn
