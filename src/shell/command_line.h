// The player's command line: options of the headless run and tests, then the game folder
// and further folders or archives. /config or --config (any case) asks for the settings
// dialog instead of a game.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace vorn {

struct ScreenshotRequest {
  uint32_t frame = 0;
  std::string path;
};

struct CommandLine {
  bool help = false;
  bool config = false;
  bool headless = false;
  std::optional<uint32_t> frames;   // stop after this frame (1-based), with the normal shutdown
  uint32_t frameMs = 15;            // headless clock step, 1..299
  bool frameMsGiven = false;
  std::string inputFile;
  std::optional<DialogAnswer> answer;
  std::vector<ScreenshotRequest> screenshots;
  std::string traceFile;
  std::string dumpVarsFile;
  std::optional<uint32_t> seed;
  std::vector<std::string> gameArgs;  // game folder, then further folders and archives
};

// Raises EVornError with a message naming the bad option or value.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

std::string UsageText();

}  // namespace vorn
