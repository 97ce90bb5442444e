// The project's start and end sequences, pending saves and the disk-change rule.
#include "script/project.h"

#include "params/param_collection.h"
#include "resources/error.h"
#include "resources/sjis_case.h"
#include "resources/vr_file_manager.h"

namespace vorn {

namespace {
// "プロジェクトがありません"
const char kTextNoProject[] = "\x83\x76\x83\x8d\x83\x57\x83\x46\x83\x4e\x83\x67\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
// "スタートページがありません"
const char kTextNoStartPage[] =
    "\x83\x58\x83\x5e\x81\x5b\x83\x67\x83\x79\x81\x5b\x83\x57\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
// "警告"
const char kTextWarning[] = "\x8c\x78\x8d\x90";
// "情報": the title until a project file is read
const char kTextInformation[] = "\x8f\xee\x95\xf1";

ProjectHooks& NoHooks() {
  static ProjectHooks hooks;
  return hooks;
}
}  // namespace

TProject::TProject(ProjectContext context) : ctx_(std::move(context)) {
  if (!ctx_.hooks) ctx_.hooks = &NoHooks();
  Start();
}

TProject::~TProject() {
  try {
    Shutdown();
  } catch (...) {
    // Nothing may escape a destructor; the quit flag is already set.
  }
}

void TProject::Start() {
  EngineState& state = ctx_.state;
  // 1. Defaults; the quit flag stays set until the start has succeeded.
  settings_ = TProjectSetting();
  settings_.title = kTextInformation;
  settings_.keepStatus = true;
  pendingLoad_ = -1;
  pendingSave_ = SaveRequest();
  state.TerminateRequested = true;

  // 2. An installed game finds its data first.
  if (!ctx_.startedWithProjectFolder && !ctx_.files.LocateInstallation()) return;

  // 3. The project file.
  std::vector<uint8_t> bytes;
  try {
    bytes = ctx_.files.LoadBytes("vorn.vpb");
  } catch (const EVornError&) {
    return;  // missing or unreadable: the program closes silently
  }
  if (bytes.empty()) {
    ctx_.hooks->Warn(kTextNoProject, kTextWarning);
    return;
  }
  // 4, 5. Parse (a newer version raises to the caller) and take the settings.
  TProjectSetting parsed;
  parsed.LoadFromBytes(bytes);
  settings_ = std::move(parsed);
  folders_ = settings_.folders;
  loaded_ = true;
  ctx_.hooks->SetTitle(settings_.title);
  ctx_.files.SetProjectTexts({settings_.title, settings_.title, settings_.diskChangeMessage, settings_.exitMessage});

  // 6. Status data and the script files kept in save.dat.
  ctx_.hooks->RestoreStatus(*this);
  // 7. Project variables that the status data did not bring back.
  CreateVariables();
  // 9.
  state.TerminateRequested = false;
  // 10.
  ctx_.hooks->BuildSaveTitles(*this);
  // 11. A rebuilt distribution keeps the disk map of the original project.
  if (ctx_.files.FileExists("/original_vorn.vpb")) {
    TProjectSetting original;
    original.LoadFromBytes(ctx_.files.LoadBytes("/original_vorn.vpb"));
    folders_ = original.folders;
  }
  // 12. The call manager and the start page.
  if (ctx_.createRunner) runner_ = ctx_.createRunner(*this);
  if (ctx_.files.FileExists(settings_.startPage)) {
    if (runner_) runner_->Start(settings_.startPage);
  } else {
    ctx_.hooks->Warn(kTextNoStartPage, kTextWarning);
    state.TerminateRequested = true;
  }
}

void TProject::CreateVariables() {
  if (!ctx_.variables) return;
  TParamCollection& vars = *ctx_.variables;
  for (const ProjectVariable& v : settings_.variables) {
    if (vars.IndexOfName(v.name) >= 0) continue;  // restored with the status data
    TParamCollectionItem* item = vars.AddVariable(v.type);
    item->SetName(v.name);
    item->Status = 1;
    switch (v.type) {
      case 1: item->Value().SetInt(v.intValue); break;
      case 2: item->Value().SetFloat(v.realValue); break;
      case 3: item->Value().SetBool(v.flagValue); break;
      default: item->Value().SetStr(v.strValue); break;
    }
  }
}

void TProject::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  EngineState& state = ctx_.state;
  if (!settings_.endPage.empty() && runner_) {
    // The end page runs until it first yields.
    try {
      runner_->Start(settings_.endPage);
      state.TerminateRequested = false;
      runner_->Run();
    } catch (...) {
    }
    state.TerminateRequested = true;
  }
  // Status data is written only for a project that was read: a failed start must not
  // replace the status kept in save.dat with defaults.
  if (loaded_) ctx_.hooks->SaveStatus(*this);
  runner_.reset();
  saveTitles.clear();
  folders_.Clear();
}

void TProject::Run() {
  if (runner_) runner_->Run();
}

bool TProject::ProcessPending() {
  bool loaded = false;
  if (pendingLoad_ >= 0) {
    int32_t slot = pendingLoad_;
    pendingLoad_ = -1;
    ctx_.hooks->LoadGame(*this, slot);
    loaded = true;
  }
  if (pendingSave_.slot >= 0) {
    SaveRequest request = std::move(pendingSave_);
    pendingSave_ = SaveRequest();
    ctx_.hooks->SaveGame(*this, request);
  }
  return loaded;
}

bool TProject::NeverAsks(const std::string& name, const std::string& extensions) {
  // The extension: from the last '.' after the last '\' (none: empty).
  size_t dot = name.find_last_of(".\\/");
  std::string ext = dot != std::string::npos && name[dot] == '.' ? name.substr(dot) : std::string();
  std::string needle = FoldCase(ext + ".");
  std::string hay = FoldCase(extensions + ".");
  return hay.find(needle) != std::string::npos;
}

bool TProject::RequireFile(const std::string& name) {
  if (ctx_.files.FileExists(name)) return true;
  int32_t disk = folders_.DiskOfPath(name);
  if (disk > 0 && !NeverAsks(name, settings_.neverAskExtensions)) return ctx_.files.ChangeDisk(disk);
  return false;
}

}  // namespace vorn
