// The variable manager: names, lookup with scopes, deletion by depth, the variable stack and
// the save sections at the current and older versions.
#include "params/param_collection.h"

#include <gtest/gtest.h>

#include "params/param_messages.h"
#include "support/params_fixtures.h"
#include "resources/error.h"
#include "resources/stream.h"

namespace vorn {
namespace {

TEST(ParamCollection, SystemVariablesComeFirstInTableOrder) {
  TParamCollection vars;
  ASSERT_EQ(vars.Count(), kSystemVariableCount);
  EXPECT_EQ(vars.Item(0)->Name(), "@Result");
  EXPECT_EQ(vars.Item(44)->Name(), "@Temp");
  EXPECT_EQ(vars.Item(50)->Name(), "@StackCount");
  EXPECT_TRUE(vars.Item(7)->IsSystem());
  EXPECT_EQ(vars.FindVariable("@textdelay"), vars.Item(7));
}

TEST(ParamCollection, NameRules) {
  for (const char* bad : {"", "a b", "1x", "9"}) {
    EXPECT_THROW(TParamCollection::CheckName(bad), EVornError) << bad;
  }
  for (const char* good : {"x1", "_a", "\x82\xa0", "@x"}) EXPECT_NO_THROW(TParamCollection::CheckName(good));
  try {
    TParamCollection::CheckName("1x");
  } catch (const EVornError& e) {
    EXPECT_EQ(std::string(e.what()), "\"1x\"\x81" "F\x95\xcf\x90\x94\x96\xbc\x82\xaa\x95s\x90\xb3\x82\xc5\x82\xb7");
  }
}

TEST(ParamCollection, LocalShadowsGlobalAndDiesWithItsScope) {
  TParamCollection vars;
  TParamCollectionItem* global = vars.CreateVariable("x", PT_INT, SCOPE_GLOBAL);
  global->Value().SetInt(1);
  vars.SetCurrentScope(1);
  TParamCollectionItem* local = vars.CreateVariable("X", PT_INT, SCOPE_LOCAL);
  local->Value().SetInt(2);
  TParamCollectionItem* autoVar = vars.CreateVariable("auto", PT_STR, SCOPE_AUTO);
  EXPECT_EQ(vars.FindVariable("x"), local);
  EXPECT_EQ(vars.FindForCreate("x", true), local);
  EXPECT_EQ(vars.FindForCreate("x", false), global);
  // A called page (scope 2) does not see the caller's local, but sees the auto variable.
  vars.SetCurrentScope(2);
  EXPECT_EQ(vars.FindVariable("x"), global);
  EXPECT_EQ(vars.FindVariable("auto"), autoVar);
  // The page of scope 1 returns: its local and auto variables go.
  vars.SetCurrentScope(1);
  vars.DeleteScope(1);
  vars.SetCurrentScope(0);
  EXPECT_EQ(vars.FindVariable("x"), global);
  EXPECT_EQ(vars.FindVariable("auto"), nullptr);
  EXPECT_EQ(vars.Count(), kSystemVariableCount + 1);
}

TEST(ParamCollection, OldestGlobalWinsAmongDuplicates) {
  TParamCollection vars;
  TParamCollectionItem* first = vars.CreateVariable("dup", PT_INT, SCOPE_GLOBAL);
  vars.CreateVariable("dup", PT_INT, SCOPE_AUTO);
  EXPECT_EQ(vars.FindVariable("dup"), first);
}

TEST(ParamCollection, CopyValueAndReset) {
  TParamCollection vars;
  auto* a = vars.CreateVariable("a", PT_STR, SCOPE_GLOBAL);
  a->Value().SetDims({2});
  a->Value().SetStrAt(1, "q");
  auto* s = vars.CreateVariable("s", PT_INT, SCOPE_STATUS);
  auto copy = vars.CopyValue("A");
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->GetCount(), 2);
  EXPECT_EQ(copy->GetStrAt(1), "q");
  EXPECT_EQ(vars.CopyValue("none"), nullptr);
  vars.AddVariable(PT_NONE)->SetName("ref");
  EXPECT_THROW(vars.CopyValue("ref"), EVornError);
  vars.TextDelay = 10;
  vars.Cursor = "c.cur";
  vars.Reset();
  EXPECT_EQ(vars.FindVariable("a"), nullptr);
  EXPECT_EQ(vars.FindVariable("s"), s);
  EXPECT_EQ(vars.TextDelay, 50);
  EXPECT_EQ(vars.Cursor, "");
}

TEST(ParamCollection, ReferenceToAFreedVariableDoesNotDangle) {
  TParamCollection vars;
  auto* a = vars.CreateVariable("a", PT_INT, SCOPE_AUTO);
  a->Value().SetDims({3});
  TParamVar ref("a");
  ref.Bind(a, 2);
  ref.SetInt(7);
  EXPECT_EQ(a->Value().GetIntAt(2), 7);
  vars.DeleteScope(a->ScopeId);
  EXPECT_FALSE(ref.Bound());
  EXPECT_EQ(ref.GetType(), PT_NONE);
  EXPECT_THROW(ref.GetInt(), EVornError);
  EXPECT_THROW(ref.SetInt(1), EVornError);
}

TEST(VariableStack, PushPopRestoresValuesAndTypes) {
  TParamCollection vars;
  auto* a = vars.CreateVariable("a", PT_INT, SCOPE_GLOBAL);
  a->Value().SetInt(1);
  auto* b = vars.CreateVariable("b", PT_STR, SCOPE_GLOBAL);
  b->Value().SetDims({2});
  b->Value().SetStrAt(1, "keep");
  vars.PushVariables({"a", "b", "missing"});
  a->Value().SetInt(99);
  vars.DeleteVariable(b);
  vars.CreateVariable("b", PT_FLOAT, SCOPE_GLOBAL);  // same name, other type: replaced
  vars.PopVariables();
  EXPECT_EQ(vars.FindVariable("a")->Value().GetInt(), 1);
  TParamCollectionItem* nb = vars.FindVariable("b");
  ASSERT_NE(nb, nullptr);
  EXPECT_EQ(nb->GetType(), PT_STR);
  EXPECT_EQ(nb->Value().GetStrAt(1), "keep");
  EXPECT_TRUE(vars.VariableStack().empty());
  int before = vars.Count();
  vars.PopVariables();  // empty stack: nothing
  EXPECT_EQ(vars.Count(), before);
}

void FillGame(TParamCollection& vars) {
  vars.CreateVariable("g1", PT_INT, SCOPE_GLOBAL)->Value().SetInt(11);
  auto* arr = vars.CreateVariable("arr", PT_FLOAT, SCOPE_GLOBAL);
  arr->Value().SetDims({2, 2});
  arr->Value().SetFloatAt(3, 0.25L);
  vars.SetCurrentScope(2);
  vars.CreateVariable("loc", PT_STR, SCOPE_LOCAL)->Value().SetStr("\x82\xa0");
  vars.SetCurrentScope(0);
  vars.CreateVariable("st", PT_BOOL, SCOPE_STATUS)->Value().SetBool(true);
  vars.TextDelay = 30;
  vars.Cursor = "hand.cur";
  vars.SelStr = "choice";
  vars.SelIndex = 4;
  vars.TempName = "g1";
}

TEST(GameSection, WrittenAndReadBackWithTwoStackFrames) {
  TParamCollection src;
  FillGame(src);
  src.PushVariables({"g1"});
  src.PushVariables({"arr", "loc"});
  MemoryStream s;
  BinaryWriter w(s);
  src.WriteGameSection(w);
  w.U32(0xDEADBEEF);  // whatever follows in the saved game

  TParamCollection dst;
  dst.CreateVariable("old", PT_INT, SCOPE_GLOBAL);
  dst.CreateVariable("st0", PT_INT, SCOPE_STATUS);
  s.Seek(0);
  BinaryReader r(s, "save");
  TGameSectionExtras extras = dst.ReadGameSection(r, 140);
  EXPECT_FALSE(extras.legacyHistoryFormat);
  EXPECT_EQ(r.U32("marker"), 0xDEADBEEFu);  // the reading position is right behind the section
  EXPECT_EQ(dst.FindVariable("old"), nullptr);
  EXPECT_NE(dst.FindVariable("st0"), nullptr);  // status variables are not part of it
  EXPECT_EQ(dst.FindVariable("st"), nullptr);
  EXPECT_EQ(dst.FindVariable("g1")->Value().GetInt(), 11);
  EXPECT_EQ(dst.FindVariable("arr")->Value().GetFloatAt(3), 0.25L);
  EXPECT_EQ(dst.FindVariable("loc"), nullptr);  // a local of scope 2
  dst.SetCurrentScope(2);
  ASSERT_NE(dst.FindVariable("loc"), nullptr);
  EXPECT_EQ(dst.FindVariable("loc")->Value().GetStr(), "\x82\xa0");
  EXPECT_EQ(dst.TextDelay, 30);
  EXPECT_EQ(dst.Cursor, "hand.cur");
  EXPECT_EQ(dst.SelStr, "choice");
  EXPECT_EQ(dst.SelIndex, 4);
  EXPECT_EQ(dst.TempName, "g1");
  ASSERT_EQ(dst.VariableStack().size(), 2u);
  EXPECT_EQ(dst.VariableStack(), src.VariableStack());
  dst.FindVariable("g1")->Value().SetInt(0);
  dst.PopVariables();
  dst.PopVariables();
  EXPECT_EQ(dst.FindVariable("g1")->Value().GetInt(), 11);
}

TEST(GameSection, ReadAtEveryVersionThreshold) {
  for (int version : {107, 112, 113, 120, 121, 134, 135, 138, 139, 140}) {
    TParamCollection src;
    FillGame(src);
    src.PushVariables({"g1"});
    MemoryStream s;
    BinaryWriter w(s);
    testing::WriteGameSectionAt(src, w, version, {1, 2, 3, 4, 5, 6});
    w.U8(0x5A);
    TParamCollection dst;
    dst.SelStr = "before";
    dst.TempName = "before";
    s.Seek(0);
    BinaryReader r(s, "save");
    TGameSectionExtras extras = dst.ReadGameSection(r, version);
    EXPECT_EQ(r.U8("marker"), 0x5A) << version;
    EXPECT_EQ(dst.FindVariable("g1")->Value().GetInt(), 11) << version;
    EXPECT_EQ(dst.SelStr, version >= 103 ? "choice" : "before");
    EXPECT_EQ(dst.TempName, version >= 121 ? "g1" : "before") << version;
    EXPECT_EQ(extras.legacyHistoryFormat.has_value(), version >= 113 && version <= 134) << version;
    if (extras.legacyHistoryFormat) { EXPECT_EQ((*extras.legacyHistoryFormat)[5], 6); }
    EXPECT_EQ(dst.VariableStack().size(), version >= 139 ? 1u : 0u) << version;
  }
}

TEST(GameSection, DamagedSectionChangesNothing) {
  TParamCollection src;
  FillGame(src);
  MemoryStream s;
  BinaryWriter w(s);
  src.WriteGameSection(w);
  std::vector<uint8_t> bytes = s.Data();
  for (size_t cut : {size_t{2}, bytes.size() / 2, bytes.size() - 1}) {
    TParamCollection dst;
    dst.CreateVariable("keep", PT_INT, SCOPE_GLOBAL)->Value().SetInt(3);
    MemoryStream t(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(cut)));
    BinaryReader r(t, "save");
    EXPECT_THROW(dst.ReadGameSection(r, 140), EFormatError) << cut;
    ASSERT_NE(dst.FindVariable("keep"), nullptr);
    EXPECT_EQ(dst.FindVariable("keep")->Value().GetInt(), 3);
  }
  // An unknown type code in a record.
  std::vector<uint8_t> bad = {1, 0, 0, 0, 9, 1, 0, 0, 0, 'x'};
  MemoryStream t(bad);
  BinaryReader r(t, "save");
  TParamCollection dst;
  EXPECT_THROW(dst.ReadGameSection(r, 140), EFormatError);
}

TEST(StatusSection, HoldsOnlyStatusVariablesAndAppends) {
  TParamCollection src;
  FillGame(src);
  MemoryStream s;
  BinaryWriter w(s);
  src.WriteStatusSection(w);
  TParamCollection dst;
  dst.CreateVariable("other", PT_INT, SCOPE_GLOBAL);
  s.Seek(0);
  BinaryReader r(s, "status");
  dst.ReadStatusSection(r, 103);
  EXPECT_TRUE(r.AtEnd());
  EXPECT_NE(dst.FindVariable("other"), nullptr);
  ASSERT_NE(dst.FindVariable("st"), nullptr);
  EXPECT_TRUE(dst.FindVariable("st")->Value().GetBool());
  EXPECT_EQ(dst.FindVariable("st")->Status, 1);
  EXPECT_EQ(dst.FindVariable("g1"), nullptr);
}

TEST(DumpVariables, OneLinePerScriptVariable) {
  TParamCollection vars;
  vars.CreateVariable("n", PT_INT, SCOPE_GLOBAL)->Value().SetInt(-3);
  auto* arr = vars.CreateVariable("arr", PT_FLOAT, SCOPE_GLOBAL);
  arr->Value().SetDims({3});
  arr->Value().SetFloatAt(1, 1.5L);
  vars.CreateVariable("f", PT_BOOL, SCOPE_GLOBAL)->Value().SetBool(true);
  vars.CreateVariable("s", PT_STR, SCOPE_GLOBAL)->Value().SetStr("\x82\xa0\tb\r\n");
  vars.AddVariable(PT_INT)->SetName("\x01internal");
  EXPECT_EQ(DumpVariables(vars),
            "n\tint\t-3\n"
            "arr\treal\t0,1.5,0\n"
            "f\tflag\tTRUE\n"
            "s\tstring\t\xe3\x81\x82\\tb\\r\\n\n");
}

}  // namespace
}  // namespace vorn
