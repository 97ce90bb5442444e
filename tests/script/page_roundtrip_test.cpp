// Every command kind compiled from source, written, read back and compared field by field;
// and the block layout the compiler produces for the interpreter.
#include <gtest/gtest.h>

#include "script/commands_component.h"
#include "script/commands_flow.h"
#include "script/commands_text.h"
#include "script/commands_variable.h"
#include "script/page_compiler.h"
#include "script/page_dump.h"

namespace vorn {
namespace {

std::unique_ptr<TPage> Reload(const TPage& page) {
  auto bytes = page.SaveToBytes();
  auto back = std::make_unique<TPage>();
  EXPECT_EQ(back->LoadFromBytes(page.Name(), bytes), PageLoadResult::Ok);
  EXPECT_EQ(back->SaveToBytes(), bytes);
  return back;
}

struct KindCase {
  int code;
  const char* source;  // sets every field of the command
};

// One source per command kind; While brings its WhileInit and WhileLoop.
const KindCase kKinds[] = {
    {kComIf, "If a > 1\n  Calc a = 2"},
    {kComElseif, "If a > 1\n  Calc a = 2\nElseif a < 0\n  Calc a = 3"},
    {kComElse, "If a > 1\n  Calc a = 2\nElse\n  Calc a = 3"},
    {kComLabel, "Label start"},
    {kComJump, "*here\nJump main.vsb:here; cond: a == 1"},
    {kComCall, "*sub\nCall main.vsb:sub; result: r; cond: TRUE; args: 1, a + 2, \"s\""},
    {kComExit, "Exit a == 3"},
    {kComWait, "Wait 100; cond: a > 0; noevents: TRUE"},
    {kComBoxNew, "BoxNew \"box\"; PR_LEFT: 10; top: 20; PR_COLOR: 255"},
    {kComImgNew, "ImgNew \"pic\"; source: \"bg.gal\"; delay: 100"},
    {kComMesNew, "MesNew \"mes\"; width: 400; fontname: \"Gothic\""},
    {kComTimer, "Timer \"t\"; delay: 500; onplayend: \"main.vsb:done\""},
    {kComMovie, "Movie \"mv\"; source: \"a.mpg\"; delay: 1"},
    {kComFlip, "Flip 3; duration: 500; reverse: FALSE; mode: 1; names: \"a\", \"b\"; clear: TRUE; "
               "param0: 1; param1: 2; rule: \"rule.gal\"; noevents: TRUE"},
    {kComCalc, "Calc a = a + 1"},
    {kComVarNew, "VarNew s; type: string; value: \"abc\"; scope: local"},
    {kComVarDel, "VarDel s"},
    {kComGetProp, "GetProp \"pic\"; prop: 3; var: x"},
    {kComSetProp, "SetProp \"pic\"; prop: 3; value: 100"},
    {kComObjDel, "ObjDel \"pic\""},
    {kComTextIns, "TextIns \"Hello\\nworld\"; window: \"mes\"; read: 1; wait: TRUE; noevents: FALSE"},
    {kComMovieStop, "MovieStop \"mv\"; fade: 300; wait: TRUE; noevents: TRUE"},
    {kComClrHist, "ClrHist"},
    {kComCinema, "Cinema \"c\"; source: \"a.vmt\""},
    {kComCaption, "Caption \"cap\"; text: \"hi\""},
    {kComMenu, "Menu \"m\"; text: \"a\""},
    {kComMenuClose, "MenuClose \"m\""},
    {kComComment, "Comment this is a note; not a field"},
    {kComTextClr, "TextClr \"mes\""},
    {kComCallHist, "CallHist \"mes\"; first: 0; count: 10; option: 1; format: \"f\""},
    {kComButton, "Button \"b\"; source: \"b.gal\"; onlbtnup: \"main.vsb:click\""},
    {kComWhile, "VarNew i\nWhile i < 3; init: i = 0; step: i = i + 1\n  Calc a = a + i"},
    {kComWhileInit, "While i < 3; init: i = 0; step: i = i + 1\n  Calc a = 1"},
    {kComWhileLoop, "While i < 3; init: i = 0; step: i = i + 1\n  Calc a = 1"},
    {kComBreak, "While TRUE; init: i = 0; step: i = i + 1\n  Break i > 2"},
    {kComContinue, "While TRUE; init: i = 0; step: i = i + 1\n  Continue i == 1"},
    {kComParticleNew, "ParticleNew \"p\"; appearx: 10; appeary: 20; delay: 5"},
    {kComFireNew, "FireNew \"f\"; power: 3"},
    {kComGameSave, "*resume\nGameSave 2; to: main.vsb:resume; caption: \"save\""},
    {kComGameLoad, "GameLoad 2"},
    {kComPCReset, "*top\nPCReset main.vsb:top; all: 1"},
    {kComReset, "*top\nReset :top; all: 1"},
    {kComSound, "Sound \"s\"; source: \"a.ogg\"; volume: 500"},
    {kComEditNew, "EditNew \"e\"; text: \"x\""},
    {kComMemoNew, "MemoNew \"mm\"; text: \"x\""},
    {kComTerminate, "Terminate"},
    {kComDoEvent, "DoEvent"},
    {kComClrRead, "ClrRead"},
    {kComMapImgNew, "MapImgNew \"mi\"; mapsource: \"m.gal\""},
    {kComWaveNew, "WaveNew \"w\"; amp: 3; wavelen: 50"},
    {kComTileNew, "TileNew \"tl\"; source: \"t.gal\""},
    {kComSliderNew, "SliderNew \"sl\"; min: 0; max: 10; value: 5"},
    {kComScrollbarNew, "ScrollbarNew \"sb\"; min: 0; max: 10"},
    {kComGaugeNew, "GaugeNew \"g\"; value: 3"},
    {kComCGCaption, "CGCaption \"cg\"; text: \"t\""},
    {kComMediaPlay, "MediaPlay \"s\""},
    {kComPrevMenuNew, "PrevMenuNew \"pm\"; source: \"x.pm\""},
    {kComPropMotion, "PropMotion \"pmo\"; object: \"pic\"; prop: 3; end: 100; duration: 500; curve: 1; paused: FALSE"},
    {kComFormatHist, "FormatHist \"mes\"; format: \"f\""},
    {kComSaveCabinet, "SaveCabinet \"cab\"; mode: FALSE; names: \"a\", \"b\""},
    {kComLoadCabinet, "LoadCabinet \"cab\"; mode: TRUE; names: \"a\""},
};

TEST(PageRoundTrip, EveryCommandKindKeepsEveryField) {
  bool seen[kCommandKinds] = {};
  for (const KindCase& k : kKinds) {
    SCOPED_TRACE(CommandScriptName(k.code));
    auto page = CompilePageSource(k.source);
    auto back = Reload(*page);
    EXPECT_EQ(DumpPage(*back), DumpPage(*page));
    int found = -1;
    for (int i = 0; i < back->Commands().Count(); ++i)
      if (back->Commands()[i].Kind() == k.code) found = i;
    ASSERT_GE(found, 0);
    seen[k.code] = true;
    // Every field the source set comes back with a value: no expression without operations
    // and no empty string in the command's listing.
    const TCommand& c = back->Commands()[found];
    std::string dump = DumpCommand(c, back->version, back->sets[static_cast<size_t>(k.code)]);
    if (k.code != kComWhileInit && k.code != kComElse) {
      EXPECT_EQ(dump.find("={00000000}"), std::string::npos) << dump;
      EXPECT_EQ(dump.find("=\"\""), std::string::npos) << dump;
    }
  }
  for (int code = 0; code < kCommandKinds; ++code) EXPECT_TRUE(seen[code]) << CommandScriptName(code);
}

TEST(PageRoundTrip, FieldValuesLandWhereTheSourceSaysAndHeaderFlagsAreKept) {
  auto page = CompilePageSource(
      "%result string\n"
      "*start\n"
      "Call other.vsb; target: 7; result: r; args: 1, 2, 3; continue: 0\n"
      "VarNew n; type: real; scope: status; disabled: 1\n"
      "Comment hello: world\n"
      "TextIns \"A\\pB\"\n");
  auto back = Reload(*page);
  EXPECT_EQ(back->resultType, 4);
  auto& list = back->Commands();
  ASSERT_EQ(list.Count(), 5);
  auto& call = dynamic_cast<TComCall&>(list[1]);
  EXPECT_EQ(call.page, "other.vsb");
  EXPECT_EQ(call.target, 7);
  EXPECT_EQ(call.result, "r");
  EXPECT_EQ(call.args.size(), 3u);
  EXPECT_FALSE(call.Continues());
  EXPECT_EQ(call.line, 3);
  auto& var = dynamic_cast<TComVarNew&>(list[2]);
  EXPECT_EQ(var.type, 2);
  EXPECT_EQ(var.scope, 3);
  EXPECT_TRUE(var.Disabled());
  EXPECT_TRUE(var.Continues());
  auto& comment = dynamic_cast<TComComment&>(list[3]);
  EXPECT_EQ(comment.name, "hello: world");
  EXPECT_TRUE(comment.Disabled());  // never executed, whatever its byte says
  EXPECT_FALSE(comment.StoredDisabled());
  auto& text = dynamic_cast<TComTextIns&>(list[4]);
  EXPECT_EQ(std::string(text.text.begin(), text.text.begin() + 9), "ViZaze102");
  EXPECT_EQ(list.FindLabel("start"), 0);
  EXPECT_EQ(list.FindLabel("START"), -1);  // labels compare case-sensitively
  EXPECT_EQ(list.FindLabel("hello: world"), -1);
}

TEST(PageRoundTrip, ComponentSetsAreTheUnionOfTheNamedProperties) {
  auto page = CompilePageSource(
      "ImgNew \"a\"; left: 1\n"
      "ImgNew \"b\"; top: 2\n"
      "BoxNew\n");
  auto back = Reload(*page);
  const PropertySet& img = back->sets[kComImgNew];
  EXPECT_TRUE(img.Has(PR_NAME));
  EXPECT_TRUE(img.Has(PR_LEFT));
  EXPECT_TRUE(img.Has(PR_TOP));
  EXPECT_FALSE(img.Has(PR_WIDTH));
  EXPECT_TRUE(back->sets[kComBoxNew].Empty());
  auto& a = dynamic_cast<TComImgNew&>(back->Commands()[0]);
  ASSERT_NE(a.Prop(PR_TOP), nullptr);
  EXPECT_TRUE(a.Prop(PR_TOP)->Empty());  // listed in the set, no value in this command
  EXPECT_FALSE(a.Prop(PR_LEFT)->Empty());
  EXPECT_EQ(a.Prop(PR_WIDTH), nullptr);
}

// ---- block layout ----

TEST(PageBlocks, IfElseifElseIndentsAndOrder) {
  auto page = CompilePageSource(
      "If a == 1\n"
      "    Calc b = 1\n"
      "    If c\n"
      "        Calc b = 2\n"
      "Elseif a == 2\n"
      "    Calc b = 3\n"
      "Else\n"
      "    Calc b = 4\n"
      "Calc b = 5\n");
  auto& l = page->Commands();
  ASSERT_EQ(l.Count(), 9);
  const int kinds[] = {kComIf, kComCalc, kComIf, kComCalc, kComElseif, kComCalc, kComElse, kComCalc, kComCalc};
  const int indents[] = {0, 1, 1, 2, 0, 1, 0, 1, 0};
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(l[i].Kind(), kinds[i]) << i;
    EXPECT_EQ(l[i].indent, indents[i]) << i;
  }
  EXPECT_TRUE(l[6].Continues());  // Else always goes on
}

TEST(PageBlocks, WhileLayoutAndLoopTargets) {
  auto page = CompilePageSource(
      "Calc a = 0\n"                                   // 0
      "While i < 10; init: i = 0; step: i = i + 1\n"   // 1 WhileInit, 2 While
      "    Break a > 5\n"                              // 3
      "    While TRUE\n"                               // 4 WhileInit, 5 While
      "        Continue a == 2\n"                      // 6
      "                                 \n"
      "    Continue a == 1\n"                          // 7 WhileLoop(inner) first, then 8
      "    Calc a = a + 1\n"                           // 9
      "Break\n");                                      // 10 WhileLoop(outer), 11
  auto& l = page->Commands();
  ASSERT_EQ(l.Count(), 12);
  EXPECT_EQ(l[1].Kind(), kComWhileInit);
  EXPECT_EQ(l[1].indent, 0);
  auto& outer = dynamic_cast<TComWhile&>(l[2]);
  EXPECT_EQ(outer.after, 11);
  EXPECT_EQ(dynamic_cast<TComBreak&>(l[3]).target, 11);
  EXPECT_EQ(l[4].Kind(), kComWhileInit);
  EXPECT_EQ(l[4].indent, 1);
  auto& inner = dynamic_cast<TComWhile&>(l[5]);
  EXPECT_EQ(inner.after, 8);
  EXPECT_EQ(dynamic_cast<TComContinue&>(l[6]).target, 7);
  auto& innerLoop = dynamic_cast<TComWhileLoop&>(l[7]);
  EXPECT_EQ(innerLoop.target, 5);
  EXPECT_EQ(innerLoop.indent, 1);
  EXPECT_TRUE(innerLoop.expr.Empty());
  EXPECT_EQ(dynamic_cast<TComContinue&>(l[8]).target, 10);
  auto& outerLoop = dynamic_cast<TComWhileLoop&>(l[10]);
  EXPECT_EQ(outerLoop.target, 2);
  EXPECT_EQ(outerLoop.indent, 0);
  EXPECT_FALSE(outerLoop.expr.Empty());
  EXPECT_TRUE(outerLoop.Continues());
  EXPECT_EQ(dynamic_cast<TComBreak&>(l[11]).target, -1);  // outside a loop: ends the page
}

TEST(PageBlocks, EmptyBlocksAndLoopAtEndOfFile) {
  auto page = CompilePageSource("If a\nWhile b\n");
  auto& l = page->Commands();
  ASSERT_EQ(l.Count(), 4);  // If, WhileInit, While, WhileLoop
  EXPECT_EQ(dynamic_cast<TComWhile&>(l[2]).after, 4);
  EXPECT_EQ(dynamic_cast<TComWhileLoop&>(l[3]).target, 2);
}

TEST(PageBlocks, LabelsResolveAcrossPagesCompiledTogether) {
  PageCompiler c;
  c.AddSource("main.vsb", "main.vps", "Jump sub.vsb:there\nCall sub.vsb\nJump again\n*again\n");
  c.AddSource("sub.vsb", "sub.vps", "Calc a = 1\nCalc a = 2\n*there\nGameSave 1; caption: \"c\"\n");
  auto pages = c.Compile();
  auto& m = pages[0]->Commands();
  EXPECT_EQ(dynamic_cast<TComJump&>(m[0]).target, 2);
  EXPECT_EQ(dynamic_cast<TComJump&>(m[0]).page, "sub.vsb");
  EXPECT_EQ(dynamic_cast<TComCall&>(m[1]).target, 0);
  EXPECT_EQ(dynamic_cast<TComJump&>(m[2]).page, "main.vsb");
  EXPECT_EQ(dynamic_cast<TComJump&>(m[2]).target, 3);
  auto& save = dynamic_cast<TComGameSave&>(pages[1]->Commands()[3]);
  EXPECT_EQ(save.page, "sub.vsb");
  EXPECT_EQ(save.index, 4);  // resumes after itself
}

TEST(PageCompileErrors, NameTheFileAndLine) {
  struct Case {
    const char* source;
    const char* expected;  // part of the message after "f.vps:LINE: "
    int line;
  };
  const Case cases[] = {
      {"Calc a = 1\nFrobnicate\n", "unknown command 'Frobnicate'", 2},
      {"Calc a = 1\n    Calc b = 2\n", "unexpected indentation", 2},
      {"If a\n    Calc b\n  Calc c\n", "indentation matches no enclosing block", 3},
      {"Calc a\nElse\n", "Else without an If", 2},
      {"If a\n  Calc b\nCalc c\nElseif d\n", "Elseif without an If", 4},
      {"Jump nowhere\n", "label 'nowhere' not found", 1},
      {"Jump other.vsb:x\n", "not compiled with this one", 1},
      {"Calc a = = 1\n", "expression 'a = = 1'", 1},
      {"Wait 1; colour: 3\n", "unknown field 'colour' for Wait", 1},
      {"ImgNew \"a\"; nosuchprop: 1\n", "unknown field 'nosuchprop'", 1},
      {"Wait 1; 2\n", "more than one value", 1},
      {"VarNew a; type: matrix\n", "field 'type' needs a byte value", 1},
      {"WhileLoop\n", "generated by While", 1},
      {"Calc a\n%version 110\n", "directives come before", 2},
      {"%version 106\nWait 1; noevents: TRUE\n", "unknown field 'noevents'", 2},
      {"Calc a = 1;\n\n   // note\n   Calc b\n", "more than one value", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    try {
      CompilePageSource(c.source, "f.vsb", "f.vps");
      ADD_FAILURE() << "no error";
    } catch (const ECompileError& e) {
      std::string msg = e.what();
      EXPECT_EQ(msg.rfind("f.vps:" + std::to_string(c.line) + ": ", 0), 0u) << msg;
      EXPECT_NE(msg.find(c.expected), std::string::npos) << msg;
    }
  }
}

TEST(PageCompile, ContinuationLinesAndCommentsAndLabelShorthand) {
  auto page = CompilePageSource(
      "// a page\n"
      "ImgNew \"bg\";\n"
      "       source: \"bg.gal\";\n"
      "       left: 5\n"
      "*next\n"
      "Calc s = \"a;b: c\"\n");
  auto& l = page->Commands();
  ASSERT_EQ(l.Count(), 3);
  auto& img = dynamic_cast<TComImgNew&>(l[0]);
  EXPECT_NE(img.Prop(PR_SOURCE), nullptr);
  EXPECT_NE(img.Prop(PR_LEFT), nullptr);
  EXPECT_EQ(img.line, 2);
  EXPECT_TRUE(l[1].IsLabel("next"));
  EXPECT_EQ(l[2].line, 6);
}

}  // namespace
}  // namespace vorn
