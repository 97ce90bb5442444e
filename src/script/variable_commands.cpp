// Execution of Calc, VarNew and VarDel.
#include "resources/error.h"
#include "script/call_man.h"
#include "script/commands_variable.h"

namespace vorn {

namespace {
// "変数名がありません"
const char kNoVariableName[] = "\x95\xcf\x90\x94\x96\xbc\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
}  // namespace

void TComCalc::Execute(TCallMan& cm) {
  cm.Advance();
  cm.Evaluate(expr);
}

void TComVarNew::Execute(TCallMan& cm) {
  cm.Advance();
  if (name.empty()) throw EVornError(kNoVariableName);
  TParamCollection& vars = cm.Vars();
  TParamCollectionItem* item = vars.FindForCreate(name, scope == SCOPE_LOCAL);
  if (!item) {
    item = vars.CreateVariable(name, type, scope);
    if (scope == SCOPE_AUTO || scope == SCOPE_LOCAL) item->ScopeId = cm.Stack().Count();
  } else if (item->Status) {
    return;  // a status variable keeps its value
  }
  const TCustomParam* v = cm.Evaluate(value);
  if (!v) return;
  TCustomParam& target = item->Value();
  switch (type) {
    case PT_INT: target.SetInt(v->GetInt()); break;
    case PT_FLOAT: target.SetFloat(v->GetFloat()); break;
    case PT_BOOL: target.SetBool(v->GetBool()); break;
    case PT_STR: target.SetStr(v->GetStr()); break;
    default: break;
  }
}

void TComVarDel::Execute(TCallMan& cm) {
  cm.Advance();
  if (name.empty()) return;
  // System variables stay: DeleteVariable refuses them.
  cm.Vars().DeleteVariable(cm.Vars().FindVariable(name));
}

}  // namespace vorn
