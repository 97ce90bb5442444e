// The expression compiler and evaluator: records made by the passes, golden streams, the
// evaluation rules, the order of side effects, and the error cases.
#include <gtest/gtest.h>

#include "params/build_vorn_parser.h"
#include "params/param_collection.h"
#include "params/param_messages.h"
#include "params/system_function_table.h"
#include "params/vorn_parser.h"
#include "resources/error.h"
#include "resources/numeric.h"
#include "resources/stream.h"

namespace vorn {
namespace {

// Records as "result=code(op,op)" for compact comparisons.
std::string Show(const TBuildVornParser& b) {
  std::string s;
  for (const auto& r : b.Records()) {
    if (!s.empty()) s += "; ";
    s += r.ResultName + "=" + OpCodeName(r.Code) + "(";
    for (size_t k = 0; k < r.Operands.size(); ++k) s += (k ? "," : "") + r.Operands[k];
    s += ")";
  }
  return s;
}

std::string Compiled(const std::string& text) {
  TBuildVornParser b;
  b.Compile(text);
  return Show(b);
}

std::string CompileError(const std::string& text) {
  try {
    TBuildVornParser b;
    b.Compile(text);
    MemoryStream s;
    BinaryWriter w(s);
    b.SaveToStream(w);
  } catch (const EVornError& e) {
    return e.what();
  }
  return "(no error)";
}

// Compile -> stream -> load -> evaluate, as a page does.
struct Env {
  TParamCollection vars;
  TSysFuncMan funcs;
  std::vector<std::string> calls;  // side-effect log of the test functions

  Env() {
    vars.SetFunctions(&funcs);
    // Test stand-ins registered through the public registration point.
    funcs.Register("Length", [](TFuncCall& c) { c.R.SetInt(static_cast<int32_t>(c.Args[0]->GetStr().size())); });
    funcs.Register("Max", [this](TFuncCall& c) {
      calls.push_back("Max(" + c.Args[0]->GetStr() + "," + c.Args[1]->GetStr() + ")");
      c.R.SetInt(std::max(c.Args[0]->GetInt(), c.Args[1]->GetInt()));
    });
    funcs.Register("Min", [this](TFuncCall& c) {
      calls.push_back("Min(" + c.Args[0]->GetStr() + "," + c.Args[1]->GetStr() + ")");
      c.R.SetInt(std::min(c.Args[0]->GetInt(), c.Args[1]->GetInt()));
    });
    funcs.Register("Exists", [this](TFuncCall& c) {  // stand-in that deletes the named variable
      vars.DeleteVariable(vars.FindVariable(c.Args[0]->GetStr()));
    });
  }
  TParamCollectionItem* Var(const std::string& name, uint8_t type) { return vars.CreateVariable(name, type, SCOPE_GLOBAL); }
  TVornParser Load(const std::string& text) {
    TBuildVornParser b;
    b.Compile(text);
    MemoryStream s;
    BinaryWriter w(s);
    b.SaveToStream(w);
    s.Seek(0);
    BinaryReader r(s, "expression");
    TVornParser p;
    p.LoadFromStream(r);
    EXPECT_TRUE(r.AtEnd());
    return p;
  }
  // Runs the text; returns the result as text, or "none".
  std::string Eval(const std::string& text) {
    TVornParser p = Load(text);
    p.Execute(vars);
    return p.Result() ? p.Result()->GetStr() : "none";
  }
};

TEST(Compiler, PassesMakeTheRecordsInOrder) {
  struct Case {
    const char* text;
    const char* records;
  } cases[] = {
      {"x = a + 1", "____0=ocPlus(a,1); x=ocTo(____0)"},
      {"a + 1", "____0=ocPlus(a,1); ____arg=ocTo(____0)"},
      {"x = 1 + 2 * 3", "____0=ocMul(2,3); ____1=ocPlus(1,____0); x=ocTo(____1)"},
      {"x = (1 + 2) * 3", "____1=ocPlus(1,2); ____2=ocMul(____1,3); x=ocTo(____2)"},
      {"x = a - -b", "____0=ocMinus(0,b); ____1=ocMinus(a,____0); x=ocTo(____1)"},
      {"-a + b", "____0=ocMinus(0,a); ____1=ocPlus(____0,b); ____arg=ocTo(____1)"},
      {"a + +b", "____0=ocPlus(a,b); ____arg=ocTo(____0)"},
      {"x = \"a\" ++ \"b\"", "____0=ocTo(\"a\"); ____1=ocTo(\"b\"); ____2=ocComboStr(____0,____1); x=ocTo(____2)"},
      {"a[1] = 5", "____d_0=ocDimTo(a,1); ____d_0=ocTo(5)"},
      {"x = a[i + 1, 2]", "____2=ocPlus(i,1); ____d_0=ocDimTo(a,____2,2); x=ocTo(____d_0)"},
      {"x = Max(1, 2)", "____0=ocFunc(Max,1,2); x=ocTo(____0)"},
      // A parenthesised name is its own ocTo record; the pure renames are cleaned up.
      {"x = Max(((a)+(b)), 2)",
       "____2=ocTo(b); ____3=ocTo(a); ____4=ocPlus(____3,____2); ____0=ocFunc(Max,____4,2); x=ocTo(____0)"},
      {"x = a == b | c < d", "____0=ocEqual(a,b); ____1=ocSmall(c,d); ____2=ocOr(____0,____1); x=ocTo(____2)"},
      {"x = 1 << 2 >> 3", "____0=ocShiftL(1,2); ____1=ocShiftR(____0,3); x=ocTo(____1)"},
      {"PopVar()", "____0=ocFunc(PopVar); ____arg=ocTo(____0)"},
      {"x", "____arg=ocTo(x)"},
      {"", "____arg=ocTo()"},
      {"1e-5", "____0=ocMinus(1e,5); ____arg=ocTo(____0)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Compiled(c.text), c.records) << c.text;
}

TEST(Compiler, StringLiteralEscapes) {
  TBuildVornParser b;
  b.Compile("s = \"a\\\"b\" ++ \"x\\ny\" ++ \"c\\\\d\"");
  ASSERT_GE(b.Records().size(), 3u);
  EXPECT_EQ(b.Records()[0].Operands[0], "\"a\"b\"");
  EXPECT_EQ(b.Records()[1].Operands[0], "\"x\r\ny\"");
  EXPECT_EQ(b.Records()[2].Operands[0], "\"c\\d\"");
  // A two-byte character whose trail byte is a backslash does not escape the quote.
  TBuildVornParser k;
  k.Compile("s = \"\x83\x5c\"");
  EXPECT_EQ(k.Records()[0].Operands[0], "\"\x83\x5c\"");
}

TEST(Compiler, Errors) {
  const std::string syntax = params_text::kMsgSyntax;
  for (const char* text : {"a = b = c", "x = \"abc", "x = Max(1, 2", "x = 1 +", "x = (1 + 2", "x = 1 + 2)",
                           "= 1", "x = * 2", "x = a]", "x = [1]", "x = a[1", "x = a + [1]", "* 2", "x = 1 + * 2"}) {
    EXPECT_EQ(CompileError(text), syntax) << text;
  }
  EXPECT_EQ(CompileError("x = a[]"), params_text::kMsgBadSubscripts);
  EXPECT_EQ(CompileError("x = Nope(1)"), "\"Nope\" \x8a\xd6\x90\x94\x96\xbc\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1");
  EXPECT_EQ(CompileError("x = max(1, 2)"), "\"max\" \x8a\xd6\x90\x94\x96\xbc\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1");
  EXPECT_EQ(CompileError("x = Max(1)"), std::string("Max") + params_text::kMsgArgCount);
  EXPECT_EQ(CompileError("x = PopVar(1)"), std::string("PopVar") + params_text::kMsgArgCount);
  // A failed compile leaves the builder as it was.
  TBuildVornParser b;
  b.Compile("x = 1");
  EXPECT_THROW(b.Compile("y = (2"), EVornError);
  EXPECT_EQ(Show(b), "x=ocTo(1)");
}

// Golden streams assembled byte by byte from the stored layout.
struct Bytes {
  std::vector<uint8_t> b;
  Bytes& u8(uint8_t v) { b.push_back(v); return *this; }
  Bytes& i32(int32_t v) {
    for (int k = 0; k < 4; ++k) b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * k)));
    return *this;
  }
  Bytes& str(const std::string& s) {
    i32(static_cast<int32_t>(s.size()));
    b.insert(b.end(), s.begin(), s.end());
    return *this;
  }
};

std::vector<uint8_t> Stored(const std::string& text) {
  TBuildVornParser b;
  b.Compile(text);
  MemoryStream s;
  BinaryWriter w(s);
  b.SaveToStream(w);
  return s.Data();
}

TEST(StreamForm, GoldenStreams) {
  Bytes xa1;
  xa1.i32(2)
      .u8(ocPlus).str("____0").i32(2).u8(0).str("a").u8(1).i32(1)
      .u8(ocTo).str("x").i32(1).u8(0).str("____0");
  EXPECT_EQ(Stored("x = a + 1"), xa1.b);

  Bytes real;
  real.i32(1).u8(ocTo).str("y").i32(1).u8(2);
  for (uint8_t v : {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}) real.u8(v);  // 1.5
  EXPECT_EQ(Stored("y = 1.5"), real.b);

  Bytes call;
  call.i32(3)
      .u8(ocTo).str("____0").i32(1).u8(4).str("t")
      .u8(ocFunc).str("____1").i32(2).u8(127).u8(3).u8(1).u8(0).str("____0")
      .u8(ocTo).str("____arg").i32(1).u8(0).str("____1");
  EXPECT_EQ(Stored("Max(TRUE, \"t\")"), call.b);

  // The hand-made stream loads and runs.
  TParamCollection vars;
  vars.CreateVariable("a", PT_INT, SCOPE_GLOBAL)->Value().SetInt(41);
  vars.CreateVariable("x", PT_INT, SCOPE_GLOBAL);
  MemoryView view(xa1.b);
  BinaryReader r(view, "golden");
  TVornParser p;
  p.LoadFromStream(r);
  EXPECT_TRUE(p.Execute(vars));
  EXPECT_EQ(vars.FindVariable("x")->Value().GetInt(), 42);
}

TEST(StreamForm, SaveAfterLoadIsIdentical) {
  for (const char* text : {"x = a[1, i + 2] * 1.25 ++ \"s\"", "y = Max(Min(1, 2), -3) <> 4 & b", "z = FALSE"}) {
    std::vector<uint8_t> bytes = Stored(text);
    MemoryView view(bytes);
    BinaryReader r(view, "expr");
    TVornParser p;
    p.LoadFromStream(r);
    TVornParser copy;
    copy.Assign(p);
    MemoryStream out;
    BinaryWriter w(out);
    copy.SaveToStream(w);
    EXPECT_EQ(out.Data(), bytes) << text;
  }
}

TEST(StreamForm, LoadValidatesEveryField) {
  auto load = [](const Bytes& b) {
    MemoryView view(b.b);
    BinaryReader r(view, "expr");
    TVornParser p;
    p.LoadFromStream(r);
    return p.Count();
  };
  EXPECT_THROW(load(Bytes().i32(1).u8(0).str("x").i32(1).u8(1).i32(1)), EFormatError);      // ocNone
  EXPECT_THROW(load(Bytes().i32(1).u8(21).str("x").i32(1).u8(1).i32(1)), EFormatError);     // code above 20
  EXPECT_THROW(load(Bytes().i32(1).u8(ocTo).str("x").i32(1).u8(5).i32(1)), EFormatError);   // operand kind
  EXPECT_THROW(load(Bytes().i32(1).u8(ocPlus).str("x").i32(1).u8(1).i32(1)), EFormatError); // too few operands
  EXPECT_THROW(load(Bytes().i32(1).u8(ocTo).str("x").i32(0)), EFormatError);
  EXPECT_THROW(load(Bytes().i32(1).u8(ocFunc).str("x").i32(0).u8(161)), EFormatError);      // function index
  EXPECT_THROW(load(Bytes().i32(1).u8(ocFunc).str("x").i32(0).u8(127)), EFormatError);      // Max needs 2
  EXPECT_THROW(load(Bytes().i32(1).u8(ocTo).str("x").i32(-1)), EFormatError);
  EXPECT_THROW(load(Bytes().i32(1000).u8(ocTo)), EFormatError);                              // count vs bytes
  EXPECT_THROW(load(Bytes().i32(1).u8(ocTo).str("x").i32(1).u8(0).i32(100)), EFormatError); // truncated name
  Bytes nan;
  nan.i32(1).u8(ocTo).str("x").i32(1).u8(2);
  for (uint8_t v : {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F}) nan.u8(v);
  EXPECT_THROW(load(nan), EFormatError);
  EXPECT_EQ(load(Bytes().i32(1).u8(ocFunc).str("x").i32(0).u8(156)), 1);  // PopVar()
}

TEST(Evaluator, ArithmeticAndTypes) {
  Env e;
  e.Var("i", PT_INT);
  e.Var("r", PT_FLOAT);
  e.Var("s", PT_STR);
  e.Var("f", PT_BOOL);
  struct Case {
    const char* text;
    const char* var;
    const char* value;
  } cases[] = {
      {"i = 7 / 2", "i", "3"},           {"r = 7 / 2", "r", "3"},           {"r = 7.0 / 2", "r", "3.5"},
      {"s = \"1\" + \"2\"", "s", "3"},   {"s = \"1\" ++ \"2\"", "s", "12"}, {"f = 1 == 1.5", "f", "TRUE"},
      {"f = 1.5 == 1", "f", "FALSE"},    {"i = -7 / 2", "i", "-3"},         {"i = -7 % 2", "i", "-1"},
      {"i = 2147483647 + 1", "i", "-2147483648"},                           {"i = 6 & 3 | 8 ^ 1", "i", "11"},
      {"i = -1 >> 28", "i", "15"},       {"i = 1 << 33", "i", "2"},         {"f = \"b\" > \"a\"", "f", "TRUE"},
      {"f = \"B\" > \"a\"", "f", "FALSE"}, {"f = TRUE > FALSE", "f", "TRUE"}, {"s = 1.5 + 1", "s", "2.5"},
      {"r = 0.1 * 3", "r", "0.3"},       {"i = 2.9", "i", "2"},             {"i = -2.9", "i", "-2"},
      {"s = 2 <> 3", "s", "TRUE"},       {"i = (1 + 2) * (3 + 4)", "i", "21"}, {"i = -2147483648 % -1", "i", "0"},
  };
  for (const Case& c : cases) {
    TVornParser p = e.Load(c.text);
    EXPECT_TRUE(p.Execute(e.vars)) << c.text << ": " << p.LastError();
    EXPECT_EQ(e.vars.FindVariable(c.var)->Value().GetStr(), c.value) << c.text;
  }
  EXPECT_EQ(e.Eval("1 + 2"), "3");
  EXPECT_EQ(e.Eval("\"a\" ++ 1.5"), "a1.5");
  EXPECT_EQ(e.vars.Count(), kSystemVariableCount + 4);  // every temporary is gone
}

TEST(Evaluator, ArraysThroughElementReferences) {
  Env e;
  auto* a = e.Var("a", PT_INT);
  a->Value().SetDims({3, 4});
  e.Var("x", PT_INT);
  e.Var("j", PT_INT)->Value().SetInt(1);
  EXPECT_TRUE(e.Load("a[1, 2] = 5").Execute(e.vars));
  EXPECT_EQ(a->Value().GetIntAt(6), 5);
  EXPECT_TRUE(e.Load("x = a[j, j + 1] * 2").Execute(e.vars));
  EXPECT_EQ(e.vars.FindVariable("x")->Value().GetInt(), 10);
  EXPECT_EQ(e.Eval("a[1,2] + a[0,0]"), "5");
  // Wrong index count and an index beyond the element count fail silently.
  TVornParser bad = e.Load("x = a[1]");
  EXPECT_FALSE(bad.Execute(e.vars));
  EXPECT_EQ(bad.LastError(), std::string("a[1]\r\n") + params_text::kMsgDimMismatch);
  TVornParser over = e.Load("x = a[2, 4]");
  EXPECT_FALSE(over.Execute(e.vars));
  EXPECT_EQ(over.LastError(), std::string("a[2,4]\r\n") + params_text::kMsgDimOverflow);
  EXPECT_FALSE(e.Load("x = a[-1, 0]").Execute(e.vars));
  EXPECT_EQ(e.vars.FindVariable("x")->Value().GetInt(), 10);
  // A nested index.
  auto* b = e.Var("b", PT_INT);
  b->Value().SetDims({2});
  b->Value().SetIntAt(1, 2);
  EXPECT_TRUE(e.Load("x = a[b[1] - 1, b[1]]").Execute(e.vars));
  EXPECT_EQ(e.vars.FindVariable("x")->Value().GetInt(), 5);
}

TEST(Evaluator, ErrorsStopSilentlyAndKeepEarlierEffects) {
  Env e;
  e.Var("x", PT_INT)->Value().SetInt(1);
  e.Var("y", PT_INT)->Value().SetInt(1);
  e.Var("r", PT_FLOAT);
  e.Var("m", PT_INT)->Value().SetInt(INT32_MIN);
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"x = 1 / 0", "Division by zero"},
      {"x = 1 % 0", "Division by zero"},
      {"r = 1.0 / 0", "Division by zero"},
      {"x = m / -1", "Integer overflow"},
      {"r = 1e4000 * 1e4000", "Invalid floating point"},
      {"r = 1e5000", nullptr},  // not a number even in extended range: a variable name
      {"x = 1e30 * 1.0", "does not fit"},
      {"missing = 1", nullptr},
      {"x = missing", nullptr},
  };
  for (const Case& c : cases) {
    TVornParser p = e.Load(c.text);
    EXPECT_FALSE(p.Execute(e.vars)) << c.text;
    if (c.error) { EXPECT_NE(p.LastError().find(c.error), std::string::npos) << c.text << ": " << p.LastError(); }
  }
  EXPECT_EQ(e.vars.FindVariable("x")->Value().GetInt(), 1);
  // Records before the failing one keep their effects; later ones are skipped.
  TBuildVornParser b;
  b.Compile("y = 2");
  b.Compile("x = 1 / 0");
  b.Compile("y = 3");
  TVornParser p = b.Build();
  EXPECT_FALSE(p.Execute(e.vars));
  EXPECT_EQ(e.vars.FindVariable("y")->Value().GetInt(), 2);
  EXPECT_EQ(e.vars.Count(), kSystemVariableCount + 4);
  // The missing-variable text.
  TVornParser m = e.Load("nope = 1");
  m.Execute(e.vars);
  EXPECT_EQ(m.LastError(), "\"nope\" \x95\xcf\x90\x94\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1");
  // Real overflow is an error, not an infinity stored.
  e.Var("big", PT_FLOAT)->Value().SetFloat(1e4000L);
  EXPECT_FALSE(e.Load("r = big * big").Execute(e.vars));
}

TEST(Evaluator, SideEffectsRunInTheOrderCallsArePulledOut) {
  Env e;
  e.Var("x", PT_INT);
  // The last call in the text is pulled out (and so runs) first; an inner call before its outer.
  EXPECT_TRUE(e.Load("x = Max(1, 2) + Min(3, 4)").Execute(e.vars));
  EXPECT_EQ(e.calls, (std::vector<std::string>{"Min(3,4)", "Max(1,2)"}));
  e.calls.clear();
  EXPECT_TRUE(e.Load("x = Max(Min(5, 6), Min(7, 8))").Execute(e.vars));
  EXPECT_EQ(e.calls, (std::vector<std::string>{"Min(7,8)", "Min(5,6)", "Max(5,7)"}));
  EXPECT_EQ(e.vars.FindVariable("x")->Value().GetInt(), 7);
  e.calls.clear();
  EXPECT_TRUE(e.Load("x = Max(Max(1, 2) * 2, 3)").Execute(e.vars));
  EXPECT_EQ(e.calls, (std::vector<std::string>{"Max(1,2)", "Max(4,3)"}));
}

TEST(Evaluator, UnimplementedFunctionIsAClearError) {
  Env e;
  e.Var("x", PT_INT);
  TVornParser p = e.Load("x = Sin(1)");
  EXPECT_FALSE(p.Execute(e.vars));
  EXPECT_EQ(p.LastError(), "Sin: system function not implemented");
}

TEST(Evaluator, TemporariesArePrivateToEachEvaluation) {
  Env e;
  e.Var("x", PT_INT);
  e.Var("y", PT_INT);
  // Calc compiles a new expression whose temporaries have the same names as the outer ones.
  TVornParser p = e.Load("x = (1 + 2) * Length(Calc(\"y = (10 + 20) * 2\")) + (3 + 4)");
  EXPECT_TRUE(p.Execute(e.vars)) << p.LastError();
  EXPECT_EQ(e.vars.FindVariable("y")->Value().GetInt(), 60);
  EXPECT_EQ(e.vars.FindVariable("x")->Value().GetInt(), 3 * 4 + 7);  // Length("TRUE") = 4
  EXPECT_EQ(e.vars.Count(), kSystemVariableCount + 2);
  // Calc of a bad text changes nothing and gives the empty text.
  EXPECT_EQ(e.Eval("Calc(\"y = 1 +\")"), "");
  EXPECT_EQ(e.vars.FindVariable("y")->Value().GetInt(), 60);
  EXPECT_EQ(e.Eval("Calc(\"  \")"), "");
}

TEST(Evaluator, ReferenceToADeletedVariableDoesNotDangle) {
  Env e;
  auto* a = e.Var("a", PT_INT);
  a->Value().SetDims({4});
  e.Var("x", PT_INT);
  // The element reference ____d_0 is made by the first expression; a call of the second
  // deletes the array; then the reference is read.
  TBuildVornParser b;
  b.Compile("a[2] = 1");
  b.Compile("x = Exists(\"a\") + ____d_0");
  TVornParser p = b.Build();
  EXPECT_FALSE(p.Execute(e.vars));
  EXPECT_EQ(e.vars.FindVariable("a"), nullptr);
  EXPECT_NE(p.LastError().find("\"a\""), std::string::npos) << p.LastError();
}

TEST(Evaluator, ParenthesisedArgumentsAndEmptyCalls) {
  Env e;
  e.Var("a", PT_INT)->Value().SetInt(30);
  e.Var("b", PT_INT)->Value().SetInt(12);
  EXPECT_EQ(e.Eval("Max(((a)+(b)), 2)"), "42");
  // "()" is a call with no arguments, not one empty argument.
  EXPECT_EQ(CompileError("Length()"), std::string("Length") + params_text::kMsgArgCount);
  EXPECT_EQ(CompileError("Length( )"), std::string("Length") + params_text::kMsgArgCount);
  EXPECT_EQ(CompileError("x = PopVar()"), "(no error)");
}

TEST(Evaluator, ReentrantExecuteRunsOnACopy) {
  Env e;
  e.Var("n", PT_INT);
  TVornParser* self = nullptr;
  e.funcs.Register("Not", [&](TFuncCall& c) {
    // Evaluates the running expression again from inside itself, once.
    if (e.vars.FindVariable("n")->Value().GetInt() < 1) {
      e.vars.FindVariable("n")->Value().SetInt(1);
      self->Execute(e.vars);
    }
    c.R.SetBool(true);
  });
  TVornParser p = e.Load("n = n + Not(1)");
  self = &p;
  EXPECT_TRUE(p.Execute(e.vars)) << p.LastError();
  EXPECT_EQ(e.vars.FindVariable("n")->Value().GetInt(), 3);  // inner: 1 + 1 = 2, outer: 2 + 1
}

TEST(Evaluator, CheckExpression) {
  Env e;
  e.Var("x", PT_INT);
  EXPECT_TRUE(CheckExpression(" x = 5 ", e.vars));
  EXPECT_EQ(e.vars.FindVariable("x")->Value().GetInt(), 5);
  EXPECT_FALSE(CheckExpression("   ", e.vars));
  EXPECT_FALSE(CheckExpression("x = (", e.vars));
  EXPECT_TRUE(CheckExpression("x = 1 / 0", e.vars));  // runs, fails silently
}

TEST(FunctionTable, FixedOrderAndBounds) {
  EXPECT_EQ(kSystemFunctions.size(), 161u);
  EXPECT_STREQ(kSystemFunctions[0].Name, "IntToStr");
  EXPECT_STREQ(kSystemFunctions[87].Name, "DBCreateTable");
  EXPECT_STREQ(kSystemFunctions[136].Name, "Calc");
  EXPECT_STREQ(kSystemFunctions[160].Name, "DBGetTable");
  EXPECT_EQ(IndexOfFunction("Calc"), 136);
  EXPECT_EQ(IndexOfFunction("calc"), -1);
  EXPECT_TRUE(ArgCountFits(IndexOfFunction("SetArray"), 40));
  EXPECT_FALSE(ArgCountFits(IndexOfFunction("SetArray"), 1));
  EXPECT_TRUE(ArgCountFits(IndexOfFunction("ListSaveCaption"), 0));
  EXPECT_EQ(kSystemFunctions[IndexOfFunction("StrToFloatDef")].ResultType, PT_FLOAT);
  TSysFuncMan man;
  EXPECT_TRUE(man.Implemented(kFuncCalc));
  EXPECT_FALSE(man.Implemented(0));
  EXPECT_THROW(man.Register("NoSuch", nullptr), EVornError);
}

}  // namespace
}  // namespace vorn
