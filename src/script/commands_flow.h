// Control-flow command records: branches, loops, labels, jumps, calls, waits and resets.
// Jump and loop targets are indexes into the page's command list, fixed by the compiler.
#pragma once

#include "script/command.h"

namespace vorn {

class TComIf : public TCommand {
 public:
  int Kind() const override { return kComIf; }
  void Execute(TCallMan& cm) override;
  void Transfer(RecordIO& io) override { io.Expr(cond, "cond"); }
  Expression cond;
};

class TComElseif : public TComIf {
 public:
  int Kind() const override { return kComElseif; }
  void Execute(TCallMan& cm) override;
};

class TComElse : public TCommand {
 public:
  int Kind() const override { return kComElse; }
  void Execute(TCallMan& cm) override;
  bool Continues() const override { return true; }
  void Transfer(RecordIO&) override {}
};

class TComLabel : public TCommand {
 public:
  int Kind() const override { return kComLabel; }
  bool IsLabel(const std::string& n) const override { return n == name; }
  void Transfer(RecordIO& io) override { io.Str(name, "name"); }
  std::string name;  // the comment text for TComComment
};

class TComComment : public TComLabel {
 public:
  int Kind() const override { return kComComment; }
  bool Continues() const override { return false; }
  bool Disabled() const override { return true; }  // never executed
  bool IsLabel(const std::string&) const override { return false; }
  void Transfer(RecordIO& io) override { io.Str(name, "text"); }
};

class TComJump : public TCommand {
 public:
  int Kind() const override { return kComJump; }
  void Execute(TCallMan& cm) override;
  void Transfer(RecordIO& io) override {
    io.Str(page, "page");
    io.Int(target, "target", FieldRole::Target);
    io.Expr(cond, "cond");
  }
  std::string page;
  int32_t target = 0;
  Expression cond;
};

class TComCall : public TCommand {
 public:
  int Kind() const override { return kComCall; }
  void Execute(TCallMan& cm) override;
  void Transfer(RecordIO& io) override {
    io.Str(page, "page");
    io.Int(target, "target", FieldRole::Target);
    io.Str(result, "result");
    io.Expr(cond, "cond");
    io.ExprList(args, "args");
  }
  std::string page;
  int32_t target = 0;
  std::string result;  // variable that receives the called page's result, or empty
  Expression cond;
  std::vector<Expression> args;
};

class TComExit : public TCommand {
 public:
  int Kind() const override { return kComExit; }
  void Execute(TCallMan& cm) override;
  void Transfer(RecordIO& io) override { io.Expr(cond, "cond"); }
  Expression cond;
};

// Break goes to the command after the loop, Continue to the loop's WhileLoop; a negative
// target (outside any loop) ends the page.
class TComBreak : public TComExit {
 public:
  int Kind() const override { return kComBreak; }
  void Execute(TCallMan& cm) override;
  void Transfer(RecordIO& io) override {
    TComExit::Transfer(io);
    io.Int(target, "target", FieldRole::Target);
  }
  int32_t target = -1;
};

class TComContinue : public TComBreak {
 public:
  int Kind() const override { return kComContinue; }
  void Execute(TCallMan& cm) override;
};

class TComWhile : public TCommand {
 public:
  int Kind() const override { return kComWhile; }
  void Execute(TCallMan& cm) override;
  void Transfer(RecordIO& io) override {
    io.Expr(cond, "cond");
    io.Int(after, "after", FieldRole::Target);
  }
  Expression cond;
  int32_t after = 0;  // index of the command after the loop's WhileLoop
};

// Commands the compiler generates around a While; they always continue.
class TComRuntime : public TCommand {
 public:
  bool Continues() const override { return true; }
};

class TComWhileInit : public TComRuntime {
 public:
  int Kind() const override { return kComWhileInit; }
  void Execute(TCallMan& cm) override;
  void Transfer(RecordIO& io) override { io.Expr(expr, "expr"); }
  Expression expr;  // the loop's initialisation (WhileInit) or step (WhileLoop)
};

class TComWhileLoop : public TComWhileInit {
 public:
  int Kind() const override { return kComWhileLoop; }
  void Execute(TCallMan& cm) override;
  void Transfer(RecordIO& io) override {
    TComWhileInit::Transfer(io);
    io.Int(target, "target", FieldRole::Target);
  }
  int32_t target = 0;  // index of the While
};

class TComWait : public TCommand {
 public:
  int Kind() const override { return kComWait; }
  void Start(TCallMan& cm) override;
  void Execute(TCallMan& cm) override;
  bool BlocksEvents() const override { return blocksEvents; }
  bool Yields() const override { return true; }
  // "vorn100", remaining time, delay counter, blocks-events byte.
  void SaveState(BinaryWriter& w) const override;
  void LoadState(BinaryReader& r) override;
  void Transfer(RecordIO& io) override {
    io.Expr(cond, "cond");
    io.Expr(time, "time");
    if (io.Version() > 106) io.Expr(noEvents, "noevents");
  }
  Expression cond;
  Expression time;      // ms
  Expression noEvents;  // no events while waiting (pages above 106)

  // In-progress state.
  int32_t remaining = 0;     // ms left; 0 waits for the condition alone
  int32_t delay = 0;         // frames to let pass before time counts
  bool blocksEvents = false;
};

class TComDoEvent : public TCommand {
 public:
  int Kind() const override { return kComDoEvent; }
  bool Yields() const override { return true; }
  bool Continues() const override { return false; }
  void Transfer(RecordIO&) override {}
};

class TComPCReset : public TCommand {
 public:
  int Kind() const override { return kComPCReset; }
  void Execute(TCallMan& cm) override;
  void Transfer(RecordIO& io) override {
    io.Str(page, "page");
    io.Int(target, "target", FieldRole::Target);
    io.Byte(all, "all");
  }
  std::string page;
  int32_t target = 0;
  uint8_t all = 0;
};

class TComReset : public TComPCReset {
 public:
  int Kind() const override { return kComReset; }
  void Execute(TCallMan& cm) override;
};

class TComTerminate : public TCommand {
 public:
  int Kind() const override { return kComTerminate; }
  void Execute(TCallMan& cm) override;
  void Transfer(RecordIO&) override {}
};

}  // namespace vorn
