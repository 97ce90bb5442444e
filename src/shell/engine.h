// The engine context: owns the platform services, the process-wide state and every manager,
// creates them in the start-up order of the main window (FormCreate, InitializeEngine) and
// frees them in the shutdown order (FinalizeEngine). Also the main window's own logic: input
// routing, activation, full-screen switching, ConfirmQuit and the frame (Tick).
// Later subsystems slot their managers in at the places marked "slot:".
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "media/companion.h"
#include "platform/backend.h"
#include "resources/engine_state.h"
#include "shell/frame_pacer.h"
#include "shell/game_sources.h"
#include "shell/player_settings.h"
#include "shell/script_trace.h"

namespace vorn {

class ProjectHooks;
class TParamCollection;
class TProject;
class TSysFuncMan;
class TTimerList;
class TVrFileManager;
class DiskPrompter;

struct EngineConfig {
  std::vector<std::string> gameArgs;  // game folder, further folders and archives
  std::string exeFolder;              // with a trailing '/'
  std::string exePath;
  std::string gameIniPath;            // game.ini beside the executable
  std::string traceFile;              // --trace; empty: game.ini decides (dbglog.txt)
  std::string dumpVarsFile;           // --dump-vars
  std::optional<uint32_t> seed;       // --seed; else 0 on a fixed-step clock, else time of day
  uint32_t framePeriod = FramePacer::kDefaultPeriod;
};

// The game screen shown until a project sets its own size.
constexpr int kDefaultScreenWidth = 640;
constexpr int kDefaultScreenHeight = 480;

class Engine : public InputSink {
 public:
  Engine(std::unique_ptr<Platform> platform, EngineConfig config);
  ~Engine() override;
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // FormCreate, then InitializeEngine inside its guard. Errors of FormCreate (an unreadable
  // game.ini, a missing game folder, no window) propagate as EVornError; an error of
  // InitializeEngine is shown in a warning box and ends the run with status 1.
  void Start();
  void FormCreate();
  void InitializeEngine();
  // Frees everything in the documented order; runs once, later calls do nothing.
  void FinalizeEngine();

  // One frame of the engine; the main loop calls it on the main thread.
  virtual void Tick();

  // The main window's operations that other modules call.
  void ConfirmQuit();
  void SetFullScreen(bool full);
  void ApplyDisplayMode();
  void MoveCursorX(int x);
  void MoveCursorY(int y);

  // Input from the display (and the headless input script).
  void HandleInput(const InputEvent& event) override;

  // Sets TerminateRequested; the main loop then closes the window and shuts down. A non-zero
  // status marks a failed run (kept when a later request would lower it).
  void RequestTerminate(int exitStatus = 0);
  // An error nothing else handled: shown once in a box, written to standard error, and the
  // game ends with status 1. The message is engine text (CP932).
  void ReportFatal(const std::string& message);

  EngineState& State() { return state_; }
  const EngineState& State() const { return state_; }
  Platform& Services() { return *platform_; }
  const PlayerSettings& Settings() const { return settings_; }
  const GameSources& Sources() const { return sources_; }
  ScriptTrace& Trace() { return trace_; }
  CompanionModules& Companion() { return companion_; }
  const EngineConfig& Config() const { return config_; }
  // The loop's pacer; null before InitializeEngine created the loop and after shutdown.
  FramePacer* Pacer() { return pacer_.get(); }
  // True while the window is inactive and the game pauses then: no frames run.
  bool LoopSuspended() const { return loopSuspended_; }
  bool Active() const { return active_; }
  int ExitStatus() const { return exitStatus_; }
  // The start-up and shutdown checkpoints passed so far, in order.
  const std::vector<std::string>& Checkpoints() const { return checkpoints_; }
  // The project title (CP932), the caption of the window and of its boxes.
  std::string Title() const;
  bool HasProject() const;
  // Appends one "NAME\tTYPE\tVALUE\n" line (UTF-8) per script-visible variable.
  void DumpVariables(std::string& out) const;
  int ScreenWidth() const { return screenWidth_; }
  // The managers (null before they are created and after shutdown).
  TVrFileManager* Files() { return files_.get(); }
  TParamCollection* Variables() { return vars_.get(); }
  TTimerList* Events() { return events_.get(); }
  TProject* Project() { return project_.get(); }
  int ScreenHeight() const { return screenHeight_; }

 private:
  void Checkpoint(const char* name);
  // The project setting "pause when inactive"; true while there is no project.
  bool PausesWhenInactive() const;
  void PlaceWindow();
  void WriteVariableDump();

  // Declaration order is the reverse of destruction; FinalizeEngine frees the managers
  // explicitly in the documented order before members go.
  std::unique_ptr<Platform> platform_;
  EngineConfig config_;
  EngineState state_;
  PlayerSettings settings_;
  GameSources sources_;
  ScriptTrace trace_;
  CompanionModules companion_;
  // The virtual file manager and the boxes it shows for missing disks.
  std::unique_ptr<DiskPrompter> diskPrompter_;
  std::unique_ptr<TVrFileManager> files_;
  // slot: the variable collection and the system function manager (params).
  std::unique_ptr<TParamCollection> vars_;
  std::unique_ptr<TSysFuncMan> funcs_;
  // slot: the screen-base list, history formats, read-text list, image cache, clip manager,
  //       pattern surfaces and colour tables (components, text, graphics).
  // The event queue; it moves into the screen-base list when that exists.
  std::unique_ptr<TTimerList> events_;
  // slot: the project with its interpreter (script).
  std::unique_ptr<ProjectHooks> projectHooks_;
  std::unique_ptr<TProject> project_;
  // slot: the screen manager and the video, wave, media, Ogg, CD audio and MIDI managers.
  std::unique_ptr<FramePacer> pacer_;  // the loop ("loop thread")

  std::vector<std::string> checkpoints_;
  int screenWidth_ = kDefaultScreenWidth;
  int screenHeight_ = kDefaultScreenHeight;
  bool dockVisible_ = true;
  int pointerX_ = 0;  // last pointer position on the game screen
  int pointerY_ = 0;
  bool active_ = true;
  bool loopSuspended_ = false;
  bool formCreated_ = false;
  bool finalized_ = false;
  bool fatalShown_ = false;
  int exitStatus_ = 0;
};

}  // namespace vorn
