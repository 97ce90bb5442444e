// The authoring-side compiler: readable page sources (one command a line, indentation for
// blocks; see docs/page-source.md) into pages, and project descriptions into project
// settings. Used by the vornc tool and, in-process, by tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "resources/error.h"
#include "script/page.h"
#include "script/project_setting.h"

namespace vorn {

// A compile error; the message (UTF-8) starts with "file:line: ".
class ECompileError : public EVornError {
 public:
  using EVornError::EVornError;
};

class PageCompiler {
 public:
  // Adds one page source (UTF-8 text). `pageName` is the page file name scripts use
  // ("main.vsb"); `fileName` names the source in error messages.
  void AddSource(const std::string& pageName, const std::string& fileName, const std::string& text);

  // Compiles every added page together, so Jump, Call, PCReset, Reset and GameSave can
  // name labels of each other. `version` is the page format written unless a source sets
  // its own with "%version". Raises ECompileError.
  std::vector<std::unique_ptr<TPage>> Compile(int version = kPageVersionMax);

 private:
  struct Source {
    std::string pageName, fileName, text;
  };
  std::vector<Source> sources_;
};

// One page on its own (labels of other pages cannot be named).
std::unique_ptr<TPage> CompilePageSource(const std::string& text, const std::string& pageName = "main.vsb",
                                         const std::string& fileName = "main.vps",
                                         int version = kPageVersionMax);

// A project description (UTF-8 "key = value" lines) into project settings.
TProjectSetting CompileProjectSource(const std::string& text, const std::string& fileName = "project.vpj");

// The compiled message text of TextIns from a CP932 text: characters, "\n" a line break,
// "\p" a line break that starts a new page.
std::vector<uint8_t> CompileMessageText(const std::string& cp932Text);

}  // namespace vorn
