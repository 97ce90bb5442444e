// The script trace: one line per command the interpreter runs, "%.8x : %s(%d)" (game clock
// in hexadecimal, page name, line). Written to dbglog.txt beside the executable when game.ini
// enables it, or to the file given with --trace.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vorn {

class ScriptTrace {
 public:
  ScriptTrace() = default;
  ~ScriptTrace();
  ScriptTrace(const ScriptTrace&) = delete;
  ScriptTrace& operator=(const ScriptTrace&) = delete;

  // Starts a new trace file (truncating an old one). Raises EVornError naming the path.
  void Open(const std::string& path);
  bool Enabled() const { return file_ != nullptr; }
  // One command: the page name is engine text (CP932) and is written as it stands.
  void Write(uint32_t gameClock, const std::string& page, int line);
  // Any other text line (the log library's plain write).
  void WriteText(const std::string& text);
  void Close();

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
};

}  // namespace vorn
