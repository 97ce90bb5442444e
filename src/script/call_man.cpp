// The interpreter's flow: page cache, frames, Step/TryEvent/Run and the script trace.
#include "script/call_man.h"

#include <algorithm>
#include <cstdio>

#include "resources/error.h"
#include "resources/sjis_string.h"
#include "resources/stream.h"

namespace vorn {

namespace {
// "スタックエラー"
const char kStackError[] = "\x83\x58\x83\x5e\x83\x62\x83\x4e\x83\x47\x83\x89\x81\x5b";

std::string ClockPrefix(uint32_t clock) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.8x : ", clock);
  return buf;
}
}  // namespace

// ---- frames ----

TStack& TStackList::Push(std::unique_ptr<TStack> frame) {
  frames_.push_back(std::move(frame));
  vars_.SetCurrentScope(Count());
  return *frames_.back();
}

std::unique_ptr<TStack> TStackList::Pop() {
  if (frames_.empty()) throw EVornError(kStackError);
  auto frame = std::move(frames_.back());
  frames_.pop_back();
  vars_.SetCurrentScope(Count());
  return frame;
}

void TStackList::Clear() {
  frames_.clear();
  vars_.SetCurrentScope(0);
}

// ---- the call manager ----

TCallMan::TCallMan(TParamCollection& vars, TTimerList& events, EngineState& state, TCallHost& host)
    : vars_(vars), events_(events), engine_(state), host_(host), stack_(vars) {}

TCallMan::~TCallMan() {
  for (const auto& page : pages_) ForgetPage(*page);
}

TPage* TCallMan::FindOrLoad(const std::string& name, bool front) {
  for (size_t i = 0; i < pages_.size(); ++i) {
    if (pages_[i]->Name() != name) continue;
    TPage* page = pages_[i].get();
    if (front) {
      std::rotate(pages_.begin(), pages_.begin() + static_cast<ptrdiff_t>(i),
                  pages_.begin() + static_cast<ptrdiff_t>(i) + 1);
      pc_ = 0;
      TrimCache();  // a page appended earlier may have left the cache above its size
    }
    return page;
  }
  // Load before anything changes: a failed load leaves the flow where it was.
  std::unique_ptr<TPage> loaded = host_.LoadPage(name);
  loaded->SetName(name);
  TPage* page = loaded.get();
  if (!front) {
    pages_.push_back(std::move(loaded));
    return page;
  }
  pages_.insert(pages_.begin(), std::move(loaded));
  pc_ = 0;
  TrimCache();
  return page;
}

void TCallMan::TrimCache() {
  // Never free the page whose command is running.
  while (static_cast<int>(pages_.size()) > kCacheSize && pages_.back().get() != page_) {
    if (lastTraced_ && lastTraced_->Owner() && lastTraced_->Owner()->Page() == pages_.back().get())
      lastTraced_ = nullptr;
    ForgetPage(*pages_.back());
    pages_.pop_back();
  }
}

void TCallMan::ForgetPage(const TPage& page) {
  // A freed page takes its own engine-internal variable with it.
  vars_.DeleteVariable(vars_.Find("\x01" + page.Name()));
}

void TCallMan::Start(const std::string& name) {
  TPage* page = FindOrLoad(name, true);
  page_ = page;
  pc_ = 0;
  started_ = false;
  args_.Clear();
  state_ = 0;
  stack_.Clear();
  sender_ = SenderRef();
  for (int32_t i = 1; i <= level_; ++i) events_.RemoveLevel(i);
  level_ = 2;
}

TCustomParam* TCallMan::CurrentResult() const {
  TStack* top = stack_.Top();
  return top ? top->Result.get() : nullptr;
}

const TCustomParam* TCallMan::Evaluate(Expression& e) {
  if (e.Empty()) return nullptr;
  e.Execute(vars_);
  return e.Result();
}

bool TCallMan::Condition(Expression& e, bool empty) {
  const TCustomParam* v = Evaluate(e);
  return v ? v->GetBool() : empty;
}

void TCallMan::TraceCommand(const TCommand& c) {
  if (&c == lastTraced_) return;
  lastTraced_ = &c;
  host_.WriteTrace(ClockPrefix(engine_.GameClock) + page_->Name() + "(" + std::to_string(c.line) + ")");
}

bool TCallMan::ExecuteCommand(bool& yields) {
  yields = false;
  if (!page_ || pc_ < 0 || pc_ >= page_->Commands().Count()) return false;
  TCommand& c = page_->Commands()[pc_];
  if (host_.TraceEnabled()) TraceCommand(c);
  TPage* const page = page_;
  const int32_t pc = pc_;
  try {
    if (!started_) {
      if (c.Disabled()) {
        ++pc_;
        return true;
      }
      c.Start(*this);
      started_ = true;
    }
    runFlag_ = c.Continues();
    yields = c.Yields();
    c.Execute(*this);
  } catch (const EVornError&) {
    // Commands advance before they can fail; execution goes on with the next command. A
    // failed Start has not advanced: the command is passed so that it is not retried forever.
    if (!started_ && page_ == page && pc_ == pc) ++pc_;
  }
  if (page_ != page || pc_ != pc) started_ = false;
  return true;
}

int TCallMan::Step() {
  if (!page_) return 0;
  bool yields = false;
  const bool ran = ExecuteCommand(yields);
  const int y = yields ? 2 : 0;
  if (ran) return y;
  // The page has ended.
  if (stack_.Empty()) {
    runFlag_ = false;
    return y;
  }
  PopFrame();
  if (sender_.None()) return 1;
  return y == 0 ? -1 : y;
}

void TCallMan::PopFrame() {
  DeleteCurrentLocals();
  std::unique_ptr<TStack> frame = stack_.Pop();
  if (!frame->ResultName.empty() && frame->Result) {
    // The value goes straight into the variable, which is created when missing.
    // A value the variable cannot take (a real beyond the integer range) or a name that is
    // not a variable name receives nothing; the return itself goes on like after a failed
    // command.
    try {
      TParamCollectionItem* item = vars_.FindVariable(frame->ResultName);
      if (!item) item = vars_.CreateVariable(frame->ResultName, frame->Result->GetType(), SCOPE_GLOBAL);
      item->Value().CopyFrom(*frame->Result);
    } catch (const EVornError&) {
    }
  }
  runFlag_ = frame->RunFlag;
  args_.Assign(frame->Args);
  sender_ = frame->Sender;
  TPage* page = nullptr;
  try {
    page = FindOrLoad(frame->PageName, true);
  } catch (const EVornError& e) {
    // The page to go back to cannot be had: this level ends as well, and the next step
    // unwinds to the frame below.
    host_.Warn(e.what());
    started_ = false;
    EndPage();
    return;
  }
  page_ = page;
  pc_ = frame->Pc;
  started_ = frame->Started;
  if (started_ && frame->State && pc_ >= 0 && pc_ < page_->Commands().Count()) {
    MemoryView view(*frame->State);
    BinaryReader r(view, "command state");
    try {
      page_->Commands()[pc_].LoadState(r);
    } catch (const EVornError&) {
      started_ = false;  // restart the command rather than run it with a broken state
    }
  }
}

int TCallMan::TryEvent(int32_t level) {
  if (started_ && page_ && pc_ >= 0 && pc_ < page_->Commands().Count() &&
      page_->Commands()[pc_].BlocksEvents())
    return 0;
  TTimerData* rec = nullptr;
  std::string pageName, label;
  // A handler whose page cannot be had is dropped: left waiting it would hold back every
  // later event for good. The next waiting event gets its turn at once.
  while ((rec = events_.NextPending()) != nullptr) {
    pageName = rec->Handler;
    label = SplitColonSuffix(pageName);
    pageName = (pageName.size() >= 3 ? pageName.substr(0, pageName.size() - 3) : std::string()) + "vsb";
    std::string failure;
    if (!host_.RequireFile(pageName)) {
      failure = pageName;
    } else {
      // Loaded first (not to the front yet), so that a failure leaves the flow untouched.
      try {
        FindOrLoad(pageName, false);
        break;
      } catch (const EVornError& e) {
        failure = e.what();
      }
    }
    host_.Warn("event handler " + rec->Handler + " dropped: " + failure);
    events_.Remove(rec);
  }
  if (!rec) return 0;

  auto frame = std::make_unique<TStack>();
  frame->PageName = page_ ? page_->Name() : std::string();
  frame->Pc = pc_;
  frame->Started = started_;
  frame->Args.Assign(args_);
  frame->Sender = sender_;
  frame->RunFlag = runFlag_;
  if (started_ && page_ && pc_ >= 0 && pc_ < page_->Commands().Count()) {
    MemoryStream out;
    BinaryWriter w(out);
    page_->Commands()[pc_].SaveState(w);
    frame->State = out.Take();
  }
  stack_.Push(std::move(frame));

  page_ = FindOrLoad(pageName, true);  // cached now: cannot fail
  pc_ = label.empty() ? 0 : std::max(0, page_->Commands().FindLabel(label));
  if (host_.TraceEnabled()) {
    const TCommand* at = page_->Commands().At(pc_);
    host_.WriteTrace(ClockPrefix(engine_.GameClock) + "<Event>" + page_->Name() + "(" +
                     std::to_string(at ? at->line : 0) + ")");
  }
  started_ = false;
  rec->Level = level;
  args_.Assign(rec->Args);
  sender_ = rec->Sender;
  state_ = 1;
  return 1;
}

void TCallMan::Run() {
  runFlag_ = true;
  while ((runFlag_ || state_ != 0) && !engine_.TerminateRequested) {
    switch (state_) {
      case 0:
        if (TryEvent(1) == 0) Step();
        break;
      case 1: {
        const int r = Step();
        if (r == 1) {
          events_.RemoveLevel(1);
          state_ = 0;
          runFlag_ = true;
        } else if (r == 2) {
          level_ = 2;
          state_ = 2;
          return;
        } else if (state_ != 1) {
          runFlag_ = true;
        }
        break;
      }
      case 2: {
        const int r = TryEvent(level_);
        if (r == 0) {
          state_ = level_ > 2 ? 3 : 1;
        } else {
          ++level_;
          state_ = 3;
        }
        break;
      }
      default: {
        const int r = Step();
        if (r == 1 || r == -1) {
          --level_;
          events_.RemoveLevel(level_);
          if (level_ <= 2) state_ = 2;
        } else if (r == 2) {
          state_ = 2;
          return;
        }
        break;
      }
    }
  }
}

}  // namespace vorn
