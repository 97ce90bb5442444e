// TProject: the running game. Reads vorn.vpb through the file manager, creates the project
// variables, starts the start page, runs the end page at shutdown, holds the pending save
// and load requests and decides when a missing file asks for another disk.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "resources/engine_state.h"
#include "resources/folder_disk_list.h"
#include "script/project_setting.h"

namespace vorn {

class TParamCollection;
class TProject;
class TVrFileManager;

// The call manager as the project sees it (the interpreter implements it).
class ScriptRunner {
 public:
  virtual ~ScriptRunner() = default;
  // Starts a page from its first command, clearing the stack and events.
  virtual void Start(const std::string& page) = 0;
  // Runs commands for one tick.
  virtual void Run() = 0;
};

// A save request recorded by GameSave, carried out by ProcessPending.
struct SaveRequest {
  int32_t slot = -1;
  std::string caption;
  std::string page;   // page to run after loading
  int32_t index = 0;  // its command index
};

// The parts of the engine the project reaches that live elsewhere: message boxes, the
// window title, and the saved games and status data of save.dat. Defaults do nothing.
class ProjectHooks {
 public:
  virtual ~ProjectHooks() = default;
  // A warning box (CP932 text and caption).
  virtual void Warn(const std::string& /*text*/, const std::string& /*caption*/) {}
  // Application title and main window caption.
  virtual void SetTitle(const std::string& /*title*/) {}
  // Start step 6: restore the status data from save.dat and copy its "save:" entries into
  // the memory collection.
  virtual void RestoreStatus(TProject&) {}
  // Start step 10: the save-title list from save.dat.
  virtual void BuildSaveTitles(TProject&) {}
  // Shutdown step 2.
  virtual void SaveStatus(TProject&) {}
  virtual void LoadGame(TProject&, int32_t /*slot*/) {}
  virtual void SaveGame(TProject&, const SaveRequest&) {}
};

struct ProjectContext {
  ProjectContext(EngineState& state, TVrFileManager& files) : state(state), files(files) {}
  EngineState& state;
  TVrFileManager& files;
  TParamCollection* variables = nullptr;  // project variables go here when given
  ProjectHooks* hooks = nullptr;
  // Creates the call manager (step 12); none: pages are not run.
  std::function<std::unique_ptr<ScriptRunner>(TProject&)> createRunner;
  // The program was started with a project folder argument (no installation lookup).
  bool startedWithProjectFolder = false;
};

class TProject {
 public:
  // The start sequence. On any failure TerminateRequested stays set; a project file above
  // the newest version raises EVornError kTextUnsupportedVersion for the shell's guard.
  explicit TProject(ProjectContext context);
  // Runs Shutdown when it has not run.
  ~TProject();
  TProject(const TProject&) = delete;
  TProject& operator=(const TProject&) = delete;

  // The end sequence: the end page runs until it first yields, then the status data is
  // saved and the call manager freed.
  void Shutdown();

  // One tick of the scripts.
  void Run();
  // Carries out a pending load, then a pending save; true when a load happened (the main
  // loop then skips drawing for one tick).
  bool ProcessPending();
  void RequestLoad(int32_t slot) { pendingLoad_ = slot; }
  void RequestSave(SaveRequest request) { pendingSave_ = std::move(request); }
  int32_t PendingLoad() const { return pendingLoad_; }
  const SaveRequest& PendingSave() const { return pendingSave_; }

  // True when the file can be used: the file manager finds it, or a disk change for its
  // folder's disk succeeds (never for the never-ask extensions).
  bool RequireFile(const std::string& name);
  // The never-ask rule alone: the extension (lower case, with its dot, plus one more dot)
  // occurs in the lower-cased list with one dot appended.
  static bool NeverAsks(const std::string& name, const std::string& extensions);

  const TProjectSetting& Settings() const { return settings_; }
  // True once the project file has been read (a failed start leaves it false).
  bool Loaded() const { return loaded_; }
  TFolderDiskList& Folders() { return folders_; }
  ScriptRunner* Runner() { return runner_.get(); }
  EngineState& State() { return ctx_.state; }
  TVrFileManager& Files() { return ctx_.files; }

  // Saved games (filled by the save code).
  std::vector<std::pair<std::string, int32_t>> saveTitles;  // caption, slot
  std::string saveDataPath;
  bool saveDataPathKnown = false;

 private:
  void Start();
  void CreateVariables();

  ProjectContext ctx_;
  TProjectSetting settings_;
  TFolderDiskList folders_;
  std::unique_ptr<ScriptRunner> runner_;
  int32_t pendingLoad_ = -1;
  SaveRequest pendingSave_;
  bool shutDown_ = false;
  bool loaded_ = false;  // the project file was read
};

}  // namespace vorn
