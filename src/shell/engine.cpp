// Start-up, shutdown, input routing, activation, full-screen switching and the frame.
#include "shell/engine.h"

#include <chrono>
#include <cstdio>

#include "components/timer_list.h"
#include "params/param_collection.h"
#include "params/system_function_table.h"
#include "platform/native.h"
#include "resources/vr_file_manager.h"
#include "script/project.h"
#include "script/project_runner.h"
#include "resources/cp932.h"
#include "resources/error.h"
#include "shell/window_layout.h"

namespace vorn {

namespace {

// The window caption until a project names the game.
const char* const kDefaultCaption = "VornPlayer";
// The client size of the window before a project sets it.
constexpr int kInitialClientWidth = 563;
constexpr int kInitialClientHeight = 425;

// "「%s」を終了しますか？" around the title.
const char* const kQuitQuestionBefore = "\x81\x75";
const char* const kQuitQuestionAfter =
    "\x81\x76\x82\xf0\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81\x48";

// The project's ways into the window: boxes and the caption.
class EngineProjectHooks final : public ProjectHooks {
 public:
  explicit EngineProjectHooks(Platform& platform) : platform_(platform) {}
  void Warn(const std::string& text, const std::string& caption) override {
    platform_.dialogs->Show(text, caption, DialogIcon::Warning, DialogButtons::Ok);
  }
  void SetTitle(const std::string& title) override { platform_.display->SetCaption(title); }

 private:
  Platform& platform_;
};

// The file manager's boxes: reinstall, insert the disk, confirm quitting.
class EngineDiskPrompter final : public DiskPrompter {
 public:
  explicit EngineDiskPrompter(Platform& platform) : platform_(platform) {}
  bool ConfirmOkCancel(const std::string& text, const std::string& caption) override {
    return platform_.dialogs->Show(text, caption, DialogIcon::Information, DialogButtons::OkCancel) ==
           DialogAnswer::Ok;
  }
  void Inform(const std::string& text, const std::string& caption) override {
    platform_.dialogs->Show(text, caption, DialogIcon::Information, DialogButtons::Ok);
  }

 private:
  Platform& platform_;
};

uint32_t TimeOfDaySeed() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace

Engine::Engine(std::unique_ptr<Platform> platform, EngineConfig config)
    : platform_(std::move(platform)), config_(std::move(config)) {
  // The playback families are in-process modules; they start with the engine.
  Checkpoint("InitDll");
}

Engine::~Engine() {
  // FinalizeEngine frees the managers in order; what follows only releases the platform.
  FinalizeEngine();
}

void Engine::Checkpoint(const char* name) { checkpoints_.emplace_back(name); }

std::string Engine::Title() const {
  if (project_) return project_->Settings().title;
  return kDefaultCaption;
}

bool Engine::HasProject() const {
  return project_ != nullptr;
}

bool Engine::PausesWhenInactive() const {
  return !project_ || project_->Settings().pauseWhenInactive;
}

void Engine::Start() {
  FormCreate();
  try {
    InitializeEngine();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vornplayer: %s\n", Cp932ToUtf8(e.what()).c_str());
    platform_->dialogs->Show(e.what(), Title(), DialogIcon::Warning, DialogButtons::Ok);
    RequestTerminate(1);
  }
}

void Engine::FormCreate() {
  Checkpoint("FormCreate");
  state_.Seed = config_.seed ? *config_.seed
                             : (platform_->clock->IsVirtual() ? 0u : TimeOfDaySeed());
  settings_ = ReadPlayerSettings(IniFile::Load(config_.gameIniPath));
  if (!config_.traceFile.empty())
    trace_.Open(config_.traceFile);
  else if (settings_.ScriptTrace)
    trace_.Open(JoinPath(config_.exeFolder, "dbglog.txt"));

  // slot: add the empty source to the virtual file manager.
  sources_ = FindGameSources(config_.gameArgs, config_.exeFolder, config_.exePath);
  diskPrompter_ = std::make_unique<EngineDiskPrompter>(*platform_);
  files_ = std::make_unique<TVrFileManager>(state_);
  files_->SetPrompter(diskPrompter_.get());
  files_->AddArchive("");  // the memory collection
  files_->SetBaseFolder(sources_.baseFolder);
  for (const std::string& archive : sources_.archives) files_->AddArchive(archive);

  Checkpoint("TBasePanel.Create");
  // The window, its toolbar and the base panel on which the game screen is shown.
  platform_->display->Open(kDefaultCaption, kInitialClientWidth, kInitialClientHeight);
  vars_ = std::make_unique<TParamCollection>();
  funcs_ = std::make_unique<TSysFuncMan>();
  RegisterExpressionFunctions(*funcs_);
  vars_->SetFunctions(funcs_.get());
  formCreated_ = true;
}

void Engine::InitializeEngine() {
  Checkpoint("DXSound.Initialize");
  if (settings_.DirectSound) {
    // A missing or busy device is not an error: the game runs silent.
    try {
      platform_->audio->Open(AudioFormat{44100, 16, 2});
    } catch (const std::exception&) {
    }
  }
  Checkpoint("VornInitialize");
  // slot: the screen-base list, the history formats, the read-text list, the image cache,
  //       the clip manager, the two pattern surfaces and the colour tables, in this order.
  events_ = std::make_unique<TTimerList>();
  Checkpoint("TProject.Create");
  projectHooks_ = std::make_unique<EngineProjectHooks>(*platform_);
  ProjectContext ctx{state_, *files_};
  ctx.variables = vars_.get();
  ctx.hooks = projectHooks_.get();
  ctx.startedWithProjectFolder = !config_.gameArgs.empty() && config_.gameArgs.front() != "/config";
  ctx.createRunner = [this](TProject& project) -> std::unique_ptr<ScriptRunner> {
    RunnerServices services{*vars_, *events_, {}, {}, {}, {}, {}};
    if (trace_.Enabled()) services.trace = [this](const std::string& line) { trace_.WriteText(line); };
    services.warn = [](const std::string& message) {
      std::fprintf(stderr, "vornplayer: %s\n", Cp932ToUtf8(message).c_str());
    };
    services.warningBox = [this](const std::string& text, const std::string& caption) {
      platform_->dialogs->Show(text, caption, DialogIcon::Warning, DialogButtons::Ok);
    };
    services.requestClose = [this] { RequestTerminate(0); };
    services.resetWorld = [this] { events_->Clear(); };
    return std::make_unique<TProjectRunner>(project, std::move(services));
  };
  project_ = std::make_unique<TProject>(std::move(ctx));
  if (state_.TerminateRequested) {
    // The game closes as it would on its own platform, but a run that never started is not a
    // normal end: say so and leave a failure status for whoever started the player.
    if (!project_->Loaded()) {
      std::fprintf(stderr, "vornplayer: no readable project file (vorn.vpb) in the game data\n");
    }
    if (exitStatus_ < 1) exitStatus_ = 1;
  }
  if (project_->Settings().screenWidth > 0 && project_->Settings().screenHeight > 0) {
    screenWidth_ = project_->Settings().screenWidth;
    screenHeight_ = project_->Settings().screenHeight;
  }
  dockVisible_ = project_->Settings().toolbarVisible;
  Checkpoint("MediaInit");
  // slot: the screen manager (when the project's screen size is positive), then the video,
  //       media, Ogg, CD audio and MIDI managers, in this order.
  Checkpoint("VornInitColor");
  // slot: rebuild the colour tables for the display's pixel format.
  platform_->display->SetCaption(Title());
  PlaceWindow();
  // The loop: frames start from now.
  const uint32_t now = platform_->clock->NowMs();
  pacer_ = std::make_unique<FramePacer>(now, config_.framePeriod);
  state_.LastTickTime = now;
}

void Engine::PlaceWindow() {
  const bool full = platform_->display->IsFullScreen();
  // slot: the screen-base list takes the screen size too.
  platform_->display->ApplyLayout(ComputeWindowLayout(screenWidth_, screenHeight_, dockVisible_, full));
}

void Engine::FinalizeEngine() {
  if (finalized_) return;
  finalized_ = true;
  state_.TerminateRequested = true;
  pacer_.reset();
  Checkpoint("Project.Free");
  // The end page runs until it first yields, then the status data is written.
  project_.reset();
  projectHooks_.reset();
  if (formCreated_) WriteVariableDump();
  Checkpoint("SysFuncMan.Free");
  Checkpoint("ParamMan.Free");
  funcs_.reset();
  vars_.reset();
  Checkpoint("VornFinalize");
  Checkpoint("TextRead.Free");
  Checkpoint("TextHistoryFormats.Free");
  Checkpoint("Bases.Free");
  events_.reset();
  Checkpoint("SelRectDIB.Free");
  Checkpoint("TransBGDIB.Free");
  Checkpoint("GaleMan.Free");
  Checkpoint("ClipMan.Free");
  // slot: free each of the above as its checkpoint passes.
  Checkpoint("MediaFinal");
  for (const char* name : {"ScreenMan.Free", "VideoMan.Free", "WaveMan.Free", "WmpMan.Free",
                           "OggMan.Free", "CddaMan.Free", "MidiMan.Free"}) {
    Checkpoint(name);
    // slot: free that manager here.
  }
  Checkpoint("vornFinal");
  companion_.Final();
  Checkpoint("FormClose");
  platform_->audio->Close();
  trace_.Close();
  files_.reset();  // temporary copies go with it
}

void Engine::DumpVariables(std::string& out) const {
  if (vars_) out += vorn::DumpVariables(*vars_);
}

void Engine::WriteVariableDump() {
  if (config_.dumpVarsFile.empty()) return;
  std::string text;
  DumpVariables(text);
  try {
    WriteFileAtomic(config_.dumpVarsFile, text.data(), text.size());
  } catch (const EVornError& e) {
    std::fprintf(stderr, "vornplayer: %s\n", e.what());
    exitStatus_ = 1;
  }
}

void Engine::RequestTerminate(int exitStatus) {
  state_.TerminateRequested = true;
  if (exitStatus > exitStatus_) exitStatus_ = exitStatus;
}

void Engine::ReportFatal(const std::string& message) {
  if (!fatalShown_) {
    fatalShown_ = true;
    std::fprintf(stderr, "vornplayer: %s\n", Cp932ToUtf8(message).c_str());
    platform_->dialogs->Show(message, "Error", DialogIcon::Error, DialogButtons::Ok);
  }
  RequestTerminate(1);
}

void Engine::Tick() {
  // 1. Nothing runs before there is a project.
  if (!HasProject()) return;
  // 2. The virtual file manager deletes the temporary copies whose time is up.
  files_->Age(state_.FrameDelta);
  // 3. slot: input edges of the screen-base list: key edges and repeat, hover and clicks on
  //    the current base, key events to the focused control.
  // 4. The interpreter runs until it yields for this frame.
  project_->Run();
  // 5.
  if (state_.TerminateRequested) return;
  // 6. slot: update every component of the screen-base list.
  // 7.
  ++state_.FrameCounter;
  // 8. The project's pending save and load requests; a performed load skips a frame.
  if (project_->ProcessPending()) state_.PostLoadSkip = 1;
  // 9. The first frame after a load is not drawn.
  if (state_.PostLoadSkip > 0) {
    --state_.PostLoadSkip;
    return;
  }
  // 10. slot: paint the dirty rectangles of both bases, advance a running transition.
  // 11. slot: present the composed screen (screen manager -> Services().display->Present).
  // 12. slot: clear the dirty-rectangle lists of base 0 and base 1.
  // 13. slot: the video manager updates its frames.
}

void Engine::ConfirmQuit() {
  const bool was = state_.TerminateRequested;
  state_.TerminateRequested = true;  // no frame runs while the box is up
  const std::string title = Title();
  const std::string question = UserLanguageIsJapanese()
                                   ? kQuitQuestionBefore + title + kQuitQuestionAfter
                                   : "Do you want to exit " + title + "?";
  const DialogAnswer answer =
      platform_->dialogs->Show(question, title, DialogIcon::Question, DialogButtons::YesNo);
  if (answer == DialogAnswer::Yes)
    RequestTerminate(0);  // the window closes
  else
    state_.TerminateRequested = was;
}

void Engine::SetFullScreen(bool full) {
  Checkpoint("SetFullScreen");
  state_.SwitchingScreen = true;
  struct ClearSwitching {
    EngineState& s;
    ~ClearSwitching() { s.SwitchingScreen = false; }
  } clear{state_};
  Display& display = *platform_->display;
  if (full == display.IsFullScreen()) return;
  // slot: an open MIDI player remembers whether it plays and where, stops, closes its device.
  if (full) {
    Checkpoint("SetFullScreen.Full");
    // slot: stop here unless the screen manager has a chosen mode. Until it exists, full
    //       screen keeps the desktop's mode and the game screen is scaled to the monitor.
    Checkpoint("SetFullScreen.Full.Bases.FreeDX");
    Checkpoint("SetFullScreen.Full.MediaSuspend");
    if (companion_.video) companion_.video->SuspendAll();
    Checkpoint("SetFullScreen.Full.ScreenMan.FreeDX");
    Checkpoint("SetFullScreen.Full.StoreWindow");
    Checkpoint("SetFullScreen.Full.SetScreenManIndex");
    if (!display.SetFullScreen(true)) Checkpoint("SetFullScreen.Full.SetScreenManIndexFail");
  } else {
    Checkpoint("SetFullScreen.Normal");
    Checkpoint("SetFullScreen.Normal.Bases.FreeDX");
    Checkpoint("SetFullScreen.Normal.MediaSuspend");
    if (companion_.video) companion_.video->SuspendAll();
    Checkpoint("SetFullScreen.Normal.ScreenMan.FreeDX");
    Checkpoint("SetFullScreen.Normal.RestoreWindow");
    display.SetFullScreen(false);
  }
  Checkpoint("SetFullScreen.SetBounds");
  PlaceWindow();
  // slot: reopen the MIDI device, re-prepare, and play on from the remembered position.
  Checkpoint("SetFullScreen.Bases.Reload");
  // slot: rebuild all surfaces of the bases and components.
  Checkpoint("SetFullScreen.MediaResume");
  if (companion_.video) companion_.video->ResumeAll();
}

void Engine::ApplyDisplayMode() {
  if (!platform_->display->IsFullScreen()) return;
  // slot: when the screen manager's chosen mode index is valid and differs from the current
  //       one: release surfaces, suspend video, switch the mode (restoring the window when
  //       it fails), then place the window, rebuild surfaces and resume video.
}

void Engine::MoveCursorX(int x) { platform_->display->WarpPointer(x, pointerY_); }
void Engine::MoveCursorY(int y) { platform_->display->WarpPointer(pointerX_, y); }

void Engine::HandleInput(const InputEvent& event) {
  switch (event.kind) {
    case InputKind::Quit:
      RequestTerminate(0);
      break;
    case InputKind::ToolbarQuit:
      ConfirmQuit();
      break;
    case InputKind::ToolbarScreenSwitch:
      SetFullScreen(!platform_->display->IsFullScreen());
      break;
    case InputKind::Deactivate:
      // Without a project, or when the project pauses while inactive: the loop stops.
      if (PausesWhenInactive()) {
        loopSuspended_ = true;
        // slot: with the screen-base list: clear active_, pause running video, wave, media,
        //       Ogg, CD audio and MIDI playback, clear all key state.
      }
      break;
    case InputKind::Activate:
      if (PausesWhenInactive()) {
        loopSuspended_ = false;
        // slot: with the screen-base list: set active_, resume the media paused above.
      } else {
        active_ = true;
      }
      // The inactive time is not counted.
      state_.LastTickTime = platform_->clock->NowMs();
      if (pacer_) pacer_->Reset(state_.LastTickTime);
      break;
    case InputKind::KeyDown:
      if (!active_ || event.vk >= 256) break;
      // slot: mark the key held and pressed in the screen-base list's key state.
      break;
    case InputKind::KeyUp:
      if (event.vk >= 256) break;
      // slot: mark the key released.
      break;
    case InputKind::MouseDown:
      if (!active_) break;
      pointerX_ = event.x;
      pointerY_ = event.y;
      // slot: left/right held on both bases, left/right pressed on the current base.
      break;
    case InputKind::MouseUp:
      // slot: clear left and right held on both bases, whatever the button.
      break;
    case InputKind::MouseMove:
      pointerX_ = event.x;
      pointerY_ = event.y;
      // slot: give the position to both bases.
      break;
    case InputKind::Wheel:
      // slot: wheel-up or wheel-down flag of the current base.
      break;
    case InputKind::Text:
      // slot: text for the focused edit control.
      break;
  }
}

}  // namespace vorn
