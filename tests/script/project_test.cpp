// The project's start and end sequences over a project folder, the project variables, the
// pending requests and the disk-change rule.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "params/param_collection.h"
#include "resources/error.h"
#include "resources/vr_file_manager.h"
#include "script/project.h"
#include "support/project_file_writer.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;

struct RecordingRunner : ScriptRunner {
  std::vector<std::string>* log;
  explicit RecordingRunner(std::vector<std::string>* l) : log(l) {}
  void Start(const std::string& page) override { log->push_back("start " + page); }
  void Run() override { log->push_back("run"); }
};

struct RecordingHooks : ProjectHooks {
  std::vector<std::string> log;
  void Warn(const std::string& text, const std::string&) override { log.push_back("warn " + text); }
  void SetTitle(const std::string& t) override { log.push_back("title " + t); }
  void RestoreStatus(TProject&) override { log.push_back("restore"); }
  void BuildSaveTitles(TProject&) override { log.push_back("titles"); }
  void SaveStatus(TProject&) override { log.push_back("savestatus"); }
  void LoadGame(TProject&, int32_t slot) override { log.push_back("load " + std::to_string(slot)); }
  void SaveGame(TProject&, const SaveRequest& r) override {
    log.push_back("save " + std::to_string(r.slot) + " " + r.caption);
  }
};

struct Prompter : DiskPrompter {
  int asked = 0;
  bool ConfirmOkCancel(const std::string&, const std::string&) override { return asked++ % 2 == 1; }
  void Inform(const std::string&, const std::string&) override {}
};

class ProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("vorn_project_test_" + std::to_string(::getpid()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    VrFileManagerOptions options;
    options.cdRoots = std::vector<std::string>{};
    files = std::make_unique<TVrFileManager>(state, options);
    files->SetBaseFolder(dir.string());
    files->SetPrompter(&prompter);
  }
  void TearDown() override {
    files.reset();
    fs::remove_all(dir);
  }
  void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                      static_cast<std::streamsize>(bytes.size()));
  }
  TProjectSetting Settings(int version = 116) {
    TProjectSetting s;
    s.version = version;
    s.title = "Game";
    s.startPage = "start.vsb";
    s.endPage = "end.vsb";
    s.variables = {{1, "score", 5, 0, false, ""}, {4, "who", 0, 0, false, "me"}};
    return s;
  }
  std::unique_ptr<TProject> Make(TParamCollection* vars = nullptr) {
    ProjectContext ctx{state, *files};
    ctx.variables = vars;
    ctx.hooks = &hooks;
    ctx.createRunner = [this](TProject&) { return std::make_unique<RecordingRunner>(&runnerLog); };
    ctx.startedWithProjectFolder = true;
    return std::make_unique<TProject>(std::move(ctx));
  }

  fs::path dir;
  EngineState state;
  Prompter prompter;
  std::unique_ptr<TVrFileManager> files;
  RecordingHooks hooks;
  std::vector<std::string> runnerLog;
};

TEST_F(ProjectTest, StartsTheStartPageAndRunsTheEndPageOnceAtShutdown) {
  Write("vorn.vpb", Settings().SaveToBytes());
  Write("start.vsb", {1});
  TParamCollection vars;
  vars.CreateVariable("score", 1, 3)->Value().SetInt(99);  // as restored from status data
  auto project = Make(&vars);
  EXPECT_FALSE(state.TerminateRequested);
  EXPECT_EQ(hooks.log, (std::vector<std::string>{"title Game", "restore", "titles"}));
  EXPECT_EQ(runnerLog, (std::vector<std::string>{"start start.vsb"}));
  EXPECT_EQ(vars.FindVariable("score")->Value().GetInt(), 99);  // kept
  auto* who = vars.FindVariable("who");
  ASSERT_NE(who, nullptr);
  EXPECT_EQ(who->Value().GetStr(), "me");
  EXPECT_EQ(who->Status, 1);

  project->Run();
  project.reset();
  EXPECT_EQ(runnerLog, (std::vector<std::string>{"start start.vsb", "run", "start end.vsb", "run"}));
  EXPECT_EQ(hooks.log.back(), "savestatus");
  EXPECT_TRUE(state.TerminateRequested);
}

TEST_F(ProjectTest, MissingEmptyOrNewerProjectFiles) {
  Make();
  EXPECT_TRUE(state.TerminateRequested);
  EXPECT_TRUE(hooks.log.empty());  // missing: closes silently, and no status data is written

  Write("vorn.vpb", {});
  Make();
  EXPECT_TRUE(state.TerminateRequested);
  ASSERT_FALSE(hooks.log.empty());
  EXPECT_EQ(hooks.log[0], "warn \x83\x76\x83\x8d\x83\x57\x83\x46\x83\x4e\x83\x67\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1");

  auto s = Settings();
  s.version = 117;
  Write("vorn.vpb", s.SaveToBytes());
  EXPECT_THROW(Make(), EVornError);
  EXPECT_TRUE(state.TerminateRequested);
}

TEST_F(ProjectTest, MissingStartPageWarnsAndQuits) {
  Write("vorn.vpb", Settings().SaveToBytes());
  auto project = Make();
  EXPECT_TRUE(state.TerminateRequested);
  EXPECT_EQ(hooks.log.back(),
            "warn \x83\x58\x83\x5e\x81\x5b\x83\x67\x83\x79\x81\x5b\x83\x57\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1");
  EXPECT_TRUE(runnerLog.empty());
}

TEST_F(ProjectTest, PendingLoadRunsBeforeSaveAndIsReported) {
  Write("vorn.vpb", Settings().SaveToBytes());
  Write("start.vsb", {1});
  auto project = Make();
  EXPECT_FALSE(project->ProcessPending());
  project->RequestSave({3, "cap", "start.vsb", 2});
  project->RequestLoad(1);
  EXPECT_TRUE(project->ProcessPending());
  EXPECT_EQ(hooks.log[hooks.log.size() - 2], "load 1");
  EXPECT_EQ(hooks.log.back(), "save 3 cap");
  EXPECT_EQ(project->PendingLoad(), -1);
  EXPECT_EQ(project->PendingSave().slot, -1);
}

TEST_F(ProjectTest, DiskChangeOnlyForFilesOfOtherKinds) {
  // A version-108 project has no never-ask list and uses .wav.wma.ogg.mid.
  auto s = Settings(108);
  s.neverAskExtensions = ".zzz";  // not written at 108
  s.folders.Add("data\\", 2);
  Write("vorn.vpb", s.SaveToBytes());
  Write("start.vsb", {1});
  auto project = Make();
  ASSERT_FALSE(state.TerminateRequested);
  EXPECT_TRUE(project->RequireFile("start.vsb"));
  EXPECT_FALSE(project->RequireFile("data\\music.ogg"));
  EXPECT_FALSE(project->RequireFile("other\\pic.gal"));  // no disk for that folder
  EXPECT_EQ(prompter.asked, 0);
  EXPECT_FALSE(project->RequireFile("data\\pic.gal"));  // asks; cancel, then confirm exit
  EXPECT_EQ(prompter.asked, 2);
  EXPECT_TRUE(state.TerminateRequested);
}

TEST(ProjectRules, NeverAskList) {
  const std::string list = ".wav.wma.ogg.mid";
  EXPECT_TRUE(TProject::NeverAsks("a\\b.OGG", list));
  EXPECT_TRUE(TProject::NeverAsks("x.mid", list));
  EXPECT_FALSE(TProject::NeverAsks("x.mi", list));  // ".mi." is not in ".wav.wma.ogg.mid."
  EXPECT_FALSE(TProject::NeverAsks("x.gal", list));
  EXPECT_FALSE(TProject::NeverAsks("x.wav", ".wave"));
}

}  // namespace
}  // namespace vorn
