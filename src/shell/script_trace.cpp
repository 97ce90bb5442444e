// Buffered trace writer; flushed at close so a long run costs one write per buffer.
#include "shell/script_trace.h"

#include <cerrno>
#include <cstring>

#include "resources/error.h"

namespace vorn {

ScriptTrace::~ScriptTrace() { Close(); }

void ScriptTrace::Open(const std::string& path) {
  Close();
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) throw EVornError("cannot write the trace " + path + ": " + std::strerror(errno));
  path_ = path;
}

void ScriptTrace::Write(uint32_t gameClock, const std::string& page, int line) {
  if (!file_) return;
  std::fprintf(file_, "%.8x : ", gameClock);
  std::fwrite(page.data(), 1, page.size(), file_);
  std::fprintf(file_, "(%d)\n", line);
}

void ScriptTrace::WriteText(const std::string& text) {
  if (!file_) return;
  std::fwrite(text.data(), 1, text.size(), file_);
  std::fputc('\n', file_);
}

void ScriptTrace::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

}  // namespace vorn
