// Execution of the control-flow commands: branches, loops, jumps, calls, waits, resets and
// Terminate. Every Execute advances the program counter first unless it moves it itself.
#include <cstring>

#include "resources/error.h"
#include "resources/stream.h"
#include "script/call_man.h"
#include "script/command_state.h"
#include "script/commands_flow.h"

namespace vorn {

void WriteCommandStateTag(BinaryWriter& w) {
  static const char kTag[] = "vorn100";
  w.Bytes(reinterpret_cast<const uint8_t*>(kTag), 7);
}

int ReadCommandStateTag(BinaryReader& r) {
  const int64_t start = r.Position();
  if (r.stream().Size() - start < 7) return 0;
  std::vector<uint8_t> tag = r.Bytes(7, "command state tag");
  if (std::memcmp(tag.data(), "vorn", 4) == 0) {
    int version = 0;
    for (int i = 4; i < 7; ++i) {
      if (tag[static_cast<size_t>(i)] < '0' || tag[static_cast<size_t>(i)] > '9')
        r.Fail("command state tag", "version is not three digits");
      version = version * 10 + (tag[static_cast<size_t>(i)] - '0');
    }
    return version;
  }
  r.stream().Seek(start);
  return 0;
}

void TCommand::Execute(TCallMan& cm) { cm.Advance(); }

namespace {
// Index of the first command after `from` that is not deeper than `indent`.
int SkipDeeper(const TComList& list, int from, int32_t indent) {
  int i = from;
  while (i < list.Count() && list[i].indent > indent) ++i;
  return i;
}

void GoTo(TCallMan& cm, int32_t target) {
  if (target < 0) cm.EndPage();
  else cm.SetPc(target);
}
}  // namespace

void TComIf::Execute(TCallMan& cm) {
  if (cm.Condition(cond)) {
    cm.Advance();
    return;
  }
  const TComList& list = cm.Page()->Commands();
  int i = cm.Pc() + 1;
  while (i < list.Count()) {
    TCommand& c = list[i];
    if (c.indent > indent) {
      ++i;
      continue;
    }
    if (c.indent < indent) break;
    if (c.Kind() == kComElse) {
      ++i;
      break;
    }
    if (c.Kind() != kComElseif) break;
    if (cm.Condition(static_cast<TComElseif&>(c).cond)) {
      ++i;
      break;
    }
    ++i;
  }
  cm.SetPc(i);
}

void TComElseif::Execute(TCallMan& cm) {
  cm.SetPc(SkipDeeper(cm.Page()->Commands(), cm.Pc() + 1, indent));
}

void TComElse::Execute(TCallMan& cm) {
  cm.SetPc(SkipDeeper(cm.Page()->Commands(), cm.Pc() + 1, indent));
}

void TComWhile::Execute(TCallMan& cm) {
  if (cm.Condition(cond)) cm.Advance();
  else cm.SetPc(after);
}

void TComWhileInit::Execute(TCallMan& cm) {
  cm.Advance();
  cm.Evaluate(expr);
}

void TComWhileLoop::Execute(TCallMan& cm) {
  cm.SetPc(target);
  cm.Evaluate(expr);
}

void TComBreak::Execute(TCallMan& cm) {
  if (cm.Condition(cond)) GoTo(cm, target);
  else cm.Advance();
}

void TComContinue::Execute(TCallMan& cm) {
  cm.Advance();
  if (cm.Condition(cond)) GoTo(cm, target);
}

void TComExit::Execute(TCallMan& cm) {
  if (cm.Condition(cond)) cm.EndPage();
  else cm.Advance();
}

void TComJump::Execute(TCallMan& cm) {
  cm.Advance();
  if (!cm.Condition(cond) || !cm.Host().RequireFile(page)) return;
  TPage* p = cm.FindOrLoad(page, true);
  cm.SetPage(p);
  cm.SetPc(target);
}

void TComCall::Execute(TCallMan& cm) {
  cm.Advance();
  if (!cm.Condition(cond) || !cm.Host().RequireFile(page)) return;
  TArrayString newArgs;
  for (Expression& e : args) {
    const TCustomParam* v = cm.Evaluate(e);
    newArgs.Add(v ? v->GetStr() : std::string());
  }
  auto frame = std::make_unique<TStack>();
  frame->PageName = cm.Page()->Name();
  frame->Pc = cm.Pc();
  frame->ResultName = result;
  frame->RunFlag = cm.RunFlag();
  frame->Sender = cm.Sender();
  frame->Args.Assign(cm.Args());
  // The page is there before the frame goes on: a failed load leaves the caller running on.
  TPage* p = cm.FindOrLoad(page, true);
  frame->Result = CreateParam(p->resultType);
  cm.Stack().Push(std::move(frame));
  cm.SetArgs(newArgs);
  cm.SetPage(p);
  cm.SetPc(target);
}

void TComWait::Start(TCallMan& cm) {
  const TCustomParam* t = cm.Evaluate(time);
  remaining = t ? t->GetInt() : 0;
  delay = 1;
  blocksEvents = cm.Condition(noEvents);
}

void TComWait::Execute(TCallMan& cm) {
  if (!cm.Condition(cond, true)) {
    cm.Advance();
    return;
  }
  if (remaining != 0) {
    if (delay > 0) --delay;
    else remaining -= static_cast<int32_t>(cm.Engine().FrameDelta);
    if (remaining <= 0) {
      cm.Advance();
      return;
    }
  }
  cm.SetRunFlag(false);
}

void TComWait::SaveState(BinaryWriter& w) const {
  WriteCommandStateTag(w);
  w.I32(remaining);
  w.I32(delay);
  w.U8(blocksEvents ? 1 : 0);
}

void TComWait::LoadState(BinaryReader& r) {
  const int version = ReadCommandStateTag(r);
  remaining = r.I32("wait remaining time");
  delay = r.I32("wait delay");
  blocksEvents = version >= 100 ? r.U8("wait no events") != 0 : false;
}

void TComTerminate::Execute(TCallMan& cm) {
  cm.Advance();
  cm.Engine().TerminateRequested = true;
  cm.Host().RequestClose();
}

void TComPCReset::Execute(TCallMan& cm) {
  cm.Advance();
  if (all) {
    // Everything restarts at the target: abandon every frame, then start afresh.
    cm.FindOrLoad(page, false);  // raises before anything changes when the page is missing
    cm.DeleteCurrentLocals();
    TStackList& stack = cm.Stack();
    for (int i = stack.Count() - 1; i >= 0; --i) {
      TStack& f = stack[i];
      cm.Vars().DeleteScope(i);
      if (!f.Sender.None() || !f.Started) continue;
      try {
        TPage* p = cm.FindOrLoad(f.PageName, false);
        if (TCommand* c = p->Commands().At(f.Pc)) c->Abort();
      } catch (const EVornError&) {
        // A page that is gone has no command to abort.
      }
    }
    cm.Start(page);
    cm.SetPc(target);
    cm.Events().Clear();
    return;
  }
  cm.DeleteCurrentLocals();
  TStackList& stack = cm.Stack();
  // The point where the handlers begin: the bottom-most frame saved from a handler, or the
  // whole stack when the running flow is a handler started from the main flow.
  int point = -1;
  for (int i = 0; i < stack.Count() && point < 0; ++i)
    if (!stack[i].Sender.None()) point = i;
  if (point < 0 && cm.State() != 0 && !cm.Sender().None()) point = stack.Count();
  TStack* resume = nullptr;
  int depth = 0;
  for (int i = point - 1; i >= 0; --i) {
    if (stack[i].Sender.None()) {
      resume = &stack[i];
      depth = i;
      break;
    }
  }
  if (resume) {
    for (int d = stack.Count(); d > depth; --d) cm.Vars().DeleteScope(d);
    resume->PageName = page;
    resume->Pc = target;
    resume->ResultName.clear();
    resume->Args.Clear();
    resume->Started = false;
    resume->State.reset();
  } else {
    TPage* p = cm.FindOrLoad(page, true);
    cm.SetPage(p);
    cm.SetPc(target);
  }
  cm.Events().RemoveHandled();
}

void TComReset::Execute(TCallMan& cm) {
  cm.Advance();
  cm.FindOrLoad(page, false);  // raises before anything changes when the page is missing
  cm.Host().ResetWorld();
  cm.Events().Clear();
  cm.Vars().Reset();
  cm.Start(page);
  cm.SetPc(target);
}

}  // namespace vorn
