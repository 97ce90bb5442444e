// The interpreter as the project runs it: TProjectRunner owns the call manager and serves it
// pages through the file manager, the project's disk rule, and the shell's trace and window.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "script/call_man.h"
#include "script/project.h"

namespace vorn {

struct RunnerServices {
  TParamCollection& vars;
  TTimerList& events;
  // Whole trace lines; empty: no trace.
  std::function<void(const std::string&)> trace;
  // Problems scripts cannot see (a dropped event handler).
  std::function<void(const std::string&)> warn;
  // A warning box (CP932 text and caption).
  std::function<void(const std::string&, const std::string&)> warningBox;
  // Ask the main window to close.
  std::function<void()> requestClose;
  // Components, bases, data tables and history back to their start (Reset).
  std::function<void()> resetWorld;
};

class TProjectRunner final : public ScriptRunner, private TCallHost {
 public:
  TProjectRunner(TProject& project, RunnerServices services);
  void Start(const std::string& page) override { cm_.Start(page); }
  void Run() override { cm_.Run(); }
  TCallMan& CallMan() { return cm_; }

 private:
  std::unique_ptr<TPage> LoadPage(const std::string& name) override;
  bool RequireFile(const std::string& name) override { return project_.RequireFile(name); }
  bool TraceEnabled() const override { return static_cast<bool>(services_.trace); }
  void WriteTrace(const std::string& line) override { services_.trace(line); }
  void Warn(const std::string& message) override {
    if (services_.warn) services_.warn(message);
  }
  void RequestClose() override {
    if (services_.requestClose) services_.requestClose();
  }
  void ResetWorld() override {
    if (services_.resetWorld) services_.resetWorld();
  }

  TProject& project_;
  RunnerServices services_;
  TCallMan cm_;
};

}  // namespace vorn
