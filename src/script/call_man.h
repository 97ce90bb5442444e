// TCallMan: runs pages. One flow of control (current page and program counter), a stack of
// saved frames for page calls and event handlers, the current call's arguments, a cache of
// recently used pages, and the state machine that lets queued events interrupt the main flow
// between commands and lets handlers nest while one of them waits.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "components/timer_list.h"
#include "params/param_collection.h"
#include "resources/array_string.h"
#include "resources/engine_state.h"
#include "script/page.h"

namespace vorn {

// What the interpreter needs from the rest of the engine.
class TCallHost {
 public:
  virtual ~TCallHost() = default;
  // Reads and parses a page file (the file manager's error when it is missing or damaged).
  virtual std::unique_ptr<TPage> LoadPage(const std::string& name) = 0;
  // The page may be entered: found, or supplied by a disk change.
  virtual bool RequireFile(const std::string& name) = 0;
  // The script trace; WriteTrace gets whole lines without the line break.
  virtual bool TraceEnabled() const { return false; }
  virtual void WriteTrace(const std::string& /*line*/) {}
  // Something the script cannot see went wrong (a handler page that cannot be had).
  virtual void Warn(const std::string& /*message*/) {}
  // Terminate: ask the main window to close (the quit flag is already set).
  virtual void RequestClose() {}
  // Reset: clear all components and recreate the bases, the data tables and the message
  // history (the variables are reset by the interpreter).
  virtual void ResetWorld() {}
};

// One saved frame of a page call or an interrupted flow.
struct TStack {
  std::string PageName;
  int32_t Pc = 0;
  bool Started = false;
  bool RunFlag = false;
  std::string ResultName;
  TArrayString Args;
  SenderRef Sender;
  std::optional<std::vector<uint8_t>> State;  // in-progress state of the command at Pc
  std::unique_ptr<TCustomParam> Result;       // the called page's result value
};

// The frames, top = last. Every push and pop writes the new depth into the variables: it is
// the scope id of the local variables created from then on.
class TStackList {
 public:
  explicit TStackList(TParamCollection& vars) : vars_(vars) {}
  int Count() const { return static_cast<int>(frames_.size()); }
  bool Empty() const { return frames_.empty(); }
  TStack& Push(std::unique_ptr<TStack> frame);
  // Raises "スタックエラー" when empty.
  std::unique_ptr<TStack> Pop();
  TStack* Top() const { return frames_.empty() ? nullptr : frames_.back().get(); }
  TStack& operator[](int i) const { return *frames_[static_cast<size_t>(i)]; }
  void Clear();

 private:
  TParamCollection& vars_;
  std::vector<std::unique_ptr<TStack>> frames_;
};

class TCallMan {
 public:
  static constexpr int kCacheSize = 10;

  TCallMan(TParamCollection& vars, TTimerList& events, EngineState& state, TCallHost& host);
  ~TCallMan();
  TCallMan(const TCallMan&) = delete;
  TCallMan& operator=(const TCallMan&) = delete;

  // Starts a page afresh: empty stack, no arguments, main flow. The page is loaded first; a
  // load error propagates and leaves everything as it was.
  void Start(const std::string& name);
  // Runs the flow for one frame.
  void Run();
  // One command of the current flow: 0 go on, 2 the command yields, 1 back in the main flow
  // after a frame was popped, -1 a popped frame resumes a handler.
  int Step();
  // Starts the first waiting event as a handler at `level`: 1 started, 0 not.
  int TryEvent(int32_t level);

  // The page cache: the cached page of exactly this name, or the page loaded now. With
  // `front` it becomes the most recently used and the program counter is set to 0 (only once
  // the page is there). A load error propagates and changes nothing.
  TPage* FindOrLoad(const std::string& name, bool front);
  int CachedPages() const { return static_cast<int>(pages_.size()); }
  const TPage* CachedPage(int i) const { return pages_[static_cast<size_t>(i)].get(); }

  // The flow, for the commands.
  TPage* Page() const { return page_; }
  void SetPage(TPage* page) { page_ = page; }
  int32_t Pc() const { return pc_; }
  void SetPc(int32_t pc) { pc_ = pc; }
  void Advance() { ++pc_; }
  // Moves the program counter past the last command: the page ends at the next step.
  void EndPage() { pc_ = page_ ? page_->Commands().Count() : 0; }
  bool RunFlag() const { return runFlag_; }
  void SetRunFlag(bool v) { runFlag_ = v; }
  bool Started() const { return started_; }
  int32_t State() const { return state_; }
  int32_t Level() const { return level_; }
  TStackList& Stack() { return stack_; }
  const TArrayString& Args() const { return args_; }
  void SetArgs(const TArrayString& args) { args_.Assign(args); }
  const SenderRef& Sender() const { return sender_; }

  // Argument i of the current call, empty out of range.
  int ArgCount() const { return args_.Count(); }
  std::string Arg(int i) const { return i >= 0 && i < args_.Count() ? args_[i] : std::string(); }
  // The sender's name while a handler runs and the sender exists, else empty.
  std::string SenderName() const { return state_ != 0 ? sender_.Name() : std::string(); }
  // The result value of the top frame (the running called page's return value), or null.
  TCustomParam* CurrentResult() const;

  // Evaluates an expression: its value, or null when it has none (also after an error).
  const TCustomParam* Evaluate(Expression& e);
  // The expression as a condition; `empty` is the answer for an expression without value.
  bool Condition(Expression& e, bool empty = false);

  TParamCollection& Vars() { return vars_; }
  TTimerList& Events() { return events_; }
  EngineState& Engine() { return engine_; }
  TCallHost& Host() { return host_; }

  // Deletes the locals of the current depth (the frames on the stack).
  void DeleteCurrentLocals() { vars_.DeleteScope(stack_.Count()); }

 private:
  // Executes the command at the program counter; false when the page has ended.
  bool ExecuteCommand(bool& yields);
  void PopFrame();
  void TrimCache();
  void ForgetPage(const TPage& page);
  void TraceCommand(const TCommand& c);

  TParamCollection& vars_;
  TTimerList& events_;
  EngineState& engine_;
  TCallHost& host_;

  std::vector<std::unique_ptr<TPage>> pages_;  // front = most recently used
  TPage* page_ = nullptr;
  int32_t pc_ = 0;
  bool runFlag_ = false;
  TStackList stack_;
  bool started_ = false;
  TArrayString args_;
  int32_t state_ = 0;
  SenderRef sender_;
  int32_t level_ = 2;
  const TCommand* lastTraced_ = nullptr;
};

}  // namespace vorn
