// Small games for tests: page sources compiled with the page compiler, either kept in memory
// (MemoryPageHost, an interpreter host without a file manager) or written as a game folder
// (vorn.vpb and the .vsb pages) that the player can run.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "script/call_man.h"

namespace vorn::testing {

// Page name ("main.vsb") -> page source (UTF-8).
using PageSources = std::map<std::string, std::string>;

// Compiles the sources together (labels may cross pages); page name -> page file bytes.
std::map<std::string, std::vector<uint8_t>> CompilePages(const PageSources& sources);

struct GameSpec {
  std::string title = "test";
  std::string startPage = "main.vsb";
  std::string endPage;  // empty: none
  int width = 640, height = 480;
  PageSources pages;
};

// Writes vorn.vpb and every page into `folder` (created when missing).
void WriteGameFolder(const std::string& folder, const GameSpec& game);

// An interpreter host serving compiled pages from memory; each load parses the bytes afresh.
class MemoryPageHost : public TCallHost {
 public:
  explicit MemoryPageHost(const PageSources& sources) : files(CompilePages(sources)) {}

  std::unique_ptr<TPage> LoadPage(const std::string& name) override;
  bool RequireFile(const std::string& name) override { return files.count(name) != 0; }
  bool TraceEnabled() const override { return true; }
  void WriteTrace(const std::string& line) override { trace.push_back(line); }
  void Warn(const std::string& message) override { warnings.push_back(message); }
  void RequestClose() override { ++closeRequests; }
  void ResetWorld() override { ++resets; }

  std::map<std::string, std::vector<uint8_t>> files;
  std::map<std::string, int> loads;  // loads per page name
  std::vector<std::string> trace;
  std::vector<std::string> warnings;
  int closeRequests = 0;
  int resets = 0;
};

}  // namespace vorn::testing
