// Process entry of the player: the drive and single-instance checks, the settings-dialog
// switch, the backend, then start-up, the main loop and shutdown.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/native.h"
#include "resources/cp932.h"
#include "resources/error.h"
#include "shell/command_line.h"
#include "shell/engine.h"
#include "shell/game_sources.h"
#include "shell/input_script.h"
#include "shell/main_loop.h"
#include "shell/player_settings.h"

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "vornplayer: %s\n", message.c_str());
  return 1;
}

int Run(const std::vector<std::string>& args) {
  using namespace vorn;
  CommandLine cl;
  try {
    cl = ParseCommandLine(args);
  } catch (const EVornError& e) {
    std::fprintf(stderr, "vornplayer: %s\n%s", e.what(), UsageText().c_str());
    return 2;
  }
  if (cl.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  const std::string exeFolder = ExecutableFolder();
  // A player started from a CD or DVD ends at once, silently.
  if (IsOnOpticalDisc(exeFolder)) return 0;
  if (cl.config)
    return Fail("the settings dialog (/config) is not available yet in this version");

  // One player per game folder: a second one for the same folder ends silently.
  std::unique_ptr<FileLock> instance;
  try {
    instance = FileLock::TryAcquire(InstanceLockPath(InstanceFolder(cl.gameArgs, exeFolder)));
  } catch (const EVornError& e) {
    return Fail(e.what());
  }
  if (!instance) return 0;

  BackendOptions backendOptions;
  backendOptions.frameMs = cl.frameMs;
  backendOptions.answer = cl.answer;
  if (!cl.inputFile.empty()) {
    try {
      const std::optional<std::vector<uint8_t>> data = ReadWholeFile(cl.inputFile);
      if (!data) return Fail("input script not found: " + cl.inputFile);
      backendOptions.input = ParseInputScript(
          std::string_view(reinterpret_cast<const char*>(data->data()), data->size()), cl.inputFile);
    } catch (const EVornError& e) {
      return Fail(e.what());
    }
  }

  const BackendEntry* backend = FindBackend(cl.headless ? "headless" : "sdl");
  std::string whyNot;
  std::unique_ptr<Platform> platform = backend->create(backendOptions, whyNot);
  if (!platform)
    return Fail(std::string(cl.headless ? "cannot start the headless backend: "
                                        : "cannot open a window: ") + whyNot);

  EngineConfig config;
  config.gameArgs = cl.gameArgs;
  config.exeFolder = exeFolder;
  config.exePath = ExecutablePath();
  config.gameIniPath = GameIniPath();
  config.traceFile = cl.traceFile;
  config.dumpVarsFile = cl.dumpVarsFile;
  config.seed = cl.seed;
  config.framePeriod = cl.headless ? cl.frameMs : FramePacer::kDefaultPeriod;

  Engine engine(std::move(platform), std::move(config));
  try {
    engine.Start();
  } catch (const EVornError& e) {
    return Fail(Cp932ToUtf8(e.what()));
  }
  if (!engine.State().TerminateRequested) {
    engine.Services().display->Show();
    LoopOptions loop;
    loop.maxFrames = cl.frames;
    loop.screenshots = cl.screenshots;
    RunMainLoop(engine, loop);
  }
  engine.FinalizeEngine();
  return engine.ExitStatus();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    return Run(args);
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}
