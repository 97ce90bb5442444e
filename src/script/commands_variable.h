// Variable and property command records: Calc, VarNew, VarDel, GetProp, SetProp, ObjDel and
// PropMotion.
#pragma once

#include "script/command.h"

namespace vorn {

class TComCalc : public TCommand {
 public:
  int Kind() const override { return kComCalc; }
  void Execute(TCallMan& cm) override;
  void Transfer(RecordIO& io) override { io.Expr(expr, "expr"); }
  Expression expr;
};

class TComVarNew : public TCommand {
 public:
  int Kind() const override { return kComVarNew; }
  void Execute(TCallMan& cm) override;
  void Transfer(RecordIO& io) override {
    io.Str(name, "name");
    io.Byte(type, "type");
    io.Expr(value, "value");
    io.Byte(scope, "scope");
  }
  std::string name;
  uint8_t type = 1;   // 1 integer, 2 real, 3 flag, 4 string
  Expression value;
  uint8_t scope = 0;  // 0..3
};

class TComVarDel : public TCommand {
 public:
  int Kind() const override { return kComVarDel; }
  void Execute(TCallMan& cm) override;
  void Transfer(RecordIO& io) override { io.Str(name, "name"); }
  std::string name;
};

class TComGetProp : public TCommand {
 public:
  int Kind() const override { return kComGetProp; }
  void Transfer(RecordIO& io) override {
    io.Expr(object, "object");
    io.Expr(prop, "prop");
    io.Str(variable, "var");
  }
  Expression object, prop;
  std::string variable;
};

class TComSetProp : public TCommand {
 public:
  int Kind() const override { return kComSetProp; }
  void Transfer(RecordIO& io) override {
    io.Expr(object, "object");
    io.Expr(prop, "prop");
    io.Expr(value, "value");
  }
  Expression object, prop, value;
};

class TComObjDel : public TCommand {
 public:
  int Kind() const override { return kComObjDel; }
  void Transfer(RecordIO& io) override { io.Expr(object, "object"); }
  Expression object;
};

class TComPropMotion : public TCommand {
 public:
  int Kind() const override { return kComPropMotion; }
  void Transfer(RecordIO& io) override {
    io.Expr(name, "name");
    io.Expr(object, "object");
    io.Expr(prop, "prop");
    io.Expr(endValue, "end");
    io.Expr(duration, "duration");
    io.Expr(curve, "curve");
    if (io.Version() > 107) io.Expr(paused, "paused");
  }
  Expression name, object, prop, endValue, duration, curve, paused;
};

}  // namespace vorn
