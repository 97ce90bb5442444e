// Command-line parsing: "--name value" or "--name=value"; "--" ends the options.
#include "shell/command_line.h"

#include <cstdlib>

#include "resources/error.h"
#include "resources/sjis_case.h"

namespace vorn {

namespace {

std::optional<uint64_t> ParseUnsigned(const std::string& text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value;
}

uint32_t NumberIn(const std::string& option, const std::string& text, uint64_t low, uint64_t high) {
  const std::optional<uint64_t> value = ParseUnsigned(text);
  if (!value || *value < low || *value > high)
    throw EVornError("option " + option + ": expected a whole number from " + std::to_string(low) +
                     " to " + std::to_string(high) + ", got \"" + text + "\"");
  return static_cast<uint32_t>(*value);
}

bool IsConfigWord(const std::string& arg) { return SameText(arg, "/config") || SameText(arg, "--config"); }

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine cl;
  bool optionsDone = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsDone || arg.empty() || arg[0] != '-' || arg == "-") {
      // "/config" counts only as the first argument; a folder may start with '/'.
      if (i == 0 && SameText(arg, "/config")) cl.config = true;
      else cl.gameArgs.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsDone = true;
      continue;
    }
    if (IsConfigWord(arg)) {
      cl.config = true;
      continue;
    }
    std::string name = arg, value;
    bool hasValue = false;
    if (const size_t eq = arg.find('='); eq != std::string::npos && arg.rfind("--", 0) == 0) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      hasValue = true;
    }
    auto takeValue = [&]() -> std::string {
      if (hasValue) return value;
      if (i + 1 >= args.size()) throw EVornError("option " + name + " needs a value");
      return args[++i];
    };
    auto noValue = [&]() {
      if (hasValue) throw EVornError("option " + name + " takes no value");
    };
    if (name == "--help" || name == "-h") {
      noValue();
      cl.help = true;
    } else if (name == "--headless") {
      noValue();
      cl.headless = true;
    } else if (name == "--frames") {
      cl.frames = NumberIn(name, takeValue(), 1, UINT32_MAX);
    } else if (name == "--frame-ms") {
      cl.frameMs = NumberIn(name, takeValue(), 1, 299);
      cl.frameMsGiven = true;
    } else if (name == "--input") {
      cl.inputFile = takeValue();
      if (cl.inputFile.empty()) throw EVornError("option --input needs a file name");
    } else if (name == "--answer") {
      const std::string word = takeValue();
      if (word == "ok") cl.answer = DialogAnswer::Ok;
      else if (word == "yes") cl.answer = DialogAnswer::Yes;
      else if (word == "no") cl.answer = DialogAnswer::No;
      else if (word == "cancel") cl.answer = DialogAnswer::Cancel;
      else throw EVornError("option --answer: expected ok, yes, no or cancel, got \"" + word + "\"");
    } else if (name == "--screenshot") {
      const std::string value = takeValue();
      const size_t colon = value.find(':');
      if (colon == std::string::npos || colon + 1 >= value.size())
        throw EVornError("option --screenshot: expected N:FILE.png, got \"" + value + "\"");
      cl.screenshots.push_back({NumberIn(name, value.substr(0, colon), 1, UINT32_MAX), value.substr(colon + 1)});
    } else if (name == "--trace") {
      cl.traceFile = takeValue();
      if (cl.traceFile.empty()) throw EVornError("option --trace needs a file name");
    } else if (name == "--dump-vars") {
      cl.dumpVarsFile = takeValue();
      if (cl.dumpVarsFile.empty()) throw EVornError("option --dump-vars needs a file name");
    } else if (name == "--seed") {
      cl.seed = NumberIn(name, takeValue(), 0, UINT32_MAX);
    } else {
      throw EVornError("unknown option " + name);
    }
  }
  if (!cl.headless) {
    if (!cl.inputFile.empty()) throw EVornError("option --input needs --headless");
    if (cl.answer) throw EVornError("option --answer needs --headless");
    if (cl.frameMsGiven) throw EVornError("option --frame-ms needs --headless");
  }
  return cl;
}

std::string UsageText() {
  return "usage: vornplayer [OPTIONS] [GAME_FOLDER [FOLDER|ARCHIVE ...]]\n"
         "       vornplayer /config\n"
         "Plays a game; without a folder, the game beside the executable.\n"
         "  --headless              no window, no sound device; the clock advances --frame-ms per frame\n"
         "  --frames N              stop after frame N, with the normal shutdown\n"
         "  --frame-ms MS           the headless clock step (default 15, 1..299)\n"
         "  --input FILE            scripted input, one event a line: FRAME EVENT ARGS\n"
         "  --answer WORD           what every dialog answers in headless mode (ok, yes, no, cancel)\n"
         "  --screenshot N:FILE.png the presented screen after frame N (repeatable)\n"
         "  --trace FILE            the script trace, one line per command\n"
         "  --dump-vars FILE        at exit, every script-visible variable\n"
         "  --seed N                seed of every random generator\n"
         "  --config, /config       the runtime settings dialog\n"
         "  --help                  this text\n";
}

}  // namespace vorn
