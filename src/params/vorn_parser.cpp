// The evaluator: the stored expression form with its checks, and Execute, which runs the
// operation records against the variables with temporaries private to one evaluation.
#include "params/vorn_parser.h"

#include <cmath>

#include "params/build_vorn_parser.h"
#include "params/param_collection.h"
#include "params/param_messages.h"
#include "params/system_function_table.h"
#include "resources/error.h"
#include "resources/numeric.h"
#include "resources/sjis_case.h"

namespace vorn {

namespace {

constexpr const char* kOpNames[] = {"ocNone", "ocTo", "ocPlus", "ocMinus", "ocMul", "ocDiv", "ocMod",
                                    "ocOr", "ocAnd", "ocXor", "ocDimTo", "ocFunc", "ocEqual", "ocBig",
                                    "ocSmall", "ocEBig", "ocESmall", "ocShiftL", "ocShiftR",
                                    "ocComboStr", "ocNEqual"};

bool IsTempName(const std::string& s) { return s.size() >= 4 && s.compare(0, 4, kTempPrefix) == 0; }

std::string Format1(const char* pattern, const std::string& arg) {
  std::string out = pattern;
  size_t p = out.find("%s");
  if (p != std::string::npos) out.replace(p, 2, arg);
  return out;
}

// Minimum operand count of each code; the evaluator reads no operand beyond it.
int MinOperands(uint8_t code) {
  switch (code) {
    case ocTo: return 1;
    case ocFunc: return 0;
    default: return 2;
  }
}

void WriteOperand(BinaryWriter& w, const TCustomParam& op) {
  if (const auto* ref = dynamic_cast<const TParamVar*>(&op)) {
    w.U8(0);
    w.CountedString(ref->RefName());
    return;
  }
  uint8_t type = op.GetType();
  w.U8(type);
  switch (type) {
    case PT_INT: w.I32(op.GetInt()); break;
    case PT_FLOAT: w.Extended(op.GetFloat()); break;
    case PT_BOOL: w.U8(op.GetBool() ? 1 : 0); break;
    case PT_STR: w.CountedString(op.GetStr()); break;
    default: break;
  }
}

std::unique_ptr<TCustomParam> ReadOperand(BinaryReader& r) {
  uint8_t kind = r.U8("operand kind");
  switch (kind) {
    case 0: return std::make_unique<TParamVar>(r.CountedString("operand variable name"));
    case PT_INT: {
      auto p = std::make_unique<TParamInt>();
      p->Elements()[0] = r.I32("integer operand");
      return p;
    }
    case PT_FLOAT: {
      long double v = r.Extended("real operand");
      if (!std::isfinite(v)) r.Fail("real operand", "not a finite number");
      auto p = std::make_unique<TParamFloat>();
      p->Elements()[0] = v;
      return p;
    }
    case PT_BOOL: {
      auto p = std::make_unique<TParamFlag>();
      p->Elements()[0] = r.U8("flag operand") != 0;
      return p;
    }
    case PT_STR: {
      auto p = std::make_unique<TParamStr>();
      p->Elements()[0] = r.CountedString("string operand");
      return p;
    }
  }
  r.Fail("operand kind", "unknown kind " + std::to_string(kind));
}

// Temporaries of one evaluation. They are not in the variable manager, so a nested
// evaluation (Calc) or a function that deletes variables cannot reach or free them.
struct EvalFrame {
  std::vector<std::unique_ptr<TParamCollectionItem>> temps;
  TParamCollectionItem* Find(const std::string& name) const {
    for (auto it = temps.rbegin(); it != temps.rend(); ++it) {
      if ((*it)->Name() == name) return it->get();
    }
    return nullptr;
  }
  TParamCollectionItem* Add(const std::string& name, std::unique_ptr<TCustomParam> value) {
    temps.push_back(std::make_unique<TParamCollectionItem>(std::move(value)));
    temps.back()->SetName(name);
    return temps.back().get();
  }
};

[[noreturn]] void Raise(const char* what) { throw EVornError(what); }

class Evaluator {
 public:
  Evaluator(TParamCollection& vars, EvalFrame& frame) : vars_(vars), frame_(frame) {}

  void Run(TOpeData& rec) {
    struct Unbinder {
      TOpeData& rec;
      ~Unbinder() {
        for (auto& op : rec.Operands) {
          if (auto* ref = dynamic_cast<TParamVar*>(op.get())) ref->Unbind();
        }
      }
    } unbinder{rec};
    Bind(rec);
    if (IsTempName(rec.ResultName) && !frame_.Find(rec.ResultName)) CreateTemp(rec);
    TParamCollectionItem* result = Lookup(rec.ResultName);
    if (!result) throw EVornError(Format1(params_text::kMsgNoVariable, rec.ResultName));
    Operate(rec, result->Value());
  }

 private:
  TParamCollectionItem* Lookup(const std::string& name) const {
    if (IsTempName(name)) {
      if (TParamCollectionItem* t = frame_.Find(name)) return t;
    }
    return vars_.FindVariable(name);
  }

  void Bind(TOpeData& rec) {
    for (auto& op : rec.Operands) {
      auto* ref = dynamic_cast<TParamVar*>(op.get());
      if (!ref) continue;
      TParamCollectionItem* item = Lookup(ref->RefName());
      if (!item) throw EVornError(Format1(params_text::kMsgNoVariable, ref->RefName()));
      ref->Bind(item);
    }
  }

  static uint8_t TypeOf(const TOpeData& rec, size_t k) {
    return k < rec.Operands.size() ? rec.Operands[k]->GetType() : PT_NONE;
  }

  void CreateTemp(TOpeData& rec) {
    uint8_t a = TypeOf(rec, 0), b = TypeOf(rec, 1);
    uint8_t type = PT_INT;
    switch (rec.Code) {
      case ocTo: type = a; break;
      case ocPlus:
        type = a == PT_STR ? PT_STR : (a == PT_FLOAT || b == PT_FLOAT) ? PT_FLOAT : PT_INT;
        break;
      case ocMinus: case ocMul: case ocDiv:
        type = (a == PT_FLOAT || b == PT_FLOAT) ? PT_FLOAT : PT_INT;
        break;
      case ocDimTo: CreateElementRef(rec); return;
      case ocFunc: type = FunctionResultType(rec); break;
      case ocEqual: case ocBig: case ocSmall: case ocEBig: case ocESmall: case ocNEqual:
        type = PT_BOOL;
        break;
      case ocComboStr: type = PT_STR; break;
      case ocMod: case ocOr: case ocAnd: case ocXor: case ocShiftL: case ocShiftR:
        type = PT_INT;
        break;
      default: {
        std::string msg = std::string(params_text::kMsgBadExpr) + rec.ResultName + params_text::kMsgOpType +
                          OpCodeName(rec.Code);
        for (auto& op : rec.Operands) {
          auto* ref = dynamic_cast<TParamVar*>(op.get());
          msg += "\r\n" + (ref ? ref->RefName() : op->GetStr());
        }
        throw EVornError(msg);
      }
    }
    frame_.Add(rec.ResultName, CreateParam(type));
  }

  uint8_t FunctionResultType(const TOpeData& rec) const {
    if (rec.FuncIndex >= kSystemFunctionCount) return PT_INT;
    if (rec.FuncIndex == kFuncGetProp) {
      int32_t prop = rec.Operands.size() > 1 ? rec.Operands[1]->GetInt() : 0;
      if (prop > 164) Raise(params_text::kMsgGetPropArg);
      const TSysFuncMan* funcs = vars_.Functions();
      return funcs && funcs->PropertyType ? funcs->PropertyType(prop) : PT_STR;
    }
    return kSystemFunctions[rec.FuncIndex].ResultType;
  }

  void CreateElementRef(TOpeData& rec) {
    auto* arrayRef = dynamic_cast<TParamVar*>(rec.Operands[0].get());
    if (!arrayRef || !arrayRef->Target()) {
      throw EVornError(Format1(params_text::kMsgNoVariable, arrayRef ? arrayRef->RefName() : rec.Operands[0]->GetStr()));
    }
    TParamCollectionItem* array = arrayRef->Target();
    const TCustomParam& value = array->Value();
    std::vector<int64_t> indices;
    std::string where = arrayRef->RefName() + "[";
    for (size_t k = 1; k < rec.Operands.size(); ++k) {
      indices.push_back(rec.Operands[k]->GetInt());
      if (k > 1) where += ",";
      where += std::to_string(indices.back());
    }
    where += "]\r\n";
    int dimCount = value.GetDimCount();
    if (static_cast<int>(indices.size()) != dimCount) throw EVornError(where + params_text::kMsgDimMismatch);
    std::vector<int32_t> sizes;
    for (int k = 0; k < dimCount; ++k) sizes.push_back(value.GetDim(k));
    int64_t linear = LinearIndex(sizes, indices);
    if (linear < 0 || linear >= value.GetCount()) throw EVornError(where + params_text::kMsgDimOverflow);
    auto ref = std::make_unique<TParamVar>(arrayRef->RefName());
    ref->Bind(array, static_cast<int32_t>(linear));
    frame_.Add(rec.ResultName, std::move(ref));
  }

  void Operate(TOpeData& rec, TCustomParam& R) {
    const TCustomParam* a = rec.Operands.size() > 0 ? rec.Operands[0].get() : nullptr;
    const TCustomParam* b = rec.Operands.size() > 1 ? rec.Operands[1].get() : nullptr;
    switch (rec.Code) {
      case ocTo:
        switch (R.GetType()) {
          case PT_INT: R.SetInt(a->GetInt()); break;
          case PT_FLOAT: R.SetFloat(a->GetFloat()); break;
          case PT_BOOL: R.SetBool(a->GetBool()); break;
          case PT_STR: R.SetStr(a->GetStr()); break;
          default: break;
        }
        break;
      case ocPlus: case ocMinus: case ocMul: case ocDiv:
        Arithmetic(rec.Code, R, *a, *b);
        break;
      case ocMod: {
        int32_t x = a->GetInt(), y = b->GetInt();
        if (y == 0) Raise("Division by zero");
        R.SetInt(y == -1 ? 0 : TruncMod(x, y));
        break;
      }
      case ocOr: R.SetInt(a->GetInt() | b->GetInt()); break;
      case ocAnd: R.SetInt(a->GetInt() & b->GetInt()); break;
      case ocXor: R.SetInt(a->GetInt() ^ b->GetInt()); break;
      case ocShiftL:
        R.SetInt(static_cast<int32_t>(static_cast<uint32_t>(a->GetInt()) << (b->GetInt() & 31)));
        break;
      case ocShiftR:
        R.SetInt(static_cast<int32_t>(static_cast<uint32_t>(a->GetInt()) >> (b->GetInt() & 31)));
        break;
      case ocComboStr: R.SetStr(a->GetStr() + b->GetStr()); break;
      case ocEqual: case ocBig: case ocSmall: case ocEBig: case ocESmall: case ocNEqual:
        R.SetBool(Compare(rec.Code, *a, *b));
        break;
      case ocFunc: {
        const TSysFuncMan* funcs = vars_.Functions();
        if (!funcs) {
          throw EVornError(std::string(rec.FuncIndex < kSystemFunctionCount ? kSystemFunctions[rec.FuncIndex].Name : "?") +
                           ": no system functions attached");
        }
        std::vector<TCustomParam*> args;
        args.reserve(rec.Operands.size());
        for (auto& op : rec.Operands) args.push_back(op.get());
        TFuncCall call{R, rec.FuncIndex, args, vars_};
        funcs->CallFunction(call);
        break;
      }
      default: break;  // ocDimTo: the temporary is the work
    }
  }

  static void Arithmetic(uint8_t code, TCustomParam& R, const TCustomParam& a, const TCustomParam& b) {
    if (R.GetType() == PT_FLOAT) {
      long double x = a.GetFloat(), y = b.GetFloat(), r = 0;
      switch (code) {
        case ocPlus: r = x + y; break;
        case ocMinus: r = x - y; break;
        case ocMul: r = x * y; break;
        default:
          if (y == 0.0L) Raise("Division by zero");
          r = x / y;
      }
      if (!std::isfinite(r)) Raise("Invalid floating point operation");
      R.SetFloat(r);
      return;
    }
    int32_t x = a.GetInt(), y = b.GetInt(), r = 0;
    switch (code) {
      case ocPlus: r = AddWrap(x, y); break;
      case ocMinus: r = SubWrap(x, y); break;
      case ocMul: r = MulWrap(x, y); break;
      default:
        if (y == 0) Raise("Division by zero");
        if (x == INT32_MIN && y == -1) Raise("Integer overflow");
        r = TruncDiv(x, y);
    }
    R.SetInt(r);
  }

  static bool Compare(uint8_t code, const TCustomParam& a, const TCustomParam& b) {
    int c = 0;
    switch (a.GetType()) {
      case PT_STR: {
        int k = a.GetStr().compare(b.GetStr());
        c = k < 0 ? -1 : k > 0 ? 1 : 0;
        break;
      }
      case PT_FLOAT: {
        long double x = a.GetFloat(), y = b.GetFloat();
        c = x < y ? -1 : x > y ? 1 : 0;
        break;
      }
      case PT_BOOL: c = static_cast<int>(a.GetBool()) - static_cast<int>(b.GetBool()); break;
      default: {
        int32_t x = a.GetInt(), y = b.GetInt();
        c = x < y ? -1 : x > y ? 1 : 0;
      }
    }
    switch (code) {
      case ocEqual: return c == 0;
      case ocBig: return c > 0;
      case ocSmall: return c < 0;
      case ocEBig: return c >= 0;
      case ocESmall: return c <= 0;
      default: return c != 0;
    }
  }

  TParamCollection& vars_;
  EvalFrame& frame_;
};

}  // namespace

const char* OpCodeName(uint8_t code) { return code <= kLastOpCode ? kOpNames[code] : "?"; }

std::unique_ptr<TOpeData> TOpeData::Clone() const {
  auto p = std::make_unique<TOpeData>();
  p->Code = Code;
  p->ResultName = ResultName;
  p->FuncIndex = FuncIndex;
  for (const auto& op : Operands) {
    if (const auto* ref = dynamic_cast<const TParamVar*>(op.get())) {
      p->Operands.push_back(std::make_unique<TParamVar>(ref->RefName()));
    } else {
      p->Operands.push_back(op->Clone());
    }
  }
  return p;
}

TVornParser::TVornParser() = default;
TVornParser::~TVornParser() = default;
TVornParser::TVornParser(TVornParser&&) noexcept = default;
TVornParser& TVornParser::operator=(TVornParser&&) noexcept = default;

void TVornParser::Clear() {
  records_.clear();
  result_.reset();
}

void TVornParser::LoadFromStream(BinaryReader& r) {
  Clear();
  std::vector<std::unique_ptr<TOpeData>> records;
  int32_t n = r.Count("operation count", 9);
  for (int32_t i = 0; i < n; ++i) {
    auto rec = std::make_unique<TOpeData>();
    rec->Code = r.U8("operation code");
    if (rec->Code == ocNone || rec->Code > kLastOpCode) {
      r.Fail("operation code", "invalid code " + std::to_string(rec->Code));
    }
    rec->ResultName = r.CountedString("result name");
    int32_t count = r.Count("operand count", 2);
    if (rec->Code == ocFunc) {
      rec->FuncIndex = r.U8("function index");
      if (rec->FuncIndex >= kSystemFunctionCount) {
        r.Fail("function index", "no function number " + std::to_string(rec->FuncIndex));
      }
      if (!ArgCountFits(rec->FuncIndex, count)) {
        r.Fail("operand count", std::to_string(count) + " arguments do not fit " + kSystemFunctions[rec->FuncIndex].Name);
      }
    } else if (count < MinOperands(rec->Code)) {
      r.Fail("operand count", std::to_string(count) + " operands are too few for " + OpCodeName(rec->Code));
    }
    for (int32_t k = 0; k < count; ++k) rec->Operands.push_back(ReadOperand(r));
    records.push_back(std::move(rec));
  }
  records_ = std::move(records);
}

void TVornParser::SaveToStream(BinaryWriter& w) const {
  w.I32(static_cast<int32_t>(records_.size()));
  for (const auto& rec : records_) {
    w.U8(rec->Code);
    w.CountedString(rec->ResultName);
    w.I32(static_cast<int32_t>(rec->Operands.size()));
    if (rec->Code == ocFunc) w.U8(rec->FuncIndex);
    for (const auto& op : rec->Operands) WriteOperand(w, *op);
  }
}

void TVornParser::Assign(const TVornParser& other) {
  if (&other == this) return;
  Clear();
  for (const auto& rec : other.records_) records_.push_back(rec->Clone());
}

bool TVornParser::Execute(TParamCollection& vars) {
  result_.reset();
  lastError_.clear();
  if (running_) {
    // A re-entrant call (a function evaluating this same expression): operands are bound in
    // place, so the inner run works on a copy.
    TVornParser copy;
    copy.Assign(*this);
    bool ok = copy.Execute(vars);
    result_ = std::move(copy.result_);
    lastError_ = copy.lastError_;
    return ok;
  }
  struct Running {
    bool& flag;
    explicit Running(bool& f) : flag(f) { flag = true; }
    ~Running() { flag = false; }
  } running(running_);

  EvalFrame frame;
  Evaluator eval(vars, frame);
  bool ok = true;
  try {
    for (auto& rec : records_) eval.Run(*rec);
  } catch (const std::exception& e) {
    // Evaluation errors are not reported to the player; the message stays for logs and tests.
    ok = false;
    lastError_ = e.what();
  }
  if (!records_.empty() && records_.back()->Code == ocTo && records_.back()->ResultName == kArgName) {
    if (TParamCollectionItem* arg = frame.Find(kArgName)) {
      if (arg->GetType() != PT_NONE) result_ = arg->Value().Clone();
    }
  }
  return ok;
}

bool CheckExpression(const std::string& text, TParamCollection& vars) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  if (b == e) return false;
  try {
    TBuildVornParser builder;
    builder.Compile(text.substr(b, e - b));
    MemoryStream stream;
    BinaryWriter w(stream);
    builder.SaveToStream(w);
    stream.Seek(0);
    BinaryReader r(stream, "expression");
    TVornParser parser;
    parser.LoadFromStream(r);
    parser.Execute(vars);
    return true;
  } catch (const EVornError&) {
    return false;
  }
}

}  // namespace vorn
